#pragma once

// Pupils who convert fractions with one mistake of their own each, and the
// worked rows their answers leave on the fraction worksheet. Shared by the
// diagnosis tests and the diagnosis benchmark.

#include <random>
#include <string>

#include "core/worked_rows.h"
#include "support/fakes.h"
#include "fractions/fraction_problem.h"

namespace sorelka::fractions::pupils {

using sorelka::testing::SeededRandom;

enum class Pupil {
    Right,
    LeavesImproper,      // family 1: takes out one whole too few, or none at all
    ForgetsTimesDenominator,  // counts a whole as 1 instead of as d parts
    WrongWhole,          // one whole too many
    ChangesDenominator,  // writes the next denominator instead of the given one
    NumeratorSlip,       // the numerator one too big
};

// The slots `pupil` fills in for `problem` of `family`; 0 = left empty. A
// mistake that the family gives no room for leaves the right answer.
inline FractionEntry Work(Pupil pupil, int family, const FractionProblem& p) {
    FractionEntry e;
    e.entered_whole = p.answer_whole;
    e.entered_numerator = p.answer_numerator;
    e.entered_denominator = p.answer_denominator;
    const int d = p.problem_denominator;
    switch (pupil) {
        case Pupil::Right:
            break;
        case Pupil::LeavesImproper:
            if (family == kImproperToMixed) {
                const int wholes = p.answer_whole >= 2 ? p.answer_whole - 1 : 0;
                e.entered_whole = wholes;
                e.entered_numerator = p.problem_numerator - wholes * d;
            }
            break;
        case Pupil::ForgetsTimesDenominator:
            if (family == kImproperToMixed) e.entered_numerator = p.problem_numerator - p.answer_whole;
            if (family == kMixedToImproper) e.entered_numerator = p.problem_whole + p.problem_numerator;
            if (family == kFindTheBox)
                e.entered_numerator = p.problem_whole - p.answer_whole + p.problem_numerator;
            break;
        case Pupil::WrongWhole:
            if (family == kImproperToMixed) ++e.entered_whole;
            else e.entered_numerator += d;
            break;
        case Pupil::ChangesDenominator:
            e.entered_denominator = d < 9 ? d + 1 : d - 1;
            break;
        case Pupil::NumeratorSlip:
            ++e.entered_numerator;
            break;
    }
    // A whole-number answer leaves the fraction slots empty.
    if (e.entered_numerator == 0 && pupil != Pupil::ChangesDenominator) e.entered_denominator = 0;
    return e;
}

// The worksheet's rows once the slots are filled: the given number, "＝",
// and each answer slot with the entered value or what the problem showed there.
inline WorkedRows FinishedRows(int family, const FractionProblem& p, const FractionEntry& e) {
    auto number = [](int value) { return std::to_string(value); };
    WorkedRows rows;
    if (family != kImproperToMixed) rows.push_back({"Label4", number(p.problem_whole)});
    rows.push_back({"Label5", number(p.problem_denominator)});
    rows.push_back({"Label6", number(p.problem_numerator)});
    std::string whole = family == kImproperToMixed ? "？" : "";
    std::string numerator;
    std::string denominator;
    if (family == kFindTheBox) {
        whole = number(p.answer_whole);
        numerator = "□";
        denominator = number(p.answer_denominator);
    }
    if (e.entered_whole > 0 && family != kMixedToImproper) whole = number(e.entered_whole);
    if (e.entered_numerator > 0) numerator = number(e.entered_numerator);
    if (e.entered_denominator > 0) denominator = number(e.entered_denominator);
    if (!whole.empty()) rows.push_back({"Label7", whole});
    if (!denominator.empty()) rows.push_back({"Label8", denominator});
    if (!numerator.empty()) rows.push_back({"Label9", numerator});
    rows.push_back({"Label10", "＝"});
    return rows;
}

}  // namespace sorelka::fractions::pupils
