#include "app/shell/MainWindow.h"

#include "app/account/AccountPanel.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/browse/FolderCommands.h"
#include "app/browse/SidePanel.h"
#include "app/desktop/AccessibleNames.h"
#include "app/desktop/DesktopPresence.h"
#include "app/player/PlayerPanel.h"
#include "app/player/PlayerWidgets.h"
#include "app/shell/DataFolder.h"
#include "app/shell/EventDispatch.h"
#include "app/shell/InetTimers.h"
#include "app/shell/Language.h"
#include "app/shell/Menus.h"
#include "app/shell/PanelSplitters.h"
#include "app/shell/Themes.h"
#include "app/shell/WindowFrame.h"
#include "app/shell/WindowKeys.h"
#include "app/shell/WindowSettings.h"
#include "app/tools/NamingTools.h"
#include "app/tools/ToolDialogs.h"
#include "app/tools/ToolWindows.h"
#include "app/widgets/Icons.h"
#include "app/widgets/IndicatorWindow.h"
#include "app/widgets/TextScroller.h"
#include "base/Codepage.h"
#include "base/DataPaths.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "base/TextUtils.h"
#include "catalog/CatalogFiles.h"
#include "catalog/Vorlane.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace vorlane {

const QString TMainWindow::kTitle = QStringLiteral("Vorlane Kestrio");

namespace {

const QString kBanner = QStringLiteral("----------  Vorlane Kestrio 2015  ----------");

// The stream-cache files a network download leaves behind.
const char *const kCacheTempFiles[] = {"temp.mp3", "temp",     "temp.aac",
                                       "temp.m4a", "temp.wma", "temp.m3u"};

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
    vAskYesNo = [this](const QString &caption, const QString &text) {
        const std::unique_ptr<QMessageBox> box(CreateQuestionBox(this, caption, text));
        return box->exec() == QMessageBox::Yes;
    };
    vVorlane = std::make_unique<TVorlane>();
    buildFrame();
    connectParts();
    connectMenus();

    MT = new QTimer(this);
    MT->setInterval(kMainTimerMs);
    connect(MT, &QTimer::timeout, this, &TMainWindow::MTTimer);
    ST = new QTimer(this);
    ST->setInterval(kStatusRevertMs);
    connect(ST, &QTimer::timeout, this, &TMainWindow::STTimer);
    InetStartTimer = new QTimer(this);
    InetStartTimer->setInterval(kInetStartMs);
    InetStartTimer->setSingleShot(true);
    connect(InetStartTimer, &QTimer::timeout, this, &TMainWindow::InetStartTimerTimer);
    vInet = new TInetTimers(
        *vVorlane, [this](const QString &text) { fLStatusRefresh(text); }, vOptions.StartTimers,
        this);

    vFrame.TSStatus->SetText(kBanner);
    vFrame.TSStatus->SetVector(1);

    fCheckPLFile();
    fLoadConf();

