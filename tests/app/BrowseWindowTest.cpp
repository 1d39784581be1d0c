// Browsing through the real main window: every row of the navigator and browse-list tables, the
// letter jump, the columns, the keys, the wheel, drops, new volumes, panels and menus.

#include "app/browse/MountWatcher.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

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
    const TNavigatorLayout l = window->Browse().NavigatorSections();
    const QStringList nav = window->Browse().NavigatorLines();
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
    const TNavigatorLayout l = window->Browse().NavigatorSections();
    ClickRow(window->Browse().sLBNavigator, 0);
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);

    ClickRow(window->Browse().sLBNavigator, 2);
    EXPECT_EQ(vorlane().Mode(), bmComputerFiles);
    EXPECT_EQ(vorlane().ListIndex(), 1);
    drain();
    EXPECT_TRUE(window->Browse().BrowseLines().contains("Delta"));

    ClickRow(window->Browse().sLBNavigator, l.P);
    EXPECT_EQ(vorlane().Mode(), bmPlayLists);

    // The network playlist asks to sign in while nobody is.
    int signIns = 0;
    QObject::connect(&browse(), &TBrowsePanel::signInRequested, [&signIns] { ++signIns; });
    ClickRow(window->Browse().sLBNavigator, l.P + 1);
    EXPECT_EQ(vorlane().Mode(), bmPlayListFiles);
    EXPECT_EQ(vorlane().ListIndex(), 0);
    EXPECT_EQ(signIns, 1);
    ClickRow(window->Browse().sLBNavigator, l.P + 2);
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(signIns, 1);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Alpha", "Beta"}));
}

TEST_F(BrowseWindowTest, NavigatorClicksOnTheInternetAndBookmarkSections)
{
    const TNavigatorLayout l = window->Browse().NavigatorSections();
    ClickRow(window->Browse().sLBNavigator, l.I);
    EXPECT_EQ(vorlane().Mode(), bmInternetLists);
    EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);

    window->Side().sPCExtentedControls->setCurrentIndex(2);
    ClickRow(window->Browse().sLBNavigator, l.B);
    EXPECT_EQ(vorlane().Mode(), bmBookmarks);
    EXPECT_EQ(window->Side().sPCExtentedControls->currentIndex(), 0);

    // A bookmark row jumps to it and keeps its position for the seek.
    show(bmComputerLists);
    const int row = int(window->Browse().NavigatorLines().size()) - 1;
    ClickRow(window->Browse().sLBNavigator, row);
    EXPECT_EQ(playerPanel().NewPlayPosition(), 250000);
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Beta.mp3");
    const int code = pending();
    EXPECT_TRUE(code == efGotoBookmark || code == efGotoBookmarkShow) << code;
}

// ---- Browse list ----

TEST_F(BrowseWindowTest, TheRootMenuRows)
{
    const TBrowseMode expected[] = {bmComputerLists, bmInternetLists, bmBookmarks, bmInternetSearch,
                                    bmPlayLists};
    for (int row = 0; row < 5; ++row) {
        show(bmRoot);
        ASSERT_EQ(window->Browse().BrowseLines().size(), 6);
        window->Side().sPCExtentedControls->setCurrentIndex(1);
        ClickRow(window->Browse().sLBBrowseWindow, row);
        EXPECT_EQ(vorlane().Mode(), expected[row]) << row;
        if (row == 1) {
            EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);
        }
        EXPECT_EQ(window->Side().sPCExtentedControls->currentIndex(), row == 2 ? 0 : 1) << row;
    }
    show(bmRoot);
    ClickRow(window->Browse().sLBBrowseWindow, 5); // exit
    EXPECT_FALSE(window->isVisible());
}

TEST_F(BrowseWindowTest, ListsOfListsOpenTheClickedList)
{
    show(bmComputerLists);
    ClickRow(window->Browse().sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().Mode(), bmComputerFiles);
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(navigatorRow(), 2);

    show(bmPlayLists);
    int signIns = 0;
    QObject::connect(&browse(), &TBrowsePanel::signInRequested, [&signIns] { ++signIns; });
    ClickRow(window->Browse().sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().Mode(), bmPlayListFiles);
    EXPECT_EQ(vorlane().ListIndex(), 1);
    EXPECT_EQ(signIns, 0);
    show(bmPlayLists);
    ClickRow(window->Browse().sLBBrowseWindow, 1);
    EXPECT_EQ(vorlane().ListIndex(), 0);
    EXPECT_EQ(signIns, 1);
}

