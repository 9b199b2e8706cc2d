#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/random.h"
#include "diagnosis_bench.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_examples.h"
#include "multiplication/multiplication_problem.h"
#include "multiplication/multiplication_skills.h"
#include "multiplication/multiplication_steps.h"
#include "support/fakes.h"

namespace sorelka::multiplication {
namespace {

// Replays a short list of draws over and over (n - 1 where one does not fit
// Random(n)) and counts them. Each attempt at a problem starts at some place
// in the list, so after at most as many attempts as the list is long they
// repeat: if none of those fits the menu item, no attempt ever does.
class CyclicRandom final : public RandomSource {
public:
    explicit CyclicRandom(std::vector<int> draws) : draws_(std::move(draws)) {}
    void Randomize() override {}
    int Random(int n) override {
        const int v = draws_[count_++ % draws_.size()];
        return v < n ? v : n - 1;
    }
    int count() const { return count_; }

private:
    std::vector<int> draws_;
    int count_ = 0;
};

// More random numbers than a draw that found its problem within its first
// five attempts takes (a few numbers each), and fewer than its attempts all
// failing take (at least three each).
constexpr int kAllAttemptsDraws = 100;

// Draws under which every attempt at a problem of menu item `menu` fails, so
// that it ends on its fixed problem: the first of every list of one to five
// draws from 0 to 4 that makes it use more than kAllAttemptsDraws numbers;
// empty when there is none.
std::vector<int> AllFailingDraws(int menu) {
    for (int length = 1; length <= 5; ++length) {
        int patterns = 1;
        for (int i = 0; i < length; ++i) patterns *= 5;
        for (int code = 0; code < patterns; ++code) {
            std::vector<int> draws;
            for (int i = 0, c = code; i < length; ++i, c /= 5) draws.push_back(c % 5);
            CyclicRandom random(draws);
            DrawProblem(menu, random);
            if (random.count() > kAllAttemptsDraws) return draws;
        }
    }
    return {};
}

// One draw with the program's generator, re-seeded from the clock as before
// every problem.
void BM_DrawMultiplication(benchmark::State& state) {
    const int menu = static_cast<int>(state.range(0));
    SystemRandom random;
    for (auto _ : state) benchmark::DoNotOptimize(DrawProblem(menu, random));
}
BENCHMARK(BM_DrawMultiplication)->DenseRange(1, kMenuItems);

// Every attempt failing: the real re-seed, then draws that never fit.
void BM_DrawMultiplicationAllRetriesFail(benchmark::State& state) {
    const int menu = static_cast<int>(state.range(0));
    const std::vector<int> failing = AllFailingDraws(menu);
    if (failing.empty()) {
        state.SkipWithError("no list of draws makes every attempt fail");
        return;
    }
    SystemRandom seeding;
    int draws = 0;
    for (auto _ : state) {
        seeding.Randomize();
        CyclicRandom random(failing);
        benchmark::DoNotOptimize(DrawProblem(menu, random));
        draws = random.count();
    }
    state.counters["random_draws"] = draws;
}
BENCHMARK(BM_DrawMultiplicationAllRetriesFail)->DenseRange(1, kMenuItems)->Unit(benchmark::kMicrosecond);

// A problem aimed at each skill in each menu item that has a place for it,
// with the program's generator and with draws that make every attempt fail
// (the least and the most of every draw); the slowest pair is reported.
void BM_TargetedMultiplicationDraw(benchmark::State& state) {
    SystemRandom random;
    testing::ExtremeRandom lowest(false), highest(true);
    for (auto _ : state)
        for (const TopicSkill& s : MultiplicationSkills())
            for (int menu = 1; menu <= kMenuItems; ++menu)
                for (RandomSource* source : {static_cast<RandomSource*>(&random),
                                             static_cast<RandomSource*>(&lowest),
                                             static_cast<RandomSource*>(&highest)})
                    benchmark::DoNotOptimize(TargetedDraw(s.info.id, menu, *source));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(MultiplicationSkills().size()) *
                            kMenuItems * 3);
}
BENCHMARK(BM_TargetedMultiplicationDraw)->Unit(benchmark::kMicrosecond);

// The answers of the diagnosis property test: 3,000 draws of each menu item,
// each worked right and by every buggy pupil whose mistake has a place in it,
// entered on the sheet as a pupil enters them and read back as the record
// stores them.
struct Answer {
    MultiplicationProblem problem;
    WorkedRows rows;
};
const std::vector<Answer>& PropertyAnswers() {
    static const std::vector<Answer> answers = [] {
        std::vector<Answer> out;
        testing::SeededRandom random(37);
        MultiplicationSteps steps;
        const auto add = [&](const MultiplicationProblem& problem, const MultiplicationWork& work) {
            steps.StartProblem(problem);
            for (const MultiplicationInput& input : InputsOf(work)) steps.Feed(input);
            out.push_back({problem, MultiplicationWorkedRows(steps.cells())});
        };
        for (int menu = 1; menu <= kMenuItems; ++menu)
            for (int i = 0; i < 3000; ++i) {
                const MultiplicationProblem problem = *DrawProblem(menu, random);
                add(problem, RightWork(problem));
                for (const MultiplicationPupilCase& c : kMultiplicationPupils)
                    if (CanMakeMistake(c.pupil, problem)) add(problem, WorkOf(c.pupil, problem, random));
            }
        return out;
    }();
    return answers;
}

const auto kDiagnose = [](const Answer& a) { return DiagnoseMultiplication(a.problem, a.rows); };

void BM_DiagnoseMultiplicationAnswers(benchmark::State& state) {
    bench::DiagnoseEveryAnswer(state, PropertyAnswers(), kDiagnose);
}
BENCHMARK(BM_DiagnoseMultiplicationAnswers)->Unit(benchmark::kMillisecond);

// The slowest answer to diagnose, diagnosed over and over.
void BM_DiagnoseMultiplicationWorstAnswer(benchmark::State& state) {
    const std::vector<Answer>& answers = PropertyAnswers();
    static const std::size_t worst = bench::SlowestAnswer(answers, kDiagnose);
    const Answer& a = answers[worst];
    for (auto _ : state) benchmark::DoNotOptimize(kDiagnose(a));
    const Diagnosis d = kDiagnose(a);
    state.SetLabel(StoredProblemText(a.problem) + " " + (d ? d->kind + " " + d->step : "right"));
}
BENCHMARK(BM_DiagnoseMultiplicationWorstAnswer)->Unit(benchmark::kMicrosecond);

// A find-the-mistake example of each menu item, each draw timed alone.
void BM_DrawMultiplicationMistake(benchmark::State& state) {
    SystemRandom random;
    const int menu = static_cast<int>(state.range(0));
    bench::TimeEveryDraw(state, [&] { return DrawMultiplicationMistake(menu, random); });
}
BENCHMARK(BM_DrawMultiplicationMistake)->DenseRange(1, kMenuItems)->Iterations(2000);

// The worked example of a drawn two-digit problem (the longest: two rows and their sum).
void BM_MultiplicationWorkedExample(benchmark::State& state) {
    SystemRandom random;
    for (auto _ : state) {
        const MultiplicationProblem p = *DrawProblem(kTwoDigitMenu, random);
        benchmark::DoNotOptimize(MultiplicationWorkedExample(p));
    }
}
BENCHMARK(BM_MultiplicationWorkedExample)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorelka::multiplication
