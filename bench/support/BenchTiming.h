#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// The median of `runs` runs of `work` in milliseconds of the clock `now` gives: this machine
// is shared and noisy, so one run says little. `prepare`, when given, runs untimed before each run.
template <typename Now>
double medianOf(Now&& now, const std::function<void()>& work, int runs, const std::function<void()>& prepare)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
        const double start = now();
        work();
        times.push_back(now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

// The median wall time.
inline double medianMilliseconds(const std::function<void()>& work, int runs = 7,
                                 const std::function<void()>& prepare = {})
{
    return medianOf(
        [] {
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
        },
        work, runs, prepare);
}

// The median wall time of a whole program run through the shell, from start to exit.
inline double medianProgramMilliseconds(const std::string& command, int runs = 7)
{
    return medianMilliseconds(
        [&command] {
            if (std::system(command.c_str()) == -1)
                std::fprintf(stderr, "cannot run %s\n", command.c_str());
        },
        runs);
}

// The median processor time of this process: on a loaded machine the wall time also
// counts the time other programs held the processor.
inline double medianCpuMilliseconds(const std::function<void()>& work, int runs = 7,
                                    const std::function<void()>& prepare = {})
{
    return medianOf([] { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }, work, runs, prepare);
}
