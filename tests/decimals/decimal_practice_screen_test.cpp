#include <gtest/gtest.h>

#include <QApplication>

#include "core/number_text.h"
#include "decimals/decimal_bugs.h"
#include "decimals/decimal_cells.h"
#include "decimals/decimal_layout.h"
#include "decimals/decimal_practice_screen.h"
#include "decimals/decimal_sheet_view.h"
#include "decimals/figure_label.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/cute_button.h"

namespace sorelka::decimals {
namespace {

using namespace sorelka::testing;

const QColor kBlueText(0x00, 0x00, 0xFF);
const QColor kNavyText(0x00, 0x00, 0x80);

class DecimalPracticeScreenTest : public ::testing::Test {
protected:
    void Open(const PracticeVariant& variant) {
        screen = std::make_unique<DecimalPracticeScreen>(services.ctx, variant, nullptr);
        services.cues.clear();
        screen->ShowModeless();
        Settle();
    }
    void TearDown() override {
        if (screen) screen->close();
    }

    QString Text(const char* name) { return LabelText(screen.get(), name); }
    QColor Colour(const char* name) {
        return Find<QLabel>(screen.get(), name)->palette().color(QPalette::WindowText);
    }
    bool Shown(const char* name) { return Find<QWidget>(screen.get(), name)->isVisible(); }
    // Where a number's decimal point stands on the screen.
    int PointX(const char* name) {
        auto* figure = Find<FigureLabel>(screen.get(), name);
        return figure->x() + figure->PointRight();
    }
    void ExpectPointsInOneColumn() {
        EXPECT_NEAR(PointX("Label6"), PointX("Label5"), 2);
        EXPECT_NEAR(PointX("Label7"), PointX("Label5"), 2);
    }

    FakeServices services;
    std::unique_ptr<DecimalPracticeScreen> screen;
};

TEST_F(DecimalPracticeScreenTest, AdditionTwoPlacesWorkedAsAPupilDoes) {
    Open(kAdditionPractice);
    EXPECT_EQ(screen->objectName(), "TForm4");
    EXPECT_EQ(screen->windowTitle(), "Sorelka");
    EXPECT_EQ(Text("Label1"), "２．小数のたし算：練習問題");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{11}));
    for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6",
                             "ComboBox7"}) {
        EXPECT_FALSE(Shown(list)) << list;
    }
    EXPECT_FALSE(Shown("Shape1"));

    services.random.Feed({0, 234, 139});  // 2.35 + 1.40
    ClickItem(screen.get(), "ComboBox1", 1);
    EXPECT_EQ(services.ctx.state.menu_choice, 2);
    EXPECT_EQ(Text("Label4"), "2.35 + 1.4 = ?");
    EXPECT_EQ(Text("Label5"), "2.35");
    EXPECT_EQ(Text("Label6"), "1.4");
    EXPECT_EQ(Text("Label8"), "+");
    EXPECT_TRUE(Shown("Shape1"));
    EXPECT_EQ(Text("Label2"), "答えを選んでね！");
    // Columns 十, 一, the point, 一, 二; no thousandths.
    for (const char* list : {"ComboBox6", "ComboBox5", "Label11", "ComboBox4", "ComboBox3"}) EXPECT_TRUE(Shown(list));
    EXPECT_FALSE(Shown("ComboBox2"));
    EXPECT_TRUE(Shown("ComboBox7"));
    EXPECT_EQ(Text("Label11"), "小\r数\r点");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox6")->text(), "十");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox7")->text(), " 処理");

    ClickItem(screen.get(), "ComboBox5", 3);
    ClickItem(screen.get(), "ComboBox4", 7);
    EXPECT_EQ(Text("Label7"), "3.70");
    EXPECT_EQ(Colour("Label7"), kBlueText);
    ClickItem(screen.get(), "ComboBox3", 5);
    EXPECT_EQ(Text("Label2"), "計算が終われば「終わり」を選んでね！");
    ClickItem(screen.get(), "ComboBox7", 0);
    EXPECT_EQ(Text("Label7"), "3.75");
    EXPECT_EQ(Colour("Label7"), kNavyText);
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(Text("Label4"), "2.35 + 1.4 = 3.75");
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{11, 11, 11, 11, 11, 14}));
    ExpectPointsInOneColumn();
    EXPECT_TRUE(Find<CuteButton>(screen.get(), "CuteButton4")->isEnabled());
}

