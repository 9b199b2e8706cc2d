#pragma once

#include <string>
#include <string_view>

#include "core/finding.h"
#include "core/worked_rows.h"

// The kinds of mistake in a decimal divided by a whole number: the decimal
// kinds of this topic (the points, the ones 0, dividing on, rounding) and
// the long division's own kinds (division_diagnosis.h), which the digits'
// work is diagnosed by: it is the long division of the scaled dividend.
namespace sorelka::decimal_division {

inline constexpr const char* kQuotientPointMissing = "quotient_point_missing";      // 135 for 1.35
inline constexpr const char* kQuotientPointMisplaced = "quotient_point_misplaced";  // 13.5 for 1.35
inline constexpr const char* kOnesZeroMissing = "ones_zero_missing";                // .4 for 0.4
// The remainder read as a whole number (3 for 0.3) or its point put by the
// dividend's own places.
inline constexpr const char* kRemainderPoint = "remainder_point";
// Stopped at the dividend's last digit instead of writing 0s and dividing
// on (1.3 あまり 0.2 for 1.35), or divided only to the asked place before rounding.
inline constexpr const char* kStoppedEarly = "stopped_early";
inline constexpr const char* kRoundingPlace = "rounding_place";  // 0.4 or 0.357 for 0.36
inline constexpr const char* kRoundingCut = "rounding_cut";      // 0.35 for 0.357… to 1/100

// The label of a kind, the long division's and the shared ones included;
// empty for an unknown kind.
std::string DecimalDivisionKindLabel(std::string_view kind);

struct DecimalDivisionProblem;
struct DecimalDivisionWork;

// Why `rows` (the pupil's worked rows, decimal_division_cells.h) do not
// show the right answer; none when they do. The digits' work is diagnosed
// as the long division of the scaled dividend (its steps "quotient:K",
// "row:N" and kinds); this topic's steps are "zeros", "point",
// "ones_zero", "remainder_point" and "rounded". Every explanation ends with
// the right small fact of its step, a true calculation with "＝".
Diagnosis DiagnoseDecimalDivision(const DecimalDivisionProblem& problem, const WorkedRows& rows);
// The same for the work itself.
Diagnosis DiagnoseDecimalDivisionWork(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work);

}  // namespace sorelka::decimal_division
