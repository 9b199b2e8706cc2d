#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "coach/recommender.h"
#include "core/learning_recorder.h"
#include "core/random.h"
#include "support/fakes.h"

// Targeted draws, the recommender's pick and mastery rebuilt from history.
namespace sorelka::coach {
namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// This thread's CPU time in microseconds: a call's own cost, without the
// time other programs on the shared machine held the core.
double CpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

int MenuItemCount(Topic topic) { return topic == Topic::Rules ? 4 : 3; }

// A generator that starts again from a given seed, so one draw can be timed
// several times over.
struct ReplayedRandom final : RandomSource {
    std::mt19937 engine;
    void Randomize() override {}
    int Random(int n) override { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(engine); }
};

// Every (skill, menu item) pair: the sources under which every retry fails and
// 50 draws of a seeded generator, each draw timed as the best of 5 runs in
// CPU time (the program's re-seed included); the slowest is reported, and the
// slowest of each topic.
void BM_TargetedDrawSlowestOfEveryPair(benchmark::State& state) {
    SystemRandom system;
    testing::ExtremeRandom lowest(false);
    testing::ExtremeRandom highest(true);
    ReplayedRandom seeded;
    double worst = 0;
    std::string worst_pair;
    std::map<Topic, double> worst_of_topic;
    const auto best_of_5 = [&](Topic topic, std::string_view id, int menu, RandomSource& source, unsigned seed) {
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            seeded.engine.seed(seed);
            const double t0 = CpuMicroseconds();
            system.Randomize();
            benchmark::DoNotOptimize(TargetedDraw(topic, id, menu, source));
            best = std::min(best, CpuMicroseconds() - t0);
        }
        return best;
    };
    for (auto _ : state) {
        for (Topic topic : kAllTopics)
            for (const TopicSkill& s : SkillsOf(topic))
                for (int menu : s.practice_items.List()) {
                    const std::string pair = std::string(s.info.id) + " item " + std::to_string(menu);
                    const auto note = [&](double us, const std::string& what) {
                        worst_of_topic[topic] = std::max(worst_of_topic[topic], us);
                        if (us > worst) worst = us, worst_pair = what;
                    };
                    note(best_of_5(topic, s.info.id, menu, lowest, 0), pair + " (every retry failing)");
                    note(best_of_5(topic, s.info.id, menu, highest, 0), pair + " (every retry failing)");
                    for (unsigned seed = 1; seed <= 50; ++seed)
                        note(best_of_5(topic, s.info.id, menu, seeded, seed), pair);
                }
    }
    state.counters["worst_cpu_us"] = worst;
    for (const auto& [topic, us] : worst_of_topic)
        state.counters["topic" + std::to_string(TopicNumber(topic)) + "_us"] = us;
    state.SetLabel("slowest: " + worst_pair);
}
BENCHMARK(BM_TargetedDrawSlowestOfEveryPair)->Iterations(1)->Unit(benchmark::kMillisecond);

// A year of one pupil: 200 school days of 20 problems over every topic, drawn
// by the screens' generators, about one answer in five wrong with a kind of
// the topic or none.
struct Year {
    std::vector<StoredAnswer> answers;
    MasteryBook book;
    DayNumber last_day = 0;
};

LocalTime OnDay(DayNumber day, int minute) {
    const std::string text = DayText(day);
    return {std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)),
            9 + minute / 60, minute % 60, 0, 0, 540};
}

