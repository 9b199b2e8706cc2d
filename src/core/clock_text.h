#pragma once

#include <string>

#include "core/services.h"

namespace sorelka {

// Hours * 3600 + minutes * 60 + seconds; the date is ignored.
int SecondsOfDay(const LocalTime& t);

// The status-bar clock: "mm/dd  hh:mm AM/PM" on the 12-hour clock,
// for example "12/08  01:23 PM".
std::string ClockText(const LocalTime& t);

}  // namespace sorelka
