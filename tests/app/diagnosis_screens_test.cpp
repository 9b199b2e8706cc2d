// The diagnosis of a wrong answer on the screens, worked through the widgets
// as a pupil enters it, with scripted draws and the real learning record: the
// practice panel names the kind and frames the first wrong cell, hides after
// "○", "次へ" and "クリア", and says when the kind has become a habit; the
// drills store the kind and show nothing new.
#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QAbstractButton>
#include <QTemporaryDir>
#include <functional>
#include <set>
#include <string>

#include "app/program.h"
#include "core/diagnosis_note.h"
#include "division/division_layout.h"
#include "division/division_practice_screen.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "support/program_screens.h"
#include "support/division_pupil.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/exercise_screen.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct DiagnosisScreens : ProgramScreens {
    // For a program that draws its own problems.
    SeededRandom seeded{25};
    AppContext seeded_ctx{{}, fx.cues, fx.dialogs, fx.clock, seeded, fx.ctx.exe_folder, [] {}};

    QLabel* Panel() { return screen->findChild<QLabel*>("DiagnosisPanel"); }
    QFrame* Marker() { return screen->findChild<QFrame*>("DiagnosisMarker"); }
    bool PanelShown() { return Panel() && Panel()->isVisible(); }
    bool MarkerShown() { return Marker() && Marker()->isVisible(); }
    QString PanelText() { return Panel() ? Panel()->text() : QString(); }

    // After "×": the label in the panel, its accessible name its text (on one line), the
    // frame around `cell` (a screen rectangle), and both clear of the screen.
    void ExpectShown(const QString& label, const QRect& cell) {
        ASSERT_TRUE(PanelShown());
        EXPECT_TRUE(PanelText().contains(label)) << Utf8(PanelText());
        EXPECT_EQ(Panel()->accessibleName(), PanelText().simplified()) << "heard as it reads";
        ASSERT_TRUE(MarkerShown());
        EXPECT_TRUE(Marker()->geometry().contains(cell)) << "the frame surrounds the cell";
        EXPECT_LT(Marker()->width(), cell.width() + 20);
        ExpectClear();
    }
    // The panel on nothing the screen shows (it may lie on blank paper and on
    // a cell with nothing written in it), the frame on no list or button.
    void ExpectClear() {
        for (QWidget* w : screen->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w == Panel() || w == Marker() || !w->isVisible() ||
                w->objectName() == "WorksheetPaper")
                continue;
            const auto* label = qobject_cast<QLabel*>(w);
            if (!(label && label->text().trimmed().isEmpty() && label->pixmap().isNull())) {
                EXPECT_FALSE(Panel()->geometry().intersects(w->geometry()))
                    << "the panel covers " << Utf8(w->objectName());
            }
            if (MarkerShown() && (qobject_cast<ChoiceList*>(w) || qobject_cast<QAbstractButton*>(w))) {
                EXPECT_FALSE(Marker()->geometry().intersects(w->geometry()))
                    << "the frame reaches over " << Utf8(w->objectName());
            }
        }
    }
    QRect CellOf(const char* name) { return Find<QWidget>(screen, name)->geometry(); }
    void ExpectHidden(const char* after) {
        EXPECT_FALSE(PanelShown()) << after;
        EXPECT_FALSE(MarkerShown()) << after;
    }
    record::HistoryRow LastRow() {
        const auto rows = program->learning_record().History();
        EXPECT_FALSE(rows.empty());
        return rows.empty() ? record::HistoryRow{} : rows.back();
    }
};

// ------------------------------------------------------------ division

const std::vector<const char*> kDivisionLists = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};

struct DivisionEntry {
    int quotient_place = 0;  // a quotient digit in that place, else a row number
    int value = 0;           // -1 with no place: "飛ばし"
    bool confirmed = true;   // a row number tried for "飛ばし" to clear is not
};

