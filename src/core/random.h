#pragma once

#include <random>

#include "core/services.h"

namespace sorelka {

// The program's generator: a Mersenne twister re-seeded from the high-resolution
// clock, so two problems drawn within the same second still differ.
class SystemRandom final : public RandomSource {
public:
    SystemRandom();
    void Randomize() override;
    int Random(int n) override;

private:
    std::mt19937 engine_;
};

}  // namespace sorelka
