// Duplicate search between two folder lists of 50,000 entries each.
//
// Builds two folder trees whose names overlap by a third (in other sub-folders, with other
// letter case in some), scans both with sub-folders, then measures in one run with a warm cache:
//   scan        both folder scans                       the baseline
//   duplicates  the search of one list against the other, as a share of the scan time
// Each figure is the best of several runs, wall-clock and processor time.

#include "base/FileList.h"
#include "catalog/FileOperations.h"

#include "bench/BestCost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kFiles = 50000;

// kFiles files in folders of 250; file k of tree `side` is named after k, except that two of
// every three names of the second tree are its own (so a third of the names are shared).
void makeTree(const QString &root, int side)
{
    for (int k = 0; k < kFiles; ++k) {
        const QString folder = root + QStringLiteral("/Исполнитель %1/Альбом %2/")
                                          .arg(k / 1000 + side * 100)
                                          .arg((k / 250) % 4);
        if (k % 250 == 0)
            QDir().mkpath(folder);
        QString name =
            QStringLiteral("%1 - Песня %2.mp3").arg(k % 20 + 1, 2, 10, QChar('0')).arg(k);
        if (side == 1 && k % 3 != 0)
            name = QStringLiteral("Other track %1.mp3").arg(k);
        if (side == 1 && k % 6 == 0)
            name = name.toUpper();
        QFile(folder + name).open(QIODevice::WriteOnly);
    }
}

using bench::best;
using bench::Cost;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    std::printf("generating 2 x %d files...\n", kFiles);
    makeTree(temp.path() + QStringLiteral("/one"), 0);
    makeTree(temp.path() + QStringLiteral("/two"), 1);

    TFileList one, two;
    one.RootDir = temp.path() + QStringLiteral("/one");
    two.RootDir = temp.path() + QStringLiteral("/two");
    one.Included = two.Included = true;
    auto scanBoth = [&] {
        one.CreateList(true);
        two.CreateList(true);
    };
    scanBoth(); // warm the cache

    const int runs = 7;
    const Cost scan = best(runs, scanBoth);
    int found = 0;
    const Cost find = best(41, [&] { found = FindDuplicates(one, two).Count(); });

    std::printf("entries: %d and %d, duplicates found: %d\n", one.Count(), two.Count(), found);
    std::printf("scan of both lists:  %8.1f ms (processor %8.1f ms)\n", scan.wallMs, scan.cpuMs);
    std::printf("duplicate search:    %8.1f ms (processor %8.1f ms)\n", find.wallMs, find.cpuMs);
    std::printf("share of scan: %.2f%% (processor time %.2f%%)   goal < 2%%\n",
                100 * find.wallMs / scan.wallMs, 100 * find.cpuMs / scan.cpuMs);
    return 0;
}
