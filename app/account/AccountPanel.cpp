#include "app/account/AccountPanel.h"

#include "app/account/AccountWindows.h"
#include "app/shell/Language.h"
#include "app/shell/Menus.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "catalog/Account.h"
#include "catalog/Vorlane.h"
#include "net/FtpClient.h"
#include "net/Services.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace vorlane {

// The news check's worker and what it hands back; the stop flag ends it when the panel goes.
struct TAccountPanel::TNewsCheck {
    std::atomic<bool> Stop{false};
    bool Fetched = false;
    QString Text;
};

TAccountPanel::TAccountPanel(TParts parts, QObject *parent)
    : QObject(parent)
    , vParts(std::move(parts))
{
    TMenus &m = *vParts.Menus;
    // The items are on from the start; what they do says when the service is off.
    for (QAction *item : {m.PMACreate, m.PMAEnter, m.PMAExit, m.PMFeedback})
        item->setEnabled(true);
    connect(m.PMACreate, &QAction::triggered, this, &TAccountPanel::PMACreateClick);
    connect(m.PMAEnter, &QAction::triggered, this, &TAccountPanel::PMAEnterClick);
    connect(m.PMAExit, &QAction::triggered, this, &TAccountPanel::PMAExitClick);
    connect(m.PMFeedback, &QAction::triggered, this, &TAccountPanel::PMFeedbackClick);

    vAccountWindow = new TAccountWindow(vParts.Window);
    vAccountWindow->setWindowFlag(Qt::Window);
    connect(vAccountWindow, &TAccountWindow::actionClicked, this, &TAccountPanel::accountAction);
    vFeedbackWindow = new TFeedbackWindow(vParts.Window);
    vFeedbackWindow->setWindowFlag(Qt::Window);
    connect(vFeedbackWindow, &TFeedbackWindow::sendClicked, this, [this](const QString &text) {
        if (serviceOn())
            vParts.Vorlane->SendFeedback(text);
    });
    connect(vParts.Vorlane, &TVorlane::FeedbackSent, this, [this] {
        if (vFeedbackWindow)
            vFeedbackWindow->close();
    });
    connect(vParts.Vorlane, &TVorlane::AccountCreated, this, [this] {
        if (vAccountWindow)
            vAccountWindow->close();
        vParts.Status(Msg().SM_ACCCREATED);
    });

    NT = new QTimer(this);
    NT->setSingleShot(false);
    NT->setInterval(kNewsFirstMs);
    connect(NT, &QTimer::timeout, this, &TAccountPanel::NTTimer);
}

TAccountPanel::~TAccountPanel()
{
    // A news check still running is stopped and waited for: it writes the cache file.
    if (vNewsCheck)
        vNewsCheck->Stop = true;
    for (QThread *worker : findChildren<QThread *>())
        worker->wait();
    delete vAccountWindow;
    delete vFeedbackWindow;
}

TAccountWindow *TAccountPanel::AccountWindow() const
{
    return vAccountWindow;
}

TFeedbackWindow *TAccountPanel::FeedbackWindow() const
{
    return vFeedbackWindow;
}

void TAccountPanel::ApplyTexts(const TIniFile &ini, const QString &section)
{
    for (TDialogWindow *d : {static_cast<TDialogWindow *>(vAccountWindow.data()),
                             static_cast<TDialogWindow *>(vFeedbackWindow.data())}) {
        const QString caption = ini.ReadString(section, d->WindowKey(), QString());
        if (!caption.isEmpty())
            d->setWindowTitle(caption);
    }
    const std::pair<QObject *, const char *> controls[] = {
        {vAccountWindow, "sLLogin"},
        {vAccountWindow, "sLPassword"},
        {vFeedbackWindow, "sLFeedbackSlogan"},
        {vFeedbackWindow, "sBFeedbackSend"},
    };
    for (const auto &[window, name] : controls) {
        const QString text = ini.ReadString(section, QLatin1String(name), QString());
        if (!text.isEmpty())
            SetComponentText(window, QLatin1String(name), text);
    }
}

bool TAccountPanel::serviceOn()
{
    if (AccountFtpSettings(ConfiguredServices()).IsSet())
        return true;
    vParts.Status(Msg().SM_ACCOUNTOFF);
    return false;
}

void TAccountPanel::showAccountWindow(bool newAccount)
{
    const QAction *item = newAccount ? vParts.Menus->PMACreate : vParts.Menus->PMAEnter;
    vAccountWindow->show();
    vAccountWindow->raise();
    vAccountWindow->activateWindow();
    vAccountWindow->Prepare(newAccount, item->text());
}

