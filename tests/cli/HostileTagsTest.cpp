// The tag commands on hostile files: damaged tag sizes, FIFOs, read-only, foreign-owned and
// hard-linked files, and names that are not text.

#include "tests/cli/HostileFiles.h"

#include <QJsonDocument>

#include <dirent.h>
#include <fcntl.h>

namespace vorlane::test {
namespace {

const QByteArray kTitleFrame("TIT2\x00\x00\x00\x04\x00\x00\x00Old", 14);

// An ID3v2.3 tag with the title "Old" whose size field holds these four bytes.
QByteArray tagSized(const QByteArray &size)
{
    return QByteArray("ID3\x03\x00\x00", 6) + size + kTitleFrame;
}

const QByteArray kRightSize("\x00\x00\x00\x0E", 4);

// A WAVE file with 400 bytes of samples and `tag` (of even size) as its "id3 " chunk.
QByteArray waveWith(const QByteArray &tag)
{
    const QByteArray body = "WAVEdata" + test::Le32(400) + QByteArray(400, '\x07') + "id3 " +
                            test::Le32(uint32_t(tag.size())) + tag;
    return "RIFF" + test::Le32(uint32_t(body.size())) + body;
}

QString titleShown(const QString &file)
{
    const CliResult r = RunCli({"tags", "show", "--json", file});
    return QJsonDocument::fromJson(r.out.toUtf8())["v2"]["title"].toString();
}

// Every name in the folder as its bytes, sorted.
QList<QByteArray> rawNames(const QString &dir)
{
    QList<QByteArray> names;
    DIR *d = ::opendir(QFile::encodeName(dir).constData());
    while (const dirent *e = d ? ::readdir(d) : nullptr)
        names << QByteArray(e->d_name);
    if (d)
        ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(HostileFiles, DamagedTagSizesAreReadButNeverWritten)
{
    const QString png = Put("front.png", TinyPng());
    const std::pair<const char *, QByteArray> damages[] = {
        {"size past the end of the file", QByteArray("\x00\x06\x0D\x20", 4)}, // 100000
        {"size bytes not syncsafe", QByteArray("\x00\x00\x80\x0E", 4)},
    };
    for (const auto &[what, size] : damages) {
        SCOPED_TRACE(what);
        const QString mp3 = Put("damaged.mp3", tagSized(size) + FakeMpegAudio(20));
        const QString wav = Put("damaged.wav", waveWith(tagSized(size)));
        EXPECT_EQ(titleShown(mp3), "Old");
        const QList<QStringList> writes = {
            {"set", "--title", "New", mp3},
            {"copy", "--to-v2", mp3},
            {"cover", png, mp3},
            {"set", "--title", "New", wav},
        };
        for (const QStringList &args : writes) {
            const FileState before = StateOf(args.last());
            const CliResult r = RunCli(QStringList{"tags"} + args);
            EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
            EXPECT_TRUE(r.err.contains("damaged")) << r.err.toStdString();
            EXPECT_EQ(StateOf(args.last()), before) << args.join(' ').toStdString();
        }
    }
}

TEST_F(HostileFiles, FifosAreRefusedAtOnce)
{
    const QString mp3Fifo = Path("x.mp3");
    const QString wavFifo = Path("x.wav");
    const QString pngFifo = Path("x.png");
    for (const QString &fifo : {mp3Fifo, wavFifo, pngFifo})
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString png = Put("front.png", TinyPng());
    const QString mp3 = Put("a.mp3", FakeMpegAudio(4));
    const QList<QStringList> commands = {
        {"show", mp3Fifo},
        {"set", "--title", "T", mp3Fifo},
        {"set", "--v1", "--title", "T", mp3Fifo},
        {"copy", "--to-v1", mp3Fifo},
        {"cover", png, mp3Fifo},
        {"show", wavFifo},
        {"set", "--title", "T", wavFifo},
        {"cover", pngFifo, mp3},
    };
    for (const QStringList &args : commands) {
        const QString fifo = args.last() == mp3 ? pngFifo : args.last();
        const FileState before = StateOf(fifo);
        // A command waiting for a writer would run into the timeout and give -1.
        const CliResult r = RunCli(QStringList{"tags"} + args, 10000);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.toStdString();
        EXPECT_EQ(StateOf(fifo), before) << args.join(' ').toStdString();
    }
}

TEST_F(HostileFiles, ReadOnlyFilesAreNeverWritten)
{
    // Root may write any file, but a file without a write bit was made read-only by its owner.
    const QString png = Put("front.png", TinyPng());
    const QString tagged = Put("tagged.mp3", tagSized(kRightSize) + FakeMpegAudio(4), 0444);
    const QString plain = Put("plain.mp3", FakeMpegAudio(4), 0444);
    const QString wav = Put("a.wav", waveWith(tagSized(kRightSize)), 0444);
    const QList<QStringList> writes = {
        {"set", "--title", "O", tagged},  // fits the old tag: written in place
        {"set", "--title", "New", plain}, // a rewrite
        {"set", "--title", "New", wav},   {"set", "--v1", "--title", "New", plain},
        {"copy", "--to-v1", tagged},      {"cover", png, plain},
    };
    for (const QStringList &args : writes) {
        const FileState before = StateOf(args.last());
        const CliResult r = RunCli(QStringList{"tags"} + args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("read-only")) << r.err.toStdString();
        EXPECT_EQ(StateOf(args.last()), before) << args.join(' ').toStdString();
    }
    EXPECT_EQ(Entries().size(), 4);
}

TEST_F(HostileFiles, ForeignOwnerAndModeSurviveARewrite)
{
    if (!IsRoot())
        GTEST_SKIP() << "only root may give a file to another user";
    const QString mp3 = Put("a.mp3", FakeMpegAudio(20), 0640);
    ASSERT_EQ(::chown(QFile::encodeName(mp3).constData(), 12345, 12345), 0);
    const CliResult r = RunCli({"tags", "set", "--title", "Theirs", mp3});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const FileState after = StateOf(mp3);
    EXPECT_EQ(after.uid, 12345u);
    EXPECT_EQ(after.gid, 12345u);
    EXPECT_EQ(after.mode, mode_t(S_IFREG | 0640));
    EXPECT_EQ(titleShown(mp3), "Theirs");
}

TEST_F(HostileFiles, HardLinksAllSeeTheRewrite)
{
    const QByteArray audio = FakeMpegAudio(20);
    const QString a = Put("a.mp3", audio);
    const QString b = Path("b.mp3");
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
    // No tag yet: the tag needs room the file does not have.
    const CliResult r = RunCli({"tags", "set", "--title", "Linked", a});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(titleShown(b), "Linked");
    EXPECT_EQ(StateOf(b).links, nlink_t(2));
    EXPECT_TRUE(ReadFile(b).endsWith(audio));
    EXPECT_EQ(Entries(), QStringList({"a.mp3", "b.mp3"}));
}

TEST_F(HostileFiles, FromNamesSkipsNamesThatAreNotText)
{
    const QByteArray root = QFile::encodeName(Root()) + "/";
    const QByteArray audio = FakeMpegAudio(4);
    // "\xE9" is no UTF-8; read as text, its name is the second file's: a write meant for the
    // first would land on the second.
    const QByteArray notText("Band - Caf\xE9.mp3");
    const QByteArray lookalike("Band - Caf\xEF\xBF\xBD.mp3");
    for (const QByteArray &name : {notText, lookalike}) {
        const QByteArray path = root + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, audio.constData(), size_t(audio.size())), audio.size());
        ::close(fd);
    }
    const QString good = Put("Band - Song.mp3", audio);
    const QList<QByteArray> before = rawNames(Root());

    const CliResult r = RunCli({"tags", "from-names", Root()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("skipped")) << r.err.toStdString();
    EXPECT_EQ(rawNames(Root()), before);
    EXPECT_EQ(ReadFile(Path(QString::fromUtf8(lookalike))), audio);
    EXPECT_EQ(titleShown(good), "Song");
}

} // namespace
} // namespace vorlane::test
