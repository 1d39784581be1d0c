// List text from outside (playlist files, link lists such as .m3u, clipboard text, cached
// catalogue lists): reading any bytes as lines (bounded: no line over the limit), reading them as
// a list, then writing the list back and reading that again.

#include "base/FileList.h"
#include "base/TextFile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    if (!device.open(QIODevice::ReadOnly))
        std::abort();
    QStringList lines;
    vorlane::ReadTextLines(device, lines);
    for (const QString &line : std::as_const(lines)) {
        if (line.size() > vorlane::kMaxListLine)
            std::abort();
    }

    vorlane::TFileList catalogue; // every line a network entry, as catalogue lists are read
    for (const QString &line : std::as_const(lines))
        catalogue.AddNewRecord(line);

    vorlane::TFileList list;
    list.LoadListFromString(lines);
    QStringList written = list.GetStringList();
    written.prepend(QString::number(list.CurIndex));
    const QStringList reread =
        vorlane::SplitLines(vorlane::DecodeText(vorlane::EncodeTextLines(written)));
    if (reread.size() != written.size())
        std::abort();

    list.AlphabetSort(false, true);
    list.Find(QStringLiteral("ab"), 0.8f);
    list.Find(QStringLiteral("a"), 1.0f);
    return 0;
}
