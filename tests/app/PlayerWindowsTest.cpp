// The player's windows with a scripted player: the sound window, the visual indicator, the
// waveform strip, the sleep timer and the mini player.

#include "app/player/MiniPlayerWindow.h"
#include "app/player/PlayerWidgets.h"
#include "app/player/SoundProcWindow.h"
#include "app/tools/TimerWindow.h"
#include "app/widgets/IndicatorWindow.h"
#include "app/widgets/TextScroller.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

namespace vorlane {
namespace {

using test::Click;

class PlayerWindows : public test::BrowseWindowTest {
protected:
    TSoundProcWindow &sound() { return *playerPanel().SoundWindow(); }
    TEqSliders sliders()
    {
        TEqSliders s{};
        for (int band = 0; band < kEqBands; ++band)
            s[size_t(band)] = sound().sTBEq[size_t(band)]->value();
        return s;
    }
};

TEST_F(PlayerWindows, PresetsBandsAndSwitchesReachThePlayer)
{
    menus().PMCSPConfigure->trigger(); // Ctrl+P shows the window
    EXPECT_TRUE(sound().isVisible());
    const TEqSliders bass{9, 13, 13, 15, 16, 18, 20, 21, 21, 18};

    sound().sTBEQPresets->setValue(2);
    EXPECT_EQ(sliders(), bass);
    EXPECT_EQ(player->Effects.Band, bass) << "every band applied";
    EXPECT_EQ(sound().sLEQPresetName->text(), Msg().SM_EQPRESETSBASS);

    // A band moved by the user returns the control to the user preset, which takes the sliders.
    sound().sTBEq[3]->triggerAction(QSlider::SliderPageStepAdd); // a click on the groove
    EXPECT_EQ(sound().sTBEQPresets->value(), 0);
    TEqSliders moved = bass;
    moved[3] = sound().sTBEq[3]->value();
    EXPECT_NE(moved[3], 15);
    EXPECT_EQ(sound().UserPreset(), moved);
    EXPECT_EQ(player->Effects.Band[3], moved[3]);
    EXPECT_EQ(sliders(), moved) << "the sliders stay where they were";

    // Ctrl+E and the box follow each other.
    ASSERT_FALSE(menus().PMCSPEqEnabled->isChecked());
    menus().PMCSPEqEnabled->trigger();
    EXPECT_TRUE(sound().sCBEQEnabled->isChecked());
    EXPECT_TRUE(player->Effects.EqEnabled);
    EXPECT_EQ(status(), Msg().SM_EQENABLED);
    Click(sound().sCBEQEnabled, {4, sound().sCBEQEnabled->height() / 2});
    EXPECT_FALSE(menus().PMCSPEqEnabled->isChecked());
    EXPECT_FALSE(player->Effects.EqEnabled);

    sound().sCBEchoEnabled->setChecked(true);
    EXPECT_TRUE(player->Effects.EchoEnabled);
    EXPECT_EQ(status(), Msg().SM_ECHOENABLED);
    sound().sTBEchoDelay->setValue(320);
    sound().sTBEchoLevel->setValue(40);
    EXPECT_EQ(player->Effects.EchoDelay, 320);
    EXPECT_EQ(player->Effects.EchoLevel, 40);
    sound().sCBCompressorEnabled->setChecked(true);
    sound().sTBCompressionRatio->setValue(6);
    sound().sTBCompressionLevel->setValue(24);
    EXPECT_TRUE(player->Effects.CompressorEnabled);
    EXPECT_EQ(player->Effects.CompressorRatio, 6);
    EXPECT_EQ(player->Effects.CompressorLevel, -24) << "the threshold is negative";

    // Before each Play the switches are written again (a file that failed to open cleared them).
    player->Effects.EchoEnabled = false;
    const int writes = player->SwitchWrites;
    openEntry(2);
    EXPECT_EQ(player->SwitchWrites, writes + 1);
    EXPECT_TRUE(player->Effects.EchoEnabled);
    menus().PMCSPConfigure->trigger();
    EXPECT_FALSE(sound().isVisible());
}

TEST_F(PlayerWindows, IndicatorCyclesItsViewsAndShowsEachTicksFrame)
{
    TVisualIndicator *v = playerPanel().IVisualIndicator;
    EXPECT_EQ(v->VisMode(), 0);
    openEntry(0);
    window->MTTimer();
    EXPECT_TRUE(v->Frame().isNull()) << "the title has no frame";
    for (int view : {1, 2, 3}) {
        Click(v, {10, 10});
        EXPECT_EQ(v->VisMode(), view);
        EXPECT_TRUE(v->Frame().isNull()) << "a click blanks the picture";
        window->MTTimer();
        ASSERT_FALSE(v->Frame().isNull());
        EXPECT_EQ(qRed(v->Frame().pixel(5, 5)), view) << "this tick's frame of the view";
    }
    Click(v, {10, 10});
    EXPECT_EQ(v->VisMode(), 0);
    Click(v, {10, 10});
    Click(v, {10, 10});
    EXPECT_EQ(window->CurrentConfig().VisMode, 2);
}

TEST_F(PlayerWindows, StripAnalysesOneFileAtATimeAndSeeks)
{
    TPeaksStrip *strip = playerPanel().PBPeaksIndicator;
    player->PeaksStarted.clear();
    openEntry(0);
    ASSERT_EQ(player->PeaksStarted.size(), 1);
    EXPECT_EQ(player->PeaksStarted.last(), musicA + "/Alpha.mp3");
    EXPECT_EQ(strip->Text(), "Alpha") << "the title until the analysis ends";
    EXPECT_FALSE(strip->HasImage());

    // Another entry cancels the running analysis before its own starts.
    openEntry(1);
    ASSERT_EQ(player->PeaksStarted.size(), 2);
    EXPECT_EQ(player->PeaksStarted.last(), musicA + "/Beta.mp3");

    player->PeaksDone = QImage(strip->AreaSize(), QImage::Format_RGB32);
    player->PeaksDone.fill(Qt::darkBlue);
    window->MTTimer();
    EXPECT_FALSE(strip->HasImage()) << "still running";
    player->PeaksBusy = false;
    window->MTTimer();
    EXPECT_TRUE(strip->HasImage());

    // The cursor and a click follow the strip's columns: step = size div width.
    const int width = strip->AreaSize().width();
    player->Size = int64_t(width) * 1000;
    player->Position = 250 * 1000;
    window->MTTimer();
    EXPECT_EQ(strip->CursorColumn(), 250);
    Click(strip, {TPeaksStrip::kMarginX + 100, strip->height() / 2});
    EXPECT_EQ(playerPanel().PendingPlayerCommand(), pcSeek);
    EXPECT_EQ(playerPanel().PosRegulatorValue(), 100 * 1000);

    player->Size = width - 1; // too short for the strip: no cursor
    window->MTTimer();
    EXPECT_FALSE(strip->CursorColumn().has_value());
}

// ---- The sleep timer on a fake clock ----

struct TFakePower : TPowerControl {
    bool PowerDown() override
    {
        ++Calls;
        return Accepts;
    }
    int Calls = 0;
    bool Accepts = true;
};

TEST(SleepTimerWindow, WarnsAMinuteBeforeAndActs)
{
    qint64 now = 0;
    QStringList notices, statuses;
    int stops = 0, pauses = 0, closes = 0;
    TTimerActions a;
    a.StopPlayback = [&] { ++stops; };
    a.PausePlayback = [&] { ++pauses; };
    a.CloseProgram = [&] { ++closes; };
    a.Notice = [&](const QString &t) { notices << t; };
    a.Status = [&](const QString &t) { statuses << t; };
    auto power = std::make_unique<TFakePower>();
    TFakePower *fake = power.get();
    TTimerWindow w(a, std::move(power));
    w.SetClock([&] { return now; });
    EXPECT_FALSE(w.sSBApply->isEnabled()) << "no action chosen yet";

    w.sETimeValue->selectAll();
    QKeyEvent zero(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, "0");
    QApplication::sendEvent(w.sETimeValue, &zero);
    EXPECT_EQ(w.sETimeValue->text(), "1") << "0 minutes become 1";
    Click(w.sSBUpTime, {5, 5});
    EXPECT_EQ(w.sETimeValue->text(), "2");

    w.sRBStopPlay->setChecked(true);
    ASSERT_TRUE(w.sSBApply->isEnabled());
    w.show();
    w.sSBApply->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.sSBApply->isEnabled());
    EXPECT_EQ(notices.value(0), Msg().SM_PLAYERSTOPTIME + " 2 " + Msg().SM_MINUTE);
    EXPECT_EQ(statuses.value(0), Msg().SM_TIMERSET + " 2" + Msg().SM_MINUTE);

