#include "catalog/Account.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "catalog/Vorlane.h"
#include "net/FtpClient.h"
#include "net/Services.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

const char kWeb[] = "http://files.test/alice/";

TBookmark bookmark(const QString &listName, const QString &fileName, int position)
{
    TBookmark b;
    b.Name = fileName + QStringLiteral(" 0:01  ");
    b.FileName = fileName;
    b.PlayPosition = position;
    b.ListName = listName;
    b.RootDir = QStringLiteral("MyNetwork");
    return b;
}

// A controller with the account server and the storage server of the "Services" section, each
// a local FTP server with its own user and the folders the services use.
class Account : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        SetMessage("SM_ACCOUNTOFF", "account off");
        SetMessage("SM_STORAGEOFF", "storage off");
        QDir(accountRoot.path()).mkpath("Services/VLAccounts");
        QDir(accountRoot.path()).mkpath("Services/VLFeedback");
        QDir(storageRoot.path()).mkpath("public_http");
        startAccountServer();
        storage = std::make_unique<test::FtpServer>(storageRoot.path(), "store", "s3cret");
        ASSERT_TRUE(storage->Ok());
        configure();
        c.SetProgramDataDir(data.path());
        c.Flags(); // the code every new controller starts with
    }
    void TearDown() override
    {
        ConfigureServices({});
        ClearMessages();
    }
    void startAccountServer(int dropStoresAfter = -1)
    {
        account.reset();
        account =
            std::make_unique<test::FtpServer>(accountRoot.path(), "acc", "pw", dropStoresAfter);
        ASSERT_TRUE(account->Ok());
        configure();
    }
    void configure()
    {
        TServices s;
        if (account) {
            s.AccountServer = account->Address();
            s.AccountUser = QStringLiteral("acc");
            s.AccountPassword = QStringLiteral("pw");
        }
        if (storage) {
            s.StorageServer = storage->Address();
            s.StorageUser = QStringLiteral("store");
            s.StoragePassword = QStringLiteral("s3cret");
            s.StorageWebFolder = QString::fromLatin1(kWeb);
        }
        ConfigureServices(s);
    }
    QString accountFile(const QString &name) const
    {
        return accountRoot.filePath("Services/VLAccounts/" + name + ".txt");
    }
    // The next event code as the main timer would take it; 0 when none came while the account
    // workers ran.
    int settle()
    {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (const int code = c.Flags())
                return code;
            if (!c.AccountBusy() && !c.InternetBusy())
                return c.Flags();
        }
        return 0;
    }
    bool logIn(const QString &name)
    {
        c.Flags(); // what an earlier step left
        return c.LoadFromAccount(name) && settle() == efAccountLoaded;
    }
    // Playlist 0's entries as list lines.
    QStringList accountLines() const
    {
        return c.PlayListCount() > 0 ? c.PlayList(0).GetStringList() : QStringList();
    }

    QTemporaryDir accountRoot;
    QTemporaryDir storageRoot;
    QTemporaryDir data;
    QTemporaryDir local;
    std::unique_ptr<test::FtpServer> account;
    std::unique_ptr<test::FtpServer> storage;
    TVorlane c;
};

TEST(AccountRules, NamesAndLocalEntries)
{
    EXPECT_EQ(AccountName("user", "pass"), "186bca7826f8aeb9aa3eb12928329389");
    EXPECT_EQ(AccountName(QStringLiteral("Вася"), QStringLiteral("пароль")),
              "5e7b3bfe105f2938eaae6d995b1b7084")
        << "UTF-8 bytes";
    EXPECT_NE(AccountName("user", "pass"), AccountName("user", "pasS"));
    EXPECT_NE(AccountName("user_", "pass"), AccountName("user", "_pass").append('x'));

    TFileName entry;
    entry.FileName = QStringLiteral("a.mp3");
    for (const char *dir : {"/home/me/Music/", "relative/folder/", "/srv/http-mirror/"}) {
        entry.DirName = QString::fromLatin1(dir);
        EXPECT_TRUE(IsLocalEntry(entry)) << dir;
    }
    for (const char *dir : {"http://h/", "https://h/x/", "ftp://h/", "HTTP://H/"}) {
        entry.DirName = QString::fromLatin1(dir);
        EXPECT_FALSE(IsLocalEntry(entry)) << dir;
    }

    EXPECT_EQ(StorageFileName("acc", QStringLiteral("Щука.mp3")), "acc_schuka.mp3");
    EXPECT_EQ(StorageFileName("acc", QStringLiteral("..")), "acc_..") << "one name, no folder";
    EXPECT_EQ(StorageFileName("acc", QStringLiteral("a/b.mp3")), "");
}

