#pragma once

// What the diagnosis benchmarks of every topic share: all answers diagnosed
// in a loop, and the slowest single answer found and diagnosed over and over.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
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
