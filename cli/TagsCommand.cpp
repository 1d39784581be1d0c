// vorlane-cli tags: show and change tags as the program does. MP3 files go through the tag
// editor; WAVE and AIFF files have their ID3v2 tag chunk read and written directly, with the
// editor's field rules.

#include "base/Codepage.h"
#include "base/RegularFile.h"
#include "cli/Commands.h"
#include "tags/TagEditor.h"

#include <QFileInfo>
#include <QTextStream>

namespace vorlane::cli {

namespace {

enum class Kind { Mp3, Container, Other };

Kind kindOf(const QString &file)
{
    const QString ext = QFileInfo(file).suffix().toLower();
    if (ext == QLatin1String("mp3"))
        return Kind::Mp3;
    if (ext == QLatin1String("wav") || ext == QLatin1String("aif") ||
        ext == QLatin1String("aiff") || ext == QLatin1String("aifc"))
        return Kind::Container;
    return Kind::Other;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void fail(const QString &file, const QString &what)
{
    err() << "vorlane-cli tags: " << file << ": " << what << Qt::endl;
}

// Why a file named on the command line cannot be read.
QString unreadable(const QString &file)
{
    switch (CheckRegularFile(file)) {
    case TFileOpen::Missing: return QStringLiteral("no such file");
    case TFileOpen::NotRegular: return QStringLiteral("not a regular file");
    default: return QStringLiteral("cannot read the file");
    }
}

// Why an ID3v2 save failed; the failed save left the file as it was.
QString v2Failure(int code)
{
    switch (code) {
    case TID3v2Tag::kFileError: return QStringLiteral("no such file, or not a regular file");
    case TID3v2Tag::kNotWritable:
        return QStringLiteral("the file is read-only; the tag was not written");
    case TID3v2Tag::kDamagedTag:
        return QStringLiteral("the ID3v2 tag is damaged (its size is not valid or runs past the "
                              "end of the file); the file was left as it is");
    case TID3v2Tag::kNotExclusive:
        return QStringLiteral("the file is in use by another program; the tag was not written");
    case TID3v2Tag::kTooLarge:
        return QStringLiteral("the file would grow past 4 GiB; the tag was not written");
    case TID3v2Tag::kUnsupportedVersion:
        return QStringLiteral("this ID3v2 version cannot be written");
    default: return QStringLiteral("cannot write the tag (code %1)").arg(code);
    }
}

QString v1Failure(int code)
{
    switch (code) {
    case TID3v1Tag::kFileError: return QStringLiteral("no such file, or not a regular file");
    case TID3v1Tag::kNotWritable:
        return QStringLiteral("the file is read-only; the tag was not written");
    default: return QStringLiteral("cannot write the ID3v1 tag (code %1)").arg(code);
    }
}

QString json(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QLatin1String("\\\""); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

// What `tags show` prints for one file.
struct Shown {
    QString file;
    bool hasV1 = false;
    TID3v1Tag v1;
    bool hasV2 = false;
    TID3v2Tag v2;
    TTag fields;
};

struct Picture {
    QString mime;
    int type = 0;
    QString description;
    qsizetype size = 0;
};

std::vector<Picture> picturesOf(const TID3v2Tag &tag)
{
    std::vector<Picture> pictures;
    for (int i = 0; i < tag.FrameCount(); ++i) {
        if (!(tag.Frames[size_t(i)].ID == TFrameID("APIC")))
            continue;
        QByteArray data;
        Picture p;
        uint8_t type = 0;
        tag.GetUnicodeCoverPictureStream(i, data, p.mime, p.description, type);
        p.type = type;
        p.size = data.size();
        pictures.push_back(p);
    }
    return pictures;
}

void printJson(QTextStream &out, const Shown &s)
{
    out << "{\"file\":" << json(s.file) << ",\"v1\":";
    if (s.hasV1) {
        out << "{\"title\":" << json(DecodeLegacy(s.v1.Title))
            << ",\"artist\":" << json(DecodeLegacy(s.v1.Artist))
            << ",\"album\":" << json(DecodeLegacy(s.v1.Album))
            << ",\"year\":" << json(DecodeLegacy(s.v1.Year))
            << ",\"comment\":" << json(DecodeLegacy(s.v1.Comment)) << ",\"track\":" << s.v1.Track
            << ",\"genre\":" << json(DecodeLegacy(s.v1.Genre)) << "}";
    } else {
        out << "null";
    }
    out << ",\"v2\":";
    if (s.hasV2) {
        out << "{\"version\":" << json(QStringLiteral("2.%1").arg(s.v2.MajorVersion))
            << ",\"title\":" << json(s.fields.Title) << ",\"artist\":" << json(s.fields.Artist)
            << ",\"album\":" << json(s.fields.Album) << ",\"track\":" << json(s.fields.Track)
            << ",\"genre\":" << json(s.fields.Genre) << ",\"year\":" << json(s.fields.Year)
            << ",\"frames\":[";
        for (int i = 0; i < s.v2.FrameCount(); ++i) {
            out << (i ? "," : "") << "{\"id\":" << json(s.v2.Frames[size_t(i)].ID.ToString())
                << ",\"size\":" << s.v2.FullFrameSize(i) << "}";
        }
        out << "],\"pictures\":[";
        bool first = true;
        for (const Picture &p : picturesOf(s.v2)) {
            out << (first ? "" : ",") << "{\"mime\":" << json(p.mime) << ",\"type\":" << p.type
                << ",\"description\":" << json(p.description) << ",\"size\":" << p.size << "}";
            first = false;
        }
        out << "]}";
    } else {
        out << "null";
    }
    out << "}\n";
}

void printText(QTextStream &out, const Shown &s)
{
    out << s.file << "\n";
    if (s.hasV1) {
        out << "  ID3v1:\n"
            << "    title: " << DecodeLegacy(s.v1.Title) << "\n"
            << "    artist: " << DecodeLegacy(s.v1.Artist) << "\n"
            << "    album: " << DecodeLegacy(s.v1.Album) << "\n"
            << "    year: " << DecodeLegacy(s.v1.Year) << "\n"
            << "    comment: " << DecodeLegacy(s.v1.Comment) << "\n"
            << "    track: " << s.v1.Track << "\n"
            << "    genre: " << DecodeLegacy(s.v1.Genre) << "\n";
    } else {
        out << "  ID3v1: none\n";
    }
    if (s.hasV2) {
        out << "  ID3v2: 2." << s.v2.MajorVersion << "\n"
            << "    title: " << s.fields.Title << "\n"
            << "    artist: " << s.fields.Artist << "\n"
            << "    album: " << s.fields.Album << "\n"
            << "    track: " << s.fields.Track << "\n"
            << "    genre: " << s.fields.Genre << "\n"
            << "    year: " << s.fields.Year << "\n";
        for (int i = 0; i < s.v2.FrameCount(); ++i)
            out << "    frame " << s.v2.Frames[size_t(i)].ID.ToString() << " "
                << s.v2.FullFrameSize(i) << "\n";
        for (const Picture &p : picturesOf(s.v2)) {
            out << "    picture " << p.mime << " type " << p.type << " \"" << p.description << "\" "
                << p.size << " bytes\n";
        }
    } else {
        out << "  ID3v2: none\n";
    }
}

bool readShown(const QString &file, TTagEditor &editor, Shown &s)
{
    s.file = file;
    switch (kindOf(file)) {
    case Kind::Mp3:
        editor.SetFile(file);
        if (!editor.Enabled() || !QFileInfo(file).isFile()) {
            fail(file, unreadable(file));
            return false;
        }
        s.hasV1 = editor.ID3v1Tag.Loaded;
        s.v1 = editor.ID3v1Tag;
        s.hasV2 = editor.ID3v2Tag.Loaded;
        s.v2.Assign(editor.ID3v2Tag);
        editor.GetTagV2(s.fields);
        return true;
    case Kind::Container: {
        const int result = s.v2.LoadFromFile(file);
        if (result == TID3v2Tag::kFileError) {
            fail(file, unreadable(file));
            return false;
        }
        s.hasV2 = result == TID3v2Tag::kOk;
        ReadTagV2Fields(s.v2, s.fields);
        return true;
    }
    case Kind::Other: break;
    }
    fail(file, QStringLiteral("not an MP3, WAVE or AIFF file"));
    return false;
}

int show(const QStringList &args)
{
    bool asJson = false;
    QStringList files;
    for (const QString &a : args) {
        if (a == QLatin1String("--json"))
            asJson = true;
        else
            files << a;
    }
    if (files.isEmpty()) {
        err() << "usage: vorlane-cli tags show [--json] FILE..." << Qt::endl;
        return 2;
    }
    QTextStream out(stdout);
    TTagEditor editor;
    int status = 0;
    for (const QString &file : files) {
        Shown s;
        if (!readShown(file, editor, s)) {
            status = 1;
            continue;
        }
        if (asJson)
            printJson(out, s);
        else
            printText(out, s);
        out.flush();
    }
    return status;
}

// Opens an MP3 file in the editor, or says why not.
bool openMp3(TTagEditor &editor, const QString &file)
{
    if (kindOf(file) != Kind::Mp3) {
        fail(file, QStringLiteral("this works on MP3 files only"));
        return false;
    }
    editor.SetFile(file);
    if (!editor.Enabled() || !QFileInfo(file).isFile()) {
        fail(file, unreadable(file));
        return false;
    }
    return true;
}

// Whether the editor's last save wrote its tag; says why not.
bool reportSave(const QString &file, const TTagEditor &editor, bool v1)
{
    if (editor.LastSaveOk())
        return true;
    const int code = editor.LastSaveResult();
    fail(file, v1 ? v1Failure(code) : v2Failure(code));
    return false;
}

int set(const QStringList &args)
{
    static const char *kUsage = "usage: vorlane-cli tags set [--v1|--v2] [--title T] [--artist A] "
                                "[--album B] [--track N] [--genre G] [--year Y] FILE...";
    bool v1 = false, v2 = false;
    TTag fields;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        QString *field = nullptr;
        if (a == QLatin1String("--v1")) {
            v1 = true;
            continue;
        }
        if (a == QLatin1String("--v2")) {
            v2 = true;
            continue;
        }
        if (a == QLatin1String("--title"))
            field = &fields.Title;
        else if (a == QLatin1String("--artist"))
            field = &fields.Artist;
        else if (a == QLatin1String("--album"))
            field = &fields.Album;
        else if (a == QLatin1String("--track"))
            field = &fields.Track;
        else if (a == QLatin1String("--genre"))
            field = &fields.Genre;
        else if (a == QLatin1String("--year"))
            field = &fields.Year;
        if (field) {
            if (i + 1 >= args.size()) {
                err() << kUsage << Qt::endl;
                return 2;
            }
            *field = args.at(++i);
        } else if (a.startsWith(QLatin1String("--"))) {
            err() << kUsage << Qt::endl;
            return 2;
        } else {
            files << a;
        }
    }
    if (files.isEmpty()) {
        err() << kUsage << Qt::endl;
        return 2;
    }
    if (!v1 && !v2)
        v2 = true;

    TTagEditor editor;
    int status = 0;
    for (const QString &file : files) {
        const Kind kind = kindOf(file);
        if (kind == Kind::Container && !v1) {
            TID3v2Tag tag;
            const int loaded = tag.LoadFromFile(file);
            if (loaded == TID3v2Tag::kFileError) {
                fail(file, unreadable(file));
                status = 1;
            } else if (loaded == TID3v2Tag::kUnsupportedVersion) {
                fail(file, QStringLiteral("unsupported ID3v2 version 2.%1").arg(tag.MajorVersion));
                status = 1;
            } else {
                WriteTagV2Fields(tag, fields);
                const int code = tag.SaveToFile(file);
                const bool nothingToWrite =
                    code == TID3v2Tag::kNoFrames || code == TID3v2Tag::kAllFramesEmpty;
                if (code != TID3v2Tag::kOk && !nothingToWrite) {
                    fail(file, v2Failure(code));
                    status = 1;
                }
            }
            continue;
        }
        if (!openMp3(editor, file)) {
            status = 1;
            continue;
        }
        if (v1) {
            editor.SetTagV1(fields);
            if (!reportSave(file, editor, true)) {
                status = 1;
                continue;
            }
        }
        if (v2) {
            editor.SetTagV2(fields);
            if (!reportSave(file, editor, false))
                status = 1;
        }
    }
    return status;
}

int copy(const QStringList &args)
{
    static const char *kUsage = "usage: vorlane-cli tags copy --to-v1|--to-v2 FILE...";
    int direction = 0;
    QStringList files;
    for (const QString &a : args) {
        if (a == QLatin1String("--to-v1"))
            direction = 1;
        else if (a == QLatin1String("--to-v2"))
            direction = 2;
        else if (a.startsWith(QLatin1String("--"))) {
            err() << kUsage << Qt::endl;
            return 2;
        } else
            files << a;
    }
    if (direction == 0 || files.isEmpty()) {
        err() << kUsage << Qt::endl;
        return 2;
    }
    TTagEditor editor;
    int status = 0;
    for (const QString &file : files) {
        if (!openMp3(editor, file)) {
            status = 1;
            continue;
        }
        if (direction == 1)
            editor.CopyFromTagV2toTagV1();
        else
            editor.CopyFromTagV1toTagV2();
        if (!reportSave(file, editor, direction == 1))
            status = 1;
    }
    return status;
}

int cover(const QStringList &args)
{
    if (args.size() < 2) {
        err() << "usage: vorlane-cli tags cover IMAGE FILE..." << Qt::endl;
        return 2;
    }
    const QString image = args.first();
    QByteArray picture;
    if (!ReadCoverPicture(image, picture)) {
        const TFileOpen opened = CheckRegularFile(image);
        fail(image, opened == TFileOpen::Ok ? QStringLiteral("not a picture") : unreadable(image));
        return 1;
    }
    TTagEditor editor;
    int status = 0;
    for (const QString &file : args.mid(1)) {
        if (!openMp3(editor, file)) {
            status = 1;
            continue;
        }
        if (!editor.SetCoverArt(image)) {
            fail(image, QStringLiteral("cannot read the picture"));
            status = 1;
            continue;
        }
        if (!reportSave(file, editor, false))
            status = 1;
    }
    return status;
}

} // namespace

int RunTags(const QStringList &args)
{
    const QString sub = args.value(0);
    const QStringList rest = args.mid(1);
    if (sub == QLatin1String("show"))
        return show(rest);
    if (sub == QLatin1String("set"))
        return set(rest);
    if (sub == QLatin1String("copy"))
        return copy(rest);
    if (sub == QLatin1String("cover"))
        return cover(rest);
    if (sub == QLatin1String("from-names"))
        return RunTagsFromNames(rest);
    err() << "usage: vorlane-cli tags show|set|copy|cover|from-names ..." << Qt::endl;
    return 2;
}

} // namespace vorlane::cli
