#include "base/IniFile.h"

#include "base/TextFile.h"

#include <QFile>

#include <cctype>
#include <climits>

namespace vorlane {

namespace {

// Only spaces and tabs surround names and values; other white space is part of the text.
QStringView trimBlank(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

bool isComment(QStringView trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// "[Name]" -> Name; false for any other line.
bool sectionName(const QString &line, QStringView &name)
{
    const QStringView t = trimBlank(line);
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    name = trimBlank(t.mid(1, close - 1));
    return true;
}

// "key = value" -> key and value; false for lines without "=" or with an empty key.
bool keyValue(const QString &line, QStringView &key, QStringView &value)
{
    const QStringView t = trimBlank(line);
    if (t.isEmpty() || isComment(t) || t.startsWith(u'['))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return false;
    key = trimBlank(t.left(eq));
    value = trimBlank(t.mid(eq + 1));
    return !key.isEmpty();
}

QString unquote(QStringView value)
{
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == u'"' || q == u'\'') && value.back() == q)
            return value.mid(1, value.size() - 2).toString();
    }
    return value.toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool plainAscii(QStringView s)
{
    for (QChar c : s) {
        if (c.unicode() >= 128)
            return false;
    }
    return true;
}

} // namespace

TIniFile::TIniFile(const QString &path)
{
    Load(path);
}

bool TIniFile::Load(const QString &path)
{
    vIndex = TIndex();
    vFileName = path;
    vModified = false;
    vExists = ReadTextLines(path, vLines, kMaxIniLine);
    return vExists;
}

bool TIniFile::Load(QIODevice &device)
{
    vIndex = TIndex();
    vFileName.clear();
    vModified = false;
    vLines.clear();
    vExists = device.isReadable();
    if (vExists)
        ReadTextLines(device, vLines, kMaxIniLine);
    return vExists;
}

void TIniFile::SetText(const QString &text)
{
    vIndex = TIndex();
    vLines = SplitLines(text);
    vExists = true;
    vModified = false;
}

void TIniFile::buildSectionIndex() const
{
    if (vIndex.Built)
        return;
    vIndex.Built = true;
    const int n = int(vLines.size());
    int header = -1;
    QString name;
    const auto close = [&](int end) {
        if (header >= 0 && !vIndex.Sections.contains(name))
            vIndex.Sections.insert(name, Span{header, end});
    };
    for (int i = 0; i < n; ++i) {
        QStringView found;
        if (!sectionName(vLines[i], found))
            continue;
        close(i);
        if (!plainAscii(found))
            vIndex.LinearSections = true;
        header = i;
        name = found.toString().toLower();
    }
    close(n);
}

const QHash<QString, int> *TIniFile::keyIndex(const Span &span) const
{
    if (vIndex.LinearKeys.contains(span.Header))
        return nullptr;
    auto it = vIndex.Keys.find(span.Header);
    if (it != vIndex.Keys.end())
        return &*it;
    QHash<QString, int> keys;
    for (int i = span.Header + 1; i < span.End; ++i) {
        QStringView k;
        QStringView v;
        if (!keyValue(vLines[i], k, v))
            continue;
        if (!plainAscii(k)) {
            vIndex.LinearKeys.insert(span.Header);
            return nullptr;
        }
        const QString name = k.toString().toLower();
        if (!keys.contains(name)) // a repeated key: the first line counts
            keys.insert(name, i);
    }
    return &*vIndex.Keys.insert(span.Header, keys);
}

bool TIniFile::findSection(const QString &section, Span &span) const
{
    const QStringView wanted = trimBlank(section);
    if (plainAscii(wanted)) {
        buildSectionIndex();
        if (!vIndex.LinearSections) {
            const auto it = vIndex.Sections.constFind(wanted.toString().toLower());
            if (it == vIndex.Sections.constEnd())
                return false;
            span = *it;
            return true;
        }
    }
    const int n = int(vLines.size());
    for (int i = 0; i < n; ++i) {
        QStringView name;
        if (!sectionName(vLines[i], name) || !sameName(name, wanted))
            continue;
        span.Header = i;
        int end = i + 1;
        QStringView next;
        while (end < n && !sectionName(vLines[end], next))
            ++end;
        span.End = end;
        return true;
    }
    return false;
}

int TIniFile::findKey(const Span &span, const QString &key) const
{
    const QStringView wanted = trimBlank(key);
    if (plainAscii(wanted)) {
        if (const QHash<QString, int> *keys = keyIndex(span))
            return keys->value(wanted.toString().toLower(), -1);
    }
    for (int i = span.Header + 1; i < span.End; ++i) {
        QStringView k;
        QStringView v;
        if (keyValue(vLines[i], k, v) && sameName(k, wanted))
            return i;
    }
    return -1;
}

bool TIniFile::SectionExists(const QString &section) const
{
    Span span;
    return findSection(section, span);
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    Span span;
    return findSection(section, span) && findKey(span, key) >= 0;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    Span span;
    if (!findSection(section, span))
        return keys;
    for (int i = span.Header + 1; i < span.End; ++i) {
        QStringView k;
        QStringView v;
        if (!keyValue(vLines[i], k, v))
            continue;
        const QString name = k.toString();
        if (!keys.contains(name, Qt::CaseInsensitive))
            keys.append(name);
    }
    return keys;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    Span span;
    if (!findSection(section, span))
        return def;
    const int line = findKey(span, key);
    if (line < 0)
        return def;
    QStringView k;
    QStringView v;
    keyValue(vLines[line], k, v);
    return unquote(v);
}

bool TIniFile::ParseInteger(const QString &text, int &value)
{
    QStringView t = trimBlank(text);
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return false;
    // Digits only: toLongLong would accept inner spaces and signs of its own.
    for (QChar c : t) {
        const bool ascii = c.unicode() < 128;
        const bool digit =
            ascii && (base == 10 ? std::isdigit(c.unicode()) : std::isxdigit(c.unicode()));
        if (!digit)
            return false;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    const qlonglong signedV = negative ? -v : v;
    if (!ok || signedV < INT_MIN || signedV > INT_MAX)
        return false;
    value = int(signedV);
    return true;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    int value = 0;
    return ParseInteger(ReadString(section, key, QString()), value) ? value : def;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString line = trimBlank(key).toString() + u'=' + value;
    Span span;
    if (!findSection(section, span)) {
        vIndex = TIndex();
        // A new section goes at the end, after a blank line when the file has text.
        if (!vLines.isEmpty() && !trimBlank(vLines.last()).isEmpty())
            vLines.append(QString());
        vLines.append(u'[' + trimBlank(section).toString() + u']');
        vLines.append(line);
        vModified = true;
        return;
    }
    const int existing = findKey(span, key);
    if (existing >= 0) {
        if (vLines[existing] != line) {
            // The line keeps its place and its key: the lookups stay as they are, so that the
            // exit's few dozen writes do not each read the whole file again.
            vLines[existing] = line;
            vModified = true;
        }
        return;
    }
    // After the section's last non-blank line, so blank lines between sections stay between them.
    int at = span.End;
    while (at > span.Header + 1 && trimBlank(vLines[at - 1]).isEmpty())
        --at;
    vIndex = TIndex();
    vLines.insert(at, line);
    vModified = true;
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::Save()
{
    return SaveAs(vFileName);
}

bool TIniFile::SaveAs(const QString &path)
{
    if (path.isEmpty() || !WriteTextLines(path, vLines))
        return false;
    vFileName = path;
    vExists = true;
    vModified = false;
    return true;
}

} // namespace vorlane
