#include "rules/expression_problems.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/random.h"
#include "support/fakes.h"

namespace sorelka::rules {
namespace {

using testing::ScriptedRandom;
using Draws = std::vector<int>;

// The draws that make each operand shape yield `v`.
Draws TO(int v) { return {v / 10 - 1, v % 10 - 1}; }
Draws SO(int v) { return {v / 10, v % 10 - 1}; }
Draws SD(int v) { return {v / 10, v % 10 - 2}; }
Draws Plus(int v, int k) { return {v - k}; }  // Random(n) + k

Draws Join(std::initializer_list<Draws> parts) {
    Draws out;
    for (const Draws& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Draws Repeat(const Draws& cycle, int times) {
    Draws out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), cycle.begin(), cycle.end());
    return out;
}

ExpressionProblem Generate(int menu, const Draws& draws, Variant variant = Variant::Practice) {
    ScriptedRandom random(draws);
    ExpressionProblem p;
    try {
        GenerateProblem(menu, random, p, variant);
    } catch (const std::out_of_range&) {
        ADD_FAILURE() << "draw " << random.asked.size() << " does not fit Random("
                      << random.asked.back() << ")";
    }
    EXPECT_TRUE(random.script.empty()) << "draws left over";
    EXPECT_EQ(random.randomize_calls, 1);
    return p;
}

struct FamilyCase {
    int menu;
    int family_draw;
    Draws operands;
    int family;
    int kind;
    const char* text;
    int answer;
};

// One accepted draw of every family: its kind code, text and answer.
const FamilyCase kFamilies[] = {
    {1, 0, Join({TO(735), TO(123), Plus(456, 1)}), 1, 26, "735 - ( 123 + 456 ) = ?", 156},
    {1, 6, Join({TO(45), TO(87), TO(23)}), 2, 17, "45 + ( 87 - 23 ) = ?", 109},
    {1, 12, Join({TO(1024), TO(562), TO(345)}), 3, 27, "1024 - ( 562 - 345 ) = ?", 807},
    {1, 18, Join({TO(34), TO(23), Plus(14, 2)}), 4, 36, "34 x ( 23 + 14 ) = ?", 1258},
    {1, 24, Join({TO(56), TO(142), TO(78)}), 5, 37, "56 x ( 142 - 78 ) = ?", 3584},
    {1, 30, Join({TO(12), Plus(7, 2), Plus(3, 2)}), 6, 38, "12 x ( 7 x 3 ) = ?", 252},
    {1, 36, Join({TO(23), SO(84), Plus(7, 1)}), 7, 39, "23 x ( 84 ÷ 7 ) = ?", 276},
    {1, 42, Join({TO(456), TO(22), TO(16)}), 8, 46, "456 ÷ ( 22 + 16 ) = ?", 12},
    {1, 48, Join({TO(624), Plus(62, 1), TO(24)}), 9, 47, "624 ÷ ( 86 - 62 ) = ?", 26},
    {1, 54, Join({TO(672), Plus(16, 1), Plus(3, 2)}), 10, 48, "672 ÷ ( 16 x 3 ) = ?", 14},
    {1, 60, Join({TO(324), Plus(4, 1), TO(32)}), 11, 49, "324 ÷ ( 36 ÷ 4 ) = ?", 36},
    {1, 66, Join({TO(23), TO(45), Plus(12, 1)}), 12, 63, "(23 + 45 ) x 12 = ?", 816},
    {1, 72, Join({TO(583), Plus(271, 1), TO(21)}), 13, 73, "(583 - 271 ) x 21 = ?", 6552},
    {1, 78, Join({TO(402), TO(46), SD(14)}), 14, 64, "(402 + 46 ) ÷ 14 = ?", 32},
    {1, 88, Join({TO(452), TO(128), SD(36)}), 15, 74, "(452 - 128 ) ÷ 36 = ?", 9},
    {2, 0, Join({Plus(125, 1), Plus(23, 2), Plus(45, 2)}), 1, 13, "125 + 23 x 45 = ?", 1160},
    {2, 2, Join({TO(948), TO(21), TO(43)}), 2, 23, "948 - 21 x 43 = ?", 45},
    {2, 4, Join({TO(34), Plus(23, 1), TO(92)}), 3, 14, "34 + 115 ÷ 23 = ?", 39},
    {2, 6, Join({TO(823), Plus(36, 1), TO(108)}), 4, 24, "823 - 144 ÷ 36 = ?", 819},
    {2, 8, Join({Plus(12, 2), Plus(5, 2), Plus(7, 2), Plus(28, 2)}), 5, 313, "12 x 5 + 7 x 28 = ?", 256},
    {2, 10, Join({Plus(9, 2), Plus(8, 2), Plus(6, 2), Plus(7, 2)}), 6, 323, "9 x 8 - 6 x 7 = ?", 30},
    {2, 12, Join({TO(256), TO(32), Plus(3, 2), Plus(4, 2)}), 7, 314, "3 x 4 + 256 ÷ 32 = ?", 20},
    {2, 14, Join({Plus(26, 2), Plus(3, 2), TO(462), TO(42)}), 8, 324, "26 x 3 - 462 ÷ 42 = ?", 67},
    {2, 16, Join({TO(392), TO(28), Plus(6, 2), Plus(7, 2)}), 9, 413, "392 ÷ 28 + 6 x 7 = ?", 56},
    {2, 18, Join({TO(936), TO(26), Plus(8, 2), Plus(3, 2)}), 10, 423, "936 ÷ 26 - 8 x 3 = ?", 12},
    {2, 20, Join({TO(828), TO(36), TO(768), TO(24)}), 11, 414, "828 ÷ 36 + 768 ÷ 24 = ?", 55},
    {2, 22, Join({TO(384), TO(16), TO(252), TO(42)}), 12, 424, "384 ÷ 16 - 252 ÷ 42 = ?", 18},
    {3, 0, Join({TO(168), Plus(12, 2), Plus(25, 2)}), 1, 93, "168 ÷ 12 x 25 = ?", 350},
    {3, 5, Join({Plus(36, 1), Plus(24, 2), Plus(18, 2)}), 2, 84, "36 x 24 ÷ 18 = ?", 48},
};

TEST(ExpressionGenerators, EveryFamilyHasItsKindCodeTextAndAnswer) {
    for (const FamilyCase& f : kFamilies) {
        SCOPED_TRACE(::testing::Message() << "menu " << f.menu << " family " << f.family);
        Draws draws{f.family_draw};
        draws.insert(draws.end(), f.operands.begin(), f.operands.end());
        const ExpressionProblem p = Generate(f.menu, draws);
        EXPECT_EQ(p.menu, f.menu);
        EXPECT_EQ(p.family_number, f.family);
        EXPECT_EQ(p.kind_code, f.kind);
        EXPECT_EQ(p.problem_text, f.text);
        EXPECT_EQ(p.expected_answer, f.answer);
        EXPECT_FALSE(p.fell_back);
    }
}

TEST(ExpressionGenerators, FamilyDrawsCoverEachFamilyWithItsShare) {
    struct Menu {
        int menu, n;
        std::map<int, int> expected;  // family -> how many of the n values select it
    };
    std::map<int, int> m1, m2;
    for (int f = 1; f <= 14; ++f) m1[f] = 6;
    m1[15] = 5;
    for (int f = 1; f <= 11; ++f) m2[f] = 2;
    m2[12] = 1;
    const Menu menus[] = {{1, 89, m1}, {2, 23, m2}, {3, 9, {{1, 5}, {2, 4}}},
                          {4, 7, {{1, 2}, {2, 2}, {3, 2}, {4, 1}}}};
    for (const Menu& m : menus) {
        std::map<int, int> seen;
        for (int v = 0; v < m.n; ++v) {
            ScriptedRandom random({v});  // then zeros: the operands do not matter here
            ExpressionProblem p;
            GenerateProblem(m.menu, random, p);
            ASSERT_EQ(random.asked.front(), m.n) << "menu " << m.menu;
            ++seen[p.family_number];
        }
        EXPECT_EQ(seen, m.expected) << "menu " << m.menu;
    }
}

TEST(ExpressionGenerators, RejectedDrawsAreRepeatedInTheGivenOrder) {
    // Family 1 of menu 1: 123 - ( 456 + 7 ) is negative, the next draw passes.
    ExpressionProblem p = Generate(1, Join({{0}, TO(123), TO(456), Plus(7, 1), TO(735), TO(123),
                                            Plus(456, 1)}));
    EXPECT_EQ(p.problem_text, "735 - ( 123 + 456 ) = ?");

    // Family 9 of menu 1 draws a, then c, then b as c plus a TensOnes; 624 is
    // not a multiple of 86 - 62 + ... so a rejected draw comes first.
    p = Generate(1, Join({{48}, TO(625), Plus(62, 1), TO(24), TO(624), Plus(62, 1), TO(24)}));
    EXPECT_EQ(p.problem_text, "624 ÷ ( 86 - 62 ) = ?");

    // Family 7 of menu 2: c and d until accepted, then a and b once.
    p = Generate(2, Join({{12}, TO(257), TO(32), TO(256), TO(32), Plus(3, 2), Plus(4, 2)}));
    EXPECT_EQ(p.problem_text, "3 x 4 + 256 ÷ 32 = ?");

    // Rules that are easy to get subtly wrong: a sum that is a multiple of 10,
    // a quotient of 2, a product of 1000 or more.
    p = Generate(1, Join({{18}, TO(34), TO(23), Plus(17, 2), TO(34), TO(23), Plus(14, 2)}));
    EXPECT_EQ(p.problem_text, "34 x ( 23 + 14 ) = ?");
    p = Generate(1, Join({{42}, TO(44), TO(11), TO(11), TO(456), TO(22), TO(16)}));
    EXPECT_EQ(p.problem_text, "456 ÷ ( 22 + 16 ) = ?");
    p = Generate(3, Join({{5}, Plus(50, 1), Plus(20, 2), Plus(20, 2), Plus(36, 1), Plus(24, 2),
                          Plus(18, 2)}));
    EXPECT_EQ(p.problem_text, "36 x 24 ÷ 18 = ?");
}

TEST(ExpressionGenerators, ExhaustedDrawsFallBackToTheFamilysNumbers) {
    // With nothing scripted every draw is 0, which no family below but 14
    // accepts; family 14 gets 1000 draws of 23 ÷ 2.
    struct Fallback {
        int menu, family_draw;
        const char* text;
        int answer;
        Draws draws = {};
    };
    const Fallback cases[] = {
        {1, 42, "456 ÷ ( 22 + 16 ) = ?", 12},
        {1, 48, "624 ÷ ( 86 - 62 ) = ?", 26},
        {1, 54, "672 ÷ ( 16 x 3 ) = ?", 14},
        {1, 60, "324 ÷ ( 36 ÷ 4 ) = ?", 36},
        {1, 78, "(402 + 46 ) ÷ 14 = ?", 32, Repeat(Join({TO(11), TO(12), SD(2)}), 1000)},
        {1, 84, "(323 - 89 ) ÷ 26 = ?", 9},
        {2, 6, "823 - 516 ÷ 43 = ?", 811},
        {2, 14, "26 x 32 - 462 ÷ 42 = ?", 821},
        {2, 18, "936 ÷ 26 - 8 x 3 = ?", 12},
        {2, 20, "828 ÷ 36 + 768 ÷ 24 = ?", 55},
        {2, 22, "720 ÷ 16 - 782 ÷ 34 = ?", 22},
    };
    for (const Fallback& f : cases) {
        ScriptedRandom random(Join({{f.family_draw}, f.draws}));
        ExpressionProblem p;
        GenerateProblem(f.menu, random, p);
        EXPECT_TRUE(p.fell_back) << f.text;
        EXPECT_TRUE(random.script.empty()) << f.text;
        EXPECT_EQ(p.problem_text, f.text);
        EXPECT_EQ(p.expected_answer, f.answer) << f.text;
    }

    // Family 8 of menu 1 tried exactly 10000 draws of three operands.
    ScriptedRandom random({42});
    ExpressionProblem p;
    GenerateProblem(1, random, p);
    EXPECT_EQ(random.asked.size(), 1u + 10000u * 6u);
}

TEST(ExpressionGenerators, FallbacksKeepTheOperandsTheyDoNotName) {
    // Family 7 of menu 1 keeps the last a: 11 x ( 24 ÷ 6 ), answer 11 x 4.
    ExpressionProblem p = Generate(1, Join({{36}, Repeat(Join({TO(11), SO(1), Plus(1, 1)}), 9999),
                                            TO(37), SO(1), Plus(1, 1)}));
    EXPECT_EQ(p.problem_text, "37 x ( 24 ÷ 6 ) = ?");
    EXPECT_EQ(p.expected_answer, 148);

    // Family 3 of menu 2 keeps a; family 7 draws a and b after its fallback.
    p = Generate(2, Join({{4}, Repeat(Join({TO(11), Plus(2, 1), TO(11)}), 999), TO(57), Plus(2, 1),
                          TO(11)}));
    EXPECT_EQ(p.problem_text, "57 + 92 ÷ 23 = ?");
    EXPECT_EQ(p.expected_answer, 61);
    p = Generate(2, Join({{12}, Repeat(Join({TO(11), TO(11)}), 1000), Plus(5, 2), Plus(6, 2)}));
    EXPECT_EQ(p.problem_text, "5 x 6 + 256 ÷ 32 = ?");
    EXPECT_EQ(p.expected_answer, 38);
    p = Generate(2, Join({{16}, Repeat(Join({TO(11), TO(11)}), 1000), Plus(6, 2), Plus(7, 2)}));
    EXPECT_EQ(p.problem_text, "392 ÷ 28 + 6 x 7 = ?");
}

TEST(ExpressionGenerators, FamiliesWithoutFallbackKeepTheirLastDrawEvenIfItBreaksTheRule) {
    ScriptedRandom random({0});  // all zeros: 11 - ( 11 + 1 )
    ExpressionProblem p;
    GenerateProblem(1, random, p);
    EXPECT_TRUE(p.fell_back);
    EXPECT_EQ(p.problem_text, "11 - ( 11 + 1 ) = ?");
    EXPECT_EQ(p.expected_answer, -1);
    EXPECT_EQ(random.asked.size(), 1u + 1000u * 5u);
}

TEST(ExpressionGenerators, DrillVariantsDrawTheirOwnOperands) {
    // Menu 1 family 7: a = TensOnes(8), b = Random(38) + 1, c = TensOnes(98).
    ExpressionProblem p = Generate(1, Join({{36}, TO(12), Plus(36, 1), TO(12)}), Variant::Drill);
    EXPECT_EQ(p.problem_text, "12 x ( 36 ÷ 12 ) = ?");
    EXPECT_EQ(p.expected_answer, 36);

    // Menu 1 family 9: a, b, c drawn independently; b <= c rejected first.
    p = Generate(1, Join({{48}, TO(624), TO(45), Plus(62, 1), TO(624), TO(86), Plus(62, 1)}),
                 Variant::Drill);
    EXPECT_EQ(p.problem_text, "624 ÷ ( 86 - 62 ) = ?");

    // Menu 2 family 1: multiples of 10 pass on the drill only.
    const Draws tens = Join({{0}, Plus(125, 1), Plus(20, 2), Plus(45, 2)});
    p = Generate(2, tens, Variant::Drill);
    EXPECT_EQ(p.problem_text, "125 + 20 x 45 = ?");
    p = Generate(2, Join({tens, Plus(125, 1), Plus(23, 2), Plus(45, 2)}));
    EXPECT_EQ(p.problem_text, "125 + 23 x 45 = ?");

    // Everywhere else the drill draws as the practice screen does.
    for (const FamilyCase& f : kFamilies) {
        if ((f.menu == 1 && (f.family == 7 || f.family == 9)) || (f.menu == 2 && f.family == 1)) {
            continue;
        }
        Draws draws{f.family_draw};
        draws.insert(draws.end(), f.operands.begin(), f.operands.end());
        EXPECT_EQ(Generate(f.menu, draws, Variant::Drill).problem_text, f.text);
    }
}

TEST(BoxProblems, TextAnswerAndFirstCalculation) {
    struct BoxCase {
        int family_draw;
        Draws draws;
        const char* text;
        int answer, top, bottom;
    };
    const BoxCase cases[] = {
        {0, Join({TO(35), TO(23)}), "□ + 23 = 58", 35, 58, 23},
        {2, Join({TO(124), TO(57)}), "□ - 124 = 57", 181, 57, 124},
        {4, Join({TO(12), Plus(7, 2)}), "□ x 7 = 84", 12, 84, 7},
        {6, Join({TO(23), TO(14)}), "□ ÷ 23 = 14", 322, 14, 23},
    };
    int family = 1;
    for (const BoxCase& c : cases) {
        ExpressionProblem before;
        before.kind_code = 414;
        ScriptedRandom random(Join({{c.family_draw}, c.draws}));
        GenerateBoxProblem(random, before);
        EXPECT_EQ(before.family_number, family++);
        EXPECT_EQ(before.problem_text, c.text);
        EXPECT_EQ(before.expected_answer, c.answer);
        EXPECT_EQ(before.top_operand, c.top);
        EXPECT_EQ(before.bottom_operand, c.bottom);
        EXPECT_TRUE(before.IsBoxProblem());
        EXPECT_EQ(before.kind_code, 414) << "a box problem keeps the previous kind code";
        EXPECT_TRUE(random.script.empty());
    }
}

TEST(BoxProblems, DivisionBoxIsRedrawnUntilItFitsFourDigits) {
    // 288 x 48 = 13824 cannot be entered; 208 x 48 = 9984 can.
    ExpressionProblem p = Generate(4, Join({{6}, TO(288), TO(48), TO(208), TO(48)}));
    EXPECT_EQ(p.problem_text, "□ ÷ 208 = 48");
    EXPECT_EQ(p.expected_answer, 9984);

    ScriptedRandom random(Join({{6}, Repeat(Join({TO(288), TO(48)}), 1000)}));
    GenerateBoxProblem(random, p);
    EXPECT_TRUE(p.fell_back);
    EXPECT_LE(p.expected_answer, 9999);
    EXPECT_EQ(p.expected_answer, p.operand_a * p.operand_b);
}

TEST(ExpressionGenerators, MenuOutsideTheListDrawsNothing) {
    ScriptedRandom random;
    ExpressionProblem p;
    p.problem_text = "earlier";
    EXPECT_FALSE(GenerateProblem(0, random, p));
    EXPECT_FALSE(GenerateProblem(5, random, p));
    EXPECT_EQ(p.problem_text, "earlier");
    EXPECT_TRUE(random.asked.empty());
    EXPECT_EQ(random.randomize_calls, 0);
}

TEST(ExpressionText, AnswerWrittenIntoTheProblemAndTheLogForm) {
    ExpressionProblem p;
    p.menu = 1;
    p.problem_text = "735 - ( 123 + 456 ) = ?";
    p.expected_answer = 156;
    EXPECT_EQ(CompletedProblemText(p), "735 - ( 123 + 456 ) = 156");
    EXPECT_EQ(ProblemTextForLog(p), "735 - ( 123 + 456 ) =");
    p.menu = 4;
    p.problem_text = "□ + 23 = 58";
    p.expected_answer = 35;
    EXPECT_EQ(CompletedProblemText(p), "[35] + 23 = 58");
    EXPECT_EQ(ProblemTextForLog(p), "□ + 23 = 58");
}

// Checks one column calculation against what the worksheet can hold.
void ExpectFits(int op, int x, int y, const std::string& text) {
    SCOPED_TRACE(text);
    const int r = Apply(op, x, y);
    EXPECT_LT(r, 10000);
    EXPECT_GT(r, 0);
    if (op == kSubtract) {
        EXPECT_GT(x, y);
    }
    if (op == kMultiply) {
        EXPECT_LT(std::min(x, y), 100);
    }
    if (op == kDivide) {
        ASSERT_GT(y, 0);
        EXPECT_EQ(x % y, 0);
        EXPECT_GE(r, 2);
        EXPECT_LE(r, 99);
        EXPECT_LT(y, 100);
    }
}

TEST(ExpressionGenerators, RealDrawsKeepEveryColumnCalculationOnTheWorksheet) {
    SystemRandom random;
    for (Variant variant : {Variant::Practice, Variant::Drill}) {
        for (int menu = 1; menu <= 4; ++menu) {
            for (int i = 0; i < 3000; ++i) {
                ExpressionProblem p;
                GenerateProblem(menu, random, p, variant);
                if (p.fell_back) continue;  // checked by the fallback tests
                const int a = p.operand_a, b = p.operand_b, c = p.operand_c, d = p.operand_d;
                if (p.IsBoxProblem()) {
                    const int inverse[] = {0, kSubtract, kAdd, kDivide, kMultiply};
                    ExpectFits(inverse[p.family_number], b, a, p.problem_text);
                    EXPECT_EQ(Apply(inverse[p.family_number], b, a), p.expected_answer);
                    continue;
                }
                const CalculationOrder order = OrderOf(p.kind_code);
                if (order.four_numbers) {
                    const int first = Apply(order.first_op, a, b);
                    const int second = Apply(order.second_op, c, d);
                    ExpectFits(order.first_op, a, b, p.problem_text);
                    ExpectFits(order.second_op, c, d, p.problem_text);
                    ExpectFits(order.middle_op, first, second, p.problem_text);
                    continue;
                }
                const int first = order.first_on_left ? Apply(order.first_op, a, b)
                                                      : Apply(order.first_op, b, c);
                if (order.first_on_left) {
                    ExpectFits(order.first_op, a, b, p.problem_text);
                    ExpectFits(order.second_op, first, c, p.problem_text);
                } else {
                    ExpectFits(order.first_op, b, c, p.problem_text);
                    ExpectFits(order.second_op, a, first, p.problem_text);
                }
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

}  // namespace
}  // namespace sorelka::rules
