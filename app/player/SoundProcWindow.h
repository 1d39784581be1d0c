#pragma once
// TSoundProcWindow: the sound-processing window. Ten band sliders under their frequency legend,
// the five presets, the equaliser switch, and the echo and compressor switches and sliders.
//
// It holds the "SoundProc" settings as the user sees them (Settings()): read from Config.ini at
// start (Load), handed whole to each player the panel is given (ApplyTo), and written back at
// exit. Every change goes to the player at once, where the playing chain takes it without a
// click. The main window's PMCSPEqEnabled (Ctrl+E) mirrors the equaliser switch and
// PMCSPConfigure (Ctrl+P) shows and hides the window. Main thread only.

#include "app/player/PlayerPort.h"
#include "base/PlayerRules.h"

#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QSlider;

namespace vorlane {

struct TMenus;

class TSoundProcWindow : public QWidget {
    Q_OBJECT

public:
    // `player` gives the player of the moment (null until the engine has arrived).
    TSoundProcWindow(const TMenus &menus, std::function<TPlayerPort *()> player,
                     QWidget *parent = nullptr);

    // The settings read at start: the user preset, the chosen preset (whose positions the sliders
    // take), the switches and the slider values.
    void Load(const TSoundProcSettings &settings);
    // What the window holds now (the equaliser switch is PMCSPEqEnabled's).
    TSoundProcSettings Settings() const;
    // A new player takes every setting.
    void ApplyTo(TPlayerPort &player) const;
    // Before each Play: the three switches as they stand.
    void BeforePlay(TPlayerPort &player) const;
    // The caption of the equaliser switch follows PMCSPEqEnabled's (after a language change).
    void RetranslateSwitch();

    std::array<QSlider *, kEqBands> sTBEq{};
    QSlider *sTBEQPresets = nullptr;
    QLabel *sLEQPresetName = nullptr;
    QCheckBox *sCBEQEnabled = nullptr;
    QCheckBox *sCBEchoEnabled = nullptr;
    QSlider *sTBEchoDelay = nullptr;
    QSlider *sTBEchoLevel = nullptr;
    QCheckBox *sCBCompressorEnabled = nullptr;
    QSlider *sTBCompressionRatio = nullptr;
    QSlider *sTBCompressionLevel = nullptr;

    // The user's own slider positions (vUserEQPreset).
    TEqSliders UserPreset() const { return vEq.user; }

Q_SIGNALS:
    void status(const QString &text);

private:
    void build();
    void bandReleased(int band);
    void presetChosen(int preset);
    void showPreset();
    void eqSwitched(bool on);
    void echoSwitched(bool on);
    void compressorSwitched(bool on);
    void echoMoved();
    void compressorMoved();
    void updateValueTexts();
    TPlayerPort *player() const { return vPlayer ? vPlayer() : nullptr; }

    const TMenus &vMenus;
    std::function<TPlayerPort *()> vPlayer;
    TEqPanel vEq;
    bool vLoading = false; // Load sets the controls without reporting
    QLabel *vEchoDelayValue = nullptr;
    QLabel *vEchoLevelValue = nullptr;
    QLabel *vRatioValue = nullptr;
    QLabel *vThresholdValue = nullptr;
};

} // namespace vorlane
