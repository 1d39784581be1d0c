#pragma once
// TPlayer plays one catalogue entry at a time through the engine: it opens a local file or a
// network address by scheme and extension, plays, pauses, stops and seeks, sets volume and
// tempo, keeps position, length, download progress and the status text, and hands level,
// spectrum and wave data to the visualisations. It owns the three effect processors.
//
// It also keeps what a network source downloads: every block goes to the cache file
// "VL4Conf/Cache/temp" + extension under the data folder, and, while recording, to
// "<date>.mp3.part" in the chosen folder, renamed to "<date>.mp3" when recording ends.
//
// Threads: create and call it on the main thread. The download callback runs on the engine's
// download thread; it touches only the cache file, the recording file (under vRecordMutex) and
// DownloadCompleted, which the main timer reads and clears.

#include "base/FileList.h"
#include "playback/SoundEffects.h"
#include "playback/engine/Output.h"

#include <QFile>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vorlane {

namespace engine {
class Stream;
}

class TPlayer {
public:
    static constexpr int kSpectrumSize = 1025;
    static constexpr int kWaveWords = 2049;
    // Shown after Stop.
    static const QString kStoppedText;

    TPlayer();
    ~TPlayer();
    TPlayer(const TPlayer &) = delete;
    TPlayer &operator=(const TPlayer &) = delete;

    // Chooses the output for the streams this player opens (a device unless told otherwise).
    void Init(engine::OutputKind output = engine::DefaultOutput());

    // Opens the entry; false when no stream could be made (vChannel stays empty).
    bool OpenFile(const TFileName &Value);
    // Starts the opened stream with the volume at 0 (the caller then writes Volume, which slides
    // it in) and attaches the effects. False when nothing is open or no output could be opened.
    bool Play();
    // Pauses a playing stream, resumes a paused one.
    void Pause();
    // Stops a playing or paused stream and frees it; the status becomes kStoppedText.
    void Stop();
    bool CloseFile();
    // Reads positions and progress and builds the status text; true when the track just ended
    // (the stream is then stopped and freed).
    bool Refresh();

    // Seeks, while playing, when the target is more than 8000 bytes away, dipping the volume.
    void ChangePosition(qint64 NewPosition);
    void SavePosition() { vTempPosition = vCurrentPosition; }
    void LoadPosition() { ChangePosition(vTempPosition); }
    qint64 GetPosition();
    qint64 GetSize();
    QString GetTime() const { return vStatus; }
    // The level word (left low, right high, 0..32768) while playing, else 0.
    uint32_t GetChannels() const;
    // kSpectrumSize floats: the 1024 FFT magnitudes while playing, else zeros.
    void GetSpectrum(float *Buffer) const;
    // kWaveWords words: 2048 bytes of 16-bit samples while playing (the rest zero), else zeros.
    void GetWave(uint32_t *Buffer) const;
    // "mm:ss" of a byte length of the open stream; "--:--" when there is none.
    QString ByteLengthToTime(qint64 Len) const;
    // Seconds of a byte length of the open stream; -1 when nothing is open.
    double BytesToSeconds(qint64 Len) const;
    // Switches effect 0 echo, 1 compressor, 2 equaliser on the playing chain (it fades in or out
    // there); a stopped file stays stopped.
    void RefreshEffect(int Effect, bool Enabled);

    int Volume() const;
    void SetVolume(int Value);
    int Speed() const { return vSpeed; }
    void SetSpeed(int Value);
    bool Played() const;
    int BitRate() const;
    const TFileName &CurrentFile() const { return vCurrentFile; }

    // The data folder (ending in "/") under which "VL4Conf/Cache/" lies.
    QString ProgramDir() const { return vProgramDir; }
    void SetProgramDir(const QString &Dir);
    QString StreamExt() const { return vStreamExt; }
    // The cache file of the current network entry.
    QString TempFileName() const;
    // Deletes every cache file a download may have left ("temp.mp3", "temp", "temp.aac",
    // "temp.m4a", "temp.wma", "temp.m3u"); for the program's exit, after Stop.
    void DeleteTempFiles() const;

    // Recording of the network stream playing now. StartRecording opens "<date>.mp3.part" in
    // DestDir (ending in "/"); false when it cannot be created.
    bool StartRecording(const QString &DestDir);
    bool Recording() const { return vRecording.load(); }
    // Ends the recording: the part file is renamed to FinalPath (by default "<date>.mp3" of now
    // in the same folder). The final path, or empty when nothing was recorded or renaming failed.
    QString StopRecording(const QString &FinalPath = QString());
    // The file of the recording that OpenFile ended last (empty when none); the shell lists it.
    QString LastRecording() const { return vLastRecording; }

    // The open stream, for tests and the waveform (may be null).
    engine::Stream *Channel() const { return vChannel.get(); }

    std::shared_ptr<engine::Stream> vChannel;
    qint64 vTempPosition = 0;
    qint64 vCurrentPosition = 0;
    qint64 vCurrentFileSize = 0;
    qint64 vStreamFileSize = 0;
    QString vStatus;
    TFileName vCurrentFile;
    float vProgress = 0;
    double vVolume = 0;
    int vSpeed = 0;
    std::unique_ptr<TEqualizer> Equalizer;
    std::unique_ptr<TEchoProcessor> EchoProcessor;
    std::unique_ptr<TCompressProcessor> Compressor;
    std::atomic<bool> DownloadCompleted{false};

    QString vProgramDir;
    QString vStreamExt;
    std::atomic<bool> vRecording{false};

private:
    void OnDownload(const char *Data, qint64 Size);
    bool IsActive() const;

    engine::OutputKind vOutput = engine::DefaultOutput();
    // The download thread's cache file; touched on the main thread only while no download runs.
    std::unique_ptr<QFile> vTempFile;
    bool vTempFailed = false;
    std::mutex vRecordMutex; // guards vRecordFile
    std::unique_ptr<QFile> vRecordFile;
    QString vLastRecording;
};

} // namespace vorlane
