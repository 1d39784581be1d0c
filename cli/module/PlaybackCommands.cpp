// play, render and info: the audio engine and the player from the command line. Built into the
// playback module vorlane-cli-playback.so (cli/Commands.h).

#include "cli/Commands.h"

#include "playback/Player.h"
#include "playback/engine/Stream.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <array>
#include <cmath>
#include <optional>

#include <sys/stat.h>

namespace vorlane::cli {

namespace {

struct Options {
    QStringList positional;
    std::optional<std::array<float, TEqualizer::kBands>> eq;
    std::optional<std::pair<float, float>> echo;       // mix %, delay ms
    std::optional<std::pair<float, float>> compressor; // threshold dB, ratio
    double tempo = 0;
    double from = 0;
    double seconds = -1;
    bool json = false;
};

// The ranges of the sound window's controls, and a span no source reaches: a number outside
// its range is a usage error, as is anything that is not a finite number ("nan", "inf", "1e999").
struct Range {
    double lo;
    double hi;
};
constexpr Range kEqGainDb{-15, 15};      // ten bands, slider 0..30 around 15
constexpr Range kEchoMix{1, 50};         // wet/dry mix in percent
constexpr Range kEchoDelayMs{1, 1000};   //
constexpr Range kThresholdDb{-60, -1};   // compressor threshold
constexpr Range kRatio{1, 10};           // compressor ratio
constexpr Range kTempoPercent{-50, 100}; //
// Ten million seconds (about 116 days): far beyond any file, and small enough that the byte
// position of any rate and channel count stays inside 64 bits.
constexpr Range kSeconds{0, 1e7};

std::optional<double> NumberIn(const QString &text, Range range)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < range.lo || v > range.hi)
        return std::nullopt;
    return v;
}

// `count` comma-separated numbers, each inside its range.
bool Numbers(const QString &text, const std::vector<Range> &ranges, std::vector<float> &out)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != qsizetype(ranges.size()))
        return false;
    out.clear();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<double> v = NumberIn(parts[i], ranges[size_t(i)]);
        if (!v)
            return false;
        out.push_back(float(*v));
    }
    return true;
}

QString Describe(Range r)
{
    return QString::number(r.lo) + QStringLiteral(" to ") + QString::number(r.hi);
}

// Parses the options `allowed` names; false (after a message) on anything else.
bool Parse(const QStringList &args, const QStringList &allowed, Options &o)
{
    QTextStream err(stderr);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            o.positional << a;
            continue;
        }
        if (!allowed.contains(a)) {
            err << "vorlane-cli: unknown option " << a << "\n";
            return false;
        }
        if (a == QLatin1String("--json")) {
            o.json = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "vorlane-cli: " << a << " needs a value\n";
            return false;
        }
        const QString v = args[++i];
        std::vector<float> n;
        bool ok = true;
        QString expected;
        auto single = [&](double &into, Range range) {
            const std::optional<double> number = NumberIn(v, range);
            expected = Describe(range);
            if (number)
                into = *number;
            return number.has_value();
        };
        if (a == QLatin1String("--eq")) {
            ok = Numbers(v, std::vector<Range>(TEqualizer::kBands, kEqGainDb), n);
            expected = QStringLiteral("ten gains in dB, each ") + Describe(kEqGainDb);
            if (ok) {
                o.eq.emplace();
                std::copy(n.begin(), n.end(), o.eq->begin());
            }
        } else if (a == QLatin1String("--echo")) {
            ok = Numbers(v, {kEchoMix, kEchoDelayMs}, n);
            expected = QStringLiteral("mix ") + Describe(kEchoMix) + QStringLiteral(" %, delay ") +
                       Describe(kEchoDelayMs) + QStringLiteral(" ms");
            if (ok)
                o.echo = std::make_pair(n[0], n[1]);
        } else if (a == QLatin1String("--compressor")) {
            ok = Numbers(v, {kThresholdDb, kRatio}, n);
            expected = QStringLiteral("threshold ") + Describe(kThresholdDb) +
                       QStringLiteral(" dB, ratio ") + Describe(kRatio);
            if (ok)
                o.compressor = std::make_pair(n[0], n[1]);
        } else if (a == QLatin1String("--tempo")) {
            ok = single(o.tempo, kTempoPercent);
        } else if (a == QLatin1String("--from")) {
            ok = single(o.from, kSeconds);
        } else if (a == QLatin1String("--seconds")) {
            ok = single(o.seconds, kSeconds);
        }
        if (!ok) {
            err << "vorlane-cli: bad value for " << a << ": " << v << " (expected " << expected
                << ")\n";
            return false;
        }
    }
    return true;
}