void TAccountPanel::PMACreateClick()
{
    if (serviceOn())
        showAccountWindow(true);
}

void TAccountPanel::PMAEnterClick()
{
    if (serviceOn())
        showAccountWindow(false);
}

void TAccountPanel::accountAction(bool newAccount, const QString &login, const QString &password)
{
    const QString name = AccountName(login, password);
    if (newAccount)
        vParts.Vorlane->CreateAccount(name);
    else
        vParts.Vorlane->LoadFromAccount(name);
}

void TAccountPanel::PMAExitClick()
{
    TVorlane &vorlane = *vParts.Vorlane;
    if (!vorlane.LoggedIn()) {
        // Nothing to save: the logout's end alone.
        LoggedOut();
        return;
    }
    if (vorlane.AccountBusy())
        return;
    const TMessages &m = Msg();
    if (vorlane.CheckLocalFilesInAccount() &&
        (*vParts.Ask)(m.SM_NEWFILES, m.SM_NEWLOCALFILESINACCOUNT)) {
        const TServices services = ConfiguredServices();
        if (!StorageFtpSettings(services).IsSet() || services.StorageWebFolder.isEmpty()) {
            // The logout goes on without the upload: the files stay local entries.
            vParts.Status(m.SM_STORAGEOFF);
        } else if (vorlane.UploadLocalFilesToAccount()) {
            vParts.Menus->PMAccount->setEnabled(false);
            vParts.Menus->PMCloseProgram->setEnabled(false);
            vParts.Status(m.SM_ACCUPDATEBEGIN);
            return;
        }
    }
    vorlane.SaveToAccount();
}

void TAccountPanel::LoggedIn()
{
    vParts.Menus->PMAEnter->setEnabled(false);
    vParts.Menus->PMAExit->setEnabled(true);
    if (vAccountWindow)
        vAccountWindow->hide();
}

void TAccountPanel::LoggedOut()
{
    TMenus &m = *vParts.Menus;
    m.PMAccount->setEnabled(true);
    m.PMAEnter->setEnabled(true);
    m.PMAExit->setEnabled(false);
    m.PMCloseProgram->setEnabled(true);
}

bool TAccountPanel::RefuseClose(bool endingSession)
{
    TVorlane &vorlane = *vParts.Vorlane;
    if (endingSession) {
        vorlane.SaveToAccountNow();
        return false;
    }
    if (vorlane.AccountUploading())
        return true;
    if (!vorlane.LoggedIn())
        return false;
    PMAExitClick();
    return true;
}

void TAccountPanel::PMFeedbackClick()
{
    if (!serviceOn())
        return;
    vFeedbackWindow->show();
    vFeedbackWindow->raise();
    vFeedbackWindow->activateWindow();
}

void TAccountPanel::StartNewsTimer()
{
    NT->setInterval(kNewsFirstMs);
    NT->start();
}

void TAccountPanel::NTTimer()
{
    NT->setInterval(kNewsEveryMs);
    const QString site = ConfiguredServices().NewsSite;
    if (site.isEmpty()) {
        if (!vNewsOffSaid)
            vParts.Status(Msg().SM_NEWSOFF);
        vNewsOffSaid = true;
        return;
    }
    if (vNewsRunning)
        return;
    const QString address = NewsAddress(site, vParts.Language());
    const QString cacheFolder = vParts.ProgramDataDir + QStringLiteral("VL4Conf/Cache/");
    QDir().mkpath(cacheFolder);
    const QString agent = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    auto check = std::make_shared<TNewsCheck>();
    QThread *worker = QThread::create([check, address, cacheFolder, agent] {
        check->Fetched = RefreshNews(address, cacheFolder + QStringLiteral("news.txt"), agent,
                                     check->Text, &check->Stop);
    });
    worker->setParent(this);
    vNewsRunning = true;
    vNewsCheck = check;
    connect(worker, &QThread::finished, this, [this, worker, check] {
        worker->deleteLater();
        vNewsRunning = false;
        vNewsCheck.reset();
        ShowNews(check->Fetched, check->Text);
    });
    worker->start();
}

void TAccountPanel::ShowNews(bool fetched, const QString &text)
{
    if (!vAccountWindow)
        return;
    vAccountWindow->sMTextInformer->setPlainText(text);
    if (fetched) {
        vAccountWindow->show();
        vAccountWindow->raise();
    }
    // A news window doubles as the login window.
    vAccountWindow->NewAccount = false;
    vAccountWindow->sBAccountAction->setText(vParts.Menus->PMAEnter->text());
}

} // namespace vorlane
