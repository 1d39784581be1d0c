#include "app/tools/ToolDialogs.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace vorlane {
namespace {

class CatalogTools : public test::WindowTest {
protected:
    void SetUp() override
    {
        OpenTracks({{"a.mp3", test::Tag("Ann", "First")},
                    {"b.mp3", test::Tag("Bob", "Second")},
                    {"c.mp3", test::Tag("Cid", "Third")},
                    {"d.mp3", test::Tag("Dee", "Fourth")}});
        if (!window)
            return;
        // A second folder list as destination; the tools wait for the start-up timer.
        target = folders.Root.path() + "/target";
        QDir().mkpath(target);
        window->addFolderList(target, false);
        drain();
        vorlane().SetMode(bmComputerLists);
        vorlane().SetVisibleListIndex(0);
        vorlane().SetMode(bmComputerFiles);
        drain();
        window->InetStartTimerTimer();
        window->MainTimer()->stop();
        answer = false;
    }
    // Runs the timer until the copy and move workers are done.
    void finishFileOperations()
    {
        QElapsedTimer clock;
        clock.start();
        while (vorlane().FileOperationsRunning() && clock.elapsed() < 10000) {
            QApplication::processEvents();
            window->MTTimer();
            QThread::msleep(5);
        }
        QApplication::processEvents();
        window->MTTimer();
        drain();
    }

    QString target;
};

// ---- Playlists ----

TEST_F(CatalogTools, ANewPlaylistIsNamedInItsWindowWhichStaysOpenOnANameInUse)
{
    ASSERT_TRUE(window);
    TAddPlaylistWindow *w = window->AddPlaylistWindow();
    ASSERT_TRUE(w);
    side().sSBNewPlaylist->click();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->NewPlayList);
    w->sEAPWName->setText("Road Trip");
    w->sBAPWOK->click();
    EXPECT_FALSE(w->isVisible());
    drain();
    EXPECT_EQ(window->Side().PlayListLines(), QStringList({"MyNetwork", "Road Trip"}));

    side().sSBNewPlaylist->click();
    EXPECT_TRUE(w->sEAPWName->text().isEmpty());
    w->sEAPWName->setText("Road Trip");
    w->sBAPWOK->click();
    EXPECT_TRUE(w->isVisible()); // in use: type another
    w->sEAPWName->clear();
    w->sBAPWOK->click();
    EXPECT_TRUE(w->isVisible()); // an empty name is not taken either
    w->sBAPWCancel->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(vorlane().PlayListCount(), 2);
}

TEST_F(CatalogTools, RenamingAndDeletingPlaylistsSpareTheNetworkPlaylist)
{
    ASSERT_TRUE(window);
    vorlane().AddPlayList("Old");
    drain();
    TAddPlaylistWindow *w = window->AddPlaylistWindow();
    selectSideRow(window->Side().sLBPlayLists, 0);
    side().sSBEditPlayListName->click();
    EXPECT_FALSE(w->isVisible());
    side().sSBDeletePlayList->click();
    EXPECT_EQ(vorlane().PlayListCount(), 2);

    selectSideRow(window->Side().sLBPlayLists, 1);
    side().sSBEditPlayListName->click();
    ASSERT_TRUE(w->isVisible());
    EXPECT_FALSE(w->NewPlayList);
    EXPECT_EQ(w->sEAPWName->text(), "Old");
    w->sEAPWName->setText("New");
    w->sBAPWOK->click();
    EXPECT_FALSE(w->isVisible());
    drain();
    EXPECT_EQ(window->Side().PlayListLines(), QStringList({"MyNetwork", "New"}));

    // Not while a playlist's entries are shown.
    selectSideRow(window->Side().sLBPlayLists, 1);
    vorlane().SetMode(bmPlayLists);
    vorlane().SetVisibleListIndex(1);
    vorlane().SetMode(bmPlayListFiles);
    drain();
    selectSideRow(window->Side().sLBPlayLists, 1);
    side().sSBDeletePlayList->click();
    side().sSBEditPlayListName->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(vorlane().PlayListCount(), 2);
    vorlane().SetMode(bmPlayLists);
    drain();
    selectSideRow(window->Side().sLBPlayLists, 1);
    side().sSBDeletePlayList->click();
    drain();
    EXPECT_EQ(window->Side().PlayListLines(), QStringList({"MyNetwork"}));
}

