#include "division/division_examples.h"

#include <gtest/gtest.h>

#include <map>

#include "support/division_pupil.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using namespace testing::division_pupil;

constexpr double kPromptWidth = 24;  // Label2 of the division practice: 530 pixels of 22-pixel characters

std::vector<std::string> Lines(const DivisionExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

TEST(DivisionExamples, ClassroomDivisionsAreToldStepByStep) {
    EXPECT_EQ(Lines(DivisionWorkedExample({745, 6, 124, 1, 2})),
              (std::vector<std::string>{
                  "大きい 位から じゅんに 商を たてるよ", "百の位に １を たてるよ　１×６＝６",
                  "６を ７の 下に かくよ", "７－６＝１　４を おろすよ",
                  "十の位に ２を たてるよ　２×６＝１２", "１２を １４の 下に かくよ",
                  "１４－１２＝２　５を おろすよ", "一の位に ４を たてるよ　４×６＝２４",
                  "２４を ２５の 下に かくよ", "２５－２４＝１　あまりは １", "７４５÷６＝１２４ あまり １"}));
    const DivisionExample zero = DivisionWorkedExample({612, 6, 102, 0, 2});
    EXPECT_EQ(Lines(zero), (std::vector<std::string>{
                               "大きい 位から じゅんに 商を たてるよ", "百の位に １を たてるよ　１×６＝６",
                               "６を ６の 下に かくよ", "１を おろしても われないので ０を たてるよ",
                               "６－６＝０　１と ２を おろすよ", "一の位に ２を たてるよ　２×６＝１２",
                               "１２を １２の 下に かくよ", "１２－１２＝０　わりきれたよ",
                               "６１２÷６＝１０２　わりきれたよ"}));
    EXPECT_EQ(zero.steps[2].role, DivisionRole::QuotientDigit(1));
    EXPECT_EQ(zero.steps[3].role, DivisionRole::Row(1));
    EXPECT_FALSE(zero.steps.back().role.has_value());

    // The pupil left out the 0: the step that writes it is where the work went wrong.
    const WorkedRows rows{{"Label7", "12"}, {"Label8", "6"}, {"Label9", "12"}, {"Label10", "12"}, {"Label11", "0"}};
    const Diagnosis d = DiagnoseDivision({612, 6, 102, 0, 2}, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(FirstWrongStep(zero, rows, d), 2u);
    EXPECT_EQ(FirstWrongStep(zero, rows, std::nullopt), std::nullopt);
}

TEST(DivisionExamples, RolesStandInTheirCells) {
    EXPECT_EQ(DivisionRoleCell(DivisionRole::QuotientDigit(2)), (RoleCell{"Label7", RoleCell::Digit::FromLeft, 2}));
    EXPECT_EQ(DivisionRoleCell(DivisionRole::Row(5)).name, "Label13");
    EXPECT_EQ(DivisionStepRole("quotient:3"), DivisionRole::QuotientDigit(2));
    EXPECT_EQ(DivisionStepRole("row:1"), DivisionRole::Row(0));
    for (const char* step : {"row:7", "row:0", "quotient:0", "quotient:x", "column:ones", ""})
        EXPECT_EQ(DivisionStepRole(step), std::nullopt) << step;
    const WrittenDivision w = WrittenDivisionOf({745, 6, 124, 1, 2}, {{"Label7", "124"}, {"Label12", "24"}});
    EXPECT_EQ(w.Text(DivisionRole::QuotientDigit(1)), "2");
    EXPECT_EQ(w.Text(DivisionRole::QuotientDigit(3)), "");
    EXPECT_EQ(w.Text(DivisionRole::Row(4)), "24");
}

// Over many draws of every menu item: the replay ends with the worksheet a
// pupil leaves who enters the right work, cell by cell; every line fits; and
// for each buggy pupil the marked step writes the cell the diagnosis frames.
TEST(DivisionExamples, ReplayEndsAsTheRightWorkAndMarksTheDiagnosedStep) {
    testing::SeededRandom random(28);
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    int marked = 0;
    for (int i = 0; i < 900; ++i) {
        // A fresh model: a used one keeps the places of empty rows an earlier
        // problem moved, which no pupil sees.
        LongDivision model(cues, dialogs, random);
        model.NewProblem(i % 3 + 1);
        const DivisionProblem problem = model.problem();
        Enter(model, *Pupil(problem, Bug::None, 0));
        ASSERT_TRUE(model.JudgeDivision());
        const DivisionExample example = DivisionWorkedExample(problem);
        ASSERT_EQ(example.end(), model.worksheet()) << ProblemText(problem);
        testing::ExpectLinesFit(example, kPromptWidth);
        testing::ExpectStepsWriteTheirRoles(example, DivisionRoleText);

        const BugCase& b = kBugs[i % std::size(kBugs)];
        const auto entries = Pupil(problem, b.bug, i % 3 + 1);
        if (!entries) continue;
        model.ApplyAction(kClear);
        Enter(model, *entries);
        const WorkedRows rows = WorkedRowsOf(model.worksheet());
        const Diagnosis d = DiagnoseDivision(problem, rows);
        if (!d) continue;
        const auto step = FirstWrongStep(example, rows, d);
        ASSERT_TRUE(step) << d->step;
        const auto& role = example.steps[*step].role;
        ASSERT_TRUE(role);
        if (!DivisionStepCell(d->step).empty()) {
            EXPECT_EQ(DivisionRoleCell(*role).name, DivisionStepCell(d->step)) << d->kind;
            ++marked;
        }
    }
    EXPECT_GT(marked, 300);
}

// 2,000 examples per menu item, each with exactly one wrong place: the kind
// the diagnosis names, the wrong place accepted and every other refused.
TEST(DivisionExamples, FindTheMistakeHasOneWrongPlace) {
    for (int menu = 1; menu <= 3; ++menu) {
        SCOPED_TRACE(menu);
        testing::SeededRandom random(100 + menu);
        const std::vector<std::string> kinds = DivisionMistakeKinds(menu);
        std::map<std::string, int> shown;
        for (int i = 0; i < testing::kMistakeExamples; ++i) {
            const auto example = DrawDivisionMistake(menu, random);
            ASSERT_TRUE(example);
            ASSERT_FALSE(example->fell_back);
            const Diagnosis again = DiagnoseDivision(example->problem, WorkedRowsOf(example->sheet()));
            ASSERT_TRUE(again);
            EXPECT_EQ(*again, example->finding);
            EXPECT_EQ(DivisionStepRole(again->step), example->wrong);
            testing::ExpectOneWrongPlace(*example, kinds, DivisionWorkedExample(example->problem).end(),
                                         DivisionRoleText);
            ++shown[example->finding.kind];
            if (HasFailure()) return;
        }
        testing::ExpectEveryKindShown(shown, kinds);
    }
}

TEST(DivisionExamples, PreferredKindsAndFallbacks) {
    testing::SeededRandom random(7);
    for (int menu = 1; menu <= 3; ++menu) {
        for (const std::string& kind : DivisionMistakeKinds(menu))
            for (int i = 0; i < 20; ++i)
                EXPECT_EQ(DrawDivisionMistake(menu, random, {kind, "carry_missing"})->finding.kind, kind) << menu;
        const DivisionMistakeExample fixed = DivisionMistakeFallback(menu);
        EXPECT_TRUE(fixed.fell_back);
        testing::ExpectOneWrongPlace(fixed, DivisionMistakeKinds(menu),
                                     DivisionWorkedExample(fixed.problem).end(), DivisionRoleText);
    }
    EXPECT_FALSE(DrawDivisionMistake(4, random).has_value());
    // No problem (nothing drawn yet, a divisor of 0): only "終わり" is replayed.
    EXPECT_EQ(DivisionWorkedExample(DivisionProblem{}).steps.size(), 1u);
    EXPECT_FALSE(DrawDivisionMistake(0, random).has_value());
}

}  // namespace
}  // namespace sorelka::division
