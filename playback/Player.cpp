#include "playback/Player.h"

#include "base/RecordName.h"
#include "net/CloudLink.h"
#include "playback/engine/Stream.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstring>

namespace vorlane {

const QString TPlayer::kStoppedText = QStringLiteral("Остановлено...");

namespace {

// A seek to within this many bytes of the current place is not worth the volume dip.
constexpr qint64 kSeekThreshold = 8000;
constexpr int kVolumeSlideMs = 700;
constexpr int kSeekSlideMs = 1200;

const QStringList kLocalExtensions = {".mp3", ".ogg",  ".wav", ".mp2", ".mp1", ".aiff",
                                      ".wma", ".flac", ".aac", ".m4a", ".m4b"};
const QStringList kNetworkExtensions = {".mp3", ".ogg", ".wav",  ".wma", ".mp2", ".mp1", ".aiff",
                                        ".m3u", "",     ".flac", ".aac", ".m4a", ".m4b"};

bool IsNetworkDir(const QString &dir)
{
    for (const char *scheme : {"https:", "http:", "ftp:", "rtmp:"}) {
        if (dir.contains(QLatin1String(scheme)))
            return true;
    }
    return false;
}

QString TwoDigits(qint64 n)
{
    const QString s = QString::number(n);
    return s.size() < 2 ? QStringLiteral("0") + s : s;
}

} // namespace

TPlayer::TPlayer()
    : Equalizer(std::make_unique<TEqualizer>())
    , EchoProcessor(std::make_unique<TEchoProcessor>())
    , Compressor(std::make_unique<TCompressProcessor>())
{
}

TPlayer::~TPlayer()
{
    if (vRecording)
        StopRecording();
    // The stream's download thread calls OnDownload: end it before the members go.
    vChannel.reset();
}

void TPlayer::Init(engine::OutputKind output)
{
    vOutput = output;
}

void TPlayer::SetProgramDir(const QString &Dir)
{
    vProgramDir = Dir.isEmpty() || Dir.endsWith(u'/') ? Dir : Dir + u'/';
}

QString TPlayer::TempFileName() const
{
    return vProgramDir + QStringLiteral("VL4Conf/Cache/temp") + vStreamExt;
}

void TPlayer::DeleteTempFiles() const
{
    for (const char *ext : {".mp3", "", ".aac", ".m4a", ".wma", ".m3u"})
        QFile::remove(vProgramDir + QStringLiteral("VL4Conf/Cache/temp") + QLatin1String(ext));
}

bool TPlayer::IsActive() const
{
    return vChannel && vChannel->State() != engine::StreamState::Stopped;
}

bool TPlayer::OpenFile(const TFileName &Value)
{
    // Opening another entry ends a running recording with its file complete.
    if (vRecording)
        vLastRecording = StopRecording();
    QString lower = Value.FileName.toLower();
    // An address's query is no part of its extension ("song.mp3?id=2.5").
    if (IsNetworkDir(Value.DirName) && lower.contains(u'?'))
        lower.truncate(lower.indexOf(u'?'));
    const qsizetype dot = lower.lastIndexOf(u'.');
    vStreamExt = dot < 0 ? QString() : lower.mid(dot);
    vCurrentFile = Value;

    if (vChannel)
        vChannel->Stop();
    vChannel.reset(); // also ends the previous download before a new one starts
    DownloadCompleted = false;

    std::unique_ptr<engine::Source> source;
    if (IsNetworkDir(Value.DirName)) {
        vTempFile.reset();
        vTempFailed = false;
        if (kNetworkExtensions.contains(vStreamExt)) {
            QString address = StreamRequestText(Value.DirName + Value.FileName);
            // A playlist address plays the first stream it lists.
            if (vStreamExt == QLatin1String(".m3u"))
                address = engine::FirstPlaylistEntry(address);
            if (!address.isEmpty()) {
                source = engine::Source::OpenUrl(
                    address, [this](const char *data, qint64 size) { OnDownload(data, size); });
            }
        }
    } else if (kLocalExtensions.contains(vStreamExt)) {
        source = engine::Source::OpenFile(Value.DirName + Value.FileName);
    }

    std::shared_ptr<engine::Stream> stream;
    if (source)
        stream = std::make_shared<engine::Stream>(std::move(source), vOutput);
    Equalizer->SetChannel(stream);
    EchoProcessor->SetChannel(stream);
    Compressor->SetChannel(stream);
    if (!stream)
        return false;
    vChannel = std::move(stream);
    vChannel->SetTempo(vSpeed);
    return true;
}

bool TPlayer::Play()
{
    if (!vChannel)
        return false;
    vCurrentFileSize = vChannel->Length();
    Equalizer->Refresh();
    EchoProcessor->Refresh();
    Compressor->Refresh();
    // Silent from the first sample; writing Volume then slides the sound in.
    vChannel->SetVolume(0);
    const bool started = vChannel->Play();
    vCurrentPosition = 0;
    return started;
}

void TPlayer::Pause()
{
    if (!vChannel)
        return;
    if (vChannel->State() == engine::StreamState::Playing)
        vChannel->Pause();
    else if (vChannel->State() == engine::StreamState::Paused)
        vChannel->Play();
}

void TPlayer::Stop()
{
    if (!IsActive())
        return;
    vChannel->Stop();
    CloseFile();
    vStatus = kStoppedText;
}

bool TPlayer::CloseFile()
{
    Equalizer->Reset();
    EchoProcessor->Reset();
    Compressor->Reset();
    if (!vChannel)
        return false;
    vChannel->SetVolume(0);
    vChannel.reset();
    return true;
}

bool TPlayer::Refresh()
{
    if (!vChannel) {
        vCurrentFileSize = -1;
        vCurrentPosition = -1;
        return false;
    }
    vCurrentFileSize = vChannel->Length();
    vCurrentPosition = vChannel->Position();
    if (vCurrentPosition >= vCurrentFileSize && vCurrentFileSize > 0) {
        vChannel->Stop();
        CloseFile();
        vStatus = kStoppedText;
        return true;
    }

    engine::Source &src = vChannel->GetSource();
    const qint64 total = src.SourceSize();
    const qint64 downloaded = src.Downloaded();
    vStreamFileSize = downloaded;
    vProgress = total > 0 ? std::trunc(static_cast<double>(downloaded) / total * 100.0) : 0;

    if (!IsActive())
        return false;
    if (vCurrentFileSize > 0) {
        const double r = vChannel->RateRatio();
        vStatus = ByteLengthToTime(std::llround(vCurrentFileSize / r)) + u'\\' +
                  ByteLengthToTime(std::llround(vCurrentPosition / r));
    } else {
        vStatus = ByteLengthToTime(vCurrentPosition);
    }
    if (vProgress > 0 && vProgress < 100)
        vStatus += u'\\' + QString::number(static_cast<int>(vProgress)) + u'%';
    return false;
}

void TPlayer::ChangePosition(qint64 NewPosition)
{
    if (!vChannel || vChannel->State() != engine::StreamState::Playing)
        return;
    if (std::llabs(vCurrentPosition - NewPosition) <= kSeekThreshold)
        return;
    vChannel->SetVolume(0);
    // A failed seek leaves the place as it was. A successful one is the position at once, not
    // only after the next Refresh: a caller that saves the position right after (closing the
    // file to change it, then opening it again) must not save the place before the seek.
    if (vChannel->SetPosition(NewPosition))
        vCurrentPosition = NewPosition;
    vChannel->SlideVolume(static_cast<float>(vVolume), kSeekSlideMs);
}

qint64 TPlayer::GetPosition()
{
    if (vCurrentPosition < 0)
        vCurrentPosition = 0;
    return vCurrentPosition;
}

qint64 TPlayer::GetSize()
{
    if (vCurrentFileSize < 0)
        vCurrentFileSize = 0;
    return vCurrentFileSize;
}

uint32_t TPlayer::GetChannels() const
{
    return Played() ? vChannel->Level() : 0;
}

void TPlayer::GetSpectrum(float *Buffer) const
{
    std::fill(Buffer, Buffer + kSpectrumSize, 0.0f);
    if (Played())
        vChannel->Spectrum(Buffer);
}

void TPlayer::GetWave(uint32_t *Buffer) const
{
    std::fill(Buffer, Buffer + kWaveWords, 0u);
    if (!Played())
        return;
    char bytes[engine::Stream::kWaveBytes];
    if (vChannel->Wave(bytes))
        std::memcpy(Buffer, bytes, sizeof bytes);
}

double TPlayer::BytesToSeconds(qint64 Len) const
{
    if (!vChannel)
        return -1;
    const double seconds = vChannel->BytesToSeconds(Len);
    return std::isfinite(seconds) ? seconds : -1;
}

QString TPlayer::ByteLengthToTime(qint64 Len) const
{
    if (!vChannel || Len < 0)
        return QStringLiteral("--:--");
    const double seconds = vChannel->BytesToSeconds(Len);
    if (!std::isfinite(seconds) || seconds < 0)
        return QStringLiteral("--:--");
    const qint64 minutes = static_cast<qint64>(seconds / 60);
    const qint64 rest = static_cast<qint64>(seconds - minutes * 60.0);
    return TwoDigits(minutes) + u':' + TwoDigits(rest);
}

void TPlayer::RefreshEffect(int Effect, bool Enabled)
{
    // The chain fades an effect in or out on the sound that is playing, without a click, so the
    // stream is neither muted nor restarted: the change is heard at once, at the same place.
    switch (Effect) {
    case 0: EchoProcessor->SetEnabled(Enabled); break;
    case 1: Compressor->SetEnabled(Enabled); break;
    case 2:
        Equalizer->SetEnabled(Enabled);
        if (Enabled)
            Equalizer->Refresh();
        else
            Equalizer->Reset();
        break;
    default: break;
    }
}

int TPlayer::Volume() const
{
    return static_cast<int>(std::lround(vVolume * 100));
}

void TPlayer::SetVolume(int Value)
{
    vVolume = Value / 100.0;
    if (vChannel)
        vChannel->SlideVolume(static_cast<float>(vVolume), kVolumeSlideMs);
}

void TPlayer::SetSpeed(int Value)
{
    if (!vChannel)
        return;
    vSpeed = Value;
    vChannel->SetTempo(Value);
}

bool TPlayer::Played() const
{
    return vChannel && vChannel->State() == engine::StreamState::Playing;
}

int TPlayer::BitRate() const
{
    if (!Played())
        return 0;
    const double seconds = vChannel->BytesToSeconds(vCurrentFileSize);
    if (seconds <= 0)
        return 0; // a live stream has no length to divide by
    const auto size = static_cast<uint32_t>(vChannel->GetSource().SourceSize());
    const long long rate = std::llround(size / (seconds * 125.0));
    return rate < 0 ? 0 : static_cast<int>(rate);
}

// Download thread.
void TPlayer::OnDownload(const char *Data, qint64 Size)
{
    DownloadCompleted = false;
    // The cache file starts with the first block; an end without any block leaves the cache
    // of an earlier download alone.
    if (Data && !vTempFile && !vTempFailed) {
        QDir().mkpath(vProgramDir + QStringLiteral("VL4Conf/Cache"));
        auto file = std::make_unique<QFile>(TempFileName());
        if (file->open(QIODevice::WriteOnly | QIODevice::Truncate))
            vTempFile = std::move(file);
        else
            vTempFailed = true; // nothing to cache; the sound still plays
    }
    if (Data) {
        if (vTempFile)
            vTempFile->write(Data, Size);
        std::lock_guard lock(vRecordMutex);
        if (vRecording && vRecordFile)
            vRecordFile->write(Data, Size);
        return;
    }
    // The end: a complete download leaves a cache file the shell can tag and save.
    const bool complete = vTempFile && Size == 0;
    vTempFile.reset();
    DownloadCompleted = complete;
}

bool TPlayer::StartRecording(const QString &DestDir)
{
    if (vRecording)
        return true;
    QString dir = DestDir;
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    auto file = std::make_unique<QFile>(dir + RecordedStreamName(QDateTime::currentDateTime()) +
                                        QStringLiteral(".part"));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::lock_guard lock(vRecordMutex);
    vRecordFile = std::move(file);
    vRecording = true;
    return true;
}

QString TPlayer::StopRecording(const QString &FinalPath)
{
    std::unique_ptr<QFile> file;
    {
        std::lock_guard lock(vRecordMutex);
        vRecording = false;
        file = std::move(vRecordFile);
    }
    if (!file)
        return {};
    const QString part = file->fileName();
    file->close();
    const QString target =
        FinalPath.isEmpty()
            ? QFileInfo(part).path() + u'/' + RecordedStreamName(QDateTime::currentDateTime())
            : FinalPath;
    if (QFile::exists(target) || !QFile::rename(part, target))
        return {};
    return target;
}

} // namespace vorlane
