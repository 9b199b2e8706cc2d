#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/mastery.h"
#include "core/services.h"
#include "core/skill.h"
#include "core/topic.h"
#include "decimal_division/decimal_division_problem.h"
#include "decimals/decimal_numbers.h"
#include "division/division_problem.h"
#include "fractions/fraction_problem.h"
#include "multiplication/multiplication_problem.h"
#include "rules/expression_problems.h"

// Every topic's skills behind one door: the coach and the record ask here by
// Topic and skill id, and each call goes to the topic's own *_skills file.
namespace sorelka::coach {

// A problem of any topic: division, decimals (addition or subtraction, as
// the topic says), rules, fractions, the decimal multiplication, the decimal division.
using TopicProblem =
    std::variant<division::DivisionProblem, decimals::DecimalProblem, rules::ExpressionProblem,
                 fractions::FractionProblem, multiplication::MultiplicationProblem,
                 decimal_division::DecimalDivisionProblem>;

// The skills of `topic` in the order its menu meets them.
std::span<const TopicSkill> SkillsOf(Topic topic);

// A skill and the topic it belongs to; nothing for an unknown id.
struct FoundSkill {
    Topic topic;
    const TopicSkill* skill;
};
std::optional<FoundSkill> FindSkill(std::string_view id);

// The skills a problem of menu item `menu_choice` exercises; none when the
// problem is not one of the topic's.
std::vector<std::string_view> SkillsExercised(Topic topic, int menu_choice, const TopicProblem& problem);

// What a judged answer says about each skill: from the problem on screen
// (with the diagnosis's kind and step, empty when none), or from a stored
// `history` row (its problem text read back). The two agree for every
// problem the generators draw; a row whose text cannot be read says nothing.
std::vector<SkillObservation> ObserveAnswer(Topic topic, int menu_choice, const TopicProblem& problem,
                                            bool correct, std::string_view kind, std::string_view step);
std::vector<SkillObservation> ObserveStoredAnswer(const StoredAnswer& answer);

// The problem as `history.problem` keeps it, and back.
std::string StoredProblemText(Topic topic, const TopicProblem& problem);
std::optional<TopicProblem> ParseStoredProblem(Topic topic, int menu_choice, std::string_view text);

// The practice screen's own draw for `topic`'s menu item `menu_choice`
// (re-seeding first); nothing for an item the topic's menu does not have.
std::optional<TopicProblem> OrdinaryDraw(Topic topic, int menu_choice, RandomSource& random);

// A practice problem of `topic`'s menu item `menu_choice` that exercises
// `skill` within the item's own rules; nothing when the skill has no place
// in that item (TopicSkill::practice_items says where it has).
std::optional<TopicProblem> TargetedDraw(Topic topic, std::string_view skill, int menu_choice,
                                         RandomSource& random);

}  // namespace sorelka::coach
