// Browsing through the real main window: every row of the navigator and browse-list tables, the
// letter jump, the columns, the keys, the wheel, drops, new volumes, panels and menus.

#include "app/MountWatcher.h"
#include "base/Messages.h"
#include "tests/app/BrowseTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMimeData>
#include <QSlider>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace vorlane {
namespace {

using test::BrowseWindowTest;
using test::Click;
using test::ClickRow;
using test::Key;

// ---- Navigator ----

TEST_F(BrowseWindowTest, NavigatorHasItsSectionsInOrder)
{
    const TNavigatorLayout l = window->NavigatorSections();
    const QStringList nav = window->NavigatorLines();
    EXPECT_EQ(l.P, 3); // two folder lists
    EXPECT_EQ(l.I, 6); // the network playlist and "Road"
    EXPECT_EQ(l.B, 7); // no internet lists
    EXPECT_EQ(nav.size(), l.Total);
    EXPECT_EQ(nav[0], "Computer");
    EXPECT_EQ(nav[l.P], "Playlists");
    EXPECT_EQ(nav[l.P + 2], "Road");
    EXPECT_EQ(nav[l.I], "Internet");
    EXPECT_EQ(nav[l.B], "Bookmarks");
    EXPECT_TRUE(nav.last().contains("00:12"));
}

TEST_F(BrowseWindowTest, NavigatorClicksOnTheComputerAndPlaylistSections)
{
    const TNavigatorLayout l = window->NavigatorSections();
    ClickRow(window->sLBNavigator, 0);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists));

    ClickRow(window->sLBNavigator, 2);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerFiles));
    EXPECT_EQ(vorlane().ListIndex(), 1);
    drain();
    EXPECT_TRUE(window->BrowseLines().contains("Delta"));

    ClickRow(window->sLBNavigator, l.P);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmPlayLists));

    // The network playlist asks to sign in while nobody is.
    int signIns = 0;
    QObject::connect(window->MenuItem("PMAEnter"), &QAction::triggered, [&signIns] { ++signIns; });
    ClickRow(window->sLBNavigator, l.P + 1);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmPlayListFiles));
    EXPECT_EQ(vorlane().ListIndex(), 0);
    EXPECT_EQ(signIns, 1);
    ClickRow(window->sLBNavigator, l.P + 2);
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(signIns, 1);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Alpha", "Beta"}));
}

TEST_F(BrowseWindowTest, NavigatorClicksOnTheInternetAndBookmarkSections)
{
    const TNavigatorLayout l = window->NavigatorSections();
    ClickRow(window->sLBNavigator, l.I);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmInternetLists));
    EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);

    window->sPCExtentedControls->setCurrentIndex(2);
    ClickRow(window->sLBNavigator, l.B);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmBookmarks));
    EXPECT_EQ(window->sPCExtentedControls->currentIndex(), 0);

    // A bookmark row jumps to it and keeps its position for the seek.
    show(bmComputerLists);
    const int row = int(window->NavigatorLines().size()) - 1;
    ClickRow(window->sLBNavigator, row);
    EXPECT_EQ(window->vNewPlayPosition, 250000);
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Beta.mp3");
    const int code = pending();
    EXPECT_TRUE(code == efGotoBookmark || code == efGotoBookmarkShow) << code;
}

// ---- Browse list ----

TEST_F(BrowseWindowTest, TheRootMenuRows)
{
    const uint32_t expected[] = {bmComputerLists, bmInternetLists, bmBookmarks, bmInternetSearch,
                                 bmPlayLists};
    for (int row = 0; row < 5; ++row) {
        show(bmRoot);
        ASSERT_EQ(window->BrowseLines().size(), 6);
        window->sPCExtentedControls->setCurrentIndex(1);
        ClickRow(window->sLBBrowseWindow, row);
        EXPECT_EQ(vorlane().Mode(), expected[row]) << row;
        if (row == 1) {
            EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);
        }
        EXPECT_EQ(window->sPCExtentedControls->currentIndex(), row == 2 ? 0 : 1) << row;
    }
    show(bmRoot);
    ClickRow(window->sLBBrowseWindow, 5); // exit
    EXPECT_FALSE(window->isVisible());
}

