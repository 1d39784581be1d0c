#include "app/tools/TagPanel.h"
#include "app/tools/ToolDialogs.h"
#include "tests/app/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace vorlane {
namespace {

void sendKey(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

class NamingTools : public test::WindowTest {
protected:
    void SetUp() override
    {
        OpenTracks({{"01_my_song-remix.MP3", test::Tag("Ann", "First", "Spring", "3")},
                    {"b feat c.mp3", test::Tag("Bob", "Second")},
                    {"c feat d.mp3", test::Tag("Cid", "Third")},
                    {"d.mp3", test::Tag("Dee", "Fourth")}});
        if (!window)
            return;
        setAutoEdit(false);
    }
    void setAutoEdit(bool on)
    {
        QAction *a = window->Menus().PMCAutoEdit;
        if (a->isChecked() != on)
            a->trigger();
    }
    void item(QAction *TMenus::*action) { (menus().*action)->trigger(); }
};

TEST_F(NamingTools, TheEditMenuCarriesItsFunctionKeys)
{
    ASSERT_TRUE(window);
    const TMenus &m = menus();
    QAction *const items[] = {m.PMEFormatName,
                              m.PMETranslit,
                              m.PMERenameToLink,
                              m.PMERenameFromTag,
                              m.PMENumeric,
                              m.PMEDeleteExpression,
                              m.PMEChangeExpression,
                              m.PMEOpenInApp,
                              m.PMEOpenInExplorer,
                              m.PMECopyListToClipBoard,
                              m.PMECopyTagsListToClipBoard};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(items[i]->shortcut(), QKeySequence(Qt::Key(Qt::Key_F2 + i)))
            << items[i]->objectName().toStdString();
}

TEST_F(NamingTools, AProposedNameWaitsInTheNameEditorUntilEnter)
{
    ASSERT_TRUE(window);
    openEntry(0);
    player->Position = 400000;
    const int opens = player->Opens;
    item(&TMenus::PMEFormatName);
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "My Song - Remix.mp3");
    EXPECT_TRUE(QFileInfo::exists(path("01_my_song-remix.MP3")));

    sendKey(window->NamingTools().sEEdit, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(path("My Song - Remix.mp3")));
    EXPECT_FALSE(QFileInfo::exists(path("01_my_song-remix.MP3")));
    // The playing file was let go and taken up again under its new name, at its place.
    EXPECT_EQ(player->Opens, opens + 1);
    EXPECT_EQ(player->Current.FileName, "My Song - Remix.mp3");
    EXPECT_EQ(player->Seeks.last(), 400000);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().value(1), "My Song - Remix");
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 1);

    // The button does the same; an empty name does nothing.
    window->NamingTools().sEEdit->setText("Renamed.mp3");
    naming().sSBEdit->click();
    EXPECT_TRUE(QFileInfo::exists(path("Renamed.mp3")));
    window->NamingTools().sEEdit->clear();
    sendKey(window->NamingTools().sEEdit, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(path("Renamed.mp3")));
}

TEST_F(NamingTools, WithAutoEditEveryToolRenamesAllSelectedFiles)
{
    ASSERT_TRUE(window);
    setAutoEdit(true);
    EXPECT_EQ(window->StatusText(), "Name edits are applied at once");
    openEntry(3);
    selectLines({1, 2});
    item(&TMenus::PMEFormatName);
    EXPECT_TRUE(QFileInfo::exists(path("My Song - Remix.mp3")));
    EXPECT_TRUE(QFileInfo::exists(path("B Feat C.mp3")));
    EXPECT_TRUE(QFileInfo::exists(path("c feat d.mp3")));
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().value(2), "B Feat C");
}

TEST_F(NamingTools, RenameFromTagsUsesTheSwitchAndTheTemplate)
{
    ASSERT_TRUE(window);
    showSheet(3);
    openEntry(0);
    window->TagPanel()->sSBTagRenameFile->click();
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Ann - First.mp3");

    TTagEditor editor;
    editor.SetFile(path("01_my_song-remix.MP3"));
    editor.SetTagV1(test::Tag("Old", "Name"));
    window->TagPanel()->SetV2(false);
    window->TagPanel()->sSBTagRenameFile->click();
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Old - Name.mp3");

    // The template window: the switches as held, a live sample, OK keeps them.
    item(&TMenus::PMERenameFromTag);
    TCustomizeTemplateWindow *t = window->CustomizeTemplateWindow();
    ASSERT_TRUE(t && t->isVisible());
    EXPECT_TRUE(t->sCBCTArtist->isChecked());
    EXPECT_TRUE(t->sCBCTName->isChecked());
    EXPECT_FALSE(t->sCBCTNumber->isChecked());
    EXPECT_EQ(t->sLResultTemplate->text(), "John Johnson - My song");
    EXPECT_EQ(t->sSBRenameFromTag->toolTip(), window->TagPanel()->sSBTagRenameFile->toolTip());
    t->sCBCTNumber->click();
    t->sCBCTYear->click();
    EXPECT_EQ(t->sLResultTemplate->text(), "01 - John Johnson - My song (1991)");
    EXPECT_FALSE(vorlane().TagRenameTemplate().Number); // not before OK
    t->sBCTOK->click();
    EXPECT_FALSE(t->isVisible());
    EXPECT_TRUE(vorlane().TagRenameTemplate().Number);
    EXPECT_TRUE(vorlane().TagRenameTemplate().Year);

    // Its rename button stores the switches and renames at once (auto edit).
    window->TagPanel()->SetV2(true);
    setAutoEdit(true);
    selectLines({1});
    item(&TMenus::PMERenameFromTag);
    t->sCBCTYear->click();
    t->sSBRenameFromTag->click();
    EXPECT_FALSE(vorlane().TagRenameTemplate().Year);
    EXPECT_TRUE(QFileInfo::exists(path("3 - Ann - First.mp3")));
}

