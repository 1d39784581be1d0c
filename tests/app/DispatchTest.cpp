#include "app/player/PlayerTick.h"
#include "app/player/PlayerWidgets.h"
#include "app/shell/EventDispatch.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"
#include "tests/app/WindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include <QMenu>
#include <QStringListModel>
#include <algorithm>
#include <vector>

namespace vorlane {
namespace {

// ---- The table on its own ----

TEST(EventPlan, FollowUpCodesChainAsTheTimerExpects)
{
    const TDispatchContext none;
    const std::pair<int, int> chains[] = {
        {efDeleteDone, efOpenFile},         {efRefreshView, efBookmarksChanged},
        {efListRescanned, efRefreshView},   {efGotoBookmarkShow, efBookmarksChanged},
        {efListReplaced, efRefreshView},    {efMoveRefresh, efOpenFile},
        {efPlayListsChanged, efRefreshView}};
    for (auto [code, next] : chains)
        EXPECT_EQ(PlanEvent(code, none).FollowUp, next) << code;
    for (int code :
         {efCopyStep, efListAdded, efOpenFile, efListDeleted, efBookmarksChanged, efGotoBookmark,
          efCopyFailed, efMoveFailed, efListChanged, efAddedToPlaylist, efAccountLoaded,
          efInternetEnabled, efAccountClosed, efRecordingStarted, efRecordingSaved})
        EXPECT_EQ(PlanEvent(code, none).FollowUp, efNone) << code;
    for (int code : {0, 1, 3, 5, 18, 28, -1})
        EXPECT_FALSE(PlanEvent(code, none).Handled) << code;
}

TEST(EventPlan, ProgressReportsCountDownAndTheLastOneShowsFreeSpace)
{
    Msg().SM_COPYCOMPLETED = "Copied, left ";
    Msg().SM_COPYFINISHED = "Copy done.";
    Msg().SM_MOVEFINISHED = "Move done.";
    Msg().SM_FREESPACEONDISK = "Free:";
    TDispatchContext c;
    c.LeftCopyFiles = 3;
    c.FreeSpaceMB = "12.50";
    EXPECT_EQ(PlanEvent(efCopyStep, c).Status, "Copied, left 3");
    c.LeftCopyFiles = 0;
    EXPECT_EQ(PlanEvent(efCopyStep, c).Status, "Copy done. Free: 12.50 MB. ");
    c.LeftMoveFiles = 0;
    const TDispatchPlan last = PlanEvent(efMoveStep, c);
    EXPECT_EQ(last.Status, "Move done. Free: 12.50 MB. ");
    EXPECT_EQ(last.FollowUp, efMoveRefresh);
    c.LeftMoveFiles = 1;
    EXPECT_EQ(PlanEvent(efMoveStep, c).FollowUp, efNone);
    ClearMessages();
}

TEST(EventPlan, FreeSpaceHasTwoDecimalsAndNoGrouping)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FormatFreeSpaceMB(0), "0.00");
    EXPECT_EQ(FormatFreeSpaceMB(int64_t(1536) * 1024), "1.50");
    EXPECT_EQ(FormatFreeSpaceMB(int64_t(123456) * 1024 * 1024), "123456.00");
}

TEST(PlayerTick, TrackEndFollowsTheRepeatModeExceptForLiveStreams)
{
    EXPECT_EQ(TrackEndAction(bmComputerFiles, 0, TRepeatMode::rmNot),
              TTrackEndAction::ControllerNext);
    EXPECT_EQ(TrackEndAction(bmComputerFiles, 0, TRepeatMode::rmOne), TTrackEndAction::Reopen);
    EXPECT_EQ(TrackEndAction(bmPlayListFiles, 2, TRepeatMode::rmAll),
              TTrackEndAction::NextWrapping);
    EXPECT_EQ(TrackEndAction(bmComputerFiles, 0, TRepeatMode::rmUnset), TTrackEndAction::Nothing);
    EXPECT_EQ(TrackEndAction(bmInternetFiles, 0, TRepeatMode::rmUnset), TTrackEndAction::Reopen);
    EXPECT_EQ(TrackEndAction(bmInternetFiles, 1, TRepeatMode::rmNot),
              TTrackEndAction::ControllerNext);
}

