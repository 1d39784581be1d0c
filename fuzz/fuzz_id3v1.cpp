// ID3v1: parsing any 128 bytes, and saving into any stream.

#include "tags/ID3v1Tag.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    vorlane::TID3v1Tag tag;
    buffer.seek(std::max<qint64>(0, buffer.size() - 128));
    const int loaded = tag.LoadFromStream(buffer);
    if (loaded == 0) {
        // What was read renders to a block that reads back the same.
        QByteArray block = tag.Render();
        QBuffer again(&block);
        again.open(QIODevice::ReadOnly);
        vorlane::TID3v1Tag copy;
        if (copy.LoadFromStream(again) != 0 || copy.Title != tag.Title.left(30) ||
            copy.Comment.left(28) != tag.Comment.left(28))
            std::abort();
    }
    buffer.seek(std::max<qint64>(0, buffer.size() - 128));
    const qint64 before = buffer.size();
    if (tag.SaveToStream(buffer) != 0)
        std::abort();
    // A save overwrites an old tag or appends one: never anything else.
    if (buffer.size() != before && buffer.size() != before + 128)
        std::abort();
    return 0;
}
