#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "decimal_division/decimal_division_problem.h"

// The skills of the decimal division: which ones a problem exercises, which
// one a kind of mistake shows is weak, and problems drawn to exercise one
// skill within a menu item's own rules.
namespace sorelka::decimal_division {

namespace skill {
// たてる・かける・ひく・おろす on the digits: every problem.
inline constexpr std::string_view kSteps = "decimal_division.steps";
// The quotient's point straight over the dividend's: every problem.
inline constexpr std::string_view kPoint = "decimal_division.point";
// The 0 of the ones in a quotient below 1 ("2.4 ÷ 6 = 0.4").
inline constexpr std::string_view kOnesZero = "decimal_division.ones_zero";
// A 0 in the quotient after its first digit ("6.12 ÷ 6 = 1.02").
inline constexpr std::string_view kZeroInQuotient = "decimal_division.zero_in_quotient";
inline constexpr std::string_view kTwoDigitDivisor = "decimal_division.two_digit_divisor";
// 0s written after the dividend's last digit to divide on ("3 ÷ 4 = 0.75").
inline constexpr std::string_view kDivideOn = "decimal_division.divide_on";
// The remainder's point under the dividend's ("7.5 ÷ 4 = 1.8 あまり 0.3").
inline constexpr std::string_view kRemainder = "decimal_division.remainder";
// Divided one place further and rounded ("2.5 ÷ 7 → 0.36").
inline constexpr std::string_view kRounding = "decimal_division.rounding";
}  // namespace skill

// The skills in the order a pupil meets them, with the menu items of each.
std::span<const TopicSkill> DecimalDivisionSkills();

// The skills `problem` exercises, in the order of DecimalDivisionSkills().
std::vector<std::string_view> SkillsExercised(const DecimalDivisionProblem& problem);
bool Exercises(const DecimalDivisionProblem& problem, std::string_view id);

// The skill a kind of mistake (decimal_division_diagnosis.h, the long
// division's kinds among them) shows is weak; empty for slip, other and
// unknown kinds.
std::string_view SkillOfMistake(std::string_view kind);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(const DecimalDivisionProblem& problem, bool correct,
                                            std::string_view kind);

// A problem of menu item `menu_choice` that exercises `id` and fits the
// item, re-seeding `random` first; nothing when the skill has no place in
// that item. Bounded: when the draws find none, a fixed problem of the item
// that exercises the skill stands.
std::optional<DecimalDivisionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random);

}  // namespace sorelka::decimal_division
