#include <benchmark/benchmark.h>

#include <random>

#include "fractions/fraction_practice.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_sheet.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

// A real generator that is not re-seeded from the clock, so runs compare.
class SeededRandom final : public RandomSource {
public:
    void Randomize() override {}
    int Random(int n) override { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(engine_); }

private:
    std::mt19937 engine_{20261208};
};

// Every set fails its family's condition, so all 1000 sets are drawn.
class FailingRandom final : public RandomSource {
public:
    void Randomize() override {}
    int Random(int n) override { return n == 7 ? 6 : 0; }
};

void BM_DrawFamily(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    const Variant variant = state.range(1) ? Variant::Drill : Variant::Practice;
    SeededRandom random;
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
    SeededRandom random;
    AppContext ctx{{}, cues, dialogs, clock, random, "/nonexistent/", {}};
    FractionPractice practice(ctx);
    practice.FormCreate();
    for (auto _ : state) {
        practice.ChooseMenu(0);
        const FractionProblem& p = practice.sheet().problem();
        const int values[] = {p.answer_whole, p.answer_denominator, p.answer_numerator};
        for (int action = kEnterWhole; action <= kEnterNumerator; ++action) {
            practice.ChooseTens(values[action] / 10);
            practice.ChooseOnes(values[action] % 10);
            practice.ChooseAction(action);
        }
        practice.ChooseAction(kFinish);
        benchmark::DoNotOptimize(practice.worksheet().at("Label3").text);
        cues.clear();
    }
}
BENCHMARK(BM_PracticeWorkedProblem);

}  // namespace
}  // namespace sorelka::fractions
