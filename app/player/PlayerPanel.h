#pragma once
// TPlayerPanel: the player controls (buttons, position bar, time, speed and volume sliders, the
// stream button sSBFastDownload, the visual indicator) and the waveform strip, and the player
// behind them. Buttons, keys and the position bars post a player command; the main timer carries
// it out in its player tick (RunPlayerCommand, RunPlayerTick, FinishTick), which also refreshes
// the display and applies the repeat mode at the end of a track. fOpenFile opens and plays the
// controller's current entry.
//
// The tick also feeds the visual indicator (a frame of its view per tick), the waveform strip
// (the play cursor, and the overview once its analysis is done) and the mini player. fOpenFile
// starts the waveform analysis of a local file, one at a time: opening another entry cancels the
// running one. The panel owns the sound window (whose settings every player it is given takes),
// the mini player and the sleep timer, which acts on the player.
//
// The player comes from the engine module (TPlayerLoader, after the first paint) or from a test
// (SetPlayer); until then the tick has nothing to do.
//
// Main thread only; the size of a network entry is asked on a worker (fOpenFile) and reported
// when it arrives.

#include "app/player/PlayerPort.h"
#include "catalog/CatalogTypes.h"

#include <QObject>
#include <QPoint>

#include <memory>

class QBoxLayout;
class QLineEdit;
class QProgressBar;
class QSlider;
class QToolButton;

namespace vorlane {

class TBrowsePanel;
class TMiniPlayerWindow;
class TIniFile;
class TSoundProcWindow;
class TTimerWindow;
class TPeaksStrip;
class TPlayerLoader;
class TSidePanel;
class TVisualIndicator;
class TVorlane;
struct TMenus;

class TPlayerPanel : public QObject {
    Q_OBJECT

public:
    // Builds the controls into `controls` and the waveform strip into `strip`. The menus give
    // the play option, the repeat mode and the notices option; the browse panel the rows that
    // open; the side panel the destination folder of a recording.
    TPlayerPanel(TVorlane &vorlane, const TMenus &menus, TBrowsePanel &browse, TSidePanel &side,
                 QBoxLayout *controls, QBoxLayout *strip, QObject *parent);
    ~TPlayerPanel() override;

    // ---- The player ----

    // The data folder, ending in "/" (the stream cache and its files lie under it).
    void SetProgramDataDir(const QString &dir) { vProgramDataDir = dir; }
    // The effect settings read at start: the sound window takes them, and each player the panel
    // is given takes the window's.
    void SetEffects(const TSoundProcConfig &effects);
    TSoundProcWindow *SoundWindow() const { return vSoundWindow; }
    TMiniPlayerWindow *MiniPlayer() const { return vMini; }
    TTimerWindow *TimerWindow() const { return vTimerWindow; }
    // The captions of the panel's windows from the language section.
    void ApplyTexts(const TIniFile &ini, const QString &section);
    // The main window was minimised (true) or came back: the mini player stands in for it while
    // the option is on. True when the mini player is showing now.
    bool ShowMiniPlayerFor(bool minimised);
    // Hands the panel its player (the engine's, or a test double); null plays nothing.
    void SetPlayer(std::unique_ptr<TPlayerPort> player);
    TPlayerPort *Player() const { return vPlayer.get(); }
    // Prepares loading the engine's player; StartLoading (after the first paint) starts it.
    void CreateLoader();
    void StartLoading();
    // The close sequence: playback stops and the player goes; one arriving later is dropped.
    void Shutdown();

    // ---- The player tick (each main-timer tick) ----

    void RunPlayerCommand();
    // Only while playing on selection is on: the end of a track, the time and the position bar.
    void RunPlayerTick();
    // Always, at the end of the tick: the play button's picture, the strip's overview and position
    // mark, the mini player's title and play button.
    void FinishTick();
    // Analyses a local file for the waveform strip (the running analysis is cancelled first).
    void fCreatePeaks(const QString &path, const QString &title);
    // A network file finished downloading into the cache: the stream button is enabled, and the
    // cache file's extension is returned (false when nothing finished).
    bool TakeDownloadCompleted(QString &ext);

    // ---- Commands ----

