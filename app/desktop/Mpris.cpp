// The program as a media player on the session bus.

#include "app/desktop/Mpris.h"
#include "app/browse/BrowsePanel.h"
#include "app/desktop/MprisAdaptors.h"
#include "app/player/PlayerPanel.h"
#include "app/player/PlayerPort.h"
#include "app/player/PlayerTick.h"
#include "app/shell/MainWindow.h"
#include "catalog/Vorlane.h"

#include <QCryptographicHash>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <cstdlib>
#include <utility>

namespace vorlane {

namespace {

constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// Bytes of the open stream whose seconds give the player's rate.
constexpr int64_t kRateProbe = int64_t(1) << 20;
// A position further than this from where playing would have taken it was a seek.
constexpr int64_t kJumpUs = 1500000;
constexpr int kCoverSize = 512;

} // namespace

TMprisRootAdaptor::TMprisRootAdaptor(TMpris *mpris)
    : QDBusAbstractAdaptor(mpris)
    , vMpris(mpris)
{
}

QStringList TMprisRootAdaptor::SupportedUriSchemes() const
{
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
            QStringLiteral("ftp")};
}

TMprisPlayerAdaptor::TMprisPlayerAdaptor(TMpris *mpris)
    : QDBusAbstractAdaptor(mpris)
    , vMpris(mpris)
{
}

