#include "fractions/fraction_practice_screen.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <map>

#include "app/program.h"
#include "drill/drill_log.h"
#include "fractions/fraction_drill_screen.h"
#include "fractions/fraction_layout.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/status_clock.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct FractionPracticeScreenTest : ::testing::Test {
    FakeServices services;
    FractionPracticeScreen screen{services.ctx, nullptr};

    void SetUp() override { screen.ShowModeless(); }
    void TearDown() override { screen.hide(); }

    std::string Text(const char* name) { return Utf8(LabelText(&screen, name)); }
    QWidget* Widget(const char* name) { return Find<QWidget>(&screen, name); }
    ChoiceList* List(const char* name) { return Find<ChoiceList>(&screen, name); }
    // Chooses `value` with the tens and ones lists and drops it with `action`.
    void Enter(int value, int action) {
        ClickItem(&screen, "ComboBox3", value / 10);
        ClickItem(&screen, "ComboBox2", value % 10);
        ClickItem(&screen, "ComboBox4", action);
    }
    void Finish() { ClickItem(&screen, "ComboBox4", 4); }
    void ChooseFamily(int position, std::vector<int> draws) {
        services.random.Feed(draws);
        ClickItem(&screen, "ComboBox1", position);
        ASSERT_TRUE(services.random.script.empty());
    }
    void ExpectListsReset() {
        for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4"}) {
            EXPECT_TRUE(List(name)->isVisible()) << name;
            EXPECT_EQ(List(name)->current(), -1) << name;
            EXPECT_EQ(List(name)->text(), List(name)->heading()) << name;
        }
    }
};

TEST_F(FractionPracticeScreenTest, ShowsAnEmptyWorksheetAndAsksForTheMenu) {
    EXPECT_EQ(Utf8(screen.objectName()), "TForm10");
    EXPECT_EQ(Utf8(screen.windowTitle()), "Form10");
    EXPECT_EQ(screen.size(), QSize(955, 714));
    EXPECT_EQ(Text("Label1"), "５．分数の表し方：練習問題");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(services.cues.cues(), std::vector<unsigned>{11});
    for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4", "Shape1", "Shape2"})
        EXPECT_FALSE(Widget(name)->isVisible()) << name;
    EXPECT_TRUE(Widget("Image3")->isVisible());
    EXPECT_EQ(Utf8(List("ComboBox1")->text()), "     メニュー");
    EXPECT_EQ(Utf8(List("ComboBox4")->text()), " 処理");
    EXPECT_EQ(List("ComboBox1")->count(), 3);
    EXPECT_EQ(Utf8(List("ComboBox4")->view()->item(3)->text()), "   ・");
    EXPECT_TRUE(Find<QAbstractButton>(&screen, "CuteButton4")->isEnabled());
}

TEST_F(FractionPracticeScreenTest, APupilWorksSevenThirdsToARightMark) {
    ChooseFamily(0, {1, 2});
    EXPECT_EQ(services.ctx.state.menu_choice, 1);
    EXPECT_EQ(Text("Label6"), "7");
    EXPECT_EQ(Text("Label5"), "3");
    EXPECT_EQ(Text("Label7"), "？");
    EXPECT_EQ(Text("Label11"), "帯分数か整数に直しなさい。");
    EXPECT_EQ(Text("Label2"), "数字と「処理」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！");
    EXPECT_TRUE(Widget("Shape1")->isVisible());
    EXPECT_FALSE(Widget("Shape2")->isVisible());
    ExpectListsReset();

    ClickItem(&screen, "ComboBox3", 0);
    EXPECT_EQ(Text("Label2"), "入力が終われば「終わり」を選んでね！");
    EXPECT_EQ(List("ComboBox3")->current(), 0) << "a digit choice stays until an action";
    ClickItem(&screen, "ComboBox2", 2);
    ClickItem(&screen, "ComboBox4", 0);
    EXPECT_EQ(Text("Label7"), "2");
    EXPECT_EQ(Find<QLabel>(&screen, "Label7")->palette().color(QPalette::WindowText),
              QColor(0, 0, 0xFF));
    ExpectListsReset();
    Enter(1, 2);
    Finish();
    EXPECT_EQ(Text("Label3"), "×") << "no denominator yet";
    EXPECT_EQ(services.cues.cues().back(), 13u);
    ExpectListsReset();

    Enter(3, 1);
    EXPECT_TRUE(Widget("Shape2")->isVisible());
    EXPECT_EQ(Text("Label8"), "3");
    Finish();
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(services.cues.cues().back(), 14u);
    Finish();  // judged again: same mark, same cue
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(services.cues.cues().back(), 14u);

    services.random.Feed({2, 2});  // 9/4
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label6"), "9");
    EXPECT_EQ(Text("Label7"), "？");
    EXPECT_EQ(Text("Label8"), "");
    EXPECT_FALSE(Widget("Shape2")->isVisible());
}

