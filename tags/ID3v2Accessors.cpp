// The typed frame accessors of TID3v2Tag: text, pictures, comments, links, description/value
// frames, lists, dates, counters and the rest of the frame library.

#include "tags/ID3v2Tag.h"

#include "base/Codepage.h"
#include "base/RegularFile.h"

#include <QFile>

#include <cmath>
#include <cstring>

namespace vorlane {

namespace {

enum Encoding : uint8_t { kLegacy = 0, kUtf16Bom = 1, kUtf16BE = 2, kUtf8 = 3 };

// --- Decoding ---

qsizetype zeroByte(const QByteArray &d, qsizetype from)
{
    const qsizetype at = d.indexOf('\0', from);
    return at < 0 ? d.size() : at;
}

// The next zero 16-bit unit at or after `from`, counting in whole units from `from`.
qsizetype zeroUnit(const QByteArray &d, qsizetype from)
{
    qsizetype p = from;
    while (d.size() - p >= 2) {
        if (d[p] == 0 && d[p + 1] == 0)
            return p;
        p += 2;
    }
    return d.size();
}

QString utf16(const char *p, qsizetype bytes, bool bigEndian)
{
    const qsizetype units = bytes / 2;
    QString s(units, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(s.data());
    const auto *b = reinterpret_cast<const uint8_t *>(p);
    for (qsizetype i = 0; i < units; ++i) {
        out[i] = bigEndian ? char16_t((b[2 * i] << 8) | b[2 * i + 1])
                           : char16_t((b[2 * i + 1] << 8) | b[2 * i]);
    }
    return s;
}

// Reads one terminated string of the given encoding at `pos` and moves `pos` past its
// terminator (or to the end). `bigEndianState` carries the byte order of encoding 1 from one
// string to the next for writers that put a byte-order mark on the first string only.
QString readString(const QByteArray &d, qsizetype &pos, uint8_t encoding,
                   bool *bigEndianState = nullptr)
{
    if (pos >= d.size())
        return {};
    if (encoding == kUtf16Bom || encoding == kUtf16BE) {
        bool bigEndian = encoding == kUtf16BE || (bigEndianState && *bigEndianState);
        bool known = encoding == kUtf16BE || bigEndianState;
        qsizetype start = pos;
        if (encoding == kUtf16Bom && d.size() - pos >= 2) {
            const auto b0 = uint8_t(d[pos]), b1 = uint8_t(d[pos + 1]);
            if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
                bigEndian = b0 == 0xFE;
                known = true;
                start += 2;
            }
        }
        const qsizetype end = zeroUnit(d, start);
        pos = std::min(end + 2, d.size());
        if (bigEndianState)
            *bigEndianState = bigEndian;
        // Encoding 1 without a byte-order mark has no defined byte order: empty text.
        if (!known)
            return {};
        return utf16(d.constData() + start, end - start, bigEndian);
    }
    const qsizetype end = zeroByte(d, pos);
    const QByteArray bytes = d.mid(pos, end - pos);
    pos = std::min(end + 1, d.size());
    return encoding == kUtf8 ? QString::fromUtf8(bytes) : DecodeLegacy(bytes);
}

// Single-byte text (MIME types, URLs, e-mail addresses, owner identifiers).
QString readLatin(const QByteArray &d, qsizetype &pos)
{
    const qsizetype end = zeroByte(d, std::min(pos, d.size()));
    const QString s =
        pos < d.size() ? QString::fromLatin1(d.constData() + pos, end - pos) : QString();
    pos = std::min(end + 1, d.size());
    return s;
}

// Encodings above 3 are not defined: the whole data, that byte included, count as legacy text.
uint8_t encodingOf(const QByteArray &d, qsizetype &pos)
{
    const auto enc = uint8_t(d[0]);
    if (enc > kUtf8) {
        pos = 0;
        return kLegacy;
    }
    pos = 1;
    return enc;
}

// --- Encoding ---

void appendUtf16LE(QByteArray &out, const QString &text, bool bom, bool terminator)
{
    if (bom)
        out.append("\xFF\xFE", 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
    if (terminator)
        out.append("\0\0", 2);
}

void appendEncoded(QByteArray &out, uint8_t encoding, const QString &text, bool terminator)
{
    switch (encoding) {
    case kUtf16Bom: appendUtf16LE(out, text, true, terminator); return;
    case kUtf8: out += text.toUtf8(); break;
    default: out += EncodeLegacy(text); break;
    }
    if (terminator)
        out.append('\0');
}

QByteArray languageBytes(const QString &language)
{
    if (language.isEmpty())
        return "XXX";
    return language.toLatin1().leftJustified(3, ' ', true);
}

uint64_t readBigEndian(const QByteArray &d, qsizetype pos, qsizetype count)
{
    uint64_t v = 0;
    for (qsizetype i = 0; i < count && pos + i < d.size(); ++i)
        v = (v << 8) | uint8_t(d[pos + i]);
    return v;
}

void appendBigEndian32(QByteArray &out, uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        out.append(char(v >> (8 * i)));
}

void appendLittleEndian32(QByteArray &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

uint32_t readLittleEndian32(const QByteArray &d, qsizetype pos)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uint8_t(d[pos + i]);
    return v;
}

// 80-bit x87 extended precision, little-endian: 64-bit mantissa with explicit integer bit,
// 15-bit exponent (bias 16383), sign.
QByteArray toExtended(double value)
{
    QByteArray out(10, '\0');
    if (value == 0 || !std::isfinite(value))
        return out;
    const bool negative = value < 0;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    const auto mantissa = uint64_t(std::ldexp(fraction, 64));
    const int biased = exponent - 1 + 16383;
    for (int i = 0; i < 8; ++i)
        out[i] = char(mantissa >> (8 * i));
    out[8] = char(biased & 0xFF);
    out[9] = char(((biased >> 8) & 0x7F) | (negative ? 0x80 : 0));
    return out;
}

bool fromExtended(const QByteArray &d, double &value)
{
    if (d.size() < 10)
        return false;
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | uint8_t(d[i]);
    const int biased = ((uint8_t(d[9]) & 0x7F) << 8) | uint8_t(d[8]);
    if (biased == 0x7FFF)
        return false;
    value = std::ldexp(double(mantissa), biased - 16383 - 63);
    if (uint8_t(d[9]) & 0x80)
        value = -value;
    return std::isfinite(value);
}

} // namespace

// --- Text frames ---

QString TID3v2Tag::GetUnicodeText(TFrameID FrameID) const
{
    return GetUnicodeText(FrameExists(FrameID));
}

QString TID3v2Tag::GetUnicodeText(int FrameIndex) const
{
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return {};
    qsizetype pos = 0;
    const uint8_t enc = encodingOf(d, pos);
    return readString(d, pos, enc);
}

bool TID3v2Tag::SetUnicodeText(TFrameID FrameID, const QString &Text)
{
    return SetUnicodeText(indexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetUnicodeText(int FrameIndex, const QString &Text)
{
    QByteArray d(1, char(kUtf16Bom));
    appendUtf16LE(d, Text, true, true);
    return setData(frameAt(FrameIndex), d);
}

bool TID3v2Tag::SetText(TFrameID FrameID, const QString &Text)
{
    return SetText(indexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetText(int FrameIndex, const QString &Text)
{
    return setData(frameAt(FrameIndex), QByteArray(1, char(kLegacy)) + EncodeLegacy(Text));
}

bool TID3v2Tag::SetUTF8Text(TFrameID FrameID, const QString &Text)
{
    return SetUTF8Text(indexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetUTF8Text(int FrameIndex, const QString &Text)
{
    return setData(frameAt(FrameIndex), QByteArray(1, char(kUtf8)) + Text.toUtf8());
}

bool TID3v2Tag::SetRawText(TFrameID FrameID, const QString &Text)
{
    return SetRawText(indexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetRawText(int FrameIndex, const QString &Text)
{
    return setData(frameAt(FrameIndex), EncodeLegacy(Text));
}

// --- Pictures ---

bool TID3v2Tag::GetUnicodeCoverPictureStream(int FrameIndex, QByteArray &PictureStream,
                                             QString &MIMEType, QString &Description,
                                             uint8_t &CoverType) const
{
    PictureStream.clear();
    MIMEType.clear();
    Description.clear();
    CoverType = 0;
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return false;
    auto enc = uint8_t(d[0]);
    if (enc > kUtf8)
        enc = kLegacy;
    qsizetype pos = 1;
    const qsizetype mimeEnd = zeroByte(d, pos);
    if (mimeEnd >= d.size())
        return false;
    MIMEType = QString::fromLatin1(d.constData() + pos, mimeEnd - pos);
    pos = mimeEnd + 1;
    if (pos >= d.size())
        return false;
    CoverType = uint8_t(d[pos++]);
    Description = readString(d, pos, enc);
    PictureStream = d.mid(pos);
    return true;
}

bool TID3v2Tag::SetUnicodeCoverPictureFromStream(int FrameIndex, const QString &Description,
                                                 const QByteArray &PictureStream,
                                                 const QString &MIMEType, uint8_t CoverType)
{
    QByteArray d(1, char(kUtf16Bom));
    d += MIMEType.toLatin1();
    d.append('\0');
    d.append(char(CoverType));
    appendUtf16LE(d, Description, true, true);
    d += PictureStream;
    return setData(frameAt(FrameIndex), d);
}

bool TID3v2Tag::SetUnicodeCoverPictureFromFile(int FrameIndex, const QString &Description,
                                               const QString &PictureFileName,
                                               const QString &MIMEType, uint8_t CoverType)
{
    if (!frameAt(FrameIndex))
        return false;
    QFile file;
    if (OpenRegularFile(file, PictureFileName) != TFileOpen::Ok)
        return false;
    const QByteArray picture = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return SetUnicodeCoverPictureFromStream(FrameIndex, Description, picture, MIMEType, CoverType);
}

// --- Content frames ---

QString TID3v2Tag::GetUnicodeContent(TFrameID FrameID, QString &LanguageID,
                                     QString &Description) const
{
    return GetUnicodeContent(FrameExists(FrameID), LanguageID, Description);
}

QString TID3v2Tag::GetUnicodeContent(int FrameIndex, QString &LanguageID,
                                     QString &Description) const
{
    LanguageID.clear();
    Description.clear();
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.size() < 4)
        return {};
    auto enc = uint8_t(d[0]);
    if (enc > kUtf8)
        enc = kLegacy;
    LanguageID = QString::fromLatin1(d.constData() + 1, 3);
    qsizetype pos = 4;
    Description = readString(d, pos, enc);
    return readString(d, pos, enc);
}

namespace {

QByteArray contentData(uint8_t enc, const QString &Content, const QString &LanguageID,
                       const QString &Description)
{
    QByteArray d(1, char(enc));
    d += languageBytes(LanguageID);
    appendEncoded(d, enc, Description, true);
    appendEncoded(d, enc, Content, enc == kUtf16Bom);
    return d;
}

} // namespace

bool TID3v2Tag::SetContent(TFrameID FrameID, const QString &Content, const QString &LanguageID,
                           const QString &Description)
{
    return setData(frameForWrite(FrameID), contentData(kLegacy, Content, LanguageID, Description));
}

bool TID3v2Tag::SetUTF8Content(TFrameID FrameID, const QString &Content, const QString &LanguageID,
                               const QString &Description)
{
    return setData(frameForWrite(FrameID), contentData(kUtf8, Content, LanguageID, Description));
}

bool TID3v2Tag::SetUnicodeContent(TFrameID FrameID, const QString &Content,
                                  const QString &LanguageID, const QString &Description)
{
    return setData(frameForWrite(FrameID),
                   contentData(kUtf16Bom, Content, LanguageID, Description));
}

bool TID3v2Tag::SetUnicodeContent(int FrameIndex, const QString &Content, const QString &LanguageID,
                                  const QString &Description)
{
    return setData(frameAt(FrameIndex), contentData(kUtf16Bom, Content, LanguageID, Description));
}

QString TID3v2Tag::GetUnicodeComment(int FrameIndex, QString &LanguageID,
                                     QString &Description) const
{
    return GetUnicodeContent(FrameIndex, LanguageID, Description);
}

bool TID3v2Tag::SetUnicodeComment(int FrameIndex, const QString &Content, const QString &LanguageID,
                                  const QString &Description)
{
    return SetUnicodeContent(FrameIndex, Content, LanguageID, Description);
}

int TID3v2Tag::FindUnicodeCommentByDescription(const QString &Description) const
{
    return FindCustomFrame("COMM", Description);
}

bool TID3v2Tag::SetUnicodeCommentByDescription(const QString &Description, const QString &Content,
                                               const QString &LanguageID)
{
    int index = FindUnicodeCommentByDescription(Description);
    if (index < 0)
        index = AddFrame("COMM");
    return SetUnicodeContent(index, Content, LanguageID, Description);
}

QString TID3v2Tag::GetUnicodeLyrics(TFrameID FrameID, QString &LanguageID,
                                    QString &Description) const
{
    return GetUnicodeContent(FrameID, LanguageID, Description);
}

bool TID3v2Tag::SetUnicodeLyrics(TFrameID FrameID, const QString &Lyrics, const QString &LanguageID,
                                 const QString &Description)
{
    return SetUnicodeContent(FrameID, Lyrics, LanguageID, Description);
}

// --- Links ---

QString TID3v2Tag::GetURL(TFrameID FrameID) const
{
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d))
        return {};
    qsizetype pos = 0;
    return readLatin(d, pos);
}

bool TID3v2Tag::SetURL(TFrameID FrameID, const QString &URL)
{
    return setData(frameForWrite(FrameID), URL.toLatin1());
}

QString TID3v2Tag::GetUnicodeUserDefinedURLLink(TFrameID FrameID, QString &Description) const
{
    return GetUnicodeUserDefinedURLLink(FrameExists(FrameID), Description);
}

QString TID3v2Tag::GetUnicodeUserDefinedURLLink(int FrameIndex, QString &Description) const
{
    Description.clear();
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return {};
    auto enc = uint8_t(d[0]);
    if (enc > kUtf8)
        enc = kLegacy;
    qsizetype pos = 1;
    Description = readString(d, pos, enc);
    return readLatin(d, pos);
}

int TID3v2Tag::FindUnicodeUserDefinedURLLinkByDescription(const QString &Description) const
{
    return FindCustomFrame("WXXX", Description);
}

namespace {

QByteArray linkData(uint8_t enc, const QString &URL, const QString &Description)
{
    QByteArray d(1, char(enc));
    appendEncoded(d, enc, Description, true);
    d += URL.toLatin1();
    return d;
}

QByteArray descriptionValueData(uint8_t enc, const QString &Description, const QString &Text)
{
    QByteArray d(1, char(enc));
    appendEncoded(d, enc, Description, true);
    appendEncoded(d, enc, Text, enc == kUtf16Bom);
    return d;
}

} // namespace

bool TID3v2Tag::SetUserDefinedURLLink(TFrameID FrameID, const QString &URL,
                                      const QString &Description)
{
    return setData(frameForWrite(FrameID), linkData(kLegacy, URL, Description));
}

bool TID3v2Tag::SetUTF8UserDefinedURLLink(TFrameID FrameID, const QString &URL,
                                          const QString &Description)
{
    return setData(frameForWrite(FrameID), linkData(kUtf8, URL, Description));
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLink(TFrameID FrameID, const QString &URL,
                                             const QString &Description)
{
    return setData(frameForWrite(FrameID), linkData(kUtf16Bom, URL, Description));
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLink(int FrameIndex, const QString &URL,
                                             const QString &Description)
{
    return setData(frameAt(FrameIndex), linkData(kUtf16Bom, URL, Description));
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLinkByDescription(const QString &Description,
                                                          const QString &URL)
{
    int index = FindUnicodeUserDefinedURLLinkByDescription(Description);
    if (index < 0)
        index = AddFrame("WXXX");
    return SetUnicodeUserDefinedURLLink(index, URL, Description);
}

// --- Description/value frames ---

QString TID3v2Tag::GetUnicodeUserDefinedTextInformation(TFrameID FrameID,
                                                        QString &Description) const
{
    return GetUnicodeUserDefinedTextInformation(FrameExists(FrameID), Description);
}

QString TID3v2Tag::GetUnicodeUserDefinedTextInformation(int FrameIndex, QString &Description) const
{
    Description.clear();
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return {};
    auto enc = uint8_t(d[0]);
    if (enc > kUtf8)
        enc = kLegacy;
    qsizetype pos = 1;
    Description = readString(d, pos, enc);
    return readString(d, pos, enc);
}

bool TID3v2Tag::SetUserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                              const QString &Text)
{
    return setData(frameForWrite(FrameID), descriptionValueData(kLegacy, Description, Text));
}

bool TID3v2Tag::SetUTF8UserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                                  const QString &Text)
{
    return setData(frameForWrite(FrameID), descriptionValueData(kUtf8, Description, Text));
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                                     const QString &Text)
{
    return setData(frameForWrite(FrameID), descriptionValueData(kUtf16Bom, Description, Text));
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformation(int FrameIndex, const QString &Description,
                                                     const QString &Text)
{
    return setData(frameAt(FrameIndex), descriptionValueData(kUtf16Bom, Description, Text));
}

int TID3v2Tag::FindCustomFrame(TFrameID FrameID, const QString &Description) const
{
    for (size_t i = 0; i < Frames.size(); ++i) {
        if (!(Frames[i].ID == FrameID))
            continue;
        QString description, language;
        if (FrameID == TFrameID("COMM") || FrameID == TFrameID("USLT"))
            GetUnicodeContent(int(i), language, description);
        else
            GetUnicodeUserDefinedTextInformation(int(i), description);
        if (description == Description)
            return int(i);
    }
    return -1;
}

QString TID3v2Tag::GetUnicodeTXXX(int FrameIndex, QString &Description) const
{
    return GetUnicodeUserDefinedTextInformation(FrameIndex, Description);
}

bool TID3v2Tag::SetUnicodeTXXX(int FrameIndex, const QString &Description, const QString &Text)
{
    return SetUnicodeUserDefinedTextInformation(FrameIndex, Description, Text);
}

QString TID3v2Tag::GetUnicodeTXXX(const QString &Description) const
{
    QString found;
    return GetUnicodeUserDefinedTextInformation(FindTXXXByDescription(Description), found);
}

int TID3v2Tag::FindTXXXByDescription(const QString &Description) const
{
    return FindCustomFrame("TXXX", Description);
}

bool TID3v2Tag::SetUnicodeTXXXByDescription(const QString &Description, const QString &Text)
{
    int index = FindTXXXByDescription(Description);
    if (index < 0)
        index = AddFrame("TXXX");
    return SetUnicodeUserDefinedTextInformation(index, Description, Text);
}

// --- Lists ---

bool TID3v2Tag::GetUnicodeListFrame(TFrameID FrameID, QStringList &List) const
{
    List.clear();
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return false;
    auto enc = uint8_t(d[0]);
    if (enc > kUtf8)
        enc = kLegacy;
    qsizetype pos = 1;
    bool bigEndian = false;
    while (pos < d.size()) {
        const QString name = readString(d, pos, enc, &bigEndian);
        const QString value = readString(d, pos, enc, &bigEndian);
        List.append(name + u'=' + value);
    }
    return true;
}

bool TID3v2Tag::SetUnicodeListFrame(TFrameID FrameID, const QStringList &List)
{
    QByteArray d(1, char(kUtf16Bom));
    d.append("\xFF\xFE", 2);
    for (const QString &pair : List) {
        const qsizetype eq = pair.indexOf(u'=');
        appendUtf16LE(d, eq < 0 ? pair : pair.left(eq), false, true);
        appendUtf16LE(d, eq < 0 ? QString() : pair.mid(eq + 1), false, true);
    }
    return setData(frameForWrite(FrameID), d);
}

// --- Dates, lengths, counters ---

QDateTime TID3v2Tag::GetTime(TFrameID FrameID) const
{
    const QString text = GetUnicodeText(FrameID);
    if (text.isEmpty())
        return {};
    // Characters 1-4, 6-7, 9-10, 12-13, 15-16 and 18-19 of "yyyy-MM-ddTHH:mm:ss".
    auto number = [&](int from, int length) { return text.mid(from, length).toInt(); };
    int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year == 0)
        year = 2000;
    if (month == 0)
        month = 1;
    if (day == 0)
        day = 1;
    return QDateTime(QDate(year, month, day), QTime(number(11, 2), number(14, 2), number(17, 2)));
}

bool TID3v2Tag::SetTime(TFrameID FrameID, const QDateTime &Time)
{
    return SetText(FrameID, Time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
}

bool TID3v2Tag::SetTLEN(uint64_t LengthMs)
{
    return SetText(TFrameID("TLEN"), QString::number(LengthMs));
}

uint32_t TID3v2Tag::GetPlayCount(TFrameID FrameID) const
{
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return 0;
    // The counter may be longer than 4 bytes; it saturates rather than wraps.
    const qsizetype n = d.size();
    if (n > 4 && d.left(n - 4).count('\0') != n - 4)
        return 0xFFFFFFFFu;
    return uint32_t(readBigEndian(d, std::max<qsizetype>(0, n - 4), 4));
}

bool TID3v2Tag::SetPlayCount(TFrameID FrameID, uint32_t PlayCount)
{
    QByteArray d;
    appendBigEndian32(d, PlayCount);
    return setData(frameForWrite(FrameID), d);
}

// --- POPM ---

bool TID3v2Tag::GetPopularimeter(int FrameIndex, QString &Email, uint8_t &Rating,
                                 uint32_t &PlayCounter) const
{
    Email.clear();
    Rating = 0;
    PlayCounter = 0;
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return false;
    qsizetype pos = 0;
    Email = readLatin(d, pos);
    if (pos >= d.size())
        return false;
    Rating = uint8_t(d[pos++]);
    const qsizetype counterBytes = d.size() - pos;
    if (counterBytes > 4 && d.mid(pos, counterBytes - 4).count('\0') != counterBytes - 4)
        PlayCounter = 0xFFFFFFFFu;
    else
        PlayCounter = uint32_t(readBigEndian(d, pos + std::max<qsizetype>(0, counterBytes - 4),
                                             std::min<qsizetype>(4, counterBytes)));
    return true;
}

int TID3v2Tag::FindPopularimeter(const QString &Email) const
{
    for (size_t i = 0; i < Frames.size(); ++i) {
        if (!(Frames[i].ID == TFrameID("POPM")))
            continue;
        QString email;
        uint8_t rating;
        uint32_t counter;
        if (GetPopularimeter(int(i), email, rating, counter) && email == Email)
            return int(i);
    }
    return -1;
}

bool TID3v2Tag::SetPopularimeterByEmail(const QString &Email, uint8_t Rating, uint32_t PlayCounter)
{
    int index = FindPopularimeter(Email);
    if (index < 0)
        index = AddFrame("POPM");
    return SetPopularimeter(index, Email, Rating, PlayCounter);
}

bool TID3v2Tag::SetPopularimeter(int FrameIndex, const QString &Email, uint8_t Rating,
                                 uint32_t PlayCounter)
{
    QByteArray d = Email.toLatin1();
    d.append('\0');
    d.append(char(Rating));
    appendBigEndian32(d, PlayCounter);
    return setData(frameAt(FrameIndex), d);
}

// --- UFID ---

bool TID3v2Tag::GetUFID(int FrameIndex, QString &OwnerIdentifier, QByteArray &Identifier) const
{
    OwnerIdentifier.clear();
    Identifier.clear();
    const TID3v2Frame *f = frameAt(FrameIndex);
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.isEmpty())
        return false;
    qsizetype pos = 0;
    OwnerIdentifier = readLatin(d, pos);
    Identifier = d.mid(pos);
    return true;
}

int TID3v2Tag::FindUFIDByOwnerIdentifier(const QString &OwnerIdentifier) const
{
    for (size_t i = 0; i < Frames.size(); ++i) {
        if (!(Frames[i].ID == TFrameID("UFID")))
            continue;
        QString owner;
        QByteArray identifier;
        if (GetUFID(int(i), owner, identifier) && owner == OwnerIdentifier)
            return int(i);
    }
    return -1;
}

bool TID3v2Tag::SetUFIDByOwnerIdentifier(const QString &OwnerIdentifier,
                                         const QByteArray &Identifier)
{
    int index = FindUFIDByOwnerIdentifier(OwnerIdentifier);
    if (index < 0)
        index = AddFrame("UFID");
    return SetUFID(index, OwnerIdentifier, Identifier);
}

bool TID3v2Tag::SetUFID(int FrameIndex, const QString &OwnerIdentifier,
                        const QByteArray &Identifier)
{
    QByteArray d = OwnerIdentifier.toLatin1();
    d.append('\0');
    d += Identifier;
    return setData(frameAt(FrameIndex), d);
}

// --- Bit rate ---

QString TID3v2Tag::GetSEBRString(TFrameID FrameID) const
{
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.size() <= 10)
        return {};
    qsizetype pos = 10;
    return readLatin(d, pos);
}

double TID3v2Tag::GetSEBR(TFrameID FrameID) const
{
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d))
        return 0;
    double value = 0;
    if (fromExtended(d, value))
        return value;
    QString text = GetSEBRString(FrameID);
    if (text.startsWith(u'~'))
        text = text.mid(1);
    return text.trimmed().toDouble();
}

bool TID3v2Tag::SetSEBR(TFrameID FrameID, double Value)
{
    return setData(frameForWrite(FrameID), toExtended(Value) + QByteArray::number(Value));
}

// --- Sample cache ---

bool TID3v2Tag::GetSampleCache(TFrameID FrameID, bool ForceDecompression, uint32_t &Version,
                               uint32_t &Channels, QByteArray &Samples) const
{
    Version = 0;
    Channels = 0;
    Samples.clear();
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    if (!f)
        return false;
    QByteArray d;
    if (ForceDecompression && !f->Compressed) {
        TID3v2Frame copy = *f;
        copy.Compressed = true;
        if (!copy.DecodedData(d))
            return false;
    } else if (!f->DecodedData(d)) {
        return false;
    }
    if (d.size() < 13)
        return false;
    Version = readLittleEndian32(d, 0);
    Channels = readLittleEndian32(d, 9);
    Samples = d.mid(13);
    return true;
}

bool TID3v2Tag::SetSampleCache(TFrameID FrameID, uint32_t Version, uint32_t Channels,
                               const QByteArray &Samples)
{
    QByteArray d;
    appendLittleEndian32(d, Version);
    d.append('\0');
    appendLittleEndian32(d, 4);
    appendLittleEndian32(d, Channels);
    d += Samples;
    TID3v2Frame *f = frameForWrite(FrameID);
    if (!setData(f, d))
        return false;
    return f->Compress();
}

// --- Sample count ---

int64_t TID3v2Tag::GetSEFC(TFrameID FrameID) const
{
    return GetUnicodeText(FrameID).trimmed().toLongLong();
}

bool TID3v2Tag::SetSEFC(TFrameID FrameID, int64_t Count)
{
    return SetText(FrameID, QString::number(Count));
}

// --- Colours ---

bool TID3v2Tag::GetAlbumColors(TFrameID FrameID, uint32_t &TitleColor, uint32_t &TextColor) const
{
    TitleColor = 0;
    TextColor = 0;
    const TID3v2Frame *f = frameAt(FrameExists(FrameID));
    QByteArray d;
    if (!f || !f->DecodedData(d) || d.size() < 8)
        return false;
    TitleColor = readLittleEndian32(d, 0);
    TextColor = readLittleEndian32(d, 4);
    return true;
}

bool TID3v2Tag::SetAlbumColors(TFrameID FrameID, uint32_t TitleColor, uint32_t TextColor)
{
    QByteArray d;
    appendLittleEndian32(d, TitleColor);
    appendLittleEndian32(d, TextColor);
    return setData(frameForWrite(FrameID), d);
}

} // namespace vorlane
