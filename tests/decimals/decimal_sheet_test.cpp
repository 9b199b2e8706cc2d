#include <gtest/gtest.h>

#include "decimals/decimal_practice.h"
#include "decimals/decimal_sheet.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

using testing::FakeServices;
using testing::ScriptedRandom;

// A sheet for one operation with a problem drawn from scripted draws.
struct Sheet {
    explicit Sheet(Operation op, SheetPlace place = {}) : sheet([&] {
        place.operation = op;
        return place;
    }()) {}
    void Draw(int places, std::vector<int> draws) {
        random.Feed(draws);
        ASSERT_TRUE(sheet.Draw(random, places));
        sheet.ShowOperator();
        sheet.ResetEntryLists();
        ASSERT_TRUE(random.script.empty());
    }
    const Cell& cell(const std::string& name) const { return sheet.cells().at(name); }

    ScriptedRandom random;
    DecimalSheet sheet;
};

TEST(DecimalSheet, StartsAndClearsEmptyWithTheListsHidden) {
    Sheet s(Operation::Addition);
    s.Draw(2, {0, 234, 139});
    s.sheet.ShowRunningAnswer(Column::Ones, 3);
    s.sheet.cells()[role::kVerdict].text = "○";
    s.sheet.ClearWorksheet();
    for (const char* r : {role::kVerdict, role::kUpper, role::kLower, role::kAnswer, role::kOperator, role::kPoint})
        EXPECT_EQ(s.cell(r).text, "") << r;
    for (int c = 0; c < kColumnCount; ++c) EXPECT_FALSE(s.cell(ListRole(Column(c))).visible) << c;
    EXPECT_FALSE(s.cell(role::kActionList).visible || s.cell(role::kLine).visible);
    EXPECT_EQ(s.sheet.answer_digits(), (AnswerDigits{0, 0, 0, 0, 0}));
    EXPECT_FALSE(s.sheet.has_problem());
    // Without a problem, digits and judging change nothing.
    s.sheet.ShowRunningAnswer(Column::Ones, 4);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell(role::kAnswer).text, "");
}

// Each number ends in the column of its last digit, counted from the right (0 the last decimal place).
TEST(DecimalSheet, WritesBothNumbersWithTheirPointsInOneColumn) {
    Sheet s(Operation::Addition);
    s.Draw(2, {0, 234, 139});  // 2.35 + 1.40
    EXPECT_EQ(s.cell(role::kUpper).text, "2.35");
    EXPECT_EQ(s.cell(role::kUpper).column, 0);
    EXPECT_EQ(s.cell(role::kLower).text, "1.4");
    EXPECT_EQ(s.cell(role::kLower).column, 1);
    EXPECT_EQ(s.cell(role::kAnswer).column, 0);
    EXPECT_EQ(s.cell(role::kPoint).column, 2);
    EXPECT_EQ(s.cell(role::kOperator).text, "+");
    EXPECT_TRUE(s.cell(role::kLine).visible);
    EXPECT_EQ(s.sheet.result_text(), "3.75");
    EXPECT_EQ(s.sheet.Equation(false), "2.35 + 1.4 = ?");

    Sheet whole(Operation::Addition);
    whole.Draw(1, {0, 19, 2});  // 2.0 + 0.3
    EXPECT_EQ(whole.cell(role::kUpper).text, "2");
    EXPECT_EQ(whole.cell(role::kUpper).column, 1);
    EXPECT_EQ(whole.cell(role::kLower).column, 0);

    Sheet three(Operation::Subtraction);
    three.Draw(3, {6999, 500});  // 7.000 - 0.501
    EXPECT_EQ(three.cell(role::kUpper).text, "7");
    EXPECT_EQ(three.cell(role::kUpper).column, 3);
    EXPECT_EQ(three.cell(role::kLower).text, "0.501");
    EXPECT_EQ(three.cell(role::kLower).column, 0);
    EXPECT_EQ(three.cell(role::kOperator).text, "-");
    Sheet half(Operation::Addition);
    half.Draw(3, {499, 2});  // 0.500 + 0.003
    EXPECT_EQ(half.cell(role::kUpper).text, "0.5");
    EXPECT_EQ(half.cell(role::kUpper).column, 2);

    // A new draw puts a moved number back first.
    whole.Draw(1, {0, 20, 2});  // 2.1 + 0.3
    EXPECT_EQ(whole.cell(role::kUpper).column, 0);
}

