#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/entry.h"
#include "core/services.h"
#include "core/worksheet.h"
#include "division/division_cells.h"
#include "division/division_problem.h"
#include "division/division_roles.h"

// The written long division that both division screens share: the problem,
// the worksheet as cells keyed by their roles (division_roles.h), the entry
// state and the step machine that the four digit lists and the action list
// drive. The screens add their own reaction to a finished answer (a mark and
// the answer, or a drill log row).
namespace sorelka::division {

inline constexpr const char* kRefuseOnesText = "十の位を選んでね！";
inline constexpr const char* kNoQuotientText = "商を選んでね！";
inline constexpr const char* kQuotientTooLongText = "商が長すぎるよ！「クリア」で書き直してね！";

enum class DigitOutcome {
    Written,         // the row being written shows the new value
    NothingWritten,  // digit stored, but no row is open (no problem yet, or all rows done)
    Refused,         // a ones digit right after a hundreds digit: message shown, lists reset
    Ignored,         // not a place with a list or not a digit 0..9
};

struct ActionOutcome {
    enum class Kind {
        None,           // nothing happened
        Confirmed,      // a row was confirmed; confirmed_step is the step it had
        Skipped,        // a zero was put into the quotient
        Cleared,        // the written rows were cleared, the problem stays
        Finished,       // the quotient was read; the screen judges and reacts
        FinishRefused,  // the quotient held no number; a message was shown
    };
    Kind kind = Kind::None;
    int confirmed_step = 0;
};

// The column (kOnes, kTens, …) the quotient of `sheet` shows its first
// character over.
inline int QuotientFirstPlace(const Worksheet& sheet) { return sheet.at(kQuotientRole).column; }

class LongDivision {
public:
    LongDivision(CuePlayer& cues, Dialogs& dialogs, RandomSource& random);
    explicit LongDivision(AppContext& ctx) : LongDivision(ctx.cues, ctx.dialogs, ctx.random) {}

    // Empties the numbers, hides the lines, the bracket and the marker, and
    // forgets the step, the inserted zero, the digits and everything the
    // pupil entered for the previous problem.
    void ClearWorksheet();
    // Only empties the numbers and hides the lines and pictures, as a finished
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
    // Hides the row marker until the next problem is shown (an
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

    // A digit chosen in the list of `place` (the ones … the thousands).
    // Plays Cue::Choice unless the choice is ignored.
    DigitOutcome ChooseDigit(Place place, int digit);
    // " 確定", "飛ばし", "クリア" or "終わり".
    ActionOutcome ApplyAction(Action action);
    // Right if the quotient read by "終わり" and the last difference written
    // are the quotient and the remainder.
    Verdict JudgeDivision() const;

    const Worksheet& worksheet() const { return sheet_; }
    const DivisionProblem& problem() const { return problem_; }
    bool has_problem() const { return has_problem_; }
    int step() const { return step_; }
    // The column of the quotient digit written last.
    int quotient_place() const { return quotient_place_; }
    bool zero_inserted() const { return zero_inserted_; }
    int digit(Place place) const;
    int entered_value() const { return entered_value_; }
    // The last difference written for this problem; empty while none is.
    std::optional<int> entered_remainder() const { return entered_remainder_; }
    // The quotient read by the last "終わり"; empty before it.
    std::optional<int> entered_quotient() const { return entered_quotient_; }
    // Counts ResetEntryLists calls; a screen resets its list widgets whenever
    // this differs from the count it last saw.
    int list_resets() const { return list_resets_; }

private:
    void WriteRow(const char* role, const std::string& text);
    void ConfirmRow(const char* role);
    void MoveMarker(int row);
    void SetColumn(const char* role, int column);
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

    std::array<int, 5> digits_{};  // index = column 1..4
    int entered_value_ = 0;
    int step_ = 0;
    int quotient_place_ = 1;
    bool zero_inserted_ = false;
    std::optional<int> entered_remainder_;
    std::optional<int> entered_quotient_;
    int list_resets_ = 0;
};

}  // namespace sorelka::division
