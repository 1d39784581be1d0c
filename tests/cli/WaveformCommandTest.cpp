// vorlane-cli waveform, run as a program.

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>

using namespace vorlane;

namespace {

using test::RunCli;

class CliWaveform : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        // Square waves: the left channel at half scale, the right at a quarter.
        test::MakeMedia(File(),
                        {"-f", "lavfi", "-i",
                         "aevalsrc=0.5*sgn(sin(2*PI*500*t))|0.25*sgn(sin(2*PI*500*t)):s=44100:d=4",
                         "-c:a", "pcm_f32le"});
    }
    static void TearDownTestSuite() { delete dir_; }
    static QString File() { return dir_->filePath("halves.wav"); }
    static QTemporaryDir *dir_;
};

QTemporaryDir *CliWaveform::dir_ = nullptr;

TEST_F(CliWaveform, JsonHoldsTopFromTheLeftAndBottomFromTheRight)
{
    const auto r = RunCli({"waveform", File(), "--width", "40", "--json"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["width"].toInt(), 40);
    EXPECT_EQ(o["height"].toInt(), 60);
    const QJsonArray columns = o["columns"].toArray();
    ASSERT_EQ(columns.size(), 40);
    // Level words less one, over 32766, times half the height: half scale 16383 → exactly 15;
    // a quarter 8191 → 7.4995, truncated.
    EXPECT_EQ(columns[0].toArray()[0].toInt(), 15);
    EXPECT_EQ(columns[0].toArray()[1].toInt(), 7);
}

TEST_F(CliWaveform, PngAloneWritesTheImageAndPrintsNothing)
{
    const QString png = dir_->filePath("strip.png");
    const auto r = RunCli({"waveform", File(), "--png", png, "--height", "30"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    // The PNG header's IHDR chunk: width and height, big-endian, from byte 16.
    const QByteArray bytes = test::ReadFile(png);
    ASSERT_GE(bytes.size(), 24);
    EXPECT_TRUE(bytes.startsWith("\x89PNG"));
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 16), 800u);
    EXPECT_EQ(qFromBigEndian<quint32>(bytes.constData() + 20), 30u);
}

TEST_F(CliWaveform, RefusesBadNumbersAndMissingFiles)
{
    for (const char *bad : {"0", "-3", "1.5", "nan", "inf", "1e9", "16385", ""})
        EXPECT_EQ(RunCli({"waveform", File(), "--width", bad}).code, 2) << bad;
    EXPECT_EQ(RunCli({"waveform", File(), "--height", "4097"}).code, 2);
    EXPECT_EQ(RunCli({"waveform", File(), "--width"}).code, 2);
    const auto missing = RunCli({"waveform", dir_->filePath("none.mp3")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err.count(u'\n'), 1) << "one line";
}

} // namespace
