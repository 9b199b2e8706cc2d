#include "fractions/fraction_sheet.h"

#include <gtest/gtest.h>

#include "fractions/fraction_practice.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

using testing::FakeServices;

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
    // Enters `value` with both digit lists and drops it with `action`.
    void Enter(FractionSheet& sheet, int value, Action action) {
        sheet.ChooseTens(value / 10);
        sheet.ChooseOnes(value % 10);
        sheet.ChooseAction(action, {});
    }
    static std::string Text(const FractionSheet& sheet, const char* name) {
        return sheet.worksheet().at(name).text;
    }
};

TEST_F(SheetTest, ShowsEachFamilyOnTheWorksheet) {
    FractionSheet sheet(Variant::Practice, ctx);
    struct Row {
        int family;
        std::vector<int> draws;
        std::vector<std::string> texts;  // Label4, 6, 5, 10, 7, 9, 8, 11
        bool answer_bar;
    } rows[] = {
        {1, {1, 2}, {"", "7", "3", "＝", "？", "", "", "帯分数か整数に直しなさい。"}, false},
        {2, {1, 3, 2}, {"2", "3", "5", "＝", "？", "", "", "仮分数に直しなさい。"}, false},
        {3, {2, 3, 0, 0}, {"3", "1", "4", "＝", "1", "□", "4", "□を求めなさい。"}, true},
    };
    const char* names[] = {"Label4", "Label6", "Label5", "Label10",
                           "Label7", "Label9", "Label8", "Label11"};
    for (const Row& row : rows) {
        Set(sheet, row.family, row.draws);
        for (size_t i = 0; i < row.texts.size(); ++i)
            EXPECT_EQ(Text(sheet, names[i]), row.texts[i]) << "family " << row.family << " "
                                                            << names[i];
        EXPECT_TRUE(sheet.worksheet().at("Shape1").visible);
        EXPECT_EQ(sheet.worksheet().at("Shape2").visible, row.answer_bar);
        EXPECT_TRUE(sheet.entry_lists_open());
    }
}