TEST_F(FractionPracticeScreenTest, MixedToImproperAndFindTheBox) {
    ChooseFamily(1, {1, 3, 2});  // 2 and 3/5
    EXPECT_EQ(Text("Label4"), "2");
    Enter(4, 0);
    EXPECT_EQ(Text("Label7"), "") << "no whole part in an improper fraction";
    Enter(5, 1);
    Enter(13, 2);
    EXPECT_EQ(Text("Label9"), "13");
    Finish();
    EXPECT_EQ(Text("Label3"), "○");

    ChooseFamily(2, {2, 3, 0, 0});  // 3 and 1/4 = 1 and □/4
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label7"), "1");
    EXPECT_EQ(Text("Label9"), "□");
    EXPECT_EQ(Text("Label8"), "4");
    EXPECT_TRUE(Widget("Shape2")->isVisible());
    EXPECT_EQ(Text("Label2"), "数字と「分子」の組み合わせで答えを選び、\n終われば「終わり」を選んでね！");
    Enter(9, 2);
    Enter(7, 0);  // overwriting the whole part changes nothing in the judgement
    Finish();
    EXPECT_EQ(Text("Label3"), "○");
    Enter(8, 2);
    Finish();
    EXPECT_EQ(Text("Label3"), "×");
}

TEST_F(FractionPracticeScreenTest, NextFollowsMenuChoiceAndDrawsNothingForOtherMenus) {
    services.ctx.state.menu_choice = 4;  // left by the calculation-rules screen
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label6"), "");
    EXPECT_FALSE(Widget("ComboBox4")->isVisible());
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_TRUE(services.random.asked.empty());

    services.ctx.state.menu_choice = 2;
    services.random.Feed({0, 0, 0});
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label11"), "仮分数に直しなさい。");
    EXPECT_EQ(Text("Label6"), "1");
}

TEST_F(FractionPracticeScreenTest, ShowingAgainStartsAfreshButKeepsTheMenuChoice) {
    ChooseFamily(0, {1, 2});
    Enter(2, 0);
    Finish();
    Click(&screen, "CuteButton2");
    EXPECT_FALSE(screen.isVisible());
    services.cues.clear();
    screen.ShowModeless();
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label6"), "");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_FALSE(Widget("ComboBox4")->isVisible());
    EXPECT_EQ(List("ComboBox1")->current(), 0);
    EXPECT_EQ(services.ctx.state.menu_choice, 1);
    EXPECT_EQ(services.cues.cues(), std::vector<unsigned>{11});
}

TEST_F(FractionPracticeScreenTest, QuitAsksFirstAndTheClockTicks) {
    services.dialogs.answers = {Answer::No, Answer::Yes};
    Click(&screen, "CuteButton1");
    EXPECT_EQ(services.quit_requests, 0);
    Click(&screen, "CuteButton1");
    EXPECT_EQ(services.quit_requests, 1);
    EXPECT_EQ(services.dialogs.texts(),
              (std::vector<std::string>{"終わってもいいの？", "終わってもいいの？"}));

    services.clock.Set(9, 5, 0);
    screen.ShowClock();
    EXPECT_EQ(Utf8(Find<StatusClockBar>(&screen, "StatusBar1")->panel_text(1)), "12/08  09:05 AM");
}

TEST_F(FractionPracticeScreenTest, BarsAreRedWithANavyOutline) {
    ChooseFamily(0, {1, 2});
    const QImage bar = Widget("Shape1")->grab().toImage();
    const QColor middle = bar.pixelColor(bar.width() / 2, bar.height() / 2);
    const QColor edge = bar.pixelColor(0, bar.height() / 2);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);
    EXPECT_GT(edge.blue(), edge.red()) << "outline navy";
}