TMpris::TMpris(TMainWindow &window, const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , vWindow(window)
    , vBus(bus)
{
    new TMprisRootAdaptor(this);
    vPlayerAdaptor = new TMprisPlayerAdaptor(this);
    vSinceRefresh.start();
}

TMpris::~TMpris()
{
    if (vRegistered) {
        vBus.unregisterService(QLatin1String(kMprisService));
        vBus.unregisterObject(QLatin1String(kMprisPath));
    }
    if (!vCoverFile.isEmpty())
        QFile::remove(vCoverFile);
}

bool TMpris::Register()
{
    if (!vBus.isConnected() || !vBus.registerObject(QLatin1String(kMprisPath), this))
        return false;
    if (!vBus.registerService(QLatin1String(kMprisService))) {
        vBus.unregisterObject(QLatin1String(kMprisPath));
        return false;
    }
    vRegistered = true;
    vToldPlayer = playerProperties();
    return true;
}

// ---- What the window shows ----

TPlayerPort *TMpris::player() const
{
    return vWindow.PlayerPanel().Player();
}

TPlayState TMpris::state() const
{
    TPlayerPort *p = player();
    if (!p)
        return TPlayState::Stopped;
    if (p->Played())
        return TPlayState::Playing;
    return p->BytesToSeconds(kRateProbe) > 0 ? TPlayState::Paused : TPlayState::Stopped;
}

int64_t TMpris::lengthUs() const
{
    TPlayerPort *p = player();
    if (!p)
        return 0;
    return BytesToMicroseconds(p->GetSize(), kRateProbe, p->BytesToSeconds(kRateProbe));
}

int64_t TMpris::bytesOf(int64_t us) const
{
    TPlayerPort *p = player();
    return p ? MicrosecondsToBytes(us, kRateProbe, p->BytesToSeconds(kRateProbe)) : 0;
}

QString TMpris::PlaybackStatus() const
{
    return PlaybackStatusText(state());
}

qlonglong TMpris::Position() const
{
    TPlayerPort *p = player();
    if (!p || state() == TPlayState::Stopped)
        return 0;
    return BytesToMicroseconds(p->GetPosition(), kRateProbe, p->BytesToSeconds(kRateProbe));
}

double TMpris::Volume() const
{
    return VolumeToBus(vWindow.PlayerPanel().sTBVolume->value());
}

void TMpris::SetVolume(double volume)
{
    // The slider hands the value on to the player, as when the user moves it.
    vWindow.PlayerPanel().sTBVolume->setValue(VolumeFromBus(volume));
    Refresh();
}

bool TMpris::CanGoNext() const
{
    return player() && !vWindow.Controller()->CurrentFile().IsEmpty();
}

bool TMpris::CanPlay() const
{
    return CanGoNext();
}

bool TMpris::CanPause() const
{
    return state() != TPlayState::Stopped;
}

bool TMpris::CanSeek() const
{
    return state() != TPlayState::Stopped && lengthUs() > 0;
}

// ---- Commands ----

void TMpris::Raise()
{
    vWindow.RestoreWindow();
}

void TMpris::Quit()
{
    // After the reply has gone: closing runs the close sequence.
    QTimer::singleShot(0, &vWindow, &QWidget::close);
}

void TMpris::Play()
{
    switch (state()) {
    case TPlayState::Paused: vWindow.PlayerPanel().PostCommand(pcPause); break;
    case TPlayState::Stopped:
        if (CanPlay())
            vWindow.PlayerPanel().fOpenFile();
        break;
    case TPlayState::Playing: break;
    }
}

void TMpris::Pause()
{
    if (state() == TPlayState::Playing)
        vWindow.PlayerPanel().PostCommand(pcPause);
}

void TMpris::PlayPause()
{
    if (state() == TPlayState::Stopped)
        Play();
    else
        vWindow.PlayerPanel().PostCommand(pcPause);
}

void TMpris::Stop()
{
    if (state() != TPlayState::Stopped)
        vWindow.PlayerPanel().PostCommand(pcStop);
}

void TMpris::Next()
{
    if (CanGoNext())
        vWindow.PlayerPanel().fNext();
}

void TMpris::Previous()
{
    if (CanGoNext())
        vWindow.PlayerPanel().fPrev();
}

void TMpris::Seek(qlonglong offsetUs)
{
    if (!CanSeek())
        return;
    const int64_t target = SeekLanding(Position(), offsetUs, lengthUs());
    if (target < 0) {
        Next();
        return;
    }
    vWindow.PlayerPanel().PostSeek(bytesOf(target));
    vSeekPosted = true;
}

void TMpris::SetPosition(const QDBusObjectPath &trackId, qlonglong positionUs)
{
    // Only for the track the caller saw, and within it.
    if (!CanSeek() ||
        trackId.path() !=
            vMetadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path() ||
        positionUs < 0 || positionUs > lengthUs())
        return;
    vWindow.PlayerPanel().PostSeek(bytesOf(positionUs));
    vSeekPosted = true;
}

void TMpris::OpenUri(const QString &uri)
{
    // Asked for before the player has arrived (a file opened with the program at its start):
    // opened by the first tick that has one.
    if (!player()) {
        vPendingUri = uri;
        return;
    }
    const QUrl url(uri);
    const QString scheme = url.scheme().toLower();
    if (url.isLocalFile() || (scheme.isEmpty() && uri.startsWith(u'/'))) {
        const QFileInfo file(url.isLocalFile() ? url.toLocalFile() : uri);
        if (file.isFile())
            openLocal(file.absoluteFilePath());
        return;
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
        scheme != QLatin1String("ftp"))
        return;
    TVorlane &c = *vWindow.Controller();
    c.OpenExtFileList(url.toString(QUrl::FullyEncoded), true);
    vWindow.Browse().RefillBrowse();
    c.SetFileIndex(0);
}

void TMpris::openLocal(const QString &path)
{
    TVorlane &c = *vWindow.Controller();
    const auto findIn = [&c, &path](int &list, int &entry) {
        // A list rooted at the file's own folder first, then any list that holds it.
        const QString folder = QFileInfo(path).absolutePath();
        list = entry = -1;
        for (const bool ownFolder : {true, false}) {
            for (int i = 0; i < c.FolderListCount(); ++i) {
                const TFileList &l = c.FolderList(i);
                if (ownFolder && QDir(l.RootDir) != QDir(folder))
                    continue;
                for (int k = 0; k < l.Count(); ++k) {
                    if (l.At(k).DirName + l.At(k).FileName == path) {
                        list = i;
                        entry = k;
                        return;
                    }
                }
            }
        }
    };
    int list = -1;
    int entry = -1;
    findIn(list, entry);
    if (list < 0) {
        vWindow.addFolderList(QFileInfo(path).absolutePath(), false);
        findIn(list, entry);
        if (list < 0)
            return; // not a file the folder lists take (not a sound file, a hidden one)
    }
    c.SetMode(bmComputerLists);
    c.SetVisibleListIndex(list);
    c.SetMode(bmComputerFiles);
    vWindow.Browse().RefillBrowse();
    const TFileName current = c.CurrentFile();
    if (c.FileIndex() == entry && current.DirName + current.FileName == path)
        vWindow.PlayerPanel().fOpenFile(); // already current: opened again at once
    else
        c.SetFileIndex(entry);
}

// ---- Telling the bus ----

void TMpris::readTrack()
{
    TPlayerPort *p = player();
    const TFileName file = p && state() != TPlayState::Stopped ? p->CurrentFile() : TFileName();
    const QString path = file.DirName + file.FileName;
    const int64_t length = lengthUs();
    if (path == vTrackPath &&
        length == vMetadata.value(QStringLiteral("mpris:length")).toLongLong())
        return;
    TTrackFacts t;
    if (path != vTrackPath) {
        vTrackPath = path;
        if (!vCoverFile.isEmpty())
            QFile::remove(vCoverFile);
        vCoverFile.clear();
        if (path.isEmpty()) {
            vMetadata.clear();
            return;
        }
        ++vTrackNumber;
    }
    t.TrackId = QStringLiteral("/org/vorlane/track/%1").arg(vTrackNumber);
    t.Title = file.Title.isEmpty() ? file.FileName : file.Title;
    t.LengthUs = length;
    const bool local = !file.IsNetwork() && QFileInfo(path).isFile();
    t.Url = local ? QUrl::fromLocalFile(path).toString() : path;
    if (local) {
        vTags.SetFile(path);
        if (vTags.Enabled()) {
            TTag v1;
            TTag v2;
            vTags.GetTagV1(v1);
            vTags.GetTagV2(v2);
            const auto pick = [](const QString &a, const QString &b) {
                return a.trimmed().isEmpty() ? b.trimmed() : a.trimmed();
            };
            t.Title = pick(pick(v2.Title, v1.Title), t.Title);
            t.Artist = pick(v2.Artist, v1.Artist);
            t.Album = pick(v2.Album, v1.Album);
            if (vCoverFile.isEmpty()) {
                vTags.GetCoverArt(kCoverSize, kCoverSize);
                // A name of its own per track: desktop panels keep pictures by their address.
                const QString name = QString::fromLatin1(
                    QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex(), 12);
                const QString cache = vWindow.ProgramDataDir() + QStringLiteral("VL4Conf/Cache/");
                QDir().mkpath(cache);
                const QString cover =
                    cache + QStringLiteral("cover-") + name + QStringLiteral(".png");
                if (!vTags.CoverArt.isNull() && vTags.CoverArt.save(cover, "PNG"))
                    vCoverFile = cover;
            }
        }
        if (!vCoverFile.isEmpty())
            t.ArtUrl = QUrl::fromLocalFile(vCoverFile).toString();
    }
    vMetadata = TrackMetadata(t);
}

QVariantMap TMpris::playerProperties() const
{
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
        {QStringLiteral("Volume"), Volume()},
        {QStringLiteral("Metadata"), vMetadata},
        {QStringLiteral("CanGoNext"), CanGoNext()},
        {QStringLiteral("CanGoPrevious"), CanGoNext()},
        {QStringLiteral("CanPlay"), CanPlay()},
        {QStringLiteral("CanPause"), CanPause()},
        {QStringLiteral("CanSeek"), CanSeek()},
    };
}

