#include "app/shell/Config.h"
#include "app/shell/Themes.h"
#include "base/IniFile.h"
#include "catalog/Vorlane.h"
#include "tests/app/WindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QAction>
#include <QActionGroup>
#include <QSlider>
#include <QThread>

namespace vorlane {
namespace {

QStringList keysInWriteOrder(const TIniFile &ini)
{
    QStringList keys;
    QString section;
    for (const QString &line : ini.Lines()) {
        if (line.startsWith(u'['))
            section = line;
        else if (line.contains(u'='))
            keys << section + line.section(u'=', 0, 0);
    }
    return keys;
}

TEST(Config, MissingFileGivesTheDefaults)
{
    const TConfig c = ReadConfig(TIniFile());
    EXPECT_EQ(c.Volume, 50);
    EXPECT_TRUE(c.AutoEdit);
    EXPECT_TRUE(c.Player);
    EXPECT_TRUE(c.ShowIndicator);
    EXPECT_FALSE(c.ShowMiniPlayer);
    EXPECT_EQ(c.FontSize, 8);
    EXPECT_EQ(c.Repeat, TRepeatMode::rmNot);
    EXPECT_EQ(c.ListIndex, 1);
    EXPECT_EQ(c.Lang, "Eng");
    EXPECT_EQ(c.Skin, "Aluminiun (internal)");
    EXPECT_EQ(c.sPCenterWidth, 416);
    EXPECT_EQ(c.sPLeftWidth, 191);
    EXPECT_EQ(c.sPRightWidth, 408);
    EXPECT_EQ(c.sPTopHeight, 40);
    EXPECT_EQ(c.Width, 1024);
    EXPECT_EQ(c.Heigth, 485);
    EXPECT_EQ(c.SoundProc.Band[9], 15);
    EXPECT_TRUE(c.RenameTemplate.Artist);
    EXPECT_TRUE(c.RenameTemplate.Name);
    EXPECT_FALSE(c.RenameTemplate.Number);
}

TEST(Config, WritesEveryKeyInTheExitOrder)
{
    TIniFile ini;
    WriteConfig(ini, TConfig());
    QStringList expected;
    for (const char *k :
         {"Volume", "AutoEdit", "Player", "ShowIndidcator", "ShowMiniPlayer", "FontSize", "Repeat",
          "VisMode", "BrowseMode", "ListIndex", "Lang", "Skin"})
        expected << QStringLiteral("[Main]") + k;
    for (const char *k : {"ShowNavigator", "ShowTools", "ShowPeaks", "sPCenterWidth", "sPLeftWidth",
                          "sPRightWidth", "sPTopHeight", "Width", "Heigth"})
        expected << QStringLiteral("[Main]") + k;
    for (int b = 0; b < 10; ++b)
        expected << "[SoundProc]Band" + QString::number(b);
    for (const char *k : {"EqEnabled", "PowerEqEnabled", "EchoEnabled", "EchoDelay", "EchoLevel",
                          "CompressorEnabled", "CompressorRatio", "CompressorLevel", "EqMode"})
        expected << QStringLiteral("[SoundProc]") + k;
    for (const char *k : {"Number", "Artist", "Album", "Name", "Year"})
        expected << QStringLiteral("[RenameTagTemplate]") + k;
    // The second pass over "Main" lands in the section the first pass made.
    EXPECT_EQ(keysInWriteOrder(ini), expected);
    EXPECT_FALSE(ini.ValueExists("Main", "ServerName"));
    EXPECT_FALSE(ini.ValueExists("Main", "CodePage"));
}

TEST(Config, RoundTripKeepsEveryValue)
{
    TConfig c;
    c.Volume = 99;
    c.AutoEdit = false;
    c.ShowMiniPlayer = true;
    c.FontSize = 14;
    c.Repeat = TRepeatMode::rmAll;
    c.VisMode = 2;
    c.BrowseMode = 2;
    c.ListIndex = 3;
    c.Lang = "ukr";
    c.Skin = "05";
    c.sPCenterWidth = 500;
    c.Width = 1300;
    c.Heigth = 800;
    c.ShowTools = false;
    c.SoundProc.EqEnabled = true;
    c.SoundProc.EchoDelay = 300;
    c.SoundProc.Band[3] = 2;
    c.SoundProc.EqMode = 4;
    c.RenameTemplate = {true, false, true, false, true};
    TIniFile ini;
    WriteConfig(ini, c);
    const TConfig back = ReadConfig(ini);
    EXPECT_EQ(back.Volume, 99);
    EXPECT_FALSE(back.AutoEdit);
    EXPECT_TRUE(back.ShowMiniPlayer);
    EXPECT_EQ(back.FontSize, 14);
    EXPECT_EQ(back.Repeat, TRepeatMode::rmAll);
    EXPECT_EQ(back.VisMode, 2);
    EXPECT_EQ(back.BrowseMode, 2);
    EXPECT_EQ(back.ListIndex, 3);
    EXPECT_EQ(back.Lang, "ukr");
    EXPECT_EQ(back.Skin, "05");
    EXPECT_EQ(back.sPCenterWidth, 500);
    EXPECT_EQ(back.Width, 1300);
    EXPECT_EQ(back.Heigth, 800);
    EXPECT_FALSE(back.ShowTools);
    EXPECT_TRUE(back.SoundProc.EqEnabled);
    EXPECT_EQ(back.SoundProc.EchoDelay, 300);
    EXPECT_EQ(back.SoundProc.Band[3], 2);
    EXPECT_EQ(back.SoundProc.EqMode, 4);
    EXPECT_TRUE(back.RenameTemplate.Number);
    EXPECT_FALSE(back.RenameTemplate.Artist);
    EXPECT_TRUE(back.RenameTemplate.Year);
}

TEST(Config, RepeatWordsAreExactAndAnUnknownWordIsLeftInTheFile)
{
    EXPECT_EQ(RepeatModeFromText("One"), TRepeatMode::rmOne);
    EXPECT_EQ(RepeatModeFromText("one"), TRepeatMode::rmUnset);
    EXPECT_EQ(RepeatModeFromText("All "), TRepeatMode::rmUnset);
    TIniFile ini;
    ini.SetText("[Main]\nRepeat=one\n");
    const TConfig c = ReadConfig(ini);
    EXPECT_EQ(c.Repeat, TRepeatMode::rmUnset);
    WriteConfig(ini, c);
    EXPECT_EQ(ini.ReadString("Main", "Repeat", ""), "one");
}

TEST(Config, MaximisedWindowLeavesWidthAndHeightAndServerNameAndServicesAreNeverWritten)
{
    TIniFile ini;
    ini.SetText("[Main]\nServerName=http://example.invalid/lst.txt\nWidth=900\nHeigth=600\n"
                "[Services]\nSearchSite1=http://one.invalid/\n");
    TConfig c = ReadConfig(ini);
    EXPECT_EQ(c.Services.SearchSite1, "http://one.invalid");
    c.ServerName = "changed";
    c.Services.SearchSite1 = "changed";
    c.Maximized = true;
    c.Width = 1920;
    c.Heigth = 1080;
    WriteConfig(ini, c);
    EXPECT_EQ(ini.ReadString("Main", "ServerName", ""), "http://example.invalid/lst.txt");
    EXPECT_EQ(ini.ReadString("Services", "SearchSite1", ""), "http://one.invalid/");
    EXPECT_EQ(ini.ReadInteger("Main", "Width", 0), 900);
    EXPECT_EQ(ini.ReadInteger("Main", "Heigth", 0), 600);
}

TEST(Config, MalformedNumbersFallBackKeyByKey)
{
    TIniFile ini;
    ini.SetText("[Main]\nVolume=loud\nFontSize=12\n[SoundProc]\nBand4=x\nBand5=3\n");
    const TConfig c = ReadConfig(ini);
    EXPECT_EQ(c.Volume, 50);
    EXPECT_EQ(c.FontSize, 12);
    EXPECT_EQ(c.SoundProc.Band[4], 15);
    EXPECT_EQ(c.SoundProc.Band[5], 3);
}

TEST(Config, NonFiniteOrFractionalNumbersAreTakenAsMissing)
{
    for (const char *word : {"nan", "-NaN", "inf", "+Infinity", "1e999", "1e3", "3.5"}) {
        TIniFile ini;
        ini.SetText(QString("[Main]\nVolume=%1\nWidth=%1\n[SoundProc]\nEchoDelay=%1\nBand0=%1\n")
                        .arg(word));
        const TConfig c = ReadConfig(ini);
        EXPECT_EQ(c.Volume, 50) << word;
        EXPECT_EQ(c.Width, 1024) << word;
        EXPECT_EQ(c.SoundProc.EchoDelay, 1) << word;
        EXPECT_EQ(c.SoundProc.Band[0], 15) << word;
    }
}

// ---- Through the main window ----

void writeConfig(const test::TWindowFolders &f, const QString &mainLines)
{
    ASSERT_TRUE(test::WriteFile(f.Config(), ("[Main]\r\n" + mainLines).toUtf8()));
}

TEST(ConfigWindow, AppliesTheFileAndWritesItBackAtExit)
{
    test::TWindowFolders f;
    writeConfig(f, "Volume=77\r\nRepeat=one\r\nFontSize=10\r\nSkin=Disabled\r\n"
                   "ServerName=http://catalogue.invalid/lst.txt\r\nPlayer=0\r\nBrowseMode=0\r\n"
                   "ListIndex=3\r\nCodePage=koi8-r\r\n; my note\r\n");
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        EXPECT_EQ(w.PlayerPanel().sTBVolume->value(), 77);
        EXPECT_EQ(w.Menus().RepeatMode(), TRepeatMode::rmUnset);
        for (const QAction *item : w.Menus().FontSize->actions())
            EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
        EXPECT_TRUE(test::SkinItem(w, kThemesOffName)->isChecked());
        EXPECT_EQ(CurrentTheme(), kThemesOffName);
        EXPECT_FALSE(w.Menus().PMCPlayFiles->isChecked());
        EXPECT_EQ(w.Controller()->ServerName(), "http://catalogue.invalid/lst.txt");
        EXPECT_EQ(w.Browse().sLBBrowseWindow->font().pointSize(), 10);
        w.close();
    }
    const TIniFile ini(f.Config());
    EXPECT_EQ(ini.ReadInteger("Main", "Volume", 0), 77);
    EXPECT_EQ(ini.ReadString("Main", "Repeat", ""), "one");
    EXPECT_EQ(ini.ReadInteger("Main", "FontSize", 0), 10);
    EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "Disabled");
    EXPECT_EQ(ini.ReadString("Main", "ServerName", ""), "http://catalogue.invalid/lst.txt");
    EXPECT_EQ(ini.ReadString("Main", "CodePage", ""), "koi8-r");
    EXPECT_EQ(ini.ReadInteger("Main", "ListIndex", 0), -1); // mode 0
    EXPECT_TRUE(ini.Lines().contains("; my note"));
    EXPECT_TRUE(ini.ValueExists("SoundProc", "PowerEqEnabled"));
}