TEST(PlayerTick, SeekTargets)
{
    EXPECT_EQ(SeekTarget(pcForward, 100, 0), 500100);
    EXPECT_EQ(SeekTarget(pcBack, 100, 0), 100 - 500000); // the player ignores it
    EXPECT_EQ(SeekTarget(pcSeek, 100, 777), 777);
    EXPECT_FALSE(SeekTarget(pcPause, 100, 0).has_value());
}

TEST(PlayerTick, SelectedItemScrollerSwingsALongLine)
{
    TItemScroll s;
    EXPECT_FALSE(ScrollSelectedStep(s, 40, 200, 205)); // fits within 10 pixels
    // 60 pixels too wide: left 2 pixels a tick down to the end, then back to the start.
    std::vector<int> xs;
    for (int i = 0; i < 80; ++i) {
        ASSERT_TRUE(ScrollSelectedStep(s, 40, 200, 260));
        xs.push_back(s.Xs);
    }
    EXPECT_EQ(xs[0], -1);
    EXPECT_EQ(xs[1], -3);
    EXPECT_EQ(*std::min_element(xs.begin(), xs.end()), -61);
    EXPECT_EQ(*std::max_element(xs.begin(), xs.end()), 1);
    EXPECT_TRUE(std::find(xs.begin(), xs.end(), 0) != xs.end()); // the restart at the left
    // Another row restarts from the left.
    ScrollSelectedStep(s, 60, 200, 260);
    EXPECT_EQ(s.Ys, 60);
    EXPECT_EQ(s.Xs, -1);
}

// ---- Through the real main window ----

// Folder list 0 "music": Alpha, Beta, Gamma.
class DispatchWindow : public test::WindowTest {
protected:
    void SetUp() override
    {
        music = folders.Root.path() + "/music";
        for (const char *name : {"Alpha.mp3", "Beta.mp3", "Gamma.mp3"})
            ASSERT_TRUE(test::WriteFile(music + "/" + name, QByteArray(2048, 'x')));
        OpenWindow();
        AddFolder(music);
    }
};

TEST_F(DispatchWindow, RefreshViewRefillsTheBrowseListThenRefreshesBookmarks)
{
    window->fLStatusRefresh("something else");
    EXPECT_EQ(tick(efRefreshView), efBookmarksChanged);
    EXPECT_EQ(window->Browse().BrowseLines(), vorlane().List().List);
    EXPECT_EQ(window->Browse().BrowseLines().size(), 4);
    EXPECT_EQ(status(), "OK");
    EXPECT_EQ(window->Side().DirListLines(), vorlane().DirectoryList());
    EXPECT_EQ(tick(efBookmarksChanged), efNone);
}

TEST_F(DispatchWindow, ListAddedAnnouncesTheCountAndRefreshesNavigator)
{
    EXPECT_EQ(tick(efListAdded), efNone);
    EXPECT_EQ(status(), "Folder list added. Files: 3");
    const QStringList nav = window->Browse().NavigatorLines();
    ASSERT_GE(nav.size(), 2);
    EXPECT_EQ(nav[0], "Computer");
    EXPECT_EQ(nav[1], vorlane().DirectoryList().value(0));
    EXPECT_TRUE(nav.contains("Playlists"));
    EXPECT_TRUE(nav.contains("Bookmarks"));
}

TEST_F(DispatchWindow, RescanAndReplacedListsGoOnToARefresh)
{
    EXPECT_EQ(tick(efListRescanned), efRefreshView);
    EXPECT_EQ(status(), "List refreshed. Files: 3");
    EXPECT_EQ(tick(efListReplaced), efRefreshView);
}

