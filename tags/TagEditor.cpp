#include "tags/TagEditor.h"

#include "base/Codepage.h"
#include "base/DataPaths.h"
#include "base/RegularFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cmath>

namespace vorlane {

namespace {

const QString kDefaultCoverName = QStringLiteral("DefCover.png");

QString lowerExtension(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? QString() : u'.' + suffix.toLower();
}

// A quiet stand-in when DefCover.png is nowhere to be found.
QImage generatedCover()
{
    QImage image(300, 300, QImage::Format_RGB888);
    image.fill(QColor(0xE6, 0xE4, 0xEE));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x37, 0x48));
    p.drawEllipse(QPointF(150, 150), 110, 110);
    p.setBrush(QColor(0xC9, 0xC4, 0xDA));
    p.drawEllipse(QPointF(150, 150), 34, 34);
    return image;
}

// The decoder for a picture frame's MIME type (compared exactly), or nullptr.
const char *formatForMime(const QString &mime)
{
    if (mime == QLatin1String("image/jpeg") || mime == QLatin1String("image/jpg"))
        return "JPEG";
    if (mime == QLatin1String("image/bmp"))
        return "BMP";
    if (mime == QLatin1String("image/png"))
        return "PNG";
    if (mime == QLatin1String("image/gif"))
        return "GIF";
    return nullptr;
}

QString mimeForPictureFile(const QString &fileName)
{
    const QString ext = u'.' + QFileInfo(fileName).suffix().toUpper();
    if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JPEG"))
        return QStringLiteral("image/jpeg");
    if (ext == QLatin1String(".PNG"))
        return QStringLiteral("image/png");
    if (ext == QLatin1String(".BMP"))
        return QStringLiteral("image/bmp");
    if (ext == QLatin1String(".GIF"))
        return QStringLiteral("image/gif");
    return {};
}

// "TYER" in version 2.3; version 2.4 has no "TYER" and every reader looks at "TDRC".
TFrameID yearFrame(const TID3v2Tag &tag)
{
    return tag.MajorVersion == 4 ? TFrameID("TDRC") : TFrameID("TYER");
}

} // namespace

QSize CoverArtSize(int pictureWidth, int pictureHeight, int Width, int Height)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return QSize(std::max(1, Width), std::max(1, Height));
    int w, h;
    // Single precision and the default rounding mode (to nearest, halves to even).
    if (pictureHeight < pictureWidth) {
        w = Width;
        h = int(std::nearbyintf(float(Width) * float(pictureHeight) / float(pictureWidth)));
    } else {
        h = Height;
        w = int(std::nearbyintf(float(Height) * float(pictureWidth) / float(pictureHeight)));
    }
    return QSize(std::max(1, w), std::max(1, h));
}

void ReadTagV2Fields(const TID3v2Tag &tag, TTag &fields)
{
    fields.Title = tag.GetUnicodeText("TIT2");
    fields.Artist = tag.GetUnicodeText("TPE1");
    fields.Album = tag.GetUnicodeText("TALB");
    fields.Track = tag.GetUnicodeText("TRCK");
    fields.Genre = tag.GetUnicodeText("TCON");
    if (tag.MajorVersion == 4 && tag.FrameExists("TYER") < 0)
        fields.Year = tag.GetUnicodeText("TDRC").left(4);
    else
        fields.Year = tag.GetUnicodeText("TYER");
}

void WriteTagV2Fields(TID3v2Tag &tag, const TTag &fields)
{
    const std::pair<TFrameID, const QString *> frames[] = {
        {"TIT2", &fields.Title}, {"TPE1", &fields.Artist}, {"TALB", &fields.Album},
        {"TRCK", &fields.Track}, {"TCON", &fields.Genre},  {yearFrame(tag), &fields.Year},
    };
    for (const auto &[id, text] : frames) {
        if (!text->isEmpty())
            tag.SetUnicodeText(id, *text);
    }
}

QImage LoadDefaultCover()
{
    QStringList candidates;
    const QString bundled = BundledDataDir();
    if (!bundled.isEmpty())
        candidates << bundled + kDefaultCoverName;
    candidates << QDir::current().absoluteFilePath(kDefaultCoverName);
    for (const QString &path : candidates) {
        QImage image;
        if (QFileInfo(path).isFile() && image.load(path, "PNG"))
            return image;
    }
    return generatedCover();
}

TTagEditor::TTagEditor() = default;

const QImage &TTagEditor::DefaultCover() const
{
    if (!vDefaultCoverLoaded) {
        vDefaultCover = LoadDefaultCover();
        vDefaultCoverLoaded = true;
    }
    return vDefaultCover;
}

void TTagEditor::SetFile(const QString &ExtCurFile)
{
    vEnabled = false;
    RefreshFlag = false;
    if (lowerExtension(ExtCurFile) != QLatin1String(".mp3"))
        return;
    // Both tags from one open file.
    QFile file;
    const TFileOpen opened = OpenRegularFile(file, ExtCurFile);
    if (opened == TFileOpen::Ok) {
        if (ID3v2Tag.LoadFromFile(file) == TID3v2Tag::kOk)
            ID3v2Tag.FileName = ExtCurFile;
        if (ID3v1Tag.LoadFromFile(file) == TID3v1Tag::kOk)
            ID3v1Tag.FileName = ExtCurFile;
    } else if (opened != TFileOpen::Missing) {
        return; // a file that exists but cannot be read has no editable tags
    } else {
        ID3v2Tag.Clear();
        ID3v1Tag.Clear();
    }
    vCurFile = ExtCurFile;
    vEnabled = true;
    RefreshFlag = true;
}

