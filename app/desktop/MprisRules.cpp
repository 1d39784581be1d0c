// The media-player interface's rules over plain values.

#include "app/desktop/MprisRules.h"

#include <QDBusObjectPath>

#include <algorithm>
#include <cmath>

namespace vorlane {

namespace {

constexpr int kVolumeMin = 1;
constexpr int kVolumeMax = 128;

} // namespace

double VolumeToBus(int sliderValue)
{
    const int v = std::clamp(sliderValue, kVolumeMin, kVolumeMax);
    return double(v - kVolumeMin) / double(kVolumeMax - kVolumeMin);
}

int VolumeFromBus(double volume)
{
    if (!std::isfinite(volume))
        return kVolumeMin;
    const double v = std::clamp(volume, 0.0, 1.0);
    return kVolumeMin + int(std::lround(v * (kVolumeMax - kVolumeMin)));
}

QString PlaybackStatusText(TPlayState state)
{
    switch (state) {
    case TPlayState::Playing: return QStringLiteral("Playing");
    case TPlayState::Paused: return QStringLiteral("Paused");
    case TPlayState::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

int64_t BytesToMicroseconds(int64_t bytes, int64_t bytesProbe, double probeSeconds)
{
    if (bytesProbe <= 0 || !(probeSeconds > 0) || !std::isfinite(probeSeconds) || bytes <= 0)
        return 0;
    return int64_t(std::llround(double(bytes) / double(bytesProbe) * probeSeconds * 1e6));
}

int64_t MicrosecondsToBytes(int64_t us, int64_t bytesProbe, double probeSeconds)
{
    if (bytesProbe <= 0 || !(probeSeconds > 0) || !std::isfinite(probeSeconds) || us <= 0)
        return 0;
    return int64_t(std::llround(double(us) / 1e6 / probeSeconds * double(bytesProbe)));
}

QVariantMap TrackMetadata(const TTrackFacts &track)
{
    QVariantMap m;
    if (track.TrackId.isEmpty())
        return m;
    m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(track.TrackId)));
    if (track.LengthUs > 0)
        m.insert(QStringLiteral("mpris:length"), qlonglong(track.LengthUs));
    const auto text = [&m](const char *key, const QString &value) {
        if (!value.isEmpty())
            m.insert(QLatin1String(key), value);
    };
    text("xesam:title", track.Title);
    if (!track.Artist.isEmpty())
        m.insert(QStringLiteral("xesam:artist"), QStringList{track.Artist});
    text("xesam:album", track.Album);
    text("xesam:url", track.Url);
    text("mpris:artUrl", track.ArtUrl);
    return m;
}

int64_t SeekLanding(int64_t positionUs, int64_t offsetUs, int64_t lengthUs)
{
    const int64_t target = std::max<int64_t>(positionUs + offsetUs, 0);
    if (lengthUs > 0 && target > lengthUs)
        return -1;
    return target;
}

QStringList AudioMimeTypes()
{
    // As the menu entry (data/desktop/vorlane.desktop) lists them.
    return {QStringLiteral("audio/mpeg"),         QStringLiteral("audio/mp3"),
            QStringLiteral("audio/x-mp3"),        QStringLiteral("audio/ogg"),
            QStringLiteral("audio/x-vorbis+ogg"), QStringLiteral("audio/flac"),
            QStringLiteral("audio/x-flac"),       QStringLiteral("audio/wav"),
            QStringLiteral("audio/x-wav"),        QStringLiteral("audio/aac"),
            QStringLiteral("audio/mp4"),          QStringLiteral("audio/x-m4a"),
            QStringLiteral("audio/x-m4b"),        QStringLiteral("audio/aiff"),
            QStringLiteral("audio/x-aiff"),       QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("audio/mp2")};
}

} // namespace vorlane
