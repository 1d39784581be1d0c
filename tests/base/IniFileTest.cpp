#include "base/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace vorlane {
namespace {

TIniFile iniOf(const char *text)
{
    TIniFile ini;
    ini.SetText(QString::fromUtf8(text));
    return ini;
}

TEST(IniFile, MatchesSectionsAndKeysWithoutCaseAndTrimsSpacing)
{
    const TIniFile ini = iniOf("[ Main ]\n  Volume =  64  \nLANG=rus\n\t Skin\t=\t05\n");
    EXPECT_EQ(ini.ReadInteger("main", "volume", 50), 64);
    EXPECT_EQ(ini.ReadString("MAIN", "lang", "Eng"), "rus");
    EXPECT_EQ(ini.ReadString("Main", "skin", ""), "05");
    EXPECT_TRUE(ini.SectionExists("mAiN"));
    EXPECT_FALSE(ini.ValueExists("Main", "Volume2"));
}

TEST(IniFile, FirstSectionAndFirstKeyWin)
{
    const TIniFile ini = iniOf("[A]\nk=1\nk=2\n[a]\nk=3\nother=4\n");
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
    // The second "[a]" is never reached: sections are not merged.
    EXPECT_EQ(ini.ReadInteger("A", "other", 0), 0);
}

TEST(IniFile, MissingOrMalformedNumbersGiveTheDefault)
{
    const TIniFile ini =
        iniOf("[S]\nempty=\nword=abc\ntrailing=12abc\nspace=1 2\nbig=99999999999\nneg=-7\n"
              "hex=0x1F\ndollar=$10\nplus=+5\n");
    EXPECT_EQ(ini.ReadInteger("S", "missing", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "empty", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "word", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "trailing", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "space", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "big", 8), 8);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 8), -7);
    EXPECT_EQ(ini.ReadInteger("S", "hex", 8), 31);
    EXPECT_EQ(ini.ReadInteger("S", "dollar", 8), 16);
    EXPECT_EQ(ini.ReadInteger("S", "plus", 8), 5);
    EXPECT_EQ(ini.ReadInteger("Nowhere", "neg", 8), 8);
}

TEST(IniFile, BooleansAreIntegersAnyNonZeroIsTrue)
{
    const TIniFile ini = iniOf("[S]\na=1\nb=0\nc=2\nd=-1\ne=true\n");
    EXPECT_TRUE(ini.ReadBool("S", "a", false));
    EXPECT_FALSE(ini.ReadBool("S", "b", true));
    EXPECT_TRUE(ini.ReadBool("S", "c", false));
    EXPECT_TRUE(ini.ReadBool("S", "d", false));
    // Not a number: the default, whichever it is.
    EXPECT_FALSE(ini.ReadBool("S", "e", false));
    EXPECT_TRUE(ini.ReadBool("S", "e", true));
}

TEST(IniFile, QuotesKeepSpacesAndEqualsSignsStayInValues)
{
    const TIniFile ini = iniOf("[S]\nq=\" (with subfolders)\"\ns=' x '\nhalf=\"open\nurl=a=b=c\n");
    EXPECT_EQ(ini.ReadString("S", "q", ""), " (with subfolders)");
    EXPECT_EQ(ini.ReadString("S", "s", ""), " x ");
    EXPECT_EQ(ini.ReadString("S", "half", ""), "\"open");
    EXPECT_EQ(ini.ReadString("S", "url", ""), "a=b=c");
}

TEST(IniFile, CommentsAndStrayLinesAreNotKeys)
{
    const TIniFile ini = iniOf("top=1\n; comment=2\n[S]\n;k=3\n# k=4\nnot a key\n=5\nk=6\n");
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 6);
    EXPECT_EQ(ini.ReadSection("S"), QStringList{"k"});
    // Lines before the first section belong to none.
    EXPECT_EQ(ini.ReadInteger("", "top", 0), 0);
}

TEST(IniFile, ReadsCrLfAndAFileWithoutFinalNewline)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("c.ini");
    ASSERT_TRUE(test::WriteFile(path, "[Main]\r\nVolume=70\r\nLang=ukr"));
    const TIniFile ini(path);
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ini.ReadInteger("Main", "Volume", 0), 70);
    EXPECT_EQ(ini.ReadString("Main", "Lang", ""), "ukr");
}

