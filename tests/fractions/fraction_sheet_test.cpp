#include "fractions/fraction_sheet.h"

#include <gtest/gtest.h>

#include "fractions/fraction_practice.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

using testing::FakeServices;

const std::string kGivenNumerator = SlotRole(FractionNumber::Given, FractionSlot::Numerator);
const std::string kWhole = AnswerRole(FractionSlot::Whole);
const std::string kNumerator = AnswerRole(FractionSlot::Numerator);
const std::string kGivenBar = BarRole(FractionNumber::Given);
const std::string kAnswerBar = BarRole(FractionNumber::Answer);

struct SheetTest : ::testing::Test {
    FakeServices fakes;
    AppContext& ctx = fakes.ctx;

    // Draws a problem of `family` from scripted draws.
    void Set(FractionSheet& sheet, int family, std::vector<int> draws) {
        ctx.state.menu_choice = family;
        fakes.random.Feed(draws);
        sheet.ClearWorksheet();
        ASSERT_TRUE(sheet.GenerateProblem(family));
        ASSERT_TRUE(fakes.random.script.empty());
        sheet.TakeListReset();
        fakes.cues.clear();
    }
    // Enters `value` with both digit lists and drops it into `slot`.
    void Enter(FractionSheet& sheet, int value, FractionSlot slot) {
        sheet.ChooseDigit(Place::Tens, value / 10);
        sheet.ChooseDigit(Place::Ones, value % 10);
        sheet.ChooseSlot(slot);
    }
    static std::string Text(const FractionSheet& sheet, const std::string& role) {
        return sheet.worksheet().at(role).text;
    }
};

TEST_F(SheetTest, ShowsEachFamilyOnTheWorksheet) {
    FractionSheet sheet(Variant::Practice, ctx);
    struct Row {
        int family;
        std::vector<int> draws;
        std::vector<std::string> texts;  // given whole, numerator, denominator, "＝", answer's, task
        bool answer_bar;
    } rows[] = {
        {1, {1, 2}, {"", "7", "3", "＝", "？", "", "", "帯分数か整数に直しなさい。"}, false},
        {2, {1, 3, 2}, {"2", "3", "5", "＝", "？", "", "", "仮分数に直しなさい。"}, false},
        {3, {2, 3, 0, 0}, {"3", "1", "4", "＝", "1", "□", "4", "□を求めなさい。"}, true},
    };
    const std::string names[] = {SlotRole(FractionNumber::Given, FractionSlot::Whole), kGivenNumerator,
                                 SlotRole(FractionNumber::Given, FractionSlot::Denominator), kEqualsRole,
                                 kWhole, kNumerator, AnswerRole(FractionSlot::Denominator), kTaskRole};
    for (const Row& row : rows) {
        Set(sheet, row.family, row.draws);
        for (size_t i = 0; i < row.texts.size(); ++i)
            EXPECT_EQ(Text(sheet, names[i]), row.texts[i]) << "family " << row.family << " "
                                                            << names[i];
        EXPECT_TRUE(sheet.worksheet().at(kGivenBar).visible);
        EXPECT_EQ(sheet.worksheet().at(kAnswerBar).visible, row.answer_bar);
        EXPECT_TRUE(sheet.entry_lists_open());
    }
}

TEST_F(SheetTest, TheDrillSheetLeavesTheTaskLineTheMarkAndThePromptToTheDrill) {
    FractionSheet drill(Variant::Drill, ctx);
    // The drill's task line is shared with the score line: the drill sheet
    // gives its task line as text and leaves the label to the drill screen.
    for (const char* role : {kTaskRole, kMarkRole, kPromptRole}) EXPECT_FALSE(drill.worksheet().has(role)) << role;
    Set(drill, 2, {0, 0, 0});
    EXPECT_EQ(drill.task_line(), "仮分数に直しなさい。");
    drill.ClearWorksheet();
    EXPECT_EQ(drill.task_line(), "");
}

TEST_F(SheetTest, ClearingEmptiesTheSheetAndOnTheDrillAlsoTheAnswer) {
    FractionSheet practice(Variant::Practice, ctx);
    FractionSheet drill(Variant::Drill, ctx);
    for (FractionSheet* sheet : {&practice, &drill}) {
        Set(*sheet, 1, sheet == &practice ? std::vector<int>{1, 2} : std::vector<int>{2, 1, 2});
        Enter(*sheet, 23, FractionSlot::Denominator);
        sheet->ClearWorksheet();
        EXPECT_EQ(sheet->entry(), FractionEntry{});
        EXPECT_FALSE(sheet->has_problem());
        EXPECT_FALSE(sheet->entry_lists_open());
        EXPECT_FALSE(sheet->worksheet().at(kGivenBar).visible);
        EXPECT_FALSE(sheet->worksheet().at(kAnswerBar).visible);
        for (const auto& [name, cell] : sheet->worksheet()) {
            if (name != kPromptRole) {
                EXPECT_EQ(cell.text, "") << name;
            }
        }
    }
    // The practice keeps the expected answer, the drill zeroes it.
    EXPECT_EQ(practice.problem().answer_whole, 2);
    EXPECT_EQ(drill.problem().answer_whole, 0);
    EXPECT_EQ(drill.problem().answer_denominator, 0);
}

