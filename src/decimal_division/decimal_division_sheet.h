#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decimal_division/decimal_division_problem.h"
#include "division/division_bugs.h"
#include "division/division_diagnosis.h"
#include "division/division_roles.h"

// The written decimal division as paper: the long division's worksheet
// (division_roles.h) of the dividend scaled to the places worked
// (WholeDivision), with this topic's own cells laid over it. Columns are the
// long division's (1 the last worked place, 2 the one left of it, …), so the
// dividend's point stands right of column WorkedPlaces + 1 … never in pixels.
namespace sorelka::decimal_division {

namespace role {
// The point of the dividend: ".", `column` the column of the dividend's
// ones (its point stands right of that column). None for a whole dividend
// until its first 0 is written.
inline constexpr const char* kDividendPoint = "dividend point";
// The 0s written after the dividend's own last digit ("０をつけたす"): "00",
// `column` the column of the last one written.
inline constexpr const char* kDividendZeros = "dividend zeros";
// The quotient's point: ".", `column` the column of the quotient digit left
// of it (where it stands over the dividend's point when right).
inline constexpr const char* kQuotientPoint = "quotient point";
// The 0 written in the quotient's ones ("一の位に０"): "0", `column` its column.
inline constexpr const char* kOnesZero = "ones zero";
// The remainder's point: ".", `column` as the quotient's point's, under the
// last difference.
inline constexpr const char* kRemainderPoint = "remainder point";
// The rounded quotient: "約" and its digits by column as the quotient
// (QuotientOverDividend form), its point and ones 0 as the quotient's;
// `column` its first character's column. Its text is the digits alone (the
// screen writes "約" before it); the row stands above the quotient (`row`
// -1, where the marker points while it is written).
inline constexpr const char* kRounded = "rounded";
// The rounded row's point and ones 0: the quotient's, shown on that row
// (`column` as theirs) while it holds a digit; not stored, they follow
// from the quotient's.
inline constexpr const char* kRoundedPoint = "rounded point";
inline constexpr const char* kRoundedOnesZero = "rounded ones zero";
// The lists of the two points; their cells hold the lists' headings.
inline constexpr const char* kPointList = "list point";
inline constexpr const char* kRemainderPointList = "list remainder point";
// The practice screens' own lines, kept in the same worksheet.
inline constexpr const char* kPrompt = "prompt";
inline constexpr const char* kVerdict = "verdict";    // "○" or "×"
inline constexpr const char* kEquation = "equation";  // "7.2 ÷ 3 = ?"
}  // namespace role

// The point lists' item for `places` digits right of the point:
// "右から２けた" (the decimal multiplication's items); the record stores the
// points under them.
std::string PointItemText(int places);
std::optional<int> PlacesOfPointItem(std::string_view text);
// The point lists' items: 右から１けた … 右から３けた.
inline constexpr int kPointItems = 3;

// The items of the action list, in order: " 確定", "飛ばし", "０をつけたす",
// "一の位に０", "がい数を書く", "クリア", "終わり".
enum class SheetAction { Confirm, Skip, AppendZero, OnesZero, StartRounded, Clear, Finish };
inline constexpr int kActionItems = 7;
std::optional<SheetAction> SheetActionAt(int index);
const char* SheetActionText(SheetAction action);

// What a pupil has written: the long division of the digits (the dividend
// is the scaled one of the right work, the rows and quotient as written),
// the 0s written after the dividend, the points, the ones 0 and the
// rounded row. What the diagnosis and the buggy pupils speak.
struct DecimalDivisionWork {
    division::WrittenDivision division;
    int written_zeros = 0;
    std::optional<int> quotient_point;   // digits of the written quotient right of its point
    bool ones_zero = false;
    std::optional<int> remainder_point;  // digits of the last difference right of its point
    // The rounded row as written over the scaled dividend's columns: one
    // character per column from the highest (the dividend's first, or a
    // digit left of it) down to column 1, a space where nothing is written
    // (" 36 " for 0.36 over 2500); empty: none. RoundedColumns writes it.
    std::string rounded;

    bool operator==(const DecimalDivisionWork&) const = default;
};

// The rounded row's text (DecimalDivisionWork::rounded) of the digits
// written in columns 1 … kRoundedColumns (index = column, -1 = none) over a
// scaled dividend of `dividend_digits` digits; empty when none is written.
inline constexpr int kRoundedColumns = 4;
std::string RoundedColumns(const std::array<int, kRoundedColumns + 1>& digits, int dividend_digits);
// The column of the written quotient's last character.
int LastQuotientColumn(const division::WrittenDivision& division);

// The quotient as the pupil's work reads it: "1.35", ".4" (no ones 0), "135"
// (no point); empty when no quotient digit is written.
std::string QuotientRead(const DecimalDivisionWork& work);
// The remainder as read: "0.3", "3" (no point); empty when none is written.
std::string RemainderRead(const DecimalDivisionWork& work);
// The rounded quotient as read, with the quotient's point and ones 0: "0.36".
std::string RoundedRead(const DecimalDivisionWork& work);
// The answer as the pupil's work gives it, in the form of AnswerText: the
// quotient, "1.8 あまり 3" with a remainder asked, the rounded quotient.
std::string AnswerRead(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work);
// Whether `work` answers `problem`: the quotient (items 1–3 with the
// remainder 0), the quotient and the remainder (a remainder asked), the
// rounded quotient (rounding). The 0s written after the dividend are the
// method, not the answer.
bool IsRightWork(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work);
// The right work of `problem`.
DecimalDivisionWork RightWork(const DecimalDivisionProblem& problem);

// What a pupil does on the sheet, in order: one input of the long division
// (a quotient digit, a row, "飛ばし"; its "終わり" is this topic's Finish),
// a 0 written after the dividend, a point chosen, the ones 0, the rounded
// row begun, a digit of it, "終わり".
struct DecimalDivisionInput {
    enum class What { Division, AppendZero, QuotientPoint, RemainderPoint, OnesZero, StartRounded, RoundedDigit, Finish };
    What what = What::Finish;
    division::DivisionInput division;  // Division
    int value = 0;                     // a point's places; RoundedDigit: the digit
    int place = 0;                     // RoundedDigit: the column (division::kOnes …)

    static DecimalDivisionInput Of(division::DivisionInput input) { return {What::Division, input, 0, 0}; }
    static DecimalDivisionInput Of(What what, int value = 0, int place = 0) { return {what, {}, value, place}; }
    bool operator==(const DecimalDivisionInput&) const = default;
};
using DecimalDivisionInputs = std::vector<DecimalDivisionInput>;

// The right work's inputs, "終わり" not included: the ones 0 of a quotient
// below 1, the long division's (division::WorkDivision of WholeDivision)
// with a 0 written after the dividend before the quotient or a
// brought-down digit first reaches its column, then the quotient's point,
// the remainder's point and the rounded row, as far as the problem has them.
DecimalDivisionInputs RightWorkInputs(const DecimalDivisionProblem& problem);

}  // namespace sorelka::decimal_division
