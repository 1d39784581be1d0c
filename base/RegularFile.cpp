#include "base/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

TFileOpen openError(int error, bool writing)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return TFileOpen::Missing;
    case EISDIR: return TFileOpen::NotRegular;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return writing ? TFileOpen::NotWritable : TFileOpen::Failed;
    default: return TFileOpen::Failed;
    }
}

// The descriptor of the regular file at `path`, blocking again, or -1 and why not.
int openRegular(const QString &path, bool writing, TFileOpen &result)
{
    const QByteArray name = QFile::encodeName(path);
    // Not even opened when it plainly is something else: opening a FIFO or a device can wake or
    // upset whoever is at its other end. The fstat below settles a name that changes meanwhile.
    struct stat st {};
    if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        result = TFileOpen::NotRegular;
        return -1;
    }
    const int flags = (writing ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const int fd = ::open(name.constData(), flags);
    if (fd < 0) {
        result = openError(errno, writing);
        return -1;
    }
    result = TFileOpen::Ok;
    if (::fstat(fd, &st) != 0)
        result = TFileOpen::Failed;
    else if (!S_ISREG(st.st_mode))
        result = TFileOpen::NotRegular;
    else if (writing && (st.st_mode & 0222) == 0)
        result = TFileOpen::NotWritable; // root opens it all the same
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        result = TFileOpen::Failed;
    if (result != TFileOpen::Ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool MayWrite(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    return ::stat(name.constData(), &st) == 0 && (st.st_mode & 0222) != 0 &&
           ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
}

TFileOpen OpenRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const bool writing = mode & QIODevice::WriteOnly;
    TFileOpen result = TFileOpen::Failed;
    const int fd = openRegular(path, writing, result);
    if (fd < 0)
        return result;
    const QIODevice::OpenMode how = writing ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!file.open(fd, how, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return TFileOpen::Failed;
    }
    return TFileOpen::Ok;
}

TFileOpen CheckRegularFile(const QString &path)
{
    TFileOpen result = TFileOpen::Failed;
    const int fd = openRegular(path, false, result);
    if (fd >= 0)
        ::close(fd);
    return result;
}

QSet<QString> UndecodableNames(const QString &folder)
{
    QSet<QString> names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw)
            names.insert(name);
    }
    ::closedir(dir);
    return names;
}

bool TUndecodableNames::Contains(const QString &folder, const QString &name)
{
    auto it = vFolders.find(folder);
    if (it == vFolders.end())
        it = vFolders.insert(folder, UndecodableNames(folder));
    return it->contains(name);
}

} // namespace vorlane
