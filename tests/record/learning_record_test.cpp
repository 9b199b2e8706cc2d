// The learning record through real SQLite files: names, pupils, the history
// row of every judged problem on the fourteen screens, drills and their figures,
// and an old record file upgraded with its rows kept.
#include "record/learning_record.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <functional>

#include "app/main_window.h"
#include "app/program.h"
#include "app/pupil_dialog.h"
#include "coach/skill_catalogue.h"
#include "drill/drill_log.h"
#include "drill/drill_screen.h"
#include "record/record_store.h"
#include "record/schema.h"
#include "support/fakes.h"
#include "support/old_record_file.h"
#include "support/screen_support.h"
#include "widgets/exercise_screen.h"
#include "widgets/status_clock.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct ProgramFixture : ::testing::Test {
    QTemporaryDir folder;
    FakeServices fx;
    std::unique_ptr<Program> program;

    void SetUp() override {
        program = std::make_unique<Program>(fx.ctx, folder.path() + "/kyozai.db");
    }
    void TearDown() override { program.reset(); }

    record::LearningRecord& record() { return program->learning_record(); }
    ExerciseScreen* Screen(const char* name) {
        for (ExerciseScreen* s : program->screens())
            if (s->objectName() == name) return s;
        ADD_FAILURE() << "no screen " << name;
        return nullptr;
    }
    // Opens PupilDialog without blocking, as the program shows it.
    std::unique_ptr<PupilDialog> OpenDialog() {
        auto dialog = std::make_unique<PupilDialog>(record(), nullptr);
        dialog->show();
        return dialog;
    }
    void Add(PupilDialog* dialog, const QString& name) {
        Find<QLineEdit>(dialog, "NewPupilName")->setText(name);
        Click(dialog, "AddPupilButton");
    }
};

// ---------------------------------------------------------------- names

TEST_F(ProgramFixture, NamesAreStoredAndShownLiterallyAndBadOnesRefusedInJapanese) {
    const QString twenty_kanji = QString(20, QChar(0x6F22));  // 漢 × 20
    struct Case {
        QString typed;
        QString stored;  // empty: refused
        QString message;
    };
    const Case cases[] = {
        {"たなか はなこ", "たなか はなこ", "「たなか はなこ」を ふやしたよ！"},
        {"Émile", "Émile", "「Émile」を ふやしたよ！"},
        {"  O'Brien ", "O'Brien", "「O'Brien」を ふやしたよ！"},
        {"'); DROP TABLE pupils;--", "", "なまえは20文字までだよ！"},  // 24 characters
        {"');DROP TABLE pupils", "');DROP TABLE pupils", "「');DROP TABLE pupils」を ふやしたよ！"},
        {"<b>Tom & Jerry</b>", "<b>Tom & Jerry</b>", "「<b>Tom & Jerry</b>」を ふやしたよ！"},
        {twenty_kanji, twenty_kanji, "「" + twenty_kanji + "」を ふやしたよ！"},
        {"", "", "なまえを入れてね！"},
        {"   ", "", "なまえを入れてね！"},
        {"　　", "", "なまえを入れてね！"},
        {"たなか はなこ", "", "「たなか はなこ」は、もういるよ！"},
        {twenty_kanji + "a", "", "なまえは20文字までだよ！"},
        {"ゲスト", "", "「ゲスト」は、なまえにできないよ！"},
        // Invisible or reordering characters hide what a teacher reads.
        {"は\u200Bなこ", "", "なまえに つかえない 文字が はいっているよ！"},
        {"はな\u202Eこ", "", "なまえに つかえない 文字が はいっているよ！"},
        {"はな\tこ", "", "なまえに つかえない 文字が はいっているよ！"},
        // One spelling per name: か and a combining ゛ are stored as が.
        {"か\u3099", "が", "「が」を ふやしたよ！"},
        {"が", "", "「が」は、もういるよ！"},
    };
    auto dialog = OpenDialog();
    QStringList expected;
    for (const Case& c : cases) {
        Add(dialog.get(), c.typed);
        EXPECT_EQ(Utf8(LabelText(dialog.get(), "PupilMessage")), Utf8(c.message)) << Utf8(c.typed);
        if (!c.stored.isEmpty()) expected << c.stored;
        EXPECT_EQ(Utf8(record().Pupils().join('|')), Utf8(expected.join('|'))) << Utf8(c.typed);
    }
    // One button per name with the name as written, then the guest.
    for (int i = 0; i < expected.size(); ++i) {
        auto* button = Find<QAbstractButton>(dialog.get(), QStringLiteral("PupilButton%1").arg(i + 1));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(Utf8(button->text().replace("&&", "&")), Utf8(expected[i]));
        EXPECT_GE(button->height(), 56) << "large enough for a child's click";
    }
    EXPECT_EQ(Find<QAbstractButton>(dialog.get(), "GuestButton")->text(), "ゲスト");
    QSqlQuery q(program->record_store().database());
    EXPECT_TRUE(q.exec("select count(*) from pupils")) << "the pupils table is still there";
}

