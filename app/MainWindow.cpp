#include "app/MainWindow.h"

#include "app/BrowseWidgets.h"
#include "app/DataFolder.h"
#include "app/Dialogs.h"
#include "app/EventDispatch.h"
#include "app/Icons.h"
#include "app/IndicatorWindow.h"
#include "app/Language.h"
#include "app/ListSync.h"
#include "app/MountWatcher.h"
#include "app/NamedWidgets.h"
#include "app/PlayerLoader.h"
#include "app/PlayerTick.h"
#include "app/PlayerWidgets.h"
#include "app/TextScroller.h"
#include "app/Themes.h"
#include "app/ToolDialogs.h"
#include "base/Codepage.h"
#include "base/DataPaths.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "catalog/CatalogFiles.h"
#include "catalog/Vorlane.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace vorlane {

const QString TMainWindow::kTitle = QStringLiteral("Vorlane Kestrio");

namespace {

const QString kBanner = QStringLiteral("----------  Vorlane Kestrio 2015  ----------");

// The stream-cache files a network download leaves behind.
const char *const kCacheTempFiles[] = {"temp.mp3", "temp",     "temp.aac",
                                       "temp.m4a", "temp.wma", "temp.m3u"};

QListView *listView(const char *name, TLinesModel *model, TListBoxDelegate *delegate,
                    QWidget *parent = nullptr)
{
    auto *v = new QListView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setUniformItemSizes(true); // constant-time layout for lists of any length
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setMouseTracking(true);
    delegate->setParent(v);
    v->setItemDelegate(delegate);
    return v;
}

QString withSlash(const QString &dir)
{
    return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/';
}

bool isNetworkFolder(const QString &dir)
{
    for (const char *scheme : {"https:", "http:", "ftp:", "rtmp:"}) {
        if (dir.contains(QLatin1String(scheme)))
            return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation (FormCreate)

TMainWindow::TMainWindow(const TMainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent)
    , vOptions(options)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(kTitle);
    setWindowIcon(AppIcon());
    if (vOptions.WorkingDir.isEmpty())
        vOptions.WorkingDir = QDir::currentPath();
    if (vOptions.AppDataDir.isEmpty())
        vOptions.AppDataDir = GetSpecialFolder(26);
    if (vOptions.BundledDir.isEmpty())
        vOptions.BundledDir = BundledDataDir();

    const TDataFolder folder =
        FindDataFolder(vOptions.WorkingDir, vOptions.AppDataDir, vOptions.BundledDir);
    if (folder.Dir.isEmpty()) {
        vStartError = folder.Error;
        return;
    }
    vProgramDataDir = folder.Dir;
    vSeeded = folder.Seeded;

    // The theme goes on before the controls exist, so that each is styled once, not twice.
    applyTheme(TIniFile(vProgramDataDir + "VL4Conf/Config.ini")
                   .ReadString(QStringLiteral("Main"), QStringLiteral("Skin"), kDefaultTheme));
    buildUi();
    connectCatalogTools();
    connectNamingTools();
    ChooseFolder = [this](const QString &caption, const QString &startDir) {
        return QFileDialog::getExistingDirectory(this, caption, startDir);
    };
    ChooseFile = [this](const QString &caption, const QString &startDir) {
        return QFileDialog::getOpenFileName(this, caption, startDir);
    };
    connectBrowsing();

    MT = new QTimer(this);
    MT->setInterval(kMainTimerMs);
    connect(MT, &QTimer::timeout, this, &TMainWindow::MTTimer);
    ST = new QTimer(this);
    ST->setInterval(kStatusRevertMs);
    connect(ST, &QTimer::timeout, this, &TMainWindow::STTimer);
    NT = new QTimer(this);
    NT->setInterval(15000);
    InetStartTimer = new QTimer(this);
    InetStartTimer->setInterval(kInetStartMs);
    InetStartTimer->setSingleShot(true);
    connect(InetStartTimer, &QTimer::timeout, this, &TMainWindow::InetStartTimerTimer);
    RefreshCacheTimer = new QTimer(this);
    RefreshCacheTimer->setInterval(7200000);

    TSStatus->SetText(kBanner);
    TSStatus->SetVector(1);

    fCheckPLFile();
    fLoadConf();

    setAcceptDrops(true);
    vMountWatcher = new TMountWatcher(vOptions.MountSource, this);
    if (vOptions.StartTimers) {
        InetStartTimer->start();
        if (RefreshCacheTimer)
            RefreshCacheTimer->start();
    }
}

TMainWindow::~TMainWindow()
{
    for (const QPointer<TDialogWindow> &d : std::as_const(vDialogs))
        delete d.data();
    delete vIndicatorWindow.data();
    delete vMiniPlayerWindow.data();
}

void TMainWindow::CreateWindowSet()
{
    if (!Ok() || vWindowSetStarted)
        return;
    vWindowSetStarted = true;
    // The language is applied once the last one (the template window) exists; when they come
    // after the first paint, they take it as they are made.
    if (!vOptions.WindowSetAfterFirstPaint)
        makeWindowSet();
    else
        sLBBrowseWindow->viewport()->installEventFilter(this);
    connectCatalogResults();
    SetLanguage();

    // Folders given at start are added once their messages can be shown.
    if (vSeeded && !vOptions.FirstStartFolder.isEmpty())
        addFolderList(vOptions.FirstStartFolder, true);
    for (const QString &dir : std::as_const(vOptions.OpenFolders))
        addFolderList(dir, true);

    // The lists are on screen from the first paint: the codes the start left (the view refresh
    // and its follow-ups) are taken now rather than 5 s later when the main timer starts.
    for (int round = 0; round < 8; ++round) {
        const int code = vVorlane->Flags();
        if (code == efNone)
            break;
        dispatchEvent(code);
    }
}

void TMainWindow::makeWindowSet()
{
    if (vWindowSetMade)
        return;
    vWindowSetMade = true;
    // The program's fixed order after the main window.
    vDialogs << CreateSoundProcWindow(nullptr) << CreateFeedbackWindow(nullptr);
    vMiniPlayerWindow = CreateMiniPlayerWindow(nullptr);
    vIndicatorWindow = new TIndicatorWindow(nullptr);
    vDialogs << CreateTimerWindow(nullptr) << CreateChangeExpressionWindow(nullptr)
             << CreateAccountWindow(nullptr) << CreateAddPlaylistWindow(nullptr)
             << CreateCustomizeTemplateWindow(nullptr);
    for (const QPointer<TDialogWindow> &d : std::as_const(vDialogs))
        d->setWindowIcon(AppIcon());
    connectToolDialogs();
}

void TMainWindow::EnsureWindowSet()
{
    if (!vWindowSetStarted || vWindowSetMade)
        return;
    TagPanel(); // the template window takes its button's text from the tag sheet
    makeWindowSet();
    const TIniFile ini(languageFile());
    if (ini.Exists() && ini.SectionExists(vCurLanguage))
        applyDialogTexts(ini, vCurLanguage);
}

TIndicatorWindow *TMainWindow::IndicatorWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vIndicatorWindow;
}

QWidget *TMainWindow::MiniPlayerWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vMiniPlayerWindow;
}

