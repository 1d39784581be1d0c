// Decoding, length and seeking of every format the player opens, against ffprobe and against
// the source's own linear decode.

#include "playback/engine/Source.h"
#include "tests/playback/Media.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <sys/stat.h>

using namespace vorlane;
using namespace vorlane::test;

namespace {

class SourceFormats : public ::testing::TestWithParam<MediaFormat> {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        for (const MediaFormat &f : WritableFormats())
            MakeMedia(Path(f.ext), TestSignal() + f.codecArgs);
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Path(const char *ext) { return dir_->filePath(QStringLiteral("tone.") + ext); }
    static QTemporaryDir *dir_;
};

QTemporaryDir *SourceFormats::dir_ = nullptr;

TEST_P(SourceFormats, LengthAgreesWithProbeAndDecode)
{
    const MediaFormat &f = GetParam();
    const QString path = Path(f.ext);
    ASSERT_TRUE(QFile::exists(path)) << "ffmpeg could not write " << f.ext;
    QString error;
    auto src = engine::Source::OpenFile(path, &error);
    ASSERT_TRUE(src) << error.toStdString();
    EXPECT_EQ(src->Rate(), 44100);
    EXPECT_EQ(src->Channels(), 2);

    const double probe = ProbeSeconds(path);
    const double frameSeconds = f.frameSize / 44100.0;
    EXPECT_NEAR(src->BytesToSeconds(src->Length()), probe, frameSeconds + 1e-3) << f.ext;

    const std::vector<float> all = DecodeAll(*src);
    const qint64 decodedBytes = static_cast<qint64>(all.size()) * 2;
    EXPECT_EQ(src->Length(), decodedBytes) << "the length becomes exact at the end";
    EXPECT_EQ(src->Position(), decodedBytes);
    EXPECT_NEAR(src->BytesToSeconds(decodedBytes), probe, frameSeconds + 1e-3) << f.ext;
    EXPECT_TRUE(src->AtEnd());
}

TEST_P(SourceFormats, SeeksLandOnTheExactSample)
{
    const MediaFormat &f = GetParam();
    auto linear = engine::Source::OpenFile(Path(f.ext));
    ASSERT_TRUE(linear);
    const std::vector<float> all = DecodeAll(*linear);
    const bool wma = QByteArray(f.ext) == "wma";

    auto src = engine::Source::OpenFile(Path(f.ext));
    ASSERT_TRUE(src);
    const int64_t totalFrames = static_cast<int64_t>(all.size() / 2);
    for (int64_t target : {totalFrames / 2 + 17, totalFrames / 5 + 3, int64_t(1000),
                           totalFrames - 4000, int64_t(0)}) {
        ASSERT_TRUE(src->SetPosition(target * 4)) << f.ext << " to " << target;
        EXPECT_EQ(src->Position(), target * 4);
        std::vector<float> got(2048 * 2);
        ASSERT_EQ(src->Read(got.data(), 2048), 2048);
        if (wma)
            continue; // its timestamps are only good to ~90 ms
        double worst = 0;
        for (size_t i = 0; i < got.size(); ++i)
            worst = std::max(worst,
                             std::fabs(double(got[i]) - all[static_cast<size_t>(target) * 2 + i]));
        // A sample off on these signals differs by more than 0.01; decoder state after a
        // seek may differ in the last bits.
        EXPECT_LT(worst, 2e-3) << f.ext << " at frame " << target;
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, SourceFormats, ::testing::ValuesIn(WritableFormats()),
                         [](const auto &p) { return std::string(p.param.ext); });

TEST(Source, CraftedLayerOneDecodesAndSeeks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("crafted.mp1");
    ASSERT_TRUE(WriteMp1(path, 250));
    auto src = engine::Source::OpenFile(path);
    ASSERT_TRUE(src);
    EXPECT_EQ(src->Rate(), 32000);
    EXPECT_EQ(src->Channels(), 1);
    EXPECT_NEAR(src->BytesToSeconds(src->Length()), ProbeSeconds(path), 384.0 / 32000);
    const std::vector<float> all = DecodeAll(*src);
    EXPECT_EQ(static_cast<qint64>(all.size()), 250 * 384);
    float peak = 0;
    for (float v : all)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.05f) << "the crafted frames carry sound";

    ASSERT_TRUE(src->SetPosition(30011 * 2));
    std::vector<float> got(1000);
    ASSERT_EQ(src->Read(got.data(), 1000), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_NEAR(got[i], all[30011 + i], 1e-4) << i;
}

TEST(Source, RefusesWhatIsNotAudio)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(engine::Source::OpenFile(dir.filePath("missing.mp3"), &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(WriteFile(dir.filePath("empty.mp3"), {}));
    EXPECT_FALSE(engine::Source::OpenFile(dir.filePath("empty.mp3")));
    ASSERT_TRUE(WriteFile(dir.filePath("text.ogg"),
                          QByteArray("just some words, not a sound\n").repeated(50)));
    EXPECT_FALSE(engine::Source::OpenFile(dir.filePath("text.ogg")));
    // Opening a FIFO would wait for a writer, forever.
    const QString fifo = dir.filePath("fifo.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(engine::Source::OpenFile(fifo, &error));
    EXPECT_TRUE(error.endsWith("not a regular file")) << error.toStdString();
}

// Truncated and damaged files either fail to open or end: never crash, never hang.
TEST(Source, DamagedFilesFailCleanly)
{
    QTemporaryDir dir;
    for (const MediaFormat &f : WritableFormats()) {
        const QString good = dir.filePath(QStringLiteral("good.") + f.ext);
        ASSERT_TRUE(MakeMedia(good, TestSignal(1.0) + f.codecArgs));
        const QByteArray bytes = ReadFile(good);
        QByteArray noisy = bytes;
        uint32_t seed = 7;
        for (qsizetype i = noisy.size() / 4; i < noisy.size(); i += 97) {
            seed = seed * 1664525u + 1013904223u;
            noisy[i] = static_cast<char>(seed >> 24);
        }
        const QList<QByteArray> damaged = {bytes.left(bytes.size() * 2 / 5), bytes.left(64), noisy};
        for (const QByteArray &b : damaged) {
            const QString path = dir.filePath(QStringLiteral("bad.") + f.ext);
            ASSERT_TRUE(WriteFile(path, b));
            auto src = engine::Source::OpenFile(path);
            if (!src)
                continue;
            const std::vector<float> all = DecodeAll(*src);
            EXPECT_TRUE(src->AtEnd()) << f.ext;
            EXPECT_LE(all.size(), size_t(44100 * 2 * 2)) << f.ext;
            EXPECT_FALSE(src->SetPosition(src->Length() + 4096)) << "no seek past the end";
        }
    }
}

} // namespace
