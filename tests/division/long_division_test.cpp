#include <gtest/gtest.h>

#include <algorithm>

#include "division/long_division.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using testing::FakeServices;
using Kind = ActionOutcome::Kind;
constexpr const char* kQ = kQuotientRole;
const char* Row(int row) { return kRowRoles[row]; }
const char* Line(int round) { return kUnderlineRoles[round]; }

// Walks written divisions through the model. `expected` is the whole worksheet
// as it should be; each step changes it by hand and then every cell is
// compared, so a step that touches a cell it should not is caught too.
class LongDivisionTest : public ::testing::Test {
protected:
    // 745 ÷ 6 and 612 ÷ 6 are both menu item 1, kind 2.
    void Start(int dividend, int divisor) {
        fx.random.Feed({5, dividend - 100, divisor - 2});
        ASSERT_TRUE(model.NewProblem(1));
        ASSERT_EQ(model.problem().dividend, dividend);
        expected = model.worksheet();
        fx.cues.clear();
    }

    void Digit(int column, int digit) {
        EXPECT_EQ(model.ChooseDigit(PlaceOfColumn(column), digit), DigitOutcome::Written);
    }
    void Confirm(int step) {
        const ActionOutcome out = model.ApplyAction(Action::Confirm);
        EXPECT_EQ(out.kind, Kind::Confirmed);
        EXPECT_EQ(out.confirmed_step, step);
        EXPECT_EQ(model.step(), step + 1);
    }

    Cell& E(const char* name) { return expected[name]; }
    void Written(const char* name, const std::string& text, int column) {
        E(name).text = text;
        E(name).column = column;
        E(name).colour = kBlue;
    }
    void Marker(int row) { E(kMarkerRole).row = row; }
    void Underline(int round) { E(Line(round)).visible = true; }

    void Check(const std::string& where) {
        SCOPED_TRACE(where);
        for (const auto& [name, cell] : expected) {
            const Cell& got = model.worksheet().at(name);
            EXPECT_EQ(got.text, cell.text) << name;
            EXPECT_EQ(got.column, cell.column) << name;
            EXPECT_EQ(got.row, cell.row) << name;
            EXPECT_EQ(got.colour, cell.colour) << name;
            EXPECT_EQ(got.visible, cell.visible) << name;
        }
        EXPECT_EQ(model.worksheet().size(), expected.size());
    }

    FakeServices fx;
    LongDivision model{fx.ctx};
    Worksheet expected;
};

TEST_F(LongDivisionTest, ShowingAProblem) {
    Start(745, 6);
    const Worksheet& w = model.worksheet();
    EXPECT_EQ(w.at(kDividendRole).text, "745");
    EXPECT_EQ(w.at(kDivisorRole).text, "6");
    // The divisor, the bracket and the line stand by the dividend's first column.
    for (const char* role : {kDivisorRole, kBracketRole, kDividendLineRole}) EXPECT_EQ(w.at(role).column, 3);
    for (const char* shown : {kDividendLineRole, kBracketRole, kMarkerRole}) EXPECT_TRUE(w.at(shown).visible);
    for (const char* hidden : kUnderlineRoles) EXPECT_FALSE(w.at(hidden).visible);
    EXPECT_EQ(w.at(kMarkerRole).row, 0);
    for (const char* list : {kDigitListRoles[0], kDigitListRoles[3], kActionListRole}) EXPECT_TRUE(w.at(list).visible);
    EXPECT_EQ(w.at(kDigitListRoles[3]).text, "千");
    EXPECT_EQ(w.at(kActionListRole).text, " 処理");
    EXPECT_EQ(model.step(), 1);
}