TEST(ConfigWindow, ChosenThemeRepeatAndFontAreStored)
{
    test::TWindowFolders f;
    writeConfig(f, "Skin=Aluminiun (internal)\r\n");
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        test::SkinItem(w, "05")->trigger();
        w.Menus().PMCROne->trigger();
        w.Menus().PMCFSBig->trigger();
        EXPECT_EQ(CurrentTheme(), "05");
        w.close();
    }
    const TIniFile ini(f.Config());
    EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "05");
    EXPECT_EQ(ini.ReadString("Main", "Repeat", ""), "One");
    EXPECT_EQ(ini.ReadInteger("Main", "FontSize", 0), 14);
    ApplyTheme(kDefaultTheme);
}

TEST(ConfigWindow, ExitDeletesTheStreamCacheFilesAndStartsTheUpdater)
{
    test::TWindowFolders f;
    writeConfig(f, "");
    const QString cache = f.AppData() + "/VL4Conf/Cache/";
    for (const char *name : {"temp.mp3", "temp", "temp.m3u"})
        ASSERT_TRUE(test::WriteFile(cache + name, "x"));
    ASSERT_TRUE(test::WriteFile(cache + "keep.txt", "x"));
    const QString marker = f.Work() + "/updater-ran";
    ASSERT_TRUE(test::WriteFile(f.Work() + "/AutoUpdater",
                                ("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8()));
    QFile::setPermissions(f.Work() + "/AutoUpdater",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        w.close();
    }
    EXPECT_FALSE(QFile::exists(cache + "temp.mp3"));
    EXPECT_FALSE(QFile::exists(cache + "temp"));
    EXPECT_FALSE(QFile::exists(cache + "temp.m3u"));
    EXPECT_TRUE(QFile::exists(cache + "keep.txt"));
    for (int i = 0; i < 100 && !QFile::exists(marker); ++i)
        QThread::msleep(50);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST(ConfigWindow, ModeAndListIndexComeBack)
{
    test::TWindowFolders f;
    for (const char *d : {"a", "b", "c"})
        ASSERT_TRUE(test::WriteFile(f.Root.path() + "/music/" + d + "/x.mp3", "x"));
    writeConfig(f, "");
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        for (const char *d : {"a", "b", "c"})
            w.addFolderList(f.Root.path() + "/music/" + d, false);
        w.Controller()->SetMode(bmComputerLists);
        w.Controller()->SetVisibleListIndex(2);
        w.close();
    }
    const TIniFile ini(f.Config());
    EXPECT_EQ(ini.ReadInteger("Main", "BrowseMode", -5), 1);
    EXPECT_EQ(ini.ReadInteger("Main", "ListIndex", -5), 2);
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(ConfigWindow, EffectSettingsGoToThePlayerAndComeBack)
{
    test::TWindowFolders f;
    ASSERT_TRUE(test::WriteFile(f.Config(), "[SoundProc]\r\nEchoEnabled=1\r\nEchoDelay=300\r\n"
                                            "CompressorRatio=4\r\nBand2=7\r\nEqEnabled=1\r\n"));
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        auto player = std::make_unique<test::TScriptedPlayer>();
        test::TScriptedPlayer *p = player.get();
        w.SetPlayer(std::move(player));
        EXPECT_TRUE(p->Effects.EchoEnabled);
        EXPECT_EQ(p->Effects.EchoDelay, 300);
        EXPECT_EQ(p->Effects.CompressorRatio, 4);
        EXPECT_TRUE(p->Effects.PowerEqEnabled);
        EXPECT_TRUE(w.Menus().PMCSPEqEnabled->isChecked());
        p->Effects.EchoDelay = 450; // as if the sound window had moved the slider
        w.close();
    }
    const TIniFile ini(f.Config());
    EXPECT_EQ(ini.ReadInteger("SoundProc", "EchoDelay", 0), 450);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "Band2", 0), 7);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "PowerEqEnabled", 0), 1);
    EXPECT_EQ(ini.ReadInteger("SoundProc", "EqEnabled", 0), 1);
}

} // namespace
} // namespace vorlane

namespace vorlane {
namespace {

TEST(ConfigWindow, TheCatalogueIsReadAtStartAndWrittenAtExit)
{
    test::TWindowFolders f;
    const QString music = f.Root.path() + "/music";
    ASSERT_TRUE(test::WriteFile(music + "/One.mp3", "x"));
    ASSERT_TRUE(test::WriteFile(f.Config(), "[Main]\r\nBrowseMode=2\r\nListIndex=0\r\n"));
    {
        TMainWindow w(f.Options());
        ASSERT_TRUE(w.Ok());
        w.addFolderList(music, false);
        w.close();
    }
    EXPECT_TRUE(test::ReadFile(f.AppData() + "/VL4Conf/FL.txt").contains("music"));
    TMainWindow again(f.Options());
    ASSERT_TRUE(again.Ok());
    again.CreateWindowSet();
    EXPECT_EQ(again.Controller()->FolderListCount(), 1);
    EXPECT_EQ(again.Controller()->Mode(), bmComputerFiles);
    EXPECT_EQ(again.Browse().BrowseLines().value(1), "One");
    EXPECT_EQ(again.Side().DirListLines().size(), 1);
}

} // namespace
} // namespace vorlane
