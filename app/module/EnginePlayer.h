#pragma once
// The main window's player: the engine's TPlayer behind the window's TPlayerPort. Main thread.
// Built into the playback module (vorlane-engine.so), whose VorlaneCreatePlayer makes one.

#include "app/player/PlayerPort.h"

#include <memory>

namespace vorlane {

class TPlayer;

class TEnginePlayer : public TPlayerPort {
public:
    TEnginePlayer();
    ~TEnginePlayer() override;

    bool OpenFile(const TFileName &file) override;
    bool Play() override;
    void Pause() override;
    void Stop() override;
    bool CloseFile() override;
    bool Refresh() override;
    bool ChangePosition(int64_t position) override;
    int64_t GetPosition() override;
    int64_t GetSize() override;
    QString GetTime() const override;
    QString ByteLengthToTime(int64_t length) const override;
    double BytesToSeconds(int64_t length) const override;
    bool Played() const override;
    void SetVolume(int volume) override;
    void SetSpeed(int speed) override;
    int BitRate() const override;
    TFileName CurrentFile() const override;
    void SetProgramDir(const QString &dir) override;
    bool TakeDownloadCompleted(QString &ext) override;
    QString StreamExt() const override;
    bool StartRecording(const QString &destDir) override;
    QString StopRecording(const QString &finalPath) override;
    bool Recording() const override;
    void SetEffects(const TSoundProcConfig &effects) override;
    void GetEffects(TSoundProcConfig &effects) const override;

    TPlayer &Engine() { return *vPlayer; }

private:
    std::unique_ptr<TPlayer> vPlayer;
};

} // namespace vorlane
