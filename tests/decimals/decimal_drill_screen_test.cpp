#include "decimals/decimal_drill_screen.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "drill/drill_log.h"
#include "drill/score_sheet.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"

namespace sorelka::decimals {
namespace {

using namespace sorelka::testing;

const QColor kNavyText(0x00, 0x00, 0x80);
const QColor kBlueText(0x00, 0x00, 0xFF);

class DecimalDrillTest : public ::testing::Test {
protected:
    void Open(const DrillVariant& variant) {
        screen = std::make_unique<DecimalDrillScreen>(fx.ctx, log, variant, nullptr);
        screen->ShowModeless();
    }
    void TearDown() override {
        if (screen) screen->close();
    }

    // Menu item and time item chosen, then "スタート" on the scripted problem.
    void StartOn(int menu_item, int time_item, const std::vector<int>& draws) {
        ClickItem(screen.get(), "ComboBox1", menu_item);
        ClickItem(screen.get(), "ComboBox8", time_item);
        fx.random.Feed(draws);
        Click(screen.get(), "CuteButton3");
    }
    void Ones(int digit) { ClickItem(screen.get(), "ComboBox5", digit); }
    void Tenths(int digit) { ClickItem(screen.get(), "ComboBox4", digit); }
    void Finish() { ClickItem(screen.get(), "ComboBox7", 0); }

    QString Text(const char* name) { return LabelText(screen.get(), name); }
    bool Shown(const char* name) { return Find<QWidget>(screen.get(), name)->isVisible(); }
    bool Enabled(const char* button) { return Find<CuteButton>(screen.get(), button)->isEnabled(); }
    // "スタート", "次へ", "ストップ", "成績表" enabled, as four letters: "1101".
    std::string Buttons() {
        std::string states;
        for (const char* b : {"CuteButton3", "CuteButton4", "CuteButton5", "CuteButton6"})
            states += Enabled(b) ? '1' : '0';
        return states;
    }
    QStringList ScoreLine() { return {Text("Label8"), Text("Label9"), Text("Label10")}; }
    QTimer* Countdown() { return Find<QTimer>(screen.get(), "Timer3"); }

    QTemporaryDir folder;
    FakeServices fx;
    DrillLog log{folder.path() + "/kyozai.db", fx.dialogs};
    std::unique_ptr<DecimalDrillScreen> screen;
};

TEST_F(DecimalDrillTest, FirstQuestionOfAOnePlaceFiveMinuteDrill) {
    log.AppendDrillRow({1, " 12 ÷ 3", "4", "4", "○", 0, 0});  // left by an earlier drill
    Open(kAdditionDrill);
    EXPECT_EQ(screen->objectName(), "TForm5");
    EXPECT_EQ(screen->windowTitle(), "Sorelka");
    EXPECT_EQ(Text("Label1"), "２．小数のたし算：ドリル");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox1")->text(), "  メニュー");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox8")->text(), "  時間");
    EXPECT_FALSE(Shown("ComboBox7"));

    fx.cues.clear();
    ClickItem(screen.get(), "ComboBox1", 0);
    EXPECT_EQ(Text("Label2"), "時間を選んでね！");
    ClickItem(screen.get(), "ComboBox8", 1);
    EXPECT_EQ(Text("Label2"), "「スタート」ボタンを押してね！");
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 11}));

    fx.cues.clear();
    fx.random.Feed({0, 45, 28});  // 4.6 + 2.9
    Click(screen.get(), "CuteButton3");
    EXPECT_TRUE(log.Rows().empty());
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{12, 11}));
    EXPECT_EQ(Text("Label2"), "");
    EXPECT_EQ(Text("Label3"), "第 1 問");
    EXPECT_EQ(Text("Label5"), "4.6");
    EXPECT_EQ(Text("Label6"), "2.9");
    EXPECT_EQ(Text("Label4"), "+");
    EXPECT_TRUE(Shown("Shape1"));
    // Tens, ones, the point and tenths; no hundredths, no thousandths.
    for (const char* list : {"ComboBox6", "ComboBox5", "Label11", "ComboBox4", "ComboBox7"}) EXPECT_TRUE(Shown(list));
    EXPECT_FALSE(Shown("ComboBox3"));
    EXPECT_FALSE(Shown("ComboBox2"));
    EXPECT_TRUE(Countdown()->isActive());
    EXPECT_EQ(screen->session().time_limit_seconds(), 300);
}