bool TMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // The playback module is loaded, and the hidden windows are made, once the window has been
    // painted: the module's two hundred libraries would otherwise compete with the first paint
    // for the dynamic loader and the processor, and the windows are not seen before they are
    // asked for.
    if (type == QEvent::Paint && watched == sLBBrowseWindow->viewport()) {
        watched->removeEventFilter(this);
        if (vPlayerLoader)
            QTimer::singleShot(0, vPlayerLoader, &TPlayerLoader::Start);
        // Behind whatever the paint itself queued (the first-paint report among them).
        if (vWindowSetStarted && !vWindowSetMade)
            QTimer::singleShot(
                0, this, [this] { QTimer::singleShot(0, this, &TMainWindow::EnsureWindowSet); });
        return false;
    }
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);

    switch (type) {
    case QEvent::ShortcutOverride: {
        // Menu shortcuts that an editor with the focus keeps for itself.
        auto *key = static_cast<QKeyEvent *>(event);
        if (IsEditorGuardedShortcut(key->key(), int(key->modifiers()))) {
            const TKeyFocus focus = keyFocus();
            if (focus == TKeyFocus::NameEditor || focus == TKeyFocus::TagTitle ||
                focus == TKeyFocus::TagArtist || focus == TKeyFocus::FindBox) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    case QEvent::KeyPress:
        // Each propagation step passes here; the focus decides, so acting once is enough.
        if (watched != QApplication::focusWidget() && QApplication::focusWidget())
            return false;
        return handleWindowKey(static_cast<QKeyEvent *>(event));
    case QEvent::Wheel: return handleWheel(watched, static_cast<QWheelEvent *>(event));
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched == sPBPositionRegulator)
            positionBarMouse(static_cast<QMouseEvent *>(event));
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            break;
        if (watched == sTBPlaySpeed) {
            sTBPlaySpeed->setValue(0);
            return true;
        }
        // The tag sheet's cover and background ask for the next tab themselves.
        if (watched == sPCExtentedControls->tabBar() || watched == sLBBookmarks->viewport() ||
            watched == sLBDirList->viewport() || watched == sLBPlayLists->viewport()) {
            fsPCExtentedControlsSwitch();
            return true;
        }
        break;
    }
    default: break;
    }
    // A click on a splitter shows its panel again, a double click hides it.
    if (auto *handle = qobject_cast<QSplitterHandle *>(watched)) {
        auto *panel = qobject_cast<QWidget *>(handle->property("panel").value<QObject *>());
        if (panel && type == QEvent::MouseButtonDblClick) {
            SetPanelShown(panel, false);
            handle->setProperty("hiddenByDoubleClick", true); // its release is not a click
            return true;
        }
        if (panel && type == QEvent::MouseButtonRelease) {
            if (handle->property("hiddenByDoubleClick").toBool()) {
                handle->setProperty("hiddenByDoubleClick", false);
                return true;
            }
            if (!PanelShown(panel)) {
                SetPanelShown(panel, true);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainWindow::SetPlayer(std::unique_ptr<TPlayerPort> player)
{
    vPlayer = std::move(player);
    if (vPlayer) {
        vPlayer->SetProgramDir(vProgramDataDir);
        vPlayer->SetEffects(vConfig.SoundProc);
    }
}

// ---------------------------------------------------------------------------------------------
// The window's frame

void TMainWindow::buildUi()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("sPMain"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 4);
    outer->setSpacing(6);

    // Waveform strip on top, the three panels below it.
    sSPTop = new QSplitter(Qt::Vertical, central);
    sSPTop->setObjectName(QStringLiteral("sSPTop"));
    sSPTop->setChildrenCollapsible(false);
    sSPTop->setHandleWidth(6);
    sPTop = new QFrame;
    sPTop->setObjectName(QStringLiteral("sPTop"));
    auto *topLayout = new QHBoxLayout(sPTop);
    topLayout->setContentsMargins(2, 2, 2, 2);
    PBPeaksIndicator = new TPeaksStrip(sPTop);
    topLayout->addWidget(PBPeaksIndicator);
    sPTop->setMinimumHeight(28);
    connect(PBPeaksIndicator, &TPeaksStrip::seekRequested, this, [this](double share) {
        if (!vPlayer)
            return;
        vPosRegulatorValue = int64_t(share * double(vPlayer->GetSize()));
        PendingPlayerCommand = pcSeek;
    });

    sSPLeft = new QSplitter(Qt::Horizontal);
    sSPLeft->setObjectName(QStringLiteral("sSPLeft"));
    sSPLeft->setHandleWidth(6);
    sSpCentral = new QSplitter(Qt::Horizontal);
    sSpCentral->setObjectName(QStringLiteral("sSpCentral"));
    sSpCentral->setHandleWidth(6);

    vNavigatorModel = new TLinesModel(this);
    sPLeft = new QWidget;
    sPLeft->setObjectName(QStringLiteral("sPLeft"));
    auto *leftLayout = new QVBoxLayout(sPLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    vNavigatorDelegate = new TListBoxDelegate(true);
    sLBNavigator = listView("sLBNavigator", vNavigatorModel, vNavigatorDelegate);
    leftLayout->addWidget(sLBNavigator);
    sPLeft->setMinimumWidth(120);

    // The splitters go into the window before the big panels go into them, and the panels are
    // attached empty and filled in place: with the theme's style sheet, every attach restyles
    // the whole attached tree (and lays out the lists in it again).
    sSPTop->addWidget(sPTop);
    sSPTop->addWidget(sSPLeft);
    sSPTop->setStretchFactor(1, 1);
    outer->addWidget(sSPTop, 1);
    sSPLeft->addWidget(sPLeft);
    sSPLeft->addWidget(sSpCentral);
    sSPLeft->setStretchFactor(1, 1);

    sPCenter = new QWidget;
    sPCenter->setObjectName(QStringLiteral("sPCenter"));
    sSpCentral->addWidget(sPCenter);
    sPRight = new QWidget;
    sPRight->setObjectName(QStringLiteral("sPRight"));
    sSpCentral->addWidget(sPRight);
    sSpCentral->setStretchFactor(0, 1);
    buildCentre();
    buildSidePanel();
    auto *player = new QFrame;
    player->setObjectName(QStringLiteral("sPPlayer"));
    outer->addWidget(player);
    buildPlayerPanel(player);

    TSStatus = new TTextScroller(central);
    TSStatus->setObjectName(QStringLiteral("TSStatus"));
    TSStatus->setFixedHeight(TSStatus->sizeHint().height());
    TSStatus->setCursor(Qt::PointingHandCursor);
    connect(TSStatus, &TTextScroller::clicked, this, [this] { vVorlane->ReturnToCurrentDir(); });
    outer->addWidget(TSStatus);
    setCentralWidget(central);

    buildMenus();

    TrayIcon = new QSystemTrayIcon(AppIcon(), this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(kTitle);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this] { RestoreWindow(); });

    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
}

void TMainWindow::buildCentre()
{
    auto *layout = new QVBoxLayout(sPCenter);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    // Back and the five sources, then the four orders.
    auto *bar = new QHBoxLayout;
    bar->setSpacing(2);
    bar->addWidget(GlyphToolButton("sSBBackBrowser", TGlyph::Back, QStringLiteral("Back")));
    bar->addSpacing(6);
    bar->addWidget(
        GlyphToolButton("sSBComputerMode", TGlyph::Computer, QStringLiteral("Computer")));
    bar->addWidget(
        GlyphToolButton("sSBInternetMode", TGlyph::Internet, QStringLiteral("Internet")));
    bar->addWidget(
        GlyphToolButton("sSBBookmarksMode", TGlyph::Bookmarks, QStringLiteral("Bookmarks")));
    bar->addWidget(GlyphToolButton("sSBInternetSearchMode", TGlyph::Search,
                                   QStringLiteral("Internet search")));
    bar->addWidget(
        GlyphToolButton("sSBPlayListsMode", TGlyph::Playlists, QStringLiteral("Playlists")));
    bar->addStretch(1);
    bar->addWidget(
        GlyphToolButton("sSBAlphabetSort", TGlyph::SortAZ, QStringLiteral("Sort A to Z")));
    bar->addWidget(
        GlyphToolButton("sSBAlphabetSortRev", TGlyph::SortZA, QStringLiteral("Sort Z to A")));
    bar->addWidget(
        GlyphToolButton("sSBDateSort", TGlyph::SortDate, QStringLiteral("Sort by date")));
    bar->addWidget(
        GlyphToolButton("sSBDefaultSort", TGlyph::SortDefault, QStringLiteral("Original order")));
    layout->addLayout(bar);

    // The alphabet index, then the browse list.
    sPAlphabet = new TAlphabetIndex;
    layout->addWidget(sPAlphabet);

    vBrowseModel = new TLinesModel(this);
    sLBBrowseWindow = new TBrowseListView;
    sLBBrowseWindow->setObjectName(QStringLiteral("sLBBrowseWindow"));
    sLBBrowseWindow->setModel(vBrowseModel);
    sLBBrowseWindow->setItemDelegate(new TBrowseDelegate(sLBBrowseWindow));
    sLBBrowseWindow->setAlternatingRowColors(true);
    layout->addWidget(sLBBrowseWindow, 1);

    auto *find = new QHBoxLayout;
    find->setSpacing(4);
    sEFindQuery = new QLineEdit;
    sEFindQuery->setObjectName(QStringLiteral("sEFindQuery"));
    sEFindQuery->setClearButtonEnabled(true);
    find->addWidget(sEFindQuery, 1);
    find->addWidget(GlyphToolButton("sSBFindStart", TGlyph::Search, QStringLiteral("Find")));
    layout->addLayout(find);

    auto *edit = new QHBoxLayout;
    edit->setSpacing(4);
    sEEdit = new QLineEdit;
    sEEdit->setObjectName(QStringLiteral("sEEdit"));
    edit->addWidget(sEEdit, 1);
    edit->addWidget(GlyphToolButton("sSBEdit", TGlyph::Apply, QStringLiteral("Rename")));
    layout->addLayout(edit);
}

void TMainWindow::buildSidePanel()
{
    auto *layout = new QVBoxLayout(sPRight);
    layout->setContentsMargins(0, 0, 0, 0);
    sPCExtentedControls = new QTabWidget;
    sPCExtentedControls->setObjectName(QStringLiteral("sPCExtentedControls"));
    sPCExtentedControls->setDocumentMode(false);
    layout->addWidget(sPCExtentedControls);

    const auto page = [this](const char *name, const char *listName, TLinesModel *&model,
                             QListView *&view, const QString &caption,
                             std::initializer_list<QToolButton *> buttons) {
        auto *sheet = new QWidget;
        sheet->setObjectName(QLatin1String(name));
        sPCExtentedControls->addTab(sheet, caption);
        auto *v = new QVBoxLayout(sheet);
        v->setContentsMargins(6, 6, 6, 6);
        v->setSpacing(4);
        model = new TLinesModel(this);
        auto *delegate = new TListBoxDelegate(false);
        view = listView(listName, model, delegate);
        vSideDelegates << delegate;
        v->addWidget(view, 1);
        auto *row = new QHBoxLayout;
        row->setSpacing(2);
        for (QToolButton *b : buttons)
            row->addWidget(b);
        row->addStretch(1);
        v->addLayout(row);
    };
    page("sTSBookmarks", "sLBBookmarks", vBookmarksModel, sLBBookmarks, QStringLiteral("Bookmarks"),
         {GlyphToolButton("sSBBookmarkAdd", TGlyph::Add, QStringLiteral("Add bookmark")),
          GlyphToolButton("sSBBookmarkEdit", TGlyph::Edit, QStringLiteral("Move bookmark here")),
          GlyphToolButton("sSBBookmarkDelete", TGlyph::Remove, QStringLiteral("Delete bookmark")),
          GlyphToolButton("sSBBookmarkLoad", TGlyph::Play, QStringLiteral("Go to bookmark"))});
    page("sTSFiles", "sLBDirList", vDirListModel, sLBDirList, QStringLiteral("Folders"),
         {GlyphToolButton("sSBCopy", TGlyph::Copy, QStringLiteral("Copy to folder")),
          GlyphToolButton("sSBMove", TGlyph::Move, QStringLiteral("Move to folder")),
          GlyphToolButton("sSBDelete", TGlyph::Remove, QStringLiteral("Delete files")),
          GlyphToolButton("sSBFindCopyes", TGlyph::Duplicates, QStringLiteral("Find duplicates"))});
    page("sTSPlayLists", "sLBPlayLists", vPlayListsModel, sLBPlayLists, QStringLiteral("Playlists"),
         {GlyphToolButton("sSBNewPlaylist", TGlyph::Add, QStringLiteral("New playlist")),
          GlyphToolButton("sSBEditPlayListName", TGlyph::Edit, QStringLiteral("Rename playlist")),
          GlyphToolButton("sSBDeletePlayList", TGlyph::Remove, QStringLiteral("Delete playlist")),
          GlyphToolButton("sSBAddToPlaylist", TGlyph::Playlists, QStringLiteral("Add to playlist")),
          GlyphToolButton("sSBPlayListDeleteFile", TGlyph::Remove,
                          QStringLiteral("Remove from playlist"))});
    // Copy, move, delete and the duplicate search wait for the start-up timer.
    for (const char *name : {"sSBCopy", "sSBMove", "sSBDelete", "sSBFindCopyes"})
        sPCExtentedControls->findChild<QToolButton *>(QLatin1String(name))->setEnabled(false);
    if (vOptions.WindowSetAfterFirstPaint) {
        auto *standIn = new QWidget;
        standIn->setObjectName(QStringLiteral("sTSTag")); // the language file names the tab
        sPCExtentedControls->addTab(standIn, QStringLiteral("Tags"));
    } else {
        buildTagPage();
    }
    sPCExtentedControls->setCurrentIndex(1); // the folders: what a first start has
    sPRight->setMinimumWidth(220);
}

void TMainWindow::buildPlayerPanel(QFrame *panel)
{
    auto *h = new QHBoxLayout(panel);
    h->setContentsMargins(8, 5, 8, 5);
    h->setSpacing(4);

    auto *prev = GlyphToolButton("sSBPlayerUp", TGlyph::Previous, QStringLiteral("Previous"));
    sSBPlay = GlyphToolButton("sSBPlay", TGlyph::Play, QStringLiteral("Play / pause"));
    sSBPlay->setIconSize(QSize(22, 22));
    auto *stop = GlyphToolButton("sSBPlayerStop", TGlyph::Stop, QStringLiteral("Stop"));
    auto *next = GlyphToolButton("sSBPlayerDown", TGlyph::Next, QStringLiteral("Next"));
    sSBFastDownload = GlyphToolButton("sSBFastDownload", TGlyph::Record, QStringLiteral("Record"));
    sSBFastDownload->setEnabled(false);
    connect(sSBPlay, &QToolButton::clicked, this, [this] { PendingPlayerCommand = pcPause; });
    connect(stop, &QToolButton::clicked, this, [this] { PendingPlayerCommand = pcStop; });
    connect(prev, &QToolButton::clicked, this, [this] {
        fPrev();
        sLBBrowseWindow->setFocus();
    });
    connect(next, &QToolButton::clicked, this, [this] {
        fNext();
        sLBBrowseWindow->setFocus();
    });
    h->addWidget(prev);
    h->addWidget(sSBPlay);
    h->addWidget(stop);
    h->addWidget(next);
    h->addSpacing(6);

    sETimeIndicator = new QLineEdit(QStringLiteral("00:00/00:00"));
    sETimeIndicator->setObjectName(QStringLiteral("sETimeIndicator"));
    sETimeIndicator->setReadOnly(true);
    sETimeIndicator->setAlignment(Qt::AlignCenter);
    sETimeIndicator->setFocusPolicy(Qt::NoFocus);
    sETimeIndicator->setFixedWidth(
        sETimeIndicator->fontMetrics().horizontalAdvance(QStringLiteral("00:00/00:00")) + 24);
    sPBPositionRegulator = new QProgressBar;
    sPBPositionRegulator->setObjectName(QStringLiteral("sPBPositionRegulator"));
    sPBPositionRegulator->setTextVisible(false);
    sPBPositionRegulator->setRange(0, 1);
    sPBPositionRegulator->setValue(0);
    h->addWidget(sPBPositionRegulator, 1);
    h->addWidget(sETimeIndicator);
    h->addWidget(sSBFastDownload);
    h->addSpacing(6);

    sTBPlaySpeed = new QSlider(Qt::Horizontal);
    sTBPlaySpeed->setObjectName(QStringLiteral("sTBPlaySpeed"));
    sTBPlaySpeed->setRange(-50, 100);
    sTBPlaySpeed->setValue(0);
    sTBPlaySpeed->setFixedWidth(80);
    connect(sTBPlaySpeed, &QSlider::valueChanged, this, [this](int v) {
        if (vPlayer)
            vPlayer->SetSpeed(v);
    });
    sTBVolume = new QSlider(Qt::Horizontal);
    sTBVolume->setObjectName(QStringLiteral("sTBVolume"));
    sTBVolume->setRange(1, 128);
    sTBVolume->setValue(50);
    sTBVolume->setFixedWidth(100);
    connect(sTBVolume, &QSlider::valueChanged, this, [this](int v) {
        if (vPlayer)
            vPlayer->SetVolume(v);
    });
    h->addWidget(sTBPlaySpeed);
    h->addWidget(sTBVolume);
    h->addSpacing(6);
    IVisualIndicator = new TVisualIndicator;
    connect(IVisualIndicator, &TVisualIndicator::modeChanged, this,
            [this](int mode) { vVisMode = mode; });
    h->addWidget(IVisualIndicator);
}

QAction *TMainWindow::addItem(QMenu *menu, const char *name, const QString &text, bool checkable)
{
    auto *a = new QAction(text, menu);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    menu->addAction(a);
    return a;
}

QMenu *TMainWindow::addSubMenu(QMenu *menu, const char *name, const QString &text)
{
    QMenu *sub = menu->addMenu(text);
    sub->setObjectName(QLatin1String(name));
    return sub;
}

QAction *TMainWindow::MenuItem(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TMainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MMMain"));

    QMenu *program = bar->addMenu(QStringLiteral("Program"));
    program->setObjectName(QStringLiteral("PMProgram"));
    addItem(program, "PMSleepTimer", QStringLiteral("Sleep timer…"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    addItem(program, "PMFeedback", QStringLiteral("Feedback…"));
    QMenu *social = addSubMenu(program, "PMSocialNetworks", QStringLiteral("We on the web"));
    addItem(social, "PMSNFacebook", QStringLiteral("Facebook"));
    addItem(social, "PMSNVkontakte", QStringLiteral("VKontakte"));
    addItem(social, "PMSNOdnoklassniki", QStringLiteral("Odnoklassniki"));
    program->addSeparator();
    addItem(program, "PMCloseProgram", QStringLiteral("Quit"))->setShortcut(QKeySequence::Quit);

    QMenu *dir = bar->addMenu(QStringLiteral("Folders"));
    dir->setObjectName(QStringLiteral("PMDirectory"));
    addItem(dir, "PMDAdd", QStringLiteral("Add folder…"));
    addItem(dir, "PMDChange", QStringLiteral("Change folder…"));
    addItem(dir, "PMDDelete", QStringLiteral("Remove folder list"));
    addItem(dir, "PMDRefresh", QStringLiteral("Refresh"));
    dir->addSeparator();
    addItem(dir, "PMDAddFileList", QStringLiteral("Open list of links…"));

    QMenu *edit = bar->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("PMEdit"));
    const char *editItems[] = {"PMEFormatName",
                               "PMETranslit",
                               "PMERenameToLink",
                               "PMERenameFromTag",
                               "PMENumeric",
                               "PMEDeleteExpression",
                               "PMEChangeExpression",
                               "PMEOpenInApp",
                               "PMEOpenInExplorer",
                               "PMECopyListToClipBoard",
                               "PMECopyTagsListToClipBoard"};
    const QString editTexts[] = {QStringLiteral("Tidy the name"),
                                 QStringLiteral("Transliterate"),
                                 QStringLiteral("Name as a web address"),
                                 QStringLiteral("Name from tags"),
                                 QStringLiteral("Number the names"),
                                 QStringLiteral("Delete text from names…"),
                                 QStringLiteral("Replace text in names…"),
                                 QStringLiteral("Open in its program"),
                                 QStringLiteral("Show in file manager"),
                                 QStringLiteral("Copy list to clipboard"),
                                 QStringLiteral("Copy tag list to clipboard")};
    for (int i = 0; i < int(std::size(editItems)); ++i) {
        if (i == 7 || i == 9)
            edit->addSeparator();
        addItem(edit, editItems[i], editTexts[i])
            ->setShortcut(QKeySequence(Qt::Key(Qt::Key_F2 + i)));
    }

    QMenu *conf = bar->addMenu(QStringLiteral("Settings"));
    conf->setObjectName(QStringLiteral("PMConfig"));
    QAction *play = addItem(conf, "PMCPlayFiles", QStringLiteral("Play chosen files"), true);
    QAction *autoEdit =
        addItem(conf, "PMCAutoEdit", QStringLiteral("Apply name edits at once"), true);
    QAction *audioOnly =
        addItem(conf, "PMCAudioFilesOnly", QStringLiteral("Audio files only"), true);
    addItem(conf, "PMCShowIndicator", QStringLiteral("Show notices on screen"), true);
    addItem(conf, "PMCShowMiniPlayer", QStringLiteral("Mini player when minimised"), true);
    conf->addSeparator();

    QMenu *repeat = addSubMenu(conf, "PMCRepeat", QStringLiteral("Repeat"));
    vRepeatGroup = new QActionGroup(this);
    vRepeatGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (auto [name, text] :
         {std::pair{"PMCRNot", "Off"}, {"PMCROne", "One track"}, {"PMCRAll", "Whole list"}})
        vRepeatGroup->addAction(addItem(repeat, name, QLatin1String(text), true));
    connect(vRepeatGroup, &QActionGroup::triggered, this, [](QAction *a) { a->setChecked(true); });

    QMenu *fonts = addSubMenu(conf, "PMCFontSize", QStringLiteral("List font"));
    vFontGroup = new QActionGroup(this);
    vFontGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (auto [name, text, size] : {std::tuple{"PMCFSSmall", "Small", 8},
                                    {"PMCFSMedium", "Medium", 12},
                                    {"PMCFSBig", "Big", 14}}) {
        QAction *a = addItem(fonts, name, QLatin1String(text), true);
        vFontGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, a, s = size] {
            a->setChecked(true);
            fSetFontSize(s);
        });
    }

    QMenu *lang = addSubMenu(conf, "PMCLanguage", QStringLiteral("Language"));
    vLanguageGroup = new QActionGroup(this);
    for (auto [name, text, section] : {std::tuple{"PMCLEng", "English", "eng"},
                                       {"PMCLRus", "Русский", "rus"},
                                       {"PMCLUkr", "Українська", "ukr"}}) {
        QAction *a = addItem(lang, name, QString::fromUtf8(text), true);
        vLanguageGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, a, s = QString::fromLatin1(section)] {
            a->setChecked(true);
            vCurLanguage = s;
            SetLanguage();
        });
    }

    QMenu *skins = addSubMenu(conf, "PMCSkins", QStringLiteral("Theme"));
    vSkinGroup = new QActionGroup(this);
    vSkinGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const QList<TThemeInfo> &themes = BuiltInThemes();
    for (int i = 0; i < int(themes.size()); ++i) {
        const QByteArray name =
            i == 0 ? QByteArray("PMCSInternal") : "PMCS" + QByteArray::number(i);
        QAction *a = addItem(skins, name.constData(), themes[i].DisplayName, true);
        a->setData(themes[i].Name);
        vSkinGroup->addAction(a);
        if (i == 0)
            skins->addSeparator();
    }
    skins->addSeparator();
    QAction *off = addItem(skins, "PMCSDisabled", QStringLiteral("No theme"), true);
    off->setData(kThemesOffName);
    vSkinGroup->addAction(off);
    connect(vSkinGroup, &QActionGroup::triggered, this, [this](QAction *a) {
        a->setChecked(true);
        applyTheme(a->data().toString());
    });

    QMenu *sound = addSubMenu(conf, "PMCSoundProc", QStringLiteral("Sound"));
    addItem(sound, "PMCSPEqEnabled", QStringLiteral("Equaliser on"), true)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    addItem(sound, "PMCSPConfigure", QStringLiteral("Sound settings…"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));

    QMenu *account = bar->addMenu(QStringLiteral("Account"));
    account->setObjectName(QStringLiteral("PMAccount"));
    addItem(account, "PMACreate", QStringLiteral("Create account…"));
    addItem(account, "PMAEnter", QStringLiteral("Sign in…"));
    addItem(account, "PMAExit", QStringLiteral("Sign out"))->setEnabled(false);

    // What this window does itself; the other items are connected by the features they start.
    connect(play, &QAction::triggered, this, [this](bool on) {
        fLStatusRefresh(on ? Msg().SM_PLAYENABLED : Msg().SM_PLAYDISABLED);
    });
    connect(autoEdit, &QAction::triggered, this, [this](bool on) {
        fLStatusRefresh(on ? Msg().SM_AUTOEDITENABLED : Msg().SM_AUTOEDITDISABLED);
    });
    connect(audioOnly, &QAction::triggered, this,
            [this](bool on) { vVorlane->SetAudioFilesOnly(on); });
    connect(MenuItem(QStringLiteral("PMCloseProgram")), &QAction::triggered, this, &QWidget::close);
    connect(MenuItem(QStringLiteral("PMDAdd")), &QAction::triggered, this, [this] {
        const QString chosen = ChooseFolder(Msg().SM_ADDDIR, vLastDir);
        if (!chosen.isEmpty())
            showDroppedOrChosenFolder(chosen, Msg().SM_ADDDIR);
    });
    const auto toggleWindow = [this](const char *item, const char *window) {
        connect(MenuItem(QLatin1String(item)), &QAction::triggered, this, [this, window] {
            EnsureWindowSet();
            for (const QPointer<TDialogWindow> &d : std::as_const(vDialogs)) {
                if (d && d->objectName() == QLatin1String(window))
                    d->setVisible(!d->isVisible());
            }
        });
    };
    toggleWindow("PMSleepTimer", "TimerWindow");
    toggleWindow("PMCSPConfigure", "SoundProcWindow");
    toggleWindow("PMFeedback", "FeedbackWindow");
    for (auto [item, url] : {std::pair{"PMSNFacebook", "https://www.facebook.com/"},
                             {"PMSNVkontakte", "https://vk.com/"},
                             {"PMSNOdnoklassniki", "https://ok.ru/"}}) {
        connect(MenuItem(QLatin1String(item)), &QAction::triggered, this,
                [u = QString::fromLatin1(url)] { QDesktopServices::openUrl(QUrl(u)); });
    }
}

