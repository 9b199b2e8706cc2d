#include "core/clock_text.h"

#include <gtest/gtest.h>

namespace sorelka {
namespace {

TEST(ClockText, TwelveHourClockWithTwoDigitFields) {
    struct Case {
        LocalTime time;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 12, 8, 13, 23, 59}, "12/08  01:23 PM"},
        {{2026, 1, 5, 0, 0, 0}, "01/05  12:00 AM"},      // midnight is 12 AM
        {{2026, 1, 5, 0, 59, 0}, "01/05  12:59 AM"},
        {{2026, 7, 31, 11, 59, 59}, "07/31  11:59 AM"},
        {{2026, 7, 31, 12, 0, 0}, "07/31  12:00 PM"},    // noon is 12 PM
        {{2026, 10, 10, 23, 5, 0}, "10/10  11:05 PM"},
        {{2026, 3, 9, 9, 7, 0}, "03/09  09:07 AM"},
    };
    for (const Case& c : cases) EXPECT_EQ(ClockText(c.time), c.text);
}

TEST(ClockText, SecondsOfDayIgnoresTheDate) {
    EXPECT_EQ(SecondsOfDay({2026, 12, 8, 0, 0, 0}), 0);
    EXPECT_EQ(SecondsOfDay({1999, 1, 1, 23, 59, 59}), 86399);
    EXPECT_EQ(SecondsOfDay({2026, 12, 8, 10, 2, 3}), SecondsOfDay({2027, 1, 1, 10, 2, 3}));
    EXPECT_EQ(SecondsOfDay({2026, 12, 8, 1, 2, 3}), 3723);
}

}  // namespace
}  // namespace sorelka
