#include "rules/rules_practice_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>

#include "rules/rules_worksheet_view.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"

namespace sorelka::rules {
namespace {

using sorelka::testing::Click;
using sorelka::testing::ClickItem;
using sorelka::testing::FakeServices;
using sorelka::testing::Find;
using sorelka::testing::LabelText;

const char* const kDigitLists[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
const char* const kEntryLists[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5",
                                   "ComboBox6"};

class RulesScreenTest : public ::testing::Test {
protected:
    RulesScreenTest() { screen.ShowModeless(); }

    // Chooses the digits of `value` from its highest place down.
    void Enter(int value) {
        const std::string digits = std::to_string(value);
        for (std::size_t i = 0; i < digits.size(); ++i)
            ClickItem(&screen, kDigitLists[digits.size() - 1 - i], digits[i] - '0');
    }
    void Digit(int place, int digit) { ClickItem(&screen, kDigitLists[place], digit); }
    void Confirm() { ClickItem(&screen, "ComboBox6", 0); }
    void Undo() { ClickItem(&screen, "ComboBox6", 2); }
    void Finish() { ClickItem(&screen, "ComboBox6", 4); }
    QString Text(const char* name) { return LabelText(&screen, name); }
    QString Prompt() { return Text("Label2"); }
    QWidget* Widget(const char* name) { return Find<QWidget>(&screen, name); }
    QColor Colour(const char* name) {
        return Widget(name)->palette().color(QPalette::WindowText);
    }

    FakeServices fx;
    RulesPracticeScreen screen{fx.ctx, nullptr};
};

TEST_F(RulesScreenTest, ShownItAsksForAKindOfProblem) {
    EXPECT_EQ(screen.objectName(), "TForm8");
    EXPECT_EQ(screen.windowTitle(), "Sorelka");
    EXPECT_EQ(screen.size(), QSize(955, 716));
    EXPECT_EQ(Text("Label1"), "４．計算のきまり：練習問題");
    EXPECT_EQ(Prompt(), "メニューを選んでね！");
    EXPECT_EQ(Widget("Label3")->geometry().topLeft(), QPoint(80, 104));
    auto* menu = Find<ChoiceList>(&screen, "ComboBox1");
    EXPECT_EQ(menu->current(), -1);
    EXPECT_EQ(menu->count(), 4);
    EXPECT_EQ(menu->view()->item(0)->text(), "（　）のある計算");
    EXPECT_EQ(menu->view()->item(3)->text(), "□を求める計算");
    for (const char* list : kEntryLists) EXPECT_FALSE(Widget(list)->isVisible()) << list;
    EXPECT_FALSE(Widget("ComboBox7")->isVisible());
    EXPECT_TRUE(Widget("CuteButton4")->isEnabled());
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{12}));
    for (const char* list : kDigitLists) EXPECT_EQ(Widget(list)->y(), 304) << list;
}

TEST_F(RulesScreenTest, APupilWorksAParenthesesProblemStepByStep) {
    fx.random.Feed({0, 72, 4, 11, 2, 455});  // 735 - ( 123 + 456 ) = ?
    ClickItem(&screen, "ComboBox1", 0);
    EXPECT_EQ(Text("Label3"), "735 - ( 123 + 456 ) = ?");
    EXPECT_EQ(Text("Label4"), "123");
    EXPECT_EQ(Text("Label5"), "456");
    EXPECT_EQ(Text("Label7"), "＋");
    EXPECT_TRUE(Widget("Shape1")->isVisible());
    EXPECT_EQ(Prompt(), "答えを選んでね！");
    for (const char* list : kEntryLists) EXPECT_TRUE(Widget(list)->isVisible()) << list;
    EXPECT_FALSE(Widget("ComboBox7")->isVisible());

    Enter(579);
    EXPECT_EQ(Text("Label6"), "579");
    EXPECT_EQ(Colour("Label6"), QColor(0x00, 0x00, 0xFF));
    Confirm();
    EXPECT_EQ(fx.dialogs.texts(),
              (std::vector<std::string>{"たし算やひき算では「終わり」を選んでね！"}));
    Finish();
    EXPECT_EQ(Text("Label4"), "735");
    EXPECT_EQ(Text("Label5"), "579");
    EXPECT_EQ(Text("Label7"), "-");
    EXPECT_EQ(Text("Label6"), "");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox4")->current(), -1) << "lists reset";
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox4")->text(), "百");

    Enter(156);
    fx.cues.clear();
    Finish();
    EXPECT_EQ(Text("Label21"), "○");
    EXPECT_EQ(Text("Label3"), "735 - ( 123 + 456 ) = 156");
    EXPECT_EQ(Prompt(), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{14}));
    EXPECT_EQ(Colour("Label6"), QColor(0x00, 0x00, 0x80));
}

