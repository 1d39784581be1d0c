// Saves that fail half-way must leave the original file byte for byte.

#include "base/FileReplacement.h"
#include "tags/ID3v2Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

pid_t startChild(const std::function<int()> &body)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    return pid;
}

// Runs `body` in a child process; its exit status, or -signal when it was killed.
int inChild(const std::function<int()> &body)
{
    const pid_t pid = startChild(body);
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

TEST(FaultInjection, KilledAtAnyPointOfARewrite)
{
    // A few MB, so that the rewrite lasts long enough to be cut at many points.
    TID3v2Tag small;
    small.SetText("TIT2", "t");
    const QByteArray old = small.Render(0) + test::FakeMpegAudio(8000);
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed copy" : "named copy");
        Scratch scratch;
        const QString path = scratch.Put("a.mp3", old);
        const auto rewrite = [&] {
            SetUnnamedFilesForTesting(unnamed);
            return saveTitle(path);
        };
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(inChild(rewrite), 0);
        const auto took = std::chrono::steady_clock::now() - start;
        const QByteArray rewritten = ReadFile(path);
        ASSERT_EQ(test::AudioPayload(rewritten), test::AudioPayload(old));

        // The last few kills come after the end.
        constexpr int kKills = 30;
        for (int i = 0; i < kKills; ++i) {
            ASSERT_TRUE(test::WriteFile(path, old));
            const pid_t pid = startChild(rewrite);
            std::this_thread::sleep_for(took * i / (kKills - 4));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            const QByteArray now = ReadFile(path);
            EXPECT_TRUE(now == old || now == rewritten) << "kill " << i;
        }

        // A copy left by a kill is stale once it is a minute old; the next rewrite removes it.
        for (const QString &name : scratch.Entries())
            ASSERT_TRUE(test::AgeFile(scratch.Path(name), 120));
        ASSERT_TRUE(test::WriteFile(path, old));
        ASSERT_EQ(saveTitle(path), 0);
        EXPECT_EQ(scratch.Entries(), QStringList{"a.mp3"});
    }
}

TEST(FaultInjection, StaleCopiesAreRemovedAndLiveOnesKept)
{
    Scratch scratch;
    const QString path = scratch.Put("a.mp3", test::FakeMpegAudio(4));
    const QString stale = scratch.Put(".a.mp3.vl-Ab12Cd", "left by a killed writer");
    const QString young = scratch.Put(".a.mp3.vl-Young1", "a writer at work");
    const QString held = scratch.Put(".a.mp3.vl-Held01", "a slow writer at work");
    const QString other = scratch.Put(".b.mp3.vl-Ab12Cd", "another file's");
    const QString notOurs = scratch.Put(".a.mp3.vl-old", "the user's own");
    for (const QString &name : {stale, held, other, notOurs})
        ASSERT_TRUE(test::AgeFile(name, 120));
    QFile writer(held);
    ASSERT_TRUE(writer.open(QIODevice::ReadOnly));
    ASSERT_EQ(flock(writer.handle(), LOCK_EX), 0);

    // A rewrite of a.mp3 removes its own stale copies only.
    ASSERT_EQ(saveTitle(path), 0);
    EXPECT_EQ(scratch.Entries(), QStringList({".a.mp3.vl-Held01", ".a.mp3.vl-old",
                                              ".a.mp3.vl-Young1", ".b.mp3.vl-Ab12Cd", "a.mp3"}));

    // The folder's sweep takes the stale copies of every file, and a copy whose writer let go.
    writer.close();
    EXPECT_EQ(RemoveStaleReplacements(scratch.Path("")), 2);
    EXPECT_EQ(scratch.Entries(), QStringList({".a.mp3.vl-old", ".a.mp3.vl-Young1", "a.mp3"}));
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