void WorkDivision(DiagnosisScreens& t, const std::vector<DivisionEntry>& entries) {
    for (const DivisionEntry& e : entries) {
        if (!e.quotient_place && e.value < 0) {
            t.Pick("ComboBox6", 2);  // 飛ばし
            continue;
        }
        if (e.quotient_place) {
            const QString before = LabelText(t.screen, "Label7");
            t.Pick(kDivisionLists[e.quotient_place - 1], e.value);
            // Asked for the tens instead, the pupil chooses the digit there.
            if (LabelText(t.screen, "Label7") == before) t.Pick(kDivisionLists[1], e.value);
        } else {
            t.Digits(e.value, kDivisionLists);
            if (!e.confirmed) continue;
        }
        t.Pick("ComboBox6", 0);  // 確定
    }
    t.Pick("ComboBox6", 6);  // 終わり
}

// 408 ÷ 4 answered 12 (the 0 left out), twice: the second time it is a habit.
const std::vector<DivisionEntry> kZeroLeftOut = {{3, 1}, {0, 4}, {0, 8}, {2, 2}, {0, 8}, {0, 0}};
// 745 ÷ 6 worked right.
const std::vector<DivisionEntry> kRightSevenFortyFive = {{3, 1}, {0, 6},  {0, 14}, {2, 2}, {0, 12},
                                                         {0, 25}, {1, 4}, {0, 24}, {0, 1}};

TEST_F(DiagnosisScreens, DivisionPracticeNamesTheMistakeFramesItsCellAndHidesAgain) {
    Open("TForm2");
    fx.random.Feed({5, 308, 2});
    Pick("ComboBox1", 0);
    WorkDivision(*this, kZeroLeftOut);
    ASSERT_EQ(LabelText(screen, "Label3"), "×");
    // The second digit of "12", where the 0 belongs.
    const QRect second_digit = CellOf("Label7").adjusted(30, 0, 0, 0);
    ExpectShown("商に０をたてわすれた", QRect(second_digit.topLeft(), QSize(30, second_digit.height())));
    EXPECT_TRUE(PanelText().simplified().contains("十の位に ０を たてわすれたよ")) << "read across its lines";
    EXPECT_FALSE(PanelText().contains(kHabitLine)) << "once is no habit";
    EXPECT_EQ(Utf8(LastRow().error_kind), "zero_missing");
    EXPECT_EQ(Utf8(LastRow().error_step), "quotient:2");

    fx.random.Feed({5, 308, 2});
    Click(screen, "CuteButton3");  // 次へ
    ExpectHidden("次へ");
    WorkDivision(*this, kZeroLeftOut);
    ExpectShown("商に０をたてわすれた", QRect(second_digit.topLeft(), QSize(30, second_digit.height())));
    EXPECT_TRUE(PanelText().simplified().endsWith(QString(kHabitLine).simplified()))
        << "twice among the last answers: a habit";

    Pick("ComboBox6", 4);  // クリア
    ExpectHidden("クリア");

    fx.random.Feed({5, 645, 4});
    Click(screen, "CuteButton3");
    WorkDivision(*this, kRightSevenFortyFive);
    ASSERT_EQ(LabelText(screen, "Label3"), "○");
    ExpectHidden("○");
    EXPECT_EQ(Utf8(LastRow().error_kind), "");
}

