#pragma once

#include "core/topic_info.h"

namespace sorelka::fractions {

// Writing fractions (improper, mixed, whole) as the menu, the reports and
// the coach know it: name, colours, the kinds of mistake its diagnosis names.
TopicInfo FractionsTopic();

}  // namespace sorelka::fractions
