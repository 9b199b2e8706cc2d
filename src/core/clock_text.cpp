#include "core/clock_text.h"

#include <cstdio>

namespace sorelka {

int SecondsOfDay(const LocalTime& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

std::string ClockText(const LocalTime& t) {
    // 0:xx is 12:xx AM, 12:xx is 12:xx PM, 13:xx is 01:xx PM.
    int hour12 = t.hour % 12;
    if (hour12 == 0) hour12 = 12;
    const char* half = t.hour < 12 ? "AM" : "PM";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d  %02d:%02d %s", t.month, t.day, hour12,
                  t.minute, half);
    return buffer;
}

}  // namespace sorelka