TEST_F(DispatchWindow, OpenFilePlaysTheCurrentEntryAndReportsIt)
{
    vorlane().SetFileIndex(1);
    EXPECT_EQ(tick(efOpenFile), efNone);
    EXPECT_EQ(player->Opens, 1);
    EXPECT_EQ(player->Current.FileName, "Beta.mp3");
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 2);
    EXPECT_TRUE(status().startsWith("File opened: 0.00 MB. Playing 128 Kbps"))
        << status().toStdString();
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Beta.mp3");
    EXPECT_EQ(player->Volume, window->PlayerPanel().sTBVolume->value());
}

TEST_F(DispatchWindow, ANetworkEntrysSizeIsShownWhenItArrives)
{
    const QString served = folders.Root.path() + "/served";
    ASSERT_TRUE(test::WriteFile(served + "/big.mp3", QByteArray(3 * 1024 * 1024, 'x')));
    test::HttpServer server(served);
    ASSERT_TRUE(server.Ok());
    vorlane().OpenExtFileList(server.Url("big.mp3"), true);
    drain();
    vorlane().SetFileIndex(0);
    EXPECT_EQ(tick(efOpenFile), efNone);
    // The tick did not wait for the server: the status has no size yet.
    EXPECT_EQ(status(), "Playing 128 Kbps");
    QElapsedTimer waited;
    waited.start();
    while (!status().startsWith("File opened") && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(status(), "File opened: 3.00 MB. Playing 128 Kbps");
}

TEST_F(DispatchWindow, AnEntryThatCannotBeOpenedIsSkipped)
{
    player->FailNames = {"Alpha.mp3"};
    vorlane().SetFileIndex(0);
    tick(efOpenFile);
    EXPECT_EQ(player->Current.FileName, "Beta.mp3");
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(pending(), efNone); // the skip raises no second open
}

TEST_F(DispatchWindow, DeleteDoneReloadsInPlaceAndOpensTheCursor)
{
    Msg().SM_FREESPACEONDISK = "Free:";
    EXPECT_EQ(tick(efDeleteDone), efOpenFile);
    EXPECT_TRUE(status().startsWith("Files deleted. Free: ")) << status().toStdString();
    EXPECT_TRUE(status().endsWith(" MB. "));
    EXPECT_EQ(window->Browse().BrowseLines(), vorlane().List().List);
}

TEST_F(DispatchWindow, ListDeletedGoesToTheComputerLists)
{
    EXPECT_EQ(tick(efListDeleted), efRefreshView);
    EXPECT_EQ(vorlane().Mode(), bmComputerLists);
    EXPECT_EQ(status(), "Folder list removed");
}

TEST_F(DispatchWindow, WorkerMailboxesBecomeStatusMessages)
{
    TWorkerMailboxes &m = vorlane().Mailboxes();
    m.LeftCopyFiles = 2;
    m.CopyFlag = 1;
    window->MTTimer();
    EXPECT_EQ(status(), "File copied. Left: 2");
    m.CopyFlag = 2;
    window->MTTimer();
    EXPECT_EQ(status(), "A file could not be copied");
    m.CopyFlag = 1;
    m.MoveFlag = 2; // a move result wins over a copy result of the same tick
    window->MTTimer();
    EXPECT_EQ(status(), "A file could not be moved");
    m.LeftMoveFiles = 0;
    m.MoveFlag = 1;
    window->MTTimer();
    EXPECT_TRUE(status().startsWith("Moving finished.")) << status().toStdString();
    EXPECT_EQ(pending(), efMoveRefresh);
    EXPECT_EQ(tick(efMoveRefresh), efOpenFile);
}

TEST_F(DispatchWindow, ListChangedReloadsWithoutAFollowUp)
{
    QAbstractItemModel *model = window->Browse().sLBBrowseWindow->model();
    model->setData(model->index(1, 0), "stale");
    EXPECT_EQ(tick(efListChanged), efNone);
    EXPECT_EQ(window->Browse().BrowseLines(), vorlane().List().List);
}

TEST_F(DispatchWindow, PlaylistCodes)
{
    EXPECT_EQ(tick(efPlayListsChanged), efRefreshView);
    EXPECT_EQ(window->Side().PlayListLines(), vorlane().PlaylistList());
    EXPECT_EQ(tick(efAddedToPlaylist), efNone);
    EXPECT_EQ(status(), "Added to the playlist");
}

TEST_F(DispatchWindow, AccountCodes)
{
    EXPECT_EQ(tick(efAccountLoaded), efRefreshView);
    EXPECT_EQ(vorlane().Mode(), bmPlayListFiles);
    EXPECT_EQ(status(), "Signed in");

    vorlane().SetLoggedIn(true);
    window->Menus().PMAEnter->setEnabled(false);
    window->Menus().PMAExit->setEnabled(true);
    tick(efAccountClosed);
    EXPECT_FALSE(vorlane().LoggedIn());
    EXPECT_TRUE(window->Menus().PMAEnter->isEnabled());
    EXPECT_FALSE(window->Menus().PMAExit->isEnabled());
    EXPECT_EQ(status(), "Account updated");
}

TEST_F(DispatchWindow, InternetAndRecordingCodesReport)
{
    tick(efInternetEnabled);
    EXPECT_EQ(status(), "Connected to the internet");
    tick(efRecordingStarted);
    EXPECT_TRUE(status().startsWith("Recording started. ")) << status().toStdString();
    tick(efRecordingSaved);
    EXPECT_TRUE(status().startsWith("Recording saved. "));
}

TEST_F(DispatchWindow, BookmarksChangedRefillsTheBookmarkList)
{
    vorlane().SetFileIndex(1);
    tick(efOpenFile);
    vorlane().AddBookmark(250000, "00:12");
    EXPECT_EQ(tick(pending()), efNone);
    ASSERT_EQ(window->Side().BookmarkLines().size(), vorlane().BookmarksList().List.size());
    ASSERT_FALSE(window->Side().BookmarkLines().isEmpty());
    EXPECT_TRUE(window->Side().BookmarkLines().last().contains("00:12"));
}

TEST_F(DispatchWindow, BookmarkJumpsOpenAndSeek)
{
    vorlane().SetFileIndex(2);
    window->PlayerPanel().SetNewPlayPosition(120000);
    tick(efGotoBookmark);
    EXPECT_EQ(player->Current.FileName, "Gamma.mp3");
    EXPECT_EQ(player->Seeks.value(0), 120000);

    // The player already has the entry: the view follows without reopening it.
    const int opens = player->Opens;
    EXPECT_EQ(tick(efGotoBookmarkShow), efBookmarksChanged);
    EXPECT_EQ(player->Opens, opens);
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 3);
}

