#include "app/shell/EventDispatch.h"

#include "app/account/AccountPanel.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/SidePanel.h"
#include "app/player/PlayerPanel.h"
#include "app/shell/Menus.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QMenu>

#include "base/Messages.h"
#include "catalog/CatalogTypes.h"

#include <QLocale>

namespace vorlane {

QString FreeSpaceSuffix(const QString &freeSpaceMB)
{
    return u' ' + Msg().SM_FREESPACEONDISK + u' ' + freeSpaceMB + QStringLiteral(" MB. ");
}

QString FormatFreeSpaceMB(int64_t freeBytes)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(freeBytes) / 1024.0 / 1024.0, 'f', 2);
}

TDispatchPlan PlanEvent(int code, const TDispatchContext &c)
{
    const TMessages &m = Msg();
    TDispatchPlan p;
    p.Handled = true;
    const auto status = [&p](const QString &text) {
        p.SetStatus = true;
        p.Status = text;
    };
    switch (code) {
    case efCopyStep:
        if (c.LeftCopyFiles < 1)
            status(m.SM_COPYFINISHED + FreeSpaceSuffix(c.FreeSpaceMB));
        else
            status(m.SM_COPYCOMPLETED + QString::number(c.LeftCopyFiles));
        break;
    case efDeleteDone:
        p.Browse = TDispatchPlan::baReloadInPlace;
        status(m.SM_FILEDEL + FreeSpaceSuffix(c.FreeSpaceMB));
        p.FollowUp = efOpenFile;
        break;
    case efListAdded:
        status(m.SM_ADDDIRCOMPLETED + QString::number(c.FilesCount));
        p.RefreshDirList = true;
        p.RefreshNavigator = true;
        break;
    case efOpenFile: p.OpenFile = true; break;
    case efListDeleted:
        status(m.SM_DIRDEL);
        p.SwitchToComputerLists = true;
        p.RefreshNavigator = true;
        break;
    case efRefreshView:
        p.Browse = TDispatchPlan::baRefill;
        p.FollowUp = efBookmarksChanged;
        p.RefreshDirList = true;
        status(QStringLiteral("OK"));
        break;
    case efListRescanned:
        status(m.SM_DIRREFRESH + QString::number(c.FilesCount));
        p.FollowUp = efRefreshView;
        p.RefreshDirList = true;
        p.RefreshNavigator = true;
        break;
    case efMoveStep:
        if (c.LeftMoveFiles < 1) {
            status(m.SM_MOVEFINISHED + FreeSpaceSuffix(c.FreeSpaceMB));
            p.FollowUp = efMoveRefresh;
        } else {
            status(m.SM_MOVECOMPLETED + QString::number(c.LeftMoveFiles));
        }
        break;
    case efBookmarksChanged:
        p.RefillBookmarks = true;
        p.RefreshNavigator = true;
        break;
    case efGotoBookmark:
        p.OpenFile = true;
        p.SeekBookmark = true;
        break;
    case efGotoBookmarkShow:
        p.RefillBrowseFromList = true;
        p.OpenIfOtherFile = true;
        p.SeekBookmark = true;
        p.FollowUp = efBookmarksChanged;
        break;
    case efListReplaced:
        status(m.SM_DIRREFRESH + QString::number(c.FilesCount));
        p.FollowUp = efRefreshView;
        break;
    case efCopyFailed: status(m.SM_COPYFAILED); break;
    case efMoveFailed: status(m.SM_MOVEFAILED); break;
    case efMoveRefresh:
        p.Browse = TDispatchPlan::baReloadInPlace;
        p.FollowUp = efOpenFile;
        break;
    case efListChanged: p.Browse = TDispatchPlan::baReloadInPlace; break;
    case efPlayListsChanged:
        p.SyncPlayLists = true;
        p.RefreshNavigator = true;
        p.FollowUp = efRefreshView;
        break;
    case efAddedToPlaylist: status(m.SM_FILESADDEDTOPLAYLIST); break;
    case efAccountLoaded:
        p.ShowAccountPlaylist = true;
        status(m.SM_ACCCONNECTED);
        break;
    case efInternetEnabled:
        status(m.SM_INETENABLED);
        p.StartCacheRefresh = true;
        break;
    case efAccountClosed:
        p.FinishAccountExit = true;
        status(m.SM_ACCUPDATEEND);
        break;
    case efRecordingStarted: status(m.SM_RECORDINGSTARTED + FreeSpaceSuffix(c.FreeSpaceMB)); break;
    case efRecordingSaved: status(m.SM_RECORDISSAVED + FreeSpaceSuffix(c.FreeSpaceMB)); break;
    default: p.Handled = false; break;
    }
    return p;
}