TEST_F(SheetTest, TheEndOfADrillEmptiesTheNumbersButKeepsTheListsAndTheTask) {
    FractionSheet drill(Variant::Drill, ctx);
    Set(drill, 3, {2, 3, 0, 0});
    Enter(drill, 9, FractionSlot::Numerator);
    drill.ClearWorksheetNumbers();
    for (const auto& [name, cell] : drill.worksheet()) EXPECT_EQ(cell.text, "") << name;
    EXPECT_FALSE(drill.worksheet().at(kGivenBar).visible);
    EXPECT_FALSE(drill.worksheet().at(kAnswerBar).visible);
    EXPECT_TRUE(drill.entry_lists_open());
    EXPECT_EQ(drill.task_line(), "□を求めなさい。");
    drill.HideEntryLists();
    EXPECT_FALSE(drill.entry_lists_open());
}

TEST_F(SheetTest, DigitsBuildTheValueThatAnActionDropsIntoItsSlot) {
    FractionSheet sheet(Variant::Practice, ctx);
    Set(sheet, 1, {1, 2});
    sheet.ChooseDigit(Place::Tens, 1);
    EXPECT_EQ(sheet.TakePrompt(), kDigitChosenPrompt);
    EXPECT_EQ(sheet.TakePrompt(), std::nullopt);
    EXPECT_EQ(Text(sheet, kNumerator), "");  // a digit alone writes nothing
    sheet.ChooseDigit(Place::Ones, 2);
    EXPECT_FALSE(sheet.TakeListReset());
    sheet.ChooseSlot(FractionSlot::Numerator);
    EXPECT_EQ(Text(sheet, kNumerator), "12");
    EXPECT_EQ(sheet.worksheet().at(kNumerator).colour, kBlue);
    EXPECT_TRUE(sheet.TakeListReset());
    EXPECT_FALSE(sheet.TakeListReset());
    // The tens digit stays: only the ones digit 7 gives 17.
    sheet.ChooseDigit(Place::Ones, 7);
    sheet.ChooseSlot(FractionSlot::Numerator);
    EXPECT_EQ(sheet.entry().entered_numerator, 17);
    EXPECT_EQ(Text(sheet, kNumerator), "17");
    // The numerator came with the answer's bar; the whole part replaces "？".
    EXPECT_TRUE(sheet.worksheet().at(kAnswerBar).visible);
    Enter(sheet, 3, FractionSlot::Denominator);
    Enter(sheet, 2, FractionSlot::Whole);
    EXPECT_EQ(Text(sheet, kWhole), "2");
    EXPECT_EQ(sheet.entry().entered_whole, 2);
    EXPECT_EQ(sheet.entry().entered_denominator, 3);
    // Every digit and every slot action plays cue 11; the dot is silent.
    EXPECT_EQ(fakes.cues.cues(), std::vector<unsigned>(11, 11));
    const FractionEntry before = sheet.entry();
    const Worksheet sheet_before = sheet.worksheet();
    sheet.ChooseDot();
    EXPECT_EQ(sheet.entry().entered_value, 2);
    EXPECT_EQ(sheet.entry().entered_whole, before.entered_whole);
    EXPECT_EQ(sheet.worksheet(), sheet_before);
    EXPECT_TRUE(sheet.TakeListReset());
    EXPECT_EQ(fakes.cues.cues().size(), 11u);
}

TEST_F(SheetTest, MixedToImproperNeverKeepsAWholePart) {
    FractionSheet sheet(Variant::Practice, ctx);
    Set(sheet, 2, {1, 3, 2});  // 2 and 3/5
    sheet.ChooseDot();
    EXPECT_EQ(Text(sheet, kWhole), "");  // the "？" goes with any first action
    Enter(sheet, 4, FractionSlot::Whole);
    EXPECT_EQ(Text(sheet, kWhole), "");
    EXPECT_EQ(sheet.entry().entered_whole, 0);
    Enter(sheet, 5, FractionSlot::Denominator);
    Enter(sheet, 13, FractionSlot::Numerator);
    EXPECT_EQ(sheet.JudgePracticeAnswer(), Verdict::Right);
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Right);
}

