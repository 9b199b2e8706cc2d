#pragma once

#include <vector>

#include "core/services.h"
#include "core/worked_rows.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_numbers.h"
#include "decimals/decimal_sheet.h"

// Pupils who work decimal additions and subtractions column by column: the
// taught procedure, or the same with one mistake of their own (the buggy
// procedures whose mistakes the diagnosis names), and what they enter on the
// decimal sheet. The worked examples replay them; the diagnosis tests and
// benchmarks use them too.
namespace sorelka::decimals {

enum class DecimalPupil {
    Right,         // the taught procedure
    ForgetsCarry,  // adds the column digits and never the carry
    KeepsLender,   // borrows 10 but never makes the lending column smaller
    Swaps,         // takes the smaller digit from the larger one, never borrows
    ColumnSlip,    // one column's sum one too big or difference one too small
};

struct DecimalPupilCase {
    DecimalPupil pupil;
    const char* kind;  // what the diagnosis names
    bool adds;         // on additions
    bool subtracts;    // on subtractions
};
inline constexpr DecimalPupilCase kDecimalPupils[] = {
    {DecimalPupil::ForgetsCarry, kCarryMissing, true, false},
    {DecimalPupil::KeepsLender, kBorrowMissing, false, true},
    {DecimalPupil::Swaps, kSmallerFromLarger, false, true},
    {DecimalPupil::ColumnSlip, kColumnSlip, true, true},
};

struct DecimalWork {
    AnswerDigits digits{};          // by column, tens first
    Column slipped = Column::Tens;  // ColumnSlip: the column that went wrong
};

// What `pupil` writes for `problem`, column by column from the right. Only
// the column slip draws (which column, from `random`).
DecimalWork WorkDecimal(DecimalPupil pupil, Operation operation, const DecimalProblem& problem,
                        RandomSource& random);

// The worksheet's numbers once `entered` is finished, as the sheet writes them.
WorkedRows FinishedDecimalRows(const DecimalProblem& problem, int entered);

// What a pupil enters on the decimal sheet: a digit in a column's list, or
// "終わり".
struct DecimalInput {
    enum class What { Digit, Finish };
    What what = What::Digit;
    Column column = Column::Ones;
    int digit = 0;

    static DecimalInput Digit(Column column, int digit) { return {What::Digit, column, digit}; }
    static DecimalInput Finish() { return {What::Finish, Column::Ones, 0}; }
    bool operator==(const DecimalInput&) const = default;
};
using DecimalInputs = std::vector<DecimalInput>;

void Feed(DecimalSheet& sheet, const DecimalInput& input);

// The inputs that write `digits` for `places` decimal places, as a pupil
// works: from the last decimal place to the ones, the tens where they are
// not 0, then "終わり".
DecimalInputs AnswerInputs(const AnswerDigits& digits, int places);

}  // namespace sorelka::decimals