TEST_F(ProgramFixture, ThePupilChosenIsShownEverywhereRecordedAndRemembered) {
    auto* menu = program->main_window();
    auto* bar = Find<StatusClockBar>(menu, "StatusBar1");
    EXPECT_EQ(bar->panel_text(0), "なまえ：ゲスト") << "an empty roster: the guest";

    // The panel and the menu item both ask to choose.
    int asked = 0;
    fx.ctx.choose_pupil = [&] { ++asked; };
    QTest::mouseClick(bar->findChild<QWidget*>("Panel0"), Qt::LeftButton);
    menu->findChild<QAction*>("ChoosePupil1")->trigger();
    ExerciseScreen* practice = Screen("TForm2");
    practice->ShowModeless();
    auto* screen_bar = Find<StatusClockBar>(practice, "StatusBar1");
    QTest::mouseClick(screen_bar->findChild<QWidget*>("Panel0"), Qt::LeftButton);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(screen_bar->panel_text(0), "なまえ：ゲスト");

    // A guest's answer, then はなこ's, then たろう's.
    auto answer = [&] {
        fx.random.Feed({5, 645, 4});  // 745 ÷ 6
        ClickItem(practice, "ComboBox1", 0);
        ClickItem(practice, "ComboBox4", 1);
        ClickItem(practice, "ComboBox6", 6);  // 終わり: 100 is wrong
    };
    answer();
    auto dialog = OpenDialog();
    Add(dialog.get(), "はなこ");
    Add(dialog.get(), "たろう");
    Click(dialog.get(), "PupilButton1");
    EXPECT_FALSE(dialog->isVisible()) << "a choice closes the dialog";
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    practice->ShowModeless();
    EXPECT_EQ(screen_bar->panel_text(0), "なまえ：はなこ");
    menu->ShowPupil();
    EXPECT_EQ(bar->panel_text(0), "なまえ：はなこ");
    answer();
    dialog = OpenDialog();
    Click(dialog.get(), "PupilButton2");
    answer();
    dialog = OpenDialog();
    Click(dialog.get(), "GuestButton");
    answer();
    QStringList pupils;
    for (const record::HistoryRow& row : record().History()) pupils << row.pupil;
    EXPECT_EQ(pupils, (QStringList{"", "はなこ", "たろう", ""}));

    // The choice outlives the program; a name gone from the roster is the guest.
    record().ChoosePupil("たろう");
    program.reset();
    program = std::make_unique<Program>(fx.ctx, folder.path() + "/kyozai.db");
    EXPECT_EQ(record().shown_name(), "たろう");
    EXPECT_EQ(Find<StatusClockBar>(program->main_window(), "StatusBar1")->panel_text(0),
              "なまえ：たろう");
    QSqlQuery(program->record_store().database()).exec("delete from pupils where name = 'たろう'");
    program.reset();
    program = std::make_unique<Program>(fx.ctx, folder.path() + "/kyozai.db");
    EXPECT_EQ(record().shown_name(), "ゲスト");
}

// ---------------------------------------------------------------- the fourteen screens

struct ScreenCase {
    const char* form;
    int topic;
    bool drill;
    int menu_item;
    const char* time_list;  // drills only
    std::vector<int> draws;
    // The pupil's work after the problem is shown, ending with "終わり".
    std::function<void(QWidget*)> work;
    const char* finish_list;
    int finish_item;
    QString problem;
    QString right_answer;
    QString entered_answer;
    bool correct;
    // One cell the worked rows must hold.
    QString cell;
    QString cell_text;
};

void Digits(QWidget* s, std::initializer_list<std::pair<const char*, int>> clicks) {
    for (const auto& [list, item] : clicks) ClickItem(s, list, item);
}