TEST_F(BrowseWindowTest, ListsOfListsOpenTheClickedList)
{
    show(bmComputerLists);
    ClickRow(window->sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerFiles));
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(navigatorRow(), 2);

    show(bmPlayLists);
    int signIns = 0;
    QObject::connect(window->MenuItem("PMAEnter"), &QAction::triggered, [&signIns] { ++signIns; });
    ClickRow(window->sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmPlayListFiles));
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(signIns, 0);
    show(bmPlayLists);
    ClickRow(window->sLBBrowseWindow, 1);
    EXPECT_EQ(vorlane().ListIndex(), 0);
    EXPECT_EQ(signIns, 1);
}

TEST_F(BrowseWindowTest, FileRowsOpenTheirEntryAndTheNavigatorFollows)
{
    show(bmComputerFiles, 1);
    ClickRow(window->sLBBrowseWindow, 2);
    EXPECT_EQ(pending(), efOpenFile);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(navigatorRow(), 2); // list index + 1
    drain();
    EXPECT_EQ(player->Current.FileName, "Echo.mp3");

    const TNavigatorLayout l = window->NavigatorSections();
    show(bmPlayListFiles, 1);
    ClickRow(window->sLBBrowseWindow, 1);
    EXPECT_EQ(vorlane().FileIndex(), 0);
    EXPECT_EQ(navigatorRow(), 1 + l.P + 1);

    // Search results (here an opened list of links) have no navigator rows.
    vorlane().OpenExtFileList("http://a.example/one.mp3\nhttp://a.example/two.mp3", true);
    drain();
    ASSERT_EQ(vorlane().Mode(), uint32_t(bmInternetSearch));
    window->sLBNavigator->setCurrentIndex({});
    ClickRow(window->sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(navigatorRow(), -1);
}

TEST_F(BrowseWindowTest, RowZeroGoesBackInEveryMode)
{
    const std::pair<uint32_t, uint32_t> steps[] = {
        {bmComputerLists, bmRoot},     {bmInternetLists, bmRoot},
        {bmBookmarks, bmRoot},         {bmInternetSearch, bmRoot},
        {bmPlayLists, bmRoot},         {bmComputerFiles, bmComputerLists},
        {bmPlayListFiles, bmPlayLists}};
    for (auto [from, to] : steps) {
        show(from);
        ClickRow(window->sLBBrowseWindow, 0);
        EXPECT_EQ(vorlane().Mode(), to) << from;
    }
}

TEST_F(BrowseWindowTest, BookmarkRowsSelectTheBookmark)
{
    show(bmBookmarks);
    ASSERT_GE(window->BrowseLines().size(), 2);
    const int row = int(window->BrowseLines().size()) - 1;
    ClickRow(window->sLBBrowseWindow, row);
    EXPECT_EQ(window->sLBBookmarks->currentIndex().row(), row - 1);
    EXPECT_TRUE(window->sLBBookmarks->toolTip().contains("00:12"));
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmBookmarks));
}

TEST_F(BrowseWindowTest, SelectingSeveralRowsPlaysNothing)
{
    show(bmComputerFiles, 0);
    ClickRow(window->sLBBrowseWindow, 1);
    drain();
    player->Opens = 0;
    ClickRow(window->sLBBrowseWindow, 3, Qt::ControlModifier);
    EXPECT_EQ(pending(), efNone);
    EXPECT_EQ(window->sLBBrowseWindow->selectionModel()->selectedRows().size(), 2);
}

TEST_F(BrowseWindowTest, SourceAndBackButtons)
{
    const TNavigatorLayout l = window->NavigatorSections();
    const auto press = [this](const char *name) {
        window->findChild<QToolButton *>(name)->click();
    };
    press("sSBComputerMode");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists));
    EXPECT_EQ(navigatorRow(), 0);
    press("sSBInternetMode");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmInternetLists));
    EXPECT_EQ(navigatorRow(), l.I);
    EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);
    press("sSBBookmarksMode");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmBookmarks));
    EXPECT_EQ(navigatorRow(), l.B);
    EXPECT_EQ(window->sPCExtentedControls->currentIndex(), 0);
    press("sSBPlayListsMode");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmPlayLists));
    EXPECT_EQ(navigatorRow(), l.P);
    press("sSBInternetSearchMode");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmInternetSearch));
    press("sSBBackBrowser");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmRoot));
    press("sSBBackBrowser");
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmRoot)); // the root stays
}

