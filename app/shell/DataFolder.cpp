#include "app/shell/DataFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vorlane {

namespace {

QString withSlash(const QString &dir)
{
    return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/';
}

bool hasConfig(const QString &dir)
{
    return !dir.isEmpty() && QFileInfo(withSlash(dir) + "VL4Conf/Config.ini").isFile();
}

} // namespace

QString ChooseDataFolder(const QString &workingDir, const QString &appDataDir)
{
    if (hasConfig(workingDir))
        return withSlash(workingDir);
    if (hasConfig(appDataDir))
        return withSlash(appDataDir);
    return {};
}

bool SeedDataFolder(const QString &targetDir, const QString &bundledDir, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (targetDir.isEmpty())
        return fail(QStringLiteral("no application-data folder is known for this user"));
    const QString source = withSlash(bundledDir) + "VL4Conf";
    if (bundledDir.isEmpty() || !QFileInfo(source + "/Config.ini").isFile())
        return fail(QStringLiteral("the bundled default configuration (VL4Conf/Config.ini) "
                                   "was not found"));
    const QString target = withSlash(targetDir) + "VL4Conf";
    if (!QDir().mkpath(target))
        return fail(QStringLiteral("cannot create the folder ") + target);

    QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + from.mid(source.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(to))
                return fail(QStringLiteral("cannot create the folder ") + to);
            continue;
        }
        if (QFileInfo::exists(to))
            continue;
        QDir().mkpath(QFileInfo(to).absolutePath());
        if (!QFile::copy(from, to))
            return fail(QStringLiteral("cannot write ") + to);
        // Installed data is read-only; the user's copy must be writable.
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    }
    // The cache folder may have been left out of an installation that drops empty folders.
    QDir().mkpath(target + "/Cache");
    QDir().mkpath(target + "/Playlists");
    return true;
}

TDataFolder FindDataFolder(const QString &workingDir, const QString &appDataDir,
                           const QString &bundledDir)
{
    TDataFolder result;
    result.Dir = ChooseDataFolder(workingDir, appDataDir);
    if (!result.Dir.isEmpty())
        return result;
    if (!SeedDataFolder(appDataDir, bundledDir, &result.Error))
        return result;
    result.Dir = withSlash(appDataDir);
    result.Seeded = true;
    return result;
}

} // namespace vorlane
