#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/random.h"
#include "diagnosis_bench.h"
#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_examples.h"
#include "division/division_problem.h"
#include "division/long_division.h"
#include "support/diagnosis_draws.h"
#include "support/division_pupil.h"
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
            for (const Entry& e : row) model.ChooseDigit(PlaceOfColumn(e.place), e.digit);
            model.ApplyAction(Action::Confirm);
        }
        model.ApplyAction(Action::Finish);
        benchmark::DoNotOptimize(model.JudgeDivision());
        cues.clear();
    }
}
BENCHMARK(BM_WorkedDivision);

// The answers of the diagnosis property test: 10,000 generator draws, each
// worked right and with every mistake that has a place in it.
struct Answer {
    DivisionProblem problem;
    WorkedRows rows;
};
const std::vector<Answer>& PropertyAnswers() {
    static const std::vector<Answer> answers = [] {
        namespace pupil = testing::division_pupil;
        std::vector<Answer> out;
        testing::SeededRandom random(17);
        testing::FakeCuePlayer cues;
        testing::FakeDialogs dialogs;
        LongDivision model(cues, dialogs, random);
        std::mt19937 rounds(4);
        for (int i = 0; i < 10000; ++i) {
            model.NewProblem(i % 3 + 1);
            const auto add = [&](pupil::Bug bug) {
                const int round = std::uniform_int_distribution<int>(1, 3)(rounds);
                const auto entries = pupil::Pupil(model.problem(), bug, round);
                if (!entries) return;
                model.ApplyAction(Action::Clear);
                pupil::Enter(model, *entries);
                out.push_back({model.problem(), DivisionStoredRows(model.worksheet())});
            };
            add(pupil::Bug::None);
            for (const pupil::BugCase& b : pupil::kBugs) add(b.bug);
            cues.clear();
        }
        return out;
    }();
    return answers;
}

const auto kDiagnose = [](const Answer& a) { return DiagnoseDivision(a.problem, a.rows); };

void BM_DiagnoseDivisionAnswers(benchmark::State& state) {
    bench::DiagnoseEveryAnswer(state, PropertyAnswers(), kDiagnose);
}
BENCHMARK(BM_DiagnoseDivisionAnswers)->Unit(benchmark::kMillisecond);

// The slowest answer to diagnose, diagnosed over and over.
void BM_DiagnoseDivisionWorstAnswer(benchmark::State& state) {
    const std::vector<Answer>& answers = PropertyAnswers();
    static const std::size_t worst = bench::SlowestAnswer(answers, kDiagnose);
    const Answer& a = answers[worst];
    for (auto _ : state) benchmark::DoNotOptimize(kDiagnose(a));
    const Diagnosis d = kDiagnose(a);
    state.SetLabel(ProblemText(a.problem) + " " + (d ? d->kind + " " + d->step : "right"));
}
BENCHMARK(BM_DiagnoseDivisionWorstAnswer)->Unit(benchmark::kMicrosecond);


// A find-the-mistake example of each menu item, drawn with the program's
// generator: with no kind preferred, and preferring a 0 left out of the
// quotient, the kind that has a place in fewest problems.
void BM_DrawDivisionMistake(benchmark::State& state) {
    SystemRandom random;
    const int menu = static_cast<int>(state.range(0));
    const std::vector<std::string> preferred =
        state.range(1) ? std::vector<std::string>{kZeroMissing} : std::vector<std::string>{};
    bench::TimeEveryDraw(state, [&] { return DrawDivisionMistake(menu, random, preferred); });
}
BENCHMARK(BM_DrawDivisionMistake)->ArgsProduct({{1, 2, 3}, {0, 1}})->Iterations(2000);

// The worked example of a drawn problem of menu item 3 (the longest divisions).
void BM_DivisionWorkedExample(benchmark::State& state) {
    SystemRandom random;
    DivisionProblem p;
    for (auto _ : state) {
        GenerateProblem(3, random, p);
        benchmark::DoNotOptimize(DivisionWorkedExample(p));
    }
}
BENCHMARK(BM_DivisionWorkedExample)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorelka::division