// 745 ÷ 6 written out in full on the division worksheet.
void Work745(QWidget* s) {
    const std::initializer_list<std::pair<const char*, int>> steps = {
        {"ComboBox4", 1}, {"ComboBox6", 0}, {"ComboBox2", 6}, {"ComboBox6", 0},
        {"ComboBox3", 1}, {"ComboBox2", 4}, {"ComboBox6", 0}, {"ComboBox3", 2},
        {"ComboBox6", 0}, {"ComboBox3", 1}, {"ComboBox2", 2}, {"ComboBox6", 0},
        {"ComboBox3", 2}, {"ComboBox2", 5}, {"ComboBox6", 0}, {"ComboBox2", 4},
        {"ComboBox6", 0}, {"ComboBox3", 2}, {"ComboBox2", 4}, {"ComboBox6", 0},
        {"ComboBox2", 1}};
    Digits(s, steps);
}
void WorkParentheses(QWidget* s) {  // 735 - ( 123 + 456 ) = 156
    Digits(s, {{"ComboBox4", 5}, {"ComboBox3", 7}, {"ComboBox2", 9}, {"ComboBox6", 4},
               {"ComboBox4", 1}, {"ComboBox3", 5}, {"ComboBox2", 6}});
}
// 72 ÷ 3 = 24 on the long division's lists, the quotient's point one place
// from the right: 7.2 ÷ 3 = 2.4.
void Work72(QWidget* s) {
    Digits(s, {{"ComboBox3", 2}, {"ComboBox6", 0}, {"ComboBox2", 6}, {"ComboBox6", 0}, {"ComboBox3", 1},
               {"ComboBox2", 2}, {"ComboBox6", 0}, {"ComboBox2", 4}, {"ComboBox6", 0}, {"ComboBox3", 1},
               {"ComboBox2", 2}, {"ComboBox6", 0}, {"ComboBox2", 0}, {"ComboBox7", 0}});
}
// 75 ÷ 4 = 18 あまり 3, the quotient's point chosen, the remainder's not:
// 7.5 ÷ 4 read as 1.8 あまり 3.
void Work75(QWidget* s) {
    Digits(s, {{"ComboBox3", 1}, {"ComboBox6", 0}, {"ComboBox2", 4}, {"ComboBox6", 0}, {"ComboBox3", 3},
               {"ComboBox2", 5}, {"ComboBox6", 0}, {"ComboBox2", 8}, {"ComboBox6", 0}, {"ComboBox3", 3},
               {"ComboBox2", 2}, {"ComboBox6", 0}, {"ComboBox2", 3}, {"ComboBox7", 0}});
}
void WorkFraction(QWidget* s, int whole, int numerator, int denominator) {
    Digits(s, {{"ComboBox3", 0}, {"ComboBox2", whole}, {"ComboBox4", 0},
               {"ComboBox3", 0}, {"ComboBox2", numerator}, {"ComboBox4", 2},
               {"ComboBox3", 0}, {"ComboBox2", denominator}, {"ComboBox4", 1}});
}

