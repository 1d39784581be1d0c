// The effects and the tempo stage measured on rendered sound (null output, faster than real time).

#include "playback/engine/Stream.h"
#include "tests/playback/Media.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <functional>

using namespace vorlane;
using namespace vorlane::engine;
using namespace vorlane::test;

namespace {

class Effects : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        for (int hz : {250, 1000, 4000, 200})
            MakeMedia(Tone(hz), {"-f", "lavfi", "-i",
                                 QStringLiteral("aevalsrc=0.5*sin(2*PI*%1*t):s=44100:d=2").arg(hz),
                                 "-c:a", "pcm_f32le"});
        MakeMedia(dir_->filePath("impulse.wav"),
                  {"-f", "lavfi", "-i", "aevalsrc=if(eq(n\\,4410)\\,0.8\\,0):s=44100:d=1", "-c:a",
                   "pcm_f32le"});
    }
    static void TearDownTestSuite() { delete dir_; }
    static QString Tone(int hz) { return dir_->filePath(QStringLiteral("tone%1.wav").arg(hz)); }

    // Renders a file through a null-output stream; `each` runs before every pull of 1024 frames.
    static std::vector<float> Render(const QString &path,
                                     const std::function<void(Stream &)> &setup,
                                     const std::function<void(Stream &, int64_t)> &each = {})
    {
        auto src = Source::OpenFile(path);
        EXPECT_TRUE(src);
        if (!src)
            return {};
        Stream s(std::move(src), OutputKind::Null);
        setup(s);
        EXPECT_TRUE(s.Play());
        std::vector<float> out, buf(1024 * static_cast<size_t>(s.Channels()));
        for (int64_t pulled = 0; !s.Ended() && pulled < 44100 * 20; pulled += 1024) {
            if (each)
                each(s, pulled);
            s.Pull(buf.data(), 1024);
            out.insert(out.end(), buf.begin(), buf.end());
        }
        return out;
    }
    static double Db(const std::vector<float> &s, double hz)
    {
        // Skip the first half second (ramps, envelopes) and measure the steady part.
        const std::vector<float> steady(s.begin() + 22050, s.begin() + 22050 + 44100);
        return ToneDb(steady, 1, 44100, hz);
    }
    static QTemporaryDir *dir_;
};

QTemporaryDir *Effects::dir_ = nullptr;

TEST_F(Effects, EqBandRaisesItsCentreAndSparesTwoOctavesAway)
{
    const EqParams band{1000.0f, 12.0f, 12.0f};
    auto withBand = [&](Stream &s) { s.GetSource().Effects().Attach(band, 1); };
    auto none = [](Stream &) {};
    EXPECT_NEAR(Db(Render(Tone(1000), withBand), 1000) - Db(Render(Tone(1000), none), 1000), 12.0,
                1.0);
    EXPECT_NEAR(Db(Render(Tone(250), withBand), 250) - Db(Render(Tone(250), none), 250), 0.0, 1.0);
    EXPECT_NEAR(Db(Render(Tone(4000), withBand), 4000) - Db(Render(Tone(4000), none), 4000), 0.0,
                1.0);
}

TEST_F(Effects, EchoCopiesTheImpulseAtItsDelayWithItsMix)
{
    const EchoParams echo{30.0f, 50.0f, 100.0f, 100.0f, false};
    const std::vector<float> out = Render(
        dir_->filePath("impulse.wav"), [&](Stream &s) { s.GetSource().Effects().Attach(echo, 2); });
    ASSERT_GT(out.size(), 4410u + 8820u + 1);
    // The echo fades in over its first 20 ms, long before the impulse at 100 ms.
    EXPECT_NEAR(out[4410], 0.8 * 0.7, 1e-4);
    EXPECT_NEAR(out[4410 + 4410], 0.8 * 0.3, 1e-4);
    EXPECT_NEAR(out[4410 + 8820], 0.8 * 0.3 * 0.5, 1e-4) << "feedback repeats at half";
    EXPECT_NEAR(out[4410 + 2205], 0.0, 1e-6);
}

TEST_F(Effects, CompressorLowersALoudToneByTheRatio)
{
    // The tone stands at −6 dB; threshold −20 dB, ratio 4: −20 + 14 / 4 = −16.5 dB.
    const CompressorParams comp{0.0f, 10.0f, 200.0f, -20.0f, 4.0f, 4.0f};
    const double dry = Db(Render(Tone(1000), [](Stream &) {}), 1000);
    const double wet =
        Db(Render(Tone(1000), [&](Stream &s) { s.GetSource().Effects().Attach(comp, 3); }), 1000);
    EXPECT_NEAR(dry, -6.0, 0.2);
    EXPECT_NEAR(dry - wet, 10.5, 1.5);
}

