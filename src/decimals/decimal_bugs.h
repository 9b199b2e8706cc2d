#pragma once

#include <optional>
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
    ForgetsCarry,  // neither writes nor adds the carry into a column
    KeepsLender,   // borrows 10 but does not make the lending column smaller
    Swaps,         // takes the smaller digit from the larger one instead of borrowing
    ColumnSlip,    // one column's sum one too big or difference one too small
};

// Where a pupil makes the mistake: in every column where it can be made (a
// pupil who never carries), or in one of them, drawn (a pupil who forgot one
// carry). A column slip is always made in one column.
enum class MistakeScope { EveryColumn, OneColumn };

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

// No small figure above a column.
inline constexpr int kNoMark = -1;

struct DecimalWork {
    AnswerDigits digits{};  // by column, tens first
    // The small figures written above the upper number, by column as
    // `digits`: the carried 1 of an addition, the new digit of a subtraction's
    // lending column (struck through below it); kNoMark where none is.
    AnswerDigits marks{kNoMark, kNoMark, kNoMark, kNoMark, kNoMark};
    // The column of a mistake made in one column; none for right work, a
    // mistake made everywhere, or one the problem gives no place to.
    std::optional<Column> mistake;
};

// What `pupil` writes for `problem`, column by column from the right. Only
// a mistake made in one column draws (which column, from `random`, among
// those where the pupil's kind of mistake can be made).
DecimalWork WorkDecimal(DecimalPupil pupil, Operation operation, const DecimalProblem& problem,
                        RandomSource& random, MistakeScope scope = MistakeScope::EveryColumn);

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
