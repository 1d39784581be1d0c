#include "app/module/EnginePlayer.h"

#include "playback/Peaks.h"
#include "playback/Player.h"
#include "playback/Visuals.h"

#include <cmath>
#include <cstdlib>

namespace vorlane {

TEnginePlayer::TEnginePlayer()
    : vPlayer(std::make_unique<TPlayer>())
    , vVisuals(std::make_unique<TVisualSet>())
    , vPeaks(std::make_unique<TPeakAnalysis>())
{
    vPlayer->Init();
    // The indicator is a dark rounded panel: the drawings take its colours, light on dark.
    const QColor panel(0x1d, 0x22, 0x2b);
    const QColor trace(0x6c, 0xc4, 0xff);
    for (TVisualDrawer *d : {static_cast<TVisualDrawer *>(&vVisuals->Spectrum),
                             static_cast<TVisualDrawer *>(&vVisuals->Scope),
                             static_cast<TVisualDrawer *>(&vVisuals->Meter)}) {
        d->BkgColor = panel;
        d->PenColor = trace;
        d->VisBuff.fill(panel);
    }
    vVisuals->Spectrum.PeakColor = QColor(0xe8, 0xee, 0xf6);
    // A full-scale trace spans the picture instead of running off it at a tenth of full scale.
    vVisuals->Scope.ScopeOff = TVisualSet::kHeight - 2;
    vVisuals->Meter.PenColor = panel;
    vVisuals->Meter.BarColor = QColor(0x3d, 0xd6, 0x8c);
    vVisuals->Meter.MarkColor = QColor(0xff, 0x5c, 0x5c);
}

TEnginePlayer::~TEnginePlayer() = default;

bool TEnginePlayer::OpenFile(const TFileName &file)
{
    return vPlayer->OpenFile(file);
}

bool TEnginePlayer::Play()
{
    return vPlayer->Play();
}

void TEnginePlayer::Pause()
{
    vPlayer->Pause();
}

void TEnginePlayer::Stop()
{
    vPlayer->Stop();
}

bool TEnginePlayer::CloseFile()
{
    return vPlayer->CloseFile();
}

bool TEnginePlayer::Refresh()
{
    return vPlayer->Refresh();
}

bool TEnginePlayer::ChangePosition(int64_t position)
{
    // The player keeps its place when a seek cannot be made and says nothing; a target outside
    // the stream is what makes a seek fail, so that is what is reported.
    const int64_t size = vPlayer->GetSize();
    if (position < 0 || (size > 0 && position > size))
        return false;
    vPlayer->ChangePosition(position);
    return true;
}

int64_t TEnginePlayer::GetPosition()
{
    return vPlayer->GetPosition();
}

int64_t TEnginePlayer::GetSize()
{
    return vPlayer->GetSize();
}

QString TEnginePlayer::GetTime() const
{
    return vPlayer->GetTime();
}

QString TEnginePlayer::ByteLengthToTime(int64_t length) const
{
    return vPlayer->ByteLengthToTime(length);
}

double TEnginePlayer::BytesToSeconds(int64_t length) const
{
    return vPlayer->BytesToSeconds(length);
}

bool TEnginePlayer::Played() const
{
    return vPlayer->Played();
}

void TEnginePlayer::SetVolume(int volume)
{
    vPlayer->SetVolume(volume);
}

void TEnginePlayer::SetSpeed(int speed)
{
    vPlayer->SetSpeed(speed);
}

int TEnginePlayer::BitRate() const
{
    return vPlayer->BitRate();
}

TFileName TEnginePlayer::CurrentFile() const
{
    return vPlayer->CurrentFile();
}

void TEnginePlayer::SetProgramDir(const QString &dir)
{
    vPlayer->SetProgramDir(dir);
}

bool TEnginePlayer::TakeDownloadCompleted(QString &ext)
{
    if (!vPlayer->DownloadCompleted.exchange(false))
        return false;
    ext = vPlayer->StreamExt();
    return true;
}

QString TEnginePlayer::StreamExt() const
{
    return vPlayer->StreamExt();
}

bool TEnginePlayer::StartRecording(const QString &destDir)
{
    return vPlayer->StartRecording(destDir);
}

QString TEnginePlayer::StopRecording(const QString &finalPath)
{
    return vPlayer->StopRecording(finalPath);
}

bool TEnginePlayer::Recording() const
{
    return vPlayer->Recording();
}

void TEnginePlayer::SetEffects(const TSoundProcConfig &e)
{
    ApplySoundProc(e, *vPlayer->Equalizer, *vPlayer->EchoProcessor, *vPlayer->Compressor);
}

void TEnginePlayer::GetEffects(TSoundProcConfig &e) const
{
    e.PowerEqEnabled = vPlayer->Equalizer->PowerEQEnabled();
    e.EchoEnabled = vPlayer->EchoProcessor->Enabled();
    e.EchoDelay = int(std::lround(vPlayer->EchoProcessor->Delay()));
    e.EchoLevel = int(std::lround(vPlayer->EchoProcessor->Level()));
    e.CompressorEnabled = vPlayer->Compressor->Enabled();
    e.CompressorRatio = int(std::lround(vPlayer->Compressor->Ratio()));
    e.CompressorLevel = int(std::lround(vPlayer->Compressor->Level()));
}

void TEnginePlayer::ChangeBandGain(int band, int position)
{
    if (band >= 0 && band < TEqualizer::kBands)
        vPlayer->Equalizer->ChangeBandGain(band, float(position));
}

void TEnginePlayer::SetEcho(int delay, int level)
{
    vPlayer->EchoProcessor->SetDelay(float(delay));
    vPlayer->EchoProcessor->SetLevel(float(level));
}

void TEnginePlayer::SetCompressor(int ratio, int threshold)
{
    vPlayer->Compressor->SetRatio(float(ratio));
    vPlayer->Compressor->SetLevel(float(threshold));
}

void TEnginePlayer::RefreshEffect(int effect, bool enabled)
{
    vPlayer->RefreshEffect(effect, enabled);
}

void TEnginePlayer::SetEffectSwitches(bool equaliser, bool echo, bool compressor)
{
    // Only the flags: Play attaches what is on. Switching an attached effect on again would give
    // it empty delay lines, so only a change is written.
    vPlayer->Equalizer->SetEnabled(equaliser);
    if (vPlayer->EchoProcessor->Enabled() != echo)
        vPlayer->EchoProcessor->SetEnabled(echo);
    if (vPlayer->Compressor->Enabled() != compressor)
        vPlayer->Compressor->SetEnabled(compressor);
}

const QImage *TEnginePlayer::VisualFrame(int mode)
{
    return vVisuals->DrawFrame(mode, *vPlayer);
}

void TEnginePlayer::SetPeaksStyle(const QColor &background, const QColor &line)
{
    TPeaksColors colors;
    colors.background = background;
    colors.line = line;
    vPeaks->SetStyle(colors, QString());
}

bool TEnginePlayer::StartPeaks(const QString &path, QSize size)
{
    return vPeaks->Start(path, QString(), size);
}

void TEnginePlayer::CancelPeaks()
{
    vPeaks->Cancel();
}

bool TEnginePlayer::PeaksRunning() const
{
    return vPeaks->Running();
}

const QImage *TEnginePlayer::PeaksImage() const
{
    return vPeaks->Peaks() ? &vPeaks->Image() : nullptr;
}

} // namespace vorlane

// The module's entry point (see app/player/PlayerLoader.h).
extern "C" Q_DECL_EXPORT vorlane::TPlayerPort *VorlaneCreatePlayer()
{
    return new vorlane::TEnginePlayer();
}
