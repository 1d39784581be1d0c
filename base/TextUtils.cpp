#include "base/TextUtils.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimeZone>

#include <array>
#include <bit>
#include <cstring>
#include <ctime>
#include <limits>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace vorlane {

namespace {

inline bool isDigitUnit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Days from 30 Dec 1899 to 1 Jan 1970.
constexpr double kUnixEpochDays = 25569.0;

} // namespace

void SanitizeFileName(QString &name)
{
    static const char16_t kForbidden[] = u"\"?/\\:*<>|";
    for (const char16_t *c = kForbidden; *c; ++c)
        name.replace(QChar(*c), QChar(u'_'));
}

QString TranslitToLatin(const QString &text)
{
    const QString lower = text.toLower();
    QString out;
    out.reserve(lower.size() * 2);
    for (const QChar ch : lower) {
        switch (ch.unicode()) {
        case u'а': out += u'a'; break;
        case u'б': out += u'b'; break;
        case u'в': out += u'w'; break;
        case u'г': out += u'g'; break;
        case u'д': out += u'd'; break;
        case u'е': out += u'e'; break;
        case u'ё': out += u"yo"; break;
        case u'ж': out += u"zh"; break;
        case u'з': out += u'z'; break;
        case u'и': out += u'i'; break;
        case u'й': out += u'j'; break;
        case u'к': out += u'k'; break;
        case u'л': out += u'l'; break;
        case u'м': out += u'm'; break;
        case u'н': out += u'n'; break;
        case u'о': out += u'o'; break;
        case u'п': out += u'p'; break;
        case u'р': out += u'r'; break;
        case u'с': out += u's'; break;
        case u'т': out += u't'; break;
        case u'у': out += u'u'; break;
        case u'ф': out += u'f'; break;
        case u'х': out += u'h'; break;
        case u'ц': out += u"cz"; break;
        case u'ч': out += u"ch"; break;
        case u'ш': out += u"sh"; break;
        case u'щ': out += u"sch"; break;
        case u'ъ': break;
        case u'ы': out += u'y'; break;
        case u'ь': break;
        case u'э': out += u'e'; break;
        case u'ю': out += u"yu"; break;
        case u'я': out += u"ya"; break;
        case u'ї': out += u"ji"; break;
        case u'і': out += u'i'; break;
        case u'є': out += u"ye"; break;
        case u' ':
        case u',':
        case u'(':
        case u')':
        case u'\'':
        case u'"': out += u'_'; break;
        case u'&': out += u"_and_"; break;
        case u'`':
        case u';': break;
        default: out += ch; break;
        }
    }
    return out;
}

QString TranslitToCyrillic(const QString &text)
{
    const qsizetype length = text.size();
    if (length <= 4)
        return text;
    const qsizetype body = length - 4; // the extension is kept as it is
    // A look-ahead reads only inside the body, so no letter of the kept tail is used twice.
    auto next = [&](qsizetype at) { return at < body ? text.at(at).unicode() : char16_t(0); };

    QString out;
    out.reserve(length);
    for (qsizetype p = 0; p < body; ++p) {
        const QChar original = text.at(p);
        const bool upper = original.unicode() >= u'A' && original.unicode() <= u'Z';
        const char16_t c = upper ? char16_t(original.unicode() + 32) : original.unicode();
        char16_t o = original.unicode();
        switch (c) {
        case u'a': o = u'а'; break;
        case u'b': o = u'б'; break;
        case u'v':
        case u'w': o = u'в'; break;
        case u'g': o = u'г'; break;
        case u'd': o = u'д'; break;
        case u'e': o = u'е'; break;
        case u'y':
            o = u'й';
            if (next(p + 1) == u'e') {
                o = u'е';
                ++p;
            }
            if (next(p + 1) == u'a') {
                o = u'я';
                ++p;
            }
            if (next(p + 1) == u'o') {
                o = u'ё';
                ++p;
            }
            if (next(p + 1) == u'u') {
                o = u'ю';
                ++p;
            }
            break;
        case u'z':
            o = u'з';
            if (next(p + 1) == u'h') {
                o = u'ж';
                ++p;
            }
            break;
        case u'i': o = u'и'; break;
        case u'j': o = u'й'; break;
        case u'k': o = u'к'; break;
        case u'l': o = u'л'; break;
        case u'm': o = u'м'; break;
        case u'n': o = u'н'; break;
        case u'o': o = u'о'; break;
        case u'p': o = u'п'; break;
        case u'r': o = u'р'; break;
        case u's':
            o = u'с';
            if (next(p + 1) == u'h') {
                o = u'ш';
                ++p;
            }
            if (next(p + 1) == u'c' && next(p + 2) == u'h') {
                o = u'щ';
                p += 2;
            }
            break;
        case u't':
            o = u'т';
            if (next(p + 1) == u's') {
                o = u'ц';
                ++p;
            }
            break;
        case u'u': o = u'у'; break;
        case u'f': o = u'ф'; break;
        case u'h': o = u'х'; break;
        case u'c':
            o = u'ц';
            if (next(p + 1) == u'h') {
                o = u'ч';
                ++p;
            }
            break;
        default: break;
        }
        out += upper ? QChar(o).toUpper() : QChar(o);
    }
    out += QStringView(text).mid(body);
    return out;
}

