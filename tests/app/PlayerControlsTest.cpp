// The player panel through the real main window: the position bar, the sliders, the buttons,
// previous and next, and what plays at the end of the last track under each repeat mode (with
// the engine's player on SDL's dummy output).

#include "app/player/PlayerLoader.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QThread>
#include <QToolButton>
#include <QToolTip>

namespace vorlane {
namespace {

using test::BrowseWindowTest;
using test::Click;

TEST_F(BrowseWindowTest, PositionBarSeeksWhereTheMouseIsReleased)
{
    show(bmComputerFiles, 0);
    player->Size = 5000000;
    window->MTTimer(); // the bar takes the length: maximum 500,000
    QProgressBar *bar = window->PlayerPanel().sPBPositionRegulator;
    ASSERT_EQ(bar->maximum(), 500000);
    bar->setFixedWidth(500); // steps of 1,000
    test::Settle();
    ASSERT_EQ(bar->width(), 500);

    // Dragging moves the bar and keeps the timer off it; the hint tells the time there.
    QMouseEvent move(QEvent::MouseMove, QPointF(250, 3), bar->mapToGlobal(QPointF(250, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    EXPECT_EQ(bar->value(), 250000);
    EXPECT_TRUE(window->PlayerPanel().PositionChange());
    EXPECT_EQ(bar->toolTip(), "00:14"); // 2,500,000 bytes
    player->Position = 100;
    window->MTTimer();
    EXPECT_EQ(bar->value(), 250000);

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(250, 3),
                        bar->mapToGlobal(QPointF(250, 3)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    EXPECT_EQ(window->PlayerPanel().PosRegulatorValue(), 2500000);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 5);
    EXPECT_FALSE(window->PlayerPanel().PositionChange());
    EXPECT_TRUE(QToolTip::text().isEmpty());
    window->MTTimer();
    EXPECT_EQ(player->Seeks.last(), 2500000);
    EXPECT_EQ(bar->value(), 250000);
    // The hint shows again after the seek.
    EXPECT_EQ(QToolTip::text(), "00:14");

    // A plain move only sets the hint; a right-button release stores the place but seeks not.
    QMouseEvent hover(QEvent::MouseMove, QPointF(100, 3), bar->mapToGlobal(QPointF(100, 3)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &hover);
    EXPECT_FALSE(window->PlayerPanel().PositionChange());
    EXPECT_EQ(bar->toolTip(), "00:05");
    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(100, 3),
                      bar->mapToGlobal(QPointF(100, 3)), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &right);
    EXPECT_EQ(window->PlayerPanel().PosRegulatorValue(), 1000000);
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 0);
}

TEST_F(BrowseWindowTest, SpeedResetsOnARightClickAndVolumeTakesNoKeys)
{
    window->PlayerPanel().sTBPlaySpeed->setValue(40);
    EXPECT_EQ(player->Speed, 40);
    Click(window->PlayerPanel().sTBPlaySpeed, {5, 5}, Qt::RightButton);
    EXPECT_EQ(window->PlayerPanel().sTBPlaySpeed->value(), 0);
    EXPECT_EQ(player->Speed, 0);
    EXPECT_EQ(window->PlayerPanel().sTBPlaySpeed->minimum(), -50);
    EXPECT_EQ(window->PlayerPanel().sTBPlaySpeed->maximum(), 100);

    EXPECT_EQ(window->PlayerPanel().sTBVolume->minimum(), 1);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->maximum(), 128);
    window->PlayerPanel().sTBVolume->setValue(60);
    EXPECT_EQ(player->Volume, 60);
    focus(window->PlayerPanel().sTBVolume);
    test::Key(Qt::Key_Home);
    test::Key(Qt::Key_Up);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->value(), 60);
    test::Key(Qt::Key_Right); // still the window's seek key
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 1);
    EXPECT_EQ(window->PlayerPanel().sTBVolume->value(), 60);
}

TEST_F(BrowseWindowTest, PlayerButtons)
{
    show(bmComputerFiles, 0);
    window->PlayerPanel().sSBPlay->click();
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 4);
    playerPanel().sSBPlayerStop->click();
    EXPECT_EQ(window->PlayerPanel().PendingPlayerCommand(), 3);

