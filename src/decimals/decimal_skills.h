#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "decimals/decimal_numbers.h"

// The skills of written decimal addition (one topic) and subtraction
// (another): which ones a problem exercises, which one a kind of mistake
// shows is weak, the problem read back from the record, and problems drawn to
// exercise one skill within a menu item's own rules.
namespace sorelka::decimals {

namespace skill {
inline constexpr std::string_view kAdditionColumn = "decimal_addition.column";  // each column's sum
inline constexpr std::string_view kCarry = "decimal_addition.carry";
// Operands written to different places ("2 + 3.5"): the points stand in one column.
inline constexpr std::string_view kAdditionLineUp = "decimal_addition.line_up";
// The sum's last decimals are 0 and are dropped ("2.5 + 1.5 = 4").
inline constexpr std::string_view kTrailingZero = "decimal_addition.trailing_zero";
inline constexpr std::string_view kSubtractionColumn = "decimal_subtraction.column";
inline constexpr std::string_view kBorrow = "decimal_subtraction.borrow";
inline constexpr std::string_view kSubtractionLineUp = "decimal_subtraction.line_up";
// A 0 of the upper number lends: it becomes 9 and borrows in turn ("5.03 − 1.17").
inline constexpr std::string_view kBorrowAcrossZero = "decimal_subtraction.borrow_across_zero";
}  // namespace skill

// The skills of the addition or the subtraction topic, in the order a pupil
// meets them, with the menu items (numbers of decimal places) of each.
std::span<const TopicSkill> DecimalSkills(Operation operation);

// The skills `problem` exercises, in the order of DecimalSkills().
std::vector<std::string_view> SkillsExercised(Operation operation, const DecimalProblem& problem);
bool Exercises(Operation operation, const DecimalProblem& problem, std::string_view id);

// The skill a kind of mistake (decimal_diagnosis.h) at the column its step
// names shows is weak: a lending column that was not made smaller is the
// borrow across a 0 when its digit is 0. Empty for slip, other and unknown kinds.
std::string_view SkillOfMistake(Operation operation, const DecimalProblem& problem,
                                std::string_view kind, std::string_view step);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(Operation operation, const DecimalProblem& problem,
                                            bool correct, std::string_view kind, std::string_view step);

// The problem as `history.problem` keeps it ("2 ＋ 3.5", "5.2 - 4.9": the
// drill log's text without its padding), and back with the places of menu
// item `menu_choice`; nothing for a text that is no such problem. The kind of
// the draw is not in the text: problem_kind is 0.
std::string StoredProblemText(Operation operation, const DecimalProblem& problem);
std::optional<DecimalProblem> ParseStoredProblem(Operation operation, int menu_choice, std::string_view text);

// A problem of menu item `menu_choice` that exercises `id` and satisfies
// FitsMenuItem, re-seeding `random` first; nothing when the skill has no
// place in that item. Bounded: when the draws find none, a fixed problem of
// the item that exercises the skill stands.
std::optional<DecimalProblem> TargetedDraw(Operation operation, std::string_view id, int menu_choice,
                                           RandomSource& random);

}  // namespace sorelka::decimals
