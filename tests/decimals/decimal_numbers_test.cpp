#include <gtest/gtest.h>

#include <vector>

#include "core/random.h"
#include "decimals/decimal_numbers.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

using testing::ScriptedRandom;

// Draws that make every pair fail the addition condition (both end in 0).
std::vector<int> FailingAdditionPairs(int count) {
    std::vector<int> draws;
    for (int i = 0; i < count; ++i) {
        draws.push_back(9);   // 10
        draws.push_back(19);  // 20
    }
    return draws;
}

TEST(FormatDecimal, WritesTheWorkedExamples) {
    EXPECT_EQ(FormatDecimal(5, 1), (DecimalText{"0.5", 0}));
    EXPECT_EQ(FormatDecimal(30, 1), (DecimalText{"3", 1}));
    EXPECT_EQ(FormatDecimal(350, 2), (DecimalText{"3.5", 1}));
    EXPECT_EQ(FormatDecimal(7, 3), (DecimalText{"0.007", 0}));
    EXPECT_EQ(FormatDecimal(120, 3), (DecimalText{"0.12", 1}));
}

TEST(FormatDecimal, KeepsADigitBeforeThePointAndDropsTrailingZeros) {
    struct Case {
        int value;
        int places;
        DecimalText expected;
    };
    const Case cases[] = {
        {1, 1, {"0.1", 0}},      {9, 1, {"0.9", 0}},        {10, 1, {"1", 1}},
        {998, 1, {"99.8", 0}},   {1000, 1, {"100", 1}},     {0, 1, {"0", 1}},
        {1, 2, {"0.01", 0}},     {10, 2, {"0.1", 1}},       {100, 2, {"1", 2}},
        {99, 2, {"0.99", 0}},    {105, 2, {"1.05", 0}},     {9998, 2, {"99.98", 0}},
        {19990, 2, {"199.9", 1}}, {1, 3, {"0.001", 0}},     {10, 3, {"0.01", 1}},
        {100, 3, {"0.1", 2}},    {1000, 3, {"1", 3}},       {999, 3, {"0.999", 0}},
        {10010, 3, {"10.01", 1}}, {19996, 3, {"19.996", 0}}, {0, 3, {"0", 3}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDecimal(c.value, c.places), c.expected)
            << c.value << " with " << c.places << " places";
    }
}

TEST(FormatDecimal, WritesANegativeValueWithASignInFront) {
    EXPECT_EQ(FormatDecimal(-3, 1), (DecimalText{"-0.3", 0}));
    EXPECT_EQ(FormatDecimal(-250, 2), (DecimalText{"-2.5", 1}));
}

TEST(ReadAnswer, ReadsTheShownColumnsOnly) {
    const AnswerDigits digits{1, 2, 3, 4, 5};
    EXPECT_EQ(ReadAnswer(digits, 1), 123);
    EXPECT_EQ(ReadAnswer(digits, 2), 1234);
    EXPECT_EQ(ReadAnswer(digits, 3), 12345);
    EXPECT_EQ(ReadAnswer(digits, 0), 0);
    EXPECT_EQ(ReadAnswer({9, 9, 9, 9, 9}, 3), 99999);  // 99.999, the largest answer
}

TEST(RunningAnswerText, FollowsTheColumnsAsThePupilChoosesThem) {
    // Two places, adding: hundredths 5, then tenths 3, then ones 1.
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Hundredths, 5, 2), ".05");
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Tenths, 35, 2), ".35");
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Ones, 135, 2), "1.35");
    // Ones 0 at that point: subtraction writes the digit before the point.
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Ones, 35, 2), ".35");
    EXPECT_EQ(RunningAnswerText(Operation::Subtraction, Column::Ones, 35, 2), "0.35");
    // Three places: thousandths 4 alone, then tens 1.
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Thousandths, 4, 3), ".004");
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Tens, 10004, 3), "10.004");
    // Subtraction, ones 0 with nothing else chosen; then tenths 3.
    EXPECT_EQ(RunningAnswerText(Operation::Subtraction, Column::Ones, 0, 1), "0.0");
    EXPECT_EQ(RunningAnswerText(Operation::Subtraction, Column::Ones, 0, 2), "0.00");
    EXPECT_EQ(RunningAnswerText(Operation::Subtraction, Column::Tenths, 3, 1), ".3");
    // Trailing zeros stay while the answer is built.
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Tens, 1000, 2), "10.00");
}

TEST(RunningAnswerText, NeverMisstatesTheValueWhenColumnsComeOutOfOrder) {
    // 0.05 built as hundredths 5, then tenths 0: still all decimals.
    EXPECT_EQ(RunningAnswerText(Operation::Addition, Column::Tenths, 5, 2), ".05");
    // 0.005 built as thousandths 5, then hundredths 0.
    EXPECT_EQ(RunningAnswerText(Operation::Subtraction, Column::Hundredths, 5, 3), ".005");
}

