#include "division/division_practice_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <map>

#include "division/division_layout.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/status_clock.h"

namespace sorelka::division {
namespace {

using sorelka::testing::Click;
using sorelka::testing::ClickItem;
using sorelka::testing::FakeServices;
using sorelka::testing::Find;
using sorelka::testing::LabelText;
using sorelka::testing::Utf8;

const QString kStepHint0 = QStringLiteral("商を「高い位」から１けたずつ「位」を合わせて選んでね！");
const QString kStepHintRow = QStringLiteral("計算値を選んでね！");
const QString kStepHintDifference =
    QStringLiteral("計算の途中なら次の商を、計算が終われば\n「終わり」を選んでね！");
const QString kDigitHintRow = QStringLiteral("ＯＫなら「確定」を選んでね！");
const QString kDigitHintDifference =
    QStringLiteral("計算の途中なら「確定」を、計算が終われば\n「終わり」を選んでね！");

class PracticeScreenTest : public ::testing::Test {
protected:
    PracticeScreenTest() { screen.ShowModeless(); }

    // Chooses a menu item with the problem's draws scripted (menu 1, kind 2).
    void ChooseProblem(int dividend, int divisor) {
        fx.random.Feed({5, dividend - 100, divisor - 2});
        ClickItem(&screen, "ComboBox1", 0);
    }
    void Digit(int column, int digit) {
        ClickItem(&screen, QString::fromStdString(DivisionObjectName(kDigitListRoles[column - 1])), digit);
    }
    void Action(int index) { ClickItem(&screen, "ComboBox6", index); }
    QString Text(const char* name) { return LabelText(&screen, name); }
    QWidget* Widget(const char* name) { return Find<QWidget>(&screen, name); }
    ChoiceList* ListWidget(const char* name) { return Find<ChoiceList>(&screen, name); }

    FakeServices fx;
    DivisionPracticeScreen screen{fx.ctx, nullptr};
};

TEST_F(PracticeScreenTest, ShownItWaitsForAMenuChoice) {
    EXPECT_EQ(screen.objectName(), "TForm2");
    EXPECT_EQ(screen.windowTitle(), "Sorelka");
    EXPECT_EQ(Text("Label1"), "１．わり算：練習問題");
    EXPECT_EQ(Text("Label2"), "メニューを 選んでね！");
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label4"), "");
    EXPECT_FALSE(Widget("CuteButton3")->isVisible());
    for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"})
        EXPECT_FALSE(Widget(list)->isVisible()) << list;
    for (const char* hidden : {"Shape1", "Image2", "Image3"})
        EXPECT_FALSE(Widget(hidden)->isVisible()) << hidden;
    ChoiceList* menu = ListWidget("ComboBox1");
    EXPECT_EQ(menu->current(), -1);
    EXPECT_EQ(menu->text(), "    メニュー");
    EXPECT_EQ(menu->count(), 3);
    // Once as the form is created, once as it is shown.
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 11}));
}

