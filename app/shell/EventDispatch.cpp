#include "app/shell/EventDispatch.h"

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

} // namespace vorlane
