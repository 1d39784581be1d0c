// vorlane-cli: Vorlane's catalogue, tag and playback tools for scripts.
// Output formats and exit codes are stable: scripts rely on them.

#include "cli/Commands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

struct Command {
    const char *name;
    vorlane::cli::TCommandFunction run; // null: a command of the playback module
    const char *usage;
};

// One line per subcommand; keep the usage text in step with the command's parser.
const std::vector<Command> kCommands = {
    {"scan", vorlane::cli::RunScan,
     "scan DIR [--subfolders] [--all-files] [--sort name|name-desc|title|date]"},
    {"play", nullptr,
     "play FILE|URL [--eq G0,...,G9] [--echo MIX,DELAY_MS] [--compressor THRESHOLD_DB,RATIO] "
     "[--tempo PERCENT] [--seconds S]"},
    {"render", nullptr,
     "render FILE OUT.wav [--eq G0,...,G9] [--echo MIX,DELAY_MS] [--compressor THRESHOLD_DB,RATIO] "
     "[--tempo PERCENT] [--from SECONDS] [--seconds S]"},
    {"info", nullptr, "info [--json] FILE|URL"},
    {"waveform", nullptr, "waveform FILE [--width N] [--height H] [--png OUT] [--json]"},
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
    {"account", vorlane::cli::RunAccount, "account create|show LOGIN [--data DIR]"},
    {"feedback", vorlane::cli::RunFeedback, "feedback TEXT [--data DIR]"},
};

// The playback module: beside the program (the build tree), else in the installed library
// folder (<prefix>/<libdir>/vorlane/); empty when it is nowhere.
QString playbackModule()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/vorlane-cli-playback.so"),
        appDir + QStringLiteral("/../" VORLANE_INSTALL_LIBDIR "/vorlane/vorlane-cli-playback.so")};
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

int runFromPlaybackModule(const char *name, const QStringList &args)
{
    const QString path = playbackModule();
    QLibrary module(path);
    const auto lookup = path.isEmpty() ? nullptr
                                       : reinterpret_cast<vorlane::cli::TPlaybackCommandLookup>(
                                             module.resolve(vorlane::cli::kPlaybackCommandSymbol));
    const vorlane::cli::TCommandFunction run = lookup ? lookup(name) : nullptr;
    if (!run) {
        QTextStream(stderr) << "vorlane-cli: no playback: "
                            << (path.isEmpty() ? QStringLiteral("vorlane-cli-playback.so not found")
                                               : module.errorString())
                            << "\n";
        return 1;
    }
    return run(args);
}

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
            return c.run ? c.run(args) : runFromPlaybackModule(c.name, args);
    }
    return usage();
}