const std::vector<ScreenCase>& ScreenCases() {
    static const std::vector<ScreenCase> cases = {
        {"TForm2", 1, false, 0, "", {5, 645, 4}, Work745, "ComboBox6", 6,
         "745 ÷ 6", "124 あまり 1", "124 あまり 1", true, "Label7", "124"},
        {"TForm3", 1, true, 0, "ComboBox7", {5, 645, 4},
         [](QWidget* s) { Work745(s); Digits(s, {{"ComboBox2", 3}}); }, "ComboBox6", 6,
         "745 ÷ 6", "124 あまり 1", "124 あまり 3", false, "Label7", "124"},
        {"TForm4", 2, false, 1, "", {0, 234, 139},
         [](QWidget* s) { Digits(s, {{"ComboBox5", 3}, {"ComboBox4", 7}, {"ComboBox3", 5}}); },
         "ComboBox7", 0, "2.35 ＋ 1.4", "3.75", "3.75", true, "Label5", "2.35"},
        {"TForm5", 2, true, 0, "ComboBox8", {0, 2, 6},
         [](QWidget* s) { Digits(s, {{"ComboBox5", 1}, {"ComboBox4", 0}}); }, "ComboBox7", 0,
         "0.3 ＋ 0.7", "1", "1", true, "Label7", "1"},
        {"TForm6", 3, false, 0, "", {0, 51, 48},
         [](QWidget* s) { Digits(s, {{"ComboBox5", 0}, {"ComboBox4", 4}}); }, "ComboBox7", 0,
         "5.2 - 4.9", "0.3", "0.4", false, "Label5", "5.2"},
        {"TForm7", 3, true, 0, "ComboBox8", {0, 51, 48},
         [](QWidget* s) { Digits(s, {{"ComboBox5", 0}, {"ComboBox4", 3}}); }, "ComboBox7", 0,
         "5.2 - 4.9", "0.3", "0.3", true, "Label7", "0.3"},
        {"TForm8", 4, false, 0, "", {0, 72, 4, 11, 2, 455}, WorkParentheses, "ComboBox6", 4,
         "735 - ( 123 + 456 ) =", "156", "156", true, "Label5", "579"},
        {"TForm9", 4, true, 0, "ComboBox8", {0, 72, 4, 11, 2, 455}, WorkParentheses,
         "ComboBox6", 4, "735 - ( 123 + 456 ) =", "156", "156", true, "Label5", "579"},
        {"TForm10", 5, false, 0, "", {1, 2}, [](QWidget* s) { WorkFraction(s, 2, 1, 3); },
         "ComboBox4", 4, "7 / 3 =", "2・1 / 3", "2・1 / 3", true, "Label6", "7"},
        {"TForm11", 5, true, 0, "ComboBox5", {2, 1, 2},
         [](QWidget* s) { WorkFraction(s, 2, 1, 4); }, "ComboBox4", 4, "11 / 4 =", "2・3 / 4",
         "2・1 / 4", false, "Label6", "11"},
        {"TForm12", 6, false, 0, "", {0, 2, 21},
         [](QWidget* s) { Digits(s, {{"ComboBox4", 9}, {"ComboBox5", 2}, {"ComboBox6", 0}}); }, "ComboBox7", 4,
         "2.3 × 4", "9.2", "9.2", true, "Label5", "2.3"},
        {"TForm13", 6, true, 0, "ComboBox8", {0, 2, 21},
         [](QWidget* s) { Digits(s, {{"ComboBox4", 9}, {"ComboBox5", 1}, {"ComboBox6", 0}}); }, "ComboBox7", 4,
         "2.3 × 4", "9.2", "9.1", false, "Label5", "2.3"},
        {"TForm14", 7, false, 0, "", {0, 1, 23}, Work72, "ComboBox6", 6, "7.2 ÷ 3", "2.4", "2.4", true, "Label22",
         "右から１けた"},
        {"TForm15", 7, true, 3, "ComboBox9", {1, 1, 2, 74}, Work75, "ComboBox6", 6,
         "7.5 ÷ 4（商は 1/10の位まで、あまりも）", "1.8 あまり 0.3", "1.8 あまり 3", false, "Label7", "18"},
    };
    return cases;
}

TEST_F(ProgramFixture, EveryScreenRecordsOneRowPerJudgedProblemWithEveryField) {
    auto dialog = OpenDialog();
    Add(dialog.get(), "はなこ");
    Click(dialog.get(), "PupilButton1");
    std::size_t rows_before = 0;
    for (const ScreenCase& c : ScreenCases()) {
        SCOPED_TRACE(c.form);
        ExerciseScreen* s = Screen(c.form);
        s->ShowModeless();
        fx.clock.Set(10, 0, 0);
        if (c.drill) {
            ClickItem(s, "ComboBox1", c.menu_item);
            ClickItem(s, c.time_list, 0);
            fx.random.Feed(c.draws);
            Click(s, "CuteButton3");
        } else {
            fx.random.Feed(c.draws);
            ClickItem(s, "ComboBox1", c.menu_item);
        }
        EXPECT_TRUE(fx.random.script.empty());
        fx.clock.Advance(12340);
        c.work(s);
        ClickItem(s, c.finish_list, c.finish_item);
        ClickItem(s, c.finish_list, c.finish_item);  // a second "終わり" adds nothing
        const std::vector<record::HistoryRow> rows = record().History();
        ASSERT_EQ(rows.size(), rows_before + 1);
        rows_before = rows.size();
        const record::HistoryRow& row = rows.back();
        EXPECT_EQ(row.pupil, "はなこ");
        EXPECT_EQ(Utf8(row.answered_at), "2026-12-08T10:00:12.340+09:00");
        EXPECT_EQ(row.topic, c.topic);
        EXPECT_EQ(row.mode, c.drill ? "drill" : "practice");
        EXPECT_EQ(row.menu_choice, c.menu_item + 1);
        EXPECT_EQ(Utf8(row.problem), Utf8(c.problem));
        EXPECT_EQ(Utf8(row.right_answer), Utf8(c.right_answer));
        EXPECT_EQ(Utf8(row.entered_answer), Utf8(c.entered_answer));
        EXPECT_EQ(row.correct, c.correct);
        EXPECT_DOUBLE_EQ(row.seconds, 12.3);
        EXPECT_EQ(row.question_no.has_value(), c.drill);
        EXPECT_EQ(row.drill_id.has_value(), c.drill);
        const QJsonArray cells = QJsonDocument::fromJson(row.worked_rows.toUtf8()).array();
        QString cell_text;
        for (const QJsonValue& cell : cells)
            if (cell.toObject()["name"].toString() == c.cell) cell_text = cell.toObject()["text"].toString();
        EXPECT_EQ(Utf8(cell_text), Utf8(c.cell_text)) << Utf8(row.worked_rows);
        if (c.drill) {
            const record::DrillRecord drill = record().Drills().back();
            EXPECT_EQ(*row.drill_id, drill.id);
            EXPECT_EQ(row.question_no, 1);
            EXPECT_EQ(drill.topic, c.topic);
            EXPECT_EQ(drill.questions, 1);
            EXPECT_EQ(drill.correct, c.correct ? 1 : 0);
        }
        s->hide();
    }
}

