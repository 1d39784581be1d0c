#pragma once
// TInetTimers: what the window does for the internet catalogue besides taking event codes (the
// connection check itself is InetStartTimer's): the cache refresh every two hours
// (RefreshCacheTimer), and on every main-timer tick the controller's notices (a service whose
// Config.ini key is empty) and the progress of an internet list's download, both in the status
// line. Every network wait is on the controller's workers; main thread only.

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace vorlane {

class TVorlane;

class TInetTimers : public QObject {
    Q_OBJECT

public:
    static constexpr int kRefreshCacheMs = 7200000; // two hours

    // `status` shows a text in the status line. With startTimers the two-hour timer runs (the
    // program's case; tests call the handlers themselves).
    TInetTimers(TVorlane &vorlane, std::function<void(const QString &)> status, bool startTimers,
                QObject *parent);

    QTimer *RefreshCacheTimer() const { return vRefreshCacheTimer; }
    // A refresh of the cache, unless the network is off or a refresh still runs.
    void RefreshCacheTimerTimer();
    // One main-timer tick: the notices, then the list download's progress when it changed.
    void Tick();

private:
    TVorlane &vVorlane;
    std::function<void(const QString &)> vStatus;
    QTimer *vRefreshCacheTimer = nullptr;
    QString vShownProgress; // the download status last shown; empty when none runs
};

} // namespace vorlane
