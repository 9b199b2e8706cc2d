#pragma once

#include <string>

#include "core/entry.h"
#include "core/services.h"
#include "rules/expression_problems.h"
#include "rules/rules_sheet.h"

// The worksheet on which an expression is worked one written column
// calculation after another: addition and subtraction on the left,
// multiplication in the middle, long division on the right. The program sets
// up each calculation in the order the rules of calculation give; the pupil
// fills its rows digit by digit, confirms them and hands the result on with
// "終わり", which makes it an operand of the next calculation.
namespace sorelka::rules {

// What the screen showing the worksheet supplies.
class StepHooks {
public:
    virtual ~StepHooks() = default;
    // kind 1: the next entry is awaited; kind 2: a digit was just chosen.
    virtual void ShowStepPrompt(int kind) = 0;
    // The final result is in state().second_result.
    virtual void JudgeAnswer() = 0;
    // Writes the prompt line.
    virtual void ShowPrompt(const std::string& text) = 0;
    // Shows the digit and action lists without a selection and their
    // headings; the operation list too when `with_operation_list`.
    virtual void ShowEntryLists(bool with_operation_list) = 0;
};

struct StepState {
    int phase = 0;  // 1, 2, or 3 (the joining calculation of four-number problems)
    int first_op = 0;
    int second_op = 0;
    int middle_op = 0;
    int current_op = 0;  // the calculation on the worksheet; 0 before any
    int first_result = 0;
    int second_result = 0;
    int entry_row = 0;
    int quotient_place = 0;  // 1: first quotient digit over the ones, 2: over the tens
    int thousands_digit = 0;
    int hundreds_digit = 0;
    int tens_digit = 0;
    int ones_digit = 0;
    int entered_value = 0;
    bool operation_chosen = false;  // box problems: the pupil chose the calculation
};

// Texts the worksheet shows the pupil.
inline constexpr const char* kChooseBoxCalculation = "□を求める計算を選んでね！";
inline constexpr const char* kChooseMenu = "メニューを選んでね！";
inline constexpr const char* kFinishAdditionText = "たし算やひき算では「終わり」を選んでね！";
inline constexpr const char* kConfirmFirstText = "「確定」を選んでね！";
inline constexpr const char* kChooseAnswerText = "答えを選んでね！";
inline constexpr const char* kUndoQuestion =
    "実行中の計算を戻すには「はい」、最初の計算に戻すには「いいえ」を選んでね！";

class CalculationSteps {
public:
    struct Options {
        // The worksheet shows the verdict's mark, which ClearColumnArea
        // empties (the practice's; the drill shows a score line instead).
        bool with_mark = true;
    };

    CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks);
    CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks, Options options);

    // Starts working `problem`: phase 1 and, for menus 1 to 3, the first
    // calculation on the worksheet and the first prompt; a box problem waits
    // for the pupil to choose its calculation.
    void StartProblem(const ExpressionProblem& problem);
    // Forgets the problem (none was drawn): lists do nothing but ask for the menu.
    void DropProblem();
    bool has_problem() const { return problem_.menu != 0; }

    // The named steps of the worksheet.
    void SetUpFirstStep();
    void OrderFactors();
    void ShowCalculation(int op);
    void ClearColumnArea();
    void ResetEntryLists();

    // A digit 0..9 chosen for the thousands, hundreds, tens or ones of the
    // row being written (other places are not on this worksheet).
    void ChooseDigit(Place place, int digit);
    // " 確定" ConfirmRow, "クリア" UndoCalculation, "終わり" FinishCalculation
    // (the worksheet has nothing to skip).
    void ApplyAction(Action action);
    // A separator between the actions: a sum being written turns navy.
    void ChooseSeparator();
    void ConfirmRow();
    void UndoCalculation();
    void FinishCalculation();
    // The calculation of a box problem: kAdd, kSubtract, kMultiply or kDivide.
    void ChooseOperation(int op);

    const StepState& state() const { return state_; }
    const ExpressionProblem& problem() const { return problem_; }
    const Worksheet& worksheet() const { return sheet_.cells(); }
    RulesSheet& sheet() { return sheet_; }
    const RulesSheet& sheet() const { return sheet_; }

private:
    void ShowPendingSum(bool with_second);
    // The division row `entry_row` writes `value` in, the marker moved on.
    void WriteDivisionRow(int value);
    void ConfirmDivisionRow();
    // The role "終わり" reads the current calculation's result from.
    std::optional<RulesRole> ResultRole() const;
    // False (and the prompt asks for it) while a box problem waits for its
    // calculation, or when there is no problem.
    bool CalculationReady();
    void ConfirmedNavy();

    Dialogs& dialogs_;
    CuePlayer& cues_;
    StepHooks& hooks_;
    ExpressionProblem problem_;
    StepState state_;
    RulesSheet sheet_;
};

}  // namespace sorelka::rules
