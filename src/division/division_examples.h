#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "division/division_bugs.h"

// The worked example of a long division (the right work replayed step by step
// through LongDivision, the model the pupil's own entries go through) and
// long divisions worked with one mistake for the pupil to find.
namespace sorelka::division {

using DivisionExample = WorkedExample<DivisionInput, DivisionRole>;
using DivisionMistakeExample = MistakeExample<DivisionProblem, DivisionInput, DivisionRole>;

// Where `role` stands on a division worksheet `sheet`: a quotient digit is
// the character of the quotient over that column (the quotient starts over
// the column of its first digit), a row the row's whole cell.
RoleCell DivisionRoleCell(const Worksheet& sheet, DivisionRole role);
// What `role` shows on `sheet`: one digit of the quotient or a whole row;
// empty where nothing is written.
std::string DivisionRoleText(const Worksheet& sheet, DivisionRole role);

// The right work of `problem`, as the pupil enters it: one step per row
// written (a quotient digit, a product, a difference with the digits
// brought down, a tried difference that "飛ばし" clears, "飛ばし"), then
// "終わり", each with its line in the order たてる・かける・ひく・おろす
// ("十の位に ２を たてるよ　３×２＝６"), the last the check of the answer.
DivisionExample DivisionWorkedExample(const DivisionProblem& problem);

// `inputs` (a buggy pupil's, say) entered one step each on a fresh worksheet
// of `problem`, without lines.
DivisionExample ReplayDivision(const DivisionProblem& problem, const DivisionInputs& inputs);

// The step of the right work where the pupil's own work (`rows` of
// `problem`) first went wrong: for a quotient digit the step writing the
// right quotient's digit of that order (its last one for a digit too many),
// for a row the step writing it, else the first step whose place the
// pupil's worked rows hold otherwise. None for a right answer.
std::optional<std::size_t> FirstWrongStep(const DivisionExample& example, const DivisionProblem& problem,
                                          const WorkedRows& rows, const Diagnosis& diagnosis);

// The kinds of mistake a find-the-mistake example of menu item 1..3 can show.
std::vector<std::string> DivisionMistakeKinds(int menu_choice);

// A problem of menu item 1..3 drawn with `random` and fully worked with one
// mistake by one of the buggy procedures: of a kind among `preferred_kinds`
// where the item can show one, else of any kind it can show. Every example
// is checked before it is returned: its worked rows are diagnosed as the
// kind that made them, and the wrong place is the one the diagnosis points
// at and the first place that differs from the right work. The places after
// it that differ as the kind makes them differ are `follows`; the row marker
// does not show. A 0 left out is drawn on problems with a 0 inside the
// quotient. When no draw passes, the item's fixed example stands. None for
// any other menu choice.
std::optional<DivisionMistakeExample> DrawDivisionMistake(
    int menu_choice, RandomSource& random, const std::vector<std::string>& preferred_kinds = {});
// The fixed example of menu item 1..3.
DivisionMistakeExample DivisionMistakeFallback(int menu_choice);

// The lines of the steps, also for the divisions of the calculation-rules
// worksheet. `place` 1 ones … 4 thousands; a product is always written
// divisor × digit.
std::string PlaceDigitLine(int place, int digit, long long divisor);  // "十の位に ２を たてるよ　３×２＝６"
std::string ProductLine(long long product, long long partial);        // "６を ７の 下に かくよ"
// "７－６＝１　４を おろすよ"; with nothing brought down the remainder:
// "２５－２４＝１　あまりは １", "１２－１２＝０　わりきれたよ".
std::string DifferenceLine(long long partial, long long product, std::string_view brought);
// "１６は １８より 小さいので ０を たてるよ"
std::string ZeroLine(long long value, long long divisor);
// "４を おろすよ": one more digit brought down after a 0 in the quotient.
std::string BroughtLine(std::string_view brought);
// The check of the answer: "たしかめ　６×１２４＋１＝７４５", "たしかめ　６×１０２＝６１２".
std::string CheckLine(long long dividend, long long divisor);

}  // namespace sorelka::division
