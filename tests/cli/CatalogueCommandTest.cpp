#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vorlane;

namespace {

using test::CliResult;
using test::RunCli;

// A data folder whose Config.ini points at a catalogue server and a first search site served
// from one folder.
class CliInternet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::WriteFile(served.filePath("lists/a.txt"),
                                    "http://m/a1.mp3?A one\r\nhttp://m/a2.mp3\r\n"));
        ASSERT_TRUE(test::WriteFile(served.filePath("search/песня/index.html"),
                                    "<div class=\"content\"><div class=\"block\" data-url=\"5\" "
                                    "data-resource=\"\">&laquo;Песня&raquo;</div>"));
        server = std::make_unique<test::HttpServer>(served.path());
        ASSERT_TRUE(server->Ok());
        ASSERT_TRUE(test::WriteFile(served.filePath("lst.txt"),
                                    (server->Url("lists/a.txt") + "\r\nhttp://h/..%2Fx\r\n" +
                                     server->Url("nolength/lists/a.txt"))
                                        .toUtf8()));
        site = server->Url("").chopped(1);
    }
    void config(const QString &serverName, const QString &site1)
    {
        ASSERT_TRUE(test::WriteFile(data.filePath("VL4Conf/Config.ini"),
                                    ("[Main]\r\nServerName=" + serverName +
                                     "\r\n[Services]\r\nSearchSite1=" + site1 + "\r\n")
                                        .toUtf8()));
    }
    CliResult run(QStringList args)
    {
        args << "--data" << data.path();
        return RunCli(args);
    }

    QTemporaryDir served;
    QTemporaryDir data;
    std::unique_ptr<test::HttpServer> server;
    QString site;
};

} // namespace

TEST_F(CliInternet, RefreshListsAndShow)
{
    config(server->Url("lst.txt"), QString());
    CliResult r = run({"catalogue", "refresh"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "updated a.txt\nskipped http://h/..%2Fx\nkept a.txt\n");

    r = run({"catalogue", "lists"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "a2.mp3\n\na2.mp3\n");

    r = run({"catalogue", "show", "0"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "http://m/a1.mp3?A one\nhttp://m/a2.mp3\n");
    r = run({"catalogue", "show", "3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_EQ(run({"catalogue", "show", "x"}).code, 2);
}

TEST_F(CliInternet, RefreshOffOrUnreachable)
{
    config(QString(), QString());
    CliResult r = run({"catalogue", "refresh"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("ServerName")) << r.err.toStdString();
    config("http://127.0.0.1:1/lst.txt", QString());
    EXPECT_EQ(run({"catalogue", "refresh"}).code, 1);
    config(server->Url("nolength/lst.txt"), QString()); // an index without a length
    EXPECT_EQ(run({"catalogue", "refresh"}).code, 1);
}

TEST_F(CliInternet, Search)
{
    config(QString(), site);
    CliResult r = run({"search", "песня"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, site + "/download/5/Песня.mp3?Песня\n");
    EXPECT_TRUE(r.err.contains("SearchSite2")); // the site that is not set is named
    EXPECT_EQ(run({"search", "nothing"}).out, QString());
    config(QString(), QString());
    EXPECT_EQ(run({"search", "песня"}).code, 1);
}
