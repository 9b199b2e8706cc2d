#pragma once

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

// Whether `problem` gives `pupil`'s mistake a place (a carry to forget, a
// second row to shift, a product below 1, …) so that its work differs from
// the right work.
bool CanMakeMistake(MultiplicationPupil pupil, const MultiplicationProblem& problem);
// What `pupil` writes for `problem`; where the mistake can fall in more than
// one place (which carry, which product), `random` draws it. For a problem
// that gives the mistake no place, the right work.
MultiplicationWork WorkOf(MultiplicationPupil pupil, const MultiplicationProblem& problem, RandomSource& random);

}  // namespace sorelka::multiplication
