#pragma once
// The sleep timer's rules without a window or a clock of its own: the minutes field, the chosen
// action, arming, the warning one minute before the end, and the action itself. The timer window
// feeds it the user's gestures and the time (milliseconds of a monotonic clock; tests pass a fake
// one), and carries out what Due() reports: a message in the indicator window, stopping the
// player, closing the main window, or the power-down. Main thread only.

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace vorlane {

enum class TSleepAction { None = 0, StopPlayback = 1, CloseProgram = 2, PowerDown = 3 };

// What came due: the warning one minute before, or the action itself.
struct TSleepEvent {
    enum class Kind { Warning, Action };
    Kind kind;
    TSleepAction action;
};

class TSleepTimer {
public:
    static constexpr int kStartMinutes = 30;
    static constexpr qint64 kMinuteMs = 60000;

    int Minutes() const { return vMinutes; }
    // The text the minutes field shows.
    QString MinutesText() const { return vText; }
    TSleepAction Action() const { return vAction; }
    // The Apply button: enabled by choosing an action, disabled while armed, enabled again by the
    // action and by Disable.
    bool ApplyEnabled() const { return vApplyEnabled; }
    bool Armed() const { return vActionAt.has_value(); }

    // The up and down buttons: one minute more; one less, never below 1.
    void StepUp();
    void StepDown();
    // The field was edited: an empty text or "0" becomes "1"; digits set the minutes. A text that
    // is no whole number of minutes from 1 to kMaxMinutes (too long, too large) is refused: the
    // field goes back to the last value. Returns the text the field shows now.
    QString EditMinutes(const QString &text);
    static constexpr int kMaxMinutes = 35791; // the most minutes whose milliseconds fit in 31 bits

    // A radio button chose the action; Apply becomes enabled.
    void ChooseAction(TSleepAction action);

    // Arms the timer at `nowMs`: the action comes Minutes() minutes later, the warning one minute
    // before it (none with 1 minute). Apply is disabled. Re-applying re-arms from now.
    void Apply(qint64 nowMs);
    // Stops both the action and the warning; Apply is enabled.
    void Disable();

    // What has come due by `nowMs`, in order (a warning before its action), each reported once.
    // After the action the timer is idle, Apply is enabled and the minutes are 1; the chosen
    // action stays chosen.
    std::vector<TSleepEvent> Due(qint64 nowMs);

private:
    void SetMinutes(int minutes);

    int vMinutes = kStartMinutes;
    QString vText = QString::number(kStartMinutes);
    TSleepAction vAction = TSleepAction::None;
    bool vApplyEnabled = false;
    std::optional<qint64> vActionAt;
    std::optional<qint64> vWarningAt;
};

// The message keys the window shows: when the timer is armed (followed by " " + minutes + " " +
// SM_MINUTE) and with the warning. "" for TSleepAction::None.
const char *SleepArmedMessageKey(TSleepAction action);
const char *SleepWarningMessageKey(TSleepAction action);

} // namespace vorlane
