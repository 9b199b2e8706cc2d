// The decimal division's screens as a pupil meets them: opened from the
// main menu and worked with the keyboard alone (Tab to a list, the digit
// keys, the arrows and Enter), every menu item answered with the taught
// work and with a buggy pupil's, お手本 played to its end, and a drill of
// five questions read back from the drill log and the learning record.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/program.h"
#include "core/quiet_services.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_drill_screen.h"
#include "decimal_division/decimal_division_layout.h"
#include "decimal_division/decimal_division_practice_screen.h"
#include "drill/drill_log.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "support/keyboard.h"
#include "support/screen_support.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimal_division {
namespace {

using namespace sorelka::testing;
using What = DecimalDivisionInput::What;

QString Name(const char* name) { return QString::fromLatin1(name); }
// The digit list of the long division's column 1 … 4.
QString DigitList(int column) { return Name(kDigitListNames[kDigitLists - column]); }
void Action(SheetAction action) { Pick(Name(kActionListName), static_cast<int>(action)); }

// One input of a pupil, as keys: a quotient digit typed into its column's
// list (in the tens when "十の位を選んでね！" refuses the ones) and a number
// digit by digit, each confirmed, unless the sheet refuses it for a 0 not
// yet written; a point's place picked in its list, an action picked in
// " 処理".
void Enter(const DecimalDivisionInput& input, FakeDialogs& dialogs) {
    QWidget* screen = QApplication::activeModalWidget();
    const auto refused = [screen] { return LabelText(screen, "Label2") == QString::fromUtf8(kAppendZeroText); };
    const auto digit = [&](int column, int value) {
        TabTo(DigitList(column));
        const std::size_t said = dialogs.shown.size();
        Key(Qt::Key_0 + value);
        if (dialogs.shown.size() > said && dialogs.shown.back().text == division::kRefuseOnesText) {
            TabTo(DigitList(division::kTens));
            Key(Qt::Key_0 + value);
        }
    };
    switch (input.what) {
        case What::Division: {
            const division::DivisionInput& d = input.division;
            switch (d.what) {
                case division::DivisionInput::Digit:
                    digit(d.place, d.value);
                    if (!refused()) Action(SheetAction::Confirm);
                    return;
                case division::DivisionInput::Skip: Action(SheetAction::Skip); return;
                case division::DivisionInput::Finish: Action(SheetAction::Finish); return;
                case division::DivisionInput::Number:
                case division::DivisionInput::Tried: {
                    const std::string number = std::to_string(d.value);
                    for (std::size_t i = 0; i < number.size(); ++i)
                        digit(static_cast<int>(number.size() - i), number[i] - '0');
                    if (d.what == division::DivisionInput::Number) Action(SheetAction::Confirm);
                    return;
                }
            }
            return;
        }
        case What::AppendZero: Action(SheetAction::AppendZero); return;
        case What::QuotientPoint: Pick(Name(kPointListName), input.value - 1); return;
        case What::RemainderPoint: Pick(Name(kRemainderPointListName), input.value - 1); return;
        case What::OnesZero: Action(SheetAction::OnesZero); return;
        case What::StartRounded: Action(SheetAction::StartRounded); return;
        case What::RoundedDigit: digit(input.place, input.value); return;
        case What::Finish: Action(SheetAction::Finish); return;
    }
}

void Work(const DecimalDivisionInputs& inputs, FakeDialogs& dialogs) {
    for (const DecimalDivisionInput& input : inputs) Enter(input, dialogs);
    Action(SheetAction::Finish);
}

// A text without the spaces and line breaks the panel lays it out with.
QString Unbroken(const QString& text) { return QString(text).remove(QRegularExpression(QStringLiteral("\\s"))); }

// The first buggy pupil, from `from` on, whose work on `problem` the
// diagnosis names by the pupil's own kind; with its inputs.
std::pair<DecimalDivisionPupilCase, DecimalDivisionInputs> BuggyPupilFor(const DecimalDivisionProblem& problem,
                                                                         std::size_t from) {
    const std::size_t n = std::size(kDecimalDivisionPupils);
    for (std::size_t i = 0; i < n; ++i) {
        const DecimalDivisionPupilCase& c = kDecimalDivisionPupils[(from + i) % n];
        if (!CanMakeMistake(c, problem)) continue;
        QuietContext quiet;
        const std::optional<DecimalDivisionInputs> inputs = InputsOf(c, problem, quiet.random);
        if (!inputs) continue;
        DecimalDivisionSteps steps(quiet.cues, quiet.dialogs, quiet.random);
        steps.StartProblem(problem);
        for (const DecimalDivisionInput& input : *inputs) steps.Feed(input);
        const Diagnosis found = DiagnoseDecimalDivisionWork(problem, steps.work());
        if (found && found->kind == c.kind) return {c, *inputs};
    }
    ADD_FAILURE() << "no buggy pupil for " << StoredProblemText(problem);
    return {kDecimalDivisionPupils[0], {}};
}

struct DecimalDivisionScreensTest : ::testing::Test {
    QTemporaryDir data;
    FakeServices fx;
    SeededRandom random{38};
    AppContext ctx{{}, fx.cues, fx.dialogs, fx.clock, random, fx.ctx.exe_folder, [] {}};
    std::unique_ptr<Program> program;