TEST_F(NamingTools, TheExpressionWindowReplacesOnceInTheSelectedNames)
{
    ASSERT_TRUE(window);
    openEntry(1);
    window->NamingTools().sEEdit->setText("b feat c.mp3");
    window->NamingTools().sEEdit->setSelection(2, 4); // "feat"
    item(&TMenus::PMEChangeExpression);
    TChangeExpressionWindow *w = window->ChangeExpressionWindow();
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->sEOldExpression->text(), "feat");
    w->sENewExpression->setText("feat.");
    selectLines({1, 2, 3});
    sendKey(w->sENewExpression, Qt::Key_Return);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(QFileInfo::exists(path("b feat. c.mp3")));
    EXPECT_TRUE(QFileInfo::exists(path("c feat. d.mp3")));
    EXPECT_TRUE(QFileInfo::exists(path("01_my_song-remix.MP3")));

    // F8 again while it shows hides it.
    item(&TMenus::PMEChangeExpression);
    EXPECT_TRUE(w->isVisible());
    item(&TMenus::PMEChangeExpression);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(NamingTools, DeleteExpressionTakesTheNameEditorsSelection)
{
    ASSERT_TRUE(window);
    openEntry(1);
    window->NamingTools().sEEdit->setText("b feat c.mp3");
    window->NamingTools().sEEdit->setSelection(1, 5); // " feat"
    selectLines({2, 3});
    item(&TMenus::PMEDeleteExpression);
    EXPECT_TRUE(QFileInfo::exists(path("b c.mp3")));
    EXPECT_TRUE(QFileInfo::exists(path("c d.mp3")));
    // Nothing selected: nothing is deleted.
    window->NamingTools().sEEdit->deselect();
    selectLines({2});
    item(&TMenus::PMEDeleteExpression);
    EXPECT_TRUE(QFileInfo::exists(path("b c.mp3")));
}

TEST_F(NamingTools, NumberingPrefixesTheWholeListAndReopensThePlayingFile)
{
    ASSERT_TRUE(window);
    openEntry(3);
    player->Position = 250000;
    item(&TMenus::PMENumeric);
    EXPECT_TRUE(QFileInfo::exists(path("1 - 01_my_song-remix.MP3")));
    EXPECT_TRUE(QFileInfo::exists(path("4 - d.mp3")));
    EXPECT_EQ(player->Current.FileName, "4 - d.mp3");
    EXPECT_EQ(player->Seeks.last(), 250000);
}

TEST_F(NamingTools, TheTagListGoesToTheClipboardByTheSwitch)
{
    ASSERT_TRUE(window);
    openEntry(0);
    item(&TMenus::PMECopyTagsListToClipBoard);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Ann - First.mp3\r\nBob - Second.mp3\r\nCid - Third.mp3\r\nDee - Fourth.mp3\r\n");
}

TEST_F(NamingTools, UpAndDownInTheNameEditorMoveThroughTheFiles)
{
    ASSERT_TRUE(window);
    openEntry(1);
    sendKey(window->NamingTools().sEEdit, Qt::Key_Down);
    drain();
    EXPECT_EQ(vorlane().FileIndex(), 2);
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "c feat d.mp3");
    sendKey(window->NamingTools().sEEdit, Qt::Key_Up);
    sendKey(window->NamingTools().sEEdit, Qt::Key_Up);
    drain();
    EXPECT_EQ(vorlane().FileIndex(), 0);
}

TEST_F(NamingTools, ToolsDoNothingOutsideAFolderList)
{
    ASSERT_TRUE(window);
    openEntry(0);
    vorlane().SetMode(bmComputerLists);
    drain();
    window->NamingTools().sEEdit->setText("x.mp3");
    item(&TMenus::PMEFormatName);
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "x.mp3");
    sendKey(window->NamingTools().sEEdit, Qt::Key_Return);
    item(&TMenus::PMENumeric);
    EXPECT_TRUE(QFileInfo::exists(path("01_my_song-remix.MP3")));
    EXPECT_FALSE(QFileInfo::exists(path("x.mp3")));
}

} // namespace
} // namespace vorlane
