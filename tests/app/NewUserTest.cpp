// A new user's first evening, with the engine's player on SDL's dummy output and real files:
// add a folder of generated tracks, play the third, seek on the position bar, give two tracks a
// new artist, rename them from their tags, put them into a new playlist, set a bookmark, quit,
// start again and jump to the bookmark.

#include "app/player/PlayerTick.h"
#include "app/tools/TagPanel.h"
#include "app/tools/ToolDialogs.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"
#include "tags/TagEditor.h"
#include "tests/app/WindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace vorlane {
namespace {

class NewUser : public ::testing::Test {
protected:
    void SetUp() override
    {
        music = folders.Root.path() + "/Music";
        QDir().mkpath(music);
        const char *titles[] = {"Dawn", "Harbour", "Lanterns", "Nightfall"};
        for (int i = 0; i < 4; ++i) {
            const QString name = QStringLiteral("Track %1.mp3").arg(i + 1);
            // Forty seconds each, so that a seek and a bookmark have room.
            ASSERT_TRUE(test::MakeMedia(
                music + "/" + name,
                {"-f", "lavfi", "-i",
                 QStringLiteral("sine=frequency=%1:duration=40").arg(300 + 100 * i), "-c:a",
                 "libmp3lame", "-b:a", "64k", "-id3v2_version", "3", "-metadata",
                 QStringLiteral("title=%1").arg(QLatin1String(titles[i])), "-metadata",
                 "artist=Unknown"}))
                << name.toStdString();
        }
        qputenv("VORLANE_ENGINE_MODULE", VORLANE_TEST_ENGINE_MODULE);
    }

    // Starts the program as the user would, with the engine's player.
    std::unique_ptr<TMainWindow> start()
    {
        TMainWindowOptions o = folders.Options();
        o.CreatePlayer = true;
        auto w = std::make_unique<TMainWindow>(o);
        EXPECT_TRUE(w->Ok());
        w->CreateWindowSet();
        w->resize(1100, 720);
        w->show(); // the player's module is loaded after the first paint
        QElapsedTimer waited;
        waited.start();
        while (!w->Player() && waited.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_NE(w->Player(), nullptr);
        w->InetStartTimerTimer(); // as 5 s after the start; the test runs the ticks itself
        w->MainTimer()->stop();
        tick(*w);
        return w;
    }
    static void tick(TMainWindow &w)
    {
        for (int i = 0; i < 12; ++i) {
            QApplication::processEvents();
            const TEventCode code = w.Controller()->Flags();
            if (code == efNone)
                return;
            w.Controller()->SetFlags(code);
            w.MTTimer();
        }
    }
    static void selectLines(TMainWindow &w, std::initializer_list<int> lines)
    {
        QItemSelectionModel *s = w.Browse().sLBBrowseWindow->selectionModel();
        s->clearSelection();
        for (int line : lines)
            s->select(w.Browse().sLBBrowseWindow->model()->index(line, 0),
                      QItemSelectionModel::Select);
    }
    static void selectSideRow(QListView *view, int row)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
    }
    static void pressEnter(QWidget *widget)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }
    // Shows the folder list (the navigator's click on it).
    static void showFolderList(TMainWindow &w)
    {
        w.Controller()->SetMode(bmComputerLists);
        w.Controller()->SetVisibleListIndex(0);
        w.Controller()->SetMode(bmComputerFiles);
        tick(w);
    }

    test::TWindowFolders folders;
    QString music;
};

