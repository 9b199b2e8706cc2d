#pragma once

#include "core/topic_info.h"

namespace sorelka::rules {

// The rules of calculation as the menu, the reports and the coach know them:
// name, colours, and the kinds of mistake the diagnosis names, those inside a
// division or multiplication of the worksheet included.
TopicInfo RulesTopic();

}  // namespace sorelka::rules
