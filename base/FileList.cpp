#include "base/FileList.h"
#include "base/FileReplacement.h"

#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <set>
#include <vector>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#endif

namespace vorlane {

namespace {

// GetFileDateTime of a file named relative to an open folder, whose path is not walked again.
double fileDateAt(int folderFd, const QString &name)
{
#if defined(Q_OS_UNIX)
    const QByteArray bytes = QFile::encodeName(name);
    struct stat st {};
    // An empty name (a line ending in "/") is the folder itself.
    if (fstatat(folderFd, bytes.constData(), &st, bytes.isEmpty() ? AT_EMPTY_PATH : 0) != 0)
        return 0;
    return UnixTimeToDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
#else
    Q_UNUSED(folderFd);
    Q_UNUSED(name);
    return 0;
#endif
}

} // namespace

// The folder of the last local line added, with its hash: the entries of the lines after it that
// name the same folder share that string, as a scan's entries do. From its second entry on the
// folder is held open, and their dates are read relative to it.
class TFileList::LastFolder {
public:
    LastFolder() = default;
    LastFolder(const LastFolder &) = delete;
    LastFolder &operator=(const LastFolder &) = delete;
    ~LastFolder() { closeFolder(); }

    // The folder of the next line.
    void Take(QStringView folder)
    {
        if (!Name.isNull() && folder == Name) {
#if defined(Q_OS_UNIX)
            if (Fd < 0 && !vOpenTried) {
                vOpenTried = true;
                Fd = open(QFile::encodeName(Name).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            }
#endif
            return;
        }
        closeFolder();
        Name = folder.toString();
        Hash = qHash(Name);
    }

    QString Name;
    size_t Hash = 0;
    int Fd = -1; // the folder, open; -1 for a folder's first entry, or when it cannot be opened

private:
    void closeFolder()
    {
#if defined(Q_OS_UNIX)
        if (Fd >= 0)
            close(Fd);
#endif
        Fd = -1;
        vOpenTried = false;
    }

    bool vOpenTried = false;
};

bool HoldsHttp(QStringView text)
{
    // Each "h" is found by a search that runs over blocks of characters at a time; a list of many
    // thousand entries asks this of every line and every folder.
    for (qsizetype at = text.indexOf(u'h'); at >= 0 && at + 4 <= text.size();
         at = text.indexOf(u'h', at + 1)) {
        if (text.sliced(at, 4) == u"http")
            return true;
    }
    return false;
}

// ---- TChangeJournal ----

TListStamp TChangeJournal::Stamp() const
{
    // Shapes are numbered across all lists, so a stamp never matches another list.
    static std::atomic<quint64> shapes{0};
    if (vShape == 0)
        vShape = ++shapes;
    return {vShape, vStep};
}

void TChangeJournal::Replaced(int row)
{
    if (vShape == 0)
        return; // nobody holds a stamp of this shape
    vReplaced.emplace_back(++vStep, row);
    if (vReplaced.size() > kRemembered) {
        const size_t forget = vReplaced.size() - kRemembered / 2;
        vFloor = vReplaced[forget - 1].first;
        vReplaced.erase(vReplaced.begin(), vReplaced.begin() + qsizetype(forget));
    }
}

bool TChangeJournal::ReplacedSince(const TListStamp &stamp, QList<int> &rows) const
{
    rows.clear();
    if (vShape == 0 || stamp.Shape != vShape || stamp.Step < vFloor || stamp.Step > vStep)
        return false;
    for (const auto &[step, row] : vReplaced) {
        if (step > stamp.Step)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return true;
}

// ---- TFileList ----

void TFileList::SetCount(int count)
{
    count = std::max(count, 0);
    vList.resize(count + 1);
    vCount = count;
    dropIndex();
    dropNameHashes();
    vJournal.Reshaped();
}

QString TFileList::Name() const
{
    QString name = RootDir;
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > slash && !QFileInfo(RootDir).isDir())
        name.truncate(dot);
    if (Included)
        name += Msg().SM_WITHINCLUDES;
    return name;
}

TFileList::Key TFileList::keyOf(const TFileName &record, size_t dirHash)
{
    return Key{record.FileName, record.DirName, dirHash};
}

void TFileList::indexAdd(const TFileName &record)
{
    if (vIndexed && !record.DirName.isEmpty())
        ++vIndex[keyOf(record)];
}

void TFileList::indexRemove(const TFileName &record)
{
    if (!vIndexed || record.DirName.isEmpty())
        return;
    const auto it = vIndex.find(keyOf(record));
    if (it == vIndex.end())
        return;
    if (--it.value() <= 0)
        vIndex.erase(it);
}

void TFileList::ensureIndex()
{
    if (vIndexed)
        return;
    vIndex.clear();
    vIndex.reserve(vCount);
    vIndexed = true;
    for (int i = 0; i < vCount; ++i)
        indexAdd(vList.at(i));
}

void TFileList::dropIndex()
{
    vIndex.clear();
    vIndexed = false;
}

void TFileList::keepNameHash(const TFileName &record)
{
    if (vNameHashesKept)
        vNameHashes.push_back(FoldedNameHash(record.FileName));
}

void TFileList::dropNameHashes()
{
    if (!vNameHashesKept)
        return;
    vNameHashes = {};
    vNameHashesKept = false;
}

void TFileList::appendUnchecked(TFileName &&record)
{
    indexAdd(record);
    keepNameHash(record);
    if (vList.size() > vCount)
        vList[vCount] = std::move(record);
    else
        vList.append(std::move(record));
    vJournal.Reshaped();
    CurIndex = vCount;
    ++vCount;
}

void TFileList::appendChecked(TFileName &&record, size_t dirHash, int folderFd)
{
    ensureIndex();
    if (!record.DirName.isEmpty()) {
        int &uses = vIndex[keyOf(record, dirHash)];
        if (uses > 0)
            return;
        uses = 1;
    }
    // Read only for a record that is added: a list of repeated lines asks once per file.
    if (!record.IsNetwork())
        record.Date = folderFd >= 0 ? fileDateAt(folderFd, record.FileName)
                                    : GetFileDateTime(record.DirName + record.FileName);
    keepNameHash(record);
    if (vList.size() > vCount)
        vList[vCount] = std::move(record);
    else
        vList.append(std::move(record));
    vJournal.Reshaped();
    CurIndex = vCount;
    ++vCount;
}

void TFileList::AddNewRecord(const TFileName &record)
{
    appendChecked(TFileName(record));
}

void TFileList::AddNewRecord(const QString &fileName, const QString &dirName, const QString &title)
{
    TFileName r;
    r.FileName = fileName;
    r.DirName = dirName;
    r.Title = title;
    AddNewRecord(r);
}

void TFileList::AddNewRecord(const QString &link)
{
    TFileName r;
    QString address = link;
    const qsizetype question = link.indexOf(u'?');
    if (question >= 0) {
        r.Title = link.mid(question + 1);
        address = link.left(question);
    }
    const qsizetype slash = address.lastIndexOf(u'/');
    if (slash < 0) {
        r.DirName = address;
    } else {
        r.DirName = address.left(slash + 1);
        r.FileName = address.mid(slash + 1);
    }
    r.Date = 0; // an ftp:// address is not a network entry, but names no local file either
    appendChecked(std::move(r));
}

void TFileList::ClearList()
{
    vList.clear();
    vList.resize(1);
    vIndex.clear();
    vIndexed = true;
    vNameHashes.clear();
    vNameHashesKept = true;
    vJournal.Reshaped();
    vCount = 0;
    CurIndex = 0;
}

void TFileList::ClearRecord(int index)
{
    if (index < 0 || index >= vCount)
        return;
    TFileName &r = vList[index];
    indexRemove(r);
    dropNameHashes();
    vJournal.Replaced(index);
    r.FileName.clear();
    r.DirName.clear();
    r.Title.clear();
}

void TFileList::DeleteRecord(int index)
{
    if (index < 0 || index >= vCount)
        return;
    indexRemove(vList.at(index));
    vList.removeAt(index);
    dropNameHashes();
    vJournal.Reshaped();
    --vCount;
    CurIndex = std::clamp(index, 0, std::max(vCount - 1, 0));
}

void TFileList::RefreshList()
{
    if (vCount == 0)
        return;
    const auto end = std::stable_partition(vList.begin(), vList.begin() + vCount,
                                           [](const TFileName &r) { return !r.DirName.isEmpty(); });
    const int kept = int(end - vList.begin());
    vList.erase(vList.begin() + kept, vList.begin() + vCount);
    if (kept != vCount) {
        dropNameHashes();
        vJournal.Reshaped();
    }
    vCount = kept;
}

TFileName TFileList::GetRecord(int index) const
{
    if (index < 0 || index >= vCount)
        return TFileName::ErrorRecord();
    return vList.at(index);
}

void TFileList::SetRecord(int index, const TFileName &record)
{
    SetRecord(index, TFileName(record));
}

void TFileList::SetRecord(int index, TFileName &&record)
{
    if (index < 0 || index >= vCount)
        return;
    if (!record.FileName.isEmpty()) {
        indexRemove(vList.at(index));
        vList[index] = std::move(record);
        indexAdd(vList.at(index));
        dropNameHashes();
        vJournal.Replaced(index);
    }
    CurIndex = index;
}

void TFileList::SetRecord(int index, const QString &fileName, const QString &dirName)
{
    if (index < 0 || index >= vCount)
        return;
    TFileName &r = vList[index];
    indexRemove(r);
    if (!fileName.isEmpty()) {
        r.FileName = fileName;
        r.Title = NameWithoutExtension(fileName);
    }
    if (!dirName.isEmpty())
        r.DirName = dirName;
    indexAdd(r);
    dropNameHashes();
    vJournal.Replaced(index);
    CurIndex = index;
}

void TFileList::SwapRecord(int index1, int index2)
{
    if (index1 < 0 || index1 >= vCount || index2 < 0 || index2 >= vCount)
        return;
    std::swap(vList[index1], vList[index2]);
    if (vNameHashesKept)
        std::swap(vNameHashes[size_t(index1)], vNameHashes[size_t(index2)]);
    vJournal.Replaced(index1);
    vJournal.Replaced(index2);
    CurIndex = index2;
}

bool IsPseudoFolder(const TFolderFacts &facts)
{
    // statfs(2) f_type of the file systems the kernel fills on demand. tmpfs is not among them:
    // it holds real files (/tmp, /dev/shm); /dev itself is caught by its path below.
    switch (uint32_t(facts.FileSystemType)) {
    case 0x9fa0:     // proc
    case 0x62656572: // sysfs
    case 0x1cd1:     // devpts
    case 0x27e0eb:   // cgroup
    case 0x63677270: // cgroup2
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0x6165676c: // pstore
    case 0xcafe4a11: // bpf
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x19800202: // mqueue
    case 0x958458f6: // hugetlbfs
    case 0x0187:     // autofs: its folders are mount triggers; entering one waits for a volume
    case 0x42494e4d: // binfmt_misc
    case 0xde5e81e4: // efivarfs
    case 0xf97cff8c: // selinuxfs
    case 0x43415d53: // smackfs
    case 0x6e736673: // nsfs
        return true;
    default: break;
    }
    for (const char *tree : {"/proc", "/sys", "/dev"}) {
        const QByteArrayView top(tree);
        if (facts.RealPath.startsWith(top) &&
            (facts.RealPath.size() == top.size() || facts.RealPath.at(top.size()) == '/'))
            return true;
    }
    return false;
}

int TFileList::CreateList(bool audioOnly)
{
    vList.clear();
    vNameHashes.clear();
    vNameHashesKept = true;
    vJournal.Reshaped();
    vCount = 0;
    CurIndex = 0;
    // A scan meets every (folder, name) pair once, so it appends without the duplicate check
    // and leaves the index to be built if something is added later.
    dropIndex();
    const int leftOut =
        ScanFolder(audioOnly, [this](TFileName &&record) { appendUnchecked(std::move(record)); });
    CurIndex = 0;
    return leftOut;
}

namespace {

using TTake = std::function<void(TFileName &&)>;

// A line break would split the entry's list line in two.
bool holdsLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// Lists the tree at `root` (ending in "/") into `take`; returns how many files were left out.
int scanTree(const QString &root, bool included, bool audioOnly, const TTake &take);

} // namespace

int TFileList::ScanFolder(bool audioOnly, const std::function<void(TFileName &&)> &take) const
{
    QString root = RootDir;
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return 0;
    if (!root.endsWith(u'/'))
        root += u'/';
    return scanTree(root, Included, audioOnly, take);
}

#if defined(Q_OS_UNIX)

namespace {

struct DirCloser {
    void operator()(DIR *d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

struct FreeDeleter {
    void operator()(char *p) const { std::free(p); }
};

// The path with every link resolved, or empty.
QByteArray realPathOf(const QByteArray &path)
{
    const std::unique_ptr<char, FreeDeleter> real(::realpath(path.constData(), nullptr));
    if (!real)
        return {};
    QByteArray result(real.get());
    if (!result.endsWith('/'))
        result += '/';
    return result;
}

// Whether a name read from a folder can stand in a list: no line break, and its bytes come back
// from the text it is shown as (files are opened by that text).
bool listableName(const char *raw, const QString &decoded)
{
    bool ascii = true;
    for (const char *p = raw; *p; ++p) {
        if (*p == '\n' || *p == '\r')
            return false;
        ascii = ascii && static_cast<unsigned char>(*p) < 0x80;
    }
    return ascii || QFile::encodeName(decoded) == QByteArrayView(raw);
}

unsigned char entryType(mode_t mode)
{
    return S_ISDIR(mode) ? DT_DIR : S_ISREG(mode) ? DT_REG : S_ISLNK(mode) ? DT_LNK : DT_UNKNOWN;
}

int scanTree(const QString &root, bool included, bool audioOnly, const TTake &take)
{
    // Depth first, in the order the file system returns entries: a sub-folder's files appear where
    // the sub-folder was met. Sub-folders are opened relative to their parent, so a name that does
    // not survive decoding is still reached (to count what is left out) and never mistaken for
    // another folder.
    struct Place {
        QString Folder;       // as listed, ending in "/"
        QByteArray Real;      // links resolved, ending in "/"; empty when unknown
        bool Listable = true; // false: the path cannot stand in a list line; files are counted
        // The parent's device and file-system type: a folder on the same device shares the
        // type, so only a mount point needs asking. Type -1: no parent.
        dev_t ParentDevice = 0;
        int64_t ParentType = -1;
    };
    struct Walker {
        const TTake &take;
        bool audioOnly;
        bool included;
        int leftOut = 0;
        // Folders already entered (device, inode): each is listed once, however reached.
        std::set<std::pair<dev_t, ino_t>> visited;

        void walk(DirPtr dir, const Place &place)
        {
            const int fd = dirfd(dir.get());
            struct stat self {};
            if (fstat(fd, &self) != 0 || !visited.insert({self.st_dev, self.st_ino}).second)
                return;
            TFolderFacts facts;
            facts.RealPath = place.Real;
            facts.FileSystemType = place.ParentType;
            if (place.ParentType < 0 || self.st_dev != place.ParentDevice) {
                struct statfs fs {};
                facts.FileSystemType = fstatfs(fd, &fs) == 0 ? int64_t(fs.f_type) : 0;
            }
            if (IsPseudoFolder(facts))
                return;
            bool copiesSeen = false;
            while (const dirent *entry = readdir(dir.get())) {
                const char *name = entry->d_name;
                if (name[0] == '.') { // ".", ".." and hidden entries
                    copiesSeen = copiesSeen || IsReplacementCopyName(name);
                    continue;
                }
                unsigned char type = entry->d_type;
                struct stat st {};
                bool haveStat = false;
                if (type == DT_UNKNOWN) { // file systems that do not fill in d_type
                    if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                        continue;
                    type = entryType(st.st_mode);
                    haveStat = type != DT_LNK;
                }
                const bool linked = type == DT_LNK;
                if (linked) {
                    if (fstatat(fd, name, &st, 0) != 0)
                        continue; // a dangling link
                    type = entryType(st.st_mode);
                    haveStat = true;
                }
                if (type == DT_DIR) {
                    if (included)
                        enter(fd, name, linked, place, self.st_dev, facts.FileSystemType);
                    continue;
                }
                if (type != DT_REG) // FIFOs, devices, sockets: never opened as audio
                    continue;
                const QString fileName = QFile::decodeName(name);
                if (audioOnly && !IsAudioFileName(fileName))
                    continue;
                if (!place.Listable || !listableName(name, fileName)) {
                    ++leftOut;
                    continue;
                }
                if (!haveStat && fstatat(fd, name, &st, 0) != 0)
                    continue;
                TFileName record;
                record.FileName = fileName;
                record.DirName = place.Folder;
                record.Title = NameWithoutExtension(fileName);
                record.Date = UnixTimeToDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
                take(std::move(record));
            }
            // What killed writes left beside the files goes when their folder is scanned.
            if (copiesSeen && place.Listable)
                RemoveStaleReplacements(place.Folder);
        }

        void enter(int parentFd, const char *name, bool linked, const Place &parent,
                   dev_t parentDevice, int64_t parentType)
        {
            const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0)
                return;
            DirPtr dir(fdopendir(fd));
            if (!dir) {
                close(fd);
                return;
            }
            const QString decoded = QFile::decodeName(name);
            Place place;
            place.Folder = parent.Folder + decoded + u'/';
            // A link may lead anywhere: its real path is asked for. Below a real path, a plain
            // sub-folder's real path is the parent's plus its name.
            if (!parent.Real.isEmpty())
                place.Real = linked ? realPathOf(parent.Real + name) : parent.Real + name + '/';
            place.Listable = parent.Listable && listableName(name, decoded);
            place.ParentDevice = parentDevice;
            place.ParentType = parentType;
            walk(std::move(dir), place);
        }
    };

    DirPtr dir(opendir(QFile::encodeName(root).constData()));
    if (!dir)
        return 0;
    Place top;
    top.Folder = root;
    top.Real = realPathOf(QFile::encodeName(root));
    top.Listable = !holdsLineBreak(root);
    Walker walker{take, audioOnly, included, 0, {}};
    walker.walk(std::move(dir), top);
    return walker.leftOut;
}

} // namespace

#else

namespace {

int scanTree(const QString &folder, bool included, bool audioOnly, const TTake &take)
{
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    int leftOut = 0;
    for (const QFileInfo &info : entries) {
        if (info.isDir()) {
            if (included && !info.isSymLink())
                leftOut += scanTree(folder + info.fileName() + u'/', included, audioOnly, take);
            continue;
        }
        if (audioOnly && !IsAudioFileName(info.fileName()))
            continue;
        if (holdsLineBreak(folder) || holdsLineBreak(info.fileName())) {
            ++leftOut;
            continue;
        }
        TFileName record;
        record.FileName = info.fileName();
        record.DirName = folder;
        record.Title = NameWithoutExtension(record.FileName);
        const qint64 ms = info.lastModified().toMSecsSinceEpoch();
        record.Date = UnixTimeToDateTime(ms / 1000, (ms % 1000) * 1000000);
        take(std::move(record));
    }
    return leftOut;
}

} // namespace

#endif

void TFileList::permute(const std::vector<int> &order)
{
    QList<TFileName> sorted;
    sorted.reserve(vList.size());
    for (int i : order)
        sorted.append(std::move(vList[i]));
    for (qsizetype i = vCount; i < vList.size(); ++i)
        sorted.append(std::move(vList[i]));
    vList = std::move(sorted);
    vJournal.Reshaped();
    if (vNameHashesKept) {
        std::vector<uint64_t> hashes(vNameHashes.size());
        for (size_t k = 0; k < order.size(); ++k)
            hashes[k] = vNameHashes[size_t(order[k])];
        vNameHashes = std::move(hashes);
    }
}

void TFileList::AlphabetSort(bool reverse, bool titleSort)
{
    if (vCount < 2)
        return;
    // Natural-order keys made once per record; the first four units packed into a number decide
    // most comparisons without touching the strings.
    struct Item {
        uint64_t prefix;
        QString key;
        int index;
    };
    std::vector<Item> items;
    items.reserve(vCount);
    for (int i = 0; i < vCount; ++i) {
        QString key = NaturalSortKey(titleSort ? vList.at(i).Title : vList.at(i).FileName);
        uint64_t prefix = 0;
        for (qsizetype k = 0; k < 4; ++k)
            prefix = (prefix << 16) | (k < key.size() ? key.at(k).unicode() : 0u);
        items.push_back({prefix, std::move(key), i});
    }
    auto less = [](const Item &a, const Item &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return QStringView(a.key).mid(4) < QStringView(b.key).mid(4);
    };
    if (reverse)
        std::stable_sort(items.begin(), items.end(),
                         [&](const Item &a, const Item &b) { return less(b, a); });
    else
        std::stable_sort(items.begin(), items.end(), less);
    std::vector<int> order;
    order.reserve(vCount);
    for (const Item &item : items)
        order.push_back(item.index);
    permute(order);
}

void TFileList::DateSort()
{
    if (vCount < 2)
        return;
    std::vector<int> order(vCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return vList.at(a).Date < vList.at(b).Date; });
    permute(order);
}

bool TFileList::Find(const QString &query, float ff)
{
    if (vCount == 0)
        return false;
    if (CurIndex == vCount - 1)
        CurIndex = 0;
    const int start = (CurIndex < 0 || CurIndex >= vCount) ? 0 : CurIndex;

    if (ff == 1.0f) {
        int i = start;
        for (; i < vCount; ++i) {
            if (vList.at(i).Text().contains(query, Qt::CaseSensitive)) {
                CurIndex = i;
                return true;
            }
        }
        CurIndex = vCount - 1;
        return false;
    }

    // The query's two-letter pieces, lower-cased, as 32-bit pairs. An entry is scored in one pass
    // over its text: each adjacent pair of its letters is checked against the pieces (a 64-bit
    // filter rules most pairs out at once).
    std::vector<uint32_t> pieces;
    for (qsizetype k = 0; k + 1 < query.size(); k += 2)
        pieces.push_back(uint32_t(LowerUnit(query.at(k).unicode())) << 16 |
                         LowerUnit(query.at(k + 1).unicode()));
    if (pieces.empty())
        return false;
    auto filterBit = [](uint32_t pair) { return uint64_t(1) << ((pair * 2654435761u) >> 26); };
    uint64_t filter = 0;
    for (uint32_t piece : pieces)
        filter |= filterBit(piece);
    const size_t n = pieces.size();
    std::vector<char> found(n);

    float score = 0;
    for (int i = start; i < vCount; ++i) {
        score = 0;
        if (i != start) {
            const QString &text = vList.at(i).Text();
            const auto *t = reinterpret_cast<const char16_t *>(text.constData());
            const qsizetype len = text.size();
            std::fill(found.begin(), found.end(), 0);
            size_t hits = 0;
            char16_t previous = len > 0 ? LowerUnit(t[0]) : 0;
            for (qsizetype k = 1; k < len && hits < n; ++k) {
                const char16_t current = LowerUnit(t[k]);
                const uint32_t pair = uint32_t(previous) << 16 | current;
                previous = current;
                if (!(filter & filterBit(pair)))
                    continue;
                for (size_t p = 0; p < n; ++p) {
                    if (!found[p] && pieces[p] == pair) {
                        found[p] = 1;
                        ++hits;
                    }
                }
            }
            score = float(hits) / float(n);
        }
        if (score >= ff) {
            CurIndex = i;
            return true;
        }
    }
    if (score > 0)
        CurIndex = vCount - 1;
    return false;
}

QString TFileList::RecordToLine(const TFileName &record)
{
    if (record.IsNetwork())
        return record.DirName + record.FileName + u'?' + record.Title;
    return record.DirName + record.FileName;
}

QStringList TFileList::GetStringList() const
{
    QStringList lines;
    lines.reserve(vCount);
    for (int i = 0; i < vCount; ++i)
        lines.append(RecordToLine(vList.at(i)));
    return lines;
}

void TFileList::AddListLine(const QString &line)
{
    LastFolder last;
    addListLine(line, last);
}

void TFileList::addListLine(const QString &line, LastFolder &last)
{
    if (QStringView(line).trimmed().isEmpty())
        return;
    if (HoldsHttp(line)) {
        AddNewRecord(line);
        return;
    }
    // The full path split at its last "/".
    TFileName r;
    const qsizetype slash = line.lastIndexOf(u'/');
    last.Take(slash < 0 ? QStringView(u"/") : QStringView(line).left(slash + 1));
    r.DirName = last.Name;
    r.FileName = slash < 0 ? line : line.mid(slash + 1);
    r.Title = NameWithoutExtension(r.FileName);
    appendChecked(std::move(r), last.Hash, last.Fd);
}

bool TFileList::LoadListFromFile(const QString &fileName)
{
    QStringList lines;
    if (!ReadTextLines(fileName, lines))
        return false;
    LoadListFromString(lines);
    RootDir = fileName;
    return true;
}

void TFileList::LoadListFromString(QStringList &lines)
{
    RootDir = QStringLiteral("-");
    if (lines.isEmpty())
        return;
    bool ok = false;
    const int cursor = lines.takeFirst().trimmed().toInt(&ok);
    ensureIndex();
    vIndex.reserve(vCount + lines.size());
    LastFolder last;
    for (const QString &line : std::as_const(lines))
        addListLine(line, last);
    CurIndex = ok ? cursor : 0;
}

} // namespace vorlane