// お手本 after 9/4 answered 1 5/4: the "×" leaves the right work, the lists
// show no choice, the bar stands under every fraction shown, and the frame on
// the numerator leaves it in sight; the pupil's sheet and mark come back.
TEST_F(FractionPracticeScreenTest, TheReplayShowsTheRightWorkWithItsBarAndWithoutTheMark) {
    ChooseFamily(0, {2, 2});  // 9/4
    Enter(1, 0);
    Enter(4, 1);
    Enter(5, 2);
    Finish();
    ASSERT_EQ(Text("Label3"), "×");
    Click(&screen, "WorkedExample");
    auto* marker = Find<QWidget>(&screen, "DiagnosisMarker");
    bool framed = false;
    auto look = [&] {
        EXPECT_EQ(Text("Label3"), "");
        ExpectListsReset();
        EXPECT_TRUE((Text("Label9").empty() && Text("Label8").empty()) || Widget("Shape2")->isVisible());
        if (marker && marker->isVisible()) {
            framed = true;
            EXPECT_FALSE(marker->geometry().intersects(Widget("Shape2")->geometry()));
        }
    };
    look();
    for (int step = 0; step < 5 && Widget("WorkedExampleNext")->isVisible(); ++step) {
        Click(&screen, "WorkedExampleNext");
        look();
    }
    EXPECT_TRUE(framed);
    EXPECT_EQ(Text("Label9"), "1");
    EXPECT_EQ(Text("Label7"), "2");
    services.random.Feed({2, 2});
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label7"), "？");
}

// Every role of both screens' sheets lands on its widget at its place; on the
// drill the figures stand 136 pixels further right, the lists 48 lower.
TEST_F(FractionPracticeScreenTest, EachRoleLandsOnItsWidgetAndPlace) {
    using namespace fractions;
    const std::map<std::string, std::pair<const char*, QRect>> places{
        {SlotRole(FractionNumber::Given, FractionSlot::Whole), {"Label4", {184, 234, 38, 42}}},
        {SlotRole(FractionNumber::Given, FractionSlot::Numerator), {"Label6", {224, 210, 54, 42}}},
        {SlotRole(FractionNumber::Given, FractionSlot::Denominator), {"Label5", {224, 256, 54, 42}}},
        {BarRole(FractionNumber::Given), {"Shape1", {224, 252, 58, 2}}}, {kEqualsRole, {"Label10", {304, 238, 40, 36}}},
        {AnswerRole(FractionSlot::Whole), {"Label7", {360, 234, 38, 42}}},
        {AnswerRole(FractionSlot::Numerator), {"Label9", {400, 210, 54, 42}}},
        {AnswerRole(FractionSlot::Denominator), {"Label8", {400, 256, 54, 42}}},
        {BarRole(FractionNumber::Answer), {"Shape2", {400, 252, 58, 2}}},
        {kTaskRole, {"Label11", {104, 130, 500, 36}}}, {kMarkRole, {"Label3", {752, 560, 84, 84}}},
        {kPromptRole, {"Label2", {96, 590, 620, 80}}},  // lists: left, top and width
        {kTensListRole, {"ComboBox3", {816, 224, 24, 0}}}, {kOnesListRole, {"ComboBox2", {840, 224, 24, 0}}},
        {kActionListRole, {"ComboBox4", {864, 223, 80, 0}}}};
    QTemporaryDir folder;
    DrillLog log{folder.path() + "/kyozai.db", services.dialogs};
    FractionDrillScreen drill{services.ctx, log, nullptr};
    ChooseFamily(2, {2, 3, 0, 0});  // 3 and 1/4 = 1 and □/4: every cell shows
    for (QWidget* shown : {static_cast<QWidget*>(&screen), static_cast<QWidget*>(&drill)}) {
        const bool on_drill = shown == &drill;
        for (const auto& [role, cell] : on_drill ? drill.sheet().worksheet() : screen.model().worksheet()) {
            SCOPED_TRACE(role + (on_drill ? " on the drill" : ""));
            const auto& [name, at] = places.at(role);
            const bool list = at.height() == 0;
            const QRect place = on_drill ? at.translated(list ? 0 : 136, list ? 48 : 0) : at;
            EXPECT_EQ(FractionObjectName(role), name);
            const QWidget* widget = Find<QWidget>(shown, name);
            EXPECT_EQ(widget->geometry(), QRect(place.topLeft(), QSize(place.width(), list ? widget->height()
                                                                                        : place.height())));
        }
    }
}

TEST(FractionPracticeInProgram, TheMenuOpensTheFractionPractice) {
    FakeServices services;
    QTemporaryDir data;
    Program program(services.ctx, data.path() + "/kyozai.db");
    EXPECT_NE(qobject_cast<FractionPracticeScreen*>(program.forms()[9]), nullptr);
}

}  // namespace
}  // namespace sorelka
