#include "net/CloudLink.h"

namespace vorlane {

namespace {

// The storage's download host is "dl.<web host>"; its public pages live on the web host.
constexpr char16_t kDownloadHostFragment[] = u"dl.vorlanecloud.";
constexpr char16_t kPublicPageBase[] = u"https://vorlanecloud.net/public/";

} // namespace

bool IsCloudAddress(const QString &url)
{
    return url.contains(QStringView(kDownloadHostFragment), Qt::CaseInsensitive);
}

QString CloudRefererLine(const QString &url)
{
    if (!IsCloudAddress(url))
        return {};
    const qsizetype get = url.indexOf(QLatin1String("/get/"));
    if (get < 0)
        return {};
    return QStringLiteral("Referer: ") + QStringView(kPublicPageBase) +
           QStringView(url).mid(get + 5);
}

QString StreamRequestText(const QString &url)
{
    const QString referer = CloudRefererLine(url);
    if (referer.isEmpty())
        return url;
    return url + QStringLiteral("\r\n") + referer + QStringLiteral("\r\n");
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
