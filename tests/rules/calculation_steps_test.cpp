#include "rules/calculation_steps.h"

#include <gtest/gtest.h>

#include "rules/rules_bugs.h"
#include "support/fakes.h"

namespace sorelka::rules {
namespace {

using testing::FakeCuePlayer;
using testing::FakeDialogs;
using Texts = std::vector<std::string>;

// Records what the worksheet asks of its screen.
struct RecordingHooks : StepHooks {
    const CalculationSteps* steps = nullptr;
    Texts step_prompts;  // "kind/op/row" at each ShowStepPrompt
    std::vector<int> judged;
    std::string prompt_line;
    int list_resets = 0;
    bool operation_list = false;

    void ShowStepPrompt(int kind) override {
        const StepState& s = steps->state();
        step_prompts.push_back(std::to_string(kind) + "/" + std::to_string(s.current_op) + "/" +
                               std::to_string(s.entry_row));
    }
    void JudgeAnswer() override { judged.push_back(steps->state().second_result); }
    void ShowPrompt(const std::string& text) override { prompt_line = text; }
    void ShowEntryLists(bool with_operation_list) override {
        ++list_resets;
        operation_list = with_operation_list;
    }
};

ExpressionProblem Expression(int menu, int kind, int a, int b, int c, int d = 0) {
    ExpressionProblem p;
    p.menu = menu;
    p.kind_code = kind;
    p.operand_a = a;
    p.operand_b = b;
    p.operand_c = c;
    p.operand_d = d;
    p.expected_answer = Evaluate(kind, a, b, c, d);
    return p;
}

ExpressionProblem Box(int family, int a, int b, int answer) {
    ExpressionProblem p;
    p.menu = kBoxMenu;
    p.family_number = family;
    p.kind_code = 26;  // left over from an earlier problem
    p.operand_a = a;
    p.operand_b = b;
    p.top_operand = b;
    p.bottom_operand = a;
    p.expected_answer = answer;
    return p;
}

struct RulesStepsTest : ::testing::Test {
    FakeDialogs dialogs;
    FakeCuePlayer cues;
    RecordingHooks hooks;
    CalculationSteps steps{dialogs, cues, hooks};

    RulesStepsTest() { hooks.steps = &steps; }

    void Start(const ExpressionProblem& p) {
        steps.ClearColumnArea();
        steps.StartProblem(p);
        steps.ResetEntryLists();
    }
    // Chooses the digits of `value` from its highest place down, as a pupil does.
    void Enter(int value) { EnterNumber(steps, value); }
    void Confirm() { steps.ApplyAction(Action::Confirm); }
    void Finish() { steps.ApplyAction(Action::Finish); }
    void Undo(Answer answer) {
        dialogs.answers.push_back(answer);
        steps.ApplyAction(Action::Clear);
    }
    const Cell& cell(const std::string& name) { return steps.worksheet().at(name); }
    std::string text(const std::string& name) { return cell(name).text; }
    bool shown(const std::string& name) { return cell(name).visible; }
    // Works a long division of a two-digit quotient row by row.
    void Divide(int quotient_tens, int product1, int difference1, int quotient_ones, int product2,
                int difference2) {
        steps.ChooseDigit(Place::Tens, quotient_tens);
        Confirm();
        Enter(product1);
        Confirm();
        Enter(difference1);
        Confirm();
        steps.ChooseDigit(Place::Ones, quotient_ones);
        Confirm();
        Enter(product2);
        Confirm();
        Enter(difference2);
    }
};

TEST_F(RulesStepsTest, ParenthesesOnTheRightAreAddedFirstThenSubtracted) {
    Start(Expression(1, 26, 735, 123, 456));  // 735 - ( 123 + 456 )
    EXPECT_EQ(text("add top"), "123");
    EXPECT_EQ(text("add bottom"), "456");
    EXPECT_EQ(text("add sign"), "＋");
    EXPECT_TRUE(shown("add line"));
    EXPECT_EQ(hooks.step_prompts, (Texts{"1/1/0"}));

    Enter(579);
    EXPECT_EQ(text("add result"), "579");
    EXPECT_EQ(cell("add result").colour, kBlue);
    EXPECT_EQ(hooks.step_prompts.back(), "2/1/1");

    // "確定" belongs to multiplication and division only.
    Confirm();
    EXPECT_EQ(dialogs.texts(), (Texts{"たし算やひき算では「終わり」を選んでね！"}));
    EXPECT_EQ(cell("add result").colour, kBlue) << "a refusal changes nothing";

    Finish();
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(steps.state().first_result, 579);
    EXPECT_EQ(text("add top"), "735");
    EXPECT_EQ(text("add bottom"), "579");
    EXPECT_EQ(text("add sign"), "-");
    EXPECT_EQ(text("add result"), "");
    EXPECT_EQ(hooks.step_prompts.back(), "1/2/1");

    Enter(156);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{156}));
    EXPECT_EQ(cell("add result").colour, kNavy);
    EXPECT_EQ(cues.cues(), std::vector<unsigned>(7, 11u)) << "a cue per digit and per step";
}

