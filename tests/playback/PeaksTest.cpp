// The waveform overview: the analysis, the peaks image and one analysis at a time.

#include "playback/Peaks.h"
#include "base/PlayerRules.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

using namespace vorlane;
using namespace vorlane::test;

namespace {

class Peaks : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        // A full-scale square wave: every 20 ms peak is the largest level.
        const QString square = QStringLiteral("if(lt(mod(t*500\\,1)\\,0.5)\\,1\\,-1)");
        MakeMedia(Path("full.wav"),
                  {"-f", "lavfi", "-i", QStringLiteral("aevalsrc=%1|%1:s=44100:d=3").arg(square),
                   "-c:a", "pcm_s16le"});
        // 150 frames: 600 bytes, fewer than the strip's 800 columns.
        MakeMedia(Path("short.wav"), {"-f", "lavfi", "-i",
                                      QStringLiteral("aevalsrc=%1|%1:s=44100:d=0.0034").arg(square),
                                      "-c:a", "pcm_s16le"});
        MakeMedia(Path("long.wav"), {"-f", "lavfi", "-i", "sine=frequency=440:duration=60", "-ac",
                                     "2", "-c:a", "pcm_s16le"});
    }
    static void TearDownTestSuite() { delete dir_; }
    static QString Path(const char *name) { return dir_->filePath(name); }

    // Columns drawn in the line colour from the top edge to the bottom edge.
    static int FullColumns(const QImage &img, const TPeaksColors &c = {})
    {
        int n = 0;
        for (int x = 0; x < img.width(); ++x) {
            int y = 0;
            while (y < img.height() && img.pixel(x, y) == c.line.rgb())
                ++y;
            n += y == img.height();
        }
        return n;
    }
    // Pixels of the image in the line colour.
    static int LinePixels(const QImage &img, const TPeaksColors &c = {})
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += img.pixel(x, y) == c.line.rgb();
        return n;
    }
    static QTemporaryDir *dir_;
};

QTemporaryDir *Peaks::dir_ = nullptr;

TEST_F(Peaks, FullScaleDrawsFromEdgeToEdge)
{
    const auto peaks = AnalysePeaks(Path("full.wav"), QSize(200, 60));
    ASSERT_TRUE(peaks);
    EXPECT_TRUE(peaks->complete);
    EXPECT_EQ(peaks->columns.front(), std::make_pair(30, 30));
    // Each column measures 200 ms from its place: only the last 13 of 3 s run out of sound.
    EXPECT_GE(FullColumns(DrawPeaks(*peaks)), 186);
}

TEST_F(Peaks, ACancelledAnalysisLeavesOnlyTheCentreLine)
{
    const std::atomic<bool> stop{true};
    const auto peaks = AnalysePeaks(Path("full.wav"), QSize(200, 60), &stop);
    ASSERT_TRUE(peaks);
    EXPECT_FALSE(peaks->complete);
    const QImage img = DrawPeaks(*peaks);
    EXPECT_EQ(LinePixels(img), 200);
    EXPECT_EQ(img.pixel(0, 29), TPeaksColors{}.line.rgb()) << "the centre line is at half − 1";
}

TEST_F(Peaks, AFileShorterThanTheStripIsMeasuredAtItsStartAndHasNoCursor)
{
    const auto peaks = AnalysePeaks(Path("short.wav"), QSize(800, 60));
    ASSERT_TRUE(peaks);
    EXPECT_GT(peaks->columns.front().first, 0);
    EXPECT_EQ(peaks->columns.back(), peaks->columns.front()) << "every column seeks to 0";
    EXPECT_EQ(PeaksCursorColumn(0, 600, 800), std::nullopt);
    EXPECT_EQ(AnalysePeaks(Path("missing.wav"), QSize(800, 60)), nullptr);
}

TEST_F(Peaks, ACancelledAnalysisNeverReachesTheNextOne)
{
    TPeakAnalysis analysis;
    int finished = 0;
    QObject::connect(&analysis, &TPeakAnalysis::finished, [&] { ++finished; });
    ASSERT_TRUE(analysis.Start(Path("long.wav"), "long", QSize(800, 60)));
    EXPECT_FALSE(analysis.Start(Path("full.wav"), "full", QSize(200, 60)))
        << "one analysis at a time";
    analysis.Cancel();
    EXPECT_FALSE(analysis.Running());
    EXPECT_EQ(LinePixels(analysis.Image()), 800) << "the blank strip with its centre line";

    ASSERT_TRUE(analysis.Start(Path("full.wav"), "full", QSize(200, 60)));
    QEventLoop loop;
    QObject::connect(&analysis, &TPeakAnalysis::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    // Let a late finish of the cancelled worker arrive, if it were to.
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(analysis.Running());
    ASSERT_TRUE(analysis.Peaks());
    EXPECT_EQ(analysis.Peaks()->width, 200);
    EXPECT_GE(FullColumns(analysis.Image()), 186);
}

} // namespace
