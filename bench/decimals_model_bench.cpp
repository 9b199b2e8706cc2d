#include <benchmark/benchmark.h>

#include "core/random.h"
#include "decimals/decimal_numbers.h"
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
        practice.ComboBox1Change(2);
        for (int c = 0; c < kColumnCount; ++c) practice.DigitChosen(static_cast<Column>(c), c + 3);
        practice.ComboBox7Change(0);
        benchmark::DoNotOptimize(practice.cells());
        fakes.cues.clear();
    }
}
BENCHMARK(BM_WorkedPracticeProblem)->Arg(0)->Arg(1);

}  // namespace
}  // namespace sorelka::decimals