TEST_F(RulesStepsTest, AWrongIntermediateResultIsCarriedIntoTheNextCalculation) {
    Start(Expression(1, 36, 34, 23, 14));  // 34 x ( 23 + 14 )
    Enter(38);
    Finish();
    EXPECT_EQ(text("mul top"), "34");
    EXPECT_EQ(text("mul bottom"), "38");
    EXPECT_EQ(text("mul sign"), "ｘ");
    EXPECT_TRUE(shown("mul line"));
    EXPECT_TRUE(shown("mul marker"));
    EXPECT_EQ(cell("mul marker").row, 1);
    EXPECT_FALSE(shown("add line")) << "the addition area is cleared";
    EXPECT_EQ(text("add top"), "");
}

TEST_F(RulesStepsTest, MultiplicationRowsAreConfirmedOneByOne) {
    Start(Expression(1, 36, 34, 23, 14));
    Enter(37);
    Finish();
    Enter(238);
    EXPECT_EQ(text("mul row 1"), "238");
    EXPECT_EQ(cell("mul row 1").colour, kBlue);
    EXPECT_EQ(hooks.step_prompts.back(), "2/3/1");
    Confirm();
    EXPECT_EQ(cell("mul row 1").colour, kNavy);
    EXPECT_EQ(cell("mul marker").row, 2);
    EXPECT_EQ(hooks.step_prompts.back(), "1/3/2");

    Enter(102);
    EXPECT_EQ(text("mul row 2"), "102");
    Finish();  // the second row must be confirmed first
    EXPECT_EQ(dialogs.texts(), (Texts{"「確定」を選んでね！"}));
    EXPECT_EQ(steps.state().phase, 2);
    Confirm();
    EXPECT_TRUE(shown("mul sum line"));
    EXPECT_EQ(cell("mul marker").row, 3);

    Enter(1258);
    EXPECT_EQ(text("mul row 3"), "1258");
    Confirm();  // the third row confirmed, then finished: read from row 3
    EXPECT_EQ(steps.state().entry_row, 4);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{1258}));
}

TEST_F(RulesStepsTest, TheLongerFactorGoesOnTop) {
    Start(Expression(1, 73, 583, 271, 21));  // (583 - 271 ) x 21
    Enter(312);
    Finish();
    EXPECT_EQ(text("mul top"), "312");
    EXPECT_EQ(text("mul bottom"), "21");

    Start(Expression(1, 37, 56, 142, 78));  // 56 x ( 142 - 78 ): 56 over 64, in order
    Enter(64);
    Finish();
    EXPECT_EQ(text("mul top"), "56");
    EXPECT_EQ(text("mul bottom"), "64");

    Start(Expression(2, 13, 125, 3, 45));  // 125 + 3 x 45: 45 goes on top of 3
    EXPECT_EQ(text("mul top"), "45");
    EXPECT_EQ(text("mul bottom"), "3");
}

