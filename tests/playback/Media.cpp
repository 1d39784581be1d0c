#include "tests/playback/Media.h"

#include "tests/support/TestSupport.h"

#include <QFile>

#include <cmath>
#include <numbers>

namespace vorlane::test {

const std::vector<MediaFormat> &WritableFormats()
{
    static const std::vector<MediaFormat> formats = {
        {"mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, 1152},
        {"ogg", {"-c:a", "libvorbis"}, 1024},
        {"wav", {"-c:a", "pcm_s16le"}, 1},
        {"mp2", {"-c:a", "mp2", "-b:a", "192k"}, 1152},
        {"aiff", {"-c:a", "pcm_s16be"}, 1},
        {"flac", {"-c:a", "flac"}, 4608},
        {"aac", {"-c:a", "aac", "-b:a", "128k", "-f", "adts"}, 1024},
        {"m4a", {"-c:a", "aac", "-b:a", "128k"}, 1024},
        {"m4b", {"-c:a", "aac", "-b:a", "128k", "-f", "mp4"}, 1024},
        {"wma", {"-c:a", "wmav2", "-b:a", "128k", "-f", "asf"}, 2048},
    };
    return formats;
}

QStringList TestSignal(double seconds)
{
    const QString expr =
        QStringLiteral("aevalsrc=0.5*sin(2*PI*(300+400*t)*t)|0.4*sin(2*PI*660*t):s=44100:d=%1")
            .arg(seconds);
    return {"-f", "lavfi", "-i", expr};
}

namespace {

class BitWriter {
public:
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (pos_ % 8 == 0)
                bytes_.append('\0');
            if ((value >> i) & 1)
                bytes_[bytes_.size() - 1] = static_cast<char>(bytes_.back() | (0x80 >> (pos_ % 8)));
            ++pos_;
        }
    }
    QByteArray &Bytes() { return bytes_; }

private:
    QByteArray bytes_;
    int pos_ = 0;
};

} // namespace

bool WriteMp1(const QString &path, int frames)
{
    // MPEG-1 Layer I, 32 kHz, 384 kbit/s, single channel: 12 × 384000 / 32000 = 144 slots of
    // 4 bytes = 576 bytes per frame, 384 samples. Subbands 1 and 3 carry 8-bit samples from a
    // slowly changing pattern, so the sound differs from frame to frame.
    QByteArray out;
    uint32_t seed = 12345;
    for (int f = 0; f < frames; ++f) {
        BitWriter w;
        w.Put(0xFFF, 12); // sync
        w.Put(1, 1);      // MPEG-1
        w.Put(3, 2);      // Layer I
        w.Put(1, 1);      // no CRC
        w.Put(12, 4);     // 384 kbit/s
        w.Put(2, 2);      // 32 kHz
        w.Put(0, 2);      // no padding, private bit
        w.Put(3, 2);      // single channel
        w.Put(0, 6);      // mode extension, copyright, original, emphasis
        for (int sb = 0; sb < 32; ++sb)
            w.Put(sb == 1 || sb == 3 ? 7 : 0, 4); // 8 bits per sample in two subbands
        w.Put(4, 6);                              // scale factors
        w.Put(6, 6);
        for (int s = 0; s < 12; ++s) {
            for (int sb : {1, 3}) {
                seed = seed * 1103515245u + 12345u;
                const double v = std::sin((f * 12 + s) * (sb == 1 ? 0.3 : 0.11)) * 100.0 + 128.0 +
                                 static_cast<double>((seed >> 16) % 16) - 8.0;
                w.Put(static_cast<uint32_t>(std::clamp(v, 1.0, 254.0)), 8);
            }
        }
        QByteArray frame = w.Bytes();
        frame.resize(576, '\0');
        out += frame;
    }
    return WriteFile(path, out);
}

double ProbeSeconds(const QString &path)
{
    QByteArray out;
    if (path.endsWith(QLatin1String(".aac"))) {
        // ADTS carries no duration; ffprobe's own figure is a bit-rate estimate. Count packets.
        if (Run(QStringLiteral("ffprobe"),
                {"-v", "error", "-count_packets", "-show_entries",
                 "stream=nb_read_packets,sample_rate", "-of", "csv=p=0", path},
                &out) != 0)
            return -1;
        const QList<QByteArray> f = out.trimmed().split(',');
        return f.size() == 2 ? f[1].toDouble() * 1024 / f[0].toDouble() : -1;
    }
    if (Run(QStringLiteral("ffprobe"),
            {"-v", "error", "-show_entries", "format=duration,start_time", "-of",
             "default=nw=1:nk=0", path},
            &out) != 0)
        return -1;
    double duration = -1, start = 0;
    for (const QByteArray &line : out.split('\n')) {
        if (line.startsWith("duration="))
            duration = line.mid(9).toDouble();
        else if (line.startsWith("start_time=") && line.mid(11) != "N/A")
            start = line.mid(11).toDouble();
    }
    return duration < 0 ? -1 : duration - start;
}

std::vector<float> DecodeAll(engine::Source &source)
{
    std::vector<float> all;
    std::vector<float> buf(4096 * static_cast<size_t>(source.Channels()));
    for (int guard = 0; guard < 100000; ++guard) {
        const int got = source.Read(buf.data(), 4096);
        if (got == 0)
            break;
        all.insert(all.end(), buf.begin(),
                   buf.begin() + static_cast<ptrdiff_t>(got) * source.Channels());
    }
    return all;
}

double ToneDb(const std::vector<float> &s, int channels, int rate, double hz)
{
    const size_t frames = s.size() / channels;
    double re = 0, im = 0, wsum = 0;
    for (size_t i = 0; i < frames; ++i) {
        double v = 0;
        for (int c = 0; c < channels; ++c)
            v += s[i * channels + c];
        v /= channels;
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / frames);
        const double ph = 2 * std::numbers::pi * hz * static_cast<double>(i) / rate;
        re += v * w * std::cos(ph);
        im += v * w * std::sin(ph);
        wsum += w;
    }
    const double amp = 2 * std::hypot(re, im) / wsum;
    return 20 * std::log10(amp + 1e-12);
}

} // namespace vorlane::test
