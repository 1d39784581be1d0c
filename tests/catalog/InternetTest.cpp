#include "base/Messages.h"
#include "catalog/Vorlane.h"
#include "net/Services.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

// A controller over a data folder and a catalogue server whose index names two lists:
//   a.txt "A one", "A two"      b.txt "B one", "B two", "B three"
class Internet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        SetMessage("SM_INTERNET", "Internet");
        SetMessage("SM_CATALOG", "Catalog");
        SetMessage("SM_CATALOGOFF", "catalogue off");
        SetMessage("SM_SEARCHOFF", "search off");
        SetMessage("SM_SEARCHSITEOFF", "one site off");
        SetMessage("SM_LISTLOAD", "Loading:");
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/a.txt"),
                                    "http://m/a1.mp3?A one\r\nhttp://m/a2.mp3?A two\r\n"));
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/b.txt"),
                                    "http://m/b1.mp3?B one\r\nhttp://m/b2.mp3?B two\r\n"
                                    "http://m/b3.mp3?B three\r\n"));
        server = std::make_unique<test::HttpServer>(served.path());
        ASSERT_TRUE(server->Ok());
        ASSERT_TRUE(test::WriteFile(
            served.filePath("lst.txt"),
            (server->Url("lists/a.txt") + "\r\n" + server->Url("lists/b.txt") + "\r\n").toUtf8()));
        c.SetProgramDataDir(data.path());
        c.SetServerName(server->Url("lst.txt"));
        c.Flags(); // the code every new controller starts with
    }
    void TearDown() override
    {
        ConfigureServices({});
        ClearMessages();
    }

    // The next event code as the main timer would take it; 0 when none came in time.
    int nextEvent(int timeoutMs = 20000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (const int code = c.Flags())
                return code;
        }
        return 0;
    }
    // Every internet worker has ended; the code of what they left, 0 for none.
    int settle()
    {
        QDeadlineTimer deadline(20000);
        while (c.InternetBusy() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (const int code = c.Flags())
                return code;
        }
        return c.Flags();
    }
    void sites(const QString &one, const QString &two)
    {
        TServices s;
        s.SearchSite1 = one;
        s.SearchSite2 = two;
        ConfigureServices(s);
    }
    void page(const QString &query, const QString &entries)
    {
        ASSERT_TRUE(test::WriteFile(served.filePath("search/" + query + "/index.html"),
                                    ("<div class=\"content\">" + entries).toUtf8()));
    }
    static QString block(const QString &id, const QString &name)
    {
        return QStringLiteral("<div class=\"block\" data-url=\"%1\" data-resource=\"\">"
                              "&laquo;%2&raquo;</div>")
            .arg(id, name);
    }
    QStringList titles(const TFileList &list)
    {
        QStringList out;
        for (int i = 0; i < list.Count(); ++i)
            out << list.At(i).Title;
        return out;
    }

    QTemporaryDir served;
    QTemporaryDir data;
    std::unique_ptr<test::HttpServer> server;
    TVorlane c;
};

} // namespace

TEST_F(Internet, CheckRefreshThenBrowseTheLists)
{
    c.CheckInetConnection();
    EXPECT_FALSE(c.InetEnabled()); // the answer comes through the timer
    EXPECT_EQ(nextEvent(), efInternetEnabled);
    EXPECT_TRUE(c.InetEnabled());

    c.RefreshCache();
    EXPECT_TRUE(c.CacheRefreshRunning());
    c.RefreshCache(); // never a second one beside it
    EXPECT_EQ(nextEvent(), efRefreshView);
    EXPECT_FALSE(c.CacheRefreshed()); // a complete refresh: the lists are rebuilt when shown
    EXPECT_EQ(settle(), efNone);
    EXPECT_EQ(server->Requests().filter("GET /lst.txt VL4Refresher").size(), 1);

    c.SetMode(bmInternetLists);
    EXPECT_EQ(c.List().List, QStringList({"---Internet---", "a2.mp3", "b2.mp3"}));
    EXPECT_TRUE(c.CacheRefreshed());
    c.SetVisibleListIndex(1);
    c.SetMode(bmInternetFiles);
    EXPECT_EQ(c.List().List, QStringList({"---Catalog b---", "B one", "B two", "B three"}));
    c.SetFileIndex(2);
    EXPECT_EQ(c.CurrentFile().FileName, "b3.mp3");
}

TEST_F(Internet, CatalogueOffOrUnreachable)
{
    c.SetServerName(QString());
    c.CheckInetConnection();
    c.CheckInetConnection();
    EXPECT_EQ(c.TakeNotices(), QStringList({"catalogue off"})); // once a run
    EXPECT_FALSE(c.InternetBusy());

    c.SetServerName("http://127.0.0.1:1/lst.txt");
    c.CheckInetConnection();
    EXPECT_EQ(settle(), efNone);
    EXPECT_FALSE(c.InetEnabled());
    c.RefreshCache(); // nothing while the internet is off
    EXPECT_FALSE(c.CacheRefreshRunning());
    EXPECT_TRUE(c.TakeNotices().isEmpty()); // failures are silent
}