TEST_F(RulesStepsTest, DivisionAfterAnAdditionWorksThePupilsSum) {
    Start(Expression(1, 64, 402, 46, 14));  // (402 + 46 ) ÷ 14
    Enter(448);
    Finish();
    EXPECT_EQ(text("dividend"), "448");
    EXPECT_EQ(text("divisor"), "14");
    EXPECT_TRUE(shown("bracket"));
    EXPECT_TRUE(shown("div line 0"));
    EXPECT_TRUE(shown("div marker"));
    EXPECT_EQ(cell("div marker").row, 0);
    // The second calculation of a three-number problem is asked for at row 1.
    EXPECT_EQ(hooks.step_prompts.back(), "1/4/1");

    steps.ChooseDigit(Place::Tens, 3);  // 3 chosen in "十": over the tens place
    EXPECT_EQ(text("quotient"), "3");
    EXPECT_EQ(cell("quotient").column, 1);
    EXPECT_EQ(steps.state().quotient_place, 2);
    Confirm();
    EXPECT_EQ(cell("div marker").row, 1);
    Enter(42);
    EXPECT_EQ(cell("div row 1").column, 1) << "under the tens";
    EXPECT_TRUE(shown("div line 1"));
    Confirm();
    EXPECT_EQ(cell("div row 1").colour, kNavy);
    EXPECT_EQ(cell("div marker").row, 2);
    Enter(28);
    Confirm();
    EXPECT_EQ(cell("div marker").row, 0);
    EXPECT_EQ(hooks.step_prompts.back(), "1/4/4");
    steps.ChooseDigit(Place::Ones, 2);  // the second quotient digit, chosen in "一"
    EXPECT_EQ(text("quotient"), "32");
    EXPECT_EQ(cell("quotient").column, 1);
    Confirm();
    EXPECT_EQ(cell("div marker").row, 3);
    Enter(28);
    EXPECT_TRUE(shown("div line 2"));
    Confirm();
    EXPECT_EQ(cell("div marker").row, 4);
    Enter(0);
    EXPECT_EQ(text("div row 4"), "0");
    EXPECT_EQ(hooks.step_prompts.back(), "2/4/6");
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{32}));
}

TEST_F(RulesStepsTest, DivisionFirstThenMultiplicationLeftToRight) {
    Start(Expression(3, 93, 168, 12, 25));  // 168 ÷ 12 x 25
    EXPECT_EQ(text("dividend"), "168");
    EXPECT_EQ(text("divisor"), "12");
    EXPECT_EQ(hooks.step_prompts, (Texts{"1/4/0"})) << "a first division asks at row 0";
    Divide(1, 12, 48, 4, 48, 0);
    Finish();
    EXPECT_EQ(steps.state().first_result, 14);
    EXPECT_EQ(text("mul top"), "14");
    EXPECT_EQ(text("mul bottom"), "25");
    EXPECT_FALSE(shown("div marker"));
    Enter(70);
    Confirm();
    Enter(28);
    Confirm();
    Enter(350);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{350}));
}

TEST_F(RulesStepsTest, OneDigitQuotientStandsOverTheOnes) {
    Start(Expression(1, 74, 452, 128, 36));  // (452 - 128 ) ÷ 36 = 9
    Enter(324);
    Finish();
    steps.ChooseDigit(Place::Ones, 9);
    EXPECT_EQ(cell("quotient").column, 0);
    EXPECT_EQ(steps.state().quotient_place, 1);
    Confirm();
    Enter(324);
    EXPECT_EQ(cell("div row 1").column, 0) << "under the ones";
    Confirm();
    Enter(0);
    EXPECT_EQ(hooks.step_prompts.back(), "2/4/3");
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{9}));
}

TEST_F(RulesStepsTest, FourNumbersKeepTheFirstResultPendingInTheAdditionArea) {
    Start(Expression(2, 313, 12, 5, 7, 28));  // 12 x 5 + 7 x 28
    EXPECT_EQ(text("mul top"), "12");
    EXPECT_EQ(text("mul bottom"), "5");
    Enter(60);
    Finish();  // a one-digit factor: finished after row 1
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(text("add top"), "60");
    EXPECT_EQ(text("add sign"), "+");
    EXPECT_TRUE(shown("add line"));
    EXPECT_EQ(text("add bottom"), "");
    EXPECT_EQ(text("mul top"), "28") << "7 x 28 is written 28 over 7";
    EXPECT_EQ(text("mul bottom"), "7");
    EXPECT_EQ(hooks.step_prompts.back(), "1/3/0");
    EXPECT_EQ(steps.state().entry_row, 1);

    Enter(196);
    Finish();
    EXPECT_EQ(steps.state().phase, 3);
    EXPECT_EQ(text("add top"), "60");
    EXPECT_EQ(text("add bottom"), "196");
    EXPECT_EQ(text("add sign"), "+");
    EXPECT_FALSE(shown("mul marker"));
    EXPECT_EQ(text("mul top"), "");
    Enter(256);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{256}));
}

