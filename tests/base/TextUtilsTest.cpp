#include "base/TextUtils.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace vorlane;

TEST(SanitizeFileName, ReplacesEachForbiddenCharacter)
{
    QString s = QStringLiteral("AC/DC: Back?");
    SanitizeFileName(s);
    EXPECT_EQ(s, QStringLiteral("AC_DC_ Back_"));
    QString all = QStringLiteral("a\"b?c/d\\e:f*g<h>i|j");
    SanitizeFileName(all);
    EXPECT_EQ(all, QStringLiteral("a_b_c_d_e_f_g_h_i_j"));
}

TEST(Translit, ToLatinLowerCasesAndMapsTheTable)
{
    EXPECT_EQ(TranslitToLatin(QStringLiteral("Щука и Ёж.mp3")),
              QStringLiteral("schuka_i_yozh.mp3"));
    EXPECT_EQ(TranslitToLatin(QStringLiteral("Вася Цой")), QStringLiteral("wasya_czoj"));
    EXPECT_EQ(TranslitToLatin(QStringLiteral("Rock & Roll (live), 'x';`")),
              QStringLiteral("rock__and__roll__live____x_"));
    EXPECT_EQ(TranslitToLatin(QStringLiteral("Объявление Їжак Єва Іра")),
              QStringLiteral("obyawlenie_jizhak_yewa_ira"));
}

TEST(Translit, ToCyrillicKeepsTheExtensionAndHandlesDigraphs)
{
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("Shchuka.mp3")), QStringLiteral("Щука.mp3"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("Yozh.mp3")), QStringLiteral("Ёж.mp3"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("abcd")), QStringLiteral("abcd"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("schast.mp3")), QStringLiteral("щаст.mp3"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("Tsoi Chaj.wma")), QStringLiteral("Цои Чай.wma"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("Xq 12.mp3")), QStringLiteral("Xq 12.mp3"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("Yuliya.mp3")), QStringLiteral("Юлия.mp3"));
    // A look-ahead never takes its letter from the kept extension.
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("zh.mp3")), QStringLiteral("ж.mp3"));
    EXPECT_EQ(TranslitToCyrillic(QStringLiteral("xs.hmp")), QStringLiteral("xс.hmp"));
}

TEST(CompareNatural, OrdersDigitsCaseAndCyrillic)
{
    EXPECT_EQ(CompareNatural(QStringLiteral("file2"), QStringLiteral("file10")), -1);
    EXPECT_EQ(CompareNatural(QStringLiteral("File"), QStringLiteral("file")), 0);
    EXPECT_EQ(CompareNatural(QStringLiteral("a1"), QStringLiteral("ab")), -1);
    EXPECT_EQ(CompareNatural(QStringLiteral("01"), QStringLiteral("1")), 0);
    EXPECT_EQ(CompareNatural(QStringLiteral("0"), QStringLiteral("00")), -1);
    EXPECT_EQ(CompareNatural(QString(), QStringLiteral("a")), -1);
    EXPECT_EQ(CompareNatural(QStringLiteral("a"), QString()), 1);
    EXPECT_EQ(CompareNatural(QString(), QString()), 0);
    EXPECT_EQ(CompareNatural(QStringLiteral("Трек 9"), QStringLiteral("трек 10")), -1);
    EXPECT_EQ(CompareNatural(QStringLiteral("Ёлка"), QStringLiteral("ёлка")), 0);
    EXPECT_EQ(CompareNatural(QStringLiteral("абв"), QStringLiteral("abc")), 1);
    EXPECT_EQ(CompareNatural(QStringLiteral("ab"), QStringLiteral("abc")), -1);
    // Numbers longer than 32 bits compare by value instead of overflowing.
    EXPECT_EQ(CompareNatural(QStringLiteral("x99999999999"), QStringLiteral("x100000000000")), -1);
}

TEST(CompareNatural, SortKeyAgreesWithTheComparison)
{
    // Random strings over a small alphabet that stresses digits, zeros, case and Cyrillic.
    const QString alphabet = QStringLiteral("0012 aAbBёЁя.9");
    auto *rng = QRandomGenerator::global();
    auto make = [&] {
        QString s;
        const int n = int(rng->bounded(7));
        for (int i = 0; i < n; ++i)
            s += alphabet.at(rng->bounded(alphabet.size()));
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString a = make();
        const QString b = make();
        const int expected = CompareNatural(a, b);
        const int viaKey = NaturalSortKey(a).compare(NaturalSortKey(b));
        ASSERT_EQ(expected, viaKey < 0   ? -1
                            : viaKey > 0 ? 1
                                         : 0)
            << a.toStdString() << " vs " << b.toStdString();
    }
}

