// The internet catalogue and search through the real window, against a catalogue and two search
// sites served from a local folder.

#include "app/shell/InetTimers.h"
#include "app/tools/TagPanel.h"
#include "base/Messages.h"
#include "tests/app/WindowTest.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QToolButton>

namespace vorlane::test {
namespace {

// Served: lst.txt naming lists a.txt ("A one", "A two") and b.txt ("B one" .. "B three"), whose
// entries are files of the same server; a search for "rain" on both sites: the first gives "Dead"
// (an address the server does not have), the second "Band - Live" (a served file of 60000 bytes).
class InetWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        server = std::make_unique<HttpServer>(served.path());
        ASSERT_TRUE(server->Ok());
        const QString base = server->Url({}).chopped(1);
        serve("lists/a.txt", line("a1.mp3", "A one") + line("a2.mp3", "A two"));
        serve("lists/b.txt",
              line("b1.mp3", "B one") + line("b2.mp3", "B two") + line("b3.mp3", "B three"));
        serve("lst.txt", server->Url("lists/a.txt") + "\r\n" + server->Url("lists/b.txt"));
        serve("search/rain/index.html",
              "<div class=\"content\"><div class=\"block\" data-url=\"7\" data-resource=\"\">"
              "&laquo;Dead&raquo;</div>");
        serve("q/rain/index.html",
              "<div class=\"xblock\"><h1 class=\"xblock-title\"><li class=\"track\" data-mp3=\"" +
                  base +
                  "/FILE/live.mp3\" data-duration=\"9\"><a class=\"playlist-title\">"
                  "<span>Band</span></a> - <a href=\"x\"><span>Live</span></a></li>");
        serve("listen/live.mp3", QString(60000, u'x'));
        config = "[Main]\r\nServerName=" + server->Url("lst.txt") +
                 "\r\n[Services]\r\n"
                 "SearchSite1=" +
                 base + "\r\nSearchSite2=" + base + "\r\n";
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        window.reset();
        ConfigureServices({});
    }
    QString line(const QString &file, const QString &title)
    {
        return server->Url(file) + u'?' + title + "\r\n";
    }
    void serve(const QString &path, const QString &text)
    {
        ASSERT_TRUE(WriteFile(served.filePath(path), text.toUtf8()));
    }
    void start()
    {
        ASSERT_TRUE(WriteFile(folders.Config(), config.toUtf8()));
        OpenWindow();
        window->resize(1100, 700);
        window->show();
        Settle();
    }
    void press(const char *button) { window->findChild<QToolButton *>(button)->click(); }
    // Main-timer ticks until `done` holds (false when it did not within 20 s).
    bool tickUntil(const std::function<bool()> &done)
    {
        QDeadlineTimer deadline(20000);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            window->MTTimer();
        }
        return true;
    }
    bool idle()
    {
        return tickUntil([this] { return !vorlane().InternetBusy() && pending() == efNone; });
    }
    void search(const QString &query)
    {
        press("sSBInternetSearchMode");
        drain();
        browse().sEFindQuery->setText(query);
        focus(browse().sEFindQuery);
        Key(Qt::Key_Return);
    }

    QTemporaryDir served;
    std::unique_ptr<HttpServer> server;
    QString config;
};

TEST_F(InetWindowTest, TheCheckAgainRefreshesTheCacheAndTheListsOpen)
{
    // The index is not there yet: the check fails without a word; the directory menu's refresh
    // checks again.
    QFile::rename(served.filePath("lst.txt"), served.filePath("later.txt"));
    start();
    window->InetStartTimerTimer();
    ASSERT_TRUE(idle());
    EXPECT_FALSE(vorlane().InetEnabled());
    QFile::rename(served.filePath("later.txt"), served.filePath("lst.txt"));
    menus().PMDRefresh->trigger();
    ASSERT_TRUE(tickUntil([this] { return status() == Msg().SM_INETENABLED; }));
    EXPECT_TRUE(vorlane().CacheRefreshRunning()); // code 24 started the refresh
    ASSERT_TRUE(idle());
    window->Inet().RefreshCacheTimerTimer(); // two hours later: sizes asked, nothing downloaded
    ASSERT_TRUE(idle());
    EXPECT_EQ(server->Requests().filter("GET /lists/a.txt").size(), 1);

    press("sSBInternetMode");
    drain();
    EXPECT_EQ(browse().BrowseLines(),
              QStringList({"---" + Msg().SM_INTERNET + "---", "a2.mp3", "b2.mp3"}));
    ClickRow(browse().sLBBrowseWindow, 2);
    drain();
    EXPECT_EQ(browse().BrowseLines(),
              QStringList({"---" + Msg().SM_CATALOG + " b---", "B one", "B two", "B three"}));
    EXPECT_TRUE(browse().NavigatorLines().contains("b2.mp3"));
    ClickRow(browse().sLBBrowseWindow, 3);
    drain();
    EXPECT_EQ(player->Current.DirName + player->Current.FileName, server->Url("b3.mp3"));
    EXPECT_TRUE(player->Playing);
    EXPECT_TRUE(window->grab().save(ScreenshotDir() + "/inet-catalogue.png"));
}