    setAcceptDrops(true);
    if (vOptions.StartTimers)
        InetStartTimer->start();
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::buildFrame()
{
    vFrame = BuildWindowFrame(this);
    TWindowFrame &f = vFrame;
    f.TrayIcon->setToolTip(kTitle);
    vMenus = std::make_unique<TMenus>(TMenus::Build(menuBar(), this));
    vBrowse = new TBrowsePanel(*vVorlane, f.Left, f.Centre, this);
    vSide = new TSidePanel(*vVorlane, f.Right, vOptions.WindowSetAfterFirstPaint, this);
    vPlayerPanel =
        new TPlayerPanel(*vVorlane, *vMenus, *vBrowse, *vSide, f.PlayerRow, f.Strip, this);
    vPlayerPanel->SetProgramDataDir(vProgramDataDir);
    vCatalogTools = new TCatalogTools(
        *vVorlane, *vBrowse, *vSide, *vPlayerPanel, vAskYesNo,
        [this] { return AddPlaylistWindow(); }, this);
    TNamingTools::TWindows windows;
    windows.Template = [this] { return CustomizeTemplateWindow(); };
    windows.Expression = [this] { return ChangeExpressionWindow(); };
    windows.ApplyLanguage = [this](QWidget *sheet) { applyLanguageTo(sheet); };
    vNamingTools = new TNamingTools(*vVorlane, *vMenus, *vBrowse, *vSide, *vPlayerPanel, f.Centre,
                                    std::move(windows), this);
    vFolders = new TFolderCommands(
        *vVorlane, *vMenus, *vBrowse, *vSide, vAskYesNo,
        [this] { dispatchEvent(vVorlane->Flags()); }, vOptions.MountSource, this);
    vSplitters = new TPanelSplitters({f.sPLeft, f.sPRight, f.sPTop}, f.sPRight, this);
    TWindowKeys::TParts parts;
    parts.Vorlane = vVorlane.get();
    parts.Menus = vMenus.get();
    parts.Browse = vBrowse;
    parts.Side = vSide;
    parts.Player = vPlayerPanel;
    parts.CatalogTools = vCatalogTools;
    parts.NamingTools = vNamingTools;
    vKeys = new TWindowKeys(this, parts);
    vDesktop = new TDesktopPresence(*this);
    vAccount = new TAccountPanel(
        {vVorlane.get(), vMenus.get(), this, vProgramDataDir, [this] { return vCurLanguage; },
         [this](const QString &text) { fLStatusRefresh(text); }, &vAskYesNo},
        this);
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
}

void TMainWindow::connectParts()
{
    const auto status = [this](const QString &text) { fLStatusRefresh(text); };
    connect(vBrowse, &TBrowsePanel::status, this, status);
    connect(vPlayerPanel, &TPlayerPanel::status, this, status);
    connect(vCatalogTools, &TCatalogTools::status, this, status);
    connect(vNamingTools, &TNamingTools::status, this, status);
    connect(vFolders, &TFolderCommands::status, this, status);

    connect(vBrowse, &TBrowsePanel::bookmarksTabRequested, this,
            [this] { vSide->ShowPage(TSidePanel::pgBookmarks); });
    connect(vBrowse, &TBrowsePanel::bookmarkLineChosen, vSide, &TSidePanel::SelectBookmarkLine);
    connect(vBrowse, &TBrowsePanel::bookmarkPositionChosen, vPlayerPanel,
            &TPlayerPanel::SetNewPlayPosition);
    connect(vBrowse, &TBrowsePanel::signInRequested, vAccount, &TAccountPanel::PMAEnterClick);
    connect(vBrowse, &TBrowsePanel::closeRequested, this, &QWidget::close);
    connect(vSide, &TSidePanel::bookmarkClicked, this, [this](int line) {
        if (vVorlane->Mode() == bmBookmarks)
            vBrowse->fSetBrowseIndex(line + 1);
    });
    connect(vPlayerPanel, &TPlayerPanel::entryOpened, vNamingTools, &TNamingTools::EntryOpened);
    connect(vPlayerPanel, &TPlayerPanel::titlePlaying, this, &TMainWindow::showNotice);
    connect(vPlayerPanel, &TPlayerPanel::restoreRequested, this, &TMainWindow::RestoreWindow);
    connect(vPlayerPanel, &TPlayerPanel::closeRequested, this, &QWidget::close);
    connect(vPlayerPanel, &TPlayerPanel::notice, this, [this](const QString &text) {
        if (TIndicatorWindow *indicator = IndicatorWindow())
            indicator->SetText(text);
    });
    connect(vFrame.TSStatus, &TTextScroller::clicked, this,
            [this] { vVorlane->ReturnToCurrentDir(); });
    connect(vFrame.TrayIcon, &QSystemTrayIcon::activated, this, [this] { RestoreWindow(); });
}

void TMainWindow::connectMenus()
{
    const TMenus &m = *vMenus;
    connect(m.PMCPlayFiles, &QAction::triggered, this, [this](bool on) {
        fLStatusRefresh(on ? Msg().SM_PLAYENABLED : Msg().SM_PLAYDISABLED);
    });
    connect(m.PMCAutoEdit, &QAction::triggered, this, [this](bool on) {
        fLStatusRefresh(on ? Msg().SM_AUTOEDITENABLED : Msg().SM_AUTOEDITDISABLED);
    });
    connect(m.PMCAudioFilesOnly, &QAction::triggered, this,
            [this](bool on) { vVorlane->SetAudioFilesOnly(on); });
    connect(m.PMCloseProgram, &QAction::triggered, this, &QWidget::close);
    for (QAction *a : m.FontSize->actions()) {
        connect(a, &QAction::triggered, this, [this, a] {
            a->setChecked(true);
            fSetFontSize(a->data().toInt());
        });
    }
    connect(m.Language, &QActionGroup::triggered, this, [this](QAction *a) {
        vCurLanguage = TMenus::LanguageOf(a);
        SetLanguage();
    });
    connect(m.Skins, &QActionGroup::triggered, this, [this](QAction *a) {
        a->setChecked(true);
        applyTheme(a->data().toString());
    });
    // The maker's pages are configuration (fLoadConf gives each item its address).
    for (QAction *page : {m.PMSNFacebook, m.PMSNVkontakte, m.PMSNOdnoklassniki}) {
        connect(page, &QAction::triggered, this,
                [page] { QDesktopServices::openUrl(QUrl(page->data().toString())); });
    }
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
        vBrowse->sLBBrowseWindow->viewport()->installEventFilter(this);
    // The playlists read at start are listed at once: the list box otherwise fills only when the
    // set of playlists changes (code 21), and adding to a playlist needs one selected there.
    vSide->SyncPlayLists();
    SetLanguage();

    // Folders given at start are added once their messages can be shown.
    if (vSeeded && !vOptions.FirstStartFolder.isEmpty())
        addFolderList(vOptions.FirstStartFolder, true);
    for (const QString &dir : std::as_const(vOptions.OpenFolders))
        addFolderList(dir, true);

    // The lists are on screen from the first paint: the codes the start left (the view refresh
    // and its follow-ups) are taken now rather than 5 s later when the main timer starts.
    for (int round = 0; round < 8; ++round) {
        const TEventCode code = vVorlane->Flags();
        if (code == efNone)
            break;
        dispatchEvent(code);
    }
}

void TMainWindow::makeWindowSet()
{
    if (!vToolWindows.Make())
        return;
    vCatalogTools->ConnectPlaylistWindow(vToolWindows.AddPlaylist());
    vNamingTools->ConnectWindows(vToolWindows.CustomizeTemplate(), vToolWindows.ChangeExpression());
}

void TMainWindow::EnsureWindowSet()
{
    if (!vWindowSetStarted || vToolWindows.Made())
        return;
    vNamingTools->TagPanel(); // the template window takes its button's text from the tag sheet
    makeWindowSet();
    const TIniFile ini(languageFile());
    if (ini.Exists() && ini.SectionExists(vCurLanguage))
        vToolWindows.ApplyTexts(ini, vCurLanguage);
}

TIndicatorWindow *TMainWindow::IndicatorWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vToolWindows.Indicator();
}