TEST_F(DecimalPracticeScreenTest, SubtractionOnePlaceWorkedAsAPupilDoes) {
    Open(kSubtractionPractice);
    EXPECT_EQ(screen->objectName(), "TForm6");
    EXPECT_EQ(Text("Label1"), "３．小数のひき算：練習問題");
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{12}));

    services.random.Feed({0, 51, 48});  // 5.2 - 4.9
    ClickItem(screen.get(), "ComboBox1", 0);
    EXPECT_EQ(Text("Label4"), "5.2 - 4.9 = ?");
    EXPECT_EQ(Text("Label8"), "-");
    EXPECT_FALSE(Shown("ComboBox3"));
    EXPECT_FALSE(Shown("ComboBox2"));

    ClickItem(screen.get(), "ComboBox5", 0);
    EXPECT_EQ(Text("Label7"), "0.0");
    EXPECT_EQ(Colour("Label7"), kBlueText);
    ClickItem(screen.get(), "ComboBox4", 3);
    EXPECT_EQ(Text("Label7"), ".3");
    ClickItem(screen.get(), "ComboBox7", 0);
    EXPECT_EQ(Text("Label7"), "0.3");
    EXPECT_EQ(Colour("Label7"), kNavyText);
    EXPECT_EQ(Text("Label3"), "○");
    EXPECT_EQ(Text("Label4"), "5.2 - 4.9 = 0.3");
    EXPECT_EQ(services.cues.cues().back(), 14u);
    ExpectPointsInOneColumn();
}

TEST_F(DecimalPracticeScreenTest, FinishedAnswerWithoutDecimalsStandsUnderThePoints) {
    Open(kAdditionPractice);
    services.random.Feed({0, 2, 6});  // 0.3 + 0.7
    ClickItem(screen.get(), "ComboBox1", 0);
    ClickItem(screen.get(), "ComboBox5", 1);
    ClickItem(screen.get(), "ComboBox4", 0);
    ClickItem(screen.get(), "ComboBox7", 0);
    EXPECT_EQ(Text("Label7"), "1");
    EXPECT_EQ(Text("Label3"), "○");
    ExpectPointsInOneColumn();

    // Three places: 7 - 0.501 writes 7 far left, its point still in line.
    Open(kSubtractionPractice);
    services.random.Feed({6999, 500});
    ClickItem(screen.get(), "ComboBox1", 2);
    EXPECT_EQ(Text("Label5"), "7");
    ClickItem(screen.get(), "ComboBox5", 6);
    for (int digit : {4, 9, 9}) ClickItem(screen.get(), "ComboBox4", digit);
    ClickItem(screen.get(), "ComboBox3", 9);
    ClickItem(screen.get(), "ComboBox2", 9);
    ClickItem(screen.get(), "ComboBox7", 0);
    EXPECT_EQ(Text("Label7"), "6.999");
    EXPECT_EQ(Text("Label3"), "×");  // 7 - 0.501 = 6.499
    EXPECT_EQ(Text("Label4"), "7 - 0.501 = 6.499");
    ExpectPointsInOneColumn();
}

TEST_F(DecimalPracticeScreenTest, FinishBeforeAnyDigitAndADigitChangedAfterJudging) {
    Open(kAdditionPractice);
    services.random.Feed({0, 234, 139});
    ClickItem(screen.get(), "ComboBox1", 1);
    ClickItem(screen.get(), "ComboBox7", 0);
    EXPECT_EQ(Text("Label7"), "0");
    EXPECT_EQ(Text("Label3"), "×");
    EXPECT_EQ(Text("Label4"), "2.35 + 1.4 = 3.75");
    EXPECT_EQ(services.cues.cues().back(), 13u);

    ClickItem(screen.get(), "ComboBox5", 3);
    EXPECT_EQ(Text("Label7"), "3.00");
    EXPECT_EQ(Colour("Label7"), kBlueText);
    EXPECT_EQ(Text("Label3"), "×") << "the mark stays until the next judgement";
    EXPECT_EQ(Text("Label2"), "計算が終われば「終わり」を選んでね！");
    // The same item again still counts as a choice.
    services.cues.clear();
    ClickItem(screen.get(), "ComboBox5", 3);
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{11}));
}

TEST_F(DecimalPracticeScreenTest, NextNeedsAMenuChoiceThenDrawsWithIt) {
    Open(kSubtractionPractice);
    services.cues.clear();
    Click(screen.get(), "CuteButton4");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_TRUE(services.cues.cues().empty());
    EXPECT_FALSE(Shown("ComboBox7"));
    EXPECT_EQ(Text("Label4"), "");

    services.random.Feed({0, 51, 48, 0, 12, 1});
    ClickItem(screen.get(), "ComboBox1", 0);
    ClickItem(screen.get(), "ComboBox5", 0);
    ClickItem(screen.get(), "ComboBox7", 0);
    Click(screen.get(), "CuteButton4");  // 1.3 - 0.2
    EXPECT_EQ(Text("Label4"), "1.3 - 0.2 = ?");
    EXPECT_EQ(Text("Label3"), "");
    EXPECT_EQ(Text("Label7"), "");
    EXPECT_EQ(Text("Label2"), "答えを選んでね！");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox5")->current(), -1);
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox5")->text(), "一");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox7")->current(), -1);
}

