#pragma once

#include <optional>
#include <vector>

#include "division/division_diagnosis.h"
#include "division/long_division.h"

// Pupils who write long divisions on the division worksheet: what a pupil
// enters, row by row, and the school method worked right or with one chosen
// mistake (the buggy procedures whose mistakes the diagnosis names). The
// worked examples replay them; the diagnosis tests and benchmarks use them too.
namespace sorelka::division {

// What a pupil enters for one row: a quotient digit in the list of its
// place, a number in the rows below, "飛ばし" (a 0 in the quotient) or
// "終わり". A number is confirmed with " 確定", but for a difference that
// turns out too small to divide: it is tried (written, not confirmed), and
// "飛ばし" clears it for the number with the next digit brought down.
struct DivisionInput {
    // Not an enum class: tests name the kinds as DivisionInput::Skip.
    enum What { Digit, Number, Skip, Finish, Tried };
    What what = Number;
    int value = 0;      // the digit or the number
    int place = kOnes;  // Digit: the column of the list it is chosen in, kOnes … kThousands

    static DivisionInput QuotientDigit(int place, int digit) { return {Digit, digit, place}; }
    static DivisionInput RowNumber(int value) { return {Number, value, kOnes}; }
    static DivisionInput TriedNumber(int value) { return {Tried, value, kOnes}; }
    static DivisionInput ZeroDigit() { return {Skip, 0, kOnes}; }
    static DivisionInput FinishWork() { return {Finish, 0, kOnes}; }
    bool operator==(const DivisionInput&) const = default;
};
using DivisionInputs = std::vector<DivisionInput>;

// Enters one input as a pupil does: a digit in its list (chosen again in the
// tens when "十の位を選んでね！" refuses the ones), a number digit by digit
// from its highest place, either one confirmed with " 確定" (a tried number
// not); "飛ばし"; "終わり".
void Feed(LongDivision& model, const DivisionInput& input);
// Every input, then "終わり".
void EnterAndFinish(LongDivision& model, const DivisionInputs& inputs);

enum class DivisionBug {
    None, TooBig, TooSmall, ZeroMissing, Product, Difference, BringDown, PlaceLeft, PlaceRight
};

struct DivisionBugCase {
    DivisionBug bug;
    const char* name;
    const char* kind;  // what the diagnosis names
};
inline constexpr DivisionBugCase kDivisionBugs[] = {
    {DivisionBug::TooBig, "digit one too big", kQuotientTooBig},
    {DivisionBug::TooSmall, "digit one too small", kQuotientTooSmall},
    {DivisionBug::ZeroMissing, "0 not written", kZeroMissing},
    {DivisionBug::Product, "product off by one", kProductSlip},
    {DivisionBug::Difference, "difference off by one", kDifferenceSlip},
    {DivisionBug::BringDown, "digit not brought down", kBringDown},
    {DivisionBug::PlaceLeft, "first digit a place left", kQuotientPlace},
    {DivisionBug::PlaceRight, "first digit a place right", kQuotientPlace},
};

// A pupil who works the long division by the school method in the order of
// たてる・かける・ひく・おろす, making the one mistake `bug` in round
// `bug_round` (1-based; the place of the first digit and a 0 left out are
// made where they can be), and who carries on with their own numbers, right
// for them, until the mistake shows: a product larger than the part (too
// big), a difference not smaller than the divisor (too small), no column
// left for a digit (a place right); there the work stops. Returns the
// inputs without "終わり", or nothing when the mistake has no place in this
// problem. DivisionBug::None is the right work: a 0 inside the quotient
// comes after the difference it could not divide ("飛ばし" clearing the tried
// number), a 0 at its end after the last difference is confirmed.
std::optional<DivisionInputs> WorkDivision(const DivisionProblem& problem, DivisionBug bug,
                                           int bug_round);

}  // namespace sorelka::division
