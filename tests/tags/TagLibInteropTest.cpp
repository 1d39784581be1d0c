// Tags we write, read back by TagLib, and tags TagLib writes, read by us. After every kind of
// save the audio bytes stay as they were.

#include "tags/TagEditor.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QFile>
#include <gtest/gtest.h>

#include <aifffile.h>
#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <id3v1tag.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegproperties.h>
#include <textidentificationframe.h>
#include <wavfile.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::Scratch;

QString Q(const TagLib::String &s)
{
    return QString::fromUtf8(s.toCString(true));
}

TagLib::String T(const QString &s)
{
    return TagLib::String(s.toUtf8().constData(), TagLib::String::UTF8);
}

QByteArray Q(const TagLib::ByteVector &v)
{
    return QByteArray(v.data(), qsizetype(v.size()));
}

TTag sampleFields()
{
    TTag t;
    t.Title = QString::fromUtf8("Привет, мир — ü ☃");
    t.Artist = QStringLiteral("Artist \"quoted\"");
    t.Album = QString::fromUtf8("Альбом");
    t.Track = QStringLiteral("3/12");
    t.Genre = QStringLiteral("Jazz");
    t.Year = QStringLiteral("2001");
    return t;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        mp3 = test::RealMp3();
        if (mp3.isEmpty())
            GTEST_SKIP() << "ffmpeg could not make an MP3";
    }
    // Length and bit rate as TagLib decodes them: the audio must look the same after a save.
    static std::pair<int, int> audioOf(const QString &path)
    {
        TagLib::MPEG::File f(QFile::encodeName(path).constData());
        const auto *p = f.audioProperties();
        return p ? std::pair{p->lengthInMilliseconds(), p->bitrate()} : std::pair{-1, -1};
    }
    Scratch scratch;
    QByteArray mp3;
};

TEST_F(Interop, OurVersion23And24TagsReadByTagLib)
{
    for (const int version : {3, 4}) {
        SCOPED_TRACE(version);
        const QString path = scratch.Put(QString("v%1.mp3").arg(version), mp3);
        const auto audio = audioOf(path);
        TID3v2Tag tag;
        tag.MajorVersion = uint8_t(version);
        WriteTagV2Fields(tag, sampleFields());
        tag.SetUnicodeCommentByDescription("", QStringLiteral("A comment"), "eng");
        tag.SetUnicodeTXXXByDescription("MOOD", QStringLiteral("calm"));
        tag.SetURL("WOAR", "https://example.org/artist");
        ASSERT_EQ(tag.SaveToFile(path), 0);

        TagLib::MPEG::File f(QFile::encodeName(path).constData());
        ASSERT_TRUE(f.isValid());
        ASSERT_TRUE(f.hasID3v2Tag());
        TagLib::ID3v2::Tag *t = f.ID3v2Tag();
        EXPECT_EQ(t->header()->majorVersion(), uint(version));
        EXPECT_EQ(Q(t->title()), sampleFields().Title);
        EXPECT_EQ(Q(t->artist()), sampleFields().Artist);
        EXPECT_EQ(Q(t->album()), sampleFields().Album);
        EXPECT_EQ(t->track(), 3u);
        EXPECT_EQ(Q(t->genre()), "Jazz");
        EXPECT_EQ(t->year(), 2001u);
        EXPECT_EQ(Q(t->comment()), "A comment");
        const auto txxx = t->frameListMap()["TXXX"];
        ASSERT_EQ(txxx.size(), 1u);
        const auto *user = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame *>(txxx.front());
        ASSERT_TRUE(user);
        EXPECT_EQ(Q(user->description()), "MOOD");
        EXPECT_EQ(Q(user->fieldList().back()), "calm");
        EXPECT_EQ(Q(t->frameListMap()["WOAR"].front()->toString()), "https://example.org/artist");
        EXPECT_EQ(test::AudioPayload(ReadFile(path)), mp3);
        EXPECT_EQ(audioOf(path), audio);
    }
}

TEST_F(Interop, EditorSavesKeepTheAudio)
{
    const QString path = scratch.Put("a.mp3", mp3);
    TTagEditor editor;
    editor.SetFile(path);
    editor.SetTagV2(sampleFields()); // new tag: a rewrite
    editor.SetFile(path);
    TTag shorter;
    shorter.Title = "Short";
    editor.SetTagV2(shorter);        // in place
    editor.SetTagV1(sampleFields()); // appended
    editor.SetTagV1(shorter);        // overwritten
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(test::AudioPayload(bytes), mp3);

    TagLib::MPEG::File f(QFile::encodeName(path).constData());
    ASSERT_TRUE(f.hasID3v2Tag() && f.hasID3v1Tag());
    EXPECT_EQ(Q(f.ID3v2Tag()->title()), "Short");
    EXPECT_EQ(Q(f.ID3v2Tag()->album()), sampleFields().Album);
    TagLib::ID3v1::Tag *v1 = f.ID3v1Tag();
    EXPECT_EQ(Q(v1->title()), "Short");
    EXPECT_EQ(Q(v1->artist()), "Artist \"quoted\"");
    EXPECT_EQ(v1->track(), 0u); // "3/12" is not a number
    EXPECT_EQ(Q(v1->genre()), "Jazz");
    EXPECT_EQ(v1->year(), 2001u);
}

