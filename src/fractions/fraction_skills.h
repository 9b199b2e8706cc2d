#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "fractions/fraction_problem.h"

// The skills of writing fractions: which ones a problem of a family (the
// menu item) exercises, which one a kind of mistake shows is weak, the
// problem read back from the record, and problems drawn to exercise one skill.
namespace sorelka::fractions {

namespace skill {
inline constexpr std::string_view kImproperToMixed = "fractions.improper_to_mixed";
// Family 1 of the drill: the improper fraction is a whole number (12/4 = 3).
inline constexpr std::string_view kWholeResult = "fractions.whole_result";
inline constexpr std::string_view kMixedToImproper = "fractions.mixed_to_improper";
inline constexpr std::string_view kHiddenNumerator = "fractions.hidden_numerator";
inline constexpr std::string_view kKeepDenominator = "fractions.keep_denominator";
}  // namespace skill

// The topic's skills, in the order a pupil meets them on the menu, with the
// practice screen's menu items that can aim at each (the whole-number results
// only the drill draws have none).
std::span<const TopicSkill> FractionSkills();

// The skills a problem of `family` exercises, in the order of FractionSkills().
std::vector<std::string_view> SkillsExercised(int family, const FractionProblem& problem);
bool Exercises(int family, const FractionProblem& problem, std::string_view id);

// The skill a kind of mistake (fraction_diagnosis.h) shows is weak: a changed
// denominator the kept denominator, every other named kind the conversion of
// the family. Empty for slip, other and unknown kinds.
std::string_view SkillOfKind(int family, const FractionProblem& problem, std::string_view kind);

// What one judged answer says about each skill (`kind` empty when none).
std::vector<SkillObservation> ObserveAnswer(int family, const FractionProblem& problem, bool correct,
                                            std::string_view kind);

// The problem as `history.problem` keeps it ("2・1 / 3 =", "11 / 4 =":
// ProblemText), and back for family `menu_choice`. Family 3's whole part on
// the right is not in the text: its answer_whole and answer_numerator stay 0.
// Nothing for a text that is no such problem.
std::string StoredProblemText(const FractionProblem& problem);
std::optional<FractionProblem> ParseStoredProblem(int menu_choice, std::string_view text);

// A practice problem of family `menu_choice` that exercises `id` and
// satisfies FitsFamily, re-seeding `random` first; nothing when the practice
// screen draws no such problem. Bounded: a fixed problem stands when the
// draws find none.
std::optional<FractionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random);

}  // namespace sorelka::fractions
