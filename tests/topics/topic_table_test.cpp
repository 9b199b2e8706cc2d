// The table of the topics: one description per topic, in the menu's
// order, under the numbers the record stores; every kind of mistake a topic
// names has one label there.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <set>

#include "core/finding.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

// The distance of two sRGB colours in CIE L*a*b* (D65).
double DeltaE(Rgb one, Rgb two) {
    auto lab = [](Rgb c) {
        double rgb[3];
        for (int k = 0; k < 3; ++k) {
            const double u = ((c >> (16 - 8 * k)) & 0xFF) / 255.0;
            rgb[k] = u <= 0.04045 ? u / 12.92 : std::pow((u + 0.055) / 1.055, 2.4);
        }
        auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
        const double x = f((0.4124 * rgb[0] + 0.3576 * rgb[1] + 0.1805 * rgb[2]) / 0.95047);
        const double y = f(0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2]);
        const double z = f((0.0193 * rgb[0] + 0.1192 * rgb[1] + 0.9505 * rgb[2]) / 1.08883);
        return std::array<double, 3>{116 * y - 16, 500 * (x - y), 200 * (y - z)};
    };
    const auto a = lab(one), b = lab(two);
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

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
    // Told apart at a glance, not only unequal: the weekly chart's lines and
    // the menu's bands differ by a colour distance (CIE76 ΔE) of at least
    // what the closest pair (the subtraction's blue, the fractions' violet)
    // has.
    for (std::size_t i = 0; i < table.size(); ++i)
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            SCOPED_TRACE(table[i].name + " / " + table[j].name);
            EXPECT_GE(DeltaE(table[i].colour, table[j].colour), 28);
            EXPECT_GE(DeltaE(table[i].menu_tint, table[j].menu_tint), 7.5);
        }
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
