#include "net/FtpClient.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vorlane;

namespace {

TFtpSettings settingsOf(const test::FtpServer &server, const QString &password = "secret")
{
    return {server.Address(), QStringLiteral("user"), password};
}

TEST(FtpClient, OneLoginCarriesAWholeSession)
{
    QTemporaryDir root;
    test::FtpServer server(root.path(), "user", "secret");
    ASSERT_TRUE(server.Ok());
    TFtpClient ftp(settingsOf(server));
    ASSERT_TRUE(ftp.Connect());

    EXPECT_TRUE(ftp.MakeFolder("Services"));
    EXPECT_TRUE(ftp.MakeFolder("Services/VLAccounts"));
    EXPECT_TRUE(ftp.MakeFolder("Services/VLAccounts")) << "an existing folder is no failure";
    EXPECT_TRUE(ftp.Upload("Services/VLAccounts/a b.txt", "first version, long"));
    EXPECT_TRUE(ftp.Upload("Services/VLAccounts/a b.txt", "second"))
        << ftp.LastError().toStdString();
    EXPECT_EQ(test::ReadFile(root.filePath("Services/VLAccounts/a b.txt")), "second")
        << "STOR replaces, never appends";
    EXPECT_TRUE(ftp.Append("/Services/VLAccounts/log.txt", "one"));
    EXPECT_TRUE(ftp.Append("/Services/VLAccounts/log.txt", "+two"));
    EXPECT_EQ(test::ReadFile(root.filePath("Services/VLAccounts/log.txt")), "one+two");

    QStringList names;
    ASSERT_TRUE(ftp.List("Services/VLAccounts", names));
    names.sort();
    EXPECT_EQ(names, QStringList({"a b.txt", "log.txt"}));
    QByteArray data;
    EXPECT_TRUE(ftp.Download("Services/VLAccounts/a b.txt", data));
    EXPECT_EQ(data, "second");
    EXPECT_EQ(ftp.Size("Services/VLAccounts/log.txt"), 7);
    EXPECT_EQ(ftp.Size("Services/VLAccounts/missing.txt"), -1);
    EXPECT_FALSE(ftp.Download("Services/VLAccounts/missing.txt", data));
    EXPECT_TRUE(data.isEmpty());
    ftp.Disconnect();
    EXPECT_FALSE(ftp.Connected());
    EXPECT_FALSE(ftp.Upload("x.txt", "y")) << "no command without a session";

    EXPECT_EQ(server.Commands().count("USER user"), 1);
    EXPECT_TRUE(server.Commands().contains("TYPE I"));
}

TEST(FtpClient, LocalFilesUploadByteForByte)
{
    QTemporaryDir root;
    QTemporaryDir local;
    test::FtpServer server(root.path(), "user", "secret");
    ASSERT_TRUE(server.Ok());
    const QByteArray bytes = test::FakeMpegAudio(40);
    ASSERT_TRUE(test::WriteFile(local.filePath("song.mp3"), bytes));
    TFtpClient ftp(settingsOf(server));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_TRUE(ftp.UploadFile("song.mp3", local.filePath("song.mp3")));
    EXPECT_EQ(test::ReadFile(root.filePath("song.mp3")), bytes);
    EXPECT_FALSE(ftp.UploadFile("gone.mp3", local.filePath("gone.mp3")));
    EXPECT_FALSE(QFile::exists(root.filePath("gone.mp3")));
}

TEST(FtpClient, LoginFailures)
{
    QTemporaryDir root;
    test::FtpServer server(root.path(), "user", "secret");
    ASSERT_TRUE(server.Ok());
    TFtpClient wrong(settingsOf(server, "wrong"));
    EXPECT_FALSE(wrong.Connect());
    EXPECT_FALSE(wrong.Connected());

    TFtpClient off({server.Address(), QStringLiteral("user"), QString()});
    EXPECT_FALSE(off.Connect()) << "an empty password is a service switched off";
    EXPECT_EQ(server.Commands().count("USER user"), 1) << "nothing is sent for it";

    QString gone;
    {
        test::FtpServer stopped(root.path(), "user", "secret");
        gone = stopped.Address();
    }
    TFtpClient unreachable({gone, QStringLiteral("user"), QStringLiteral("secret")});
    EXPECT_FALSE(unreachable.Connect());
}

TEST(FtpClient, ReplacingUploadRenamesAWholeFileIntoPlace)
{
    QTemporaryDir root;
    ASSERT_TRUE(test::WriteFile(root.filePath("acc.txt"), "old account"));
    {
        test::FtpServer server(root.path(), "user", "secret");
        ASSERT_TRUE(server.Ok());
        TFtpClient ftp(settingsOf(server));
        ASSERT_TRUE(ftp.Connect());
        EXPECT_TRUE(ftp.UploadReplacing("acc.txt", "new account"));
        EXPECT_EQ(test::ReadFile(root.filePath("acc.txt")), "new account");
        EXPECT_TRUE(server.Commands().contains("RNTO acc.txt"));
        EXPECT_FALSE(ftp.UploadReplacing("sub/..", "x"));
    }
    // The connection is lost as the upload begins: the old file stays whole.
    test::FtpServer dropping(root.path(), "user", "secret", 0);
    ASSERT_TRUE(dropping.Ok());
    TFtpClient ftp(settingsOf(dropping));
    ASSERT_TRUE(ftp.Connect());
    EXPECT_FALSE(ftp.UploadReplacing("acc.txt", "newest account"));
    EXPECT_EQ(test::ReadFile(root.filePath("acc.txt")), "new account");
    EXPECT_FALSE(dropping.Commands().contains("RNTO acc.txt"));
}

TEST(FtpClient, PlainRemoteNames)
{
    EXPECT_TRUE(IsPlainRemoteName("0cc175b9c0f1b6a831c399e269772661.txt"));
    EXPECT_TRUE(IsPlainRemoteName("name with spaces..mp3"));
    for (const char *bad : {"", ".", "..", "a/b", "..\\x", "a\r\nDELE b"})
        EXPECT_FALSE(IsPlainRemoteName(QString::fromUtf8(bad))) << bad;
}

} // namespace