TEST_F(BrowseWindowTest, SortButtons)
{
    show(bmComputerFiles, 0);
    window->findChild<QToolButton *>("sSBAlphabetSortRev")->click();
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Gamma", "Beta", "Alpha"}));
    window->findChild<QToolButton *>("sSBAlphabetSort")->click();
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Alpha", "Beta", "Gamma"}));
    window->findChild<QToolButton *>("sSBDateSort")->click();
    EXPECT_EQ(pending(), efRefreshView);
    window->findChild<QToolButton *>("sSBDefaultSort")->click();
    EXPECT_EQ(pending(), efListRescanned);
}

// ---- Letter jump ----

TEST_F(BrowseWindowTest, AlphabetLettersJumpAsTheExamplesSay)
{
    for (const char *name : {"Aurora.mp3", "Avalon.mp3", "Boreal.mp3", "ёлка.mp3", "ірій.mp3"})
        ASSERT_TRUE(test::WriteFile(folders.Root.path() + "/letters/" + name, "x"));
    window->addFolderList(folders.Root.path() + "/letters", false);
    vorlane().AlphabetSorting(false);
    drain();
    ASSERT_EQ(window->BrowseLines().mid(1),
              QStringList({"Aurora", "Avalon", "Boreal", "ёлка", "ірій"}));
    TAlphabetIndex *index = window->sPAlphabet;
    const auto letterAt = [](QChar letter) {
        const QList<TAlphabetLetter> &all = AlphabetLetters();
        for (int i = 0; i < all.size(); ++i) {
            if (all[i].Letter == letter)
                return i;
        }
        return -1;
    };
    const auto click = [&](QChar letter) {
        Click(index, index->LetterRect(letterAt(letter)).center());
        return window->BrowseCurrentRow();
    };
    window->fSetBrowseIndex(0);
    window->sLBBrowseWindow->clearSelection();
    window->fSetBrowseIndex(0);
    EXPECT_EQ(click(u'A'), 1);
    EXPECT_EQ(click(u'A'), 2);
    EXPECT_EQ(click(u'A'), 0); // after the second A entry: the top, not the first A entry
    EXPECT_EQ(click(u'Я'), 0); // nothing begins with Я
    EXPECT_EQ(click(u'Ё'), 4); // ё is upper-cased
    EXPECT_EQ(click(u'І'), 0); // і is not
    EXPECT_EQ(click(u'B'), 3);
    // Only the left button jumps; the selection is the one row jumped to.
    Click(index, index->LetterRect(letterAt(u'A')).center(), Qt::RightButton);
    EXPECT_EQ(window->BrowseCurrentRow(), 3);
    EXPECT_EQ(window->sLBBrowseWindow->selectionModel()->selectedRows().size(), 1);
    // The letters are the 69 of the index, in two rows.
    EXPECT_EQ(AlphabetLetters().size(), 69);
    EXPECT_EQ(index->LetterRect(0).top(), index->LetterRect(35).top());
    EXPECT_GT(index->LetterRect(36).top(), index->LetterRect(35).top());
}

// ---- Columns ----

