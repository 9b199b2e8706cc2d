#pragma once

// The fraction pupils under the names the diagnosis tests and benchmarks
// write them with; the pupils themselves are in fractions/fraction_bugs.h.

#include "fractions/fraction_bugs.h"
#include "support/fakes.h"

namespace sorelka::fractions::pupils {

using sorelka::testing::SeededRandom;

using Pupil = FractionPupil;

inline FractionEntry Work(Pupil pupil, int family, const FractionProblem& p) {
    return WorkFraction(pupil, family, p);
}

inline WorkedRows FinishedRows(int family, const FractionProblem& p, const FractionEntry& e) {
    return FinishedFractionRows(family, p, e);
}

}  // namespace sorelka::fractions::pupils
