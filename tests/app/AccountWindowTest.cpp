#include "WindowTest.h"

#include "app/account/AccountPanel.h"
#include "app/account/AccountWindows.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "catalog/Account.h"
#include "net/Services.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace vorlane::test {
namespace {

// The catalogue window with an account server and a storage server on this machine, and the
// account of "alice" / "pw1" holding one network entry.
class AccountWindow : public WindowTest {
protected:
    void SetUp() override
    {
        QDir(accountRoot.path()).mkpath("Services/VLAccounts");
        QDir(storageRoot.path()).mkpath("public_http");
        account = std::make_unique<FtpServer>(accountRoot.path(), "acc", "pw");
        storage = std::make_unique<FtpServer>(storageRoot.path(), "store", "s3cret");
        ASSERT_TRUE(account->Ok() && storage->Ok());
        accountFile =
            accountRoot.filePath("Services/VLAccounts/" + AccountName("alice", "pw1") + ".txt");
        ASSERT_TRUE(
            WriteFile(accountFile, "Links:\r\n0\r\nhttp://m/net.mp3?Net\r\nBookmarks:\r\n"));
        OpenCatalogue();
        TServices s;
        s.AccountServer = account->Address();
        s.AccountUser = "acc";
        s.AccountPassword = "pw";
        s.StorageServer = storage->Address();
        s.StorageUser = "store";
        s.StoragePassword = "s3cret";
        s.StorageWebFolder = "http://files.test/";
        ConfigureServices(s);
    }
    void TearDown() override
    {
        ConfigureServices({});
        WindowTest::TearDown();
    }
    TAccountWindow *accountWindow() { return window->Account().AccountWindow(); }
    // Types into the focused field, one key at a time.
    void type(const QString &text)
    {
        for (const QChar c : text)
            Key(0, Qt::NoModifier, QString(c));
    }
    // Ticks the main timer until the condition holds; false when it did not in time.
    bool waitFor(const std::function<bool()> &condition)
    {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            window->MTTimer();
            if (condition())
                return true;
        }
        return false;
    }
    void logIn()
    {
        window->Menus().PMAEnter->trigger();
        ASSERT_TRUE(accountWindow()->isVisible());
        accountWindow()->activateWindow();
        Settle();
        accountWindow()->sELogin->setFocus();
        type("alice");
        Key(Qt::Key_Return);
        ASSERT_TRUE(accountWindow()->sEPassword->hasFocus()) << "Enter moves to the password";
        type("pw1");
        Key(Qt::Key_Return);
        ASSERT_TRUE(waitFor([this] { return vorlane().LoggedIn() && pending() == efNone; }));
    }

    QTemporaryDir accountRoot;
    QTemporaryDir storageRoot;
    std::unique_ptr<FtpServer> account;
    std::unique_ptr<FtpServer> storage;
    QString accountFile;
};

TEST_F(AccountWindow, LogInSaveAndCloseOnlyWhenLoggedOut)
{
    logIn();
    EXPECT_FALSE(accountWindow()->isVisible());
    EXPECT_EQ(accountWindow()->sEPassword->displayText(), "***");
    EXPECT_EQ(vorlane().Mode(), bmPlayListFiles);
    EXPECT_EQ(vorlane().PlayList(0).GetStringList(), QStringList({"http://m/net.mp3?Net"}));
    EXPECT_FALSE(window->Menus().PMAEnter->isEnabled());
    EXPECT_TRUE(window->Menus().PMAExit->isEnabled());

    show(bmComputerFiles, 0);
    vorlane().AddFileToPlayList({0}, 0); // a local file: the logout will ask about it
    drain();
    answer = false;
    EXPECT_FALSE(window->close()) << "closing while logged in starts the logout instead";
    EXPECT_EQ(questions.size(), 1);
    ASSERT_TRUE(waitFor([this] { return !vorlane().LoggedIn() && !vorlane().AccountBusy(); }));
    drain();
    EXPECT_TRUE(window->Menus().PMAEnter->isEnabled());
    EXPECT_FALSE(window->Menus().PMAExit->isEnabled());
    const QStringList saved = SplitLines(DecodeText(ReadFile(accountFile)));
    EXPECT_EQ(saved.mid(0, 4),
              QStringList({"Links:", "1", "http://m/net.mp3?Net", musicA + "/Alpha.mp3"}));
    EXPECT_TRUE(window->close());
}

