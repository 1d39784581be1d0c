// The vorlane program: one instance per user, the main window and its dialogs.
//
//   vorlane [FOLDER|FILE|URL ...]
// Folders (and the folders of files) named on the command line are added as folder lists; a
// second start hands them to the running program, brings its window back and ends. SIGTERM,
// SIGINT and SIGHUP close the program as its Close command does (settings and lists saved).
// --first-start-folder=DIR adds DIR only when this start creates the user's configuration (the
// demo library of `make run`).
// VORLANE_REPORT_FIRST_PAINT=1 prints "first-paint" on standard output when the browse list is
// first painted with entries (start-up benchmarks); "exit" also ends the process right there,
// giving up the lock and the socket as a closed program does (so that the next start is a
// normal one, not one after a crash).

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/shell/MainWindow.h"
#include "app/shell/SessionSignals.h"
#include "app/shell/SingleInstance.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QThread>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// Reports the first paint of a list view that has entries.
class TFirstPaintReporter : public QObject {
public:
    // beforeExit runs before the process ends (exit mode only).
    TFirstPaintReporter(QListView *view, bool exitAfter, std::function<void()> beforeExit)
        : QObject(view)
        , vView(view)
        , vExit(exitAfter)
        , vBeforeExit(std::move(beforeExit))
    {
        view->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && vView->model()->rowCount() > 1) {
            watched->removeEventFilter(this);
            // After this paint has reached the screen's buffer.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::fputs("first-paint\n", stdout);
                    std::fflush(stdout);
                    if (vExit) {
                        vBeforeExit();
                        std::_Exit(0);
                    }
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QListView *vView;
    bool vExit;
    std::function<void()> vBeforeExit;
};

QStringList foldersOf(const QStringList &args)
{
    QStringList folders;
    for (const QString &arg : args) {
        const QUrl url(arg);
        const QString path = url.isLocalFile() ? url.toLocalFile() : arg;
        const QFileInfo info(path);
        if (info.isDir())
            folders << info.absoluteFilePath();
        else if (info.isFile())
            folders << info.absolutePath();
    }
    folders.removeDuplicates();
    return folders;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationDisplayName(vorlane::TMainWindow::kTitle);
    QApplication::setDesktopFileName(QStringLiteral("vorlane"));

    vorlane::TMainWindowOptions options;
    QStringList positional;
    const QStringList args = QApplication::arguments().mid(1);
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--first-start-folder=")))
            options.FirstStartFolder = arg.section(u'=', 1);
        else if (!arg.startsWith(QLatin1String("--")))
            positional << arg;
    }
    options.OpenFolders = foldersOf(positional);
    options.WindowSetAfterFirstPaint = true;

    vorlane::TSingleInstance instance(qEnvironmentVariable("VORLANE_INSTANCE_KEY"));
    if (!instance.TryBecomeFirst()) {
        // The first one may still be starting: give it a few seconds to listen.
        for (int attempt = 0; attempt < 25; ++attempt) {
            if (instance.NotifyFirst(options.OpenFolders, 2000)) {
                std::fprintf(stderr, "vorlane: already running; brought its window back.\n");
                return 0;
            }
            QThread::msleep(200);
        }
        std::fprintf(stderr, "vorlane: another instance holds %s but does not answer.\n",
                     qPrintable(instance.LockPath()));
        return 1;
    }

    vorlane::TMainWindow window(options);
    if (!window.Ok()) {
        std::fprintf(stderr, "vorlane: no configuration folder: %s\n",
                     qPrintable(window.StartError()));
        return 1;
    }
    window.CreateWindowSet();
    // A logout, Ctrl+C or a closed terminal closes as the Close command does, without questions;
    // the lock and the socket go with the instance object when main returns.
    vorlane::TSessionSignals sessionSignals;
    QObject::connect(&sessionSignals, &vorlane::TSessionSignals::endRequested, &window,
                     [&window](int) { window.EndSession(); });
    QObject::connect(&instance, &vorlane::TSingleInstance::raiseRequested, &window,
                     [&window](const QStringList &folders) {
                         for (const QString &folder : folders)
                             window.addFolderList(folder, true);
                         window.RestoreWindow();
                         std::fprintf(stderr, "vorlane: raised by a second start.\n");
                     });
    const QByteArray report = qgetenv("VORLANE_REPORT_FIRST_PAINT");
    if (!report.isEmpty())
        new TFirstPaintReporter(window.Browse().sLBBrowseWindow, report == "exit",
                                [&instance] { instance.Release(); });
    window.show();
    return app.exec();
}
