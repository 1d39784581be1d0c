#pragma once
// The engine's player lives in a module of its own (vorlane-engine.so) with FFmpeg, SDL and their
// dependencies, so that the window comes up without waiting for the dynamic loader to bind those
// two hundred libraries. TPlayerLoader loads the module on a worker thread and hands the player
// to the main thread.
//
// The module is looked up in $VORLANE_ENGINE_MODULE, beside the program, then in the installed
// library folder (<prefix>/<libdir>/vorlane/).

#include "app/player/PlayerPort.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;

namespace vorlane {

// The module's one entry point: a new player, owned by the caller.
using TCreatePlayerFunction = TPlayerPort *(*)();
constexpr const char *kCreatePlayerSymbol = "VorlaneCreatePlayer";

// Where the module is, or empty when it is nowhere to be found.
QString FindEngineModule();

class TPlayerLoader : public QObject {
    Q_OBJECT

public:
    explicit TPlayerLoader(QObject *parent = nullptr);
    // Waits for a load still running.
    ~TPlayerLoader() override;

    // Starts loading on a worker thread; loaded() or failed() follows on this object's thread.
    void Start();
    bool Running() const;

Q_SIGNALS:
    void loaded(TPlayerPort *player); // the receiver takes ownership
    void failed(const QString &why);

private:
    void finish();

    QThread *vThread = nullptr;
    QString vPath;
    QString vError;
    TCreatePlayerFunction vCreate = nullptr;
};

} // namespace vorlane
