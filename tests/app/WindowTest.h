#pragma once
// The one main-window fixture of the app tests, and what its tests share: scratch folders, a
// scripted player, input helpers that click, press keys and turn the wheel the way the platform
// delivers them, and small tagged tracks.

#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/browse/FolderCommands.h"
#include "app/browse/SidePanel.h"
#include "app/player/PlayerPanel.h"
#include "app/player/PlayerPort.h"
#include "app/shell/MainWindow.h"
#include "app/shell/Menus.h"
#include "app/tools/CatalogTools.h"
#include "app/tools/NamingTools.h"
#include "catalog/Vorlane.h"
#include "tags/TagEditor.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <memory>
#include <utility>

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
    double BytesToSeconds(int64_t length) const override { return double(length) / 176400; }
    bool Played() const override { return Playing; }
    void SetVolume(int volume) override { Volume = volume; }
    void SetSpeed(int speed) override { Speed = speed; }
    int BitRate() const override { return 128; }
    TFileName CurrentFile() const override { return Current; }
    void SetProgramDir(const QString &) override {}
    bool TakeDownloadCompleted(QString &ext) override
    {
        ext = CacheExt;
        return std::exchange(DownloadDone, false);
    }
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
    bool DownloadDone = false; // a network file finished downloading into the cache
    QString RecordingDir;
    bool IsRecording = false;
    void SetEffects(const TSoundProcConfig &e) override { Effects = e; }
    void GetEffects(TSoundProcConfig &e) const override
    {
        e.EchoEnabled = Effects.EchoEnabled;
        e.EchoDelay = Effects.EchoDelay;
    }
    void ChangeBandGain(int band, int position) override
    {
        if (band >= 0 && band < int(Effects.Band.size()))
            Effects.Band[band] = position;
    }
    void SetEcho(int delay, int level) override
    {
        Effects.EchoDelay = delay;
        Effects.EchoLevel = level;
    }
    void SetCompressor(int ratio, int threshold) override
    {
        Effects.CompressorRatio = ratio;
        Effects.CompressorLevel = threshold;
    }
    void RefreshEffect(int effect, bool enabled) override
    {
        (effect == 0   ? Effects.EchoEnabled
         : effect == 1 ? Effects.CompressorEnabled
                       : Effects.EqEnabled) = enabled;
    }
    void SetEffectSwitches(bool eq, bool echo, bool compressor) override
    {
        Effects.EqEnabled = eq;
        Effects.EchoEnabled = echo;
        Effects.CompressorEnabled = compressor;
        ++SwitchWrites;
    }
    // A frame per view, filled with the view's number as grey level.
    const QImage *VisualFrame(int mode) override
    {
        if (mode < 1 || mode > 3)
            return nullptr;
        Frame = QImage(150, 26, QImage::Format_RGB32);
        Frame.fill(QColor(mode, mode, mode));
        return &Frame;
    }
    void SetPeaksStyle(const QColor &, const QColor &) override {}
    bool StartPeaks(const QString &path, QSize) override
    {
        if (PeaksBusy)
            return false;
        PeaksBusy = true;
        PeaksStarted << path;
        return true;
    }
    void CancelPeaks() override { PeaksBusy = false; }
    bool PeaksRunning() const override { return PeaksBusy; }
    const QImage *PeaksImage() const override { return PeaksDone.isNull() ? nullptr : &PeaksDone; }
    TSoundProcConfig Effects;
    int SwitchWrites = 0;
    QImage Frame;
    bool PeaksBusy = false;
    QStringList PeaksStarted;
    QImage PeaksDone;

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

// ---- Input as the platform delivers it ----

inline void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A press and release at a point of a widget.
inline void Click(QWidget *w, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, mods);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, mods);
    QApplication::sendEvent(w, &release);
}

inline void DoubleClick(QWidget *w, const QPoint &pos)
{
    Click(w, pos);
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// A click on a row of a list view, where the row is drawn.
inline void ClickRow(QListView *view, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    const QRect r = view->visualRect(index);
    ASSERT_TRUE(r.isValid()) << "row " << row << " is not laid out";
    Click(view->viewport(), r.center(), Qt::LeftButton, mods);
}

// A key pressed and released on the focused widget, as the platform sends it: the shortcut
// override first, then the key itself unless the override was taken.
inline void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = {})
{
    QWidget *target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the focus";
    QKeyEvent override(QEvent::ShortcutOverride, key, mods, text);
    override.ignore();
    QApplication::sendEvent(target, &override);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(target, &release);
}

