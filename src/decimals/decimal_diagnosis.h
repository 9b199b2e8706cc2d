#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/finding.h"
#include "core/worked_example.h"
#include "core/worked_rows.h"
#include "decimals/decimal_numbers.h"

// What went wrong in a written decimal addition or subtraction, read from the
// problem and the answer the worksheet showed when it was judged.
//
// The pupil's answer is compared with the right work column by column from the
// right (the order the calculation is done in). At the first column that
// differs, each buggy version of the procedure (the right procedure with one
// mistake, made at that column only or wherever it can be made) is run; a kind
// is named when one of them writes what the pupil wrote at that column and at
// every column to its right. When several do, the one that reproduces most of
// the pupil's answer wins, then the order of the kinds below.
//
// Kinds (Finding::kind):
//   carry_missing        addition: the carry into the column was not added
//   borrow_missing       subtraction: the column that lent 1 to its right
//                        neighbour was not made smaller
//   smaller_from_larger  subtraction: the upper digit was too small, and the
//                        lower one was taken from it instead of borrowing
//   column_slip          that one column's sum or difference is wrong and the
//                        rest of the answer is right (the carry out of the
//                        wrong column may be the right one or the one its
//                        wrong result gives)
//   slip                 one column is wrong where there was nothing to
//                        calculate (no digits and no carry or borrow)
//   other                anything else, or an answer that cannot be read
//
// Finding::step is "column:" followed by the column's name, the first column
// that differs: "column:tens", "column:ones", "column:tenths",
// "column:hundredths", "column:thousandths". It is empty when the answer
// cannot be read.
namespace sorelka::decimals {

inline constexpr const char* kCarryMissing = "carry_missing";
inline constexpr const char* kBorrowMissing = "borrow_missing";
inline constexpr const char* kSmallerFromLarger = "smaller_from_larger";
inline constexpr const char* kColumnSlip = "column_slip";

// The Japanese label of a kind id of this topic (slip and other included);
// empty for an id this topic does not know.
std::string DecimalKindLabel(std::string_view kind);

// "column:tenths" and the like, and back: the column a step names (a screen
// marks that column's answer digit); nothing for an empty or unknown step.
std::string ColumnStep(Column column);
std::optional<Column> StepColumn(std::string_view step);

// The pupil's work in roles: the answer's digit in a column, and the small
// figure written above a column of the upper number (the carried 1 of an
// addition, the new digit of a subtraction's lending column).
struct DecimalRole {
    enum class Kind { Answer, Carry, Borrow };
    Kind kind = Kind::Answer;
    Column column = Column::Ones;

    static DecimalRole Answer(Column column) { return {Kind::Answer, column}; }
    // The small figure above `column` on a sheet of `operation`.
    static DecimalRole Mark(Operation operation, Column column) {
        return {operation == Operation::Addition ? Kind::Carry : Kind::Borrow, column};
    }
    bool operator==(const DecimalRole&) const = default;
};

// Where a role stands on the decimal worksheets: an answer column is one
// digit of the answer (role::kAnswer), counted from the decimal point; a
// small figure is a cell of its own (MarkRole).
RoleCell DecimalColumnCell(Column column);
RoleCell DecimalRoleCell(const DecimalRole& role);
// The digit the answer text ("5.23", the running ".05") shows in `column`;
// empty where it shows none.
std::string ColumnDigit(std::string_view answer, Column column);

// The answer the worked rows show (the answer's stored cell, as the finished
// answer writes it) as a scaled number with `places` decimal places; nothing
// when there is no answer or it is not a decimal number that fits the columns.
std::optional<int> WorkedAnswer(const WorkedRows& rows, int places);

// The diagnosis of the answer on the worked rows: no finding when it is right.
Diagnosis DiagnoseDecimal(Operation operation, const DecimalProblem& problem,
                          const WorkedRows& rows);
// The same for an answer given as a scaled number.
Diagnosis DiagnoseDecimalAnswer(Operation operation, const DecimalProblem& problem, int entered);

}  // namespace sorelka::decimals
