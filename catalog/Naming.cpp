// Tag-driven naming: the name algorithms and the controller's naming operations.

#include "catalog/Naming.h"
#include "base/RegularFile.h"
#include "base/TextUtils.h"
#include "catalog/References.h"
#include "catalog/Vorlane.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vorlane {

namespace {

// The template over five field texts; the album keeps its trailing space when something precedes
// it, so that the title's " - " follows two spaces.
QString applyTemplate(const TTagRenameTemplate &t, const QString &number, const QString &artist,
                      const QString &album, const QString &title, const QString &year)
{
    QString n;
    if (t.Number && !number.isEmpty())
        n = number;
    if (t.Artist && !artist.isEmpty())
        n = n.isEmpty() ? artist : n + QStringLiteral(" - ") + artist;
    if (t.Album && !album.isEmpty())
        n = n.isEmpty() ? album : n + QStringLiteral(", ") + album + u' ';
    if (t.Name && !title.isEmpty())
        n = n.isEmpty() ? title : n + QStringLiteral(" - ") + title;
    if (t.Year && !year.isEmpty() && !n.isEmpty())
        n += QStringLiteral(" (") + year + u')';
    return n;
}

QString trimmedRight(const QString &s)
{
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == u' ')
        --end;
    return s.left(end);
}

QString trimmedLeft(const QString &s)
{
    qsizetype start = 0;
    while (start < s.size() && s.at(start) == u' ')
        ++start;
    return s.mid(start);
}

} // namespace

QString NameFromTag(const TTag &tag, const TTagRenameTemplate &t)
{
    QString n = applyTemplate(t, tag.Track, tag.Artist, tag.Album, tag.Title, tag.Year);
    if (n.isEmpty())
        return n;
    n += tag.FileType;
    SanitizeFileName(n);
    return n;
}

QString TemplateSample(const TTagRenameTemplate &t)
{
    return applyTemplate(t, QStringLiteral("01"), QStringLiteral("John Johnson"),
                         QStringLiteral("Spring album"), QStringLiteral("My song"),
                         QStringLiteral("1991"));
}

QString FormatName(const QString &fileName)
{
    QString name = fileName.toLower();
    name.replace(u'_', u' ');

    // The leading run of characters up to "9" (digits, space, "!" to "/"): "01 - song" -> "song".
    // It stops at the extension, so a name made only of them keeps its stem and extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype stemEnd = dot > 0 ? dot : name.size();
    qsizetype run = 0;
    while (run < stemEnd && name.at(run).unicode() <= u'9')
        ++run;
    if (run < stemEnd)
        name.remove(0, run);

    const qsizetype hyphen = name.indexOf(u'-');
    if (hyphen >= 0) {
        qsizetype at = hyphen;
        if (at > 0 && name.at(at - 1) != u' ') {
            name.insert(at, u' ');
            ++at;
        }
        if (at < name.size() - 1 && name.at(at + 1) != u' ')
            name.insert(at + 1, u' ');
    }

    for (qsizetype i = 1; i + 1 < name.size(); ++i) {
        if (name.at(i - 1) == u' ')
            name[i] = fUpCaseRus(name.at(i));
    }
    if (!name.isEmpty())
        name[0] = fUpCaseRus(name.at(0));
    return name;
}

QString NumberingPrefix(int k, int count)
{
    const int width = int(QString::number(std::max(count, 0)).size());
    return QStringLiteral("%1").arg(k, width, 10, QChar(u'0')) + QStringLiteral(" - ");
}

TTag TagsFromName(const QString &fileName, int track)
{
    const QString base = NameWithoutExtension(fileName);
    TTag tag;
    const qsizetype hyphen = base.indexOf(u'-');
    if (hyphen < 0) {
        tag.Title = base;
    } else {
        tag.Artist = trimmedRight(base.left(hyphen));
        tag.Title = trimmedLeft(base.mid(hyphen + 1));
    }
    tag.Track = QString::number(track);
    return tag;
}

bool PathInsideFolder(const QString &path, const QString &root)
{
    if (path.isEmpty() || root.isEmpty() || !path.startsWith(root))
        return false;
    if (root.endsWith(u'/')) // "/" itself
        return path.size() > root.size();
    return path.size() > root.size() + 1 && path.at(root.size()) == u'/';
}