// ---------------------------------------------------------------------------------------------
// Configuration

void TMainWindow::fCheckPLFile()
{
    vorlane::fCheckPLFile(vProgramDataDir);
}

void TMainWindow::fLoadConf()
{
    vVorlane = std::make_unique<TVorlane>();
    vVorlane->SetProgramDataDir(vProgramDataDir);
    vVorlane->LoadCatalog();       // FL.txt, BK.txt, PL.txt
    vVorlane->RecoverRecordings(); // a stream recording a crash cut short

    const TIniFile ini(vProgramDataDir + "VL4Conf/Config.ini");
    vConfig = ReadConfig(ini);
    const TConfig &c = vConfig;
    if (!c.CodePage.isEmpty())
        SetLegacyCodePage(c.CodePage);

    sTBVolume->setValue(std::clamp(c.Volume, sTBVolume->minimum(), sTBVolume->maximum()));
    MenuItem(QStringLiteral("PMCAutoEdit"))->setChecked(c.AutoEdit);
    MenuItem(QStringLiteral("PMCPlayFiles"))->setChecked(c.Player);
    MenuItem(QStringLiteral("PMCShowIndicator"))->setChecked(c.ShowIndicator);
    MenuItem(QStringLiteral("PMCShowMiniPlayer"))->setChecked(c.ShowMiniPlayer);
    MenuItem(QStringLiteral("PMCAudioFilesOnly"))->setChecked(vVorlane->AudioFilesOnly());
    setRepeatMode(c.Repeat);

    vVisMode = std::clamp(c.VisMode, 0, 3);
    IVisualIndicator->SetMode(vVisMode);
    // A mode outside 0..8 (a hand-edited file) starts at the root menu.
    const uint32_t mode = (c.BrowseMode >= 0 && c.BrowseMode <= 8) ? uint32_t(c.BrowseMode) : 0;
    vVorlane->SetMode(mode);
    if (mode >= bmComputerLists && mode <= bmInternetFiles)
        vVorlane->SetListIndex(c.ListIndex);

    vVorlane->SetServerName(c.ServerName);
    vCurLanguage = c.Lang;
    for (QAction *a : vLanguageGroup->actions()) {
        const QString section = a->objectName().mid(4).toLower(); // PMCLEng -> eng
        a->setChecked(section.compare(vCurLanguage, Qt::CaseInsensitive) == 0);
    }

    vFontSize = c.FontSize;
    for (QAction *a : vFontGroup->actions())
        a->setChecked(false);
    if (c.FontSize == 8)
        MenuItem(QStringLiteral("PMCFSSmall"))->setChecked(true);
    else if (c.FontSize == 12)
        MenuItem(QStringLiteral("PMCFSMedium"))->setChecked(true);
    else if (c.FontSize == 14)
        MenuItem(QStringLiteral("PMCFSBig"))->setChecked(true);

    applyTheme(c.Skin);

    // The equaliser power is always switched on at start; the player's processors take the
    // effect settings.
    MenuItem(QStringLiteral("PMCSPEqEnabled"))->setChecked(c.SoundProc.EqEnabled);
    vConfig.SoundProc.PowerEqEnabled = true;
    if (vOptions.CreatePlayer) {
        vPlayerLoader = new TPlayerLoader(this);
        connect(vPlayerLoader, &TPlayerLoader::loaded, this, [this](TPlayerPort *player) {
            if (!vConfSaved)
                SetPlayer(std::unique_ptr<TPlayerPort>(player));
            else
                delete player;
        });
        connect(vPlayerLoader, &TPlayerLoader::failed, this, [this](const QString &why) {
            qWarning("vorlane: no playback: %s", qPrintable(why));
            fLStatusRefresh(why);
        });
        sLBBrowseWindow->viewport()->installEventFilter(this);
    }

    vVorlane->SetTagRenameTemplate(c.RenameTemplate);

    resize(std::max(c.Width, kMinWindowWidth), std::max(c.Heigth, kMinWindowHeight));
    sSPLeft->setSizes({c.sPLeftWidth, c.sPCenterWidth + c.sPRightWidth});
    sSpCentral->setSizes({c.sPCenterWidth, c.sPRightWidth});
    sSPTop->setSizes({c.sPTopHeight, std::max(100, c.Heigth - c.sPTopHeight)});
    SetPanelShown(sPLeft, c.ShowNavigator);
    SetPanelShown(sPRight, c.ShowTools);
    SetPanelShown(sPTop, c.ShowPeaks);

    fSetFontSize(vFontSize);
}