// The acceptance walk on the division drill: two answered questions, then
// "ストップ"; a timed drill ended by the time-out.
TEST_F(ProgramFixture, DrillsLinkTheirRowsToADrillsRowWithTheScoreLinesFigures) {
    ExerciseScreen* s = Screen("TForm3");
    s->ShowModeless();
    fx.clock.Set(9, 0, 0);
    ClickItem(s, "ComboBox1", 0);
    ClickItem(s, "ComboBox7", 0);
    fx.random.Feed({5, 645, 4});
    Click(s, "CuteButton3");
    Work745(s);
    ClickItem(s, "ComboBox6", 6);
    fx.random.Feed({5, 645, 4});
    Click(s, "CuteButton4");
    Work745(s);
    ClickItem(s, "ComboBox2", 3);
    ClickItem(s, "ComboBox6", 6);
    fx.random.Feed({5, 645, 4});
    Click(s, "CuteButton4");  // a third question left unanswered: no row
    fx.clock.Set(9, 2, 5);
    Click(s, "CuteButton5");
    EXPECT_EQ(LabelText(s, "Label15"), "33 点");

    std::vector<record::HistoryRow> rows = record().History();
    ASSERT_EQ(rows.size(), 2u);
    std::vector<record::DrillRecord> drills = record().Drills();
    ASSERT_EQ(drills.size(), 1u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i].mode, "drill");
        EXPECT_EQ(rows[i].topic, 1);
        EXPECT_EQ(rows[i].problem, "745 ÷ 6");
        EXPECT_EQ(rows[i].question_no, i + 1);
        EXPECT_EQ(rows[i].drill_id, drills[0].id);
    }
    EXPECT_TRUE(rows[0].correct);
    EXPECT_FALSE(rows[1].correct);
    const record::DrillRecord& d = drills[0];
    EXPECT_EQ(d.pupil_id, std::nullopt) << "the guest";
    EXPECT_EQ(d.menu_choice, 1);
    EXPECT_EQ(d.started_at, "2026-12-08T09:00:00.000+09:00");
    EXPECT_EQ(d.finished_at, "2026-12-08T09:02:05.000+09:00");
    EXPECT_EQ((std::vector<int>{d.questions, d.correct, d.points, d.seconds}),
              (std::vector<int>{3, 1, 33, 125}));
    EXPECT_EQ(program->drill_log().Rows().size(), 2u) << "the drill log still has its rows";

    // Five minutes, one right answer, then the time-out.
    fx.clock.Set(11, 0, 0);
    ClickItem(s, "ComboBox7", 1);
    fx.random.Feed({5, 645, 4});
    Click(s, "CuteButton3");
    Work745(s);
    ClickItem(s, "ComboBox6", 6);
    fx.clock.Set(11, 5, 0);
    auto* drill = static_cast<DrillScreen*>(s);
    for (int i = 0; i < 300; ++i) drill->CountdownTick();
    EXPECT_EQ(LabelText(s, "Label15"), "100 点");
    drills = record().Drills();
    ASSERT_EQ(drills.size(), 2u);
    EXPECT_EQ(drills[1].time_limit_seconds, 300);
    EXPECT_EQ(drills[1].finished_at, "2026-12-08T11:05:00.000+09:00");
    EXPECT_EQ((std::vector<int>{drills[1].questions, drills[1].correct, drills[1].points,
                                drills[1].seconds}),
              (std::vector<int>{1, 1, 100, 300}));
    EXPECT_EQ(record().History().back().drill_id, drills[1].id);
    EXPECT_EQ(program->drill_log().Rows().size(), 1u) << "dorill holds the last drill only";
    EXPECT_EQ(record().History().size(), 3u) << "history keeps every drill";
    s->hide();
}

