#pragma once
// The addresses of the outside services, read from the "Services" section of Config.ini. The
// program never writes that section. A key that is empty or missing switches its service off:
// whatever needs it does nothing and the caller says so in the status line; there is no default
// host anywhere in the code.
//
// One copy is in force for the whole process (ConfigureServices): the network reads consult it
// for the cloud rule (net/CloudLink.h) and the searches for their sites. Set it at start-up; it
// may be read and replaced from any thread.

#include <QString>

namespace vorlane {

class TIniFile;

struct TServices {
    QString SearchSite1;       // first search site: scheme, host, optional port; no trailing "/"
    QString SearchSite2;       // second search site, the same form
    QString CloudDownloadHost; // cloud download host: an address on it or a sub-domain is a cloud
                               // address
    QString CloudWebHost;      // cloud web host: public pages are "https://" + it + "/public/"
    QString AccountServer;     // account FTP server: ftp scheme, host, optional port
    QString AccountUser;
    QString AccountPassword;
    QString StorageServer; // storage FTP server: ftp scheme, host, optional port
    QString StorageUser;
    QString StoragePassword;
    QString StorageWebFolder; // public web folder of the storage server, ending in "/"
    QString NewsSite;         // news are "/Services/news/news_" + language + ".txt" on it

    // The cloud rule needs both of its hosts.
    bool CloudOn() const { return !CloudDownloadHost.isEmpty() && !CloudWebHost.isEmpty(); }
    bool SearchOn() const { return !SearchSite1.isEmpty() || !SearchSite2.isEmpty(); }
};

inline constexpr char kServicesSection[] = "Services";

// The "Services" section of a settings document. Values are trimmed; the site addresses lose a
// trailing "/" (they are joined with paths that begin with one).
TServices ReadServices(const TIniFile &ini);
// The same from a Config.ini file; all keys empty when it cannot be read.
TServices LoadServices(const QString &configIniPath);

// The services in force for this process; all off until configured.
void ConfigureServices(const TServices &services);
TServices ConfiguredServices();

} // namespace vorlane
