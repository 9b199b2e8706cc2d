#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/finding.h"
#include "core/worked_example.h"
#include "core/worked_rows.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_roles.h"

// What went wrong in a fraction answer, read from the problem, its family and
// the answer slots the worksheet showed when it was judged.
//
// The answer is compared with the right one part by part in the order the
// conversion is worked: whole part, numerator, denominator for family 1
// (improper fraction to mixed or whole number); denominator, numerator for
// family 2 (mixed number to improper fraction); the numerator alone for
// family 3 (find the box). A kind is named when the right procedure with that
// one mistake writes what the pupil wrote in every part the diagnosis reads
// (for a whole-number answer on the drill, whose judging looks at the whole
// part only, the other slots are read as written, empty counting as right);
// the kinds are tried in the order listed, first match wins.
//
// Kinds (Finding::kind):
//   not_mixed             family 1: the value is right but it is not written
//                         as a mixed or whole number (e.g. 11/4 -> 1 7/4);
//                         named at the numerator, which still holds a whole
//   whole_part            the whole part is wrong: family 1 a wrong quotient
//                         with the right remainder (11/4 -> 3 3/4); families
//                         2 and 3 a numerator off by a multiple of the
//                         denominator (a wrong number of wholes turned into it)
//   whole_not_multiplied  the whole part was not multiplied by the
//                         denominator: family 2 w + n (2 2/8 -> 4/8), family 3
//                         (w - W) + n, family 1 the remainder as N - W
//   numerator_slip        any other wrong numerator, the rest right
//   denominator_changed   families 1 and 2: the denominator is not the given
//                         one while the rest is right or the value is kept
//   slip                  one part left empty, the rest right
//   other                 anything else
//
// Finding::step names the part the kind is about, else the first part that
// differs: "part:whole", "part:numerator", "part:denominator"; empty when the
// problem itself has no numbers to compare.
namespace sorelka::fractions {

inline constexpr const char* kWholeNotMultiplied = "whole_not_multiplied";
inline constexpr const char* kDenominatorChanged = "denominator_changed";
inline constexpr const char* kWholePart = "whole_part";
inline constexpr const char* kNumeratorSlip = "numerator_slip";
inline constexpr const char* kNotMixed = "not_mixed";

// The Japanese label of a kind id of this topic (slip and other included);
// empty for an id this topic does not know.
std::string FractionKindLabel(std::string_view kind);

// The pupil's work in roles: the slots of the answer, each its whole cell.
RoleCell FractionSlotCell(FractionSlot slot);
// The slots of the answer of `family` in the order a pupil fills them: the
// whole part, then the fraction as it is written by hand, the denominator
// under the bar before the numerator over it (the order of the action list).
// The hidden numerator's given whole part and denominator stand around it.
std::vector<FractionSlot> FractionSlots(int family);
// The slot a step names ("part:numerator" …); none for an empty or unknown step.
std::optional<FractionSlot> StepSlot(std::string_view step);

// The answer slots as the worked rows show them, each found under its stored
// name. A slot that is empty or holds no number ("？", "□") counts as 0,
// nothing entered, as in the judging.
FractionEntry WorkedEntry(const WorkedRows& rows);

// The diagnosis of the answer on the worked rows for `family` (the menu
// choice) and the screen whose judging rule applies: no finding when it is
// right, nor when `family` is none.
Diagnosis DiagnoseFraction(int family, Variant variant, const FractionProblem& problem,
                           const WorkedRows& rows);
// The same for the entered slots.
Diagnosis DiagnoseFractionEntry(int family, Variant variant, const FractionProblem& problem,
                                const FractionEntry& entry);

}  // namespace sorelka::fractions
