#pragma once

#include "core/topic_info.h"

namespace sorelka::division {

// Long division as the menu, the reports and the coach know it: its name,
// colours and the kinds of mistake its diagnosis names.
TopicInfo DivisionTopic();

}  // namespace sorelka::division
