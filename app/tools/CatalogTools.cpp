#include "app/tools/CatalogTools.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/browse/SidePanel.h"
#include "app/player/PlayerPanel.h"
#include "app/tools/ToolDialogs.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"

#include <QLineEdit>
#include <QListView>
#include <QToolButton>

namespace vorlane {

namespace {

bool bookmarkMode(TBrowseMode mode)
{
    return mode == bmComputerFiles || mode == bmInternetFiles || mode == bmPlayListFiles;
}

} // namespace

TCatalogTools::TCatalogTools(TVorlane &vorlane, TBrowsePanel &browse, TSidePanel &side,
                             TPlayerPanel &player, const TQuestion &ask,
                             std::function<TAddPlaylistWindow *()> playlistWindow, QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
    , vBrowse(browse)
    , vSide(side)
    , vPlayer(player)
    , vAsk(ask)
    , vPlaylistWindow(std::move(playlistWindow))
{
    const auto button = [this](QToolButton *b, void (TCatalogTools::*handler)()) {
        connect(b, &QToolButton::clicked, this, handler);
    };
    button(side.sSBCopy, &TCatalogTools::fCopy);
    button(side.sSBMove, &TCatalogTools::fMove);
    button(side.sSBDelete, &TCatalogTools::fDelete);
    button(side.sSBFindCopyes, &TCatalogTools::fFindCopyes);
    button(side.sSBNewPlaylist, &TCatalogTools::sSBNewPlaylistClick);
    button(side.sSBEditPlayListName, &TCatalogTools::sSBEditPlayListNameClick);
    button(side.sSBDeletePlayList, &TCatalogTools::sSBDeletePlayListClick);
    button(side.sSBAddToPlaylist, &TCatalogTools::sSBAddToPlaylistClick);
    button(side.sSBPlayListDeleteFile, &TCatalogTools::sSBPlayListDeleteFileClick);
    button(side.sSBBookmarkAdd, &TCatalogTools::sSBBookmarkAddClick);
    button(side.sSBBookmarkEdit, &TCatalogTools::sSBBookmarkEditClick);
    button(side.sSBBookmarkDelete, &TCatalogTools::sSBBookmarkDeleteClick);
    button(side.sSBBookmarkLoad, &TCatalogTools::sSBBookmarkLoadClick);
    // activated: a double click, or Enter on the selected row.
    connect(side.sLBDirList, &QListView::activated, this, [this] { fRepeatFileOperation(); });
    connect(side.sLBBookmarks, &QListView::activated, this, [this] { sSBBookmarkLoadClick(); });

    for (QToolButton *b : {side.sSBCopy, side.sSBMove, side.sSBDelete, side.sSBFindCopyes})
        b->setEnabled(false);
    drawFileOperationButtons();

    // The duplicate search ends on the main thread with a question.
    connect(&vVorlane, &TVorlane::FindCopyesCompleted, this, [this] {
        if (vAsk(Msg().SM_DUPLICATESERCHCOMP, Msg().SM_WANTSEERESULTS))
            vVorlane.TakeFindResult();
        else
            vVorlane.DropFindResult();
    });
}

void TCatalogTools::EnableFileOperations()
{
    vFileOperationsEnabled = true;
    for (QToolButton *b : {vSide.sSBCopy, vSide.sSBMove, vSide.sSBDelete, vSide.sSBFindCopyes})
        b->setEnabled(true);
}

void TCatalogTools::ConnectPlaylistWindow(TAddPlaylistWindow *window)
{
    connect(window, &TAddPlaylistWindow::okClicked, this, &TCatalogTools::sBAPWOKClick);
}

// ---------------------------------------------------------------------------------------------
// Copy, move, delete, duplicates

void TCatalogTools::drawFileOperationButtons()
{
    // The last operation, which Enter on the folder list repeats, is the larger button.
    vSide.sSBCopy->setIconSize(vLastOperationMove ? QSize(14, 14) : QSize(18, 18));
    vSide.sSBMove->setIconSize(vLastOperationMove ? QSize(18, 18) : QSize(14, 14));
}

void TCatalogTools::fCopy()
{
    const int dest = vSide.DestFolderIndex();
    if (!vFileOperationsEnabled || dest < 0)
        return;
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    if (!indexes.isEmpty()) {
        Q_EMIT status(Msg().SM_FILESTOCOPY + u' ' + QString::number(indexes.size()));
        vVorlane.CopyFiles(indexes, dest);
    }
    vLastOperationMove = false;
    drawFileOperationButtons();
}

void TCatalogTools::fMove()
{
    const int dest = vSide.DestFolderIndex();
    if (!vFileOperationsEnabled || dest < 0 || vVorlane.Mode() != bmComputerFiles)
        return;
    if (TPlayerPort *player = vPlayer.Player())
        player->Stop();
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    if (!indexes.isEmpty()) {
        Q_EMIT status(Msg().SM_FILESTOMOVE + u' ' + QString::number(indexes.size()));
        vVorlane.MoveFiles(indexes, dest);
    }
    vLastOperationMove = true;
    drawFileOperationButtons();
}

void TCatalogTools::fDelete()
{
    if (!vFileOperationsEnabled || vSide.DestFolderIndex() < 0 ||
        vVorlane.Mode() != bmComputerFiles)
        return;
    if (vBrowse.SelectedRowCount() > 2 && !vAsk(Msg().SM_FILESDELETED, Msg().SM_DELETEDAREYOUSURE))
        return;
    if (TPlayerPort *player = vPlayer.Player())
        player->Stop();
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    if (indexes.isEmpty())
        return;
    Q_EMIT status(Msg().SM_FILESTODELETE + u' ' + QString::number(indexes.size()));
    vVorlane.DeleteFiles(indexes);
}

void TCatalogTools::fFindCopyes()
{
    const int dest = vSide.DestFolderIndex();
    if (vFileOperationsEnabled && dest >= 0)
        vVorlane.FindCopyes(dest);
}

void TCatalogTools::fRepeatFileOperation()
{
    if (vLastOperationMove)
        fMove();
    else
        fCopy();
}

// ---------------------------------------------------------------------------------------------
// Playlists

void TCatalogTools::sSBNewPlaylistClick()
{
    TAddPlaylistWindow *w = vPlaylistWindow();
    if (!w)
        return;
    w->NewPlayList = true;
    w->sEAPWName->clear();
    w->open();
    w->sEAPWName->setFocus();
}

void TCatalogTools::sSBEditPlayListNameClick()
{
    TAddPlaylistWindow *w = vPlaylistWindow();
    const int index = vSide.SelectedPlayListIndex();
    // The network playlist keeps its name.
    if (!w || vVorlane.Mode() == bmPlayListFiles || index <= 0)
        return;
    w->NewPlayList = false;
    w->sEAPWName->setText(vSide.PlayListName(index));
    w->sEAPWName->selectAll();
    w->open();
    w->sEAPWName->setFocus();
}

void TCatalogTools::sBAPWOKClick()
{
    TAddPlaylistWindow *w = vPlaylistWindow();
    if (!w)
        return;
    const QString name = w->sEAPWName->text();
    if (name.isEmpty())
        return;
    // A name in use leaves the window open, so that another can be typed.
    const bool done = w->NewPlayList ? vVorlane.AddPlayList(name)
                                     : vVorlane.RenamePlayList(vSide.SelectedPlayListIndex(), name);
    if (done)
        w->accept();
}

void TCatalogTools::sSBDeletePlayListClick()
{
    if (vVorlane.Mode() == bmPlayListFiles)
        return;
    const int index = vSide.SelectedPlayListIndex();
    if (index > 0)
        vVorlane.DeletePlayList(index);
}

void TCatalogTools::sSBAddToPlaylistClick()
{
    const int dest = vSide.SelectedPlayListIndex();
    if (dest < 0)
        return;
    // The network playlist takes entries only while the account is signed in.
    if (dest == 0 && !vVorlane.LoggedIn())
        return;
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    if (!indexes.isEmpty())
        vVorlane.AddFileToPlayList(indexes, dest);
}

void TCatalogTools::sSBPlayListDeleteFileClick()
{
    if (vVorlane.Mode() != bmPlayListFiles)
        return;
    const QList<int> indexes = vBrowse.SelectedEntryIndexes();
    if (!indexes.isEmpty())
        vVorlane.DeleteFileFromPlayList(indexes);
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

void TCatalogTools::sSBBookmarkAddClick()
{
    if (!bookmarkMode(vVorlane.Mode()))
        return;
    QString time;
    const int position = vPlayer.BookmarkPosition(time);
    // Without a current entry nothing is stored, and nothing is announced.
    if (vVorlane.AddBookmark(position, time))
        Q_EMIT status(Msg().SM_BOOKMARKSET + u' ' + time);
}

void TCatalogTools::sSBBookmarkEditClick()
{
    if (!bookmarkMode(vVorlane.Mode()))
        return;
    QString time;
    const int position = vPlayer.BookmarkPosition(time);
    const int line = vSide.SelectedBookmarkLine();
    // With no line selected there is nothing to replace and the message says only what was
    // asked for; with a line but no current entry nothing is stored and nothing announced.
    if (line < 0 || vVorlane.EditBookmark(line + 1, position, time))
        Q_EMIT status(Msg().SM_BOOKMARKEDIT + u' ' + time);
}

void TCatalogTools::sSBBookmarkDeleteClick()
{
    const int line = vSide.SelectedBookmarkLine();
    if (line >= 0)
        vVorlane.DeleteBookmark(line + 1);
    Q_EMIT status(Msg().SM_BOOKMARKDELETE);
}

void TCatalogTools::sSBBookmarkLoadClick()
{
    const int line = vSide.SelectedBookmarkLine();
    if (line < 0)
        return;
    vPlayer.SetNewPlayPosition(vVorlane.GotoBookmarkFromList(line + 1));
    vBrowse.sLBBrowseWindow->setFocus();
}

} // namespace vorlane
