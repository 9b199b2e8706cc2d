#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/finding.h"
#include "core/worked_example.h"
#include "core/worked_rows.h"
#include "rules/expression_problems.h"
#include "rules/rules_sheet.h"

// Names the mistake in an expression worked on the calculation-rules
// worksheet, from what the worksheet showed when the answer was judged.
//
// The first wrong calculation is named: a right calculation on a wrong
// earlier result is no new mistake. An earlier calculation's result is read
// from the operands of the calculation after it (the worksheet shows only the
// calculation worked last, its rows are gone); inside the calculation on the
// worksheet, a division is diagnosed as the division screens' diagnosis does
// it, and a multiplication row by row. For a box problem the calculation
// chosen is checked first: it must undo the one in the problem.
namespace sorelka::rules {

// Kind ids of this topic (besides kSlip and kOther).
inline constexpr const char* kStepSlip = "step_slip";
inline constexpr const char* kInverseOperation = "inverse_operation";
// Kinds inside a multiplication (a wrong partial product is the division's
// "product_slip").
inline constexpr const char* kSumSlip = "sum_slip";
inline constexpr const char* kShiftMissing = "shift_missing";

// The Japanese label of a kind id, the kinds inside a calculation included
// ("□を求める計算がちがう", "商に０をたてわすれた", …); empty for an unknown id.
std::string RulesKindLabel(std::string_view kind);

// The finding of a wrong answer, none for a right one (the calculation on the
// worksheet gives the expected answer; for a box problem, the calculation
// that undoes the problem's does).
//
// kind: kStepSlip, kInverseOperation or kOther.
// step: fields separated by "/", always in this order:
//   "calc:N"       which calculation, 1 = worked first (a box problem has one)
//   "kind:ID"      only when the calculation is a division or a multiplication
//                  on the worksheet and a kind inside it is named
//                  (quotient_too_big, quotient_too_small, zero_missing,
//                  product_slip, difference_slip, bring_down, quotient_place,
//                  sum_slip, shift_missing)
//   "quotient:K"   the K-th quotient digit of a division, or
//   "row:N"        the row of the calculation on the worksheet: division rows
//                  2, 3, 5, 6 (its products and differences); multiplication
//                  rows 1..3 (shift_missing names row 2, the product of the
//                  tens that was added unmoved)
//   "cell:NAME"    always last: the stored name (RulesStoredName) of the cell
//                  to mark. For an earlier calculation it is the operand that
//                  holds its wrong result; for inverse_operation the sign of
//                  the calculation chosen or the dividend.
// e.g. "calc:1/cell:" and the stored name of the lower factor, or
//      "calc:2/kind:product_slip/row:2/cell:" and that of division row 2.
Diagnosis DiagnoseRules(const ExpressionProblem& problem, const WorkedRows& rows);

// The role a step of DiagnoseRules frames: its "cell:" field, with its
// "quotient:" field in the quotient; none for a step without a cell and for
// the quotient as a whole.
std::optional<RulesRole> RulesStepRole(std::string_view step);

// The value of field `key` ("calc", "kind", "quotient", "row", "cell") of a
// step; empty when the step has none.
std::string StepField(std::string_view step, std::string_view key);

}  // namespace sorelka::rules
