#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/worked_example.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_steps.h"

// The worked example of a decimal times a whole number (the right work
// replayed through MultiplicationSteps, each row's carries written small
// above it as a teacher writes them, ending with the whole calculation on
// the prompt line, "２．３×４＝９．２") and answers worked with one mistake for
// the pupil to find.
namespace sorelka::multiplication {

// A place of the pupil's work: a digit of a row (row 1, 2, 3 = the sum or
// the product of a one-digit multiplier, column from the right), the point,
// the ones 0 or the strokes.
struct MultiplicationRole {
    enum class Part { Digit, Point, OnesZero, Strikes };
    Part part = Part::Digit;
    int row = 1;
    int column = 0;
    bool operator==(const MultiplicationRole&) const = default;
};

using MultiplicationExample = WorkedExample<MultiplicationInput, MultiplicationRole>;
using MultiplicationMistakeExample = MistakeExample<MultiplicationProblem, MultiplicationInput, MultiplicationRole>;

// What `role` shows on a sheet: a digit, ".", "0", the strokes; empty for none.
std::string MultiplicationRoleText(const Worksheet& sheet, const MultiplicationRole& role);

// The right work of `problem`, one step per digit ("６×７＝４２　４くり上がるよ"),
// per confirmed row, the point ("かけられる数と 同じ ２けた"), the ones 0,
// each stroke, and "終わり", its last line WideFact(problem).
MultiplicationExample MultiplicationWorkedExample(const MultiplicationProblem& problem);
// `work` entered one step each on a fresh sheet of `problem`.
MultiplicationExample ReplayMultiplication(const MultiplicationProblem& problem, const MultiplicationWork& work);

// The kinds a find-the-mistake example of menu item 1 … kMenuItems can show.
std::vector<std::string> MultiplicationMistakeKinds(int menu_choice);
// A problem of the menu item worked by one of the buggy procedures,
// preferring `preferred_kinds`, kept when the diagnosis names the
// procedure's kind; none for another menu choice.
std::optional<MultiplicationMistakeExample> DrawMultiplicationMistake(
    int menu_choice, RandomSource& random, const std::vector<std::string>& preferred_kinds = {});
// The fixed example of a menu item.
MultiplicationMistakeExample MultiplicationMistakeFallback(int menu_choice);

}  // namespace sorelka::multiplication
