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
// dialogs in their fixed order and applies the language (the program has the dialogs made right
// after the first paint instead: WindowSetAfterFirstPaint). InetStartTimer fires once after 5 s
// and starts MT. Close: closeEvent runs the close sequence (fSaveConf), writing Config.ini once.
//
// Threads: everything here runs on the main thread; workers reach it only through the controller's
// mailboxes, which reading Flags() evaluates.

#include "app/BrowseRules.h"
#include "app/BrowseWidgets.h"
#include "app/Config.h"
#include "app/Dialogs.h"
#include "app/IndicatorWindow.h"
#include "app/PlayerPort.h"
#include "app/PlayerTick.h"
#include "tags/TagEditor.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
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
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QToolButton;
class QUrl;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace vorlane {

class TVorlane;
class TIniFile;
class TTextScroller;
class TLinesModel;
class TListBoxDelegate;
class TMountWatcher;
class TPlayerLoader;
class TPeaksStrip;
class TVisualIndicator;
class TTagPanel;
class TAddPlaylistWindow;
class TCustomizeTemplateWindow;
class TChangeExpressionWindow;

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
    // makes (the dialogs, the mini player and the indicator window, all hidden until asked for)
    // wait until the browse list has first been painted; anything that asks for one of them
    // before makes them at once.
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

    // Creates the dialogs in the program's order after the main window and applies the language.
    void CreateWindowSet();
    // Makes the dialogs now when CreateWindowSet has left them for after the first paint.
    void EnsureWindowSet();

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
    // False when index is past the browse entries; otherwise makes that entry the current one and
    // selects it (other selected entries stay selected).
    bool fSetBrowseIndex(int index);
    // Selects the shown list (modes 1, 3, 7) or the current file (modes 2, 4, 6, 8) in the browse
    // list; the top entry otherwise.
    void fRefreshBrowseIndex();
    void fSetFontSize(int size);
    int FontSize() const { return vFontSize; }
    // Columns of the browse list from its width and the font size (BrowseColumns).
    void ChangeColumnsNumber();
    void fCheckPLFile();
    // The sections of the navigator as last built.
    TNavigatorLayout NavigatorSections() const { return vNavigator; }
    QStringList BrowseLines() const;
    int BrowseCurrentRow() const;
    QStringList NavigatorLines() const;
    QStringList DirListLines() const;
    QStringList BookmarkLines() const;
    QStringList PlayListLines() const;

    // ---- Browsing (every gesture maps to controller calls; the timer redraws) ----
    // A click on navigator row a / on the browse list's current row.
    void sLBNavigatorClick(int a);
    void sLBBrowseWindowClick();
    // One level up (Back button, Backspace in the browse list).
    void fBackBrowserMode();
    // The letter jump of the alphabet index.
    void fSetIndexByFirstLetter(QChar letter);
    // Shows the next side tab; after the last the first.
    void fsPCExtentedControlsSwitch();
    // The find button: Find(text of the find box, 0.8).
    void sSBFindStartClick();
    // Dropped files and folders: only the first is taken.
    void WMDropFiles(const QList<QUrl> &urls);
    // Rescans the folder lists that lie on newly mounted volumes (called from the main timer).
    void OnDeviceChange();
    TMountWatcher *MountWatcher() const { return vMountWatcher; }
    // Whether a panel (sPLeft, sPRight, sPTop) is shown; hiding one keeps its splitter.
    bool PanelShown(QWidget *panel) const;
    void SetPanelShown(QWidget *panel, bool shown);

    // The folder and file choosers of the directory menu (dialogs unless replaced; tests
    // answer them). The folder question they lead to is AskYesNo.
    std::function<QString(const QString &caption, const QString &startDir)> ChooseFolder;
    std::function<QString(const QString &caption, const QString &startDir)> ChooseFile;
    QString LastDir() const { return vLastDir; }

    // ---- Controls (object names are their lang.ini keys) ----
    TBrowseListView *sLBBrowseWindow = nullptr;
    TAlphabetIndex *sPAlphabet = nullptr;
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

    // The session is ending (a signal): closes as the Close command does, without questions and
    // whatever the account state, then leaves the event loop. A question on screen is dismissed.
    void EndSession();
    // Brings the window back from the tray, the mini player or a minimised state, to the front.
    void RestoreWindow();
    // Adds a folder as a new folder list and shows it (dropped folders, the command line).
    void addFolderList(const QString &folder, bool included);