// ---------------------------------------------------------------- an old file

// A habit: a kind named twice or more among the pupil's last 20 answers on
// the topic, most frequent first; each pupil, the guest and each topic apart.
TEST(LearningRecordHabits, AKindNamedTwiceInTheLastTwentyAnswersOnATopicIsAHabit) {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    record::LearningRecord record(log.store());
    record.AddPupil("はなこ");
    record.AddPupil("たろう");
    // Writes answers for `pupil` on `topic`: "" is a right answer.
    auto answer = [&](const QString& pupil, int topic, std::vector<std::string> kinds) {
        record.ChoosePupil(pupil);
        for (const std::string& kind : kinds) {
            JudgedAnswer a;
            a.topic = *TopicFromNumber(topic);
            a.problem = "408 ÷ 4";
            a.correct = kind.empty();
            if (!kind.empty()) a.finding = Finding{kind, "quotient:2", "…"};
            ASSERT_EQ(log.store().Commit({record.HistoryStatement(a, record::AnswerMode::Practice)}),
                      record::RecordStore::Result::Written);
        }
    };
    answer("はなこ", 1, {"zero_missing", "slip", "product_slip", "zero_missing", "", "slip",
                         "product_slip", "product_slip", "other", "other"});
    answer("はなこ", 2, {"carry_missing"});
    answer("たろう", 1, {"zero_missing"});
    answer("", 1, {"bring_down", "bring_down"});
    answer("たろう", 2, {"carry_missing", "carry_missing"});
    answer("たろう", 2, std::vector<std::string>(19, ""));

    EXPECT_EQ(record.Habits("はなこ", 1), (QStringList{"product_slip", "zero_missing"}));
    EXPECT_EQ(record.Habits("はなこ", 2), QStringList{});
    EXPECT_EQ(record.Habits("たろう", 1), QStringList{});
    EXPECT_EQ(record.Habits("", 1), QStringList{"bring_down"});
    EXPECT_EQ(record.Habits("たろう", 2), QStringList{}) << "the first carry_missing is 21 answers back";
    answer("たろう", 2, {"carry_missing", "carry_missing"});
    EXPECT_EQ(record.Habits("たろう", 2), QStringList{"carry_missing"});
    const auto rows = record.History();
    EXPECT_EQ(rows.front().error_kind, "zero_missing");
    EXPECT_EQ(rows.front().error_step, "quotient:2");
    EXPECT_EQ(rows[4].error_kind, "") << "a right answer has no kind";
}

TEST(LearningRecordUpgrade, AnOldRecordFileGetsTheNewTablesAndKeepsItsDrillRows) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db";
    for (int version : {0, 1}) {
        SCOPED_TRACE(version);
        QFile::remove(path);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec("create table dorill (\"NO\" integer, MND text, KAI text, KOT text,"
                               " HNT text, AMS integer, AMI integer)"));
            ASSERT_TRUE(q.exec("insert into dorill values (1, ' 745 ÷ 6', '124', '124', '○', 1, 1)"));
            ASSERT_TRUE(q.exec("insert into dorill values (2, ' 0.3 ＋ 0.7', ' 1', ' 2', ' ×', null, null)"));
            ASSERT_TRUE(q.exec(QStringLiteral("pragma user_version = %1").arg(version)));
            db.close();
        }
        QSqlDatabase::removeDatabase("old");
        FakeDialogs dialogs;
        DrillLog log(path, dialogs);
        ASSERT_EQ(log.Rows().size(), 2u);
        EXPECT_EQ(log.Rows()[1], (DrillRow{2, " 0.3 ＋ 0.7", " 1", " 2", " ×"}));
        record::LearningRecord record(log.store());
        EXPECT_TRUE(record.Pupils().isEmpty());
        EXPECT_TRUE(record.History().empty());
        EXPECT_EQ(record.AddPupil("はなこ").refusal, "");
        EXPECT_EQ(record.Pupils(), QStringList{"はなこ"});
        QSqlQuery q(log.store().database());
        ASSERT_TRUE(q.exec("pragma user_version") && q.next());
        EXPECT_EQ(q.value(0).toInt(), record::SchemaVersion());
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

