#include "division/division_drill_screen.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>

#include "drill/drill_log.h"
#include "drill/score_sheet.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"

namespace sorelka::division {
namespace {

using namespace sorelka::testing;

const char* List(int place) {
    static const char* names[] = {"", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
    return names[place];
}

class DivisionDrillTest : public ::testing::Test {
protected:
    DivisionDrillTest() { screen.ShowModeless(); }

    // Menu 1 with a five-minute limit, then "スタート" on the given problem
    // (scripted as menu 1, kind 2).
    void StartOn(int dividend, int divisor) {
        ClickItem(&screen, "ComboBox1", 0);
        ClickItem(&screen, "ComboBox7", 1);
        Script(dividend, divisor);
        Click(&screen, "CuteButton3");
    }
    void Script(int dividend, int divisor) { fx.random.Feed({5, dividend - 100, divisor - 2}); }
    void Digit(int place, int digit) { ClickItem(&screen, List(place), digit); }
    void Confirm() { ClickItem(&screen, "ComboBox6", 0); }
    void Finish() { ClickItem(&screen, "ComboBox6", 6); }
    // Writes a row as a two-digit value in tens and ones, and confirms it.
    void Row(int value) {
        if (value >= 10) Digit(2, value / 10);
        Digit(1, value % 10);
        Confirm();
    }
    // 745 ÷ 6 written out in full; `last_difference` is the remainder written.
    void Work745(int last_difference = 1) {
        Digit(3, 1);  // quotient 1 in the hundreds
        Confirm();
        Row(6);
        Row(14);
        Digit(2, 2);  // quotient 2 in the tens
        Confirm();
        Row(12);
        Row(25);
        Digit(1, 4);  // quotient 4 in the ones
        Confirm();
        Row(24);
        Digit(1, last_difference);
    }
    QString Text(const char* name) { return LabelText(&screen, name); }

    QTemporaryDir folder;
    FakeServices fx;
    DrillLog log{folder.path() + "/kyozai.db", fx.dialogs};
    DivisionDrillScreen screen{fx.ctx, log, nullptr};
};

TEST_F(DivisionDrillTest, ShownItAsksForAMenuChoiceWithTheListsHidden) {
    EXPECT_EQ(screen.objectName(), "TForm3");
    EXPECT_EQ(screen.windowTitle(), "Sorelka");
    EXPECT_EQ(Text("Label1"), "１．わり算：ドリル");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox1")->text(), "　メニュー");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox7")->text(), "  時間");
    for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"})
        EXPECT_FALSE(Find<QWidget>(&screen, list)->isVisible()) << list;
    const char* buttons[][2] = {{"CuteButton3", "スタート"}, {"CuteButton4", "次へ"},
                                {"CuteButton5", "ストップ"}, {"CuteButton6", "成績表"},
                                {"CuteButton2", "目次"},     {"CuteButton1", "終る"}};
    for (auto& b : buttons) EXPECT_EQ(Utf8(Find<QAbstractButton>(&screen, b[0])->text()), b[1]);
}

TEST_F(DivisionDrillTest, AWorkedQuestionIsLoggedWithBothQuotientsAndRemaindersWithoutAMark) {
    StartOn(745, 6);
    EXPECT_EQ(Text("Label5"), "745");
    EXPECT_EQ(Text("Label6"), "6");
    EXPECT_EQ(Text("Label2"), "");
    Work745();
    fx.cues.clear();
    Finish();
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (DrillRow{1, " 745 ÷ 6", "124", "124", "○", 1, 1}));
    EXPECT_EQ(fx.ctx.state.correct_count, 1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{12});
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンで 進めてね！");
    for (QLabel* label : screen.findChildren<QLabel*>())
        EXPECT_NE(label->text(), "○") << "no mark on the drill screen: " << Utf8(label->objectName());
    EXPECT_EQ(Text("Label7"), "124") << "the worksheet stays";
}

TEST_F(DivisionDrillTest, RightQuotientWithAWrongLastDifferenceIsWrong) {
    StartOn(745, 6);
    Work745(/*last_difference=*/3);
    Finish();
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].hnt, "×");
    EXPECT_EQ(rows[0].kot, "124");
    EXPECT_EQ(rows[0].ams, 1);
    EXPECT_EQ(rows[0].ami, 3);
    EXPECT_EQ(fx.ctx.state.correct_count, 0);
}

TEST_F(DivisionDrillTest, FinishingWithAnEmptyQuotientOnlyAsksForIt) {
    StartOn(745, 6);
    fx.cues.clear();
    Finish();
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"商を選んでね！"});
    EXPECT_TRUE(log.Rows().empty());
    EXPECT_EQ(Text("Label2"), "") << "the prompt line is not changed";
    EXPECT_TRUE(fx.cues.cues().empty());
    Work745();
    Finish();
    EXPECT_EQ(log.Rows().size(), 1u) << "the question can still be finished";
}

TEST_F(DivisionDrillTest, ASecondFinishOfTheSameQuestionLogsNothing) {
    StartOn(745, 6);
    Work745();
    Finish();
    Finish();
    EXPECT_EQ(log.Rows().size(), 1u);
    Click(&screen, "CuteButton5");
    EXPECT_EQ(Text("Label15"), "100 点");
}

TEST_F(DivisionDrillTest, NextEmptiesTheScoreLineAndSetsTheNextQuestion) {
    StartOn(745, 6);
    Click(&screen, "CuteButton5");
    EXPECT_EQ(Text("Label14"), "1 問");
    EXPECT_EQ(Text("Label5"), "") << "the worksheet numbers vanish at the end";
    EXPECT_TRUE(Find<QWidget>(&screen, "ComboBox2")->isVisible()) << "the lists stay";
    Script(612, 6);
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label14"), "");
    EXPECT_EQ(Text("Label15"), "");
    EXPECT_EQ(Text("Label16"), "");
    EXPECT_EQ(Text("Label5"), "612");
    EXPECT_EQ(fx.ctx.state.question_count, 2);
}

TEST_F(DivisionDrillTest, TheScoreSheetHasSevenColumnsAndShowsOtherDrillsRowsToo) {
    log.ClearDrillLog();
    log.AppendDrillRow({1, " 0.3 ＋ 0.7", " 1", " 1", " ○"});  // left by a decimal drill
    Click(&screen, "CuteButton6");
    auto* grid = Find<ScoreSheet>(&screen, "DBGrid1");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->Titles(), (QStringList{"Ｎｏ", "問題", "答え（正）", "あまり（正）", "答え",
                                           "あまり", "○×"}));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->RowTexts(0),
              (QStringList{"1", " 0.3 ＋ 0.7", " 1", "", " 1", "", " ○"}));
    EXPECT_FALSE(grid->font().bold()) << "plain navy cells";
    EXPECT_TRUE(grid->horizontalHeader()->font().bold()) << "bold titles";
    EXPECT_EQ(grid->columnWidth(kFieldMnd), 160);
    EXPECT_EQ(grid->columnWidth(kFieldAms), 90);
}

TEST_F(DivisionDrillTest, StartingClearsRowsLeftByEarlierDrills) {
    log.AppendDrillRow({1, " 12 ÷ 3", "4", "4", "○", 0, 0});
    StartOn(745, 6);
    EXPECT_TRUE(log.Rows().empty());
}

}  // namespace
}  // namespace sorelka::division
