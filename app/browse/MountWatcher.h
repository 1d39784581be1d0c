#pragma once
// Watches the mount table for volumes that appear: a memory stick or a network share mounted
// while the program runs. The table comes from a source function, by default the mount points of
// /proc/self/mountinfo; tests hand in their own. Poll() is called from the main timer, so the
// watcher needs no thread. Main thread only.

#include <QObject>
#include <QStringList>

#include <functional>

namespace vorlane {

class TMountWatcher : public QObject {
    Q_OBJECT

public:
    using TSource = std::function<QStringList()>;

    // Takes the first look at the table now; an empty source means the system's table.
    explicit TMountWatcher(TSource source = {}, QObject *parent = nullptr);

    // Reads the table again. True when it changed since the last look; before and after are
    // then the mount points of the two looks.
    bool Poll(QStringList &before, QStringList &after);
    QStringList MountPoints() const { return vMounts; }

    // The mount points of /proc/self/mountinfo (empty when it cannot be read).
    static QStringList SystemMountPoints();

private:
    TSource vSource;
    QStringList vMounts;
};

} // namespace vorlane
