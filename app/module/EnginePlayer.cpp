#include "app/module/EnginePlayer.h"

#include "playback/Player.h"

#include <cmath>
#include <cstdlib>

namespace vorlane {

TEnginePlayer::TEnginePlayer()
    : vPlayer(std::make_unique<TPlayer>())
{
    vPlayer->Init();
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
    vPlayer->Equalizer->SetEnabled(false);
    vPlayer->Equalizer->SetEnabled(e.EqEnabled);
    vPlayer->Equalizer->SetPowerEQEnabled(true);
    vPlayer->EchoProcessor->SetEnabled(e.EchoEnabled);
    vPlayer->EchoProcessor->SetDelay(float(e.EchoDelay));
    vPlayer->EchoProcessor->SetLevel(float(e.EchoLevel));
    vPlayer->Compressor->SetEnabled(e.CompressorEnabled);
    vPlayer->Compressor->SetRatio(float(e.CompressorRatio));
    vPlayer->Compressor->SetLevel(float(e.CompressorLevel));
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

} // namespace vorlane

// The module's entry point (see app/player/PlayerLoader.h).
extern "C" Q_DECL_EXPORT vorlane::TPlayerPort *VorlaneCreatePlayer()
{
    return new vorlane::TEnginePlayer();
}
