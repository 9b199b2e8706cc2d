#include "rules/rules_drill.h"

#include <gtest/gtest.h>

#include "rules/rules_bugs.h"
#include "rules/rules_cells.h"
#include "support/fakes.h"

namespace sorelka::rules {
namespace {

using testing::FakeServices;

// A log row without the remainder fields of the division drill.
DrillRow Row(int no, const char* mnd, const char* kai, const char* kot, const char* hnt) {
    DrillRow row;
    row.no = no;
    row.mnd = mnd;
    row.kai = kai;
    row.kot = kot;
    row.hnt = hnt;
    return row;
}

struct RulesDrillModelTest : ::testing::Test {
    FakeServices fx;
    RulesDrill drill{fx.ctx};

    std::string text(const char* cell) { return drill.worksheet().at(cell).text; }
    // Draws and shows a problem with the given draws, as "スタート" does.
    void Set(int menu, std::vector<int> draws) {
        fx.random.Feed(draws);
        drill.ClearWorksheet();
        ASSERT_TRUE(drill.GenerateProblem(menu));
        drill.ShowProblem();
        drill.ResetEntryLists();
    }
    void Enter(int value) { EnterNumber(drill, value); }
    void Finish() { drill.ApplyAction(Action::Finish); }
};

TEST_F(RulesDrillModelTest, DrawsTheDrillVariant) {
    // Menu 2 family 1 with a factor of 20: the practice screen would draw
    // again, the drill takes it.
    Set(2, {0, 124, 18, 43});
    EXPECT_EQ(text("problem"), "125 + 20 x 45 = ?");
    EXPECT_TRUE(fx.random.script.empty());
    EXPECT_EQ(drill.TakePrompt(), "") << "menus 1 to 3 empty the prompt line";
    EXPECT_EQ(drill.ProblemPrompt(), "");
}

TEST_F(RulesDrillModelTest, AFourNumberProblemIsLoggedWithThePupilsFinalNumber) {
    Set(2, {8, 5, 10, 0, 0});  // 7 x 12 + 2 x 2 = ?
    ASSERT_EQ(text("problem"), "7 x 12 + 2 x 2 = ?");
    Enter(84);
    Finish();
    Enter(4);
    Finish();
    EXPECT_EQ(text("add top"), "84");
    EXPECT_EQ(text("add bottom"), "4");
    Enter(87);
    Finish();
    auto judged = drill.TakeJudgement();
    ASSERT_TRUE(judged);
    EXPECT_EQ(judged->verdict, Verdict::Wrong);
    EXPECT_EQ(judged->row, Row(0, " 7 x 12 + 2 x 2 =", " 88", " 87", " ×"));
    EXPECT_FALSE(drill.TakeJudgement()) << "taken once";
    EXPECT_EQ(text("problem"), "7 x 12 + 2 x 2 = ?") << "no answer is written into the problem";
    EXPECT_FALSE(drill.worksheet().has("mark")) << "the score line is not the worksheet's";
    EXPECT_EQ(RulesWorkedRows(drill.worksheet()).front(), (WorkedCell{"Label3", "7 x 12 + 2 x 2 = ?"}));
}

}  // namespace
}  // namespace sorelka::rules