TEST_F(SheetTest, FindTheBoxIsJudgedOnTheNumeratorAlone) {
    FractionSheet sheet(Variant::Drill, ctx);
    Set(sheet, 3, {2, 3, 0, 0});  // 3 and 1/4 = 1 and □/4
    Enter(sheet, 9, FractionSlot::Numerator);
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Right);
    EXPECT_EQ(sheet.ProblemText(), "3・1 / 4 =");
    EXPECT_EQ(sheet.RightAnswerText(), "1・9 / 4");
    EXPECT_EQ(sheet.EnteredAnswerText(), "9 / 0");
    Enter(sheet, 6, FractionSlot::Whole);  // replaces the W shown
    Enter(sheet, 2, FractionSlot::Denominator);
    EXPECT_EQ(Text(sheet, kWhole), "6");
    EXPECT_EQ(Text(sheet, AnswerRole(FractionSlot::Denominator)), "2");
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Right);
    EXPECT_EQ(sheet.JudgePracticeAnswer(), Verdict::Right);
}

TEST_F(SheetTest, DrillImproperToWholeNumberAndItsTexts) {
    FractionSheet sheet(Variant::Drill, ctx);
    Set(sheet, 1, {2, 1, 3});  // 12/4
    EXPECT_EQ(sheet.EnteredAnswerText(), "0 / 0");
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Wrong);
    Enter(sheet, 0, FractionSlot::Whole);  // 0 is nothing entered
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Wrong);
    Enter(sheet, 3, FractionSlot::Whole);
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Right);
    EXPECT_EQ(sheet.ProblemText(), "12 / 4 =");
    EXPECT_EQ(sheet.RightAnswerText(), "3");
    EXPECT_EQ(sheet.EnteredAnswerText(), "3");
}

TEST_F(SheetTest, DrillLogRowsOfWorkedQuestions) {
    FractionSheet sheet(Variant::Drill, ctx);
    auto row = [](const char* mnd, const char* kai, const char* kot, const char* hnt) {
        DrillRow r;
        r.mnd = mnd;
        r.kai = kai;
        r.kot = kot;
        r.hnt = hnt;
        return r;
    };
    Set(sheet, 1, {2, 1, 2});  // 11/4 answered 2, 3 and 4
    Enter(sheet, 2, FractionSlot::Whole);
    Enter(sheet, 3, FractionSlot::Numerator);
    Enter(sheet, 4, FractionSlot::Denominator);
    auto answer = sheet.JudgeForDrillLog();
    EXPECT_EQ(answer.verdict, Verdict::Right);
    EXPECT_EQ(answer.row, row(" 11 / 4 =", " 2・3 / 4", " 2・3 / 4", " ○"));

    Set(sheet, 2, {1, 1, 0});  // 2 and 1/3 answered 7/3
    Enter(sheet, 7, FractionSlot::Numerator);
    Enter(sheet, 3, FractionSlot::Denominator);
    answer = sheet.JudgeForDrillLog();
    EXPECT_EQ(answer.verdict, Verdict::Right);
    EXPECT_EQ(answer.row, row(" 2・1 / 3 =", " 7 / 3", " 7 / 3", " ○"));

    Set(sheet, 1, {2, 1, 3});  // 12/4 answered with nothing, then with 3
    answer = sheet.JudgeForDrillLog();
    EXPECT_EQ(answer.verdict, Verdict::Wrong);
    EXPECT_EQ(answer.row, row(" 12 / 4 =", " 3", " 0 / 0", " ×"));
    Enter(sheet, 3, FractionSlot::Whole);
    answer = sheet.JudgeForDrillLog();
    EXPECT_EQ(answer.verdict, Verdict::Right);
    EXPECT_EQ(answer.row, row(" 12 / 4 =", " 3", " 3", " ○"));
}

TEST_F(SheetTest, NoChoicesWhileTheListsAreClosedAndNoRightAnswerWithoutAProblem) {
    FractionSheet sheet(Variant::Drill, ctx);
    ctx.state.menu_choice = 4;
    EXPECT_FALSE(sheet.GenerateProblem(4));
    EXPECT_TRUE(fakes.random.asked.empty());
    sheet.ChooseDigit(Place::Tens, 5);
    sheet.ChooseSlot(FractionSlot::Whole);
    bool judged = false;
    sheet.ApplyAction(Action::Finish, [&] { judged = true; });
    EXPECT_FALSE(judged);
    EXPECT_EQ(sheet.entry(), FractionEntry{});
    EXPECT_TRUE(fakes.cues.cues().empty());
    // The lists opened without a problem: entries work, judging stays wrong
    // even for "nothing entered" against the zeroed answer.
    sheet.ResetEntryLists();
    ctx.state.menu_choice = 1;
    sheet.ApplyAction(Action::Finish, [&] { judged = true; });
    EXPECT_TRUE(judged);
    EXPECT_EQ(sheet.JudgeDrillAnswer(), Verdict::Wrong);
    EXPECT_EQ(sheet.ProblemText(), "");
    // Digits that are no digit and actions the list does not have are ignored.
    sheet.ChooseDigit(Place::Tens, 10);
    sheet.ChooseDigit(Place::Ones, -1);
    sheet.ApplyAction(Action::Skip, [&] { judged = false; });
    EXPECT_EQ(sheet.entry().tens_digit, 0);
    EXPECT_EQ(sheet.entry().ones_digit, 0);
    EXPECT_TRUE(judged);
}

