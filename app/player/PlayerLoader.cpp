#include "app/player/PlayerLoader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QThread>

namespace vorlane {

QString FindEngineModule()
{
    const QString fromEnv = qEnvironmentVariable("VORLANE_ENGINE_MODULE");
    if (!fromEnv.isEmpty())
        return QFileInfo(fromEnv).isFile() ? fromEnv : QString();
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/vorlane-engine.so"),
        appDir + QStringLiteral("/../" VORLANE_INSTALL_LIBDIR "/vorlane/vorlane-engine.so"),
        appDir + QStringLiteral("/../lib/vorlane/vorlane-engine.so"),
    };
    for (const QString &c : candidates) {
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    }
    return {};
}

TPlayerLoader::TPlayerLoader(QObject *parent)
    : QObject(parent)
{
}

TPlayerLoader::~TPlayerLoader()
{
    if (vThread) {
        vThread->wait();
        delete vThread;
    }
}

bool TPlayerLoader::Running() const
{
    return vThread && !vThread->isFinished();
}

void TPlayerLoader::Start()
{
    if (vThread)
        return;
    vPath = FindEngineModule();
    // The worker only loads and resolves; the player itself is made on this thread.
    vThread = QThread::create([this] {
        if (vPath.isEmpty()) {
            vError = QStringLiteral("the playback module (vorlane-engine.so) was not found");
            return;
        }
        QLibrary library(vPath);
        // The module stays loaded for the life of the process: players made by it live on.
        library.setLoadHints(QLibrary::PreventUnloadHint);
        vCreate = reinterpret_cast<TCreatePlayerFunction>(library.resolve(kCreatePlayerSymbol));
        if (!vCreate)
            vError = library.errorString();
    });
    connect(vThread, &QThread::finished, this, &TPlayerLoader::finish, Qt::QueuedConnection);
    vThread->start();
}

void TPlayerLoader::finish()
{
    if (!vCreate) {
        Q_EMIT failed(vError);
        return;
    }
    Q_EMIT loaded(vCreate());
}

} // namespace vorlane
