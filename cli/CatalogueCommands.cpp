// vorlane-cli catalogue and search: the internet catalogue's cache and the internet search, run
// synchronously with the settings of the program's Config.ini.

#include "cli/Commands.h"
#include "cli/DataOptions.h"

#include "base/IniFile.h"
#include "catalog/Vorlane.h"
#include "net/InetCatalog.h"
#include "net/InetSearch.h"
#include "net/Services.h"
#include "net/UrlReads.h"

#include <QDir>
#include <QTextStream>

namespace vorlane::cli {

namespace {

const char kCatalogueUsage[] = "usage: vorlane-cli catalogue refresh|lists [--data DIR]\n"
                               "       vorlane-cli catalogue show N [--data DIR]\n";
const char kSearchUsage[] = "usage: vorlane-cli search QUERY [--data DIR]\n";

const char *outcomeWord(TRefreshOutcome outcome)
{
    switch (outcome) {
    case TRefreshOutcome::Updated: return "updated";
    case TRefreshOutcome::Kept: return "kept";
    case TRefreshOutcome::Failed: return "failed";
    case TRefreshOutcome::Skipped: return "skipped";
    }
    return "";
}

int refresh(const QString &dataDir)
{
    QTextStream err(stderr);
    const TIniFile ini = ReadDataConfig(dataDir);
    const QString server =
        ini.ReadString(QStringLiteral("Main"), QStringLiteral("ServerName"), {}).trimmed();
    if (server.isEmpty()) {
        err << "vorlane-cli catalogue refresh: the internet catalogue is off: ServerName is "
               "empty in "
            << QDir::toNativeSeparators(ConfigPath(dataDir)) << "\n";
        return 1;
    }
    ConfigureServices(ReadServices(ini));
    if (GetUrlSize(server) <= 0) {
        err << "vorlane-cli catalogue refresh: the catalogue index does not answer with a "
               "length: "
            << server << "\n";
        return 1;
    }
    QTextStream &out = Output();
    const TRefreshReport report =
        RefreshCatalogueCache(server, dataDir, nullptr, [&out](const TRefreshLine &line) {
            out << outcomeWord(line.Outcome) << ' '
                << (line.Outcome == TRefreshOutcome::Skipped ? line.Line : line.CacheName) << '\n';
            out.flush();
        });
    if (!report.IndexRead) {
        err << "vorlane-cli catalogue refresh: the catalogue index could not be downloaded: "
            << server << "\n";
        return 1;
    }
    return 0;
}

int lists(const QString &dataDir)
{
    ReadDataConfig(dataDir);
    TVorlane controller;
    controller.SetProgramDataDir(dataDir);
    QTextStream &out = Output();
    for (const QString &name : controller.LoadInetLists())
        out << name << '\n';
    out.flush();
    return 0;
}

int show(const QString &dataDir, const QString &number)
{
    QTextStream err(stderr);
    bool ok = false;
    const int index = number.toInt(&ok);
    if (!ok || index < 0) {
        err << kCatalogueUsage;
        return 2;
    }
    ReadDataConfig(dataDir);
    TVorlane controller;
    controller.SetProgramDataDir(dataDir);
    controller.LoadInetLists();
    if (index >= controller.InetListCount()) {
        err << "vorlane-cli catalogue show: there is no internet list " << index
            << " (the cache of " << QDir::toNativeSeparators(dataDir) << " has "
            << controller.InetListCount() << ")\n";
        return 1;
    }
    const TFileList &list = controller.InetList(index);
    QTextStream &out = Output();
    for (int i = 0; i < list.Count(); ++i) {
        const TFileName &r = list.At(i);
        out << r.DirName << r.FileName;
        if (!r.Title.isEmpty())
            out << '?' << r.Title;
        out << '\n';
    }
    out.flush();
    return 0;
}

} // namespace

int RunCatalogue(const QStringList &args)
{
    QTextStream err(stderr);
    TDataOptions o;
    if (!ParseDataOptions(args, o) || o.Positional.isEmpty()) {
        err << kCatalogueUsage;
        return 2;
    }
    const QString command = o.Positional.first();
    if (command == QLatin1String("refresh") && o.Positional.size() == 1)
        return refresh(o.DataDir);
    if (command == QLatin1String("lists") && o.Positional.size() == 1)
        return lists(o.DataDir);
    if (command == QLatin1String("show") && o.Positional.size() == 2)
        return show(o.DataDir, o.Positional.at(1));
    err << kCatalogueUsage;
    return 2;
}

int RunSearch(const QStringList &args)
{
    QTextStream err(stderr);
    TDataOptions o;
    if (!ParseDataOptions(args, o) || o.Positional.size() != 1 || o.Positional.first().isEmpty()) {
        err << kSearchUsage;
        return 2;
    }
    const TServices services = ReadServices(ReadDataConfig(o.DataDir));
    if (!services.SearchOn()) {
        err << "vorlane-cli search: internet search is off: SearchSite1 and SearchSite2 are "
               "empty in "
            << QDir::toNativeSeparators(ConfigPath(o.DataDir)) << "\n";
        return 1;
    }
    if (services.SearchSite1.isEmpty())
        err << "vorlane-cli search: SearchSite1 is not set: the first site is skipped\n";
    if (services.SearchSite2.isEmpty())
        err << "vorlane-cli search: SearchSite2 is not set: the second site is skipped\n";
    err.flush();
    const TFileList results = RunInetSearch(o.Positional.first(), services);
    QTextStream &out = Output();
    for (int i = 0; i < results.Count(); ++i) {
        const TFileName &r = results.At(i);
        out << r.DirName << r.FileName << '?' << r.Title << '\n';
    }
    out.flush();
    return 0;
}

} // namespace vorlane::cli
