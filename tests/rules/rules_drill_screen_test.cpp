#include "rules/rules_drill_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "drill/drill_log.h"
#include "drill/score_sheet.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"

namespace sorelka::rules {
namespace {

using namespace sorelka::testing;

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

const char* const kDigitLists[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};

// Draws of the problems used below.
const std::vector<int> kParentheses = {0, 72, 4, 11, 2, 455};  // 735 - ( 123 + 456 ) = ?
const std::vector<int> kBoxPlus = {0, 2, 4, 1, 2};              // □ + 23 = 58
const std::vector<int> kMixed = {2, 44, 5, 0, 1, 0, 2};         // 456 - 12 x 13 = ?
const std::vector<int> kTimesDivides = {0, 8, 5, 2, 3};          // 96 ÷ 4 x 5 = ?

class RulesDrillScreenTest : public ::testing::Test {
protected:
    RulesDrillScreenTest() { screen.ShowModeless(); }

    // Menu item and time item, then "スタート" on the scripted problem.
    void StartOn(int menu_item, int time_item, const std::vector<int>& draws) {
        ClickItem(&screen, "ComboBox1", menu_item);
        ClickItem(&screen, "ComboBox8", time_item);
        fx.random.Feed(draws);
        Click(&screen, "CuteButton3");
    }
    void Next(const std::vector<int>& draws) {
        fx.random.Feed(draws);
        Click(&screen, "CuteButton4");
    }
    void Enter(int value) {
        const std::string digits = std::to_string(value);
        for (std::size_t i = 0; i < digits.size(); ++i)
            ClickItem(&screen, kDigitLists[digits.size() - 1 - i], digits[i] - '0');
    }
    void Finish() { ClickItem(&screen, "ComboBox6", 4); }
    // 735 - ( 123 + 456 ): the sum, then the difference `last`.
    void WorkParentheses(int last) {
        Enter(579);
        Finish();
        Enter(last);
        Finish();
    }
    void Tick(int times) {
        for (int i = 0; i < times; ++i) screen.CountdownTick();
    }
    QString Text(const char* name) { return LabelText(&screen, name); }
    QString Prompt() { return Text("Label2"); }
    QWidget* Widget(const char* name) { return Find<QWidget>(&screen, name); }
    ChoiceList* List(const char* name) { return Find<ChoiceList>(&screen, name); }
    QStringList ScoreLine() { return {Text("Label21"), Text("Label22"), Text("Label23")}; }
    QTimer* Countdown() { return Find<QTimer>(&screen, "Timer3"); }

