#pragma once
// A main window over a folder list of small tagged MP3 files, driven tick by tick: the fixture of
// the tag panel and catalogue tool tests.

#include "app/MainWindow.h"
#include "catalog/Vorlane.h"
#include "tags/TagEditor.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QTabWidget>

#include <memory>

namespace vorlane::test {

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

class ToolWindow : public ::testing::Test {
protected:
    // Makes the music folder with one track per name (name -> tag), a window with a scripted
    // player, and shows the folder as list 0 in mode 2.
    void Open(const QList<std::pair<QString, TTag>> &tracks)
    {
        if (SilentMp3().isEmpty())
            GTEST_SKIP() << "ffmpeg could not make a test track";
        music = folders.Root.path() + "/music";
        QDir().mkpath(music);
        for (const auto &[name, tag] : tracks)
            ASSERT_TRUE(MakeTaggedMp3(music + "/" + name, tag)) << name.toStdString();
        window = std::make_unique<TMainWindow>(folders.Options());
        ASSERT_TRUE(window->Ok());
        window->CreateWindowSet(); // English texts
        auto scripted = std::make_unique<TScriptedPlayer>();
        player = scripted.get();
        window->SetPlayer(std::move(scripted));
        window->addFolderList(music, false);
        vorlane().AlphabetSorting(false); // the file system's order is not the test's
        drain();
        window->resize(1100, 720);
    }
    void drain()
    {
        for (int i = 0; i < 12; ++i) {
            const int code = vorlane().Flags();
            if (code == efNone)
                return;
            vorlane().SetFlags(code);
            window->MTTimer();
        }
    }
    // Opens entry `index` as a click on its line would (code 7 and its tick).
    void openEntry(int index)
    {
        vorlane().SetFileIndex(index);
        drain();
    }
    // Selects browse lines (1-based entry lines; 0 is the header), nothing else.
    void selectLines(std::initializer_list<int> lines)
    {
        QItemSelectionModel *s = window->sLBBrowseWindow->selectionModel();
        s->clearSelection();
        for (int line : lines)
            s->select(window->sLBBrowseWindow->model()->index(line, 0),
                      QItemSelectionModel::Select);
    }
    void selectSideRow(QListView *view, int row)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
    }
    void showSheet(int page) { window->sPCExtentedControls->setCurrentIndex(page); }
    QString path(const QString &name) const { return music + "/" + name; }
    TVorlane &vorlane() { return *window->Controller(); }
    QStringList entryNames()
    {
        QStringList names;
        const TFileList &list = vorlane().FolderList(0);
        for (int i = 0; i < list.Count(); ++i)
            names << list.At(i).FileName;
        return names;
    }

    TWindowFolders folders;
    QString music;
    std::unique_ptr<TMainWindow> window;
    TScriptedPlayer *player = nullptr;
};

} // namespace vorlane::test