TEST(AccountRules, TheFileAsWritten)
{
    TFileList playlist;
    playlist.AddNewRecord(QStringLiteral("http://m/one.mp3?One"));
    playlist.AddNewRecord(QStringLiteral("two.mp3"), QStringLiteral("/music/"), QString());
    playlist.CurIndex = 1;
    const QList<TBookmark> bookmarks = {bookmark("http://m/", "one.mp3", 5000),
                                        bookmark("/elsewhere/", "two.mp3", 7),
                                        bookmark("/music/", "two.mp3", 9)};
    EXPECT_EQ(AccountFileBytes(playlist, bookmarks),
              "Links:\r\n1\r\nhttp://m/one.mp3?One\r\n/music/two.mp3\r\nBookmarks:\r\n"
              "one.mp3 0:01  \r\none.mp3\r\n5000\r\nhttp://m/\r\nMyNetwork\r\n"
              "two.mp3 0:01  \r\ntwo.mp3\r\n9\r\n/music/\r\nMyNetwork\r\n")
        << "the bookmark of a file in another folder stays local";

    EXPECT_EQ(EncodeServiceText(QStringLiteral("abc")), "abc");
    EXPECT_EQ(EncodeServiceText(QStringLiteral("日本")), QStringLiteral("日本").toUtf8())
        << "a text the code page cannot hold is not turned into question marks";
}

TEST(AccountRules, Parsing)
{
    TAccountContent onlyLinks = ParseAccountText("Links:\r\n");
    EXPECT_FALSE(onlyLinks.HasLinks);
    EXPECT_TRUE(onlyLinks.BookmarkLines.isEmpty());
    EXPECT_FALSE(ParseAccountText("0").HasLinks) << "a new account's file";

    const TAccountContent full = ParseAccountText(
        "Links:\r\n1\r\nhttp://m/My Bookmarks.mp3?Bookmarks: best of\r\nhttp://m/b.mp3?B\r\n"
        "Bookmarks:\r\nB 0:01  \r\nb.mp3\r\n100\r\nhttp://m/\r\nMyNetwork\r\n");
    ASSERT_TRUE(full.HasLinks);
    EXPECT_EQ(full.PlayList.RootDir, "MyNetwork.vl3u");
    EXPECT_EQ(full.PlayList.CurIndex, 1);
    EXPECT_EQ(full.PlayList.GetStringList(),
              QStringList({"http://m/My Bookmarks.mp3?Bookmarks: best of", "http://m/b.mp3?B"}))
        << "only the line \"Bookmarks:\" ends the links";
    EXPECT_EQ(full.BookmarkLines.size(), 5);

    const TAccountContent noBookmarks = ParseAccountText("Links:\n0\nhttp://m/a.mp3?A\n");
    EXPECT_EQ(noBookmarks.PlayList.Count(), 1);
    EXPECT_TRUE(noBookmarks.BookmarkLines.isEmpty());
}

TEST_F(Account, CreateLeavesAnExistingAccountAlone)
{
    int created = 0;
    QObject::connect(&c, &TVorlane::AccountCreated, [&created] { ++created; });
    const QString name = AccountName("alice", "pw1");
    ASSERT_TRUE(c.CreateAccount(name));
    settle();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(test::ReadFile(accountFile(name)), "0");

    ASSERT_TRUE(test::WriteFile(accountFile("0cc175b9c0f1b6a831c399e269772661"), "Links:\r\nkept"));
    ASSERT_TRUE(c.CreateAccount("0CC175B9C0F1B6A831C399E269772661"));
    settle();
    EXPECT_EQ(created, 2) << "an account that exists is reported created";
    EXPECT_EQ(test::ReadFile(accountFile("0cc175b9c0f1b6a831c399e269772661")), "Links:\r\nkept");
    EXPECT_FALSE(QFile::exists(accountFile("0CC175B9C0F1B6A831C399E269772661")));
}

