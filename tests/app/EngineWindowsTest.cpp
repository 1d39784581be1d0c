// The sound window, the indicator and the waveform strip with the engine's own player: each
// setting measured on what the engine plays, and screenshots of the player's windows.

#include "app/player/MiniPlayerWindow.h"
#include "app/player/PlayerWidgets.h"
#include "app/player/SoundProcWindow.h"
#include "app/tools/TimerWindow.h"
#include "app/widgets/TextScroller.h"
#include "tests/app/WindowTest.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace vorlane {
namespace {

class EngineWindows : public ::testing::Test {
protected:
    // `expression` of aevalsrc, `seconds` long, as a WAV file in the music folder.
    void makeTrack(const QString &name, const QString &expression, int seconds)
    {
        ASSERT_TRUE(test::MakeMedia(
            music + "/" + name,
            {"-f", "lavfi", "-i",
             QStringLiteral("aevalsrc=exprs='%1':s=44100:d=%2").arg(expression).arg(seconds)}));
    }
    void open(const std::function<void()> &tracks)
    {
        music = folders.Root.path() + "/music";
        QDir().mkpath(music);
        tracks();
        qputenv("VORLANE_ENGINE_MODULE", VORLANE_TEST_ENGINE_MODULE);
        TMainWindowOptions o = folders.Options();
        o.CreatePlayer = true;
        window = std::make_unique<TMainWindow>(o);
        ASSERT_TRUE(window->Ok());
        window->CreateWindowSet();
        window->resize(1100, 700);
        window->show();
        QElapsedTimer waited;
        waited.start();
        while (!window->Player() && waited.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_NE(window->Player(), nullptr);
        window->addFolderList(music, false);
        window->Controller()->AlphabetSorting(false);
        tick();
    }
    void TearDown() override
    {
        if (window)
            window->close();
    }
    void tick()
    {
        QApplication::processEvents();
        window->MTTimer();
    }
    void play(int index)
    {
        window->Controller()->SetFileIndex(index);
        window->Controller()->Flags();
        window->PlayerPanel().fOpenFile();
        ASSERT_TRUE(window->Player()->Played());
    }
    // Runs the main timer in real time for `ms`.
    void run(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QThread::msleep(window->kMainTimerMs);
            tick();
        }
    }
    // The left bar of the VU meter, in pixels, as the indicator shows it now (the median of a
    // few ticks): the level of what the engine plays.
    int meter()
    {
        TVisualIndicator *v = window->PlayerPanel().IVisualIndicator;
        v->SetVisMode(3);
        std::vector<int> widths;
        for (int i = 0; i < 7; ++i) {
            run(window->kMainTimerMs);
            const QImage frame = v->Frame();
            int w = 0;
            for (int x = 0; x < frame.width(); ++x) {
                const QColor c = frame.pixelColor(x, 6);
                if (c.green() > c.red() + 60 && c.green() > c.blue() + 40)
                    ++w;
            }
            widths.push_back(w);
        }
        std::sort(widths.begin(), widths.end());
        return widths[widths.size() / 2];
    }
    TSoundProcWindow &sound() { return *window->PlayerPanel().SoundWindow(); }

