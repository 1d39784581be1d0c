#include "tags/ID3v1Tag.h"

#include "base/RegularFile.h"

#include <QFile>
#include <QIODevice>

#include <cstring>

namespace vorlane {

namespace {

constexpr int kTagSize = 128;

// Slot offsets and widths inside the 128-byte block.
constexpr int kTitleAt = 3, kArtistAt = 33, kAlbumAt = 63, kYearAt = 93, kCommentAt = 97;
constexpr int kTextWidth = 30, kYearWidth = 4;
constexpr int kZeroByteAt = 125, kTrackAt = 126, kGenreAt = 127;

QByteArray field(const char *block, int at, int width)
{
    const void *zero = std::memchr(block + at, 0, width);
    const int length = zero ? int(static_cast<const char *>(zero) - (block + at)) : width;
    return QByteArray(block + at, length);
}

void put(char *block, int at, int width, const QByteArray &value)
{
    std::memcpy(block + at, value.constData(), std::min<qsizetype>(width, value.size()));
}

} // namespace

const QStringList &ID3v1Genres()
{
    static const QStringList genres = {
        "Blues",
        "Classic Rock",
        "Country",
        "Dance",
        "Disco",
        "Funk",
        "Grunge",
        "Hip-Hop",
        "Jazz",
        "Metal",
        "New Age",
        "Oldies",
        "Other",
        "Pop",
        "R&B",
        "Rap",
        "Reggae",
        "Rock",
        "Techno",
        "Industrial",
        "Alternative",
        "Ska",
        "Death Metal",
        "Pranks",
        "Soundtrack",
        "Euro-Techno",
        "Ambient",
        "Trip-Hop",
        "Vocal",
        "Jazz+Funk",
        "Fusion",
        "Trance",
        "Classical",
        "Instrumental",
        "Acid",
        "House",
        "Game",
        "Sound Clip",
        "Gospel",
        "Noise",
        "AlternRock",
        "Bass",
        "Soul",
        "Punk",
        "Space",
        "Meditative",
        "Instrumental Pop",
        "Instrumental Rock",
        "Ethnic",
        "Gothic",
        "Darkwave",
        "Techno-Industrial",
        "Electronic",
        "Pop-Folk",
        "Eurodance",
        "Dream",
        "Southern Rock",
        "Comedy",
        "Cult",
        "Gangsta",
        "Top 40",
        "Christian Rap",
        "Pop/Funk",
        "Jungle",
        "Native American",
        "Cabaret",
        "New Wave",
        "Psychedelic",
        "Rave",
        "Showtunes",
        "Trailer",
        "Lo-Fi",
        "Tribal",
        "Acid Punk",
        "Acid Jazz",
        "Polka",
        "Retro",
        "Musical",
        "Rock & Roll",
        "Hard Rock",
        "Folk",
        "Folk-Rock",
        "National Folk",
        "Swing",
        "Fast Fusion",
        "Bebob",
        "Latin",
        "Revival",
        "Celtic",
        "Bluegrass",
        "Avantgarde",
        "Gothic Rock",
        "Progressive Rock",
        "Psychedelic Rock",
        "Symphonic Rock",
        "Slow Rock",
        "Big Band",
        "Chorus",
        "Easy Listening",
        "Acoustic",
        "Humour",
        "Speech",
        "Chanson",
        "Opera",
        "Chamber Music",
        "Sonata",
        "Symphony",
        "Booty Bass",
        "Primus",
        "Porn Groove",
        "Satire",
        "Slow Jam",
        "Club",
        "Tango",
        "Samba",
        "Folklore",
        "Ballad",
        "Power Ballad",
        "Rhythmic Soul",
        "Freestyle",
        "Duet",
        "Punk Rock",
        "Drum Solo",
        "A capella",
        "Euro-House",
        "Dance Hall",
        "Goa",
        "Drum & Bass",
        "Club-House",
        "Hardcore",
        "Terror",
        "Indie",
        "BritPop",
        "Negerpunk",
        "Polsk Punk",
        "Beat",
        "Christian Gangsta Rap",
        "Heavy Metal",
        "Black Metal",
        "Crossover",
        "Contemporary Christian",
        "Christian Rock",
        "Merengue",
        "Salsa",
        "Trash Metal",
        "Anime",
        "JPop",
        "SynthPop",
    };
    return genres;
}

uint8_t ID3v1GenreNumber(const QByteArray &name)
{
    const QByteArray wanted = name == "Psychadelic" ? QByteArray("Psychedelic") : name;
    const QStringList &genres = ID3v1Genres();
    for (int i = 0; i < genres.size(); ++i) {
        if (genres[i].toLatin1() == wanted)
            return uint8_t(i);
    }
    return 12;
}

void TID3v1Tag::Clear()
{
    FileName.clear();
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Genre.clear();
    Track = 0;
    Loaded = false;
    Revision1 = false;
}

int TID3v1Tag::LoadFromFile(const QString &fileName)
{
    Clear();
    QFile file;
    switch (OpenRegularFile(file, fileName)) {
    case TFileOpen::Ok: break;
    case TFileOpen::Missing:
    case TFileOpen::NotRegular: return kFileError;
    default: return kNoTag;
    }
    const int result = LoadFromFile(file);
    if (result == kOk)
        FileName = fileName;
    return result;
}

int TID3v1Tag::LoadFromFile(QFile &file)
{
    Clear();
    if (file.size() < kTagSize || !file.seek(file.size() - kTagSize))
        return kNoTag;
    const int result = LoadFromStream(file);
    if (result == kOk)
        FileName = file.fileName();
    return result;
}

int TID3v1Tag::LoadFromStream(QIODevice &tagStream)
{
    Loaded = false;
    char block[kTagSize] = {};
    const qint64 got = tagStream.read(block, kTagSize);
    if (got < 3 || std::memcmp(block, "TAG", 3) != 0)
        return kNoTag;
    Title = field(block, kTitleAt, kTextWidth);
    Artist = field(block, kArtistAt, kTextWidth);
    Album = field(block, kAlbumAt, kTextWidth);
    Year = field(block, kYearAt, kYearWidth);
    Comment = field(block, kCommentAt, kTextWidth);
    const auto genre = uint8_t(block[kGenreAt]);
    Genre = genre < ID3v1Genres().size() ? ID3v1Genres()[genre].toLatin1() : QByteArray("Other");
    if (block[kZeroByteAt] != 0) {
        Track = 0;
        Revision1 = false;
    } else {
        Track = uint8_t(block[kTrackAt]);
        Revision1 = true;
    }
    Loaded = true;
    return kOk;
}

QByteArray TID3v1Tag::Render() const
{
    QByteArray block(kTagSize, '\0');
    char *b = block.data();
    std::memcpy(b, "TAG", 3);
    put(b, kTitleAt, kTextWidth, Title);
    put(b, kArtistAt, kTextWidth, Artist);
    put(b, kAlbumAt, kTextWidth, Album);
    put(b, kYearAt, kYearWidth, Year);
    put(b, kCommentAt, kTextWidth, Comment);
    b[kGenreAt] = char(ID3v1GenreNumber(Genre));
    // Only a comment of at most 28 bytes leaves room for the track number.
    if (b[kZeroByteAt] == 0)
        b[kTrackAt] = char(Track);
    return block;
}

int TID3v1Tag::SaveToFile(const QString &fileName)
{
    QFile file;
    const TFileOpen opened = OpenRegularFile(file, fileName, QIODevice::ReadWrite);
    if (opened != TFileOpen::Ok)
        return opened == TFileOpen::NotWritable ? kNotWritable : kFileError;
    if (!file.seek(std::max<qint64>(0, file.size() - kTagSize)))
        return kReadError;
    const int result = SaveToStream(file);
    if (!file.flush() && result == kOk)
        return kWriteError;
    file.close();
    if (result == kOk)
        FileName = fileName;
    return result;
}

int TID3v1Tag::SaveToStream(QIODevice &tagStream)
{
    const qint64 start = tagStream.pos();
    char old[kTagSize] = {};
    const qint64 got = tagStream.read(old, kTagSize);
    if (got < 0)
        return kReadError;
    const bool overwrite = got == kTagSize && std::memcmp(old, "TAG", 3) == 0;
    if (!tagStream.seek(overwrite ? start : tagStream.size()))
        return kWriteError;
    const QByteArray block = Render();
    if (tagStream.write(block) != block.size())
        return kWriteError;
    return kOk;
}

} // namespace vorlane
