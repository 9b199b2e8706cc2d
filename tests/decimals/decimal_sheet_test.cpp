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
    s.sheet.cells()["Label3"].text = "○";
    s.sheet.ClearWorksheet();
    for (int n = 3; n <= 11; ++n) EXPECT_EQ(s.cell("Label" + std::to_string(n)).text, "") << n;
    for (int n = 2; n <= 7; ++n) EXPECT_FALSE(s.cell("ComboBox" + std::to_string(n)).visible) << n;
    EXPECT_FALSE(s.cell("Shape1").visible);
    EXPECT_EQ(s.sheet.answer_digits(), (AnswerDigits{0, 0, 0, 0, 0}));
    EXPECT_FALSE(s.sheet.has_problem());
    // Without a problem, digits and judging change nothing.
    s.sheet.ShowRunningAnswer(Column::Ones, 4);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell("Label7").text, "");
}

TEST(DecimalSheet, WritesBothNumbersWithTheirPointsInOneColumn) {
    Sheet s(Operation::Addition);
    s.Draw(2, {0, 234, 139});  // 2.35 + 1.40
    EXPECT_EQ(s.cell("Label5").text, "2.35");
    EXPECT_EQ(s.cell("Label5").left, 392);
    EXPECT_EQ(s.cell("Label6").text, "1.4");
    EXPECT_EQ(s.cell("Label6").left, 362);
    EXPECT_EQ(s.cell("Label7").left, 362);
    EXPECT_EQ(s.cell("Label8").text, "+");
    EXPECT_TRUE(s.cell("Shape1").visible);
    EXPECT_EQ(s.sheet.result_text(), "3.75");
    EXPECT_EQ(s.sheet.Equation(false), "2.35 + 1.4 = ?");

    Sheet whole(Operation::Addition);
    whole.Draw(1, {0, 19, 2});  // 2.0 + 0.3
    EXPECT_EQ(whole.cell("Label5").text, "2");
    EXPECT_EQ(whole.cell("Label5").left, 354);
    EXPECT_EQ(whole.cell("Label6").left, 392);

    Sheet three(Operation::Subtraction);
    three.Draw(3, {6999, 500});  // 7.000 - 0.501
    EXPECT_EQ(three.cell("Label5").text, "7");
    EXPECT_EQ(three.cell("Label5").left, 292);
    EXPECT_EQ(three.cell("Label6").text, "0.501");
    EXPECT_EQ(three.cell("Label6").left, 392);
    EXPECT_EQ(three.cell("Label8").text, "-");
    Sheet half(Operation::Addition);
    half.Draw(3, {499, 2});  // 0.500 + 0.003
    EXPECT_EQ(half.cell("Label5").text, "0.5");
    EXPECT_EQ(half.cell("Label5").left, 332);

    // A new draw puts a moved label back first.
    whole.Draw(1, {0, 20, 2});  // 2.1 + 0.3
    EXPECT_EQ(whole.cell("Label5").left, 392);
}

TEST(DecimalSheet, PlacesTheColumnsForTheProblemsPlaces) {
    const char* lists[] = {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3", "ComboBox2"};
    const int lefts[3][5] = {{768, 792, 840, -1, -1},
                             {744, 768, 816, 840, -1},
                             {720, 744, 792, 816, 840}};
    const int points[3] = {816, 792, 768};
    Sheet s(Operation::Addition);
    for (int p : {3, 1, 2}) {
        s.sheet.ClearWorksheet();
        const int before = s.sheet.entry_lists_resets();
        s.Draw(p, p == 3 ? std::vector<int>{0, 1} : std::vector<int>{0, 0, 1});
        EXPECT_EQ(s.sheet.entry_lists_resets(), before + 1);
        for (int c = 0; c < 5; ++c) {
            const Cell& list = s.cell(lists[c]);
            EXPECT_EQ(list.visible, lefts[p - 1][c] >= 0) << lists[c] << " p " << p;
            if (list.visible) {
                EXPECT_EQ(list.left, lefts[p - 1][c]) << lists[c] << " p " << p;
            }
            EXPECT_EQ(list.top, 224);
        }
        EXPECT_EQ(s.cell("Label11").left, points[p - 1]);
        EXPECT_EQ(s.cell("Label11").text, "小\r数\r点");
        EXPECT_TRUE(s.cell("ComboBox7").visible);
        EXPECT_EQ(s.cell("ComboBox7").left, 864);
    }
}

TEST(DecimalSheet, DrillPlaceMovesTheColumnsAndTheOperator) {
    Sheet s(Operation::Subtraction, DrillSheetPlace(Operation::Subtraction));
    s.Draw(1, {0, 51, 48});
    EXPECT_EQ(s.cell("ComboBox5").top, 272);
    EXPECT_EQ(s.cell("ComboBox7").top, 272);
    EXPECT_EQ(s.cell("Label11").top, 272);
    EXPECT_EQ(s.cell("Label4").text, "-");
    EXPECT_EQ(s.cell("Label4").left, 344);
    // The drill's own labels (question number, score line) are not the sheet's.
    for (const char* label : {"Label3", "Label8", "Label9", "Label10"}) {
        EXPECT_FALSE(s.sheet.cells().has(label)) << label;
    }
    // End of a drill: the numbers vanish, the lists stay and write nothing.
    s.sheet.ClearNumbers();
    EXPECT_EQ(s.cell("Label5").text, "");
    EXPECT_EQ(s.cell("Label4").text, "");
    EXPECT_FALSE(s.cell("Shape1").visible);
    EXPECT_TRUE(s.cell("ComboBox5").visible);
    s.sheet.ShowRunningAnswer(Column::Tenths, 3);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell("Label7").text, "");
    EXPECT_EQ(s.sheet.entered_answer(), 0);
    // Without a problem the drill's ResetEntryLists shows no list.
    s.sheet.ClearWorksheet();
    s.sheet.ResetEntryLists();
    EXPECT_FALSE(s.cell("ComboBox5").visible);
    EXPECT_FALSE(s.cell("ComboBox7").visible);
    EXPECT_FALSE(s.sheet.GenerateProblem(s.random, 4));
}

