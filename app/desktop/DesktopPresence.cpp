// The window's part in the desktop session.

#include "app/desktop/DesktopPresence.h"
#include "app/desktop/Mpris.h"
#include "app/shell/MainWindow.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QTimer>

namespace vorlane {

namespace {

// Where the session bus is: the address the session gives, else the user's bus socket.
QString sessionBusAddress()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (!runtime.isEmpty() && QFileInfo(socket).exists() && !QFileInfo(socket).isFile())
        return QStringLiteral("unix:path=") + socket;
    return {};
}

} // namespace

TDesktopPresence::TDesktopPresence(TMainWindow &window)
    : QObject(&window)
    , vWindow(window)
    , vConnectionName(QStringLiteral("vorlane-desktop-%1").arg(quintptr(this), 0, 16))
{
}

TDesktopPresence::~TDesktopPresence()
{
    delete vMpris;
    vMpris = nullptr;
    if (vStarted)
        QDBusConnection::disconnectFromBus(vConnectionName);
}

void TDesktopPresence::Start()
{
    if (vStarted)
        return;
    vStarted = true;
    const QString address = sessionBusAddress();
    if (address.isEmpty())
        return;
    // A connection of the window's own, not the process's shared one: it goes with the window.
    const QDBusConnection bus = QDBusConnection::connectToBus(address, vConnectionName);
    if (!bus.isConnected())
        return;
    vOnBus = true;
    auto *mpris = new TMpris(vWindow, bus, nullptr);
    if (!mpris->Register()) {
        delete mpris;
        return;
    }
    vMpris = mpris;
    connect(vWindow.MainTimer(), &QTimer::timeout, mpris, &TMpris::Refresh);
}

bool TDesktopPresence::Notify(const QString &summary, const QString &body)
{
    if (!vOnBus)
        return false;
    QDBusConnection bus(vConnectionName);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QLatin1String(kDesktopEntry)}};
    call << QStringLiteral("Vorlane") << vNotificationId << QLatin1String(kDesktopEntry) << summary
         << body << QStringList() << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            vNotificationId = reply.value();
        w->deleteLater();
    });
    return true;
}

} // namespace vorlane
