#include "rules/rules_diagnosis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "rules/calculation_steps.h"
#include "rules/rules_cells.h"
#include "rules/rules_practice.h"
#include "support/diagnosis_draws.h"
#include "support/rules_pupil.h"
#include "support/fakes.h"

namespace sorelka::rules {
namespace {

using namespace testing::rules_pupil;

// Classroom fixtures worked on the practice screen's model with scripted draws.
TEST(RulesDiagnosisTest, ClassroomFixturesAreNamed) {
    {
        SCOPED_TRACE("□ + 25 = 83 worked as 83 + 25");
        testing::FakeServices fx;
        fx.random.Feed({0, 4, 7, 1, 4});  // family 1, □ = 58, 25
        RulesPractice practice(fx.ctx);
        practice.FormCreate();
        practice.ChooseMenu(kBoxMenu);
        ASSERT_EQ(practice.problem().problem_text, "□ + 25 = 83");
        practice.ChooseOperation(kAdd);
        EnterNumber(practice, 108);
        practice.ApplyAction(Action::Finish);
        ASSERT_EQ(practice.verdict(), Verdict::Wrong);
        const Diagnosis d = DiagnoseRules(practice.problem(), RulesWorkedRows(practice.worksheet()));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->kind, kInverseOperation);
        EXPECT_EQ(d->step, "calc:1/cell:Label7");
        EXPECT_EQ(d->explanation, "□を もとめる 計算が ちがうよ　□＋２５＝８３ の □は ８３－２５＝５８");
        EXPECT_EQ(RulesKindLabel(d->kind), "□を求める計算がちがう");
    }
    {
        SCOPED_TRACE("(23 + 45 ) x 12 with the sum 67, then 67 × 12 worked right");
        testing::FakeServices fx;
        fx.random.Feed({66, 1, 2, 3, 4, 11});  // menu 1 family 12
        RulesPractice practice(fx.ctx);
        practice.FormCreate();
        practice.ChooseMenu(kParenthesesMenu);
        ASSERT_EQ(practice.problem().problem_text, "(23 + 45 ) x 12 = ?");
        EnterNumber(practice, 67);
        practice.ApplyAction(Action::Finish);
        for (int row : {134, 67}) {
            EnterNumber(practice, row);
            practice.ApplyAction(Action::Confirm);
        }
        EnterNumber(practice, 804);
        practice.ApplyAction(Action::Finish);
        ASSERT_EQ(practice.verdict(), Verdict::Wrong);
        // The rows the record stores, under the names it has always used.
        const WorkedRows rows = RulesWorkedRows(practice.worksheet());
        EXPECT_EQ(rows, (WorkedRows{{"Label3", "(23 + 45 ) x 12 = 816"}, {"Label8", "67"}, {"Label9", "12"},
                                    {"Label10", "134"}, {"Label11", "67"}, {"Label12", "804"}, {"Label13", "ｘ"},
                                    {"Label21", "×"}}));
        const Diagnosis d = DiagnoseRules(practice.problem(), rows);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->kind, kStepSlip);
        EXPECT_EQ(d->step, "calc:1/cell:Label8");
        EXPECT_EQ(d->explanation, "さいしょの たし算が ちがうよ　２３＋４５＝６８");
        EXPECT_EQ(StepField(d->step, "cell"), "Label8");
        EXPECT_EQ(StepField(d->step, "kind"), "");
    }
}


// Rows from a damaged record: never a crash, and numbers that cannot be read
// name no kind.
TEST(RulesDiagnosisTest, UnreadableRowsAreOther) {
    ExpressionProblem p;
    p.menu = kParenthesesMenu;
    p.kind_code = 63;  // ( 23 + 45 ) x 12
    p.operand_a = 23;
    p.operand_b = 45;
    p.operand_c = 12;
    p.expected_answer = 816;
    const WorkedRows cases[] = {
        {{"Label8", "68"}, {"Label9", "99999999999999"}, {"Label12", "1"}},
        {{"Label8", "abc"}, {"Label9", "12"}, {"Label12", "1"}},
        {{"Label8", "68"}, {"Label9", "12"}, {"Label10", "-"}, {"Label12", "1"}},
        {},
    };
    for (const WorkedRows& rows : cases) {
        const Diagnosis d = DiagnoseRules(p, rows);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->kind, kOther);
    }
}

// The kind found, with the calculation and the kind inside it.
std::string Found(const Diagnosis& d) {
    if (!d) return "(none)";
    std::string s = d->kind + " calc:" + StepField(d->step, "calc");
    if (const std::string inner = StepField(d->step, "kind"); !inner.empty()) s += " " + inner;
    return s;
}

// Each buggy pupil on 10,000 problems (fewer under the sanitizers) of all four menu items; the confusion
// table goes to stdout.
TEST(RulesDiagnosisTest, BuggyPupilsAreDiagnosedAsTheirKind) {
    constexpr int kProblems = testing::kPropertyDraws;
    testing::SeededRandom random(17);
    std::mt19937 rounds(4);
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    Hooks hooks;
    CalculationSteps steps(dialogs, cues, hooks);
    hooks.steps = &steps;

    testing::ConfusionTable table;
    std::map<std::string, int> applied, named;
    int right_findings = 0;
    for (int i = 0; i < kProblems; ++i) {
        ExpressionProblem p;
        GenerateProblem(i % 4 + 1, random, p);
        hooks.expected = p.expected_answer;
        const CalculationOrder order = OrderOf(p.kind_code);
        const int calculations = p.IsBoxProblem() ? 1 : order.four_numbers ? 3 : 2;
        const auto work = [&](Bug bug, int round) -> std::optional<Diagnosis> {
            if (!HasPlace(bug, p)) return std::nullopt;
            hooks.right = false;
            steps.ClearColumnArea();
            if (!Pupil(steps, bug, round).Work(p)) return std::nullopt;
            return DiagnoseRules(p, RulesWorkedRows(steps.worksheet()));
        };
        if (const auto d = work(Bug::None, 0); *d || !hooks.right) ++right_findings;
        for (const BugCase& b : kBugs) {
            const auto d = work(b.bug, std::uniform_int_distribution<int>(0, 1)(rounds));
            // A pupil who stops where a division's mistake shows hands nothing
            // on: the answer stayed right when the quotient written is.
            const bool stayed_right =
                hooks.right || (steps.state().current_op == kDivide &&
                                steps.sheet().at({RulesRole::Part::DivQuotient}).text == std::to_string(p.expected_answer));
            if (!d || stayed_right) continue;  // no place for it, or the answer stayed right
            const std::string found = Found(*d);
            std::string expected = b.bug == Bug::BoxOwnOperation ? "inverse_operation calc:1"
                                   : b.bug == Bug::FirstResult   ? "step_slip calc:1"
                                                                 : "step_slip calc:" + std::to_string(calculations);
            if (*b.inner) expected += std::string(" ") + b.inner;
            ++applied[b.name];
            ++table[b.name][found];
            named[b.name] += found == expected;
        }
        cues.clear();
        dialogs.shown.clear();
    }
    testing::PrintConfusionTable("rules", table, applied);
    EXPECT_EQ(right_findings, 0);
    for (const BugCase& b : kBugs) {
        SCOPED_TRACE(b.name);
        ASSERT_GT(applied[b.name], 100);
        EXPECT_GE(named[b.name], 0.95 * applied[b.name]);
    }
}

}  // namespace
}  // namespace sorelka::rules
