#pragma once

// The decimal pupils under the names the diagnosis tests and benchmarks
// write them with; the pupils themselves are in decimals/decimal_bugs.h.

#include <random>

#include "decimals/decimal_bugs.h"
#include "support/fakes.h"

namespace sorelka::decimals::pupils {

using sorelka::testing::SeededRandom;

using Pupil = DecimalPupil;
using Worked = DecimalWork;

// What `pupil` writes for `problem`; a column slip draws its column from `rng`.
inline Worked Work(Pupil pupil, Operation operation, const DecimalProblem& problem,
                   std::mt19937& rng) {
    struct EngineDraws final : RandomSource {
        explicit EngineDraws(std::mt19937& e) : engine(e) {}
        void Randomize() override {}
        int Random(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine); }
        std::mt19937& engine;
    } draws(rng);
    return WorkDecimal(pupil, operation, problem, draws);
}

inline WorkedRows FinishedRows(const DecimalProblem& problem, int entered) {
    return FinishedDecimalRows(problem, entered);
}

}  // namespace sorelka::decimals::pupils
