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

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);

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
#ifdef VORLANE_TEST_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Vorlane"));
    TestApplication::setApplicationName(QStringLiteral("Vorlane"));
    return RUN_ALL_TESTS();
}
