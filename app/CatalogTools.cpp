// The main window's catalogue tools: playlist and bookmark buttons, the playlist-name window,
// copy, move and delete of the selected entries and the duplicate search. Every handler calls
// the controller; what changes on screen follows from the event code it leaves (MTTimer).

#include "app/Icons.h"
#include "app/ListSync.h"
#include "app/MainWindow.h"
#include "app/ToolDialogs.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <memory>

namespace vorlane {

namespace {

// The selected row of a side list, -1 when none is selected.
int selectedRow(const QListView *view)
{
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

} // namespace

template <typename T>
T *TMainWindow::toolDialog(const char *name) const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    for (const QPointer<TDialogWindow> &d : vDialogs) {
        if (d && d->objectName() == QLatin1String(name))
            return qobject_cast<T *>(d.data());
    }
    return nullptr;
}

TAddPlaylistWindow *TMainWindow::AddPlaylistWindow() const
{
    return toolDialog<TAddPlaylistWindow>("AddPlaylistWindow");
}

TCustomizeTemplateWindow *TMainWindow::CustomizeTemplateWindow() const
{
    return toolDialog<TCustomizeTemplateWindow>("CustomizeTemplateWindow");
}

TChangeExpressionWindow *TMainWindow::ChangeExpressionWindow() const
{
    return toolDialog<TChangeExpressionWindow>("ChangeExpressionWindow");
}

void TMainWindow::connectCatalogTools()
{
    AskYesNo = [this](const QString &caption, const QString &text) {
        const std::unique_ptr<QMessageBox> box(CreateQuestionBox(this, caption, text));
        return box->exec() == QMessageBox::Yes;
    };
    const auto button = [this](const char *name, void (TMainWindow::*handler)()) {
        if (auto *b = findChild<QToolButton *>(QLatin1String(name)))
            connect(b, &QToolButton::clicked, this, handler);
    };
    button("sSBCopy", &TMainWindow::fCopy);
    button("sSBMove", &TMainWindow::fMove);
    button("sSBDelete", &TMainWindow::fDelete);
    button("sSBFindCopyes", &TMainWindow::fFindCopyes);
    button("sSBNewPlaylist", &TMainWindow::sSBNewPlaylistClick);
    button("sSBEditPlayListName", &TMainWindow::sSBEditPlayListNameClick);
    button("sSBDeletePlayList", &TMainWindow::sSBDeletePlayListClick);
    button("sSBAddToPlaylist", &TMainWindow::sSBAddToPlaylistClick);
    button("sSBPlayListDeleteFile", &TMainWindow::sSBPlayListDeleteFileClick);
    button("sSBBookmarkAdd", &TMainWindow::sSBBookmarkAddClick);
    button("sSBBookmarkEdit", &TMainWindow::sSBBookmarkEditClick);
    button("sSBBookmarkDelete", &TMainWindow::sSBBookmarkDeleteClick);
    button("sSBBookmarkLoad", &TMainWindow::sSBBookmarkLoadClick);
    button("sSBFastDownload", &TMainWindow::sSBFastDownloadClick);
    // The folder chosen stays the destination when the list is refilled.
    connect(sLBDirList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    vDestFolderIndex = current.row();
            });
    // activated: a double click, or Enter on the selected row.
    connect(sLBDirList, &QListView::activated, this, [this] { fRepeatFileOperation(); });
    connect(sLBBookmarks, &QListView::activated, this, [this] { sSBBookmarkLoadClick(); });
    drawFileOperationButtons();
}

void TMainWindow::connectToolDialogs()
{
    if (TAddPlaylistWindow *w = AddPlaylistWindow())
        connect(w, &TAddPlaylistWindow::okClicked, this, &TMainWindow::sBAPWOKClick);
    if (TCustomizeTemplateWindow *w = CustomizeTemplateWindow()) {
        connect(w, &TCustomizeTemplateWindow::templateChosen, this,
                [this](const TTagRenameTemplate &t) { vVorlane->SetTagRenameTemplate(t); });
        connect(w, &TCustomizeTemplateWindow::renameRequested, this,
                [this](const TTagRenameTemplate &t) {
                    vVorlane->SetTagRenameTemplate(t);
                    sSBTagRenameFileClick();
                });
    }
    if (TChangeExpressionWindow *w = ChangeExpressionWindow())
        connect(w, &TChangeExpressionWindow::expressionChosen, this,
                &TMainWindow::ChangeExpression);
}

