#pragma once
// TDesktopPresence: the window's part in the user's desktop session over the session bus: the
// media-player interface (TMpris) and desktop notifications (org.freedesktop.Notifications),
// which stand in for the tray's balloon where there is no tray.
//
// The bus is the one DBUS_SESSION_BUS_ADDRESS names, else the user's $XDG_RUNTIME_DIR/bus. A
// missing session bus is not an error: the program goes on without it and says nothing.
// Main thread only.

#include <QObject>
#include <QString>

namespace vorlane {

class TMainWindow;
class TMpris;

class TDesktopPresence : public QObject {
    Q_OBJECT

public:
    explicit TDesktopPresence(TMainWindow &window);
    ~TDesktopPresence() override;

    // Connects to the session bus and offers the media-player interface, refreshed by the
    // window's main timer. Once; the program calls it after the first paint.
    void Start();
    bool OnBus() const { return vOnBus; }
    // The media-player interface, null when it is not on the bus.
    TMpris *Mpris() const { return vMpris; }

    // A desktop notification of the program (a later one replaces the one before). Sent without
    // waiting; nothing happens where no notification service answers. False without a bus.
    bool Notify(const QString &summary, const QString &body);

private:
    TMainWindow &vWindow;
    QString vConnectionName;
    bool vStarted = false;
    bool vOnBus = false;
    TMpris *vMpris = nullptr;
    uint vNotificationId = 0; // the last notification shown, which the next replaces
};

} // namespace vorlane
