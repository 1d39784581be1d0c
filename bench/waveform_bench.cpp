// The waveform strip's analysis against a full decode, and the visual indicator's frame.
//
// Makes (in a temporary folder) a 5-minute 192 kbit/s stereo MP3 and, by repeating its frames,
// 30- and 60-minute ones. Then, per file, in one run:
//   ours      the strip's analysis for 800 × 60 pixels (open, one seek and ten 20 ms peaks per
//             column), single thread
//   ffmpeg    ffmpeg -threads 1 -i X -af astats (minimum and maximum per channel) -f null -:
//             the whole file decoded to its extremes
// and prints the ratio ours / ffmpeg (goals: 5 min 1.2 or less, 30 min 0.4, 60 min 0.2). Each
// figure is the median of five runs; the machine is shared, so the runs alternate.
//
// Then the main timer's visualisation step on a playing stream (null output): the player's
// spectrum (or wave or level) fetched and drawn into the 150 × 26 image, median of 400 frames
// (goal for the spectrum: 2 ms or less).

#include "playback/Peaks.h"
#include "playback/Player.h"
#include "playback/Visuals.h"
#include "playback/engine/Stream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kRuns = 5;
constexpr int kFrames = 400;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool Ffmpeg(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-y", "-loglevel", "error"} + args);
    p.waitForFinished(1800000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", p.readAllStandardError().constData());
        return false;
    }
    return true;
}

double Ours(const QString &path)
{
    QElapsedTimer t;
    t.start();
    const auto peaks = AnalysePeaks(path, QSize(800, 60));
    if (!peaks || !peaks->complete)
        std::fprintf(stderr, "analysis failed for %s\n", qPrintable(path));
    return t.nsecsElapsed() / 1e9;
}

double Theirs(const QString &path)
{
    QElapsedTimer t;
    t.start();
    Ffmpeg({"-threads", "1", "-filter_threads", "1", "-i", path, "-af",
            "astats=measure_perchannel=Min_level+Max_level:measure_overall=none", "-f", "null",
            "-"});
    return t.nsecsElapsed() / 1e9;
}

// Median milliseconds of one indicator frame of `mode` while the player plays.
double FrameMs(TPlayer &player, TVisualSet &set, int mode)
{
    engine::Stream *s = player.Channel();
    std::vector<float> buf(2205 * static_cast<size_t>(s->Channels()));
    std::vector<double> times;
    for (int i = 0; i < kFrames; ++i) {
        s->Pull(buf.data(), 2205); // 50 ms of sound between two ticks
        QElapsedTimer t;
        t.start();
        set.DrawFrame(mode, player);
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    return Median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString five = dir.filePath("five.mp3");
    const QString thirty = dir.filePath("thirty.mp3");
    const QString sixty = dir.filePath("sixty.mp3");
    if (!Ffmpeg({"-f", "lavfi", "-i",
                 "aevalsrc=0.4*sin(2*PI*(200+100*sin(t/7))*t)*(0.6+0.4*sin(t/3))+0.1*random(0)|"
                 "0.4*sin(2*PI*330*t)*(0.6+0.4*cos(t/5))+0.1*random(1):s=44100:d=300",
                 "-c:a", "libmp3lame", "-b:a", "192k", five}) ||
        !Ffmpeg({"-stream_loop", "5", "-i", five, "-c", "copy", thirty}) ||
        !Ffmpeg({"-stream_loop", "11", "-i", five, "-c", "copy", sixty})) {
        std::fprintf(stderr, "waveform_bench: could not make the test files\n");
        return 1;
    }

    struct Case {
        const char *name;
        QString path;
        double goal;
    };
    const Case cases[] = {{"5 min", five, 1.2}, {"30 min", thirty, 0.4}, {"60 min", sixty, 0.2}};
    std::printf("waveform strip 800 x 60 of a 192 kbit/s MP3 against ffmpeg's full decode to "
                "min/max (median of %d)\n",
                kRuns);
    for (const Case &c : cases) {
        std::vector<double> ours, theirs;
        for (int i = 0; i < kRuns; ++i) {
            ours.push_back(Ours(c.path));
            theirs.push_back(Theirs(c.path));
        }
        const double o = Median(ours), t = Median(theirs);
        std::printf("  %-6s  ours %7.3f s  ffmpeg %7.3f s  ratio %.2f (goal <= %.2f)\n", c.name, o,
                    t, o / t, c.goal);
    }

    TPlayer player;
    player.Init(engine::OutputKind::Null);
    TFileName f;
    f.DirName = dir.path() + u'/';
    f.FileName = QStringLiteral("five.mp3");
    if (!player.OpenFile(f) || !player.Play()) {
        std::fprintf(stderr, "waveform_bench: cannot play the test file\n");
        return 1;
    }
    player.Channel()->SetVolume(1);
    TVisualSet set;
    std::printf("visual indicator frame, data fetched from the playing stream and drawn "
                "(median of %d)\n",
                kFrames);
    std::printf("  spectrum      %.3f ms (goal <= 2)\n", FrameMs(player, set, 1));
    std::printf("  oscilloscope  %.3f ms\n", FrameMs(player, set, 2));
    std::printf("  VU meter      %.3f ms\n", FrameMs(player, set, 3));
    return 0;
}
