#include "core/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace sorelka {
namespace {

TEST(SystemRandom, DrawsCoverTheWholeRangeAndNothingOutsideIt) {
    SystemRandom random;
    for (int n : {2, 7, 9, 89, 899, 8999, 89999}) {
        std::vector<int> seen(static_cast<std::size_t>(std::min(n, 10)), 0);
        int lowest = n, highest = -1;
        for (int i = 0; i < 20000; ++i) {
            const int v = random.Random(n);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, n);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
            if (n <= 10) ++seen[static_cast<std::size_t>(v)];
        }
        if (n <= 10) {
            for (int count : seen) EXPECT_NEAR(count, 20000 / n, 20000 / n / 5) << "n " << n;
        } else {
            EXPECT_LE(lowest, n / 50) << "n " << n;
            EXPECT_GE(highest, n - 1 - n / 50) << "n " << n;
        }
    }
    EXPECT_EQ(random.Random(1), 0);
    EXPECT_EQ(random.Random(0), 0);
}

}  // namespace
}  // namespace sorelka