TEST_F(BrowseWindowTest, FileRowsOpenTheirEntryAndTheNavigatorFollows)
{
    show(bmComputerFiles, 1);
    ClickRow(window->Browse().sLBBrowseWindow, 2);
    EXPECT_EQ(pending(), efOpenFile);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(navigatorRow(), 2); // list index + 1
    drain();
    EXPECT_EQ(player->Current.FileName, "Echo.mp3");

    const TNavigatorLayout l = window->Browse().NavigatorSections();
    show(bmPlayListFiles, 1);
    ClickRow(window->Browse().sLBBrowseWindow, 1);
    EXPECT_EQ(vorlane().FileIndex(), 0);
    EXPECT_EQ(navigatorRow(), 1 + l.P + 1);

    // Search results (here an opened list of links) have no navigator rows.
    vorlane().OpenExtFileList("http://a.example/one.mp3\nhttp://a.example/two.mp3", true);
    drain();
    ASSERT_EQ(vorlane().Mode(), bmInternetSearch);
    window->Browse().sLBNavigator->setCurrentIndex({});
    ClickRow(window->Browse().sLBBrowseWindow, 2);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(navigatorRow(), -1);
}

TEST_F(BrowseWindowTest, RowZeroGoesBackInEveryMode)
{
    const std::pair<TBrowseMode, TBrowseMode> steps[] = {
        {bmComputerLists, bmRoot},     {bmInternetLists, bmRoot},
        {bmBookmarks, bmRoot},         {bmInternetSearch, bmRoot},
        {bmPlayLists, bmRoot},         {bmComputerFiles, bmComputerLists},
        {bmPlayListFiles, bmPlayLists}};
    for (auto [from, to] : steps) {
        show(from);
        ClickRow(window->Browse().sLBBrowseWindow, 0);
        EXPECT_EQ(vorlane().Mode(), to) << from;
    }
}

TEST_F(BrowseWindowTest, BookmarkRowsSelectTheBookmark)
{
    show(bmBookmarks);
    ASSERT_GE(window->Browse().BrowseLines().size(), 2);
    const int row = int(window->Browse().BrowseLines().size()) - 1;
    ClickRow(window->Browse().sLBBrowseWindow, row);
    EXPECT_EQ(window->Side().sLBBookmarks->currentIndex().row(), row - 1);
    EXPECT_TRUE(window->Side().sLBBookmarks->toolTip().contains("00:12"));
    EXPECT_EQ(vorlane().Mode(), bmBookmarks);
}

TEST_F(BrowseWindowTest, CtrlAndShiftClicksSelectThenActAsAPlainClick)
{
    show(bmComputerFiles, 0);
    ClickRow(browse().sLBBrowseWindow, 1);
    drain();
    ClickRow(browse().sLBBrowseWindow, 3, Qt::ControlModifier);
    EXPECT_EQ(browse().SelectedRowCount(), 2);
    EXPECT_EQ(pending(), efOpenFile);
    EXPECT_EQ(vorlane().FileIndex(), 2);

    show(bmComputerLists);
    ClickRow(browse().sLBBrowseWindow, 2, Qt::ShiftModifier);
    EXPECT_EQ(vorlane().Mode(), bmComputerFiles);
    EXPECT_EQ(vorlane().ListIndex(), 1);
}

TEST_F(BrowseWindowTest, SourceAndBackButtons)
{
    const TNavigatorLayout l = window->Browse().NavigatorSections();
    const auto press = [this](const char *name) {
        window->findChild<QToolButton *>(name)->click();
    };
    press("sSBComputerMode");
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);
    EXPECT_EQ(navigatorRow(), 0);
    press("sSBInternetMode");
    EXPECT_EQ(vorlane().Mode(), bmInternetLists);
    EXPECT_EQ(navigatorRow(), l.I);
    EXPECT_EQ(status(), Msg().SM_INTERNETLOAD);
    press("sSBBookmarksMode");
    EXPECT_EQ(vorlane().Mode(), bmBookmarks);
    EXPECT_EQ(navigatorRow(), l.B);
    EXPECT_EQ(window->Side().sPCExtentedControls->currentIndex(), 0);
    press("sSBPlayListsMode");
    EXPECT_EQ(vorlane().Mode(), bmPlayLists);
    EXPECT_EQ(navigatorRow(), l.P);
    press("sSBInternetSearchMode");
    EXPECT_EQ(vorlane().Mode(), bmInternetSearch);
    press("sSBBackBrowser");
    EXPECT_EQ(vorlane().Mode(), bmRoot);
    press("sSBBackBrowser");
    EXPECT_EQ(vorlane().Mode(), bmRoot); // the root stays
}

