// The shared drill machinery, driven through a small drill screen whose
// problem is "choose the digit shown".
#include "drill/drill_screen.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "drill/drill_log.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

class DigitDrill : public DrillScreen {
public:
    DigitDrill(AppContext& ctx, DrillLog& log, const QString& name, DrillProfile profile)
        : DrillScreen(ctx, log, name, "Sorelka", std::move(profile), nullptr) {
        problem_ = new QLabel(this);
        problem_->setObjectName("Label5");
        problem_->setGeometry(300, 200, 100, 40);
        digits_ = new ChoiceList("ComboBox2", "一", ChoiceList::DigitItems(), this);
        digits_->PlaceAt(300, 260, 80);
        actions_ = new ChoiceList("ComboBox6", " 処理", {"終わり"}, this);
        actions_->PlaceAt(400, 260, 100);
        connect(digits_, &ChoiceList::chosen, this, [this](int d) { entered_ = d; });
        connect(actions_, &ChoiceList::chosen, this, [this](int) {
            RecordAnswer(entered_ == number_,
                         {0, " " + std::to_string(number_), std::to_string(number_),
                          std::to_string(entered_), entered_ == number_ ? "○" : "×"});
        });
    }
    int number() const { return number_; }

protected:
    void ClearWorksheet() override {
        problem_->clear();
        HideEntryLists();
    }
    void GenerateProblem(int menu_choice) override {
        ctx().random.Randomize();
        number_ = ctx().random.Random(9) + menu_choice;
    }
    void ShowProblem() override { problem_->setText(QString::number(number_)); }
    void ResetEntryLists() override {
        entered_ = 0;
        digits_->Reset();
        actions_->Reset();
        digits_->show();
        actions_->show();
    }
    void HideEntryLists() override {
        digits_->hide();
        actions_->hide();
    }
    void ClearWorksheetNumbers() override { problem_->clear(); }

private:
    QLabel* problem_;
    ChoiceList* digits_;
    ChoiceList* actions_;
    int number_ = 0;
    int entered_ = 0;
};

DrillProfile TestProfile() {
    DrillProfile p;
    p.title = "テスト：ドリル";
    p.menu_items = {"いち", "に", "さん"};
    p.grid_columns = {{kFieldNo, "Ｎｏ", 40, Qt::AlignLeft},
                      {kFieldMnd, "問題", 160, Qt::AlignLeft},
                      {kFieldKai, "答え（正）", 90, Qt::AlignHCenter},
                      {kFieldHnt, "○×", 40, Qt::AlignHCenter}};
    return p;
}

struct DrillMachineryTest : ::testing::Test {
    QTemporaryDir folder;
    FakeServices services;
    std::unique_ptr<DrillLog> log;
    std::unique_ptr<DigitDrill> screen;

    void SetUp() override {
        log = std::make_unique<DrillLog>(folder.path() + "/kyozai.db", services.dialogs);
        screen = std::make_unique<DigitDrill>(services.ctx, *log, "TForm3", TestProfile());
        screen->ShowModeless();
    }
    void TearDown() override { screen.reset(); }

    QString Prompt() { return LabelText(screen.get(), "Label2"); }
    QStringList ScoreLine() {
        return {LabelText(screen.get(), "Label14"), LabelText(screen.get(), "Label15"),
                LabelText(screen.get(), "Label16")};
    }
    QTimer* Countdown() { return Find<QTimer>(screen.get(), "Timer3"); }
    void Tick(int times) {
        for (int i = 0; i < times; ++i) screen->CountdownTick();
    }
    // Answers the question on screen, right or wrong.
    void Answer(bool right) {
        const int digit = right ? screen->number() : (screen->number() + 1) % 10;
        ClickItem(screen.get(), "ComboBox2", digit);
        ClickItem(screen.get(), "ComboBox6", 0);
    }
    void Choose(int menu_item, int time_item) {
        ClickItem(screen.get(), "ComboBox1", menu_item);
        ClickItem(screen.get(), "ComboBox7", time_item);
    }
};

TEST_F(DrillMachineryTest, ShowMenuTimeAndStartPromptsAndCues) {
    EXPECT_EQ(Utf8(Prompt()), "メニューを選んでね！");
    EXPECT_FALSE(Find<QWidget>(screen.get(), "ComboBox2")->isVisible());
    ClickItem(screen.get(), "ComboBox1", 1);
    EXPECT_EQ(services.ctx.state.menu_choice, 2);
    EXPECT_EQ(Utf8(Prompt()), "時間を選んでね！");
    ClickItem(screen.get(), "ComboBox7", 1);
    EXPECT_EQ(screen->session().time_limit_seconds(), 300);
    EXPECT_EQ(Utf8(Prompt()), "「スタート」ボタンをおしてね！");
    Click(screen.get(), "CuteButton3");
    EXPECT_EQ(Prompt(), QString());
    EXPECT_TRUE(Countdown()->isActive());
    EXPECT_TRUE(Find<QWidget>(screen.get(), "ComboBox2")->isVisible());
    EXPECT_EQ(services.cues.cues(), (std::vector<unsigned>{11, 11, 11, 11}));
    EXPECT_EQ(services.ctx.state.question_count, 1);
}