TEST(Texts, EquationAndLogForms) {
    EXPECT_EQ(EquationText(Operation::Addition, "2.35", "1.4", "?"), "2.35 + 1.4 = ?");
    EXPECT_EQ(EquationText(Operation::Subtraction, "5.2", "4.9", "0.3"), "5.2 - 4.9 = 0.3");
    EXPECT_EQ(LogProblemText(Operation::Addition, "2", "3.5"), " 2 ＋ 3.5");
    EXPECT_EQ(LogProblemText(Operation::Subtraction, "5.2", "4.9"), " 5.2 - 4.9");
}

// --- drawing additions ---

TEST(DrawAddition, DrawsTheKindThenPairsFromItsRanges) {
    struct Case {
        int kind_draw;
        int kind;
        int first_range;
        int second_range;
    };
    const Case one_place[] = {{0, 1, 98, 98},   {24, 1, 98, 98},  {25, 2, 98, 998},
                              {50, 3, 998, 98}, {74, 3, 998, 98}, {75, 4, 998, 998},
                              {98, 4, 998, 998}};
    for (const Case& c : one_place) {
        ScriptedRandom random({c.kind_draw, 0, 1});
        const DecimalProblem problem = DrawAddition(random, 1);
        EXPECT_EQ(problem.problem_kind, c.kind) << "kind draw " << c.kind_draw;
        EXPECT_EQ(random.asked, (std::vector<int>{99, c.first_range, c.second_range}));
        EXPECT_EQ(problem.first_operand, 1);
        EXPECT_EQ(problem.second_operand, 2);
        EXPECT_EQ(problem.correct_result, 3);
        EXPECT_EQ(random.randomize_calls, 1);
    }
    const Case two_places[] = {{0, 1, 998, 998}, {29, 1, 998, 998}, {30, 2, 998, 9998},
                               {59, 2, 998, 9998}, {60, 3, 998, 9998}, {88, 3, 998, 9998}};
    for (const Case& c : two_places) {
        ScriptedRandom random({c.kind_draw, 0, 1});
        EXPECT_EQ(DrawAddition(random, 2).problem_kind, c.kind) << "kind draw " << c.kind_draw;
        EXPECT_EQ(random.asked, (std::vector<int>{89, c.first_range, c.second_range}));
    }
    ScriptedRandom three({0, 1});
    const DecimalProblem problem = DrawAddition(three, 3);
    EXPECT_EQ(three.asked, (std::vector<int>{9998, 9998}));
    EXPECT_EQ(problem.places, 3);
}

TEST(DrawAddition, ReachesTheBoundsOfEachRange) {
    ScriptedRandom small({0, 97, 96});  // kind 1: 98 + 97
    DecimalProblem p = DrawAddition(small, 1);
    EXPECT_EQ(p.first_operand, 98);
    EXPECT_EQ(p.second_operand, 97);
    EXPECT_EQ(p.correct_result, 195);  // kind 1 has no bound on the sum

    ScriptedRandom large({98, 997, 0});  // kind 4: 99.8 + 0.1
    p = DrawAddition(large, 1);
    EXPECT_EQ(p.first_operand, 998);
    EXPECT_EQ(p.second_operand, 1);

    ScriptedRandom three({9997, 0});
    p = DrawAddition(three, 3);
    EXPECT_EQ(p.first_operand, 9998);
    EXPECT_EQ(p.second_operand, 1);
}

TEST(DrawAddition, RedrawsPairsThatBreakTheConditions) {
    // Kind 4 with one place: 99.8 + 0.2 = 100 is too large, 1 + 2 both end in 0.
    ScriptedRandom random({75, 997, 1, 9, 19, 499, 498});
    DecimalProblem p = DrawAddition(random, 1);
    EXPECT_EQ(p.first_operand, 500);
    EXPECT_EQ(p.second_operand, 499);
    EXPECT_EQ(p.correct_result, 999);

    // Kind 2 with two places: the sum must stay below 100.00.
    ScriptedRandom two({30, 997, 9001, 997, 9000});
    p = DrawAddition(two, 2);
    EXPECT_EQ(p.correct_result, 998 + 9001);
    EXPECT_LT(p.correct_result, 10000);
}

