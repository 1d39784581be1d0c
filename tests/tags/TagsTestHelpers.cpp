#include "tests/tags/TagsTestHelpers.h"

#include "tags/ID3v2Frame.h"

#include <QFile>
#include <QFileInfo>

namespace vorlane::test {

QByteArray RealMp3()
{
    static const QByteArray mp3 = [] {
        QTemporaryDir dir;
        const QString path = dir.filePath("tone.mp3");
        if (!MakeMedia(path, {"-f", "lavfi", "-i", "sine=frequency=440:duration=0.5", "-c:a",
                              "libmp3lame", "-b:a", "64k", "-id3v2_version", "0", "-write_id3v1",
                              "0", "-write_xing", "0"}))
            return QByteArray();
        return ReadFile(path);
    }();
    return mp3;
}

namespace {

QByteArray samples(int n)
{
    QByteArray s(n, '\0');
    for (int i = 0; i < n; ++i)
        s[i] = char((i * 37) ^ (i >> 3));
    return s;
}

} // namespace

QByteArray MakeWave(int dataBytes)
{
    QByteArray fmt = Bytes("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00");
    QByteArray body = "WAVE" + QByteArray("fmt ") + test::Le32(16) + fmt + "data" +
                      test::Le32(dataBytes) + samples(dataBytes);
    if (dataBytes & 1)
        body.append('\0');
    return "RIFF" + test::Le32(uint32_t(body.size())) + body;
}

QByteArray MakeAiff(int dataBytes)
{
    // COMM: channels 1, frames, 16 bits, 80-bit 8000 Hz.
    const QByteArray comm = Bytes("\x00\x01") + test::Be32(uint32_t(dataBytes / 2)) +
                            Bytes("\x00\x10") + Bytes("\x40\x0b\xfa\x00\x00\x00\x00\x00\x00\x00");
    QByteArray ssnd = test::Be32(0) + test::Be32(0) + samples(dataBytes);
    QByteArray body = "AIFF" + QByteArray("COMM") + test::Be32(uint32_t(comm.size())) + comm +
                      "SSND" + test::Be32(uint32_t(ssnd.size())) + ssnd;
    if (ssnd.size() & 1)
        body.append('\0');
    return "FORM" + test::Be32(uint32_t(body.size())) + body;
}

QByteArray AudioPayload(const QByteArray &file)
{
    qsizetype at = 0;
    while (file.size() - at >= 10 && file.mid(at, 3) == "ID3") {
        const auto *h = reinterpret_cast<const uint8_t *>(file.constData() + at);
        at += 10 + qsizetype(DecodeSyncsafe(h + 6)) + ((h[5] & 0x10) ? 10 : 0);
    }
    at = std::min(at, file.size());
    qsizetype end = file.size();
    if (end - at >= 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;
    return file.mid(at, end - at);
}

QString Scratch::Put(const QString &name, const QByteArray &bytes) const
{
    const QString path = Path(name);
    WriteFile(path, bytes);
    return path;
}

QString Scratch::CopyCorpus(const QString &name) const
{
    const QString path = Path(name);
    QFile::remove(path);
    QFile::copy(CorpusDir() + "/" + name, path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

QStringList Scratch::Entries() const
{
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString CorpusDir()
{
    const QString shared = SharedTestDataDir();
    if (shared.isEmpty() || !QFileInfo(shared + "/tags").isDir())
        return {};
    return shared + "/tags";
}

} // namespace vorlane::test
