// The playable stream on the null output: volume slides, pause, positions, analysis data.

#include "playback/engine/Stream.h"
#include "tests/playback/Media.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <cstring>

using namespace vorlane;
using namespace vorlane::engine;
using namespace vorlane::test;

namespace {

class StreamNull : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A full-scale 1 kHz sine, 1 s, stereo.
        path_ = dir_.filePath("sine.wav");
        ASSERT_TRUE(MakeMedia(path_, {"-f", "lavfi", "-i",
                                      "aevalsrc=sin(2*PI*1000*t)|sin(2*PI*1000*t):s=44100:d=1",
                                      "-c:a", "pcm_f32le"}));
        auto src = Source::OpenFile(path_);
        ASSERT_TRUE(src);
        stream_ = std::make_unique<Stream>(std::move(src), OutputKind::Null);
    }
    std::vector<float> Pull(int frames)
    {
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        stream_->Pull(out.data(), frames);
        return out;
    }
    static float Peak(const std::vector<float> &s, size_t from, size_t to)
    {
        float p = 0;
        for (size_t i = from; i < to; ++i)
            p = std::max(p, std::fabs(s[i]));
        return p;
    }
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<Stream> stream_;
};

TEST_F(StreamNull, VolumeSlidesLinearly)
{
    ASSERT_TRUE(stream_->Play());
    stream_->SetVolume(0);
    stream_->SlideVolume(1.0f, 700);
    EXPECT_TRUE(stream_->VolumeSliding());
    const std::vector<float> first = Pull(44100 * 350 / 1000);
    EXPECT_NEAR(stream_->Volume(), 0.5, 0.01) << "half way after 350 ms";
    EXPECT_LT(Peak(first, 0, 200), 0.01f);
    Pull(44100 * 400 / 1000);
    EXPECT_FLOAT_EQ(stream_->Volume(), 1.0f);
    EXPECT_FALSE(stream_->VolumeSliding());
}

TEST_F(StreamNull, PausedStreamGivesSilenceAndKeepsItsPlace)
{
    ASSERT_TRUE(stream_->Play());
    Pull(4410);
    const qint64 at = stream_->Position();
    EXPECT_EQ(at, 4410 * 4);
    stream_->Pause();
    EXPECT_EQ(stream_->State(), StreamState::Paused);
    EXPECT_EQ(Peak(Pull(1000), 0, 2000), 0.0f);
    EXPECT_EQ(stream_->Position(), at);
    ASSERT_TRUE(stream_->Play());
    EXPECT_GT(Peak(Pull(1000), 0, 2000), 0.9f);
}

TEST_F(StreamNull, EndsOnceAtTheLengthAndCannotRestart)
{
    ASSERT_TRUE(stream_->Play());
    for (int i = 0; i < 100 && !stream_->Ended(); ++i)
        Pull(1024);
    EXPECT_TRUE(stream_->Ended());
    EXPECT_EQ(stream_->State(), StreamState::Stopped);
    EXPECT_EQ(stream_->Position(), stream_->Length());
    EXPECT_EQ(stream_->Length(), 44100 * 4);
    EXPECT_FALSE(stream_->Play());
    ASSERT_TRUE(stream_->SetPosition(44100 * 2));
    EXPECT_TRUE(stream_->Play()) << "a seek back makes it playable again";
}

TEST_F(StreamNull, AnalysisOfAFullScaleSine)
{
    ASSERT_TRUE(stream_->Play());
    Pull(4096);
    const uint32_t level = stream_->Level();
    EXPECT_NEAR(static_cast<int>(level & 0xFFFF), 32768, 40);
    EXPECT_NEAR(static_cast<int>(level >> 16), 32768, 40);

    std::vector<float> bins(Stream::kFftBins);
    ASSERT_TRUE(stream_->Spectrum(bins.data()));
    const auto peak = std::max_element(bins.begin(), bins.end());
    EXPECT_EQ(peak - bins.begin(), 46) << "1 kHz at 44.1 kHz / 2048 points";
    EXPECT_NEAR(*peak, 1.0f, 0.2f);
    EXPECT_LT(bins[200], 0.001f);

    char wave[Stream::kWaveBytes];
    ASSERT_TRUE(stream_->Wave(wave));
    int16_t samples[Stream::kWaveBytes / 2];
    std::memcpy(samples, wave, sizeof samples);
    int16_t top = 0;
    for (int16_t v : samples)
        top = std::max(top, v);
    EXPECT_GT(top, 32000);
    EXPECT_EQ(samples[0], samples[1]) << "both channels carry the same sine";

    stream_->Pause();
    EXPECT_EQ(stream_->Level(), 0u);
    EXPECT_FALSE(stream_->Spectrum(bins.data()));
}

TEST_F(StreamNull, SeekWhilePlayingMovesThePosition)
{
    ASSERT_TRUE(stream_->Play());
    Pull(1000);
    ASSERT_TRUE(stream_->SetPosition(30000 * 4 + 3)); // rounded down to a whole frame
    EXPECT_EQ(stream_->Position(), 30000 * 4);
    Pull(1000);
    EXPECT_EQ(stream_->Position(), 31000 * 4);
    EXPECT_FALSE(stream_->SetPosition(44100 * 4 * 3)) << "beyond the end once the length is exact";
}

} // namespace
