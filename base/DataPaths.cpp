#include "base/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vorlane {

namespace {

QString withSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

} // namespace

QString BundledDataDir()
{
    const QString fromEnv = qEnvironmentVariable("VORLANE_DATA_DIR");
    if (!fromEnv.isEmpty() && QFileInfo(fromEnv).isDir())
        return withSlash(QDir(fromEnv).absolutePath());
    if (QCoreApplication::instance()) {
        const QString installed = QCoreApplication::applicationDirPath() + "/../share/vorlane";
        if (QFileInfo(installed).isDir())
            return withSlash(QDir(installed).absolutePath());
    }
#ifdef VORLANE_SOURCE_DATA_DIR
    if (QFileInfo(QStringLiteral(VORLANE_SOURCE_DATA_DIR)).isDir())
        return withSlash(QStringLiteral(VORLANE_SOURCE_DATA_DIR));
#endif
    return {};
}

QString FindDataFile(const QString &name)
{
    const QString local = QDir::current().absoluteFilePath(name);
    if (QFileInfo(local).isFile())
        return local;
    const QString bundled = BundledDataDir();
    if (!bundled.isEmpty() && QFileInfo(bundled + name).isFile())
        return bundled + name;
    return {};
}

} // namespace vorlane