TEST_F(CatalogTools, SelectedEntriesGoToTheSelectedPlaylistAndCanBeRemoved)
{
    ASSERT_TRUE(window);
    vorlane().AddPlayList("Mix");
    drain();
    vorlane().SetMode(bmComputerFiles);
    drain();
    selectLines({0, 2, 4});           // the header is not an entry
    side().sSBAddToPlaylist->click(); // no playlist selected
    EXPECT_EQ(vorlane().PlayList(1).Count(), 0);
    selectSideRow(window->Side().sLBPlayLists, 0);
    side().sSBAddToPlaylist->click(); // the network playlist wants a signed-in account
    EXPECT_EQ(vorlane().PlayList(0).Count(), 0);
    selectSideRow(window->Side().sLBPlayLists, 1);
    selectLines({0, 2, 4});
    side().sSBAddToPlaylist->click();
    ASSERT_EQ(vorlane().PlayList(1).Count(), 2);
    EXPECT_EQ(vorlane().PlayList(1).At(0).FileName, "b.mp3");
    EXPECT_EQ(vorlane().PlayList(1).At(1).FileName, "d.mp3");
    drain();
    EXPECT_EQ(window->StatusText(), Msg().SM_FILESADDEDTOPLAYLIST);

    side().sSBPlayListDeleteFile->click(); // only in mode 8
    EXPECT_EQ(vorlane().PlayList(1).Count(), 2);
    vorlane().SetMode(bmPlayLists);
    vorlane().SetVisibleListIndex(1);
    vorlane().SetMode(bmPlayListFiles);
    drain();
    selectLines({1});
    side().sSBPlayListDeleteFile->click();
    drain();
    ASSERT_EQ(vorlane().PlayList(1).Count(), 1);
    EXPECT_EQ(vorlane().PlayList(1).At(0).FileName, "d.mp3");
    EXPECT_TRUE(QFileInfo::exists(path("b.mp3")));
}

// ---- Bookmarks ----

TEST_F(CatalogTools, BookmarksAreSetMovedLoadedAndDeletedFromTheirButtons)
{
    ASSERT_TRUE(window);
    openEntry(1);
    player->Position = 176400 * 75; // 01:15
    side().sSBBookmarkAdd->click();
    drain();
    EXPECT_EQ(window->StatusText(), Msg().SM_BOOKMARKSET + " 01:15");
    ASSERT_EQ(window->Side().BookmarkLines().size(), 1);
    EXPECT_EQ(window->Side().BookmarkLines()[0], "b 01:15  ");
    EXPECT_EQ(vorlane().Bookmarks().last().PlayPosition, 176400 * 75);

    // Moved to another place of another entry.
    openEntry(2);
    player->Position = 176400 * 5;
    selectSideRow(window->Side().sLBBookmarks, 0);
    side().sSBBookmarkEdit->click();
    drain();
    EXPECT_EQ(window->StatusText(), Msg().SM_BOOKMARKEDIT + " 00:05");
    EXPECT_EQ(window->Side().BookmarkLines(), QStringList({"c 00:05  "}));

    // Loaded by the button, by a double click or Enter (activated), from another entry.
    openEntry(0);
    selectSideRow(window->Side().sLBBookmarks, 0);
    Q_EMIT window->Side().sLBBookmarks->activated(window->Side().sLBBookmarks->currentIndex());
    EXPECT_EQ(playerPanel().NewPlayPosition(), 176400 * 5);
    drain();
    EXPECT_EQ(player->Current.FileName, "c.mp3");
    EXPECT_EQ(player->Seeks.last(), 176400 * 5);
    EXPECT_TRUE(window->Browse().sLBBrowseWindow->hasFocus() || !window->isVisible());

    selectSideRow(window->Side().sLBBookmarks, 0);
    side().sSBBookmarkDelete->click();
    drain();
    EXPECT_EQ(window->StatusText(), Msg().SM_BOOKMARKDELETE);
    EXPECT_TRUE(window->Side().BookmarkLines().isEmpty());
}

