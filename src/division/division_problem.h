#pragma once

#include <optional>
#include <string>

#include "core/services.h"

// Division problems for the three menu items of both division screens:
// "１けたでわる", "２けたでわる" and "３けたでわる".
namespace sorelka::division {

struct DivisionProblem {
    int dividend = 0;
    int divisor = 0;
    int quotient = 0;   // dividend div divisor
    int remainder = 0;  // dividend mod divisor
    int problem_kind = 0;  // which dividend range the draw chose (1..3)

    bool operator==(const DivisionProblem&) const = default;
};

// Menu item 2, kind 1 redraws the pair until dividend > divisor, this many
// times at most; when no pair qualifies the last one stands.
inline constexpr int kMaxPairDraws = 1000;

// A range of whole numbers a draw takes from: low + Random(high − low + 1).
struct NumberRange {
    int low = 0;
    int high = 0;
    constexpr bool Has(int value) const { return value >= low && value <= high; }
    int Draw(RandomSource& random) const { return low + random.Random(high - low + 1); }
};

// The dividend range of a kind of a menu item (1..3, kind 1..3), and the
// divisor range of a menu item; an empty range {0, -1} for none.
NumberRange DividendRange(int menu_choice, int kind);
NumberRange DivisorRange(int menu_choice);

// The condition of menu item 2, kind 1 (two two-digit numbers).
constexpr bool DividendAboveDivisor(int dividend, int divisor) { return dividend > divisor; }

// True when `problem` is one that menu item `menu_choice` draws: its kind is
// one of the item's, dividend and divisor lie in their ranges, the item's
// condition holds, and quotient and remainder are the division's.
bool FitsMenuItem(int menu_choice, const DivisionProblem& problem);

// Draws a problem for menu item 1..3 without re-seeding (GenerateProblem
// re-seeds first); nothing for any other menu choice.
std::optional<DivisionProblem> DrawProblem(int menu_choice, RandomSource& random);

// Re-seeds `random` and draws a problem for menu item 1, 2 or 3 into
// `problem`. Any other menu choice leaves `problem` as it was and returns false.
bool GenerateProblem(int menu_choice, RandomSource& random, DivisionProblem& problem);

// "745 ÷ 6 = ?", the problem line while the pupil works.
std::string ProblemText(const DivisionProblem& problem);
// "745 ÷ 6 = 124 あまり 1", the problem line once the answer is finished.
std::string AnswerText(const DivisionProblem& problem);
// " 745 ÷ 6", the problem as the drill log keeps it.
std::string LogProblemText(const DivisionProblem& problem);
// A quotient and remainder as the learning record keeps them: "12 あまり 3";
// the quotient alone when no remainder was written.
std::string RecordedAnswerText(const std::string& quotient, std::optional<int> remainder);

}  // namespace sorelka::division