TEST_F(DrillMachineryTest, FiveMinuteDrillTimesOutOnThe300thTick) {
    Choose(0, 1);
    services.clock.Set(10, 0, 0);
    Click(screen.get(), "CuteButton3");
    Answer(true);
    Click(screen.get(), "CuteButton4");  // the second question stays unjudged
    services.cues.clear();
    Tick(299);
    EXPECT_TRUE(services.dialogs.shown.empty());
    EXPECT_TRUE(ScoreLine()[0].isEmpty());
    services.clock.Set(10, 5, 0);
    Tick(1);
    EXPECT_EQ(services.cues.cues(), std::vector<unsigned>{13});
    ASSERT_EQ(services.dialogs.texts(), std::vector<std::string>{"時間だから、ドリルを終わるよ！"});
    EXPECT_FALSE(Countdown()->isActive());
    EXPECT_EQ(Utf8(ScoreLine().join("|")), "2 問|50 点|5 分 0 秒");
    EXPECT_EQ(LabelText(screen.get(), "Label5"), QString()) << "the worksheet numbers vanish";
    EXPECT_TRUE(Find<QWidget>(screen.get(), "ComboBox2")->isVisible()) << "lists stay";
}

TEST_F(DrillMachineryTest, ScoreSheetStopsTheCountdownForGood) {
    Choose(0, 1);
    Click(screen.get(), "CuteButton3");
    Tick(10);
    Click(screen.get(), "CuteButton6");
    EXPECT_FALSE(Countdown()->isActive());
    EXPECT_EQ(Utf8(Prompt()), "もう一度「成績表」ボタンをおすと、消えるよ！");
    auto* grid = Find<QWidget>(screen.get(), "DBGrid1");
    EXPECT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->y(), 130);
    Click(screen.get(), "CuteButton6");
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(Utf8(Prompt()), "おつかれさま！");
    EXPECT_FALSE(Countdown()->isActive()) << "hiding the sheet does not restart it";
    EXPECT_TRUE(services.dialogs.shown.empty());
}

TEST_F(DrillMachineryTest, AfterAWorksheetClearTheNextScoreSheetPressOnlyClearsTheFlag) {
    Click(screen.get(), "CuteButton6");
    auto* grid = Find<QWidget>(screen.get(), "DBGrid1");
    ASSERT_TRUE(grid->isVisible());
    ClickItem(screen.get(), "ComboBox1", 0);  // clears the worksheet, hides the grid
    EXPECT_FALSE(grid->isVisible());
    EXPECT_TRUE(services.ctx.state.score_sheet_shown);
    Click(screen.get(), "CuteButton6");
    EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(Utf8(Prompt()), "おつかれさま！");
    Click(screen.get(), "CuteButton6");
    EXPECT_TRUE(grid->isVisible());
}

TEST_F(DrillMachineryTest, UnjudgedQuestionsCountAsAskedAndNotRight) {
    Choose(0, 0);
    Click(screen.get(), "CuteButton3");
    Click(screen.get(), "CuteButton4");
    Click(screen.get(), "CuteButton4");
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine()[0]), "3 問");
    EXPECT_EQ(Utf8(ScoreLine()[1]), "0 点");
    EXPECT_TRUE(log->Rows().empty());
    EXPECT_EQ(Utf8(Prompt()), "おつかれさま！");
    EXPECT_EQ(services.cues.cues().back(), 19u);
}

TEST_F(DrillMachineryTest, TwoOfThreeRightGives66PointsAndEveryRowHasItsNumber) {
    Choose(0, 0);
    services.random.Feed({4, 2, 6});
    Click(screen.get(), "CuteButton3");
    Answer(true);
    EXPECT_EQ(Utf8(Prompt()), "「次へ」ボタンで 進めてね！");
    Click(screen.get(), "CuteButton4");
    Answer(false);
    Click(screen.get(), "CuteButton4");
    Answer(true);
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine()[1]), "66 点");
    const auto rows = log->Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].no, 1);
    EXPECT_EQ(rows[0].mnd, " 5");
    EXPECT_EQ(rows[0].hnt, "○");
    EXPECT_EQ(rows[1].no, 2);
    EXPECT_EQ(rows[1].hnt, "×");
    EXPECT_EQ(rows[2].no, 3);
}