// A pupil's division as the division pupil works it, entered through the
// lists: "×", then the frame on the one wrong quotient digit or the wrong
// row's digits, clear of every list and button, and the panel clear of the
// worksheet. Problems of all three menus, until every buggy pupil has been
// met on quotients of one, two and three digits.
TEST_F(DiagnosisScreens, DivisionFramesOnlyTheWrongDigitsOnQuotientsOfEveryLength) {
    namespace dp = testing::division_pupil;
    program = std::make_unique<Program>(seeded_ctx, folder.path() + "/seeded.db");
    Open("TForm2");
    std::set<std::pair<std::size_t, int>> met;  // quotient length, mistake
    for (int i = 0; i < 90 && met.size() < 3 * std::size(dp::kBugs); ++i) {
        Pick("ComboBox1", i % 3);
        const int dividend = LabelText(screen, "Label5").toInt();
        const int divisor = LabelText(screen, "Label6").toInt();
        const division::DivisionProblem p{dividend, divisor, dividend / divisor, dividend % divisor, 0};
        const std::size_t length = std::to_string(p.quotient).size();
        for (const dp::BugCase& b : dp::kBugs) {
            if (met.count({length, int(b.bug)})) continue;
            const auto entries = dp::Pupil(p, b.bug, i % 3 + 1);
            if (!entries) continue;
            Pick("ComboBox6", 4);  // クリア
            std::vector<DivisionEntry> clicks;
            for (const dp::Entry& e : *entries) {
                if (e.what == dp::Entry::Skip) clicks.push_back({0, -1});
                else clicks.push_back({e.what == dp::Entry::Digit ? e.place : 0, e.value, e.what != dp::Entry::Tried});
            }
            WorkDivision(*this, clicks);
            if (LabelText(screen, "Label3") != "×") continue;  // the mistake changed nothing
            SCOPED_TRACE(Utf8(LabelText(screen, "Label4") + " " + PanelText()));
            met.insert({length, int(b.bug)});
            ExpectClear();
            // The step the screen's worksheet is diagnosed at, the quotient
            // read over the columns it stands in.
            const Worksheet& sheet = static_cast<division::DivisionPracticeScreen*>(screen)->model().worksheet();
            const Diagnosis d = division::DiagnoseDivision(p, division::DivisionWorkedRows(sheet));
            ASSERT_TRUE(d.has_value());
            const std::string step = d->step;
            ASSERT_TRUE(PanelShown());
            ASSERT_EQ(MarkerShown(), !step.empty());
            if (step.empty()) continue;
            const QRect frame = Marker()->geometry().adjusted(3, 3, -3, -3);
            if (step.starts_with("quotient:")) {
                // One digit column of the quotient, where that digit stands.
                const auto* quotient = Find<QLabel>(screen, "Label7");
                const int column = std::stoi(step.substr(9)) - 1;
                EXPECT_LE(frame.width(), 30);
                EXPECT_EQ(frame.left(), quotient->x() + 30 * column);
            } else {
                // A row: its written digits.
                const std::string name = division::DivisionObjectName(division::DivisionStepCell(step));
                const auto* row = Find<QLabel>(screen, QString::fromStdString(name));
                EXPECT_LE(frame.width(), 30 * std::max<int>(1, row->text().size()));
                EXPECT_TRUE(frame.intersects(row->geometry()));
            }
        }
        Click(screen, "CuteButton3");  // 次へ
    }
    for (std::size_t length = 1; length <= 3; ++length)
        for (const dp::BugCase& b : dp::kBugs)
            // A one-digit quotient has no 0 inside, no second place and nothing
            // left to bring down; a first digit a column too high reads as the
            // right quotient, which the screen judges by its number.
            if (b.bug != dp::Bug::PlaceLeft &&
                !(length == 1 && (b.bug == dp::Bug::ZeroMissing || b.bug == dp::Bug::PlaceRight ||
                                  b.bug == dp::Bug::BringDown))) {
                EXPECT_TRUE(met.count({length, int(b.bug)})) << b.name << " on a quotient of " << length;
            }
}

// ------------------------------------------------------------ decimals

TEST_F(DiagnosisScreens, DecimalPracticeFramesTheAnswerDigitOfTheFirstWrongColumn) {
    struct Case {
        const char* form;
        std::vector<int> draws;  // two decimal places
        int answer;              // hundredths
        const char* label;
        int from_right;          // the framed column: 0 hundredths, 1 tenths, 2 ones
    };
    const Case cases[] = {
        {"TForm4", {0, 344, 177}, 513, "くり上がりをわすれた", 1},    // 3.45 + 1.78
        {"TForm6", {0, 501, 136}, 475, "くり下がりをわすれた", 1},    // 5.02 - 1.37
        {"TForm6", {0, 730, 257}, 527, "ひけないので上下を入れかえてひいた", 0},  // 7.31 - 2.58
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form + std::string(" ") + c.label);
        Open(c.form);
        fx.random.Feed(c.draws);
        Pick("ComboBox1", 1);
        Digits(c.answer, {"ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"});
        Pick("ComboBox7", 0);  // 終わり
        ASSERT_EQ(LabelText(screen, "Label3"), "×");
        // The answer "5.13": digits 30 pixels wide, the point 8, right-aligned.
        const QRect answer = CellOf("Label7");
        const int right = answer.right() + 1;
        const int left = right - 30 * (c.from_right + 1) - (c.from_right >= 2 ? 8 : 0);
        ExpectShown(c.label, QRect(left, answer.top(), 30, answer.height()));

        fx.random.Feed(c.draws);
        Click(screen, "CuteButton4");  // 次へ
        ExpectHidden("次へ");
    }
    EXPECT_EQ(Utf8(LastRow().error_kind), "smaller_from_larger");
    EXPECT_EQ(Utf8(LastRow().error_step), "column:hundredths");
}

