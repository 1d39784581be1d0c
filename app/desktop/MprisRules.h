#pragma once
// The media-player interface's rules over plain values: how the volume slider, the player's
// byte positions and the playing entry read on the session bus. Pure functions.

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cstdint>

namespace vorlane {

// The volume slider runs from 1 to 128; the bus speaks of 0.0 to 1.0. Values outside are clamped.
double VolumeToBus(int sliderValue);
int VolumeFromBus(double volume);

// Where the player stands: nothing open (stopped), open and paused, or playing.
enum class TPlayState { Stopped, Paused, Playing };
QString PlaybackStatusText(TPlayState state); // "Stopped", "Paused", "Playing"

// Microseconds of a byte position, given the seconds the player gives for bytesProbe bytes of
// the open stream (linear); 0 when that rate is unknown (nothing open, a zero probe).
int64_t BytesToMicroseconds(int64_t bytes, int64_t bytesProbe, double probeSeconds);
int64_t MicrosecondsToBytes(int64_t us, int64_t bytesProbe, double probeSeconds);

// The playing entry as the bus describes it.
struct TTrackFacts {
    QString TrackId; // an object path naming this opening of the entry
    QString Title;
    QString Artist;
    QString Album;
    QString Url;    // the file's or stream's address: a file URL for a local file
    QString ArtUrl; // a file URL of the cover picture, or empty
    int64_t LengthUs = 0;
};
// The Metadata map: mpris:trackid (object path), mpris:length (when known), xesam:title,
// xesam:artist (a list), xesam:album, xesam:url, mpris:artUrl; empty fields are left out. Empty
// for an empty track id (nothing open).
QVariantMap TrackMetadata(const TTrackFacts &track);

// Where a seek by offsetUs from positionUs lands in a track lengthUs long: before the start is
// the start; past the end (of a track with a known length) is the next track, told by -1.
int64_t SeekLanding(int64_t positionUs, int64_t offsetUs, int64_t lengthUs);

// The media types the program's menu entry lists that are sound ("audio/..."), in its order.
QStringList AudioMimeTypes();

} // namespace vorlane