struct PracticeTest : SheetTest {
    FractionPractice practice{ctx};
    std::string Text(const std::string& role) const { return practice.worksheet().at(role).text; }
};

TEST_F(PracticeTest, ShowingChoosingAndNextDrawProblemsOfTheFamily) {
    ctx.state.menu_choice = 3;  // left by another screen
    practice.FormCreate();
    EXPECT_EQ(Text(kPromptRole), "メニューを選んでね！");
    EXPECT_EQ(ctx.state.menu_choice, 3);
    EXPECT_FALSE(practice.sheet().entry_lists_open());

    fakes.random.Feed({1, 3, 2});
    practice.ChooseMenu(1);
    EXPECT_EQ(ctx.state.menu_choice, 2);
    EXPECT_EQ(Text(kGivenNumerator), "3");
    EXPECT_EQ(Text(kPromptRole), FamilyPrompt(2));
    EXPECT_NE(Text(kPromptRole).find("「処理」"), std::string::npos);
    EXPECT_TRUE(practice.TakeListReset());

    fakes.random.Feed({2, 3, 0, 0});
    ctx.state.menu_choice = 3;
    practice.Next();
    EXPECT_EQ(Text(kNumerator), "□");
    EXPECT_NE(Text(kPromptRole).find("「分子」"), std::string::npos);
    EXPECT_EQ(fakes.cues.cues(), (std::vector<unsigned>{11, 11, 11}));
    EXPECT_EQ(fakes.random.randomize_calls, 2);
}

TEST_F(PracticeTest, NextWithoutAFractionFamilyLeavesTheSheetEmpty) {
    practice.FormCreate();
    for (int choice : {0, 4}) {
        ctx.state.menu_choice = choice;
        practice.Next();
        EXPECT_FALSE(practice.sheet().has_problem());
        EXPECT_FALSE(practice.sheet().entry_lists_open());
        EXPECT_EQ(Text(kGivenNumerator), "");
        EXPECT_EQ(Text(kPromptRole), kChooseMenuPrompt);
    }
    practice.ChooseMenu(3);  // no such item
    EXPECT_EQ(ctx.state.menu_choice, 4);
}

TEST_F(PracticeTest, FinishShowsTheMarkWithItsCueAndCanBeRepeated) {
    practice.FormCreate();
    fakes.random.Feed({1, 2});
    practice.ChooseMenu(0);  // 7/3
    fakes.cues.clear();
    auto enter = [&](int value, FractionSlot slot) {
        practice.ChooseDigit(Place::Tens, value / 10);
        practice.ChooseDigit(Place::Ones, value % 10);
        practice.ChooseSlot(slot);
    };
    enter(2, FractionSlot::Whole);
    enter(1, FractionSlot::Numerator);
    EXPECT_EQ(practice.ApplyAction(Action::Finish), Verdict::Wrong);  // no denominator yet
    EXPECT_EQ(Text(kMarkRole), "×");
    EXPECT_EQ(fakes.cues.cues().back(), 13u);
    enter(3, FractionSlot::Denominator);
    EXPECT_EQ(practice.ApplyAction(Action::Finish), Verdict::Right);
    EXPECT_EQ(Text(kMarkRole), "○");
    EXPECT_EQ(practice.worksheet().at(kMarkRole).colour, kRed);
    EXPECT_EQ(Text(kPromptRole), kGoOnPrompt);
    practice.ApplyAction(Action::Finish);
    EXPECT_EQ(practice.sheet().verdict(), Verdict::Right);
    const auto cues = fakes.cues.cues();
    EXPECT_EQ(std::vector<unsigned>(cues.end() - 2, cues.end()), (std::vector<unsigned>{14, 14}));
    EXPECT_TRUE(practice.sheet().entry_lists_open());
    // "次へ" takes the mark away with the old problem.
    fakes.random.Feed({0, 1});
    practice.Next();
    EXPECT_EQ(Text(kMarkRole), "");
    EXPECT_EQ(practice.sheet().verdict(), std::nullopt);
}

}  // namespace
}  // namespace sorelka::fractions