TEST_F(Effects, TempoShortensAndKeepsThePitch)
{
    const std::vector<float> normal = Render(Tone(1000), [](Stream &) {});
    const std::vector<float> fast = Render(Tone(1000), [](Stream &s) { s.SetTempo(50); });
    const double ratio = static_cast<double>(fast.size()) / normal.size();
    EXPECT_NEAR(ratio, 2.0 / 3.0, 2.0 / 3.0 * 0.02);
    // The tone is still at 1 kHz: its level there is that of the original, ±1 dB.
    const std::vector<float> mid(fast.begin() + 8192, fast.begin() + 8192 + 32768);
    EXPECT_NEAR(ToneDb(mid, 1, 44100, 1000), -6.0, 1.0);
    EXPECT_LT(ToneDb(mid, 1, 44100, 1500), -40.0);
}

TEST_F(Effects, SwitchingWhilePlayingLeavesNoStep)
{
    // A 200 Hz tone at half scale moves at most 0.5·2π·200/44100 ≈ 0.0142 per sample. Effects
    // switched in and out must not add a step larger than the signal's own.
    const double ownStep = 0.5 * 2 * M_PI * 200 / 44100;
    std::vector<FxHandle> handles;
    const std::vector<float> out = Render(
        Tone(200), [](Stream &) {},
        [&](Stream &s, int64_t pulled) {
            EffectChain &fx = s.GetSource().Effects();
            switch (pulled / 1024) {
            case 4: handles.push_back(fx.Attach(EqParams{200.0f, 12.0f, 6.0f}, 1)); break;
            case 10:
                handles.push_back(fx.Attach(EchoParams{40.0f, 0.0f, 37.0f, 37.0f, false}, 2));
                break;
            case 16:
                handles.push_back(fx.Attach(CompressorParams{0, 10, 200, -20, 4, 4}, 3));
                break;
            case 22: fx.Set(handles[0], EqParams{200.0f, 12.0f, -6.0f}); break;
            case 28: fx.Set(handles[1], EchoParams{40.0f, 0.0f, 80.0f, 80.0f, false}); break;
            case 31: fx.Set(handles[2], CompressorParams{0, 10, 200, -60, 10, 4}); break;
            case 34: fx.Remove(handles[1]); break;
            case 40: fx.Remove(handles[0]); break;
            case 46: fx.Remove(handles[2]); break;
            default: break;
            }
        });
    double worst = 0;
    size_t at = 0;
    for (size_t i = 1; i < out.size(); ++i) {
        if (std::fabs(double(out[i]) - out[i - 1]) > worst) {
            worst = std::fabs(double(out[i]) - out[i - 1]);
            at = i;
        }
    }
    SCOPED_TRACE(testing::Message() << "worst step at frame " << at);
    // +6 dB on the tone doubles its step; nothing may go beyond that.
    EXPECT_LT(worst, ownStep * 2.1);
}

TEST(EffectChain, KeepsPriorityOrderAndForgetsRemovedHandles)
{
    EffectChain chain(44100, 2);
    const FxHandle comp = chain.Attach(CompressorParams{}, 3);
    const FxHandle eq = chain.Attach(EqParams{}, 1);
    EXPECT_NE(comp, eq);
    ASSERT_TRUE(chain.Get(eq));
    EXPECT_TRUE(std::holds_alternative<EqParams>(*chain.Get(eq)));
    EXPECT_FALSE(chain.Set(eq, EchoParams{})) << "parameters of another effect type";
    EXPECT_TRUE(chain.Set(eq, EqParams{500, 12, 3}));
    EXPECT_EQ(std::get<EqParams>(*chain.Get(eq)).gain, 3.0f);
    EXPECT_TRUE(chain.Remove(eq));
    EXPECT_FALSE(chain.Get(eq));
    EXPECT_FALSE(chain.Remove(eq));
    std::vector<float> buf(44100 * 2, 0.1f);
    chain.Process(buf.data(), 44100);
    EXPECT_EQ(chain.Count(), 1) << "the removed band left after fading out";
}

} // namespace
