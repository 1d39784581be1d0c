// The effect chain rendered, against the ffmpeg command line doing the same.
//
// Makes (once, in a temporary folder) a 5-minute 192 kbit/s stereo MP3, then times in one run:
//   in process  decode + ten 12-semitone EQ bands + echo + compressor + tempo +10 %, single
//               thread, without output (best of three runs)
//     against   ffmpeg -threads 1 -filter_threads 1 -i X -af <the same chain> -f null -
//   command     vorlane-cli render X OUT.wav with the same effects: a fresh process writing its
//               32-bit float WAV file
//     against   ffmpeg -threads 1 -filter_threads 1 -i X -af <the same chain>
//                      -c:a pcm_f32le OUT.wav
//               (best and median of runs taken in turns)
// and prints the ratios ours / ffmpeg (goal: 1.2 or less).

#include "bench/CommandTimer.h"
#include "playback/SoundEffects.h"
#include "playback/engine/Stream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kRuns = 3;
constexpr int kCommandRuns = 5;
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

    const QString cli = QStringLiteral(VORLANE_BENCH_CLI);
    QStringList eq;
    for (float g : kGains)
        eq << QString::number(g);
    const QString ourWav = dir.filePath("ours.wav"), ffmpegWav = dir.filePath("ffmpeg.wav");
    const QStringList ourArgs = {"render",      path,      ourWav,   "--eq",
                                 eq.join(u','), "--echo",  "30,100", "--compressor",
                                 "-20,4",       "--tempo", "10"};
    const QStringList ffmpegArgs = {"-nostdin",        "-loglevel", "error",     "-threads", "1",
                                    "-filter_threads", "1",         "-i",        path,       "-af",
                                    FfmpegChain(),     "-c:a",      "pcm_f32le", ffmpegWav};
    std::vector<double> ourTimes, ffmpegTimes;
    for (int i = 0; i < kCommandRuns; ++i) {
        QFile::remove(ourWav);
        QFile::remove(ffmpegWav);
        const bench::TCommandRun o = bench::RunCommand(cli, ourArgs, bench::TOutput::Null);
        const bench::TCommandRun f = bench::RunCommand("ffmpeg", ffmpegArgs, bench::TOutput::Null);
        if (o.ExitCode != 0 || f.ExitCode != 0) {
            std::fprintf(stderr, "render_bench: a command failed\n");
            return 1;
        }
        ourTimes.push_back(o.Ms / 1000);
        ffmpegTimes.push_back(f.Ms / 1000);
    }
    const bench::TFigures o = bench::Figures(ourTimes), f = bench::Figures(ffmpegTimes);
    std::printf("as commands, writing a 32-bit float WAV file (best, median)\n");
    std::printf("  vorlane-cli render  %7.3f s  %7.3f s  (%.1f MB)\n", o.Best, o.Median,
                QFileInfo(ourWav).size() / 1e6);
    std::printf("  ffmpeg              %7.3f s  %7.3f s  (%.1f MB)\n", f.Best, f.Median,
                QFileInfo(ffmpegWav).size() / 1e6);
    std::printf("  ratio ours/ffmpeg = %.2f best, %.2f median (goal <= 1.20)\n", o.Best / f.Best,
                o.Median / f.Median);
    return 0;
}
