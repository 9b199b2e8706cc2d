#pragma once

#include "core/topic_info.h"

namespace sorelka::multiplication {

// The decimal multiplication as every part of the program sees it.
TopicInfo MultiplicationTopic();

}  // namespace sorelka::multiplication
