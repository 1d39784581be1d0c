// vorlane-cli play, render and info, run as a program.

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

using namespace vorlane;

namespace {

using test::CliResult;
using test::RunCli;

// The float samples of a WAV written by render (header of 58 bytes).
std::vector<float> WavSamples(const QString &path)
{
    const QByteArray b = test::ReadFile(path);
    const qsizetype data = b.indexOf("data");
    if (data < 0)
        return {};
    std::vector<float> s(static_cast<size_t>(b.size() - data - 8) / 4);
    std::memcpy(s.data(), b.constData() + data + 8, s.size() * 4);
    return s;
}

double Peak(const std::vector<float> &s, size_t from, size_t to)
{
    double p = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        p = std::max(p, std::fabs(double(s[i])));
    return p;
}

class CliPlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        test::MakeMedia(dir_->filePath("tone.mp3"),
                        {"-f", "lavfi", "-i",
                         "aevalsrc=0.5*sin(2*PI*1000*t)|0.5*sin(2*PI*1000*t):s=44100:d=4", "-c:a",
                         "libmp3lame", "-b:a", "192k"});
        test::MakeMedia(dir_->filePath("tone.wav"),
                        {"-f", "lavfi", "-i", "aevalsrc=0.5*sin(2*PI*1000*t):s=44100:d=4", "-c:a",
                         "pcm_f32le"});
    }
    static void TearDownTestSuite() { delete dir_; }
    static QTemporaryDir *dir_;
};

QTemporaryDir *CliPlayback::dir_ = nullptr;

TEST_F(CliPlayback, InfoPrintsLengthRateChannelsAndBitRate)
{
    CliResult r = RunCli({"info", "--json", dir_->filePath("tone.mp3")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o.keys(), QStringList({"bitrate", "bytes", "channels", "rate", "seconds"}));
    EXPECT_EQ(o["bytes"].toInteger(), 44100 * 4 * 4);
    EXPECT_DOUBLE_EQ(o["seconds"].toDouble(), 4.0);
    EXPECT_EQ(o["rate"].toInt(), 44100);
    EXPECT_EQ(o["channels"].toInt(), 2);
    EXPECT_NEAR(o["bitrate"].toInt(), 192, 6);

    r = RunCli({"info", dir_->filePath("tone.wav")});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "bytes: 352800\nseconds: 4.000\nrate: 44100\nchannels: 1\nbitrate: 1411\n");
}