const QStringList kEffectOptions = {"--eq", "--echo", "--compressor", "--tempo"};

// Sets the processors as the sound-processing window would: power-mode bands whose slider
// positions give the wanted gains, echo level and delay, compressor threshold and ratio.
void ConfigureProcessors(const Options &o, TEqualizer &eq, TEchoProcessor &echo,
                         TCompressProcessor &comp)
{
    if (o.eq) {
        eq.vBandWidth = 12;
        eq.vPowerEQStatus = true;
        for (int i = 0; i < TEqualizer::kBands; ++i)
            eq.vGain[i] = 15.0f - (*o.eq)[i];
        eq.vEnabled = true;
    }
    if (o.echo) {
        echo.vLevel = o.echo->first;
        echo.vDelay = o.echo->second;
        echo.vEnabled = true;
    }
    if (o.compressor) {
        comp.vLevel = o.compressor->first;
        comp.vRatio = o.compressor->second;
        comp.vEnabled = true;
    }
}

bool IsAddress(const QString &s)
{
    return s.contains(QLatin1String("://"));
}

TFileName EntryFor(const QString &path)
{
    TFileName f;
    const qsizetype slash = path.lastIndexOf(u'/');
    f.DirName = slash < 0 ? QStringLiteral("./") : path.left(slash + 1);
    f.FileName = path.mid(slash + 1);
    f.Title = f.FileName;
    return f;
}

std::unique_ptr<engine::Source> OpenSource(const QString &what, QString *error)
{
    if (IsAddress(what))
        return engine::Source::OpenUrl(what, {}, error);
    return engine::Source::OpenFile(what, error);
}

int CannotOpen(const QString &what, const QString &why)
{
    QTextStream(stderr) << "vorlane-cli: cannot open " << what
                        << (why.isEmpty() ? QString() : QStringLiteral(" (") + why + u')') << "\n";
    return 1;
}

// The 32-bit float WAV file of a render, written as the sound comes: blocks go to the file
// straight from the buffer the stream fills, and the header, whose sizes are known only at the
// end, is written over its place last. An output that cannot seek (a pipe, a device) is sent
// whole at the end instead. Frames past maxFrames (when it is not negative) are dropped.
class TFloatWavFile {
public:
    TFloatWavFile(const QString &path, int rate, int channels, qint64 maxFrames)
        : vFile(path)
        , vRate(rate)
        , vChannels(channels)
        , vMaxFrames(maxFrames)
    {
    }