// ------------------------------------------------------------ rules

TEST_F(DiagnosisScreens, RulesPracticeFramesTheCalculationChosenForTheBox) {
    Open("TForm8");
    const std::vector<const char*> lists = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
    fx.random.Feed({0, 4, 7, 1, 4});  // □ + 25 = 83
    Pick("ComboBox1", 3);
    Pick("ComboBox7", 0);  // ＋: 83 + 25
    Digits(108, lists);
    Pick("ComboBox6", 4);  // 終わり
    ASSERT_EQ(LabelText(screen, "Label21"), "×");
    ExpectShown("□を求める計算がちがう", CellOf("Label7"));
    EXPECT_EQ(Utf8(LastRow().error_kind), "inverse_operation");

    Pick("ComboBox6", 2);  // クリア
    ExpectHidden("クリア");
    Pick("ComboBox7", 1);  // －: 83 - 25
    Digits(58, lists);
    Pick("ComboBox6", 4);
    ASSERT_EQ(LabelText(screen, "Label21"), "○");
    ExpectHidden("○");
}

// The last calculation a division: the frame stands on the one quotient
// digit that went wrong, of a two-digit and of a one-digit quotient, clear
// of the lists beside the division.
TEST_F(DiagnosisScreens, RulesFramesTheWrongQuotientDigitClearOfTheLists) {
    Open("TForm8");
    const std::vector<const char*> lists = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
    const auto confirm = [&] { Pick("ComboBox6", 0); };
    struct Case {
        const char* what;
        int menu;
        std::vector<int> draws;
        std::function<void()> work;
    };
    const Case cases[] = {
        {"□ x 7 = 84 worked as 84 ÷ 7 with 2 in the tens", 3, {4, 0, 1, 5},
         [&] {
             Pick("ComboBox7", 3);  // ÷
             Pick("ComboBox3", 2);
             confirm();
             Digits(14, lists);
             confirm();
             Digits(6, lists);
             Pick("ComboBox6", 4);  // 終わり
         }},
        {"12 x 6 ÷ 9 with 72 ÷ 9 = 9", 2, {5, 11, 4, 7},
         [&] {
             Digits(72, lists);
             Pick("ComboBox6", 4);
             Pick("ComboBox2", 9);
             confirm();
             Digits(81, lists);
             confirm();
             Digits(9, lists);
             Pick("ComboBox6", 4);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fx.random.Feed(c.draws);
        Pick("ComboBox1", c.menu);
        c.work();
        ASSERT_EQ(LabelText(screen, "Label21"), "×");
        EXPECT_NE(Utf8(LastRow().error_step).find("kind:quotient_too_big/quotient:1/cell:Label16"),
                  std::string::npos)
            << Utf8(LastRow().error_step);
        const QWidget* quotient = Find<QWidget>(screen, "Label16");
        ExpectShown("商が大きすぎる", QRect(quotient->x(), quotient->y(), 28, quotient->height()));
        EXPECT_LE(Marker()->width(), 28 + 6) << "one digit column";
    }
}

// ------------------------------------------------------------ fractions

TEST_F(DiagnosisScreens, FractionPracticeFramesTheWrongSlot) {
    Open("TForm10");
    auto enter = [&](int value, int action) {
        Pick("ComboBox3", value / 10);
        Pick("ComboBox2", value % 10);
        Pick("ComboBox4", action);
    };
    fx.random.Feed({1, 6, 1});  // 2 2/8 as an improper fraction
    Pick("ComboBox1", 1);
    enter(8, 1);  // 分母
    enter(4, 2);  // 分子
    Pick("ComboBox4", 4);  // 終わり
    ASSERT_EQ(LabelText(screen, "Label3"), "×");
    // Around the numerator's figure, clear of the bar under it.
    ExpectShown("整数×分母をわすれた", CellOf("Label9").adjusted(0, 0, 0, -6));
    EXPECT_FALSE(Marker()->geometry().intersects(CellOf("Shape2"))) << "the bar stays in sight";
    EXPECT_EQ(Utf8(LastRow().error_kind), "whole_not_multiplied");

    enter(18, 2);  // the numerator written again
    ExpectHidden("another entry");
    Pick("ComboBox4", 4);
    ASSERT_EQ(LabelText(screen, "Label3"), "○");
    ExpectHidden("○");

    fx.random.Feed({1, 6, 1});
    Click(screen, "CuteButton4");  // 次へ
    enter(8, 1);
    enter(4, 2);
    Pick("ComboBox4", 4);
    ASSERT_TRUE(PanelShown());
    fx.random.Feed({1, 6, 1});
    Click(screen, "CuteButton4");
    ExpectHidden("次へ");
}

// ------------------------------------------------------------ drills

// Each drill stores the kind of its fixture's mistake in the learning record
// and has no panel or frame of its own.
TEST_F(DiagnosisScreens, DrillsStoreTheKindAndShowNothingNew) {
    struct Case {
        const char* form;
        int menu_item;
        const char* time_list;
        std::vector<int> draws;
        std::function<void(DiagnosisScreens&)> work;
        const char* kind;
        const char* step;
    };
    const std::vector<const char*> rules_lists = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
    const Case cases[] = {
        {"TForm3", 0, "ComboBox7", {5, 308, 2},
         [](DiagnosisScreens& t) { WorkDivision(t, kZeroLeftOut); }, "zero_missing", "quotient:2"},
        {"TForm5", 1, "ComboBox8", {0, 344, 177},
         [](DiagnosisScreens& t) {
             t.Digits(513, {"ComboBox3", "ComboBox4", "ComboBox5"});
             t.Pick("ComboBox7", 0);
         },
         "carry_missing", "column:tenths"},
        {"TForm7", 1, "ComboBox8", {0, 501, 136},
         [](DiagnosisScreens& t) {
             t.Digits(475, {"ComboBox3", "ComboBox4", "ComboBox5"});
             t.Pick("ComboBox7", 0);
         },
         "borrow_missing", "column:tenths"},
        {"TForm9", 3, "ComboBox8", {0, 2, 4, 1, 2},  // □ + 23 = 58 worked as 58 + 23
         [&](DiagnosisScreens& t) {
             t.Pick("ComboBox7", 0);
             t.Digits(81, rules_lists);
             t.Pick("ComboBox6", 4);
         },
         "inverse_operation", "calc:1/cell:Label7"},
        {"TForm11", 0, "ComboBox5", {2, 1, 2},  // 11/4 answered 3 3/4
         [](DiagnosisScreens& t) {
             for (auto [value, action] : {std::pair{3, 0}, {3, 2}, {4, 1}}) {
                 t.Pick("ComboBox3", value / 10);
                 t.Pick("ComboBox2", value % 10);
                 t.Pick("ComboBox4", action);
             }
             t.Pick("ComboBox4", 4);
         },
         "whole_part", "part:whole"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        Open(c.form);
        const int widgets = screen->findChildren<QWidget*>().size();
        Pick("ComboBox1", c.menu_item);
        Pick(c.time_list, 0);
        fx.random.Feed(c.draws);
        Click(screen, "CuteButton3");  // スタート
        c.work(*this);
        const record::HistoryRow row = LastRow();
        EXPECT_EQ(Utf8(row.mode), "drill");
        EXPECT_FALSE(row.correct);
        EXPECT_EQ(Utf8(row.error_kind), c.kind);
        EXPECT_EQ(Utf8(row.error_step), c.step);
        EXPECT_EQ(Panel(), nullptr);
        EXPECT_EQ(Marker(), nullptr);
        EXPECT_EQ(screen->findChildren<QWidget*>().size(), widgets) << "no new widget";
        Click(screen, "CuteButton5");  // ストップ
    }
}

}  // namespace
}  // namespace sorelka
