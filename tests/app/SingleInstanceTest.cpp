#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

namespace vorlane {
namespace {

// Starts the built program twice in one scratch home: the second start hands over to the first
// and ends; the first brings its window back.
TEST(SingleInstance, SecondStartRaisesTheFirstAndEnds)
{
    const QString app = qEnvironmentVariable("VORLANE_APP");
    ASSERT_FALSE(app.isEmpty());
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_DATA_HOME", home.path() + "/.local/share");
    env.insert("XDG_CONFIG_HOME", home.path() + "/.config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VORLANE_INSTANCE_KEY",
               "vorlane-test-" + QUuid::createUuid().toString(QUuid::Id128));

    QProcess first;
    first.setProcessEnvironment(env);
    first.setWorkingDirectory(home.path());
    first.start(app, {});
    ASSERT_TRUE(first.waitForStarted(10000));

    // The second start waits for the first to listen; give the first time to come up.
    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(home.path());
    QThread::msleep(300);
    second.start(app, {});
    ASSERT_TRUE(second.waitForStarted(10000));
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
    first.terminate();
    if (!first.waitForFinished(20000))
        first.kill();
    first.waitForFinished(5000);
}

} // namespace
} // namespace vorlane
