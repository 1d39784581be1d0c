#pragma once
// Helpers shared by the tag tests: byte literals, stand-in audio and scratch copies.

#include "tests/support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>

namespace vorlane::test {

// Bytes of a literal, embedded zero bytes included: Bytes("TIT2\0\0\0\x07").
template <std::size_t N>
QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

// A real MP3 made by ffmpeg once per process (0.5 s of tone), or empty when ffmpeg failed.
QByteArray RealMp3();

// A minimal RIFF WAVE (fmt + data) or AIFF (COMM + SSND) with `dataBytes` bytes of samples.
QByteArray MakeWave(int dataBytes = 1000);
QByteArray MakeAiff(int dataBytes = 1000);

// The tag-less bytes after a leading ID3v2 tag and before a trailing ID3v1 tag.
QByteArray AudioPayload(const QByteArray &file);

// A scratch folder per test.
class Scratch {
public:
    Scratch()
        : dir_(QDir::tempPath() + "/vorlane-tags-XXXXXX")
    {
    }
    QString Path(const QString &name) const { return dir_.filePath(name); }
    // Writes the bytes to a new file in the folder and returns its path.
    QString Put(const QString &name, const QByteArray &bytes) const;
    // Copies a file of the shared corpus (tags/) into the folder, writable.
    QString CopyCorpus(const QString &name) const;
    QStringList Entries() const;

private:
    QTemporaryDir dir_;
};

QString CorpusDir(); // SharedTestDataDir() + "/tags", or empty

} // namespace vorlane::test
