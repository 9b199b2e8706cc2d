#pragma once

#include <vector>

#include "core/worked_rows.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_sheet.h"

// Pupils who convert fractions, each with one mistake of their own (the
// buggy procedures whose mistakes the diagnosis names), and what they enter
// on the fraction sheet. The worked examples replay them; the diagnosis tests
// and benchmarks use them too.
namespace sorelka::fractions {

enum class FractionPupil {
    Right,
    LeavesImproper,           // family 1: takes out one whole too few, or none at all
    ForgetsTimesDenominator,  // counts a whole as 1 instead of as d parts
    WrongWhole,               // one whole too many
    ChangesDenominator,       // writes the next denominator instead of the given one
    NumeratorSlip,            // the numerator one too big
};

struct FractionPupilCase {
    FractionPupil pupil;
    const char* kind;   // what the diagnosis names
    bool families[4];   // the families (1..3) whose practice answers it changes
};
inline constexpr FractionPupilCase kFractionPupils[] = {
    {FractionPupil::LeavesImproper, kNotMixed, {false, true, false, false}},
    {FractionPupil::ForgetsTimesDenominator, kWholeNotMultiplied, {false, true, true, true}},
    {FractionPupil::WrongWhole, kWholePart, {false, true, true, true}},
    {FractionPupil::ChangesDenominator, kDenominatorChanged, {false, true, true, false}},
    {FractionPupil::NumeratorSlip, kNumeratorSlip, {false, true, true, true}},
};

// The slots `pupil` fills in for `problem` of `family`; 0 = left empty. A
// mistake that the family gives no room for leaves the right answer.
FractionEntry WorkFraction(FractionPupil pupil, int family, const FractionProblem& problem);

// The slots `pupil`'s one mistake writes wrong in an answer of `family`:
// the places a pupil looking for the mistake may rightly point at. Leaving
// the fraction improper writes both the whole part (one too few, or none:
// the "？" stays) and the numerator (still a whole in it).
std::vector<FractionSlot> MistakenSlots(FractionPupil pupil, int family);

// The worked rows once the slots are filled: the given number, "＝",
// and each answer slot with the entered value or what the problem showed there.
WorkedRows FinishedFractionRows(int family, const FractionProblem& problem, const FractionEntry& entry);

// What a pupil enters on the fraction sheet: a number into a slot (its tens
// and ones digits, then the slot's action), or "終わり".
struct FractionInput {
    enum class What { Slot, Finish };
    What what = What::Slot;
    FractionSlot slot = FractionSlot::Numerator;
    int value = 0;

    static FractionInput Into(FractionSlot slot, int value) { return {What::Slot, slot, value}; }
    static FractionInput Finish() { return {What::Finish, FractionSlot::Numerator, 0}; }
    bool operator==(const FractionInput&) const = default;
};
using FractionInputs = std::vector<FractionInput>;

// Enters one input; "終わり" judges nothing (the sheet's caller judges).
void Feed(FractionSheet& sheet, const FractionInput& input);

// The inputs that fill the slots of `entry` that hold a number, in the order
// the conversion of `family` is worked, then "終わり".
FractionInputs SlotInputs(int family, const FractionEntry& entry);

}  // namespace sorelka::fractions
