#include "app/shell/DataFolder.h"
#include "base/IniFile.h"
#include "base/TextUtils.h"
#include "tests/app/WindowTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace vorlane {
namespace {

TEST(DataFolder, FirstStartSeedsTheApplicationDataFolderOfThisHome)
{
    QTemporaryDir work;
    const QString appData = GetSpecialFolder(26);
    ASSERT_TRUE(appData.startsWith(QDir::homePath())); // the test's own HOME
    QDir(appData + "/VL4Conf").removeRecursively();

    const TDataFolder first = FindDataFolder(work.path(), appData, test::BundledData());
    ASSERT_EQ(first.Dir, appData + "/") << first.Error.toStdString();
    EXPECT_TRUE(first.Seeded);
    const QString conf = appData + "/VL4Conf/";
    for (const char *file :
         {"Config.ini", "FL.txt", "BK.txt", "PL.txt", "Playlists/MyNetwork.vl3u"})
        EXPECT_TRUE(QFileInfo(conf + file).isFile()) << file;
    EXPECT_TRUE(QFileInfo(conf + "Cache").isDir());
    EXPECT_TRUE(QFileInfo(conf + "Config.ini").isWritable());
    EXPECT_EQ(TIniFile(conf + "Config.ini").ReadString("Main", "Skin", ""), "Aluminiun (internal)");

    // The user's copy is theirs from now on: a second start finds it and seeds nothing.
    TIniFile edited(conf + "Config.ini");
    edited.WriteInteger("Main", "Volume", 3);
    ASSERT_TRUE(edited.Save());
    const TDataFolder second = FindDataFolder(work.path(), appData, test::BundledData());
    EXPECT_EQ(second.Dir, appData + "/");
    EXPECT_FALSE(second.Seeded);
    EXPECT_EQ(TIniFile(conf + "Config.ini").ReadInteger("Main", "Volume", 0), 3);
}

TEST(DataFolder, APortableWorkingFolderWins)
{
    QTemporaryDir work;
    QTemporaryDir appData;
    ASSERT_TRUE(test::WriteFile(work.path() + "/VL4Conf/Config.ini", "[Main]\r\n"));
    ASSERT_TRUE(test::WriteFile(appData.path() + "/VL4Conf/Config.ini", "[Main]\r\n"));
    EXPECT_EQ(ChooseDataFolder(work.path(), appData.path()), work.path() + "/");
    QFile::remove(work.path() + "/VL4Conf/Config.ini");
    EXPECT_EQ(ChooseDataFolder(work.path(), appData.path()), appData.path() + "/");
}

TEST(DataFolder, SeedingKeepsFilesAlreadyThere)
{
    QTemporaryDir appData;
    ASSERT_TRUE(
        test::WriteFile(appData.path() + "/VL4Conf/FL.txt", "0\r\n/music\r\nTrue\r\n0\r\n"));
    QString error;
    ASSERT_TRUE(SeedDataFolder(appData.path(), test::BundledData(), &error));
    EXPECT_EQ(test::ReadFile(appData.path() + "/VL4Conf/FL.txt"),
              QByteArray("0\r\n/music\r\nTrue\r\n0\r\n"));
    EXPECT_TRUE(QFileInfo(appData.path() + "/VL4Conf/Config.ini").isFile());
}

TEST(DataFolder, NoBundledDefaultsIsAnErrorWithAReason)
{
    QTemporaryDir work;
    QTemporaryDir appData;
    QTemporaryDir emptyBundle;
    const TDataFolder r = FindDataFolder(work.path(), appData.path(), emptyBundle.path());
    EXPECT_TRUE(r.Dir.isEmpty());
    EXPECT_FALSE(r.Seeded);
    EXPECT_TRUE(r.Error.contains("Config.ini"));
    const TDataFolder none = FindDataFolder(work.path(), QString(), test::BundledData());
    EXPECT_TRUE(none.Dir.isEmpty());
    EXPECT_FALSE(none.Error.isEmpty());
}

TEST(DataFolder, TheWindowDoesNotStartWithoutAFolderAndPreparesThePlaylistIndex)
{
    test::TWindowFolders f;
    TMainWindowOptions bad = f.Options();
    bad.BundledDir = f.Root.path() + "/nothing";
    TMainWindow failed(bad);
    EXPECT_FALSE(failed.Ok());
    EXPECT_FALSE(failed.StartError().isEmpty());

    ASSERT_TRUE(test::WriteFile(f.Config(), "[Main]\r\n"));
    ASSERT_TRUE(test::WriteFile(f.AppData() + "/VL4Conf/PL.txt", "Rock.vl3u\r\n"));
    TMainWindow w(f.Options());
    ASSERT_TRUE(w.Ok());
    EXPECT_FALSE(w.SeededThisStart());
    EXPECT_EQ(test::ReadFile(f.AppData() + "/VL4Conf/PL.txt"),
              QByteArray("MyNetwork.vl3u\r\nRock.vl3u\r\n"));
    EXPECT_EQ(test::ReadFile(f.AppData() + "/VL4Conf/Playlists/MyNetwork.vl3u"),
              QByteArray("0\r\n"));
}

} // namespace
} // namespace vorlane
