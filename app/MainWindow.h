#pragma once
// TMainWindow: the program's one main window and its heartbeat.
//
// It owns the catalogue controller (TVorlane), the player (through TPlayerPort), the dialogs and
// the timers. The controller never calls the window: it leaves an event code, and the main timer
// MT (every 50 ms) takes it by reading Flags() and refreshes the window (MTTimer); the same tick
// carries out the queued player command, refreshes the player display, applies the repeat mode at
// the end of a track and scrolls the status line.
//
// Start: the constructor (FormCreate) finds or seeds the data folder, prepares the playlist
// files, creates the controller and reads Config.ini (fLoadConf). CreateWindowSet() then makes the
// dialogs in their fixed order and applies the language. InetStartTimer fires once after 5 s and
// starts MT. Close: closeEvent runs the close sequence (fSaveConf), writing Config.ini once.
//
// Threads: everything here runs on the main thread; workers reach it only through the controller's
// mailboxes, which reading Flags() evaluates.

#include "app/Config.h"
#include "app/Dialogs.h"
#include "app/IndicatorWindow.h"
#include "app/PlayerPort.h"
#include "app/PlayerTick.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QProgressBar;
class QSlider;
class QSplitter;
class QStringListModel;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QToolButton;

namespace vorlane {

class TVorlane;
class TTextScroller;
class THeaderListModel;
class TScrollingItemDelegate;
class TPlayerLoader;
class TPeaksStrip;
class TVisualIndicator;

struct TMainWindowOptions {
    // Where a portable install keeps VL4Conf; the process's working folder by default.
    QString WorkingDir;
    // The user's application-data folder; GetSpecialFolder(26) by default.
    QString AppDataDir;
    // The installation's bundled data; BundledDataDir() by default.
    QString BundledDir;
    // Added as a folder list (with sub-folders) when this start seeded the data folder.
    QString FirstStartFolder;
    // Folders named on the command line, added as folder lists after the start.
    QStringList OpenFolders;
    // False in tests that drive the timers by hand.
    bool StartTimers = true;
    // False in tests that hand the window a player of their own (SetPlayer). The engine's player
    // comes from its module, loaded in the background: Player() is null until it has arrived.
    bool CreatePlayer = true;
};

class TMainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kMainTimerMs = 50;
    static constexpr int kStatusRevertMs = 5000;
    static constexpr int kInetStartMs = 5000;
    static const QString kTitle; // "Vorlane Kestrio"

    explicit TMainWindow(const TMainWindowOptions &options = {}, QWidget *parent = nullptr);
    ~TMainWindow() override;

    // False when no data folder could be found or made (the reason is in StartError()); the
    // program then ends without showing a window.
    bool Ok() const { return !vProgramDataDir.isEmpty(); }
    QString StartError() const { return vStartError; }
    // The data folder, ending in "/".
    QString ProgramDataDir() const { return vProgramDataDir; }
    bool SeededThisStart() const { return vSeeded; }

    // Creates the dialogs in the program's order after the main window and applies the language.
    void CreateWindowSet();

    TVorlane *Controller() const { return vVorlane.get(); }
    // Hands the window its player (the engine's, or a test double); null plays nothing.
    void SetPlayer(std::unique_ptr<TPlayerPort> player);
    TPlayerPort *Player() const { return vPlayer.get(); }

    // ---- Timers ----
    void MTTimer();
    void STTimer();
    void InetStartTimerTimer();
    QTimer *MT = nullptr;
    QTimer *ST = nullptr;
    QTimer *NT = nullptr;
    QTimer *InetStartTimer = nullptr;
    QTimer *RefreshCacheTimer = nullptr;

    // ---- Status ----
    // Shows a message in the status line and the tray hint; after 5 s the line returns to the
    // current entry's folder.
    void fLStatusRefresh(const QString &newStatus);
    QString StatusText() const;

    // ---- Configuration and language ----
    void fLoadConf();
    void fSaveConf();
    void SetLanguage();
    QString CurLanguage() const { return vCurLanguage; }
    void SetCurLanguage(const QString &language) { vCurLanguage = language; }
    // The settings as the window holds them now (what fSaveConf writes).
    TConfig CurrentConfig() const;
    TRepeatMode RepeatMode() const;

    // ---- Playback ----
    void fOpenFile();
    void fNext();
    void fPrev();
    // The player command for the next tick (a later one replaces it).
    int PendingPlayerCommand = 0;
    int64_t vPosRegulatorValue = 0;
    bool vPositionChange = false;
    int vNewPlayPosition = -1;

