#pragma once
// TMainWindow: the program's one main window and its heartbeat.
//
// It owns the catalogue controller (TVorlane), the panels and the timers, and wires them; the
// panels carry the behaviour: the menus (TMenus), the browse panel (TBrowsePanel), the side
// panel (TSidePanel), the player panel (TPlayerPanel), the catalogue and naming tools
// (TCatalogTools, TNamingTools), the folder commands (TFolderCommands) and the keys
// (TWindowKeys). The controller never calls the window: it leaves an event code, and the main
// timer MT (every 50 ms) takes it by reading Flags() and has the panels refresh (MTTimer); the
// same tick runs the player tick and scrolls the status line.
//
// Start: the constructor (FormCreate) finds or seeds the data folder, prepares the playlist
// files, creates the controller and reads Config.ini (fLoadConf). CreateWindowSet() then makes
// the tool windows in their fixed order and applies the language (the program has the windows
// made right after the first paint instead: WindowSetAfterFirstPaint). InetStartTimer fires once
// after 5 s, starts the internet connection check and MT. Close: closeEvent runs the close
// sequence (fSaveConf), writing Config.ini once.
//
// Threads: everything here runs on the main thread; workers reach it only through the controller's
// mailboxes, which reading Flags() evaluates.

#include "app/shell/Config.h"
#include "app/shell/WindowFrame.h"
#include "app/shell/WindowSettings.h"
#include "app/tools/CatalogTools.h"
#include "app/tools/ToolWindows.h"
#include "catalog/CatalogTypes.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QFrame;
class QSplitter;
class QSystemTrayIcon;
class QTimer;
class QUrl;

namespace vorlane {

class TAccountPanel;
class TAddPlaylistWindow;
class TBrowsePanel;
class TDesktopPresence;
class TChangeExpressionWindow;
class TCustomizeTemplateWindow;
class TDialogWindow;
class TFolderCommands;
class TIndicatorWindow;
class TIniFile;
class TInetTimers;
class TNamingTools;
class TPanelSplitters;
class TPlayerPanel;
class TPlayerPort;
class TSidePanel;
class TTagPanel;
class TTextScroller;
class TVorlane;
class TWindowKeys;
struct TMenus;

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
    // The mount points of the system; the system's mount table when empty (tests hand in theirs).
    std::function<QStringList()> MountSource;
    // True in the program: the tag sheet (a hidden tab at start) and the windows CreateWindowSet
    // makes (the tool windows and the indicator window, all hidden until asked for) wait until
    // the browse list has first been painted; anything that asks for one of them before makes
    // them at once.
    bool WindowSetAfterFirstPaint = false;
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

    // Makes the tool windows in the program's order after the main window and applies the
    // language.
    void CreateWindowSet();
    // Makes the windows now when CreateWindowSet has left them for after the first paint.
    void EnsureWindowSet();

    // ---- The parts ----
    TVorlane *Controller() const { return vVorlane.get(); }
    const TMenus &Menus() const { return *vMenus; }
    TBrowsePanel &Browse() const { return *vBrowse; }
    TSidePanel &Side() const { return *vSide; }
    TPlayerPanel &PlayerPanel() const { return *vPlayerPanel; }
    TCatalogTools &CatalogTools() const { return *vCatalogTools; }
    TNamingTools &NamingTools() const { return *vNamingTools; }
    TAccountPanel &Account() const { return *vAccount; }
    TFolderCommands &Folders() const { return *vFolders; }
    TDesktopPresence &Desktop() const { return *vDesktop; }
    const TWindowFrame &Frame() const { return vFrame; }
    // Hands the window its player (the engine's, or a test double); null plays nothing.
    void SetPlayer(std::unique_ptr<TPlayerPort> player);
    TPlayerPort *Player() const;

    // ---- Timers ----
    void MTTimer();
    void STTimer();
    void InetStartTimerTimer();
    QTimer *MainTimer() const { return MT; }
    QTimer *StatusTimer() const { return ST; }
    // RefreshCacheTimer and the internet status of each tick.
    TInetTimers &Inet() const { return *vInet; }

