#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/finding.h"
#include "core/services.h"
#include "core/worksheet.h"

// What every topic's worked examples share: the right work of a problem
// replayed step by step through the topic's own step machine, and a problem
// worked with one mistake for the pupil to find. The topics speak of the
// pupil's work in roles (a quotient digit, a row, a column, a slot); each
// topic's table says which widget a role stands in.
namespace sorelka {

// Where a role of the pupil's work stands on its worksheet: the widget (its
// object name) and, when the role is one digit of the number that widget
// shows, which digit.
struct RoleCell {
    enum class Digit {
        Whole,      // the whole widget
        FromLeft,   // `digit` counts the characters of the text from the left, 0 first
        FromPoint,  // `digit` counts columns from the decimal point: -1 the ones,
                    // -2 the tens, 1 the tenths, 2 the hundredths, 3 the thousandths
    };
    std::string name;
    Digit digit_from = Digit::Whole;
    int digit = 0;
    // The place of the column the digit stands in (1 the ones, 2 the tens,
    // …), where the topic knows it; 0 where the digit's place follows from
    // its number's last digit standing in the ones (a quotient begun a column
    // too high does not).
    int place = 0;

    bool operator==(const RoleCell&) const = default;
};

// What `cell` shows on `sheet`: the widget's whole text, or the one
// character of the digit it names; empty where the widget is hidden or has
// no such digit.
std::string RoleText(const Worksheet& sheet, const RoleCell& cell);
// The character of `number` (a written number, "15.23" or ".05") in the
// column `from_point` columns from its decimal point, counted as
// RoleCell::Digit::FromPoint counts; empty where it has none.
std::string DigitFromPoint(std::string_view number, int from_point);

// One step of a worked problem: what the pupil enters, the worksheet after
// it, what the step does in the pupil's words (one line of the prompt area),
// and the role it writes (none for a step that only hands the work on, such
// as "終わり").
template <class Input, class Role>
struct WorkedStep {
    std::vector<Input> inputs;
    Worksheet sheet;
    std::string line;
    std::optional<Role> role;
};

// A problem worked step by step. `start` is the worksheet with the problem
// set and nothing written yet; `opening` says how the work begins.
template <class Input, class Role>
struct WorkedExample {
    Worksheet start;
    std::string opening;
    std::vector<WorkedStep<Input, Role>> steps;

    // The worksheet once every step is done.
    const Worksheet& end() const { return steps.empty() ? start : steps.back().sheet; }
};

// The first step that writes `role`; none when no step does.
template <class Input, class Role>
std::optional<std::size_t> StepWriting(const WorkedExample<Input, Role>& example, const Role& role) {
    for (std::size_t i = 0; i < example.steps.size(); ++i)
        if (example.steps[i].role == role) return i;
    return std::nullopt;
}

// The roles the steps write whose text on the finished worksheet is not
// empty, each once, in the order they were first written: the places a
// pupil can point at.
template <class Input, class Role, class Read>
std::vector<Role> WrittenPlaces(const WorkedExample<Input, Role>& example, Read read) {
    std::vector<Role> places;
    for (const auto& step : example.steps) {
        if (!step.role || read(example.end(), *step.role).empty()) continue;
        bool seen = false;
        for (const Role& r : places) seen |= r == *step.role;
        if (!seen) places.push_back(*step.role);
    }
    return places;
}

// The first of `places` whose text on `worked` is not the text on `right`.
template <class Role, class Read>
std::optional<Role> FirstDifference(const std::vector<Role>& places, const Worksheet& worked,
                                    const Worksheet& right, Read read) {
    for (const Role& place : places)
        if (read(worked, place) != read(right, place)) return place;
    return std::nullopt;
}

// A problem fully worked with exactly one mistake, for the pupil to find the
// place where the work first goes wrong.
template <class Problem, class Input, class Role>
struct MistakeExample {
    int menu_choice = 0;
    Problem problem;
    // The work with the mistake, step by step; its end() is what the screen shows.
    WorkedExample<Input, Role> work;
    // The diagnosis of the finished work: its kind (as the learning record
    // stores it), its step and the explanation the diagnosis panel shows.
    Finding finding;
    // Where the work first goes wrong: the place the diagnosis points at and
    // the frame marks.
    Role wrong;
    // Every place the wrong step wrote (each digit of a wrong number, say):
    // pointing at any of them finds the mistake. `wrong` is one of them; an
    // empty list accepts `wrong` alone.
    std::vector<Role> accepted;
    // Places that differ from the right work only because they follow from
    // the mistake (the product of a quotient digit that is too big, the later
    // digits of a quotient begun a place too high): right for the pupil's own
    // numbers, so pointing at them does not find the mistake.
    std::vector<Role> follows;
    // Every place that holds work, in writing order; `wrong` is one of them.
    std::vector<Role> places;
    // No draw passed the checks and the menu item's fixed example stands.
    bool fell_back = false;

    const Worksheet& sheet() const { return work.end(); }
    // The pupil pointed at `clicked`: right on every place of the wrong step.
    bool Judge(const Role& clicked) const {
        if (accepted.empty()) return clicked == wrong;
        for (const Role& role : accepted)
            if (role == clicked) return true;
        return false;
    }
};

// Draws tried for one example: with the preferred kinds (some of which have a
// place in few problems, such as a 0 inside the quotient), then with any kind,
// before the menu item's fixed example stands.
inline constexpr int kPreferredAttempts = 1000;
inline constexpr int kAnyKindAttempts = 100;
// Problems drawn for one chosen case before another case is chosen. A case
// keeps its problems until one passes, so every case is shown about as often
// as it is chosen, however rarely a problem gives it a place; trying a new
// case after each failure would let the cases that fit most problems crowd
// out the rest.
inline constexpr int kAttemptsPerCase = 25;

// Tries `attempt(c)` with cases c drawn from `preferred`, then from `all`,
// and returns the first example it gives. An empty `preferred` goes straight
// to `all`.
template <class Example, class Attempt>
std::optional<Example> FirstPassingExample(RandomSource& random, const std::vector<int>& preferred,
                                           const std::vector<int>& all, Attempt attempt) {
    for (const std::vector<int>* cases : {&preferred, &all}) {
        if (cases->empty()) continue;
        const int attempts = cases == &preferred ? kPreferredAttempts : kAnyKindAttempts;
        for (int i = 0; i < attempts;) {
            const int c = (*cases)[random.Random(static_cast<int>(cases->size()))];
            for (int k = 0; k < kAttemptsPerCase && i < attempts; ++k, ++i)
                if (std::optional<Example> example = attempt(c)) return example;
        }
    }
    return std::nullopt;
}

// The cases of `offered` (indexes into a topic's table of buggy procedures,
// with the kind each one makes) whose kind is among `preferred`.
template <class Table>
std::vector<int> CasesOfKinds(const Table& table, const std::vector<int>& offered,
                              const std::vector<std::string>& preferred) {
    std::vector<int> out;
    for (int c : offered)
        for (const std::string& kind : preferred)
            if (kind == table[c].kind) {
                out.push_back(c);
                break;
            }
    return out;
}

}  // namespace sorelka
