#pragma once

#include <string>

#include "core/services.h"
#include "core/worksheet.h"
#include "decimals/decimal_numbers.h"

namespace sorelka::decimals {

// The kind of screen a decimal sheet is written on: the practice and the
// drill screens show the same sheet, each laid out its own way, and the
// record names the sign of each differently.
enum class SheetScreen { Practice, Drill };

// What a sheet calculates and on which kind of screen.
struct SheetPlace {
    Operation operation = Operation::Addition;
    SheetScreen screen = SheetScreen::Practice;
};

inline SheetPlace PracticeSheetPlace(Operation operation) { return {operation, SheetScreen::Practice}; }
inline SheetPlace DrillSheetPlace(Operation operation) { return {operation, SheetScreen::Drill}; }
// The colour of the zeros a number is read with.
inline constexpr Rgb kImpliedZeroGrey = 0x9898B0;

// The roles of a decimal worksheet's cells.
namespace role {
inline constexpr const char* kUpper = "upper number";
inline constexpr const char* kLower = "lower number";
inline constexpr const char* kOperator = "operator";  // "+" or "-", left of the lower number
inline constexpr const char* kLine = "line";          // under the numbers
inline constexpr const char* kPaper = "paper";        // behind the calculation, shown with the line
inline constexpr const char* kAnswer = "answer";
inline constexpr const char* kPoint = "point";        // the decimal point's column among the lists
inline constexpr const char* kActionList = "action list";
// The zeros a number is read with when the other has more decimal places.
inline constexpr const char* kUpperZeros = "upper zeros";
inline constexpr const char* kLowerZeros = "lower zeros";
// The practice screens' own lines, kept in the same worksheet.
inline constexpr const char* kPrompt = "prompt";
inline constexpr const char* kVerdict = "verdict";    // "○" or "×"
inline constexpr const char* kEquation = "equation";  // "2.35 + 1.4 = ?"
}  // namespace role

// The digit list of a column: "list tens" … "list thousandths".
const std::string& ListRole(Column column);
// The small figure above a column: an addition's carried 1 ("carry tenths"),
// a subtraction's lender written one smaller ("borrow ones").
const std::string& MarkRole(Operation operation, Column column);
// The stroke through a subtraction's lender ("strike ones").
const std::string& StrikeRole(Column column);

// The written decimal calculation of one screen, keyed by role: two numbers
// one under the other with their decimal points in one column, the line, the
// answer, and the answer columns (digit lists for tens down to thousandths,
// the point's column and the action list); and, for a worked example, the
// figures a teacher writes besides the pupil's answer (the pupil's own
// entries never write them): the small figures above the columns, the strokes
// through the lenders, the zeros a number is read with, greyed after its last
// digit. ClearWorksheet empties the numbers, the answer, the sign, the point's
// column and the practice screens' verdict and equation.
//
// Where the cells stand, in columns counted from the right of the
// calculation (ColumnFromRight: 0 the last decimal place, p the ones):
//   upper, lower number  column: of its last digit (the zeros it lost)
//   answer               column: of its last digit (0 while it is written
//                        with all p decimals)
//   upper, lower zeros   column: of the last decimal place they write
//   point                column: the ones', p: the p decimal places follow it
// The lists and the small figures stand over the column their role names,
// for the p of the point; every other cell where the screen lays it out.
// The columns stay laid out for the last problem until the next one.
class DecimalSheet {
public:
    explicit DecimalSheet(SheetPlace place);

    // Ends the problem: answer digits 0, the labels emptied, the lists and
    // the line hidden.
    void ClearWorksheet();
    void HideEntryLists();
    // The end of a drill: numbers, operator and answer vanish, the line hides;
    // the lists stay on screen but the sheet takes no more entries.
    void ClearNumbers();
    // Draws a problem with p = `places` and writes both numbers, each moved
    // left by the zeros its text lost. Returns false and changes nothing when
    // `places` is not 1..3.
    bool Draw(RandomSource& random, int places);
    // The same with a given problem (a worked example); one whose places are
    // not 1..3 changes nothing.
    void SetProblem(const DecimalProblem& problem);
    // Draw followed by ResetEntryLists (the drills' GenerateProblem).
    bool GenerateProblem(RandomSource& random, int menu_choice);
    // The operator sign in its label and the line under the numbers.
    void ShowOperator();
    // Shows the lists with no choice, placed for the problem's p (columns
    // beyond p hidden), and the decimal point label. Without a problem the
    // lists stay hidden.
    void ResetEntryLists();
    // A digit chosen in a column list: the answer so far, in blue.
    void ShowRunningAnswer(Column column, int digit);
    // A worked example's column `column` worked: its digit written in the
    // answer, which shows the worked columns only (WorkedColumnsText).
    void WriteWorkedColumn(Column column, int digit);
    // The small figure above `column`: the carried 1 of an addition, the
    // new digit of a subtraction's lender (the lender struck through).
    void ShowMark(Column column, int figure);
    // The zeros each number is read with where the other has more decimal
    // places ("5 - 2.37": 5 read as 5.00), greyed after its digits.
    void ShowImpliedZeros();
    // "終わり": the answer as written by FormatDecimal, placed so that its
    // point stands under those of the numbers, in navy.
    void ShowFinishedAnswer();
    // The answer as it stands, judged.
    Verdict verdict() const { return VerdictOf(IsRightAnswer(entered_answer_, problem_.correct_result)); }

    bool has_problem() const { return problem_.places != 0; }
    // A problem is on the sheet and the drill has not ended: digits and
    // "終わり" are written. Otherwise they change nothing.
    bool takes_entries() const { return has_problem() && !ended_; }
    Operation operation() const { return place_.operation; }
    const SheetPlace& place() const { return place_; }
    const DecimalProblem& problem() const { return problem_; }
    const AnswerDigits& answer_digits() const { return answer_digits_; }
    int entered_answer() const { return entered_answer_; }
    const std::string& first_operand_text() const { return first_operand_text_; }
    const std::string& second_operand_text() const { return second_operand_text_; }
    const std::string& result_text() const { return result_text_; }
    // Zeros removed by the last number written with FormatDecimal on this sheet.
    int trailing_zeros() const { return trailing_zeros_; }

    // "2.35 + 1.4 = ?" while open, "2.35 + 1.4 = 3.75" once judged.
    std::string Equation(bool with_result) const;
    // The drill log texts, each after a space: " 2 ＋ 3.5", " 5.5", " 5.5".
    std::string LogProblemText() const;
    std::string LogResultText() const;
    std::string LogAnswerText() const;

    // Goes up with every ResetEntryLists; a screen clears its lists' choices
    // when it changes.
    int entry_lists_resets() const { return entry_lists_resets_; }

    const Worksheet& cells() const { return cells_; }
    // For the practice screens' own lines (role::kPrompt, kVerdict, kEquation).
    Worksheet& cells() { return cells_; }

private:
    // Hides the worked example's figures.
    void ResetFigures();
    void ShowLine(bool shown);

    SheetPlace place_;
    Worksheet cells_;
    DecimalProblem problem_;
    AnswerDigits answer_digits_{};
    int entered_answer_ = 0;
    std::string first_operand_text_;
    std::string second_operand_text_;
    std::string result_text_;
    int trailing_zeros_ = 0;
    unsigned worked_columns_ = 0;  // bit c: Column c written by WriteWorkedColumn
    int entry_lists_resets_ = 0;
    bool ended_ = false;  // ClearNumbers since the last draw
};

}  // namespace sorelka::decimals