// A file of the layout before find-the-mistake answers, with practice and
// drill rows, is upgraded (and the step run again) with every row, every
// column in its place, the kept totals, indexes and triggers as they were;
// it then takes mode find_mistake, which the totals leave out, and still
// refuses any other mode.
TEST(LearningRecordUpgrade, FindTheMistakeAnswersArriveWithEveryOldRowAndTriggerKept) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db";
    ASSERT_EQ(MakeRecordFileAtLayout(path, 6, [](QSqlQuery& q) {
                  bool ok = q.exec("insert into pupils (name) values ('はなこ')") &&
                            q.exec("insert into drills (uid, pupil_id, topic, started_at)"
                                   " values ('d1', 1, 1, '2026-10-01T09:00:00.000+09:00')");
                  for (int i = 0; ok && i < 40; ++i)
                      ok = q.exec(QStringLiteral(
                                      "insert into history (pupil_id, answered_at, topic, mode, drill_id,"
                                      " question_no, problem, right_answer, entered_answer, correct, seconds,"
                                      " error_kind, error_step, worked_rows) values (%1,"
                                      " '2026-10-%2T10:00:00.000+09:00', %3, '%4', %5, %6, '745 ÷ 6', '124',"
                                      " '%7', %8, %9, %10, 'row:2', '[]')")
                                      .arg(i % 3 ? "1" : "null")
                                      .arg(10 + i % 9)
                                      .arg(1 + i % 5)
                                      .arg(i % 4 ? "practice" : "drill")
                                      .arg(i % 4 ? "null" : "1")
                                      .arg(i % 4 ? "null" : QString::number(i / 4 + 1))
                                      .arg(120 + i)
                                      .arg(i % 2)
                                      .arg(1.5 * i)
                                      .arg(i % 2 ? "null" : "'zero_missing'"));
                  return ok;
              }),
              "");
    const auto table = [](QSqlDatabase db, const QString& sql) {
        QStringList out;
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << Utf8(sql);
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < q.record().count(); ++c) row << q.value(c).toString();
            out << row.join('|');
        }
        return out;
    };
    // The columns layout 10 rebuilds, in its order; later steps add theirs after them.
    const QString rows = "select id, pupil_id, answered_at, topic, mode, menu_choice, drill_id, question_no,"
                         " problem, right_answer, entered_answer, correct, seconds, error_kind, error_step,"
                         " worked_rows from history order by id";
    const QString columns = "select name, type, \"notnull\", pk from pragma_table_info('history') where cid < 16";
    const QString objects = "select type, name from sqlite_master where tbl_name = 'history' order by 1, 2";
    const QString totals = "select * from history_totals order by 1, 2";
    QStringList before[4];
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "before");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        int k = 0;
        for (const QString& sql : {rows, columns, objects, totals}) before[k++] = table(db, sql);
        db.close();
    }
    QSqlDatabase::removeDatabase("before");
    ASSERT_EQ(before[0].size(), 40);

    FakeDialogs dialogs;
    record::RecordStore store(path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord record(store);
    ASSERT_TRUE(store.Ready());
    QSqlDatabase db = store.database();
    for (int again : {0, 1}) {
        SCOPED_TRACE(again ? "the step run again" : "upgraded");
        if (again) {
            QSqlError error;
            ASSERT_TRUE(record::ApplyLayoutSteps(db, record::SchemaVersion() - 1, &error)) << Utf8(error.text());
        }
        EXPECT_EQ(table(db, rows), before[0]);
        EXPECT_EQ(table(db, columns), before[1]);
        QStringList objects_now = before[2];
        objects_now << "index|history_found_mistakes" << "index|history_by_work";
        objects_now.sort();
        EXPECT_EQ(table(db, objects), objects_now);
        EXPECT_EQ(table(db, totals), before[3]);
        EXPECT_EQ(table(db, "pragma integrity_check"), QStringList{"ok"});
        EXPECT_EQ(table(db, "pragma foreign_key_check"), QStringList{});
    }

    JudgedAnswer found;
    found.topic = Topic::Division;
    found.problem = "408 ÷ 4";
    found.finding = Finding{"zero_missing", "quotient:2", "…"};
    ASSERT_EQ(store.Commit({record.HistoryStatement(found, record::AnswerMode::FindTheMistake)}),
              record::RecordStore::Result::Written);
    EXPECT_EQ(record.History().back().mode, "find_mistake");
    EXPECT_EQ(record.History().back().error_kind, "zero_missing");
    EXPECT_EQ(table(db, totals), before[3]) << "not counted with the pupil's own work";
    QSqlQuery q(db);
    EXPECT_FALSE(q.exec("insert into history (answered_at, topic, mode, problem, correct)"
                        " values ('2026-10-01', 1, 'other', '1 ÷ 1', 1)"));
}

