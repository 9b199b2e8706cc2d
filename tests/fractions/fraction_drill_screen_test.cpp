#include "fractions/fraction_drill_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>

#include "drill/drill_log.h"
#include "drill/score_sheet.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

// Scripted draws of the drill's problems (each after the re-seed).
const std::vector<int> kElevenQuarters = {2, 1, 2};      // family 1: d 4, k 2, r 3
const std::vector<int> kTwelveQuarters = {2, 1, 3};      // family 1: d 4, k 2, r 4
const std::vector<int> kTwoAndOneThird = {1, 1, 0};      // family 2: w 2, d 3, n 1
const std::vector<int> kThreeAndOneQuarter = {2, 3, 0, 0};  // family 3: 3・1/4 = 1・□/4

// A row as this drill logs it: texts only, no remainders.
DrillRow Logged(int no, std::string mnd, std::string kai, std::string kot, std::string hnt) {
    DrillRow row;
    row.no = no;
    row.mnd = std::move(mnd);
    row.kai = std::move(kai);
    row.kot = std::move(kot);
    row.hnt = std::move(hnt);
    return row;
}

constexpr const char* kSlotsPrompt =
    "数字と「処理」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！";

struct FractionDrillTest : ::testing::Test {
    FractionDrillTest() { screen.ShowModeless(); }
    ~FractionDrillTest() override { screen.hide(); }

    // Chooses a family and a time limit, then "スタート" on the scripted problem.
    void StartOn(int family, const std::vector<int>& draws, int time_item = 0) {
        ClickItem(&screen, "ComboBox1", family - 1);
        ClickItem(&screen, "ComboBox5", time_item);
        fx.random.Feed(draws);
        Click(&screen, "CuteButton3");
        ASSERT_TRUE(fx.random.script.empty());
    }
    void Next(const std::vector<int>& draws) {
        fx.random.Feed(draws);
        Click(&screen, "CuteButton4");
        ASSERT_TRUE(fx.random.script.empty());
    }
    // Chooses `value` with the tens and ones lists and drops it with `action`.
    void Enter(int value, int action) {
        ClickItem(&screen, "ComboBox3", value / 10);
        ClickItem(&screen, "ComboBox2", value % 10);
        ClickItem(&screen, "ComboBox4", action);
    }
    void Finish() { ClickItem(&screen, "ComboBox4", 4); }
    // 11/4 answered as the mixed number 2・3/4.
    void AnswerElevenQuarters(int numerator = 3) {
        Enter(2, 0);
        Enter(numerator, 2);
        Enter(4, 1);
        Finish();
    }
    std::string Text(const char* name) { return Utf8(LabelText(&screen, name)); }
    QWidget* Widget(const char* name) { return Find<QWidget>(&screen, name); }
    bool Enabled(const char* button) { return Find<QAbstractButton>(&screen, button)->isEnabled(); }

    QTemporaryDir folder;
    FakeServices fx;
    DrillLog log{folder.path() + "/kyozai.db", fx.dialogs};
    FractionDrillScreen screen{fx.ctx, log, nullptr};
};

