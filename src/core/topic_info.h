#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/skill.h"
#include "core/topic.h"
#include "core/worksheet.h"

namespace sorelka {

// A kind of mistake a topic's diagnosis names: its stable id (stored in
// `history.error_kind`) and its label for the teacher and the pupil.
struct KindInfo {
    std::string id;
    std::string label;
};

// What every part of the program needs to know about a topic, given by the
// topic's own folder (`DivisionTopic()`, …) and gathered by `Describe`
// (topics/topic_table.h). A place that shows or counts topics reads this
// instead of knowing the topics one by one.
struct TopicInfo {
    Topic topic = Topic::Division;
    std::string name;              // "わり算": the menu, the reports, the pupil's record
    Rgb colour = 0;                // its line in the weekly chart (0xRRGGBB)
    Rgb menu_tint = 0;             // the background of its band on the main menu
    std::vector<KindInfo> kinds;   // every kind its diagnosis names, slip and other last
    std::span<const TopicSkill> skills;  // what it teaches, as the topic's skills file lists it
    // The practice screen's menu (ComboBox1), menu_choice 1 first: the
    // screen shows it, and the teacher names a piece of work by it.
    std::vector<std::string> practice_menu;

    // The label of `kind`; empty for a kind this topic does not name.
    std::string KindLabel(std::string_view kind) const;
};

// A topic's own kinds followed by the kinds every topic shares (slip, other).
std::vector<KindInfo> WithSharedKinds(std::vector<KindInfo> own);

// `labelled(id)` for each id: kinds listed by id with the topic's own label
// function, so a label is written once, beside its diagnosis.
template <class LabelOf>
std::vector<KindInfo> KindsLabelledBy(std::initializer_list<const char*> ids, LabelOf labelled) {
    std::vector<KindInfo> kinds;
    for (const char* id : ids) kinds.push_back({id, labelled(id)});
    return kinds;
}

}  // namespace sorelka
