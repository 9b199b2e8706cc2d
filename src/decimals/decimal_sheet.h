#pragma once

#include <string>

#include "core/services.h"
#include "core/worksheet.h"
#include "decimals/decimal_numbers.h"

namespace sorelka::decimals {

// Where the sheet stands on its screen and what it calculates. The practice
// and drill screens of both operations differ only in these.
struct SheetPlace {
    Operation operation = Operation::Addition;
    int columns_top = 224;               // top of the digit lists and the action list
    std::string operator_label = "Label8";  // the label left of the lower number
};

inline SheetPlace PracticeSheetPlace(Operation operation) { return {operation, 224, "Label8"}; }
// The colour of the zeros a number is read with.
inline constexpr Rgb kImpliedZeroGrey = 0x9898B0;

inline SheetPlace DrillSheetPlace(Operation operation) { return {operation, 272, "Label4"}; }

// The written decimal calculation of one screen: two numbers one under the
// other with their decimal points in one column, the line, the answer, and the
// answer columns (digit lists for tens down to thousandths, the decimal point
// label and the action list). Cells are keyed by widget name:
//   Label5, Label6   upper and lower number      Label7   the answer
//   operator label   "+" or "-"                   Shape1   the line
//   ComboBox6..2     tens, ones, tenths, hundredths, thousandths lists
//   Label11          the decimal point column     ComboBox7 the action list
//   Paper1           the paper behind them, shown with the line
// and, for a worked example, the figures a teacher writes besides the
// pupil's answer (the pupil's own entries never write them):
//   Carry<column>    an addition's carried 1, small above the column
//   Borrow<column>   a subtraction's lender written one smaller above it,
//   Strike<column>   the stroke through the lender
//   UpperZeros, LowerZeros  the zeros a number is read with when the other
//                    has more decimal places, greyed after its last digit
// ClearWorksheet empties every label from Label3 to Label11 that the worksheet
// holds: its own and those a screen adds to it (the practice screens' mark and
// equation). A screen that owns such labels elsewhere (a drill's question
// number and score line) leaves them out of the worksheet.
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
    bool IsRight() const { return IsRightAnswer(entered_answer_, problem_.correct_result); }

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
    // For the screen's own labels in the Label3..Label11 range.
    Worksheet& cells() { return cells_; }

    static const char* ListName(Column column);
    // The cells of the small figures above `column` ("CarryTenths",
    // "BorrowOnes") and of the stroke through a lender ("StrikeOnes").
    static const std::string& MarkName(Operation operation, Column column);
    static const std::string& StrikeName(Column column);
    static constexpr const char* kUpperZeros = "UpperZeros";
    static constexpr const char* kLowerZeros = "LowerZeros";

private:
    // Hides the worked example's figures and places them for p decimal places.
    void ResetFigures(int places);
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
