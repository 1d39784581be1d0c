#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace vorlane::test {

QString TestsSourceDir()
{
    return QStringLiteral(VORLANE_TESTS_SOURCE_DIR);
}

QString SharedTestDataDir()
{
    const QString env = qEnvironmentVariable("VORLANE_SHARED_TESTDATA");
    if (!env.isEmpty() && QFileInfo(env).isDir())
        return QDir(env).absolutePath();
    const QString beside = TestsSourceDir() + "/../../shared/testdata";
    if (QFileInfo(beside).isDir())
        return QDir(beside).absolutePath();
    return {};
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool AgeFile(const QString &path, int seconds)
{
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

int Run(const QString &program, const QStringList &args, QByteArray *out, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return -1;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return -1;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

CliResult RunCli(const QStringList &args, int timeoutMs)
{
    return RunCli(args, QByteArray(), {}, timeoutMs);
}

CliResult RunCli(const QStringList &args, const QByteArray &input, const QStringList &environment,
                 int timeoutMs)
{
    QProcess p;
    if (!environment.isEmpty())
        p.setEnvironment(QProcess::systemEnvironment() + environment);
    p.start(qEnvironmentVariable("VORLANE_CLI"), args);
    if (p.waitForStarted(timeoutMs)) {
        p.write(input);
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray Le32(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

QByteArray Be32(uint32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[3 - i] = char(v >> (8 * i));
    return b;
}

QByteArray FakeMpegAudio(int count)
{
    QByteArray audio;
    uint32_t seed = 12345;
    for (int f = 0; f < count; ++f) {
        QByteArray frame(417, '\0');
        frame[0] = char(0xFF);
        frame[1] = char(0xFB);
        frame[2] = char(0x90);
        frame[3] = char(0x00);
        // Sample-like bytes, 0xFF and 0x00 included, so unsynchronisation would show.
        for (int i = 4; i < frame.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            frame[i] = char(seed >> 24);
        }
        audio += frame;
    }
    return audio;
}

QByteArray TinyPng()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAEklEQVR4nGP4zwAEYILh"
        "////ABzyBPyY7pneAAAAAElFTkSuQmCC");
}

bool MakeMedia(const QString &outPath, const QStringList &inputAndCodecArgs)
{
    QDir().mkpath(QFileInfo(outPath).absolutePath());
    QStringList args{"-y", "-loglevel", "error", "-nostdin"};
    args += inputAndCodecArgs;
    args += outPath;
    return Run(QStringLiteral("ffmpeg"), args) == 0 && QFileInfo(outPath).size() > 0;
}

ServerProcess::~ServerProcess()
{
    Stop();
}

bool ServerProcess::Start(const QString &program, const QStringList &args, int timeoutMs)
{
    Stop();
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(program, args);
    if (!process_->waitForStarted(10000))
        return false;
    QByteArray seen;
    static const QRegularExpression portLine(QStringLiteral("PORT (\\d+)"));
    while (!seen.contains('\n')) {
        if (!process_->waitForReadyRead(timeoutMs))
            return false;
        seen += process_->readAllStandardOutput();
    }
    const auto m = portLine.match(QString::fromLatin1(seen));
    port_ = m.hasMatch() ? m.captured(1).toInt() : 0;
    return port_ > 0;
}

void ServerProcess::Stop()
{
    if (!process_)
        return;
    process_->closeWriteChannel();
    if (!process_->waitForFinished(3000)) {
        process_->kill();
        process_->waitForFinished(3000);
    }
    process_.reset();
    port_ = 0;
}

namespace {

// Debian's interpreter carries pyftpdlib; a python3 earlier on PATH may not.
QString SystemPython()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
               ? QStringLiteral("/usr/bin/python3")
               : QStringLiteral("python3");
}

} // namespace

HttpServer::HttpServer(const QString &root)
{
    server_.Start(SystemPython(), {TestsSourceDir() + "/support/httpserver.py", "--root", root});
}

QString HttpServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(Port()) + path;
}

QStringList HttpServer::Requests() const
{
    QByteArray out;
    Run(QStringLiteral("curl"), {"-s", "--max-time", "5", Url("_requests")}, &out, 10000);
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

FtpServer::FtpServer(const QString &root, const QString &user, const QString &password,
                     int dropStoresAfter)
{
    server_.Start(SystemPython(),
                  {TestsSourceDir() + "/support/ftpserver.py", "--root", root, "--user", user,
                   "--password", password, "--log", logDir_.filePath("commands.log"), "--drop-stor",
                   QString::number(dropStoresAfter)});
}

QString FtpServer::Address() const
{
    return QStringLiteral("ftp://127.0.0.1:%1").arg(Port());
}

QStringList FtpServer::Commands() const
{
    return QString::fromUtf8(ReadFile(logDir_.filePath("commands.log")))
        .split(u'\n', Qt::SkipEmptyParts);
}

} // namespace vorlane::test
