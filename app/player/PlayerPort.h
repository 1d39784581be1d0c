#pragma once
// What the main window needs of the player: the calls of the player tick, fOpenFile and the
// close sequence. The engine's TPlayer is reached through an adapter of this interface, and tests
// drive the window with a scripted one. Main thread only.

#include "app/shell/Config.h"
#include "base/FileList.h"

#include <QColor>
#include <QSize>
#include <QString>

class QImage;

#include <cstdint>

namespace vorlane {

class TPlayerPort {
public:
    virtual ~TPlayerPort() = default;

    virtual bool OpenFile(const TFileName &file) = 0;
    virtual bool Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual bool CloseFile() = 0;
    // True once when the playing track has ended.
    virtual bool Refresh() = 0;
    // False when the seek failed (the caller then seeks to 0).
    virtual bool ChangePosition(int64_t position) = 0;
    virtual int64_t GetPosition() = 0;
    virtual int64_t GetSize() = 0;
    // "mm:ss/mm:ss" text of the time display.
    virtual QString GetTime() const = 0;
    // "mm:ss" of a byte position or length of the open stream; "--:--" when nothing is open.
    virtual QString ByteLengthToTime(int64_t length) const = 0;
    // Seconds of a byte length of the open stream (at normal speed); negative when nothing is
    // open.
    virtual double BytesToSeconds(int64_t length) const = 0;
    virtual bool Played() const = 0;
    virtual void SetVolume(int volume) = 0;
    virtual void SetSpeed(int speed) = 0;
    virtual int BitRate() const = 0;
    virtual TFileName CurrentFile() const = 0;
    // The data folder under which the stream cache lies.
    virtual void SetProgramDir(const QString &dir) = 0;
    // True once after a network file finished downloading into the cache; ext is its extension.
    virtual bool TakeDownloadCompleted(QString &ext) = 0;
    // The extension of the playing network file's cache file ("temp" + it), "" when it has none.
    virtual QString StreamExt() const = 0;
    // Recording of the playing network stream into a part file in destDir (ending in "/");
    // false when the file cannot be made. StopRecording gives the recording the name finalPath
    // and returns it; "" when nothing was recorded or the rename failed.
    virtual bool StartRecording(const QString &destDir) = 0;
    virtual QString StopRecording(const QString &finalPath) = 0;
    virtual bool Recording() const = 0;
    // The effect settings of Config.ini: handed to the player's processors at start (the
    // equaliser's power is switched on, the bands take the chosen preset), read back from them at
    // exit.
    virtual void SetEffects(const TSoundProcConfig &effects) = 0;
    virtual void GetEffects(TSoundProcConfig &effects) const = 0;

    // ---- The sound window's changes, heard at once on the playing chain ----

    // Band 0..9 to a slider position (0 top, +15 dB … 30 bottom, -15 dB).
    virtual void ChangeBandGain(int band, int position) = 0;
    // Echo delay in ms and wet/dry mix in percent.
    virtual void SetEcho(int delay, int level) = 0;
    // Compression ratio and threshold (dB, negative).
    virtual void SetCompressor(int ratio, int threshold) = 0;
    // Switches effect 0 echo, 1 compressor, 2 equaliser on or off while playing.
    virtual void RefreshEffect(int effect, bool enabled) = 0;
    // The switches as they stand, written before each Play (which attaches what is on).
    virtual void SetEffectSwitches(bool equaliser, bool echo, bool compressor) = 0;

    // ---- Pictures ----

    // The visual indicator's frame of view `mode` (1 spectrum, 2 oscilloscope, 3 VU meter) drawn
    // from what plays now; null for any other view. Valid until the next call.
    virtual const QImage *VisualFrame(int mode) = 0;
    // The waveform strip's colours and its analysis, one at a time: StartPeaks analyses the local
    // file `path` for a strip of `size` on a worker (false while one runs: CancelPeaks first); a
    // cancelled analysis never reaches a later one. PeaksImage is the overview of the last
    // analysis once it is complete, null before and after a cancel or a file without audio.
    virtual void SetPeaksStyle(const QColor &background, const QColor &line) = 0;
    virtual bool StartPeaks(const QString &path, QSize size) = 0;
    virtual void CancelPeaks() = 0;
    virtual bool PeaksRunning() const = 0;
    virtual const QImage *PeaksImage() const = 0;
};

} // namespace vorlane
