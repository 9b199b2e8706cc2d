#pragma once

#include "core/topic_info.h"
#include "decimals/decimal_numbers.h"

namespace sorelka::decimals {

// Adding and subtracting decimals are two topics of the menu and the record,
// worked on one kind of worksheet: their names, colours and the kinds of
// mistake the diagnosis names for each operation.
TopicInfo DecimalAdditionTopic();
TopicInfo DecimalSubtractionTopic();

// The topic an operation's screens record their answers under.
constexpr Topic TopicOf(Operation operation) {
    return operation == Operation::Addition ? Topic::DecimalAddition : Topic::DecimalSubtraction;
}

}  // namespace sorelka::decimals
