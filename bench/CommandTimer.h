#pragma once
// Commands timed as a user runs them: each run is a fresh process, timed from its start to its
// end. Its standard output goes where the benchmark says: into a pipe that this process reads to
// the end and drops (as the next command of a shell pipeline would), or to /dev/null when the
// command writes a file of its own. Standard error goes to /dev/null. Header only: each benchmark
// that compares one of our commands with a command-line peer runs both through it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vorlane::bench {

enum class TOutput { Pipe, Null };

struct TCommandRun {
    double Ms = -1;      // wall-clock time; -1 when the command could not start
    int ExitCode = -1;   // -1 when it did not exit normally
    qint64 OutBytes = 0; // what came through the pipe
};

inline double NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline TCommandRun RunCommand(const QString &program, const QStringList &args, TOutput output)
{
    std::vector<QByteArray> bytes{program.toLocal8Bit()};
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    TCommandRun run;
    int fds[2] = {-1, -1};
    if (output == TOutput::Pipe && pipe2(fds, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == TOutput::Pipe)
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const double start = NowMs();
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output == TOutput::Pipe) {
        close(fds[1]);
        if (spawned == 0) {
            static char sink[1 << 16];
            for (ssize_t got; (got = read(fds[0], sink, sizeof sink)) != 0;) {
                if (got > 0)
                    run.OutBytes += got;
                else if (errno != EINTR)
                    break;
            }
        }
        close(fds[0]);
    }
    if (spawned != 0)
        return run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.Ms = NowMs() - start;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Best and median of a set of timings.
struct TFigures {
    double Best = 0;
    double Median = 0;
};

inline TFigures Figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

} // namespace vorlane::bench
