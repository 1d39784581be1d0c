// RIFF / RF64 / AIFF: the chunk walk and tag chunk lookup, and the files the chunk writers make
// from any container: they must walk cleanly and hold the new chunk where they say.

#include "tags/Containers.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

namespace {

void checkWritten(QByteArray &out, qint64 dataAt, uint32_t chunkBytes)
{
    QBuffer written(&out);
    written.open(QIODevice::ReadOnly);
    const TContainerLayout layout = InspectContainer(written);
    if (!layout.FormOk || layout.Damaged)
        std::abort();
    if (dataAt < 8 || dataAt + chunkBytes > out.size())
        std::abort();
    const QByteArray id = out.mid(dataAt - 8, 4);
    if (id != "id3 " && id != "ID3 ")
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const quint64 chunk = FindTagChunk(buffer);
    if (chunk > quint64(size))
        std::abort();
    buffer.seek(0);
    const TContainerLayout layout = InspectContainer(buffer);
    if (layout.ListEnd > layout.FileSize + 1 || layout.ContainerEnd > layout.FileSize)
        std::abort();

    constexpr uint32_t kNeeded = 37, kPadding = 20;
    QByteArray out;
    QBuffer sink(&out);
    sink.open(QIODevice::ReadWrite);
    qint64 dataAt = 0;
    if (AddTagChunk(buffer, layout, kNeeded, kPadding, sink, dataAt) == 0)
        checkWritten(out, dataAt, kNeeded + kPadding);
    if (layout.HasTagChunk) {
        QByteArray grown;
        QBuffer grownSink(&grown);
        grownSink.open(QIODevice::ReadWrite);
        if (EnlargeTagChunk(buffer, layout, kNeeded, kPadding, 10, grownSink, dataAt) == 0)
            checkWritten(grown, dataAt, kNeeded + kPadding);
    }
    return 0;
}
