#include "tags/TagEditor.h"

#include "base/Codepage.h"
#include "tests/tags/TagsTestHelpers.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::Scratch;

QByteArray png(int width, int height, QColor color = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray encoded(int width, int height, const char *format)
{
    if (QByteArray(format) == "GIF") {
        // Qt reads GIF but does not write it.
        QTemporaryDir dir;
        const QString path = dir.filePath("blue.gif");
        test::MakeMedia(path,
                        {"-f", "lavfi", "-i", QString("color=blue:s=%1x%2").arg(width).arg(height),
                         "-frames:v", "1"});
        return test::ReadFile(path);
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class Editor : public ::testing::Test {
protected:
    // An MP3 with a 2.3 tag of the given frames and an ID3v1 tag.
    QString mp3(const QString &name, const std::function<void(TID3v2Tag &)> &fill = {})
    {
        const QString path = scratch.Put(name, test::FakeMpegAudio(4));
        if (fill) {
            TID3v2Tag tag;
            fill(tag);
            EXPECT_EQ(tag.SaveToFile(path), 0);
        }
        return path;
    }
    Scratch scratch;
    TTagEditor editor;
};

TEST_F(Editor, OnlyMp3FilesAreEdited)
{
    const QString upper = mp3("SONG.MP3", [](TID3v2Tag &t) { t.SetUnicodeText("TIT2", "Upper"); });
    editor.SetFile(upper);
    EXPECT_TRUE(editor.Enabled());
    EXPECT_TRUE(editor.RefreshFlag);
    TTag tag;
    editor.GetTagV2(tag);
    EXPECT_EQ(tag.Title, "Upper");
    EXPECT_EQ(tag.FileType, ".mp3");

    const QString wav = scratch.Put("a.wav", test::MakeWave(100));
    editor.SetFile(wav);
    EXPECT_FALSE(editor.Enabled());
    TTag untouched;
    untouched.Title = "keep";
    editor.GetTagV2(untouched);
    editor.GetTagV1(untouched);
    EXPECT_EQ(untouched.Title, "keep");
    editor.SetTagV2(untouched);
    EXPECT_EQ(ReadFile(wav), test::MakeWave(100));
}

TEST_F(Editor, SettingTheTitleChangesOnlyTheTitle)
{
    const QString path = mp3("a.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeText("TIT2", "Old");
        t.SetUnicodeText("TPE1", "Artist");
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "Album", png(4, 4), "image/png", 3);
    });
    TID3v2Tag before;
    before.LoadFromFile(path);
    editor.SetFile(path);
    TTag change;
    change.Title = "New";
    editor.SetTagV2(change);
    EXPECT_EQ(editor.LastSaveResult(), 0);
    TID3v2Tag after;
    ASSERT_EQ(after.LoadFromFile(path), 0);
    ASSERT_EQ(after.FrameCount(), before.FrameCount());
    EXPECT_EQ(after.GetUnicodeText("TIT2"), "New");
    for (int i = 1; i < after.FrameCount(); ++i)
        EXPECT_EQ(after.Frames[i].Stream, before.Frames[i].Stream);
}

TEST_F(Editor, VersionCopies)
{
    const QString path = mp3("a.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeText("TIT2", QString(40, u'x'));
        t.SetUnicodeText("TRCK", "3/12");
        t.SetUnicodeText("TCON", "Jazz");
    });
    editor.SetFile(path);
    editor.CopyFromTagV2toTagV1();
    TID3v1Tag v1;
    ASSERT_EQ(v1.LoadFromFile(path), 0);
    EXPECT_EQ(v1.Title, QByteArray(30, 'x'));
    EXPECT_EQ(v1.Track, 0);
    EXPECT_EQ(v1.Genre, "Jazz");

    TTag track;
    track.Track = "7";
    editor.SetTagV2(track);
    editor.CopyFromTagV2toTagV1();
    ASSERT_EQ(v1.LoadFromFile(path), 0);
    EXPECT_EQ(v1.Track, 7);

    // From version 1 to 2: empty fields and track 0 ("none") leave version 2 alone.
    TTag v1Change;
    v1Change.Artist = "One Artist";
    v1Change.Track = "0";
    editor.SetTagV1(v1Change);
    editor.CopyFromTagV1toTagV2();
    TTag v2;
    editor.GetTagV2(v2);
    EXPECT_EQ(v2.Artist, "One Artist");
    EXPECT_EQ(v2.Track, "7");
    EXPECT_EQ(v2.Title, QString(30, u'x'));
}