TRepeatMode TMainWindow::RepeatMode() const
{
    if (MenuItem(QStringLiteral("PMCRNot"))->isChecked())
        return TRepeatMode::rmNot;
    if (MenuItem(QStringLiteral("PMCROne"))->isChecked())
        return TRepeatMode::rmOne;
    if (MenuItem(QStringLiteral("PMCRAll"))->isChecked())
        return TRepeatMode::rmAll;
    return TRepeatMode::rmUnset;
}

void TMainWindow::setRepeatMode(TRepeatMode mode)
{
    for (QAction *a : vRepeatGroup->actions())
        a->setChecked(false);
    const char *item = mode == TRepeatMode::rmNot   ? "PMCRNot"
                       : mode == TRepeatMode::rmOne ? "PMCROne"
                       : mode == TRepeatMode::rmAll ? "PMCRAll"
                                                    : nullptr;
    if (item)
        MenuItem(QLatin1String(item))->setChecked(true);
}

void TMainWindow::applyTheme(const QString &name)
{
    vSkin = name == CurrentTheme() && !vSkin.isEmpty() ? vSkin : ApplyTheme(name);
    if (!vSkinGroup)
        return;
    for (QAction *a : vSkinGroup->actions())
        a->setChecked(a->data().toString() == vSkin);
    // Icons follow the theme's text colour: repaint them.
    for (QToolButton *b : findChildren<QToolButton *>())
        b->update();
}