TEST_F(PracticeScreenTest, APupilWorksSevenHundredFortyFiveByGuidedHints) {
    fx.cues.clear();
    ChooseProblem(745, 6);
    EXPECT_EQ(fx.ctx.state.menu_choice, 1);
    EXPECT_EQ(Text("Label4"), "745 ÷ 6 = ?");
    EXPECT_EQ(Text("Label5"), "745");
    EXPECT_EQ(Text("Label6"), "6");
    EXPECT_EQ(Text("Label2"), kStepHint0);
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_TRUE(Widget("CuteButton3")->isVisible());
    for (const char* shown : {"ComboBox2", "ComboBox5", "ComboBox6", "Shape1", "Image2", "Image3"})
        EXPECT_TRUE(Widget(shown)->isVisible()) << shown;
    EXPECT_EQ(ListWidget("ComboBox5")->text(), "千");
    EXPECT_EQ(ListWidget("ComboBox2")->text(), "一");
    EXPECT_EQ(ListWidget("ComboBox6")->text(), " 処理");

    struct Row {
        std::vector<std::pair<int, int>> digits;  // place, digit
        const char* label;
        const char* text;
        QString digit_hint;
        QString confirm_hint;
        int marker_top;  // after confirming
    };
    const Row rows[] = {
        {{{kHundreds, 1}}, "Label7", "1", kDigitHintRow, kStepHintRow, 280},
        {{{kOnes, 6}}, "Label8", "6", kDigitHintRow, kStepHintRow, 328},
        {{{kTens, 1}, {kOnes, 4}}, "Label9", "14", kDigitHintDifference, kStepHintDifference, 192},
        {{{kTens, 2}}, "Label7", "12", kDigitHintRow, kStepHintRow, 376},
        {{{kTens, 1}, {kOnes, 2}}, "Label10", "12", kDigitHintRow, kStepHintRow, 416},
        {{{kTens, 2}, {kOnes, 5}}, "Label11", "25", kDigitHintDifference, kStepHintDifference, 192},
        {{{kOnes, 4}}, "Label7", "124", kDigitHintRow, kStepHintRow, 464},
        {{{kTens, 2}, {kOnes, 4}}, "Label12", "24", kDigitHintRow, kStepHintRow, 512},
        {{{kOnes, 1}}, "Label13", "1", kDigitHintDifference, kDigitHintDifference, 512},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label + std::string(" ") + row.text);
        for (auto [place, digit] : row.digits) Digit(place, digit);
        auto* label = Find<QLabel>(&screen, row.label);
        EXPECT_EQ(label->text(), row.text);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
        EXPECT_EQ(Text("Label2"), row.digit_hint);
        Action(kConfirm);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
        // After the ninth row the hint line keeps the last digit hint.
        EXPECT_EQ(Text("Label2"), row.confirm_hint);
        EXPECT_EQ(Widget("Image3")->y(), row.marker_top);
        EXPECT_EQ(ListWidget("ComboBox2")->current(), -1) << "lists reset after confirming";
        EXPECT_EQ(ListWidget("ComboBox2")->text(), "一");
    }
    // Each role on its widget, in its place: the quotient over the hundreds, each product under its
    // quotient digit, a line under each product's digits, the marker at the last row (lists: their corner).
    const std::map<std::string, std::pair<const char*, QRect>> shown{
        {kDividendRole, {"Label5", {404, 232, 180, 44}}}, {kDivisorRole, {"Label6", {350, 232, 120, 44}}},
        {kQuotientRole, {"Label7", {494, 184, 150, 44}}}, {kRowRoles[0], {"Label8", {404, 272, 120, 44}}},
        {kRowRoles[1], {"Label9", {434, 320, 120, 44}}}, {kRowRoles[2], {"Label10", {434, 368, 120, 44}}},
        {kRowRoles[3], {"Label11", {464, 408, 120, 44}}}, {kRowRoles[4], {"Label12", {464, 456, 120, 44}}},
        {kRowRoles[5], {"Label13", {464, 504, 120, 44}}}, {kDividendLineRole, {"Shape1", {488, 228, 102, 3}}},
        {kUnderlineRoles[0], {"Shape2", {490, 311, 38, 3}}}, {kUnderlineRoles[1], {"Shape3", {490, 407, 68, 3}}},
        {kUnderlineRoles[2], {"Shape4", {520, 495, 68, 3}}}, {kBracketRole, {"Image2", {472, 228, 24, 50}}},
        {kMarkerRole, {"Image3", {384, 512, 36, 28}}},    {kDigitListRoles[3], {"ComboBox5", {626, 160, 0, 0}}},
        {kDigitListRoles[2], {"ComboBox4", {682, 160, 0, 0}}}, {kDigitListRoles[1], {"ComboBox3", {738, 160, 0, 0}}},
        {kDigitListRoles[0], {"ComboBox2", {794, 160, 0, 0}}}, {kActionListRole, {"ComboBox6", {854, 160, 0, 0}}}};
    ASSERT_EQ(screen.model().worksheet().size(), shown.size());
    for (const auto& [role, cell] : screen.model().worksheet()) {
        const auto& [name, place] = shown.at(role);
        const QWidget* widget = Widget(name);
        EXPECT_EQ(place.isEmpty() ? QRect(widget->pos(), QSize(0, 0)) : widget->geometry(), place) << role;
        EXPECT_EQ(widget->isVisible(), cell.visible) << role;
        const auto* label = qobject_cast<const QLabel*>(widget);
        EXPECT_EQ(label ? Utf8(label->text()) : cell.text, cell.text) << role;
    }

    Action(kFinish);
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(Text("Label4"), "745 ÷ 6 = 124 あまり 1");
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンで進めてね！");

    std::vector<unsigned> expected{11};                // the menu choice
    for (const Row& row : rows) {
        expected.insert(expected.end(), row.digits.size(), 11u);
        expected.push_back(17);
    }
    expected.push_back(14);
    EXPECT_EQ(fx.cues.cues(), expected);
    EXPECT_TRUE(fx.dialogs.shown.empty());
}

