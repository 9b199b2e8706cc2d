// The decimal multiplication's screens as a pupil meets them: opened from
// the main menu and worked with the keyboard alone (Tab to a list, the digit
// keys, the arrows and Enter), every menu item answered with the taught work
// and with a buggy pupil's, お手本 played to its end, and a drill of five
// questions read back from the drill log and the learning record.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/main_window.h"
#include "app/program.h"
#include "drill/drill_log.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_drill_screen.h"
#include "multiplication/multiplication_practice_screen.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "support/keyboard.h"
#include "support/screen_support.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/worked_example_player.h"

namespace sorelka::multiplication {
namespace {

using namespace sorelka::testing;

// One input of a pupil, as keys: a digit typed into its column's list, the
// point's place picked in "小数点", an action picked in " 処理".
void Enter(const MultiplicationInput& input) {
    using What = MultiplicationInput::What;
    const QString actions = QString::fromLatin1(kActionListName);
    switch (input.what) {
        case What::Digit:
            TabTo(QString::fromLatin1(kDigitListNames[kColumns - 1 - input.column]));
            Key(Qt::Key_0 + input.value);
            break;
        case What::Point: Pick(QString::fromLatin1(kPointListName), input.value - 1); break;
        case What::Confirm: Pick(actions, 0); break;
        case What::StrikeZero: Pick(actions, 1); break;
        case What::OnesZero: Pick(actions, 2); break;
        case What::Clear: Pick(actions, 3); break;
        case What::Finish: Pick(actions, 4); break;
    }
}

void Work(const MultiplicationWork& work) {
    for (const MultiplicationInput& input : InputsOf(work)) Enter(input);
}

// A text without the spaces and line breaks the panel lays it out with.
QString Unbroken(const QString& text) { return QString(text).remove(QRegularExpression(QStringLiteral("\\s"))); }
QString Unbroken(const std::string& text) { return Unbroken(QString::fromStdString(text)); }

// The first buggy pupil, from `from` on, whose mistake `problem` gives a place.
MultiplicationPupilCase BuggyPupilFor(const MultiplicationProblem& problem, std::size_t from) {
    const std::size_t n = std::size(kMultiplicationPupils);
    for (std::size_t i = 0; i < n; ++i) {
        const MultiplicationPupilCase& c = kMultiplicationPupils[(from + i) % n];
        if (CanMakeMistake(c.pupil, problem)) return c;
    }
    return kMultiplicationPupils[0];
}

struct MultiplicationScreensTest : ::testing::Test {
    QTemporaryDir data;
    FakeServices fx;
    SeededRandom random{37};
    AppContext ctx{{}, fx.cues, fx.dialogs, fx.clock, random, fx.ctx.exe_folder, [] {}};
    std::unique_ptr<Program> program;

    void SetUp() override {
        program = std::make_unique<Program>(ctx, data.path() + "/kyozai.db");
        program->main_window()->show();
        QApplication::setActiveWindow(program->main_window());
    }
};

TEST_F(MultiplicationScreensTest, EveryMenuItemWorkedByKeysRightThenWrongThenTheWorkedExample) {
    FromMenu("CuteButton13", [&](QWidget* shown) {
        auto* screen = qobject_cast<MultiplicationPracticeScreen*>(shown);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Utf8(screen->objectName()), "TForm12");
        EXPECT_EQ(Utf8(LabelText(screen, "Label1")), "６．小数のかけ算：練習問題");
        EXPECT_TRUE(FocusIn("ComboBox1")) << "the screen opens on its menu";
        auto* panel = Find<DiagnosisPanel>(screen, "DiagnosisPanel");
        auto* player = screen->findChild<WorkedExamplePlayer*>();
        ASSERT_TRUE(panel && player);
        for (int item = 0; item < kMenuItems; ++item) {
            SCOPED_TRACE(item + 1);
            Pick("ComboBox1", item);
            const MultiplicationProblem right_problem = screen->model().steps().problem();
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(right_problem, false)));
            EXPECT_TRUE(LabelText(screen, "Label4").contains(QStringLiteral("×")));
            Work(RightWork(right_problem));
            EXPECT_EQ(Utf8(LabelText(screen, "Label3")), "○");
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(right_problem, true)));
            EXPECT_FALSE(panel->isVisible());

