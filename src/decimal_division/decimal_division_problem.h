#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/services.h"
#include "division/division_problem.h"

// A decimal (or a whole number) divided by a whole number in a long
// division, as taught: the digits are divided as in a whole-number long
// division, 0s written after the dividend's last digit when it goes on
// past it, the quotient's point put straight over the dividend's point, a
// remainder's point under it, and a quotient asked to a place rounded from
// one place further. So every problem is the long division of its dividend
// scaled to the places worked (WholeDivision), which the whole-number long
// division's model works, diagnoses and draws pupils for.
namespace sorelka::decimal_division {

// The menu items of both screens.
inline constexpr int kMenuItems = 5;
inline constexpr int kOneDigitMenu = 1;   // わりきれる（１けたでわる）: 7.2 ÷ 3, 2.4 ÷ 6, 6.12 ÷ 6
inline constexpr int kTwoDigitMenu = 2;   // わりきれる（２けたでわる）: 91.2 ÷ 24, 8.64 ÷ 36
inline constexpr int kDivideOnMenu = 3;   // わり進む（整数÷整数 も）: 5.4 ÷ 4, 3 ÷ 4
inline constexpr int kRemainderMenu = 4;  // あまりを だす: 7.5 ÷ 4 = 1.8 あまり 0.3
inline constexpr int kRoundedMenu = 5;    // 商を 四捨五入する: 2.5 ÷ 7 → 0.36

// How the division ends: when it divides, at the asked place with a
// remainder, or one place past the asked one and rounded to it.
enum class Ending { Divides, Remainder, Rounded };

// The ending of menu item `menu`'s problems (1 … 3 divide).
constexpr Ending EndingOf(int menu) {
    return menu == kRemainderMenu ? Ending::Remainder : menu == kRoundedMenu ? Ending::Rounded : Ending::Divides;
}

struct DecimalDivisionProblem {
    int digits = 0;   // the dividend as a whole number: 75 for 7.5, 3 for 3
    int places = 0;   // its decimal places: 0 (a whole number), 1 or 2
    int divisor = 0;  // 2 … 98
    Ending ending = Ending::Divides;
    int asked = 0;    // the quotient's last place asked (1: 1/10, 2: 1/100); 0 when it divides
    int menu = 0;     // the menu item it was drawn for; 0 when given

    bool operator==(const DecimalDivisionProblem&) const = default;
};

// The decimal places the division is worked to: the quotient's places when
// it divides (the dividend's own and the 0s written after it; -1 when it
// does not divide within three more), the asked place with a remainder, one
// more when rounded.
int WorkedPlaces(const DecimalDivisionProblem& problem);
// The whole-number long division of the digits worked: the dividend
// scaled to WorkedPlaces (540 ÷ 4 for 5.4 ÷ 4 = 1.35, 75 ÷ 4 for 7.5 ÷ 4 to
// 1/10, 2500 ÷ 7 for 2.5 ÷ 7 rounded to 1/100), with its quotient and
// remainder.
division::DivisionProblem WholeDivision(const DecimalDivisionProblem& problem);
// The 0s written after the dividend: WorkedPlaces beyond its own places.
int WrittenZeros(const DecimalDivisionProblem& problem);

// "7.5", "3": the dividend as given.
std::string DividendText(const DecimalDivisionProblem& problem);
// The quotient as worked: "2.4", "0.75", "1.02", "1.8" (to the asked place
// with a remainder, "2.0" kept so), "0.357" (one place past the asked one).
std::string QuotientText(const DecimalDivisionProblem& problem);
// The remainder with its point under the dividend's: "0.3"; "0.0", its places
// kept, when it divides.
std::string RemainderText(const DecimalDivisionProblem& problem);
// The quotient rounded to the asked place, its places kept: "0.36", "1.0"
// (0.96… to 1/10); the quotient for another ending.
std::string RoundedText(const DecimalDivisionProblem& problem);
// The answer as the pupil finally gives it: "2.4", "1.8 あまり 0.3", "0.36".
std::string AnswerText(const DecimalDivisionProblem& problem);

// "7.2 ÷ 3 = ?", "7.5 ÷ 4 = ?（商は 1/10の位まで、あまりも）",
// "2.5 ÷ 7 = ?（四捨五入で 1/100の位まで）" while open; once judged
// "7.5 ÷ 4 = 1.8 あまり 0.3", "2.5 ÷ 7 = 0.357…（約 0.36）".
std::string ProblemLine(const DecimalDivisionProblem& problem, bool with_result);
// The whole calculation in wide digits, as the worked example's last line:
// "７．２÷３＝２．４", "７．５÷４＝１．８ あまり ０．３",
// "２．５÷７＝０．３５７…（約０．３６）".
std::string WideFact(const DecimalDivisionProblem& problem);
// The problem as `history.problem` and the drill log keep it, the ending
// said as on the problem line: "7.5 ÷ 4（商は 1/10の位まで、あまりも）";
// back with the menu item it was answered in; nothing for another text or
// a problem the worksheet cannot work.
std::string StoredProblemText(const DecimalDivisionProblem& problem);
std::optional<DecimalDivisionProblem> ParseStoredProblem(int menu_choice, std::string_view text);

// Whether the long-division worksheet can work `problem`: a dividend
// without end 0s after its point, a divisor 2 … 98 not ending in 0, a
// quotient at least 0.1 (no 0 between the point and its first digit) of at
// most three digits (three rounds, or two and a 0 right after the first
// digit or last), the quotient's ones within the four digit columns, an
// asked place at least the dividend's own.
bool FitsSheet(const DecimalDivisionProblem& problem);
// Whether `problem` is one menu item `menu` draws (the table in
// docs/design-decimal-division.md): FitsSheet, the item's ending, divisor
// and dividend places, and for items 1–2 a quotient within the dividend's
// places, item 3 one after one or two written 0s, item 4 a remainder, item
// 5 a quotient that does not divide at the asked place.
bool FitsMenuItem(const DecimalDivisionProblem& problem, int menu);
// A problem of menu item `menu` (1 … kMenuItems); nothing for another item.
// Re-seeds `random` first. Bounded: after 64 draws the item's fixed problem
// stands.
std::optional<DecimalDivisionProblem> DrawProblem(int menu, RandomSource& random);

}  // namespace sorelka::decimal_division
