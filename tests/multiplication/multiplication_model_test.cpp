#include <gtest/gtest.h>

#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_problem.h"
#include "multiplication/multiplication_sheet.h"
#include "multiplication/multiplication_steps.h"
#include "support/fakes.h"

namespace sorelka::multiplication {
namespace {

using testing::ExtremeRandom;
using testing::SeededRandom;

// Every draw of every menu item fits it, and its right work reads back as
// its product through the texts the record keeps.
TEST(MultiplicationProblems, EveryDrawFitsItsItemAndItsRightWorkReadsBack) {
    SeededRandom random(37);
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        for (int i = 0; i < 3000; ++i) {
            const std::optional<MultiplicationProblem> drawn = DrawProblem(menu, random);
            ASSERT_TRUE(drawn);
            const MultiplicationProblem& p = *drawn;
            SCOPED_TRACE(StoredProblemText(p));
            ASSERT_TRUE(FitsMenuItem(p, menu));
            EXPECT_LE(p.WholeProduct(), 9999);
            EXPECT_EQ(ParseStoredProblem(menu, StoredProblemText(p)), p);
            const MultiplicationWork work = RightWork(p);
            EXPECT_TRUE(IsRightWork(p, work));
            for (const RowDigits& row : work.rows) EXPECT_EQ(RowFromText(RowText(row)), row);
            EXPECT_EQ(RowValue(work.product), p.WholeProduct());
            if (p.TwoDigitMultiplier()) {
                EXPECT_EQ(RowValue(work.rows[0]) + RowValue(work.rows[1]), p.WholeProduct());
            }
        }
    }
    EXPECT_FALSE(DrawProblem(0, random));
    EXPECT_FALSE(DrawProblem(kMenuItems + 1, random));
    // Every retry failing: the item's fixed problem stands.
    for (const bool highest : {false, true}) {
        ExtremeRandom extreme(highest);
        for (int menu = 1; menu <= kMenuItems; ++menu) EXPECT_TRUE(FitsMenuItem(*DrawProblem(menu, extreme), menu));
    }
}

// `work` entered on a fresh sheet of `problem`: the steps' verdict, and the
// sheet's work as the record's rows give it back.
Verdict WorkThrough(const MultiplicationProblem& problem, const MultiplicationWork& work) {
    MultiplicationSteps steps;
    steps.StartProblem(problem);
    std::optional<Verdict> verdict;
    for (const MultiplicationInput& input : InputsOf(work)) verdict = steps.Feed(input);
    EXPECT_EQ(steps.work(), work);
    EXPECT_EQ(WorkFromRows(MultiplicationWorkedRows(steps.cells()), problem), work);
    EXPECT_FALSE(steps.takes_entries());
    return verdict.value_or(Verdict::Wrong);
}

// Every draw's right work, and the same with its last touch left out,
// worked through the steps and read back from the record.
TEST(MultiplicationSteps, RightWorkOfEveryItemIsJudgedRightAndReadsBack) {
    SeededRandom random(6);
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        for (int i = 0; i < 200; ++i) {
            const MultiplicationProblem p = *DrawProblem(menu, random);
            SCOPED_TRACE(StoredProblemText(p));
            MultiplicationWork work = RightWork(p);
            EXPECT_EQ(AnswerText(work), ProductText(p));
            EXPECT_EQ(WorkThrough(p, work), Verdict::Right);
            // 10.0 unstruck, .12 without its ones 0, no point: each wrong.
            if (work.struck > 0) {
                --work.struck;
            } else if (work.ones_zero) {
                work.ones_zero = false;
            } else {
                work.point.reset();
            }
            EXPECT_EQ(WorkThrough(p, work), Verdict::Wrong);
        }
    }
}

// The answers a pupil can write, right and wrong, as the sheet reads them.
TEST(MultiplicationProblems, AnswerTextsOfTheTrickyProducts) {
    const auto problem = [](int digits, int places, int multiplier) {
        return MultiplicationProblem{.digits = digits, .places = places, .multiplier = multiplier};
    };
    struct Case {
        MultiplicationProblem problem;
        MultiplicationWork work;
        std::string answer;
        bool right;
    };
    const MultiplicationWork ten{.product = RowOf(100), .point = 1};
    const Case cases[] = {
        {problem(25, 1, 4), {.product = RowOf(100), .point = 1, .struck = 1}, "10", true},
        {problem(25, 1, 4), ten, "10.0", false},
        {problem(25, 1, 4), {.product = RowOf(100)}, "100", false},
        {problem(4, 2, 3), {.product = RowOf(12), .point = 2}, ".12", false},
        {problem(4, 2, 3), {.product = RowOf(12), .point = 2, .ones_zero = true}, "0.12", true},
        {problem(15, 2, 6), {.product = RowOf(90), .point = 2, .ones_zero = true, .struck = 1}, "0.9", true},
        {problem(15, 2, 6), {.product = RowOf(90), .point = 2, .ones_zero = true}, "0.90", false},
        {problem(237, 2, 6), {.product = RowOf(1422), .point = 2}, "14.22", true},
        {problem(237, 2, 6), {.product = RowOf(1422), .point = 1}, "142.2", false},
        {problem(36, 1, 24), RightWork(problem(36, 1, 24)), "86.4", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StoredProblemText(c.problem) + " written " + c.answer);
        EXPECT_EQ(AnswerText(c.work), c.answer);
        EXPECT_EQ(IsRightWork(c.problem, c.work), c.right);
    }
    EXPECT_EQ(ProductText(problem(25, 1, 4)), "10");
    EXPECT_EQ(ProblemLine(problem(237, 2, 6), false), "2.37 × 6 = ?");
    EXPECT_EQ(ProblemLine(problem(4, 2, 3), true), "0.04 × 3 = 0.12");
    EXPECT_EQ(WideFact(problem(23, 1, 4)), "２．３×４＝９．２");
    EXPECT_EQ(RowText(RowOf(474, 1)), "474 ");
    EXPECT_EQ(RowText(kEmptyRow), "");
    EXPECT_FALSE(ParseStoredProblem(1, "2.37 + 6"));
    EXPECT_FALSE(ParseStoredProblem(1, "237 × 6"));
}

}  // namespace
}  // namespace sorelka::multiplication
