#pragma once
// Shared helpers of the test executables: scratch folders, generated media and local servers.
// Every server binds 127.0.0.1 on a free port and is stopped by its destructor.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vorlane::test {

// The tests' source folder (tests/), for fixtures and scripts.
QString TestsSourceDir();

// The shared real-world corpus folder, or empty when this checkout has none beside it.
QString SharedTestDataDir();

// Writes bytes to a file, creating folders; false on failure.
bool WriteFile(const QString &path, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

// Sets a file's access and change times `seconds` into the past; false when that failed.
bool AgeFile(const QString &path, int seconds);

// Runs a program to completion; its exit code, or -1 when it could not start or timed out.
int Run(const QString &program, const QStringList &args, QByteArray *out = nullptr,
        int timeoutMs = 120000);

// What a run of vorlane-cli ($VORLANE_CLI) gave: exit code, standard output and error as text.
struct CliResult {
    int code = -1;
    QString out;
    QString err;
};
CliResult RunCli(const QStringList &args, int timeoutMs = 60000);
// The same with bytes on its standard input and variables ("NAME=value") added to its
// environment.
CliResult RunCli(const QStringList &args, const QByteArray &input,
                 const QStringList &environment = {}, int timeoutMs = 60000);

// A 32-bit value as four bytes, least or most significant first.
QByteArray Le32(uint32_t v);
QByteArray Be32(uint32_t v);

// `count` MPEG-1 layer III frames (128 kbit/s, 44.1 kHz) of sample-like data: enough for any
// reader to take the bytes for audio.
QByteArray FakeMpegAudio(int count = 8);

// A 2 x 2 RGB PNG picture (75 bytes): the smallest real cover.
QByteArray TinyPng();

// Makes a sound file with the ffmpeg command line, e.g.
// MakeMedia(path, {"-f", "lavfi", "-i", "sine=frequency=440:duration=2"}).
// The output path goes last; "-y -loglevel error" come first. True when the file was made.
bool MakeMedia(const QString &outPath, const QStringList &inputAndCodecArgs);

// A helper process (python3 script) that prints "PORT <n>" as its first line.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts the program and waits for its port line. False when it did not come up.
    bool Start(const QString &program, const QStringList &args, int timeoutMs = 15000);
    void Stop();
    int Port() const { return port_; }

private:
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
};

// The tests' HTTP server over a folder (tests/support/httpserver.py documents its paths).
class HttpServer {
public:
    explicit HttpServer(const QString &root);
    bool Ok() const { return server_.Port() > 0; }
    int Port() const { return server_.Port(); }
    // "http://127.0.0.1:<port>/" + path
    QString Url(const QString &path) const;
    // The requests the server has seen, one line each: method, path, agent, range.
    QStringList Requests() const;

private:
    ServerProcess server_;
};

// The tests' FTP server (pyftpdlib) over a folder, with one user who may write
// (tests/support/ftpserver.py). With dropStoresAfter >= 0, uploads after that many are cut off:
// the target file is truncated and the connection dropped before any data arrives.
class FtpServer {
public:
    FtpServer(const QString &root, const QString &user, const QString &password,
              int dropStoresAfter = -1);
    bool Ok() const { return server_.Port() > 0; }
    int Port() const { return server_.Port(); }
    // "ftp://127.0.0.1:<port>"
    QString Address() const;
    // The commands received so far, one per line ("USER", "STOR a.txt", "RNTO a.txt", ...).
    QStringList Commands() const;

private:
    ServerProcess server_;
    QTemporaryDir logDir_;
};

} // namespace vorlane::test

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
