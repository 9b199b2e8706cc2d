#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "decimals/decimal_bugs.h"

// The worked example of a decimal addition or subtraction (the right work
// replayed column by column through DecimalSheet, the model the pupil's own
// entries go through) and answers worked with one mistake for the pupil to
// find. The roles are the columns of the answer.
namespace sorelka::decimals {

using DecimalExample = WorkedExample<DecimalInput, Column>;
using DecimalMistakeExample = MistakeExample<DecimalProblem, DecimalInput, Column>;

// The digit of `column` the answer on a decimal sheet shows; empty for none.
std::string DecimalRoleText(const Worksheet& sheet, Column column);

// The right work of `problem` on the practice sheet of `operation`: one step
// per column from the right ("小数第二位は ５＋８＝１３　１くり上がるよ"),
// then "終わり".
DecimalExample DecimalWorkedExample(Operation operation, const DecimalProblem& problem);

// `inputs` entered one step each on a fresh sheet of `problem`, without lines.
DecimalExample ReplayDecimal(Operation operation, const DecimalProblem& problem,
                             const DecimalInputs& inputs);

// The step of the right work where the pupil's own work first went wrong:
// the one writing the column the diagnosis names (the digit DiagnosisMarker
// frames), else the first column whose digit the pupil's answer shows
// otherwise. None for a right answer.
std::optional<std::size_t> FirstWrongStep(const DecimalExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis);

// The kinds of mistake a find-the-mistake example of menu item 1..3 (the
// number of decimal places) can show.
std::vector<std::string> DecimalMistakeKinds(Operation operation, int menu_choice);

// A problem of menu item 1..3 fully worked with one mistake by one of the
// buggy procedures, preferring `preferred_kinds`; checked as the division's
// (the diagnosis names the procedure's kind, and its column is the first
// one, from the right, whose digit differs from the right answer's). None for
// any other menu choice.
std::optional<DecimalMistakeExample> DrawDecimalMistake(
    Operation operation, int menu_choice, RandomSource& random,
    const std::vector<std::string>& preferred_kinds = {});
// The fixed example of menu item 1..3.
DecimalMistakeExample DecimalMistakeFallback(Operation operation, int menu_choice);

}  // namespace sorelka::decimals