TEST_F(DecimalDrillTest, ARightAnswerIsLoggedWithLeadingSpacesAndNoMarkOnScreen) {
    Open(kAdditionDrill);
    StartOn(0, 0, {0, 2, 6});  // 0.3 + 0.7
    Ones(1);
    Tenths(0);
    EXPECT_EQ(Text("Label7"), "1.0");
    fx.cues.clear();
    Finish();
    ASSERT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(log.Rows()[0], (DrillRow{1, " 0.3 ＋ 0.7", " 1", " 1", " ○"}));
    EXPECT_EQ(fx.ctx.state.correct_count, 1);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{12});
    EXPECT_EQ(Text("Label2"), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(Text("Label7"), "1");
    EXPECT_EQ(Find<QLabel>(screen.get(), "Label7")->palette().color(QPalette::WindowText),
              kNavyText);
    for (QLabel* label : screen->findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains("○")) << Utf8(label->objectName());

    Finish();  // the same question again
    EXPECT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(fx.ctx.state.correct_count, 1);
}

TEST_F(DecimalDrillTest, AnOperandWithoutDecimalsIsLoggedAsWrittenAndAWrongAnswerGetsACross) {
    Open(kAdditionDrill);
    StartOn(0, 0, {0, 19, 34});  // 2.0 + 3.5
    EXPECT_EQ(Text("Label5"), "2");
    Ones(5);
    Finish();
    ASSERT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(log.Rows()[0], (DrillRow{1, " 2 ＋ 3.5", " 5.5", " 5", " ×"}));
    EXPECT_EQ(fx.ctx.state.correct_count, 0);
}

TEST_F(DecimalDrillTest, SubtractionDrillTimeChoiceAndLogRow) {
    Open(kSubtractionDrill);
    EXPECT_EQ(screen->objectName(), "TForm7");
    EXPECT_EQ(Text("Label1"), "３．小数のひき算：ドリル");
    ClickItem(screen.get(), "ComboBox1", 0);
    fx.cues.clear();
    ClickItem(screen.get(), "ComboBox8", 0);
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{17});
    EXPECT_EQ(Text("Label2"), "「スタート」ボタンをおしてね！");

    fx.random.Feed({0, 51, 48});  // 5.2 - 4.9
    Click(screen.get(), "CuteButton3");
    EXPECT_EQ(Text("Label4"), "-");
    fx.cues.clear();
    Ones(0);
    EXPECT_EQ(Text("Label7"), "0.0") << "the ones list writes a digit before the point";
    EXPECT_EQ(Find<QLabel>(screen.get(), "Label7")->palette().color(QPalette::WindowText),
              kBlueText);
    Tenths(3);
    EXPECT_EQ(Text("Label7"), ".3");
    EXPECT_EQ(fx.cues.cues(), (std::vector<unsigned>{11, 11}));
    EXPECT_EQ(Text("Label2"), "") << "digits leave the prompt line alone";
    Finish();
    ASSERT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(log.Rows()[0], (DrillRow{1, " 5.2 - 4.9", " 0.3", " 0.3", " ○"}));
    EXPECT_EQ(Text("Label7"), "0.3");
}

