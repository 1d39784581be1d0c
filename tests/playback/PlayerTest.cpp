// TPlayer on the null output (the test pulls the sound), and a few runs through SDL's disk driver.

#include "playback/Player.h"
#include "base/RecordName.h"
#include "playback/engine/Stream.h"
#include "tests/playback/Media.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstring>

using namespace vorlane;
using namespace vorlane::test;

namespace {

TFileName Entry(const QString &dir, const QString &name)
{
    TFileName f;
    f.DirName = dir.endsWith(u'/') ? dir : dir + u'/';
    f.FileName = name;
    f.Title = name;
    return f;
}

class PlayerNull : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        // 10 s so that positions and times have room.
        MakeMedia(dir_->filePath("tone.mp3"),
                  TestSignal(10.0) + QStringList{"-c:a", "libmp3lame", "-b:a", "128k"});
        MakeMedia(dir_->filePath("tone.wav"), TestSignal(2.0) + QStringList{"-c:a", "pcm_s16le"});
        WriteMp1(dir_->filePath("crafted.mp1"), 100);
        MakeMedia(dir_->filePath("tone1k.wav"),
                  {"-f", "lavfi", "-i",
                   "aevalsrc=0.5*sin(2*PI*1000*t)|0.5*sin(2*PI*1000*t):s=44100:d=12", "-c:a",
                   "pcm_f32le"});
        // An impulse every quarter second.
        const QString click = QStringLiteral("if(eq(mod(n\\,11025)\\,0)\\,0.8\\,0)");
        MakeMedia(dir_->filePath("clicks.wav"),
                  {"-f", "lavfi", "-i", QStringLiteral("aevalsrc=%1|%1:s=44100:d=12").arg(click),
                   "-c:a", "pcm_f32le"});
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override
    {
        player_.Init(engine::OutputKind::Null);
        player_.SetProgramDir(home_.path());
    }
    // Pulls `ms` of sound through the player's stream and returns it.
    std::vector<float> PullMs(int ms)
    {
        engine::Stream *s = player_.Channel();
        if (!s) {
            ADD_FAILURE() << "nothing is open";
            return {};
        }
        std::vector<float> buf(static_cast<size_t>(s->Rate()) * ms / 1000 * s->Channels());
        s->Pull(buf.data(), static_cast<int>(buf.size() / s->Channels()));
        return buf;
    }
    // The 1 kHz tone's level in dB after a change has settled.
    double ToneLevel()
    {
        PullMs(300);
        return ToneDb(PullMs(400), 2, 44100, 1000);
    }
    static QTemporaryDir *dir_;
    QTemporaryDir home_;
    TPlayer player_;
};

QTemporaryDir *PlayerNull::dir_ = nullptr;

TEST_F(PlayerNull, OpensByExtensionOnly)
{
    EXPECT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.mp3")));
    EXPECT_EQ(player_.StreamExt(), ".mp3");
    EXPECT_TRUE(player_.OpenFile(Entry(dir_->path(), "crafted.mp1")));
    QFile::copy(dir_->filePath("tone.mp3"), home_.filePath("tone.xyz"));
    EXPECT_FALSE(player_.OpenFile(Entry(home_.path(), "tone.xyz")))
        << "an unknown extension opens nothing";
    EXPECT_EQ(player_.Channel(), nullptr);
    EXPECT_FALSE(player_.Play());
    EXPECT_EQ(player_.CurrentFile().FileName, "tone.xyz");
    QFile::copy(dir_->filePath("tone.mp3"), home_.filePath("TONE.MP3"));
    EXPECT_TRUE(player_.OpenFile(Entry(home_.path(), "TONE.MP3")))
        << "extensions compare lower-cased";
}

TEST_F(PlayerNull, StatusShowsTotalAndElapsed)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.mp3")));
    ASSERT_TRUE(player_.Play());
    EXPECT_EQ(player_.GetPosition(), 0);
    PullMs(1500);
    EXPECT_FALSE(player_.Refresh());
    EXPECT_EQ(player_.GetTime(), "00:10\\00:01");
    EXPECT_NEAR(player_.GetSize(), 44100 * 4 * 10, 1152 * 4) << "within one frame before the end";
    EXPECT_EQ(player_.ByteLengthToTime(44100 * 4 * 125), "02:05");
    EXPECT_EQ(player_.ByteLengthToTime(44100 * 4 * 6000), "100:00") << "minutes past 99, no hours";
    EXPECT_NEAR(player_.BitRate(), 128, 3);
    player_.SetSpeed(100);
    EXPECT_EQ(player_.Speed(), 100);
    player_.Refresh();
    EXPECT_EQ(player_.GetTime(), "00:05\\00:00") << "times in real seconds at double tempo";
}