TAddPlaylistWindow *TMainWindow::AddPlaylistWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vToolWindows.AddPlaylist();
}

TCustomizeTemplateWindow *TMainWindow::CustomizeTemplateWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vToolWindows.CustomizeTemplate();
}

TChangeExpressionWindow *TMainWindow::ChangeExpressionWindow() const
{
    const_cast<TMainWindow *>(this)->EnsureWindowSet();
    return vToolWindows.ChangeExpression();
}

TTagPanel *TMainWindow::TagPanel() const
{
    return vNamingTools->TagPanel();
}

bool TMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The playback module is loaded, and the hidden windows are made, once the window has been
    // painted: the module's two hundred libraries would otherwise compete with the first paint
    // for the dynamic loader and the processor, and the windows are not seen before they are
    // asked for.
    if (event->type() == QEvent::Paint && watched == vBrowse->sLBBrowseWindow->viewport()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, vPlayerPanel, &TPlayerPanel::StartLoading);
        QTimer::singleShot(0, vDesktop, &TDesktopPresence::Start);
        // Behind whatever the paint itself queued (the first-paint report among them).
        if (vWindowSetStarted && !vToolWindows.Made())
            QTimer::singleShot(
                0, this, [this] { QTimer::singleShot(0, this, &TMainWindow::EnsureWindowSet); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainWindow::SetPlayer(std::unique_ptr<TPlayerPort> player)
{
    vPlayerPanel->SetPlayer(std::move(player));
}

TPlayerPort *TMainWindow::Player() const
{
    return vPlayerPanel->Player();
}

bool TMainWindow::PanelShown(QWidget *panel) const
{
    return TPanelSplitters::PanelShown(panel);
}

void TMainWindow::SetPanelShown(QWidget *panel, bool shown)
{
    vSplitters->SetPanelShown(panel, shown);
}

// ---------------------------------------------------------------------------------------------
// Configuration

void TMainWindow::fCheckPLFile()
{
    vorlane::fCheckPLFile(vProgramDataDir);
}

void TMainWindow::fLoadConf()
{
    vVorlane->SetProgramDataDir(vProgramDataDir);
    vVorlane->LoadCatalog();       // FL.txt, BK.txt, PL.txt
    vVorlane->RecoverRecordings(); // a stream recording a crash cut short

    const TIniFile ini(vProgramDataDir + "VL4Conf/Config.ini");
    vConfig = ReadConfig(ini);
    const TConfig &c = vConfig;
    // The maker's pages, from the "Services" section; an item without an address is disabled.
    for (auto [page, key] : {std::pair{vMenus->PMSNFacebook, "FacebookPage"},
                             {vMenus->PMSNVkontakte, "VkontaktePage"},
                             {vMenus->PMSNOdnoklassniki, "OdnoklassnikiPage"}}) {
        const QString address =
            ini.ReadString(QStringLiteral("Services"), QLatin1String(key), QString()).trimmed();
        page->setData(address);
        page->setEnabled(!address.isEmpty());
    }
    if (!c.CodePage.isEmpty())
        SetLegacyCodePage(c.CodePage);
    vCurLanguage = c.Lang;
    vFontSize = c.FontSize;
    applyTheme(c.Skin);
    // The panels' sizes are shares of the window's.
    resize(std::max(c.Width, kMinWindowWidth), std::max(c.Heigth, kMinWindowHeight));
    ApplySettings(c, settingsParts());

    // The equaliser power is always switched on at start; the player's processors take the
    // effect settings.
    vConfig.SoundProc.PowerEqEnabled = true;
    vPlayerPanel->SetEffects(vConfig.SoundProc);
    if (vOptions.CreatePlayer) {
        vPlayerPanel->CreateLoader();
        vBrowse->sLBBrowseWindow->viewport()->installEventFilter(this);
    }
    fSetFontSize(vFontSize);
}

TSettingsParts TMainWindow::settingsParts() const
{
    TSettingsParts parts;
    parts.Vorlane = vVorlane.get();
    parts.Menus = vMenus.get();
    parts.Player = vPlayerPanel;
    parts.Frame = &vFrame;
    parts.Splitters = vSplitters;
    return parts;
}

void TMainWindow::applyTheme(const QString &name)
{
    vSkin = name == CurrentTheme() && !vSkin.isEmpty() ? vSkin : ApplyTheme(name);
    if (!vMenus)
        return;
    for (QAction *a : vMenus->Skins->actions())
        a->setChecked(a->data().toString() == vSkin);
    // Icons follow the theme's text colour: repaint them.
    for (QToolButton *b : findChildren<QToolButton *>())
        b->update();
}

TConfig TMainWindow::CurrentConfig() const
{
    TConfig c = CollectSettings(vConfig, settingsParts());
    c.FontSize = vFontSize;
    c.Lang = vCurLanguage;
    c.Skin = vSkin;
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
    if (TPlayerPort *player = vPlayerPanel->Player())
        player->Stop();

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
    vPlayerPanel->Shutdown();
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

void TMainWindow::fSetFontSize(int size)
{
    vFontSize = std::max(1, size);
    vBrowse->SetFontSize(vFontSize);
    vSide->SetFontSize(vFontSize);
    QFont f = vNamingTools->sEEdit->font();
    f.setPointSize(vFontSize);
    vNamingTools->sEEdit->setFont(f);
    menuBar()->setFont(vBrowse->sEFindQuery->font());
    vVorlane->RefreshView();
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
    // Updates are held rather than the window hidden, so that the window keeps its place.
    setUpdatesEnabled(false);
    if (ini.Exists() && ini.SectionExists(section)) {
        ApplyComponentTexts(this, ini, section, kWindowComponents);
        vToolWindows.ApplyTexts(ini, section);
        vAccount->ApplyTexts(ini, section);
    }
    LoadMessages(ini, section);
    ApplyAccessibleNames(*this);
    vPlayerPanel->ApplyTexts(ini, section);
    SetStandardButtonTexts(ini, section);
    setUpdatesEnabled(true);
    vVorlane->RefreshView();
}

void TMainWindow::applyLanguageTo(QWidget *sheet)
{
    const TIniFile ini(languageFile());
    if (ini.Exists() && ini.SectionExists(vCurLanguage))
        ApplyComponentTexts(sheet, ini, vCurLanguage, kWindowComponents);
}

// ---------------------------------------------------------------------------------------------
// Status line

void TMainWindow::fLStatusRefresh(const QString &newStatus)
{
    vFrame.TSStatus->SetText(newStatus);
    vFrame.TrayIcon->setToolTip(newStatus);
    ST->start();
}

QString TMainWindow::StatusText() const
{
    return vFrame.TSStatus->Text();
}

QString TMainWindow::currentEntryLocation() const
{
    const QString dir = vVorlane->CurrentFile().DirName;
    return isNetworkFolder(dir) ? QStringLiteral(" Internet ") : dir;
}

void TMainWindow::STTimer()
{
    ST->stop();
    vFrame.TSStatus->SetText(currentEntryLocation());
}

void TMainWindow::showNotice(const QString &title)
{
    const bool notices = vMenus->PMCShowIndicator->isChecked();
    if (isMinimized() && notices && IndicatorWindow())
        IndicatorWindow()->SetText(title);
    if (!notices && vFrame.TrayIcon->isVisible())
        vFrame.TrayIcon->showMessage(kTitle, title);
    // Without a tray the balloon has nowhere to show: a desktop notification stands in for it.
    else if (!notices && isMinimized() && !QSystemTrayIcon::isSystemTrayAvailable())
        vDesktop->Notify(kTitle, title);
}

// ---------------------------------------------------------------------------------------------
// Timers

void TMainWindow::InetStartTimerTimer()
{
    InetStartTimer->stop();
    EnsureWindowSet(); // when the window has not been painted by now
    // The connection check runs on a worker: its success is event 24.
    vVorlane->CheckInetConnection();
    MT->start();
    vAccount->StartNewsTimer();
    vPlayerPanel->PBPeaksIndicator->SetText(Msg().SM_HELLO);
    vCatalogTools->EnableFileOperations();
}

void TMainWindow::MTTimer()
{
    vPlayerPanel->RunPlayerCommand();
    if (vMenus->PMCPlayFiles->isChecked())
        vPlayerPanel->RunPlayerTick();
    QString ext;
    if (vPlayerPanel->TakeDownloadCompleted(ext)) {
        const QString cached = vProgramDataDir + "VL4Conf/Cache/temp" + ext;
        vNamingTools->ShowFileTags(cached);
        vPlayerPanel->fCreatePeaks(cached, vPlayerPanel->PBPeaksIndicator->Text());
    }
    vFrame.TSStatus->ScrollText();
    dispatchEvent(vVorlane->Flags());
    vInet->Tick();

    if (PanelShown(vFrame.sPRight))
        vSide->ScrollSelectedItem();
    // A volume mounted since the last look (once a second).
    if (++vMountTicks >= 20) {
        vMountTicks = 0;
        vFolders->OnDeviceChange();
    }
    vPlayerPanel->FinishTick();
    if (vSide->sPCExtentedControls->currentIndex() == TSidePanel::pgPlayLists)
        vSide->sSBPlayListDeleteFile->setEnabled(vVorlane->Mode() == bmPlayListFiles);
}

// ---------------------------------------------------------------------------------------------
// Event dispatch

void TMainWindow::dispatchEvent(TEventCode code)
{
    TDispatchParts parts;
    parts.Vorlane = vVorlane.get();
    parts.Menus = vMenus.get();
    parts.Browse = vBrowse;
    parts.Side = vSide;
    parts.Player = vPlayerPanel;
    parts.Account = vAccount;
    parts.Status = [this](const QString &text) { fLStatusRefresh(text); };
    DispatchEvent(code, parts);
}

// ---------------------------------------------------------------------------------------------
// Folders from outside

void TMainWindow::addFolderList(const QString &folder, bool included)
{
    vFolders->addFolderList(folder, included);
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
    QTimer::singleShot(0, this, [this, urls] { vFolders->WMDropFiles(urls); });
}

// ---------------------------------------------------------------------------------------------
// Window events

void TMainWindow::closeEvent(QCloseEvent *event)
{
    // FormCloseQuery: a signed-in account is closed first (its exit ends with code 25), and
    // nothing closes while its files upload.
    if (vAccount && vAccount->RefuseClose(vEndingSession)) {
        event->ignore();
        return;
    }
    // FormClose.
    if (vBrowse)
        vBrowse->sLBNavigator->setEnabled(false);
    fSaveConf();
    if (vFrame.TrayIcon)
        vFrame.TrayIcon->hide();
    vToolWindows.CloseAll();
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
    // The mini player stands in for a minimised window while its option is on; its title brings
    // the window back.
    if (vPlayerPanel->ShowMiniPlayerFor(isMinimized())) {
        // Unless the window came back in the meantime (its title was clicked).
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
        return;
    }
    if (!isMinimized())
        return;
    // Without a tray to bring it back, the window stays a minimised window.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        vFrame.TrayIcon->show();
        QTimer::singleShot(0, this, &QWidget::hide);
    }
}

void TMainWindow::RestoreWindow()
{
    vPlayerPanel->ShowMiniPlayerFor(false);
    showNormal();
    raise();
    activateWindow();
    vFrame.TrayIcon->hide();
}

} // namespace vorlane
