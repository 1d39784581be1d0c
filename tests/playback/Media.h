#pragma once
// Test media for the engine and player tests, made with the ffmpeg command line at test time.

#include "playback/engine/Source.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vorlane::test {

struct MediaFormat {
    const char *ext;
    QStringList codecArgs; // ffmpeg output options
    int frameSize;         // samples per codec frame (the tolerance of length checks)
};

// The ffmpeg-writable formats the player opens (all but mp1, which ffmpeg cannot encode).
const std::vector<MediaFormat> &WritableFormats();

// Input options of a 3 s stereo test signal (a chirp on the left, a tone on the right) at 44.1 kHz.
QStringList TestSignal(double seconds = 3.0);

// Writes a Layer I (mp1) file of `frames` frames at 32 kHz mono whose decoded sound varies.
bool WriteMp1(const QString &path, int frames);

// Duration in seconds as ffprobe reports it (format duration minus start time), -1 on failure.
double ProbeSeconds(const QString &path);

// Decodes a source to its end.
std::vector<float> DecodeAll(engine::Source &source);

// Peak level in dB of the sine at `hz` in mono-mixed samples (a single-bin DFT with a Hann window).
double ToneDb(const std::vector<float> &interleaved, int channels, int rate, double hz);

} // namespace vorlane::test