TEST(DecimalSheet, ShowsTheListsOfTheProblemsPlaces) {
    const bool shown[3][5] = {{true, true, true, false, false}, {true, true, true, true, false}, {true, true, true, true, true}};
    Sheet s(Operation::Addition);
    for (int p : {3, 1, 2}) {
        s.sheet.ClearWorksheet();
        const int before = s.sheet.entry_lists_resets();
        s.Draw(p, p == 3 ? std::vector<int>{0, 1} : std::vector<int>{0, 0, 1});
        EXPECT_EQ(s.sheet.entry_lists_resets(), before + 1);
        for (int c = 0; c < 5; ++c) EXPECT_EQ(s.cell(ListRole(Column(c))).visible, shown[p - 1][c]) << c << " p " << p;
        EXPECT_EQ(s.cell(role::kPoint).column, p);
        EXPECT_EQ(s.cell(role::kPoint).text, "小\r数\r点");
        EXPECT_TRUE(s.cell(role::kActionList).visible);
    }
}

TEST(DecimalSheet, DrillSheetEndsWithTheListsStanding) {
    Sheet s(Operation::Subtraction, DrillSheetPlace(Operation::Subtraction));
    s.Draw(1, {0, 51, 48});
    EXPECT_EQ(s.cell(role::kOperator).text, "-");
    // The drill's own labels (question number, score line) are not the sheet's.
    for (const char* own : {role::kPrompt, role::kVerdict, role::kEquation}) EXPECT_FALSE(s.sheet.cells().has(own)) << own;
    // End of a drill: the numbers vanish, the lists stay and write nothing.
    s.sheet.ClearNumbers();
    EXPECT_EQ(s.cell(role::kUpper).text, "");
    EXPECT_EQ(s.cell(role::kOperator).text, "");
    EXPECT_FALSE(s.cell(role::kLine).visible);
    EXPECT_TRUE(s.cell(ListRole(Column::Ones)).visible);
    s.sheet.ShowRunningAnswer(Column::Tenths, 3);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell(role::kAnswer).text, "");
    EXPECT_EQ(s.sheet.entered_answer(), 0);
    // Without a problem the drill's ResetEntryLists shows no list.
    s.sheet.ClearWorksheet();
    s.sheet.ResetEntryLists();
    EXPECT_FALSE(s.cell(ListRole(Column::Ones)).visible);
    EXPECT_FALSE(s.cell(role::kActionList).visible);
    EXPECT_FALSE(s.sheet.GenerateProblem(s.random, 4));
}

TEST(DecimalSheet, RunningAnswerIsBlueAndFinishedAnswerStandsUnderThePoints) {
    Sheet s(Operation::Addition);
    s.Draw(1, {0, 2, 6});  // 0.3 + 0.7 = 1
    EXPECT_EQ(s.sheet.result_text(), "1");
    s.sheet.ShowRunningAnswer(Column::Ones, 1);
    EXPECT_EQ(s.cell(role::kAnswer).text, "1.0");
    EXPECT_EQ(s.cell(role::kAnswer).colour, kBlue);
    s.sheet.ShowRunningAnswer(Column::Tenths, 0);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell(role::kAnswer).text, "1");
    EXPECT_EQ(s.cell(role::kAnswer).column, 1);
    EXPECT_EQ(s.cell(role::kAnswer).colour, kNavy);
    EXPECT_EQ(s.sheet.trailing_zeros(), 1);
    EXPECT_EQ(s.sheet.verdict(), Verdict::Right);
    // Changing a digit afterwards: blue again, back where all decimals stand.
    s.sheet.ShowRunningAnswer(Column::Tenths, 1);
    EXPECT_EQ(s.cell(role::kAnswer).text, "1.1");
    EXPECT_EQ(s.cell(role::kAnswer).column, 0);
    EXPECT_EQ(s.cell(role::kAnswer).colour, kBlue);

    Sheet three(Operation::Addition);
    three.Draw(3, {0, 1});  // 0.001 + 0.002
    three.sheet.ShowRunningAnswer(Column::Thousandths, 4);
    EXPECT_EQ(three.cell(role::kAnswer).text, ".004");
    three.sheet.ShowRunningAnswer(Column::Tens, 1);
    EXPECT_EQ(three.cell(role::kAnswer).text, "10.004");
    three.sheet.ShowRunningAnswer(Column::Thousandths, 0);
    three.sheet.ShowFinishedAnswer();
    EXPECT_EQ(three.cell(role::kAnswer).text, "10");
    EXPECT_EQ(three.cell(role::kAnswer).column, 3);
    EXPECT_EQ(three.sheet.verdict(), Verdict::Wrong);
}

