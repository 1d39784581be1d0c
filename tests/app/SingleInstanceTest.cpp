#include "app/shell/SingleInstance.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <csignal>

namespace vorlane {
namespace {

// The second start hands over to the first and ends; the first brings its window back.
TEST_F(ProgramRun, SecondStartRaisesTheFirstAndEnds)
{
    QProcess first;
    Start(first);

    // The second start waits for the first to listen; give the first time to come up.
    QProcess second;
    QThread::msleep(300);
    Start(second);
    ASSERT_TRUE(second.waitForFinished(60000)) << "the second start did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(second.readAllStandardError().contains("already running"));

    // The first one reports being raised and is still running.
    QByteArray firstErr;
    for (int i = 0; i < 100 && !firstErr.contains("raised by a second start"); ++i) {
        first.waitForReadyRead(100);
        firstErr += first.readAllStandardError();
    }
    EXPECT_TRUE(firstErr.contains("raised by a second start")) << firstErr.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(first);
}

// A logout (SIGTERM), Ctrl+C (SIGINT) or a closed terminal (SIGHUP) closes as the Close command
// does: the settings are written and the lock and socket are given up.
TEST_F(ProgramRun, EndOfSessionSignalsCloseAndSave)
{
    QFile bundled(qEnvironmentVariable("VORLANE_DATA_DIR") + "/VL4Conf/Config.ini");
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    const QByteArray settings = bundled.readAll();
    const QString music = home_.path() + "/Music";
    ASSERT_TRUE(test::WriteFile(music + "/a.mp3", test::FakeMpegAudio(2)));
    env_.insert("VORLANE_REPORT_FIRST_PAINT", "1");

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        // A portable install whose settings lack a key the program writes at close.
        QByteArray without = settings;
        without.replace("ShowPeaks=1\n", "");
        const QString ini = home_.path() + "/VL4Conf/Config.ini";
        ASSERT_TRUE(test::WriteFile(ini, without));

        QProcess p;
        Start(p, {music});
        ASSERT_TRUE(p.waitForReadyRead(60000));
        while (!p.canReadLine() && p.waitForReadyRead(10000)) {
        }
        ASSERT_EQ(p.readLine().trimmed(), "first-paint");
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(test::ReadFile(ini).contains("ShowPeaks=")) << "settings not saved";
        EXPECT_FALSE(QFile::exists(home_.path() + "/" + key_ + ".lock"));
        EXPECT_FALSE(QFile::exists(home_.path() + "/" + key_ + ".socket"));
    }
}

// One program per user id: $USER does not name the instance.
TEST(SingleInstance, OnePerUserIdWhateverUserSays)
{
    QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldUser = qgetenv("USER");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    qputenv("USER", "alice");
    TSingleInstance first;
    qunsetenv("USER");
    TSingleInstance second;
    EXPECT_TRUE(first.TryBecomeFirst());
    EXPECT_FALSE(second.TryBecomeFirst());
    EXPECT_TRUE(first.LockPath().startsWith(runtime.path()));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("USER", oldUser);
}

} // namespace
} // namespace vorlane
