// Saving the catalogue against loading it.
//
// A data folder with 20 folder lists of 5,000 files each and 50 playlists of 1,000 entries
// (local files and network entries); measures in one run with a warm cache:
//   load   Load of FL.txt, BK.txt, PL.txt and the playlists (the folder lists rescanned)
//   save   Save of the same catalogue, as a share of the load time (every mode change saves):
//          right after loading, with every playlist file changed on disk (all written), and
//          again with nothing changed
// Each figure is the best of several runs, wall-clock and processor time.

#include "base/TextFile.h"
#include "catalog/CatalogFiles.h"
#include "catalog/Vorlane.h"

#include "bench/BestCost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 5000;
constexpr int kPlayLists = 50;
constexpr int kPlayListEntries = 1000;

using bench::best;
using bench::Cost;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString data = temp.path() + u'/';
    std::printf("generating %d files, %d playlists...\n", kFolders * kFilesPerFolder, kPlayLists);
    QStringList fl = {QStringLiteral("-1")};
    QStringList files;
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = data + QStringLiteral("Music/Коллекция %1").arg(f);
        QDir().mkpath(folder);
        for (int k = 0; k < kFilesPerFolder; ++k) {
            const QString path = folder + QStringLiteral("/%1 - Исполнитель - Песня %2.mp3")
                                              .arg(k % 30 + 1, 2, 10, QChar('0'))
                                              .arg(k);
            QFile(path).open(QIODevice::WriteOnly);
            if (k % 100 == 0)
                files << path;
        }
        fl << folder << QStringLiteral("False") << QString::number(f);
    }
    WriteTextLines(data + QStringLiteral("VL4Conf/FL.txt"), fl);
    QStringList pl = {QStringLiteral("MyNetwork.vl3u")};
    for (int p = 1; p <= kPlayLists; ++p) { // after the network playlist, which starts empty
        QStringList lines = {QStringLiteral("0")};
        for (int e = 0; e < kPlayListEntries; ++e) {
            if (e % 2 == 0)
                lines << files.at((p * 31 + e) % files.size());
            else
                lines << QStringLiteral("http://music.example/lists/%1/track%2.mp3?Песня %2")
                             .arg(p)
                             .arg(e);
        }
        const QString name = QStringLiteral("Плейлист %1.vl3u").arg(p);
        WriteTextLines(data + QStringLiteral("VL4Conf/Playlists/") + name, lines);
        pl << name;
    }
    WriteTextLines(data + QStringLiteral("VL4Conf/PL.txt"), pl);
    fCheckPLFile(data);

    TVorlane c;
    c.SetProgramDataDir(data);
    c.LoadCatalog(); // warm the cache
    const int runs = 5;
    const Cost load = best(runs, [&] { c.LoadCatalog(); });
    const int lists = c.FolderListCount();
    const int playlists = c.PlayListCount();
    // Right after loading, the files on disk are what would be written: they are compared, not
    // replaced. With every file changed on disk every file is written. With nothing changed
    // since the last save (most mode changes) not even a comparison is needed.
    const Cost saveLoaded = best(
        runs, [&] { c.SaveCatalog(); }, [&] { c.LoadCatalog(); });
    const Cost saveAll = best(
        runs, [&] { c.SaveCatalog(); },
        [&] {
            c.LoadCatalog();
            for (const QFileInfo &f :
                 QDir(data + QStringLiteral("VL4Conf/Playlists")).entryInfoList(QDir::Files)) {
                QFile file(f.filePath());
                file.open(QIODevice::Append);
                file.write("\r\n");
            }
        });
    c.SaveCatalog();
    const Cost saveSame = best(runs, [&] { c.SaveCatalog(); });

    std::printf("folder lists: %d (%d entries each), playlists: %d\n", lists,
                c.FolderList(0).Count(), playlists);
    std::printf("load:                  %8.1f ms (processor %8.1f ms)\n", load.wallMs, load.cpuMs);
    auto report = [&](const char *what, const Cost &save) {
        std::printf("%s %8.1f ms (processor %8.1f ms)   share of load %.2f%% (processor time "
                    "%.2f%%)   goal < 5%%\n",
                    what, save.wallMs, save.cpuMs, 100 * save.wallMs / load.wallMs,
                    100 * save.cpuMs / load.cpuMs);
    };
    report("save after loading:    ", saveLoaded);
    report("save, every file new:  ", saveAll);
    report("save, nothing changed: ", saveSame);
    return 0;
}