    now = 60000;
    w.TimerTimer();
    EXPECT_EQ(notices.value(1), Msg().SM_PLAYERSTOPTIMEALARM);
    EXPECT_EQ(stops, 0);
    now = 120000;
    w.TimerTimer();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(w.sETimeValue->text(), "1");
    EXPECT_TRUE(w.sSBApply->isEnabled());

    // One minute and the power-down: no warning, then pause and the power request.
    w.sRBShutDownComputer->setChecked(true);
    w.sSBApply->click();
    now += 60000;
    w.TimerTimer();
    EXPECT_EQ(notices.size(), 3) << "no warning with one minute";
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(fake->Calls, 1);
    EXPECT_NE(statuses.last(), Msg().SM_POWERDOWNFAILED);
    fake->Accepts = false;
    w.sSBApply->click();
    now += 60000;
    w.TimerTimer();
    EXPECT_EQ(statuses.last(), Msg().SM_POWERDOWNFAILED) << "a refusal is said";

    w.sRBCloseProgram->setChecked(true);
    w.sSBApply->click();
    w.sSBDisable->click();
    EXPECT_EQ(statuses.last(), Msg().SM_TIMERDISABLED);
    now += 3600000;
    w.TimerTimer();
    EXPECT_EQ(closes, 0) << "a switched-off timer does nothing";