TEST_F(DispatchWindow, StatusFallsBackToTheEntryFolder)
{
    vorlane().SetFileIndex(0);
    tick(efOpenFile);
    window->STTimer();
    EXPECT_EQ(status(), QDir(music).absolutePath() + "/");
    EXPECT_FALSE(window->StatusTimer()->isActive());
}

TEST_F(DispatchWindow, PlayerCommandsRunOnceOnTheNextTick)
{
    window->PlayerPanel().PostCommand(pcPause);
    window->PlayerPanel().PostCommand(pcPause); // a second Space in the same tick
    window->MTTimer();
    EXPECT_EQ(player->Pauses, 1);
    window->MTTimer();
    EXPECT_EQ(player->Pauses, 1);

    player->Position = 1000000;
    window->PlayerPanel().PostCommand(pcForward);
    window->MTTimer();
    EXPECT_EQ(player->Position, 1500000);

    player->FailSeeksAbove = 2000000;
    window->PlayerPanel().PostSeek(4000000);
    window->MTTimer();
    EXPECT_EQ(player->Seeks.last(), 0); // the failed seek fell back to the start
    EXPECT_EQ(player->Position, 0);

    window->PlayerPanel().PostCommand(pcStop);
    window->MTTimer();
    EXPECT_EQ(player->Stops, 1);
}

