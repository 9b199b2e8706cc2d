#pragma once

#include <string>

#include "core/services.h"
#include "core/worksheet.h"
#include "rules/expression_problems.h"

// The worksheet on which an expression is worked one written column
// calculation after another: addition and subtraction on the left,
// multiplication in the middle, long division on the right. The program sets
// up each calculation in the order the rules of calculation give; the pupil
// fills its rows with four digit lists and an action list and hands the
// result on with "終わり", which makes it an operand of the next calculation.
namespace sorelka::rules {

// Where the worksheet's cells stand. Right-aligned numbers share a right
// edge per area, so their digits stand in columns `column` pixels wide; the
// three areas' columns lie on one grid, like squares in an exercise book.
struct WorksheetLayout {
    int column = 28;         // one digit column
    int number_width = 116;  // a right-aligned number cell: four columns and a margin
    int row_height = 40;
    // Addition and subtraction: upper and lower number, result.
    int add_right = 242;
    int add_tops[3] = {216, 252, 296};
    // Multiplication: factors, rows 1..3, and where the row marker stands.
    int mul_right = 438;
    int mul_tops[5] = {216, 252, 304, 340, 384};
    int mul_marker_left = 256;
    int mul_marker_tops[3] = {312, 348, 390};
    // Division: the dividend's ones column ends at div_right; the quotient is
    // left-aligned over the ones or the tens column.
    int div_right = 634;
    int dividend_top = 264;
    int quotient_top = 216;
    int div_row_tops[4] = {310, 352, 388, 432};  // rows 2, 3, 5, 6
    int divisor_right = 494;
    int div_marker_left = 480;
    int div_marker_tops[5] = {232, 316, 358, 394, 438};  // quotient, rows 2, 3, 5, 6
    int marker_width = 32;
    int marker_height = 28;
    // Moves the whole worksheet.
    int dx = 0;
    int dy = 0;

    int QuotientLeft(int place) const { return div_right - column * (place + 1) + dx; }
};

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

// Positions of the action list " 確定", "　・", "クリア", "　・", "終わり".
inline constexpr int kConfirmAction = 0;
inline constexpr int kUndoAction = 2;
inline constexpr int kFinishAction = 4;

class CalculationSteps {
public:
    struct Options {
        // ClearColumnArea empties Label4 up to this label (the practice
        // screen's mark is Label21, the drill's score line ends at Label23).
        int last_cleared_label = 21;
        WorksheetLayout layout;
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

    // A digit list was used: place 0 ones (ComboBox2), 1 tens (ComboBox3),
    // 2 hundreds (ComboBox4), 3 thousands (ComboBox5); position 0..9.
    void EnterDigit(int place, int position);
    // An item of the action list (ComboBox6).
    void ChooseAction(int position);
    void ConfirmRow();
    void UndoCalculation();
    void FinishCalculation();
    // An item of the operation list (ComboBox7): " ＋", " －", " ×", " ÷".
    void ChooseOperation(int position);

    const StepState& state() const { return state_; }
    const ExpressionProblem& problem() const { return problem_; }
    const Worksheet& worksheet() const { return sheet_; }
    Worksheet& worksheet() { return sheet_; }
    const WorksheetLayout& layout() const { return options_.layout; }

private:
    void PlaceCells();
    void WriteNumber(const std::string& cell, int value, Rgb colour);
    void ShowPendingSum(bool with_second);
    // The cell "終わり" reads the current calculation's result from.
    std::string ResultCell() const;
    // False (and the prompt asks for it) while a box problem waits for its
    // calculation, or when there is no problem.
    bool CalculationReady();
    void ConfirmedNavy();

    Dialogs& dialogs_;
    CuePlayer& cues_;
    StepHooks& hooks_;
    Options options_;
    ExpressionProblem problem_;
    StepState state_;
    Worksheet sheet_;
};

}  // namespace sorelka::rules
