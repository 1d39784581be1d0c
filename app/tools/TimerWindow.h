#pragma once
// TTimerWindow: the sleep timer. The user chooses the minutes and one action (stop playback,
// close the program, power the computer down) and starts it; one minute before the end a notice
// announces the action. The rules are TSleepTimer's (app/tools/SleepTimer.h); the window feeds it
// the gestures and the time and carries out what comes due through TTimerActions. PMSleepTimer
// (Ctrl+T) shows and hides it. Main thread only.

#include "app/tools/SleepTimer.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace vorlane {

class TIniFile;

// Powering the computer down. The program's goes to systemd-logind on the system bus; tests hand
// in their own.
class TPowerControl {
public:
    virtual ~TPowerControl() = default;
    // Hibernates when the system says it can, else suspends; false when the request was refused
    // or there was nobody to ask.
    virtual bool PowerDown() = 0;
};

// logind's method for a CanHibernate answer: "Hibernate" for "yes", else "Suspend".
QString PowerDownMethod(const QString &canHibernate);

// org.freedesktop.login1 over QtDBus.
std::unique_ptr<TPowerControl> CreateLogindPowerControl();

// What the window does to the rest of the program.
struct TTimerActions {
    std::function<void()> StopPlayback;
    std::function<void()> PausePlayback;
    std::function<void()> CloseProgram;
    std::function<void(const QString &)> Notice; // the indicator window
    std::function<void(const QString &)> Status; // the main status line
};

class TTimerWindow : public QWidget {
    Q_OBJECT

public:
    // How often the clock is looked at.
    static constexpr int kTickMs = 1000;

    TTimerWindow(TTimerActions actions, std::unique_ptr<TPowerControl> power,
                 QWidget *parent = nullptr);

    // Milliseconds of a monotonic clock; tests replace it.
    void SetClock(std::function<qint64()> now) { vNow = std::move(now); }
    // One look at the clock (the timer's tick): the warning and the action when due.
    void TimerTimer();
    const TSleepTimer &Rules() const { return vRules; }
    // Captions from the language file (push buttons included) and the window's own caption.
    void ApplyTexts(const TIniFile &ini, const QString &section);
    // Shows or hides the window (the menu item).
    void Toggle();

    QLineEdit *sETimeValue = nullptr;
    QToolButton *sSBUpTime = nullptr;
    QToolButton *sSBDownTime = nullptr;
    QLabel *sL1 = nullptr;
    QRadioButton *sRBStopPlay = nullptr;
    QRadioButton *sRBCloseProgram = nullptr;
    QRadioButton *sRBShutDownComputer = nullptr;
    QPushButton *sSBApply = nullptr;
    QPushButton *sSBDisable = nullptr;
    QTimer *Timer = nullptr;

private:
    void build();
    void showRules();
    void apply();
    void disable();
    void act(TSleepAction action);

    TTimerActions vActions;
    std::unique_ptr<TPowerControl> vPower;
    std::function<qint64()> vNow;
    TSleepTimer vRules;
};

} // namespace vorlane