TEST(IniFile, ReadsUtf8WithAMarkAndLegacyBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(
        test::WriteFile(dir.filePath("bom.ini"),
                        "\xEF\xBB\xBF[rus]\r\nSM_EXIT=\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4"));
    EXPECT_EQ(TIniFile(dir.filePath("bom.ini")).ReadString("rus", "SM_EXIT", ""), "Выход");
}

TEST(IniFile, AnOverLongLineIsSkippedAndGoneWhenSaved)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("c.ini");
    ASSERT_TRUE(test::WriteFile(
        path, "[Main]\r\nVolume=70\r\nSkin=" + QByteArray(kMaxIniLine, 'x') + "\r\nLang=ukr\r\n"));
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Main", "Volume", 0), 70);
    EXPECT_FALSE(ini.ValueExists("Main", "Skin"));
    EXPECT_EQ(ini.ReadString("Main", "Lang", ""), "ukr");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(test::ReadFile(path), "[Main]\r\nVolume=70\r\n\r\nLang=ukr\r\n");
}

TEST(IniFile, WritingReplacesInPlaceAndKeepsEverythingElse)
{
    TIniFile ini = iniOf("; settings\n[Main]\nVolume = 50 ; old\n\n[Other]\nx=1\n");
    ini.WriteInteger("main", "VOLUME", 90);
    ini.WriteString("Main", "Lang", "rus");
    ini.WriteBool("Other", "Flag", true);
    ini.WriteString("New", "Key", "v");
    const QStringList expected = {"; settings", "[Main]",  "VOLUME=90", "Lang=rus",
                                  "",           "[Other]", "x=1",       "Flag=1",
                                  "",           "[New]",   "Key=v"};
    EXPECT_EQ(ini.Lines(), expected);
    EXPECT_TRUE(ini.Modified());
}

TEST(IniFile, ReadsFollowWritesThatMoveLines)
{
    // Reads between writes: a line inserted into the first section moves every later one.
    TIniFile ini = iniOf("[Main]\nVolume=50\n[Other]\nx=1\ny=2\n");
    EXPECT_EQ(ini.ReadInteger("Other", "y", 0), 2);
    ini.WriteString("Main", "Lang", "rus");
    ini.WriteString("Main", "Skin", "05");
    EXPECT_EQ(ini.ReadInteger("Other", "x", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Other", "y", 0), 2);
    EXPECT_EQ(ini.ReadString("main", "SKIN", ""), "05");
    ini.WriteString("Third", "z", "3");
    EXPECT_EQ(ini.ReadString("third", "Z", ""), "3");
    ini.SetText("[Other]\ny=7\n");
    EXPECT_EQ(ini.ReadInteger("Other", "y", 0), 7);
    EXPECT_FALSE(ini.SectionExists("Main"));
}

TEST(IniFile, NamesBeyondAsciiMatchWithoutCaseToo)
{
    const TIniFile ini = iniOf("[Ярлыки]\nКнопка=1\nkey=2\n[Main]\nÄnderung=3\n");
    EXPECT_EQ(ini.ReadInteger("ярлыки", "кнопка", 0), 1);
    EXPECT_EQ(ini.ReadInteger("ЯРЛЫКИ", "KEY", 0), 2);
    EXPECT_EQ(ini.ReadInteger("main", "änderung", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Main", "missing", 9), 9);
}

TEST(IniFile, WritingTheSameValueChangesNothing)
{
    TIniFile ini = iniOf("[Main]\nVolume=50\n");
    ini.WriteInteger("Main", "Volume", 50);
    EXPECT_FALSE(ini.Modified());
}

TEST(IniFile, SavesCrLfAtomicallyAndReadsBackTheSame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/Config.ini");
    TIniFile ini(path);
    EXPECT_FALSE(ini.Exists());
    ini.WriteString("Main", "Lang", "Українська");
    ini.WriteInteger("Main", "Volume", 12);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(test::ReadFile(path), QByteArray("[Main]\r\nLang=Українська\r\nVolume=12\r\n"));
    const TIniFile back(path);
    EXPECT_EQ(back.ReadString("Main", "Lang", ""), "Українська");
}

TEST(IniFile, SaveFailsWhereTheFolderCannotBeWritten)
{
    TIniFile ini;
    ini.WriteString("A", "b", "c");
    EXPECT_FALSE(ini.Save()); // no file name
    EXPECT_FALSE(ini.SaveAs("/proc/vorlane-cannot-write/Config.ini"));
}

} // namespace
} // namespace vorlane
