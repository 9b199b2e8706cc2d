#include <gtest/gtest.h>

#include <algorithm>

#include "division/long_division.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using testing::FakeServices;
using Kind = ActionOutcome::Kind;

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

    void Digit(int place, int digit) {
        EXPECT_EQ(model.ChooseDigit(place, digit), DigitOutcome::Written);
    }
    void Confirm(int step) {
        const ActionOutcome out = model.ApplyAction(kConfirm);
        EXPECT_EQ(out.kind, Kind::Confirmed);
        EXPECT_EQ(out.confirmed_step, step);
        EXPECT_EQ(model.step(), step + 1);
    }

    Cell& E(const char* name) { return expected[name]; }
    void Written(const char* name, const std::string& text, int left) {
        E(name).text = text;
        E(name).left = left;
        E(name).colour = kBlue;
    }
    void Marker(int top) { E("Image3").top = top; }
    void Line(const char* name, int left, int width) {
        E(name).left = left;
        E(name).width = width;
        E(name).visible = true;
    }

    void Check(const std::string& where) {
        SCOPED_TRACE(where);
        for (const auto& [name, cell] : expected) {
            const Cell& got = model.worksheet().at(name);
            EXPECT_EQ(got.text, cell.text) << name;
            EXPECT_EQ(got.left, cell.left) << name;
            EXPECT_EQ(got.top, cell.top) << name;
            EXPECT_EQ(got.width, cell.width) << name;
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
    EXPECT_EQ(w.at("Label5").text, "745");
    EXPECT_EQ(w.at("Label5").left + w.at("Label5").width, kOnesRight);
    EXPECT_EQ(w.at("Label6").text, "6");
    // The divisor stands left of the bracket, the bracket left of the dividend.
    EXPECT_LE(w.at("Label6").left + w.at("Label6").width, w.at("Image2").left);
    EXPECT_LE(w.at("Image2").left, kOnesRight - 3 * kColumnWidth);
    for (const char* shown : {"Shape1", "Image2", "Image3"}) EXPECT_TRUE(w.at(shown).visible);
    for (const char* hidden : {"Shape2", "Shape3", "Shape4"}) EXPECT_FALSE(w.at(hidden).visible);
    EXPECT_EQ(w.at("Image3").top, 192);
    EXPECT_EQ(w.at("Image3").left, 384);
    for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"})
        EXPECT_TRUE(w.at(list).visible) << list;
    EXPECT_EQ(w.at("ComboBox5").text, "千");
    EXPECT_EQ(w.at("ComboBox6").text, " 処理");
    EXPECT_EQ(model.step(), 1);
}

TEST_F(LongDivisionTest, WorksSevenHundredFortyFiveByAllNineRows) {
    Start(745, 6);

    Digit(kHundreds, 1);
    Written("Label7", "1", 494);
    Check("quotient digit 1");
    Confirm(1);
    E("Label7").colour = kNavy;
    Marker(280);
    Check("row 1 confirmed");

    Digit(kOnes, 6);
    Written("Label8", "6", 404);
    Check("product 6");
    Confirm(2);
    E("Label8").colour = kNavy;
    Marker(328);
    Line("Shape2", 490, 38);
    Check("row 2 confirmed");

    Digit(kTens, 1);
    Written("Label9", "10", 434);
    Check("difference, first digit");
    Digit(kOnes, 4);
    Written("Label9", "14", 434);
    Check("difference 14");
    EXPECT_EQ(model.entered_remainder(), 14);
    Confirm(3);
    E("Label9").colour = kNavy;
    Marker(192);
    Check("row 3 confirmed");

    Digit(kTens, 2);
    Written("Label7", "12", 494);
    Check("quotient digit 2");
    Confirm(4);
    E("Label7").colour = kNavy;
    Marker(376);
    Check("row 4 confirmed");

    Digit(kTens, 1);
    Digit(kOnes, 2);
    Written("Label10", "12", 434);
    Check("product 12");
    Confirm(5);
    E("Label10").colour = kNavy;
    Marker(416);
    Line("Shape3", 490, 68);
    Check("row 5 confirmed");

    Digit(kTens, 2);
    Digit(kOnes, 5);
    Written("Label11", "25", 464);
    Check("difference 25");
    Confirm(6);
    E("Label11").colour = kNavy;
    Marker(192);
    Check("row 6 confirmed");

    Digit(kOnes, 4);
    Written("Label7", "124", 494);
    Check("quotient digit 4");
    Confirm(7);
    E("Label7").colour = kNavy;
    Marker(464);
    Check("row 7 confirmed");

    Digit(kTens, 2);
    Digit(kOnes, 4);
    Written("Label12", "24", 464);
    Confirm(8);
    E("Label12").colour = kNavy;
    Marker(512);
    Line("Shape4", 520, 68);
    Check("row 8 confirmed");

    Digit(kOnes, 1);
    Written("Label13", "1", 464);
    Confirm(9);
    E("Label13").colour = kNavy;
    Check("row 9 confirmed");

    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 124);
    EXPECT_EQ(model.entered_remainder(), 1);
    EXPECT_TRUE(model.JudgeDivision());
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
    Written("Label7", "1", 494);
    Written("Label8", "6", 404);
    Written("Label9", "1", 434);
    E("Label7").colour = E("Label8").colour = kNavy;
    Marker(328);
    Line("Shape2", 490, 38);
    Check("first difference 1");

    fx.cues.clear();
    const int resets = model.list_resets();
    EXPECT_EQ(model.ApplyAction(kSkip).kind, Kind::Skipped);
    E("Label7").text = "10";
    E("Label9").text = "";
    E("Label9").left = 465;
    E("Label10").left = 465;
    Check("after skip");
    EXPECT_EQ(model.step(), 3);
    EXPECT_EQ(model.quotient_place(), kOnes);
    EXPECT_TRUE(model.zero_inserted());
    EXPECT_EQ(model.list_resets(), resets + 1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});

    Digit(kTens, 1);
    Digit(kOnes, 2);
    Written("Label9", "12", 464);
    Check("difference 12 in the ones column");
    Confirm(3);

    Digit(kOnes, 2);  // right after the zero, a ones digit is fine
    EXPECT_EQ(model.worksheet().at("Label7").text, "102");
    Confirm(4);
    Digit(kTens, 1);
    Digit(kOnes, 2);
    EXPECT_EQ(model.worksheet().at("Label10").left, 464);
    Confirm(5);
    Digit(kOnes, 0);
    EXPECT_EQ(model.worksheet().at("Label11").text, "0");
    Confirm(6);

    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 102);
    EXPECT_EQ(model.entered_remainder(), 0);
    EXPECT_TRUE(model.JudgeDivision());
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
    EXPECT_EQ(model.ApplyAction(kSkip).kind, Kind::Skipped);
    const Worksheet& after = model.worksheet();
    EXPECT_EQ(after.at("Label7").text, "210");
    for (const char* kept : {"Label8", "Label9", "Label10", "Label11"}) {
        EXPECT_EQ(after.at(kept).text, before.at(kept).text) << kept;
        EXPECT_EQ(after.at(kept).left, before.at(kept).left) << kept;
    }
    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_TRUE(model.JudgeDivision());
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

    EXPECT_EQ(model.ChooseDigit(kOnes, 4), DigitOutcome::Refused);
    EXPECT_EQ(model.worksheet(), before);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"十の位を選んでね！"});
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
    EXPECT_EQ(model.list_resets(), resets + 1);
    EXPECT_EQ(model.digit(kOnes), 0);
    EXPECT_EQ(model.step(), 4);
    EXPECT_EQ(model.quotient_place(), kHundreds);

    // The pupil chooses again, in the tens list.
    Digit(kTens, 2);
    EXPECT_EQ(model.worksheet().at("Label7").text, "12");
}

