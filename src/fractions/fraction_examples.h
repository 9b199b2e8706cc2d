#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "fractions/fraction_bugs.h"

// The worked example of a fraction conversion (the right answer entered slot
// by slot through the practice's FractionSheet, the model the pupil's own
// entries go through) and answers with one mistake for the pupil to find.
// The roles are the answer's slots.
namespace sorelka::fractions {

using FractionExample = WorkedExample<FractionInput, FractionSlot>;
using FractionMistakeExample = MistakeExample<FractionProblem, FractionInput, FractionSlot>;

// What `slot` shows on a fraction sheet ("？" and "□" included); empty for nothing.
std::string FractionRoleText(const Worksheet& sheet, FractionSlot slot);

// The right work of `problem` of `family` on the practice sheet: one step per
// slot in the order the pupil fills them ("１１÷４＝２ あまり ３　整数は ２"),
// then "終わり".
FractionExample FractionWorkedExample(int family, const FractionProblem& problem);

// `inputs` entered one step each on a fresh practice sheet, without lines.
FractionExample ReplayFraction(int family, const FractionProblem& problem, const FractionInputs& inputs);

// The step of the right work where the pupil's own work first went wrong:
// the one writing the slot the diagnosis names (the slot DiagnosisMarker
// frames), else the first slot the pupil's rows hold otherwise. None for a
// right answer.
std::optional<std::size_t> FirstWrongStep(const FractionExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis);

// The kinds of mistake a find-the-mistake example of `family` can show.
std::vector<std::string> FractionMistakeKinds(int family);

// A problem of `family` (the practice's menu item 1..3) answered with one
// mistake by one of the buggy procedures, preferring `preferred_kinds`. The
// slots that differ from the right work are exactly those the mistake wrote
// (MistakenSlots): every one of them is accepted, the diagnosed one framed.
// The places are the slots of FractionSlots. None for any other family.
std::optional<FractionMistakeExample> DrawFractionMistake(
    int family, RandomSource& random, const std::vector<std::string>& preferred_kinds = {});
// The fixed example of family 1..3.
FractionMistakeExample FractionMistakeFallback(int family);

}  // namespace sorelka::fractions