TEST_F(RulesStepsTest, TwoDivisionsJoinedByASubtraction) {
    Start(Expression(2, 424, 384, 16, 252, 42));  // 384 ÷ 16 - 252 ÷ 42
    Divide(2, 32, 64, 4, 64, 0);
    Finish();
    EXPECT_EQ(text("add sign"), "-");
    EXPECT_EQ(text("dividend"), "252");
    EXPECT_EQ(text("quotient"), "");
    steps.ChooseDigit(Place::Ones, 6);
    Confirm();
    Enter(252);
    Confirm();
    Enter(0);
    Finish();
    EXPECT_EQ(text("add top"), "24");
    EXPECT_EQ(text("add bottom"), "6");
    Enter(18);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{18}));
}

TEST_F(RulesStepsTest, UndoYesRestartsTheCalculationInProgress) {
    Start(Expression(2, 414, 828, 36, 768, 24));  // 828 ÷ 36 + 768 ÷ 24
    Divide(2, 72, 108, 3, 108, 0);
    Finish();
    steps.ChooseDigit(Place::Tens, 3);
    Confirm();
    Undo(Answer::Yes);
    EXPECT_EQ(dialogs.texts().back(),
              "実行中の計算を戻すには「はい」、最初の計算に戻すには「いいえ」を選んでね！");
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(text("add top"), "23") << "the pending first result stays";
    EXPECT_EQ(text("add sign"), "+");
    EXPECT_TRUE(shown("add line"));
    EXPECT_EQ(text("dividend"), "768");
    EXPECT_EQ(text("quotient"), "");
    EXPECT_EQ(text("div row 1"), "");
    EXPECT_EQ(cell("div marker").row, 0);
    EXPECT_EQ(hooks.step_prompts.back(), "1/4/0");
    EXPECT_EQ(steps.state().entry_row, 1);

    steps.ChooseDigit(Place::Tens, 3);
    Confirm();
    Enter(72);
    Confirm();
    Enter(48);
    Confirm();
    steps.ChooseDigit(Place::Ones, 2);
    Confirm();
    Enter(48);
    Confirm();
    Enter(0);
    Finish();
    Enter(50);  // phase 3: a wrong sum, then undone
    Undo(Answer::Yes);
    EXPECT_EQ(steps.state().phase, 3);
    EXPECT_EQ(text("add top"), "23");
    EXPECT_EQ(text("add bottom"), "32");
    EXPECT_EQ(text("add sign"), "+");
    EXPECT_EQ(text("add result"), "");
    Enter(55);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{55}));
}

TEST_F(RulesStepsTest, UndoInTheFirstAndSecondPhaseOfAThreeNumberProblem) {
    Start(Expression(3, 93, 168, 12, 25));  // phase 1: the division restarts
    steps.ChooseDigit(Place::Tens, 1);
    Confirm();
    Enter(12);
    Undo(Answer::Yes);
    EXPECT_EQ(steps.state().phase, 1);
    EXPECT_EQ(text("dividend"), "168");
    EXPECT_EQ(text("quotient"), "");
    EXPECT_EQ(text("div row 1"), "");
    EXPECT_FALSE(shown("div line 1"));
    EXPECT_EQ(hooks.step_prompts.back(), "1/4/0");
    Undo(Answer::No);
    EXPECT_EQ(steps.state().phase, 1);
    EXPECT_EQ(text("dividend"), "168");
    EXPECT_EQ(steps.state().entry_row, 1);

    Start(Expression(1, 36, 34, 23, 14));
    Enter(37);
    Finish();
    Enter(238);
    Confirm();
    Undo(Answer::Yes);
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(text("mul top"), "34");
    EXPECT_EQ(text("mul bottom"), "37");
    EXPECT_EQ(text("mul row 1"), "");
    EXPECT_EQ(cell("mul marker").row, 1);
    EXPECT_EQ(steps.state().entry_row, 1);

    // Menu 2, second calculation an addition: the old sum is gone too.
    Start(Expression(2, 14, 34, 115, 23));  // 34 + 115 ÷ 23
    steps.ChooseDigit(Place::Ones, 5);
    Finish();
    Enter(40);
    Undo(Answer::Yes);
    EXPECT_EQ(text("add top"), "34");
    EXPECT_EQ(text("add bottom"), "5");
    EXPECT_EQ(text("add result"), "");
}

