#pragma once
// The built program (vorlane) run as a user would start it, in one scratch home, offscreen, with
// an instance key of its own: the fixture of the tests that need the whole process.

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QUuid>

namespace vorlane {

// The built program in one scratch home, offscreen, with an instance key of its own.
class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariable("VORLANE_APP").isEmpty());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("HOME", home_.path());
        env_.insert("XDG_DATA_HOME", home_.path() + "/.local/share");
        env_.insert("XDG_CONFIG_HOME", home_.path() + "/.config");
        env_.insert("XDG_RUNTIME_DIR", home_.path());
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("VORLANE_INSTANCE_KEY", key_);
        // The engine's codec libraries keep allocations until exit; the program's own leaks are
        // the unit tests' business, its exit code here is about the signals.
        env_.insert("ASAN_OPTIONS", "detect_leaks=0");
    }
    void Start(QProcess &p, const QStringList &args = {})
    {
        p.setProcessEnvironment(env_);
        p.setWorkingDirectory(home_.path());
        p.start(qEnvironmentVariable("VORLANE_APP"), args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    static void Stop(QProcess &p)
    {
        p.terminate();
        if (!p.waitForFinished(20000))
            p.kill();
        p.waitForFinished(5000);
    }

    QTemporaryDir home_;
    QString key_ = "vorlane-test-" + QUuid::createUuid().toString(QUuid::Id128);
    QProcessEnvironment env_;
};

// A session bus of the test's own: `dbus-daemon --session` on a private address, stopped with
// the object. Address() is empty when the daemon could not be started.
class TPrivateBus {
public:
    TPrivateBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        if (!daemon_.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!daemon_.canReadLine() && t.elapsed() < 10000)
            daemon_.waitForReadyRead(200);
        address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    }
    ~TPrivateBus()
    {
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000))
            daemon_.kill();
        daemon_.waitForFinished(2000);
    }
    TPrivateBus(const TPrivateBus &) = delete;
    TPrivateBus &operator=(const TPrivateBus &) = delete;
    QString Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

} // namespace vorlane