TEST_F(Editor, Version1TrackText)
{
    const QString path = mp3("a.mp3");
    editor.SetFile(path);
    TID3v1Tag v1;
    const std::pair<const char *, int> cases[] = {
        {"12", 12}, {"3/12", 0}, {"300", 255}, {"-1", 255}, {"-255", 1}};
    for (const auto &[text, stored] : cases) {
        TTag tag;
        tag.Track = text;
        editor.SetTagV1(tag);
        ASSERT_EQ(v1.LoadFromFile(path), 0);
        EXPECT_EQ(v1.Track, stored) << text;
    }
}

TEST_F(Editor, YearOfVersion24TagsIsTdrc)
{
    const QString path = mp3("a.mp3", [](TID3v2Tag &t) {
        t.MajorVersion = 4;
        t.SetUTF8Text("TDRC", "1999-05-01");
    });
    editor.SetFile(path);
    TTag tag;
    editor.GetTagV2(tag);
    EXPECT_EQ(tag.Year, "1999");
    TTag year;
    year.Year = "2001";
    editor.SetTagV2(year);
    TID3v2Tag after;
    ASSERT_EQ(after.LoadFromFile(path), 0);
    EXPECT_EQ(after.GetUnicodeText("TDRC"), "2001");
    EXPECT_EQ(after.FrameExists("TYER"), -1);
}

TEST_F(Editor, LegacyCodePageForVersion1)
{
    const QString saved = LegacyCodePage();
    SetLegacyCodePage("windows-1251");
    const QString path = mp3("a.mp3");
    editor.SetFile(path);
    TTag tag;
    tag.Title = QString::fromUtf8("Кино");
    editor.SetTagV1(tag);
    TID3v1Tag v1;
    ASSERT_EQ(v1.LoadFromFile(path), 0);
    EXPECT_EQ(v1.Title, QByteArray("\xCA\xE8\xED\xEE"));
    editor.SetFile(path);
    TTag back;
    editor.GetTagV1(back);
    EXPECT_EQ(back.Title, QString::fromUtf8("Кино"));
    SetLegacyCodePage(saved);
}

TEST(CoverArt, ScalingKeepsTheRatio)
{
    EXPECT_EQ(CoverArtSize(600, 300, 150, 150), QSize(150, 75));
    EXPECT_EQ(CoverArtSize(300, 600, 150, 150), QSize(75, 150));
    EXPECT_EQ(CoverArtSize(400, 400, 150, 150), QSize(150, 150));
    // 100 * 5 / 8 = 62.5 rounds to even.
    EXPECT_EQ(CoverArtSize(8, 5, 100, 100), QSize(100, 62));
    EXPECT_EQ(CoverArtSize(8, 7, 100, 100), QSize(100, 88)); // 87.5
}

TEST_F(Editor, CoverArtFromEachFormat)
{
    for (const auto &[mime, format] : {std::pair{"image/jpeg", "JPEG"},
                                       {"image/jpg", "JPEG"},
                                       {"image/png", "PNG"},
                                       {"image/bmp", "BMP"},
                                       {"image/gif", "GIF"}}) {
        const QString path = mp3("a.mp3", [&](TID3v2Tag &t) {
            t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "", encoded(600, 300, format),
                                               mime, 3);
        });
        editor.SetFile(path);
        editor.GetCoverArt(150, 150);
        EXPECT_EQ(editor.CoverArt.size(), QSize(150, 75)) << mime;
        EXPECT_EQ(editor.CoverArt.format(), QImage::Format_RGB888) << mime;
        const QColor centre = editor.CoverArt.pixelColor(75, 37);
        EXPECT_TRUE(centre.blue() > 240 && centre.red() < 16 && centre.green() < 16) << mime;
    }
}