TNamingFence::TNamingFence(const QString &root)
    : vRoot(QFileInfo(root).canonicalFilePath())
{
}

bool TNamingFence::Admits(const QString &path) const
{
    return PathInsideFolder(QFileInfo(path).canonicalFilePath(), vRoot);
}

// ---- The controller's naming operations ----

namespace {

enum class TRenamed { Yes, Refused, Outside };

// Every rename of the naming tools goes through here; each one made is added to `made`, for the
// playlists and bookmarks to follow.
TRenamed renameEntry(TFileList &list, int index, const QString &newFileName,
                     const TNamingFence &fence, QList<TPathChange> &made)
{
    const TFileName entry = list.At(index);
    if (newFileName.isEmpty() || newFileName.contains(u'/') || newFileName.contains(QChar(0)))
        return TRenamed::Refused;
    if (!fence.Admits(entry.DirName + entry.FileName))
        return TRenamed::Outside;
    // An existing file of that name is never replaced: like the platform's own rename, the
    // rename is refused.
    const QString target = entry.DirName + newFileName;
    if (newFileName == entry.FileName || QFileInfo::exists(target) ||
        QFileInfo(target).isSymLink() || !QFile::rename(entry.DirName + entry.FileName, target))
        return TRenamed::Refused;
    const int cursor = list.CurIndex;
    list.SetRecord(index, newFileName, QString());
    list.CurIndex = cursor;
    made.append(TPathChange{entry.DirName + entry.FileName, target, QString()});
    return TRenamed::Yes;
}

void tally(TRenameTally &t, TRenamed result)
{
    if (result == TRenamed::Refused)
        ++t.Refused;
    else if (result == TRenamed::Outside)
        ++t.Outside;
}

} // namespace

TFileList *TVorlane::namingList(bool visible)
{
    if (vMode != bmComputerFiles)
        return nullptr;
    const int index = visible ? vVisibleListIndex : vListIndex;
    return index >= 0 && index < vList.size() ? &vList[index] : nullptr;
}

QString TVorlane::newNameFor(const TFileName &entry, int editType)
{
    switch (editType) {
    case etToCyrillic: return TranslitToCyrillic(entry.FileName);
    case etFormatName: return FormatName(entry.FileName);
    case etToLatin: return TranslitToLatin(entry.FileName);
    case etFromTagV1:
    case etFromTagV2: {
        vTagEditor.SetFile(entry.DirName + entry.FileName);
        if (!vTagEditor.Enabled())
            return {};
        TTag tag;
        if (editType == etFromTagV1)
            vTagEditor.GetTagV1(tag);
        else
            vTagEditor.GetTagV2(tag);
        return NameFromTag(tag, vTagRenameTemplate);
    }
    default: return entry.FileName;
    }
}

void TVorlane::Edit(const QString &newFileName, TReopen reopen)
{
    TFileList *list = namingList(false);
    if (!list || vFileIndex < 0 || vFileIndex >= list->Count())
        return;
    QList<TPathChange> made;
    renameEntry(*list, vFileIndex, newFileName, TNamingFence(list->RootDir), made);
    followPathChanges(made);
    vFlags = reopen == TReopen::ByCaller ? efListChanged : efMoveRefresh;
}

QString TVorlane::Edit(int editType)
{
    TFileList *list = namingList(false);
    if (!list || vFileIndex < 0 || vFileIndex >= list->Count())
        return {};
    const TFileName entry = list->At(vFileIndex);
    if (editType != etNumbering)
        return newNameFor(entry, editType);

    // Numbering of the whole list; a list that takes in sub-folders is left alone.
    if (!list->Included) {
        const TNamingFence fence(list->RootDir);
        const int count = list->Count();
        QList<TPathChange> made;
        for (int k = 0; k < count; ++k) {
            const QString numbered = NumberingPrefix(k + 1, count) + list->At(k).FileName;
            if (renameEntry(*list, k, numbered, fence, made) != TRenamed::Yes) {
                TFileName marked = list->At(k);
                marked.FileName = numbered + QString::fromUtf16(kRenameErrorMark);
                marked.Title = marked.FileName;
                const int cursor = list->CurIndex;
                list->SetRecord(k, marked);
                list->CurIndex = cursor;
            }
        }
        followPathChanges(made);
        vFlags = efRefreshView;
    }
    return entry.FileName;
}

