#include "core/random.h"

#include <chrono>
#include <cstdint>

namespace sorelka {

SystemRandom::SystemRandom() { Randomize(); }

void SystemRandom::Randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    engine_.seed(seed);
}

int SystemRandom::Random(int n) {
    if (n <= 1) return 0;
    // Multiply-shift maps one 32-bit draw onto 0..n-1 with a multiplication
    // instead of a distribution object per call: the generators that retry up
    // to 10000 times stay well inside their time budget. The bias (at most
    // n / 2^32 per value) is far below anything a pupil could notice.
    return static_cast<int>((static_cast<std::uint64_t>(engine_()) * static_cast<std::uint64_t>(n)) >> 32);
}

}  // namespace sorelka
