#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/services.h"
#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "division/division_problem.h"

// The written long division that both division screens share: the problem,
// the worksheet as named cells, the entry state and the step machine that the
// four digit lists and the action list drive. The screens add their own
// reaction to a finished answer (a mark and the answer, or a drill log row).
namespace sorelka::division {

// Geometry of the worksheet. One digit column is 30 pixels wide and the
// dividend's last digit ends at x = 584, so the ones column spans 554..584,
// tens 524..554, hundreds 494..524 and thousands 464..494.
inline constexpr int kColumnWidth = 30;
inline constexpr int kOnesRight = 584;
inline constexpr int kRowWidth = 120;   // product and difference labels, right-aligned
inline constexpr int kRowHeight = 44;
inline constexpr int kMarkerLeft = 384;

// Tops of the row marker Image3: quotient row, then rows 1 to 6.
inline constexpr int kMarkerQuotient = 192;
inline constexpr std::array<int, 7> kMarkerTops{192, 280, 328, 376, 416, 464, 512};

// Places of the digit lists: ComboBox2 ones (1), ComboBox3 tens (2),
// ComboBox4 hundreds (3), ComboBox5 thousands (4).
inline constexpr int kOnes = 1;
inline constexpr int kTens = 2;
inline constexpr int kHundreds = 3;
inline constexpr int kThousands = 4;

// Items of the action list ComboBox6; 1, 3 and 5 are separators.
inline constexpr int kConfirm = 0;  // " 確定"
inline constexpr int kSkip = 2;     // "飛ばし"
inline constexpr int kClear = 4;    // "クリア"
inline constexpr int kFinish = 6;   // "終わり"

// The name of the digit list of a place (1..4): "ComboBox2" … "ComboBox5".
std::string DigitListName(int place);
inline constexpr const char* kActionListName = "ComboBox6";

inline constexpr const char* kRefuseOnesText = "十の位を選んでね！";
inline constexpr const char* kNoQuotientText = "商を選んでね！";
inline constexpr const char* kQuotientTooLongText = "商が長すぎるよ！「クリア」で書き直してね！";

enum class DigitOutcome {
    Written,         // the row being written shows the new value
    NothingWritten,  // digit stored, but no row is open (no problem yet, or all rows done)
    Refused,         // a ones digit right after a hundreds digit: message shown, lists reset
    Ignored,         // not a place 1..4 or not a digit 0..9
};

struct ActionOutcome {
    enum class Kind {
        None,           // a separator or an unknown index: nothing happened
        Confirmed,      // a row was confirmed; confirmed_step is the step it had
        Skipped,        // a zero was put into the quotient
        Cleared,        // the written rows were cleared, the problem stays
        Finished,       // the quotient was read; the screen judges and reacts
        FinishRefused,  // the quotient label held no number; a message was shown
    };
    Kind kind = Kind::None;
    int confirmed_step = 0;
};

// The place (1 ones, 2 tens, 3 hundreds, …) of the column where the quotient
// label Label7 of `sheet` shows its first character.
int QuotientFirstPlace(const Worksheet& sheet);
// What the learning record keeps of the worksheet: WorkedRowsOf, with the
// quotient stored over the dividend's columns (QuotientOverDividend), so that
// a digit written a column off can be told from the right one.
WorkedRows DivisionWorkedRows(const Worksheet& sheet);

class LongDivision {
public:
    LongDivision(CuePlayer& cues, Dialogs& dialogs, RandomSource& random);
    explicit LongDivision(AppContext& ctx) : LongDivision(ctx.cues, ctx.dialogs, ctx.random) {}

    // Empties the worksheet labels Label5..Label13, hides Shape1..Shape4,
    // Image2 and Image3, and forgets the step, the inserted zero, the digits and
    // everything the pupil entered for the previous problem.
    void ClearWorksheet();
    // Only empties the labels and hides the lines and pictures, as a finished
    // drill does; the step state stays.
    void EmptyWorksheet();
    // Draws a problem for menu item 1..3 (re-seeding the generator first).
    // Any other value keeps the previous problem and returns false.
    bool GenerateProblem(int menu_choice);
    // Writes the dividend and divisor, shows the line, the bracket and the
    // marker at the quotient row. Nothing is shown before the first problem.
    void ShowProblem();
    // Digits to 0; the five entry lists visible, with their headings and no
    // item selected. Bumps list_resets() so the screen resets its lists.
    void ResetEntryLists();
    // Hides the five entry lists (a screen being shown, no problem yet).
    void HideEntryLists();
    // Hides the row marker Image3 until the next problem is shown (an
    // example's worksheet, where no row is being written).
    void HideRowMarker();
    // The pupil may write the first row: step := 1.
    void BeginWriting() { step_ = 1; }
    // GenerateProblem, ShowProblem, ResetEntryLists and BeginWriting in one go.
    // Returns false, changing nothing, when menu_choice draws no problem and
    // there is no earlier problem to show.
    bool NewProblem(int menu_choice);
    // The same with a given problem instead of a drawn one (a worked example).
    void NewProblem(const DivisionProblem& problem);

    // A digit chosen in the list of `place` (1 ones … 4 thousands). Plays cue
    // 11 unless the choice is ignored.
    DigitOutcome ChooseDigit(int place, int digit);
    // An item of the action list: " 確定", "飛ばし", "クリア", "終わり".
    ActionOutcome ApplyAction(int index);
    // Right if the quotient read by "終わり" and the last difference written
    // are the quotient and the remainder.
    bool JudgeDivision() const;

    const Worksheet& worksheet() const { return sheet_; }
    const DivisionProblem& problem() const { return problem_; }
    bool has_problem() const { return has_problem_; }
    int step() const { return step_; }
    int quotient_place() const { return quotient_place_; }
    bool zero_inserted() const { return zero_inserted_; }
    int digit(int place) const;
    int entered_value() const { return entered_value_; }
    // The last difference written for this problem; empty while none is.
    std::optional<int> entered_remainder() const { return entered_remainder_; }
    // The quotient read by the last "終わり"; empty before it.
    std::optional<int> entered_quotient() const { return entered_quotient_; }
    // Counts ResetEntryLists calls; a screen resets its list widgets whenever
    // this differs from the count it last saw.
    int list_resets() const { return list_resets_; }

private:
    void WriteRow(const char* label, const std::string& text);
    void ConfirmRow(const char* label);
    void ShowLineUnder(const char* line, const char* label);
    void MoveMarker(int top);
    void SetLeft(const char* label, int left);
    ActionOutcome Confirm();
    ActionOutcome Skip();
    ActionOutcome Clear();
    ActionOutcome Finish();

    CuePlayer& cues_;
    Dialogs& dialogs_;
    RandomSource& random_;

    Worksheet sheet_;
    DivisionProblem problem_;
    bool has_problem_ = false;

    std::array<int, 5> digits_{};  // index = place 1..4
    int entered_value_ = 0;
    int step_ = 0;
    int quotient_place_ = 1;
    bool zero_inserted_ = false;
    std::optional<int> entered_remainder_;
    std::optional<int> entered_quotient_;
    int list_resets_ = 0;
};

}  // namespace sorelka::division
