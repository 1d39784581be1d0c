#pragma once
// Direct-download addresses of the public cloud storage that catalogue lists may hold. The storage
// serves such a file only when the request names the item's public page as its referrer, so every
// network read adds a Referer header built from the address itself. This is the program's one
// cloud rule: the remote size, the download and the player's streams all go through it.
//
// The storage's hosts are configuration ("CloudDownloadHost" and "CloudWebHost" of the
// "Services" section, net/Services.h). With either of them empty the rule is off: no address is
// a cloud address. The forms with a TServices argument are pure; the others use the services in
// force (ConfiguredServices()).

#include <QString>

namespace vorlane {

struct TServices;

// True for an address whose host is the download host, or ends in "." + the download host
// (letter case aside, port ignored).
bool IsCloudAddress(const QString &url, const TServices &services);
bool IsCloudAddress(const QString &url);

// "Referer: https://" + the web host + "/public/" + the part of the address after its first
// "/get/"; empty for any other address (or a cloud address without "/get/").
QString CloudRefererLine(const QString &url, const TServices &services);
QString CloudRefererLine(const QString &url);

// The text handed to the audio engine's network opener: the address, and for a cloud address
// CR LF + the Referer line + CR LF.
QString StreamRequestText(const QString &url, const TServices &services);
QString StreamRequestText(const QString &url);

// The display name of a list address: the part after its last "/" with its extension removed;
// empty for an address without "/".
QString ListDisplayName(const QString &url);

} // namespace vorlane
