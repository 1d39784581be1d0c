#include "catalog/Account.h"

#include "base/Codepage.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "catalog/CatalogFiles.h"
#include "net/FtpClient.h"
#include "net/UrlReads.h"

#include <QFile>
#include <QRegularExpression>

namespace vorlane {

QString AccountName(const QString &login, const QString &password)
{
    return Md5HexLower(login + u'_' + password);
}

bool IsLocalEntry(const TFileName &entry)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return !entry.DirName.isEmpty() && !scheme.match(entry.DirName).hasMatch();
}

QByteArray EncodeServiceText(const QString &text)
{
    const QByteArray legacy = EncodeLegacy(text);
    if (DecodeLegacy(legacy) == text)
        return legacy;
    return text.toUtf8();
}

QByteArray AccountFileBytes(const TFileList &playlist, const QList<TBookmark> &bookmarks)
{
    QStringList lines;
    lines << QStringLiteral("Links:") << QString::number(playlist.CurIndex);
    lines += playlist.GetStringList();
    lines << QString::fromUtf16(kBookmarksLine);
    for (const TBookmark &b : bookmarks) {
        for (int i = 0; i < playlist.Count(); ++i) {
            const TFileName &entry = playlist.At(i);
            if (entry.FileName == b.FileName && entry.DirName == b.ListName)
                lines += BookmarkLines({b});
        }
    }
    QString text;
    for (const QString &line : std::as_const(lines))
        text += line + QStringLiteral("\r\n");
    return EncodeServiceText(text);
}

TAccountContent ParseAccountText(const QString &text)
{
    TAccountContent content;
    QStringList lines = SplitLines(text);
    const qsizetype split = lines.indexOf(QString::fromUtf16(kBookmarksLine));
    QStringList links = split < 0 ? lines : lines.mid(0, split);
    if (split >= 0)
        content.BookmarkLines = lines.mid(split + 1);
    if (links.size() > 1) {
        links.removeFirst(); // "Links:"
        content.PlayList.LoadListFromString(links);
        content.PlayList.RootDir = QString::fromUtf16(kNetworkPlayListFile);
        content.HasLinks = true;
    }
    return content;
}

namespace {

QString accountFilePath(const QString &folder, const QString &accountName)
{
    return folder + u'/' + accountName + QStringLiteral(".txt");
}

// Ends the session whichever way the step returns.
struct TSessionEnd {
    TFtpClient &Ftp;
    ~TSessionEnd() { Ftp.Disconnect(); }
};

} // namespace

bool CreateAccountFile(TFtpClient &account, const QString &accountName)
{
    const QString fileName = accountName + QStringLiteral(".txt");
    if (!IsPlainRemoteName(fileName) || !account.Connect())
        return false;
    TSessionEnd end{account};
    const QString folder = u'/' + QString::fromUtf16(kAccountFolder);
    QStringList names;
    if (!account.List(folder, names))
        return false;
    for (const QString &name : std::as_const(names)) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return account.Append(accountFilePath(folder, accountName), QByteArrayLiteral("0"));
}

TAccountRead ReadAccountFile(TFtpClient &account, const QString &accountName, QString &text)
{
    text.clear();
    const QString fileName = accountName + QStringLiteral(".txt");
    if (!IsPlainRemoteName(fileName) || !account.Connect())
        return TAccountRead::Failed;
    TSessionEnd end{account};
    const QString folder = QString::fromUtf16(kAccountFolder);
    QStringList names;
    if (!account.List(folder, names))
        return TAccountRead::Failed;
    for (const QString &name : std::as_const(names)) {
        if (name.compare(fileName, Qt::CaseInsensitive) != 0)
            continue;
        QByteArray bytes;
        // The name as the server lists it: the comparison ignored its case.
        if (!account.Download(folder + u'/' + name, bytes))
            return TAccountRead::Failed;
        text = DecodeText(bytes);
        return TAccountRead::Loaded;
    }
    return TAccountRead::NoAccount;
}

bool WriteAccountFile(TFtpClient &account, const QString &accountName, const QByteArray &bytes)
{
    if (!IsPlainRemoteName(accountName + QStringLiteral(".txt")) || !account.Connect())
        return false;
    TSessionEnd end{account};
    return account.UploadReplacing(accountFilePath(QString::fromUtf16(kAccountFolder), accountName),
                                   bytes);
}

QString StorageFileName(const QString &account, const QString &fileName)
{
    const QString name = account + u'_' + TranslitToLatin(fileName);
    return IsPlainRemoteName(name) ? name : QString();
}

TUploadResult UploadLocalFiles(TFtpClient &storage, const TFileList &playlist,
                               const QString &account, const QString &webFolder,
                               const std::atomic<bool> *stop)
{
    TUploadResult result;
    storage.SetCancel(stop);
    if (!storage.Connect()) {
        storage.SetCancel(nullptr);
        return result;
    }
    result.Connected = true;
    const QString folder = QString::fromUtf16(kStorageFolder);
    bool uploading = true;
    // Every entry keeps its place, even one that now reads like another (two local files of
    // one name in different folders).
    result.List.SetCount(playlist.Count());
    for (int i = 0; i < playlist.Count(); ++i) {
        TFileName entry = playlist.At(i);
        if (uploading && IsLocalEntry(entry)) {
            const QString remote = StorageFileName(account, entry.FileName);
            uploading = !remote.isEmpty() && !(stop && stop->load()) &&
                        storage.UploadFile(folder + u'/' + remote, entry.DirName + entry.FileName);
            if (uploading) {
                entry.DirName = webFolder;
                entry.FileName = remote;
                ++result.Uploaded;
            }
        }
        result.List.SetRecord(i, std::move(entry));
    }
    result.List.CurIndex = playlist.CurIndex;
    storage.Disconnect();
    storage.SetCancel(nullptr);
    return result;
}

QString FeedbackFileName(const QString &computer, const QDate &day)
{
    QString name = computer;
    name.replace(u'/', u'_').replace(u'\\', u'_');
    return name + u'_' + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
}

QString FeedbackRecord(const QDateTime &when, const QString &message)
{
    return QStringLiteral("\n\r") + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" - ") + message;
}

bool SendFeedbackMessage(TFtpClient &account, const QString &computer, const QDateTime &when,
                         const QString &message)
{
    const QString fileName = FeedbackFileName(computer, when.date());
    if (!IsPlainRemoteName(fileName) || !account.Connect())
        return false;
    TSessionEnd end{account};
    return account.Append(QString::fromUtf16(kFeedbackFolder) + u'/' + fileName,
                          EncodeServiceText(FeedbackRecord(when, message)));
}

QString NewsAddress(const QString &site, const QString &language)
{
    if (site.isEmpty())
        return {};
    return site + QStringLiteral("/Services/news/news_") + language + QStringLiteral(".txt");
}

bool RefreshNews(const QString &address, const QString &cacheFile, const QString &agent,
                 QString &cached, const std::atomic<bool> *stop)
{
    cached.clear();
    const int64_t cachedSize = GetFileSize32(cacheFile);
    auto readCache = [&] {
        QFile file(cacheFile);
        if (file.open(QIODevice::ReadOnly))
            cached = DecodeText(file.read(kMaxFtpDownload));
    };
    if (cachedSize > 0)
        readCache();
    if (address.isEmpty())
        return false;
    const int64_t remoteSize = GetUrlSize(address, stop);
    if (remoteSize <= 0 || remoteSize == cachedSize)
        return false;
    if (!DownloadUrlToFile(address, cacheFile, agent, stop))
        return false;
    readCache();
    return true;
}

} // namespace vorlane
