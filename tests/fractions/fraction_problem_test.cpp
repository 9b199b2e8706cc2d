#include "fractions/fraction_problem.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

using testing::ScriptedRandom;

FractionProblem Draw(int family, Variant variant, std::vector<int> draws) {
    ScriptedRandom random(draws);
    auto p = DrawFractionProblem(family, variant, random);
    EXPECT_TRUE(p.has_value());
    EXPECT_TRUE(random.script.empty()) << "draws left over";
    EXPECT_EQ(random.unscripted, 0);
    return p.value_or(FractionProblem{});
}

FractionProblem Made(int pw, int pn, int pd, int aw, int an, int ad) {
    return {pw, pn, pd, aw, an, ad};
}

TEST(FractionDraw, PracticeImproperRedrawsProperFractionsAndAlwaysLeavesRemainderOne) {
    // d = 3 with k = 0 gives 1/3, drawn again; d = 3, k = 2 gives 7/3.
    EXPECT_EQ(Draw(1, Variant::Practice, {1, 0, 1, 2}), Made(0, 7, 3, 2, 1, 3));
    for (int d = 0; d < 8; ++d) {
        for (int k = 1; k < 8; ++k) {
            const FractionProblem p = Draw(1, Variant::Practice, {d, k});
            EXPECT_EQ(p.problem_denominator, d + 2);
            EXPECT_EQ(p.problem_numerator, k * (d + 2) + 1);
            EXPECT_EQ(p.answer_whole, k);
            EXPECT_EQ(p.answer_numerator, 1);
            EXPECT_EQ(p.answer_denominator, d + 2);
        }
    }
}

TEST(FractionDraw, DrillImproperNeedsNoRedrawAndCanGiveWholeNumbers) {
    EXPECT_EQ(Draw(1, Variant::Drill, {2, 1, 3}), Made(0, 12, 4, 3, 0, 4));  // 12/4 = 3
    EXPECT_EQ(Draw(1, Variant::Drill, {2, 1, 2}), Made(0, 11, 4, 2, 3, 4));  // 11/4
    int whole_numbers = 0;
    for (int d = 0; d < 8; ++d)
        for (int k = 0; k < 8; ++k)
            for (int r = 0; r < 8; ++r) {
                const FractionProblem p = Draw(1, Variant::Drill, {d, k, r});
                EXPECT_GE(p.problem_numerator, 3);
                EXPECT_LE(p.problem_numerator, 80);
                EXPECT_GT(p.problem_numerator, p.problem_denominator);
                EXPECT_EQ(p.answer_whole * p.answer_denominator + p.answer_numerator,
                          p.problem_numerator);
                EXPECT_LE(p.answer_whole, 12);
                if (p.answer_numerator == 0) ++whole_numbers;
            }
    EXPECT_EQ(whole_numbers, 96);
}

TEST(FractionDraw, MixedToImproperRedrawsWhileNumeratorNotBelowDenominator) {
    // 1 and 2/2 fails; 2 and 3/5 is answered 13/5.
    EXPECT_EQ(Draw(2, Variant::Practice, {0, 0, 1, 1, 3, 2}), Made(2, 3, 5, 0, 13, 5));
    EXPECT_EQ(Draw(2, Variant::Drill, {1, 1, 0}), Made(2, 1, 3, 0, 7, 3));
}

TEST(FractionDraw, FindTheBoxKeepsOnlyProperFractionAndSmallerWholePart) {
    // w 1 with W 1 fails; then 3 and 1/4 = 1 and □/4 with □ = 9.
    EXPECT_EQ(Draw(3, Variant::Practice, {0, 3, 0, 0, 2, 3, 0, 0}), Made(3, 1, 4, 1, 9, 4));
    int passing = 0;
    for (int w = 0; w < 8; ++w)
        for (int d = 0; d < 9; ++d)
            for (int n = 0; n < 8; ++n)
                for (int big_w = 0; big_w < 7; ++big_w) {
                    if (!(n + 1 < d + 1 && big_w + 1 < w + 1)) continue;
                    ++passing;
                    const FractionProblem p = Draw(3, Variant::Drill, {w, d, n, big_w});
                    EXPECT_GE(p.problem_denominator, 2);
                    EXPECT_GE(p.problem_whole, 2);
                    EXPECT_LT(p.answer_whole, p.problem_whole);
                    EXPECT_GE(p.answer_numerator, p.answer_denominator + 1);
                    EXPECT_LE(p.answer_numerator, 71);
                    EXPECT_EQ(p.problem_whole * p.problem_denominator + p.problem_numerator,
                              p.answer_whole * p.answer_denominator + p.answer_numerator);
                }
    EXPECT_GT(passing, 0);
}

// Answers every Random(7) with its largest value and everything else with 0:
// the set that fails every family's condition.
class FailingRandom final : public RandomSource {
public:
    void Randomize() override { ++randomize_calls; }
    int Random(int n) override {
        ++draws;
        return n == 7 ? 6 : 0;
    }
    int randomize_calls = 0;
    int draws = 0;
};