TEST_F(DrillMachineryTest, AQuestionIsJudgedOnceAndNotAfterTheDrillFinished) {
    Choose(0, 0);
    Click(screen.get(), "CuteButton3");
    Answer(true);
    services.cues.clear();
    Answer(true);  // the same question again: ignored
    EXPECT_EQ(log->Rows().size(), 1u);
    EXPECT_TRUE(services.cues.calls.empty()) << "no second cue 12";
    Click(screen.get(), "CuteButton4");
    Click(screen.get(), "CuteButton5");
    Answer(true);  // after ストップ: ignored until 次へ
    EXPECT_EQ(log->Rows().size(), 1u);
    EXPECT_EQ(Utf8(ScoreLine()[1]), "50 点");
    Click(screen.get(), "CuteButton4");  // 次へ continues the same drill
    Answer(true);
    EXPECT_EQ(log->Rows().size(), 2u);
    EXPECT_EQ(log->Rows()[1].no, 3);
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine().join("|").section('|', 0, 1)), "3 問|66 点");
}

TEST_F(DrillMachineryTest, StartAndNextWithoutAMenuChoiceOnlyAskForOne) {
    {
        DrillLog earlier(log->path(), services.dialogs);
        earlier.AppendDrillRow({1, " 1", "1", "1", "○"});
    }
    services.ctx.state.menu_choice = 4;  // left by a screen with a longer menu
    services.cues.clear();
    Click(screen.get(), "CuteButton3");
    Click(screen.get(), "CuteButton4");
    EXPECT_EQ(Utf8(Prompt()), "メニューを選んでね！");
    EXPECT_EQ(services.ctx.state.question_count, 0);
    EXPECT_EQ(log->Rows().size(), 1u) << "the log is not cleared";
    EXPECT_FALSE(Countdown()->isActive());
    EXPECT_FALSE(Find<QWidget>(screen.get(), "ComboBox2")->isVisible());
    EXPECT_TRUE(services.cues.calls.empty());

    services.ctx.state.menu_choice = 3;  // within range: another screen's choice is used
    Click(screen.get(), "CuteButton3");
    EXPECT_EQ(services.ctx.state.question_count, 1);
}

TEST_F(DrillMachineryTest, StopBeforeAnyStartShowsZeroQuestionsAndPoints) {
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine().join("|")), "0 問|0 点|0 分 0 秒");
}

TEST_F(DrillMachineryTest, ADrillAcrossMidnightShowsThePositiveTime) {
    Choose(0, 0);
    services.clock.Set(23, 59, 50);
    Click(screen.get(), "CuteButton3");
    services.clock.Set(0, 0, 20);
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine()[2]), "0 分 30 秒");
}

TEST_F(DrillMachineryTest, LeavingTheScreenStopsItsCountdown) {
    Choose(0, 1);
    Click(screen.get(), "CuteButton3");
    ASSERT_TRUE(Countdown()->isActive());
    Click(screen.get(), "CuteButton2");
    EXPECT_FALSE(screen->isVisible());
    EXPECT_FALSE(Countdown()->isActive());
}

TEST_F(DrillMachineryTest, TheScoreSheetShowsTheLastDrillOfAnyScreen) {
    DigitDrill other(services.ctx, *log, "TForm5", TestProfile());
    other.ShowModeless();
    ClickItem(&other, "ComboBox1", 0);
    Click(&other, "CuteButton3");
    ClickItem(&other, "ComboBox2", other.number());
    ClickItem(&other, "ComboBox6", 0);
    other.hide();

    Click(screen.get(), "CuteButton6");
    auto* grid = Find<ScoreSheet>(screen.get(), "DBGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->Titles(), (QStringList{"Ｎｏ", "問題", "答え（正）", "○×"}));
    EXPECT_EQ(grid->RowTexts(0)[0], "1");
    EXPECT_EQ(grid->RowTexts(0)[3], "○");
}

TEST_F(DrillMachineryTest, ABrokenDatabaseIsToldOnceAndTheDrillGoesOn) {
    QFile garbage(log->path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(2048, 'z'));
    garbage.close();
    Choose(0, 0);
    Click(screen.get(), "CuteButton3");
    ASSERT_EQ(services.dialogs.shown.size(), 1u);
    EXPECT_TRUE(Find<QWidget>(screen.get(), "ComboBox2")->isVisible()) << "the question is set";
    Answer(true);
    EXPECT_EQ(services.dialogs.shown.size(), 1u);
    EXPECT_EQ(log->Rows().size(), 1u) << "the answer is in the fresh file";
    EXPECT_EQ(Utf8(Prompt()), "「次へ」ボタンで 進めてね！");
    Click(screen.get(), "CuteButton5");
    EXPECT_EQ(Utf8(ScoreLine()[1]), "100 点");
}

}  // namespace
}  // namespace sorelka