TEST_F(CliPlayback, UnopenableSourcesExitOneWithOneLine)
{
    for (const QString &cmd : {QStringLiteral("info"), QStringLiteral("play")}) {
        const CliResult r = RunCli({cmd, dir_->filePath("missing.mp3")});
        EXPECT_EQ(r.code, 1) << cmd.toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const CliResult r = RunCli({"render", dir_->filePath("missing.mp3"), dir_->filePath("o.wav")});
    EXPECT_EQ(r.code, 1);
    ASSERT_TRUE(test::WriteFile(dir_->filePath("noise.ogg"), QByteArray(5000, '\x5a')));
    const CliResult noise = RunCli({"info", dir_->filePath("noise.ogg")});
    EXPECT_EQ(noise.code, 1);
    EXPECT_EQ(noise.err.count(u'\n'), 1) << noise.err.toStdString();
    EXPECT_EQ(RunCli({"render", dir_->filePath("tone.wav")}).code, 2) << "no output named";
    EXPECT_EQ(RunCli({"play", dir_->filePath("tone.wav"), "--tempo", "150"}).code, 2);
    EXPECT_EQ(RunCli({"render", dir_->filePath("tone.wav"), "x.wav", "--eq", "1,2,3"}).code, 2);
}

TEST_F(CliPlayback, RenderAppliesTheChainToTheChosenSpan)
{
    const QString out = dir_->filePath("out.wav");
    CliResult r =
        RunCli({"render", dir_->filePath("tone.wav"), out, "--from", "1", "--seconds", "2"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    std::vector<float> dry = WavSamples(out);
    EXPECT_EQ(dry.size(), 88200u);
    EXPECT_NEAR(Peak(dry, 0, dry.size()), 0.5, 0.01);

    // +6 dB at 1 kHz doubles the tone.
    r = RunCli({"render", dir_->filePath("tone.wav"), out, "--seconds", "2", "--eq",
                "0,0,0,0,6,0,0,0,0,0"});
    ASSERT_EQ(r.code, 0);
    EXPECT_NEAR(Peak(WavSamples(out), 22050, 88200), 1.0, 0.06);

    // Threshold −20 dB, ratio 4 on a −6 dB tone: about −16.5 dB, a peak near 0.15.
    r = RunCli(
        {"render", dir_->filePath("tone.wav"), out, "--seconds", "2", "--compressor", "-20,4"});
    ASSERT_EQ(r.code, 0);
    EXPECT_NEAR(20 * std::log10(Peak(WavSamples(out), 44100, 88200)), -16.5, 1.5);

    r = RunCli({"render", dir_->filePath("tone.wav"), out, "--tempo", "100"});
    ASSERT_EQ(r.code, 0);
    EXPECT_NEAR(WavSamples(out).size() / 44100.0, 2.0, 0.05) << "double tempo, half the time";

    r = RunCli({"render", dir_->filePath("tone.wav"), out, "--seconds", "1", "--echo", "30,100"});
    ASSERT_EQ(r.code, 0);
    // 100 ms is a whole number of periods: the repeats (feedback 50 %) add up in phase to twice
    // the tone, so 70 % dry + 30 % of that gives 0.35 + 0.3 = 0.65.
    EXPECT_NEAR(Peak(WavSamples(out), 22050, 44100), 0.65, 0.01);
}

TEST_F(CliPlayback, RenderToAPipeIsTheFileItWritesAndNeverItsSource)
{
    const QString out = dir_->filePath("piped.wav");
    const QStringList effects = {"--tempo", "20", "--echo", "30,100"};
    ASSERT_EQ(RunCli(QStringList{"render", dir_->filePath("tone.mp3"), out} + effects).code, 0);
    const QByteArray file = test::ReadFile(out);
    QByteArray piped;
    ASSERT_EQ(test::Run(qEnvironmentVariable("VORLANE_CLI"),
                        QStringList{"render", dir_->filePath("tone.mp3"), "/dev/stdout"} + effects,
                        &piped),
              0);
    EXPECT_EQ(piped.size(), file.size());
    EXPECT_TRUE(piped == file) << "the file's header is written last, over its place";
    uint32_t dataBytes = 0;
    std::memcpy(&dataBytes, file.constData() + 54, 4);
    EXPECT_EQ(dataBytes, uint32_t(file.size() - 58));

    // The output is written while the source is read: rendering a file onto itself would
    // destroy it.
    const QByteArray source = test::ReadFile(dir_->filePath("tone.wav"));
    const CliResult self =
        RunCli({"render", dir_->filePath("tone.wav"), dir_->filePath("tone.wav")});
    EXPECT_EQ(self.code, 1);
    EXPECT_TRUE(test::ReadFile(dir_->filePath("tone.wav")) == source);
}

TEST_F(CliPlayback, PlayPrintsTheStatusOnceASecond)
{
    const CliResult r =
        RunCli({"play", dir_->filePath("tone.mp3"), "--seconds", "2.2", "--echo", "30,100"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // One status line a second: how many fit in 2.2 s depends on the machine's load, their form
    // and order do not.
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 1) << r.out.toStdString();
    ASSERT_LE(lines.size(), 3) << r.out.toStdString();
    static const QRegularExpression status(QStringLiteral("^00:04\\\\00:0[0-2]$"));
    for (const QString &line : lines)
        EXPECT_TRUE(status.match(line).hasMatch()) << line.toStdString();
    EXPECT_GE(lines.last(), lines.first());
}

} // namespace

namespace {

TEST_F(CliPlayback, InfoOfAnAddress)
{
    test::HttpServer server(dir_->path());
    ASSERT_TRUE(server.Ok());
    CliResult r = RunCli({"info", "--json", server.Url("tone.mp3")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_NEAR(o["seconds"].toDouble(), 4.0, 0.03);
    EXPECT_EQ(o["rate"].toInt(), 44100);
    r = RunCli({"info", server.Url("missing.mp3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.count(u'\n'), 1);
}

} // namespace