TEST(FractionDraw, WhenEveryOneOfTheThousandSetsFailsTheLastStands) {
    struct Case {
        int family;
        int draws;
        FractionProblem last;
    } cases[] = {
        {1, 2 * kMaxDrawSets, Made(0, 1, 2, 0, 1, 2)},  // 1/2: a proper fraction
        {2, 3 * kMaxDrawSets, Made(1, 7, 2, 0, 9, 2)},  // 1 and 7/2
        {3, 4 * kMaxDrawSets, Made(1, 1, 1, 7, -5, 1)},
    };
    for (const Case& c : cases) {
        FailingRandom random;
        auto p = DrawFractionProblem(c.family, Variant::Practice, random);
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(*p, c.last) << "family " << c.family;
        EXPECT_EQ(random.draws, c.draws) << "family " << c.family;
        EXPECT_EQ(random.randomize_calls, 1);
    }
}

TEST(FractionDraw, OtherFamiliesDrawNothingAndReseedOnlyForRealDraws) {
    for (int family : {0, 4, -1}) {
        ScriptedRandom random;
        EXPECT_FALSE(DrawFractionProblem(family, Variant::Drill, random).has_value());
        EXPECT_EQ(random.randomize_calls, 0);
        EXPECT_TRUE(random.asked.empty());
    }
    ScriptedRandom random({0, 0, 0});
    DrawFractionProblem(1, Variant::Drill, random);
    EXPECT_EQ(random.randomize_calls, 1);
    EXPECT_EQ(random.asked, (std::vector<int>{8, 8, 8}));
}

FractionEntry Entered(int whole, int numerator, int denominator) {
    FractionEntry e;
    e.entered_whole = whole;
    e.entered_numerator = numerator;
    e.entered_denominator = denominator;
    return e;
}

TEST(FractionJudging, PracticeNeedsAllThreeSlotsExceptForTheBox) {
    const FractionProblem seven_thirds = Made(0, 7, 3, 2, 1, 3);
    EXPECT_TRUE(JudgePracticeAnswer(1, seven_thirds, Entered(2, 1, 3)));
    EXPECT_FALSE(JudgePracticeAnswer(1, seven_thirds, Entered(2, 1, 0)));
    const FractionProblem to_improper = Made(2, 3, 5, 0, 13, 5);
    EXPECT_TRUE(JudgePracticeAnswer(2, to_improper, Entered(0, 13, 5)));
    EXPECT_FALSE(JudgePracticeAnswer(2, to_improper, Entered(0, 13, 0)));
    const FractionProblem box = Made(3, 1, 4, 1, 9, 4);
    EXPECT_TRUE(JudgePracticeAnswer(3, box, Entered(0, 9, 0)));
    EXPECT_TRUE(JudgePracticeAnswer(3, box, Entered(7, 9, 8)));
    EXPECT_FALSE(JudgePracticeAnswer(3, box, Entered(1, 8, 4)));
    // No family: wrong, even where the entries match.
    EXPECT_FALSE(JudgePracticeAnswer(0, seven_thirds, Entered(2, 1, 3)));
    EXPECT_FALSE(JudgePracticeAnswer(4, box, Entered(0, 9, 0)));
}

TEST(FractionJudging, DrillJudgesByTheShapeOfTheAnswer) {
    const FractionProblem twelve_quarters = Made(0, 12, 4, 3, 0, 4);
    EXPECT_TRUE(JudgeDrillAnswer(1, twelve_quarters, Entered(3, 0, 0)));
    EXPECT_TRUE(JudgeDrillAnswer(1, twelve_quarters, Entered(3, 5, 7)));
    EXPECT_FALSE(JudgeDrillAnswer(1, twelve_quarters, Entered(0, 12, 4)));

    const FractionProblem eleven_quarters = Made(0, 11, 4, 2, 3, 4);
    EXPECT_TRUE(JudgeDrillAnswer(1, eleven_quarters, Entered(2, 3, 4)));
    EXPECT_FALSE(JudgeDrillAnswer(1, eleven_quarters, Entered(2, 3, 0)));

    const FractionProblem to_improper = Made(2, 1, 3, 0, 7, 3);
    EXPECT_TRUE(JudgeDrillAnswer(2, to_improper, Entered(5, 7, 3)));  // whole part not looked at
    EXPECT_FALSE(JudgeDrillAnswer(2, to_improper, Entered(0, 7, 0)));

    const FractionProblem box = Made(3, 1, 4, 1, 9, 4);
    EXPECT_TRUE(JudgeDrillAnswer(3, box, Entered(0, 9, 0)));
    EXPECT_FALSE(JudgeDrillAnswer(3, box, Entered(1, 0, 4)));

    EXPECT_FALSE(JudgeDrillAnswer(0, to_improper, Entered(0, 7, 3)));
    EXPECT_FALSE(JudgeDrillAnswer(1, Made(0, 0, 0, -1, 2, 3), Entered(-1, 2, 3)));
}

TEST(FractionText, WholeFractionAndMixedForms) {
    EXPECT_EQ(FractionText(2, 3, 4), "2・3 / 4");
    EXPECT_EQ(FractionText(3, 0, 4), "3");
    EXPECT_EQ(FractionText(3, 0, 0), "3");
    EXPECT_EQ(FractionText(0, 11, 4), "11 / 4");
    EXPECT_EQ(FractionText(0, 0, 0), "0 / 0");
    EXPECT_EQ(FractionText(0, 9, 0), "9 / 0");
    EXPECT_EQ(ProblemText(Made(2, 1, 3, 0, 7, 3)), "2・1 / 3 =");
    EXPECT_EQ(ProblemText(Made(0, 11, 4, 2, 3, 4)), "11 / 4 =");
}

}  // namespace
}  // namespace sorelka::fractions
