#include "base/FileReplacement.h"

#include "base/RegularFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorlane {

namespace {

std::atomic<TRenameFunction> renameFunction{nullptr};
std::atomic<bool> unnamedFiles{true};

constexpr char kMark[] = ".vl-";
constexpr int kMarkSize = 4;
constexpr int kSuffixSize = 6;
// A writer at work touches its copy far more often than this.
constexpr time_t kStaleSeconds = 60;

bool isAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// ".NAME.vl-XXXXXX"; with a prefix (".NAME.vl-") only the copies of that NAME.
bool isCopyName(const char *name, const QByteArray &prefix)
{
    const QByteArrayView n(name);
    constexpr qsizetype tail = kMarkSize + kSuffixSize;
    if (n.size() < 2 + tail || n.front() != '.')
        return false;
    if (!prefix.isEmpty() && (n.size() != prefix.size() + kSuffixSize || !n.startsWith(prefix)))
        return false;
    if (n.sliced(n.size() - tail, kMarkSize) != QByteArrayView(kMark))
        return false;
    for (qsizetype i = n.size() - kSuffixSize; i < n.size(); ++i) {
        if (!isAlnum(n[i]))
            return false;
    }
    return true;
}

int removeStale(const QString &folder, const QByteArray &prefix)
{
    const QByteArray dirName = QFile::encodeName(folder);
    const int dirFd = ::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return 0;
    DIR *dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    const time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (!isCopyName(entry->d_name, prefix))
            continue;
        const int fd = ::openat(dirFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat st {};
        struct stat named {};
        // The lock tells a dead writer from a live one; the name must still be this very file.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime <= now - kStaleSeconds &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == st.st_dev && named.st_ino == st.st_ino &&
            ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

QByteArray copyPrefix(const QFileInfo &target)
{
    return "." + QFile::encodeName(target.fileName()) + kMark;
}

QByteArray randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(kSuffixSize, '0');
    for (char &c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return suffix;
}

bool writeAll(int fd, const char *data, size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
        at += n;
    }
    return true;
}

} // namespace

void SetRenameFunctionForTesting(TRenameFunction rename)
{
    renameFunction.store(rename);
}

void SetUnnamedFilesForTesting(bool allowed)
{
    unnamedFiles.store(allowed);
}

bool ReplaceFileWith(const QString &path, const QByteArray &bytes)
{
    TFileReplacement replacement(path);
    return replacement.Open() && replacement.Device().write(bytes) == bytes.size() &&
           replacement.Commit();
}

int RemoveStaleReplacements(const QString &folder)
{
    return removeStale(folder, QByteArray());
}

bool IsReplacementCopyName(const char *name)
{
    return isCopyName(name, QByteArray());
}

TFileReplacement::TFileReplacement(const QString &targetPath)
    : target_(targetPath)
{
    const QFileInfo info(targetPath);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        target_ = resolved.isEmpty() ? info.symLinkTarget() : resolved;
    }
}

TFileReplacement::~TFileReplacement()
{
    Discard();
}

bool TFileReplacement::Open()
{
    Discard();
    const QFileInfo info(target_);
    const QByteArray targetName = QFile::encodeName(target_);
    struct stat st {};
    const bool exists = ::stat(targetName.constData(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || !MayWrite(target_)))
        return false;
    removeStale(info.absolutePath(), copyPrefix(info));

    const QByteArray folder = QFile::encodeName(info.absolutePath());
    if (unnamedFiles.load())
        fd_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ < 0 &&
        (!unnamedFiles.load() || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        QByteArray name = folder + "/" + copyPrefix(info) + QByteArray(kSuffixSize, 'X');
        // mkostemp opens with O_CREAT | O_EXCL: an existing name or link is never used.
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0)
            tempPath_ = QFile::decodeName(name);
    }
    if (fd_ < 0)
        return false;
    ::flock(fd_, LOCK_EX);
    if (exists) {
        // Owner first: changing it clears the set-user-ID and set-group-ID bits. An owner this
        // process may not give leaves the copy its own, and Commit() then writes in place.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            [[maybe_unused]] const int given = ::fchown(fd_, st.st_uid, st.st_gid);
        }
        ::fchmod(fd_, st.st_mode & 07777);
    } else {
        ::fchmod(fd_, 0644);
    }
    file_ = std::make_unique<QFile>();
    if (!file_->open(fd_, QIODevice::ReadWrite, QFileDevice::DontCloseHandle)) {
        Discard();
        return false;
    }
    return true;
}

bool TFileReplacement::Commit()
{
    if (fd_ < 0 || !file_)
        return false;
    bool ok = file_->flush() && file_->error() == QFileDevice::NoError;
    file_->close();
    ok = ok && ::fsync(fd_) == 0;
    if (!ok) {
        Discard();
        return false;
    }
    const QByteArray to = QFile::encodeName(target_);
    struct stat target {};
    struct stat copy {};
    if (::stat(to.constData(), &target) == 0 && ::fstat(fd_, &copy) == 0 &&
        (target.st_nlink > 1 || target.st_uid != copy.st_uid || target.st_gid != copy.st_gid)) {
        ok = writeInPlace();
        Discard();
        return ok;
    }
    if (tempPath_.isEmpty() && !linkIn()) {
        Discard();
        return false;
    }
    const QByteArray from = QFile::encodeName(tempPath_);
    const TRenameFunction hook = renameFunction.load();
    const int rc = hook ? hook(from.constData(), to.constData())
                        : std::rename(from.constData(), to.constData());
    if (rc != 0) {
        Discard();
        return false;
    }
    tempPath_.clear();
    Discard(); // closes the copy, now the target, and so gives up its lock
    // Make the new directory entry durable too; a failure here does not undo the rename.
    const QByteArray dir = QFile::encodeName(QFileInfo(target_).absolutePath());
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool TFileReplacement::linkIn()
{
    const QFileInfo info(target_);
    const QByteArray stem = QFile::encodeName(info.absolutePath()) + "/" + copyPrefix(info);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = stem + randomSuffix();
        int rc =
            ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
        // Without /proc, the descriptor itself (a privilege not every process holds).
        if (rc != 0 && errno == ENOENT)
            rc = ::linkat(fd_, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH);
        if (rc == 0) {
            tempPath_ = QFile::decodeName(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TFileReplacement::writeInPlace()
{
    const QByteArray name = QFile::encodeName(target_);
    const int out = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (out < 0)
        return false;
    struct stat target {};
    struct stat copy {};
    bool ok = ::fstat(out, &target) == 0 && S_ISREG(target.st_mode) && MayWrite(target_) &&
              ::fstat(fd_, &copy) == 0;
    // Reserve the room first: a full disk then fails before the first old byte is overwritten.
    if (ok && copy.st_size > target.st_size &&
        ::fallocate(out, FALLOC_FL_KEEP_SIZE, 0, copy.st_size) != 0)
        ok = errno == EOPNOTSUPP || errno == ENOSYS;
    std::vector<char> block(1 << 20);
    for (off_t at = 0; ok && at < copy.st_size;) {
        const ssize_t n = ::pread(fd_, block.data(), block.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0 && writeAll(out, block.data(), size_t(n), at);
        at += n;
    }
    ok = ok && (copy.st_size >= target.st_size || ::ftruncate(out, copy.st_size) == 0);
    ok = ok && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    return ok;
}

void TFileReplacement::Discard()
{
    file_.reset();
    if (!tempPath_.isEmpty()) {
        ::unlink(QFile::encodeName(tempPath_).constData());
        tempPath_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace vorlane
