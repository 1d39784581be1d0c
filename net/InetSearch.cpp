#include "net/InetSearch.h"

#include "net/Services.h"
#include "net/UrlReads.h"

#include <algorithm>
#include <iterator>

namespace vorlane {

qsizetype TScrapeBuffer::find(QStringView m)
{
    Seen *seen = nullptr;
    for (int i = 0; i < vSeenCount; ++i) {
        if (vSeen[i].Marker == m) {
            seen = &vSeen[i];
            break;
        }
    }
    // What an earlier search from at or before the rest's start found still holds, unless that
    // occurrence has been passed since.
    if (seen && seen->SearchedFrom <= vStart && (seen->At < 0 || seen->At >= vStart))
        return seen->At;
    if (!seen && vSeenCount < int(std::size(vSeen))) {
        seen = &vSeen[vSeenCount++];
        seen->Marker = m;
        seen->Matcher.emplace(m);
    }
    if (!seen)
        return vPage.indexOf(m, vStart);
    seen->SearchedFrom = vStart;
    seen->At = seen->Matcher->indexIn(vPage, vStart);
    return seen->At;
}

bool TScrapeBuffer::SkipTo(QStringView m)
{
    const qsizetype at = find(m);
    if (at < 0)
        return false;
    vStart = at;
    return true;
}

QString TScrapeBuffer::Between(QStringView from, QStringView to)
{
    // Positions as the rule counts them: 1-based within the rest, 0 for a marker not there.
    const qsizetype a = find(from);
    const qsizetype z = find(to);
    const qsizetype aPos = a < 0 ? 0 : a - vStart + 1;
    const qsizetype zPos = z < 0 ? 0 : z - vStart + 1;
    const qsizetype count = zPos - aPos - from.size();
    if (count <= 0)
        return {};
    const qsizetype first = std::max<qsizetype>(aPos + from.size(), 1);
    return vPage.mid(vStart + first - 1, count).toString();
}

void AddResult(TFileList &list, const QString &address, const QString &text)
{
    if (address.isEmpty() || text.isEmpty())
        return;
    const qsizetype slash = address.lastIndexOf(u'/');
    list.AddNewRecord(address.mid(slash + 1), address.left(slash + 1), text);
}

void ScrapeFirstSite(QStringView page, const QString &site, TFileList &list)
{
    TScrapeBuffer b(page);
    b.SkipTo(u"<div class=\"content\">");
    while (b.SkipTo(u"<div class=\"block\"")) {
        const QString id = b.Between(u"data-url=\"", u"\" data-resource");
        const QString name = b.Between(u"&laquo;", u"&raquo;");
        const QString address =
            site + QStringLiteral("/download/") + id + u'/' + name + QStringLiteral(".mp3");
        // The buffer starts with the block's own marker, so a closing marker found lies past it.
        const bool closed = b.SkipTo(u"</div>");
        AddResult(list, address, name);
        if (!closed)
            break; // the same block would be found again and again
    }
}

void ScrapeSecondSite(QStringView page, TFileList &list)
{
    TScrapeBuffer b(page);
    b.SkipTo(u"<div class=\"xblock\"><h1 class=\"xblock-title\">");
    while (b.SkipTo(u"<li class=\"track\"")) {
        const qsizetype at = b.Offset();
        QString address = b.Between(u"data-mp3=\"", u"\" data-duration=\"");
        const qsizetype file = address.indexOf(QLatin1String("/file"), 0, Qt::CaseInsensitive);
        if (file >= 0)
            address.replace(file, 5, QStringLiteral("/listen"));
        b.SkipTo(u"class=\"playlist-title\"");
        const QString artist = b.Between(u"<span>", u"</span>");
        b.SkipTo(u"</a> - <a href=\"");
        const QString song = b.Between(u"<span>", u"</span>");
        AddResult(list, address, artist + QStringLiteral(" - ") + song);
        if (b.Offset() == at)
            break; // neither inner marker follows: the same track would be found forever
    }
}

QString FirstSiteAddress(const QString &site, const QString &query)
{
    return site + QStringLiteral("/search/") + query + u'/';
}

QString SecondSiteAddress(const QString &site, const QString &query)
{
    return site + QStringLiteral("/q/") + query + u'/';
}

TFileList RunInetSearch(const QString &query, const TServices &services,
                        const std::atomic<bool> *stop)
{
    TFileList list;
    const auto stopped = [stop] { return stop && stop->load(); };
    QByteArray page;
    if (!services.SearchSite1.isEmpty() && !stopped()) {
        TPageRequest request{FirstSiteAddress(services.SearchSite1, query), false, kMaxPageRead,
                             stop};
        if (ReadPage(request, page))
            ScrapeFirstSite(QString::fromUtf8(page), services.SearchSite1, list);
    }
    if (!services.SearchSite2.isEmpty() && !stopped()) {
        TPageRequest request{SecondSiteAddress(services.SearchSite2, query), true, kMaxPageRead,
                             stop};
        if (ReadPage(request, page))
            ScrapeSecondSite(QString::fromUtf8(page), list);
    }
    list.CurIndex = 0;
    return list;
}

} // namespace vorlane
