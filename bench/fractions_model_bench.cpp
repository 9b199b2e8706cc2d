#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "core/random.h"
#include "diagnosis_bench.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_examples.h"
#include "fractions/fraction_practice.h"
#include "fractions/fraction_pupils.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_sheet.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

using testing::SeededRandom;

// Every set fails its family's condition, so all 1000 sets are drawn.
class FailingRandom final : public RandomSource {
public:
    void Randomize() override {}
    int Random(int n) override { return n == 7 ? 6 : 0; }
};

void BM_DrawFamily(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    const Variant variant = state.range(1) ? Variant::Drill : Variant::Practice;
    SeededRandom random{20261208};
    for (auto _ : state) benchmark::DoNotOptimize(DrawFractionProblem(family, variant, random));
}
BENCHMARK(BM_DrawFamily)
    ->ArgNames({"family", "drill"})
    ->Args({1, 0})->Args({1, 1})->Args({2, 0})->Args({3, 0});

void BM_DrawFamilyEverySetFails(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    FailingRandom random;
    for (auto _ : state) benchmark::DoNotOptimize(DrawFractionProblem(family, Variant::Practice, random));
}
BENCHMARK(BM_DrawFamilyEverySetFails)->ArgName("family")->Arg(1)->Arg(2)->Arg(3);

// One practice problem from the menu choice to the mark: 11/4 answered
// 2, 3 and 4 with six digit choices and four actions.
void BM_PracticeWorkedProblem(benchmark::State& state) {
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    testing::FakeClock clock;
    SeededRandom random{20261208};
    AppContext ctx{{}, cues, dialogs, clock, random, "/nonexistent/", {}};
    FractionPractice practice(ctx);
    practice.FormCreate();
    for (auto _ : state) {
        practice.ChooseMenu(0);
        const FractionProblem& p = practice.sheet().problem();
        const std::pair<FractionSlot, int> slots[] = {{FractionSlot::Whole, p.answer_whole},
                                                      {FractionSlot::Denominator, p.answer_denominator},
                                                      {FractionSlot::Numerator, p.answer_numerator}};
        for (const auto& [slot, value] : slots) {
            practice.ChooseDigit(Place::Tens, value / 10);
            practice.ChooseDigit(Place::Ones, value % 10);
            practice.ChooseSlot(slot);
        }
        benchmark::DoNotOptimize(practice.ApplyAction(Action::Finish));
        cues.clear();
    }
}
BENCHMARK(BM_PracticeWorkedProblem);

// Diagnosing one answer, over the answers of the diagnosis test: 10,000
// problems of every family on both screens for each pupil. Each answer is
// timed on its own; "worst_us" is the slowest answer's best time over all
// iterations (the best time of each answer keeps the scheduler's pauses out).
void BM_DiagnoseFractionWorstCase(benchmark::State& state) {
    struct Answer {
        int family;
        Variant variant;
        FractionProblem problem;
        WorkedRows rows;
    };
    std::vector<Answer> answers;
    using pupils::Pupil;
    for (Pupil pupil : {Pupil::Right, Pupil::LeavesImproper, Pupil::ForgetsTimesDenominator,
                        Pupil::WrongWhole, Pupil::ChangesDenominator, Pupil::NumeratorSlip}) {
        pupils::SeededRandom random(4104 + static_cast<unsigned>(pupil));
        for (int i = 0; i < 10000; ++i) {
            const int family = i % 3 + 1;
            const Variant variant = i / 3 % 2 ? Variant::Drill : Variant::Practice;
            const FractionProblem problem = *DrawFractionProblem(family, variant, random);
            answers.push_back({family, variant, problem,
                               pupils::FinishedRows(family, problem, pupils::Work(pupil, family, problem))});
        }
    }
    std::vector<double> best(answers.size(), std::numeric_limits<double>::infinity());
    for (auto _ : state) {
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const Answer& a = answers[i];
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(DiagnoseFraction(a.family, a.variant, a.problem, a.rows));
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            best[i] = std::min(best[i], took.count());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(answers.size()));
    state.counters["worst_us"] = *std::max_element(best.begin(), best.end());
}
BENCHMARK(BM_DiagnoseFractionWorstCase)->Unit(benchmark::kMillisecond);


void BM_DrawFractionMistake(benchmark::State& state) {
    SystemRandom random;
    const int family = static_cast<int>(state.range(0));
    bench::TimeEveryDraw(state, [&] { return DrawFractionMistake(family, random); });
}
BENCHMARK(BM_DrawFractionMistake)->DenseRange(1, 3)->Iterations(2000);

}  // namespace
}  // namespace sorelka::fractions