TEST_F(Account, LoginRightWrongAndMissing)
{
    const QString name = AccountName("bob", "pw");
    ASSERT_TRUE(test::WriteFile(
        accountFile(name),
        EncodeServiceText("Links:\r\n1\r\nhttp://m/a.mp3?A\r\nhttp://m/b.mp3?B\r\nBookmarks:\r\n"
                          "B 0:01  \r\nb.mp3\r\n100\r\nhttp://m/\r\nMyNetwork\r\n")));

    EXPECT_TRUE(c.LoadFromAccount(AccountName("bob", "wrong")));
    EXPECT_EQ(settle(), efNone);
    EXPECT_FALSE(c.LoggedIn());

    ASSERT_TRUE(logIn(name));
    EXPECT_TRUE(c.LoggedIn());
    EXPECT_EQ(accountLines(), QStringList({"http://m/a.mp3?A", "http://m/b.mp3?B"}));
    EXPECT_EQ(c.PlayList(0).CurIndex, 1);
    EXPECT_EQ(c.PlayList(0).RootDir, "MyNetwork.vl3u");
    ASSERT_EQ(c.Bookmarks().size(), 2) << "merged after the empty bookmark";
    EXPECT_EQ(c.Bookmarks().last().PlayPosition, 100);
    EXPECT_FALSE(c.LoadFromAccount(name)) << "already logged in";

    // A logout and a second login do not bring the same bookmark twice.
    c.DissconnectFromAccount();
    EXPECT_FALSE(c.LoggedIn());
    EXPECT_TRUE(accountLines().isEmpty());
    ASSERT_TRUE(logIn(name));
    EXPECT_EQ(c.Bookmarks().size(), 2);

    // Without its folder the server has no accounts at all.
    c.DissconnectFromAccount();
    QDir(accountRoot.filePath("Services/VLAccounts")).removeRecursively();
    c.Flags();
    EXPECT_TRUE(c.LoadFromAccount(name));
    EXPECT_EQ(settle(), efNone);
    EXPECT_FALSE(c.LoggedIn());
}

TEST_F(Account, SaveWritesTheFileAndLogsOut)
{
    const QString name = AccountName("carol", "pw");
    ASSERT_TRUE(test::WriteFile(accountFile(name), "0"));
    ASSERT_TRUE(logIn(name));
    EXPECT_TRUE(accountLines().isEmpty()) << "a new account brings nothing";

    // The user adds two entries of the shown list; one holds the word "Bookmarks".
    c.OpenExtFileList(QStringLiteral("http://m/The Bookmarks Song.mp3\nhttp://m/z.mp3\n"), true);
    c.AddFileToPlayList({0, 1}, 0);
    ASSERT_EQ(c.PlayList(0).Count(), 2);
    c.Flags();

    ASSERT_TRUE(c.SaveToAccount());
    EXPECT_EQ(settle(), efAccountClosed);
    EXPECT_TRUE(c.SavedToAccount());
    EXPECT_FALSE(c.LoggedIn());
    EXPECT_EQ(c.PlayList(0).Count(), 0) << "the playlist waits on the server";
    EXPECT_TRUE(test::ReadFile(accountFile(name)).startsWith("Links:\r\n"));
    EXPECT_TRUE(account->Commands().contains("RNTO " + name + ".txt"));

    ASSERT_TRUE(logIn(name));
    EXPECT_EQ(c.PlayList(0).Count(), 2) << "an entry holding \"Bookmarks\" survives";
    EXPECT_EQ(c.PlayList(0).At(0).FileName, "The Bookmarks Song.mp3");
}

TEST_F(Account, AnEndingSessionSavesAtOnce)
{
    const QString name = AccountName("hal", "pw");
    ASSERT_TRUE(test::WriteFile(accountFile(name), "0"));
    EXPECT_FALSE(c.SaveToAccountNow()) << "logged out: nothing to save";
    ASSERT_TRUE(logIn(name));
    c.OpenExtFileList(QStringLiteral("http://m/kept.mp3\n"), true);
    c.AddFileToPlayList({0}, 0);
    EXPECT_TRUE(c.SaveToAccountNow());
    EXPECT_FALSE(c.LoggedIn());
    EXPECT_TRUE(test::ReadFile(accountFile(name)).contains("http://m/kept.mp3"));
}

