#pragma once
// TMpris: the program as a media player on the session bus, for media keys, lock screens and
// desktop panels: the bus name org.mpris.MediaPlayer2.vorlane with the object
// /org/mpris/MediaPlayer2 and its two interfaces (TMprisRootAdaptor, TMprisPlayerAdaptor).
//
// It drives the window only as its user does, through the player and browse panels: commands
// are posted for the main timer's player tick, entries open through the controller's event 7.
// Every main-timer tick (Refresh) it compares what the bus was last told with the window's state
// and sends PropertiesChanged for what changed, and Seeked after a seek, whoever made it.
//
// Main thread only. The bus connection is TDesktopPresence's.

#include "app/desktop/MprisRules.h"
#include "tags/TagEditor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QVariantMap>

namespace vorlane {

class TMainWindow;
class TMprisPlayerAdaptor;
class TPlayerPort;

inline constexpr char kMprisService[] = "org.mpris.MediaPlayer2.vorlane";
inline constexpr char kMprisPath[] = "/org/mpris/MediaPlayer2";
// The installed menu entry's name (vorlane.desktop) without its extension.
inline constexpr char kDesktopEntry[] = "vorlane";

class TMpris : public QObject {
    Q_OBJECT

public:
    TMpris(TMainWindow &window, const QDBusConnection &bus, QObject *parent);
    ~TMpris() override;

    // Registers the object and takes the bus name. False, with nothing left registered, when
    // the bus refuses either (another program holds the name).
    bool Register();
    // One main-timer tick: PropertiesChanged for what changed since the last, Seeked after a seek.
    void Refresh();

    // ---- org.mpris.MediaPlayer2 ----
    void Raise();
    void Quit();

    // ---- org.mpris.MediaPlayer2.Player ----
    QString PlaybackStatus() const;
    qlonglong Position() const;
    double Volume() const;
    void SetVolume(double volume);
    QVariantMap Metadata() const { return vMetadata; }
    bool CanGoNext() const;
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const;
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong offsetUs);
    void SetPosition(const QDBusObjectPath &trackId, qlonglong positionUs);
    // A local file (a path or file URL) opens as an entry of its folder list, which becomes the
    // current view (a new folder list when no list holds it); an http, https or ftp address
    // opens as the single link of the search list. Either way it plays as a browse-list entry
    // does: the main timer opens it. Before the player has arrived, the first tick that has one
    // opens it.
    void OpenUri(const QString &uri);

private:
    TPlayerPort *player() const;
    TPlayState state() const;
    int64_t lengthUs() const;
    int64_t bytesOf(int64_t us) const;
    // The open entry's facts (tags and cover of a local file read once per opening).
    void readTrack();
    void openLocal(const QString &path);
    void propertiesChanged(const char *interface, const QVariantMap &changed);
    QVariantMap playerProperties() const;

    TMainWindow &vWindow;
    QDBusConnection vBus;
    TMprisPlayerAdaptor *vPlayerAdaptor = nullptr;
    bool vRegistered = false;

    TTagEditor vTags;
    QString vTrackPath;   // the open entry's path or address, empty when nothing is open
    int vTrackNumber = 0; // counts openings, for the track ids
    QString vCoverFile;   // the cover written for it to the cache
    QVariantMap vMetadata;
    QVariantMap vToldPlayer; // the player properties the bus was last told
    QString vPendingUri;     // an OpenUri that waits for the player
    bool vSeekPosted = false;
    int64_t vLastPositionUs = 0;
    QElapsedTimer vSinceRefresh;
};

} // namespace vorlane