    // Posts a player command for the next tick (a later one replaces it).
    void PostCommand(int command) { vPendingPlayerCommand = command; }
    // Posts a seek to a byte position (the waveform strip; command 5).
    void PostSeek(int64_t target);
    void VolumeStep(int steps);
    // Open and play the controller's current entry; next and previous entry.
    void fOpenFile();
    void fNext();
    void fPrev();
    // The stream button: outside the search results and with the first list (or none) shown,
    // starts or ends the recording of the playing stream into the destination folder list;
    // otherwise saves the downloaded network file from the cache into it, as a copy.
    void sSBFastDownloadClick();
    // Ends a stream recording the way the stream button's second click does: named, listed in
    // the destination folder and reported (event 27).
    void finishRecording();
    // Where a bookmark jump asks the next opened file to seek to (negative: nowhere).
    void SetNewPlayPosition(int position) { vNewPlayPosition = position; }
    // After a bookmark jump (codes 13, 14): seeks there when a position is set.
    void SeekNewPlayPosition();

    // The playing file is closed while its file or tags are changed and opened again after, at
    // the same place (under its new name when it was renamed).
    struct TPlaybackHold {
        bool Open = false;
        bool Playing = false;
        bool WasCurrent = false; // it was the controller's current entry
        int64_t Position = 0;
        TFileName File;
    };
    TPlaybackHold HoldPlayback();
    void ResumePlayback(const TPlaybackHold &hold);
    // The player's position and its time text, for bookmarks.
    int BookmarkPosition(QString &timeText) const;

    // ---- What tests look at ----
    int PendingPlayerCommand() const { return vPendingPlayerCommand; }
    int64_t PosRegulatorValue() const { return vPosRegulatorValue; }
    bool PositionChange() const { return vPositionChange; }
    int NewPlayPosition() const { return vNewPlayPosition; }

    // ---- Controls ----
    QToolButton *sSBPlayerUp = nullptr;
    QToolButton *sSBPlay = nullptr;
    QToolButton *sSBPlayerStop = nullptr;
    QToolButton *sSBPlayerDown = nullptr;
    QLineEdit *sETimeIndicator = nullptr;
    QProgressBar *sPBPositionRegulator = nullptr;
    QToolButton *sSBFastDownload = nullptr;
    QSlider *sTBPlaySpeed = nullptr;
    QSlider *sTBVolume = nullptr;
    TVisualIndicator *IVisualIndicator = nullptr;
    TPeaksStrip *PBPeaksIndicator = nullptr;

Q_SIGNALS:
    void status(const QString &text);
    // The mini player asks for the main window back; it or the sleep timer for the program to
    // close.
    void restoreRequested();
    void closeRequested();
    // A notice for the indicator window (the sleep timer's).
    void notice(const QString &text);
    // fOpenFile made `entry` current in `mode` (the name editor and the tag sheet follow).
    void entryOpened(const TFileName &entry, TBrowseMode mode);
    // An entry started playing: its title, for the notices.
    void titlePlaying(const QString &title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build(QBoxLayout *controls, QBoxLayout *strip);
    void positionBarMouse(QMouseEvent *event);
    // The size of a network entry, asked on a worker: shown with the status of its opening when
    // it arrives and the entry is still current.
    void askNetworkSize(const QString &url, const QString &openStatus);
    void networkSizeArrived(int query, int64_t size, const QString &openStatus);

    TVorlane &vVorlane;
    const TMenus &vMenus;
    TBrowsePanel &vBrowse;
    TSidePanel &vSide;
    QString vProgramDataDir;
    void buildWindows(QWidget *window);
    void setTimeAndPosition(QLineEdit *time, QProgressBar *bar);

    TSoundProcWindow *vSoundWindow = nullptr;
    TMiniPlayerWindow *vMini = nullptr;
    TTimerWindow *vTimerWindow = nullptr;
    bool vPeaksWanted = false; // an analysis was started and its overview is not shown yet
    std::unique_ptr<TPlayerPort> vPlayer;
    TPlayerLoader *vPlayerLoader = nullptr;
    bool vShutDown = false;

    int vPendingPlayerCommand = 0; // PendingPlayerCommand
    int64_t vPosRegulatorValue = 0;
    bool vPositionChange = false;
    int vNewPlayPosition = -1;
    bool vSeekFromBar = false; // the pending seek came from the position bar
    QPoint vSeekHintAt;        // where its hint stood
    int vSizeQuery = 0;        // the last network size asked; older answers are stale
};

} // namespace vorlane
