// vorlane-cli: Vorlane's catalogue, tag and playback tools for scripts.
// Output formats and exit codes are stable: scripts rely on them.

#include "cli/Commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

struct Command {
    const char *name;
    int (*run)(const QStringList &args);
    const char *usage;
};

// One line per subcommand; keep the usage text in step with the command's parser.
const std::vector<Command> kCommands = {
    {"scan", vorlane::cli::RunScan,
     "scan DIR [--subfolders] [--all-files] [--sort name|name-desc|title|date]"},
    {"play", vorlane::cli::RunPlay,
     "play FILE|URL [--eq G0,...,G9] [--echo MIX,DELAY_MS] [--compressor THRESHOLD_DB,RATIO] "
     "[--tempo PERCENT] [--seconds S]"},
    {"render", vorlane::cli::RunRender,
     "render FILE OUT.wav [--eq G0,...,G9] [--echo MIX,DELAY_MS] [--compressor THRESHOLD_DB,RATIO] "
     "[--tempo PERCENT] [--from SECONDS] [--seconds S]"},
    {"info", vorlane::cli::RunInfo, "info [--json] FILE|URL"},
    {"waveform", vorlane::cli::RunWaveform,
     "waveform FILE [--width N] [--height H] [--png OUT] [--json]"},
    {"tags", vorlane::cli::RunTags,
     "tags show [--json] FILE... | set [--v1|--v2] [--title T] [--artist A] [--album B] "
     "[--track N] [--genre G] [--year Y] FILE... | copy --to-v1|--to-v2 FILE... | "
     "cover IMAGE FILE... | from-names DIR"},
    {"rename", vorlane::cli::RunRename,
     "rename DIR (--from-v2|--from-v1 [--template number,artist,album,name,year] | --format | "
     "--to-latin | --to-cyrillic | --number | --replace OLD NEW) [--subfolders]"},
    {"catalogue", vorlane::cli::RunCatalogue,
     "catalogue refresh|lists [--data DIR] | catalogue show N [--data DIR]"},
    {"search", vorlane::cli::RunSearch, "search QUERY [--data DIR]"},
};

int usage()
{
    QTextStream err(stderr);
    err << "usage: vorlane-cli COMMAND [ARGS...]\n";
    for (const Command &c : kCommands)
        err << "  vorlane-cli " << c.usage << "\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QCoreApplication::setApplicationName(QStringLiteral("Vorlane"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    return usage();
}
