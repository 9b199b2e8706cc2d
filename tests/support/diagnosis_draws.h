#pragma once

#include "support/fakes.h"

#include <cstdio>
#include <map>
#include <random>
#include <string>

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

// Mistake applied -> kind found -> how often.
using ConfusionTable = std::map<std::string, std::map<std::string, int>>;

// Prints what each buggy procedure was diagnosed as, with the number of
// problems where its mistake changed the answer (`applied`).
inline void PrintConfusionTable(const char* topic, const ConfusionTable& table,
                                const std::map<std::string, int>& applied) {
    std::printf("%s: mistake applied (problems where it changed the answer) -> kinds found\n", topic);
    for (const auto& [bug, found] : table) {
        std::printf("  %-32s %5d:", bug.c_str(), applied.count(bug) ? applied.at(bug) : 0);
        for (const auto& [kind, count] : found) std::printf("  [%s] %d", kind.c_str(), count);
        std::printf("\n");
    }
}

}  // namespace sorelka::testing