void DispatchEvent(TEventCode code, const TDispatchParts &parts)
{
    if (code == efNone)
        return;
    TVorlane &vorlane = *parts.Vorlane;
    TDispatchContext context;
    context.LeftCopyFiles = vorlane.CopyCounter();
    context.LeftMoveFiles = vorlane.MoveCounter();
    context.FilesCount = vorlane.FilesCount();
    switch (code) {
    case efCopyStep:
    case efDeleteDone:
    case efMoveStep:
    case efRecordingStarted:
    case efRecordingSaved:
        context.FreeSpaceMB = FormatFreeSpaceMB(vorlane.GetCurDestDiskFreeSize());
        break;
    default: break;
    }
    const TDispatchPlan plan = PlanEvent(code, context);
    if (!plan.Handled)
        return;

    if (plan.Browse == TDispatchPlan::baRefill)
        parts.Browse->RefillBrowse();
    else if (plan.Browse == TDispatchPlan::baReloadInPlace)
        parts.Browse->ReloadBrowseInPlace();
    if (plan.SwitchToComputerLists)
        vorlane.SetMode(bmComputerLists);
    if (plan.ShowAccountPlaylist) {
        vorlane.SetMode(bmPlayLists);
        vorlane.SetVisibleListIndex(0);
        vorlane.SetMode(bmPlayListFiles);
        if (parts.Account)
            parts.Account->LoggedIn();
    }
    if (plan.RefillBookmarks) {
        const int index = parts.Side->RefillBookmarks();
        if (vorlane.Mode() == bmBookmarks) {
            parts.Browse->RefillBrowse();
            parts.Browse->fSetBrowseIndex(index + 1);
        }
    }
    if (plan.SyncPlayLists)
        parts.Side->SyncPlayLists();
    if (plan.RefillBrowseFromList)
        parts.Browse->RefillBrowse();
    if (plan.OpenFile)
        parts.Player->fOpenFile();
    if (plan.OpenIfOtherFile) {
        const TFileName entry = vorlane.CurrentFile();
        const TPlayerPort *player = parts.Player->Player();
        const TFileName playing = player ? player->CurrentFile() : TFileName();
        if (entry.FileName != playing.FileName || entry.DirName != playing.DirName)
            parts.Player->fOpenFile();
    }
    if (plan.SeekBookmark)
        parts.Player->SeekNewPlayPosition();
    if (plan.StartCacheRefresh)
        vorlane.RefreshCache();
    if (plan.FinishAccountExit) {
        // The controller has saved the account and logged out; a code 25 of its own (an exit
        // chosen while logged out) ends the same way.
        vorlane.SetLoggedIn(false);
        if (parts.Account)
            parts.Account->LoggedOut();
    }
    if (plan.RefreshDirList)
        parts.Side->fRefreshDirList();
    if (plan.RefreshNavigator)
        parts.Browse->fRefreshTreeNavigator(true);
    if (plan.SetStatus)
        parts.Status(plan.Status);
    if (plan.FollowUp != efNone)
        vorlane.SetFlags(plan.FollowUp);
}

} // namespace vorlane