TEST_F(BrowseWindowTest, ColumnsFollowTheWidthAndTheFont)
{
    show(bmComputerFiles, 0);
    window->MenuItem("PMCFSSmall")->trigger(); // font size 8
    window->resize(1600, 700);
    test::Settle();
    window->sLBBrowseWindow->setFixedWidth(900);
    test::Settle();
    EXPECT_EQ(window->FontSize(), 8);
    EXPECT_EQ(window->sLBBrowseWindow->Columns(), 2);
    EXPECT_TRUE(window->sLBBrowseWindow->isWrapping());
    EXPECT_EQ(window->sLBBrowseWindow->gridSize().height(), 20);
    EXPECT_EQ(window->sLBBrowseWindow->gridSize().width(),
              window->sLBBrowseWindow->viewport()->width() / 2);

    window->sLBBrowseWindow->setFixedWidth(477);
    test::Settle();
    EXPECT_EQ(window->sLBBrowseWindow->Columns(), 0);
    EXPECT_FALSE(window->sLBBrowseWindow->isWrapping());

    // Font 12: 1080 / 540 = 2.
    window->sLBBrowseWindow->setFixedWidth(1080);
    window->MenuItem("PMCFSMedium")->trigger();
    test::Settle();
    EXPECT_EQ(window->FontSize(), 12);
    EXPECT_EQ(window->sLBBrowseWindow->Columns(), 2);
    EXPECT_EQ(window->sLBBrowseWindow->gridSize().height(), 24);
    EXPECT_EQ(pending(), efRefreshView);
}

// ---- Keys ----

TEST_F(BrowseWindowTest, PlayerKeysUnlessAnEditorOrAListKeepsThem)
{
    show(bmComputerFiles, 0);
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PendingPlayerCommand, 4);
    Key(Qt::Key_Left);
    EXPECT_EQ(window->PendingPlayerCommand, 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(window->PendingPlayerCommand, 1);

    window->PendingPlayerCommand = 0;
    focus(window->sEFindQuery);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PendingPlayerCommand, 0);
    EXPECT_EQ(window->sEFindQuery->text(), " "); // the editor had the key
    focus(window->sLBNavigator);
    Key(Qt::Key_Right);
    EXPECT_EQ(window->PendingPlayerCommand, 0);
    focus(window->sLBDirList);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PendingPlayerCommand, 4);
}

TEST_F(BrowseWindowTest, UpAndDownMoveThroughTheFiles)
{
    show(bmComputerFiles, 0);
    vorlane().SetFileIndex(0);
    drain();
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_Down);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    drain();
    EXPECT_EQ(window->BrowseCurrentRow(), 2); // moved by the opened file, not by the list itself
    Key(Qt::Key_Up);
    EXPECT_EQ(vorlane().FileIndex(), 0);
    focus(window->sLBNavigator);
    const int row = navigatorRow();
    Key(Qt::Key_Down);
    EXPECT_EQ(vorlane().FileIndex(), 0); // the navigator moves itself
    EXPECT_NE(navigatorRow(), row);
}

TEST_F(BrowseWindowTest, PageKeysSetTheVolumeWhereverTheFocusIs)
{
    const int volume = window->sTBVolume->value();
    focus(window->sEFindQuery);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(window->sTBVolume->value(), volume + 1);
    focus(window->sLBNavigator);
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(window->sTBVolume->value(), volume - 1);
    EXPECT_EQ(player->Volume, volume - 1);
}

TEST_F(BrowseWindowTest, ControlKeysAreBlockedWhileAnEditorHasTheFocus)
{
    show(bmComputerFiles, 0);
    focus(window->sEFindQuery);
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerFiles));
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists));
    Key(Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmPlayLists));

    // Menu shortcuts: the sleep timer window toggles only from outside the editors.
    QWidget *timer = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "TimerWindow")
            timer = w;
    }
    ASSERT_NE(timer, nullptr);
    focus(window->sEEdit);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(timer->isVisible());
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(timer->isVisible());
    timer->hide();

    // Shift+Delete and Ctrl+K press the file buttons (enabled after the start-up timer); what
    // the buttons do is counted here only.
    window->InetStartTimerTimer();
    window->MT->stop();
    int deletes = 0, copies = 0;
    for (auto [name, count] : {std::pair{"sSBDelete", &deletes}, {"sSBCopy", &copies}}) {
        auto *b = window->findChild<QToolButton *>(name);
        QObject::disconnect(b, &QToolButton::clicked, nullptr, nullptr);
        QObject::connect(b, &QToolButton::clicked, [count] { ++*count; });
    }
    focus(window->sLBDirList);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(QApplication::focusWidget(), window->sLBBrowseWindow); // after a copy
    focus(window->sEEdit);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(deletes, 1);
    // Enter in the folder list repeats the last operation (a copy when there was none).
    focus(window->sLBDirList);
    Key(Qt::Key_Return);
    EXPECT_EQ(copies, 2);
}