// Layout 12 over a file of layout 11: every row kept as it was, the
// answer's piece of work and skill after the old columns (null in old
// rows), the list of work made; run again, it changes nothing. A new
// answer names its skill, and the piece when given for one.
TEST(LearningRecordUpgrade, WorkAndSkillColumnsComeAfterTheOldOnesAndOldRowsStay) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db";
    ASSERT_EQ(MakeRecordFileAtLayout(path, 11, [](QSqlQuery& q) {
                  return q.exec("insert into pupils (name) values ('はなこ')") &&
                         q.exec("insert into history (pupil_id, answered_at, topic, mode, problem, right_answer,"
                                " entered_answer, correct, seconds) values (1, '2026-10-01T10:00:00.000+09:00',"
                                " 1, 'practice', '745 ÷ 6', '124あまり1', '124あまり1', 1, 12.5),"
                                " (null, '2026-10-02T10:00:00.000+09:00', 2, 'drill', '1.2 + 3.4', '4.6',"
                                " '4.5', 0, 3)");
              }),
              "");
    FakeDialogs dialogs;
    record::RecordStore store(path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord record(store);
    record.TraceMastery(coach::ObserveStoredAnswer);
    ASSERT_TRUE(store.Ready());
    QSqlDatabase db = store.database();
    const auto cells = [&](const QString& sql) {
        QStringList out;
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << Utf8(sql) << Utf8(q.lastError().text());
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < q.record().count(); ++c)
                row << (q.value(c).isNull() ? QStringLiteral("∅") : q.value(c).toString());
            out << row.join('|');
        }
        return out;
    };
    const QStringList kept{"1|1|2026-10-01T10:00:00.000+09:00|1|practice|745 ÷ 6|1|12.5|∅|∅",
                           "2|∅|2026-10-02T10:00:00.000+09:00|2|drill|1.2 + 3.4|0|3|∅|∅"};
    const QString read = "select id, pupil_id, answered_at, topic, mode, problem, correct, seconds, work_id, skill"
                         " from history order by id";
    for (int again : {0, 1}) {
        SCOPED_TRACE(again ? "the step run again" : "upgraded");
        if (again) {
            QSqlError error;
            ASSERT_TRUE(record::ApplyLayoutSteps(db, record::kWorkTablesVersion - 1, &error)) << Utf8(error.text());
        }
        EXPECT_EQ(cells(read), kept);
        EXPECT_EQ(cells("select cid, name from pragma_table_info('history') where cid >= 16"),
                  (QStringList{"16|work_id", "17|skill"}));
        EXPECT_EQ(cells("select count(*) from work_given"), QStringList{"0"});
        EXPECT_EQ(cells("pragma integrity_check"), QStringList{"ok"});
    }
    EXPECT_EQ(cells("pragma user_version"), QStringList{QString::number(record::SchemaVersion())});

    record.ChoosePupil("はなこ");
    JudgedAnswer wrong;
    wrong.topic = Topic::Division;
    wrong.menu_choice = 1;
    wrong.problem = "408 ÷ 4";
    wrong.right_answer = "102";
    wrong.entered_answer = "12";
    wrong.finding = Finding{"zero_missing", "quotient:2", "…"};
    ASSERT_EQ(store.Commit({record.HistoryStatement(wrong, record::AnswerMode::Practice, {}, std::nullopt, 7)}),
              record::RecordStore::Result::Written);
    const record::HistoryRow row = record.History().back();
    EXPECT_EQ(row.work_id, std::optional<qint64>(7));
    const auto observed = coach::ObserveStoredAnswer(
        {1, Topic::Division, 1, "408 ÷ 4", false, "zero_missing", "quotient:2", {}});
    ASSERT_FALSE(observed.empty());
    EXPECT_EQ(row.skill.toStdString(), observed.front().skill);
    EXPECT_EQ(record.History().front().work_id, std::nullopt);
}

}  // namespace
}  // namespace sorelka
