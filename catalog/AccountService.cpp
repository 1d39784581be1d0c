// The controller's account operations: create, log in, save and log out, the upload of local
// files, and feedback. Every FTP wait runs on a worker (catalog/InetWorkers.h); the login and the
// logout reach the window as event codes through Flags(), in the outcome queue of the internet
// workers.

#include "catalog/Account.h"
#include "catalog/CatalogFiles.h"
#include "catalog/InetWorkers.h"
#include "catalog/Vorlane.h"

#include "base/Messages.h"
#include "base/TextUtils.h"
#include "net/FtpClient.h"
#include "net/Services.h"

#include <algorithm>
#include <memory>

namespace vorlane {

bool TVorlane::accountServiceOn()
{
    if (AccountFtpSettings(ConfiguredServices()).IsSet())
        return true;
    notice(&TMessages::SM_ACCOUNTOFF, false);
    return false;
}

TFileList &TVorlane::accountPlayList()
{
    // A catalogue not loaded has no playlists yet: the account playlist comes first all the same.
    if (PlayListCount() == 0) {
        TFileList network;
        network.RootDir = QString::fromUtf16(kNetworkPlayListFile);
        vPlayList.prepend(std::move(network));
    }
    return vPlayList[0];
}

void TVorlane::startAccountTask(std::function<void(const std::atomic<bool> &)> work,
                                std::function<void()> done)
{
    auto *task = new TNetTask(std::move(work), this);
    AccountThread = task;
    connect(task, &QThread::finished, this, [this, task, done = std::move(done)] {
        task->deleteLater();
        if (AccountThread == task)
            AccountThread = nullptr;
        if (!vStopping)
            done();
    });
    task->start();
}

bool TVorlane::AccountBusy() const
{
    return AccountThread || UploadToAccountThread || vAccountClosing;
}

bool TVorlane::CreateAccount(const QString &accName)
{
    if (vStopping || AccountBusy() || !accountServiceOn())
        return false;
    auto created = std::make_shared<std::atomic<bool>>(false);
    startAccountTask(
        [settings = AccountFtpSettings(ConfiguredServices()), accName,
         created](const std::atomic<bool> &stop) {
            TFtpClient ftp(settings);
            ftp.SetCancel(&stop);
            *created = CreateAccountFile(ftp, accName);
        },
        [this, created] {
            if (*created)
                Q_EMIT AccountCreated();
        });
    return true;
}

bool TVorlane::LoadFromAccount(const QString &accName)
{
    if (vStopping || vLoggedIn || AccountBusy() || !accountServiceOn())
        return false;
    auto text = std::make_shared<QString>();
    auto read = std::make_shared<std::atomic<TAccountRead>>(TAccountRead::Failed);
    startAccountTask(
        [settings = AccountFtpSettings(ConfiguredServices()), accName, text,
         read](const std::atomic<bool> &stop) {
            TFtpClient ftp(settings);
            ftp.SetCancel(&stop);
            *read = ReadAccountFile(ftp, accName, *text);
        },
        [this, text, read, accName] {
            vOutcomes.append([this, text, read, accName] {
                if (*read != TAccountRead::Loaded || vLoggedIn)
                    return TEventCode(efNone);
                TAccountContent content = ParseAccountText(*text);
                if (content.HasLinks) {
                    TFileList &playlist = accountPlayList();
                    playlist = std::move(content.PlayList);
                    playlist.CurIndex =
                        std::clamp(playlist.CurIndex, 0, std::max(playlist.Count() - 1, 0));
                } else {
                    accountPlayList();
                }
                LoadBookmarks(int(vBookmark.size()) - 1, content.BookmarkLines);
                vLoggedIn = true;
                vAccountName = accName;
                return TEventCode(efAccountLoaded);
            });
        });
    return true;
}

bool TVorlane::SaveToAccount()
{
    if (vStopping || !vLoggedIn || AccountBusy())
        return false;
    const QByteArray bytes = AccountFileBytes(accountPlayList(), vBookmark);
    vAccountClosing = true;
    auto connected = std::make_shared<std::atomic<bool>>(false);
    auto saved = std::make_shared<std::atomic<bool>>(false);
    startAccountTask(
        [settings = AccountFtpSettings(ConfiguredServices()), accName = vAccountName, bytes,
         connected, saved](const std::atomic<bool> &stop) {
            TFtpClient ftp(settings);
            ftp.SetCancel(&stop);
            if (!ftp.Connect())
                return;
            *connected = true;
            *saved = WriteAccountFile(ftp, accName, bytes);
        },
        [this, connected, saved] {
            vOutcomes.append([this, connected, saved] {
                // A save that got a connection empties the account playlist, whatever came of
                // the transfer; one that got none keeps it, so nothing is lost in memory.
                if (*connected && PlayListCount() > 0)
                    vPlayList[0].ClearList();
                vAccountSaved = *saved;
                vLoggedIn = false;
                vAccountClosing = false;
                return TEventCode(efAccountClosed);
            });
        });
    return true;
}

bool TVorlane::SaveToAccountNow()
{
    if (!vLoggedIn || AccountBusy())
        return false;
    TFtpClient ftp(AccountFtpSettings(ConfiguredServices()));
    vAccountSaved =
        ftp.Connect() &&
        WriteAccountFile(ftp, vAccountName, AccountFileBytes(accountPlayList(), vBookmark));
    vLoggedIn = false;
    return vAccountSaved;
}

bool TVorlane::CheckLocalFilesInAccount() const
{
    if (!vLoggedIn || PlayListCount() == 0)
        return false;
    const TFileList &playlist = vPlayList.at(0);
    for (int i = 0; i < playlist.Count(); ++i) {
        if (IsLocalEntry(playlist.At(i)))
            return true;
    }
    return false;
}

bool TVorlane::UploadLocalFilesToAccount()
{
    if (vStopping || !vLoggedIn || AccountBusy())
        return false;
    const TServices services = ConfiguredServices();
    const TFtpSettings storage = StorageFtpSettings(services);
    if (!storage.IsSet() || services.StorageWebFolder.isEmpty()) {
        notice(&TMessages::SM_STORAGEOFF, false);
        return SaveToAccount();
    }
    auto *thread = new TAccountUploader(storage, accountPlayList(), vAccountName,
                                        services.StorageWebFolder, this);
    UploadToAccountThread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        if (UploadToAccountThread == thread)
            UploadToAccountThread = nullptr;
        if (vStopping)
            return;
        TUploadResult result = thread->TakeResult();
        if (result.Connected && vLoggedIn) {
            TFileList &playlist = accountPlayList();
            playlist = std::move(result.List);
            playlist.RootDir = QString::fromUtf16(kNetworkPlayListFile);
        }
        SaveToAccount();
    });
    thread->start();
    return true;
}