    // ---- Lists ----
    void fRefreshDirList();
    void fRefreshTreeNavigator(bool softRefresh);
    bool fSetBrowseIndex(int index);
    void fSetFontSize(int size);
    void fCheckPLFile();
    QStringList BrowseLines() const;
    int BrowseCurrentRow() const;
    QStringList NavigatorLines() const;
    QStringList DirListLines() const;
    QStringList BookmarkLines() const;
    QStringList PlayListLines() const;

    // ---- Controls (object names are their lang.ini keys) ----
    QListView *sLBBrowseWindow = nullptr;
    QListView *sLBNavigator = nullptr;
    QListView *sLBBookmarks = nullptr;
    QListView *sLBDirList = nullptr;
    QListView *sLBPlayLists = nullptr;
    QTabWidget *sPCExtentedControls = nullptr;
    QLineEdit *sEFindQuery = nullptr;
    QLineEdit *sEEdit = nullptr;
    QLineEdit *sETimeIndicator = nullptr;
    QProgressBar *sPBPositionRegulator = nullptr;
    QSlider *sTBVolume = nullptr;
    QSlider *sTBPlaySpeed = nullptr;
    QToolButton *sSBPlay = nullptr;
    QToolButton *sSBFastDownload = nullptr;
    TTextScroller *TSStatus = nullptr;
    TPeaksStrip *PBPeaksIndicator = nullptr;
    TVisualIndicator *IVisualIndicator = nullptr;
    QWidget *sPLeft = nullptr;
    QWidget *sPRight = nullptr;
    QWidget *sPCenter = nullptr;
    QFrame *sPTop = nullptr;
    QSplitter *sSPLeft = nullptr;
    QSplitter *sSpCentral = nullptr;
    QSplitter *sSPTop = nullptr;
    QSystemTrayIcon *TrayIcon = nullptr;

    // Menu items by their names (PMCPlayFiles, PMCRAll, ...); null for an unknown name.
    QAction *MenuItem(const QString &name) const;

    // Brings the window back from the tray, the mini player or a minimised state, to the front.
    void RestoreWindow();
    // Adds a folder as a new folder list and shows it (dropped folders, the command line).
    void addFolderList(const QString &folder, bool included);

    // The windows made by CreateWindowSet (null before).
    TIndicatorWindow *IndicatorWindow() const { return vIndicatorWindow; }
    QWidget *MiniPlayerWindow() const { return vMiniPlayerWindow; }

    // The controller's event codes that the next tick will see are chained through here too.
    int vVisMode = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildUi();
    QWidget *buildCentre();
    QWidget *buildSidePanel();
    QWidget *buildPlayerPanel();
    QWidget *buildTagPage();
    void buildMenus();
    QAction *addItem(QMenu *menu, const char *name, const QString &text, bool checkable = false);
    QMenu *addSubMenu(QMenu *menu, const char *name, const QString &text);

    void dispatchEvent(int code);
    void reloadBrowseInPlace();
    void refillBrowse();
    void refillBookmarks();
    void runPlayerCommand();
    void runPlayerTick();
    void scrollSelectedItem();
    void applyTheme(const QString &name);
    void setRepeatMode(TRepeatMode mode);
    void startAutoUpdater();
    QString currentEntryLocation() const;

    TMainWindowOptions vOptions;
    QString vProgramDataDir;
    QString vStartError;
    bool vSeeded = false;
    bool vConfSaved = false;
    QString vCurLanguage = QStringLiteral("Eng");
    QString vSkin;
    QString vLastDir; // the folder last chosen in a dialog or dropped
    TConfig vConfig;  // as read at start; keys the window does not hold are written back from it
    int vFontSize = 8;
    int vDestFolderIndex = 0;
    int vNavigatorP = 1, vNavigatorI = 2, vNavigatorB = 3;

    std::unique_ptr<TVorlane> vVorlane;
    std::unique_ptr<TPlayerPort> vPlayer;
    TPlayerLoader *vPlayerLoader = nullptr;

    QStringListModel *vBrowseModel = nullptr;
    THeaderListModel *vNavigatorModel = nullptr;
    QStringListModel *vBookmarksModel = nullptr;
    QStringListModel *vDirListModel = nullptr;
    QStringListModel *vPlayListsModel = nullptr;

    TItemScroll vItemScroll; // the selected-item scroller's state (xs1, ys1, xsv1)
    QList<TScrollingItemDelegate *> vSideDelegates;

    QActionGroup *vRepeatGroup = nullptr;
    QActionGroup *vFontGroup = nullptr;
    QActionGroup *vLanguageGroup = nullptr;
    QActionGroup *vSkinGroup = nullptr;

    QPointer<TIndicatorWindow> vIndicatorWindow;
    QPointer<QWidget> vMiniPlayerWindow;
    QList<QPointer<TDialogWindow>> vDialogs;
};

} // namespace vorlane