TEST_F(Editor, CoverArtFallsBackToTheDefault)
{
    const QImage defaultCover = editor.DefaultCover();
    ASSERT_FALSE(defaultCover.isNull());
    // Another MIME type: the default cover, unscaled.
    editor.SetFile(mp3("a.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "", png(600, 300), "image/x-png", 3);
    }));
    editor.GetCoverArt(150, 150);
    EXPECT_EQ(editor.CoverArt, defaultCover);
    // No picture at all.
    editor.SetFile(mp3("b.mp3", [](TID3v2Tag &t) { t.SetText("TIT2", "x"); }));
    editor.GetCoverArt(150, 150);
    EXPECT_EQ(editor.CoverArt, defaultCover);
    // Undecodable picture: the default cover, scaled.
    editor.SetFile(mp3("c.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "", "not a png", "image/png", 3);
    }));
    editor.GetCoverArt(100, 100);
    EXPECT_EQ(editor.CoverArt.size(),
              CoverArtSize(defaultCover.width(), defaultCover.height(), 100, 100));
    // Disabled: the default cover.
    editor.SetFile(scratch.Put("a.ogg", "OggS"));
    editor.GetCoverArt(10, 10);
    EXPECT_EQ(editor.CoverArt, defaultCover);
}

TEST(CoverArt, MissingDefaultCoverIsGenerated)
{
    const QByteArray saved = qgetenv("VORLANE_DATA_DIR");
    QTemporaryDir empty;
    qputenv("VORLANE_DATA_DIR", empty.path().toUtf8());
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(empty.path());
    const QImage generated = LoadDefaultCover();
    QDir::setCurrent(cwd);
    qputenv("VORLANE_DATA_DIR", saved);
    EXPECT_FALSE(generated.isNull());
    if (!saved.isEmpty()) {
        // The bundled picture is found beside the program's data.
        EXPECT_EQ(LoadDefaultCover(), QImage(QString::fromUtf8(saved) + "/DefCover.png"));
    }
}

TEST_F(Editor, SetCoverArtReplacesTheFirstPicture)
{
    const QString path = mp3("a.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "one", png(2, 2), "image/png", 3);
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "two", png(3, 3), "image/png", 4);
    });
    const QString image = scratch.Put("cover.jpeg", encoded(20, 10, "JPEG"));
    editor.SetFile(path);
    EXPECT_TRUE(editor.SetCoverArt(image));
    TID3v2Tag after;
    ASSERT_EQ(after.LoadFromFile(path), 0);
    ASSERT_EQ(after.FrameTypeCount("APIC"), 2);
    QByteArray picture;
    QString mime, description;
    uint8_t type = 0;
    ASSERT_TRUE(after.GetUnicodeCoverPictureStream(0, picture, mime, description, type));
    EXPECT_EQ(description, "two");
    ASSERT_TRUE(after.GetUnicodeCoverPictureStream(1, picture, mime, description, type));
    EXPECT_EQ(mime, "image/jpeg");
    EXPECT_EQ(type, 3);
    EXPECT_EQ(description, "Album");
    EXPECT_EQ(picture, ReadFile(image));
}

TEST_F(Editor, UnreadableCoverKeepsTheOldOne)
{
    const QString path = mp3("a.mp3", [](TID3v2Tag &t) {
        t.SetUnicodeCoverPictureFromStream(t.AddFrame("APIC"), "one", png(2, 2), "image/png", 3);
    });
    const QByteArray before = ReadFile(path);
    editor.SetFile(path);
    EXPECT_FALSE(editor.SetCoverArt(scratch.Path("missing.png")));
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_FALSE(editor.SetCoverArt(scratch.Put("fake.png", QByteArray(3000, 'B'))));
    EXPECT_EQ(ReadFile(path), before);
    TTagEditor disabled;
    EXPECT_FALSE(disabled.SetCoverArt(scratch.Put("c.png", png(2, 2))));
}

} // namespace
} // namespace vorlane