    // The windows made by CreateWindowSet (null before).
    TIndicatorWindow *IndicatorWindow() const;
    QWidget *MiniPlayerWindow() const;

    // The controller's event codes that the next tick will see are chained through here too.
    int vVisMode = 0;

    // ---- Catalogue tools: playlists, bookmarks, copy, move, delete (CatalogTools.cpp) ----

    // The tools' Yes/No questions (deleting more than two lines, seeing the duplicates found):
    // a message box unless replaced (tests answer them).
    std::function<bool(const QString &caption, const QString &text)> AskYesNo;
    // The selected browse lines without the header, as entry indexes, ascending.
    QList<int> SelectedEntryIndexes() const;
    // The folder list chosen as destination in sLBDirList, -1 when none is selected.
    int DestFolderIndex() const;
    // The playlist selected in sLBPlayLists, -1 when none is.
    int SelectedPlayListIndex() const;
    // Copy and move of the selected entries to the destination folder list, deletion to the
    // trash (asking first when more than two lines are selected), the duplicate search against
    // the destination. The keyboard binds Ctrl+K, Ctrl+M and Shift+Delete to the first three.
    void fCopy();
    void fMove();
    void fDelete();
    void fFindCopyes();
    // Double click or Enter on the folder list: the last of copy and move again (copy until a
    // move has been made).
    void fRepeatFileOperation();
    bool LastFileOperationIsMove() const { return vLastOperationMove; }
    void sSBNewPlaylistClick();
    void sSBEditPlayListNameClick();
    void sBAPWOKClick();
    void sSBDeletePlayListClick();
    void sSBAddToPlaylistClick();
    void sSBPlayListDeleteFileClick();
    // The keyboard binds Ctrl+B and Ctrl+N to the first two.
    void sSBBookmarkAddClick();
    void sSBBookmarkEditClick();
    void sSBBookmarkDeleteClick();
    // Also a double click or Enter on the bookmark list.
    void sSBBookmarkLoadClick();
    // The stream button: outside the search results and with the first list (or none) shown,
    // starts or ends the recording of the playing stream into the destination folder list;
    // otherwise saves the downloaded network file from the cache into it, as a copy.
    void sSBFastDownloadClick();
    // Ends a stream recording the way the record button's second click does: named, listed in the
    // destination folder and reported (event 27).
    void finishRecording();

    // ---- Tag panel and naming tools (NamingTools.cpp) ----

    // The tag sheet; in the program it is made after the first paint, or here when asked for
    // earlier.
    TTagPanel *TagPanel() const;
    // The window's own tag editor, the one the tag panel shows (the controller has another).
    TTagEditor &TagEditor() { return *vTagEditor; }
    // Fills the tag sheet from the tag editor's file (v1 or v2 by the switch) and shows its
    // cover; only while the sheet is the side panel's showing page.
    void ShowID3Tags();
    // Mode 2: the edited fields into every selected file (v1 or v2 by the switch).
    void ChangeTags();
    // Mode 2: copies the selected files' tags from the switch's version into the other one.
    void sSBTagDuplicateClick();
    void sSBChangeCoverArtClick();
    // Mode 2: the picture file becomes the cover of every selected file.
    void ChangeCoverArts(const QString &fileName);
    // The picture chooser of the cover button (empty: cancelled); a file dialog unless replaced.
    std::function<QString()> ChooseCoverFile;
    // A naming tool (TEditType 2, 3, 5, 6, 7): with "auto edit" on, renames all selected files at
    // once; otherwise proposes the current file's new name in sEEdit.
    void fEditName(int editType);
    void AutoEdit(int editType);
    void ChangeExpression(const QString &oldExpression, const QString &newExpression);
    // Enter in sEEdit, sSBEdit: the current file takes the name in sEEdit.
    void fApplyNameEdit();
    void PMERenameFromTagClick();
    void PMENumericClick();
    void PMEDeleteExpressionClick();
    void PMEChangeExpressionClick();
    void PMECopyTagsListToClipBoardClick();
    void sSBTagRenameFileClick();
    void AutoCreateTagsTrackNumbers();
    TAddPlaylistWindow *AddPlaylistWindow() const;
    TCustomizeTemplateWindow *CustomizeTemplateWindow() const;
    TChangeExpressionWindow *ChangeExpressionWindow() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildUi();
    void buildCentre();
    void buildSidePanel();
    void buildPlayerPanel(QFrame *panel);
    // The tag sheet into its tab (in place of the stand-in page when there is one), wired and
    // in the current language.
    void buildTagPage();
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
    void connectBrowsing();
    void installPanelHandles();
    void runSourceButton(int source);
    void runDirectoryMenu(const QString &item);
    void runEditClipboardItem(const QString &item);
    bool handleWindowKey(QKeyEvent *event);
    bool handleWheel(QObject *watched, QWheelEvent *event);
    TKeyFocus keyFocus() const;
    void positionBarMouse(QMouseEvent *event);
    void showDroppedOrChosenFolder(const QString &folder, const QString &caption);
    void applyTheme(const QString &name);
    void setRepeatMode(TRepeatMode mode);
    void startAutoUpdater();
    QString currentEntryLocation() const;