TEST_F(RulesStepsTest, UndoNoGoesBackToTheFirstCalculationFromAnyPhase) {
    Start(Expression(2, 313, 12, 5, 7, 28));
    Enter(60);
    Finish();
    Enter(196);
    Finish();  // phase 3
    Undo(Answer::No);
    EXPECT_EQ(steps.state().phase, 1);
    EXPECT_EQ(steps.state().current_op, kMultiply);
    EXPECT_EQ(text("mul top"), "12");
    EXPECT_EQ(text("mul bottom"), "5");
    EXPECT_EQ(text("add top"), "");
    EXPECT_FALSE(shown("add line"));
    EXPECT_EQ(hooks.step_prompts.back(), "1/3/0");
    EXPECT_EQ(steps.state().entry_row, 1);

    // The whole problem is worked again.
    Enter(60);
    Finish();
    Enter(196);
    Finish();
    Enter(256);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{256}));

    Start(Expression(1, 64, 402, 46, 14));
    Enter(448);
    Finish();
    Undo(Answer::No);  // from phase 2
    EXPECT_EQ(text("add top"), "402");
    EXPECT_EQ(text("dividend"), "");
    EXPECT_FALSE(shown("bracket"));
}

TEST_F(RulesStepsTest, ClosingTheUndoQuestionChangesNothing) {
    Start(Expression(1, 26, 735, 123, 456));
    Enter(579);
    const Worksheet before = steps.worksheet();
    cues.clear();
    Undo(Answer::Closed);
    EXPECT_EQ(steps.worksheet(), before);
    EXPECT_TRUE(cues.calls.empty());
}

TEST_F(RulesStepsTest, FinishWithAnEmptyResultAsksForTheAnswer) {
    Start(Expression(1, 26, 735, 123, 456));
    cues.clear();
    Finish();
    EXPECT_EQ(dialogs.texts(), (Texts{"答えを選んでね！"}));
    EXPECT_EQ(steps.state().phase, 1);
    EXPECT_TRUE(cues.calls.empty());

    Start(Expression(3, 93, 168, 12, 25));
    Finish();  // no quotient yet
    EXPECT_EQ(dialogs.texts().back(), "答えを選んでね！");
    EXPECT_EQ(steps.state().phase, 1);
}

TEST_F(RulesStepsTest, SpacersOnlyTurnTheSumNavy) {
    Start(Expression(1, 26, 735, 123, 456));
    Enter(579);
    cues.clear();
    steps.ChooseSeparator();
    EXPECT_EQ(cell("add result").colour, kNavy);
    EXPECT_EQ(text("add result"), "579");
    steps.ChooseSeparator();
    EXPECT_TRUE(cues.calls.empty());
    EXPECT_EQ(steps.state().phase, 1);
}

TEST_F(RulesStepsTest, FinishingAgainAfterTheVerdictJudgesAgain) {
    Start(Expression(1, 26, 735, 123, 456));
    Enter(579);
    Finish();
    Enter(155);
    Finish();
    Enter(156);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{155, 156}));
}

struct RulesBoxStepsTest : RulesStepsTest {};

TEST_F(RulesBoxStepsTest, WaitsForTheCalculationAndRefusesRowsBeforeIt) {
    Start(Box(3, 7, 84, 12));  // □ x 7 = 84
    EXPECT_EQ(hooks.prompt_line, "□を求める計算を選んでね！");
    EXPECT_TRUE(hooks.operation_list);
    EXPECT_EQ(steps.state().phase, 1);
    hooks.prompt_line.clear();
    cues.clear();
    Confirm();
    EXPECT_EQ(hooks.prompt_line, "□を求める計算を選んでね！");
    hooks.prompt_line.clear();
    Finish();
    EXPECT_EQ(hooks.prompt_line, "□を求める計算を選んでね！");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(cues.calls.empty());
    EXPECT_TRUE(hooks.judged.empty());
}

