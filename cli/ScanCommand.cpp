// vorlane-cli scan: a folder's list as the catalogue builds it, in the list line format.

#include "base/FileList.h"
#include "cli/Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace vorlane::cli {

namespace {

// List lines encoded straight into one buffer, which goes to standard output in large blocks: no
// line is made as a string of its own.
class TLinePrinter {
public:
    void Add(QStringView text)
    {
        char *out = room(text.size());
        out = vUtf8.appendToBuffer(out, text);
        finishLine(out);
    }
    // The list line of a record (TFileList::RecordToLine).
    void Add(const TFileName &r)
    {
        const bool network = r.IsNetwork();
        char *out = room(r.DirName.size() + r.FileName.size() + (network ? 1 + r.Title.size() : 0));
        out = vUtf8.appendToBuffer(out, r.DirName);
        out = vUtf8.appendToBuffer(out, r.FileName);
        if (network) {
            *out++ = '?';
            out = vUtf8.appendToBuffer(out, r.Title);
        }
        finishLine(out);
    }
    void Flush()
    {
        std::fwrite(vBuffer.constData(), 1, size_t(vUsed), stdout);
        std::fflush(stdout);
        vUsed = 0;
    }

private:
    static constexpr qsizetype kBlock = 256 * 1024;

    // Where a line of `units` UTF-16 units (and its line end) is encoded.
    char *room(qsizetype units)
    {
        const qsizetype need = vUsed + vUtf8.requiredSpace(units) + 1;
        if (need > vBuffer.size())
            vBuffer.resize(std::max(need, 2 * kBlock));
        return vBuffer.data() + vUsed;
    }
    void finishLine(char *out)
    {
        *out++ = '\n';
        vUsed = out - vBuffer.constData();
        if (vUsed >= kBlock)
            Flush();
    }

    QStringEncoder vUtf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QByteArray vBuffer;
    qsizetype vUsed = 0;
};

} // namespace

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
    TLinePrinter out;
    out.Add(QString::number(list.CurIndex));
    int leftOut = 0;
    if (sort.isEmpty()) {
        // Printed as the scan reads it: no record is kept.
        leftOut = list.ScanFolder(!allFiles, [&out](TFileName &&record) { out.Add(record); });
    } else {
        leftOut = list.CreateList(!allFiles);
        if (sort == QLatin1String("name"))
            list.AlphabetSort(false, false);
        else if (sort == QLatin1String("name-desc"))
            list.AlphabetSort(true, false);
        else if (sort == QLatin1String("title"))
            list.AlphabetSort(false, true);
        else if (sort == QLatin1String("date"))
            list.DateSort();
        for (int i = 0; i < list.Count(); ++i)
            out.Add(list.At(i));
    }
    out.Flush();
    if (leftOut > 0)
        err << "vorlane-cli scan: " << leftOut << (leftOut == 1 ? " file" : " files")
            << " left out: a line break in the path, or a name that is not valid text\n";
    return 0;
}

} // namespace vorlane::cli
