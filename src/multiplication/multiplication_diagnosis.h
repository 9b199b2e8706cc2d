#pragma once

#include <string>
#include <string_view>

#include "core/finding.h"
#include "core/worked_rows.h"
#include "multiplication/multiplication_problem.h"
#include "multiplication/multiplication_sheet.h"

// The kinds of mistake in a decimal times a whole number, named from the
// pupil's own written rows: the pupil's cells are compared with the right
// work in writing order (row 1, row 2, the product, the point, the ones 0,
// the strokes) and at the first that differs the kind whose buggy procedure
// (multiplication_bugs.h) writes what the pupil wrote is named; otherwise
// slip or other. Every explanation ends with the right small fact of its
// step, a true calculation with "＝".
namespace sorelka::multiplication {

// The point put elsewhere than as many places as the multiplicand has (by
// counting from the left, or lined up as in an addition).
inline constexpr const char* kPointMisplaced = "point_misplaced";
inline constexpr const char* kPointMissing = "point_missing";
inline constexpr const char* kEndZeroKept = "end_zero_kept";        // 10.0, 0.90 left so
inline constexpr const char* kOnesZeroMissing = "ones_zero_missing";  // .12 for 0.12
inline constexpr const char* kRowNotShifted = "row_not_shifted";    // row 2 under row 1's last digit
inline constexpr const char* kCarryMissing = "carry_missing";
inline constexpr const char* kTimesTableSlip = "times_table_slip";  // one product of the times table wrong
inline constexpr const char* kRowSumSlip = "row_sum_slip";          // the sum of the two rows wrong

// The label of a kind (the shared ones included); empty for an unknown kind.
std::string MultiplicationKindLabel(std::string_view kind);

// Why `rows` (the pupil's worked rows) do not show the right product; none
// when they do. The step is "row:N/column:C" (N 1 and 2 the rows of a
// two-digit multiplier, 3 the product: their sum, or the one row of a
// one-digit multiplier, as MultiplicationRole counts; C 0 … 3 from the
// right), "point", "ones_zero" or "strikes".
Diagnosis DiagnoseMultiplication(const MultiplicationProblem& problem, const WorkedRows& rows);
// The same for the work itself (what WorkFromRows reads from the rows).
Diagnosis DiagnoseMultiplicationWork(const MultiplicationProblem& problem, MultiplicationWork work);

}  // namespace sorelka::multiplication
