#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/entry.h"
#include "core/worksheet.h"
#include "multiplication/multiplication_problem.h"

// The written multiplication as paper, keyed by role, and what a pupil has
// written on it. Where a cell stands is said in digit columns counted from
// the right (multiplication_problem.h), never in pixels.
namespace sorelka::multiplication {

namespace role {
inline constexpr const char* kMultiplicand = "multiplicand";  // "2.37", column 0
inline constexpr const char* kMultiplier = "multiplier";      // "26", column 0
inline constexpr const char* kSign = "sign";                  // "×", left of the multiplier
inline constexpr const char* kLine = "line";                  // under the two numbers
// The rows, each its digits by column (RowText): with a two-digit
// multiplier "row 1" (× the ones), "row 2" (× the tens) and under the sum
// line the product; with a one-digit multiplier only the product.
inline constexpr const char* kRow1 = "row 1";
inline constexpr const char* kRow2 = "row 2";
inline constexpr const char* kSumLine = "sum line";  // over the product of a two-digit multiplier
inline constexpr const char* kProduct = "product";
// The point put into the product: text ".", `column` the number of digits
// right of it (1 … kColumns).
inline constexpr const char* kPoint = "point";
// The 0 written in the ones place of a product below 1: text "0", `column`
// that of the point.
inline constexpr const char* kOnesZero = "ones zero";
// The strokes through the product's end 0s: one "／" per struck 0, `column`
// the rightmost struck column (always 0).
inline constexpr const char* kStrikes = "strikes";
// Small figures above a row in a worked example, by column as the rows:
// the carries of "row 1" ("carries 1"), "row 2", and of the sum ("carries 3").
inline constexpr const char* kCarries1 = "carries 1";
inline constexpr const char* kCarries2 = "carries 2";
inline constexpr const char* kCarries3 = "carries 3";
// The row being written: `row` 1, 2 or 3 (the product of a two-digit
// multiplier; 1 for a one-digit one).
inline constexpr const char* kMarker = "marker";
// The practice screens' own lines, kept in the same worksheet.
inline constexpr const char* kPrompt = "prompt";
inline constexpr const char* kVerdict = "verdict";    // "○" or "×"
inline constexpr const char* kEquation = "equation";  // "2.37 × 6 = ?"
}  // namespace role

// No digit written in a column.
inline constexpr int kEmpty = -1;
// A row's digits by column from the right (index 0: column 0).
using RowDigits = std::array<int, kColumns>;
inline constexpr RowDigits kEmptyRow = {kEmpty, kEmpty, kEmpty, kEmpty};

// The point list's item for `places` digits right of the point:
// "右から２けた"; the record stores the point's place under it too.
std::string PointItemText(int places);
// The places of a PointItemText; nothing for another text.
std::optional<int> PlacesOfPointItem(std::string_view text);

// "1422", " 474" (a row 2 shifted: its last digit in column 1), "  12": the
// digits of a row from column kColumns - 1 down to 0, a space for each
// empty column; empty when nothing is written.
std::string RowText(const RowDigits& row);
// The digits of a RowText; empty columns for anything else.
RowDigits RowFromText(const std::string& text);
// The whole number the digits write, empty columns read as 0.
int RowValue(const RowDigits& row);
// The digits of `value` standing with their last digit in column `last_column`.
RowDigits RowOf(int value, int last_column = 0);

// What a pupil has written: the rows of a two-digit multiplier (none for a
// one-digit one), the product's digits, where the point went, the ones 0
// and how many end 0s were struck.
struct MultiplicationWork {
    std::vector<RowDigits> rows;     // 0 or 2 rows
    RowDigits product = kEmptyRow;
    std::optional<int> point;        // digits right of the point; none: no point
    bool ones_zero = false;
    int struck = 0;                  // end 0s struck, from the right

    bool operator==(const MultiplicationWork&) const = default;
};

// The product as the pupil's work reads at the end, struck 0s left out (a
// point with nothing struck after it stays out too): "14.22", "10", ".12"
// (no ones 0), "1422" (no point). Empty when no product digit is written.
std::string AnswerText(const MultiplicationWork& work);
// The right work of `problem`: its rows, the product, the point, the ones 0
// and the struck end 0s.
MultiplicationWork RightWork(const MultiplicationProblem& problem);
// Whether `work`'s answer is the problem's (ProductText).
bool IsRightWork(const MultiplicationProblem& problem, const MultiplicationWork& work);

// What a pupil does on the sheet, in order: a digit in a column of the row
// being written, " 確定" (the next row), the point's place, the ones 0, one
// more end 0 struck, "クリア" (the row being written emptied), "終わり".
struct MultiplicationInput {
    enum class What { Digit, Confirm, Point, OnesZero, StrikeZero, Clear, Finish };
    What what = What::Finish;
    int column = 0;  // Digit: 0 … kColumns - 1
    int value = 0;   // Digit: the digit; Point: the digits right of the point

    static MultiplicationInput Digit(int column, int digit) { return {What::Digit, column, digit}; }
    static MultiplicationInput Point(int places) { return {What::Point, 0, places}; }
    static MultiplicationInput Of(What what) { return {what, 0, 0}; }
    bool operator==(const MultiplicationInput&) const = default;
};
using MultiplicationInputs = std::vector<MultiplicationInput>;

// The inputs that write `work` as a pupil works: each row's digits from the
// right, " 確定" after each row but the product, the product's digits, the
// point, the ones 0, the strokes, "終わり".
MultiplicationInputs InputsOf(const MultiplicationWork& work);

}  // namespace sorelka::multiplication