TEST_F(BrowseWindowTest, SortButtons)
{
    show(bmComputerFiles, 0);
    browse().sSBAlphabetSortRev->click();
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Gamma", "Beta", "Alpha"}));
    browse().sSBAlphabetSort->click();
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Alpha", "Beta", "Gamma"}));
    browse().sSBDateSort->click();
    EXPECT_EQ(pending(), efRefreshView);
    browse().sSBDefaultSort->click();
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
    ASSERT_EQ(window->Browse().BrowseLines().mid(1),
              QStringList({"Aurora", "Avalon", "Boreal", "ёлка", "ірій"}));
    TAlphabetIndex *index = window->Browse().sPAlphabet;
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
        return window->Browse().BrowseCurrentRow();
    };
    window->Browse().fSetBrowseIndex(0);
    window->Browse().sLBBrowseWindow->clearSelection();
    window->Browse().fSetBrowseIndex(0);
    EXPECT_EQ(click(u'A'), 1);
    EXPECT_EQ(click(u'A'), 2);
    EXPECT_EQ(click(u'A'), 0); // after the second A entry: the top, not the first A entry
    EXPECT_EQ(click(u'Я'), 0); // nothing begins with Я
    EXPECT_EQ(click(u'Ё'), 4); // ё is upper-cased
    EXPECT_EQ(click(u'І'), 0); // і is not
    EXPECT_EQ(click(u'B'), 3);
    // Only the left button jumps; the selection is the one row jumped to.
    Click(index, index->LetterRect(letterAt(u'A')).center(), Qt::RightButton);
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 3);
    EXPECT_EQ(window->Browse().sLBBrowseWindow->selectionModel()->selectedRows().size(), 1);
    // The letters are the 69 of the index, in two rows.
    EXPECT_EQ(AlphabetLetters().size(), 69);
    EXPECT_EQ(index->LetterRect(0).top(), index->LetterRect(35).top());
    EXPECT_GT(index->LetterRect(36).top(), index->LetterRect(35).top());
}

// ---- Columns ----

TEST_F(BrowseWindowTest, ColumnsFollowTheWidthAndTheFont)
{
    show(bmComputerFiles, 0);
    window->Menus().PMCFSSmall->trigger(); // font size 8
    window->resize(1600, 700);
    test::Settle();
    window->Browse().sLBBrowseWindow->setFixedWidth(900);
    test::Settle();
    EXPECT_EQ(window->FontSize(), 8);
    EXPECT_EQ(window->Browse().sLBBrowseWindow->Columns(), 2);
    EXPECT_TRUE(window->Browse().sLBBrowseWindow->isWrapping());
    EXPECT_EQ(window->Browse().sLBBrowseWindow->gridSize().height(), 20);
    EXPECT_EQ(window->Browse().sLBBrowseWindow->gridSize().width(),
              window->Browse().sLBBrowseWindow->viewport()->width() / 2);

    window->Browse().sLBBrowseWindow->setFixedWidth(477);
    test::Settle();
    EXPECT_EQ(window->Browse().sLBBrowseWindow->Columns(), 0);
    EXPECT_FALSE(window->Browse().sLBBrowseWindow->isWrapping());

    // Font 12: 1080 / 540 = 2.
    window->Browse().sLBBrowseWindow->setFixedWidth(1080);
    window->Menus().PMCFSMedium->trigger();
    test::Settle();
    EXPECT_EQ(window->FontSize(), 12);
    EXPECT_EQ(window->Browse().sLBBrowseWindow->Columns(), 2);
    EXPECT_EQ(window->Browse().sLBBrowseWindow->gridSize().height(), 24);
    EXPECT_EQ(pending(), efRefreshView);
}

// ---- Keys ----

TEST_F(BrowseWindowTest, PlayerKeysUnlessAnEditorOrAListKeepsThem)
{
    show(bmComputerFiles, 0);
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 4);
    Key(Qt::Key_Left);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 1);

    window->PlayerPanel().PostCommand(0);
    focus(window->Browse().sEFindQuery);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 0);
    EXPECT_EQ(window->Browse().sEFindQuery->text(), " "); // the editor had the key
    focus(window->Browse().sLBNavigator);
    Key(Qt::Key_Right);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 0);
    focus(window->Side().sLBDirList);
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 4);
    // The folder list keeps Left and Right from moving itself, but they seek first.
    Key(Qt::Key_Left);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 1);
}