TEST_F(FractionDrillTest, ShownItAsksForTheMenuWithEveryButtonOnAndTheListsHidden) {
    EXPECT_EQ(Utf8(screen.objectName()), "TForm11");
    EXPECT_EQ(Utf8(screen.windowTitle()), "Form11");
    EXPECT_EQ(screen.size(), QSize(955, 716));
    EXPECT_EQ(Text("Label1"), "５．分数の表し方：ドリル");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(Utf8(Find<ChoiceList>(&screen, "ComboBox1")->text()), "     メニュー");
    EXPECT_EQ(Utf8(Find<ChoiceList>(&screen, "ComboBox5")->text()), "  時間");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox1")->count(), 3);
    EXPECT_TRUE(Widget("Image1")->isVisible());
    EXPECT_EQ(Widget("Image1")->size(), QSize(64, 64));
    for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4", "Shape1", "Shape2", "DBGrid1"})
        EXPECT_FALSE(Widget(name)->isVisible()) << name;
    for (const char* name : {"Label3", "Label11", "Label12", "Label13"})
        EXPECT_EQ(Text(name), "") << name;
    for (const char* b : {"CuteButton1", "CuteButton2", "CuteButton3", "CuteButton4",
                          "CuteButton5", "CuteButton6"}) {
        EXPECT_TRUE(Enabled(b)) << b;
        for (const char* list : {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"})
            EXPECT_FALSE(Widget(b)->geometry().intersects(Widget(list)->geometry())) << b << " " << list;
    }

    // The menu list keeps its choice when the screen is shown again.
    ClickItem(&screen, "ComboBox1", 1);
    screen.hide();
    fx.cues.clear();
    screen.ShowModeless();
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox1")->current(), 1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
}

TEST_F(FractionDrillTest, ChoosingATimePlaysItsOwnCueAndAsksForStart) {
    ClickItem(&screen, "ComboBox1", 0);
    EXPECT_EQ(Text("Label2"), "時間を選んでね！");
    fx.cues.clear();
    ClickItem(&screen, "ComboBox5", 2);
    EXPECT_EQ(Text("Label2"), "「スタート」ボタンをおしてね！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{17});
    EXPECT_EQ(screen.session().time_limit_seconds(), 600);
}

TEST_F(FractionDrillTest, StartShowsQuestionOneTheTaskLineAndTheWorksheetFurtherRight) {
    fx.cues.clear();
    StartOn(1, kElevenQuarters);
    EXPECT_EQ(Text("Label3"), "第 1 問");
    EXPECT_EQ(Widget("Label3")->pos(), QPoint(88, 238));
    EXPECT_EQ(Text("Label11"), "帯分数か整数に直しなさい。");
    EXPECT_EQ(Widget("Label11")->pos(), QPoint(96, 138));
    EXPECT_EQ(Text("Label6"), "11");
    EXPECT_EQ(Text("Label5"), "4");
    EXPECT_EQ(Text("Label7"), "？");
    EXPECT_TRUE(Widget("Shape1")->isVisible());
    EXPECT_EQ(Text("Label2"), kSlotsPrompt);
    EXPECT_EQ(Utf8(Find<ChoiceList>(&screen, "ComboBox4")->text()), "処理");
    // cue 17 for the time, then 12 as the log is cleared and 11 for the problem
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 17, 12, 11}));

    Next(kElevenQuarters);  // family 1 stays chosen
    EXPECT_EQ(Text("Label3"), "第 2 問");
    ClickItem(&screen, "ComboBox1", 2);
    Next(kThreeAndOneQuarter);
    EXPECT_EQ(Text("Label3"), "第 3 問") << "the question number counts every question set";
    EXPECT_EQ(Text("Label9"), "□");
    EXPECT_EQ(Text("Label2"),
              "数字と「分子」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！");
}

TEST_F(FractionDrillTest, EachAnswerIsLoggedWithItsTextsAndMarkButNoMarkIsShown) {
    struct Case {
        int family;
        std::vector<int> draws;
        std::vector<std::pair<int, int>> entries;  // value, action
        DrillRow row;
    } cases[] = {
        {1, kElevenQuarters, {{2, 0}, {3, 2}, {4, 1}},
         Logged(1, " 11 / 4 =", " 2・3 / 4", " 2・3 / 4", " ○")},
        {2, kTwoAndOneThird, {{7, 2}, {3, 1}}, Logged(1, " 2・1 / 3 =", " 7 / 3", " 7 / 3", " ○")},
        {1, kTwelveQuarters, {{3, 0}}, Logged(1, " 12 / 4 =", " 3", " 3", " ○")},
        {3, kThreeAndOneQuarter, {{9, 2}}, Logged(1, " 3・1 / 4 =", " 1・9 / 4", " 9 / 0", " ○")},
        // no denominator, and nothing entered at all
        {1, kElevenQuarters, {{2, 0}, {3, 2}}, Logged(1, " 11 / 4 =", " 2・3 / 4", " 2・3 / 0", " ×")},
        {1, kElevenQuarters, {}, Logged(1, " 11 / 4 =", " 2・3 / 4", " 0 / 0", " ×")},
    };
    for (const Case& c : cases) {
        StartOn(c.family, c.draws);
        fx.cues.clear();
        for (const auto& [value, action] : c.entries) Enter(value, action);
        Finish();
        const auto rows = log.Rows();
        ASSERT_EQ(rows.size(), 1u) << c.row.mnd;
        EXPECT_EQ(rows[0], c.row);
        EXPECT_EQ(fx.ctx.state.correct_count, c.row.hnt == " ○" ? 1 : 0) << c.row.mnd;
        EXPECT_EQ(fx.cues.cues().back(), 12u);
        EXPECT_EQ(Text("Label2"), "「次へ」ボタンですすめてね！");
        for (QLabel* label : screen.findChildren<QLabel*>()) {
            EXPECT_EQ(label->text().indexOf("○"), -1) << Utf8(label->objectName());
            EXPECT_EQ(label->text().indexOf("×"), -1) << Utf8(label->objectName());
        }
    }
}