TEST_F(RulesScreenTest, PromptLineGuidesAMultiplicationAndADivision) {
    fx.random.Feed({18, 2, 3, 1, 2, 12});  // 34 x ( 23 + 14 ) = ?
    ClickItem(&screen, "ComboBox1", 0);
    Enter(37);
    Finish();
    EXPECT_EQ(Prompt(), "計算値を選んでね！");
    Enter(238);
    EXPECT_EQ(Prompt(), "計算の途中なら「確定」を、計算が終われば\n「終わり」を選んでね！");
    Confirm();
    EXPECT_EQ(Prompt(), "計算値を選んでね！");
    Enter(102);
    EXPECT_EQ(Prompt(), "ＯＫなら「確定」を選んでね！");
    Finish();
    EXPECT_EQ(fx.dialogs.texts().back(), "「確定」を選んでね！");
    Confirm();
    Enter(1258);
    Finish();
    EXPECT_EQ(Text("Label21"), "○");

    fx.random.Feed({0, 72, 4, 11, 2, 455});
    Click(&screen, "CuteButton4");  // 次へ: the same kind again
    EXPECT_EQ(Text("Label3"), "735 - ( 123 + 456 ) = ?");
    EXPECT_EQ(Text("Label21"), "");

    fx.random.Feed({0, 15, 7, 10, 23});  // 168 ÷ 12 x 25 = ?
    ClickItem(&screen, "ComboBox1", 2);
    EXPECT_EQ(Text("Label3"), "168 ÷ 12 x 25 = ?");
    EXPECT_EQ(Prompt(), "商を「高い位」から１つずつ「位」を合わせて選んでね！");
    Digit(1, 1);
    EXPECT_EQ(Text("Label16"), "1");
    EXPECT_EQ(Widget("Label16")->x(), 578);
    EXPECT_EQ(Prompt(), "ＯＫなら「確定」を選んでね！");
    Confirm();
    Enter(12);
    Confirm();
    Enter(48);
    EXPECT_EQ(Prompt(), "計算の途中なら「確定」を、計算が終われば\n「終わり」を選んでね！");
    Confirm();
    EXPECT_EQ(Prompt(), "計算の途中なら商を、計算が終われば\n「終わり」を選んでね！");
    Digit(0, 4);
    EXPECT_EQ(Text("Label16"), "14");
    Confirm();
    Enter(48);
    Confirm();
    EXPECT_EQ(Prompt(), "計算の途中なら計算値を、計算が終われば\n「終わり」を選んでね！");
    Enter(0);
    Finish();
    EXPECT_EQ(Text("Label8"), "14");
    EXPECT_EQ(Text("Label9"), "25");
    EXPECT_FALSE(Widget("Image4")->isVisible());
    EXPECT_TRUE(Widget("Image3")->isVisible());
}