TEST_F(LongDivisionTest, WorksSevenHundredFortyFiveByAllNineRows) {
    Start(745, 6);

    Digit(kHundreds, 1);
    Written(kQ, "1", kHundreds);
    Check("quotient digit 1");
    Confirm(1);
    E(kQ).colour = kNavy;
    Marker(1);
    Check("row 1 confirmed");

    Digit(kOnes, 6);
    Written(Row(0), "6", kHundreds);
    Check("product 6");
    Confirm(2);
    E(Row(0)).colour = kNavy;
    Marker(2);
    Underline(0);
    Check("row 2 confirmed");

    Digit(kTens, 1);
    Written(Row(1), "10", kTens);
    Check("difference, first digit");
    Digit(kOnes, 4);
    Written(Row(1), "14", kTens);
    Check("difference 14");
    EXPECT_EQ(model.entered_remainder(), 14);
    Confirm(3);
    E(Row(1)).colour = kNavy;
    Marker(0);
    Check("row 3 confirmed");

    Digit(kTens, 2);
    Written(kQ, "12", kHundreds);
    Check("quotient digit 2");
    Confirm(4);
    E(kQ).colour = kNavy;
    Marker(3);
    Check("row 4 confirmed");

    Digit(kTens, 1);
    Digit(kOnes, 2);
    Written(Row(2), "12", kTens);
    Check("product 12");
    Confirm(5);
    E(Row(2)).colour = kNavy;
    Marker(4);
    Underline(1);
    Check("row 5 confirmed");

    Digit(kTens, 2);
    Digit(kOnes, 5);
    Written(Row(3), "25", kOnes);
    Check("difference 25");
    Confirm(6);
    E(Row(3)).colour = kNavy;
    Marker(0);
    Check("row 6 confirmed");

    Digit(kOnes, 4);
    Written(kQ, "124", kHundreds);
    Check("quotient digit 4");
    Confirm(7);
    E(kQ).colour = kNavy;
    Marker(5);
    Check("row 7 confirmed");

    Digit(kTens, 2);
    Digit(kOnes, 4);
    Written(Row(4), "24", kOnes);
    Confirm(8);
    E(Row(4)).colour = kNavy;
    Marker(6);
    Underline(2);
    Check("row 8 confirmed");

    Digit(kOnes, 1);
    Written(Row(5), "1", kOnes);
    Confirm(9);
    E(Row(5)).colour = kNavy;
    Check("row 9 confirmed");

    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 124);
    EXPECT_EQ(model.entered_remainder(), 1);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Right);
    Check("finished");

    // 13 digits, each cue 11; 9 confirmations, each cue 17; nothing for finishing.
    std::vector<unsigned> cues = fx.cues.cues();
    EXPECT_EQ(std::count(cues.begin(), cues.end(), 11u), 13);
    EXPECT_EQ(std::count(cues.begin(), cues.end(), 17u), 9);
    EXPECT_EQ(cues.size(), 22u);
    EXPECT_TRUE(fx.dialogs.shown.empty());
}

TEST_F(LongDivisionTest, SkipPutsAZeroIntoTheQuotient) {
    Start(612, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    Digit(kOnes, 6);
    Confirm(2);
    Digit(kOnes, 1);
    Written(kQ, "1", kHundreds);
    Written(Row(0), "6", kHundreds);
    Written(Row(1), "1", kTens);
    E(kQ).colour = E(Row(0)).colour = kNavy;
    Marker(2);
    Underline(0);
    Check("first difference 1");

    fx.cues.clear();
    const int resets = model.list_resets();
    EXPECT_EQ(model.ApplyAction(Action::Skip).kind, Kind::Skipped);
    E(kQ).text = "10";
    E(Row(1)).text = "";
    E(Row(1)).column = kOnesAfterSkip;
    E(Row(2)).column = kOnesAfterSkip;
    Check("after skip");
    EXPECT_EQ(model.step(), 3);
    EXPECT_EQ(model.quotient_place(), kOnes);
    EXPECT_TRUE(model.zero_inserted());
    EXPECT_EQ(model.list_resets(), resets + 1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});

    Digit(kTens, 1);
    Digit(kOnes, 2);
    Written(Row(1), "12", kOnes);
    Check("difference 12 in the ones column");
    Confirm(3);

    Digit(kOnes, 2);  // right after the zero, a ones digit is fine
    EXPECT_EQ(model.worksheet().at(kQ).text, "102");
    Confirm(4);
    Digit(kTens, 1);
    Digit(kOnes, 2);
    EXPECT_EQ(model.worksheet().at(Row(2)).column, kOnes);
    Confirm(5);
    Digit(kOnes, 0);
    EXPECT_EQ(model.worksheet().at(Row(3)).text, "0");
    Confirm(6);

    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 102);
    EXPECT_EQ(model.entered_remainder(), 0);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Right);
}

TEST_F(LongDivisionTest, FinalZeroKeepsTheRowsAlreadyWritten) {
    // 840 ÷ 6 = 210: the zero is the last quotient digit, put in with "飛ばし"
    // after the second difference; the rows written before must stay.
    Start(840, 4);
    Digit(kHundreds, 2);
    Confirm(1);
    Digit(kOnes, 8);
    Confirm(2);
    Digit(kOnes, 4);
    Confirm(3);
    Digit(kTens, 1);
    Confirm(4);
    Digit(kOnes, 4);
    Confirm(5);
    Digit(kOnes, 0);
    const Worksheet before = model.worksheet();
    EXPECT_EQ(model.ApplyAction(Action::Skip).kind, Kind::Skipped);
    const Worksheet& after = model.worksheet();
    EXPECT_EQ(after.at(kQ).text, "210");
    for (const char* kept : {Row(0), Row(1), Row(2), Row(3)}) {
        EXPECT_EQ(after.at(kept).text, before.at(kept).text) << kept;
        EXPECT_EQ(after.at(kept).column, before.at(kept).column) << kept;
    }
    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Right);
}

