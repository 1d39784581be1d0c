#pragma once
// The internet search: a query goes to the two search sites ("SearchSite1" and "SearchSite2" of
// the "Services" section, net/Services.h), and every track found on their result pages becomes a
// network entry. The pages are scraped by plain text markers, not parsed as HTML; HTML entities
// in names are kept as they are.
//
// The scrapers are pure functions over a page's text. The search itself (RunInetSearch) blocks
// while the sites answer: the catalogue controller runs it on its search worker.

#include "base/FileList.h"

#include <QString>
#include <QStringMatcher>
#include <QStringView>

#include <atomic>
#include <optional>

namespace vorlane {

struct TServices;

// The unread rest of a page, consumed front to back by the marker operations of the scrapers.
// A buffer only ever moves forward. Searches remember where each marker was last found (or that
// it is absent from some position on), so a page costs time linear in its length however many
// blocks it holds.
class TScrapeBuffer {
public:
    explicit TScrapeBuffer(QStringView page)
        : vPage(page)
    {
    }

    // When m occurs in the rest, everything before it goes (m stays at the front) and the result
    // is true; otherwise nothing changes and the result is false.
    bool SkipTo(QStringView m);
    // With a and z the 1-based positions of the first `from` and the first `to` in the rest (0
    // when absent): the text that starts at position a + length(from) and has
    // z - a - length(from) characters, empty when that count is not positive. When `from` is
    // present and `to` follows it, the text between them. Nothing is consumed.
    QString Between(QStringView from, QStringView to);
    // Where the rest begins in the page.
    qsizetype Offset() const { return vStart; }

private:
    // The first position of m at or after the start of the rest; -1 when absent.
    qsizetype find(QStringView m);

    struct Seen {
        QStringView Marker;
        // Built once per marker: a search builds its skip table for every call otherwise, which
        // costs more than the short distance to the next block.
        std::optional<QStringMatcher> Matcher;
        qsizetype SearchedFrom = -1;
        qsizetype At = -1; // first occurrence at or after SearchedFrom, -1 none
    };
    QStringView vPage;
    qsizetype vStart = 0;
    Seen vSeen[8];
    int vSeenCount = 0;
};

// Adds a result: when both are non-empty, the address is split at its last "/" (FileName after
// it, DirName up to and including it) and added with the text as its title, unless the list
// holds that address already.
void AddResult(TFileList &list, const QString &address, const QString &text);

// The first site's result page: after the content marker, every block gives
// site + "/download/" + its data-url id + "/" + its name + ".mp3", titled by the name.
// A block whose closing marker is missing ends the page.
void ScrapeFirstSite(QStringView page, const QString &site, TFileList &list);
// The second site's result page: after the header marker, every track gives its data-mp3
// address (the first "/file", in any letter case, made "/listen"), titled "Artist - Song".
// A track that leaves the buffer where it found it ends the page.
void ScrapeSecondSite(QStringView page, TFileList &list);

// The pages asked for: site + "/search/" + query + "/" and site + "/q/" + query + "/".
QString FirstSiteAddress(const QString &site, const QString &query);
QString SecondSiteAddress(const QString &site, const QString &query);

// Both sites as the search worker runs them: the first site (its redirects refused), then the
// second (redirects followed); a site that is off or fails adds nothing. Results in the order
// added. Stops early, with what it has, once *stop is set.
TFileList RunInetSearch(const QString &query, const TServices &services,
                        const std::atomic<bool> *stop = nullptr);

} // namespace vorlane