void TMainWindow::connectCatalogResults()
{
    // The playlists read at start are listed at once: the list box otherwise fills only when the
    // set of playlists changes (code 21), and adding to a playlist needs one selected there.
    SyncListBoxItems(vPlayListsModel, vVorlane->PlaylistList());
    // The duplicate search ends on the main thread with a question.
    connect(vVorlane.get(), &TVorlane::FindCopyesCompleted, this, [this] {
        if (AskYesNo(Msg().SM_DUPLICATESERCHCOMP, Msg().SM_WANTSEERESULTS))
            vVorlane->TakeFindResult();
        else
            vVorlane->DropFindResult();
    });
}

// ---------------------------------------------------------------------------------------------
// Selections

QList<int> TMainWindow::SelectedEntryIndexes() const
{
    QList<int> indexes;
    for (const QModelIndex &row : sLBBrowseWindow->selectionModel()->selectedRows()) {
        if (row.row() > 0)
            indexes << row.row() - 1;
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

int TMainWindow::DestFolderIndex() const
{
    return selectedRow(sLBDirList);
}

int TMainWindow::SelectedPlayListIndex() const
{
    return selectedRow(sLBPlayLists);
}

// ---------------------------------------------------------------------------------------------
// Copy, move, delete, duplicates

void TMainWindow::drawFileOperationButtons()
{
    // The last operation, which Enter on the folder list repeats, is the larger button.
    auto *copy = findChild<QToolButton *>(QStringLiteral("sSBCopy"));
    auto *move = findChild<QToolButton *>(QStringLiteral("sSBMove"));
    if (!copy || !move)
        return;
    copy->setIconSize(vLastOperationMove ? QSize(14, 14) : QSize(18, 18));
    move->setIconSize(vLastOperationMove ? QSize(18, 18) : QSize(14, 14));
}

void TMainWindow::fCopy()
{
    const int dest = DestFolderIndex();
    if (dest < 0)
        return;
    const QList<int> indexes = SelectedEntryIndexes();
    if (!indexes.isEmpty()) {
        fLStatusRefresh(Msg().SM_FILESTOCOPY + u' ' + QString::number(indexes.size()));
        vVorlane->CopyFiles(indexes, dest);
    }
    vLastOperationMove = false;
    drawFileOperationButtons();
}

void TMainWindow::fMove()
{
    const int dest = DestFolderIndex();
    if (dest < 0 || vVorlane->Mode() != bmComputerFiles)
        return;
    if (vPlayer)
        vPlayer->Stop();
    const QList<int> indexes = SelectedEntryIndexes();
    if (!indexes.isEmpty()) {
        fLStatusRefresh(Msg().SM_FILESTOMOVE + u' ' + QString::number(indexes.size()));
        vVorlane->MoveFiles(indexes, dest);
    }
    vLastOperationMove = true;
    drawFileOperationButtons();
}

void TMainWindow::fDelete()
{
    if (DestFolderIndex() < 0 || vVorlane->Mode() != bmComputerFiles)
        return;
    if (sLBBrowseWindow->selectionModel()->selectedRows().size() > 2 &&
        !AskYesNo(Msg().SM_FILESDELETED, Msg().SM_DELETEDAREYOUSURE))
        return;
    if (vPlayer)
        vPlayer->Stop();
    const QList<int> indexes = SelectedEntryIndexes();
    if (indexes.isEmpty())
        return;
    fLStatusRefresh(Msg().SM_FILESTODELETE + u' ' + QString::number(indexes.size()));
    vVorlane->DeleteFiles(indexes);
}

void TMainWindow::fFindCopyes()
{
    const int dest = DestFolderIndex();
    if (dest >= 0)
        vVorlane->FindCopyes(dest);
}

void TMainWindow::fRepeatFileOperation()
{
    if (vLastOperationMove)
        fMove();
    else
        fCopy();
}

void TMainWindow::finishRecording()
{
    if (!vPlayer || !vPlayer->Recording())
        return;
    // Named and listed in the destination folder chosen now; without one, the recording keeps
    // the folder it was started in.
    const int dest = DestFolderIndex();
    const QString path = dest >= 0 ? vVorlane->GetFNameForRecordedStream(dest) : QString();
    const QString saved = vPlayer->StopRecording(path);
    vVorlane->NoteRecordingEnded();
    sSBFastDownload->setIcon(GlyphIcon(TGlyph::Record));
    if (!saved.isEmpty())
        vVorlane->SetFlags(efRecordingSaved);
}

void TMainWindow::sSBFastDownloadClick()
{
    if (!vPlayer)
        return;
    const int dest = DestFolderIndex();
    if (vVorlane->ListIndex() <= 0 && vVorlane->Mode() != bmInternetSearch) {
        // A live stream: the first click starts the recording, the second names and lists it.
        if (!vPlayer->Recording()) {
            if (dest < 0 || dest >= vVorlane->FolderListCount() ||
                !vPlayer->StartRecording(vVorlane->FolderList(dest).RootDir + u'/'))
                return;
            sSBFastDownload->setIcon(GlyphIcon(TGlyph::Stop));
            vVorlane->NoteRecordingStarted(vVorlane->FolderList(dest).RootDir + u'/');
            vVorlane->SetLastDestDir(dest);
            vVorlane->SetFlags(efRecordingStarted);
            return;
        }
        finishRecording();
        return;
    }
    if (dest < 0)
        return;
    TFileName cached;
    cached.DirName = vProgramDataDir + QStringLiteral("VL4Conf/Cache/");
    cached.FileName = QStringLiteral("temp") + vPlayer->StreamExt();
    cached.Title = vVorlane->CurrentFile().Title;
    if (!QFileInfo::exists(cached.DirName + cached.FileName))
        return; // nothing downloaded (yet)
    vVorlane->CopyFileFromCache(cached, dest);
}

// ---------------------------------------------------------------------------------------------
// Playlists

void TMainWindow::sSBNewPlaylistClick()
{
    TAddPlaylistWindow *w = AddPlaylistWindow();
    if (!w)
        return;
    w->NewPlayList = true;
    w->sEAPWName->clear();
    w->open();
    w->sEAPWName->setFocus();
}

void TMainWindow::sSBEditPlayListNameClick()
{
    TAddPlaylistWindow *w = AddPlaylistWindow();
    const int index = SelectedPlayListIndex();
    // The network playlist keeps its name.
    if (!w || vVorlane->Mode() == bmPlayListFiles || index <= 0)
        return;
    w->NewPlayList = false;
    w->sEAPWName->setText(vPlayListsModel->index(index).data().toString());
    w->sEAPWName->selectAll();
    w->open();
    w->sEAPWName->setFocus();
}

void TMainWindow::sBAPWOKClick()
{
    TAddPlaylistWindow *w = AddPlaylistWindow();
    if (!w)
        return;
    const QString name = w->sEAPWName->text();
    if (name.isEmpty())
        return;
    // A name in use leaves the window open, so that another can be typed.
    const bool done = w->NewPlayList ? vVorlane->AddPlayList(name)
                                     : vVorlane->RenamePlayList(SelectedPlayListIndex(), name);
    if (done)
        w->accept();
}

void TMainWindow::sSBDeletePlayListClick()
{
    if (vVorlane->Mode() == bmPlayListFiles)
        return;
    const int index = SelectedPlayListIndex();
    if (index > 0)
        vVorlane->DeletePlayList(index);
}

void TMainWindow::sSBAddToPlaylistClick()
{
    const int dest = SelectedPlayListIndex();
    if (dest < 0)
        return;
    // The network playlist takes entries only while the account is signed in.
    if (dest == 0 && !vVorlane->LoggedIn())
        return;
    const QList<int> indexes = SelectedEntryIndexes();
    if (!indexes.isEmpty())
        vVorlane->AddFileToPlayList(indexes, dest);
}

void TMainWindow::sSBPlayListDeleteFileClick()
{
    if (vVorlane->Mode() != bmPlayListFiles)
        return;
    const QList<int> indexes = SelectedEntryIndexes();
    if (!indexes.isEmpty())
        vVorlane->DeleteFileFromPlayList(indexes);
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

namespace {

bool bookmarkMode(uint32_t mode)
{
    return mode == bmComputerFiles || mode == bmInternetFiles || mode == bmPlayListFiles;
}

} // namespace

int TMainWindow::bookmarkPosition(QString &timeText) const
{
    const int64_t position = vPlayer ? std::max<int64_t>(0, vPlayer->GetPosition()) : 0;
    timeText = vPlayer ? vPlayer->ByteLengthToTime(position) : QStringLiteral("00:00");
    // Bookmarks keep 32-bit positions: over three hours of CD-quality sound.
    return int(std::min<int64_t>(position, INT_MAX));
}

void TMainWindow::sSBBookmarkAddClick()
{
    if (!bookmarkMode(vVorlane->Mode()))
        return;
    QString time;
    const int position = bookmarkPosition(time);
    vVorlane->AddBookmark(position, time);
    fLStatusRefresh(Msg().SM_BOOKMARKSET + u' ' + time);
}

void TMainWindow::sSBBookmarkEditClick()
{
    const int line = selectedRow(sLBBookmarks);
    if (!bookmarkMode(vVorlane->Mode()) || line < 0)
        return;
    QString time;
    const int position = bookmarkPosition(time);
    vVorlane->EditBookmark(line + 1, position, time);
    fLStatusRefresh(Msg().SM_BOOKMARKEDIT + u' ' + time);
}

void TMainWindow::sSBBookmarkDeleteClick()
{
    const int line = selectedRow(sLBBookmarks);
    if (line < 0)
        return;
    vVorlane->DeleteBookmark(line + 1);
    fLStatusRefresh(Msg().SM_BOOKMARKDELETE);
}

void TMainWindow::sSBBookmarkLoadClick()
{
    const int line = selectedRow(sLBBookmarks);
    if (line < 0)
        return;
    vNewPlayPosition = vVorlane->GotoBookmarkFromList(line + 1);
    sLBBrowseWindow->setFocus();
}

// ---------------------------------------------------------------------------------------------
// The playing file while its file or tags change

TMainWindow::TPlaybackHold TMainWindow::holdPlayback()
{
    TPlaybackHold hold;
    if (!vPlayer)
        return hold;
    hold.File = vPlayer->CurrentFile();
    hold.Playing = vPlayer->Played();
    hold.Position = vPlayer->GetPosition();
    hold.Open = vPlayer->CloseFile();
    const TFileName current = vVorlane->CurrentFile();
    hold.WasCurrent =
        current.FileName == hold.File.FileName && current.DirName == hold.File.DirName;
    return hold;
}

void TMainWindow::resumePlayback(const TPlaybackHold &hold)
{
    if (!hold.Open || !vPlayer)
        return;
    // The current entry is read again: a naming tool may have given it a new name. A file that
    // is not the current entry (another list's, playing on) is opened as it was.
    const TFileName file = hold.WasCurrent ? vVorlane->CurrentFile() : hold.File;
    if (file.FileName.isEmpty() || !vPlayer->OpenFile(file) || !vPlayer->Play())
        return;
    vPlayer->SetVolume(sTBVolume->value());
    vPlayer->ChangePosition(hold.Position);
    if (!hold.Playing)
        vPlayer->Pause();
}

} // namespace vorlane