    bool Open()
    {
        if (!vFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return false;
        struct stat st {};
        vRegular = fstat(vFile.handle(), &st) == 0 && S_ISREG(st.st_mode);
        return !vRegular || vFile.write(header(0)) == kHeaderBytes;
    }
    // False once the file cannot take them.
    bool Write(const float *frames, qint64 count)
    {
        if (vMaxFrames >= 0)
            count = std::min(count, vMaxFrames - vFrames);
        if (count <= 0)
            return true;
        // RIFF sizes are 32-bit: a longer render does not fit in one WAV file.
        if ((vFrames + count) * vChannels * 4 > 0xFFFFFFFFll - kHeaderBytes)
            return false;
        vFrames += count;
        const qint64 bytes = count * vChannels * qint64(sizeof(float));
        if (!vRegular) {
            vHeld.append(reinterpret_cast<const char *>(frames), bytes);
            return true;
        }
        return vFile.write(reinterpret_cast<const char *>(frames), bytes) == bytes;
    }
    bool Finish()
    {
        const QByteArray h = header(uint32_t(vFrames * vChannels * 4));
        const bool ok = vRegular
                            ? vFile.seek(0) && vFile.write(h) == kHeaderBytes
                            : vFile.write(h) == kHeaderBytes && vFile.write(vHeld) == vHeld.size();
        vFile.close();
        return ok && vFile.error() == QFileDevice::NoError;
    }
    // After a failure: nothing is left behind (a device the user named stays, of course).
    void Discard()
    {
        vFile.close();
        if (vRegular)
            vFile.remove();
    }

private:
    static constexpr qint64 kHeaderBytes = 58;

    QByteArray header(uint32_t dataBytes) const
    {
        auto u32 = [](uint32_t v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
        auto u16 = [](uint16_t v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
        const auto channels = static_cast<uint16_t>(vChannels);
        QByteArray h;
        h += "RIFF" + u32(4 + 26 + 12 + 8 + dataBytes) + "WAVE";
        h += "fmt " + u32(18) + u16(3) + u16(channels) + u32(vRate) + u32(vRate * vChannels * 4) +
             u16(uint16_t(channels * 4)) + u16(32) + u16(0);
        h += "fact" + u32(4) + u32(uint32_t(vFrames));
        h += "data" + u32(dataBytes);
        return h;
    }

    QFile vFile;
    const int vRate;
    const int vChannels;
    const qint64 vMaxFrames;
    qint64 vFrames = 0;
    bool vRegular = false;
    QByteArray vHeld; // the sound for an output that cannot seek
};

// Whether two paths name the same file (links followed); false when either is missing.
bool SameFile(const QString &a, const QString &b)
{
    struct stat sa {
    }, sb{};
    return stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

int RunInfo(const QStringList &args)
{
    Options o;
    if (!Parse(args, {"--json"}, o) || o.positional.size() != 1)
        return 2;
    const QString what = o.positional.first();
    QString error;
    auto src = OpenSource(what, &error);
    if (!src)
        return CannotOpen(what, error);
    if (!src->IsNetwork()) {
        // Decode to the end: the length printed is what decoding yields.
        std::vector<float> buf(8192 * static_cast<size_t>(src->Channels()));
        while (src->Read(buf.data(), 8192) > 0) {
        }
    }
    const qint64 bytes = src->Length();
    const double seconds = src->BytesToSeconds(bytes);
    int bitrate = src->NominalBitRate();
    if (seconds > 0 && src->SourceSize() > 0)
        bitrate = static_cast<int>(std::lround(src->SourceSize() / (seconds * 125.0)));
    QTextStream out(stdout);
    if (o.json) {
        out << "{\"bytes\":" << bytes << ",\"seconds\":" << QString::number(seconds, 'f', 3)
            << ",\"rate\":" << src->Rate() << ",\"channels\":" << src->Channels()
            << ",\"bitrate\":" << bitrate << "}\n";
    } else {
        out << "bytes: " << bytes << "\nseconds: " << QString::number(seconds, 'f', 3)
            << "\nrate: " << src->Rate() << "\nchannels: " << src->Channels()
            << "\nbitrate: " << bitrate << "\n";
    }
    return 0;
}

int RunRender(const QStringList &args)
{
    Options o;
    if (!Parse(args, kEffectOptions + QStringList{"--from", "--seconds"}, o) ||
        o.positional.size() != 2)
        return 2;
    const QString what = o.positional[0];
    QString error;
    auto src = OpenSource(what, &error);
    if (!src)
        return CannotOpen(what, error);
    const int rate = src->Rate(), channels = src->Channels();
    auto stream = std::make_shared<engine::Stream>(std::move(src), engine::OutputKind::Null);
    if (o.from > 0 && !stream->SetPosition(stream->GetSource().SecondsToBytes(o.from)))
        return CannotOpen(what, QStringLiteral("cannot seek to %1 s").arg(o.from));
    TEqualizer eq;
    TEchoProcessor echo;
    TCompressProcessor comp;
    ConfigureProcessors(o, eq, echo, comp);
    eq.vChannel = echo.vChannel = comp.vChannel = stream;
    eq.Refresh();
    echo.Refresh();
    comp.Refresh();
    stream->SetTempo(o.tempo);
    stream->Play();

    const qint64 end = o.seconds < 0 ? -1 : stream->GetSource().SecondsToBytes(o.from + o.seconds);
    // Without a tempo change the span ends on its exact sample.
    const qint64 maxFrames = end >= 0 && o.tempo == 0 ? static_cast<qint64>(o.seconds * rate) : -1;
    const QString outPath = o.positional[1];
    auto cannotWrite = [&outPath](const QString &why) {
        QTextStream(stderr) << "vorlane-cli: cannot write " << outPath << why << "\n";
        return 1;
    };
    // The output is written while the source is read: it must not be the source.
    if (SameFile(what, outPath))
        return cannotWrite(QStringLiteral(": it is the file being rendered"));
    TFloatWavFile wav(outPath, rate, channels, maxFrames);
    if (!wav.Open()) {
        wav.Discard();
        return cannotWrite({});
    }
    // Pulled in steps of kPullFrames, the span's end checked after each (as the tempo stage's
    // output does not end on it), into a block written whole.
    constexpr int kPullFrames = 4096;
    constexpr int kBlockFrames = 16 * kPullFrames;
    std::vector<float> block(static_cast<size_t>(kBlockFrames) * channels);
    int filled = 0;
    bool ok = true;
    while (ok && !stream->Ended() && (end < 0 || stream->Position() < end)) {
        filled += stream->Pull(block.data() + static_cast<size_t>(filled) * channels, kPullFrames);
        if (filled > kBlockFrames - kPullFrames) {
            ok = wav.Write(block.data(), filled);
            filled = 0;
        }
    }
    if (!ok || !wav.Write(block.data(), filled) || !wav.Finish()) {
        wav.Discard();
        return cannotWrite({});
    }
    return 0;
}

int RunPlay(const QStringList &args)
{
    Options o;
    if (!Parse(args, kEffectOptions + QStringList{"--seconds"}, o) || o.positional.size() != 1)
        return 2;
    const QString what = o.positional.first();
    TPlayer player;
    player.Init(engine::OutputKind::Device);
    if (!player.OpenFile(EntryFor(what)))
        return CannotOpen(what, QString());
    ConfigureProcessors(o, *player.Equalizer, *player.EchoProcessor, *player.Compressor);
    player.SetSpeed(static_cast<int>(std::lround(o.tempo)));
    if (!player.Play())
        return CannotOpen(what, QStringLiteral("no audio output"));
    player.SetVolume(100);
    QTextStream out(stdout);
    QElapsedTimer clock;
    clock.start();
    qint64 nextPrint = 1000;
    while (o.seconds < 0 || clock.elapsed() < o.seconds * 1000) {
        QThread::msleep(50);
        if (player.Refresh())
            break;
        if (clock.elapsed() >= nextPrint) {
            out << player.GetTime() << "\n";
            out.flush();
            nextPrint += 1000;
        }
    }
    player.Stop();
    return 0;
}

} // namespace vorlane::cli

extern "C" Q_DECL_EXPORT vorlane::cli::TCommandFunction VorlaneCliPlaybackCommand(const char *name)
{
    const QLatin1String command(name);
    if (command == QLatin1String("play"))
        return vorlane::cli::RunPlay;
    if (command == QLatin1String("render"))
        return vorlane::cli::RunRender;
    if (command == QLatin1String("info"))
        return vorlane::cli::RunInfo;
    if (command == QLatin1String("waveform"))
        return vorlane::cli::RunWaveform;
    return nullptr;
}
