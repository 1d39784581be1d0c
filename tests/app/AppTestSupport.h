#pragma once
// Helpers of the window tests: a main window over scratch folders, and a scripted player.

#include "app/MainWindow.h"
#include "app/PlayerPort.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace vorlane::test {

// build/screenshots, made when first asked for: where the screenshot tests leave their pictures.
inline QString ScreenshotDir()
{
    const QString dir = QStringLiteral(VORLANE_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir;
}

// The bundled data of the source tree (the test environment names it).
inline QString BundledData()
{
    return qEnvironmentVariable("VORLANE_DATA_DIR");
}

// Scratch working and application-data folders for one main window.
struct TWindowFolders {
    QTemporaryDir Root;
    QString Work() const { return Root.path() + "/work"; }
    QString AppData() const { return Root.path() + "/appdata"; }
    QString Config() const { return AppData() + "/VL4Conf/Config.ini"; }
    TWindowFolders()
    {
        QDir().mkpath(Work());
        QDir().mkpath(AppData());
    }
    TMainWindowOptions Options() const
    {
        TMainWindowOptions o;
        o.WorkingDir = Work();
        o.AppDataDir = AppData();
        o.BundledDir = BundledData();
        o.StartTimers = false;
        o.CreatePlayer = false;
        return o;
    }
};

// A player whose answers the test sets and whose calls it counts.
class TScriptedPlayer : public TPlayerPort {
public:
    bool OpenFile(const TFileName &file) override
    {
        ++Opens;
        Current = file;
        return !FailNames.contains(file.FileName);
    }
    bool Play() override
    {
        Playing = true;
        return true;
    }
    void Pause() override { ++Pauses; }
    void Stop() override
    {
        ++Stops;
        Playing = false;
    }
    bool CloseFile() override { return true; }
    bool Refresh() override
    {
        const bool ended = EndNow;
        EndNow = false;
        return ended;
    }
    bool ChangePosition(int64_t position) override
    {
        Seeks.append(position);
        if (position < 0 || (FailSeeksAbove >= 0 && position > FailSeeksAbove))
            return false;
        Position = position;
        return true;
    }
    int64_t GetPosition() override { return Position; }
    int64_t GetSize() override { return Size; }
    QString GetTime() const override { return QStringLiteral("00:01/00:05"); }
    // CD-quality bytes: 176400 a second.
    QString ByteLengthToTime(int64_t length) const override
    {
        const int64_t seconds = length / 176400;
        return QStringLiteral("%1:%2")
            .arg(seconds / 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    bool Played() const override { return Playing; }
    void SetVolume(int volume) override { Volume = volume; }
    void SetSpeed(int speed) override { Speed = speed; }
    int BitRate() const override { return 128; }
    TFileName CurrentFile() const override { return Current; }
    void SetProgramDir(const QString &) override {}
    bool TakeDownloadCompleted(QString &) override { return false; }
    QString StreamExt() const override { return CacheExt; }
    bool StartRecording(const QString &destDir) override
    {
        RecordingDir = destDir;
        IsRecording = true;
        return true;
    }
    QString StopRecording(const QString &finalPath) override
    {
        IsRecording = false;
        return finalPath;
    }
    bool Recording() const override { return IsRecording; }
    QString CacheExt = QStringLiteral(".mp3");
    QString RecordingDir;
    bool IsRecording = false;
    void SetEffects(const TSoundProcConfig &e) override { Effects = e; }
    void GetEffects(TSoundProcConfig &e) const override
    {
        e.EchoEnabled = Effects.EchoEnabled;
        e.EchoDelay = Effects.EchoDelay;
    }
    TSoundProcConfig Effects;

    int Opens = 0, Pauses = 0, Stops = 0, Volume = 0, Speed = 0;
    bool Playing = false;
    bool EndNow = false;
    int64_t Position = 0;
    int64_t Size = 5000000;
    int64_t FailSeeksAbove = -1;
    QList<int64_t> Seeks;
    QStringList FailNames;
    TFileName Current;
};

} // namespace vorlane::test
