// Catalogue index lines from any bytes: the cache name of a line is either nothing or one plain
// file name that stays inside the cache folder, and the list read for any line is empty or comes
// from that folder.

#include "base/TextFile.h"
#include "net/InetCatalog.h"

#include <QDir>
#include <QUrl>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    static const QString cache = QStringLiteral("/nonexistent-vorlane-data/VL4Conf/Cache/");
    for (const QString &line : SplitLines(text)) {
        const QString name = CacheFileName(line);
        if (name.isEmpty())
            continue;
        if (name.contains(u'/') || name.contains(u'\\') || name == QLatin1String(".") ||
            name == QLatin1String(".."))
            std::abort();
        const QString path = QDir::cleanPath(cache + name);
        if (!path.startsWith(cache) || path.size() <= cache.size())
            std::abort();
        // Nor may its percent-decoded form hold a separator.
        const QString decoded = QUrl::fromPercentEncoding(name.toUtf8());
        if (decoded.contains(u'/') || decoded.contains(u'\\'))
            std::abort();
        if (ReadCachedList(QStringLiteral("/nonexistent-vorlane-data/"), line).Count() != 0)
            std::abort();
    }
    return 0;
}