// `pupils` pupils, `per_pupil` answers each, in the order answered.
std::vector<StoredAnswer> History(int pupils, int per_pupil, unsigned seed) {
    testing::SeededRandom random(seed);
    std::mt19937 rng(seed);
    static const char* const kKinds[] = {"zero_missing", "product_slip", "carry_missing", "borrow_missing",
                                         "step_slip", "whole_part", "point_misplaced", "end_zero_kept",
                                         "remainder_point", "stopped_early", "slip", "other", ""};
    std::vector<StoredAnswer> out;
    out.reserve(static_cast<std::size_t>(pupils) * per_pupil);
    const DayNumber first = DayOf(LocalTime{2026, 4, 6});
    for (int i = 0; i < per_pupil; ++i) {
        for (int pupil = 0; pupil < pupils; ++pupil) {
            const Topic topic = kAllTopics[rng() % kAllTopics.size()];
            const int menu = static_cast<int>(rng() % MenuItemCount(topic)) + 1;
            const TopicProblem problem = *OrdinaryDraw(topic, menu, random);
            const bool correct = rng() % 5 != 0;
            StoredAnswer a{pupil, topic, menu, StoredProblemText(topic, problem), correct,
                           correct ? "" : kKinds[rng() % std::size(kKinds)], correct ? "" : "column:ones",
                           OnDay(first + i * 200 / per_pupil, i % 240)};
            out.push_back(std::move(a));
        }
    }
    return out;
}

// 1,000 picks for a pupil with a year's mastery (4,000 answers), each on a
// day of the year and in a topic or none, the worst reported.
void BM_Recommend1000Picks(benchmark::State& state) {
    const std::vector<StoredAnswer> year = History(1, 4000, 17);
    const MasteryBook book = RebuildMastery(year, ObserveStoredAnswer);
    const PupilSkills& skills = book.Of(0);
    SystemRandom random;
    std::vector<double> cpu, wall;
    for (auto _ : state) {
        cpu.clear();
        wall.clear();
        for (int i = 0; i < 1000; ++i) {
            CoachRequest request{DayOf(year.back().answered_at) + i % 40};
            if (i % 7) request.within = kAllTopics[i % kAllTopics.size()];
            const auto t0 = Clock::now();
            const double c0 = CpuMicroseconds();
            benchmark::DoNotOptimize(Recommend(skills, request, random));
            cpu.push_back(CpuMicroseconds() - c0);
            wall.push_back(Microseconds(Clock::now() - t0));
        }
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    state.counters["skills"] = static_cast<double>(skills.size());
    state.counters["median_us"] = cpu[cpu.size() / 2];
    state.counters["worst_cpu_us"] = cpu.back();
    state.counters["worst_wall_us"] = wall.back();
}
BENCHMARK(BM_Recommend1000Picks)->Iterations(3)->Unit(benchmark::kMillisecond);

// Mastery rebuilt from 400,000 stored answers of 40 pupils: every problem
// text read back, every answer's skills updated.
void BM_RebuildMasteryFrom400000Answers(benchmark::State& state) {
    const std::vector<StoredAnswer> history = History(40, 10000, 5);
    std::size_t states = 0;
    for (auto _ : state) {
        const MasteryBook book = RebuildMastery(history, ObserveStoredAnswer);
        states = 0;
        for (const auto& [pupil, skills] : book.pupils()) states += skills.size();
        benchmark::DoNotOptimize(states);
    }
    state.counters["states"] = static_cast<double>(states);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * history.size()));
}
BENCHMARK(BM_RebuildMasteryFrom400000Answers)->Iterations(3)->Unit(benchmark::kMillisecond);

// One answer's update as an answer's transaction would make it: the stored
// row read back into its skills and their states updated.
void BM_OneAnswersMasteryUpdate(benchmark::State& state) {
    const std::vector<StoredAnswer> history = History(1, 20000, 9);
    MasteryBook book;
    std::size_t i = 0;
    std::vector<double> times;
    times.reserve(history.size());
    for (auto _ : state) {
        const StoredAnswer& a = history[i++ % history.size()];
        const double c0 = CpuMicroseconds();
        book.Apply(a.pupil, ObserveStoredAnswer(a), a.answered_at);
        times.push_back(CpuMicroseconds() - c0);
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["worst_cpu_us"] = times.back();
}
BENCHMARK(BM_OneAnswersMasteryUpdate)->Iterations(20000);

}  // namespace
}  // namespace sorelka::coach
