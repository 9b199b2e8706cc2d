#pragma once

// Pupils who work decimal additions and subtractions column by column, each
// with one mistake of their own, and the real sheet they enter the answer on.
// Shared by the diagnosis tests and the diagnosis benchmark.

#include <random>
#include <string>
#include <vector>

#include "core/worked_rows.h"
#include "support/fakes.h"
#include "decimals/decimal_numbers.h"

namespace sorelka::decimals::pupils {

using sorelka::testing::SeededRandom;

enum class Pupil {
    Right,          // the taught procedure
    ForgetsCarry,   // adds the column digits and never the carry
    KeepsLender,    // borrows 10 but never makes the lending column smaller
    Swaps,          // takes the smaller digit from the larger one, never borrows
    ColumnSlip,     // one column's sum one too big or difference one too small
};

struct Worked {
    AnswerDigits digits{};  // by column, tens first
    Column slipped = Column::Tens;  // ColumnSlip: the column that went wrong
};

// What `pupil` writes for `problem`, column by column from the right.
inline Worked Work(Pupil pupil, Operation operation, const DecimalProblem& problem,
                   std::mt19937& rng) {
    const int p = problem.places;
    const int columns = p + 2;
    std::vector<int> top, bottom;
    for (int k = 0, a = problem.first_operand, b = problem.second_operand; k < columns;
         ++k, a /= 10, b /= 10) {
        top.push_back(a % 10);
        bottom.push_back(b % 10);
    }
    std::vector<int> out(columns);
    int carry = 0;
    for (int k = 0; k < columns; ++k) {
        const int a = top[k];
        const int b = bottom[k];
        const bool add = operation == Operation::Addition;
        switch (pupil) {
            case Pupil::ForgetsCarry:
                out[k] = (a + b) % 10;
                break;
            case Pupil::KeepsLender:
                out[k] = a < b ? a + 10 - b : a - b;
                break;
            case Pupil::Swaps:
                out[k] = a < b ? b - a : a - b;
                break;
            case Pupil::Right:
            case Pupil::ColumnSlip:
                if (add) {
                    out[k] = (a + b + carry) % 10;
                    carry = (a + b + carry) / 10;
                } else {
                    const int t = a - carry;
                    carry = t < b ? 1 : 0;
                    out[k] = t + 10 * carry - b;
                }
                break;
        }
    }
    Worked worked;
    int slip = -1;
    if (pupil == Pupil::ColumnSlip) {
        // Any column with something in it: a digit of either number or of the answer.
        int highest = 0;
        for (int k = 0; k < columns; ++k)
            if (top[k] || bottom[k] || out[k]) highest = k;
        slip = std::uniform_int_distribution<int>(0, highest)(rng);
        out[slip] = operation == Operation::Addition ? (out[slip] + 1) % 10 : (out[slip] + 9) % 10;
        worked.slipped = static_cast<Column>(1 + p - slip);
    }
    for (int k = 0; k < columns; ++k) worked.digits[1 + p - k] = out[k];
    return worked;
}

// The worksheet's numbers once `entered` is finished, as the sheet writes them.
inline WorkedRows FinishedRows(const DecimalProblem& problem, int entered) {
    const int p = problem.places;
    return {{"Label5", FormatDecimal(problem.first_operand, p).text},
            {"Label6", FormatDecimal(problem.second_operand, p).text},
            {"Label7", FormatDecimal(entered, p).text}};
}

}  // namespace sorelka::decimals::pupils
