#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "division/division_problem.h"

// The skills of long division: which ones a problem exercises, which one a
// kind of mistake shows is weak, the problem read back from the record, and
// problems drawn to exercise one skill within a menu item's own rules.
namespace sorelka::division {

namespace skill {
// たてる with a one-digit divisor: the quotient digit, neither too big nor too small.
inline constexpr std::string_view kEstimate = "division.estimate";
inline constexpr std::string_view kMultiply = "division.multiply";           // かける
inline constexpr std::string_view kSubtract = "division.subtract";           // ひく
inline constexpr std::string_view kBringDown = "division.bring_down";        // おろす
inline constexpr std::string_view kQuotientPlace = "division.quotient_place";  // the place of the first digit
// A 0 the bringing down puts into the quotient (inside it or at its end).
inline constexpr std::string_view kZeroInQuotient = "division.zero_in_quotient";
inline constexpr std::string_view kThreeDigitQuotient = "division.three_digit_quotient";
// たてる with a two- or three-digit divisor.
inline constexpr std::string_view kTwoDigitDivisor = "division.two_digit_divisor";
inline constexpr std::string_view kThreeDigitDivisor = "division.three_digit_divisor";
}  // namespace skill

// The topic's skills, in the order a pupil meets them on the menu, with the
// menu items whose problems can aim at each.
std::span<const TopicSkill> DivisionSkills();

// The skills `problem` exercises, in the order of DivisionSkills().
std::vector<std::string_view> SkillsExercised(const DivisionProblem& problem);
bool Exercises(const DivisionProblem& problem, std::string_view id);

// The skill a kind of mistake (division_diagnosis.h) in `problem` shows is
// weak; empty for slip, other and kinds this topic does not name. A quotient
// digit too big or too small belongs to the たてる of the problem's divisor.
std::string_view SkillOfKind(const DivisionProblem& problem, std::string_view kind);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(const DivisionProblem& problem, bool correct,
                                            std::string_view kind);

// The problem as `history.problem` keeps it: "745 ÷ 6" (the drill log's text
// without its padding), and back for menu item `menu_choice`, whose kind
// ranges give problem_kind; nothing for a text that is no such division.
std::string StoredProblemText(const DivisionProblem& problem);
std::optional<DivisionProblem> ParseStoredProblem(int menu_choice, std::string_view text);

// A problem of menu item `menu_choice` that exercises `skill` and satisfies
// FitsMenuItem, re-seeding `random` first; nothing when the skill has no
// place in that item. Bounded: when the draws find none, a fixed problem of
// the item that exercises the skill stands.
std::optional<DivisionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random);

}  // namespace sorelka::division
