#pragma once

#include <optional>

#include "core/services.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_sheet.h"
#include "division/division_bugs.h"

// Pupils who divide a decimal by a whole number in columns: the taught
// procedure, or the same with one mistake of their own (the buggy
// procedures whose mistakes the diagnosis names). The long division's own
// mistakes come from its buggy procedures (division_bugs.h) on the scaled
// dividend. The worked examples replay them; the diagnosis tests and
// benchmarks use them too.
namespace sorelka::decimal_division {

enum class DecimalDivisionPupil {
    Right,
    ForgetsPoint,       // no quotient point: "135" for 1.35
    PointByOwnPlaces,   // the point counted by the dividend's own places, not the 0s written
    ForgetsOnesZero,    // ".4" for 0.4
    RemainderWhole,     // the remainder read as a whole number: "3" for 0.3
    StopsEarly,         // no 0 written after the dividend / divided only to the asked place
    RoundsWrongPlace,   // rounded at another place
    CutsOff,            // cut off instead of rounded
    LongDivision,       // one of the long division's own mistakes (`bug`)
};

struct DecimalDivisionPupilCase {
    DecimalDivisionPupil pupil;
    division::DivisionBug bug;  // LongDivision: which
    const char* kind;           // what the diagnosis names
};
inline constexpr DecimalDivisionPupilCase kDecimalDivisionPupils[] = {
    {DecimalDivisionPupil::ForgetsPoint, division::DivisionBug::None, kQuotientPointMissing},
    {DecimalDivisionPupil::PointByOwnPlaces, division::DivisionBug::None, kQuotientPointMisplaced},
    {DecimalDivisionPupil::ForgetsOnesZero, division::DivisionBug::None, kOnesZeroMissing},
    {DecimalDivisionPupil::RemainderWhole, division::DivisionBug::None, kRemainderPoint},
    {DecimalDivisionPupil::StopsEarly, division::DivisionBug::None, kStoppedEarly},
    {DecimalDivisionPupil::RoundsWrongPlace, division::DivisionBug::None, kRoundingPlace},
    {DecimalDivisionPupil::CutsOff, division::DivisionBug::None, kRoundingCut},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::TooBig, division::kQuotientTooBig},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::TooSmall, division::kQuotientTooSmall},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::ZeroMissing, division::kZeroMissing},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::Product, division::kProductSlip},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::Difference, division::kDifferenceSlip},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::BringDown, division::kBringDown},
    {DecimalDivisionPupil::LongDivision, division::DivisionBug::PlaceLeft, division::kQuotientPlace},
};

// Whether `problem` gives the case's mistake a place, so that its work
// differs from the right work.
bool CanMakeMistake(const DecimalDivisionPupilCase& pupil, const DecimalDivisionProblem& problem);
// What the pupil enters for `problem`, as the steps take it (without the
// final "終わり"); where the mistake can fall in more than one place
// `random` draws it. Nothing when the mistake has no place in the problem.
// DecimalDivisionPupil::Right is the taught work.
std::optional<DecimalDivisionInputs> InputsOf(const DecimalDivisionPupilCase& pupil,
                                             const DecimalDivisionProblem& problem, RandomSource& random);
// The right work's inputs, "終わり" not included: RightWorkInputs, the order
// お手本 writes them in.
DecimalDivisionInputs RightInputs(const DecimalDivisionProblem& problem);
// The work `inputs` write, as the diagnosis reads it, without the sheet:
// the quotient over the column of its first digit, the rows in order (a
// tried difference where the number after "飛ばし" then stands), the 0s,
// points, ones 0 and rounded row as the inputs set them. What
// DecimalDivisionSteps writes for the pupils' inputs, many times faster.
DecimalDivisionWork WorkOfInputs(const DecimalDivisionProblem& problem, const DecimalDivisionInputs& inputs);

}  // namespace sorelka::decimal_division