TEST_F(CatalogTools, BookmarkButtonsWithoutACurrentEntryOrALine)
{
    ASSERT_TRUE(window);
    // No entry is current yet: nothing is stored, and no success is announced.
    window->fLStatusRefresh("before");
    const int held = int(vorlane().Bookmarks().size());
    side().sSBBookmarkAdd->click();
    EXPECT_EQ(int(vorlane().Bookmarks().size()), held);
    EXPECT_EQ(window->StatusText(), "before");

    // Without a bookmark line the buttons say what was asked; Go to does nothing.
    openEntry(1);
    side().sSBBookmarkEdit->click();
    EXPECT_TRUE(window->StatusText().startsWith(Msg().SM_BOOKMARKEDIT));
    side().sSBBookmarkDelete->click();
    EXPECT_EQ(window->StatusText(), Msg().SM_BOOKMARKDELETE);
    side().sSBBookmarkLoad->click();
    EXPECT_EQ(window->StatusText(), Msg().SM_BOOKMARKDELETE);
    EXPECT_EQ(int(vorlane().Bookmarks().size()), held);

    vorlane().SetMode(bmComputerLists);
    drain();
    side().sSBBookmarkAdd->click();
    EXPECT_EQ(int(vorlane().Bookmarks().size()), held);
}

// ---- Copy, move, delete ----

TEST_F(CatalogTools, CopyAndMoveNeedADestinationAndTheRepeatFollowsTheLastOne)
{
    ASSERT_TRUE(window);
    window->Side().sLBDirList->clearSelection();
    selectLines({1, 2});
    side().sSBCopy->click();
    finishFileOperations();
    EXPECT_FALSE(QFileInfo::exists(target + "/a.mp3"));

    selectSideRow(window->Side().sLBDirList, 1);
    selectLines({1, 2});
    side().sSBCopy->click();
    finishFileOperations();
    EXPECT_TRUE(QFileInfo::exists(target + "/a.mp3"));
    EXPECT_TRUE(QFileInfo::exists(target + "/b.mp3"));
    EXPECT_TRUE(QFileInfo::exists(path("a.mp3")));
    EXPECT_TRUE(window->StatusText().startsWith(Msg().SM_COPYFINISHED))
        << window->StatusText().toStdString();
    EXPECT_FALSE(window->CatalogTools().LastFileOperationIsMove());
    EXPECT_GT(side().sSBCopy->iconSize().width(), side().sSBMove->iconSize().width());

    selectLines({3});
    side().sSBMove->click();
    EXPECT_EQ(player->Stops, 1); // the player lets go of the files first
    finishFileOperations();
    EXPECT_TRUE(QFileInfo::exists(target + "/c.mp3"));
    EXPECT_FALSE(QFileInfo::exists(path("c.mp3")));
    EXPECT_TRUE(window->CatalogTools().LastFileOperationIsMove());
    EXPECT_GT(side().sSBMove->iconSize().width(), side().sSBCopy->iconSize().width());

    // A double click or Enter on the folder list repeats the move.
    selectLines({3}); // d.mp3 stands on line 3 now
    selectSideRow(window->Side().sLBDirList, 1);
    Q_EMIT window->Side().sLBDirList->activated(window->Side().sLBDirList->currentIndex());
    finishFileOperations();
    EXPECT_TRUE(QFileInfo::exists(target + "/d.mp3"));
    EXPECT_EQ(entryNames(), QStringList({"a.mp3", "b.mp3"}));
}

TEST_F(CatalogTools, OpeningAnotherEntryWhileRecordingKeepsAndListsTheRecording)
{
    ASSERT_TRUE(window);
    openEntry(1);
    window->PlayerPanel().sSBFastDownload->setEnabled(true);
    selectSideRow(window->Side().sLBDirList, 1);
    window->PlayerPanel().sSBFastDownload->click();
    ASSERT_TRUE(player->IsRecording);
    drain();

    openEntry(0);
    EXPECT_FALSE(player->IsRecording);
    const TFileList &dest = vorlane().FolderList(1);
    ASSERT_EQ(dest.Count(), 1);
    EXPECT_TRUE(dest.At(0).FileName.endsWith(".mp3")) << dest.At(0).FileName.toStdString();
    EXPECT_EQ(dest.At(0).DirName, target + "/");
    // The button records again instead of stopping a recording that has ended.
    window->PlayerPanel().sSBFastDownload->setEnabled(true);
    window->PlayerPanel().sSBFastDownload->click();
    EXPECT_TRUE(player->IsRecording);
}

