#pragma once
// The hostile-files suite: files a user may really have (damaged tags, FIFOs, read-only and
// foreign-owned files, hard links, linked folders, names that are not UTF-8) and options that
// are not numbers. Each case runs vorlane-cli and asserts what the file looks like afterwards
// (bytes, mode, owner, links) together with the exit code. The cases live in several files,
// all as TEST_F(HostileFiles, ...).

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace vorlane::test {

// What a user sees of a file: its bytes and what `ls -l` shows.
struct FileState {
    bool exists = false;
    QByteArray bytes;
    mode_t mode = 0; // permission bits and file type
    uid_t uid = 0;
    gid_t gid = 0;
    nlink_t links = 0;

    bool operator==(const FileState &o) const
    {
        return exists == o.exists && bytes == o.bytes && mode == o.mode && uid == o.uid &&
               gid == o.gid && links == o.links;
    }
};

// lstat of the path, and its bytes when it is a regular file.
inline FileState StateOf(const QString &path)
{
    FileState s;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.mode = st.st_mode;
    s.uid = st.st_uid;
    s.gid = st.st_gid;
    s.links = st.st_nlink;
    if (S_ISREG(st.st_mode))
        s.bytes = ReadFile(path);
    return s;
}

inline void PrintTo(const FileState &s, std::ostream *os)
{
    *os << (s.exists ? "" : "missing ") << std::oct << "mode " << s.mode << std::dec << " uid "
        << s.uid << " gid " << s.gid << " links " << s.links << " bytes " << s.bytes.size();
}

class HostileFiles : public ::testing::Test {
protected:
    // By the names' bytes: the folder may hold names that are not text, which QTemporaryDir
    // cannot remove.
    ~HostileFiles() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(Root()).toStdString(), ignored);
    }

    // Writes a file in the scratch folder with these permission bits; its path.
    QString Put(const QString &name, const QByteArray &bytes, mode_t mode = 0644)
    {
        const QString path = Path(name);
        EXPECT_TRUE(WriteFile(path, bytes)) << path.toStdString();
        ::chmod(QFile::encodeName(path).constData(), mode);
        return path;
    }
    QString Path(const QString &name) const { return dir_.filePath(name); }
    QString Root() const { return dir_.path(); }
    // Every name in the folder, hidden ones included, sorted.
    QStringList Entries(const QString &sub = QString()) const
    {
        return QDir(sub.isEmpty() ? Root() : Path(sub))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    // Root may write anything whatever its mode, and may give files to other users.
    static bool IsRoot() { return ::geteuid() == 0; }

private:
    QTemporaryDir dir_{QDir::tempPath() + "/vorlane-hostile-XXXXXX"};
};

} // namespace vorlane::test