void TMpris::Refresh()
{
    if (!vRegistered)
        return;
    if (!vPendingUri.isEmpty() && player())
        OpenUri(std::exchange(vPendingUri, QString()));
    readTrack();
    const QVariantMap now = playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (vToldPlayer.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    vToldPlayer = now;
    if (!changed.isEmpty())
        propertiesChanged(kPlayerInterface, changed);

    // Seeked: after a seek asked here has been made, or when the position jumped.
    const int64_t position = Position();
    const int64_t elapsedUs = vSinceRefresh.restart() * 1000;
    const bool sameTrack = !changed.contains(QStringLiteral("Metadata"));
    const int64_t expected =
        vLastPositionUs + (state() == TPlayState::Playing ? elapsedUs : int64_t(0));
    const bool made = vSeekPosted && vWindow.PlayerPanel().PendingPlayerCommand() != pcSeek;
    if (made ||
        (sameTrack && state() != TPlayState::Stopped && std::llabs(position - expected) > kJumpUs))
        Q_EMIT vPlayerAdaptor->Seeked(position);
    if (made)
        vSeekPosted = false;
    vLastPositionUs = position;
}

void TMpris::propertiesChanged(const char *interface, const QVariantMap &changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kMprisPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interface) << changed << QStringList();
    vBus.send(signal);
}

} // namespace vorlane
