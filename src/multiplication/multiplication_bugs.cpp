#include "multiplication/multiplication_bugs.h"

#include <vector>

#include "core/number_text.h"

namespace sorelka::multiplication {

namespace {

// Writes `digit` in column `column` of `work`; a column beyond the sheet
// makes the row not fit.
void Put(RowWork& work, int column, int digit) {
    if (column < 0 || column >= kColumns) {
        work.fits = false;
        return;
    }
    work.digits[static_cast<std::size_t>(column)] = digit;
}

void NoteCarry(RowWork& work, int column, int carry) {
    if (column >= 0 && column <= kColumns) work.carry_in[static_cast<std::size_t>(column)] = carry;
}

bool Drops(const RowChange& change, int column) {
    return (change.what == RowChange::What::DropCarry && change.column == column) ||
           (change.what == RowChange::What::DropCarriesFrom && column >= change.column);
}

int Digit(const RowDigits& row, int column) {
    const int d = row[static_cast<std::size_t>(column)];
    return d == kEmpty ? 0 : d;
}

// The product finished as taught: the point as many places from the right
// as the multiplicand has, the ones 0 when the digits begin right of it, the
// 0s at the end of the decimals struck.
void Finish(MultiplicationWork& work, int places) {
    work.point = places;
    int highest = -1;
    for (int c = 0; c < kColumns; ++c)
        if (work.product[static_cast<std::size_t>(c)] != kEmpty) highest = c;
    work.ones_zero = highest < places;
    work.struck = 0;
    while (work.struck < places && work.product[static_cast<std::size_t>(work.struck)] == 0) ++work.struck;
}

// Where a pupil makes a mistake made in one place: which row (0, 1 the rows
// of a two-digit multiplier, 2 their sum; 0 the product of a one-digit one)
// and what changes there.
struct Slot {
    int row = 0;
    RowChange change;
};

// The work of the taught procedure with `slot`'s change, every later step
// worked right on the pupil's own numbers; none when a row would not fit.
std::optional<MultiplicationWork> WorkWith(const MultiplicationProblem& problem, const Slot& slot) {
    MultiplicationWork work;
    const auto change_of = [&](int row) { return slot.row == row ? slot.change : RowChange{}; };
    if (!problem.TwoDigitMultiplier()) {
        const RowWork product = MultiplyRow(problem.digits, problem.multiplier, 0, change_of(0));
        if (!product.fits) return std::nullopt;
        work.product = product.digits;
    } else {
        const RowWork first = MultiplyRow(problem.digits, problem.multiplier % 10, 0, change_of(0));
        const RowWork second = MultiplyRow(problem.digits, problem.multiplier / 10, 1, change_of(1));
        const RowWork sum = AddRows(first.digits, second.digits, change_of(2));
        if (!first.fits || !second.fits || !sum.fits) return std::nullopt;
        work.rows = {first.digits, second.digits};
        work.product = sum.digits;
    }
    if (RowValue(work.product) == 0) return std::nullopt;
    Finish(work, problem.places);
    return work;
}

// The places where `pupil`'s mistake made in one place can fall in `problem`.
std::vector<Slot> SlotsOf(MultiplicationPupil pupil, const MultiplicationProblem& problem) {
    std::vector<Slot> slots;
    const int n = DigitCount(problem.digits);
    const bool two = problem.TwoDigitMultiplier();
    const int factors[] = {two ? problem.multiplier % 10 : problem.multiplier, problem.multiplier / 10};
    const int multiplication_rows = two ? 2 : 1;
    for (int row = 0; row < multiplication_rows; ++row) {
        const RowWork right = MultiplyRow(problem.digits, factors[row], row);
        for (int k = 0; k < n; ++k) {
            const int column = k + row;
            if (pupil == MultiplicationPupil::ForgetsCarry && right.carry_in[static_cast<std::size_t>(column)] > 0)
                slots.push_back({row, {RowChange::What::DropCarry, column}});
            if (pupil == MultiplicationPupil::TimesTableSlip)
                slots.push_back({row, {RowChange::What::Product, column, DigitAt(problem.digits, k) * factors[row] + 1}});
        }
    }
    if (two && (pupil == MultiplicationPupil::ForgetsCarry || pupil == MultiplicationPupil::RowSumSlip)) {
        const MultiplicationWork right = RightWork(problem);
        const RowWork sum = AddRows(right.rows[0], right.rows[1]);
        for (int c = 0; c < kColumns; ++c) {
            if (right.rows[0][static_cast<std::size_t>(c)] == kEmpty && right.rows[1][static_cast<std::size_t>(c)] == kEmpty)
                continue;
            const std::size_t at = static_cast<std::size_t>(c);
            if (pupil == MultiplicationPupil::ForgetsCarry && sum.carry_in[at] > 0)
                slots.push_back({2, {RowChange::What::DropCarry, c}});
            if (pupil == MultiplicationPupil::RowSumSlip)
                slots.push_back({2, {RowChange::What::Digit, c, (sum.digits[at] + 1) % 10, sum.carry_in[at + 1]}});
        }
    }
    std::vector<Slot> fitting;
    for (const Slot& slot : slots)
        if (WorkWith(problem, slot)) fitting.push_back(slot);
    return fitting;
}

// The digits of the product left of the point when it is put as many digits
// from the left as the multiplicand has left of its own: 1.422 for 2.37 × 6.
int PointFromLeft(const MultiplicationProblem& problem, const MultiplicationWork& right) {
    int highest = 0;
    for (int c = 0; c < kColumns; ++c)
        if (right.product[static_cast<std::size_t>(c)] != kEmpty) highest = c;
    const int left = DigitCount(problem.digits / static_cast<int>(Pow10(problem.places)));
    return highest + 1 - left;
}

}  // namespace

int DigitCount(int value) {
    int count = 1;
    while (value >= 10) {
        value /= 10;
        ++count;
    }
    return count;
}

RowWork MultiplyRow(int multiplicand, int factor, int shift, const RowChange& change) {
    RowWork work;
    const int n = DigitCount(multiplicand);
    int carry = 0;
    for (int k = 0; k < n; ++k) {
        const int column = k + shift;
        NoteCarry(work, column, carry);
        int product = DigitAt(multiplicand, k) * factor;
        if (change.what == RowChange::What::Product && change.column == column) product = change.product;
        const int sum = product + (Drops(change, column) ? 0 : carry);
        Put(work, column, sum % 10);
        carry = sum / 10;
    }
    NoteCarry(work, n + shift, carry);
    // The last carry is written as the row's first digit.
    if (carry > 0 && !Drops(change, n + shift)) Put(work, n + shift, carry);
    return work;
}

RowWork AddRows(const RowDigits& first, const RowDigits& second, const RowChange& change) {
    RowWork work;
    int highest = -1;
    for (int c = 0; c < kColumns; ++c)
        if (first[static_cast<std::size_t>(c)] != kEmpty || second[static_cast<std::size_t>(c)] != kEmpty) highest = c;
    int carry = 0;
    for (int c = 0; c <= highest; ++c) {
        NoteCarry(work, c, carry);
        const int sum = Digit(first, c) + Digit(second, c) + (Drops(change, c) ? 0 : carry);
        if (change.what == RowChange::What::Digit && change.column == c) {
            Put(work, c, change.product);
            carry = change.carry;
        } else {
            Put(work, c, sum % 10);
            carry = sum / 10;
        }
    }
    NoteCarry(work, highest + 1, carry);
    if (carry > 0 && !Drops(change, highest + 1)) Put(work, highest + 1, carry);
    return work;
}

bool CanMakeMistake(MultiplicationPupil pupil, const MultiplicationProblem& problem) {
    if (problem.digits <= 0 || problem.multiplier <= 0) return false;
    switch (pupil) {
        case MultiplicationPupil::Right: return false;
        case MultiplicationPupil::PointFromLeft: {
            const int places = PointFromLeft(problem, RightWork(problem));
            return places >= 1 && places <= kColumns && places != problem.places;
        }
        case MultiplicationPupil::ForgetsPoint: return true;
        case MultiplicationPupil::KeepsEndZeros: return RightWork(problem).struck > 0;
        case MultiplicationPupil::ForgetsOnesZero: return RightWork(problem).ones_zero;
        case MultiplicationPupil::DoesNotShift: return problem.TwoDigitMultiplier();
        case MultiplicationPupil::ForgetsCarry:
        case MultiplicationPupil::TimesTableSlip:
        case MultiplicationPupil::RowSumSlip: return !SlotsOf(pupil, problem).empty();
    }
    return false;
}

MultiplicationWork WorkOf(MultiplicationPupil pupil, const MultiplicationProblem& problem, RandomSource& random) {
    MultiplicationWork work = RightWork(problem);
    if (!CanMakeMistake(pupil, problem)) return work;
    switch (pupil) {
        case MultiplicationPupil::Right: break;
        case MultiplicationPupil::PointFromLeft: {
            // Put elsewhere, the rest worked as taught from that point: no ones
            // 0 (digits stand left of it), the 0s after it struck.
            const int places = PointFromLeft(problem, work);
            Finish(work, places);
            break;
        }
        case MultiplicationPupil::ForgetsPoint:
            work.point.reset();
            work.ones_zero = false;
            work.struck = 0;
            break;
        case MultiplicationPupil::KeepsEndZeros: work.struck = 0; break;
        case MultiplicationPupil::ForgetsOnesZero: work.ones_zero = false; break;
        case MultiplicationPupil::DoesNotShift:
            work.rows[1] = MultiplyRow(problem.digits, problem.multiplier / 10, 0).digits;
            work.product = AddRows(work.rows[0], work.rows[1]).digits;
            Finish(work, problem.places);
            break;
        case MultiplicationPupil::ForgetsCarry:
        case MultiplicationPupil::TimesTableSlip:
        case MultiplicationPupil::RowSumSlip: {
            const std::vector<Slot> slots = SlotsOf(pupil, problem);
            work = *WorkWith(problem, slots[static_cast<std::size_t>(random.Random(static_cast<int>(slots.size())))]);
            break;
        }
    }
    return work;
}

}  // namespace sorelka::multiplication
