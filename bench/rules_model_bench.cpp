#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/random.h"
#include "diagnosis_bench.h"
#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_examples.h"
#include "support/diagnosis_draws.h"
#include "support/fakes.h"
#include "support/rules_pupil.h"

namespace sorelka::rules {
namespace {

// Returns the family draw, then a cycle of operand draws that the family
// rejects every time, so the generator runs to its draw limit. Every draw
// also asks the real generator, so the cost of real random numbers (and of
// re-seeding) is part of the figure.
class RejectingRandom final : public RandomSource {
public:
    RejectingRandom(int family_draw, std::vector<int> cycle)
        : family_draw_(family_draw), cycle_(std::move(cycle)) {}
    void Randomize() override {
        real_.Randomize();
        first_ = true;
        next_ = 0;
    }
    int Random(int n) override {
        benchmark::DoNotOptimize(real_.Random(n));
        if (first_) {
            first_ = false;
            return family_draw_;
        }
        if (cycle_.empty()) return 0;
        const int v = cycle_[next_];
        next_ = (next_ + 1) % cycle_.size();
        return v < n ? v : n - 1;
    }

private:
    SystemRandom real_;
    int family_draw_;
    std::vector<int> cycle_;
    bool first_ = true;
    std::size_t next_ = 0;
};

struct WorstCase {
    int menu;
    int family_draw;
    std::vector<int> cycle;  // empty: every operand draw is 0
};

// One entry per family whose draws can be rejected; the index is the
// benchmark argument. Families 1..15 of menu 1, 1..12 of menu 2 (5 has a
// single draw), 1..2 of menu 3, family 4 of menu 4.
const std::vector<WorstCase>& WorstCases() {
    static const std::vector<WorstCase> cases = {
        {1, 0, {}}, {1, 6, {}}, {1, 12, {}}, {1, 18, {0, 0, 1, 2, 15}},  // 23 + 17 = 40
        {1, 24, {}}, {1, 30, {0, 0, 3, 0}},                                // 5 x 2 = 10
        {1, 36, {}}, {1, 42, {}}, {1, 48, {}}, {1, 54, {}}, {1, 60, {}},
        {1, 66, {0, 1, 0, 7, 0}},                                          // 12 + 18 = 30
        {1, 72, {}}, {1, 78, {0, 0, 0, 1, 0, 0}},                          // 23 ÷ 2
        {1, 84, {}},
        {2, 0, {397, 96, 96}},                                             // 398 + 98 x 98
        {2, 2, {}}, {2, 4, {0, 0, 1, 0, 0}},                               // 13 ÷ 2
        {2, 6, {}}, {2, 8, {}}, {2, 10, {}}, {2, 12, {}}, {2, 14, {}}, {2, 16, {}},
        {2, 18, {}}, {2, 20, {}}, {2, 22, {}},
        {3, 0, {}}, {3, 5, {}},
        {4, 6, {27, 7, 3, 7}},                                             // 288 x 48
    };
    return cases;
}

void BM_RulesDrawAllRejected(benchmark::State& state) {
    const WorstCase& w = WorstCases()[state.range(0)];
    const Variant variant = state.range(1) ? Variant::Drill : Variant::Practice;
    RejectingRandom random(w.family_draw, w.cycle);
    ExpressionProblem p;
    for (auto _ : state) {
        GenerateProblem(w.menu, random, p, variant);
        benchmark::DoNotOptimize(p.expected_answer);
    }
    // Family 5 of menu 2 has a single draw and nothing to reject.
    if (!p.fell_back && !(w.menu == 2 && p.family_number == 5)) {
        state.SkipWithError("a draw was accepted: not the worst case");
    }
    state.SetLabel("menu " + std::to_string(w.menu) + " family " +
                   std::to_string(p.family_number) + (state.range(1) ? " drill" : ""));
}
BENCHMARK(BM_RulesDrawAllRejected)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 29, 1), {0}})
    ->Args({6, 1})   // menu 1 family 7, drill draws
    ->Args({8, 1})   // menu 1 family 9, drill draws
    ->Args({15, 1})  // menu 2 family 1, drill test
    ->Unit(benchmark::kMicrosecond);

// Calibration: the real generator's own cost for the 60000 draws that a
// rejected 10000-draw family of three operands makes.
void BM_RealRandom60000Draws(benchmark::State& state) {
    SystemRandom random;
    RandomSource& source = random;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < 60000; ++i) sum += source.Random(98);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RealRandom60000Draws)->Unit(benchmark::kMicrosecond);

// Ordinary draws of each menu with the real generator.
void BM_RulesDrawTypical(benchmark::State& state) {
    SystemRandom random;
    ExpressionProblem p;
    const int menu = static_cast<int>(state.range(0));
    for (auto _ : state) {
        GenerateProblem(menu, random, p);
        benchmark::DoNotOptimize(p.expected_answer);
    }
}
BENCHMARK(BM_RulesDrawTypical)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

struct QuietHooks final : StepHooks {
    void ShowStepPrompt(int) override {}
    void JudgeAnswer() override { ++judged; }
    void ShowPrompt(const std::string&) override {}
    void ShowEntryLists(bool) override {}
    int judged = 0;
};

