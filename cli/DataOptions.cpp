#include "cli/DataOptions.h"

#include "base/Codepage.h"
#include "base/TextUtils.h"

#include <QDir>
#include <QFileInfo>

namespace vorlane::cli {

namespace {

QString withSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

QString defaultDataDir()
{
    const QString working = withSlash(QDir::currentPath());
    if (QFileInfo(working + QStringLiteral("VL4Conf/Config.ini")).isFile())
        return working;
    return withSlash(GetSpecialFolder(26));
}

} // namespace

bool ParseDataOptions(const QStringList &args, TDataOptions &o)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--data") && i + 1 < args.size())
            o.DataDir = withSlash(QDir(args.at(++i)).absolutePath());
        else if (a.startsWith(QLatin1String("--")))
            return false;
        else
            o.Positional << a;
    }
    if (o.DataDir.isEmpty())
        o.DataDir = defaultDataDir();
    return true;
}

QString ConfigPath(const QString &dataDir)
{
    return dataDir + QStringLiteral("VL4Conf/Config.ini");
}

TIniFile ReadDataConfig(const QString &dataDir)
{
    TIniFile ini(ConfigPath(dataDir));
    SetLegacyCodePage(ini.ReadString(QStringLiteral("Main"), QStringLiteral("CodePage"), {}));
    return ini;
}

QTextStream &Output()
{
    static QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    return out;
}

} // namespace vorlane::cli