TEST(DrawAddition, LetsTheHundredthPairStandWhenEveryPairFails) {
    std::vector<int> draws{0};
    const std::vector<int> failing = FailingAdditionPairs(99);
    draws.insert(draws.end(), failing.begin(), failing.end());
    draws.push_back(29);  // 30
    draws.push_back(39);  // 40, still both ending in 0
    draws.push_back(0);   // never reached
    ScriptedRandom random(draws);
    const DecimalProblem p = DrawAddition(random, 1);
    EXPECT_EQ(p.first_operand, 30);
    EXPECT_EQ(p.second_operand, 40);
    EXPECT_EQ(p.correct_result, 70);
    EXPECT_EQ(random.asked.size(), 1u + 2 * kPairAttempts);
    EXPECT_EQ(random.script.size(), 1u);
}

// --- drawing subtractions ---

TEST(DrawSubtraction, DrawsTheKindThenBothOperandsFromOneRange) {
    struct Case {
        int places;
        int kind_draw;
        int kind;
        int range;
    };
    const Case cases[] = {{1, 0, 1, 98},    {1, 49, 1, 98},    {1, 50, 2, 998},
                          {1, 98, 2, 998},  {2, 0, 1, 998},    {2, 49, 1, 998},
                          {2, 50, 2, 9998}, {2, 88, 2, 9998}};
    for (const Case& c : cases) {
        ScriptedRandom random({c.kind_draw, 1, 0});
        const DecimalProblem p = DrawSubtraction(random, c.places);
        EXPECT_EQ(p.problem_kind, c.kind) << c.places << " places, kind draw " << c.kind_draw;
        EXPECT_EQ(random.asked, (std::vector<int>{c.places == 1 ? 99 : 89, c.range, c.range}));
        EXPECT_EQ(p.correct_result, 1);
    }
    ScriptedRandom three({9997, 0});
    const DecimalProblem p = DrawSubtraction(three, 3);
    EXPECT_EQ(three.asked, (std::vector<int>{9998, 9998}));
    EXPECT_EQ(p.correct_result, 9997);
}

TEST(DrawSubtraction, KeepsTheDifferencePositiveAndNotEndingInZero) {
    // 2.5 - 2.5 (equal), 1.5 - 2.5 (smaller), 3.5 - 2.5 (ends in 0), then 5.2 - 4.9.
    ScriptedRandom random({0, 24, 24, 14, 24, 34, 24, 51, 48});
    const DecimalProblem p = DrawSubtraction(random, 1);
    EXPECT_EQ(p.first_operand, 52);
    EXPECT_EQ(p.second_operand, 49);
    EXPECT_EQ(p.correct_result, 3);
    EXPECT_TRUE(random.script.empty());
}

TEST(DrawSubtraction, LetsTheHundredthPairStandWhenEveryPairFails) {
    ScriptedRandom random({0});  // then unscripted zeros: 0.1 - 0.1 every time
    const DecimalProblem p = DrawSubtraction(random, 1);
    EXPECT_EQ(p.first_operand, 1);
    EXPECT_EQ(p.second_operand, 1);
    EXPECT_EQ(p.correct_result, 0);
    EXPECT_EQ(random.asked.size(), 1u + 2 * kPairAttempts);
}

TEST(Draw, DrawsNothingWithoutANumberOfPlaces) {
    for (int places : {0, 4, -1}) {
        ScriptedRandom random;
        EXPECT_EQ(DrawProblem(Operation::Addition, random, places).places, 0);
        EXPECT_EQ(DrawProblem(Operation::Subtraction, random, places).places, 0);
        EXPECT_TRUE(random.asked.empty());
        EXPECT_EQ(random.randomize_calls, 0);
    }
}

// Many real draws: every problem fits the worksheet and keeps its conditions.
TEST(Draw, RealDrawsKeepTheirConditionsAndFitTheColumns) {
    SystemRandom random;
    for (int places = 1; places <= 3; ++places) {
        const int answer_limit = places == 1 ? 1000 : places == 2 ? 10000 : 100000;
        for (int i = 0; i < 3000; ++i) {
            const DecimalProblem sum = DrawAddition(random, places);
            ASSERT_GT(sum.first_operand, 0);
            ASSERT_GT(sum.second_operand, 0);
            ASSERT_GT(sum.first_operand % 10 + sum.second_operand % 10, 0);
            ASSERT_LT(sum.correct_result, answer_limit) << places << " places";
            if (places == 3) {
                ASSERT_LT(sum.correct_result, 20000);
            }

            const DecimalProblem difference = DrawSubtraction(random, places);
            ASSERT_GT(difference.correct_result, 0);
            ASSERT_NE(difference.correct_result % 10, 0);
            ASSERT_LT(difference.first_operand, answer_limit);
            ASSERT_EQ(FormatDecimal(difference.correct_result, places).trailing_zeros, 0);
        }
    }
}

}  // namespace
}  // namespace sorelka::decimals
