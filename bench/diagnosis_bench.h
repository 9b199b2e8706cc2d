#pragma once

// What the diagnosis benchmarks of every topic share: all answers diagnosed
// in a loop, and the slowest single answer found and diagnosed over and over.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <vector>

namespace sorelka::bench {

// Every answer diagnosed once per iteration; items/s gives the mean.
template <class Answer, class Diagnose>
void DiagnoseEveryAnswer(benchmark::State& state, const std::vector<Answer>& answers, Diagnose diagnose) {
    for (auto _ : state)
        for (const Answer& a : answers) benchmark::DoNotOptimize(diagnose(a));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * answers.size()));
}

// The index of the slowest answer to diagnose, each answer timed as the best
// of 20 runs.
template <class Answer, class Diagnose>
std::size_t SlowestAnswer(const std::vector<Answer>& answers, Diagnose diagnose) {
    std::size_t slowest = 0;
    auto slowest_time = std::chrono::steady_clock::duration::zero();
    for (std::size_t i = 0; i < answers.size(); ++i) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int run = 0; run < 20; ++run) {
            const auto t0 = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(diagnose(answers[i]));
            best = std::min(best, std::chrono::steady_clock::now() - t0);
        }
        if (best > slowest_time) slowest_time = best, slowest = i;
    }
    return slowest;
}

}  // namespace sorelka::bench

namespace sorelka::bench {

// The CPU time this thread has used, in microseconds: on a machine shared
// with other work a draw's own cost, without the time it waited for a core.
inline double ThreadCpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// One example drawn per iteration, each timed in CPU time: the counters give
// the median, the 99th percentile and the slowest draw in microseconds, and
// how often the fixed example had to stand.
template <class Draw>
void TimeEveryDraw(benchmark::State& state, Draw draw) {
    std::vector<double> times;
    int fell_back = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuMicroseconds();
        const auto example = draw();
        times.push_back(ThreadCpuMicroseconds() - t0);
        fell_back += example && example->fell_back;
        benchmark::DoNotOptimize(example);
    }
    std::sort(times.begin(), times.end());
    if (times.empty()) return;
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
    state.counters["fell_back"] = fell_back;
}

}  // namespace sorelka::bench
