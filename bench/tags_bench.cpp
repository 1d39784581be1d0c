// Tag reading and writing over 2,000 tagged MP3 files, against TagLib on the same files.
//
// Builds (once, in a temporary folder) 2,000 copies of a 2-second MP3 made by ffmpeg, each with
// an ID3v2.3 tag of the six common fields and 1 KB of padding plus an ID3v1 tag; every third
// file also carries a 50 KB front cover. Then measures in one run with a warm cache:
//   read    the six fields through our tag editor (SetFile + GetTagV2)
//           vs  TagLib::FileRef without audio properties, tag()->title() ... year()
//           and, for scale, reading every file's tag bytes without parsing them
//   write   a new title that fits the old padding, through our editor (SetTagV2)
//           vs  TagLib: FileRef, setTitle, save()   (each side on its own fresh copies)
// and prints ours / TagLib (goals: read 0.7 or less, write 0.3 or less). Each figure is the
// median of several runs.

#include "tags/TagEditor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fileref.h>
#include <tag.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vorlane;

namespace {

constexpr int kFiles = 2000;
constexpr int kCoverBytes = 50 * 1024;
constexpr int kReadRuns = 5;
constexpr int kWriteRuns = 3;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e9;
}

QByteArray makeMp3(const QString &dir)
{
    const QString path = dir + "/tone.mp3";
    QProcess p;
    p.start("ffmpeg", {"-y", "-loglevel", "error", "-nostdin", "-f", "lavfi", "-i",
                       "sine=frequency=440:duration=2", "-c:a", "libmp3lame", "-b:a", "128k",
                       "-id3v2_version", "0", "-write_id3v1", "0", path});
    p.waitForFinished(120000);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tagged originals; every run works on copies of them.
QStringList makeLibrary(const QString &dir, const QByteArray &audio)
{
    QByteArray cover(kCoverBytes, '\0');
    QRandomGenerator random(7);
    for (char &c : cover)
        c = char(random.bounded(256));
    cover.replace(0, 4, "\xFF\xD8\xFF\xE0");
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString path =
            QStringLiteral("%1/%2 - Song number %3.mp3").arg(dir).arg(i % 97).arg(i);
        TID3v2Tag tag;
        TTag fields;
        fields.Title = QStringLiteral("Song number %1").arg(i);
        fields.Artist = QStringLiteral("Artist %1").arg(i % 97);
        fields.Album = QStringLiteral("Album %1").arg(i % 211);
        fields.Track = QString::number(i % 20 + 1);
        fields.Genre = QStringLiteral("Rock");
        fields.Year = QString::number(1970 + i % 50);
        WriteTagV2Fields(tag, fields);
        if (i % 3 == 0)
            tag.SetUnicodeCoverPictureFromStream(tag.AddFrame("APIC"), "Cover", cover, "image/jpeg",
                                                 3);
        TID3v1Tag v1;
        v1.Title = fields.Title.toLatin1();
        v1.Artist = fields.Artist.toLatin1();
        v1.Genre = "Rock";
        // Made directly rather than saved: setting up costs no rewrites.
        const QByteArray bytes = tag.Render(1024) + audio + v1.Render();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return {};
        files << path;
    }
    return files;
}

QStringList copyLibrary(const QStringList &files, const QString &dir)
{
    QDir().mkpath(dir);
    QStringList copies;
    for (const QString &file : files) {
        const QString copy = dir + "/" + QFileInfo(file).fileName();
        QFile::remove(copy);
        QFile::copy(file, copy);
        copies << copy;
    }
    return copies;
}

qsizetype readOurs(const QStringList &files)
{
    TTagEditor editor;
    qsizetype total = 0;
    for (const QString &file : files) {
        editor.SetFile(file);
        TTag t;
        editor.GetTagV2(t);
        total += t.Title.size() + t.Artist.size() + t.Album.size() + t.Track.size() +
                 t.Genre.size() + t.Year.size();
    }
    return total;
}