TEST_F(InetWindowTest, SearchShowsResultsAndADeadOneIsPrunedWhenItFails)
{
    start();
    search(QStringLiteral("rain"));
    EXPECT_EQ(status(), Msg().SM_INETSEAERCHSTART);
    ASSERT_TRUE(tickUntil([this] { return browse().BrowseLines().size() == 3; }));
    EXPECT_EQ(browse().BrowseLines(),
              QStringList({Msg().SM_ENTERSEARCHQUERY, "Dead", "Band - Live"}));
    EXPECT_TRUE(window->grab().save(ScreenshotDir() + "/inet-search.png"));

    // The first result does not play and its address has nothing: it goes, and the one now in
    // its place opens; that one fails too, but the server has it, larger than 50000 bytes: it
    // stays.
    player->FailNames = {"Dead.mp3", "live.mp3"};
    ClickRow(browse().sLBBrowseWindow, 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(browse().BrowseLines(), QStringList({Msg().SM_ENTERSEARCHQUERY, "Band - Live"}));
    EXPECT_EQ(player->Current.DirName + player->Current.FileName, server->Url("listen/live.mp3"));
}

TEST_F(InetWindowTest, EmptyServiceKeysSayTheFeaturesAreOff)
{
    config = "[Main]\r\nServerName=\r\n";
    start();
    window->InetStartTimerTimer();
    window->MTTimer();
    EXPECT_EQ(status(), Msg().SM_CATALOGOFF);
    search(QStringLiteral("rain"));
    window->MTTimer();
    EXPECT_EQ(status(), Msg().SM_SEARCHOFF);
    EXPECT_FALSE(vorlane().InternetBusy());
    const QStringList requests = server->Requests();
    EXPECT_EQ(requests.filter("/_requests").size(), requests.size()); // nothing but this look
}

TEST_F(InetWindowTest, AListDownloadShowsItsProgress)
{
    start();
    press("sSBInternetMode");
    drain();
    vorlane().AddList(server->Url("wait/1/lists/a.txt"), false, false);
    ASSERT_TRUE(tickUntil([this] { return status().startsWith(Msg().SM_LISTLOAD); }));
    ASSERT_TRUE(tickUntil([this] { return status().startsWith(Msg().SM_ADDDIRCOMPLETED); }));
    EXPECT_EQ(vorlane().InetList(vorlane().InetListCount() - 1).Count(), 2);
}

TEST_F(InetWindowTest, ACompletedDownloadShowsTheTagsOfTheCacheFile)
{
    start();
    if (SilentMp3().isEmpty())
        GTEST_SKIP() << "ffmpeg could not make a test track";
    QDir().mkpath(window->ProgramDataDir() + "VL4Conf/Cache");
    ASSERT_TRUE(
        MakeTaggedMp3(window->ProgramDataDir() + "VL4Conf/Cache/temp.mp3", Tag("Band", "Cached")));
    showSheet(3);
    playerPanel().sSBFastDownload->setEnabled(false);
    player->DownloadDone = true;
    window->MTTimer();
    EXPECT_EQ(window->TagPanel()->sETagTitle->text(), "Cached");
    EXPECT_TRUE(playerPanel().sSBFastDownload->isEnabled());
}

} // namespace
} // namespace vorlane::test