TEST_F(BrowseWindowTest, BackspaceAndPastedLinksInTheBrowseList)
{
    show(bmComputerFiles, 0);
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists));

    QApplication::clipboard()->setText(
        "http://a.example/x/one.mp3\r\nhttp://a.example/x/two.mp3\r\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists)); // only in the search mode
    show(bmInternetSearch);
    focus(window->sLBBrowseWindow);
    Key(Qt::Key_V, Qt::ControlModifier);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"one.mp3", "two.mp3"}));
}

TEST_F(BrowseWindowTest, FindBoxFindsWithEnter)
{
    show(bmComputerFiles, 0);
    focus(window->sEFindQuery);
    window->sEFindQuery->setText("gama");
    Key(Qt::Key_Return);
    drain();
    EXPECT_EQ(window->BrowseCurrentRow(), 3); // Gamma.mp3, found by similarity
}

TEST_F(BrowseWindowTest, WheelSetsTheVolumeWhenTheFocusIsElsewhere)
{
    const int volume = window->sTBVolume->value();
    focus(window->sEFindQuery);
    test::Wheel(window->sLBBrowseWindow->viewport(), 1);
    EXPECT_EQ(QApplication::focusWidget(), window->sTBVolume);
    EXPECT_GT(window->sTBVolume->value(), volume);

    const int now = window->sTBVolume->value();
    focus(window->sLBBrowseWindow);
    test::Wheel(window->sLBBrowseWindow->viewport(), 1);
    EXPECT_EQ(window->sTBVolume->value(), now);
    EXPECT_EQ(QApplication::focusWidget(), window->sLBBrowseWindow);
}

TEST_F(BrowseWindowTest, RightButtonOnTheSideListsShowsTheNextTab)
{
    QTabWidget *tabs = window->sPCExtentedControls;
    tabs->setCurrentIndex(1);
    Click(window->sLBDirList->viewport(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 2);
    Click(window->sLBPlayLists->viewport(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 3);
    tabs->setCurrentIndex(3);
    Click(tabs->tabBar(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 0); // after the last, the first
}

// ---- Side lists ----

TEST_F(BrowseWindowTest, SideListClicks)
{
    window->sPCExtentedControls->setCurrentIndex(1);
    test::Settle();
    ClickRow(window->sLBDirList, 1);
    EXPECT_EQ(window->DestFolderIndex(), 1);

    window->sPCExtentedControls->setCurrentIndex(2);
    test::Settle();
    ClickRow(window->sLBPlayLists, 1);
    EXPECT_EQ(window->SelectedPlayListIndex(), 1);

    show(bmComputerFiles, 0);
    window->sPCExtentedControls->setCurrentIndex(0);
    test::Settle();
    ASSERT_EQ(window->BookmarkLines().size(), 1);
    test::DoubleClick(
        window->sLBBookmarks->viewport(),
        window->sLBBookmarks->visualRect(window->sLBBookmarks->model()->index(0, 0)).center());
    EXPECT_EQ(window->vNewPlayPosition, 250000);
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Beta.mp3");
    EXPECT_EQ(QApplication::focusWidget(), window->sLBBrowseWindow);
}

// ---- Drops, links, folders ----

TEST_F(BrowseWindowTest, ADropOfThreeFilesTakesTheFirstOnly)
{
    const QString third = folders.Root.path() + "/third";
    ASSERT_TRUE(test::WriteFile(third + "/Zeta.mp3", "x"));
    const int lists = vorlane().FolderListCount();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(third + "/Zeta.mp3"), QUrl::fromLocalFile(musicA),
                  QUrl::fromLocalFile(musicB + "/Delta.mp3")});
    // As the platform delivers it: the window takes the drag on entering, then the drop.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    test::Settle();
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(vorlane().FolderListCount(), lists + 1);
    EXPECT_EQ(vorlane().FolderList(lists).RootDir, third);
    EXPECT_TRUE(vorlane().FolderList(lists).Included);
    EXPECT_EQ(window->LastDir(), third);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Zeta"}));
}

TEST_F(BrowseWindowTest, ADroppedLinkListWithACapitalExtensionOpensAsLinks)
{
    const QString links = folders.Root.path() + "/LINKS.TXT";
    ASSERT_TRUE(test::WriteFile(links,
                                "http://a.example/m/one.mp3\r\nhttp://a.example/m/two%20x.mp3\r\n"
                                "ftp://b.example/three.ogg\r\n"));
    window->WMDropFiles({QUrl::fromLocalFile(links), QUrl::fromLocalFile(musicA)});
    EXPECT_EQ(questions, 0);
    drain();
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmInternetSearch));
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"one.mp3", "two x.mp3", "three.ogg"}));
}

