#include "net/CloudLink.h"

#include "net/Services.h"

#include <QUrl>

namespace vorlane {

bool IsCloudAddress(const QString &url, const TServices &services)
{
    if (!services.CloudOn() || url.isEmpty())
        return false;
    const QString host = QUrl(url).host(); // lower case, without user and port
    const QString cloud = services.CloudDownloadHost.toLower();
    if (host.isEmpty())
        return false;
    return host == cloud || (host.size() > cloud.size() && host.endsWith(cloud) &&
                             host.at(host.size() - cloud.size() - 1) == u'.');
}

bool IsCloudAddress(const QString &url)
{
    return IsCloudAddress(url, ConfiguredServices());
}

QString CloudRefererLine(const QString &url, const TServices &services)
{
    if (!IsCloudAddress(url, services))
        return {};
    const qsizetype get = url.indexOf(QLatin1String("/get/"));
    if (get < 0)
        return {};
    return QStringLiteral("Referer: https://") + services.CloudWebHost +
           QStringLiteral("/public/") + QStringView(url).mid(get + 5);
}

QString CloudRefererLine(const QString &url)
{
    return CloudRefererLine(url, ConfiguredServices());
}

QString StreamRequestText(const QString &url, const TServices &services)
{
    const QString referer = CloudRefererLine(url, services);
    if (referer.isEmpty())
        return url;
    return url + QStringLiteral("\r\n") + referer + QStringLiteral("\r\n");
}

QString StreamRequestText(const QString &url)
{
    return StreamRequestText(url, ConfiguredServices());
}

QString ListDisplayName(const QString &url)
{
    const qsizetype slash = url.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    QString name = url.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
        // The first occurrence of the extension goes, wherever it stands.
        const QString ext = name.mid(dot);
        name.remove(name.indexOf(ext), ext.size());
    }
    return name;
}

} // namespace vorlane