TRenameTally TVorlane::Edit(const QList<int> &indexes, int editType)
{
    TFileList *list = namingList(true);
    if (!list)
        return {};
    vIndexesList = indexes;
    const TNamingFence fence(list->RootDir);
    TRenameTally undone;
    QList<TPathChange> made;
    for (int index : indexes) {
        if (index < 0 || index >= list->Count() || editType == etNumbering)
            continue;
        const QString name = newNameFor(list->At(index), editType);
        if (!name.isEmpty() && name != list->At(index).FileName)
            tally(undone, renameEntry(*list, index, name, fence, made));
    }
    followPathChanges(made);
    vFlags = efListChanged;
    return undone;
}

TRenameTally TVorlane::Edit(const QList<int> &indexes, const QString &findString,
                            const QString &newString, TReopen reopen)
{
    TFileList *list = namingList(true);
    if (!list)
        return {};
    vIndexesList = indexes;
    TRenameTally undone;
    QList<TPathChange> made;
    // An empty expression would match between every two characters: nothing to replace.
    if (!findString.isEmpty()) {
        const TNamingFence fence(list->RootDir);
        for (int index : indexes) {
            if (index < 0 || index >= list->Count())
                continue;
            const QString old = list->At(index).FileName;
            if (!old.contains(findString, Qt::CaseSensitive))
                continue;
            QString name = old;
            name.replace(findString, newString, Qt::CaseSensitive);
            if (name != old)
                tally(undone, renameEntry(*list, index, name, fence, made));
        }
    }
    followPathChanges(made);
    vFlags = reopen == TReopen::ByCaller ? efListChanged : efRefreshView;
    return undone;
}

namespace {

// Writes a naming-list entry's two tags, `v2First` choosing which goes first. 1 when the entry
// may not be written (outside the chosen folder, a name that is not text) or a save failed; 0
// when both were written, or for a file the editor leaves alone (not an MP3 file).
int writeBothTags(TTagEditor &editor, const TFileName &entry, const TTag &tag, bool v2First,
                  TUndecodableNames &undecodable, const TNamingFence &fence)
{
    editor.SetFile(entry.DirName + entry.FileName);
    if (!editor.Enabled())
        return 0;
    if (undecodable.Contains(entry.DirName, entry.FileName) ||
        !fence.Admits(entry.DirName + entry.FileName))
        return 1;
    bool saved = true;
    for (const bool v2 : {v2First, !v2First}) {
        if (v2)
            editor.SetTagV2(tag);
        else
            editor.SetTagV1(tag);
        saved = editor.LastSaveOk() && saved;
    }
    return saved ? 0 : 1;
}

} // namespace

int TVorlane::TagsAutoCreate(const QList<int> &indexes, TReopen reopen)
{
    TFileList *list = namingList(true);
    if (!list)
        return 0;
    vIndexesList = indexes;
    TUndecodableNames undecodable;
    const TNamingFence fence(list->RootDir);
    int failed = 0;
    for (int index : indexes) {
        if (index < 0 || index >= list->Count())
            continue;
        const TFileName &entry = list->At(index);
        failed += writeBothTags(vTagEditor, entry, TagsFromName(entry.FileName, index + 1), false,
                                undecodable, fence);
    }
    vFlags = reopen == TReopen::ByCaller ? efListChanged : efRefreshView;
    return failed;
}

int TVorlane::AutoCreateTagsTrackNumbers()
{
    TFileList *list = namingList(false);
    if (!list)
        return 0;
    TUndecodableNames undecodable;
    const TNamingFence fence(list->RootDir);
    int failed = 0;
    for (int k = 0; k < list->Count(); ++k) {
        TTag tag;
        tag.Track = QString::number(k + 1);
        failed += writeBothTags(vTagEditor, list->At(k), tag, true, undecodable, fence);
    }
    return failed;
}

QString TVorlane::GetTagsList(int listIndex, bool id3v2)
{
    if (vMode != bmComputerFiles || listIndex < 0 || listIndex >= vList.size())
        return {};
    const TFileList list = vList.at(listIndex);
    QString text;
    for (int k = 0; k < list.Count(); ++k) {
        text += newNameFor(list.At(k), id3v2 ? etFromTagV2 : etFromTagV1);
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace vorlane
