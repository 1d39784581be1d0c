#include "app/player/PlayerPanel.h"

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseRules.h"
#include "app/browse/BrowseWidgets.h"
#include "app/browse/SidePanel.h"
#include "app/player/MiniPlayerRules.h"
#include "app/player/MiniPlayerWindow.h"
#include "app/player/PlayerLoader.h"
#include "app/player/PlayerTick.h"
#include "app/player/PlayerWidgets.h"
#include "app/player/SoundProcWindow.h"
#include "app/shell/Menus.h"
#include "app/tools/TimerWindow.h"
#include "app/widgets/Icons.h"
#include "app/widgets/NamedWidgets.h"
#include "app/widgets/TextScroller.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "base/PlayerRules.h"
#include "catalog/Vorlane.h"
#include "net/UrlReads.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <thread>

namespace vorlane {

namespace {

QString sizeStatus(int64_t size)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return Msg().SM_FILEOPEN + u' ' + locale.toString(double(size) / 1024.0 / 1024.0, 'f', 2) +
           QStringLiteral(" MB. ");
}

} // namespace

TPlayerPanel::TPlayerPanel(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse,
                           TSidePanel &side, QBoxLayout *controls, QBoxLayout *strip,
                           QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
    , vMenus(menus)
    , vBrowse(browse)
    , vSide(side)
{
    build(controls, strip);
    buildWindows(qobject_cast<QWidget *>(parent));
}

TPlayerPanel::~TPlayerPanel() = default;

void TPlayerPanel::build(QBoxLayout *h, QBoxLayout *strip)
{
    PBPeaksIndicator = new TPeaksStrip;
    strip->addWidget(PBPeaksIndicator);
    connect(PBPeaksIndicator, &TPeaksStrip::seekRequested, this, [this](int x, int width) {
        if (!vPlayer)
            return;
        PostSeek(PeaksSeekTarget(vPlayer->GetSize(), width, x));
        sPBPositionRegulator->setFocus(Qt::MouseFocusReason);
        vPositionChange = false;
    });

    sSBPlayerUp = GlyphToolButton("sSBPlayerUp", TGlyph::Previous, QStringLiteral("Previous"));
    sSBPlay = GlyphToolButton("sSBPlay", TGlyph::Play, QStringLiteral("Play / pause"));
    sSBPlay->setIconSize(QSize(22, 22));
    sSBPlayerStop = GlyphToolButton("sSBPlayerStop", TGlyph::Stop, QStringLiteral("Stop"));
    sSBPlayerDown = GlyphToolButton("sSBPlayerDown", TGlyph::Next, QStringLiteral("Next"));
    sSBFastDownload = GlyphToolButton("sSBFastDownload", TGlyph::Record, QStringLiteral("Record"));
    sSBFastDownload->setEnabled(false);
    connect(sSBPlay, &QToolButton::clicked, this, [this] { PostCommand(pcPause); });
    connect(sSBPlayerStop, &QToolButton::clicked, this, [this] { PostCommand(pcStop); });
    connect(sSBPlayerUp, &QToolButton::clicked, this, [this] {
        fPrev();
        vBrowse.sLBBrowseWindow->setFocus();
    });
    connect(sSBPlayerDown, &QToolButton::clicked, this, [this] {
        fNext();
        vBrowse.sLBBrowseWindow->setFocus();
    });
    connect(sSBFastDownload, &QToolButton::clicked, this, [this] { sSBFastDownloadClick(); });
    for (QToolButton *b : {sSBPlayerUp, sSBPlay, sSBPlayerStop, sSBPlayerDown})
        h->addWidget(b);
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
    sPBPositionRegulator->setMouseTracking(true);
    sPBPositionRegulator->installEventFilter(this);
    h->addWidget(sPBPositionRegulator, 1);
    h->addWidget(sETimeIndicator);
    h->addWidget(sSBFastDownload);
    h->addSpacing(6);

    sTBPlaySpeed = new QSlider(Qt::Horizontal);
    sTBPlaySpeed->setObjectName(QStringLiteral("sTBPlaySpeed"));
    sTBPlaySpeed->setRange(-50, 100);
    sTBPlaySpeed->setValue(0);
    sTBPlaySpeed->setFixedWidth(80);
    sTBPlaySpeed->installEventFilter(this);
    connect(sTBPlaySpeed, &QSlider::valueChanged, this, [this](int v) {
        if (vPlayer)
            vPlayer->SetSpeed(v);
    });
    sTBVolume = new QSlider(Qt::Horizontal);
    sTBVolume->setObjectName(QStringLiteral("sTBVolume"));
    sTBVolume->setRange(1, 128);
    sTBVolume->setValue(50);
    sTBVolume->setFixedWidth(100);
    sTBVolume->setFocusPolicy(Qt::StrongFocus);
    connect(sTBVolume, &QSlider::valueChanged, this, [this](int v) {
        if (vPlayer)
            vPlayer->SetVolume(v);
    });
    h->addWidget(sTBPlaySpeed);
    h->addWidget(sTBVolume);
    h->addSpacing(6);
    IVisualIndicator = new TVisualIndicator;
    h->addWidget(IVisualIndicator);
}

void TPlayerPanel::buildWindows(QWidget *window)
{
    vSoundWindow = new TSoundProcWindow(
        vMenus, [this] { return vPlayer.get(); }, window);
    connect(vSoundWindow, &TSoundProcWindow::status, this, &TPlayerPanel::status);

    vMini = new TMiniPlayerWindow(window);
    connect(vMini->sSBPlayerUp, &QToolButton::clicked, sSBPlayerUp, &QToolButton::click);
    connect(vMini->sSBPlayerPlay, &QToolButton::clicked, sSBPlay, &QToolButton::click);
    connect(vMini->sSBPlayerStop, &QToolButton::clicked, sSBPlayerStop, &QToolButton::click);
    connect(vMini->sSBPlayerDown, &QToolButton::clicked, sSBPlayerDown, &QToolButton::click);
    // The two volume sliders follow each other; the main one sets the player.
    connect(vMini->sTBVolume, &QSlider::valueChanged, sTBVolume, &QSlider::setValue);
    connect(sTBVolume, &QSlider::valueChanged, vMini->sTBVolume, &QSlider::setValue);
    connect(vMini, &TMiniPlayerWindow::positionDragged, this, [this] { vPositionChange = true; });
    connect(vMini, &TMiniPlayerWindow::positionReleased, this, [this](qint64 bytes, bool seek) {
        vPosRegulatorValue = bytes;
        if (seek) {
            vPendingPlayerCommand = pcSeek;
            vSeekFromBar = false;
        }
        sPBPositionRegulator->setFocus(Qt::MouseFocusReason);
        vPositionChange = false;
    });
    connect(vMini, &TMiniPlayerWindow::restoreRequested, this, &TPlayerPanel::restoreRequested);
    connect(vMini, &TMiniPlayerWindow::closeRequested, this, &TPlayerPanel::closeRequested);
    TTimerActions actions;
    actions.StopPlayback = [this] {
        if (vPlayer)
            vPlayer->Stop();
    };
    actions.PausePlayback = [this] {
        if (vPlayer)
            vPlayer->Pause();
    };
    actions.CloseProgram = [this] { Q_EMIT closeRequested(); };
    actions.Notice = [this](const QString &text) { Q_EMIT notice(text); };
    actions.Status = [this](const QString &text) { Q_EMIT status(text); };
    vTimerWindow = new TTimerWindow(std::move(actions), CreateLogindPowerControl(), window);
    connect(vMenus.PMSleepTimer, &QAction::triggered, vTimerWindow, &TTimerWindow::Toggle);

    // The option takes effect the next time the main window is minimised.
    connect(vMenus.PMCShowMiniPlayer, &QAction::toggled, this, [this](bool on) {
        if (!on && vMini->PlayerShowed())
            Q_EMIT restoreRequested();
    });
}

void TPlayerPanel::ApplyTexts(const TIniFile &ini, const QString &section)
{
    if (ini.Exists() && ini.SectionExists(section)) {
        vTimerWindow->ApplyTexts(ini, section);
        vSoundWindow->setWindowTitle(
            ini.ReadString(section, QStringLiteral("SoundProcWindow"), QStringLiteral("Sound")));
    }
    vSoundWindow->RetranslateSwitch();
}

void TPlayerPanel::SetEffects(const TSoundProcConfig &effects)
{
    vSoundWindow->Load(effects);
    if (vPlayer)
        vSoundWindow->ApplyTo(*vPlayer);
}

bool TPlayerPanel::ShowMiniPlayerFor(bool minimised)
{
    if (MiniPlayerShown(vMenus.PMCShowMiniPlayer->isChecked(), minimised)) {
        vMini->sTBVolume->setValue(sTBVolume->value());
        vMini->ShowInPlace();
        return true;
    }
    vMini->HideStrip();
    return false;
}

bool TPlayerPanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == sPBPositionRegulator &&
        (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
        positionBarMouse(static_cast<QMouseEvent *>(event));
    } else if (watched == sTBPlaySpeed && type == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        sTBPlaySpeed->setValue(0);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The player

void TPlayerPanel::SetPlayer(std::unique_ptr<TPlayerPort> player)
{
    vPlayer = std::move(player);
    if (vPlayer) {
        vPlayer->SetProgramDir(vProgramDataDir);
        vSoundWindow->ApplyTo(*vPlayer);
    }
}

void TPlayerPanel::CreateLoader()
{
    vPlayerLoader = new TPlayerLoader(this);
    connect(vPlayerLoader, &TPlayerLoader::loaded, this, [this](TPlayerPort *player) {
        if (!vShutDown)
            SetPlayer(std::unique_ptr<TPlayerPort>(player));
        else
            delete player;
    });
    connect(vPlayerLoader, &TPlayerLoader::failed, this, [this](const QString &why) {
        qWarning("vorlane: no playback: %s", qPrintable(why));
        Q_EMIT status(why);
    });
}

void TPlayerPanel::StartLoading()
{
    if (vPlayerLoader)
        vPlayerLoader->Start();
}

void TPlayerPanel::Shutdown()
{
    vShutDown = true;
    if (vPlayer)
        vPlayer->Stop();
    vPlayer.reset();
}

// ---------------------------------------------------------------------------------------------
// The player tick

void TPlayerPanel::RunPlayerCommand()
{
    const int command = vPendingPlayerCommand;
    vPendingPlayerCommand = pcNone;
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
    // A seek from a position bar takes the hint away while it seeks and shows it again after.
    const bool hint = command == pcSeek && vSeekFromBar;
    if (command == pcSeek)
        QToolTip::hideText();
    if (!vPlayer->ChangePosition(*target) && command == pcSeek)
        vPlayer->ChangePosition(0);
    if (hint)
        QToolTip::showText(vSeekHintAt, sPBPositionRegulator->toolTip(), sPBPositionRegulator);
}

void TPlayerPanel::RunPlayerTick()
{
    if (!vPlayer)
        return;
    if (vPlayer->Refresh()) {
        switch (TrackEndAction(vVorlane.Mode(), vVorlane.ListIndex(), vMenus.RepeatMode())) {
        case TTrackEndAction::Reopen: fOpenFile(); break;
        case TTrackEndAction::ControllerNext: vVorlane.Next(); break;
        case TTrackEndAction::NextWrapping: fNext(); break;
        case TTrackEndAction::Nothing: break;
        }
    }
    // One frame of the indicator's view per tick, copied onto it in one piece.
    IVisualIndicator->ShowFrame(vPlayer->VisualFrame(IVisualIndicator->VisMode()));
    // While the mini player stands in for the window, the time and position go to it.
    if (vMini->PlayerShowed())
        setTimeAndPosition(vMini->sETimeIndicator, vMini->sPBPositionRegulator);
    else
        setTimeAndPosition(sETimeIndicator, sPBPositionRegulator);
}

void TPlayerPanel::setTimeAndPosition(QLineEdit *time, QProgressBar *bar)
{
    time->setText(vPlayer->GetTime());
    if (vPositionChange)
        return;
    const auto clampInt = [](int64_t v) { return int(std::clamp<int64_t>(v, 0, INT_MAX)); };
    bar->setMaximum(std::max(1, clampInt(vPlayer->GetSize() / 10)));
    bar->setValue(clampInt(vPlayer->GetPosition() / 10));
}

void TPlayerPanel::FinishTick()
{
    const bool playing = vPlayer && vPlayer->Played();
    const QIcon playIcon = GlyphIcon(playing ? TGlyph::Pause : TGlyph::Play);
    sSBPlay->setIcon(playIcon);
    if (vMenus.PMCShowMiniPlayer->isChecked()) {
        vMini->TSFileName->ScrollText();
        vMini->sSBPlayerPlay->setIcon(playIcon);
    }
    if (!vPlayer)
        return;
    if (vPeaksWanted && !vPlayer->PeaksRunning()) {
        vPeaksWanted = false;
        // A file without audio keeps its title.
        if (const QImage *peaks = vPlayer->PeaksImage())
            PBPeaksIndicator->SetImage(*peaks);
    }
    PBPeaksIndicator->SetCursorColumn(PeaksCursorColumn(vPlayer->GetPosition(), vPlayer->GetSize(),
                                                        PBPeaksIndicator->AreaSize().width()));
}

void TPlayerPanel::fCreatePeaks(const QString &path, const QString &title)
{
    PBPeaksIndicator->SetText(title);
    if (!vPlayer)
        return;
    vPlayer->CancelPeaks();
    // The theme's colours of the moment.
    const QPalette &pal = PBPeaksIndicator->palette();
    vPlayer->SetPeaksStyle(pal.color(QPalette::Window), pal.color(QPalette::Highlight));
    vPeaksWanted = vPlayer->StartPeaks(path, PBPeaksIndicator->AreaSize());
}

bool TPlayerPanel::TakeDownloadCompleted(QString &ext)
{
    if (!vPlayer || !vPlayer->TakeDownloadCompleted(ext))
        return false;
    sSBFastDownload->setEnabled(true);
    return true;
}

void TPlayerPanel::positionBarMouse(QMouseEvent *event)
{
    QProgressBar *bar = sPBPositionRegulator;
    const int x = int(event->position().x());
    const TPositionPick pick = PositionBarPick(x, bar->maximum(), bar->width());
    if (event->type() == QEvent::MouseMove) {
        if (event->buttons() & Qt::LeftButton) {
            bar->setValue(pick.BarValue);
            vPositionChange = true;
        }
        const QString time = vPlayer ? vPlayer->ByteLengthToTime(pick.Bytes) : QString();
        // Nothing open (or no player yet): the hint shows the start.
        const bool unknown = time.isEmpty() || time == QLatin1String("--:--");
        bar->setToolTip(unknown ? QStringLiteral("00:00") : time);
        return;
    }
    vPosRegulatorValue = pick.Bytes;
    if (event->button() == Qt::LeftButton) {
        vPendingPlayerCommand = pcSeek;
        vSeekFromBar = true;
        vSeekHintAt = event->globalPosition().toPoint();
    }
    bar->setFocus(Qt::MouseFocusReason);
    vPositionChange = false;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TPlayerPanel::PostSeek(int64_t target)
{
    vPosRegulatorValue = target;
    vSeekFromBar = false;
    vPendingPlayerCommand = pcSeek;
}

void TPlayerPanel::VolumeStep(int steps)
{
    sTBVolume->setValue(sTBVolume->value() + steps);
}

void TPlayerPanel::fOpenFile()
{
    // The running analysis stops: its file is no longer the one shown.
    if (vPlayer)
        vPlayer->CancelPeaks();
    vPeaksWanted = false;
    sSBFastDownload->setEnabled(false);
    int index = vVorlane.FileIndex();
    if (index < 0)
        return;
    // Another entry ends the stream being recorded: keep and list what was recorded.
    finishRecording();
    const bool playFiles = vMenus.PMCPlayFiles->isChecked();
    const TBrowseMode mode = vVorlane.Mode();
    vBrowse.DeselectHighlighted();

    // Entries that cannot be opened are skipped in local lists.
    vVorlane.SetFileIndex(index);
    for (;;) {
        const TFileName entry = vVorlane.CurrentFile();
        if (vPlayer)
            vPlayer->Stop();
        if (!vPlayer || !playFiles || index >= vBrowse.BrowseRowCount())
            break;
        if (vPlayer->OpenFile(entry))
            break;
        if (mode == bmInternetSearch) {
            // A dead result leaves the list (its size is asked on a worker; event 4 follows).
            vVorlane.DeleteInvalidInetSearchRecord();
            break;
        }
        if (mode == bmInternetFiles)
            break;
        if (index + 1 >= vVorlane.FilesCount())
            break;
        vVorlane.SkipTo(++index);
    }

    const TFileName entry = vVorlane.CurrentFile();
    const int64_t size = vVorlane.CurFileSize();
    const QString sizeUrl = vVorlane.CurFileSizeUrl();
    vBrowse.fSetBrowseIndex(index + 1);
    if (mode == bmInternetFiles && vVorlane.ListIndex() == 0)
        sSBFastDownload->setEnabled(true);
    Q_EMIT entryOpened(entry, mode);
    const QString title = entry.Title.isEmpty() ? entry.FileName : entry.Title;
    vMini->TSFileName->SetText(title);

    QString played;
    if (playFiles && vPlayer)
        vSoundWindow->BeforePlay(*vPlayer);
    if (playFiles && vPlayer && vPlayer->Play()) {
        played = Msg().SM_PLAY;
        if (vPlayer->BitRate() > 0)
            played += u' ' + QString::number(vPlayer->BitRate()) + QStringLiteral(" Kbps");
        vPlayer->SetVolume(sTBVolume->value());
        Q_EMIT titlePlaying(title);
        // A network entry shows its title; a local file its overview once analysed.
        if (entry.IsNetwork())
            PBPeaksIndicator->SetText(title);
        else
            fCreatePeaks(entry.DirName + entry.FileName, title);
    }
    if (!sizeUrl.isEmpty())
        askNetworkSize(sizeUrl, played);
    Q_EMIT status(size > 0 ? sizeStatus(size) + played : played);
}

void TPlayerPanel::askNetworkSize(const QString &url, const QString &openStatus)
{
    const int query = ++vSizeQuery;
    QPointer<TPlayerPanel> panel(this);
    // Detached: the answer is dropped when the panel has gone or another entry opened since.
    std::thread([panel, query, url, openStatus] {
        const int64_t size = GetUrlSize(url);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [panel, query, size, openStatus] {
                if (panel)
                    panel->networkSizeArrived(query, size, openStatus);
            },
            Qt::QueuedConnection);
    }).detach();
}

void TPlayerPanel::networkSizeArrived(int query, int64_t size, const QString &openStatus)
{
    if (query != vSizeQuery || size <= 0)
        return;
    Q_EMIT status(sizeStatus(size) + openStatus);
}

void TPlayerPanel::fNext()
{
    vBrowse.ClearMultipleSelection();
    if (vVorlane.FileIndex() < vVorlane.FilesCount() - 1)
        vVorlane.Next();
    else
        vVorlane.SetFileIndex(0);
}

void TPlayerPanel::fPrev()
{
    vBrowse.ClearMultipleSelection();
    vVorlane.Prev();
}

void TPlayerPanel::SeekNewPlayPosition()
{
    if (vNewPlayPosition >= 0 && vPlayer)
        vPlayer->ChangePosition(vNewPlayPosition);
}

void TPlayerPanel::finishRecording()
{
    if (!vPlayer || !vPlayer->Recording())
        return;
    // Named and listed in the destination folder chosen now; without one, the recording keeps
    // the folder it was started in.
    const int dest = vSide.DestFolderIndex();
    const QString path = dest >= 0 ? vVorlane.GetFNameForRecordedStream(dest) : QString();
    const QString saved = vPlayer->StopRecording(path);
    vVorlane.NoteRecordingEnded(!saved.isEmpty());
    sSBFastDownload->setIcon(GlyphIcon(TGlyph::Record));
}

void TPlayerPanel::sSBFastDownloadClick()
{
    if (!vPlayer)
        return;
    const int dest = vSide.DestFolderIndex();
    if (vVorlane.ListIndex() <= 0 && vVorlane.Mode() != bmInternetSearch) {
        // A live stream: the first click starts the recording, the second names and lists it.
        if (!vPlayer->Recording()) {
            if (dest < 0 || dest >= vVorlane.FolderListCount() ||
                !vPlayer->StartRecording(vVorlane.FolderList(dest).RootDir + u'/'))
                return;
            sSBFastDownload->setIcon(GlyphIcon(TGlyph::Stop));
            vVorlane.SetLastDestDir(dest);
            vVorlane.NoteRecordingStarted(vVorlane.FolderList(dest).RootDir + u'/');
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
    cached.Title = vVorlane.CurrentFile().Title;
    if (!QFileInfo::exists(cached.DirName + cached.FileName))
        return; // nothing downloaded (yet)
    vVorlane.CopyFileFromCache(cached, dest);
}

// ---------------------------------------------------------------------------------------------
// The playing file while its file or tags change

TPlayerPanel::TPlaybackHold TPlayerPanel::HoldPlayback()
{
    TPlaybackHold hold;
    if (!vPlayer)
        return hold;
    hold.File = vPlayer->CurrentFile();
    hold.Playing = vPlayer->Played();
    hold.Position = vPlayer->GetPosition();
    hold.Open = vPlayer->CloseFile();
    const TFileName current = vVorlane.CurrentFile();
    hold.WasCurrent =
        current.FileName == hold.File.FileName && current.DirName == hold.File.DirName;
    return hold;
}

void TPlayerPanel::ResumePlayback(const TPlaybackHold &hold)
{
    if (!hold.Open || !vPlayer)
        return;
    // The current entry is read again: a naming tool may have given it a new name. A file that
    // is not the current entry (another list's, playing on) is opened as it was.
    const TFileName file = hold.WasCurrent ? vVorlane.CurrentFile() : hold.File;
    if (file.FileName.isEmpty() || !vPlayer->OpenFile(file) || !vPlayer->Play())
        return;
    vPlayer->SetVolume(sTBVolume->value());
    vPlayer->ChangePosition(hold.Position);
    if (!hold.Playing)
        vPlayer->Pause();
}

int TPlayerPanel::BookmarkPosition(QString &timeText) const
{
    const int64_t position = vPlayer ? std::max<int64_t>(0, vPlayer->GetPosition()) : 0;
    timeText = vPlayer ? vPlayer->ByteLengthToTime(position) : QStringLiteral("00:00");
    // Bookmarks keep 32-bit positions: over three hours of CD-quality sound.
    return int(std::min<int64_t>(position, INT_MAX));
}

} // namespace vorlane
