// The settings files from any bytes (Config.ini, lang.ini): the INI reader must take anything and
// keep no line over its limit; the messages and settings read from it must come out; the settings
// written back into the same document must read back as written.

#include "app/shell/Config.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "base/TextFile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

namespace {

TIniFile load(QByteArray &bytes)
{
    QBuffer buffer(&bytes);
    TIniFile ini;
    if (!buffer.open(QIODevice::ReadOnly) || !ini.Load(buffer))
        std::abort();
    for (const QString &line : ini.Lines()) {
        if (line.size() > kMaxIniLine)
            std::abort();
    }
    return ini;
}

// What WriteConfig writes, as numbers (texts may lose the quotes or spaces around them).
QList<int> numbers(const TConfig &c)
{
    const TSoundProcConfig &s = c.SoundProc;
    const TTagRenameTemplate &t = c.RenameTemplate;
    QList<int> n = {c.Volume,          c.AutoEdit,        c.Player,        c.ShowIndicator,
                    c.ShowMiniPlayer,  c.FontSize,        int(c.Repeat),   c.VisMode,
                    c.BrowseMode,      c.ListIndex,       c.sPCenterWidth, c.sPLeftWidth,
                    c.sPRightWidth,    c.sPTopHeight,     c.Width,         c.Heigth,
                    c.ShowNavigator,   c.ShowTools,       c.ShowPeaks,     s.EqEnabled,
                    s.EchoEnabled,     s.EchoDelay,       s.EchoLevel,     s.CompressorEnabled,
                    s.CompressorRatio, s.CompressorLevel, s.EqMode,        t.Number,
                    t.Artist,          t.Album,           t.Name,          t.Year};
    for (int band : s.Band)
        n.append(band);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TIniFile ini = load(bytes);

    // lang.ini: the messages and the component keys of a section.
    for (const QString &key : MessageKeys())
        ini.ReadString(QStringLiteral("eng"), key, QString());
    for (const QString &key : ini.ReadSection(QStringLiteral("rus")))
        ini.ReadString(QStringLiteral("rus"), key, QString());

    // Config.ini: read at start, written at exit into the same document, read at the next start.
    const TConfig first = ReadConfig(ini);
    WriteConfig(ini, first);
    QByteArray written = EncodeTextLines(ini.Lines());
    const TConfig second = ReadConfig(load(written));
    if (numbers(second) != numbers(first))
        std::abort();
    return 0;
}
