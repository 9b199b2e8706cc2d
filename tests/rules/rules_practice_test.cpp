#include "rules/rules_practice.h"

#include <gtest/gtest.h>

#include "rules/rules_bugs.h"
#include "support/fakes.h"

namespace sorelka::rules {
namespace {

using testing::FakeServices;

TEST(RulesStepPrompts, EveryRowOfTheTable) {
    const std::string confirm_or_finish =
        "計算の途中なら「確定」を、計算が終われば\r「終わり」を選んでね！";
    struct Row {
        int kind, op, row;
        std::optional<std::string> text;
    };
    const Row rows[] = {
        {1, 1, 0, "答えを選んでね！"},
        {1, 2, 5, "答えを選んでね！"},
        {1, 3, 2, "計算値を選んでね！"},
        {1, 4, 0, "商を「高い位」から１つずつ「位」を合わせて選んでね！"},
        {1, 4, 1, "計算値を選んでね！"},
        {1, 4, 3, "計算値を選んでね！"},
        {1, 4, 5, "計算値を選んでね！"},
        {1, 4, 4, "計算の途中なら商を、計算が終われば\r「終わり」を選んでね！"},
        {1, 4, 6, "計算の途中なら計算値を、計算が終われば\r「終わり」を選んでね！"},
        {1, 4, 7, std::nullopt},
        {1, 0, 1, std::nullopt},
        {2, 3, 1, confirm_or_finish},
        {2, 3, 3, confirm_or_finish},
        {2, 3, 2, "ＯＫなら「確定」を選んでね！"},
        {2, 3, 4, std::nullopt},
        {2, 4, 1, "ＯＫなら「確定」を選んでね！"},
        {2, 4, 5, "ＯＫなら「確定」を選んでね！"},
        {2, 4, 3, confirm_or_finish},
        {2, 4, 6, confirm_or_finish},
        {2, 1, 1, std::nullopt},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(StepPromptText(r.kind, r.op, r.row), r.text)
            << "kind " << r.kind << " op " << r.op << " row " << r.row;
    }
}

struct RulesPracticeTest : ::testing::Test {
    FakeServices fx;
    RulesPractice practice{fx.ctx};

    std::string text(const char* cell) { return practice.worksheet().at(cell).text; }
    void Enter(int value) { EnterNumber(practice, value); }
    void Finish() { practice.ApplyAction(Action::Finish); }
};

TEST_F(RulesPracticeTest, RightAnswerGetsACircleAndTheAnswerInTheProblem) {
    practice.FormCreate();
    // Family 1 of menu 1: 735 - ( 123 + 456 ).
    fx.random.Feed({0, 72, 4, 11, 2, 455});
    practice.ChooseMenu(kParenthesesMenu);
    EXPECT_EQ(fx.ctx.state.menu_choice, 1);
    EXPECT_EQ(text("problem"), "735 - ( 123 + 456 ) = ?");
    EXPECT_EQ(practice.prompt_line(), "答えを選んでね！");
    EXPECT_TRUE(practice.entry_lists_visible());
    EXPECT_FALSE(practice.operation_list_visible());
    EXPECT_EQ(fx.cues.cues().back(), 11u);

    Enter(579);
    Finish();
    Enter(156);
    fx.cues.clear();
    Finish();
    EXPECT_EQ(text("mark"), "○");
    EXPECT_EQ(practice.verdict(), Verdict::Right);
    EXPECT_EQ(practice.worksheet().at("mark").colour, kRed);
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{14}));
    EXPECT_EQ(text("problem"), "735 - ( 123 + 456 ) = 156");
    EXPECT_EQ(practice.prompt_line(), "「次へ」ボタンですすめてね！");

    // "終わり" again repeats the verdict but writes the answer only once.
    Finish();
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{14, 14}));
    EXPECT_EQ(text("problem"), "735 - ( 123 + 456 ) = 156");
}

TEST_F(RulesPracticeTest, WrongAnswerGetsACrossAndStillShowsTheRightValue) {
    fx.random.Feed({0, 72, 4, 11, 2, 455});
    practice.ChooseMenu(kParenthesesMenu);
    Enter(579);
    Finish();
    Enter(165);
    Finish();
    EXPECT_EQ(text("mark"), "×");
    EXPECT_EQ(practice.verdict(), Verdict::Wrong);
    EXPECT_EQ(fx.cues.cues().back(), 13u);
    EXPECT_EQ(text("problem"), "735 - ( 123 + 456 ) = 156");
    EXPECT_EQ(text("add result"), "165") << "the pupil's work stays";

    // The next problem clears the mark.
    fx.random.Feed({0, 72, 4, 11, 2, 455});
    practice.NextProblem();
    EXPECT_EQ(text("mark"), "");
    EXPECT_FALSE(practice.verdict());
    EXPECT_EQ(text("add result"), "");
}

TEST_F(RulesPracticeTest, NextWithoutAnyMenuChoiceDrawsNothing) {
    practice.FormCreate();
    fx.cues.clear();
    practice.NextProblem();
    EXPECT_EQ(fx.random.asked.size(), 0u);
    EXPECT_TRUE(practice.entry_lists_visible());
    EXPECT_EQ(text("problem"), "");
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11}));
    Finish();
    EXPECT_EQ(practice.prompt_line(), "メニューを選んでね！");
    EXPECT_TRUE(fx.dialogs.shown.empty());

    // A choice left by another screen draws that kind.
    fx.ctx.state.menu_choice = 2;
    fx.random.Feed({8, 10, 3, 5, 26});
    practice.NextProblem();
    EXPECT_EQ(text("problem"), "12 x 5 + 7 x 28 = ?");
}

}  // namespace
}  // namespace sorelka::rules
