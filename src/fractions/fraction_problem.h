#pragma once

#include <optional>
#include <string>

#include "core/services.h"

// Fraction problems: drawing them, judging an answer and writing both as text.
namespace sorelka::fractions {

// The two screens draw family 1 differently and judge differently.
enum class Variant { Practice, Drill };

// The families are the items of the fraction menu, counted from 1.
inline constexpr int kImproperToMixed = 1;  // 11/4 = 2 and 3/4, or 12/4 = 3
inline constexpr int kMixedToImproper = 2;  // 2 and 1/3 = 7/3
inline constexpr int kFindTheBox = 3;       // 3 and 1/4 = 1 and □/4
bool IsFamily(int family);

// Sets that fail a family's condition are drawn again, this many sets in all;
// when the last one fails as well, it stands.
inline constexpr int kMaxDrawSets = 1000;

struct FractionProblem {
    int problem_whole = 0;  // 0 when the given number is a plain fraction
    int problem_numerator = 0;
    int problem_denominator = 0;
    int answer_whole = 0;      // 0 when the answer has no whole part
    int answer_numerator = 0;  // 0 when the answer is a whole number
    int answer_denominator = 0;

    bool operator==(const FractionProblem&) const = default;
};

// What the pupil has entered into the three answer slots; 0 is "nothing".
struct FractionEntry {
    int tens_digit = 0;
    int ones_digit = 0;
    int entered_value = 0;
    int entered_whole = 0;
    int entered_denominator = 0;
    int entered_numerator = 0;

    bool operator==(const FractionEntry&) const = default;
};

// Re-seeds `random` and draws a problem of `family`; nothing for any other
// family value (and then no draw is made).
std::optional<FractionProblem> DrawFractionProblem(int family, Variant variant,
                                                   RandomSource& random);
// The same without re-seeding first.
std::optional<FractionProblem> DrawFamilyProblem(int family, Variant variant, RandomSource& random);

// The conditions a drawn set must meet, or it is drawn again: an improper
// fraction above 1 (the practice screen's family 1), a proper fraction part
// (family 2), and for family 3 also a smaller whole part on the right.
constexpr bool ImproperCondition(int numerator, int denominator) { return numerator > denominator; }
constexpr bool ProperCondition(int numerator, int denominator) { return numerator < denominator; }
constexpr bool BoxCondition(int numerator, int denominator, int whole, int answer_whole) {
    return ProperCondition(numerator, denominator) && answer_whole < whole;
}

// True when `problem` is one that `family` draws on the screen of `variant`:
// every number within the family's ranges, its condition met, and the answer
// the right one.
bool FitsFamily(int family, Variant variant, const FractionProblem& problem);

// Practice: families 1 and 2 need all three slots right (family 2 has no
// whole part on either side), family 3 only the numerator.
bool JudgePracticeAnswer(int family, const FractionProblem& problem, const FractionEntry& entry);
// Drill: family 3 only the numerator; otherwise by the shape of the answer: a
// mixed number needs all three slots, a whole number only the whole part, an
// improper fraction the denominator and the numerator.
bool JudgeDrillAnswer(int family, const FractionProblem& problem, const FractionEntry& entry);

// "2・3 / 4", "3" (whole number alone), "11 / 4"; nothing entered gives "0 / 0".
std::string FractionText(int whole, int numerator, int denominator);
// The given number followed by " =": "2・1 / 3 =", "11 / 4 =".
std::string ProblemText(const FractionProblem& problem);

}  // namespace sorelka::fractions