    void SetUp() override {
        program = std::make_unique<Program>(ctx, data.path() + "/kyozai.db");
        program->main_window()->show();
        QApplication::setActiveWindow(program->main_window());
    }
};

TEST_F(DecimalDivisionScreensTest, EveryMenuItemWorkedByKeysRightThenWrongThenTheWorkedExample) {
    std::vector<std::string> kinds;
    FromMenu("CuteButton15", [&](QWidget* shown) {
        auto* screen = qobject_cast<DecimalDivisionPracticeScreen*>(shown);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Utf8(screen->objectName()), "TForm14");
        EXPECT_EQ(Utf8(LabelText(screen, "Label1")), "７．小数のわり算：練習問題");
        EXPECT_TRUE(FocusIn("ComboBox1")) << "the screen opens on its menu";
        auto* panel = Find<DiagnosisPanel>(screen, "DiagnosisPanel");
        auto* player = screen->findChild<WorkedExamplePlayer*>();
        ASSERT_TRUE(panel && player);
        for (int item = 0; item < kMenuItems; ++item) {
            SCOPED_TRACE(item + 1);
            Pick("ComboBox1", item);
            const DecimalDivisionProblem right_problem = screen->model().steps().problem();
            EXPECT_TRUE(FitsMenuItem(right_problem, item + 1)) << StoredProblemText(right_problem);
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(right_problem, false)));
            Work(RightWorkInputs(right_problem), fx.dialogs);
            EXPECT_EQ(Utf8(LabelText(screen, "Label3")), "○") << StoredProblemText(right_problem);
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(right_problem, true)));
            EXPECT_FALSE(panel->isVisible());

            Press("CuteButton4");  // 次へ
            const DecimalDivisionProblem problem = screen->model().steps().problem();
            const auto [pupil, inputs] = BuggyPupilFor(problem, static_cast<std::size_t>(item) * 3);
            kinds.push_back(pupil.kind);
            Work(inputs, fx.dialogs);
            EXPECT_EQ(Utf8(LabelText(screen, "Label3")), "×") << pupil.kind;
            EXPECT_TRUE(panel->isVisible());
            EXPECT_TRUE(Unbroken(panel->text()).contains(
                Unbroken(QString::fromStdString(DecimalDivisionKindLabel(pupil.kind)))))
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
    for (std::size_t i = 0; i < history.size(); ++i) {
        EXPECT_EQ(history[i].topic, 7);
        EXPECT_EQ(history[i].mode, "practice");
        EXPECT_EQ(history[i].correct, i % 2 == 0);
        EXPECT_EQ(Utf8(history[i].error_kind), i % 2 == 0 ? "" : kinds[i / 2]);
    }
}

TEST_F(DecimalDivisionScreensTest, ADrillOfFiveQuestionsLandsInTheLogAndTheRecord) {
    std::vector<DecimalDivisionProblem> asked;
    const DecimalDivisionPupilCase reads_remainder_whole{DecimalDivisionPupil::RemainderWhole,
                                                         division::DivisionBug::None, kRemainderPoint};
    FromMenu("CuteButton16", [&](QWidget* shown) {
        auto* screen = qobject_cast<DecimalDivisionDrillScreen*>(shown);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Utf8(LabelText(screen, "Label1")), "７．小数のわり算：ドリル");
        Pick("ComboBox1", kRemainderMenu - 1);  // あまりを だす
        Pick("ComboBox9", 0);                   // no time limit
        Press("CuteButton3");                   // スタート
        for (int q = 1; q <= 5; ++q) {
            SCOPED_TRACE(q);
            if (q > 1) Press("CuteButton4");  // 次へ
            EXPECT_EQ(Utf8(LabelText(screen, "Label18")), "第 " + std::to_string(q) + " 問");
            const DecimalDivisionProblem problem = screen->steps().problem();
            asked.push_back(problem);
            EXPECT_EQ(LabelText(screen, "Label4"), QString::fromStdString(ProblemLine(problem, false)));
            // The third question with the remainder read as a whole number.
            Work(q == 3 ? InputsOf(reads_remainder_whole, problem, random).value_or(DecimalDivisionInputs{})
                        : RightWorkInputs(problem),
                 fx.dialogs);
        }
        Press("CuteButton5");  // ストップ
        EXPECT_EQ(Utf8(LabelText(screen, "Label15")), "80 点");
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
        EXPECT_TRUE(rows[q].mnd.starts_with(" " + DividendText(asked[q]) + " ÷ ")) << rows[q].mnd;
        EXPECT_NE(rows[q].mnd.find("あまり"), std::string::npos) << rows[q].mnd;
        EXPECT_EQ(rows[q].kai, " " + AnswerText(asked[q]));
        EXPECT_EQ(rows[q].hnt, right ? " ○" : " ×");
        EXPECT_EQ(rows[q].kot == rows[q].kai, right) << rows[q].kot;
        EXPECT_EQ(history[q].topic, 7);
        EXPECT_EQ(history[q].mode, "drill");
        EXPECT_EQ(history[q].problem.toStdString(), StoredProblemText(asked[q]));
        EXPECT_EQ(history[q].correct, right);
        EXPECT_EQ(Utf8(history[q].error_kind), right ? "" : kRemainderPoint);
    }
}

}  // namespace
}  // namespace sorelka::decimal_division