TEST_F(LongDivisionTest, OnesDigitRightAfterHundredsIsRefused) {
    Start(745, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    Digit(kOnes, 6);
    Confirm(2);
    Digit(kOnes, 1);
    Confirm(3);
    const Worksheet before = model.worksheet();
    const int resets = model.list_resets();
    fx.cues.clear();

    EXPECT_EQ(model.ChooseDigit(Place::Ones, 4), DigitOutcome::Refused);
    EXPECT_EQ(model.worksheet(), before);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"十の位を選んでね！"});
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
    EXPECT_EQ(model.list_resets(), resets + 1);
    EXPECT_EQ(model.digit(Place::Ones), 0);
    EXPECT_EQ(model.step(), 4);
    EXPECT_EQ(model.quotient_place(), kHundreds);

    // The pupil chooses again, in the tens list.
    Digit(kTens, 2);
    EXPECT_EQ(model.worksheet().at(kQ).text, "12");
}

TEST_F(LongDivisionTest, DigitsAcrossListsCombineWithinAStep) {
    Start(745, 6);
    Digit(kTens, 0);
    EXPECT_EQ(model.worksheet().at(kQ).text, "0") << "a chosen zero shows as 0";
    EXPECT_EQ(model.worksheet().at(kQ).column, kTens);
    Confirm(1);
    Digit(kTens, 3);
    Digit(kOnes, 4);
    EXPECT_EQ(model.entered_value(), 34);
    EXPECT_EQ(model.worksheet().at(Row(0)).text, "34");
    Digit(kHundreds, 1);
    EXPECT_EQ(model.worksheet().at(Row(0)).text, "134");
    Digit(kTens, 0);
    EXPECT_EQ(model.worksheet().at(Row(0)).text, "104") << "a changed digit replaces its place";
    Confirm(2);
    EXPECT_EQ(model.entered_value(), 0) << "confirming resets the digits";
}

TEST_F(LongDivisionTest, NothingIsWrittenOutsideTheNineRows) {
    // No problem yet: a digit is stored and acknowledged, nothing is written.
    const Worksheet empty = model.worksheet();
    EXPECT_EQ(model.ChooseDigit(Place::Ones, 3), DigitOutcome::NothingWritten);
    EXPECT_EQ(model.worksheet(), empty);

    Start(745, 6);
    for (int step = 1; step <= 9; ++step) {
        Digit(kOnes, 1);
        Confirm(step);
    }
    const Worksheet done = model.worksheet();
    fx.cues.clear();
    EXPECT_EQ(model.ChooseDigit(Place::Tens, 7), DigitOutcome::NothingWritten);
    Confirm(10);
    Confirm(11);
    EXPECT_EQ(model.worksheet(), done);
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 17, 17}));

    // Places without a list and digits past 9 do nothing at all.
    fx.cues.clear();
    EXPECT_EQ(model.ChooseDigit(Place::Tenths, 1), DigitOutcome::Ignored);
    EXPECT_EQ(model.ChooseDigit(Place::Ones, 10), DigitOutcome::Ignored);
    EXPECT_EQ(model.worksheet(), done);
    EXPECT_TRUE(fx.cues.calls.empty());
    EXPECT_EQ(model.step(), 12);
}

TEST_F(LongDivisionTest, ClearStartsTheWrittenDivisionAgain) {
    Start(612, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    Digit(kOnes, 6);
    Confirm(2);
    Digit(kOnes, 1);
    model.ApplyAction(Action::Skip);
    Digit(kOnes, 9);
    fx.cues.clear();

    EXPECT_EQ(model.ApplyAction(Action::Clear).kind, Kind::Cleared);
    const Worksheet& w = model.worksheet();
    for (const char* row : {kQ, Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)}) EXPECT_EQ(w.at(row).text, "") << row;
    for (const char* line : kUnderlineRoles) EXPECT_FALSE(w.at(line).visible);
    EXPECT_EQ(w.at(kMarkerRole).row, 0);
    EXPECT_EQ(w.at(kDividendRole).text, "612");
    EXPECT_EQ(w.at(kDivisorRole).text, "6");
    EXPECT_TRUE(w.at(kDividendLineRole).visible);
    EXPECT_EQ(model.step(), 1);
    EXPECT_EQ(model.problem().quotient, 102);
    EXPECT_TRUE(model.zero_inserted());
    EXPECT_EQ(model.entered_remainder(), 9);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{17});
}