TEST(DecimalSheet, RunningAnswerIsBlueAndFinishedAnswerStandsUnderThePoints) {
    Sheet s(Operation::Addition);
    s.Draw(1, {0, 2, 6});  // 0.3 + 0.7 = 1
    EXPECT_EQ(s.sheet.result_text(), "1");
    s.sheet.ShowRunningAnswer(Column::Ones, 1);
    EXPECT_EQ(s.cell("Label7").text, "1.0");
    EXPECT_EQ(s.cell("Label7").colour, kBlue);
    s.sheet.ShowRunningAnswer(Column::Tenths, 0);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.cell("Label7").text, "1");
    EXPECT_EQ(s.cell("Label7").left, 326);
    EXPECT_EQ(s.cell("Label7").colour, kNavy);
    EXPECT_EQ(s.sheet.trailing_zeros(), 1);
    EXPECT_TRUE(s.sheet.IsRight());
    // Changing a digit afterwards: blue again, back where all decimals stand.
    s.sheet.ShowRunningAnswer(Column::Tenths, 1);
    EXPECT_EQ(s.cell("Label7").text, "1.1");
    EXPECT_EQ(s.cell("Label7").left, 362);
    EXPECT_EQ(s.cell("Label7").colour, kBlue);

    Sheet three(Operation::Addition);
    three.Draw(3, {0, 1});  // 0.001 + 0.002
    three.sheet.ShowRunningAnswer(Column::Thousandths, 4);
    EXPECT_EQ(three.cell("Label7").text, ".004");
    three.sheet.ShowRunningAnswer(Column::Tens, 1);
    EXPECT_EQ(three.cell("Label7").text, "10.004");
    three.sheet.ShowRunningAnswer(Column::Thousandths, 0);
    three.sheet.ShowFinishedAnswer();
    EXPECT_EQ(three.cell("Label7").text, "10");
    EXPECT_EQ(three.cell("Label7").left, 264);
    EXPECT_FALSE(three.sheet.IsRight());
}

TEST(DecimalSheet, UntouchedColumnsCountAsZero) {
    Sheet s(Operation::Addition);
    s.Draw(2, {0, 299, 206});  // 3.00 + 2.07 = 5.07
    s.sheet.ShowRunningAnswer(Column::Ones, 5);
    s.sheet.ShowRunningAnswer(Column::Hundredths, 7);
    s.sheet.ShowFinishedAnswer();
    EXPECT_EQ(s.sheet.entered_answer(), 507);
    EXPECT_TRUE(s.sheet.IsRight());
    // A digit of a column hidden for this problem does not count.
    s.sheet.ShowRunningAnswer(Column::Thousandths, 9);
    s.sheet.ShowFinishedAnswer();
    EXPECT_TRUE(s.sheet.IsRight());
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
        t.practice.CuteButton4Click();
        EXPECT_EQ(t.practice.prompt(), "メニューを選んでね！");
        EXPECT_EQ(t.fakes.random.randomize_calls, 0);
        EXPECT_TRUE(t.fakes.cues.cues().empty());
        EXPECT_FALSE(t.cell("ComboBox5").visible);
        // Nothing to answer: the lists' events change nothing either.
        t.practice.DigitChosen(Column::Ones, 3);
        t.practice.ComboBox7Change(0);
        EXPECT_EQ(t.cell("Label3").text, "");
        EXPECT_EQ(t.cell("Label7").text, "");
    }
}

TEST(DecimalPractice, NextUsesTheChoiceLeftByAnotherScreen) {
    Practice t(kSubtractionPractice);
    t.fakes.ctx.state.menu_choice = 3;
    t.practice.FormCreate();
    t.fakes.random.Feed({5554, 1233});
    t.practice.CuteButton4Click();
    EXPECT_EQ(t.cell("Label4").text, "5.555 - 1.234 = ?");
    EXPECT_TRUE(t.cell("ComboBox2").visible);
    EXPECT_EQ(t.cell("Label3").text, "");
}

}  // namespace
}  // namespace sorelka::decimals