TEST_F(NewUser, FromAFolderOfTracksToABookmarkAfterARestart)
{
    int64_t bookmarkAt = 0;
    {
        std::unique_ptr<TMainWindow> w = start();
        ASSERT_TRUE(w && w->Player());
        TVorlane &vl = *w->Controller();

        // The folder as a new folder list, shown at once.
        w->addFolderList(music, false);
        tick(*w);
        showFolderList(*w);
        const QStringList shown = w->Browse().BrowseLines();
        ASSERT_EQ(shown.size(), 5) << shown.join('|').toStdString();
        const auto line = [&shown](const char *title) { return int(shown.indexOf(title)); };

        // The third track: a click on its line, the next tick plays it.
        test::ClickRow(w->Browse().sLBBrowseWindow, line("Track 3"));
        tick(*w);
        TPlayerPort &player = *w->Player();
        ASSERT_TRUE(player.Played());
        EXPECT_EQ(player.CurrentFile().FileName, "Track 3.mp3");

        // Half way along the position bar.
        const int64_t size = player.GetSize();
        ASSERT_GT(size, 0);
        w->MTTimer(); // the bar takes the length
        QProgressBar *bar = w->PlayerPanel().sPBPositionRegulator;
        const QPointF middle(bar->width() / 2.0, bar->height() / 2.0);
        QMouseEvent release(QEvent::MouseButtonRelease, middle, bar->mapToGlobal(middle),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
        w->MTTimer();
        EXPECT_GE(player.GetPosition(), size / 2 - size / 20);

        // The artist of the first two tracks, typed once on the tag sheet.
        w->Side().sPCExtentedControls->setCurrentWidget(w->TagPanel());
        TTagPanel &panel = *w->TagPanel();
        EXPECT_EQ(panel.sETagTitle->text(), "Lanterns"); // the playing track's tags
        selectLines(*w, {line("Track 1"), line("Track 2")});
        panel.sETagArtist->setText("Night Owls");
        pressEnter(panel.sETagArtist);
        for (const char *name : {"Track 1.mp3", "Track 2.mp3"}) {
            TTagEditor editor;
            editor.SetFile(music + "/" + name);
            TTag tag;
            editor.GetTagV2(tag);
            EXPECT_EQ(tag.Artist, "Night Owls") << name;
        }
        EXPECT_TRUE(player.Played()) << "the playing track goes on after the edit";

        // Renamed from their tags, both at once (automatic editing on).
        QAction *autoEdit = w->Menus().PMCAutoEdit;
        if (!autoEdit->isChecked())
            autoEdit->trigger();
        ASSERT_TRUE(autoEdit->isChecked());
        selectLines(*w, {line("Track 1"), line("Track 2")});
        panel.sSBTagRenameFile->click();
        tick(*w);
        EXPECT_TRUE(QFileInfo::exists(music + "/Night Owls - Dawn.mp3"))
            << QDir(music).entryList(QDir::Files).join('|').toStdString();
        EXPECT_TRUE(QFileInfo::exists(music + "/Night Owls - Harbour.mp3"));
        EXPECT_TRUE(QFileInfo::exists(music + "/Track 3.mp3"));
        EXPECT_EQ(player.CurrentFile().FileName, "Track 3.mp3");
        EXPECT_GE(player.GetPosition(), size / 2 - size / 20) << "reopened where it was";

        // A new playlist named in its window, then the two renamed tracks put into it.
        w->Side().sSBNewPlaylist->click();
        TAddPlaylistWindow *named = w->AddPlaylistWindow();
        ASSERT_TRUE(named && named->isVisible());
        named->sEAPWName->setText("Late Evening");
        named->sBAPWOK->click();
        EXPECT_FALSE(named->isVisible());
        tick(*w);
        const int playlist = w->Side().PlayListLines().indexOf("Late Evening");
        ASSERT_GT(playlist, 0) << w->Side().PlayListLines().join('|').toStdString();
        selectSideRow(w->Side().sLBPlayLists, playlist);
        const QStringList lines = w->Browse().BrowseLines();
        const int dawn = lines.indexOf("Night Owls - Dawn");
        const int harbour = lines.indexOf("Night Owls - Harbour");
        ASSERT_GT(dawn, 0) << lines.join('|').toStdString();
        ASSERT_GT(harbour, 0);
        selectLines(*w, {dawn, harbour});
        w->Side().sSBAddToPlaylist->click();
        tick(*w);
        EXPECT_EQ(vl.PlayList(playlist).Count(), 2);

        // A bookmark where the third track plays now.
        bookmarkAt = player.GetPosition();
        ASSERT_GT(bookmarkAt, 0);
        w->Side().sSBBookmarkAdd->click();
        tick(*w);
        EXPECT_TRUE(w->StatusText().startsWith(Msg().SM_BOOKMARKSET))
            << w->StatusText().toStdString();
        EXPECT_EQ(w->Side().BookmarkLines().size(), 1);
        w->close(); // writes the catalogue and the settings
    }

    // The next start.
    std::unique_ptr<TMainWindow> w = start();
    ASSERT_TRUE(w && w->Player());
    // The playlist is listed at once and holds the two tracks under their new names.
    const int playlist = w->Side().PlayListLines().indexOf("Late Evening");
    ASSERT_GT(playlist, 0) << w->Side().PlayListLines().join('|').toStdString();
    const TFileList &kept = w->Controller()->PlayList(playlist);
    ASSERT_EQ(kept.Count(), 2);
    QStringList keptNames{kept.At(0).FileName, kept.At(1).FileName};
    keptNames.sort(); // in the order they were shown in, which is the file system's
    EXPECT_EQ(keptNames, QStringList({"Night Owls - Dawn.mp3", "Night Owls - Harbour.mp3"}));
    showFolderList(*w);
    EXPECT_TRUE(w->Browse().BrowseLines().contains("Night Owls - Dawn"));
    ASSERT_EQ(w->Side().BookmarkLines().size(), 1);
    EXPECT_TRUE(w->Side().BookmarkLines()[0].startsWith("Lanterns") ||
                w->Side().BookmarkLines()[0].startsWith("Track 3"))
        << w->Side().BookmarkLines()[0].toStdString();

    selectSideRow(w->Side().sLBBookmarks, 0);
    w->Side().sSBBookmarkLoad->click();
    tick(*w);
    TPlayerPort &player = *w->Player();
    EXPECT_TRUE(player.Played());
    EXPECT_EQ(player.CurrentFile().FileName, "Track 3.mp3");
    // At the bookmark, give or take the start of playing.
    EXPECT_GE(player.GetPosition(), bookmarkAt - player.GetSize() / 40);
    EXPECT_LE(player.GetPosition(), bookmarkAt + player.GetSize() / 8);
    w->close();
}

} // namespace
} // namespace vorlane