    test::TWindowFolders folders;
    QString music;
    std::unique_ptr<TMainWindow> window;
};

TEST_F(EngineWindows, EachSettingIsHeardOnThePlayingSound)
{
    // A quiet 500 Hz tone: room for +15 dB without clipping.
    open([this] { makeTrack("tone.wav", "0.05*sin(2*PI*500*t)", 30); });
    play(0);
    run(400); // the volume's slide in
    const int flat = meter();
    ASSERT_GE(flat, 3) << "the tone shows on the meter";

    // The equaliser: the 600 Hz band at the top, then at the bottom.
    sound().sCBEQEnabled->setChecked(true);
    sound().sTBEq[3]->setValue(0);
    run(300);
    const int raised = meter();
    sound().sTBEq[3]->setValue(30);
    run(300);
    const int lowered = meter();
    EXPECT_GT(raised, flat * 3) << flat << " " << raised;
    EXPECT_LT(lowered * 2, flat) << flat << " " << lowered;
    sound().sCBEQEnabled->setChecked(false);
    run(300);
    EXPECT_NEAR(meter(), flat, std::max(2, flat / 3)) << "switched off, flat again";

    // The echo one millisecond late, half wet: at 500 Hz it cancels much of the tone.
    sound().sTBEchoDelay->setValue(1);
    sound().sTBEchoLevel->setValue(50);
    sound().sCBEchoEnabled->setChecked(true);
    run(300);
    const int echoed = meter();
    EXPECT_LT(echoed * 2, flat) << flat << " " << echoed;
    sound().sCBEchoEnabled->setChecked(false);
    run(300);

    // The compressor at a low threshold and a high ratio.
    sound().sTBCompressionRatio->setValue(10);
    sound().sTBCompressionLevel->setValue(60);
    sound().sCBCompressorEnabled->setChecked(true);
    run(400);
    const int compressed = meter();
    EXPECT_LT(compressed * 2, flat) << flat << " " << compressed;
    EXPECT_TRUE(window->Player()->Played()) << "no change stopped the sound";
}

TEST_F(EngineWindows, ScreenshotsOfThePlayerWindows)
{
    // A track with a shape: swells and beats over a minute.
    open([this] {
        makeTrack("Harbour Lights.wav",
                  "(0.35+0.3*sin(2*PI*t/17))*exp(-4*mod(t,0.5))*(sin(2*PI*196*t)+0.4*sin(2*PI*392*"
                  "t)+0.2*sin(2*PI*587*t))+0.08*(0.5+0.5*sin(2*PI*t/"
                  "23))*sin(2*PI*55*t)+0.04*(random(0)*2-1)",
                  60);
    });
    play(0);
    TPeaksStrip *strip = window->PlayerPanel().PBPeaksIndicator;
    EXPECT_EQ(strip->Text(), "Harbour Lights");
    QElapsedTimer t;
    t.start();
    while (!strip->HasImage() && t.elapsed() < 30000)
        run(100);
    ASSERT_TRUE(strip->HasImage()) << "the analysis ended";
    run(1500);
    EXPECT_TRUE(strip->CursorColumn().has_value());
    const QString dir = test::ScreenshotDir();
    EXPECT_TRUE(window->grab().toImage().save(dir + "/player-main.png"));
    EXPECT_TRUE(strip->grab().toImage().save(dir + "/player-strip.png"));

    TVisualIndicator *v = window->PlayerPanel().IVisualIndicator;
    for (int view = 0; view < 4; ++view) {
        v->SetVisMode(view);
        run(300);
        const QImage shot = v->grab().toImage();
        EXPECT_TRUE(test::NonBlank(shot)) << "view " << view;
        EXPECT_TRUE(
            shot.scaled(shot.size() * 3).save(dir + QStringLiteral("/indicator-%1.png").arg(view)));
    }

    sound().sTBEQPresets->setValue(4);
    sound().sCBEchoEnabled->setChecked(true);
    sound().show();
    test::Settle();
    EXPECT_TRUE(sound().grab().toImage().save(dir + "/sound-window.png"));
    sound().hide();

    TTimerWindow *timer = window->PlayerPanel().TimerWindow();
    timer->show();
    test::Settle();
    EXPECT_TRUE(timer->grab().toImage().save(dir + "/timer-window.png"));
    timer->hide();

    window->Menus().PMCShowMiniPlayer->trigger();
    window->showMinimized();
    test::Settle();
    TMiniPlayerWindow *mini = window->PlayerPanel().MiniPlayer();
    ASSERT_TRUE(mini->isVisible());
    run(300);
    EXPECT_EQ(mini->TSFileName->Text(), "Harbour Lights");
    EXPECT_TRUE(mini->grab().toImage().save(dir + "/mini-player.png"));
}

} // namespace
} // namespace vorlane
