#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/random.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_examples.h"
#include "decimal_division/decimal_division_problem.h"
#include "decimal_division/decimal_division_skills.h"
#include "decimal_division/decimal_division_steps.h"
#include "diagnosis_bench.h"
#include "support/fakes.h"

namespace sorelka::decimal_division {
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
void BM_DrawDecimalDivision(benchmark::State& state) {
    const int menu = static_cast<int>(state.range(0));
    SystemRandom random;
    for (auto _ : state) benchmark::DoNotOptimize(DrawProblem(menu, random));
}
BENCHMARK(BM_DrawDecimalDivision)->DenseRange(1, kMenuItems);

// Every attempt failing: the real re-seed, then draws that never fit.
void BM_DrawDecimalDivisionAllRetriesFail(benchmark::State& state) {
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
BENCHMARK(BM_DrawDecimalDivisionAllRetriesFail)->DenseRange(1, kMenuItems)->Unit(benchmark::kMicrosecond);

// A problem aimed at each skill in each menu item, with the program's
// generator and with the least and the most of every draw (which make the
// draws fail where a fixed problem has to stand); the slowest skill is its
// own benchmark below.
void BM_TargetedDecimalDivisionDraw(benchmark::State& state) {
    SystemRandom random;
    testing::ExtremeRandom lowest(false), highest(true);
    for (auto _ : state)
        for (const TopicSkill& s : DecimalDivisionSkills())
            for (int menu = 1; menu <= kMenuItems; ++menu)
                for (RandomSource* source : {static_cast<RandomSource*>(&random),
                                             static_cast<RandomSource*>(&lowest),
                                             static_cast<RandomSource*>(&highest)})
                    benchmark::DoNotOptimize(TargetedDraw(s.info.id, menu, *source));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(DecimalDivisionSkills().size()) *
                            kMenuItems * 3);
}
BENCHMARK(BM_TargetedDecimalDivisionDraw)->Unit(benchmark::kMicrosecond);

// The slowest single targeted draw (skill, menu item, source), found once by
// timing each as the best of 20 runs and then drawn over and over.
void BM_TargetedDecimalDivisionDrawWorst(benchmark::State& state) {
    struct Aim {
        std::string_view skill;
        int menu;
        int source;  // 0 the program's generator, 1 the least draws, 2 the most
    };
    static SystemRandom random;
    static testing::ExtremeRandom lowest(false), highest(true);
    RandomSource* const sources[] = {&random, &lowest, &highest};
    static const std::vector<Aim> aims = [] {
        std::vector<Aim> out;
        for (const TopicSkill& s : DecimalDivisionSkills())
            for (int menu = 1; menu <= kMenuItems; ++menu)
                for (int source = 0; source < 3; ++source) out.push_back({s.info.id, menu, source});
        return out;
    }();
    const auto draw = [&](const Aim& a) { return TargetedDraw(a.skill, a.menu, *sources[a.source]); };
    static const std::size_t worst = bench::SlowestAnswer(aims, draw);
    const Aim& a = aims[worst];
    for (auto _ : state) benchmark::DoNotOptimize(draw(a));
    static const char* const kSources[] = {"random", "least", "most"};
    state.SetLabel(std::string(a.skill) + " item " + std::to_string(a.menu) + " " + kSources[a.source]);
}
BENCHMARK(BM_TargetedDecimalDivisionDrawWorst)->Unit(benchmark::kMicrosecond);

// The answers of the diagnosis property test: 3,000 draws of each menu item,
// each worked right and by every buggy pupil whose mistake has a place in it,
// entered on the sheet as a pupil enters them and read back as the record
// stores them.
struct Answer {
    DecimalDivisionProblem problem;
    WorkedRows rows;
};
const std::vector<Answer>& PropertyAnswers() {
    static const std::vector<Answer> answers = [] {
        std::vector<Answer> out;
        testing::SeededRandom random(37);
        testing::FakeCuePlayer cues;
        testing::FakeDialogs dialogs;
        testing::SeededRandom steps_random(38);
        DecimalDivisionSteps steps(cues, dialogs, steps_random);
        const auto add = [&](const DecimalDivisionProblem& problem, const DecimalDivisionInputs& inputs) {
            steps.StartProblem(problem);
            for (const DecimalDivisionInput& input : inputs) steps.Feed(input);
            out.push_back({problem, DecimalDivisionWorkedRows(steps.cells())});
        };
        for (int menu = 1; menu <= kMenuItems; ++menu)
            for (int i = 0; i < 3000; ++i) {
                const DecimalDivisionProblem problem = *DrawProblem(menu, random);
                add(problem, RightInputs(problem));
                for (const DecimalDivisionPupilCase& c : kDecimalDivisionPupils)
                    if (CanMakeMistake(c, problem))
                        if (const auto inputs = InputsOf(c, problem, random)) add(problem, *inputs);
            }
        return out;
    }();
    return answers;
}

const auto kDiagnose = [](const Answer& a) { return DiagnoseDecimalDivision(a.problem, a.rows); };

void BM_DiagnoseDecimalDivisionAnswers(benchmark::State& state) {
    bench::DiagnoseEveryAnswer(state, PropertyAnswers(), kDiagnose);
    state.counters["answers"] = static_cast<double>(PropertyAnswers().size());
}
BENCHMARK(BM_DiagnoseDecimalDivisionAnswers)->Unit(benchmark::kMillisecond);

// The slowest answer to diagnose, diagnosed over and over.
void BM_DiagnoseDecimalDivisionWorstAnswer(benchmark::State& state) {
    const std::vector<Answer>& answers = PropertyAnswers();
    static const std::size_t worst = bench::SlowestAnswer(answers, kDiagnose);
    const Answer& a = answers[worst];
    for (auto _ : state) benchmark::DoNotOptimize(kDiagnose(a));
    const Diagnosis d = kDiagnose(a);
    state.SetLabel(StoredProblemText(a.problem) + " " + (d ? d->kind + " " + d->step : "right"));
}
BENCHMARK(BM_DiagnoseDecimalDivisionWorstAnswer)->Unit(benchmark::kMicrosecond);

// A find-the-mistake example of each menu item, each draw timed alone.
void BM_DrawDecimalDivisionMistake(benchmark::State& state) {
    SystemRandom random;
    const int menu = static_cast<int>(state.range(0));
    bench::TimeEveryDraw(state, [&] { return DrawDecimalDivisionMistake(menu, random); });
}
BENCHMARK(BM_DrawDecimalDivisionMistake)->DenseRange(1, kMenuItems)->Iterations(2000);

// The worked example of a drawn problem of each menu item (the rounded one
// the longest: a row more than asked and the rounded quotient).
void BM_DecimalDivisionWorkedExample(benchmark::State& state) {
    const int menu = static_cast<int>(state.range(0));
    SystemRandom random;
    for (auto _ : state) {
        const DecimalDivisionProblem p = *DrawProblem(menu, random);
        benchmark::DoNotOptimize(DecimalDivisionWorkedExample(p));
    }
}
BENCHMARK(BM_DecimalDivisionWorkedExample)->DenseRange(1, kMenuItems)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorelka::decimal_division
