#include "rules/rules_examples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "rules/rules_cells.h"
#include "support/example_checks.h"
#include "support/fakes.h"
#include "support/rules_pupil.h"

namespace sorelka::rules {
namespace {

using namespace testing::rules_pupil;

constexpr double kPromptWidth = 21;  // Label2 of the rules practice: 480 pixels of 22-pixel characters

std::vector<std::string> Lines(const RulesExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

ExpressionProblem Drawn(int menu, const std::vector<int>& draws) {
    testing::ScriptedRandom random(draws);
    ExpressionProblem p;
    GenerateProblem(menu, random, p);
    return p;
}

TEST(RulesExamples, ClassroomExpressionsAreToldCalculationByCalculation) {
    const ExpressionProblem brackets = Drawn(kParenthesesMenu, {66, 1, 2, 3, 4, 11});
    ASSERT_EQ(brackets.problem_text, "(23 + 45 ) x 12 = ?");
    const RulesExample example = RulesWorkedExample(brackets);
    EXPECT_EQ(Lines(example),
              (std::vector<std::string>{"（　）の 中を さきに 計算するよ", "たし算で ２３＋４５＝６８",
                                        "６８を つぎの 計算で つかうよ", "６８×２＝１３６　一の位から かけるよ",
                                        "６８×１＝６８　１けた ずらすよ", "あわせて １３６＋６８０＝８１６",
                                        "答えは ８１６だよ"}));
    // A box problem as the pupil's worksheet holds it after a choice of
    // calculation has ordered its numbers is worked from its own numbers.
    ExpressionProblem box = Drawn(kBoxMenu, {0, 4, 7, 1, 4});
    ExpressionProblem swapped = box;
    std::swap(swapped.top_operand, swapped.bottom_operand);
    EXPECT_EQ(RulesWorkedExample(swapped).end(), RulesWorkedExample(box).end());
    EXPECT_EQ(Lines(RulesWorkedExample(box)),
              (std::vector<std::string>{"□を もとめる 計算を えらぶよ", "□を もとめるには ひき算を するよ",
                                        "ひき算で ８３－２５＝５８", "答えは ５８だよ"}));
    EXPECT_EQ(Lines(RulesWorkedExample(RulesMistakeFallback(kTimesDividesMenu).problem)),
              (std::vector<std::string>{"左から じゅんに 計算するよ", "十の位に ２を たてるよ　４×２＝８",
                                        "８を ８の 下に かくよ", "８－８＝０　４を おろすよ",
                                        "一の位に １を たてるよ　４×１＝４", "４を ４の 下に かくよ",
                                        "４－４＝０　わりきれたよ", "２１を つぎの 計算で つかうよ",
                                        "かけ算で ２１×３＝６３", "答えは ６３だよ"}));

    // The sum written 67: the first calculation's result is where it went wrong.
    const WorkedRows rows{{"Label8", "67"}, {"Label9", "12"}, {"Label10", "134"}, {"Label11", "67"},
                          {"Label12", "804"}, {"Label13", "ｘ"}};
    const Diagnosis d = DiagnoseRules(brackets, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->step, "calc:1/cell:Label8");
    EXPECT_EQ(FirstWrongStep(example, rows, d), 0u);
    EXPECT_EQ(example.steps[0].role, (RulesRole{RulesRole::Part::AddResult}));
}

TEST(RulesExamples, RolesStandInTheirCells) {
    using Part = RulesRole::Part;
    EXPECT_EQ(RulesStoredName({Part::MulRow, 2}), "Label12");
    EXPECT_EQ(RulesStoredName({Part::DivRow, 3}), "Label20");
    EXPECT_EQ(RulesRoleCell({Part::DivQuotient, 1}), (RoleCell{"quotient", RoleCell::Digit::FromLeft, 1}));
    EXPECT_EQ(RulesStepRole("calc:2/kind:product_slip/row:2/cell:Label17"), (RulesRole{Part::DivRow, 0}));
    EXPECT_EQ(RulesStepRole("calc:2/kind:zero_missing/quotient:2/cell:Label16"), (RulesRole{Part::DivQuotient, 1}));
    EXPECT_EQ(RulesStepRole("calc:1/cell:Label7"), (RulesRole{Part::AddSign}));
    EXPECT_EQ(RulesStepRole("calc:1/cell:Label16"), std::nullopt);
    EXPECT_EQ(RulesStepRole("calc:1"), std::nullopt);
    // Every role has a cell of its own, and every cell a key and a stored name of its own.
    std::map<std::string, int> seen;
    for (const RulesRole& role : RulesRolesInOrder()) {
        const RoleCell cell = RulesRoleCell(role);
        ++seen[cell.name + "/" + std::to_string(cell.digit)];
        if (role.part != Part::DivQuotient) {
            EXPECT_EQ(RulesStepRole("calc:1/cell:" + RulesStoredName(role)), role);
        }
    }
    EXPECT_EQ(seen.size(), RulesRolesInOrder().size());
    for (const RulesRole& role : RulesCells()) {
        EXPECT_EQ(RulesRoleOfKey(RulesKey(role)), role);
        EXPECT_EQ(RulesRoleOfStored(RulesStoredName(role)), role);
    }
}

// Over many draws of every menu item: the replay ends as the worksheet of a
// pupil who works the problem right through, each buggy pupil's marked step
// writes the cell the diagnosis frames or that calculation's result, and the
// explanation writes a product in the order the replay does.
TEST(RulesExamples, ReplayEndsAsTheRightWorkAndMarksTheDiagnosedStep) {
    testing::SeededRandom random(28);
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    int marked = 0;
    for (int i = 0; i < 800; ++i) {
        Hooks hooks;
        CalculationSteps steps(dialogs, cues, hooks);
        hooks.steps = &steps;
        ExpressionProblem p;
        GenerateProblem(i % 4 + 1, random, p);
        hooks.expected = p.expected_answer;
        ASSERT_TRUE(Pupil(steps, Bug::None, 0).Work(p));
        ASSERT_TRUE(hooks.right) << p.problem_text;
        const RulesExample example = RulesWorkedExample(p);
        ASSERT_EQ(example.end(), steps.worksheet()) << p.problem_text;
        testing::ExpectLinesFit(example, kPromptWidth);

        const BugCase& b = kBugs[i % std::size(kBugs)];
        if (!HasPlace(b.bug, p)) continue;
        steps.ClearColumnArea();
        if (!Pupil(steps, b.bug, i % 2).Work(p)) continue;
        const WorkedRows rows = RulesWorkedRows(steps.worksheet());
        const Diagnosis d = DiagnoseRules(p, rows);
        if (!d || d->kind == kOther) continue;
        const auto step = FirstWrongStep(example, rows, d);
        ASSERT_TRUE(step) << d->step;
        const auto& role = example.steps[*step].role;
        ASSERT_TRUE(role);
        if (RulesStepRole(d->step) == role || d->kind == kInverseOperation || StepField(d->step, "calc") == "1")
            ++marked;
        else
            ADD_FAILURE() << p.problem_text << " " << d->step;
        // A product the explanation shows is written as the お手本 writes it,
        // never with its factors swapped.
        const std::string fact = d->explanation.substr(d->explanation.rfind("　") + std::string("　").size());
        const std::size_t times = fact.find("×");
        const std::size_t equals = fact.find("＝");
        if (times != std::string::npos && equals != std::string::npos && times < equals) {
            const std::string left = fact.substr(0, times);
            const std::string right = fact.substr(times + std::string("×").size(), equals - times - std::string("×").size());
            for (const std::string& line : Lines(example)) {
                if (left == right) break;
                EXPECT_EQ(line.find(right + "×" + left + "＝"), std::string::npos) << d->explanation << " / " << line;
            }
        }
    }
    EXPECT_GT(marked, 150);
}

// What each step of `example` entered, one after another.
RulesInputs EntryPath(const RulesExample& example) {
    RulesInputs inputs;
    for (const auto& step : example.steps) inputs.insert(inputs.end(), step.inputs.begin(), step.inputs.end());
    return inputs;
}

// Over thousands of draws of every menu item: exactly the kind's places
// differ from the right work (the wrong step's, accepted, and what the pupil
// computed after it from their own numbers, refused); the pupil stops where
// the mistake shows; the sheet shows no row marker and a row added
// unshifted drawn unshifted; the お手本 of the same
// problem replays the right pupil's own entries in their order; and every
// case is shown, none more than a third of the item's examples where it
// offers three kinds or more.
TEST(RulesExamples, FindTheMistakeDiffersFromTheRightWorkOnlyWhereItsKindSays) {
    for (int menu = 1; menu <= 4; ++menu) {
        SCOPED_TRACE(menu);
        testing::SeededRandom random(400 + menu);
        const std::vector<std::string> kinds = RulesMistakeKinds(menu);
        std::map<std::string, int> shown, labels;
        for (int i = 0; i < testing::kMistakeExamples; ++i) {
            const auto example = DrawRulesMistake(menu, random);
            ASSERT_TRUE(example);
            ASSERT_FALSE(example->fell_back);
            const Diagnosis again = DiagnoseRules(example->problem, RulesWorkedRows(example->sheet()));
            ASSERT_TRUE(again);
            EXPECT_EQ(*again, example->finding);
            EXPECT_EQ(RulesStepRole(again->step), example->wrong);

            const RulesPupilWork right = WorkRulesAs(example->problem, RulesBug::None, 0);
            testing::ExpectOnlyTheKindsPlacesDiffer(*example, kinds, right.end, RulesPlaceText);
            for (const RulesRole& place : example->follows) EXPECT_FALSE(example->Judge(place));
            const std::string inner = StepField(example->finding.step, "kind");
            if (inner == "quotient_too_big" || inner == "quotient_too_small") {
                // The product under the part, and for a digit too small the
                // difference as large as the divisor; nothing after.
                ASSERT_EQ(example->follows.size(), inner == "quotient_too_big" ? 1u : 2u);
                EXPECT_EQ(example->follows.back(), example->places.back());
            }
            if (inner == kShiftMissing) {
                EXPECT_EQ(example->wrong, (RulesRole{RulesRole::Part::MulRow, 1}));
                EXPECT_EQ(example->sheet().at("mul row 2").column, 0) << "under the product of the ones";
            }
            EXPECT_FALSE(example->sheet().at("mul marker").visible || example->sheet().at("div marker").visible);

            // The お手本 of every fourth problem: the right pupil's entries,
            // step after step as the worksheet takes them.
            if (i % 4 == 0) {
                const RulesExample worked = RulesWorkedExample(example->problem);
                ASSERT_EQ(EntryPath(worked), right.inputs);
                testing::FakeCuePlayer cues;
                testing::FakeDialogs dialogs;
                Hooks hooks;
                CalculationSteps steps(dialogs, cues, hooks);
                hooks.steps = &steps;
                steps.StartProblem(ProblemAsDrawn(example->problem));
                EXPECT_EQ(steps.worksheet(), worked.start);
                for (const auto& step : worked.steps) {
                    for (const RulesInput& input : step.inputs) Feed(steps, input);
                    EXPECT_EQ(steps.worksheet(), step.sheet) << step.line;
                }
            }
            ++shown[example->finding.kind];
            ++shown[inner];
            ++labels[inner.empty() ? example->finding.kind : inner];
            if (HasFailure()) return;
        }
        std::printf("menu %d:", menu);
        for (const auto& [kind, count] : labels)
            std::printf(" %s %.1f%%", kind.c_str(), 100.0 * count / testing::kMistakeExamples);
        std::printf("\n");
        testing::ExpectEveryKindShown(shown, kinds);
        if (menu != kMixedMenu) {
            testing::ExpectEveryKindShown(shown, {"product_slip", "quotient_too_big", "quotient_too_small",
                                                  "difference_slip", "shift_missing"});
            for (const auto& [kind, count] : labels) EXPECT_LE(3 * count, testing::kMistakeExamples) << kind;
        }
    }
}

TEST(RulesExamples, PreferredKindsAndFallbacks) {
    testing::SeededRandom random(13);
    for (int menu = 1; menu <= 4; ++menu) {
        // A kind the item cannot show gives way to any kind it can.
        for (const char* kind : {kInverseOperation, "quotient_too_small", "shift_missing"}) {
            const bool can = menu == kBoxMenu || (menu != kMixedMenu && kind != std::string(kInverseOperation));
            for (int i = 0; i < 10; ++i) {
                const RulesMistakeExample e = *DrawRulesMistake(menu, random, {kind});
                EXPECT_EQ(e.finding.kind == kind || StepField(e.finding.step, "kind") == kind, can)
                    << menu << " " << kind << " " << e.finding.step;
            }
        }
        const RulesMistakeExample fixed = RulesMistakeFallback(menu);
        EXPECT_TRUE(fixed.fell_back);
        EXPECT_FALSE(fixed.problem.problem_text.empty());
        testing::ExpectOnlyTheKindsPlacesDiffer(fixed, RulesMistakeKinds(menu),
                                                RulesWorkedExample(fixed.problem).end(), RulesPlaceText);
    }
    EXPECT_FALSE(DrawRulesMistake(5, random).has_value());
    EXPECT_NO_THROW(RulesWorkedExample(ExpressionProblem{}));
}

}  // namespace
}  // namespace sorelka::rules