TEST_F(Internet, AddListDownloadsOnAWorker)
{
    c.SetMode(bmInternetLists);
    c.Flags();
    ASSERT_TRUE(test::WriteFile(served.filePath("lists/big.txt"),
                                QByteArray("http://m/big.mp3?Big\r\n").repeated(2000)));
    c.AddList(server->Url("slow/lists/big.txt?chunk=4000&delay=0.05"), false, false);
    c.AddList(server->Url("lists/a.txt"), false, false); // waits behind the first
    EXPECT_EQ(c.Flags(), efNone);
    int64_t received = 0, expected = 0;
    EXPECT_TRUE(c.ListDownloadProgress(received, expected));

    EXPECT_EQ(nextEvent(), efListAdded);
    ASSERT_EQ(c.InetListCount(), 1);
    EXPECT_EQ(c.InetList(0).Count(), 1); // the same address, given again and again, once
    EXPECT_EQ(nextEvent(), efListAdded);
    ASSERT_EQ(c.InetListCount(), 2);
    EXPECT_EQ(titles(c.InetList(1)), QStringList({"A one", "A two"}));
    EXPECT_FALSE(c.ListDownloadProgress(received, expected));

    // From the cache: at once, and nothing for an address that names no cache file.
    c.AddList("http://offline.invalid/lists/a.txt", false, true);
    EXPECT_EQ(c.Flags(), efListAdded);
    EXPECT_EQ(c.InetList(2).Count(), 2);
    c.AddList(server->Url("lists/"), false, false);
    EXPECT_EQ(nextEvent(), efListAdded);
    EXPECT_EQ(c.InetList(3).Count(), 0);
}

TEST_F(Internet, ListDownloadStatusText)
{
    EXPECT_EQ(ListDownloadStatus(512, 2048), "Loading: 25%");
    EXPECT_EQ(ListDownloadStatus(4096, 2048), "Loading: 100%");
    EXPECT_EQ(ListDownloadStatus(300 * 1024, -1), "Loading: 300 KB");
}

TEST_F(Internet, SearchResultsReplaceTheSearchList)
{
    page("song", block("1", "One") + block("2", "Two"));
    sites(server->Url("").chopped(1), QString());
    c.SetMode(bmInternetSearch);
    c.Flags();
    c.Find("song", 0.8f);
    EXPECT_EQ(c.TakeNotices(), QStringList({"one site off"}));
    EXPECT_TRUE(c.InetSearchRunning());
    EXPECT_EQ(nextEvent(), efListReplaced);
    EXPECT_EQ(c.Mode(), bmInternetSearch);
    EXPECT_EQ(titles(c.SearchList()), QStringList({"One", "Two"}));
    EXPECT_EQ(c.SearchList().CurIndex, 0);
    c.Find("song", 0.8f);
    EXPECT_TRUE(c.TakeNotices().isEmpty()); // said once a run

    sites(QString(), QString());
    c.Find("song", 0.8f);
    c.Find("song", 0.8f);
    EXPECT_EQ(c.TakeNotices(), QStringList({"search off", "search off"})); // each time asked
    EXPECT_EQ(settle(), efListReplaced); // the search started before
}

TEST_F(Internet, ANewerSearchIsNeverReplacedByAnOlderOne)
{
    page("old", block("1", "Old"));
    page("new", block("2", "New"));
    sites(server->Url("wait/1"), QString());
    c.SetMode(bmInternetSearch);
    c.Flags();
    c.Find("old", 0.8f);
    sites(server->Url("").chopped(1), QString());
    c.Find("new", 0.8f); // ends first
    EXPECT_EQ(nextEvent(), efListReplaced);
    EXPECT_EQ(titles(c.SearchList()), QStringList({"New"}));
    EXPECT_EQ(settle(), efNone);
    EXPECT_EQ(titles(c.SearchList()), QStringList({"New"}));

    // A list opened while a search runs supersedes it too.
    sites(server->Url("wait/1"), QString());
    c.Find("new", 0.8f);
    c.OpenExtFileList("http://m/x.mp3", true);
    EXPECT_EQ(c.Flags(), efListReplaced);
    EXPECT_EQ(settle(), efNone);
    EXPECT_EQ(c.SearchList().At(0).FileName, "x.mp3");
}

TEST_F(Internet, DeadSearchResultsArePruned)
{
    ASSERT_TRUE(test::WriteFile(served.filePath("small.mp3"), QByteArray(1000, 's')));
    ASSERT_TRUE(test::WriteFile(served.filePath("live.mp3"), QByteArray(60000, 'l')));
    c.OpenExtFileList(server->Url("small.mp3") + "\n" + server->Url("live.mp3") +
                          "\nhttp://127.0.0.1:1/dead.mp3",
                      true);
    c.SetFileIndex(2);
    c.Flags();
    c.DeleteInvalidInetSearchRecord();
    EXPECT_EQ(nextEvent(), efDeleteDone);
    EXPECT_EQ(c.SearchList().Count(), 2);
    EXPECT_EQ(c.FileIndex(), 0); // it was the last one

    c.SetFileIndex(1);
    c.Flags();
    c.DeleteInvalidInetSearchRecord();
    EXPECT_EQ(settle(), efNone); // live: kept
    EXPECT_EQ(c.SearchList().Count(), 2);

    c.SetFileIndex(0);
    c.Flags();
    c.DeleteInvalidInetSearchRecord();
    EXPECT_EQ(nextEvent(), efDeleteDone);
    EXPECT_EQ(c.SearchList().At(0).FileName, "live.mp3");
    EXPECT_EQ(c.FileIndex(), 0); // the entry that took its place
}
