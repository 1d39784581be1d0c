// The internet catalogue and the search scrapers.
//
//   refresh  a cache refresh of an index of 200 lists of 500 entries from a local server
//            (tests/support/httpserver.py on 127.0.0.1): first into an empty cache (every list
//            downloaded), then again with nothing changed (every list asked for its size only)
//   lists    LoadInetLists over that cache: the internet lists built from the cached files
//            (goal: at most 0.3 s)
//   scrape   each site's scraper over a 2 MB result page, UTF-8 decoding included (goal: at most
//            20 ms)
//   stalls   the window's side, on a fresh cache: the controller's connection check and refresh on
//            its workers while the main thread runs a 50 ms event timer as the window does, then
//            listing the internet lists (mode 3, LoadInetLists) and one list (mode 4); the longest
//            gap between two firings of a 5 ms timer on the main thread is the longest the window
//            would stall (goal: at most 50 ms)
// Each figure is the best of several runs, wall-clock and processor time.

#include "catalog/Vorlane.h"
#include "net/InetCatalog.h"
#include "net/InetSearch.h"

#include "bench/BestCost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace vorlane;

namespace {

constexpr int kLists = 200;
constexpr int kEntries = 500;
constexpr qsizetype kPageBytes = 2 << 20;

using bench::best;
using bench::Cost;

void report(const char *what, const Cost &c, double goalMs = 0)
{
    std::printf("%-34s %9.1f ms wall %9.1f ms cpu", what, c.wallMs, c.cpuMs);
    // Judged by processor time: on a shared machine the wall time also counts others' work.
    if (goalMs > 0)
        std::printf("   goal <= %.0f ms cpu: %s", goalMs, c.cpuMs <= goalMs ? "met" : "MISSED");
    std::printf("\n");
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString firstSitePage()
{
    QString page = QStringLiteral("<html><body><div class=\"content\">\n");
    for (int i = 0; page.size() < kPageBytes; ++i)
        page += QStringLiteral("<div class=\"block\" data-url=\"%1\" data-resource=\"song\">"
                               "<span class=\"n\">&laquo;Исполнитель %2 - Песня %1&raquo;</span>"
                               "</div>\n")
                    .arg(i)
                    .arg(i % 97);
    return page;
}

QString secondSitePage()
{
    QString page = QStringLiteral("<div class=\"xblock\"><h1 class=\"xblock-title\">Hits</h1><ul>");
    for (int i = 0; page.size() < kPageBytes; ++i)
        page += QStringLiteral("<li class=\"track\" data-mp3=\"http://two.test/File/%1/t.mp3\" "
                               "data-duration=\"200\"><a class=\"playlist-title\" href=\"/a\">"
                               "<span>Artist %2</span></a> - <a href=\"/s\"><span>Song %1</span>"
                               "</a></li>\n")
                    .arg(i)
                    .arg(i % 97);
    return page;
}

// The longest wait between two firings of a 5 ms timer on the main thread since Start().
class StallMeter {
public:
    StallMeter()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Mark(); });
    }
    void Start()
    {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    void Mark()
    {
        const double now = double(clock_.nsecsElapsed()) / 1e6;
        worst_ = std::max(worst_, now - last_);
        last_ = now;
    }
    double Stop()
    {
        Mark();
        timer_.stop();
        return worst_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0;
    double worst_ = 0;
};

void reportStall(const char *what, double worstMs)
{
    std::printf("%-34s %9.1f ms longest main-thread gap   goal <= 50 ms: %s\n", what, worstMs,
                worstMs <= 50 ? "met" : "MISSED");
}

// The check and the refresh as the window runs them (event 24 starts the refresh; event 9 is its
// end), then the listings event 9 leads to. False when the refresh did not end in time.
bool measureStalls(const QString &serverName, const QString &dataDir)
{
    QDir(dataDir + "VL4Conf/Cache").removeRecursively();
    QFile::remove(dataDir + "VL4Conf/lst.txt");
    TVorlane controller;
    controller.SetProgramDataDir(dataDir);
    controller.SetServerName(serverName);
    controller.Flags();

    StallMeter meter;
    QEventLoop loop;
    bool refreshed = false;
    QTimer mt;
    mt.setInterval(50);
    QObject::connect(&mt, &QTimer::timeout, [&] {
        const TEventCode code = controller.Flags();
        if (code == efInternetEnabled)
            controller.RefreshCache();
        if (code == efRefreshView && !controller.InternetBusy()) {
            refreshed = true;
            loop.quit();
        }
    });
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    meter.Start();
    mt.start();
    controller.CheckInetConnection();
    loop.exec();
    mt.stop();
    reportStall("check and refresh (200 lists)", meter.Stop());
    if (!refreshed)
        return false;

    // What the refill of event 9 does when the internet lists, then one of them, are shown.
    const auto listing = [&](const char *what, const std::function<void()> &show) {
        meter.Start();
        QTimer::singleShot(20, &loop, show);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        reportStall(what, meter.Stop());
    };
    listing("listing mode 3 (LoadInetLists)", [&] {
        controller.SetMode(bmInternetLists);
        controller.List();
    });
    listing("listing mode 4 (one list)", [&] {
        controller.SetVisibleListIndex(0);
        controller.SetMode(bmInternetFiles);
        controller.List();
    });
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir served, data;
    const QString dataDir = data.path() + u'/';
    QDir().mkpath(dataDir + "VL4Conf");

    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VORLANE_BENCH_HTTP_SERVER),
                                                      QStringLiteral("--root"), served.path()});
    QByteArray portLine;
    while (server.waitForReadyRead(15000) && !portLine.contains('\n'))
        portLine += server.readAllStandardOutput();
    const auto match =
        QRegularExpression(QStringLiteral("PORT (\\d+)")).match(QString::fromLatin1(portLine));
    if (!match.hasMatch()) {
        std::fprintf(stderr, "inet_bench: the local HTTP server did not start\n");
        return 1;
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(match.captured(1));

    std::printf("generating %d lists of %d entries...\n", kLists, kEntries);
    QStringList index;
    for (int l = 0; l < kLists; ++l) {
        QByteArray list;
        for (int e = 0; e < kEntries; ++e)
            list += QStringLiteral("http://music.test/list%1/track%2.mp3?Исполнитель %3 - Песня "
                                   "%2\r\n")
                        .arg(l)
                        .arg(e)
                        .arg(e % 50)
                        .toUtf8();
        const QString name = QStringLiteral("lists/list%1.txt").arg(l);
        write(served.path() + u'/' + name, list);
        index << base + name;
    }
    write(served.path() + "/lst.txt", (index.join("\r\n") + "\r\n").toUtf8());

    TRefreshReport refreshed;
    report("refresh into an empty cache",
           best(1, [&] { refreshed = RefreshCatalogueCache(base + "lst.txt", dataDir); }));
    const auto updated =
        std::count_if(refreshed.Lines.begin(), refreshed.Lines.end(),
                      [](const TRefreshLine &l) { return l.Outcome == TRefreshOutcome::Updated; });
    if (updated != kLists) {
        std::fprintf(stderr, "inet_bench: %lld of %d lists downloaded\n", qlonglong(updated),
                     kLists);
        return 1;
    }
    report("refresh with nothing changed",
           best(3, [&] { RefreshCatalogueCache(base + "lst.txt", dataDir); }));

    TVorlane controller;
    controller.SetProgramDataDir(dataDir);
    int entries = 0;
    report("LoadInetLists (200 x 500)",
           best(5,
                [&] {
                    controller.LoadInetLists();
                    entries = 0;
                    for (int i = 0; i < controller.InetListCount(); ++i)
                        entries += controller.InetList(i).Count();
                }),
           300);
    if (entries != kLists * kEntries) {
        std::fprintf(stderr, "inet_bench: %d entries built\n", entries);
        return 1;
    }

    const QByteArray first = firstSitePage().toUtf8();
    const QByteArray second = secondSitePage().toUtf8();
    int found = 0;
    report("scrape a 2 MB first-site page",
           best(10,
                [&] {
                    TFileList list;
                    ScrapeFirstSite(QString::fromUtf8(first), QStringLiteral("http://one.test"),
                                    list);
                    found = list.Count();
                }),
           20);
    std::printf("    %d results from %lld bytes\n", found, qlonglong(first.size()));
    report("scrape a 2 MB second-site page",
           best(10,
                [&] {
                    TFileList list;
                    ScrapeSecondSite(QString::fromUtf8(second), list);
                    found = list.Count();
                }),
           20);
    std::printf("    %d results from %lld bytes\n", found, qlonglong(second.size()));

    if (!measureStalls(base + "lst.txt", dataDir)) {
        std::fprintf(stderr, "inet_bench: the controller's refresh did not end\n");
        return 1;
    }

    server.closeWriteChannel();
    server.waitForFinished(3000);
    return 0;
}