TEST_F(DispatchWindow, TheEndOfATrackFollowsTheRepeatMode)
{
    vorlane().SetFileIndex(2);
    tick(efOpenFile);

    window->Menus().PMCRNot->trigger();
    player->EndNow = true;
    window->MTTimer();
    EXPECT_EQ(vorlane().FileIndex(), 2); // the last entry: nothing more plays
    EXPECT_EQ(pending(), efNone);

    // The next entry opens through code 7, which the same tick's dispatch takes.
    window->Menus().PMCRAll->trigger();
    player->EndNow = true;
    window->MTTimer();
    EXPECT_EQ(vorlane().FileIndex(), 0);
    EXPECT_EQ(player->Current.FileName, "Alpha.mp3");

    window->Menus().PMCRNot->trigger();
    player->EndNow = true;
    window->MTTimer();
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_EQ(player->Current.FileName, "Beta.mp3");

    window->Menus().PMCROne->trigger();
    const int opens = player->Opens;
    player->EndNow = true;
    window->MTTimer();
    EXPECT_EQ(player->Opens, opens + 1);
    EXPECT_EQ(player->Current.FileName, "Beta.mp3");
}

TEST_F(DispatchWindow, WithPlaybackOffTheEntryIsShownButNotPlayed)
{
    window->Menus().PMCPlayFiles->trigger();
    EXPECT_EQ(status(), "Playback of chosen files is off");
    vorlane().SetFileIndex(1);
    tick(efOpenFile);
    EXPECT_EQ(player->Opens, 0);
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Beta.mp3");
    player->EndNow = true;
    window->MTTimer();
    EXPECT_TRUE(player->EndNow); // no refresh while playback is off
}

TEST_F(DispatchWindow, StartUpTimerStartsTheMainTimerAndTheFileButtons)
{
    auto *copy = side().sSBCopy;
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->isEnabled());
    // Before it, the folder list's double click copies nothing either.
    selectSideRow(side().sLBDirList, 0);
    browse().sLBBrowseWindow->selectAll();
    Q_EMIT side().sLBDirList->activated(side().sLBDirList->currentIndex());
    EXPECT_EQ(pending(), efNone);
    EXPECT_FALSE(vorlane().FileOperationsRunning());
    EXPECT_FALSE(window->MainTimer()->isActive());
    window->InetStartTimerTimer();
    EXPECT_TRUE(window->MainTimer()->isActive());
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_EQ(window->PlayerPanel().PBPeaksIndicator->Text(), "Welcome to Vorlane");
    window->MainTimer()->stop();
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

// The window with the engine's player: a chosen entry really plays (on SDL's dummy output).
TEST(EnginePlayerWindow, ChoosingAnEntryPlaysIt)
{
    test::TWindowFolders folders;
    const QString music = folders.Root.path() + "/music";
    QDir().mkpath(music);
    ASSERT_TRUE(
        test::MakeMedia(music + "/tone.mp3", {"-f", "lavfi", "-i", "sine=frequency=440:duration=3",
                                              "-c:a", "libmp3lame"}));
    qputenv("VORLANE_ENGINE_MODULE", VORLANE_TEST_ENGINE_MODULE);
    TMainWindowOptions o = folders.Options();
    o.CreatePlayer = true;
    TMainWindow w(o);
    ASSERT_TRUE(w.Ok());
    w.CreateWindowSet();
    w.show(); // the module is loaded after the first paint
    // The player arrives from its module once the loader thread is done.
    QElapsedTimer waited;
    waited.start();
    while (!w.Player() && waited.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_NE(w.Player(), nullptr);
    w.addFolderList(music, false);
    w.MTTimer();
    w.Controller()->SetFileIndex(0);
    w.MTTimer();
    EXPECT_TRUE(w.Player()->Played());
    EXPECT_EQ(w.Player()->CurrentFile().FileName, "tone.mp3");
    EXPECT_TRUE(w.StatusText().contains("Playing")) << w.StatusText().toStdString();
    w.PlayerPanel().PostCommand(3);
    w.MTTimer();
    EXPECT_FALSE(w.Player()->Played());
    w.close();
}

} // namespace
} // namespace vorlane
