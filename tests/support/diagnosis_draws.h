#pragma once

#include "support/fakes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

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

// What one buggy pupil's answers were diagnosed as.
struct PupilTally {
    int changed = 0;    // answers the mistake made wrong
    int ambiguous = 0;  // of those, answers another pupil's mistake writes too
    std::map<std::string, int> found;  // kind -> answers named so
};

// The heading of a table of tallies: the pupil column `width` wide, then the kinds.
inline void PrintTallyHeading(int width, const std::vector<const char*>& kinds) {
    std::printf("%-*s %7s %9s", width, "applied", "changed", "ambiguous");
    for (const char* kind : kinds) std::printf(" %s", kind);
    std::printf("\n");
}

// One pupil's row under that heading ("none": the answers left right), and the
// checks on it: a pupil with no mistake changes no answer; otherwise the
// mistake changes many, and at least 95 % of the answers no other pupil
// writes too are named by the pupil's own kind.
inline void PrintAndCheckTally(int width, const char* pupil, const char* expected,
                               const PupilTally& t, const std::vector<const char*>& kinds,
                               int problems) {
    std::printf("%-*s %7d %9d", width, pupil, t.changed, t.ambiguous);
    for (const char* kind : kinds) {
        const auto it = t.found.find(kind);
        std::printf(" %*d", static_cast<int>(std::strlen(kind)),
                    std::string(kind) == "none" ? problems - t.changed : it == t.found.end() ? 0 : it->second);
    }
    std::printf("\n");
    if (!expected) {
        EXPECT_EQ(t.changed, 0);
        return;
    }
    EXPECT_GT(t.changed, problems / 4) << pupil;
    EXPECT_LE(t.ambiguous, t.changed / 10);
    const auto it = t.found.find(expected);
    EXPECT_GE(it == t.found.end() ? 0 : it->second, 0.95 * (t.changed - t.ambiguous)) << pupil;
}

}  // namespace sorelka::testing