TEST_F(LongDivisionTest, DigitsAcrossListsCombineWithinAStep) {
    Start(745, 6);
    Digit(kTens, 0);
    EXPECT_EQ(model.worksheet().at("Label7").text, "0") << "a chosen zero shows as 0";
    EXPECT_EQ(model.worksheet().at("Label7").left, 524);
    Confirm(1);
    Digit(kTens, 3);
    Digit(kOnes, 4);
    EXPECT_EQ(model.entered_value(), 34);
    EXPECT_EQ(model.worksheet().at("Label8").text, "34");
    Digit(kHundreds, 1);
    EXPECT_EQ(model.worksheet().at("Label8").text, "134");
    Digit(kTens, 0);
    EXPECT_EQ(model.worksheet().at("Label8").text, "104") << "a changed digit replaces its place";
    Confirm(2);
    EXPECT_EQ(model.entered_value(), 0) << "confirming resets the digits";
}

TEST_F(LongDivisionTest, NothingIsWrittenOutsideTheNineRows) {
    // No problem yet: a digit is stored and acknowledged, nothing is written.
    const Worksheet empty = model.worksheet();
    EXPECT_EQ(model.ChooseDigit(kOnes, 3), DigitOutcome::NothingWritten);
    EXPECT_EQ(model.worksheet(), empty);

    Start(745, 6);
    for (int step = 1; step <= 9; ++step) {
        Digit(kOnes, 1);
        Confirm(step);
    }
    const Worksheet done = model.worksheet();
    fx.cues.clear();
    EXPECT_EQ(model.ChooseDigit(kTens, 7), DigitOutcome::NothingWritten);
    Confirm(10);
    Confirm(11);
    EXPECT_EQ(model.worksheet(), done);
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 17, 17}));

    // Separators and unknown indexes and places do nothing at all.
    fx.cues.clear();
    for (int index : {1, 3, 5, 7, -1}) EXPECT_EQ(model.ApplyAction(index).kind, Kind::None);
    EXPECT_EQ(model.ChooseDigit(0, 1), DigitOutcome::Ignored);
    EXPECT_EQ(model.ChooseDigit(5, 1), DigitOutcome::Ignored);
    EXPECT_EQ(model.ChooseDigit(kOnes, 10), DigitOutcome::Ignored);
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
    model.ApplyAction(kSkip);
    Digit(kOnes, 9);
    fx.cues.clear();

    EXPECT_EQ(model.ApplyAction(kClear).kind, Kind::Cleared);
    const Worksheet& w = model.worksheet();
    for (const char* row : {"Label7", "Label8", "Label9", "Label10", "Label11", "Label12", "Label13"})
        EXPECT_EQ(w.at(row).text, "") << row;
    for (const char* line : {"Shape2", "Shape3", "Shape4"}) EXPECT_FALSE(w.at(line).visible);
    EXPECT_EQ(w.at("Image3").top, 192);
    EXPECT_EQ(w.at("Label5").text, "612");
    EXPECT_EQ(w.at("Label6").text, "6");
    EXPECT_TRUE(w.at("Shape1").visible);
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
    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_TRUE(model.JudgeDivision()) << "124, last difference 1";

    Digit(kOnes, 3);
    Confirm(8);
    Digit(kOnes, 2);  // the third difference is now the last one written
    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_FALSE(model.JudgeDivision()) << "right quotient, wrong remainder";
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
    model.ApplyAction(kFinish);
    EXPECT_TRUE(model.JudgeDivision());

    // 18 ÷ 6 = 3 remainder 0, finished without any difference row.
    model.ClearWorksheet();
    fx.random.Feed({0, 8, 4});
    ASSERT_TRUE(model.NewProblem(1));
    EXPECT_EQ(model.entered_remainder(), std::nullopt);
    Digit(kOnes, 3);
    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::Finished);
    EXPECT_EQ(model.entered_quotient(), 3);
    EXPECT_FALSE(model.JudgeDivision());
}

