#pragma once

#include <array>

#include "core/services.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_sheet.h"

// Pupils who multiply a decimal by a whole number in columns: the taught
// procedure, or the same with one mistake of their own (the buggy procedures
// whose mistakes the diagnosis names). The worked examples replay them; the
// diagnosis tests and benchmarks use them too.
namespace sorelka::multiplication {

enum class MultiplicationPupil {
    Right,
    PointFromLeft,   // as many digits left of the point as the multiplicand has
    ForgetsPoint,
    KeepsEndZeros,
    ForgetsOnesZero,
    DoesNotShift,    // row 2 written with its last digit in column 0
    ForgetsCarry,    // one carry of a row not added
    TimesTableSlip,  // one times-table product wrong by one
    RowSumSlip,      // one column of the rows' sum wrong by one
};

struct MultiplicationPupilCase {
    MultiplicationPupil pupil;
    const char* kind;  // what the diagnosis names
};
inline constexpr MultiplicationPupilCase kMultiplicationPupils[] = {
    {MultiplicationPupil::PointFromLeft, kPointMisplaced},
    {MultiplicationPupil::ForgetsPoint, kPointMissing},
    {MultiplicationPupil::KeepsEndZeros, kEndZeroKept},
    {MultiplicationPupil::ForgetsOnesZero, kOnesZeroMissing},
    {MultiplicationPupil::DoesNotShift, kRowNotShifted},
    {MultiplicationPupil::ForgetsCarry, kCarryMissing},
    {MultiplicationPupil::TimesTableSlip, kTimesTableSlip},
    {MultiplicationPupil::RowSumSlip, kRowSumSlip},
};

// One row of the written work, column by column from the right, by the
// taught procedure with at most one change: the carry into one column left
// out (or into every column from it on), another product of the times table
// written in one column, or one column of the rows' sum written with another
// digit and carry. Columns are those of the sheet (a shifted row starts in
// column 1).
struct RowChange {
    enum class What { None, DropCarry, DropCarriesFrom, Product, Digit };
    What what = What::None;
    int column = -1;
    int product = 0;  // Product: the times-table product used; Digit: the digit written
    int carry = 0;    // Digit: the carry going on
};
struct RowWork {
    RowDigits digits = kEmptyRow;
    std::array<int, kColumns + 1> carry_in{};  // the carry going into each column
    bool fits = true;                          // no digit beyond the last column
};
// `multiplicand` × `factor` (one digit), its last digit in column `shift`.
RowWork MultiplyRow(int multiplicand, int factor, int shift, const RowChange& change = {});
// The sum of the two rows of a two-digit multiplier.
RowWork AddRows(const RowDigits& first, const RowDigits& second, const RowChange& change = {});
// The digits of the multiplicand (as a whole number): 3 for 2.37.
int DigitCount(int value);

// Whether `problem` gives `pupil`'s mistake a place (a carry to forget, a
// second row to shift, a product below 1, …) so that its work differs from
// the right work.
bool CanMakeMistake(MultiplicationPupil pupil, const MultiplicationProblem& problem);
// What `pupil` writes for `problem`; where the mistake can fall in more than
// one place (which carry, which product), `random` draws it. For a problem
// that gives the mistake no place, the right work.
MultiplicationWork WorkOf(MultiplicationPupil pupil, const MultiplicationProblem& problem, RandomSource& random);

}  // namespace sorelka::multiplication
