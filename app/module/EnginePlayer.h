#pragma once
// The main window's player: the engine's TPlayer behind the window's TPlayerPort. Main thread.
// It also holds the visual indicator's drawers and the waveform strip's analysis. The player is
// made on the main thread (the loader's finish), so the analysis, a QObject, lives there too.
// Built into the playback module (vorlane-engine.so), whose VorlaneCreatePlayer makes one.

#include "app/player/PlayerPort.h"

#include <memory>

namespace vorlane {

class TPeakAnalysis;
class TPlayer;
class TVisualSet;

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
    void ChangeBandGain(int band, int position) override;
    void SetEcho(int delay, int level) override;
    void SetCompressor(int ratio, int threshold) override;
    void RefreshEffect(int effect, bool enabled) override;
    void SetEffectSwitches(bool equaliser, bool echo, bool compressor) override;
    const QImage *VisualFrame(int mode) override;
    void SetPeaksStyle(const QColor &background, const QColor &line) override;
    bool StartPeaks(const QString &path, QSize size) override;
    void CancelPeaks() override;
    bool PeaksRunning() const override;
    const QImage *PeaksImage() const override;

    TPlayer &Engine() { return *vPlayer; }

private:
    std::unique_ptr<TPlayer> vPlayer;
    std::unique_ptr<TVisualSet> vVisuals;
    std::unique_ptr<TPeakAnalysis> vPeaks;
};

} // namespace vorlane
