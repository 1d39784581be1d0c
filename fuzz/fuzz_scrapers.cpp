// Search result pages from any bytes: both scrapers must end (a page whose markers repeat,
// overlap or break off included) and every result they add must be a record the list can hold:
// an address split at its last "/" with a non-empty title, each network address once.

#include "base/FileList.h"
#include "net/InetSearch.h"

#include <QSet>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

namespace {

void check(const TFileList &list)
{
    QSet<QString> addresses;
    for (int i = 0; i < list.Count(); ++i) {
        const TFileName &r = list.At(i);
        if (r.Title.isEmpty() || r.FileName.contains(u'/'))
            std::abort();
        if (r.DirName.isEmpty())
            continue; // an address without "/": not a network entry, kept as it came
        if (!r.DirName.endsWith(u'/'))
            std::abort();
        const QString address = r.DirName + r.FileName;
        if (addresses.contains(address))
            std::abort();
        addresses.insert(address);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    TFileList first;
    ScrapeFirstSite(page, QStringLiteral("http://one.test"), first);
    check(first);
    TFileList second;
    ScrapeSecondSite(page, second);
    check(second);
    return 0;
}
