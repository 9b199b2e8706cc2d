#include "topics/topic_table.h"

#include "decimal_division/decimal_division_topic.h"
#include "decimals/decimal_topics.h"
#include "division/division_topic.h"
#include "fractions/fraction_topic.h"
#include "multiplication/multiplication_topic.h"
#include "rules/rules_topic.h"

namespace sorelka {

const std::vector<TopicInfo>& TopicTable() {
    static const std::vector<TopicInfo> table = {
        division::DivisionTopic(),   decimals::DecimalAdditionTopic(), decimals::DecimalSubtractionTopic(),
        rules::RulesTopic(),         fractions::FractionsTopic(),   multiplication::MultiplicationTopic(),
        decimal_division::DecimalDivisionTopic(),
    };
    return table;
}

const TopicInfo& Describe(Topic topic) {
    const std::vector<TopicInfo>& table = TopicTable();
    for (const TopicInfo& info : table)
        if (info.topic == topic) return info;
    return table.front();  // not reached: the table's test holds one row per Topic
}

}  // namespace sorelka