TEST_F(RulesScreenTest, BoxProblemWithDivisionIsRightAndWithMultiplicationWrong) {
    fx.random.Feed({4, 0, 1, 5});  // □ x 7 = 84
    ClickItem(&screen, "ComboBox1", 3);
    EXPECT_EQ(Text("Label3"), "□ x 7 = 84");
    EXPECT_EQ(Prompt(), "□を求める計算を選んでね！");
    EXPECT_TRUE(Widget("ComboBox7")->isVisible());
    Finish();  // nothing chosen yet
    EXPECT_EQ(Prompt(), "□を求める計算を選んでね！");
    EXPECT_TRUE(fx.dialogs.shown.empty());

    ClickItem(&screen, "ComboBox7", 3);  // " ÷"
    EXPECT_EQ(Text("Label14"), "84");
    EXPECT_EQ(Text("Label15"), "7");
    EXPECT_EQ(Prompt(), "計算値を選んでね！");
    Digit(1, 1);
    Confirm();
    Enter(7);
    Confirm();
    Enter(14);
    Confirm();
    Digit(0, 2);
    Confirm();
    Enter(14);
    Confirm();
    Enter(0);
    Finish();
    EXPECT_EQ(Text("Label21"), "○");
    EXPECT_EQ(Text("Label3"), "[12] x 7 = 84");
    EXPECT_EQ(fx.cues.cues().back(), 14u);

    fx.random.Feed({4, 0, 1, 5});
    Click(&screen, "CuteButton4");
    EXPECT_EQ(Text("Label21"), "");
    EXPECT_EQ(Text("Label14"), "");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox7")->current(), -1);
    ClickItem(&screen, "ComboBox7", 2);  // " ×"
    EXPECT_EQ(Text("Label8"), "84");
    EXPECT_EQ(Text("Label9"), "7");
    Enter(588);
    EXPECT_EQ(Prompt(), "計算の途中なら「確定」を、計算が終われば\n「終わり」を選んでね！");
    Finish();
    EXPECT_EQ(Text("Label21"), "×");
    EXPECT_EQ(Text("Label3"), "[12] x 7 = 84");
    EXPECT_EQ(fx.cues.cues().back(), 13u);

    // Neither お手本 (a division) nor まちがいさがし keeps the pupil's "×"
    // chosen, and a find-the-mistake sheet shows no row marker.
    auto* operations = Find<ChoiceList>(&screen, "ComboBox7");
    ASSERT_EQ(operations->current(), 2);
    Click(&screen, "WorkedExample");
    EXPECT_EQ(operations->current(), -1);
    for (const char* list : kEntryLists) EXPECT_EQ(Find<ChoiceList>(&screen, list)->current(), -1) << list;
    ClickItem(&screen, "ComboBox7", 2);  // back to the pupil's own work
    Click(&screen, "FindTheMistake");
    EXPECT_EQ(operations->current(), -1);
    EXPECT_FALSE(Widget("Image3")->isVisible());
    EXPECT_FALSE(Widget("Image4")->isVisible());
}

TEST_F(RulesScreenTest, ClearAsksWhichWayAndFourNumbersKeepTheirPendingResult) {
    fx.random.Feed({8, 10, 3, 5, 26});  // 12 x 5 + 7 x 28 = ?
    ClickItem(&screen, "ComboBox1", 1);
    Enter(60);
    Finish();
    EXPECT_EQ(Text("Label4"), "60");
    EXPECT_EQ(Text("Label7"), "+");
    EXPECT_EQ(Text("Label8"), "28");
    EXPECT_EQ(Text("Label9"), "7");
    Enter(196);
    fx.dialogs.answers.push_back(Answer::Yes);
    Undo();
    EXPECT_EQ(fx.dialogs.texts().back(),
              "実行中の計算を戻すには「はい」、最初の計算に戻すには「いいえ」を選んでね！");
    EXPECT_EQ(Text("Label4"), "60");
    EXPECT_EQ(Text("Label10"), "");
    EXPECT_EQ(Text("Label8"), "28");
    EXPECT_EQ(Widget("Image3")->y(), 312);

    fx.dialogs.answers.push_back(Answer::No);
    Undo();
    EXPECT_EQ(Text("Label4"), "");
    EXPECT_EQ(Text("Label8"), "12");
    EXPECT_EQ(Text("Label9"), "5");
    EXPECT_FALSE(Widget("Shape1")->isVisible());
}

