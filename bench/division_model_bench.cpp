#include <benchmark/benchmark.h>

#include <vector>

#include "core/random.h"
#include "division/division_problem.h"
#include "division/long_division.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

// Replays a fixed list of draws, over and over; re-seeding costs nothing.
class ReplayRandom final : public RandomSource {
public:
    explicit ReplayRandom(std::vector<int> draws) : draws_(std::move(draws)) {}
    void Randomize() override {}
    int Random(int n) override {
        const int v = draws_[next_];
        next_ = (next_ + 1) % draws_.size();
        return v < n ? v : 0;
    }

private:
    std::vector<int> draws_;
    std::size_t next_ = 0;
};

// One problem draw with the program's generator, re-seeded from the clock.
void BM_DrawProblem(benchmark::State& state) {
    const int menu = static_cast<int>(state.range(0));
    SystemRandom random;
    DivisionProblem p;
    for (auto _ : state) {
        GenerateProblem(menu, random, p);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_DrawProblem)->Arg(1)->Arg(2)->Arg(3);

// Menu item 2, kind 1 with every one of the 1000 pairs failing (10 ÷ 10).
void BM_DrawTwoDigitPairAllRetriesFail(benchmark::State& state) {
    SystemRandom seeding;  // the real re-seed, then draws that never qualify
    ReplayRandom zeros({0});
    DivisionProblem p;
    for (auto _ : state) {
        seeding.Randomize();
        GenerateProblem(2, zeros, p);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_DrawTwoDigitPairAllRetriesFail);

// 745 ÷ 6 written through all nine rows and finished: 13 digits, 9
// confirmations, "終わり" and the judgement, after a fresh problem.
void BM_WorkedDivision(benchmark::State& state) {
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    ReplayRandom random({5, 645, 4});
    LongDivision model(cues, dialogs, random);
    struct Entry {
        int place;
        int digit;
    };
    const std::vector<std::vector<Entry>> rows{
        {{kHundreds, 1}}, {{kOnes, 6}},  {{kTens, 1}, {kOnes, 4}},
        {{kTens, 2}},     {{kTens, 1}, {kOnes, 2}}, {{kTens, 2}, {kOnes, 5}},
        {{kOnes, 4}},     {{kTens, 2}, {kOnes, 4}}, {{kOnes, 1}}};
    for (auto _ : state) {
        model.ClearWorksheet();
        model.NewProblem(1);
        for (const auto& row : rows) {
            for (const Entry& e : row) model.ChooseDigit(e.place, e.digit);
            model.ApplyAction(kConfirm);
        }
        model.ApplyAction(kFinish);
        benchmark::DoNotOptimize(model.JudgeDivision());
        cues.clear();
    }
}
BENCHMARK(BM_WorkedDivision);

}  // namespace
}  // namespace sorelka::division
