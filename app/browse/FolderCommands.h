#pragma once
// TFolderCommands: where folder lists and link lists come from. The directory menu (add, change,
// remove, refresh a folder list or the catalogue cache, checking the internet connection again
// while it is off, open a list of links), dropped files and folders, folders named
// at start, volumes mounted while the program runs (the main timer polls the mount table), and
// the edit menu's clipboard and desktop items. Each calls the controller; the main timer shows
// what changed. Main thread only.

#include "app/tools/CatalogTools.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QUrl;

namespace vorlane {

class TBrowsePanel;
class TMountWatcher;
class TSidePanel;
class TVorlane;
struct TMenus;

class TFolderCommands : public QObject {
    Q_OBJECT

public:
    using TChooser = std::function<QString(const QString &caption, const QString &startDir)>;

    // `ask` is read at each use. `takeEvent` has the main timer take the pending event at once
    // (a folder added is shown as well as announced). mounts: the mount points of the system;
    // the system's mount table when empty.
    TFolderCommands(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse, TSidePanel &side,
                    const TQuestion &ask, std::function<void()> takeEvent,
                    std::function<QStringList()> mounts, QObject *parent);

    // Adds a folder as a new folder list and shows it (dropped folders, the command line).
    void addFolderList(const QString &folder, bool included);
    // Dropped files and folders: only the first is taken. A ".txt" file opens as a list of
    // links; any other path is taken as the folder to add.
    void WMDropFiles(const QList<QUrl> &urls);
    // Rescans the folder lists that lie on newly mounted volumes.
    void OnDeviceChange();
    QString LastDir() const { return vLastDir; }

    // The folder and file choosers of the directory menu (dialogs unless replaced; tests answer
    // them). The folder question they lead to is the window's question box.
    void SetChoosers(TChooser folder, TChooser file = {});

Q_SIGNALS:
    void status(const QString &text);

private:
    void askAndAddFolder(const QString &folder, const QString &caption);
    void changeFolder();
    void refresh();
    void openEntry(bool itsFolder);

    TVorlane &vVorlane;
    TBrowsePanel &vBrowse;
    TSidePanel &vSide;
    const TQuestion &vAsk;
    std::function<void()> vTakeEvent;
    TMountWatcher *vMountWatcher = nullptr;
    TChooser vChooseFolder;
    TChooser vChooseFile;
    QString vLastDir; // the folder last chosen in a dialog or dropped
};

} // namespace vorlane