TEST_F(LongDivisionTest, JudgingUsesOnlyQuotientAndLastDifference) {
    Start(745, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    Digit(kOnes, 9);  // a wrong product is confirmed without complaint
    Confirm(2);
    Digit(kTens, 2);
    Digit(kOnes, 5);  // a wrong first difference too
    Confirm(3);
    Digit(kTens, 2);
    Confirm(4);
    Confirm(5);
    Digit(kOnes, 1);
    Confirm(6);
    Digit(kOnes, 4);
    Confirm(7);
    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Right) << "124, last difference 1";

    Digit(kOnes, 3);
    Confirm(8);
    Digit(kOnes, 2);  // the third difference is now the last one written
    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Wrong) << "right quotient, wrong remainder";
}

TEST_F(LongDivisionTest, ANewProblemForgetsTheDifferenceWrittenBefore) {
    // 12 ÷ 6 = 2 remainder 0, with the difference 0 written.
    fx.random.Feed({0, 2, 4});
    ASSERT_TRUE(model.NewProblem(1));
    Digit(kOnes, 2);
    Confirm(1);
    Digit(kOnes, 0);
    Digit(kTens, 1);
    Confirm(2);
    Digit(kOnes, 0);
    Confirm(3);
    model.ApplyAction(Action::Finish);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Right);

    // 18 ÷ 6 = 3 remainder 0, finished without any difference row.
    model.ClearWorksheet();
    fx.random.Feed({0, 8, 4});
    ASSERT_TRUE(model.NewProblem(1));
    EXPECT_EQ(model.entered_remainder(), std::nullopt);
    Digit(kOnes, 3);
    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 3);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Wrong);
}

TEST_F(LongDivisionTest, FinishWithoutAUsableQuotientIsRefused) {
    Start(745, 6);
    const Worksheet before = model.worksheet();
    ActionOutcome out = model.ApplyAction(Action::Finish);
    EXPECT_EQ(out.kind, Kind::FinishRefused);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"商を選んでね！"});
    EXPECT_EQ(model.entered_quotient(), std::nullopt);
    EXPECT_EQ(model.worksheet(), before);
    EXPECT_EQ(model.step(), 1);
    EXPECT_EQ(model.JudgeDivision(), Verdict::Wrong);

    // A quotient grown past any whole number by repeated "飛ばし".
    Digit(kHundreds, 1);
    for (int k = 0; k < 12; ++k) model.ApplyAction(Action::Skip);
    fx.dialogs.shown.clear();
    EXPECT_EQ(model.ApplyAction(Action::Finish).kind, Kind::FinishRefused);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{kQuotientTooLongText});
}

TEST_F(LongDivisionTest, ClearingTheWorksheetAndMenuChoicesWithoutAProblem) {
    // No problem drawn yet, and a menu choice that draws none: nothing to show.
    EXPECT_FALSE(model.NewProblem(0));
    EXPECT_FALSE(model.has_problem());
    EXPECT_FALSE(model.worksheet().at(kBracketRole).visible);
    EXPECT_FALSE(model.worksheet().at(kDigitListRoles[0]).visible);
    EXPECT_EQ(model.step(), 0);

    Start(745, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    model.ApplyAction(Action::Skip);
    model.EmptyWorksheet();
    EXPECT_EQ(model.worksheet().at(kQ).text, "");
    EXPECT_EQ(model.step(), 2) << "emptying keeps the step state";
    EXPECT_TRUE(model.zero_inserted());
    model.ClearWorksheet();
    const Worksheet& w = model.worksheet();
    for (const auto& [role, cell] : w) EXPECT_TRUE(role.starts_with("list") || cell.text.empty()) << role;
    for (const char* hidden : {kDividendLineRole, kBracketRole, kMarkerRole}) EXPECT_FALSE(w.at(hidden).visible);
    for (const char* hidden : kUnderlineRoles) EXPECT_FALSE(w.at(hidden).visible) << hidden;
    EXPECT_EQ(model.step(), 0);
    EXPECT_FALSE(model.zero_inserted());

    // Another menu value keeps the old problem, shown afresh.
    EXPECT_TRUE(model.NewProblem(7));
    EXPECT_EQ(model.worksheet().at(kDividendRole).text, "745");
    EXPECT_EQ(model.step(), 1);
}

}  // namespace
}  // namespace sorelka::division
