// Start-up of the vorlane program: from starting the process to the first painted browse list.
//
//   demo library      vorlane with the demo library        vs  an empty Qt window program
//   100,000 entries   vorlane with a 100,000-file folder   vs  the empty window + vorlane-cli scan
//                     list                                       of the same folder
//   playlist          vorlane with a playlist of the same  vs  the 100,000-file folder list
//                     100,000 files (and no folder list)
//   repeated lines    vorlane with a playlist of 100,000   vs  the playlist of 100,000 files
//                     lines naming a tenth of the files
//                     ten times each
// Both programs run on the same Qt platform (offscreen unless QT_QPA_PLATFORM says otherwise) in
// one home per case and report their first paint on standard output. A first, untimed start of
// each case makes the settings and adds the folder list (as a user's first start does); the timed
// starts then read it back, the big one rescanning its 100,000 files. Each figure is the median
// of several runs.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kBigFiles = 100000;

// Milliseconds from start to the "first-paint" line; -1 on failure.
double timeToFirstPaint(const QString &program, const QStringList &args, const QTemporaryDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_DATA_HOME", home.path() + "/share");
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("XDG_CACHE_HOME", home.path() + "/cache");
    env.insert("VORLANE_REPORT_FIRST_PAINT", "exit");
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home.path());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    QByteArray out;
    while (!out.contains("first-paint")) {
        if (!p.waitForReadyRead(120000))
            return -1;
        out += p.readAllStandardOutput();
    }
    const double ms = t.nsecsElapsed() / 1e6;
    p.waitForFinished(10000);
    return ms;
}

double timeToFinish(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Makes the files; returns their paths.
QStringList makeLibrary(const QString &root)
{
    QStringList paths;
    const char *const exts[] = {".mp3", ".flac", ".ogg", ".m4a", ".wma", ".wav"};
    int made = 0;
    for (int folder = 0; made < kBigFiles; ++folder) {
        const QString dir =
            root + QStringLiteral("/Artist %1/Album %2/").arg(folder / 10).arg(folder);
        QDir().mkpath(dir);
        for (int t = 1; t <= 20 && made < kBigFiles; ++t, ++made) {
            paths << dir + QStringLiteral("%1 - Track %2%3")
                               .arg(t, 2, 10, QChar('0'))
                               .arg(made)
                               .arg(QLatin1String(exts[made % 6]));
            QFile f(paths.back());
            f.open(QIODevice::WriteOnly);
        }
    }
    return paths;
}

// Gives a home whose first start has made the settings a playlist "Big" of these entry lines
// (cursor on the first entry), beside the network playlist; no folder list.
bool addPlaylist(const QTemporaryDir &home, const QStringList &entries)
{
    const QString conf = home.path() + QStringLiteral("/share/Vorlane/Vorlane/VL4Conf/");
    QFile index(conf + QStringLiteral("PL.txt"));
    QFile playlist(conf + QStringLiteral("Playlists/Big.vl3u"));
    if (!index.open(QIODevice::WriteOnly) || !playlist.open(QIODevice::WriteOnly))
        return false;
    index.write("MyNetwork.vl3u\r\nBig.vl3u\r\n");
    playlist.write("0\r\n" + entries.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString vorlane = QStringLiteral(VORLANE_BENCH_APP);
    const QString cli = QStringLiteral(VORLANE_BENCH_CLI);
    const QString empty = QStringLiteral(VORLANE_BENCH_EMPTY_WINDOW);
    const QString demo = QStringLiteral(VORLANE_BENCH_DEMO);

    QTemporaryDir baseHome, demoHome;
    timeToFirstPaint(empty, {}, baseHome);
    timeToFirstPaint(vorlane, {"--first-start-folder=" + demo}, demoHome);
    std::vector<double> base, withDemo;
    for (int i = 0; i < kRuns; ++i) {
        base.push_back(timeToFirstPaint(empty, {}, baseHome));
        withDemo.push_back(timeToFirstPaint(vorlane, {}, demoHome));
    }
    if (*std::min_element(base.begin(), base.end()) < 0 ||
        *std::min_element(withDemo.begin(), withDemo.end()) < 0) {
        std::fprintf(stderr, "startup_bench: a program did not report its first paint\n");
        return 1;
    }
    const double b = median(base), d = median(withDemo);
    std::printf("empty Qt window, first paint        %8.1f ms\n", b);
    std::printf("vorlane with the demo library        %8.1f ms   ratio %.2f (goal <= 3)\n", d,
                d / b);

    QTemporaryDir big;
    std::printf("making %d files ...\n", kBigFiles);
    std::fflush(stdout);
    const QStringList paths = makeLibrary(big.path());
    timeToFinish(cli, {"scan", big.path(), "--subfolders"}); // warm the file system cache
    QTemporaryDir bigHome;
    timeToFirstPaint(vorlane, {big.path()}, bigHome); // adds the folder list
    QTemporaryDir playlistHome, repeatedHome;
    QStringList repeated;
    for (int i = 0; i < kBigFiles; ++i)
        repeated << paths.at(i % (kBigFiles / 10));
    timeToFirstPaint(vorlane, {}, playlistHome);
    timeToFirstPaint(vorlane, {}, repeatedHome);
    if (!addPlaylist(playlistHome, paths) || !addPlaylist(repeatedHome, repeated)) {
        std::fprintf(stderr, "startup_bench: could not write the playlists\n");
        return 1;
    }
    std::vector<double> scan, withBig, withPlaylist, withRepeated;
    for (int i = 0; i < kRuns; ++i) {
        scan.push_back(timeToFinish(cli, {"scan", big.path(), "--subfolders"}));
        withBig.push_back(timeToFirstPaint(vorlane, {}, bigHome));
        withPlaylist.push_back(timeToFirstPaint(vorlane, {}, playlistHome));
        withRepeated.push_back(timeToFirstPaint(vorlane, {}, repeatedHome));
    }
    for (const auto *times : {&scan, &withBig, &withPlaylist, &withRepeated}) {
        if (*std::min_element(times->begin(), times->end()) < 0) {
            std::fprintf(stderr, "startup_bench: the scan or a big start failed\n");
            return 1;
        }
    }
    const double s = median(scan), w = median(withBig);
    std::printf("vorlane-cli scan of %d files      %8.1f ms\n", kBigFiles, s);
    std::printf("vorlane with a %d-entry list      %8.1f ms   ratio %.2f against window + scan"
                " %.1f ms (goal <= 1.5)\n",
                kBigFiles, w, w / (b + s), b + s);
    const double p = median(withPlaylist), r = median(withRepeated);
    std::printf("vorlane with a %d-entry playlist  %8.1f ms   ratio %.2f against the folder list"
                " (goal <= 1.3)\n",
                kBigFiles, p, p / w);
    std::printf("the same lines, a tenth repeated     %8.1f ms   ratio %.2f against the playlist"
                " (goal <= 1.0)\n",
                r, r / p);
    return 0;
}