TEST_F(DecimalDrillTest, OneRightThenNextThenStopGivesTwoQuestionsAndFiftyPoints) {
    Open(kAdditionDrill);
    fx.clock.Set(9, 0, 0);
    StartOn(0, 0, {0, 2, 6});
    Ones(1);
    Finish();
    fx.random.Feed({0, 45, 28});
    Click(screen.get(), "CuteButton4");
    EXPECT_EQ(Text("Label3"), "第 2 問");
    EXPECT_EQ(Text("Label4"), "+");
    EXPECT_EQ(Text("Label7"), "");
    EXPECT_EQ(Find<ChoiceList>(screen.get(), "ComboBox5")->text(), "一") << "lists reset";
    fx.clock.Set(9, 1, 7);
    fx.cues.clear();
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(fx.ctx.state.question_count, 2);
    EXPECT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(Utf8(ScoreLine().join("|")), "2 問|50 点|1 分 7 秒");
    EXPECT_EQ(Text("Label2"), "おつかれさま！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{19});
    for (const char* label : {"Label3", "Label4", "Label5", "Label6", "Label7"})
        EXPECT_EQ(Text(label), "") << label;
    EXPECT_FALSE(Shown("Shape1"));
}

TEST_F(DecimalDrillTest, TimeOutFillsTheScoreLineAndLeavesTheListsAndButtons) {
    Open(kAdditionDrill);
    fx.clock.Set(10, 0, 0);
    StartOn(0, 1, {0, 45, 28});
    Ones(7);
    fx.cues.clear();
    for (int i = 0; i < 299; ++i) screen->CountdownTick();
    EXPECT_TRUE(fx.dialogs.shown.empty());
    EXPECT_EQ(Text("Label5"), "4.6");
    fx.clock.Set(10, 5, 0);
    screen->CountdownTick();
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{13});
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{"時間だから、ドリルを終わるよ！"});
    EXPECT_FALSE(Countdown()->isActive());
    EXPECT_EQ(Utf8(ScoreLine().join("|")), "1 問|0 点|5 分 0 秒");
    for (const char* label : {"Label3", "Label4", "Label5", "Label6", "Label7"})
        EXPECT_EQ(Text(label), "") << label;
    EXPECT_FALSE(Shown("Shape1"));
    for (const char* list : {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox7"})
        EXPECT_TRUE(Shown(list)) << list;
    EXPECT_EQ(Buttons(), "1111") << "a time-out changes no button";
    Finish();
    EXPECT_TRUE(log.Rows().empty()) << "nothing is judged after the drill finished";
}

TEST_F(DecimalDrillTest, AfterStopOrTimeOutTheListsWriteNothing) {
    for (const DrillVariant* variant : {&kAdditionDrill, &kSubtractionDrill})
        for (bool time_out : {false, true}) {
            SCOPED_TRACE(time_out ? "time-out" : "ストップ");
            Open(*variant);
            fx.clock.Set(10, 0, 0);
            StartOn(0, 1, {0, 45, 28});
            if (time_out) {
                for (int i = 0; i < 300; ++i) screen->CountdownTick();
            } else {
                Click(screen.get(), "CuteButton5");
            }
            fx.cues.clear();
            Ones(7);
            Tenths(3);
            Finish();
            EXPECT_EQ(Text("Label7"), "") << "no running answer under the emptied worksheet";
            EXPECT_TRUE(fx.cues.cues().empty());
            for (const char* list : {"ComboBox5", "ComboBox4", "ComboBox7"}) {
                auto* l = Find<ChoiceList>(screen.get(), list);
                EXPECT_EQ(l->current(), -1) << list;
                EXPECT_EQ(l->text(), l->heading()) << list;
            }
            EXPECT_TRUE(log.Rows().empty());
            screen->close();
        }
}

TEST_F(DecimalDrillTest, ButtonsAfterStopAndAfterEachJudgedAnswer) {
    Open(kAdditionDrill);
    EXPECT_EQ(Buttons(), "1111");
    StartOn(0, 0, {0, 2, 6});
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Buttons(), "1001");
    Click(screen.get(), "CuteButton4");  // disabled: nothing happens
    EXPECT_EQ(fx.ctx.state.question_count, 1);

    ClickItem(screen.get(), "ComboBox8", 2);
    EXPECT_EQ(Buttons(), "1001") << "a time choice leaves 次へ and ストップ off";
    fx.random.Feed({0, 45, 28});
    Click(screen.get(), "CuteButton3");
    EXPECT_EQ(Buttons(), "1001") << "the first question must be finished first";
    Finish();
    EXPECT_EQ(Buttons(), "1111");

    // Off again after ストップ, and still off when the screen is shown again.
    Click(screen.get(), "CuteButton5");
    screen->hide();
    screen->ShowModeless();
    EXPECT_EQ(Buttons(), "1001");
}