TEST_F(BrowseWindowTest, UpAndDownMoveThroughTheFiles)
{
    show(bmComputerFiles, 0);
    vorlane().SetFileIndex(0);
    drain();
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_Down);
    EXPECT_EQ(vorlane().FileIndex(), 1);
    drain();
    EXPECT_EQ(window->Browse().BrowseCurrentRow(),
              2); // moved by the opened file, not by the list itself
    Key(Qt::Key_Up);
    EXPECT_EQ(vorlane().FileIndex(), 0);
    focus(window->Browse().sLBNavigator);
    const int row = navigatorRow();
    Key(Qt::Key_Down);
    EXPECT_EQ(vorlane().FileIndex(), 0); // the navigator moves itself
    EXPECT_NE(navigatorRow(), row);
}

TEST_F(BrowseWindowTest, PageKeysSetTheVolumeWhereverTheFocusIs)
{
    const int volume = window->PlayerPanel().sTBVolume->value();
    focus(window->Browse().sEFindQuery);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->value(), volume + 1);
    focus(window->Browse().sLBNavigator);
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->value(), volume - 1);
    EXPECT_EQ(player->Volume, volume - 1);
}

TEST_F(BrowseWindowTest, ControlKeysAreBlockedWhileAnEditorHasTheFocus)
{
    show(bmComputerFiles, 0);
    focus(window->Browse().sEFindQuery);
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), bmComputerFiles);
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);
    Key(Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), bmPlayLists);

    // Menu shortcuts reach their item only from outside the editors (the sleep timer's item,
    // enabled here to be seen).
    int timers = 0;
    menus().PMSleepTimer->setEnabled(true);
    QObject::connect(menus().PMSleepTimer, &QAction::triggered, [&timers] { ++timers; });
    focus(window->NamingTools().sEEdit);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(timers, 0);
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(timers, 1);

    // Shift+Delete and Ctrl+K press the file buttons (enabled after the start-up timer); what
    // the buttons do is counted here only.
    window->InetStartTimerTimer();
    window->MainTimer()->stop();
    int deletes = 0, copies = 0;
    for (auto [name, count] : {std::pair{"sSBDelete", &deletes}, {"sSBCopy", &copies}}) {
        auto *b = window->findChild<QToolButton *>(name);
        QObject::disconnect(b, &QToolButton::clicked, nullptr, nullptr);
        QObject::connect(b, &QToolButton::clicked, [count] { ++*count; });
    }
    focus(window->Side().sLBDirList);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(QApplication::focusWidget(), window->Browse().sLBBrowseWindow); // after a copy
    focus(window->NamingTools().sEEdit);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(deletes, 1);
    // Enter in the folder list repeats the last operation (a copy when there was none).
    focus(window->Side().sLBDirList);
    Key(Qt::Key_Return);
    EXPECT_EQ(copies, 2);
}

TEST_F(BrowseWindowTest, BackspaceAndPastedLinksInTheBrowseList)
{
    show(bmComputerFiles, 0);
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);

    QApplication::clipboard()->setText(
        "http://a.example/x/one.mp3\r\nhttp://a.example/x/two.mp3\r\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(vorlane().Mode(), bmComputerLists); // only in the search mode
    show(bmInternetSearch);
    focus(window->Browse().sLBBrowseWindow);
    Key(Qt::Key_V, Qt::ControlModifier);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"one.mp3", "two.mp3"}));
}

TEST_F(BrowseWindowTest, FindBoxFindsWithEnter)
{
    show(bmComputerFiles, 0);
    focus(window->Browse().sEFindQuery);
    window->Browse().sEFindQuery->setText("gama");
    Key(Qt::Key_Return);
    drain();
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 3); // Gamma.mp3, found by similarity
}

TEST_F(BrowseWindowTest, WheelSetsTheVolumeWhenTheFocusIsElsewhere)
{
    const int volume = window->PlayerPanel().sTBVolume->value();
    focus(window->Browse().sEFindQuery);
    test::Wheel(window->Browse().sLBBrowseWindow->viewport(), 1);
    EXPECT_EQ(QApplication::focusWidget(), window->PlayerPanel().sTBVolume);
    EXPECT_GT(window->PlayerPanel().sTBVolume->value(), volume);

    const int now = window->PlayerPanel().sTBVolume->value();
    focus(window->Browse().sLBBrowseWindow);
    test::Wheel(window->Browse().sLBBrowseWindow->viewport(), 1);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->value(), now);
    EXPECT_EQ(QApplication::focusWidget(), window->Browse().sLBBrowseWindow);
}