    // ---- Status ----
    // Shows a message in the status line and the tray hint; after 5 s the line returns to the
    // current entry's folder.
    void fLStatusRefresh(const QString &newStatus);
    QString StatusText() const;

    // ---- Configuration and language ----
    void fSaveConf();
    void SetLanguage();
    QString CurLanguage() const { return vCurLanguage; }
    void SetCurLanguage(const QString &language) { vCurLanguage = language; }
    // The settings as the window holds them now (what fSaveConf writes).
    TConfig CurrentConfig() const;
    void fSetFontSize(int size);
    int FontSize() const { return vFontSize; }

    // ---- Shell ----
    // The Yes/No questions of the tools and the folder commands: a message box unless replaced
    // (tests answer them).
    void SetQuestionBox(TQuestion ask) { vAskYesNo = std::move(ask); }
    // Whether a panel of the frame is shown; hiding one keeps its splitter.
    bool PanelShown(QWidget *panel) const;
    void SetPanelShown(QWidget *panel, bool shown);
    // The session is ending (a signal): closes as the Close command does, without questions and
    // whatever the account state, then leaves the event loop. A question on screen is dismissed.
    void EndSession();
    // Brings the window back from the tray or a minimised state, to the front.
    void RestoreWindow();
    // Adds a folder as a new folder list and shows it (the command line, a second start).
    void addFolderList(const QString &folder, bool included);

    // ---- The windows made by the window set (made now when asked for earlier) ----
    TIndicatorWindow *IndicatorWindow() const;
    TAddPlaylistWindow *AddPlaylistWindow() const;
    TCustomizeTemplateWindow *CustomizeTemplateWindow() const;
    TChangeExpressionWindow *ChangeExpressionWindow() const;
    TTagPanel *TagPanel() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildFrame();
    void connectParts();
    void connectMenus();
    void fCheckPLFile();
    void fLoadConf();
    void dispatchEvent(TEventCode code);
    void applyTheme(const QString &name);
    void startAutoUpdater();
    void showNotice(const QString &title);
    QString currentEntryLocation() const;
    // The tool windows and the indicator window in the program's order.
    void makeWindowSet();
    // lang.ini from the working folder, else from the bundled data (empty when neither has one).
    QString languageFile() const;
    void applyLanguageTo(QWidget *sheet);
    TSettingsParts settingsParts() const;

    TMainWindowOptions vOptions;
    QString vProgramDataDir;
    QString vStartError;
    bool vSeeded = false;
    bool vConfSaved = false;
    QString vCurLanguage = QStringLiteral("Eng");
    QString vSkin;
    TConfig vConfig; // as read at start; keys the window does not hold are written back from it
    int vFontSize = 8;
    int vMountTicks = 0;
    TQuestion vAskYesNo;

    std::unique_ptr<TVorlane> vVorlane;
    std::unique_ptr<TMenus> vMenus;
    TWindowFrame vFrame;
    TBrowsePanel *vBrowse = nullptr;
    TSidePanel *vSide = nullptr;
    TPlayerPanel *vPlayerPanel = nullptr;
    TCatalogTools *vCatalogTools = nullptr;
    TNamingTools *vNamingTools = nullptr;
    TFolderCommands *vFolders = nullptr;
    TPanelSplitters *vSplitters = nullptr;
    TWindowKeys *vKeys = nullptr;
    TDesktopPresence *vDesktop = nullptr;
    TAccountPanel *vAccount = nullptr;
    TInetTimers *vInet = nullptr;

    QTimer *MT = nullptr;
    QTimer *ST = nullptr;
    QTimer *InetStartTimer = nullptr;

    TToolWindows vToolWindows;
    bool vEndingSession = false;
    bool vWindowSetStarted = false; // CreateWindowSet has run
};

} // namespace vorlane
