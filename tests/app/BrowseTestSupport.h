#pragma once
// The browsing tests' window: two folder lists, a playlist and a bookmark, a scripted player, and
// helpers that click, press keys and turn the wheel the way the platform delivers them.

#include "catalog/Vorlane.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QWheelEvent>

namespace vorlane::test {

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

// The main window over scratch folders with a scripted player and a small catalogue:
//   folder list 0 "musicA": Alpha, Beta, Gamma (sorted); folder list 1 "musicB": Delta, Echo;
//   playlists: 0 the network playlist, 1 "Road" with Alpha and Beta; one bookmark on Beta.
class BrowseWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        musicA = folders.Root.path() + "/musicA";
        musicB = folders.Root.path() + "/musicB";
        for (const char *name : {"Alpha.mp3", "Beta.mp3", "Gamma.mp3"})
            ASSERT_TRUE(WriteFile(musicA + "/" + name, QByteArray(4096, 'x')));
        for (const char *name : {"Delta.mp3", "Echo.mp3"})
            ASSERT_TRUE(WriteFile(musicB + "/" + name, QByteArray(4096, 'x')));
        mounts = {"/", "/proc"};
        TMainWindowOptions o = folders.Options();
        o.MountSource = [this] { return mounts; };
        window = std::make_unique<TMainWindow>(o);
        ASSERT_TRUE(window->Ok());
        window->CreateWindowSet();
        auto scripted = std::make_unique<TScriptedPlayer>();
        player = scripted.get();
        window->SetPlayer(std::move(scripted));
        window->AskYesNo = [this](const QString &, const QString &) {
            ++questions;
            return answer;
        };
        window->addFolderList(musicA, false);
        vorlane().AlphabetSorting(false);
        drain();
        window->addFolderList(musicB, false);
        vorlane().AlphabetSorting(false);
        drain();
        ASSERT_TRUE(vorlane().AddPlayList("Road"));
        drain();
        vorlane().SetMode(bmComputerLists);
        vorlane().SetVisibleListIndex(0);
        vorlane().SetMode(bmComputerFiles);
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
    void TearDown() override
    {
        if (window)
            window->hide();
    }
    // Ticks until the controller has nothing pending (a chain is a few ticks long).
    void drain()
    {
        for (int i = 0; i < 12 && pending() != efNone; ++i)
            window->MTTimer();
    }
    int pending()
    {
        const int code = vorlane().Flags();
        vorlane().SetFlags(code);
        return code;
    }
    // Shows a mode the way the program does, and lets the timer refill the lists.
    void show(uint32_t mode, int visibleList = -1)
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
    void focus(QWidget *w)
    {
        window->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
        Settle();
    }
    TVorlane &vorlane() { return *window->Controller(); }
    QString status() const { return window->StatusText(); }
    int navigatorRow() const { return window->sLBNavigator->currentIndex().row(); }

    TWindowFolders folders;
    QString musicA, musicB;
    QStringList mounts;
    std::unique_ptr<TMainWindow> window;
    TScriptedPlayer *player = nullptr;
    int questions = 0;
    bool answer = true;
};

} // namespace vorlane::test