    vorlane().SetFileIndex(2);
    drain();
    focus(window->Browse().sEFindQuery);
    playerPanel().sSBPlayerDown->click(); // after the last: the first
    EXPECT_EQ(vorlane().FileIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), window->Browse().sLBBrowseWindow);
    drain();
    playerPanel().sSBPlayerUp->click(); // before the first: nothing
    EXPECT_EQ(vorlane().FileIndex(), 0);
    EXPECT_EQ(pending(), efNone);

    // Next clears a selection of several rows first.
    window->Browse().sLBBrowseWindow->selectAll();
    window->PlayerPanel().fNext();
    EXPECT_EQ(vorlane().FileIndex(), 1);
    EXPECT_LE(window->Browse().sLBBrowseWindow->selectionModel()->selectedRows().size(), 1);
    drain();
    EXPECT_EQ(window->Browse().BrowseCurrentRow(), 2);
}

TEST_F(BrowseWindowTest, OpeningAFileReportsItAndFollowsThePlayOption)
{
    show(bmComputerFiles, 0);
    player->FailNames = {"Alpha.mp3"};
    vorlane().SetFileIndex(0);
    drain();
    EXPECT_EQ(player->Current.FileName, "Beta.mp3"); // the unplayable one is skipped
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Beta.mp3");
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Beta.mp3");
    EXPECT_TRUE(status().startsWith(Msg().SM_FILEOPEN + " 0")) << status().toStdString();
    EXPECT_TRUE(status().endsWith(" MB. " + Msg().SM_PLAY + " 128 Kbps")) << status().toStdString();

    // Playback off: the entry is shown and the playing one stops, but nothing new plays.
    window->Menus().PMCPlayFiles->trigger();
    const int opens = player->Opens;
    vorlane().SetFileIndex(2);
    drain();
    EXPECT_EQ(player->Opens, opens);
    EXPECT_FALSE(player->Playing);
    EXPECT_EQ(vorlane().CurrentFile().FileName, "Gamma.mp3");
    EXPECT_EQ(window->NamingTools().sEEdit->text(), "Gamma.mp3");
}

// ---- The end of the last track, with the engine's player ----

class RepeatModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        music = folders.Root.path() + "/music";
        QDir().mkpath(music);
        for (const char *name : {"01 one.wav", "02 two.wav", "03 three.wav"}) {
            ASSERT_TRUE(test::MakeMedia(music + "/" + name,
                                        {"-f", "lavfi", "-i", "sine=frequency=660:duration=0.4"}));
        }
        qputenv("VORLANE_ENGINE_MODULE", VORLANE_TEST_ENGINE_MODULE);
        TMainWindowOptions o = folders.Options();
        o.CreatePlayer = true;
        window = std::make_unique<TMainWindow>(o);
        ASSERT_TRUE(window->Ok());
        window->CreateWindowSet();
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
    // Plays the last track and runs the main timer until it has ended and the repeat mode has
    // acted (or 5 s have passed).
    void playLastTrackToItsEnd()
    {
        // Opened directly: choosing the entry that is current already would not restart it.
        window->Controller()->SetFileIndex(2);
        window->Controller()->Flags();
        window->PlayerPanel().fOpenFile();
        ASSERT_TRUE(window->Player()->Played());
        ASSERT_EQ(window->Player()->CurrentFile().FileName, "03 three.wav");
        QElapsedTimer t;
        t.start();
        bool ended = false;
        while (t.elapsed() < 5000) {
            QThread::msleep(50);
            const int64_t before = window->Player()->GetPosition();
            tick();
            // The end shows as the position starting over or playing stopping.
            if (window->Player()->GetPosition() < before || !window->Player()->Played() ||
                window->Player()->CurrentFile().FileName != "03 three.wav") {
                ended = true;
                break;
            }
        }
        ASSERT_TRUE(ended) << "the track did not end";
        for (int i = 0; i < 4; ++i) // the follow-up codes
            tick();
    }

    test::TWindowFolders folders;
    QString music;
    std::unique_ptr<TMainWindow> window;
};

TEST_F(RepeatModes, AtTheEndOfTheLastTrack)
{
    window->Menus().PMCRAll->trigger();
    playLastTrackToItsEnd();
    EXPECT_EQ(window->Controller()->FileIndex(), 0); // wrapped to the first
    EXPECT_EQ(window->Player()->CurrentFile().FileName, "01 one.wav");
    EXPECT_TRUE(window->Player()->Played());

    window->Menus().PMCRNot->trigger();
    playLastTrackToItsEnd();
    EXPECT_EQ(window->Controller()->FileIndex(), 2); // nothing after the last
    EXPECT_FALSE(window->Player()->Played());

    window->Menus().PMCROne->trigger();
    playLastTrackToItsEnd();
    EXPECT_EQ(window->Controller()->FileIndex(), 2);
    EXPECT_EQ(window->Player()->CurrentFile().FileName, "03 three.wav");
    EXPECT_TRUE(window->Player()->Played()); // the same track again
}

} // namespace
} // namespace vorlane