bool TVorlane::AccountUploading() const
{
    return UploadToAccountThread;
}

void TVorlane::DissconnectFromAccount()
{
    if (!vLoggedIn)
        return;
    vLoggedIn = false;
    if (PlayListCount() > 0)
        vPlayList[0].ClearList();
    vMode = bmPlayLists;
    vFlags = efRefreshView;
}

bool TVorlane::SendFeedback(const QString &text)
{
    if (vStopping || AccountBusy() || !accountServiceOn())
        return false;
    auto sent = std::make_shared<std::atomic<bool>>(false);
    startAccountTask(
        [settings = AccountFtpSettings(ConfiguredServices()), text,
         sent](const std::atomic<bool> &stop) {
            TFtpClient ftp(settings);
            ftp.SetCancel(&stop);
            *sent =
                SendFeedbackMessage(ftp, GetComputerNameStr(), QDateTime::currentDateTime(), text);
        },
        [this, sent] {
            if (*sent)
                Q_EMIT FeedbackSent();
        });
    return true;
}

void TVorlane::stopAccountWorkers()
{
    for (QThread *thread : {static_cast<QThread *>(AccountThread.data()),
                            static_cast<QThread *>(UploadToAccountThread.data())}) {
        if (auto *task = qobject_cast<TNetTask *>(thread))
            task->RequestStop();
        else if (auto *uploader = qobject_cast<TAccountUploader *>(thread))
            uploader->RequestStop();
        if (thread)
            thread->wait();
    }
}

} // namespace vorlane