int CompareNatural(const QString &a, const QString &b)
{
    if (a.isEmpty())
        return b.isEmpty() ? 0 : -1;
    if (b.isEmpty())
        return 1;
    const auto *pa = reinterpret_cast<const char16_t *>(a.constData());
    const auto *pb = reinterpret_cast<const char16_t *>(b.constData());
    const qsizetype na = a.size();
    const qsizetype nb = b.size();
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        if (i == na)
            return j == nb ? 0 : -1;
        if (j == nb)
            return 1;
        const char16_t ca = LowerUnit(pa[i]);
        const char16_t cb = LowerUnit(pb[j]);
        const bool da = isDigitUnit(ca);
        const bool db = isDigitUnit(cb);
        if (da && db) {
            qsizetype ie = i;
            while (ie < na && isDigitUnit(pa[ie]))
                ++ie;
            qsizetype je = j;
            while (je < nb && isDigitUnit(pb[je]))
                ++je;
            // Numbers of any length: skip leading zeros, then more digits is larger, then the
            // digits decide. Two zeros: the shorter run first ("0" before "00").
            qsizetype sa = i;
            while (sa < ie && pa[sa] == u'0')
                ++sa;
            qsizetype sb = j;
            while (sb < je && pb[sb] == u'0')
                ++sb;
            const qsizetype lenA = ie - sa;
            const qsizetype lenB = je - sb;
            if (lenA != lenB)
                return lenA < lenB ? -1 : 1;
            for (qsizetype k = 0; k < lenA; ++k) {
                if (pa[sa + k] != pb[sb + k])
                    return pa[sa + k] < pb[sb + k] ? -1 : 1;
            }
            if (lenA == 0 && (ie - i) != (je - j))
                return (ie - i) < (je - j) ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        if (da)
            return -1;
        if (db)
            return 1;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
}

QString NaturalSortKey(const QString &text)
{
    // A character c becomes the unit c + 2; a number [1, significant length, digits...]; zero
    // [1, 0, run length]. Numbers sort before characters, a shorter text before a longer one.
    const auto *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    // A character takes one unit, a digit run of length r at most r + 2: 2n + 2 always fits.
    QString key(2 * n + 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = LowerUnit(p[i]);
        if (!isDigitUnit(c)) {
            out[used++] = c < 0xFFFE ? char16_t(c + 2) : char16_t(0xFFFF);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && isDigitUnit(p[end]))
            ++end;
        qsizetype s = i;
        while (s < end && p[s] == u'0')
            ++s;
        out[used++] = 1;
        const qsizetype significant = end - s;
        if (significant == 0) {
            out[used++] = 0;
            out[used++] = char16_t(std::min<qsizetype>(end - i, 0xFFFF));
        } else {
            out[used++] = char16_t(std::min<qsizetype>(significant, 0xFFFF));
            for (qsizetype k = s; k < end; ++k)
                out[used++] = p[k];
        }
        i = end;
    }
    key.truncate(used);
    return key;
}

char16_t LowerUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return QChar(c).toLower().unicode();
}

QChar fUpCaseRus(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z')
        return QChar(char16_t(u - 32));
    if (u >= u'а' && u <= u'я')
        return QChar(char16_t(u - 32));
    if (u == u'ё')
        return QChar(u'Ё');
    return c;
}

int32_t GetFileSize32(const QString &path)
{
    if (path.isEmpty())
        return -1;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return -1;
    const qint64 size = file.size();
    return size > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                      : int32_t(size);
}

double UnixTimeToDateTime(int64_t seconds, int64_t nanoseconds)
{
    long offset = 0;
#if defined(Q_OS_UNIX)
    const time_t t = time_t(seconds);
    struct tm local {};
    if (localtime_r(&t, &local))
        offset = local.tm_gmtoff;
#else
    offset = QDateTime::fromSecsSinceEpoch(seconds).offsetFromUtc();
#endif
    return kUnixEpochDays + (double(seconds + offset) + double(nanoseconds) / 1e9) / 86400.0;
}

