// Hostile folders: linked folders that lead out of the chosen folder or back into it, links into
// the kernel's own trees, names a list line cannot hold, and FIFOs named like audio.

#include "tests/cli/HostileFiles.h"

#include <QFileInfo>

#include <fcntl.h>

namespace vorlane::test {

namespace {

// The file names of a scan's list lines (after the cursor line), sorted.
QStringList listedNames(const CliResult &r)
{
    QStringList names;
    for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts).mid(1))
        names << line.mid(line.lastIndexOf('/') + 1);
    names.sort();
    return names;
}

} // namespace

TEST_F(HostileFiles, NamingToolsLeaveFilesBehindLinksOutOfTheFolderAlone)
{
    const QString far = Put("outside/far_away.mp3", FakeMpegAudio());
    Put("dir/near_by.mp3", FakeMpegAudio());
    Put("dir/sub/deep_down.mp3", FakeMpegAudio());
    ASSERT_TRUE(QFile::link(Path("outside"), Path("dir/away")));
    ASSERT_TRUE(QFile::link(Path("outside"), Path("dir/sub/away again")));
    ASSERT_TRUE(QFile::link(Path("dir"), Path("dir/sub/loop")));
    const FileState before = StateOf(far);

    // Each real folder once: the loop and the second link to the outside add nothing.
    const CliResult scan = RunCli({"scan", Path("dir"), "--subfolders"});
    EXPECT_EQ(scan.code, 0);
    EXPECT_EQ(listedNames(scan), QStringList({"deep_down.mp3", "far_away.mp3", "near_by.mp3"}));

    const CliResult r = RunCli({"rename", Path("dir"), "--subfolders", "--format"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(StateOf(far), before);
    EXPECT_EQ(Entries("outside"), QStringList({"far_away.mp3"}));
    EXPECT_TRUE(r.err.contains("1 file left alone")) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Path("dir/sub/Deep Down.mp3")));

    // Tags written from names stop at the folder too: a link to a file outside is left alone.
    ASSERT_TRUE(QDir().mkpath(Path("names")));
    ASSERT_TRUE(QFile::link(far, Path("names/Artist - Title.mp3")));
    const CliResult tags = RunCli({"tags", "from-names", Path("names")});
    EXPECT_EQ(tags.code, 1);
    EXPECT_EQ(StateOf(far), before);
}

TEST_F(HostileFiles, ScanStaysOutOfTheKernelsTrees)
{
    const QString song = Put("dir/song.mp3", FakeMpegAudio());
    ASSERT_TRUE(QFile::link("/proc", Path("dir/proc")));
    ASSERT_TRUE(QFile::link("/sys", Path("dir/sys")));
    // A bound on the run rather than a timing: following the links would not end in time.
    const CliResult r = RunCli({"scan", Path("dir"), "--subfolders", "--all-files"}, 20000);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QString("0\n" + song + "\n"));

    for (const QString root : {"/proc", "/sys", "/dev"}) {
        if (!QFileInfo(root).isDir())
            continue; // a bare chroot
        const CliResult list = RunCli({"scan", root, "--subfolders", "--all-files"}, 20000);
        EXPECT_EQ(list.out, "0\n") << root.toStdString();
    }
}

TEST_F(HostileFiles, ScanLeavesOutNamesAListCannotHoldAndFifos)
{
    const QString plain = Put("dir/plain.mp3", FakeMpegAudio());
    Put("dir/two\nlines.mp3", FakeMpegAudio());
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("dir/x.mp3")).constData(), 0644), 0);

    const CliResult r = RunCli({"scan", Path("dir")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QString("0\n" + plain + "\n")); // neither the FIFO nor the broken name
    EXPECT_TRUE(r.err.contains(" 1 file left out")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);

    // Bytes that are not valid text, and a folder whose name breaks the line: every file that
    // cannot be listed is counted, inside such a folder too.
    const QByteArray raw = QFile::encodeName(Path("dir")) + "/not text \xff.mp3";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    Put("dir/folder\rname/inside.mp3", FakeMpegAudio());
    const CliResult deep = RunCli({"scan", Path("dir"), "--subfolders"});
    ::unlink(raw.constData()); // the scratch folder's clean-up cannot name it
    EXPECT_EQ(deep.out, QString("0\n" + plain + "\n"));
    EXPECT_TRUE(deep.err.contains(" 3 files left out")) << deep.err.toStdString();

    // Nothing left out, nothing said.
    Put("clean/a.mp3", FakeMpegAudio());
    EXPECT_TRUE(RunCli({"scan", Path("clean")}).err.isEmpty());
}

} // namespace vorlane::test
