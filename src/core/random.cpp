#include "core/random.h"

#include <chrono>

namespace sorelka {

SystemRandom::SystemRandom() { Randomize(); }

void SystemRandom::Randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    engine_.seed(seed);
}

int SystemRandom::Random(int n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
}

}  // namespace sorelka
