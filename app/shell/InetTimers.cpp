#include "app/shell/InetTimers.h"

#include "catalog/Vorlane.h"

#include <QTimer>

namespace vorlane {

TInetTimers::TInetTimers(TVorlane &vorlane, std::function<void(const QString &)> status,
                         bool startTimers, QObject *parent)
    : QObject(parent)
    , vVorlane(vorlane)
    , vStatus(std::move(status))
{
    vRefreshCacheTimer = new QTimer(this);
    vRefreshCacheTimer->setInterval(kRefreshCacheMs);
    connect(vRefreshCacheTimer, &QTimer::timeout, this, &TInetTimers::RefreshCacheTimerTimer);
    if (startTimers)
        vRefreshCacheTimer->start();
}

void TInetTimers::RefreshCacheTimerTimer()
{
    // The controller starts none while the network is off or while one runs.
    vVorlane.RefreshCache();
}

void TInetTimers::Tick()
{
    // Several notices of one tick are shown together: the status line holds one text.
    const QStringList notices = vVorlane.TakeNotices();
    if (!notices.isEmpty())
        vStatus(notices.join(QStringLiteral("  ")));

    int64_t received = 0;
    int64_t expected = -1;
    if (!vVorlane.ListDownloadProgress(received, expected)) {
        vShownProgress.clear();
        return;
    }
    const QString progress = ListDownloadStatus(received, expected);
    if (progress != vShownProgress) {
        vShownProgress = progress;
        vStatus(progress);
    }
}

} // namespace vorlane