inline void Wheel(QWidget *w, int steps)
{
    const QPointF pos(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent wheel(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &wheel);
}

// ---- Tagged tracks ----

// One second of generated sound as MP3, made once per test process; empty when ffmpeg failed.
inline QString SilentMp3()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.path() + "/tone.mp3";
        return MakeMedia(p, {"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac", "1",
                             "-b:a", "32k", "-id3v2_version", "0", "-write_id3v1", "0"})
                   ? p
                   : QString();
    }();
    return path;
}

// Copies the generated sound to path and gives it both tags (empty fields are left out).
inline bool MakeTaggedMp3(const QString &path, const TTag &tag)
{
    const QString source = SilentMp3();
    if (source.isEmpty() || !QFile::copy(source, path))
        return false;
    TTagEditor editor;
    editor.SetFile(path);
    editor.SetTagV2(tag);
    editor.SetTagV1(tag);
    return editor.Enabled();
}

inline TTag Tag(const QString &artist, const QString &title, const QString &album = {},
                const QString &track = {})
{
    TTag t;
    t.Artist = artist;
    t.Title = title;
    t.Album = album;
    t.Track = track;
    return t;
}

inline TTag ReadTag(const QString &path, bool v2)
{
    TTagEditor editor;
    editor.SetFile(path);
    TTag t;
    if (v2)
        editor.GetTagV2(t);
    else
        editor.GetTagV1(t);
    return t;
}

// ---- Pictures ----