TEST_F(Account, ADroppedConnectionKeepsTheWholeOldAccount)
{
    const QString name = AccountName("dave", "pw");
    const QByteArray old = "Links:\r\n0\r\nhttp://m/a.mp3?A\r\nhttp://m/b.mp3?B\r\nBookmarks:\r\n";
    ASSERT_TRUE(test::WriteFile(accountFile(name), old));
    startAccountServer(0); // every upload is cut off as it begins
    ASSERT_TRUE(logIn(name));
    ASSERT_TRUE(c.SaveToAccount());
    EXPECT_EQ(settle(), efAccountClosed);
    EXPECT_FALSE(c.SavedToAccount());
    EXPECT_EQ(test::ReadFile(accountFile(name)), old);
}

TEST_F(Account, LocalFilesUploadUnderTheirLatinNames)
{
    const QString name = AccountName("erin", "pw");
    const QByteArray song = test::FakeMpegAudio(12);
    ASSERT_TRUE(test::WriteFile(local.filePath("Щука.mp3"), song));
    ASSERT_TRUE(test::WriteFile(local.filePath("second.mp3"), song + song));
    ASSERT_TRUE(test::WriteFile(
        accountFile(name), ("Links:\r\n0\r\nhttp://m/net.mp3?Net\r\n" + local.filePath("Щука.mp3") +
                            "\r\n" + local.filePath("second.mp3") + "\r\nBookmarks:\r\n")
                               .toUtf8()));
    ASSERT_TRUE(logIn(name));
    EXPECT_TRUE(c.CheckLocalFilesInAccount());

    ASSERT_TRUE(c.UploadLocalFilesToAccount());
    EXPECT_TRUE(c.AccountUploading());
    EXPECT_EQ(settle(), efAccountClosed);
    EXPECT_EQ(test::ReadFile(storageRoot.filePath("public_http/" + name + "_schuka.mp3")), song);
    const QString saved = DecodeText(test::ReadFile(accountFile(name)));
    EXPECT_TRUE(saved.contains("\r\nhttp://m/net.mp3?Net\r\n" + QString::fromLatin1(kWeb) + name +
                               "_schuka.mp3?Щука\r\n" + kWeb + name + "_second.mp3?second\r\n"))
        << saved.toStdString();
}

TEST_F(Account, AnUploadThatFailsHalfWayLosesNoEntry)
{
    const QString name = AccountName("fay", "pw");
    ASSERT_TRUE(test::WriteFile(local.filePath("one.mp3"), test::FakeMpegAudio(4)));
    ASSERT_TRUE(test::WriteFile(local.filePath("two.mp3"), test::FakeMpegAudio(4)));
    ASSERT_TRUE(test::WriteFile(accountFile(name), ("Links:\r\n0\r\n" + local.filePath("one.mp3") +
                                                    "\r\n" + local.filePath("two.mp3") +
                                                    "\r\nhttp://m/n.mp3?N\r\nBookmarks:\r\n")
                                                       .toUtf8()));
    storage = std::make_unique<test::FtpServer>(storageRoot.path(), "store", "s3cret", 1);
    ASSERT_TRUE(storage->Ok());
    configure();
    ASSERT_TRUE(logIn(name));
    ASSERT_TRUE(c.UploadLocalFilesToAccount());
    EXPECT_EQ(settle(), efAccountClosed);
    const QStringList lines = SplitLines(DecodeText(test::ReadFile(accountFile(name))));
    EXPECT_EQ(lines.mid(2, 3), QStringList({QString::fromLatin1(kWeb) + name + "_one.mp3?one",
                                            local.filePath("two.mp3"), "http://m/n.mp3?N"}));
}