TEST(fUpCaseRus, LatinAndRussianOnly)
{
    EXPECT_EQ(fUpCaseRus(u'ё'), QChar(u'Ё'));
    EXPECT_EQ(fUpCaseRus(u'я'), QChar(u'Я'));
    EXPECT_EQ(fUpCaseRus(u'q'), QChar(u'Q'));
    EXPECT_EQ(fUpCaseRus(u'1'), QChar(u'1'));
    EXPECT_EQ(fUpCaseRus(u'ї'), QChar(u'ї'));
}

TEST(PlatformQueries, SizeDateAndFallbacks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.bin"));
    ASSERT_TRUE(test::WriteFile(path, QByteArray(1234, 'x')));
    EXPECT_EQ(GetFileSize32(path), 1234);
    EXPECT_EQ(GetFileSize32(QString()), -1);
    EXPECT_EQ(GetFileSize32(dir.filePath(QStringLiteral("missing"))), -1);
    EXPECT_EQ(GetFileSize32(dir.path()), -1);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::LocalTime);
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    f.close();
    const double expected =
        QDate(1899, 12, 30).daysTo(when.date()) + QTime(0, 0).secsTo(when.time()) / 86400.0;
    EXPECT_NEAR(GetFileDateTime(path), expected, 1.0 / 86400);
    EXPECT_EQ(GetFileDateTime(dir.filePath(QStringLiteral("missing"))), 0);
}

TEST(SmallHelpers, DriveLettersMd5AndSpecialFolders)
{
    EXPECT_EQ(DriveLettersFromMask(0), QString());
    EXPECT_EQ(DriveLettersFromMask(5), QStringLiteral("AC"));
    EXPECT_EQ(DriveLettersFromMask(1u << 25 | 1u << 26), QStringLiteral("Z"));
    EXPECT_EQ(Md5HexLower(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(Md5HexLower(QStringLiteral("abc")),
              QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_TRUE(GetSpecialFolder(26).startsWith(QDir::homePath()));
    EXPECT_EQ(GetSpecialFolder(12345), QString());
}

TEST(AudioNames, ElevenExtensionsByLowerCase)
{
    for (const char *name : {"a.mp3", "a.MP3", "b.ogg", "c.wav", "d.mp2", "e.mp1", "f.aiff",
                             "g.flac", "h.aac", "i.m4a", "j.M4B", "k.wma"})
        EXPECT_TRUE(IsAudioFileName(QString::fromLatin1(name))) << name;
    for (const char *name : {"a.txt", "a.aif", "mp3", "a.mp3.bak", "a.opus", "a."})
        EXPECT_FALSE(IsAudioFileName(QString::fromLatin1(name))) << name;
    EXPECT_EQ(NameWithoutExtension(QStringLiteral("Song.1.mp3")), QStringLiteral("Song.1"));
    EXPECT_EQ(LowerExtension(QStringLiteral("a.MP3")), QStringLiteral(".mp3"));
    EXPECT_EQ(LowerExtension(QStringLiteral("noext")), QString());
}

// Case-blind names compare and hash as their units lower-cased one by one, whatever the length
// and wherever the difference lies; the ASCII shortcut must not fold the neighbours of the
// letters ('@', '[', '`', '{').
TEST(FoldedNames, AgreeWithLowerCasingEachUnit)
{
    const QString alphabet = QStringLiteral("AZaz@[`{09 .-ÄäÖöЯяЁёΩωԱա");
    QRandomGenerator rng(11);
    auto lowered = [](const QString &s) {
        QString out = s;
        for (QChar &c : out)
            c = QChar(LowerUnit(c.unicode()));
        return out;
    };
    for (int round = 0; round < 4000; ++round) {
        QString a;
        for (int i = 0, n = rng.bounded(14); i < n; ++i)
            a += alphabet[rng.bounded(alphabet.size())];
        QString b = a;
        for (QChar &c : b) { // flip the case of some units
            if (rng.bounded(2))
                c = c.isUpper() ? c.toLower() : c.toUpper();
        }
        if (!b.isEmpty() && rng.bounded(3) == 0) // and sometimes change one
            b[rng.bounded(b.size())] = alphabet[rng.bounded(alphabet.size())];
        if (rng.bounded(10) == 0)
            b.chop(1);
        const bool same = lowered(a) == lowered(b);
        ASSERT_EQ(FoldedNamesEqual(a, b), same) << a.toStdString() << " / " << b.toStdString();
        ASSERT_EQ(FoldedNamesEqual(b, a), same);
        if (same) {
            ASSERT_EQ(FoldedNameHash(a), FoldedNameHash(b)) << a.toStdString();
        }
    }
    EXPECT_FALSE(FoldedNamesEqual(u"ab[d", u"AB{D"));
    EXPECT_FALSE(FoldedNamesEqual(u"x@yz", u"X`YZ"));
    EXPECT_TRUE(FoldedNamesEqual(u"Track 01.MP3", u"track 01.mp3"));
}