TEST_F(BrowseWindowTest, DirectoryMenu)
{
    const QString other = folders.Root.path() + "/other";
    ASSERT_TRUE(test::WriteFile(other + "/Omega.mp3", "x"));
    window->ChooseFolder = [other](const QString &, const QString &) { return other; };
    answer = false;
    show(bmComputerFiles, 1);
    window->MenuItem("PMDChange")->trigger();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(vorlane().FolderList(1).RootDir, other);
    EXPECT_FALSE(vorlane().FolderList(1).Included);
    EXPECT_EQ(pending(), efListRescanned);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Omega"}));

    window->MenuItem("PMDRefresh")->trigger();
    EXPECT_EQ(pending(), efListRescanned);

    const QString links = folders.Root.path() + "/l.txt";
    ASSERT_TRUE(test::WriteFile(links, "http://a.example/one.mp3\r\n"));
    window->ChooseFile = [links](const QString &, const QString &) { return links; };
    window->MenuItem("PMDAddFileList")->trigger();
    drain();
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmInternetSearch));

    const int lists = vorlane().FolderListCount();
    window->ChooseFolder = [this](const QString &, const QString &) { return musicB; };
    window->MenuItem("PMDAdd")->trigger();
    EXPECT_EQ(vorlane().FolderListCount(), lists + 1);
    drain();
    window->MenuItem("PMDDelete")->trigger();
    EXPECT_EQ(vorlane().FolderListCount(), lists);
}

// ---- Device arrival ----

TEST_F(BrowseWindowTest, AMountAppearingUnderAFolderListsRootRescansIt)
{
    // A list whose root is on a "stick" that is not mounted yet: its folder is empty.
    const QString stick = folders.Root.path() + "/stick";
    QDir().mkpath(stick + "/music");
    window->addFolderList(stick + "/music", true);
    drain();
    const int list = vorlane().FolderListCount() - 1;
    EXPECT_EQ(vorlane().FolderList(list).Count(), 0);
    show(bmComputerLists);

    // A volume that concerns no list changes nothing.
    mounts << folders.Root.path() + "/elsewhere";
    window->OnDeviceChange();
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerLists));
    EXPECT_EQ(pending(), efNone);

    // The stick is mounted: the list is shown, rescanned and becomes the destination.
    ASSERT_TRUE(test::WriteFile(stick + "/music/Song.mp3", "x"));
    mounts << stick;
    for (int i = 0; i < 20; ++i) // the timer looks once a second
        window->MTTimer();
    EXPECT_EQ(vorlane().Mode(), uint32_t(bmComputerFiles));
    EXPECT_EQ(vorlane().ListIndex(), list);
    EXPECT_EQ(vorlane().FolderList(list).Count(), 1);
    EXPECT_EQ(window->DestFolderIndex(), list);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Song"}));
    EXPECT_EQ(window->sLBDirList->currentIndex().row(), list);
}

TEST(MountWatcher, NewMountsAreSeenOnce)
{
    // The system's table may lack "/" (a chroot) or be unreadable; what it lists are paths.
    for (const QString &mount : TMountWatcher::SystemMountPoints())
        EXPECT_TRUE(mount.startsWith('/')) << mount.toStdString();
    QStringList table = {"/"};
    TMountWatcher w([&table] { return table; });
    QStringList before, after;
    EXPECT_FALSE(w.Poll(before, after));
    table << "/media/x";
    EXPECT_TRUE(w.Poll(before, after));
    EXPECT_EQ(before, QStringList({"/"}));
    EXPECT_EQ(after, QStringList({"/", "/media/x"}));
    EXPECT_FALSE(w.Poll(before, after));
}