TEST_F(PlayerNull, SeeksOnlyBeyondEightThousandBytes)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.mp3")));
    ASSERT_TRUE(player_.Play());
    PullMs(100);
    player_.Refresh();
    const qint64 here = player_.GetPosition();
    player_.ChangePosition(here + 8000);
    player_.Refresh();
    EXPECT_EQ(player_.GetPosition(), here);
    player_.ChangePosition(here + 8004);
    player_.Refresh();
    EXPECT_EQ(player_.GetPosition(), here + 8004);
    EXPECT_EQ(player_.Channel()->Volume(), 0.0f) << "the seek dips the volume";
    EXPECT_TRUE(player_.Channel()->VolumeSliding());

    player_.SavePosition();
    player_.ChangePosition(44100 * 4 * 7);
    EXPECT_EQ(player_.GetPosition(), 44100 * 4 * 7) << "the new place at once, before a Refresh";
    player_.Refresh();
    EXPECT_EQ(player_.GetPosition(), 44100 * 4 * 7);
    player_.LoadPosition();
    player_.Refresh();
    EXPECT_EQ(player_.GetPosition(), here + 8004);

    player_.Pause();
    player_.ChangePosition(0);
    player_.Refresh();
    EXPECT_EQ(player_.GetPosition(), here + 8004) << "no seek while paused";
}

TEST_F(PlayerNull, EndOfTrackIsReportedOnce)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.wav")));
    ASSERT_TRUE(player_.Play());
    int ends = 0;
    for (int i = 0; i < 40; ++i) {
        if (player_.Channel())
            PullMs(100);
        ends += player_.Refresh() ? 1 : 0;
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(player_.GetTime(), TPlayer::kStoppedText);
    EXPECT_FALSE(player_.Played());
}

TEST_F(PlayerNull, PauseResumeAndStop)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.mp3")));
    ASSERT_TRUE(player_.Play());
    EXPECT_TRUE(player_.Played());
    player_.Pause();
    EXPECT_FALSE(player_.Played());
    float spectrum[TPlayer::kSpectrumSize];
    player_.GetSpectrum(spectrum);
    EXPECT_EQ(*std::max_element(spectrum, spectrum + TPlayer::kSpectrumSize), 0.0f);
    EXPECT_EQ(player_.GetChannels(), 0u);
    player_.Pause();
    EXPECT_TRUE(player_.Played());
    PullMs(100);
    EXPECT_GT(player_.GetChannels(), 0u);
    uint32_t wave[TPlayer::kWaveWords];
    player_.GetWave(wave);
    EXPECT_NE(*std::max_element(wave, wave + 512), 0u);
    EXPECT_EQ(*std::max_element(wave + 512, wave + TPlayer::kWaveWords), 0u);
    player_.Stop();
    EXPECT_EQ(player_.GetTime(), TPlayer::kStoppedText);
    EXPECT_EQ(player_.Channel(), nullptr);
    EXPECT_EQ(player_.ByteLengthToTime(1000), "--:--");
}

TEST_F(PlayerNull, VolumeAndEffectSwitchKeepThePlace)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone.mp3")));
    ASSERT_TRUE(player_.Play());
    player_.SetVolume(80);
    EXPECT_EQ(player_.Volume(), 80);
    PullMs(2000);
    player_.Refresh();
    const qint64 before = player_.GetPosition();
    player_.RefreshEffect(0, true);
    ASSERT_TRUE(player_.Channel());
    EXPECT_TRUE(player_.EchoProcessor->Enabled());
    EXPECT_NE(player_.EchoProcessor->FX, 0u);
    player_.Refresh();
    EXPECT_NEAR(static_cast<double>(player_.GetPosition()), static_cast<double>(before), 4.0);
    EXPECT_TRUE(player_.Played());
    PullMs(800);
    EXPECT_NEAR(player_.Channel()->Volume(), 0.8, 1e-6) << "the volume came back";

    player_.Stop();
    player_.RefreshEffect(1, true);
    EXPECT_EQ(player_.Channel(), nullptr) << "switching an effect does not start a stopped file";
    EXPECT_TRUE(player_.Compressor->Enabled());
}

