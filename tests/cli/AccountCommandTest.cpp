#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

using test::CliResult;

// A data folder whose Config.ini names a local account server; no catalogue.
class CliAccount : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(root.path()).mkpath("Services/VLAccounts");
        QDir(root.path()).mkpath("Services/VLFeedback");
        server = std::make_unique<test::FtpServer>(root.path(), "acc", "pw");
        ASSERT_TRUE(server->Ok());
        config(server->Address(), QString());
    }
    void config(const QString &accountServer, const QString &serverName)
    {
        ASSERT_TRUE(test::WriteFile(data.filePath("VL4Conf/Config.ini"),
                                    ("[Main]\r\nServerName=" + serverName +
                                     "\r\n[Services]\r\nAccountServer=" + accountServer +
                                     "\r\nAccountUser=acc\r\nAccountPassword=pw\r\n")
                                        .toUtf8()));
    }
    CliResult run(QStringList args, const QByteArray &input, const QStringList &env = {})
    {
        args << "--data" << data.path();
        return test::RunCli(args, input, env);
    }

    QTemporaryDir root;
    QTemporaryDir data;
    std::unique_ptr<test::FtpServer> server;
};

} // namespace

TEST_F(CliAccount, CreateThenShow)
{
    CliResult r = run({"account", "create", "alice"}, "pw1\n");
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList files = QDir(root.filePath("Services/VLAccounts")).entryList(QDir::Files);
    ASSERT_EQ(files, QStringList({"e4cbe6ad9dfc2082f688a62684487a5c.txt"})) << "md5(alice_pw1)";
    const QString file = root.filePath("Services/VLAccounts/" + files.first());
    EXPECT_EQ(test::ReadFile(file), "0");

    ASSERT_TRUE(test::WriteFile(file, "Links:\r\n1\r\nhttp://m/a.mp3?A\r\nhttp://m/b.mp3?B\r\n"
                                      "Bookmarks:\r\nB 0:01  \r\nb.mp3\r\n100\r\nhttp://m/\r\n"
                                      "MyNetwork\r\n"));
    r = run({"account", "create", "alice"}, QByteArray(), {"VORLANE_PASSWORD=pw1"});
    EXPECT_EQ(r.code, 0) << "an existing account";
    EXPECT_TRUE(test::ReadFile(file).startsWith("Links:")) << "left as it was";

    r = run({"account", "show", "alice"}, QByteArray(), {"VORLANE_PASSWORD=pw1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\nhttp://m/a.mp3?A\nhttp://m/b.mp3?B\nBookmarks:\n"
                     "B 0:01  \nb.mp3\n100\nhttp://m/\nMyNetwork\n");
    EXPECT_FALSE(r.out.contains("pw1"));

    r = run({"account", "show", "alice"}, "wrong\n");
    EXPECT_EQ(r.code, 1) << "no account for that password";
    r = run({"account", "show", "alice"}, QByteArray());
    EXPECT_EQ(r.code, 2) << "no password at all";
}

TEST_F(CliAccount, OffOrUnreachable)
{
    config(QString(), QString());
    CliResult r = run({"account", "show", "alice"}, "pw1\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("AccountServer")) << r.err.toStdString();

    // The catalogue is asked first when it is set: an index that does not answer fails the
    // check before the account server is tried.
    config(server->Address(), "http://127.0.0.1:1/lst.txt");
    r = run({"account", "create", "alice"}, "pw1\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("catalogue")) << r.err.toStdString();
    EXPECT_TRUE(QDir(root.filePath("Services/VLAccounts")).isEmpty());

    config("ftp://127.0.0.1:1", QString());
    r = run({"account", "create", "alice"}, "pw1\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(run({"account", "delete", "alice"}, "pw1\n").code, 2);
}

TEST_F(CliAccount, FeedbackAppendsToTheDaysFile)
{
    EXPECT_EQ(run({"feedback", "first"}, QByteArray()).code, 0);
    EXPECT_EQ(run({"feedback", "второе"}, QByteArray()).code, 0);
    const QStringList files = QDir(root.filePath("Services/VLFeedback")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.first().endsWith(QDate::currentDate().toString("_yyyy-MM-dd") + ".txt"));
    const QByteArray text = test::ReadFile(root.filePath("Services/VLFeedback/" + files.first()));
    EXPECT_TRUE(text.startsWith("\n\r"));
    EXPECT_EQ(text.count("\n\r"), 2);
    EXPECT_TRUE(text.contains(" - first\n\r"));
}
