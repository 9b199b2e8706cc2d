#include "fractions/fraction_problem.h"

namespace sorelka::fractions {

namespace {

// d = 2..9, then k = 1..7 so that the improper fraction k·d + 1 over d always
// leaves the remainder 1. A k of 0 would give a proper fraction, which is
// drawn again.
FractionProblem DrawPracticeImproper(RandomSource& random) {
    int d = 2;
    int numerator = 1;
    for (int set = 0; set < kMaxDrawSets; ++set) {
        d = random.Random(8) + 2;
        const int k = random.Random(8);
        numerator = k * d + 1;
        if (ImproperCondition(numerator, d)) break;
    }
    FractionProblem p;
    p.problem_numerator = numerator;
    p.problem_denominator = d;
    p.answer_whole = numerator / d;
    p.answer_numerator = numerator % d;
    p.answer_denominator = d;
    return p;
}

// d = 2..9, k = 1..8, r = 1..8: numerators 3..80, every one above d; a
// remainder of 0 (r a multiple of d) makes the answer a whole number.
FractionProblem DrawDrillImproper(RandomSource& random) {
    const int d = random.Random(8) + 2;
    const int k = random.Random(8) + 1;
    const int r = random.Random(8) + 1;
    FractionProblem p;
    p.problem_numerator = k * d + r;
    p.problem_denominator = d;
    p.answer_whole = p.problem_numerator / d;
    p.answer_numerator = p.problem_numerator % d;
    p.answer_denominator = d;
    return p;
}

// w and n/d with n < d, answered as (w·d + n)/d.
FractionProblem DrawMixedToImproper(RandomSource& random) {
    int w = 1, d = 2, n = 1;
    for (int set = 0; set < kMaxDrawSets; ++set) {
        w = random.Random(8) + 1;
        d = random.Random(8) + 2;
        n = random.Random(7) + 1;
        if (ProperCondition(n, d)) break;
    }
    FractionProblem p;
    p.problem_whole = w;
    p.problem_numerator = n;
    p.problem_denominator = d;
    p.answer_numerator = w * d + n;
    p.answer_denominator = d;
    return p;
}

// w and n/d = W and □/d: a proper n/d and a smaller whole part W, so the
// hidden numerator (w − W)·d + n is an improper one.
FractionProblem DrawFindTheBox(RandomSource& random) {
    int w = 1, d = 1, n = 1, big_w = 1;
    for (int set = 0; set < kMaxDrawSets; ++set) {
        w = random.Random(8) + 1;
        d = random.Random(9) + 1;
        n = random.Random(8) + 1;
        big_w = random.Random(7) + 1;
        if (BoxCondition(n, d, w, big_w)) break;
    }
    FractionProblem p;
    p.problem_whole = w;
    p.problem_numerator = n;
    p.problem_denominator = d;
    p.answer_whole = big_w;
    p.answer_numerator = w * d + n - big_w * d;
    p.answer_denominator = d;
    return p;
}

}  // namespace

bool IsFamily(int family) { return family >= kImproperToMixed && family <= kFindTheBox; }

std::optional<FractionProblem> DrawFractionProblem(int family, Variant variant,
                                                   RandomSource& random) {
    if (!IsFamily(family)) return std::nullopt;
    random.Randomize();
    return DrawFamilyProblem(family, variant, random);
}

bool FitsFamily(int family, Variant variant, const FractionProblem& p) {
    const auto in = [](int v, int low, int high) { return v >= low && v <= high; };
    const int d = p.problem_denominator;
    if (p.answer_denominator != d) return false;
    switch (family) {
        case kImproperToMixed: {
            const int n = p.problem_numerator;
            if (!in(d, 2, 9) || p.problem_whole != 0 || p.answer_whole != n / d || p.answer_numerator != n % d)
                return false;
            if (variant == Variant::Practice)  // k·d + 1 with k = 1..7
                return ImproperCondition(n, d) && n % d == 1 && n <= 7 * d + 1;
            for (int k = 1; k <= 8; ++k)  // k·d + r with k and r = 1..8
                if (in(n - k * d, 1, 8)) return true;
            return false;
        }
        case kMixedToImproper:
            return in(p.problem_whole, 1, 8) && in(d, 2, 9) && in(p.problem_numerator, 1, 7) &&
                   ProperCondition(p.problem_numerator, d) && p.answer_whole == 0 &&
                   p.answer_numerator == p.problem_whole * d + p.problem_numerator;
        case kFindTheBox:
            return in(p.problem_whole, 1, 8) && in(d, 1, 9) && in(p.problem_numerator, 1, 8) &&
                   in(p.answer_whole, 1, 7) &&
                   BoxCondition(p.problem_numerator, d, p.problem_whole, p.answer_whole) &&
                   p.answer_numerator == (p.problem_whole - p.answer_whole) * d + p.problem_numerator;
        default:
            return false;
    }
}

std::optional<FractionProblem> DrawFamilyProblem(int family, Variant variant, RandomSource& random) {
    if (!IsFamily(family)) return std::nullopt;
    switch (family) {
        case kImproperToMixed:
            return variant == Variant::Practice ? DrawPracticeImproper(random)
                                                : DrawDrillImproper(random);
        case kMixedToImproper:
            return DrawMixedToImproper(random);
        default:
            return DrawFindTheBox(random);
    }
}

bool JudgePracticeAnswer(int family, const FractionProblem& problem, const FractionEntry& entry) {
    if (family == kFindTheBox) return entry.entered_numerator == problem.answer_numerator;
    if (!IsFamily(family)) return false;
    return entry.entered_whole == problem.answer_whole &&
           entry.entered_denominator == problem.answer_denominator &&
           entry.entered_numerator == problem.answer_numerator;
}

bool JudgeDrillAnswer(int family, const FractionProblem& problem, const FractionEntry& entry) {
    if (family == kFindTheBox) return entry.entered_numerator == problem.answer_numerator;
    if (!IsFamily(family)) return false;
    if (problem.answer_whole > 0 && problem.answer_numerator > 0) {
        return entry.entered_whole == problem.answer_whole &&
               entry.entered_denominator == problem.answer_denominator &&
               entry.entered_numerator == problem.answer_numerator;
    }
    if (problem.answer_whole > 0 && problem.answer_numerator == 0)
        return entry.entered_whole == problem.answer_whole;
    if (problem.answer_whole == 0) {
        return entry.entered_denominator == problem.answer_denominator &&
               entry.entered_numerator == problem.answer_numerator;
    }
    return false;
}

std::string FractionText(int whole, int numerator, int denominator) {
    if (whole > 0 && numerator > 0) {
        return std::to_string(whole) + "・" + std::to_string(numerator) + " / " +
               std::to_string(denominator);
    }
    if (whole > 0) return std::to_string(whole);
    return std::to_string(numerator) + " / " + std::to_string(denominator);
}

std::string ProblemText(const FractionProblem& problem) {
    std::string text;
    if (problem.problem_whole > 0) text = std::to_string(problem.problem_whole) + "・";
    return text + std::to_string(problem.problem_numerator) + " / " +
           std::to_string(problem.problem_denominator) + " =";
}

}  // namespace sorelka::fractions
