#include "app/browse/FolderCommands.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseRules.h"
#include "app/browse/MountWatcher.h"
#include "app/browse/SidePanel.h"
#include "app/shell/Menus.h"
#include "base/Messages.h"
#include "base/TextUtils.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace vorlane {

TFolderCommands::TFolderCommands(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse,
                                 TSidePanel &side, const TQuestion &ask,
                                 std::function<void()> takeEvent,
                                 std::function<QStringList()> mounts, QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
    , vBrowse(browse)
    , vSide(side)
    , vAsk(ask)
    , vTakeEvent(std::move(takeEvent))
    , vMountWatcher(new TMountWatcher(std::move(mounts), this))
{
    QWidget *window = side.sPCExtentedControls->window();
    vChooseFolder = [window](const QString &caption, const QString &startDir) {
        return QFileDialog::getExistingDirectory(window, caption, startDir);
    };
    vChooseFile = [window](const QString &caption, const QString &startDir) {
        return QFileDialog::getOpenFileName(window, caption, startDir);
    };
    connect(menus.PMDAdd, &QAction::triggered, this, [this] {
        const QString chosen = vChooseFolder(Msg().SM_ADDDIR, vLastDir);
        if (!chosen.isEmpty())
            askAndAddFolder(chosen, Msg().SM_ADDDIR);
    });
    connect(menus.PMDChange, &QAction::triggered, this, [this] { changeFolder(); });
    connect(menus.PMDDelete, &QAction::triggered, this, [this] { vVorlane.DeleteList(); });
    connect(menus.PMDAddFileList, &QAction::triggered, this, [this] {
        const QString chosen = vChooseFile(Msg().SM_ADDDIR, vLastDir);
        if (!chosen.isEmpty())
            vVorlane.OpenExtFileList(chosen, false);
    });
    connect(menus.PMDRefresh, &QAction::triggered, this, [this] { refresh(); });
    connect(menus.PMECopyListToClipBoard, &QAction::triggered, this, [this] {
        QApplication::clipboard()->setText(vBrowse.BrowseLines().join(QStringLiteral("\r\n")));
    });
    connect(menus.PMEOpenInApp, &QAction::triggered, this, [this] { openEntry(false); });
    connect(menus.PMEOpenInExplorer, &QAction::triggered, this, [this] { openEntry(true); });
}

void TFolderCommands::SetChoosers(TChooser folder, TChooser file)
{
    if (folder)
        vChooseFolder = std::move(folder);
    if (file)
        vChooseFile = std::move(file);
}

void TFolderCommands::addFolderList(const QString &folder, bool included)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return;
    vLastDir = info.absoluteFilePath();
    vVorlane.SetMode(bmComputerFiles);
    vVorlane.AddList(vLastDir, included, false);
    vVorlane.SaveCatalog(); // a new list is kept even if the program does not end normally
    // The new list is shown as well as announced.
    vTakeEvent();
    vVorlane.RefreshView();
}

void TFolderCommands::askAndAddFolder(const QString &folder, const QString &caption)
{
    vLastDir = folder;
    const bool included = vAsk(caption, Msg().SM_OPENINCLUDES);
    addFolderList(folder, included);
}

void TFolderCommands::WMDropFiles(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    const QUrl &first = urls.first();
    const QString path = first.isLocalFile() ? first.toLocalFile() : first.toString();
    if (path.isEmpty())
        return;
    vVorlane.SetMode(bmComputerFiles);
    if (LowerExtension(path) == QLatin1String(".txt")) {
        vVorlane.OpenExtFileList(path, false);
        return;
    }
    // The path itself is the folder: a dropped file that is not a list of links adds nothing.
    const QFileInfo info(path);
    if (info.isDir())
        askAndAddFolder(info.absoluteFilePath(), Msg().SM_ADDDIR);
}

void TFolderCommands::changeFolder()
{
    const TMessages &m = Msg();
    const QString start =
        vVorlane.Mode() == bmComputerFiles ? vVorlane.CurrentFile().DirName : vLastDir;
    const QString chosen = vChooseFolder(m.SM_CHANGEDIR, start);
    if (chosen.isEmpty())
        return;
    vLastDir = chosen;
    vVorlane.SetMode(bmComputerFiles);
    const bool included = vAsk(m.SM_CHANGEDIR, m.SM_OPENINCLUDES);
    vVorlane.RefreshList(chosen, included);
}

void TFolderCommands::refresh()
{
    // While the network is off the connection is checked again (on a worker; event 24 follows).
    if (!vVorlane.InetEnabled())
        vVorlane.CheckInetConnection();
    const TBrowseMode mode = vVorlane.Mode();
    if (mode == bmInternetLists || mode == bmInternetFiles)
        Q_EMIT status(Msg().SM_INTERNETLOAD);
    vVorlane.RefreshList();
}

void TFolderCommands::OnDeviceChange()
{
    QStringList before, after;
    if (!vMountWatcher->Poll(before, after))
        return;
    QStringList roots;
    for (int i = 0; i < vVorlane.FolderListCount(); ++i)
        roots << vVorlane.FolderList(i).RootDir;
    for (int index : ListsOnNewMounts(before, after, roots)) {
        if (vVorlane.Mode() != bmComputerFiles)
            vVorlane.SetMode(bmComputerFiles);
        vVorlane.SetListIndex(index);
        vVorlane.RefreshList();
        vSide.SetDestFolder(index);
    }
}

void TFolderCommands::openEntry(bool itsFolder)
{
    const TFileName entry = vVorlane.CurrentFile();
    if (entry.FileName.isEmpty() && entry.DirName.isEmpty())
        return;
    const bool local = !entry.DirName.contains(QLatin1String("://"));
    const QString target = itsFolder ? entry.DirName : entry.DirName + entry.FileName;
    QDesktopServices::openUrl(local ? QUrl::fromLocalFile(target) : QUrl(target));
}

} // namespace vorlane