TEST_F(LongDivisionTest, FinishWithoutAUsableQuotientIsRefused) {
    Start(745, 6);
    const Worksheet before = model.worksheet();
    ActionOutcome out = model.ApplyAction(kFinish);
    EXPECT_EQ(out.kind, Kind::FinishRefused);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"商を選んでね！"});
    EXPECT_EQ(model.entered_quotient(), std::nullopt);
    EXPECT_EQ(model.worksheet(), before);
    EXPECT_EQ(model.step(), 1);
    EXPECT_FALSE(model.JudgeDivision());

    // A quotient grown past any whole number by repeated "飛ばし".
    Digit(kHundreds, 1);
    for (int k = 0; k < 12; ++k) model.ApplyAction(kSkip);
    fx.dialogs.shown.clear();
    EXPECT_EQ(model.ApplyAction(kFinish).kind, Kind::FinishRefused);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{kQuotientTooLongText});
}

TEST_F(LongDivisionTest, ClearingTheWorksheetAndMenuChoicesWithoutAProblem) {
    // No problem drawn yet, and a menu choice that draws none: nothing to show.
    EXPECT_FALSE(model.NewProblem(0));
    EXPECT_FALSE(model.has_problem());
    EXPECT_FALSE(model.worksheet().at("Image2").visible);
    EXPECT_FALSE(model.worksheet().at("ComboBox2").visible);
    EXPECT_EQ(model.step(), 0);

    Start(745, 6);
    Digit(kHundreds, 1);
    Confirm(1);
    model.ApplyAction(kSkip);
    model.EmptyWorksheet();
    EXPECT_EQ(model.worksheet().at("Label7").text, "");
    EXPECT_EQ(model.step(), 2) << "emptying keeps the step state";
    EXPECT_TRUE(model.zero_inserted());
    model.ClearWorksheet();
    const Worksheet& w = model.worksheet();
    for (const char* label : {"Label5", "Label6", "Label7", "Label8", "Label9", "Label10",
                              "Label11", "Label12", "Label13"})
        EXPECT_EQ(w.at(label).text, "") << label;
    for (const char* hidden : {"Shape1", "Shape2", "Shape3", "Shape4", "Image2", "Image3"})
        EXPECT_FALSE(w.at(hidden).visible) << hidden;
    EXPECT_EQ(model.step(), 0);
    EXPECT_FALSE(model.zero_inserted());

    // Another menu value keeps the old problem, shown afresh.
    EXPECT_TRUE(model.NewProblem(7));
    EXPECT_EQ(model.worksheet().at("Label5").text, "745");
    EXPECT_EQ(model.step(), 1);
}

}  // namespace
}  // namespace sorelka::division
