#include "net/InetCatalog.h"
#include "base/IniFile.h"
#include "net/CloudLink.h"
#include "net/Services.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace vorlane;

TEST(CacheFileName, OnlyPlainFileNamesOfTheCacheFolder)
{
    struct Case {
        const char *address, *name;
    } cases[] = {
        {"http://h/lists/Rock.txt", "Rock.txt"},
        {"http://h/lists/Рок и поп.txt", "Рок и поп.txt"},
        {"Rock.txt", "Rock.txt"},
        {"http://h/lists/", ""},
        {"http://h/lists/.", ""},
        {"http://h/lists/..", ""},
        {"http://h/lists/..\\..\\x.txt", ""},
        {"http://h/lists/..%2F..%2Fx.txt", ""},
        {"http://h/lists/..%5cx.txt", ""},
        {"http://h/lists/a\tb.txt", ""},
        {"http://h/lists/...", "..."},
        {"http://h/lists/a%20b.txt", "a%20b.txt"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CacheFileName(QString::fromUtf8(c.address)), QString::fromUtf8(c.name))
            << c.address;
}

TEST(CacheFileName, UpToDateRule)
{
    EXPECT_TRUE(CacheUpToDate(0, -1)); // no length: never downloaded by the refresh
    EXPECT_TRUE(CacheUpToDate(120, 120));
    EXPECT_FALSE(CacheUpToDate(120, 119));
    EXPECT_FALSE(CacheUpToDate(120, -1));
}

TEST(CloudLink, HostsComeFromTheServices)
{
    TServices s;
    s.CloudDownloadHost = "dl.store.test";
    s.CloudWebHost = "store.test";
    EXPECT_TRUE(IsCloudAddress("https://dl.store.test/get/a.mp3", s));
    EXPECT_TRUE(IsCloudAddress("https://eu1.DL.Store.test:8443/get/a.mp3", s));
    EXPECT_FALSE(IsCloudAddress("https://xdl.store.test/get/a.mp3", s));
    EXPECT_FALSE(IsCloudAddress("https://other.test/dl.store.test/get/a.mp3", s));
    EXPECT_EQ(CloudRefererLine("https://dl.store.test/get/AbC/x/song.mp3?k=1", s),
              "Referer: https://store.test/public/AbC/x/song.mp3?k=1");
    EXPECT_EQ(StreamRequestText("https://dl.store.test/get/a", s),
              "https://dl.store.test/get/a\r\nReferer: https://store.test/public/a\r\n");
    EXPECT_EQ(StreamRequestText("https://other.test/get/a", s), "https://other.test/get/a");
    // Either host missing switches the rule off.
    s.CloudWebHost.clear();
    EXPECT_FALSE(IsCloudAddress("https://dl.store.test/get/a.mp3", s));
    EXPECT_EQ(CloudRefererLine("https://dl.store.test/get/a.mp3", s), QString());
}

TEST(Services, ReadFromTheirSection)
{
    TIniFile ini;
    ini.SetText("[Main]\nSearchSite1=http://no\n[Services]\nSearchSite1= http://one.test/ \n"
                "CloudWebHost=store.test\nAccountPassword=\" pass \"\n");
    const TServices s = ReadServices(ini);
    EXPECT_EQ(s.SearchSite1, "http://one.test");
    EXPECT_EQ(s.SearchSite2, QString());
    EXPECT_EQ(s.CloudWebHost, "store.test");
    EXPECT_EQ(s.AccountPassword, " pass ");
    EXPECT_TRUE(s.SearchOn());
    EXPECT_FALSE(s.CloudOn());
}

namespace {

// A catalogue server over a folder: lists/a.txt (two entries), lists/b.txt (one), lists/c.txt.
class Refresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/a.txt"),
                                    "http://m/a1.mp3?A one\r\nhttp://m/a2.mp3?A two\r\n"));
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/b.txt"), "http://m/b1.mp3?B\r\n"));
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/c.txt"), "http://m/c1.mp3\r\n"));
        server = std::make_unique<test::HttpServer>(served.path());
        ASSERT_TRUE(server->Ok());
        data = local.path() + "/data/";
        ASSERT_TRUE(QDir().mkpath(data + "VL4Conf"));
    }
    void TearDown() override { ConfigureServices({}); }
    void index(const QStringList &lines)
    {
        ASSERT_TRUE(test::WriteFile(served.filePath("lst.txt"), lines.join("\r\n").toUtf8()));
    }
    QStringList outcomes(const TRefreshReport &report)
    {
        QStringList out;
        const char *words[] = {"updated", "kept", "failed", "skipped"};
        for (const TRefreshLine &l : report.Lines)
            out << QString::fromLatin1(words[int(l.Outcome)]) + u' ' + l.CacheName;
        return out;
    }
    QByteArray cached(const QString &name)
    {
        return test::ReadFile(data + "VL4Conf/Cache/" + name);
    }
    int gets(const QString &path)
    {
        return int(server->Requests().filter("GET /" + path + " VL4Refresher").size());
    }

    QTemporaryDir served;
    QTemporaryDir local;
    std::unique_ptr<test::HttpServer> server;
    QString data;
};

} // namespace