TEST_F(RulesScreenTest, MenuAndQuitButtons) {
    Click(&screen, "CuteButton1");
    EXPECT_EQ(fx.dialogs.texts().back(), "終わっても いいの？");
    EXPECT_EQ(fx.quit_requests, 0) << "No keeps the program running";
    fx.dialogs.answers.push_back(Answer::Yes);
    Click(&screen, "CuteButton1");
    EXPECT_EQ(fx.quit_requests, 1);

    fx.random.Feed({0, 72, 4, 11, 2, 455});
    ClickItem(&screen, "ComboBox1", 0);
    Click(&screen, "CuteButton2");
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(screen.result(), QDialog::Accepted);

    // Shown again: the worksheet and the menu's selection are cleared, the
    // program-wide choice stays.
    screen.ShowModeless();
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label4"), "");
    EXPECT_EQ(Find<ChoiceList>(&screen, "ComboBox1")->current(), -1);
    EXPECT_EQ(fx.ctx.state.menu_choice, 1);
}

// Each cell lands on its widget and place, in each column and row it takes:
// the three areas' digits on one grid of 28-pixel columns (the quotient's
// ones column the dividend's), the markers beside the row they point at.
TEST(RulesWorksheetLayout, EveryRoleLandsOnItsWidgetAndPlace) {
    const struct {
        const char* key;
        int column, row;
        const char* widget;
        QRect place;
    } cases[] = {
        {"add top", -1, -1, "Label4", {126, 216, 116, 40}},      {"add bottom", -1, -1, "Label5", {126, 252, 116, 40}},
        {"add result", -1, -1, "Label6", {126, 296, 116, 40}},   {"add sign", -1, -1, "Label7", {74, 252, 52, 40}},
        {"add line", -1, -1, "Shape1", {74, 293, 168, 3}},       {"mul top", -1, -1, "Label8", {322, 216, 116, 40}},
        {"mul bottom", -1, -1, "Label9", {322, 252, 116, 40}},   {"mul sign", -1, -1, "Label13", {270, 252, 52, 40}},
        {"mul line", -1, -1, "Shape2", {270, 294, 168, 3}},      {"mul row 1", -1, -1, "Label10", {322, 304, 116, 40}},
        {"mul row 2", -1, -1, "Label11", {294, 340, 116, 40}},   {"mul row 2", 0, -1, "Label11", {322, 340, 116, 40}},
        {"mul row 3", -1, -1, "Label12", {322, 384, 116, 40}},   {"mul sum line", -1, -1, "Shape3", {270, 381, 168, 3}},
        {"mul marker", -1, 1, "Image3", {256, 312, 32, 28}},     {"mul marker", -1, 3, "Image3", {256, 390, 32, 28}},
        {"divisor", -1, -1, "Label15", {378, 264, 116, 40}},     {"bracket", -1, -1, "Image2", {494, 260, 24, 46}},
        {"div line 0", -1, -1, "Shape4", {508, 260, 126, 3}},    {"dividend", -1, -1, "Label14", {518, 264, 116, 40}},
        {"quotient", 0, -1, "Label16", {606, 216, 140, 40}},     {"quotient", 1, -1, "Label16", {578, 216, 140, 40}},
        {"div row 1", 0, -1, "Label17", {518, 310, 116, 40}},    {"div row 1", 1, -1, "Label17", {490, 310, 116, 40}},
        {"div line 1", -1, -1, "Shape5", {508, 351, 126, 3}},    {"div row 2", -1, -1, "Label18", {518, 352, 116, 40}},
        {"div row 3", -1, -1, "Label19", {518, 388, 116, 40}},   {"div line 2", -1, -1, "Shape6", {508, 427, 126, 3}},
        {"div row 4", -1, -1, "Label20", {518, 432, 116, 40}},   {"div marker", -1, 0, "Image4", {480, 232, 32, 28}},
        {"div marker", -1, 2, "Image4", {480, 358, 32, 28}},     {"div marker", -1, 4, "Image4", {480, 438, 32, 28}},
    };
    QWidget screen;
    RulesWorksheetView view(&screen, 652, 304);
    for (const auto& c : cases) {
        Worksheet sheet;
        sheet[c.key] = Cell{.text = "7", .column = c.column, .row = c.row};
        view.Apply(sheet);
        EXPECT_EQ(Find<QWidget>(&screen, c.widget)->geometry(), c.place) << c.key << " " << c.column << " " << c.row;
    }
}

}  // namespace
}  // namespace sorelka::rules