TEST_F(BrowseWindowTest, RightButtonOnTheSideListsShowsTheNextTab)
{
    QTabWidget *tabs = window->Side().sPCExtentedControls;
    tabs->setCurrentIndex(1);
    Click(window->Side().sLBDirList->viewport(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 2);
    Click(window->Side().sLBPlayLists->viewport(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 3);
    tabs->setCurrentIndex(3);
    Click(tabs->tabBar(), {5, 5}, Qt::RightButton);
    EXPECT_EQ(tabs->currentIndex(), 0); // after the last, the first
}

// ---- Side lists ----

TEST_F(BrowseWindowTest, SideListClicks)
{
    window->Side().sPCExtentedControls->setCurrentIndex(1);
    test::Settle();
    ClickRow(window->Side().sLBDirList, 1);
    EXPECT_EQ(window->Side().DestFolderIndex(), 1);

    window->Side().sPCExtentedControls->setCurrentIndex(2);
    test::Settle();
    ClickRow(window->Side().sLBPlayLists, 1);
    EXPECT_EQ(window->Side().SelectedPlayListIndex(), 1);

    show(bmComputerFiles, 0);
    window->Side().sPCExtentedControls->setCurrentIndex(0);
    test::Settle();
    ASSERT_EQ(window->Side().BookmarkLines().size(), 1);
    test::DoubleClick(
        window->Side().sLBBookmarks->viewport(),
        window->Side()
            .sLBBookmarks->visualRect(window->Side().sLBBookmarks->model()->index(0, 0))
            .center());
    EXPECT_EQ(playerPanel().NewPlayPosition(), 250000);
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Beta.mp3");
    EXPECT_EQ(QApplication::focusWidget(), window->Browse().sLBBrowseWindow);
}

// ---- Drops, links, folders ----

TEST_F(BrowseWindowTest, ADropOfThreeTakesTheFirstAndAFileIsNotItsFolder)
{
    const QString third = folders.Root.path() + "/third";
    ASSERT_TRUE(test::WriteFile(third + "/Zeta.mp3", "x"));
    const int lists = vorlane().FolderListCount();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(third), QUrl::fromLocalFile(musicA),
                  QUrl::fromLocalFile(musicB + "/Delta.mp3")});
    // As the platform delivers it: the window takes the drag on entering, then the drop.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    test::Settle();
    EXPECT_EQ(questions.size(), 1);
    ASSERT_EQ(vorlane().FolderListCount(), lists + 1);
    EXPECT_EQ(vorlane().FolderList(lists).RootDir, third);
    EXPECT_TRUE(vorlane().FolderList(lists).Included);
    EXPECT_EQ(window->Folders().LastDir(), third);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Zeta"}));

    // A dropped audio file is not taken for the folder it lies in.
    window->Folders().WMDropFiles({QUrl::fromLocalFile(third + "/Zeta.mp3")});
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(vorlane().FolderListCount(), lists + 1);
}

TEST_F(BrowseWindowTest, ADroppedLinkListWithACapitalExtensionOpensAsLinks)
{
    const QString links = folders.Root.path() + "/LINKS.TXT";
    ASSERT_TRUE(test::WriteFile(links,
                                "http://a.example/m/one.mp3\r\nhttp://a.example/m/two%20x.mp3\r\n"
                                "ftp://b.example/three.ogg\r\n"));
    window->Folders().WMDropFiles({QUrl::fromLocalFile(links), QUrl::fromLocalFile(musicA)});
    EXPECT_TRUE(questions.isEmpty());
    drain();
    EXPECT_EQ(vorlane().Mode(), bmInternetSearch);
    EXPECT_EQ(window->Browse().BrowseLines().mid(1),
              QStringList({"one.mp3", "two x.mp3", "three.ogg"}));
}

