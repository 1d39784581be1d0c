#include "app/browse/MountWatcher.h"

#include "app/browse/BrowseRules.h"

#include <QFile>

namespace vorlane {

TMountWatcher::TMountWatcher(TSource source, QObject *parent)
    : QObject(parent)
    , vSource(source ? std::move(source) : TSource(&TMountWatcher::SystemMountPoints))
    , vMounts(vSource())
{
}

bool TMountWatcher::Poll(QStringList &before, QStringList &after)
{
    QStringList now = vSource();
    if (now == vMounts)
        return false;
    before = vMounts;
    after = now;
    vMounts = std::move(now);
    return true;
}

QStringList TMountWatcher::SystemMountPoints()
{
    // The kernel builds the file when it is read: its size is unknown beforehand.
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseMountInfo(file.readAll());
}

} // namespace vorlane
