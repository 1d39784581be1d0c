// Saves that fail half-way must leave the original file byte for byte.

#include "tags/FileReplacement.h"
#include "tags/ID3v2Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::Scratch;

int saveTitle(const QString &path)
{
    TID3v2Tag tag;
    tag.LoadFromFile(path);
    tag.SetUnicodeText("TIT2", QString(500, u'n'));
    return tag.SaveToFile(path);
}

// Runs `body` in a child process; its exit status, or -signal when it was killed.
int inChild(const std::function<int()> &body)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

struct Case {
    const char *name;
    QByteArray bytes;
};

std::vector<Case> files()
{
    TID3v2Tag small;
    small.SetText("TIT2", "t");
    return {
        {"plain.mp3", test::FakeMpegAudio(20)},
        {"tagged.mp3", small.Render(0) + test::FakeMpegAudio(20)},
        {"a.wav", test::MakeWave(20000)},
        {"a.aiff", test::MakeAiff(20000)},
    };
}

TEST(FaultInjection, FullDiskDuringARewrite)
{
    for (const Case &c : files()) {
        Scratch scratch;
        const QString path = scratch.Put(c.name, c.bytes);
        const int result = inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            return saveTitle(path);
        });
        EXPECT_EQ(result, 6) << c.name;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
        EXPECT_EQ(scratch.Entries(), QStringList{c.name}) << "temporary file left behind";
    }
}

TEST(FaultInjection, KilledDuringARewrite)
{
    for (const Case &c : files()) {
        Scratch scratch;
        const QString path = scratch.Put(c.name, c.bytes);
        // SIGXFSZ kills the writer at the size limit: a crash half-way through the copy.
        const int result = inChild([&] {
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            return saveTitle(path);
        });
        EXPECT_EQ(result, -SIGXFSZ) << c.name;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
    }
}

TEST(FaultInjection, UnwritableFolder)
{
    for (const Case &c : files()) {
        Scratch scratch;
        const QString path = scratch.Put(c.name, c.bytes);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ReadOther | QFileDevice::WriteOther);
        const QString folder = scratch.Path("");
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther);
        const int result = inChild([&] {
            // Root may write anywhere; take the rights of an ordinary user.
            if (geteuid() == 0) {
                const passwd *nobody = getpwnam("nobody");
                if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
                    return 99;
            }
            return saveTitle(path);
        });
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        EXPECT_EQ(result, 6) << c.name;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
        EXPECT_EQ(scratch.Entries(), QStringList{c.name});
    }
}

int failingRename(const char *, const char *)
{
    errno = EACCES;
    return -1;
}

TEST(FaultInjection, RenameFails)
{
    for (const Case &c : files()) {
        Scratch scratch;
        const QString path = scratch.Put(c.name, c.bytes);
        SetRenameFunctionForTesting(failingRename);
        const int result = saveTitle(path);
        SetRenameFunctionForTesting(nullptr);
        EXPECT_EQ(result, 6) << c.name;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
        EXPECT_EQ(scratch.Entries(), QStringList{c.name});
    }
}

TEST(FaultInjection, TemporaryNamesAreNeverReused)
{
    // Whatever lies beside the file, links included, is left alone.
    Scratch scratch;
    const QString path = scratch.Put("a.mp3", test::FakeMpegAudio(4));
    const QString victim = scratch.Put("victim", "keep me");
    for (const char *name : {"a.mp3.tmp", ".a.mp3.tmp"})
        QFile::link(victim, scratch.Path(name));
    ASSERT_EQ(saveTitle(path), 0);
    EXPECT_EQ(ReadFile(victim), "keep me");
    EXPECT_EQ(scratch.Entries().size(), 4);
}

} // namespace
} // namespace vorlane
