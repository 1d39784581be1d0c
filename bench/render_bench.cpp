// The effect chain rendered without output, against the ffmpeg command line doing the same.
//
// Makes (once, in a temporary folder) a 5-minute 192 kbit/s stereo MP3, then times in one run:
//   ours      decode + ten 12-semitone EQ bands + echo + compressor + tempo +10 %, single thread
//   ffmpeg    ffmpeg -threads 1 -filter_threads 1 -i X -af <the same chain> -f null -
// and prints the ratio ours / ffmpeg (goal: 1.2 or less). Each figure is the best of three runs.

#include "playback/SoundEffects.h"
#include "playback/engine/Stream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace vorlane;

namespace {

constexpr int kRuns = 3;
const float kBands[TEqualizer::kBands] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
const float kGains[TEqualizer::kBands] = {6, 4, 2, 0, -2, -3, 0, 3, 4, 5};

double RenderOurs(const QString &path, qint64 *frames)
{
    QElapsedTimer t;
    t.start();
    auto stream =
        std::make_shared<engine::Stream>(engine::Source::OpenFile(path), engine::OutputKind::Null);
    TEqualizer eq;
    TEchoProcessor echo;
    TCompressProcessor comp;
    eq.vBandWidth = 12;
    for (int i = 0; i < TEqualizer::kBands; ++i)
        eq.vGain[i] = 15 - kGains[i];
    eq.vEnabled = echo.vEnabled = comp.vEnabled = true;
    echo.vLevel = 30;
    echo.vDelay = 100;
    comp.vLevel = -20;
    comp.vRatio = 4;
    eq.vChannel = echo.vChannel = comp.vChannel = stream;
    eq.Refresh();
    echo.Refresh();
    comp.Refresh();
    stream->SetTempo(10);
    stream->Play();
    std::vector<float> buf(4096 * static_cast<size_t>(stream->Channels()));
    *frames = 0;
    while (!stream->Ended())
        *frames += stream->Pull(buf.data(), 4096);
    return t.elapsed() / 1000.0;
}

QString FfmpegChain()
{
    QStringList parts;
    for (int i = 0; i < TEqualizer::kBands; ++i)
        parts << QStringLiteral("equalizer=f=%1:t=o:w=1:g=%2").arg(kBands[i]).arg(kGains[i]);
    parts << QStringLiteral("aecho=0.7:1:100:0.5");
    parts << QStringLiteral("acompressor=threshold=0.1:ratio=4:attack=10:release=200");
    parts << QStringLiteral("atempo=1.1");
    return parts.join(u',');
}

double RenderFfmpeg(const QString &path)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {"-nostdin", "-loglevel", "error", "-threads", "1", "-filter_threads", "1", "-i", path,
             "-af", FfmpegChain(), "-f", "null", "-"});
    p.waitForFinished(600000);
    if (p.exitCode() != 0)
        std::fprintf(stderr, "ffmpeg failed: %s\n", p.readAllStandardError().constData());
    return t.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("five-minutes.mp3");
    QProcess make;
    make.start(QStringLiteral("ffmpeg"),
               {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                "aevalsrc=0.4*sin(2*PI*(200+100*sin(t/"
                "7))*t)+0.1*random(0)|0.4*sin(2*PI*330*t)+0.1*random(1):s=44100:d=300",
                "-c:a", "libmp3lame", "-b:a", "192k", path});
    make.waitForFinished(600000);
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "render_bench: could not make the test file\n");
        return 1;
    }
    double ours = 1e9, theirs = 1e9;
    qint64 frames = 0;
    for (int i = 0; i < kRuns; ++i) {
        ours = std::min(ours, RenderOurs(path, &frames));
        theirs = std::min(theirs, RenderFfmpeg(path));
    }
    std::printf("render 5 min MP3, EQ x10 + echo + compressor + tempo +10%%\n");
    std::printf("  ours    %7.3f s  (%.1f s of sound out)\n", ours, frames / 44100.0);
    std::printf("  ffmpeg  %7.3f s\n", theirs);
    std::printf("  ratio ours/ffmpeg = %.2f (goal <= 1.20)\n", ours / theirs);
    return 0;
}