TEST_F(DecimalPracticeScreenTest, ShowingAgainStartsAfreshButKeepsTheMenuChoice) {
    Open(kAdditionPractice);
    services.random.Feed({0, 0, 0, 2});
    ClickItem(screen.get(), "ComboBox1", 2);
    ClickItem(screen.get(), "ComboBox2", 4);
    ClickItem(screen.get(), "ComboBox7", 0);
    Click(screen.get(), "CuteButton2");  // 目次
    EXPECT_FALSE(screen->isVisible());

    services.cues.clear();
    screen->ShowModeless();
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{11}));
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    for (const char* label : {"Label3", "Label4", "Label5", "Label6", "Label7", "Label8"}) {
        EXPECT_EQ(Text(label), "") << label;
    }
    EXPECT_FALSE(Shown("ComboBox2"));
    EXPECT_FALSE(Shown("Shape1"));
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox1")->current(), 2);
    EXPECT_EQ(services.ctx.state.menu_choice, 3);

    Click(screen.get(), "CuteButton4");
    EXPECT_EQ(Text("Label4"), "0.001 + 0.003 = ?");
    EXPECT_TRUE(Shown("ComboBox2"));
}

// On every menu item, after お手本 each small figure stands over its column,
// and まちがいさがし keeps its paper and shows no point column without the
// lists beside it. (That no button covers a list is the overlap test's.)
TEST_F(DecimalPracticeScreenTest, ExampleFiguresStandOverTheirColumnsOnEveryMenuItem) {
    // 9.4 + 0.8, 9.37 + 81.77, 2.345 + 1.208; 5 - 2.3, 5 - 2.37, 7 - 0.501.
    const std::vector<std::vector<int>> draws[] = {{{0, 93, 7}, {30, 936, 8176}, {2344, 1207}},
                                                   {{0, 49, 22}, {0, 499, 236}, {6999, 500}}};
    for (const PracticeVariant* variant : {&kAdditionPractice, &kSubtractionPractice}) {
        Open(*variant);
        const auto& problems = draws[variant == &kAdditionPractice ? 0 : 1];
        for (int menu = 0; menu < 3; ++menu) {
            SCOPED_TRACE(menu);
            services.random.Feed(problems[menu]);
            ClickItem(screen.get(), "ComboBox1", menu);
            ClickItem(screen.get(), "ComboBox7", 0);  // nothing entered: "×"
            ASSERT_TRUE(Shown("WorkedExample"));
            Click(screen.get(), "WorkedExample");
            ASSERT_TRUE(Shown("WorkedExampleNext"));
            for (int step = 0; step < 12 && Shown("WorkedExampleNext"); ++step) Click(screen.get(), "WorkedExampleNext");
            // Each small figure stands over its column of the numbers.
            auto* answer = Find<FigureLabel>(screen.get(), "Label7");
            int figures = 0;
            for (int c = 0; c < kColumnCount; ++c) {
                const auto column = static_cast<Column>(c);
                auto* mark = Find<QLabel>(screen.get(), DecimalObjectName(MarkRole(variant->operation, column), {}).c_str());
                if (!mark->isVisible()) continue;
                ++figures;
                const QRect digit = answer->DigitRect(FromPoint(column)).translated(answer->pos());
                EXPECT_NEAR(mark->geometry().center().x(), digit.center().x(), 2) << c;
                EXPECT_LT(mark->geometry().bottom(), Find<QWidget>(screen.get(), "Label6")->y());
            }
            EXPECT_GT(figures, 0);
            Click(screen.get(), "FindTheMistake");
            Settle();
            EXPECT_TRUE(Shown("Paper1"));
            EXPECT_TRUE(!Shown("Label11") || Text("Label11").isEmpty());
        }
    }
}