    // The catalogue tools' wiring: the controls (after buildUi) and the dialogs (once made).
    void connectCatalogTools();
    void connectNamingTools();
    void connectToolDialogs();
    // The playlists read at start into their list box, the end of the duplicate search.
    void connectCatalogResults();
    // The dialogs, the mini player and the indicator window in the program's order.
    void makeWindowSet();
    void connectTagPanel();
    // lang.ini from the working folder, else from the bundled data (empty when neither has one).
    QString languageFile() const;
    void applyDialogTexts(const TIniFile &ini, const QString &section);
    // The playing file is closed while its file or tags are changed and opened again after, at
    // the same place (under its new name when it was renamed).
    struct TPlaybackHold {
        bool Open = false;
        bool Playing = false;
        bool WasCurrent = false; // it was the controller's current entry
        int64_t Position = 0;
        TFileName File;
    };
    TPlaybackHold holdPlayback();
    // Sets the tag editor to each selected file of the shown folder list in turn and runs `act`,
    // with the playing file released for the while. A file whose name is not text in the
    // system's encoding is skipped (base/RegularFile.h): false when one was.
    bool forEachSelectedTagFile(const std::function<void()> &act);
    void resumePlayback(const TPlaybackHold &hold);
    // The player's position and its time text, for bookmarks.
    int bookmarkPosition(QString &timeText) const;
    void drawFileOperationButtons();
    // The selected entries of the shown folder list (mode 2), in ascending order.
    QList<TFileName> selectedFolderEntries() const;
    void showCoverArt();
    // After a naming tool: the tag editor follows the current file, maybe under a new name.
    void followCurrentFileTags();
    template <typename T>
    T *toolDialog(const char *name) const;

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
    TNavigatorLayout vNavigator;
    TMountWatcher *vMountWatcher = nullptr;
    int vMountTicks = 0;

    std::unique_ptr<TVorlane> vVorlane;
    std::unique_ptr<TPlayerPort> vPlayer;
    TPlayerLoader *vPlayerLoader = nullptr;

    TLinesModel *vBrowseModel = nullptr;
    TBrowseStamp vBrowseStamp; // the controller's lines the browse model shows
    TLinesModel *vNavigatorModel = nullptr;
    TLinesModel *vBookmarksModel = nullptr;
    TLinesModel *vDirListModel = nullptr;
    TLinesModel *vPlayListsModel = nullptr;
    TListBoxDelegate *vNavigatorDelegate = nullptr;

    TItemScroll vItemScroll; // the selected-item scroller's state (xs1, ys1, xsv1)
    QList<TListBoxDelegate *> vSideDelegates;

    QActionGroup *vRepeatGroup = nullptr;
    QActionGroup *vFontGroup = nullptr;
    QActionGroup *vLanguageGroup = nullptr;
    QActionGroup *vSkinGroup = nullptr;

    TTagPanel *vTagPanel = nullptr;
    std::unique_ptr<TTagEditor> vTagEditor;
    bool vLastOperationMove = false; // copy until a move has been made

    QPointer<TIndicatorWindow> vIndicatorWindow;
    QPointer<QWidget> vMiniPlayerWindow;
    QList<QPointer<TDialogWindow>> vDialogs;
    bool vEndingSession = false;
    bool vWindowSetStarted = false; // CreateWindowSet has run
    bool vWindowSetMade = false;    // the dialogs exist
};

} // namespace vorlane