TEST(DecimalSheet, UntouchedColumnsCountAsZero) {
    Sheet s(Operation::Addition);
    s.Draw(2, {0, 299, 206});  // 3.00 + 2.07 = 5.07
    s.sheet.ShowRunningAnswer(Column::Ones, 5);
    s.sheet.ShowRunningAnswer(Column::Hundredths, 7);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.sheet.entered_answer(), 507);
    EXPECT_EQ(s.sheet.verdict(), Verdict::Right);
    // A digit of a column hidden for this problem does not count.
    s.sheet.ShowRunningAnswer(Column::Thousandths, 9);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.sheet.verdict(), Verdict::Right);
}

TEST(DecimalSheet, LogTextsKeepTheTrailingZeroRemoval) {
    Sheet sum(Operation::Addition, DrillSheetPlace(Operation::Addition));
    sum.Draw(1, {0, 19, 34});  // 2.0 + 3.5
    EXPECT_EQ(sum.sheet.LogProblemText(), " 2 ＋ 3.5");
    EXPECT_EQ(sum.sheet.LogResultText(), " 5.5");

    Sheet difference(Operation::Subtraction, DrillSheetPlace(Operation::Subtraction));
    difference.Draw(1, {0, 51, 48});
    difference.sheet.ShowRunningAnswer(Column::Ones, 0);
    difference.sheet.ShowRunningAnswer(Column::Tenths, 3);
    difference.sheet.ShowFinishedAnswer();
    EXPECT_EQ(difference.sheet.LogProblemText(), " 5.2 - 4.9");
    EXPECT_EQ(difference.sheet.LogResultText(), " 0.3");
    EXPECT_EQ(difference.sheet.LogAnswerText(), " 0.3");
}

// --- the practice screen's events ---

struct Practice {
    explicit Practice(const PracticeVariant& variant) : practice(fakes.ctx, variant) {}
    const Cell& cell(const std::string& name) const { return practice.cells().at(name); }
    FakeServices fakes;
    DecimalPractice practice;
};

TEST(DecimalPractice, NextWithoutAMenuChoiceOnlyAsksForOne) {
    for (int choice : {0, 4}) {
        Practice t(kAdditionPractice);
        t.practice.FormCreate();
        t.fakes.cues.clear();
        t.fakes.ctx.state.menu_choice = choice;
        t.practice.NextPressed();
        EXPECT_EQ(t.practice.prompt(), "メニューを選んでね！");
        EXPECT_EQ(t.fakes.random.randomize_calls, 0);
        EXPECT_TRUE(t.fakes.cues.cues().empty());
        EXPECT_FALSE(t.cell(ListRole(Column::Ones)).visible);
        // Nothing to answer: the lists' events change nothing either.
        t.practice.ChooseDigit(Place::Ones, 3);
        EXPECT_EQ(t.practice.ApplyAction(Action::Finish), std::nullopt);
        EXPECT_EQ(t.cell(role::kVerdict).text, "");
        EXPECT_EQ(t.cell(role::kAnswer).text, "");
    }
}

TEST(DecimalPractice, NextUsesTheChoiceLeftByAnotherScreen) {
    Practice t(kSubtractionPractice);
    t.fakes.ctx.state.menu_choice = 3;
    t.practice.FormCreate();
    t.fakes.random.Feed({5554, 1233});
    t.practice.NextPressed();
    EXPECT_EQ(t.cell(role::kEquation).text, "5.555 - 1.234 = ?");
    EXPECT_TRUE(t.cell(ListRole(Column::Thousandths)).visible);
    EXPECT_EQ(t.cell(role::kVerdict).text, "");
}

}  // namespace
}  // namespace sorelka::decimals
