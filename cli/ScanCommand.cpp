// vorlane-cli scan: a folder's list as the catalogue builds it, in the list line format.

#include "base/FileList.h"
#include "cli/Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace vorlane::cli {

int RunScan(const QStringList &args)
{
    QTextStream err(stderr);
    QString dir;
    QString sort;
    bool subfolders = false;
    bool allFiles = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--subfolders")) {
            subfolders = true;
        } else if (a == QLatin1String("--all-files")) {
            allFiles = true;
        } else if (a == QLatin1String("--sort") && i + 1 < args.size()) {
            sort = args.at(++i);
            if (sort != QLatin1String("name") && sort != QLatin1String("name-desc") &&
                sort != QLatin1String("title") && sort != QLatin1String("date")) {
                err << "vorlane-cli scan: unknown sort order: " << sort << "\n";
                return 2;
            }
        } else if (a.startsWith(QLatin1String("--")) || !dir.isEmpty()) {
            err << "usage: vorlane-cli scan DIR [--subfolders] [--all-files] "
                   "[--sort name|name-desc|title|date]\n";
            return 2;
        } else {
            dir = a;
        }
    }
    if (dir.isEmpty()) {
        err << "usage: vorlane-cli scan DIR [--subfolders] [--all-files] "
               "[--sort name|name-desc|title|date]\n";
        return 2;
    }
    if (!QFileInfo(dir).isDir()) {
        err << "vorlane-cli scan: not a folder: " << dir << "\n";
        return 1;
    }

    TFileList list;
    list.RootDir = QDir(dir).absolutePath();
    list.Included = subfolders;
    const int leftOut = list.CreateList(!allFiles);
    if (sort == QLatin1String("name"))
        list.AlphabetSort(false, false);
    else if (sort == QLatin1String("name-desc"))
        list.AlphabetSort(true, false);
    else if (sort == QLatin1String("title"))
        list.AlphabetSort(false, true);
    else if (sort == QLatin1String("date"))
        list.DateSort();

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << list.CurIndex << '\n';
    for (const QString &line : list.GetStringList())
        out << line << '\n';
    out.flush();
    if (leftOut > 0)
        err << "vorlane-cli scan: " << leftOut << (leftOut == 1 ? " file" : " files")
            << " left out: a line break in the path, or a name that is not valid text\n";
    return 0;
}

} // namespace vorlane::cli