TEST_F(SheetTest, DrillWorksheetStandsFurtherRightAndMovesTheTaskLine) {
    FractionSheet practice(Variant::Practice, ctx);
    FractionSheet drill(Variant::Drill, ctx);
    for (const char* name : {"Label4", "Label6", "Shape1", "Label5", "Label10", "Label7",
                             "Label9", "Shape2", "Label8"}) {
        const Cell& p = practice.worksheet().at(name);
        const Cell& d = drill.worksheet().at(name);
        EXPECT_EQ(d.left, p.left + kDrillShift) << name;
        EXPECT_EQ(d.top, p.top) << name;
    }
    EXPECT_EQ(practice.worksheet().at("Label6").left, 224);
    EXPECT_EQ(practice.worksheet().at("Label8").top, 256);
    EXPECT_EQ(practice.worksheet().at("Shape2").width, 58);
    EXPECT_EQ(practice.worksheet().at("Shape2").height, 2);
    EXPECT_EQ(practice.worksheet().at("Label11").left, 104);
    EXPECT_EQ(practice.worksheet().at("Label11").top, 130);

    // The drill's Label11 is shared with the score line: the drill sheet
    // gives its task line as text and leaves the label to the drill screen.
    EXPECT_FALSE(drill.worksheet().has("Label11"));
    EXPECT_FALSE(drill.worksheet().has("Label3"));
    EXPECT_FALSE(drill.worksheet().has("Label2"));
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
        Enter(*sheet, 23, kEnterDenominator);
        sheet->ClearWorksheet();
        EXPECT_EQ(sheet->entry(), FractionEntry{});
        EXPECT_FALSE(sheet->has_problem());
        EXPECT_FALSE(sheet->entry_lists_open());
        EXPECT_FALSE(sheet->worksheet().at("Shape1").visible);
        EXPECT_FALSE(sheet->worksheet().at("Shape2").visible);
        for (const auto& [name, cell] : sheet->worksheet()) {
            if (name != "Label2") {
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
    Enter(drill, 9, kEnterNumerator);
    drill.ClearWorksheetNumbers();
    for (const auto& [name, cell] : drill.worksheet()) EXPECT_EQ(cell.text, "") << name;
    EXPECT_FALSE(drill.worksheet().at("Shape1").visible);
    EXPECT_FALSE(drill.worksheet().at("Shape2").visible);
    EXPECT_TRUE(drill.entry_lists_open());
    EXPECT_EQ(drill.task_line(), "□を求めなさい。");
    drill.HideEntryLists();
    EXPECT_FALSE(drill.entry_lists_open());
}

TEST_F(SheetTest, DigitsBuildTheValueThatAnActionDropsIntoItsSlot) {
    FractionSheet sheet(Variant::Practice, ctx);
    Set(sheet, 1, {1, 2});
    sheet.ChooseTens(1);
    EXPECT_EQ(sheet.TakePrompt(), kDigitChosenPrompt);
    EXPECT_EQ(sheet.TakePrompt(), std::nullopt);
    EXPECT_EQ(Text(sheet, "Label9"), "");  // a digit alone writes nothing
    sheet.ChooseOnes(2);
    EXPECT_FALSE(sheet.TakeListReset());
    sheet.ChooseAction(kEnterNumerator, {});
    EXPECT_EQ(Text(sheet, "Label9"), "12");
    EXPECT_EQ(sheet.worksheet().at("Label9").colour, kBlue);
    EXPECT_TRUE(sheet.TakeListReset());
    EXPECT_FALSE(sheet.TakeListReset());
    // The tens digit stays: only the ones digit 7 gives 17.
    sheet.ChooseOnes(7);
    sheet.ChooseAction(kEnterNumerator, {});
    EXPECT_EQ(sheet.entry().entered_numerator, 17);
    EXPECT_EQ(Text(sheet, "Label9"), "17");
    // The numerator came with the answer's bar; the whole part replaces "？".
    EXPECT_TRUE(sheet.worksheet().at("Shape2").visible);
    Enter(sheet, 3, kEnterDenominator);
    Enter(sheet, 2, kEnterWhole);
    EXPECT_EQ(Text(sheet, "Label7"), "2");
    EXPECT_EQ(sheet.entry().entered_whole, 2);
    EXPECT_EQ(sheet.entry().entered_denominator, 3);
    // Every digit and every slot action plays cue 11; the dot is silent.
    EXPECT_EQ(fakes.cues.cues(), std::vector<unsigned>(11, 11));
    const FractionEntry before = sheet.entry();
    const Worksheet sheet_before = sheet.worksheet();
    sheet.ChooseAction(kSeparator, {});
    EXPECT_EQ(sheet.entry().entered_value, 2);
    EXPECT_EQ(sheet.entry().entered_whole, before.entered_whole);
    EXPECT_EQ(sheet.worksheet(), sheet_before);
    EXPECT_TRUE(sheet.TakeListReset());
    EXPECT_EQ(fakes.cues.cues().size(), 11u);
}

TEST_F(SheetTest, MixedToImproperNeverKeepsAWholePart) {
    FractionSheet sheet(Variant::Practice, ctx);
    Set(sheet, 2, {1, 3, 2});  // 2 and 3/5
    sheet.ChooseAction(kSeparator, {});
    EXPECT_EQ(Text(sheet, "Label7"), "");  // the "？" goes with any first action
    Enter(sheet, 4, kEnterWhole);
    EXPECT_EQ(Text(sheet, "Label7"), "");
    EXPECT_EQ(sheet.entry().entered_whole, 0);
    Enter(sheet, 5, kEnterDenominator);
    Enter(sheet, 13, kEnterNumerator);
    EXPECT_TRUE(sheet.JudgePracticeAnswer());
    EXPECT_TRUE(sheet.JudgeDrillAnswer());
}

TEST_F(SheetTest, FindTheBoxIsJudgedOnTheNumeratorAlone) {
    FractionSheet sheet(Variant::Drill, ctx);
    Set(sheet, 3, {2, 3, 0, 0});  // 3 and 1/4 = 1 and □/4
    Enter(sheet, 9, kEnterNumerator);
    EXPECT_TRUE(sheet.JudgeDrillAnswer());
    EXPECT_EQ(sheet.ProblemText(), "3・1 / 4 =");
    EXPECT_EQ(sheet.RightAnswerText(), "1・9 / 4");
    EXPECT_EQ(sheet.EnteredAnswerText(), "9 / 0");
    Enter(sheet, 6, kEnterWhole);  // replaces the W shown
    Enter(sheet, 2, kEnterDenominator);
    EXPECT_EQ(Text(sheet, "Label7"), "6");
    EXPECT_EQ(Text(sheet, "Label8"), "2");
    EXPECT_TRUE(sheet.JudgeDrillAnswer());
    EXPECT_TRUE(sheet.JudgePracticeAnswer());
}

TEST_F(SheetTest, DrillImproperToWholeNumberAndItsTexts) {
    FractionSheet sheet(Variant::Drill, ctx);
    Set(sheet, 1, {2, 1, 3});  // 12/4
    EXPECT_EQ(sheet.EnteredAnswerText(), "0 / 0");
    EXPECT_FALSE(sheet.JudgeDrillAnswer());
    Enter(sheet, 0, kEnterWhole);  // 0 is nothing entered
    EXPECT_FALSE(sheet.JudgeDrillAnswer());
    Enter(sheet, 3, kEnterWhole);
    EXPECT_TRUE(sheet.JudgeDrillAnswer());
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
    Enter(sheet, 2, kEnterWhole);
    Enter(sheet, 3, kEnterNumerator);
    Enter(sheet, 4, kEnterDenominator);
    auto answer = sheet.JudgeForDrillLog();
    EXPECT_TRUE(answer.right);
    EXPECT_EQ(answer.row, row(" 11 / 4 =", " 2・3 / 4", " 2・3 / 4", " ○"));

    Set(sheet, 2, {1, 1, 0});  // 2 and 1/3 answered 7/3
    Enter(sheet, 7, kEnterNumerator);
    Enter(sheet, 3, kEnterDenominator);
    answer = sheet.JudgeForDrillLog();
    EXPECT_TRUE(answer.right);
    EXPECT_EQ(answer.row, row(" 2・1 / 3 =", " 7 / 3", " 7 / 3", " ○"));

    Set(sheet, 1, {2, 1, 3});  // 12/4 answered with nothing, then with 3
    answer = sheet.JudgeForDrillLog();
    EXPECT_FALSE(answer.right);
    EXPECT_EQ(answer.row, row(" 12 / 4 =", " 3", " 0 / 0", " ×"));
    Enter(sheet, 3, kEnterWhole);
    answer = sheet.JudgeForDrillLog();
    EXPECT_TRUE(answer.right);
    EXPECT_EQ(answer.row, row(" 12 / 4 =", " 3", " 3", " ○"));
}

TEST_F(SheetTest, NoChoicesWhileTheListsAreClosedAndNoRightAnswerWithoutAProblem) {
    FractionSheet sheet(Variant::Drill, ctx);
    ctx.state.menu_choice = 4;
    EXPECT_FALSE(sheet.GenerateProblem(4));
    EXPECT_TRUE(fakes.random.asked.empty());
    sheet.ChooseTens(5);
    sheet.ChooseAction(kEnterWhole, {});
    bool judged = false;
    sheet.ChooseAction(kFinish, [&] { judged = true; });
    EXPECT_FALSE(judged);
    EXPECT_EQ(sheet.entry(), FractionEntry{});
    EXPECT_TRUE(fakes.cues.cues().empty());
    // The lists opened without a problem: entries work, judging stays wrong
    // even for "nothing entered" against the zeroed answer.
    sheet.ResetEntryLists();
    ctx.state.menu_choice = 1;
    sheet.ChooseAction(kFinish, [&] { judged = true; });
    EXPECT_TRUE(judged);
    EXPECT_FALSE(sheet.JudgeDrillAnswer());
    EXPECT_EQ(sheet.ProblemText(), "");
    // Positions that are no item are ignored.
    sheet.ChooseTens(10);
    sheet.ChooseOnes(-1);
    sheet.ChooseAction(5, {});
    EXPECT_EQ(sheet.entry().tens_digit, 0);
    EXPECT_EQ(sheet.entry().ones_digit, 0);
}

struct PracticeTest : SheetTest {
    FractionPractice practice{ctx};
    std::string Text(const char* name) const { return practice.worksheet().at(name).text; }
};

TEST_F(PracticeTest, ShowingChoosingAndNextDrawProblemsOfTheFamily) {
    ctx.state.menu_choice = 3;  // left by another screen
    practice.FormCreate();
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(ctx.state.menu_choice, 3);
    EXPECT_FALSE(practice.sheet().entry_lists_open());

    fakes.random.Feed({1, 3, 2});
    practice.ChooseMenu(1);
    EXPECT_EQ(ctx.state.menu_choice, 2);
    EXPECT_EQ(Text("Label6"), "3");
    EXPECT_EQ(Text("Label2"), FamilyPrompt(2));
    EXPECT_NE(Text("Label2").find("「処理」"), std::string::npos);
    EXPECT_TRUE(practice.TakeListReset());

    fakes.random.Feed({2, 3, 0, 0});
    ctx.state.menu_choice = 3;
    practice.Next();
    EXPECT_EQ(Text("Label9"), "□");
    EXPECT_NE(Text("Label2").find("「分子」"), std::string::npos);
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
        EXPECT_EQ(Text("Label6"), "");
        EXPECT_EQ(Text("Label2"), kChooseMenuPrompt);
    }
    practice.ChooseMenu(3);  // no such item
    EXPECT_EQ(ctx.state.menu_choice, 4);
}

TEST_F(PracticeTest, FinishShowsTheMarkWithItsCueAndCanBeRepeated) {
    practice.FormCreate();
    fakes.random.Feed({1, 2});
    practice.ChooseMenu(0);  // 7/3
    fakes.cues.clear();
    auto enter = [&](int value, Action action) {
        practice.ChooseTens(value / 10);
        practice.ChooseOnes(value % 10);
        practice.ChooseAction(action);
    };
    enter(2, kEnterWhole);
    enter(1, kEnterNumerator);
    practice.ChooseAction(kFinish);
    EXPECT_EQ(Text("Label3"), "×");  // no denominator yet
    EXPECT_EQ(fakes.cues.cues().back(), 13u);
    enter(3, kEnterDenominator);
    practice.ChooseAction(kFinish);
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(practice.worksheet().at("Label3").colour, kRed);
    EXPECT_EQ(Text("Label2"), kGoOnPrompt);
    practice.ChooseAction(kFinish);
    EXPECT_EQ(Text("Label3"), "○");
    const auto cues = fakes.cues.cues();
    EXPECT_EQ(std::vector<unsigned>(cues.end() - 2, cues.end()), (std::vector<unsigned>{14, 14}));
    EXPECT_TRUE(practice.sheet().entry_lists_open());
    // "次へ" takes the mark away with the old problem.
    fakes.random.Feed({0, 1});
    practice.Next();
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label6"), "3");
}

}  // namespace
}  // namespace sorelka::fractions
