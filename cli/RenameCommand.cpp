// vorlane-cli rename and tags from-names: the catalogue's naming tools over one folder, through
// the catalogue controller, on the folder's list in natural name order.

#include "base/RegularFile.h"
#include "catalog/Naming.h"
#include "catalog/Vorlane.h"
#include "cli/Commands.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace vorlane::cli {

namespace {

const char kRenameUsage[] =
    "usage: vorlane-cli rename DIR (--from-v2|--from-v1 [--template "
    "number,artist,album,name,year] | --format | --to-latin | --to-cyrillic | --number | "
    "--replace OLD NEW) [--subfolders]\n";

QTextStream &out()
{
    static QTextStream stream(stdout);
    stream.setEncoding(QStringConverter::Utf8);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    stream.setEncoding(QStringConverter::Utf8);
    return stream;
}

bool parseTemplate(const QString &text, TTagRenameTemplate &t)
{
    t = TTagRenameTemplate();
    for (const QString &field : text.split(u',', Qt::SkipEmptyParts)) {
        const QString f = field.trimmed().toLower();
        if (f == QLatin1String("number"))
            t.Number = true;
        else if (f == QLatin1String("artist"))
            t.Artist = true;
        else if (f == QLatin1String("album"))
            t.Album = true;
        else if (f == QLatin1String("name"))
            t.Name = true;
        else if (f == QLatin1String("year"))
            t.Year = true;
        else
            return false;
    }
    return true;
}

// The controller with the folder's list shown and current, in natural name order.
bool openFolder(TVorlane &c, const QString &dir, bool subfolders, const char *command)
{
    if (!QFileInfo(dir).isDir()) {
        err() << "vorlane-cli " << command << ": not a folder: " << dir << "\n";
        return false;
    }
    c.SetMode(bmComputerFiles);
    c.AddList(QDir(dir).absolutePath(), subfolders, false);
    c.AlphabetSorting(false);
    c.SetFileIndex(0);
    return true;
}

QList<int> everyEntry(const TFileList &list)
{
    QList<int> all;
    for (int i = 0; i < list.Count(); ++i)
        all << i;
    return all;
}

// The entry's path below the folder, as the user named the files.
QString shown(const TFileName &entry, const QString &root)
{
    const QString path = entry.DirName + entry.FileName;
    return path.startsWith(root) ? path.mid(root.size()) : path;
}

} // namespace

