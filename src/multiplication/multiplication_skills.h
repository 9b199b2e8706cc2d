#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "multiplication/multiplication_problem.h"

// The skills of the decimal multiplication: which ones a problem exercises,
// which one a kind of mistake shows is weak, and problems drawn to exercise
// one skill within a menu item's own rules.
namespace sorelka::multiplication {

namespace skill {
// The numbers written with their last digits lined up and multiplied as
// whole numbers, each product of the times table: every problem.
inline constexpr std::string_view kLineUp = "decimal_multiplication.line_up";
// The point put as many places from the right as the multiplicand has.
inline constexpr std::string_view kPoint = "decimal_multiplication.point";
// The 0s at the end of the product's decimals struck ("2.5 × 4 = 10").
inline constexpr std::string_view kEndZero = "decimal_multiplication.end_zero";
// The 0 of the ones written in a product below 1 ("0.04 × 3 = 0.12").
inline constexpr std::string_view kOnesZero = "decimal_multiplication.ones_zero";
// A carry in a row or in the rows' sum.
inline constexpr std::string_view kCarry = "decimal_multiplication.carry";
// A two-digit multiplier: the second row shifted one place left, the rows added.
inline constexpr std::string_view kShiftedRow = "decimal_multiplication.shifted_row";
}  // namespace skill

// The skills in the order a pupil meets them, with the menu items of each.
std::span<const TopicSkill> MultiplicationSkills();

// The skills `problem` exercises, in the order of MultiplicationSkills().
std::vector<std::string_view> SkillsExercised(const MultiplicationProblem& problem);
bool Exercises(const MultiplicationProblem& problem, std::string_view id);

// The skill a kind of mistake (multiplication_diagnosis.h) shows is weak;
// empty for slip, other and unknown kinds.
std::string_view SkillOfMistake(std::string_view kind);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(const MultiplicationProblem& problem, bool correct, std::string_view kind);

// A problem of menu item `menu_choice` that exercises `id` and fits the
// item, re-seeding `random` first; nothing when the skill has no place in
// that item. Bounded: when the draws find none, a fixed problem of the item
// that exercises the skill stands.
std::optional<MultiplicationProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random);

}  // namespace sorelka::multiplication