// Every role lands on its widget and place, on the practice and drill sheets;
// each role the record stores keeps its widget's name. The numbers end in
// the column of their last digit: their lefts follow from p and the zeros lost.
TEST(DecimalLayout, EachRoleLandsOnItsWidgetAndPlace) {
    // The sheet, its problem, the answer entered, a small figure's column, where each role lands (0 wide or high: unchecked).
    using Roles = std::vector<std::tuple<std::string, const char*, QRect>>;
    std::vector<std::tuple<SheetPlace, DecimalProblem, int, Column, Roles>> cases = {
        {PracticeSheetPlace(Operation::Addition), {2, 1, 235, 140, 375}, 370, Column::Tenths,  // 2.35 + 1.4
         {{role::kUpper, "Label5", {392, 232, 130, 40}}, {role::kLower, "Label6", {362, 272, 130, 40}},
          {role::kAnswer, "Label7", {332, 324, 160, 40}}, {role::kOperator, "Label8", {344, 272, 40, 40}},
          {role::kLine, "Shape1", {336, 316, 193, 2}}, {role::kPaper, "Paper1", {298, 204, 268, 184}},
          {role::kPoint, "Label11", {792, 224, 20, 0}}, {role::kActionList, "ComboBox7", {864, 224, 0, 0}},
          {"list tens", "ComboBox6", {744, 224, 0, 0}}, {"list ones", "ComboBox5", {768, 224, 0, 0}},
          {"list tenths", "ComboBox4", {816, 224, 0, 0}}, {"list hundredths", "ComboBox3", {840, 224, 0, 0}},
          {"carry tenths", "CarryTenths", {462, 206, 30, 26}}, {role::kLowerZeros, "LowerZeros", {392, 272, 130, 40}}}},
        {DrillSheetPlace(Operation::Subtraction), {3, 0, 7000, 501, 6499}, 6499, Column::Ones,  // 7 - 0.501
         {{role::kUpper, "Label5", {292, 232, 130, 40}}, {role::kLower, "Label6", {392, 272, 130, 40}},
          {role::kAnswer, "Label7", {362, 324, 160, 40}}, {role::kOperator, "Label4", {344, 272, 40, 40}},
          {role::kPoint, "Label11", {768, 272, 20, 0}}, {role::kActionList, "ComboBox7", {864, 272, 0, 0}},
          {"list tens", "ComboBox6", {720, 272, 0, 0}}, {"list thousandths", "ComboBox2", {840, 272, 0, 0}},
          {"borrow ones", "BorrowOnes", {394, 206, 30, 26}}, {"strike ones", "StrikeOnes", {394, 238, 30, 30}},
          {role::kUpperZeros, "UpperZeros", {392, 232, 130, 40}}}},
    };
    // Both numbers and the answer 1 of p 1, 0.1 and 1 of p 2, 0.01, 0.1 and 1 of p 3.
    for (const auto& [p, value, operand_left, answer_left] : {std::array{1, 10, 354, 326}, {2, 10, 362, 332},
                                                              {2, 100, 324, 294}, {3, 10, 362, 332},
                                                              {3, 100, 332, 302}, {3, 1000, 292, 264}})
        cases.emplace_back(PracticeSheetPlace(Operation::Addition), DecimalProblem{p, 0, value, value, 0}, value,
                           Column::Ones, Roles{{role::kUpper, "Label5", {operand_left, 232, 0, 0}},
                                               {role::kAnswer, "Label7", {answer_left, 324, 0, 0}}});
    for (const auto& [place, problem, answer, mark, roles] : cases) {
        QWidget screen;
        DecimalSheetView view(&screen, place);
        DecimalSheet sheet(place);
        sheet.SetProblem(problem);
        sheet.ShowOperator();
        sheet.ResetEntryLists();
        sheet.ShowImpliedZeros();
        sheet.ShowMark(mark, 1);
        AnswerDigits digits{};
        for (int c = 0; c < kColumnCount; ++c)
            if (ColumnShown(Column(c), problem.places)) digits[c] = DigitAt(answer, ColumnFromRight(Column(c), problem.places));
        for (const DecimalInput& input : AnswerInputs(digits, problem.places)) Feed(sheet, input);
        view.Show(sheet);
        for (const auto& [r, widget, at] : roles) {
            SCOPED_TRACE(r + " p " + std::to_string(problem.places));
            EXPECT_EQ(DecimalObjectName(r, place), widget);
            const std::string stored = StoredName(r, place.screen);
            EXPECT_TRUE(stored.empty() || stored == widget) << stored;
            const QRect shown = Find<QWidget>(&screen, widget)->geometry();
            EXPECT_EQ(shown, QRect(at.topLeft(), QSize(at.width() ? at.width() : shown.width(),
                                                      at.height() ? at.height() : shown.height())));
        }
    }
}

TEST_F(DecimalPracticeScreenTest, QuitAsksFirst) {
    Open(kSubtractionPractice);
    services.dialogs.answers = {Answer::No, Answer::Yes};
    Click(screen.get(), "CuteButton1");
    EXPECT_EQ(services.quit_requests, 0);
    Click(screen.get(), "CuteButton1");
    EXPECT_EQ(services.quit_requests, 1);
    EXPECT_EQ(services.dialogs.texts(),
              (std::vector<std::string>{"終わってもいいの？", "終わってもいいの？"}));
}

}  // namespace
}  // namespace sorelka::decimals