int RunRename(const QStringList &args)
{
    QString dir;
    QString action;
    QString templateText;
    QString oldText;
    QString newText;
    bool subfolders = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool isAction = a == QLatin1String("--from-v2") || a == QLatin1String("--from-v1") ||
                              a == QLatin1String("--format") || a == QLatin1String("--to-latin") ||
                              a == QLatin1String("--to-cyrillic") ||
                              a == QLatin1String("--number") || a == QLatin1String("--replace");
        if (isAction) {
            if (!action.isEmpty()) {
                err() << kRenameUsage;
                return 2;
            }
            action = a;
            if (a == QLatin1String("--replace")) {
                if (i + 2 >= args.size()) {
                    err() << kRenameUsage;
                    return 2;
                }
                oldText = args.at(++i);
                newText = args.at(++i);
            }
        } else if (a == QLatin1String("--template") && i + 1 < args.size()) {
            templateText = args.at(++i);
        } else if (a == QLatin1String("--subfolders")) {
            subfolders = true;
        } else if (a.startsWith(QLatin1String("--")) || !dir.isEmpty()) {
            err() << kRenameUsage;
            return 2;
        } else {
            dir = a;
        }
    }
    const bool fromTags =
        action == QLatin1String("--from-v2") || action == QLatin1String("--from-v1");
    TTagRenameTemplate t;
    t.Artist = t.Name = true;
    if (dir.isEmpty() || action.isEmpty() || (!templateText.isEmpty() && !fromTags) ||
        (!templateText.isEmpty() && !parseTemplate(templateText, t)) ||
        (action == QLatin1String("--replace") && oldText.isEmpty())) {
        err() << kRenameUsage;
        return 2;
    }

    TVorlane c;
    if (!openFolder(c, dir, subfolders, "rename"))
        return 1;
    c.SetTagRenameTemplate(t);
    const TFileList before = c.FolderList(0);
    const QList<int> all = everyEntry(before);
    TRenameTally undone;
    if (action == QLatin1String("--number")) {
        if (subfolders) {
            err() << "vorlane-cli rename: a list with sub-folders is not numbered\n";
            return 0;
        }
        c.Edit(etNumbering);
    } else if (action == QLatin1String("--replace")) {
        undone = c.Edit(all, oldText, newText);
    } else {
        const int type = action == QLatin1String("--from-v2")    ? etFromTagV2
                         : action == QLatin1String("--from-v1")  ? etFromTagV1
                         : action == QLatin1String("--format")   ? etFormatName
                         : action == QLatin1String("--to-latin") ? etToLatin
                                                                 : etToCyrillic;
        undone = c.Edit(all, type);
    }

    // The list keeps its order: entry i before and after is the same file.
    const QString root = before.RootDir + u'/';
    const TFileList &after = c.FolderList(0);
    const QString mark = QString::fromUtf16(kRenameErrorMark);
    int status = 0;
    for (int i = 0; i < before.Count() && i < after.Count(); ++i) {
        const TFileName &was = before.At(i);
        const TFileName &now = after.At(i);
        if (now.FileName == was.FileName)
            continue;
        if (now.FileName.endsWith(mark)) {
            err() << "vorlane-cli rename: cannot rename " << shown(was, root) << "\n";
            status = 1;
            continue;
        }
        out() << shown(was, root) << " -> " << shown(now, root) << "\n";
    }
    if (undone.Refused > 0) {
        err() << "vorlane-cli rename: " << undone.Refused
              << (undone.Refused == 1 ? " file was" : " files were")
              << " not renamed: the new name is taken or not allowed\n";
        status = 1;
    }
    if (undone.Outside > 0) {
        err() << "vorlane-cli rename: " << undone.Outside
              << (undone.Outside == 1 ? " file" : " files")
              << " left alone: reached through a link, outside " << dir << "\n";
        status = 1;
    }
    out().flush();
    return status;
}

int RunTagsFromNames(const QStringList &args)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        err() << "usage: vorlane-cli tags from-names DIR\n";
        return 2;
    }
    TVorlane c;
    if (!openFolder(c, args.first(), false, "tags from-names"))
        return 1;
    const TFileList list = c.FolderList(0);
    TUndecodableNames undecodable;
    int status = 0;
    QList<int> writable;
    for (int i = 0; i < list.Count(); ++i) {
        const bool mp3 = QFileInfo(list.At(i).FileName).suffix().toLower() == QLatin1String("mp3");
        if (!mp3 || !undecodable.Contains(list.At(i).DirName, list.At(i).FileName)) {
            writable << i;
            continue;
        }
        err() << "vorlane-cli tags from-names: " << list.At(i).FileName
              << ": the name is not text in the system's encoding; skipped\n";
        status = 1;
    }
    c.TagsAutoCreate(writable);

    // What each MP3's tag says now, read back through a fresh editor.
    const TNamingFence fence(list.RootDir);
    TTagEditor check;
    for (const int i : writable) {
        const TFileName &entry = list.At(i);
        check.SetFile(entry.DirName + entry.FileName);
        if (!check.Enabled())
            continue;
        if (!fence.Admits(entry.DirName + entry.FileName)) {
            err() << "vorlane-cli tags from-names: left alone: " << entry.FileName
                  << " is a link to a file outside " << args.first() << "\n";
            status = 1;
            continue;
        }
        TTag now;
        check.GetTagV2(now);
        const TTag wanted = TagsFromName(entry.FileName, i + 1);
        if (now.Track != wanted.Track || now.Title != wanted.Title) {
            err() << "vorlane-cli tags from-names: cannot write the tags of " << entry.FileName
                  << "\n";
            status = 1;
            continue;
        }
        out() << entry.FileName << " -> track " << now.Track << ", artist " << now.Artist
              << ", title " << now.Title << "\n";
    }
    out().flush();
    return status;
}

} // namespace vorlane::cli