TEST_F(BrowseWindowTest, DirectoryMenu)
{
    const QString other = folders.Root.path() + "/other";
    ASSERT_TRUE(test::WriteFile(other + "/Omega.mp3", "x"));
    window->Folders().SetChoosers([other](const QString &, const QString &) { return other; });
    answer = false;
    show(bmComputerFiles, 1);
    window->Menus().PMDChange->trigger();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(vorlane().FolderList(1).RootDir, other);
    EXPECT_FALSE(vorlane().FolderList(1).Included);
    EXPECT_EQ(pending(), efListRescanned);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Omega"}));

    window->Menus().PMDRefresh->trigger();
    EXPECT_EQ(pending(), efListRescanned);

    const QString links = folders.Root.path() + "/l.txt";
    ASSERT_TRUE(test::WriteFile(links, "http://a.example/one.mp3\r\n"));
    window->Folders().SetChoosers({}, [links](const QString &, const QString &) { return links; });
    window->Menus().PMDAddFileList->trigger();
    drain();
    EXPECT_EQ(vorlane().Mode(), bmInternetSearch);

    const int lists = vorlane().FolderListCount();
    window->Folders().SetChoosers([this](const QString &, const QString &) { return musicB; });
    window->Menus().PMDAdd->trigger();
    EXPECT_EQ(vorlane().FolderListCount(), lists + 1);
    drain();
    window->Menus().PMDDelete->trigger();
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
    window->Folders().OnDeviceChange();
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);
    EXPECT_EQ(pending(), efNone);

    // The stick is mounted: the list is shown, rescanned and becomes the destination.
    ASSERT_TRUE(test::WriteFile(stick + "/music/Song.mp3", "x"));
    mounts << stick;
    for (int i = 0; i < 20; ++i) // the timer looks once a second
        window->MTTimer();
    EXPECT_EQ(vorlane().Mode(), bmComputerFiles);
    EXPECT_EQ(vorlane().ListIndex(), list);
    EXPECT_EQ(vorlane().FolderList(list).Count(), 1);
    EXPECT_EQ(window->Side().DestFolderIndex(), list);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Song"}));
    EXPECT_EQ(window->Side().sLBDirList->currentIndex().row(), list);
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
    TBrowseListView *view = window->Browse().sLBBrowseWindow;
    view->selectionModel()->select(view->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    std::unique_ptr<QMimeData> drag(view->DragData());
    const QPoint onGamma = view->visualRect(view->model()->index(3, 0)).center();
    EXPECT_TRUE(view->DropAt(drag.get(), onGamma));
    EXPECT_EQ(pending(), efListChanged);
    drain();
    EXPECT_EQ(window->Browse().BrowseLines().mid(1), QStringList({"Gamma", "Beta", "Alpha"}));

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
    QSplitterHandle *left = window->Frame().sSPLeft->handle(1);
    ASSERT_TRUE(window->PanelShown(window->Frame().sPLeft));
    test::DoubleClick(left, {2, 20});
    EXPECT_FALSE(window->PanelShown(window->Frame().sPLeft));
    EXPECT_TRUE(left->isVisible()); // the splitter stays to bring it back
    EXPECT_EQ(left->toolTip(), Msg().SM_ClICKSHOW);
    EXPECT_FALSE(window->CurrentConfig().ShowNavigator);
    Click(left, {2, 20});
    EXPECT_TRUE(window->PanelShown(window->Frame().sPLeft));
    EXPECT_EQ(left->toolTip(), Msg().SM_DBLCLICKHIDE);

    QSplitterHandle *side = window->Frame().sSpCentral->handle(1);
    test::DoubleClick(side, {2, 20});
    EXPECT_FALSE(window->PanelShown(window->Frame().sPRight));
    Click(side, {2, 20});
    EXPECT_TRUE(window->PanelShown(window->Frame().sPRight));
    EXPECT_GE(window->Frame().sPRight->width(), 210);

    test::DoubleClick(window->Frame().sSPTop->handle(1), {20, 2});
    EXPECT_FALSE(window->PanelShown(window->Frame().sPTop));
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
    window->Menus().PMECopyListToClipBoard->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), window->Browse().BrowseLines().join("\r\n"));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "take");
    vorlane().SetFileIndex(2);
    drain();
    window->Menus().PMEOpenInApp->trigger();
    window->Menus().PMEOpenInExplorer->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.Urls.size(), 2);
    EXPECT_EQ(catcher.Urls[0].toLocalFile(), musicA + "/Gamma.mp3");
    EXPECT_EQ(QDir(catcher.Urls[1].toLocalFile()).absolutePath(), musicA);

    // The tag listing is the controller's, one line per file.
    QApplication::clipboard()->clear();
    window->Menus().PMECopyTagsListToClipBoard->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), vorlane().GetTagsList(0, true));
    show(bmComputerLists);
    QApplication::clipboard()->setText("kept");
    window->Menus().PMECopyTagsListToClipBoard->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept"); // folder files only
}

} // namespace
} // namespace vorlane

#include "BrowseWindowTest.moc"