TEST_F(Interop, Version1WithTrackReadByTagLib)
{
    const QString path = scratch.Put("a.mp3", mp3);
    TTagEditor editor;
    editor.SetFile(path);
    TTag t;
    t.Title = "Title";
    t.Track = "7";
    t.Genre = "Psychadelic";
    editor.SetTagV1(t);
    TagLib::MPEG::File f(QFile::encodeName(path).constData());
    ASSERT_TRUE(f.hasID3v1Tag());
    EXPECT_EQ(f.ID3v1Tag()->track(), 7u);
    EXPECT_EQ(Q(f.ID3v1Tag()->genre()), "Psychedelic");
    EXPECT_EQ(test::AudioPayload(ReadFile(path)), mp3);
}

TEST_F(Interop, PicturesReadByTagLib)
{
    const QByteArray png = ReadFile(test::TestsSourceDir() + "/../data/DefCover.png");
    ASSERT_FALSE(png.isEmpty());
    const QString image = scratch.Put("cover.png", png);
    for (const int version : {3, 4}) {
        SCOPED_TRACE(version);
        const QString path = scratch.Put("a.mp3", mp3);
        TID3v2Tag seed;
        seed.MajorVersion = uint8_t(version);
        seed.SetText("TIT2", "with cover");
        ASSERT_EQ(seed.SaveToFile(path), 0);
        TTagEditor editor;
        editor.SetFile(path);
        ASSERT_TRUE(editor.SetCoverArt(image));
        TagLib::MPEG::File f(QFile::encodeName(path).constData());
        const auto apic = f.ID3v2Tag()->frameListMap()["APIC"];
        ASSERT_EQ(apic.size(), 1u);
        const auto *pic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame *>(apic.front());
        ASSERT_TRUE(pic);
        EXPECT_EQ(Q(pic->mimeType()), "image/png");
        EXPECT_EQ(pic->type(), TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        EXPECT_EQ(Q(pic->description()), "Album");
        EXPECT_EQ(Q(pic->picture()), png);
        EXPECT_EQ(test::AudioPayload(ReadFile(path)), mp3);
    }
}

TEST_F(Interop, EncodedFramesReadByTagLib)
{
    // A 2.3 tag unsynchronised as a whole, and 2.4 frames compressed or unsynchronised.
    const QString title = QString(QChar(0x00FF)) + QChar(0xFFFE) + "title";
    for (const int version : {3, 4}) {
        SCOPED_TRACE(version);
        const QString path = scratch.Put("a.mp3", mp3);
        TID3v2Tag tag;
        tag.MajorVersion = uint8_t(version);
        tag.SetUnicodeText("TIT2", title);
        tag.SetUnicodeText("TALB", QString(2000, u'a'));
        if (version == 3) {
            tag.Unsynchronised = true;
        } else {
            tag.Frames[0].ApplyUnsynchronisation();
            tag.Frames[1].Compress();
        }
        ASSERT_EQ(tag.SaveToFile(path), 0);
        TagLib::MPEG::File f(QFile::encodeName(path).constData());
        EXPECT_EQ(Q(f.ID3v2Tag()->title()), title);
        EXPECT_EQ(Q(f.ID3v2Tag()->album()), QString(2000, u'a'));
        EXPECT_EQ(test::AudioPayload(ReadFile(path)), mp3);
    }
}

TEST_F(Interop, TagLibTagsReadByUs)
{
    const QByteArray kPicture = test::Bytes("\xFF\xD8\xFF\xE0 picture bytes");
    for (const auto version : {TagLib::ID3v2::v3, TagLib::ID3v2::v4}) {
        SCOPED_TRACE(int(version));
        const QString path = scratch.Put("a.mp3", mp3);
        {
            TagLib::MPEG::File f(QFile::encodeName(path).constData());
            TagLib::ID3v2::Tag *t = f.ID3v2Tag(true);
            t->setTitle(T(sampleFields().Title));
            t->setArtist(T(sampleFields().Artist));
            t->setAlbum(T(sampleFields().Album));
            t->setTrack(3);
            t->setGenre("Jazz");
            t->setYear(2001);
            auto *pic = new TagLib::ID3v2::AttachedPictureFrame;
            pic->setMimeType("image/jpeg");
            pic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            pic->setDescription(T(QString::fromUtf8("Обложка")));
            pic->setPicture(TagLib::ByteVector(kPicture.constData(), uint(kPicture.size())));
            t->addFrame(pic);
            ASSERT_TRUE(f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version));
        }
        TTagEditor editor;
        editor.SetFile(path);
        TTag read;
        editor.GetTagV2(read);
        EXPECT_EQ(editor.ID3v2Tag.MajorVersion, int(version));
        EXPECT_EQ(read.Title, sampleFields().Title);
        EXPECT_EQ(read.Artist, sampleFields().Artist);
        EXPECT_EQ(read.Album, sampleFields().Album);
        EXPECT_EQ(read.Track, "3");
        EXPECT_EQ(read.Genre, "Jazz");
        EXPECT_EQ(read.Year, "2001");
        QByteArray picture;
        QString mime, description;
        uint8_t type = 0;
        ASSERT_TRUE(editor.ID3v2Tag.GetUnicodeCoverPictureStream(
            editor.ID3v2Tag.FrameExists("APIC"), picture, mime, description, type));
        EXPECT_EQ(mime, "image/jpeg");
        EXPECT_EQ(type, 3);
        EXPECT_EQ(description, QString::fromUtf8("Обложка"));
        EXPECT_EQ(picture, kPicture);
    }
}