double GetFileDateTime(const QString &path)
{
    if (path.isEmpty())
        return 0;
#if defined(Q_OS_UNIX)
    // stat(2) itself: QFileInfo's local time reads the time zone again for every file, which a
    // playlist of many thousand entries paid for at every start. Exact to the nanosecond, as the
    // folder scan's times are.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return UnixTimeToDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    const QDateTime modified = info.lastModified();
    if (!modified.isValid())
        return 0;
    const qint64 ms = modified.toMSecsSinceEpoch();
    return UnixTimeToDateTime(ms / 1000, (ms % 1000) * 1000000);
#endif
}

QString GetSpecialFolder(int folderId)
{
    QStandardPaths::StandardLocation location;
    switch (folderId) {
    case 26: location = QStandardPaths::AppDataLocation; break;
    case 28: location = QStandardPaths::AppLocalDataLocation; break;
    case 5: location = QStandardPaths::DocumentsLocation; break;
    case 13: location = QStandardPaths::MusicLocation; break;
    case 16: location = QStandardPaths::DesktopLocation; break;
    case 40: location = QStandardPaths::HomeLocation; break;
    default: return {};
    }
    return QStandardPaths::writableLocation(location);
}

QString GetComputerNameStr()
{
    return QSysInfo::machineHostName();
}

QString DriveLettersFromMask(uint32_t mask)
{
    QString letters;
    for (int bit = 0; bit < 26; ++bit) {
        if (mask & (1u << bit))
            letters += QChar(char16_t(u'A' + bit));
    }
    return letters;
}

QString Md5HexLower(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString LowerExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return fileName.mid(dot).toLower();
}

bool IsAudioFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = QStringView(fileName).mid(dot + 1);
    if (ext.size() < 3 || ext.size() > 4)
        return false;
    static const char16_t *const kAudio[] = {u"mp3",  u"ogg", u"wav", u"mp2", u"mp1", u"aiff",
                                             u"flac", u"aac", u"m4a", u"m4b", u"wma"};
    for (const char16_t *e : kAudio) {
        if (ext.compare(QStringView(e), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString NameWithoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

namespace {

// Names are compared lower-cased, one UTF-16 unit at a time, without making lower-cased copies.
// The units of Latin and Cyrillic names come from a table; others from LowerUnit.
std::array<char16_t, 0x500> makeFoldTable()
{
    std::array<char16_t, 0x500> t{};
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = LowerUnit(char16_t(i));
    return t;
}

// Built once at load time, so a lookup costs no guard of a function's static.
const std::array<char16_t, 0x500> kFoldTable = makeFoldTable();

inline char16_t foldUnit(char16_t c)
{
    return c < kFoldTable.size() ? kFoldTable[c] : LowerUnit(c);
}

// Four units of a name as one word, lower-cased: plain ASCII in a few operations on the whole word
// (each unit from 'A' to 'Z' gains 0x20), anything else unit by unit.
inline uint64_t foldedWord(const char16_t *p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    constexpr uint64_t kHigh = 0xFF80FF80FF80FF80ull;
    if (std::endian::native == std::endian::little && (w & kHigh) == 0) {
        const uint64_t atLeastA = w + 0x003F003F003F003Full; // unit + 0x3F has 0x80 set: >= 'A'
        const uint64_t pastZ = w + 0x0025002500250025ull;    // unit + 0x25 has 0x80 set: > 'Z'
        return w | ((atLeastA & ~pastZ & 0x0080008000800080ull) >> 2);
    }
    return uint64_t(foldUnit(p[0])) | uint64_t(foldUnit(p[1])) << 16 |
           uint64_t(foldUnit(p[2])) << 32 | uint64_t(foldUnit(p[3])) << 48;
}

} // namespace

uint64_t FoldedNameHash(QStringView text)
{
    // Four folded units to a word, one multiply per word: the chain of dependent multiplies is a
    // quarter as long as one per unit.
    const auto *p = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    uint64_t h = 0x9E3779B97F4A7C15ull ^ uint64_t(n);
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        h = (h ^ foldedWord(p + i)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    uint64_t w = 0;
    for (int shift = 0; i < n; ++i, shift += 16)
        w |= uint64_t(foldUnit(p[i])) << shift;
    h = (h ^ w) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

bool FoldedNamesEqual(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    // Four units at a time: words that are the same need no folding, and names that match mostly
    // are the same in most of their words.
    const auto *p = reinterpret_cast<const char16_t *>(a.data());
    const auto *q = reinterpret_cast<const char16_t *>(b.data());
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t x, y;
        std::memcpy(&x, p + i, sizeof x);
        std::memcpy(&y, q + i, sizeof y);
        if (x != y && foldedWord(p + i) != foldedWord(q + i))
            return false;
    }
    for (; i < n; ++i) {
        if (p[i] != q[i] && foldUnit(p[i]) != foldUnit(q[i]))
            return false;
    }
    return true;
}

} // namespace vorlane
