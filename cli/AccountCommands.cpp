// vorlane-cli account and feedback: the account service and the feedback file, run synchronously
// with the settings of the program's Config.ini.

#include "cli/Commands.h"
#include "cli/DataOptions.h"

#include "base/TextUtils.h"
#include "catalog/Account.h"
#include "catalog/CatalogFiles.h"
#include "net/FtpClient.h"
#include "net/Services.h"
#include "net/UrlReads.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace vorlane::cli {

namespace {

const char kAccountUsage[] = "usage: vorlane-cli account create|show LOGIN [--data DIR]\n"
                             "       (the password: $VORLANE_PASSWORD, else the first line of "
                             "standard input)\n";
const char kFeedbackUsage[] = "usage: vorlane-cli feedback TEXT [--data DIR]\n";

// The account server's settings, or empty ones after saying on standard error that the service
// is off.
TFtpSettings accountSettings(const QString &command, const TServices &services,
                             const QString &dataDir)
{
    const TFtpSettings settings = AccountFtpSettings(services);
    if (!settings.IsSet()) {
        QTextStream(stderr) << "vorlane-cli " << command
                            << ": the account service is off: AccountServer, AccountUser or "
                               "AccountPassword is empty in "
                            << QDir::toNativeSeparators(ConfigPath(dataDir)) << "\n";
    }
    return settings;
}

// The connection check the window makes before it offers the account: the catalogue index
// (ServerName) answers with a length; without a catalogue the account server alone is asked.
bool connectionCheck(const QString &command, const TIniFile &ini, const TFtpSettings &account)
{
    QTextStream err(stderr);
    const QString server =
        ini.ReadString(QStringLiteral("Main"), QStringLiteral("ServerName"), {}).trimmed();
    if (!server.isEmpty()) {
        if (GetUrlSize(server) > 0)
            return true;
        err << "vorlane-cli " << command
            << ": no connection: the catalogue index does not answer with a length: " << server
            << "\n";
        return false;
    }
    TFtpClient ftp(account);
    if (ftp.Connect())
        return true;
    err << "vorlane-cli " << command << ": no connection to the account server " << account.Server
        << ": " << ftp.LastError() << "\n";
    return false;
}

// $VORLANE_PASSWORD, else the first line of standard input (without its line end).
QString readPassword()
{
    if (qEnvironmentVariableIsSet("VORLANE_PASSWORD"))
        return qEnvironmentVariable("VORLANE_PASSWORD");
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    QString line = QString::fromLocal8Bit(in.readLine(64 * 1024));
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

int create(const TFtpSettings &settings, const QString &accountName, const QString &login)
{
    TFtpClient ftp(settings);
    if (CreateAccountFile(ftp, accountName))
        return 0;
    QTextStream(stderr) << "vorlane-cli account create: the account of " << login
                        << " could not be created: " << ftp.LastError() << "\n";
    return 1;
}

int show(const TFtpSettings &settings, const QString &accountName, const QString &login)
{
    QTextStream err(stderr);
    TFtpClient ftp(settings);
    QString text;
    switch (ReadAccountFile(ftp, accountName, text)) {
    case TAccountRead::Loaded: break;
    case TAccountRead::NoAccount:
        err << "vorlane-cli account show: no account for " << login << " with that password\n";
        return 1;
    case TAccountRead::Failed:
        err << "vorlane-cli account show: the account could not be read: " << ftp.LastError()
            << "\n";
        return 1;
    }
    const TAccountContent content = ParseAccountText(text);
    QTextStream &out = Output();
    out << (content.HasLinks ? content.PlayList.CurIndex : 0) << '\n';
    for (const QString &line : content.PlayList.GetStringList())
        out << line << '\n';
    out << QString::fromUtf16(kBookmarksLine) << '\n';
    for (const QString &line : BookmarkLines(ParseBookmarkLines(content.BookmarkLines)))
        out << line << '\n';
    out.flush();
    return 0;
}

} // namespace

int RunAccount(const QStringList &args)
{
    QTextStream err(stderr);
    TDataOptions o;
    if (!ParseDataOptions(args, o) || o.Positional.size() != 2 || o.Positional.at(1).isEmpty()) {
        err << kAccountUsage;
        return 2;
    }
    const QString command = o.Positional.at(0);
    const QString login = o.Positional.at(1);
    if (command != QLatin1String("create") && command != QLatin1String("show")) {
        err << kAccountUsage;
        return 2;
    }
    const QString name = QStringLiteral("account ") + command;
    const TIniFile ini = ReadDataConfig(o.DataDir);
    const TServices services = ReadServices(ini);
    ConfigureServices(services);
    const TFtpSettings settings = accountSettings(name, services, o.DataDir);
    if (!settings.IsSet())
        return 1;
    const QString password = readPassword();
    if (password.isEmpty()) {
        err << "vorlane-cli " << name
            << ": no password: set VORLANE_PASSWORD or give it on the first line of standard "
               "input\n";
        return 2;
    }
    if (!connectionCheck(name, ini, settings))
        return 1;
    const QString accountName = AccountName(login, password);
    return command == QLatin1String("create") ? create(settings, accountName, login)
                                              : show(settings, accountName, login);
}

int RunFeedback(const QStringList &args)
{
    QTextStream err(stderr);
    TDataOptions o;
    if (!ParseDataOptions(args, o) || o.Positional.size() != 1 || o.Positional.first().isEmpty()) {
        err << kFeedbackUsage;
        return 2;
    }
    const TIniFile ini = ReadDataConfig(o.DataDir);
    const TServices services = ReadServices(ini);
    ConfigureServices(services);
    const TFtpSettings settings = accountSettings(QStringLiteral("feedback"), services, o.DataDir);
    if (!settings.IsSet() || !connectionCheck(QStringLiteral("feedback"), ini, settings))
        return 1;
    TFtpClient ftp(settings);
    if (SendFeedbackMessage(ftp, GetComputerNameStr(), QDateTime::currentDateTime(),
                            o.Positional.first()))
        return 0;
    err << "vorlane-cli feedback: the message could not be stored: " << ftp.LastError() << "\n";
    return 1;
}

} // namespace vorlane::cli