qsizetype readTagLib(const QStringList &files)
{
    qsizetype total = 0;
    for (const QString &file : files) {
        TagLib::FileRef f(QFile::encodeName(file).constData(), false);
        if (TagLib::Tag *t = f.tag()) {
            total += qsizetype(t->title().size() + t->artist().size() + t->album().size() +
                               t->genre().size()) +
                     QString::number(t->track()).size() + QString::number(t->year()).size();
        }
    }
    return total;
}

// The tag bytes only: the ID3v2 header and body, and the last 128 bytes.
qsizetype readRaw(const QStringList &files)
{
    qsizetype total = 0;
    for (const QString &file : files) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray header = f.read(10);
        if (header.size() == 10 && header.startsWith("ID3")) {
            const auto *h = reinterpret_cast<const uint8_t *>(header.constData());
            total += f.read(DecodeSyncsafe(h + 6)).size();
        }
        f.seek(f.size() - 128);
        total += f.read(128).size();
    }
    return total;
}

void writeOurs(const QStringList &files)
{
    TTagEditor editor;
    for (int i = 0; i < files.size(); ++i) {
        editor.SetFile(files[i]);
        TTag t;
        t.Title = QStringLiteral("Changed title %1").arg(i);
        editor.SetTagV2(t);
    }
}

void writeTagLib(const QStringList &files)
{
    for (int i = 0; i < files.size(); ++i) {
        TagLib::FileRef f(QFile::encodeName(files[i]).constData(), false);
        f.tag()->setTitle(QStringLiteral("Changed title %1").arg(i).toStdString());
        f.save();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + "/vorlane-tags-bench-XXXXXX");
    const QByteArray audio = makeMp3(dir.path());
    if (audio.isEmpty()) {
        std::fprintf(stderr, "tags_bench: ffmpeg could not make the MP3\n");
        return 1;
    }
    QDir().mkpath(dir.path() + "/originals");
    const QStringList originals = makeLibrary(dir.path() + "/originals", audio);
    if (originals.size() != kFiles) {
        std::fprintf(stderr, "tags_bench: could not write the files\n");
        return 1;
    }
    std::printf("tags_bench: %d MP3 files of %lld bytes of audio, every third with a %d KB cover\n",
                kFiles, qlonglong(audio.size()), kCoverBytes / 1024);

    // Reading, alternating the sides so both see the same cache.
    const QStringList files = copyLibrary(originals, dir.path() + "/read");
    std::vector<double> ours, taglib, raw;
    qsizetype oursChars = 0, taglibChars = 0;
    readOurs(files);
    readTagLib(files);
    for (int run = 0; run < kReadRuns; ++run) {
        ours.push_back(seconds([&] { oursChars = readOurs(files); }));
        taglib.push_back(seconds([&] { taglibChars = readTagLib(files); }));
        raw.push_back(seconds([&] { readRaw(files); }));
    }
    if (oursChars != taglibChars)
        std::printf("  (the two sides read %lld and %lld characters)\n", qlonglong(oursChars),
                    qlonglong(taglibChars));
    const double readRatio = median(ours) / median(taglib);
    std::printf("read six fields   ours %.3f s   TagLib %.3f s   ratio %.2f (goal <= 0.70)   "
                "tag bytes alone %.3f s (%.2f of TagLib)\n",
                median(ours), median(taglib), readRatio, median(raw), median(raw) / median(taglib));

    // Writing, each side on fresh copies of the originals.
    std::vector<double> oursWrite, taglibWrite;
    for (int run = 0; run < kWriteRuns; ++run) {
        const QStringList a = copyLibrary(originals, dir.path() + "/ours");
        const QStringList b = copyLibrary(originals, dir.path() + "/taglib");
        oursWrite.push_back(seconds([&] { writeOurs(a); }));
        taglibWrite.push_back(seconds([&] { writeTagLib(b); }));
    }
    const double writeRatio = median(oursWrite) / median(taglibWrite);
    std::printf("change the title  ours %.3f s   TagLib %.3f s   ratio %.2f (goal <= 0.30)\n",
                median(oursWrite), median(taglibWrite), writeRatio);
    return 0;
}
