#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// The median wall time of `runs` runs of `work`, in milliseconds: this machine is shared
// and noisy, so one run says little.
// `prepare`, when given, runs untimed before each run.
inline double medianMilliseconds(const std::function<void()>& work, int runs = 7,
                                 const std::function<void()>& prepare = {})
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}
