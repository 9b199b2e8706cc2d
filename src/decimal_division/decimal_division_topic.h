#pragma once

#include "core/topic_info.h"

namespace sorelka::decimal_division {

// The decimal division as every part of the program sees it.
TopicInfo DecimalDivisionTopic();

}  // namespace sorelka::decimal_division