    QTemporaryDir folder;
    FakeServices fx;
    DrillLog log{folder.path() + "/kyozai.db", fx.dialogs};
    RulesDrillScreen screen{fx.ctx, log, nullptr};
};

TEST_F(RulesDrillScreenTest, ShownItAsksForAMenuChoiceWithItsOwnListsAndPlaces) {
    EXPECT_EQ(screen.objectName(), "TForm9");
    EXPECT_EQ(screen.windowTitle(), "Sorelka");
    EXPECT_EQ(Text("Label1"), "４．計算のきまり：ドリル");
    EXPECT_EQ(Prompt(), "メニューを選んでね！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
    auto* menu = List("ComboBox1");
    EXPECT_EQ(menu->text(), "         メニュー");
    ASSERT_EQ(menu->count(), 4);
    EXPECT_EQ(menu->view()->item(0)->text(), "（　）のある計算");
    EXPECT_EQ(menu->view()->item(3)->text(), "□を求める計算");
    EXPECT_EQ(List("ComboBox8")->text(), "  時間");
    EXPECT_EQ(Widget("Label3")->geometry().topLeft(), QPoint(232, 130));
    EXPECT_TRUE(Widget("Label3")->font().bold());
    for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"}) {
        EXPECT_EQ(Widget(list)->y(), 280) << list;
        EXPECT_FALSE(Widget(list)->isVisible()) << list;
    }
    EXPECT_FALSE(Widget("ComboBox7")->isVisible());
    EXPECT_TRUE(Widget("CuteButton4")->isEnabled());
    // No button hides under the lists or under the score sheet.
    const QRect sheet = Widget("DBGrid1")->geometry();
    for (int n = 1; n <= 6; ++n) {
        const QRect button = Find<QWidget>(&screen, QStringLiteral("CuteButton%1").arg(n))->geometry();
        EXPECT_FALSE(button.intersects(sheet)) << n;
        for (const char* list : {"ComboBox1", "ComboBox8", "ComboBox2", "ComboBox5", "ComboBox6",
                                 "ComboBox7"})
            EXPECT_FALSE(button.intersects(Widget(list)->geometry())) << n << " " << list;
    }
}

TEST_F(RulesDrillScreenTest, MenuChoiceEmptiesTheTimeListAndTimeChoicePlaysCue17) {
    ClickItem(&screen, "ComboBox8", 1);
    ClickItem(&screen, "ComboBox1", 2);
    EXPECT_EQ(fx.ctx.state.menu_choice, 3);
    EXPECT_EQ(List("ComboBox8")->current(), -1);
    EXPECT_EQ(List("ComboBox8")->text(), "  時間");
    EXPECT_EQ(screen.session().time_limit_seconds(), 300) << "the limit itself stays";
    EXPECT_EQ(Prompt(), "時間を選んでね！");
    fx.cues.clear();
    ClickItem(&screen, "ComboBox8", 3);
    EXPECT_EQ(screen.session().time_limit_seconds(), 900);
    EXPECT_EQ(Prompt(), "「スタート」ボタンを押してね！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{17});
}

TEST_F(RulesDrillScreenTest, AParenthesesQuestionIsLoggedWithoutTheQuestionMarkAndNoMarkShown) {
    fx.cues.clear();
    StartOn(0, 0, kParentheses);
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 17, 12, 11}));
    EXPECT_EQ(Text("Label24"), "第 1 問  ");
    EXPECT_EQ(Text("Label3"), "735 - ( 123 + 456 ) = ?");
    EXPECT_EQ(Text("Label4"), "123");
    EXPECT_EQ(Text("Label5"), "456");
    EXPECT_EQ(Prompt(), "");
    EXPECT_FALSE(Widget("ComboBox7")->isVisible());

    Enter(579);
    EXPECT_EQ(Prompt(), "") << "no step prompts on the drill";
    Finish();
    EXPECT_EQ(Text("Label4"), "735");
    EXPECT_EQ(Prompt(), "");
    Enter(156);
    fx.cues.clear();
    Finish();
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row(1, " 735 - ( 123 + 456 ) =", " 156", " 156", " ○"));
    EXPECT_EQ(fx.ctx.state.correct_count, 1);
    EXPECT_EQ(Prompt(), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{12});
    EXPECT_EQ(Text("Label3"), "735 - ( 123 + 456 ) = ?") << "the answer is not revealed";
    EXPECT_EQ(Text("Label6"), "156") << "the worksheet stays";
    for (QLabel* label : screen.findChildren<QLabel*>())
        EXPECT_NE(label->text(), "○") << Utf8(label->objectName());

    Finish();  // again: no second row, no second point
    EXPECT_EQ(log.Rows().size(), 1u);
}

TEST_F(RulesDrillScreenTest, ABoxQuestionShowsTheOperationListWithoutSelectionAndLogsTheWholeText) {
    StartOn(3, 0, kBoxPlus);
    EXPECT_EQ(Text("Label3"), "□ + 23 = 58");
    EXPECT_EQ(Prompt(), "□を求める計算を選んでね！");
    EXPECT_TRUE(Widget("ComboBox7")->isVisible());
    EXPECT_EQ(List("ComboBox7")->current(), -1);
    Finish();  // before a calculation is chosen: nothing to hand in
    EXPECT_EQ(Prompt(), "□を求める計算を選んでね！");
    EXPECT_TRUE(log.Rows().empty());
    ClickItem(&screen, "ComboBox7", 1);  // " －"
    EXPECT_EQ(Prompt(), "");
    EXPECT_EQ(List("ComboBox7")->current(), 1);
    EXPECT_EQ(Text("Label4"), "58");
    EXPECT_EQ(Text("Label5"), "23");
    Enter(35);
    EXPECT_EQ(List("ComboBox7")->current(), 1) << "digits leave the chosen calculation selected";
    Finish();
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row(1, " □ + 23 = 58", " 35", " 35", " ○"));

    Next(kBoxPlus);
    EXPECT_EQ(Text("Label24"), "第 2 問  ");
    EXPECT_TRUE(Widget("ComboBox7")->isVisible());
    EXPECT_EQ(List("ComboBox7")->current(), -1) << "every box question starts without a choice";
    EXPECT_EQ(Prompt(), "□を求める計算を選んでね！");
    EXPECT_EQ(Text("Label4"), "");
}

