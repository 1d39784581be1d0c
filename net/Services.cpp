#include "net/Services.h"

#include "base/IniFile.h"

#include <QMutex>
#include <QMutexLocker>

namespace vorlane {

namespace {

QString site(const TIniFile &ini, const char *key)
{
    QString value = ini.ReadString(kServicesSection, key, QString()).trimmed();
    while (value.endsWith(u'/'))
        value.chop(1);
    return value;
}

QString text(const TIniFile &ini, const char *key)
{
    return ini.ReadString(kServicesSection, key, QString()).trimmed();
}

// Guards gServices.
QMutex gServicesMutex;
TServices gServices;

} // namespace

TServices ReadServices(const TIniFile &ini)
{
    TServices s;
    s.SearchSite1 = site(ini, "SearchSite1");
    s.SearchSite2 = site(ini, "SearchSite2");
    s.CloudDownloadHost = text(ini, "CloudDownloadHost");
    s.CloudWebHost = text(ini, "CloudWebHost");
    s.AccountServer = site(ini, "AccountServer");
    s.AccountUser = text(ini, "AccountUser");
    // Passwords as written: spaces at their ends survive inside quotes.
    s.AccountPassword = ini.ReadString(kServicesSection, "AccountPassword", QString());
    s.StorageServer = site(ini, "StorageServer");
    s.StorageUser = text(ini, "StorageUser");
    s.StoragePassword = ini.ReadString(kServicesSection, "StoragePassword", QString());
    s.StorageWebFolder = text(ini, "StorageWebFolder");
    s.NewsSite = site(ini, "NewsSite");
    return s;
}

TServices LoadServices(const QString &configIniPath)
{
    return ReadServices(TIniFile(configIniPath));
}

void ConfigureServices(const TServices &services)
{
    QMutexLocker lock(&gServicesMutex);
    gServices = services;
}

TServices ConfiguredServices()
{
    QMutexLocker lock(&gServicesMutex);
    return gServices;
}

} // namespace vorlane