TConfig TMainWindow::CurrentConfig() const
{
    TConfig c = vConfig;
    c.Volume = sTBVolume->value();
    c.AutoEdit = MenuItem(QStringLiteral("PMCAutoEdit"))->isChecked();
    c.Player = MenuItem(QStringLiteral("PMCPlayFiles"))->isChecked();
    c.ShowIndicator = MenuItem(QStringLiteral("PMCShowIndicator"))->isChecked();
    c.ShowMiniPlayer = MenuItem(QStringLiteral("PMCShowMiniPlayer"))->isChecked();
    c.FontSize = vFontSize;
    c.Repeat = RepeatMode();
    c.VisMode = vVisMode;
    c.BrowseMode = int(vVorlane->Mode());
    c.ListIndex = vVorlane->ListIndex();
    c.Lang = vCurLanguage;
    c.Skin = vSkin;
    if (vPlayer)
        vPlayer->GetEffects(c.SoundProc);
    c.SoundProc.EqEnabled = MenuItem(QStringLiteral("PMCSPEqEnabled"))->isChecked();
    c.RenameTemplate = vVorlane->TagRenameTemplate();
    c.ShowNavigator = PanelShown(sPLeft);
    c.ShowTools = PanelShown(sPRight);
    c.ShowPeaks = PanelShown(sPTop);
    const QList<int> outer = sSPLeft->sizes();
    const QList<int> inner = sSpCentral->sizes();
    if (outer.size() == 2 && outer[0] > 0)
        c.sPLeftWidth = outer[0];
    if (inner.size() == 2) {
        if (inner[0] > 0)
            c.sPCenterWidth = inner[0];
        if (inner[1] > 0)
            c.sPRightWidth = inner[1];
    }
    const QList<int> vertical = sSPTop->sizes();
    if (vertical.size() == 2 && vertical[0] > 0)
        c.sPTopHeight = vertical[0];
    c.Maximized = isMaximized();
    const QSize size = isMaximized() || isMinimized() ? normalGeometry().size() : this->size();
    c.Width = size.width();
    c.Heigth = size.height();
    return c;
}

