#include "tags/FileReplacement.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

std::atomic<TRenameFunction> renameFunction{nullptr};

} // namespace

void SetRenameFunctionForTesting(TRenameFunction rename)
{
    renameFunction.store(rename);
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
    const QString pattern =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".vl-XXXXXX");
    QByteArray name = QFile::encodeName(pattern);
    // mkostemp opens with O_CREAT | O_EXCL: an existing name or link is never used.
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return false;
    tempPath_ = QFile::decodeName(name);
    struct stat st {};
    const QByteArray targetName = QFile::encodeName(target_);
    const mode_t mode = ::stat(targetName.constData(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
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
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (!ok) {
        Discard();
        return false;
    }
    const QByteArray from = QFile::encodeName(tempPath_);
    const QByteArray to = QFile::encodeName(target_);
    const TRenameFunction hook = renameFunction.load();
    const int rc = hook ? hook(from.constData(), to.constData())
                        : std::rename(from.constData(), to.constData());
    if (rc != 0) {
        Discard();
        return false;
    }
    tempPath_.clear();
    // Make the new directory entry durable too; a failure here does not undo the rename.
    const QByteArray dir = QFile::encodeName(QFileInfo(target_).absolutePath());
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void TFileReplacement::Discard()
{
    if (file_) {
        file_->close();
        file_.reset();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.isEmpty()) {
        ::unlink(QFile::encodeName(tempPath_).constData());
        tempPath_.clear();
    }
}

} // namespace vorlane
