// Folder scan, natural sort and find over a 100,000-file library.
//
// Builds (once, in a temporary folder) a tree of nested folders with about 80% audio file names,
// Cyrillic and digit names among them, then measures in one run with a warm cache:
//   scan         our folder scan with sub-folders          vs  find DIR -type f -printf '%T@ %p\n'
//   sort         natural sort of the scanned names         as a share of the scan time
//   find exact   a key found nowhere (a full pass)         as a share of the scan time
//   find fuzzy   the same in fuzzy mode (threshold 0.8)    as a share of the scan time
// In process, each figure is the median of several runs. Then the same scan as users run it:
//   command      vorlane-cli scan DIR --subfolders --all-files   vs  the same find
// each a fresh process writing into a pipe that is read to its end; best and median of runs
// taken in turns.

#include "base/FileList.h"
#include "bench/CommandTimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kFiles = 100000;

void makeTree(const QString &root)
{
    const QStringList artists = {
        QStringLiteral("Кино"),      QStringLiteral("Aria"),  QStringLiteral("Ночные Снайперы"),
        QStringLiteral("Metallica"), QStringLiteral("Сплин"), QStringLiteral("The Beatles")};
    const QStringList audio = {".mp3", ".mp3", ".mp3", ".flac", ".ogg", ".m4a", ".wma", ".wav"};
    const QStringList other = {".jpg", ".txt", ".cue", ".log"};
    int made = 0;
    for (int a = 0; made < kFiles; ++a) {
        const QString artist = artists.at(a % artists.size()) + QString::number(a);
        for (int album = 0; album < 10 && made < kFiles; ++album) {
            const QString folder = root + '/' + artist +
                                   QStringLiteral("/Альбом %1 (%2)").arg(album).arg(1990 + album) +
                                   '/';
            QDir().mkpath(folder);
            for (int t = 1; t <= 20 && made < kFiles; ++t, ++made) {
                const bool isAudio = (made % 5) != 0;
                const QString ext =
                    isAudio ? audio.at(made % audio.size()) : other.at(made % other.size());
                const QString name = (t % 3 == 0 ? QStringLiteral("%1 - Песня номер %2")
                                                 : QStringLiteral("%1. Track %2 of the album"))
                                         .arg(t, 2, 10, QChar('0'))
                                         .arg(made);
                QFile f(folder + name + ext);
                f.open(QIODevice::WriteOnly);
            }
        }
    }
}

// Median time of `work`, after `prepare` (not timed) before each run.
double medianMs(int runs, const std::function<void()> &work,
                const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/library");
    std::printf("generating %d files...\n", kFiles);
    makeTree(root);

    auto ourScan = [&](bool audioOnly) {
        TFileList list;
        list.RootDir = root;
        list.Included = true;
        list.CreateList(audioOnly);
        return list;
    };
    auto findScan = [&] {
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("find"), {root, "-type", "f", "-printf", "%T@ %p\n"});
        find.waitForFinished(-1);
    };
    // Warm the cache.
    findScan();
    ourScan(false);

    const int runs = 7;
    const double findMs = medianMs(runs, findScan);
    const double scanAllMs = medianMs(runs, [&] { ourScan(false); });
    const double scanAudioMs = medianMs(runs, [&] { ourScan(true); });

    const TFileList scanned = ourScan(false);
    TFileList work;
    const double sortMs = medianMs(
        runs, [&] { work.AlphabetSort(false, false); },
        [&] {
            work = scanned;
            work.SwapRecord(0, 1); // owns its records now, in scan order
        });
    work = scanned;
    const double exactMs = medianMs(runs, [&] {
        work.CurIndex = 0;
        work.Find(QStringLiteral("no such title anywhere"), 1.0f);
    });
    const double fuzzyMs = medianMs(runs, [&] {
        work.CurIndex = 0;
        work.Find(QStringLiteral("no such title anywhere"), 0.8f);
    });

    std::printf("files: %d scanned (%d audio)\n", scanned.Count(), ourScan(true).Count());
    std::printf("find -printf:            %8.1f ms\n", findMs);
    std::printf("scan, all files:         %8.1f ms   ratio to find %.2f (goal <= 1.30)\n",
                scanAllMs, scanAllMs / findMs);
    std::printf("scan, audio files only:  %8.1f ms   ratio to find %.2f\n", scanAudioMs,
                scanAudioMs / findMs);
    std::printf("natural sort:            %8.1f ms   share of scan %.1f%% (goal <= 20%%)\n", sortMs,
                100 * sortMs / scanAllMs);
    std::printf("exact find (full pass):  %8.1f ms   share of scan %.1f%% (goal <= 5%%)\n", exactMs,
                100 * exactMs / scanAllMs);
    std::printf("fuzzy find (full pass):  %8.1f ms   share of scan %.1f%% (goal <= 5%%)\n", fuzzyMs,
                100 * fuzzyMs / scanAllMs);

    const QString cli = QStringLiteral(VORLANE_BENCH_CLI);
    const QStringList ourArgs = {"scan", root, "--subfolders", "--all-files"};
    const QStringList findArgs = {root, "-type", "f", "-printf", "%T@ %p\n"};
    bench::RunCommand(cli, ourArgs, bench::TOutput::Pipe);
    std::vector<double> findTimes, ourTimes;
    bool failed = false;
    for (int i = 0; i < 2 * runs - 1; ++i) {
        const bench::TCommandRun theirs = bench::RunCommand("find", findArgs, bench::TOutput::Pipe);
        const bench::TCommandRun ours = bench::RunCommand(cli, ourArgs, bench::TOutput::Pipe);
        failed = failed || theirs.ExitCode != 0 || ours.ExitCode != 0 || ours.OutBytes == 0;
        findTimes.push_back(theirs.Ms);
        ourTimes.push_back(ours.Ms);
    }
    if (failed) {
        std::fprintf(stderr, "scan_bench: a command failed\n");
        return 1;
    }
    const bench::TFigures f = bench::Figures(findTimes), o = bench::Figures(ourTimes);
    std::printf("as commands, output to a pipe:     best        median\n");
    std::printf("find -printf:            %8.1f ms  %8.1f ms\n", f.Best, f.Median);
    std::printf("vorlane-cli scan:        %8.1f ms  %8.1f ms   ratio to find %.2f best, %.2f median"
                " (goal <= 1.30)\n",
                o.Best, o.Median, o.Best / f.Best, o.Median / f.Median);
    return 0;
}
