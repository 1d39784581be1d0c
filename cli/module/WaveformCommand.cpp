// waveform: the overview strip's analysis of one file, without a window. Built into the playback
// module vorlane-cli-playback.so (cli/Commands.h).

#include "cli/Commands.h"

#include "playback/Peaks.h"

#include <QTextStream>

#include <optional>

namespace vorlane::cli {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 60;
// A strip wider than any screen row of several monitors, and taller than any window, is no strip.
constexpr int kMaxWidth = 16384;
constexpr int kMaxHeight = 4096;

// A whole number of pixels from 1 to `max`; anything else ("0", "-3", "1.5", "nan", "1e9") is not.
std::optional<int> Pixels(const QString &text, int max)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > max)
        return std::nullopt;
    return v;
}

} // namespace

int RunWaveform(const QStringList &args)
{
    QTextStream err(stderr);
    QString file, png;
    int width = kDefaultWidth, height = kDefaultHeight;
    bool json = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--json")) {
            json = true;
            continue;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            if (!file.isEmpty())
                return 2;
            file = a;
            continue;
        }
        if (a != QLatin1String("--width") && a != QLatin1String("--height") &&
            a != QLatin1String("--png")) {
            err << "vorlane-cli: unknown option " << a << "\n";
            return 2;
        }
        if (i + 1 >= args.size()) {
            err << "vorlane-cli: " << a << " needs a value\n";
            return 2;
        }
        const QString v = args[++i];
        if (a == QLatin1String("--png")) {
            png = v;
            continue;
        }
        const bool isWidth = a == QLatin1String("--width");
        const int max = isWidth ? kMaxWidth : kMaxHeight;
        const std::optional<int> n = Pixels(v, max);
        if (!n) {
            err << "vorlane-cli: bad value for " << a << ": " << v << " (expected 1 to " << max
                << " pixels)\n";
            return 2;
        }
        (isWidth ? width : height) = *n;
    }
    if (file.isEmpty())
        return 2;

    QString error;
    const std::unique_ptr<TPeakColumns> peaks =
        AnalysePeaks(file, QSize(width, height), nullptr, &error);
    if (!peaks) {
        err << "vorlane-cli: cannot open " << file
            << (error.isEmpty() ? QString() : QStringLiteral(" (") + error + u')') << "\n";
        return 1;
    }
    if (!png.isEmpty() && !DrawPeaks(*peaks).save(png, "PNG")) {
        err << "vorlane-cli: cannot write " << png << "\n";
        return 1;
    }
    QTextStream out(stdout);
    if (json) {
        out << "{\"width\":" << peaks->width << ",\"height\":" << peaks->height << ",\"columns\":[";
        for (size_t i = 0; i < peaks->columns.size(); ++i)
            out << (i ? "," : "") << '[' << peaks->columns[i].first << ','
                << peaks->columns[i].second << ']';
        out << "]}\n";
    } else if (png.isEmpty()) {
        for (const auto &[top, bottom] : peaks->columns)
            out << top << ' ' << bottom << "\n";
    }
    return 0;
}

} // namespace vorlane::cli