TEST_F(CatalogTools, TheStreamButtonRecordsWithTheFirstListShownAndSavesTheCacheOtherwise)
{
    ASSERT_TRUE(window);
    openEntry(1); // b.mp3, title "b"
    window->PlayerPanel().sSBFastDownload->setEnabled(true);

    // The first list shown: a recording into the destination, named when it ends.
    window->Side().sLBDirList->clearSelection();
    window->PlayerPanel().sSBFastDownload->click();
    EXPECT_FALSE(player->IsRecording) << "no destination, no recording";
    selectSideRow(window->Side().sLBDirList, 1);
    window->PlayerPanel().sSBFastDownload->click();
    EXPECT_TRUE(player->IsRecording);
    EXPECT_EQ(player->RecordingDir, target + "/");
    drain();
    EXPECT_TRUE(window->StatusText().startsWith(Msg().SM_RECORDINGSTARTED))
        << window->StatusText().toStdString();
    window->PlayerPanel().sSBFastDownload->click();
    EXPECT_FALSE(player->IsRecording);
    drain();
    EXPECT_TRUE(window->StatusText().startsWith(Msg().SM_RECORDISSAVED))
        << window->StatusText().toStdString();
    const TFileList &dest = vorlane().FolderList(1);
    ASSERT_EQ(dest.Count(), 1);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d\\d_\\d\\d_\\d\\d-\\d\\d_\\d\\d_\\d\\d\\.mp3$"))
            .match(dest.At(0).FileName)
            .hasMatch())
        << dest.At(0).FileName.toStdString();

    // Another list shown: the downloaded file is saved from the cache under the entry's title,
    // and only once there is one.
    vorlane().SetMode(bmComputerLists);
    vorlane().SetVisibleListIndex(1);
    vorlane().SetMode(bmComputerFiles);
    drain();
    selectSideRow(window->Side().sLBDirList, 1);
    window->PlayerPanel().sSBFastDownload->click();
    finishFileOperations();
    EXPECT_EQ(vorlane().FolderList(1).Count(), 1) << "nothing in the cache: nothing saved";
    const QString cacheDir = window->ProgramDataDir() + "VL4Conf/Cache";
    QDir().mkpath(cacheDir);
    QFile cache(cacheDir + "/temp.mp3");
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.write("downloaded bytes");
    cache.close();
    window->PlayerPanel().sSBFastDownload->click();
    finishFileOperations();
    QFile saved(target + "/b.mp3");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "downloaded bytes");
}

TEST_F(CatalogTools, DeletingMoreThanTwoLinesAsksFirst)
{
    ASSERT_TRUE(window);
    selectSideRow(window->Side().sLBDirList, 1);
    openEntry(0);

    // Two lines: no question.
    selectLines({1, 2});
    side().sSBDelete->click();
    drain();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("a.mp3")));
    EXPECT_FALSE(QFileInfo::exists(path("b.mp3")));
    EXPECT_EQ(entryNames(), QStringList({"c.mp3", "d.mp3"}));

    // Three lines (the header counts as a line): asked, and No keeps everything.
    selectLines({0, 1, 2});
    answer = false;
    const int stops = player->Stops;
    side().sSBDelete->click();
    drain();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], Msg().SM_FILESDELETED + ": " + Msg().SM_DELETEDAREYOUSURE);
    EXPECT_TRUE(QFileInfo::exists(path("c.mp3")));
    EXPECT_EQ(player->Stops, stops);

    answer = true;
    selectLines({0, 1, 2});
    side().sSBDelete->click();
    drain();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(path("c.mp3")));
    EXPECT_FALSE(QFileInfo::exists(path("d.mp3")));
    EXPECT_TRUE(entryNames().isEmpty());
    EXPECT_TRUE(window->StatusText().startsWith(Msg().SM_FILEDEL))
        << window->StatusText().toStdString();
}

