#pragma once
// What the main window needs of the player: the calls of the player tick, fOpenFile and the
// close sequence. The engine's TPlayer is reached through an adapter of this interface, and tests
// drive the window with a scripted one. Main thread only.

#include "app/shell/Config.h"
#include "base/FileList.h"

#include <QString>

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
    // equaliser's power is switched on), read back from them at exit.
    virtual void SetEffects(const TSoundProcConfig &effects) = 0;
    virtual void GetEffects(TSoundProcConfig &effects) const = 0;
};

} // namespace vorlane