TEST_F(PracticeScreenTest, AWrongAnswerIsMarkedAndTheRightOneShown) {
    ChooseProblem(612, 6);
    Digit(kHundreds, 1);
    Action(kConfirm);
    Digit(kOnes, 6);
    Action(kConfirm);
    Digit(kOnes, 1);
    Action(kSkip);
    EXPECT_EQ(Text("Label7"), "10");
    EXPECT_EQ(Text("Label9"), "");
    EXPECT_EQ(Widget("Label10")->x(), 465) << "the next product a hair right of the ones column";
    Digit(kTens, 1);
    Digit(kOnes, 2);
    Action(kConfirm);
    Digit(kOnes, 3);  // 103 instead of 102
    fx.cues.clear();
    Action(kFinish);
    EXPECT_EQ(Text("Label3"), "×");
    EXPECT_EQ(Text("Label4"), "612 ÷ 6 = 102 あまり 0");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{13});

    // The lists stay usable and "終わり" judges the quotient label again.
    Action(kClear);
    EXPECT_EQ(Text("Label2"), kStepHint0);
    EXPECT_EQ(Text("Label7"), "");
    EXPECT_EQ(Text("Label5"), "612") << "the problem stays";
    Digit(kHundreds, 1);
    EXPECT_EQ(Text("Label7"), "1");
}

TEST_F(PracticeScreenTest, RefusalsChangeNothingButTheLists) {
    ChooseProblem(745, 6);
    Digit(kHundreds, 1);
    Action(kConfirm);
    Digit(kOnes, 6);
    Action(kConfirm);
    Digit(kOnes, 1);
    Action(kConfirm);
    const QString hint = Text("Label2");
    fx.cues.clear();

    Digit(kOnes, 4);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"十の位を選んでね！"});
    EXPECT_EQ(Text("Label7"), "1");
    EXPECT_EQ(Text("Label2"), hint);
    EXPECT_EQ(ListWidget("ComboBox2")->current(), -1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});

    // "終わり" after "クリア" with no quotient written.
    Action(kClear);
    fx.dialogs.shown.clear();
    fx.cues.clear();
    const QString problem = Text("Label4");
    Action(kFinish);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"商を選んでね！"});
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label4"), problem);
    EXPECT_EQ(Text("Label2"), kStepHint0);
    EXPECT_TRUE(fx.cues.calls.empty());

    // Separators do nothing.
    Action(1);
    Action(5);
    EXPECT_TRUE(fx.cues.calls.empty());
}

TEST_F(PracticeScreenTest, NextGivesANewProblemAndShowingAgainStartsAfresh) {
    fx.random.Feed({3, 645, 4});  // menu 2, kind 2: 745 ÷ 14
    ClickItem(&screen, "ComboBox1", 1);
    EXPECT_EQ(Text("Label4"), "745 ÷ 14 = ?");
    Digit(kTens, 5);
    Action(kConfirm);
    Action(kFinish);
    EXPECT_EQ(Text("Label3"), "×");

    fx.cues.clear();
    fx.random.Feed({6, 0, 0});  // menu 2, kind 3: 1000 ÷ 10
    Click(&screen, "CuteButton3");
    EXPECT_EQ(Text("Label4"), "1000 ÷ 10 = ?");
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label7"), "");
    EXPECT_EQ(Text("Label2"), kStepHint0);
    EXPECT_FALSE(Widget("Shape2")->isVisible());
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
    EXPECT_EQ(fx.random.randomize_calls, 2);

    Click(&screen, "CuteButton2");
    EXPECT_FALSE(screen.isVisible());
    screen.ShowModeless();
    EXPECT_EQ(Text("Label4"), "");
    EXPECT_EQ(Text("Label5"), "");
    EXPECT_EQ(Text("Label2"), "メニューを 選んでね！");
    EXPECT_FALSE(Widget("CuteButton3")->isVisible());
    EXPECT_FALSE(Widget("ComboBox6")->isVisible());
    EXPECT_EQ(ListWidget("ComboBox1")->current(), -1);
    EXPECT_EQ(fx.ctx.state.menu_choice, 2) << "the program-wide choice survives";
}

TEST_F(PracticeScreenTest, QuitAsksAndTheClockTicks) {
    fx.dialogs.answers = {Answer::No, Answer::Yes};
    Click(&screen, "CuteButton1");
    EXPECT_EQ(fx.quit_requests, 0);
    Click(&screen, "CuteButton1");
    EXPECT_EQ(fx.quit_requests, 1);
    EXPECT_EQ(fx.dialogs.texts(), (std::vector<std::string>{"終っても いいの？", "終っても いいの？"}));

    screen.ShowClock();
    EXPECT_EQ(Find<StatusClockBar>(&screen, "StatusBar1")->panel_text(1), "12/08  01:23 PM");
}

}  // namespace
}  // namespace sorelka::division
