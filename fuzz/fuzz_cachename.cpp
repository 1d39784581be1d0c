// Catalogue index lines from any bytes: the cache name of a line is either nothing or one plain
// file name that stays inside the cache folder, and the list read for any line is empty or comes
// from that folder.

#include "base/TextFile.h"
#include "net/InetCatalog.h"

#include <QDir>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Percent escapes decoded as servers do: "%" and two hex digits is a byte, anything else stays.
// (QUrl::fromPercentEncoding takes "%rF" for a byte too, which no server does.)
QString strictlyDecoded(const QString &name)
{
    QByteArray out;
    const QByteArray in = name.toUtf8();
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int high = i + 2 < in.size() ? hexValue(in.at(i + 1)) : -1;
        const int low = i + 2 < in.size() ? hexValue(in.at(i + 2)) : -1;
        if (in.at(i) == '%' && high >= 0 && low >= 0) {
            out += char(high * 16 + low);
            i += 2;
        } else {
            out += in.at(i);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

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
        // Nor may a server that decodes its escapes find a separator in it.
        if (strictlyDecoded(name).contains(u'/') || strictlyDecoded(name).contains(u'\\'))
            std::abort();
        if (ReadCachedList(QStringLiteral("/nonexistent-vorlane-data/"), line).Count() != 0)
            std::abort();
    }
    return 0;
}
