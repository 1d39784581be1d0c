#pragma once
// The best of several runs of a piece of work, in wall-clock and processor time. On a shared
// machine the fastest run is the one least disturbed; the processor time (this process, user and
// system) is kept beside it because other work on the machine does not inflate it. Header only.

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <functional>

namespace vorlane::bench {

struct Cost {
    double wallMs;
    double cpuMs;
};

inline double cpuNowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// prepare, when given, runs before each run and is not timed.
inline Cost best(int runs, const std::function<void()> &work,
                 const std::function<void()> &prepare = {})
{
    Cost b{1e300, 1e300};
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        const double cpu0 = cpuNowMs();
        t.start();
        work();
        b.wallMs = std::min(b.wallMs, double(t.nsecsElapsed()) / 1e6);
        b.cpuMs = std::min(b.cpuMs, cpuNowMs() - cpu0);
    }
    return b;
}

} // namespace vorlane::bench