    EXPECT_EQ(PowerDownMethod("yes"), "Hibernate");
    EXPECT_EQ(PowerDownMethod("challenge"), "Suspend");
    EXPECT_EQ(PowerDownMethod(""), "Suspend");
}

TEST_F(PlayerWindows, SleepTimerItemShowsTheWindow)
{
    ASSERT_TRUE(menus().PMSleepTimer->isEnabled());
    menus().PMSleepTimer->trigger();
    EXPECT_TRUE(window->PlayerPanel().TimerWindow()->isVisible());
    menus().PMSleepTimer->trigger();
    EXPECT_FALSE(window->PlayerPanel().TimerWindow()->isVisible());
}

// ---- The mini player ----

TEST_F(PlayerWindows, MiniPlayerStandsInForTheMinimisedWindow)
{
    TMiniPlayerWindow *mini = playerPanel().MiniPlayer();
    window->showMinimized();
    test::Settle();
    EXPECT_FALSE(mini->isVisible()) << "the option is off";
    window->RestoreWindow();
    test::Settle();

    menus().PMCShowMiniPlayer->trigger();
    ASSERT_TRUE(menus().PMCShowMiniPlayer->isChecked());
    window->showMinimized();
    test::Settle();
    ASSERT_TRUE(mini->isVisible());
    EXPECT_TRUE(mini->PlayerShowed());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(mini->Opacity(), 255);

    // Fed by fOpenFile and the tick; its controls forward to the panel's.
    openEntry(2);
    EXPECT_EQ(mini->TSFileName->Text(), "Gamma");
    player->Position = 2500000;
    window->MTTimer();
    EXPECT_EQ(mini->sETimeIndicator->text(), "00:01/00:05");
    EXPECT_EQ(mini->sPBPositionRegulator->value(), 250000);
    mini->sTBVolume->setValue(90);
    EXPECT_EQ(playerPanel().sTBVolume->value(), 90);
    EXPECT_EQ(player->Volume, 90);
    mini->sSBPlayerPlay->click();
    EXPECT_EQ(playerPanel().PendingPlayerCommand(), pcPause);
    mini->sSBPlayerDown->click();
    EXPECT_EQ(vorlane().FileIndex(), 0) << "next, wrapping";

    // It fades while the pointer is away and brightens when it comes back.
    for (int i = 0; i < 300; ++i)
        mini->FadeStep(false);
    EXPECT_EQ(mini->Opacity(), 50);
    mini->FadeStep(true);
    EXPECT_EQ(mini->Opacity(), 56);

    // Dragged past the right and bottom edges it snaps back inside the work area.
    const QRect area = mini->screen()->availableGeometry();
    mini->move(area.right() + 40, area.bottom() + 40);
    EXPECT_LE(mini->frameGeometry().right(), area.right() + 1);
    EXPECT_LE(mini->frameGeometry().bottom(), area.bottom() + 1);
    mini->move(-30, area.top() + 10);
    EXPECT_GE(mini->frameGeometry().left(), 0);

    // Its title brings the main window back.
    Click(mini->TSFileName, {5, 5});
    test::Settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(mini->isVisible());

    // Closing the strip closes the program, settings saved.
    window->showMinimized();
    test::Settle();
    ASSERT_TRUE(mini->isVisible());
    mini->close();
    test::Settle();
    EXPECT_FALSE(mini->isVisible());
    EXPECT_EQ(TIniFile(folders.Config()).ReadInteger("Main", "ShowMiniPlayer", -1), 1);
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(PlayerWindowsConfig, SoundProcKeysAppliedAtStartAndWrittenBack)
{
    test::TWindowFolders f;
    ASSERT_TRUE(test::WriteFile(f.Config(), "[SoundProc]\r\nEqMode=4\r\nBand0=3\r\nBand9=27\r\n"
                                            "CompressorEnabled=1\r\nCompressorLevel=-20\r\n"
                                            "[Main]\r\nVisMode=3\r\n"));
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        TSoundProcWindow &sound = *w.PlayerPanel().SoundWindow();
        EXPECT_EQ(sound.sTBEQPresets->value(), 4);
        EXPECT_EQ(sound.sTBEq[0]->value(), 13) << "the rock preset shows";
        EXPECT_EQ(sound.UserPreset()[0], 3);
        EXPECT_EQ(sound.sTBCompressionLevel->value(), 20);
        EXPECT_EQ(w.PlayerPanel().IVisualIndicator->VisMode(), 3);
        // The first player, before its first Play, takes them all.
        auto scripted = std::make_unique<test::TScriptedPlayer>();
        test::TScriptedPlayer *p = scripted.get();
        w.SetPlayer(std::move(scripted));
        EXPECT_EQ(p->Effects.EqMode, 4);
        EXPECT_EQ(p->Effects.Band[9], 27);
        EXPECT_TRUE(p->Effects.CompressorEnabled);
        EXPECT_EQ(p->Effects.CompressorLevel, -20);
        sound.sTBEQPresets->setValue(0);
        sound.sTBEq[0]->setValue(5);
        w.close();
    }
    const TIniFile ini(f.Config());
    EXPECT_EQ(ini.ReadInteger("SoundProc", "EqMode", -1), 0);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "Band0", -1), 5);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "Band9", -1), 27);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "CompressorEnabled", -1), 1);
    EXPECT_EQ(ini.ReadInteger("Main", "VisMode", -1), 3);
}

} // namespace
} // namespace vorlane