TEST_F(CatalogTools, TheQuestionsAnswerInTheChosenLanguage)
{
    ASSERT_TRUE(window);
    const auto answers = [this] {
        const std::unique_ptr<QMessageBox> box(
            CreateQuestionBox(window.get(), Msg().SM_FILESDELETED, Msg().SM_DELETEDAREYOUSURE));
        EXPECT_EQ(box->windowTitle(), Msg().SM_FILESDELETED);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        return QStringList{box->button(QMessageBox::Yes)->text(),
                           box->button(QMessageBox::No)->text()};
    };
    window->Menus().PMCLRus->trigger();
    EXPECT_EQ(answers(), QStringList({"&Да", "&Нет"}));
    window->Menus().PMCLUkr->trigger();
    EXPECT_EQ(answers(), QStringList({"&Так", "&Ні"}));
    window->Menus().PMCLEng->trigger();
    EXPECT_EQ(answers(), QStringList({"&Yes", "&No"}));
}

TEST_F(CatalogTools, DeleteAndMoveWorkOnlyOnFolderLists)
{
    ASSERT_TRUE(window);
    selectSideRow(window->Side().sLBDirList, 1);
    vorlane().AddPlayList("Mix");
    drain();
    vorlane().SetMode(bmComputerFiles);
    drain();
    vorlane().AddFileToPlayList({0}, 1);
    vorlane().SetMode(bmPlayLists);
    vorlane().SetVisibleListIndex(1);
    vorlane().SetMode(bmPlayListFiles);
    drain();
    selectLines({1});
    side().sSBDelete->click();
    side().sSBMove->click();
    finishFileOperations();
    EXPECT_TRUE(QFileInfo::exists(path("a.mp3")));
    EXPECT_FALSE(QFileInfo::exists(target + "/a.mp3"));
    // Copy takes playlist entries, under their titles.
    selectLines({1});
    side().sSBCopy->click();
    finishFileOperations();
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), 1);
}

TEST_F(CatalogTools, TheDuplicateSearchAsksWhetherToShowWhatItFound)
{
    ASSERT_TRUE(window);
    ASSERT_TRUE(QFile::copy(path("b.mp3"), target + "/b.mp3"));
    ASSERT_TRUE(QFile::copy(path("c.mp3"), target + "/C.MP3"));
    ASSERT_TRUE(test::WriteFile(target + "/other.mp3", "x"));
    vorlane().SetMode(bmComputerLists);
    vorlane().SetVisibleListIndex(1);
    vorlane().SetMode(bmComputerFiles);
    vorlane().RefreshList();
    drain();
    vorlane().SetMode(bmComputerLists);
    vorlane().SetVisibleListIndex(0);
    vorlane().SetMode(bmComputerFiles);
    drain();
    openEntry(0); // the current list is the one compared against
    selectSideRow(window->Side().sLBDirList, 1);

    const auto search = [this] {
        const int asked = int(questions.size());
        side().sSBFindCopyes->click();
        QElapsedTimer clock;
        clock.start();
        while (questions.size() == asked && clock.elapsed() < 10000)
            QApplication::processEvents();
        drain();
    };
    answer = false;
    search();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], Msg().SM_DUPLICATESERCHCOMP + ": " + Msg().SM_WANTSEERESULTS);
    EXPECT_EQ(vorlane().FolderList(1).Count(), 3);

    answer = true;
    search();
    ASSERT_EQ(questions.size(), 2);
    QStringList found;
    for (int i = 0; i < vorlane().FolderList(1).Count(); ++i)
        found << vorlane().FolderList(1).At(i).FileName;
    found.sort();
    EXPECT_EQ(found, QStringList({"C.MP3", "b.mp3"}));
    EXPECT_EQ(vorlane().ListIndex(), 1); // shown
    EXPECT_EQ(window->Browse().BrowseLines().size(), 3);
}

} // namespace
} // namespace vorlane
