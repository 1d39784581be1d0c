// main() of the test executables. Every test process gets its own HOME and XDG folders so no
// test reads or writes the real user's settings, trash or data; then GoogleTest runs inside a
// Qt application object (a QApplication on the offscreen platform for the window tests).

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#ifdef VORLANE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Sanitizer settings of the test processes (read by the runtimes before main).
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=1:halt_on_error=1:abort_on_error=0";
}
extern "C" const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
extern "C" const char *__lsan_default_suppressions()
{
    // Allocations that system libraries keep until exit.
    return "leak:libfontconfig\nleak:libdbus\nleak:libSDL2\nleak:libasound\nleak:libpulse\n"
           "leak:libglib\nleak:libgobject\nleak:libicuuc\nleak:libQt6Gui\nleak:libQt6Core\n";
}

namespace {

void setDefault(const char *name, const QByteArray &value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    // No sound card and no display on the test machines; tests that need another driver set it.
    setDefault("SDL_AUDIODRIVER", "dummy");
    setDefault("QT_QPA_PLATFORM", "offscreen");
    setDefault("VORLANE_DATA_DIR", VORLANE_TEST_DATA_DIR);
    setDefault("VORLANE_CLI", VORLANE_TEST_CLI);
    setDefault("VORLANE_APP", VORLANE_TEST_APP);

    // No test reaches the user's session bus: the desktop tests start a bus of their own.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QTemporaryDir home(QDir::tempPath() + "/vorlane-test-home-XXXXXX");
    if (home.isValid()) {
        const QByteArray root = home.path().toUtf8();
        qputenv("HOME", root);
        qputenv("XDG_DATA_HOME", root + "/.local/share");
        qputenv("XDG_CONFIG_HOME", root + "/.config");
        qputenv("XDG_CACHE_HOME", root + "/.cache");
        qputenv("XDG_RUNTIME_DIR", root + "/runtime");
        QDir().mkpath(home.path() + "/.local/share");
        QDir().mkpath(home.path() + "/runtime");
        QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
    }
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Vorlane"));
    TestApplication::setApplicationName(QStringLiteral("Vorlane"));
    return RUN_ALL_TESTS();
}
