#pragma once

#include <array>
#include <optional>

namespace sorelka {

// The topics of the main menu, in its order. The numbers are the ones the learning
// record stores in `history.topic` and `drills.topic`: never renumber them.
enum class Topic {
    Division = 1,
    DecimalAddition = 2,
    DecimalSubtraction = 3,
    Rules = 4,
    Fractions = 5,
    DecimalMultiplication = 6,
    DecimalDivision = 7,
};

inline constexpr std::array<Topic, 7> kAllTopics = {
    Topic::Division, Topic::DecimalAddition, Topic::DecimalSubtraction,
    Topic::Rules, Topic::Fractions, Topic::DecimalMultiplication, Topic::DecimalDivision,
};

// The number the record stores for `topic`.
constexpr int TopicNumber(Topic topic) { return static_cast<int>(topic); }

// The topic a stored number names; nothing for a number no topic has.
constexpr std::optional<Topic> TopicFromNumber(int number) {
    if (number < TopicNumber(Topic::Division) || number > TopicNumber(Topic::DecimalDivision))
        return std::nullopt;
    return static_cast<Topic>(number);
}

}  // namespace sorelka
