#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "rules/rules_bugs.h"

// The worked example of an expression (the right work replayed calculation
// after calculation through CalculationSteps, the model the pupil's own
// entries go through) and expressions worked with one mistake for the pupil
// to find.
namespace sorelka::rules {

using RulesExample = WorkedExample<RulesInput, RulesRole>;
using RulesMistakeExample = MistakeExample<ExpressionProblem, RulesInput, RulesRole>;

// What `role` shows on the worksheet: a number, a sign, or one digit of the
// quotient; empty where nothing is written.
std::string RulesRoleText(const Worksheet& sheet, RulesRole role);
// What `role` shows and where: its text with the column of its cell, so
// that a row written in the wrong column differs from the same row written
// where it belongs; empty where nothing is written.
std::string RulesPlaceText(const Worksheet& sheet, RulesRole role);

// The right work of `problem`: for a box problem the calculation chosen
// ("□を もとめるには ひき算を するよ"); then for each calculation one step per
// row written (a result, a product, a quotient digit, a difference), and
// "終わり", which hands the result on to the next calculation.
RulesExample RulesWorkedExample(const ExpressionProblem& problem);

// `inputs` entered on a fresh worksheet of `problem`, grouped into steps as
// the worked example is, without lines.
RulesExample ReplayRules(const ExpressionProblem& problem, const RulesInputs& inputs);

// The step of the right work where the pupil's own work first went wrong:
// for a wrong choice of calculation the choice; else, in the calculation the
// diagnosis names, the step writing the cell it frames, or the calculation's
// last row when the cell holds its result in a later calculation. None for a
// right answer.
std::optional<std::size_t> FirstWrongStep(const RulesExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis);

// The kinds of mistake a find-the-mistake example of menu item 1..4 can show.
std::vector<std::string> RulesMistakeKinds(int menu_choice);

// A problem of menu item 1..4 worked with one mistake by one of the buggy
// procedures, preferring `preferred_kinds` (a kind id or the kind inside a
// calculation, "shift_missing"). Every case of the item is drawn about as
// often (a problem is drawn until the case has a place in it), and every
// example is checked: the diagnosis names the case's kind; the places that
// differ from the right work (RulesPlaceText) are exactly the wrong step's
// (`accepted`: the wrong result, the wrong row, the wrong quotient digit,
// the numbers and sign of a calculation chosen wrongly) and those computed
// after it from the pupil's own numbers (`follows`). The pupil stops where
// the mistake shows (a product larger than the part, a difference as large
// as the divisor); a row added unshifted stands unshifted; the row marker
// does not show. The places are the cells holding work on the finished
// worksheet, in RulesRolesInOrder. None for any other menu choice.
std::optional<RulesMistakeExample> DrawRulesMistake(int menu_choice, RandomSource& random,
                                                    const std::vector<std::string>& preferred_kinds = {});
// The fixed example of menu item 1..4.
RulesMistakeExample RulesMistakeFallback(int menu_choice);

}  // namespace sorelka::rules
