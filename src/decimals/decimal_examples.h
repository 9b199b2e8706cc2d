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
// entries go through, with the carried 1s, the struck lenders and the zeros a
// number is read with, as a teacher writes them) and answers worked with one
// mistake for the pupil to find. The roles are the answer's columns and the
// small figures above the columns.
namespace sorelka::decimals {

using DecimalExample = WorkedExample<DecimalInput, DecimalRole>;
using DecimalMistakeExample = MistakeExample<DecimalProblem, DecimalInput, DecimalRole>;

// What `role` shows on a decimal sheet: the answer's digit in its column or
// the small figure above it; empty for none (a column not yet worked).
std::string DecimalRoleText(const Worksheet& sheet, const DecimalRole& role);

// The right work of `problem` on the practice sheet of `operation`: the
// zeros a number is read with when the numbers have different decimal places
// ("５を ５．００と みるよ", a step without an entry), then one step per column
// from the right ("小数第二位は ５＋８＝１３　１くり上がるよ", the small 1 written
// above the next column), then "終わり". The answer shows the worked columns
// only.
DecimalExample DecimalWorkedExample(Operation operation, const DecimalProblem& problem);

// `work` entered one step each on a fresh sheet of `problem`, without lines.
DecimalExample ReplayDecimal(Operation operation, const DecimalProblem& problem, const DecimalWork& work);

// The step of the right work where the pupil's own work first went wrong:
// the one writing the column the diagnosis names (the digit DiagnosisMarker
// frames), else the first column whose digit the pupil's answer shows
// otherwise. None for a right answer.
std::optional<std::size_t> FirstWrongStep(const DecimalExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis);

// The kinds of mistake a find-the-mistake example of menu item 1..3 (the
// number of decimal places) can show.
std::vector<std::string> DecimalMistakeKinds(Operation operation, int menu_choice);

// A problem of menu item 1..3 worked by one of the buggy procedures with its
// mistake made in one column, preferring `preferred_kinds`. Kept when the
// diagnosis names the procedure's kind at that column and the column's answer
// digit shows; the wrong step's places (that digit, and the carried 1 or the
// struck lender the pupil left out) are accepted, and the later places that
// differ only because they follow from it are named. The places to point at
// are the answer's digits and the spots of the small figures above the
// columns, written or not. None for any other menu choice.
std::optional<DecimalMistakeExample> DrawDecimalMistake(
    Operation operation, int menu_choice, RandomSource& random,
    const std::vector<std::string>& preferred_kinds = {});
// The fixed example of menu item 1..3.
DecimalMistakeExample DecimalMistakeFallback(Operation operation, int menu_choice);

}  // namespace sorelka::decimals