            Press("CuteButton4");  // 次へ
            const MultiplicationProblem problem = screen->model().steps().problem();
            const MultiplicationPupilCase pupil = BuggyPupilFor(problem, static_cast<std::size_t>(item) * 3);
            Work(WorkOf(pupil.pupil, problem, random));
            EXPECT_EQ(Utf8(LabelText(screen, "Label3")), "×") << pupil.kind;
            EXPECT_TRUE(panel->isVisible());
            EXPECT_TRUE(Unbroken(panel->text()).contains(Unbroken(MultiplicationKindLabel(pupil.kind))))
                << pupil.kind << ": " << Utf8(panel->text());

            Press("WorkedExample");  // お手本
            ASSERT_TRUE(player->showing());
            while (!player->at_end()) player->Next();
            EXPECT_EQ(LabelText(screen, "Label2"), QString::fromStdString(WideFact(problem)));
        }
    });
    // Each menu item's two answers, in the learning record with the kind of the wrong one.
    const std::vector<record::HistoryRow> history = program->learning_record().History();
    ASSERT_EQ(history.size(), 2u * kMenuItems);
    for (const record::HistoryRow& row : history) {
        EXPECT_EQ(row.topic, 6);
        EXPECT_EQ(row.mode, "practice");
        EXPECT_EQ(row.correct, row.error_kind.isEmpty());
    }
}

TEST_F(MultiplicationScreensTest, ADrillOfFiveQuestionsLandsInTheLogAndTheRecord) {
    std::vector<MultiplicationProblem> asked;
    FromMenu("CuteButton14", [&](QWidget* shown) {
        auto* screen = qobject_cast<MultiplicationDrillScreen*>(shown);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Utf8(LabelText(screen, "Label1")), "６．小数のかけ算：ドリル");
        Pick("ComboBox1", 1);  // 小数 × ２けた
        Pick("ComboBox8", 0);  // no time limit
        Press("CuteButton3");  // スタート
        for (int q = 1; q <= 5; ++q) {
            SCOPED_TRACE(q);
            if (q > 1) Press("CuteButton4");  // 次へ
            EXPECT_EQ(Utf8(LabelText(screen, "Label7")), "第 " + std::to_string(q) + " 問");
            const MultiplicationProblem problem = screen->steps().problem();
            asked.push_back(problem);
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(problem, false)));
            // The third question answered with a row not shifted.
            Work(q == 3 ? WorkOf(MultiplicationPupil::DoesNotShift, problem, random) : RightWork(problem));
        }
        Press("CuteButton5");  // ストップ
        EXPECT_EQ(Utf8(LabelText(screen, "Label16")), "80 点");
        Press("CuteButton6");  // 成績表
        EXPECT_TRUE(Find<QWidget>(screen, "DBGrid1")->isVisible());
    });
    const std::vector<DrillRow> rows = program->drill_log().Rows();
    const std::vector<record::HistoryRow> history = program->learning_record().History();
    ASSERT_EQ(rows.size(), 5u);
    ASSERT_EQ(history.size(), 5u);
    for (int q = 0; q < 5; ++q) {
        SCOPED_TRACE(q + 1);
        const bool right = q != 2;
        EXPECT_EQ(rows[q].no, q + 1);
        EXPECT_EQ(rows[q].mnd, " " + StoredProblemText(asked[q]));
        EXPECT_EQ(rows[q].kai, " " + ProductText(asked[q]));
        EXPECT_EQ(rows[q].hnt, right ? " ○" : " ×");
        EXPECT_EQ(history[q].topic, 6);
        EXPECT_EQ(history[q].mode, "drill");
        EXPECT_EQ(history[q].problem.toStdString(), StoredProblemText(asked[q]));
        EXPECT_EQ(history[q].correct, right);
        EXPECT_EQ(Utf8(history[q].error_kind), right ? "" : kRowNotShifted);
    }
}

}  // namespace
}  // namespace sorelka::multiplication