TEST(InteropContainers, WaveAndAiffChunksReadByTagLib)
{
    Scratch scratch;
    if (!test::MakeMedia(scratch.Path("t.wav"),
                         {"-f", "lavfi", "-i", "sine=duration=0.3", "-c:a", "pcm_s16le"}) ||
        !test::MakeMedia(scratch.Path("t.aiff"),
                         {"-f", "lavfi", "-i", "sine=duration=0.3", "-c:a", "pcm_s16be"}))
        GTEST_SKIP() << "ffmpeg could not make the files";
    for (const QString &name : {QString("t.wav"), QString("t.aiff")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = scratch.Path(name);
        const bool isWave = name.endsWith(".wav");
        auto properties = [&](int &rate, int &length) {
            if (isWave) {
                TagLib::RIFF::WAV::File f(QFile::encodeName(path).constData());
                rate = f.audioProperties()->sampleRate();
                length = f.audioProperties()->lengthInMilliseconds();
                return Q(f.hasID3v2Tag() ? f.ID3v2Tag()->title() : TagLib::String());
            }
            TagLib::RIFF::AIFF::File f(QFile::encodeName(path).constData());
            rate = f.audioProperties()->sampleRate();
            length = f.audioProperties()->lengthInMilliseconds();
            return Q(f.hasID3v2Tag() ? f.tag()->title() : TagLib::String());
        };
        int rate0 = 0, length0 = 0;
        properties(rate0, length0);
        // Added, then enlarged, then written in place.
        for (const QString &title : {QString("First"), QString(5000, u'L'), QString("In place")}) {
            TID3v2Tag tag;
            tag.LoadFromFile(path);
            tag.SetUnicodeText("TIT2", title);
            tag.PaddingToWrite = 16;
            ASSERT_EQ(tag.SaveToFile(path), 0);
            int rate = 0, length = 0;
            EXPECT_EQ(properties(rate, length), title);
            EXPECT_EQ(rate, rate0);
            EXPECT_EQ(length, length0);
        }
    }
}

TEST(InteropContainers, TagLibChunksReadByUs)
{
    Scratch scratch;
    if (!test::MakeMedia(scratch.Path("t.wav"),
                         {"-f", "lavfi", "-i", "sine=duration=0.2", "-c:a", "pcm_s16le"}) ||
        !test::MakeMedia(scratch.Path("t.aiff"),
                         {"-f", "lavfi", "-i", "sine=duration=0.2", "-c:a", "pcm_s16be"}))
        GTEST_SKIP() << "ffmpeg could not make the files";
    {
        TagLib::RIFF::WAV::File f(QFile::encodeName(scratch.Path("t.wav")).constData());
        f.ID3v2Tag()->setTitle("Wave by TagLib");
        ASSERT_TRUE(f.save());
        TagLib::RIFF::AIFF::File a(QFile::encodeName(scratch.Path("t.aiff")).constData());
        a.tag()->setTitle("AIFF by TagLib");
        ASSERT_TRUE(a.save());
    }
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(scratch.Path("t.wav")), 0);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "Wave by TagLib");
    ASSERT_EQ(tag.LoadFromFile(scratch.Path("t.aiff")), 0);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "AIFF by TagLib");
}

} // namespace
} // namespace vorlane
