#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/services.h"

// A decimal times a whole number, written in columns as taught: the two
// numbers with their last digits lined up, multiplied as whole numbers (one
// row per digit of a two-digit multiplier, the second shifted one place
// left, then their sum), the point put into the product so that it has as
// many decimal places as the multiplicand, the 0s at the end of its
// decimals struck and the 0 of the ones written when it is below 1.
namespace sorelka::multiplication {

// The menu items of both screens.
inline constexpr int kMenuItems = 3;
inline constexpr int kOneDigitMenu = 1;  // 小数 × １けた: 2.3 × 4, 0.6 × 7, 1.25 × 3
inline constexpr int kTwoDigitMenu = 2;  // 小数 × ２けた: 3.6 × 24, 0.45 × 26
inline constexpr int kZerosMenu = 3;     // 答えの ０ に 気をつける: 2.5 × 4, 0.15 × 6, 0.04 × 3

// The digit columns of the written calculation, counted from the right
// (0: the column of the multiplicand's last digit). Every whole-number row
// fits in four; a column's digit list is that of the Place of the same
// whole-number place (Ones 0, Tens 1, Hundreds 2, Thousands 3).
inline constexpr int kColumns = 4;

struct MultiplicationProblem {
    int digits = 0;      // the multiplicand as a whole number: 237 for 2.37
    int places = 0;      // its decimal places, 1 or 2
    int multiplier = 0;  // 2 … 99
    int menu = 0;        // the menu item it was drawn for; 0 when given

    // The product as a whole number (the sum of the rows): 1422 for 2.37 × 6.
    int WholeProduct() const { return digits * multiplier; }
    bool TwoDigitMultiplier() const { return multiplier >= 10; }
    // The rows the pupil writes: 1 (the product) or 3 (two rows and their sum).
    int RowCount() const { return TwoDigitMultiplier() ? 3 : 1; }

    bool operator==(const MultiplicationProblem&) const = default;
};

// "2.37", "0.6": the multiplicand as written.
std::string MultiplicandText(const MultiplicationProblem& problem);
// The right answer as the pupil finally writes it: "14.22", "10" (10.0 with
// its 0 struck), "0.9" (0.90), "0.12".
std::string ProductText(const MultiplicationProblem& problem);
// "2.37 × 6 = ?" while open, "2.37 × 6 = 14.22" once judged.
std::string ProblemLine(const MultiplicationProblem& problem, bool with_result);
// The whole calculation in wide digits, as the worked example's last line:
// "２．３×４＝９．２".
std::string WideFact(const MultiplicationProblem& problem);
// The problem as `history.problem` and the drill log keep it: "2.37 × 6";
// back with the menu item it was answered in; nothing for another text.
std::string StoredProblemText(const MultiplicationProblem& problem);
std::optional<MultiplicationProblem> ParseStoredProblem(int menu_choice, std::string_view text);

// Whether `problem` is one menu item `menu` draws: never trivial (× 1, a
// multiplicand without decimals or ending in 0), a whole product of at most
// four digits; items 1 and 2 a product of at least 1 without 0s at the end
// of its decimals, item 3 a product below 1 or ending in 0 after the point.
bool FitsMenuItem(const MultiplicationProblem& problem, int menu);
// A problem of menu item `menu` (1 … kMenuItems); nothing for another item.
// Bounded: it never loops without end.
std::optional<MultiplicationProblem> DrawProblem(int menu, RandomSource& random);

}  // namespace sorelka::multiplication