TEST_F(AccountWindow, LogoutWithUploadHoldsTheCloseCommand)
{
    logIn();
    show(bmComputerFiles, 0);
    vorlane().AddFileToPlayList({1}, 0);
    drain();
    answer = true;
    window->Menus().PMAExit->trigger();
    EXPECT_TRUE(vorlane().AccountUploading());
    EXPECT_FALSE(window->Menus().PMCloseProgram->isEnabled());
    EXPECT_FALSE(window->Menus().PMAccount->isEnabled());
    EXPECT_EQ(window->StatusText(), Msg().SM_ACCUPDATEBEGIN);
    EXPECT_FALSE(window->close());
    ASSERT_TRUE(waitFor([this] { return !vorlane().LoggedIn() && !vorlane().AccountBusy(); }));
    drain();
    EXPECT_TRUE(window->Menus().PMCloseProgram->isEnabled());
    EXPECT_TRUE(window->Menus().PMAccount->isEnabled());
    const QString remote = AccountName("alice", "pw1") + "_beta.mp3";
    EXPECT_TRUE(QFile::exists(storageRoot.filePath("public_http/" + remote)));
    EXPECT_TRUE(ReadFile(accountFile)
                    .contains(QByteArray(QByteArray("http://files.test/") + remote.toUtf8())));
}

TEST_F(AccountWindow, ServiceOffSaysSo)
{
    ConfigureServices({});
    window->Menus().PMACreate->trigger();
    EXPECT_FALSE(accountWindow()->isVisible());
    EXPECT_EQ(window->StatusText(), Msg().SM_ACCOUNTOFF);
    window->Menus().PMFeedback->trigger();
    EXPECT_FALSE(window->Account().FeedbackWindow()->isVisible());
    window->Account().NTTimer();
    EXPECT_EQ(window->StatusText(), Msg().SM_NEWSOFF);
    EXPECT_EQ(window->Account().NewsTimer()->interval(), kNewsEveryMs);
}

TEST_F(AccountWindow, NewsOpenTheLoginWindowAndScreenshots)
{
    QTemporaryDir served;
    ASSERT_TRUE(WriteFile(served.filePath("Services/news/news_" + window->CurLanguage() + ".txt"),
                          "Vorlane 4.2 is out: playlists in your account follow you."));
    HttpServer site(served.path());
    ASSERT_TRUE(site.Ok());
    TServices s = ConfiguredServices();
    s.NewsSite = site.Url(QString()).chopped(1);
    ConfigureServices(s);
    window->Account().NTTimer();
    ASSERT_TRUE(waitFor([this] { return !window->Account().NewsChecking(); }));
    ASSERT_TRUE(accountWindow()->isVisible()) << "new news open the window";
    EXPECT_TRUE(accountWindow()->sMTextInformer->toPlainText().startsWith("Vorlane 4.2"));
    EXPECT_EQ(accountWindow()->sBAccountAction->text(), window->Menus().PMAEnter->text());
    accountWindow()->sELogin->setText("alice");
    accountWindow()->sEPassword->setText("pw1");
    Settle();
    EXPECT_TRUE(accountWindow()->grab().toImage().save(ScreenshotDir() + "/account-window.png"));

    accountWindow()->hide();
    window->Account().NTTimer();
    ASSERT_TRUE(waitFor([this] { return !window->Account().NewsChecking(); }));
    EXPECT_FALSE(accountWindow()->isVisible()) << "the same news do not open it again";

    window->Menus().PMFeedback->trigger();
    TFeedbackWindow *feedback = window->Account().FeedbackWindow();
    ASSERT_TRUE(feedback->isVisible());
    Settle();
    EXPECT_TRUE(feedback->grab().toImage().save(ScreenshotDir() + "/feedback-window.png"));
}

} // namespace
} // namespace vorlane::test