// A picture of more than one colour: something was drawn.
inline bool NonBlank(const QImage &image)
{
    if (image.isNull())
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

// ---- The window ----

// The theme item of a theme name (each item carries its theme's name).
inline QAction *SkinItem(const TMainWindow &w, const QString &theme)
{
    for (QAction *a : w.Menus().Skins->actions()) {
        if (a->data().toString() == theme)
            return a;
    }
    return nullptr;
}

// The main window over scratch folders, in English, with a scripted player, driven tick by
// tick. A test opens it with the catalogue it needs: OpenCatalogue (two folder lists of named
// stand-in files, a playlist and a bookmark, shown), OpenTracks (one folder list of small tagged
// MP3 files) or OpenWindow alone.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (window)
            window->hide();
    }
    void OpenWindow()
    {
        TMainWindowOptions o = folders.Options();
        o.MountSource = [this] { return mounts; };
        window = std::make_unique<TMainWindow>(o);
        ASSERT_TRUE(window->Ok());
        window->CreateWindowSet(); // English texts
        auto scripted = std::make_unique<TScriptedPlayer>();
        player = scripted.get();
        window->SetPlayer(std::move(scripted));
        window->SetQuestionBox([this](const QString &caption, const QString &text) {
            questions << caption + ": " + text;
            return answer;
        });
    }
    // Adds a folder list and sorts it (the file system's order is not the test's).
    void AddFolder(const QString &folder)
    {
        window->addFolderList(folder, false);
        vorlane().AlphabetSorting(false);
        drain();
    }
    //   folder list 0 "musicA": Alpha, Beta, Gamma; folder list 1 "musicB": Delta, Echo;
    //   playlists: 0 the network playlist, 1 "Road" with Alpha and Beta; one bookmark on Beta.
    void OpenCatalogue()
    {
        musicA = folders.Root.path() + "/musicA";
        musicB = folders.Root.path() + "/musicB";
        for (const char *name : {"Alpha.mp3", "Beta.mp3", "Gamma.mp3"})
            ASSERT_TRUE(WriteFile(musicA + "/" + name, QByteArray(4096, 'x')));
        for (const char *name : {"Delta.mp3", "Echo.mp3"})
            ASSERT_TRUE(WriteFile(musicB + "/" + name, QByteArray(4096, 'x')));
        mounts = {"/", "/proc"};
        OpenWindow();
        AddFolder(musicA);
        AddFolder(musicB);
        ASSERT_TRUE(vorlane().AddPlayList("Road"));
        drain();
        show(bmComputerFiles, 0);
        vorlane().AddFileToPlayList({0, 1}, 1);
        vorlane().SetFileIndex(1);
        drain();
        vorlane().AddBookmark(250000, "00:12");
        drain();
        window->resize(1100, 700);
        window->show();
        window->activateWindow();
        Settle();
        player->Opens = 0;
    }
    // The music folder with one track per name (name -> tag), shown as list 0 in mode 2.
    void OpenTracks(const QList<std::pair<QString, TTag>> &tracks)
    {
        if (SilentMp3().isEmpty())
            GTEST_SKIP() << "ffmpeg could not make a test track";
        music = folders.Root.path() + "/music";
        QDir().mkpath(music);
        for (const auto &[name, tag] : tracks)
            ASSERT_TRUE(MakeTaggedMp3(music + "/" + name, tag)) << name.toStdString();
        OpenWindow();
        AddFolder(music);
        window->resize(1100, 720);
    }

    // Ticks until the controller has nothing pending (a chain is a few ticks long).
    void drain()
    {
        for (int i = 0; i < 12 && pending() != efNone; ++i)
            window->MTTimer();
    }
    TEventCode pending()
    {
        const TEventCode code = vorlane().Flags();
        vorlane().SetFlags(code);
        return code;
    }
    // One tick with the given code pending; returns the code the tick left behind.
    TEventCode tick(TEventCode code)
    {
        vorlane().SetFlags(code);
        window->MTTimer();
        return pending();
    }
    // Shows a mode the way the program does, and lets the timer refill the lists.
    void show(TBrowseMode mode, int visibleList = -1)
    {
        if (visibleList >= 0) {
            vorlane().SetMode(mode == bmComputerFiles   ? bmComputerLists
                              : mode == bmInternetFiles ? bmInternetLists
                                                        : bmPlayLists);
            vorlane().SetVisibleListIndex(visibleList);
        }
        vorlane().SetMode(mode);
        drain();
    }
    // Opens entry `index` as a click on its line would (code 7 and its tick).
    void openEntry(int index)
    {
        vorlane().SetFileIndex(index);
        drain();
    }
    void focus(QWidget *w)
    {
        window->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
        Settle();
    }
    // Selects browse lines (1-based entry lines; 0 is the header), nothing else.
    void selectLines(std::initializer_list<int> lines)
    {
        QItemSelectionModel *s = browse().sLBBrowseWindow->selectionModel();
        s->clearSelection();
        for (int line : lines)
            s->select(browse().sLBBrowseWindow->model()->index(line, 0),
                      QItemSelectionModel::Select);
    }
    void selectSideRow(QListView *view, int row)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
    }
    void showSheet(int page) { side().sPCExtentedControls->setCurrentIndex(page); }

    TVorlane &vorlane() { return *window->Controller(); }
    const TMenus &menus() { return window->Menus(); }
    TBrowsePanel &browse() { return window->Browse(); }
    TSidePanel &side() { return window->Side(); }
    TPlayerPanel &playerPanel() { return window->PlayerPanel(); }
    TCatalogTools &tools() { return window->CatalogTools(); }
    TNamingTools &naming() { return window->NamingTools(); }
    QString status() const { return window->StatusText(); }
    int navigatorRow() { return browse().sLBNavigator->currentIndex().row(); }
    QString path(const QString &name) const { return music + "/" + name; }
    QStringList entryNames()
    {
        QStringList names;
        const TFileList &list = vorlane().FolderList(0);
        for (int i = 0; i < list.Count(); ++i)
            names << list.At(i).FileName;
        return names;
    }

    TWindowFolders folders;
    QString musicA, musicB, music;
    QStringList mounts;
    std::unique_ptr<TMainWindow> window;
    TScriptedPlayer *player = nullptr;
    QStringList questions; // "caption: text" of each question asked
    bool answer = true;
};

// The browsing and player tests: OpenCatalogue.
class BrowseWindowTest : public WindowTest {
protected:
    void SetUp() override { OpenCatalogue(); }
};

} // namespace vorlane::test