TEST_F(RulesDrillScreenTest, TheOperationListIsHiddenOnMenusOneToThree) {
    const std::vector<int> draws[] = {kParentheses, kMixed, kTimesDivides};
    for (int item = 0; item < 3; ++item) {
        StartOn(3, 0, kBoxPlus);
        ASSERT_TRUE(Widget("ComboBox7")->isVisible());
        StartOn(item, 0, draws[item]);
        EXPECT_FALSE(Widget("ComboBox7")->isVisible()) << "menu " << item + 1;
        EXPECT_TRUE(Widget("ComboBox6")->isVisible()) << "menu " << item + 1;
        EXPECT_FALSE(Text("Label3").isEmpty()) << "menu " << item + 1;
        EXPECT_TRUE(fx.random.script.empty()) << "menu " << item + 1;
    }
}

TEST_F(RulesDrillScreenTest, FiveMinutesApplyToEachOfThreeQuestions) {
    fx.clock.Set(9, 0, 0);
    StartOn(0, 1, kParentheses);
    Tick(299);
    Next(kParentheses);
    Tick(299);
    Next(kParentheses);
    Tick(299);
    EXPECT_TRUE(fx.dialogs.shown.empty()) << "897 seconds, but none of them 300 on one question";
    EXPECT_TRUE(Countdown()->isActive());
    fx.clock.Set(9, 14, 57);
    fx.cues.clear();
    Tick(1);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"時間だから、ドリルを終わるよ！"});
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{13});
    EXPECT_FALSE(Countdown()->isActive());
    EXPECT_EQ(Utf8(ScoreLine().join("|")), "3 問|0 点|14 分 57 秒");
    for (const char* label : {"Label3", "Label4", "Label5", "Label24"})
        EXPECT_EQ(Text(label), "") << label;
    EXPECT_TRUE(Widget("ComboBox2")->isVisible()) << "the lists stay";

    // "次へ" after the time-out continues the drill with a countdown of its own.
    Next(kParentheses);
    EXPECT_TRUE(Countdown()->isActive());
    EXPECT_EQ(Text("Label24"), "第 4 問  ");
    EXPECT_EQ(Text("Label21"), "") << "the score line is emptied";
}

TEST_F(RulesDrillScreenTest, AnUnfinishedQuestionCountsAsAskedAndLowersThePoints) {
    StartOn(0, 0, kParentheses);
    WorkParentheses(156);
    Next(kParentheses);
    Enter(579);  // started, never handed in
    Next(kParentheses);
    WorkParentheses(155);
    Next(kParentheses);
    Click(&screen, "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine().join("|").section('|', 0, 1)), "4 問|25 点");
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].no, 1);
    EXPECT_EQ(rows[1].no, 3);
    EXPECT_EQ(rows[1].kot, " 155");
    EXPECT_EQ(rows[1].hnt, " ×");
    EXPECT_EQ(Prompt(), "おつかれさま！");

    // After "ストップ" the lists stay but no longer work the emptied question.
    Enter(156);
    Finish();
    EXPECT_EQ(Text("Label6"), "");
    EXPECT_EQ(log.Rows().size(), 2u);
}

TEST_F(RulesDrillScreenTest, TheScoreSheetHasFiveColumnsWithAWideProblemColumn) {
    StartOn(0, 0, kParentheses);
    WorkParentheses(156);
    Click(&screen, "CuteButton6");
    auto* grid = Find<ScoreSheet>(&screen, "DBGrid1");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->Titles(), (QStringList{"番号", "問題", "正解", "答え", "判定"}));
    EXPECT_EQ(grid->columnWidth(kFieldMnd), 260);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->RowTexts(0),
              (QStringList{"1", " 735 - ( 123 + 456 ) =", " 156", " 156", " ○"}));
}

}  // namespace
}  // namespace sorelka::rules
