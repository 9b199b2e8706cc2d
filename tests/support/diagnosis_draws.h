#pragma once

#include "support/fakes.h"

#include <random>

#include "core/services.h"

// Draws for the property tests of the diagnoses: the real generators fed by a
// seeded engine, so every run sees the same problems.
namespace sorelka::testing {

// Problems per property test. The models run many times slower under the
// sanitizers, where fewer draws keep the tests quick; an uninstrumented build
// runs all 10,000.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kPropertyDraws = 3000;
#else
inline constexpr int kPropertyDraws = 10000;
#endif

}  // namespace sorelka::testing
