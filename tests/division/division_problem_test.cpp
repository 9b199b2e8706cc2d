#include <gtest/gtest.h>

#include "core/random.h"
#include "division/division_problem.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using testing::ScriptedRandom;

DivisionProblem Draw(int menu, const std::vector<int>& draws, ScriptedRandom* used = nullptr) {
    ScriptedRandom random(draws);
    DivisionProblem p;
    EXPECT_TRUE(GenerateProblem(menu, random, p));
    EXPECT_EQ(random.randomize_calls, 1) << "re-seeded once before the draw";
    EXPECT_TRUE(random.script.empty()) << "every scripted draw used";
    if (used) *used = random;
    return p;
}

void ExpectProblem(const DivisionProblem& p, int kind, int dividend, int divisor) {
    EXPECT_EQ(p.problem_kind, kind);
    EXPECT_EQ(p.dividend, dividend);
    EXPECT_EQ(p.divisor, divisor);
    EXPECT_EQ(p.quotient, dividend / divisor);
    EXPECT_EQ(p.remainder, dividend % divisor);
}

TEST(DivisionProblem, OneDigitDivisorRangesAndDrawOrder) {
    ScriptedRandom used;
    // Kind 1: two-digit dividend, drawn after the kind and before the divisor.
    ExpectProblem(Draw(1, {4, 0, 0}, &used), 1, 10, 2);
    EXPECT_EQ(used.asked, (std::vector<int>{9, 89, 7}));
    ExpectProblem(Draw(1, {0, 88, 6}), 1, 98, 8);
    // Kind 2: three-digit dividend.
    ExpectProblem(Draw(1, {5, 0, 0}, &used), 2, 100, 2);
    EXPECT_EQ(used.asked, (std::vector<int>{9, 899, 7}));
    ExpectProblem(Draw(1, {8, 898, 6}), 2, 998, 8);
}

TEST(DivisionProblem, TwoDigitDivisorRangesAndDrawOrder) {
    ScriptedRandom used;
    ExpectProblem(Draw(2, {0, 1, 0}), 1, 11, 10);
    ExpectProblem(Draw(2, {2, 88, 87}), 1, 98, 97);
    ExpectProblem(Draw(2, {3, 0, 0}, &used), 2, 100, 10);
    EXPECT_EQ(used.asked, (std::vector<int>{8, 899, 89}));
    ExpectProblem(Draw(2, {5, 898, 88}), 2, 998, 98);
    ExpectProblem(Draw(2, {6, 0, 0}, &used), 3, 1000, 10);
    EXPECT_EQ(used.asked, (std::vector<int>{8, 8999, 89}));
    ExpectProblem(Draw(2, {7, 8998, 88}), 3, 9998, 98);
}

TEST(DivisionProblem, ThreeDigitDivisorRangesAndDrawOrder) {
    ScriptedRandom used;
    ExpectProblem(Draw(3, {4, 0, 0}, &used), 1, 1000, 100);
    EXPECT_EQ(used.asked, (std::vector<int>{9, 8999, 899}));
    ExpectProblem(Draw(3, {0, 8998, 898}), 1, 9998, 998);
    ExpectProblem(Draw(3, {5, 0, 0}, &used), 2, 10000, 100);
    EXPECT_EQ(used.asked, (std::vector<int>{9, 89999, 899}));
    ExpectProblem(Draw(3, {8, 89998, 898}), 2, 99998, 998);
}

TEST(DivisionProblem, KindProbabilities) {
    auto kinds = [](int menu, int n) {
        std::vector<int> count(4, 0);
        for (int k = 0; k < n; ++k) ++count[Draw(menu, {k, 0, 0}).problem_kind];
        return count;
    };
    EXPECT_EQ(kinds(1, 9), (std::vector<int>{0, 5, 4, 0}));  // 5/9 and 4/9
    EXPECT_EQ(kinds(3, 9), (std::vector<int>{0, 5, 4, 0}));
    // Menu 2, kind 1 needs a qualifying pair: 10 ÷ 10 fails, so feed 11 ÷ 10.
    std::vector<int> count(4, 0);
    for (int k = 0; k < 8; ++k) ++count[Draw(2, {k, 1, 0}).problem_kind];
    EXPECT_EQ(count, (std::vector<int>{0, 3, 3, 2}));  // 3/8, 3/8, 2/8
}

TEST(DivisionProblem, TwoDigitPairIsRedrawnUntilDividendIsLarger) {
    ScriptedRandom used;
    // 10 ÷ 15 and 30 ÷ 30 fail, 31 ÷ 30 stands.
    ExpectProblem(Draw(2, {0, 0, 5, 20, 20, 21, 20}, &used), 1, 31, 30);
    EXPECT_EQ(used.asked.size(), 7u);
}

TEST(DivisionProblem, WhenEveryPairFailsTheLastPairStands) {
    std::vector<int> draws{1};  // kind 1
    for (int k = 0; k < kMaxPairDraws - 1; ++k) {
        draws.push_back(0);   // dividend 10
        draws.push_back(88);  // divisor 98
    }
    draws.push_back(5);   // dividend 15
    draws.push_back(40);  // divisor 50
    ScriptedRandom random(draws);
    random.Feed({7});  // must stay unused: no 1001st pair
    DivisionProblem p;
    ASSERT_TRUE(GenerateProblem(2, random, p));
    ExpectProblem(p, 1, 15, 50);
    EXPECT_EQ(p.quotient, 0);
    EXPECT_EQ(random.asked.size(), 1u + 2u * kMaxPairDraws);
    EXPECT_EQ(random.script.size(), 1u);
}

TEST(DivisionProblem, OtherMenuChoicesKeepThePreviousProblem) {
    ScriptedRandom random;
    DivisionProblem p{745, 6, 124, 1, 2};
    for (int menu : {0, 4, -1, 99}) {
        EXPECT_FALSE(GenerateProblem(menu, random, p));
        EXPECT_EQ(p, (DivisionProblem{745, 6, 124, 1, 2}));
    }
    EXPECT_TRUE(random.asked.empty());
}

TEST(DivisionProblem, RealDrawsStayInRangeAndQuotientsFitThreeColumns) {
    SystemRandom random;
    const int low_divisor[] = {0, 2, 10, 100};
    const int high_divisor[] = {0, 8, 98, 998};
    for (int menu = 1; menu <= 3; ++menu) {
        for (int k = 0; k < 2000; ++k) {
            DivisionProblem p;
            ASSERT_TRUE(GenerateProblem(menu, random, p));
            ASSERT_GE(p.divisor, low_divisor[menu]);
            ASSERT_LE(p.divisor, high_divisor[menu]);
            ASSERT_GE(p.dividend, 10);
            ASSERT_LE(p.dividend, 99998);
            ASSERT_LE(p.quotient, 999) << p.dividend << " / " << p.divisor;
            ASSERT_EQ(p.quotient * p.divisor + p.remainder, p.dividend);
            if (menu == 2 && p.problem_kind == 1) {
                ASSERT_GT(p.dividend, p.divisor);
            }
        }
    }
}

TEST(DivisionProblem, Texts) {
    const DivisionProblem p{745, 6, 124, 1, 2};
    EXPECT_EQ(ProblemText(p), "745 ÷ 6 = ?");
    EXPECT_EQ(AnswerText(p), "745 ÷ 6 = 124 あまり 1");
    EXPECT_EQ(LogProblemText(p), " 745 ÷ 6");
    EXPECT_EQ(AnswerText({612, 6, 102, 0, 2}), "612 ÷ 6 = 102 あまり 0");
}

}  // namespace
}  // namespace sorelka::division
