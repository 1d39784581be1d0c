#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

using test::CliResult;
using test::RunCli;

QJsonObject showJson(const QString &file)
{
    const CliResult r = RunCli({"tags", "show", "--json", file});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith('\n'));
    EXPECT_EQ(r.out.count('\n'), 1);
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

QByteArray mpegAudio()
{
    return test::FakeMpegAudio(4);
}

QByteArray wave()
{
    const QByteArray fmt("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16);
    const QByteArray body =
        "WAVEfmt " + test::Le32(16) + fmt + "data" + test::Le32(400) + QByteArray(400, '\x07');
    return "RIFF" + test::Le32(uint32_t(body.size())) + body;
}

class CliTags : public ::testing::Test {
protected:
    QString put(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFile(path, bytes));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(CliTags, SetThenShowAsJson)
{
    const QString mp3 = put("a.mp3", mpegAudio());
    CliResult r = RunCli({"tags", "set", "--title", "Song \"One\" \\ ü", "--artist", "Band",
                          "--track", "3/12", "--year", "2001", mp3});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = showJson(mp3);
    EXPECT_EQ(o.value("file").toString(), mp3);
    EXPECT_TRUE(o.value("v1").isNull());
    const QJsonObject v2 = o.value("v2").toObject();
    EXPECT_EQ(v2.value("version").toString(), "2.3");
    EXPECT_EQ(v2.value("title").toString(), "Song \"One\" \\ ü");
    EXPECT_EQ(v2.value("artist").toString(), "Band");
    EXPECT_EQ(v2.value("album").toString(), "");
    EXPECT_EQ(v2.value("track").toString(), "3/12");
    EXPECT_EQ(v2.value("year").toString(), "2001");
    const QJsonArray frames = v2.value("frames").toArray();
    ASSERT_EQ(frames.size(), 4);
    EXPECT_EQ(frames[0].toObject().value("id").toString(), "TIT2");
    EXPECT_EQ(frames[1].toObject().value("size").toInt(), 13); // 01 FF FE, "Band", 00 00
    EXPECT_TRUE(v2.value("pictures").toArray().isEmpty());
    EXPECT_TRUE(test::ReadFile(mp3).endsWith(mpegAudio()));

    // Empty fields leave the tag alone.
    r = RunCli({"tags", "set", "--artist", "", "--album", "Album", mp3});
    ASSERT_EQ(r.code, 0);
    const QJsonObject again = showJson(mp3).value("v2").toObject();
    EXPECT_EQ(again.value("artist").toString(), "Band");
    EXPECT_EQ(again.value("album").toString(), "Album");
}

TEST_F(CliTags, Version1AndCopies)
{
    const QString mp3 = put("a.mp3", mpegAudio());
    ASSERT_EQ(RunCli({"tags", "set", "--v1", "--title", "V1 title", "--track", "7", "--genre",
                      "Rock", mp3})
                  .code,
              0);
    QJsonObject v1 = showJson(mp3).value("v1").toObject();
    EXPECT_EQ(v1.value("title").toString(), "V1 title");
    EXPECT_EQ(v1.value("track").toInt(), 7);
    EXPECT_EQ(v1.value("genre").toString(), "Rock");
    EXPECT_EQ(v1.value("comment").toString(), "");

    ASSERT_EQ(RunCli({"tags", "copy", "--to-v2", mp3}).code, 0);
    QJsonObject v2 = showJson(mp3).value("v2").toObject();
    EXPECT_EQ(v2.value("title").toString(), "V1 title");
    EXPECT_EQ(v2.value("track").toString(), "7");

    ASSERT_EQ(RunCli({"tags", "set", "--title", "A title longer than thirty characters", mp3}).code,
              0);
    ASSERT_EQ(RunCli({"tags", "copy", "--to-v1", mp3}).code, 0);
    v1 = showJson(mp3).value("v1").toObject();
    EXPECT_EQ(v1.value("title").toString(), "A title longer than thirty cha");
}

TEST_F(CliTags, CoverIsStoredAsFrontCover)
{
    const QString mp3 = put("a.mp3", mpegAudio());
    const QByteArray picture = test::TinyPng();
    const QString image = put("front.PNG", picture);
    const CliResult r = RunCli({"tags", "cover", image, mp3});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray pictures = showJson(mp3).value("v2").toObject().value("pictures").toArray();
    ASSERT_EQ(pictures.size(), 1);
    const QJsonObject p = pictures[0].toObject();
    EXPECT_EQ(p.value("mime").toString(), "image/png");
    EXPECT_EQ(p.value("type").toInt(), 3);
    EXPECT_EQ(p.value("description").toString(), "Album");
    EXPECT_EQ(p.value("size").toInt(), picture.size());

    // Missing, and bytes that are no picture: refused before any file is touched.
    const QByteArray tagged = test::ReadFile(mp3);
    for (const QString &bad :
         {dir.filePath("missing.png"), put("fake.png", QByteArray(3000, 'B'))}) {
        const CliResult refused = RunCli({"tags", "cover", bad, mp3});
        EXPECT_EQ(refused.code, 1) << bad.toStdString();
        EXPECT_TRUE(refused.err.contains(QFileInfo(bad).fileName())) << bad.toStdString();
        EXPECT_EQ(test::ReadFile(mp3), tagged) << bad.toStdString();
    }
}

TEST_F(CliTags, WaveFilesKeepTheirTagInAChunk)
{
    const QString wav = put("a.wav", wave());
    CliResult r = RunCli({"tags", "set", "--title", "Wave", "--genre", "Ambient", wav});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = showJson(wav);
    EXPECT_TRUE(o.value("v1").isNull());
    EXPECT_EQ(o.value("v2").toObject().value("title").toString(), "Wave");
    EXPECT_EQ(o.value("v2").toObject().value("genre").toString(), "Ambient");
    const QByteArray bytes = test::ReadFile(wav);
    EXPECT_EQ(bytes.mid(wave().size(), 4), "id3 ");

    r = RunCli({"tags", "set", "--v1", "--title", "x", wav});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(RunCli({"tags", "copy", "--to-v1", wav}).code, 1);
}

TEST_F(CliTags, TextOutput)
{
    const QString mp3 = put("a.mp3", mpegAudio());
    ASSERT_EQ(RunCli({"tags", "set", "--title", "Plain", mp3}).code, 0);
    const CliResult r = RunCli({"tags", "show", mp3});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith(mp3 + "\n  ID3v1: none\n  ID3v2: 2.3\n    title: Plain\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("    frame TIT2 15\n"));
}

TEST_F(CliTags, FilesThatCannotBeReadOrWritten)
{
    CliResult r = RunCli({"tags", "show", dir.filePath("missing.mp3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("missing.mp3"));
    EXPECT_EQ(RunCli({"tags", "set", "--title", "x", dir.filePath("missing.mp3")}).code, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.mp3")));
    EXPECT_EQ(RunCli({"tags", "show", put("a.flac", "fLaC")}).code, 1);
    EXPECT_EQ(RunCli({"tags", "bogus"}).code, 2);
    EXPECT_EQ(RunCli({"tags", "set", "--title"}).code, 2);

    // A version 2.2 tag cannot be written; the file stays as it was.
    const QByteArray v22 = QByteArray("ID3\x02\x00\x00\x00\x00\x00\x0A", 10) +
                           QByteArray("TT2\x00\x00\x02\x00x", 8) + QByteArray(2, '\0') +
                           mpegAudio();
    const QString old = put("old.mp3", v22);
    r = RunCli({"tags", "set", "--title", "New", old});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("old.mp3"));
    EXPECT_EQ(test::ReadFile(old), v22);
}

TEST_F(CliTags, FullDiskLeavesTheFileAsItWas)
{
    // A file size limit of 4 KiB (with SIGXFSZ ignored, so writes fail with EFBIG) stands for
    // a full disk: the rewrite fails half-way.
    QByteArray big;
    for (int i = 0; i < 6; ++i)
        big += mpegAudio();
    const QString mp3 = put("big.mp3", big);
    QProcess p;
    p.start("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 4; exec \"$0\" tags set --title Full \"$1\"",
                        qEnvironmentVariable("VORLANE_CLI"), mp3});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1) << p.readAllStandardError().toStdString();
    EXPECT_EQ(test::ReadFile(mp3), big);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.mp3"});
}

} // namespace
