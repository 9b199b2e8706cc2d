#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "decimal_division/decimal_division_sheet.h"

// The worked example of a decimal divided by a whole number (the right work
// replayed through DecimalDivisionSteps, ending with the whole calculation
// on the prompt line, "７．５÷４＝１．８ あまり ０．３") and answers worked
// with one mistake for the pupil to find.
namespace sorelka::decimal_division {

// A place of the pupil's work: one of the long division's (a quotient digit
// or a row), the 0s after the dividend, the quotient's point, the ones 0,
// the remainder's point or the rounded row.
struct DecimalDivisionRole {
    enum class Part { Division, DividendZeros, QuotientPoint, OnesZero, RemainderPoint, Rounded };
    Part part = Part::Division;
    division::DivisionRole division;  // Part::Division

    bool operator==(const DecimalDivisionRole&) const = default;
};

using DecimalDivisionExample = WorkedExample<DecimalDivisionInput, DecimalDivisionRole>;
using DecimalDivisionMistakeExample =
    MistakeExample<DecimalDivisionProblem, DecimalDivisionInput, DecimalDivisionRole>;

// The worksheet cell of a role, and what it shows on a sheet.
RoleCell DecimalDivisionRoleCell(const Worksheet& sheet, const DecimalDivisionRole& role);
std::string DecimalDivisionRoleText(const Worksheet& sheet, const DecimalDivisionRole& role);
// The place a diagnosis step names: the long division's ("quotient:K",
// "row:N") or "point", "ones_zero", "zeros", "remainder_point", "rounded";
// none for another text.
std::optional<DecimalDivisionRole> RoleOfStep(std::string_view step, const WorkedRows& rows,
                                              const DecimalDivisionProblem& problem);

// The right work of `problem`, one step per input with its line (the long
// division's lines, "０を つけたして わり進むよ", "商の小数点は わられる数の
// 小数点に そろえて うつよ", …), then "終わり", whose line is WideFact(problem).
DecimalDivisionExample DecimalDivisionWorkedExample(const DecimalDivisionProblem& problem);
// `inputs` entered one step each on a fresh sheet of `problem`, without lines.
DecimalDivisionExample ReplayDecimalDivision(const DecimalDivisionProblem& problem,
                                             const DecimalDivisionInputs& inputs);

// The kinds a find-the-mistake example of menu item 1 … kMenuItems can show.
std::vector<std::string> DecimalDivisionMistakeKinds(int menu_choice);
// A problem of the menu item worked by one of the buggy procedures,
// preferring `preferred_kinds`, kept when the diagnosis names the
// procedure's kind; none for another menu choice.
std::optional<DecimalDivisionMistakeExample> DrawDecimalDivisionMistake(
    int menu_choice, RandomSource& random, const std::vector<std::string>& preferred_kinds = {});
// The fixed example of a menu item.
DecimalDivisionMistakeExample DecimalDivisionMistakeFallback(int menu_choice);

}  // namespace sorelka::decimal_division
