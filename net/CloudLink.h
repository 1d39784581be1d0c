#pragma once
// Direct-download addresses of the public cloud storage that catalogue lists may hold. The storage
// serves such a file only when the request names the item's public page as its referrer, so every
// network read adds a Referer header built from the address itself. Pure functions.

#include <QString>

namespace vorlane {

// True for an address on the cloud storage's download host.
bool IsCloudAddress(const QString &url);

// "Referer: " + the public page base + the part of the address after its first "/get/";
// empty for any other address (or a cloud address without "/get/").
QString CloudRefererLine(const QString &url);

// The text handed to the audio engine's network opener: the address, and for a cloud address
// CR LF + the Referer line + CR LF.
QString StreamRequestText(const QString &url);

// The display name of a list address: the part after its last "/" with its extension removed;
// empty for an address without "/".
QString ListDisplayName(const QString &url);

} // namespace vorlane
