#pragma once

// Checks every topic's worked examples and find-the-mistake examples share.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/worked_example.h"

namespace sorelka::testing {

// Examples per menu item in the find-the-mistake property tests.
inline constexpr int kMistakeExamples = 2000;

// The width of a line in the prompt's font, in full-width characters: an
// ASCII character (a space) counts as half of one, generously.
inline double LineWidth(const std::string& line) {
    double width = 0;
    for (std::size_t i = 0; i < line.size();) {
        const auto c = static_cast<unsigned char>(line[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        width += c < 0x80 ? 0.5 : 1.0;
        i += length;
    }
    return width;
}

// Every line of a worked example says something and fits one line of a
// prompt `width` full-width characters wide.
template <class Example>
void ExpectLinesFit(const Example& example, double width) {
    EXPECT_FALSE(example.opening.empty());
    EXPECT_LE(LineWidth(example.opening), width) << example.opening;
    for (const auto& step : example.steps) {
        EXPECT_FALSE(step.line.empty());
        EXPECT_LE(LineWidth(step.line), width) << step.line;
    }
}

// What each step writes stays written to the end: the replay shows no cell
// that the finished work does not.
template <class Example, class Read>
void ExpectStepsWriteTheirRoles(const Example& example, Read read) {
    for (const auto& step : example.steps) {
        if (!step.role) continue;
        EXPECT_FALSE(read(step.sheet, *step.role).empty()) << step.line;
        EXPECT_EQ(read(step.sheet, *step.role), read(example.end(), *step.role)) << step.line;
    }
}

// One find-the-mistake example: its kind is among those the item can show;
// the judge accepts exactly the places of the wrong step (`wrong` among
// them); and the written places that differ from the right work's `right`
// are exactly those the kind explains: the wrong step's and those that
// follow from it. Places left empty (the pupil stopped where the mistake
// showed) are not compared.
template <class Example, class Read>
void ExpectOnlyTheKindsPlacesDiffer(const Example& example, const std::vector<std::string>& kinds,
                                    const Worksheet& right, Read read) {
    bool known = false;
    for (const std::string& kind : kinds) known |= kind == example.finding.kind;
    EXPECT_TRUE(known) << example.finding.kind;
    EXPECT_TRUE(example.Judge(example.wrong)) << example.finding.step;
    const auto among = [](const auto& list, const auto& role) {
        for (const auto& r : list)
            if (r == role) return true;
        return false;
    };
    for (std::size_t i = 0; i < example.places.size(); ++i) {
        const auto& place = example.places[i];
        const std::string shown = read(example.sheet(), place);
        const bool explained = example.Judge(place) || among(example.follows, place);
        if (shown.empty()) continue;
        EXPECT_EQ(shown != read(right, place), explained)
            << example.finding.kind << " " << example.finding.step << ": place " << i << " shows \"" << shown
            << "\", the right work \"" << read(right, place) << "\"";
        if (example.Judge(place)) {
            EXPECT_NE(shown, read(right, place)) << example.finding.kind << ": an accepted place is right";
        }
    }
}

// Kind -> examples; every kind an item can show turns up.
inline void ExpectEveryKindShown(const std::map<std::string, int>& shown,
                                 const std::vector<std::string>& kinds) {
    for (const std::string& kind : kinds) EXPECT_GT(shown.count(kind) ? shown.at(kind) : 0, 0) << kind;
}

}  // namespace sorelka::testing
