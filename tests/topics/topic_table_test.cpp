// The table of the topics: one description per topic, in the menu's
// order, under the numbers the record stores; every kind of mistake a topic
// names has one label there.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "core/finding.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

TEST(TopicTable, OneDescriptionPerTopicInMenuOrderUnderItsStoredNumber) {
    struct Expected {
        int number;
        Topic topic;
        const char* name;
    };
    const Expected expected[] = {
        {1, Topic::Division, "わり算"},          {2, Topic::DecimalAddition, "小数のたし算"},
        {3, Topic::DecimalSubtraction, "小数のひき算"}, {4, Topic::Rules, "計算のきまり"},
        {5, Topic::Fractions, "分数の表し方"},    {6, Topic::DecimalMultiplication, "小数のかけ算"},
        {7, Topic::DecimalDivision, "小数のわり算"},
    };
    const std::vector<TopicInfo>& table = TopicTable();
    ASSERT_EQ(table.size(), std::size(expected));
    ASSERT_EQ(kAllTopics.size(), std::size(expected));
    std::set<Rgb> colours, tints;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(kAllTopics[i], e.topic);
        EXPECT_EQ(table[i].topic, e.topic);
        EXPECT_EQ(TopicNumber(e.topic), e.number);
        EXPECT_EQ(TopicFromNumber(e.number), e.topic);
        EXPECT_EQ(&Describe(e.topic), &table[i]);
        EXPECT_EQ(table[i].name, e.name);
        colours.insert(table[i].colour);
        tints.insert(table[i].menu_tint);
    }
    EXPECT_EQ(colours.size(), table.size()) << "each topic's line has its own colour";
    EXPECT_EQ(tints.size(), table.size());
    for (int unknown : {0, -1, 8, 9, 100, INT_MIN, INT_MAX}) EXPECT_EQ(TopicFromNumber(unknown), std::nullopt) << unknown;
}

TEST(TopicTable, EveryKindHasOneLabelAndTheSharedKindsCloseEachList) {
    for (const TopicInfo& info : TopicTable()) {
        SCOPED_TRACE(info.name);
        ASSERT_GE(info.kinds.size(), 3u);
        std::set<std::string> ids;
        for (const KindInfo& kind : info.kinds) {
            EXPECT_TRUE(ids.insert(kind.id).second) << kind.id << " twice";
            EXPECT_FALSE(kind.label.empty()) << kind.id;
            EXPECT_EQ(info.KindLabel(kind.id), kind.label);
        }
        EXPECT_EQ(info.kinds[info.kinds.size() - 2].id, kSlip);
        EXPECT_EQ(info.kinds.back().id, kOther);
        EXPECT_EQ(info.KindLabel("no_such_kind"), "");
        EXPECT_EQ(info.KindLabel(""), "");
    }
    // A kind belongs to the topics whose work can show it: a division inside
    // an expression is diagnosed as a division; a borrow only in subtraction.
    EXPECT_EQ(Describe(Topic::Rules).KindLabel("zero_missing"), "商に０をたてわすれた");
    EXPECT_EQ(Describe(Topic::Rules).KindLabel("inverse_operation"), "□を求める計算がちがう");
    EXPECT_EQ(Describe(Topic::DecimalSubtraction).KindLabel("borrow_missing"), "くり下がりをわすれた");
    EXPECT_EQ(Describe(Topic::DecimalAddition).KindLabel("borrow_missing"), "");
    EXPECT_EQ(Describe(Topic::Fractions).KindLabel("zero_missing"), "");
    EXPECT_EQ(Describe(Topic::DecimalMultiplication).KindLabel("borrow_missing"), "");
}

}  // namespace
}  // namespace sorelka