TEST_F(RulesBoxStepsTest, DivisionFindsTheBoxOfAMultiplication) {
    Start(Box(3, 7, 84, 12));
    steps.ChooseOperation(kDivide);  // " ÷"
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(text("dividend"), "84");
    EXPECT_EQ(text("divisor"), "7");
    EXPECT_EQ(hooks.step_prompts.back(), "1/4/1");
    EXPECT_EQ(cues.cues().back(), 11u);
    Divide(1, 7, 14, 2, 14, 0);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{12}));
}

TEST_F(RulesBoxStepsTest, AWrongChoiceGivesAWrongNumberAndAnotherChoiceAddsItsArea) {
    Start(Box(3, 7, 84, 12));
    steps.ChooseOperation(kMultiply);  // " ×": 84 x 7
    EXPECT_EQ(text("mul top"), "84");
    EXPECT_EQ(text("mul bottom"), "7");
    Enter(588);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{588}));

    steps.ChooseOperation(kDivide);  // the earlier area is not cleared
    EXPECT_EQ(text("mul top"), "84");
    EXPECT_EQ(text("dividend"), "84");
}

TEST_F(RulesBoxStepsTest, EachFamilyIsSolvedByItsInverseCalculation) {
    Start(Box(1, 23, 58, 35));  // □ + 23 = 58: 58 - 23
    steps.ChooseOperation(kSubtract);
    EXPECT_EQ(text("add top"), "58");
    EXPECT_EQ(text("add bottom"), "23");
    EXPECT_EQ(text("add sign"), "-");
    Enter(35);
    Finish();

    Start(Box(2, 124, 57, 181));  // □ - 124 = 57: 57 + 124
    steps.ChooseOperation(kAdd);
    EXPECT_EQ(text("add sign"), "＋");
    Enter(181);
    Finish();

    Start(Box(4, 23, 14, 322));  // □ ÷ 23 = 14: 14 x 23
    steps.ChooseOperation(kMultiply);
    EXPECT_EQ(text("mul top"), "14");
    EXPECT_EQ(text("mul bottom"), "23");
    Enter(42);
    Confirm();
    Enter(28);
    Confirm();
    Enter(322);
    Finish();
    EXPECT_EQ(hooks.judged, (std::vector<int>{35, 181, 322}));
}

TEST_F(RulesBoxStepsTest, UndoNoWaitsForTheChoiceAgainWithTheBoxNumbersRestored) {
    Start(Box(4, 123, 45, 5535));  // □ ÷ 123 = 45
    steps.ChooseOperation(kMultiply);      // 123 goes on top of 45
    EXPECT_EQ(text("mul top"), "123");
    Undo(Answer::No);
    EXPECT_EQ(steps.state().phase, 1);
    EXPECT_EQ(hooks.prompt_line, "□を求める計算を選んでね！");
    EXPECT_EQ(text("mul top"), "");
    Finish();
    EXPECT_TRUE(hooks.judged.empty());
    steps.ChooseOperation(kDivide);
    EXPECT_EQ(text("dividend"), "45");
    EXPECT_EQ(text("divisor"), "123");

    Undo(Answer::Yes);  // restarts the chosen calculation
    EXPECT_EQ(steps.state().phase, 2);
    EXPECT_EQ(text("dividend"), "45");
}

TEST_F(RulesStepsTest, WithoutAProblemTheListsOnlyAskForTheMenu) {
    steps.DropProblem();
    steps.ChooseDigit(Place::Ones, 5);
    Confirm();
    EXPECT_EQ(hooks.prompt_line, "メニューを選んでね！");
    Finish();
    Undo(Answer::Yes);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(hooks.judged.empty());
    steps.ChooseOperation(kSubtract);
    EXPECT_EQ(steps.state().current_op, 0);
    for (const auto& [name, c] : steps.worksheet()) EXPECT_EQ(c.text, "") << name;
}

}  // namespace
}  // namespace sorelka::rules
