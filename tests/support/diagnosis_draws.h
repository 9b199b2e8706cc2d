#pragma once

#include <random>

#include "core/services.h"

// Draws for the property tests of the diagnoses: the real generators fed by a
// seeded engine, so every run sees the same problems.
namespace sorelka::testing {

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(unsigned seed) : engine_(seed) {}
    void Randomize() override {}
    int Random(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

private:
    std::mt19937 engine_;
};

// Problems per property test. The models run many times slower under the
// sanitizers, where fewer draws keep the tests quick; an uninstrumented build
// runs all 10,000.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kPropertyDraws = 3000;
#else
inline constexpr int kPropertyDraws = 10000;
#endif

}  // namespace sorelka::testing
