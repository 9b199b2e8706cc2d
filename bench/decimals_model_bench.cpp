#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "core/random.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_examples.h"
#include "decimals/decimal_numbers.h"
#include "decimals/decimal_pupils.h"
#include "diagnosis_bench.h"
#include "decimals/decimal_practice.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

// Gives the same number every time: with 9 every addition pair is 10 + 10
// (both ending in 0), with 0 every subtraction pair is 1 - 1, so all 100
// pairs are drawn and fail.
class ConstantRandom final : public RandomSource {
public:
    explicit ConstantRandom(int value) : value_(value) {}
    void Randomize() override {}
    int Random(int n) override { return value_ < n ? value_ : n - 1; }

private:
    int value_;
};

void BM_DrawAddition(benchmark::State& state) {
    SystemRandom random;
    const int places = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(DrawAddition(random, places));
}
BENCHMARK(BM_DrawAddition)->DenseRange(1, 3);

void BM_DrawSubtraction(benchmark::State& state) {
    SystemRandom random;
    const int places = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(DrawSubtraction(random, places));
}
BENCHMARK(BM_DrawSubtraction)->DenseRange(1, 3);

void BM_DrawAdditionAllPairsFail(benchmark::State& state) {
    ConstantRandom random(9);
    const int places = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(DrawAddition(random, places));
}
BENCHMARK(BM_DrawAdditionAllPairsFail)->DenseRange(1, 3);

void BM_DrawSubtractionAllPairsFail(benchmark::State& state) {
    ConstantRandom random(0);
    const int places = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(DrawSubtraction(random, places));
}
BENCHMARK(BM_DrawSubtractionAllPairsFail)->DenseRange(1, 3);

// One practice problem as a pupil works it: menu choice (draw and sheet),
// five digits, "終わり" with judging.
void BM_WorkedPracticeProblem(benchmark::State& state) {
    testing::FakeServices fakes;
    SystemRandom random;
    AppContext ctx{{}, fakes.cues, fakes.dialogs, fakes.clock, random, "/", nullptr};
    DecimalPractice practice(ctx, state.range(0) == 0 ? kAdditionPractice : kSubtractionPractice);
    practice.FormCreate();
    for (auto _ : state) {
        practice.MenuItemChosen(2);
        for (int c = 0; c < kColumnCount; ++c) practice.ChooseDigit(static_cast<Place>(c + 2), c + 3);
        practice.ApplyAction(Action::Finish);
        benchmark::DoNotOptimize(practice.cells());
        fakes.cues.clear();
    }
}
BENCHMARK(BM_WorkedPracticeProblem)->Arg(0)->Arg(1);

// Diagnosing one answer, over the answers of the diagnosis test: 10,000
// problems of every menu item for each pupil (right, forgetting carries,
// keeping the lender, swapping, one column wrong). Each answer is timed on
// its own; "worst_us" is the slowest answer's best time over all iterations
// (the best time of each answer keeps the scheduler's pauses out).
void BM_DiagnoseDecimalWorstCase(benchmark::State& state) {
    struct Answer {
        Operation operation;
        DecimalProblem problem;
        WorkedRows rows;
    };
    std::vector<Answer> answers;
    using pupils::Pupil;
    for (Pupil pupil : {Pupil::Right, Pupil::ForgetsCarry, Pupil::KeepsLender, Pupil::Swaps,
                        Pupil::ColumnSlip}) {
        pupils::SeededRandom random(1729 + static_cast<unsigned>(pupil));
        for (int i = 0; i < 10000; ++i) {
            Operation operation = i % 2 ? Operation::Subtraction : Operation::Addition;
            if (pupil == Pupil::ForgetsCarry) operation = Operation::Addition;
            if (pupil == Pupil::KeepsLender || pupil == Pupil::Swaps) operation = Operation::Subtraction;
            const DecimalProblem problem = DrawProblem(operation, random, i % 3 + 1);
            const pupils::Worked worked = pupils::Work(pupil, operation, problem, random.engine());
            answers.push_back({operation, problem,
                               pupils::FinishedRows(problem, ReadAnswer(worked.digits, problem.places))});
        }
    }
    std::vector<double> best(answers.size(), std::numeric_limits<double>::infinity());
    for (auto _ : state) {
        for (std::size_t i = 0; i < answers.size(); ++i) {
            const Answer& a = answers[i];
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(DiagnoseDecimal(a.operation, a.problem, a.rows));
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            best[i] = std::min(best[i], took.count());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(answers.size()));
    state.counters["worst_us"] = *std::max_element(best.begin(), best.end());
}
BENCHMARK(BM_DiagnoseDecimalWorstCase)->Unit(benchmark::kMillisecond);


// A find-the-mistake example of each menu item of both operations.
void BM_DrawDecimalMistake(benchmark::State& state) {
    SystemRandom random;
    const Operation operation = state.range(0) ? Operation::Subtraction : Operation::Addition;
    const int menu = static_cast<int>(state.range(1));
    bench::TimeEveryDraw(state, [&] { return DrawDecimalMistake(operation, menu, random); });
}
BENCHMARK(BM_DrawDecimalMistake)->ArgsProduct({{0, 1}, {1, 2, 3}})->Iterations(2000);

void BM_DecimalWorkedExample(benchmark::State& state) {
    SystemRandom random;
    for (auto _ : state) {
        const DecimalProblem p = DrawProblem(Operation::Subtraction, random, 3);
        benchmark::DoNotOptimize(DecimalWorkedExample(Operation::Subtraction, p));
    }
}
BENCHMARK(BM_DecimalWorkedExample)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorelka::decimals
