#pragma once

#include <optional>

#include "division/division_bugs.h"

// The division pupils under the short names the diagnosis tests and
// benchmarks write them with; the pupils themselves are in
// division/division_bugs.h.
namespace sorelka::testing::division_pupil {

using namespace sorelka::division;

using Entry = DivisionInput;
using Entries = DivisionInputs;
inline Entry Q(int place, int digit) { return DivisionInput::QuotientDigit(place, digit); }
inline Entry N(int value) { return DivisionInput::RowNumber(value); }
inline Entry Skip() { return DivisionInput::ZeroDigit(); }

// Enters `entries` into the model, confirming every row, then "終わり".
inline void Enter(LongDivision& model, const Entries& entries) { EnterAndFinish(model, entries); }

using Bug = DivisionBug;
using BugCase = DivisionBugCase;
inline constexpr const auto& kBugs = kDivisionBugs;

inline std::optional<Entries> Pupil(const DivisionProblem& p, Bug bug, int bug_round) {
    return WorkDivision(p, bug, bug_round);
}

}  // namespace sorelka::testing::division_pupil