void TTagEditor::GetTagV1(TTag &Tag) const
{
    if (!vEnabled)
        return;
    Tag.Title = DecodeLegacy(ID3v1Tag.Title);
    Tag.Artist = DecodeLegacy(ID3v1Tag.Artist);
    Tag.Album = DecodeLegacy(ID3v1Tag.Album);
    Tag.Track = QString::number(ID3v1Tag.Track);
    Tag.Genre = DecodeLegacy(ID3v1Tag.Genre);
    Tag.Year = DecodeLegacy(ID3v1Tag.Year);
    Tag.FileType = lowerExtension(vCurFile);
}

void TTagEditor::GetTagV2(TTag &Tag) const
{
    if (!vEnabled)
        return;
    ReadTagV2Fields(ID3v2Tag, Tag);
    Tag.FileType = lowerExtension(vCurFile);
}

void TTagEditor::SetTagV1(const TTag &NewTag)
{
    if (!vEnabled)
        return;
    // Cut to the field widths here, so the fields read back are the ones in the file.
    if (!NewTag.Title.isEmpty())
        ID3v1Tag.Title = EncodeLegacy(NewTag.Title).left(30);
    if (!NewTag.Artist.isEmpty())
        ID3v1Tag.Artist = EncodeLegacy(NewTag.Artist).left(30);
    if (!NewTag.Album.isEmpty())
        ID3v1Tag.Album = EncodeLegacy(NewTag.Album).left(30);
    if (!NewTag.Track.isEmpty()) {
        bool ok = false;
        const qlonglong track = NewTag.Track.toLongLong(&ok);
        if (!ok)
            ID3v1Tag.Track = 0;
        else if (track >= 256)
            ID3v1Tag.Track = 255;
        else
            ID3v1Tag.Track = uint8_t(track & 0xFF); // a negative number keeps its low 8 bits
    }
    if (!NewTag.Genre.isEmpty())
        ID3v1Tag.Genre = EncodeLegacy(NewTag.Genre);
    if (!NewTag.Year.isEmpty())
        ID3v1Tag.Year = EncodeLegacy(NewTag.Year).left(4);
    vLastSaveResult = ID3v1Tag.SaveToFile(vCurFile);
    vLastSaveOk = vLastSaveResult == TID3v1Tag::kOk;
}

void TTagEditor::SetTagV2(const TTag &NewTag)
{
    if (!vEnabled)
        return;
    WriteTagV2Fields(ID3v2Tag, NewTag);
    saveTagV2();
}

void TTagEditor::saveTagV2()
{
    vLastSaveResult = ID3v2Tag.SaveToFile(vCurFile);
    // Nothing to write is no failure.
    vLastSaveOk = vLastSaveResult == TID3v2Tag::kOk || vLastSaveResult == TID3v2Tag::kNoFrames ||
                  vLastSaveResult == TID3v2Tag::kAllFramesEmpty;
}

void TTagEditor::CopyFromTagV1toTagV2()
{
    if (!vEnabled)
        return;
    TTag tag;
    GetTagV1(tag);
    // Track 0 means "no track" in ID3v1; copying it would overwrite a real track number.
    if (tag.Track == QLatin1String("0"))
        tag.Track.clear();
    SetTagV2(tag);
}

void TTagEditor::CopyFromTagV2toTagV1()
{
    if (!vEnabled)
        return;
    TTag tag;
    GetTagV2(tag);
    SetTagV1(tag);
}

void TTagEditor::GetCoverArt(int Width, int Height)
{
    CoverArt = DefaultCover();
    if (!vEnabled)
        return;
    QByteArray picture;
    QString mime, description;
    uint8_t type = 0;
    const int index = ID3v2Tag.FrameExists("APIC");
    if (index >= 0)
        ID3v2Tag.GetUnicodeCoverPictureStream(index, picture, mime, description, type);
    const char *format = formatForMime(mime);
    if (!format)
        return;
    QImage decoded;
    if (!decoded.loadFromData(picture, format))
        decoded = DefaultCover();
    const QSize size = CoverArtSize(decoded.width(), decoded.height(), Width, Height);
    CoverArt = decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB888);
}

bool TTagEditor::SetCoverArt(const QString &FileName)
{
    if (!vEnabled)
        return false;
    // Read the picture first: an unreadable file must not cost the tag its old cover.
    QByteArray picture;
    if (!ReadCoverPicture(FileName, picture))
        return false;
    ID3v2Tag.DeleteFrame("APIC");
    const int index = ID3v2Tag.AddFrame("APIC");
    const bool filled = ID3v2Tag.SetUnicodeCoverPictureFromStream(
        index, QStringLiteral("Album"), picture, mimeForPictureFile(FileName), 3);
    saveTagV2();
    return filled;
}

bool ReadCoverPicture(const QString &fileName, QByteArray &picture)
{
    picture.clear();
    QFile file;
    if (OpenRegularFile(file, fileName) != TFileOpen::Ok)
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (reader.read().isNull())
        return false;
    picture = std::move(bytes);
    return true;
}

} // namespace vorlane
