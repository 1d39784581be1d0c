#include "base/TextFile.h"
#include "base/FileReplacement.h"

#include "base/Codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace vorlane {

QString DecodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        // The file's own mark goes; a second one is text (QString::fromUtf8 would drop it too).
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(bytes).sliced(3));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16, QStringDecoder::Flag::Default);
        return utf16.decode(bytes); // the decoder reads and drops the mark itself
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeLegacy(bytes);
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    const QStringView all(text);
    const qsizetype n = all.size();
    // Line ends are found by searches that run over blocks of characters: the next LF (kept
    // while lines end before it, so text of lone CRs is not searched again and again), then the
    // first CR before it.
    qsizetype lf = -1;
    for (qsizetype start = 0; start < n;) {
        if (lf < start) {
            lf = all.indexOf(u'\n', start);
            if (lf < 0)
                lf = n;
        }
        const qsizetype cr = all.sliced(start, lf - start).indexOf(u'\r');
        const qsizetype end = cr < 0 ? lf : start + cr;
        lines.append(text.mid(start, end - start));
        start = end + (end + 1 < n && all[end] == u'\r' && all[end + 1] == u'\n' ? 2 : 1);
    }
    return lines;
}

namespace {

// Copies the text of a device line by line, leaving out the content of lines longer than a limit.
class TBoundedCopy {
public:
    TBoundedCopy(QByteArray &out, qsizetype maxBytes)
        : vOut(out)
        , vMax(maxBytes)
    {
    }

    // Bytes of the current line (no line end among them).
    void Take(const char *bytes, qsizetype n)
    {
        if (vSkipping)
            return;
        if (vOut.size() - vLineStart + n > vMax) {
            vOut.truncate(vLineStart);
            vSkipping = true;
            ++vDamaged;
            return;
        }
        vOut.append(bytes, n);
    }
    // A line end (one byte, or one UTF-16 unit).
    void End(const char *bytes, qsizetype n)
    {
        vOut.append(bytes, n);
        vLineStart = vOut.size();
        vSkipping = false;
    }
    int Damaged() const { return vDamaged; }

private:
    QByteArray &vOut;
    const qsizetype vMax;
    qsizetype vLineStart = vOut.size();
    bool vSkipping = false;
    int vDamaged = 0;
};

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// The first CR or LF at or after p, or end. `lf` is the next LF found so far (or end; null
// before the first search), kept by the caller between lines so that bytes of lone CRs are not
// searched for an LF again and again; both searches run over blocks of bytes.
const char *findLineEnd(const char *p, const char *end, const char *&lf)
{
    if (!lf || lf < p) {
        lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!lf)
            lf = end;
    }
    const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(lf - p)));
    return cr ? cr : lf;
}

} // namespace

QByteArray ReadBoundedText(QIODevice &device, qsizetype maxBytes, int *damaged)
{
    QByteArray out;
    // Room for a whole file of good lines up front, but not for a huge damaged one.
    constexpr qint64 kReserveAtMost = 16 * 1024 * 1024;
    out.reserve(qsizetype(std::clamp<qint64>(device.bytesAvailable(), 0, kReserveAtMost)));
    // UTF-16 text ends its lines with 16-bit units: a CR or LF byte inside another character
    // ends nothing.
    const QByteArray mark = device.peek(2);
    const bool littleEndian = mark == QByteArray("\xFF\xFE", 2);
    const bool utf16 = littleEndian || mark == QByteArray("\xFE\xFF", 2);
    if (utf16)
        out += device.read(2);

    TBoundedCopy copy(out, maxBytes);
    constexpr qint64 kBlock = 64 * 1024;
    QByteArray block(kBlock, Qt::Uninitialized);
    char half = 0; // the first byte of a UTF-16 unit split between two blocks
    bool halfHeld = false;
    for (;;) {
        const qint64 n = device.read(block.data(), kBlock);
        if (n <= 0)
            break;
        const char *p = block.constData();
        const char *const end = p + n;
        if (!utf16) {
            const char *lf = nullptr;
            while (p < end) {
                const char *eol = findLineEnd(p, end, lf);
                copy.Take(p, eol - p);
                if (eol == end)
                    break;
                copy.End(eol, 1);
                p = eol + 1;
            }
            continue;
        }
        for (; p < end; ++p) {
            if (!halfHeld) {
                half = *p;
                halfHeld = true;
                continue;
            }
            halfHeld = false;
            const char unit[2] = {half, *p};
            const char low = littleEndian ? unit[0] : unit[1];
            const char high = littleEndian ? unit[1] : unit[0];
            if (high == 0 && isLineEnd(low))
                copy.End(unit, 2);
            else
                copy.Take(unit, 2);
        }
    }
    if (halfHeld)
        copy.Take(&half, 1); // an odd last byte: the decoder marks it as an error
    if (damaged)
        *damaged = copy.Damaged();
    return out;
}

int ReadTextLines(QIODevice &device, QStringList &lines, qsizetype maxChars)
{
    // A character takes at most three bytes in UTF-8 (and fewer in the other encodings read), so
    // no line within the limit is cut by the byte bound, and a file the program wrote always
    // reads back whole.
    int damaged = 0;
    lines = SplitLines(DecodeText(ReadBoundedText(device, 3 * maxChars, &damaged)));
    for (QString &line : lines) {
        if (line.size() > maxChars) {
            line = QString();
            ++damaged;
        }
    }
    return damaged;
}

bool ReadTextLines(const QString &path, QStringList &lines, qsizetype maxChars)
{
    lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const int damaged = ReadTextLines(file, lines, maxChars);
    if (file.error() != QFileDevice::NoError) {
        qWarning("vorlane: cannot read %s: %s", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(file.errorString()));
        lines.clear();
        return false;
    }
    if (damaged > 0)
        qWarning("vorlane: %s: %d line(s) longer than %lld characters skipped as damaged",
                 qPrintable(QDir::toNativeSeparators(path)), damaged, qlonglong(maxChars));
    return true;
}

QByteArray EncodeTextLines(const QStringList &lines)
{
    QByteArray out;
    // Reading drops one byte-order mark: a text that begins with that character keeps it only
    // behind a mark of its own.
    if (!lines.isEmpty() && lines.first().startsWith(QChar::ByteOrderMark))
        out += "\xEF\xBB\xBF";
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

bool WriteTextLines(const QString &path, const QStringList &lines)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ReplaceFileWith(path, EncodeTextLines(lines));
}

} // namespace vorlane