// ---- Reordering by dragging ----

TEST_F(BrowseWindowTest, DroppingTheSelectionOnARowExchangesTheEntries)
{
    show(bmComputerFiles, 0);
    TBrowseListView *view = window->sLBBrowseWindow;
    view->selectionModel()->select(view->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    std::unique_ptr<QMimeData> drag(view->DragData());
    const QPoint onGamma = view->visualRect(view->model()->index(3, 0)).center();
    EXPECT_TRUE(view->DropAt(drag.get(), onGamma));
    EXPECT_EQ(pending(), efListChanged);
    drain();
    EXPECT_EQ(window->BrowseLines().mid(1), QStringList({"Gamma", "Beta", "Alpha"}));

    // Rows of another list, and drops on the way back, are refused.
    QMimeData foreign;
    foreign.setData(TBrowseListView::kRowsMimeType, "1234 1");
    EXPECT_FALSE(view->DropAt(&foreign, onGamma));
    const QPoint onHeader = view->visualRect(view->model()->index(0, 0)).center();
    EXPECT_TRUE(view->DropAt(drag.get(), onHeader));
    EXPECT_EQ(pending(), efNone);
}

// ---- Panels ----

TEST_F(BrowseWindowTest, SplitterClicksShowAndHideThePanels)
{
    QSplitterHandle *left = window->sSPLeft->handle(1);
    ASSERT_TRUE(window->PanelShown(window->sPLeft));
    test::DoubleClick(left, {2, 20});
    EXPECT_FALSE(window->PanelShown(window->sPLeft));
    EXPECT_TRUE(left->isVisible()); // the splitter stays to bring it back
    EXPECT_EQ(left->toolTip(), Msg().SM_ClICKSHOW);
    EXPECT_FALSE(window->CurrentConfig().ShowNavigator);
    Click(left, {2, 20});
    EXPECT_TRUE(window->PanelShown(window->sPLeft));
    EXPECT_EQ(left->toolTip(), Msg().SM_DBLCLICKHIDE);

    QSplitterHandle *side = window->sSpCentral->handle(1);
    test::DoubleClick(side, {2, 20});
    EXPECT_FALSE(window->PanelShown(window->sPRight));
    Click(side, {2, 20});
    EXPECT_TRUE(window->PanelShown(window->sPRight));
    EXPECT_GE(window->sPRight->width(), 210);

    test::DoubleClick(window->sSPTop->handle(1), {20, 2});
    EXPECT_FALSE(window->PanelShown(window->sPTop));
    EXPECT_FALSE(window->CurrentConfig().ShowPeaks);
}

// ---- Clipboard and the desktop ----

class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> Urls;
    Q_INVOKABLE void take(const QUrl &url) { Urls << url; }
};

TEST_F(BrowseWindowTest, ClipboardAndDesktopItems)
{
    show(bmComputerFiles, 0);
    window->MenuItem("PMECopyListToClipBoard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), window->BrowseLines().join("\r\n"));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "take");
    vorlane().SetFileIndex(2);
    drain();
    window->MenuItem("PMEOpenInApp")->trigger();
    window->MenuItem("PMEOpenInExplorer")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.Urls.size(), 2);
    EXPECT_EQ(catcher.Urls[0].toLocalFile(), musicA + "/Gamma.mp3");
    EXPECT_EQ(QDir(catcher.Urls[1].toLocalFile()).absolutePath(), musicA);

    // The tag listing is the controller's, one line per file.
    QApplication::clipboard()->clear();
    window->MenuItem("PMECopyTagsListToClipBoard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), vorlane().GetTagsList(0, true));
    show(bmComputerLists);
    QApplication::clipboard()->setText("kept");
    window->MenuItem("PMECopyTagsListToClipBoard")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept"); // folder files only
}

} // namespace
} // namespace vorlane

#include "BrowseWindowTest.moc"