void TMainWindow::fSaveConf()
{
    if (vConfSaved || !Ok())
        return;
    vConfSaved = true;
    MT->stop();
    if (vPlayer)
        vPlayer->Stop();

    for (const char *name : kCacheTempFiles)
        QFile::remove(vProgramDataDir + "VL4Conf/Cache/" + QLatin1String(name));

    // Read again: keys the program does not write keep what the file holds now.
    const QString path = vProgramDataDir + "VL4Conf/Config.ini";
    TIniFile ini(path);
    WriteConfig(ini, CurrentConfig());
    if (!ini.Save())
        qWarning("vorlane: cannot write %s", qPrintable(path));

    setAcceptDrops(false);
    if (!vVorlane->SaveCatalog())
        qWarning("vorlane: the catalogue files could not all be written");
    vPlayer.reset();
    startAutoUpdater();
}

void TMainWindow::startAutoUpdater()
{
    // A companion program beside a portable install; started, not waited for.
    for (const char *name : {"AutoUpdater", "AutoUpdater.sh"}) {
        const QFileInfo updater(withSlash(vOptions.WorkingDir) + QLatin1String(name));
        if (updater.isFile() && updater.isExecutable()) {
            QProcess::startDetached(updater.absoluteFilePath(), {}, updater.absolutePath());
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Language

QString TMainWindow::languageFile() const
{
    for (const QString &dir : {vOptions.WorkingDir, vOptions.BundledDir}) {
        if (!dir.isEmpty() && QFileInfo(withSlash(dir) + "lang.ini").isFile())
            return withSlash(dir) + "lang.ini";
    }
    return {};
}

void TMainWindow::SetLanguage()
{
    const TIniFile ini(languageFile());
    const QString section = vCurLanguage;
    const bool haveSection = ini.Exists() && ini.SectionExists(section);

    // Updates are held rather than the window hidden, so that the window keeps its place.
    setUpdatesEnabled(false);
    if (haveSection) {
        ApplyComponentTexts(this, ini, section,
                            ckToolButton | ckProgress | ckGroupBox | ckCheckBox | ckLabel |
                                ckTabSheet | ckMenuItem);
        applyDialogTexts(ini, section);
    }
    LoadMessages(ini, section);
    SetStandardButtonTexts(ini, section);
    setUpdatesEnabled(true);
    vVorlane->SetFlags(efRefreshView);
}

void TMainWindow::applyDialogTexts(const TIniFile &ini, const QString &section)
{
    for (const QPointer<TDialogWindow> &d : std::as_const(vDialogs)) {
        if (!d)
            continue;
        const QString key = d->WindowKey();
        d->setWindowTitle(ini.ReadString(section, key, QString()));
        if (key == QLatin1String("SoundProcWindow")) {
            ApplyComponentTexts(d, ini, section, ckCheckBox | ckGroupBox | ckLabel);
            SetComponentText(d, QStringLiteral("sCBEQEnabled"),
                             MenuItem(QStringLiteral("PMCSPEqEnabled"))->text());
        } else if (key == QLatin1String("TimerWindow")) {
            ApplyComponentTexts(d, ini, section, ckCheckBox | ckToolButton);
        } else if (key == QLatin1String("CustomizeTemplateWindow")) {
            ApplyComponentTexts(d, ini, section, ckCheckBox);
        } else {
            // The expression, account, playlist-name and feedback windows: their named
            // controls take the file's text even when it is empty.
            static const QHash<QString, QStringList> fixed = {
                {QStringLiteral("ChangeExpressionWindow"), {"sLOldExpression", "sLNewExpression"}},
                {QStringLiteral("AccountWindow"), {"sLLogin", "sLPassword"}},
                {QStringLiteral("AddPlaylistWindow"), {"sLAPWName", "sBAPWCancel", "sBAPWOK"}},
                {QStringLiteral("FeedbackWindow"), {"sBFeedbackSend", "sLFeedbackSlogan"}},
            };
            for (const QString &name : fixed.value(key))
                SetComponentText(d, name, ini.ReadString(section, name, QString()));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Status line

void TMainWindow::fLStatusRefresh(const QString &newStatus)
{
    TSStatus->SetText(newStatus);
    TrayIcon->setToolTip(newStatus);
    ST->start();
}

QString TMainWindow::StatusText() const
{
    return TSStatus->Text();
}

QString TMainWindow::currentEntryLocation() const
{
    const QString dir = vVorlane->CurrentFile().DirName;
    return isNetworkFolder(dir) ? QStringLiteral(" Internet ") : dir;
}

void TMainWindow::STTimer()
{
    ST->stop();
    TSStatus->SetText(currentEntryLocation());
}

// ---------------------------------------------------------------------------------------------
// Timers

void TMainWindow::InetStartTimerTimer()
{
    InetStartTimer->stop();
    EnsureWindowSet(); // when the window has not been painted by now
    // The connection check and the news come with the internet catalogue and the account.
    MT->start();
    PBPeaksIndicator->SetText(Msg().SM_HELLO);
    for (const char *name : {"sSBCopy", "sSBMove", "sSBDelete", "sSBFindCopyes"}) {
        if (auto *b = findChild<QToolButton *>(QLatin1String(name)))
            b->setEnabled(true);
    }
}

void TMainWindow::runPlayerCommand()
{
    const int command = PendingPlayerCommand;
    PendingPlayerCommand = pcNone;
    if (!vPlayer || command == pcNone)
        return;
    switch (command) {
    case pcStop: vPlayer->Stop(); return;
    case pcPause: vPlayer->Pause(); return;
    default: break;
    }
    const std::optional<int64_t> target =
        SeekTarget(command, vPlayer->GetPosition(), vPosRegulatorValue);
    if (!target)
        return;
    if (!vPlayer->ChangePosition(*target) && command == pcSeek)
        vPlayer->ChangePosition(0);
}

void TMainWindow::runPlayerTick()
{
    if (!vPlayer)
        return;
    if (vPlayer->Refresh()) {
        switch (TrackEndAction(vVorlane->Mode(), vVorlane->ListIndex(), RepeatMode())) {
        case TTrackEndAction::Reopen: fOpenFile(); break;
        case TTrackEndAction::ControllerNext: vVorlane->Next(); break;
        case TTrackEndAction::NextWrapping: fNext(); break;
        case TTrackEndAction::Nothing: break;
        }
    }
    IVisualIndicator->update();
    sETimeIndicator->setText(vPlayer->GetTime());
    if (!vPositionChange) {
        const auto clampInt = [](int64_t v) { return int(std::clamp<int64_t>(v, 0, INT_MAX)); };
        sPBPositionRegulator->setMaximum(std::max(1, clampInt(vPlayer->GetSize() / 10)));
        sPBPositionRegulator->setValue(clampInt(vPlayer->GetPosition() / 10));
    }
}

void TMainWindow::MTTimer()
{
    runPlayerCommand();
    if (MenuItem(QStringLiteral("PMCPlayFiles"))->isChecked())
        runPlayerTick();

    QString ext;
    if (vPlayer && vPlayer->TakeDownloadCompleted(ext)) {
        // The overview of the downloaded file comes with the waveform analysis.
        vTagEditor->SetFile(vProgramDataDir + "VL4Conf/Cache/temp" + ext);
        ShowID3Tags();
        sSBFastDownload->setEnabled(true);
    }

    TSStatus->ScrollText();
    dispatchEvent(vVorlane->Flags());

    if (PanelShown(sPRight))
        scrollSelectedItem();
    // A volume mounted since the last look (once a second).
    if (++vMountTicks >= 20) {
        vMountTicks = 0;
        OnDeviceChange();
    }

    const bool playing = vPlayer && vPlayer->Played();
    sSBPlay->setIcon(GlyphIcon(playing ? TGlyph::Pause : TGlyph::Play));
    if (sPCExtentedControls->currentIndex() == 2) {
        if (auto *b = findChild<QToolButton *>(QStringLiteral("sSBPlayListDeleteFile")))
            b->setEnabled(vVorlane->Mode() == bmPlayListFiles);
    }
    if (vPlayer) {
        const int64_t size = vPlayer->GetSize();
        PBPeaksIndicator->SetPosition(size > 0 ? double(vPlayer->GetPosition()) / double(size)
                                               : -1.0);
    }
}

void TMainWindow::scrollSelectedItem()
{
    const int page = sPCExtentedControls->currentIndex();
    if (page < 0 || page > 2 || page >= vSideDelegates.size())
        return;
    QListView *view = page == 0 ? sLBBookmarks : page == 1 ? sLBDirList : sLBPlayLists;
    TListBoxDelegate *delegate = vSideDelegates.at(page);
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current)) {
        delegate->SetScroll(-1, 0);
        return;
    }
    const QRect row = view->visualRect(current);
    // The style's text margins count as part of the text.
    const int textWidth = view->fontMetrics().horizontalAdvance(current.data().toString()) + 16;
    if (ScrollSelectedStep(vItemScroll, row.top(), view->viewport()->width(), textWidth))
        delegate->SetScroll(current.row(), vItemScroll.Xs);
    else
        delegate->SetScroll(-1, 0);
    view->viewport()->update(row);
}

// ---------------------------------------------------------------------------------------------
// Event dispatch

void TMainWindow::dispatchEvent(int code)
{
    if (code == efNone)
        return;
    TDispatchContext context;
    context.LeftCopyFiles = vVorlane->CopyCounter();
    context.LeftMoveFiles = vVorlane->MoveCounter();
    context.FilesCount = vVorlane->FilesCount();
    switch (code) {
    case efCopyStep:
    case efDeleteDone:
    case efMoveStep:
    case efRecordingStarted:
    case efRecordingSaved:
        context.FreeSpaceMB = FormatFreeSpaceMB(vVorlane->GetCurDestDiskFreeSize());
        break;
    default: break;
    }
    const TDispatchPlan plan = PlanEvent(code, context);
    if (!plan.Handled)
        return;

    if (plan.Browse == TDispatchPlan::baRefill)
        refillBrowse();
    else if (plan.Browse == TDispatchPlan::baReloadInPlace)
        reloadBrowseInPlace();
    if (plan.SwitchToComputerLists)
        vVorlane->SetMode(bmComputerLists);
    if (plan.ShowAccountPlaylist) {
        vVorlane->SetMode(bmPlayLists);
        vVorlane->SetVisibleListIndex(0);
        vVorlane->SetMode(bmPlayListFiles);
    }
    if (plan.RefillBookmarks)
        refillBookmarks();
    if (plan.SyncPlayLists)
        SyncListBoxItems(vPlayListsModel, vVorlane->PlaylistList());
    if (plan.RefillBrowseFromList)
        refillBrowse();
    if (plan.OpenFile)
        fOpenFile();
    if (plan.OpenIfOtherFile) {
        const TFileName entry = vVorlane->CurrentFile();
        const TFileName playing = vPlayer ? vPlayer->CurrentFile() : TFileName();
        const bool same = entry.FileName == playing.FileName && entry.DirName == playing.DirName;
        if (!same)
            fOpenFile();
    }
    if (plan.SeekBookmark && vNewPlayPosition >= 0 && vPlayer)
        vPlayer->ChangePosition(vNewPlayPosition);
    if (plan.FinishAccountExit) {
        // Saving the lists to the account comes with the account service.
        vVorlane->SetLoggedIn(false);
        MenuItem(QStringLiteral("PMAEnter"))->setEnabled(true);
        MenuItem(QStringLiteral("PMAExit"))->setEnabled(false);
        if (auto *m = findChild<QMenu *>(QStringLiteral("PMAccount")))
            m->setEnabled(true);
    }
    if (plan.RefreshDirList)
        fRefreshDirList();
    if (plan.RefreshNavigator)
        fRefreshTreeNavigator(true);
    if (plan.SetStatus)
        fLStatusRefresh(plan.Status);
    if (plan.FollowUp != efNone)
        vVorlane->SetFlags(plan.FollowUp);
}

void TMainWindow::refillBrowse()
{
    const TListData browse = vVorlane->List();
    const uint32_t mode = vVorlane->Mode();
    sLBBrowseWindow->SetHeaderRow(mode != bmRoot);
    sLBBrowseWindow->SetDragAllowed(mode == bmComputerFiles || mode == bmInternetFiles ||
                                    mode == bmInternetSearch || mode == bmPlayListFiles);
    vBrowseModel->SetLines(browse.List);
    vBrowseStamp = vVorlane->BrowseStamp();
    fSetBrowseIndex(browse.Index + 1);
}

void TMainWindow::reloadBrowseInPlace()
{
    fSetBrowseIndex(ReloadBrowseInPlace(*vVorlane, *vBrowseModel, vBrowseStamp) + 1);
}

void TMainWindow::refillBookmarks()
{
    const TListData bookmarks = vVorlane->BookmarksList();
    SyncListBoxItems(vBookmarksModel, bookmarks.List);
    if (bookmarks.Index >= 0 && bookmarks.Index < vBookmarksModel->rowCount())
        sLBBookmarks->setCurrentIndex(vBookmarksModel->index(bookmarks.Index));
    if (vVorlane->Mode() == bmBookmarks) {
        refillBrowse();
        fSetBrowseIndex(bookmarks.Index + 1);
    }
    const QModelIndex current = sLBBookmarks->currentIndex();
    sLBBookmarks->setToolTip(current.isValid() ? current.data().toString() : QString());
}

bool TMainWindow::fSetBrowseIndex(int index)
{
    if (index < 0 || index >= vBrowseModel->rowCount())
        return false;
    const QModelIndex i = vBrowseModel->index(index);
    sLBBrowseWindow->selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select);
    sLBBrowseWindow->scrollTo(i);
    return true;
}

void TMainWindow::fRefreshDirList()
{
    SyncListBoxItems(vDirListModel, vVorlane->DirectoryList());
    if (vDestFolderIndex >= 0 && vDestFolderIndex < vDirListModel->rowCount())
        sLBDirList->setCurrentIndex(vDirListModel->index(vDestFolderIndex));
}

void TMainWindow::fRefreshTreeNavigator(bool)
{
    TListData computer, inet, playlists, bookmarks;
    vVorlane->GetAllLists(computer, inet, playlists, bookmarks);
    const TMessages &m = Msg();
    vNavigator = NavigatorLayout(int(computer.List.size()), int(playlists.List.size()),
                                 int(inet.List.size()), int(bookmarks.List.size()));
    QStringList lines;
    lines.reserve(vNavigator.Total);
    lines << m.SM_COMPUTER << computer.List << m.SM_PLAYLISTS << playlists.List << m.SM_INTERNET
          << inet.List << m.SM_BOOKMARKS << bookmarks.List;
    const int previous = sLBNavigator->currentIndex().row();
    SyncListBoxItems(vNavigatorModel, lines);
    vNavigatorModel->SetHeaderRows({0, vNavigator.P, vNavigator.I, vNavigator.B});
    vNavigatorDelegate->SetGreyFrom(vNavigator.B);
    if (previous >= 0 && previous < vNavigatorModel->rowCount())
        sLBNavigator->setCurrentIndex(vNavigatorModel->index(previous));
}

void TMainWindow::fSetFontSize(int size)
{
    vFontSize = std::max(1, size);
    for (QWidget *w : std::initializer_list<QWidget *>{sLBBrowseWindow, sLBBookmarks, sLBNavigator,
                                                       sLBDirList, sLBPlayLists, sEEdit}) {
        QFont f = w->font();
        f.setPointSize(vFontSize);
        w->setFont(f);
    }
    const int height = ListItemHeight(vFontSize);
    vNavigatorDelegate->SetItemHeight(height);
    for (TListBoxDelegate *d : std::as_const(vSideDelegates))
        d->SetItemHeight(height);
    for (QListView *v : {sLBNavigator, sLBBookmarks, sLBDirList, sLBPlayLists})
        v->doItemsLayout();
    sLBBrowseWindow->SetItemHeight(height);
    ChangeColumnsNumber();
    menuBar()->setFont(sEFindQuery->font());
    vVorlane->SetFlags(efRefreshView);
}

// ---------------------------------------------------------------------------------------------
// Playback

void TMainWindow::fOpenFile()
{
    sSBFastDownload->setEnabled(false);
    int index = vVorlane->FileIndex();
    if (index < 0)
        return;
    // Another entry ends the stream being recorded: keep and list what was recorded.
    finishRecording();
    const bool playFiles = MenuItem(QStringLiteral("PMCPlayFiles"))->isChecked();
    const uint32_t mode = vVorlane->Mode();
    // The row of the entry that played leaves the selection; other selected rows stay.
    const QModelIndex highlighted = sLBBrowseWindow->currentIndex();
    if (highlighted.isValid())
        sLBBrowseWindow->selectionModel()->select(highlighted, QItemSelectionModel::Deselect);

    // Entries that cannot be opened are skipped in local lists.
    const int startIndex = index;
    for (;;) {
        vVorlane->SetFileIndex(index);
        const TFileName entry = vVorlane->CurrentFile();
        if (vPlayer)
            vPlayer->Stop();
        if (!vPlayer || !playFiles || index >= vBrowseModel->rowCount())
            break;
        if (vPlayer->OpenFile(entry))
            break;
        if (mode == bmInternetSearch || mode == bmInternetFiles)
            break; // removing a dead search result comes with the internet search
        if (index + 1 >= vVorlane->FilesCount())
            break;
        ++index;
    }
    if (index != startIndex)
        vVorlane->SetFlags(efNone); // the skip above is this call's own doing, not a new event

    const TFileName entry = vVorlane->CurrentFile();
    QString status;
    const int64_t size = vVorlane->CurFileSize();
    if (size > 0) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        status = Msg().SM_FILEOPEN + u' ' +
                 locale.toString(double(size) / 1024.0 / 1024.0, 'f', 2) + QStringLiteral(" MB. ");
    }
    fSetBrowseIndex(index + 1);
    if (mode == bmInternetFiles && vVorlane->ListIndex() == 0)
        sSBFastDownload->setEnabled(true);
    const QString title = entry.Title.isEmpty() ? entry.FileName : entry.Title;
    if (mode == bmComputerFiles) {
        vTagEditor->SetFile(entry.DirName + entry.FileName);
        ShowID3Tags();
    }
    sEEdit->setText(mode == bmComputerFiles ? entry.FileName : entry.Title);

    if (playFiles && vPlayer && vPlayer->Play()) {
        status += Msg().SM_PLAY;
        if (vPlayer->BitRate() > 0)
            status += u' ' + QString::number(vPlayer->BitRate()) + QStringLiteral(" Kbps");
        vPlayer->SetVolume(sTBVolume->value());
        const bool notices = MenuItem(QStringLiteral("PMCShowIndicator"))->isChecked();
        if (isMinimized() && notices && IndicatorWindow())
            vIndicatorWindow->SetText(title);
        if (!notices && TrayIcon->isVisible())
            TrayIcon->showMessage(kTitle, title);
        // A local file's overview comes with the waveform analysis; until then the title shows.
        PBPeaksIndicator->SetText(title);
    }
    fLStatusRefresh(status);
}

void TMainWindow::fNext()
{
    if (sLBBrowseWindow->selectionModel()->selectedRows().size() > 1)
        sLBBrowseWindow->clearSelection();
    if (vVorlane->FileIndex() < vVorlane->FilesCount() - 1)
        vVorlane->Next();
    else
        vVorlane->SetFileIndex(0);
}

void TMainWindow::fPrev()
{
    if (sLBBrowseWindow->selectionModel()->selectedRows().size() > 1)
        sLBBrowseWindow->clearSelection();
    vVorlane->Prev();
}

// ---------------------------------------------------------------------------------------------
// Lists for tests and the shell

QStringList TMainWindow::BrowseLines() const
{
    return vBrowseModel->Lines();
}

int TMainWindow::BrowseCurrentRow() const
{
    return sLBBrowseWindow->currentIndex().row();
}

QStringList TMainWindow::NavigatorLines() const
{
    return vNavigatorModel->Lines();
}

QStringList TMainWindow::DirListLines() const
{
    return vDirListModel->Lines();
}

QStringList TMainWindow::BookmarkLines() const
{
    return vBookmarksModel->Lines();
}

QStringList TMainWindow::PlayListLines() const
{
    return vPlayListsModel->Lines();
}

void TMainWindow::addFolderList(const QString &folder, bool included)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return;
    vLastDir = info.absoluteFilePath();
    vVorlane->SetMode(bmComputerFiles);
    vVorlane->AddList(vLastDir, included, false);
    vVorlane->SaveCatalog(); // a new list is kept even if the program does not end normally
    // The new list is shown as well as announced.
    dispatchEvent(vVorlane->Flags());
    vVorlane->SetFlags(efRefreshView);
}

// ---------------------------------------------------------------------------------------------
// Window events

void TMainWindow::closeEvent(QCloseEvent *event)
{
    // FormCloseQuery: a signed-in account is closed first (its exit ends with code 25).
    if (!vEndingSession && vVorlane && vVorlane->LoggedIn()) {
        event->ignore();
        return;
    }
    // FormClose.
    if (sLBNavigator)
        sLBNavigator->setEnabled(false);
    fSaveConf();
    if (TrayIcon)
        TrayIcon->hide();
    for (const QPointer<TDialogWindow> &d : std::as_const(vDialogs)) {
        if (d)
            d->close();
    }
    if (vMiniPlayerWindow)
        vMiniPlayerWindow->close();
    if (vIndicatorWindow)
        vIndicatorWindow->close();
    event->accept();
}

void TMainWindow::EndSession()
{
    vEndingSession = true;
    // A question on screen is answered "no".
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    close();
    QCoreApplication::quit();
}

void TMainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !Ok())
        return;
    if (!isMinimized()) {
        if (vMiniPlayerWindow)
            vMiniPlayerWindow->hide();
        return;
    }
    if (MenuItem(QStringLiteral("PMCShowMiniPlayer"))->isChecked() && MiniPlayerWindow()) {
        vMiniPlayerWindow->show();
        vMiniPlayerWindow->raise();
        QTimer::singleShot(0, this, &QWidget::hide);
        return;
    }
    // Without a tray to bring it back, the window stays a minimised window.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        TrayIcon->show();
        QTimer::singleShot(0, this, &QWidget::hide);
    }
}

void TMainWindow::RestoreWindow()
{
    if (vMiniPlayerWindow)
        vMiniPlayerWindow->hide();
    showNormal();
    raise();
    activateWindow();
    TrayIcon->hide();
}

void TMainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    // The question a folder asks must not stall the drag source: answer the drop first.
    const QList<QUrl> urls = event->mimeData()->urls();
    QTimer::singleShot(0, this, [this, urls] { WMDropFiles(urls); });
}

} // namespace vorlane
