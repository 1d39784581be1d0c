#include "app/tools/TagPanel.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>

#include <sys/stat.h>

namespace vorlane {
namespace {

void pressEnter(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

void rightClick(QWidget *w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

QString coverMime(const QString &path)
{
    TID3v2Tag tag;
    tag.LoadFromFile(path);
    const int frame = tag.FrameExists("APIC");
    if (frame < 0)
        return {};
    QByteArray bytes;
    QString mime, description;
    uint8_t type = 0;
    tag.GetUnicodeCoverPictureStream(frame, bytes, mime, description, type);
    return mime;
}

class TagPanel : public test::WindowTest {
protected:
    void SetUp() override
    {
        OpenTracks({{"a.mp3", test::Tag("Ann", "First", "Album A", "1")},
                    {"b.mp3", test::Tag("Bob", "Second", "Album B", "2")},
                    {"c.mp3", test::Tag("Cid", "Third", "Album C", "3")},
                    {"d.mp3", test::Tag("Dee", "Fourth")}});
        if (!window)
            return;
        showSheet(3);
        panel = window->TagPanel();
    }
    TTagPanel *panel = nullptr;
};

TEST_F(TagPanel, OpeningAFileShowsItsTagsByTheSwitch)
{
    ASSERT_TRUE(panel);
    openEntry(1);
    EXPECT_EQ(panel->sETagTitle->text(), "Second");
    EXPECT_EQ(panel->sETagArtist->text(), "Bob");
    EXPECT_EQ(panel->sETagAlbum->text(), "Album B");
    EXPECT_EQ(panel->sETagTrackNumber->text(), "2");

    // A file with only an ID3v1 tag: empty under "v2", its fields under "v1".
    const QString v1Only = folders.Root.path() + "/v1only.mp3";
    ASSERT_TRUE(QFile::copy(test::SilentMp3(), v1Only));
    TTagEditor editor;
    editor.SetFile(v1Only);
    editor.SetTagV1(test::Tag("Bob", "Second"));
    window->NamingTools().TagEditor().SetFile(v1Only);
    window->NamingTools().ShowID3Tags();
    EXPECT_EQ(panel->sETagTitle->text(), "");
    EXPECT_EQ(panel->ITagCoverImage->Image(), window->NamingTools().TagEditor().DefaultCover());
    panel->SetV2(false);
    EXPECT_EQ(panel->sETagTitle->text(), "Second");
    EXPECT_EQ(panel->sETagArtist->text(), "Bob");
}

TEST_F(TagPanel, TheGenreListOffersTheWholeTable)
{
    ASSERT_TRUE(panel);
    const QStringList genres = panel->GenreNames();
    EXPECT_EQ(genres.size(), 148);
    EXPECT_EQ(genres.value(0), "Blues");
    EXPECT_EQ(genres.last(), "SynthPop");
    // Any text may be typed, and typing does not grow the list.
    panel->sCBTagGenre->setEditText("Chiptune");
    pressEnter(panel->sCBTagGenre->lineEdit());
    EXPECT_EQ(panel->sCBTagGenre->count(), 148);
}

TEST_F(TagPanel, ATitleTypedForThreeSelectedFilesGoesIntoAllThree)
{
    ASSERT_TRUE(panel);
    openEntry(0);
    selectLines({1, 2, 3});
    panel->sETagTitle->setText("Same Title");
    pressEnter(panel->sETagTitle);
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        EXPECT_EQ(test::ReadTag(path(name), true).Title, "Same Title") << name;
    // The other fields keep each file's own values, not those shown from the first file.
    EXPECT_EQ(test::ReadTag(path("b.mp3"), true).Artist, "Bob");
    EXPECT_EQ(test::ReadTag(path("c.mp3"), true).Album, "Album C");
    EXPECT_EQ(test::ReadTag(path("c.mp3"), true).Track, "3");
    EXPECT_EQ(test::ReadTag(path("d.mp3"), true).Title, "Fourth"); // not selected
    EXPECT_EQ(test::ReadTag(path("a.mp3"), false).Title, "First"); // v1 untouched under "v2"
}

TEST_F(TagPanel, EditsGoToTheListOnScreenNotThePlayingOne)
{
    ASSERT_TRUE(panel);
    const QString other = folders.Root.path() + "/other";
    QDir().mkpath(other);
    ASSERT_TRUE(test::MakeTaggedMp3(other + "/x.mp3", test::Tag("Xan", "Other")));
    window->addFolderList(other, false);
    drain();
    const auto showList = [this](int list) {
        vorlane().SetMode(bmComputerLists);
        vorlane().SetVisibleListIndex(list);
        vorlane().SetMode(bmComputerFiles);
        drain();
    };
    showList(0);
    openEntry(0); // a.mp3 of the first list plays
    showList(1);
    ASSERT_EQ(vorlane().CurrentFile().FileName, "a.mp3");
    ASSERT_EQ(window->Browse().BrowseLines().value(1), "x");

    selectLines({1});
    panel->sETagArtist->setText("New Artist");
    pressEnter(panel->sETagArtist);
    EXPECT_EQ(test::ReadTag(other + "/x.mp3", true).Artist, "New Artist");
    EXPECT_EQ(test::ReadTag(path("a.mp3"), true).Artist, "Ann");
}

TEST_F(TagPanel, EnterInEveryFieldWritesAndTheSwitchChoosesTheVersion)
{
    ASSERT_TRUE(panel);
    openEntry(3);
    panel->SetV2(false);
    QLineEdit *fields[] = {panel->sETagTitle, panel->sETagArtist,
                           panel->sETagAlbum, panel->sCBTagGenre->lineEdit(),
                           panel->sETagYear,  panel->sETagTrackNumber};
    const char *values[] = {"T1", "A1", "L1", "Jazz", "1999", "7"};
    for (int i = 0; i < 6; ++i) {
        fields[i]->setText(values[i]);
        pressEnter(fields[i]);
    }
    const TTag v1 = test::ReadTag(path("d.mp3"), false);
    EXPECT_EQ(v1.Title, "T1");
    EXPECT_EQ(v1.Artist, "A1");
    EXPECT_EQ(v1.Album, "L1");
    EXPECT_EQ(v1.Genre, "Jazz");
    EXPECT_EQ(v1.Year, "1999");
    EXPECT_EQ(v1.Track, "7");
    EXPECT_EQ(test::ReadTag(path("d.mp3"), true).Title, "Fourth");
    // The sheet shows what was written.
    EXPECT_EQ(panel->sETagArtist->text(), "A1");
}

TEST_F(TagPanel, CopyingAFortyCharacterTitleToV1KeepsThirtyBytes)
{
    ASSERT_TRUE(panel);
    const QString title = "Forty characters of title, all of them.."; // 40
    ASSERT_EQ(title.size(), 40);
    TTagEditor editor;
    editor.SetFile(path("a.mp3"));
    editor.SetTagV2(test::Tag({}, title));
    openEntry(0);
    selectLines({1});
    panel->sSBTagDuplicate->click();
    EXPECT_EQ(test::ReadTag(path("a.mp3"), false).Title, title.left(30));
    EXPECT_EQ(test::ReadTag(path("a.mp3"), true).Title, title);

    // "v1" copies the other way; empty v1 fields leave v2 alone.
    panel->SetV2(false);
    selectLines({2});
    TTagEditor bob;
    bob.SetFile(path("b.mp3"));
    bob.SetTagV1(test::Tag("Robert", {}));
    panel->sSBTagDuplicate->click();
    EXPECT_EQ(test::ReadTag(path("b.mp3"), true).Artist, "Robert");
}

TEST_F(TagPanel, APngCoverGoesIntoBothSelectedFiles)
{
    ASSERT_TRUE(panel);
    QImage picture(300, 150, QImage::Format_RGB32);
    picture.fill(QColor(200, 60, 40));
    const QString png = folders.Root.path() + "/cover.png";
    ASSERT_TRUE(picture.save(png));
    int asked = 0;
    window->NamingTools().SetCoverChooser([&] {
        ++asked;
        return png;
    });
    openEntry(1);
    selectLines({2, 3});
    panel->sSBChangeCoverArt->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(coverMime(path("b.mp3")), "image/png");
    EXPECT_EQ(coverMime(path("c.mp3")), "image/png");
    EXPECT_EQ(coverMime(path("a.mp3")), "");
    EXPECT_EQ(window->StatusText(), Msg().SM_COVERSCHANGED);
    // The sheet shows the new picture, fitted to its box (wider than high).
    const QImage shown = panel->ITagCoverImage->Image();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(200, 60, 40));
    EXPECT_GT(shown.width(), shown.height());

    // Cancelled: nothing changes.
    window->NamingTools().SetCoverChooser([] { return QString(); });
    selectLines({1});
    panel->sSBChangeCoverArt->click();
    EXPECT_EQ(coverMime(path("a.mp3")), "");
}

TEST_F(TagPanel, ACoverThatCannotBeSavedSaysSo)
{
    ASSERT_TRUE(panel);
    const QString png = folders.Root.path() + "/cover.png";
    ASSERT_TRUE(test::WriteFile(png, test::TinyPng()));
    window->NamingTools().SetCoverChooser([&] { return png; });
    ASSERT_EQ(::chmod(QFile::encodeName(path("b.mp3")).constData(), 0444), 0);
    openEntry(0);
    selectLines({2});
    panel->sSBChangeCoverArt->click();
    EXPECT_EQ(coverMime(path("b.mp3")), "");
    EXPECT_EQ(window->StatusText(), Msg().SM_TAGSNOTSAVED);
}

TEST_F(TagPanel, AFileOtherThanMp3ShowsNothingAndIsNotChanged)
{
    ASSERT_TRUE(panel);
    const QString wav = path("e.wav");
    ASSERT_TRUE(test::MakeMedia(wav, {"-f", "lavfi", "-i", "sine=duration=0.2"}));
    const QByteArray before = test::ReadFile(wav);
    window->addFolderList(music, false); // list 1 takes the new file in
    drain();
    vorlane().AlphabetSorting(false);
    drain();
    const int line = window->Browse().BrowseLines().indexOf("e");
    ASSERT_GT(line, 0) << window->Browse().BrowseLines().join('|').toStdString();
    openEntry(line - 1);
    EXPECT_EQ(panel->sETagTitle->text(), "");
    EXPECT_EQ(panel->ITagCoverImage->Image(), window->NamingTools().TagEditor().DefaultCover());
    selectLines({line});
    panel->sETagTitle->setText("Nope");
    pressEnter(panel->sETagTitle);
    panel->sSBTagDuplicate->click();
    EXPECT_EQ(test::ReadFile(wav), before);
}

TEST_F(TagPanel, ThePlayingFileIsOpenedAgainAtItsPlaceAfterAnEdit)
{
    ASSERT_TRUE(panel);
    openEntry(2);
    const int opens = player->Opens;
    player->Position = 300000;
    selectLines({3});
    panel->sETagArtist->setText("Cy");
    panel->sSBTagChange->click();
    EXPECT_EQ(test::ReadTag(path("c.mp3"), true).Artist, "Cy");
    EXPECT_EQ(player->Opens, opens + 1);
    EXPECT_EQ(player->Current.FileName, "c.mp3");
    EXPECT_EQ(player->Seeks.value(player->Seeks.size() - 1), 300000);
    EXPECT_TRUE(player->Playing);
}

TEST_F(TagPanel, NotShowingTheSheetDefersTheTagsUntilItIsShown)
{
    ASSERT_TRUE(panel);
    showSheet(1);
    openEntry(2);
    EXPECT_EQ(panel->sETagTitle->text(), "");
    window->show();
    showSheet(3);
    EXPECT_EQ(panel->sETagTitle->text(), "Third");
}

TEST_F(TagPanel, RightClickOnTheCoverOrBackgroundShowsTheNextSheet)
{
    ASSERT_TRUE(panel);
    window->show();
    rightClick(panel->ITagCoverImage);
    EXPECT_EQ(window->Side().sPCExtentedControls->currentIndex(), 0); // from the last to the first
    showSheet(3);
    rightClick(panel->sIBackground);
    EXPECT_EQ(window->Side().sPCExtentedControls->currentIndex(), 0);
}

TEST_F(TagPanel, TrackNumbersForTheWholeListAndTagsFromNames)
{
    ASSERT_TRUE(panel);
    openEntry(0);
    panel->sSBTagAutoCreateTrackNumbers->click();
    for (int i = 0; i < 4; ++i) {
        const QString name = QString(QChar(u'a' + i)) + ".mp3";
        EXPECT_EQ(test::ReadTag(path(name), true).Track, QString::number(i + 1));
        EXPECT_EQ(test::ReadTag(path(name), false).Track, QString::number(i + 1));
    }

    // Tags from names: "Artist - Title" of the selected files, the list position as track.
    ASSERT_TRUE(QFile::rename(path("d.mp3"), path("Zed - Last Song.mp3")));
    window->addFolderList(music, false);
    drain();
    vorlane().AlphabetSorting(false);
    drain();
    ASSERT_EQ(window->Browse().BrowseLines().value(4), "Zed - Last Song");
    selectLines({4});
    panel->sSBTagAutocreate->click();
    const TTag made = test::ReadTag(path("Zed - Last Song.mp3"), true);
    EXPECT_EQ(made.Artist, "Zed");
    EXPECT_EQ(made.Title, "Last Song");
    EXPECT_EQ(made.Track, "4");
}

} // namespace
} // namespace vorlane
