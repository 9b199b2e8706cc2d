#pragma once

#include <vector>

#include "core/topic_info.h"

// The topics' descriptions in one table, each given by its own folder.
// This sits above the topic folders (it includes each of them) and below
// everything that shows or counts topics: the reports, the screens' windows,
// the coach. A topic folder never includes it.
namespace sorelka {

// Every topic's description, in the order of `kAllTopics` (the menu's).
const std::vector<TopicInfo>& TopicTable();

// The description of `topic`.
const TopicInfo& Describe(Topic topic);

}  // namespace sorelka