TEST_F(PlayerNull, EqualiserAndCompressorChangesReachThePlayingSound)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone1k.wav")));
    ASSERT_TRUE(player_.Play());
    player_.Channel()->SetVolume(1);
    const double dry = ToneLevel();
    EXPECT_NEAR(dry, -6.0, 0.2);

    for (int band = 0; band < TEqualizer::kBands; ++band)
        player_.Equalizer->ChangeBandGain(band, 15);
    player_.RefreshEffect(2, true);
    player_.Equalizer->ChangeBandGain(4, 3);
    EXPECT_NEAR(ToneLevel() - dry, 12.0, 1.0) << "the 1 kHz band's slider";
    player_.Equalizer->ChangeBandGain(4, 15);
    player_.Equalizer->ChangeBandGain(3, 0);
    const double narrow = ToneLevel();
    EXPECT_NEAR(narrow, dry, 1.0) << "a one-semitone band at 600 Hz spares 1 kHz";
    player_.Equalizer->SetPowerEQEnabled(true);
    EXPECT_GT(ToneLevel() - narrow, 2.0) << "power mode widens the 600 Hz band to 1 kHz";
    player_.RefreshEffect(2, false);
    EXPECT_NEAR(ToneLevel(), dry, 0.2);

    // −6 dB through threshold −20 dB at 4:1 comes out at −16.5 dB; at 2:1 at −13; with the
    // threshold at −10 dB at −8.
    player_.Compressor->SetLevel(-20);
    player_.Compressor->SetRatio(4);
    player_.RefreshEffect(1, true);
    EXPECT_NEAR(ToneLevel(), -16.5, 1.0);
    player_.Compressor->SetRatio(2);
    EXPECT_NEAR(ToneLevel(), -13.0, 1.0);
    player_.Compressor->SetLevel(-10);
    EXPECT_NEAR(ToneLevel(), -8.0, 1.0);
    player_.RefreshEffect(1, false);
    EXPECT_NEAR(ToneLevel(), dry, 0.2);
}

TEST_F(PlayerNull, EchoChangesReachThePlayingSound)
{
    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "clicks.wav")));
    ASSERT_TRUE(player_.Play());
    player_.Channel()->SetVolume(1);
    player_.EchoProcessor->SetDelay(50);
    player_.EchoProcessor->SetLevel(30);
    player_.RefreshEffect(0, true);
    // Whole seconds keep the pulls in step with the clicks: each period below starts with one.
    PullMs(1000);
    std::vector<float> period = PullMs(250);
    auto at = [&](double ms) { return period[static_cast<size_t>(ms * 44.1) * 2]; };
    EXPECT_NEAR(at(0), 0.8 * 0.7, 0.02);
    EXPECT_NEAR(at(50), 0.8 * 0.3, 0.02);

    // 120 ms: the repeats of the new delay stay clear of 50 ms after a click.
    player_.EchoProcessor->SetDelay(120);
    player_.EchoProcessor->SetLevel(10);
    PullMs(750);
    period = PullMs(250);
    EXPECT_NEAR(at(0), 0.8 * 0.9, 0.02);
    EXPECT_NEAR(at(120), 0.8 * 0.1, 0.02);
    EXPECT_NEAR(at(50), 0.0, 0.001) << "nothing at the old delay";

    player_.RefreshEffect(0, false);
    PullMs(750);
    period = PullMs(250);
    EXPECT_NEAR(at(0), 0.8, 1e-4);
    EXPECT_NEAR(at(120), 0.0, 1e-4);
}

TEST_F(PlayerNull, SoundProcSettingsAppliedBeforeTheFirstPlay)
{
    TSoundProcSettings settings;
    settings.EqEnabled = true;
    settings.Band[4] = 3; // +12 dB at 1 kHz
    settings.CompressorEnabled = true;
    settings.CompressorLevel = -20;
    settings.CompressorRatio = 4;
    ApplySoundProc(settings, *player_.Equalizer, *player_.EchoProcessor, *player_.Compressor);
    EXPECT_TRUE(player_.Equalizer->PowerEQEnabled()) << "the start switches the power on";

    ASSERT_TRUE(player_.OpenFile(Entry(dir_->path(), "tone1k.wav")));
    ASSERT_TRUE(player_.Play());
    player_.Channel()->SetVolume(1);
    // −6 dB raised to +6 dB, then −20 + 26 / 4.
    EXPECT_NEAR(ToneLevel(), -13.5, 1.0);

    settings.EqMode = static_cast<int>(TEqPreset::Bass); // 1 kHz band at 16: −1 dB
    settings.CompressorEnabled = false;
    ApplySoundProc(settings, *player_.Equalizer, *player_.EchoProcessor, *player_.Compressor);
    EXPECT_NEAR(ToneLevel(), -6.5, 1.5) << "applied again while playing";
}