TEST_F(DecimalDrillTest, ShowingAgainKeepsTheMenuChoiceAndEmptiesTheScreen) {
    Open(kSubtractionDrill);
    StartOn(1, 0, {0, 234, 139});
    Click(screen.get(), "CuteButton5");
    screen->hide();
    fx.cues.clear();
    screen->ShowModeless();
    EXPECT_EQ(Utf8(Find<ChoiceList>(screen.get(), "ComboBox1")->text()), "小数第二位");
    EXPECT_EQ(Text("Label2"), "メニューを選んでね！");
    EXPECT_EQ(fx.cues.cues(), std::vector<unsigned>{11});
    for (const char* label : {"Label3", "Label8", "Label9", "Label10"})
        EXPECT_EQ(Text(label), "") << label;
    for (const char* list : {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3", "ComboBox7"})
        EXPECT_FALSE(Shown(list)) << list;
}

TEST_F(DecimalDrillTest, TheScoreSheetHasFiveColumnsAndLeavesTheButtonsFree) {
    Open(kSubtractionDrill);
    StartOn(0, 0, {0, 51, 48});
    Ones(0);
    Tenths(3);
    Finish();
    Click(screen.get(), "CuteButton5");
    Click(screen.get(), "CuteButton6");
    auto* grid = Find<ScoreSheet>(screen.get(), "DBGrid1");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->y(), 130);
    EXPECT_EQ(grid->Titles(), (QStringList{"番号", "問題", "正解", "答え", "判定"}));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->RowTexts(0), (QStringList{"1", " 5.2 - 4.9", " 0.3", " 0.3", " ○"}));
    EXPECT_TRUE(grid->font().bold()) << "bold cells";
    EXPECT_FALSE(grid->horizontalHeader()->font().bold()) << "plain titles";
    const int widths[] = {40, 150, 90, 90};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid->columnWidth(grid->columns()[i].field), widths[i]) << i;
    for (const char* b : {"CuteButton1", "CuteButton2", "CuteButton3", "CuteButton4",
                          "CuteButton5", "CuteButton6"})
        EXPECT_FALSE(grid->geometry().intersects(Find<QWidget>(screen.get(), b)->geometry()))
            << b << " stays free while the sheet is shown";
    Click(screen.get(), "CuteButton6");
    EXPECT_FALSE(grid->isVisible());
}

TEST_F(DecimalDrillTest, ThreePlaceColumnsStandClearOfTheButtons) {
    Open(kAdditionDrill);
    StartOn(2, 0, {1233, 4320});  // 1.234 + 4.321
    const char* lists[] = {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3", "ComboBox2"};
    for (int i = 0; i < 5; ++i) {
        auto* list = Find<QWidget>(screen.get(), lists[i]);
        for (const char* b : {"CuteButton1", "CuteButton2", "CuteButton3", "CuteButton4",
                              "CuteButton5", "CuteButton6"})
            EXPECT_FALSE(list->geometry().intersects(Find<QWidget>(screen.get(), b)->geometry()))
                << lists[i] << " and " << b;
    }
}

}  // namespace
}  // namespace sorelka::decimals