// One four-number problem worked from start to verdict:
// 828 ÷ 36 + 768 ÷ 24, two long divisions and a sum, 40 list events.
void BM_RulesWorkedProblem(benchmark::State& state) {
    testing::FakeDialogs dialogs;
    testing::FakeCuePlayer cues;
    QuietHooks hooks;
    CalculationSteps steps(dialogs, cues, hooks);
    ExpressionProblem p;
    p.menu = kMixedMenu;
    p.kind_code = 414;
    p.operand_a = 828;
    p.operand_b = 36;
    p.operand_c = 768;
    p.operand_d = 24;
    p.expected_answer = 55;
    int events = 0;
    // Places counted from the ones: 0 ones, 1 tens, 2 hundreds.
    auto digits = [&](std::initializer_list<std::pair<int, int>> choices) {
        static constexpr Place kPlaces[] = {Place::Ones, Place::Tens, Place::Hundreds};
        for (auto [place, digit] : choices) {
            steps.ChooseDigit(kPlaces[place], digit);
            ++events;
        }
    };
    auto act = [&](Action action) {
        steps.ApplyAction(action);
        ++events;
    };
    for (auto _ : state) {
        events = 0;
        steps.ClearColumnArea();
        steps.StartProblem(p);
        steps.ResetEntryLists();
        digits({{1, 2}}), act(Action::Confirm);
        digits({{1, 7}, {0, 2}}), act(Action::Confirm);
        digits({{2, 1}, {0, 8}}), act(Action::Confirm);
        digits({{0, 3}}), act(Action::Confirm);
        digits({{2, 1}, {0, 8}}), act(Action::Confirm);
        digits({{0, 0}}), act(Action::Finish);
        digits({{1, 3}}), act(Action::Confirm);
        digits({{1, 7}, {0, 2}}), act(Action::Confirm);
        digits({{1, 4}, {0, 8}}), act(Action::Confirm);
        digits({{0, 2}}), act(Action::Confirm);
        digits({{1, 4}, {0, 8}}), act(Action::Confirm);
        digits({{0, 0}}), act(Action::Finish);
        digits({{1, 5}, {0, 5}}), act(Action::Finish);
        if (cues.calls.size() > 4096) cues.clear();
    }
    if (hooks.judged == 0) state.SkipWithError("the problem was not judged");
    state.counters["events"] = events;
    state.counters["per_event"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * events, benchmark::Counter::kIsRate |
                                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_RulesWorkedProblem)->Unit(benchmark::kMicrosecond);

// The answers of the diagnosis property test: 10,000 generator draws of the
// four menu items, each worked right and with every mistake that has a place in it.
struct Answer {
    ExpressionProblem problem;
    WorkedRows rows;
};
const std::vector<Answer>& PropertyAnswers() {
    static const std::vector<Answer> answers = [] {
        namespace pupil = testing::rules_pupil;
        std::vector<Answer> out;
        testing::SeededRandom random(17);
        std::mt19937 rounds(4);
        testing::FakeCuePlayer cues;
        testing::FakeDialogs dialogs;
        pupil::Hooks hooks;
        CalculationSteps steps(dialogs, cues, hooks);
        hooks.steps = &steps;
        for (int i = 0; i < 10000; ++i) {
            ExpressionProblem p;
            GenerateProblem(i % 4 + 1, random, p);
            const auto add = [&](pupil::Bug bug) {
                const int round = std::uniform_int_distribution<int>(0, 1)(rounds);
                if (!pupil::HasPlace(bug, p)) return;
                steps.ClearColumnArea();
                if (pupil::Pupil(steps, bug, round).Work(p))
                    out.push_back({p, WorkedRowsOf(steps.worksheet())});
            };
            add(pupil::Bug::None);
            for (const pupil::BugCase& b : pupil::kBugs) add(b.bug);
            cues.clear();
            dialogs.shown.clear();
        }
        return out;
    }();
    return answers;
}

const auto kDiagnose = [](const Answer& a) { return DiagnoseRules(a.problem, a.rows); };

void BM_DiagnoseRulesAnswers(benchmark::State& state) {
    bench::DiagnoseEveryAnswer(state, PropertyAnswers(), kDiagnose);
}
BENCHMARK(BM_DiagnoseRulesAnswers)->Unit(benchmark::kMillisecond);

// The slowest answer to diagnose, diagnosed over and over.
void BM_DiagnoseRulesWorstAnswer(benchmark::State& state) {
    const std::vector<Answer>& answers = PropertyAnswers();
    static const std::size_t worst = bench::SlowestAnswer(answers, kDiagnose);
    const Answer& a = answers[worst];
    for (auto _ : state) benchmark::DoNotOptimize(kDiagnose(a));
    const Diagnosis d = kDiagnose(a);
    state.SetLabel(a.problem.problem_text + " " + (d ? d->kind + " " + d->step : "right"));
}
BENCHMARK(BM_DiagnoseRulesWorstAnswer)->Unit(benchmark::kMicrosecond);


// A find-the-mistake example of each menu item; with 1, preferring rows added
// unshifted, which needs a two-digit multiplier in the last calculation.
void BM_DrawRulesMistake(benchmark::State& state) {
    SystemRandom random;
    const int menu = static_cast<int>(state.range(0));
    const std::vector<std::string> preferred =
        state.range(1) ? std::vector<std::string>{kShiftMissing} : std::vector<std::string>{};
    bench::TimeEveryDraw(state, [&] { return DrawRulesMistake(menu, random, preferred); });
}
BENCHMARK(BM_DrawRulesMistake)->ArgsProduct({{1, 2, 3, 4}, {0, 1}})->Iterations(2000);

void BM_RulesWorkedExample(benchmark::State& state) {
    SystemRandom random;
    ExpressionProblem p;
    for (auto _ : state) {
        GenerateProblem(kMixedMenu, random, p);
        benchmark::DoNotOptimize(RulesWorkedExample(p));
    }
}
BENCHMARK(BM_RulesWorkedExample)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sorelka::rules