TEST(Processors, DefaultsAndAttachment)
{
    TEqualizer eq;
    EXPECT_EQ(eq.vFrequency[9], 16000.0f);
    EXPECT_FALSE(eq.Enabled());
    TEchoProcessor echo;
    EXPECT_EQ(echo.Level(), 30.0f);
    EXPECT_EQ(echo.vFeedback, 50.0f);
    EXPECT_EQ(echo.Delay(), 1.0f);
    TCompressProcessor comp;
    EXPECT_EQ(comp.Level(), 0.0f);
    EXPECT_EQ(comp.Ratio(), 0.0f);

    QTemporaryDir dir;
    ASSERT_TRUE(MakeMedia(dir.filePath("t.wav"), TestSignal(1.0)));
    auto stream = std::make_shared<engine::Stream>(engine::Source::OpenFile(dir.filePath("t.wav")),
                                                   engine::OutputKind::Null);
    engine::EffectChain &chain = stream->GetSource().Effects();
    eq.SetChannel(stream);
    eq.vEnabled = true;
    eq.ChangeBandGain(4, 3);
    eq.SetPowerEQEnabled(true);
    EXPECT_EQ(chain.Count(), 10);
    ASSERT_TRUE(chain.Get(eq.FX[4]));
    const auto band = std::get<engine::EqParams>(*chain.Get(eq.FX[4]));
    EXPECT_EQ(band.center, 1000.0f);
    EXPECT_EQ(band.bandwidth, 12.0f);
    EXPECT_EQ(band.gain, 12.0f) << "gain = 15 - slider position";
    eq.Refresh();
    int live = 0;
    for (engine::FxHandle h : eq.FX)
        live += chain.Get(h) ? 1 : 0;
    EXPECT_EQ(live, 10) << "attaching again replaces the bands";

    echo.SetChannel(stream);
    echo.SetEnabled(true);
    echo.SetDelay(250);
    echo.SetLevel(40);
    const auto e = std::get<engine::EchoParams>(*chain.Get(echo.FX));
    EXPECT_EQ(e.leftDelay, 250.0f);
    EXPECT_EQ(e.rightDelay, 250.0f);
    EXPECT_EQ(e.wetDryMix, 40.0f);
    EXPECT_EQ(e.feedback, 50.0f);
    const engine::FxHandle old = echo.FX;
    echo.SetEnabled(false);
    EXPECT_FALSE(chain.Get(old));

    comp.SetChannel(stream);
    comp.SetLevel(-30);
    comp.SetRatio(5);
    comp.SetEnabled(true);
    const auto c = std::get<engine::CompressorParams>(*chain.Get(comp.FX));
    EXPECT_EQ(c.threshold, -30.0f);
    EXPECT_EQ(c.ratio, 5.0f);
    EXPECT_EQ(c.attack, 10.0f);
    EXPECT_EQ(c.release, 200.0f);
    EXPECT_EQ(c.predelay, 4.0f);

    stream.reset();
    comp.SetRatio(2); // the stream is gone: nothing to touch
    comp.SetChannel(nullptr);
    EXPECT_FALSE(comp.Enabled()) << "no channel switches the processor off";
}

TEST(RecordName, DayMonthYearHourMinuteSecond)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(23, 55, 1));
    EXPECT_EQ(RecordedStreamName(when), "07_12_26-23_55_01.mp3");
}

// End to end through SDL's disk driver, in real time: what the device got is in the file.
TEST(PlayerDisk, VolumeSlidesInAndPauseHolds)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath("out.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", raw.toUtf8());
    ASSERT_TRUE(
        MakeMedia(dir.filePath("dc.wav"),
                  {"-f", "lavfi", "-i", "aevalsrc=0.5|0.5:s=44100:d=3", "-c:a", "pcm_f32le"}));
    {
        TPlayer player;
        player.Init(engine::OutputKind::Device);
        ASSERT_TRUE(player.OpenFile(Entry(dir.path(), "dc.wav")));
        ASSERT_TRUE(player.Play());
        player.SetVolume(100);
        QThread::msleep(1000);
        player.Pause();
        QThread::msleep(400);
        player.Pause();
        QThread::msleep(300);
        player.Stop();
    }
    qunsetenv("SDL_AUDIODRIVER");
    const QByteArray bytes = ReadFile(raw);
    std::vector<float> s(static_cast<size_t>(bytes.size()) / sizeof(float));
    std::memcpy(s.data(), bytes.constData(), s.size() * sizeof(float));
    ASSERT_GT(s.size(), 44100u * 2);
    size_t start = 0;
    while (start < s.size() && s[start] == 0.0f)
        ++start;
    ASSERT_LT(start, s.size());
    auto at = [&](double seconds) { return s[start + static_cast<size_t>(seconds * 44100) * 2]; };
    EXPECT_NEAR(at(0.35), 0.25, 0.02) << "half way through the 700 ms slide";
    EXPECT_NEAR(at(0.8), 0.5, 0.01);
    // Pausing leaves silence in the file, resuming brings the sound back.
    size_t longestSilence = 0, run = 0;
    for (size_t i = start; i < s.size(); i += 2) {
        run = s[i] == 0.0f ? run + 1 : 0;
        longestSilence = std::max(longestSilence, run);
    }
    EXPECT_GT(longestSilence, 44100u * 3 / 10);
    EXPECT_NEAR(s[s.size() - 2 - static_cast<size_t>(44100 * 0.1) * 2], 0.5f, 0.01f)
        << "sound after the resume";
}

} // namespace
