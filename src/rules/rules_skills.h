#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "rules/expression_problems.h"

// The skills of the rules of calculation: the order the rules give, the
// inverse calculation of each box form, and the column calculations worked on
// the way; which ones a problem exercises, which one a kind of mistake shows
// is weak, the problem read back from the record, and problems drawn to
// exercise one skill within a menu item's own families.
namespace sorelka::rules {

namespace skill {
inline constexpr std::string_view kParenthesesFirst = "rules.parentheses_first";
inline constexpr std::string_view kTimesDivideFirst = "rules.times_divide_first";
inline constexpr std::string_view kLeftToRight = "rules.left_to_right";  // × and ÷ only
inline constexpr std::string_view kBoxAddition = "rules.box_addition";              // □ + a = b
inline constexpr std::string_view kBoxSubtraction = "rules.box_subtraction";        // □ − a = b
inline constexpr std::string_view kBoxMultiplication = "rules.box_multiplication";  // □ × a = b
inline constexpr std::string_view kBoxDivision = "rules.box_division";              // □ ÷ a = b
inline constexpr std::string_view kColumnAddition = "rules.column_addition";
inline constexpr std::string_view kColumnSubtraction = "rules.column_subtraction";
inline constexpr std::string_view kColumnMultiplication = "rules.column_multiplication";
inline constexpr std::string_view kColumnDivision = "rules.column_division";
}  // namespace skill

// The topic's skills, in the order a pupil meets them on the menu, with the
// menu items whose problems can aim at each.
std::span<const TopicSkill> RulesSkills();

// The operations of a problem's column calculations in the order they are
// worked (calc:1, calc:2, calc:3 of the diagnosis); a box problem's one
// calculation is the one that undoes its operation.
std::vector<int> CalculationOps(const ExpressionProblem& problem);

// The skills `problem` exercises, in the order of RulesSkills().
std::vector<std::string_view> SkillsExercised(const ExpressionProblem& problem);
bool Exercises(const ExpressionProblem& problem, std::string_view id);

// The skill a kind of mistake (rules_diagnosis.h) shows is weak: a wrong
// column calculation (step_slip) the one of its calculation's operation, the
// wrong calculation for the box its form. Empty for other and unknown kinds.
std::string_view SkillOfMistake(const ExpressionProblem& problem, std::string_view kind,
                                std::string_view step);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(const ExpressionProblem& problem, bool correct,
                                            std::string_view kind, std::string_view step);

// The problem as `history.problem` keeps it ("12 - ( 34 + 5 ) =", "□ + 23 = 58":
// ProblemTextForLog), and back for menu item `menu_choice`: menu, family,
// kind code, operands, answer and text as the generators fill them (a box
// problem's kind code is 0); nothing for a text no family of the menu writes.
std::string StoredProblemText(const ExpressionProblem& problem);
std::optional<ExpressionProblem> ParseStoredProblem(int menu_choice, std::string_view text);

// A practice problem of menu item `menu_choice` that exercises `id`: one of
// the item's families whose calculations exercise it, drawn by that family's
// own draw, re-seeding `random` first; nothing when the skill has no place in
// the item. When the family's draws all fail its rule, a fixed problem of the
// item that exercises the skill stands.
std::optional<ExpressionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random);

}  // namespace sorelka::rules