TEST_F(FractionDrillTest, ThreeRightOfFourGive75PointsAndStopPutsTheScoreLineInOneRow) {
    fx.clock.Set(10, 0, 0);
    StartOn(1, kElevenQuarters);
    AnswerElevenQuarters();
    Next(kElevenQuarters);
    AnswerElevenQuarters(/*numerator=*/1);
    Next(kElevenQuarters);
    AnswerElevenQuarters();
    Next(kElevenQuarters);
    AnswerElevenQuarters();
    fx.clock.Set(10, 1, 5);
    fx.cues.clear();
    Click(&screen, "CuteButton5");
    EXPECT_EQ(Text("Label11"), "4 問");
    EXPECT_EQ(Text("Label12"), "75 点");
    EXPECT_EQ(Text("Label13"), "1 分 5 秒");
    EXPECT_EQ(Widget("Label11")->y(), 112);
    EXPECT_EQ(Widget("Label11")->y(), Widget("Label12")->y());
    EXPECT_EQ(Text("Label2"), "おつかれさま！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{19});
    for (const char* name : {"Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9",
                             "Label10"})
        EXPECT_EQ(Text(name), "") << name;
    EXPECT_FALSE(Widget("Shape1")->isVisible());
    EXPECT_TRUE(Widget("ComboBox4")->isVisible()) << "the entry lists stay";
    EXPECT_TRUE(Enabled("CuteButton3"));
    EXPECT_TRUE(Enabled("CuteButton6"));
    EXPECT_FALSE(Enabled("CuteButton4"));
    EXPECT_FALSE(Enabled("CuteButton5"));
    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].no, 2);
    EXPECT_EQ(rows[1].hnt, " ×");

    // A new drill takes the task line back down to its row.
    StartOn(1, kElevenQuarters);
    EXPECT_EQ(Widget("Label11")->y(), 138);
    EXPECT_EQ(Text("Label12"), "");
}

TEST_F(FractionDrillTest, AfterTheTimeOutTheListsStayButTakeNoMoreAnswers) {
    StartOn(1, kElevenQuarters, /*time_item=*/1);
    for (int i = 0; i < 300; ++i) screen.CountdownTick();
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"時間だから、ドリルを終わるよ！"});
    EXPECT_EQ(Text("Label11"), "1 問");
    EXPECT_EQ(Widget("Label11")->y(), 112);
    EXPECT_TRUE(Widget("ComboBox3")->isVisible());
    fx.cues.clear();
    Enter(2, 0);
    Finish();
    EXPECT_EQ(Text("Label7"), "") << "nothing is written on the emptied worksheet";
    EXPECT_TRUE(fx.cues.cues().empty());
    EXPECT_TRUE(log.Rows().empty());
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox3")->current(), -1);
}

TEST_F(FractionDrillTest, AJudgedQuestionTakesNoSecondAnswer) {
    StartOn(1, kTwelveQuarters);
    Enter(3, 0);
    Finish();
    Enter(4, 0);
    Finish();
    EXPECT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(fx.ctx.state.correct_count, 1);
    EXPECT_EQ(Text("Label7"), "3");
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンですすめてね！") << "the prompt still says how to go on";
    Next(kTwelveQuarters);
    Enter(3, 0);
    Finish();
    EXPECT_EQ(log.Rows().size(), 2u) << "the next question is judged again";
}

TEST_F(FractionDrillTest, TheScoreSheetHasFiveColumnsOverTheLoggedRows) {
    StartOn(2, kTwoAndOneThird);
    Enter(7, 2);
    Enter(3, 1);
    Finish();
    Click(&screen, "CuteButton6");
    auto* grid = Find<ScoreSheet>(&screen, "DBGrid1");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->geometry().size(), QSize(489, 473));
    EXPECT_EQ(grid->y(), 130);
    EXPECT_EQ(grid->Titles(), (QStringList{"番号", "問題", "正解", "答え", "判定"}));
    EXPECT_EQ(grid->columnWidth(0), 40);
    EXPECT_EQ(grid->columnWidth(1), 150);
    EXPECT_EQ(grid->columnWidth(2), 90);
    EXPECT_EQ(grid->columnWidth(3), 90);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->RowTexts(0), (QStringList{"1", " 2・1 / 3 =", " 7 / 3", " 7 / 3", " ○"}));
}

}  // namespace
}  // namespace sorelka