TEST_F(Refresh, DownloadsWhatChangedAndNothingElse)
{
    index({server->Url("lists/a.txt"), server->Url("nolength/lists/b.txt"), server->Url("lists/"),
           server->Url("redirect/lists/a.txt"), "http://h/..%2F..%2Fevil.txt", "http://h/..",
           "http://h/x\\..\\evil.txt"});
    const TRefreshReport first = RefreshCatalogueCache(server->Url("lst.txt"), data);
    EXPECT_TRUE(first.IndexRead);
    EXPECT_FALSE(first.Failed);
    EXPECT_EQ(outcomes(first), QStringList({"updated a.txt", "kept b.txt", "skipped ", "kept a.txt",
                                            "skipped ", "skipped ", "skipped "}));
    EXPECT_EQ(cached("a.txt"), test::ReadFile(served.filePath("lists/a.txt")));
    EXPECT_FALSE(QFileInfo::exists(data + "VL4Conf/Cache/b.txt")); // no length: never fetched
    EXPECT_EQ(QDir(local.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"data"}));
    EXPECT_EQ(QDir(data + "VL4Conf").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"Cache", "lst.txt"}));

    // Unchanged lengths fetch nothing; a changed one fetches its list again.
    ASSERT_TRUE(test::WriteFile(served.filePath("lists/a.txt"), "http://m/new.mp3\r\n"));
    const TRefreshReport second = RefreshCatalogueCache(server->Url("lst.txt"), data);
    EXPECT_EQ(outcomes(second).first(), "updated a.txt");
    EXPECT_EQ(cached("a.txt"), "http://m/new.mp3\r\n");
    EXPECT_EQ(gets("lst.txt"), 1);
    EXPECT_EQ(gets("lists/a.txt"), 2);
    RefreshCatalogueCache(server->Url("lst.txt"), data);
    EXPECT_EQ(gets("lists/a.txt"), 2);
}

TEST_F(Refresh, AnUnreachableServerKeepsTheCache)
{
    index({server->Url("lists/a.txt")});
    ASSERT_TRUE(RefreshCatalogueCache(server->Url("lst.txt"), data).IndexRead);
    const QByteArray before = cached("a.txt");
    server.reset();
    const TRefreshReport report = RefreshCatalogueCache("http://127.0.0.1:1/lst.txt", data);
    EXPECT_TRUE(report.IndexRead); // the kept index
    EXPECT_FALSE(report.Failed);
    EXPECT_EQ(outcomes(report), QStringList({"kept a.txt"}));
    EXPECT_EQ(cached("a.txt"), before);

    const TFileList list = ReadCachedList(data, "http://anything/a.txt");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(1).Title, "A two");
    EXPECT_EQ(list.RootDir, "http://anything/a.txt");
}

TEST_F(Refresh, CloudListsCarryTheRefererTheServerWants)
{
    index({server->Url("get/lists/c.txt?k=1")});
    // Without the cloud hosts the server refuses the list: nothing arrives, nothing fails.
    TRefreshReport report = RefreshCatalogueCache(server->Url("lst.txt"), data);
    EXPECT_EQ(outcomes(report), QStringList({"kept c.txt?k=1"}));
    TServices s;
    s.CloudDownloadHost = "127.0.0.1";
    s.CloudWebHost = "store.test";
    ConfigureServices(s);
    report = RefreshCatalogueCache(server->Url("lst.txt"), data);
    EXPECT_EQ(outcomes(report), QStringList({"updated c.txt?k=1"}));
    EXPECT_EQ(cached("c.txt?k=1"), "http://m/c1.mp3\r\n");
}

TEST_F(Refresh, AListIsBuiltAgainOnlyWhenItsFileChanged)
{
    const QString file = data + "VL4Conf/Cache/same.txt";
    QDir().mkpath(data + "VL4Conf/Cache");
    ASSERT_TRUE(test::WriteFile(file, "http://m/a.mp3?One\r\n"));
    EXPECT_EQ(ReadCachedList(data, "h/same.txt").At(0).Title, "One");
    // The same size, written in place: its times tell the change.
    ASSERT_TRUE(test::WriteFile(file, "http://m/a.mp3?Two\r\n"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    const TFileList again = ReadCachedList(data, "h/same.txt");
    EXPECT_EQ(again.At(0).Title, "Two");
    EXPECT_EQ(again.RootDir, "h/same.txt");
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_EQ(ReadCachedList(data, "h/same.txt").Count(), 0);
}

TEST_F(Refresh, ListsReadLikeEveryTextFile)
{
    QDir().mkpath(data + "VL4Conf/Cache");
    ASSERT_TRUE(
        test::WriteFile(data + "VL4Conf/Cache/bom.txt", "\xEF\xBB\xBFhttp://m/x.mp3?Ё\r\n"));
    ASSERT_TRUE(test::WriteFile(data + "VL4Conf/Cache/legacy.txt", "http://m/y.mp3?\xC0\xE1\r\n"));
    EXPECT_EQ(ReadCachedList(data, "h/bom.txt").At(0).Title, "Ё");
    const QString legacy = ReadCachedList(data, "h/legacy.txt").At(0).Title;
    EXPECT_EQ(legacy.size(), 2);
    EXPECT_NE(legacy, QString::fromUtf8("\xC0\xE1")); // taken by the code page, not as UTF-8
    EXPECT_EQ(ReadCachedList(data, "h/..").Count(), 0);
}
