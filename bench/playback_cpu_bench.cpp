// CPU used by real-time playback on SDL's dummy driver, with every effect on.
//
// Plays a generated MP3 through TPlayer for 30 s with ten EQ bands, echo, compressor and tempo
// +10 %, and for 10 s plainly (the baseline), measuring the process's CPU time over each span.
// Prints the share of one core (goal with effects: 3 % or less) and the ratio to the baseline.

#include "playback/Player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>

using namespace vorlane;

namespace {

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Share of one core used while playing `seconds` of the file.
double PlayShare(const QString &dir, bool effects, int seconds)
{
    TPlayer player;
    player.Init(engine::OutputKind::Device);
    TFileName f;
    f.DirName = dir + u'/';
    f.FileName = QStringLiteral("long.mp3");
    if (!player.OpenFile(f))
        return -1;
    if (effects) {
        player.Equalizer->vBandWidth = 12;
        player.Equalizer->vEnabled = true;
        for (int i = 0; i < TEqualizer::kBands; ++i)
            player.Equalizer->vGain[i] = static_cast<float>(12 + i % 5);
        player.EchoProcessor->vEnabled = true;
        player.EchoProcessor->vDelay = 100;
        player.Compressor->vEnabled = true;
        player.Compressor->vLevel = -20;
        player.Compressor->vRatio = 4;
        player.SetSpeed(10);
    }
    player.Play();
    player.SetVolume(100);
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < seconds * 1000) {
        QThread::msleep(50); // the main timer's pace
        player.Refresh();
    }
    const double share = (CpuSeconds() - cpu0) / (wall.elapsed() / 1000.0);
    player.Stop();
    return share;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess make;
    make.start(QStringLiteral("ffmpeg"),
               {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                "aevalsrc=0.4*sin(2*PI*220*t)|0.4*sin(2*PI*330*t):s=44100:d=60", "-c:a",
                "libmp3lame", "-b:a", "192k", dir.filePath("long.mp3")});
    make.waitForFinished(120000);
    const double plain = PlayShare(dir.path(), false, 10);
    const double full = PlayShare(dir.path(), true, 30);
    if (plain < 0 || full < 0) {
        std::fprintf(stderr, "playback_cpu_bench: could not play\n");
        return 1;
    }
    std::printf("real-time playback on the dummy driver, share of one core\n");
    std::printf("  plain (10 s)                     %5.2f %%\n", plain * 100);
    std::printf("  all effects + tempo +10%% (30 s)  %5.2f %% (goal <= 3 %%)\n", full * 100);
    std::printf("  ratio effects/plain = %.2f\n", full / plain);
    return 0;
}