TEST_F(Account, ServicesOff)
{
    ConfigureServices({});
    EXPECT_FALSE(c.CreateAccount("x"));
    EXPECT_FALSE(c.LoadFromAccount("x"));
    EXPECT_FALSE(c.SendFeedback("x"));
    EXPECT_EQ(c.TakeNotices(), QStringList({"account off"})) << "said once";

    TServices onlyAccount;
    onlyAccount.AccountServer = account->Address();
    onlyAccount.AccountUser = QStringLiteral("acc");
    onlyAccount.AccountPassword = QStringLiteral("pw");
    ConfigureServices(onlyAccount);
    const QString name = AccountName("gil", "pw");
    ASSERT_TRUE(
        test::WriteFile(accountFile(name), "Links:\r\n0\r\n/music/a.mp3\r\nBookmarks:\r\n"));
    ASSERT_TRUE(logIn(name));
    ASSERT_TRUE(c.UploadLocalFilesToAccount());
    EXPECT_EQ(c.TakeNotices(), QStringList({"storage off"}));
    EXPECT_EQ(settle(), efAccountClosed) << "the logout saves without uploading";
    EXPECT_TRUE(test::ReadFile(accountFile(name)).contains("/music/a.mp3"));
}

TEST_F(Account, TwoFeedbackMessagesOfOneDayShareAFile)
{
    int sent = 0;
    QObject::connect(&c, &TVorlane::FeedbackSent, [&sent] { ++sent; });
    ASSERT_TRUE(c.SendFeedback(QStringLiteral("Привет")));
    settle();
    ASSERT_TRUE(c.SendFeedback(QStringLiteral("second")));
    settle();
    EXPECT_EQ(sent, 2);
    const QDate today = QDate::currentDate();
    const QStringList files =
        QDir(accountRoot.filePath("Services/VLFeedback")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first(), FeedbackFileName(GetComputerNameStr(), today));
    const QString text =
        DecodeText(test::ReadFile(accountRoot.filePath("Services/VLFeedback/" + files.first())));
    const QString day = today.toString("yyyy-MM-dd");
    EXPECT_TRUE(text.startsWith("\n\r" + day)) << text.toStdString();
    EXPECT_TRUE(text.contains(" - Привет\n\r" + day)) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" - second"));

    EXPECT_EQ(FeedbackFileName("box/one", QDate(2026, 3, 4)), "box_one_2026-03-04.txt");
    EXPECT_EQ(FeedbackRecord(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), "hi"),
              "\n\r2026-03-04 05:06:07 - hi");
}

TEST(News, FetchedOnlyWhenTheLengthDiffers)
{
    QTemporaryDir served;
    QTemporaryDir cache;
    ASSERT_TRUE(test::WriteFile(served.filePath("Services/news/news_eng.txt"), "Hello news"));
    ASSERT_TRUE(test::WriteFile(served.filePath("Services/news/news_rus.txt"), "Новости!"));
    test::HttpServer server(served.path());
    ASSERT_TRUE(server.Ok());
    const QString site = server.Url(QString()).chopped(1);
    const QString cacheFile = cache.filePath("news.txt");
    EXPECT_EQ(NewsAddress(site, "eng"), site + "/Services/news/news_eng.txt");
    EXPECT_EQ(NewsAddress(QString(), "eng"), "");

    QString text;
    EXPECT_TRUE(RefreshNews(NewsAddress(site, "eng"), cacheFile, "vorlane", text));
    EXPECT_EQ(text, "Hello news");
    ASSERT_TRUE(test::WriteFile(served.filePath("Services/news/news_eng.txt"), "Other text"));
    EXPECT_FALSE(RefreshNews(NewsAddress(site, "eng"), cacheFile, "vorlane", text))
        << "same length: not fetched";
    EXPECT_EQ(text, "Hello news") << "the cached text";

    // The other language's file differs in length: it replaces the shared cache.
    EXPECT_TRUE(RefreshNews(NewsAddress(site, "rus"), cacheFile, "vorlane", text));
    EXPECT_EQ(text, QStringLiteral("Новости!"));
    EXPECT_TRUE(server.Requests().join('\n').contains("/Services/news/news_rus.txt"));
    EXPECT_FALSE(RefreshNews(NewsAddress(site, "ukr"), cacheFile, "vorlane", text))
        << "a missing file";
    EXPECT_EQ(text, QStringLiteral("Новости!"));
}

} // namespace
