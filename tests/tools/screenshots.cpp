// Drives screens the way a pupil does and saves pictures of them, for looking
// at the screens in a real window: run under xvfb-run.
//   screenshots <output folder>
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <random>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "app/my_record_window.h"
#include "app/pupil_dialog.h"
#include "app/recommended_practice.h"
#include "app/teacher/teacher_window.h"
#include "app/work_practice.h"
#include "record/record_store.h"
#include "record/work_given.h"
#include "record/backups.h"
#include "record/learning_record.h"
#include "report/pdf_report.h"
#include "widgets/exercise_screen.h"
#include "drill/drill_log.h"
#include "support/fake_class_work.h"
#include "support/fakes.h"
#include "support/wrong_answers.h"
#include "tools/screenshots.h"
#include "widgets/choice_list.h"
#include "widgets/status_clock.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

using namespace sorelka;
using namespace sorelka::testing;

namespace {

QString out_dir;
const Clock* shown_clock = nullptr;

}  // namespace

void Save(QWidget* w, const QString& name) {
    QApplication::processEvents();
    // The clock panels show the fake clock, whether or not their one-second
    // timer happened to tick since the fake clock was set.
    for (StatusClockBar* bar : w->findChildren<StatusClockBar*>())
        if (shown_clock) bar->ShowClock(*shown_clock);
    w->grab().save(out_dir + "/" + name + ".png");
}

void Pick(QWidget* root, const QByteArray& list, int index) {
    root->findChild<ChoiceList*>(QString::fromUtf8(list))->Choose(index);
    QApplication::processEvents();
}

void Press(QWidget* root, const char* button) {
    QTest::mouseClick(root->findChild<QAbstractButton*>(button), Qt::LeftButton);
}

namespace {

void DivisionDrill(Program& program, FakeServices& services) {
    QWidget* s = program.screens()[1];
    static_cast<ExerciseScreen*>(s)->ShowModeless();
    services.random.Feed({0, 735, 4});  // menu 1, kind 1 (5/9): 745 ÷ 6
    Pick(s, "ComboBox1", 0);
    Pick(s, "ComboBox7", 1);
    services.random.script.clear();
    services.random.Feed({5, 645, 4});  // kind 2: 745 ÷ 6
    Press(s, "CuteButton3");
    // 745 ÷ 6 written as at school: 1, 6, 14, 2, 12, 25, then the 4 pending.
    const int steps[][2] = {{4, 1}, {6, 0}, {2, 6}, {6, 0}, {3, 1}, {2, 4}, {6, 0}, {3, 2},
                            {6, 0}, {3, 1}, {2, 2}, {6, 0}, {3, 2}, {2, 5}, {6, 0}, {2, 4}};
    for (const auto& step : steps) Pick(s, QStringLiteral("ComboBox%1").arg(step[0]).toUtf8(), step[1]);
    Save(s, "TForm3-drill");
    const int rest[][2] = {{6, 0}, {3, 2}, {2, 4}, {6, 0}, {2, 1}, {6, 6}};
    for (const auto& step : rest) Pick(s, QStringLiteral("ComboBox%1").arg(step[0]).toUtf8(), step[1]);
    Press(s, "CuteButton4");
    Press(s, "CuteButton5");
    Press(s, "CuteButton6");
    Save(s, "TForm3-score-sheet");
    s->hide();
}

// A decimal drill: a question half answered, then three questions logged and
// the score sheet. `draws` script the three problems with two decimal places.
void DecimalDrill(Program& program, FakeServices& services, int screen, const QString& name,
                  const std::vector<std::vector<int>>& draws,
                  const std::vector<std::vector<int>>& answers) {
    QWidget* s = program.screens()[screen];
    static_cast<ExerciseScreen*>(s)->ShowModeless();
    Pick(s, "ComboBox1", 1);
    Pick(s, "ComboBox8", 1);
    services.random.script.clear();
    services.random.Feed(draws[0]);
    services.clock.Set(13, 23, 0);
    Press(s, "CuteButton3");
    // Answers as {tens, ones, tenths, hundredths}; -1 leaves a column alone.
    auto answer = [&](const std::vector<int>& digits, bool finish) {
        const char* lists[] = {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3"};
        for (int c = 0; c < 4; ++c)
            if (digits[c] >= 0) Pick(s, lists[c], digits[c]);
        if (finish) Pick(s, "ComboBox7", 0);
    };
    answer({-1, answers[0][1], answers[0][2], -1}, false);
    Save(s, name + "-drill");
    answer(answers[0], true);
    for (std::size_t q = 1; q < draws.size(); ++q) {
        services.random.Feed(draws[q]);
        Press(s, "CuteButton4");
        answer(answers[q], true);
    }
    services.clock.Set(13, 26, 41);
    Press(s, "CuteButton5");
    Save(s, name + "-stopped");
    Press(s, "CuteButton6");
    Save(s, name + "-score-sheet");
    s->hide();
}

ExerciseScreen* Open(Program& program, int index) {
    ExerciseScreen* s = program.screens()[index];
    s->ShowModeless();
    return s;
}

void Steps(QWidget* s, std::initializer_list<std::pair<int, int>> steps) {
    for (const auto& [list, item] : steps) Pick(s, QStringLiteral("ComboBox%1").arg(list).toUtf8(), item);
}

void DivisionPractice(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 0);
    services.random.Feed({5, 645, 4});  // 745 ÷ 6
    Pick(s, "ComboBox1", 0);
    Steps(s, {{4, 1}, {6, 0}, {2, 6}, {6, 0}, {3, 1}, {2, 4}, {6, 0}, {3, 2}, {6, 0},
              {3, 1}, {2, 2}, {6, 0}, {3, 2}, {2, 5}});
    Save(s, "TForm2-practice");
    Steps(s, {{6, 0}, {2, 4}, {6, 0}, {3, 2}, {2, 4}, {6, 0}, {2, 1}, {6, 6}});
    Save(s, "TForm2-finished");
    s->hide();
}

void DecimalPractice(Program& program, FakeServices& services) {
    ExerciseScreen* add = Open(program, 2);
    services.random.Feed({0, 234, 139});  // 2.35 + 1.4
    Pick(add, "ComboBox1", 1);
    Steps(add, {{5, 3}, {4, 7}, {3, 5}, {7, 0}});
    Save(add, "TForm4-finished");
    add->hide();
    ExerciseScreen* sub = Open(program, 4);
    services.random.Feed({0, 51, 48});  // 5.2 - 4.9
    Pick(sub, "ComboBox1", 0);
    Steps(sub, {{5, 0}, {4, 3}, {7, 0}});
    Save(sub, "TForm6-finished");
    sub->hide();
}

// The diagnosis panels after "×": 875 ÷ 8 answered 19 (the 0 left out of
// the quotient), 7.5 + 4.8 answered 2.3 (the carry into the tens forgotten),
// 5.02 - 1.37 answered 4.75 (the borrow not taken off the tenths).
void DiagnosisPanels(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 0);
    services.random.Feed({5, 775, 6});
    Pick(s, "ComboBox1", 0);
    Steps(s, {{4, 1}, {6, 0}, {2, 8}, {6, 0}, {3, 7}, {2, 5}, {6, 0}, {2, 9}});
    // The second quotient digit is asked for in the tens.
    if (s->findChild<QLabel*>("Label7")->text() == QStringLiteral("1")) Steps(s, {{3, 9}});
    Steps(s, {{6, 0}, {3, 7}, {2, 2}, {6, 0}, {2, 3}, {6, 0}, {6, 6}});
    Save(s, "TForm2-diagnosis");
    s->hide();
    ExerciseScreen* add = Open(program, 2);
    services.random.Feed({0, 74, 47});
    Pick(add, "ComboBox1", 0);
    Steps(add, {{5, 2}, {4, 3}, {7, 0}});
    Save(add, "TForm4-diagnosis");
    add->hide();
    ExerciseScreen* sub = Open(program, 4);
    services.random.Feed({0, 501, 136});
    Pick(sub, "ComboBox1", 1);
    Steps(sub, {{5, 4}, {4, 7}, {3, 5}, {7, 0}});
    Save(sub, "TForm6-diagnosis");
    sub->hide();
    // 12 x 6 ÷ 9 with 72 ÷ 9 worked as 9 (the quotient too big).
    ExerciseScreen* rules = Open(program, 6);
    services.random.Feed({5, 11, 4, 7});
    Pick(rules, "ComboBox1", 2);
    Steps(rules, {{3, 7}, {2, 2}, {6, 4}, {2, 9}, {6, 0}, {3, 8}, {2, 1}, {6, 0}, {2, 9}, {6, 4}});
    Save(rules, "TForm8-diagnosis");
    rules->hide();
}

void FractionPractice(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 8);
    services.random.Feed({1, 2});  // 7/3
    Pick(s, "ComboBox1", 0);
    Steps(s, {{3, 0}, {2, 2}, {4, 0}, {3, 0}, {2, 3}, {4, 1}, {3, 0}, {2, 1}, {4, 2}, {4, 4}});
    Save(s, "TForm10-finished");
    s->hide();
}

void RulesDrill(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 7);
    Pick(s, "ComboBox1", 0);
    Pick(s, "ComboBox8", 2);
    services.random.Feed({18, 2, 3, 1, 2, 12});  // 34 x ( 23 + 14 ) = ?
    Press(s, "CuteButton3");
    // 23 + 14 = 37, then 34 x 37: 238 confirmed, 102 being written.
    Steps(s, {{3, 3}, {2, 7}, {6, 4}, {4, 2}, {3, 3}, {2, 8}, {6, 0}, {4, 1}, {3, 0}, {2, 2}});
    Save(s, "TForm9-drill");
    Steps(s, {{6, 0}, {5, 1}, {4, 2}, {3, 5}, {2, 8}, {6, 0}, {6, 4}});
    services.random.Feed({0, 72, 4, 11, 2, 455});  // 735 - ( 123 + 456 ) = ?
    Press(s, "CuteButton4");
    Steps(s, {{4, 5}, {3, 7}, {2, 9}, {6, 4}, {4, 1}, {3, 5}, {2, 5}, {6, 4}});
    services.random.Feed({0, 72, 4, 11, 2, 455});
    Press(s, "CuteButton4");  // left unfinished
    Press(s, "CuteButton5");
    Press(s, "CuteButton6");
    Save(s, "TForm9-score-sheet");
    Pick(s, "ComboBox1", 3);
    services.random.Feed({0, 2, 4, 1, 2});  // □ + 23 = 58
    Press(s, "CuteButton3");
    Steps(s, {{7, 1}, {3, 3}, {2, 5}});
    Save(s, "TForm9-box");
    s->hide();
}

// Pupil's entry on the fraction drill: `value` dropped with `action`
// (0 whole part, 1 denominator, 2 numerator).
void FractionEntry(QWidget* s, int value, int action) {
    Pick(s, "ComboBox3", value / 10);
    Pick(s, "ComboBox2", value % 10);
    Pick(s, "ComboBox4", action);
}

void FractionDrill(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 9);
    Pick(s, "ComboBox1", 0);
    Pick(s, "ComboBox5", 1);
    services.random.script.clear();
    services.random.Feed({2, 1, 2});  // 11/4
    Press(s, "CuteButton3");
    FractionEntry(s, 2, 0);
    FractionEntry(s, 3, 2);
    FractionEntry(s, 4, 1);
    Save(s, "TForm11-drill");
    Pick(s, "ComboBox4", 4);
    services.random.Feed({0, 7, 7});  // 24/2
    Press(s, "CuteButton4");
    FractionEntry(s, 12, 0);
    Pick(s, "ComboBox4", 4);
    Pick(s, "ComboBox1", 1);
    services.random.Feed({1, 1, 0});  // 2・1/3
    Press(s, "CuteButton4");
    FractionEntry(s, 7, 2);
    FractionEntry(s, 3, 1);
    Pick(s, "ComboBox4", 4);
    Pick(s, "ComboBox1", 2);
    services.random.Feed({2, 3, 0, 0});  // 3・1/4 = 1・□/4
    Press(s, "CuteButton4");
    FractionEntry(s, 8, 2);
    Pick(s, "ComboBox4", 4);
    Press(s, "CuteButton5");
    Save(s, "TForm11-score-line");
    Press(s, "CuteButton6");
    Save(s, "TForm11-score-sheet");
    s->hide();
}

// The pupil dialog with a class's names, one being added, and the menu
// showing the chosen pupil.
void Pupils(Program& program) {
    record::LearningRecord& record = program.learning_record();
    for (const char* name : {"たなか はなこ", "すずき たろう", "さとう ゆい", "Émile", "O'Brien",
                             "やまだ けん", "佐々木 陽菜", "いとう そら"})
        record.AddPupil(QString::fromUtf8(name));
    record.ChoosePupil(QStringLiteral("たなか はなこ"));
    PupilDialog dialog(record, program.main_window());
    dialog.show();
    dialog.findChild<QLineEdit*>("NewPupilName")->setText(QStringLiteral("   "));
    Press(&dialog, "AddPupilButton");
    Save(&dialog, "PupilDialog");
    dialog.hide();
    program.main_window()->ShowPupil();
    Save(program.main_window(), "TForm1-menu-pupil");
}

// A problem of each topic as the record keeps it, with its right answer and
// a wrong one.
struct StoredProblem {
    const char* text;
    const char* right;
    const char* wrong;
};
StoredProblem Problem(int topic) {
    switch (topic) {
        case 1: return {"745 ÷ 6", "124 あまり 1", "12 あまり 1"};
        case 4: return {"12 + 8 × 3", "36", "60"};
        case 6: return {"2.5 × 4", "10", "10.0"};
        case 7: return {"7.5 ÷ 4（商は 1/10の位まで、あまりも）", "1.8 あまり 0.3", "1.8 あまり 3"};
        default: return {"2.35 + 1.4", "3.75", "2.49"};
    }
}

// Eight weeks of a class's answers, then the pupil's own record and the
// teacher's view of it.
// The "かだい" and "いまの ようす" tabs as a signed-in teacher sees them
// during a lesson, over the fakes the tests use.
void SaveClassWork(TeacherWindow& teacher) {
    auto work = std::make_unique<FakeWorkSource>();
    const QDate today(2026, 12, 8);
    work->pieces = {
        {.id = 3, .title = QStringLiteral("あまりの ある わり算"), .topic = TopicNumber(Topic::Division),
         .menu_choice = 2, .problems = 10, .due_day = today.addDays(3)},
        {.id = 2, .title = QStringLiteral("商に ０が たつ"), .skill = QStringLiteral("division.zero_in_quotient"),
         .problems = 8, .due_day = today.addDays(1), .pupils = {QStringLiteral("たろう"), QStringLiteral("じろう")}},
        {.id = 1, .title = QStringLiteral("にがての ふくしゅう"), .recommended = true, .problems = 12,
         .due_day = today.addDays(-2), .withdrawn_at = QDateTime(today.addDays(-3), QTime(15, 0))},
    };
    QStringList pupils;  // the class of the other pictures
    if (auto* choice = teacher.findChild<QComboBox*>(QStringLiteral("PupilChoice")))
        for (int i = 0; i < choice->count(); ++i) pupils << choice->itemText(i);
    const QStringList kinds[] = {{"zero_missing", "product_slip"}, {"quotient_too_big"}, {"bring_down"},
                                 {"bring_down", "zero_missing"}};
    for (int i = 0; i < pupils.size(); ++i) {
        const int answered = (i * 3) % 11;
        const int right = std::max(0, answered - i % 3);
        work->progress.push_back({3, pupils[i], answered, right,
                                  right < answered ? kinds[i % 4] : QStringList()});
    }
    work->progress.push_back({2, QStringLiteral("たろう"), 8, 6, {QStringLiteral("zero_missing")}});
    work->progress.push_back({2, QStringLiteral("じろう"), 3, 1, {QStringLiteral("zero_missing"), QStringLiteral("bring_down")}});
    auto script = std::make_shared<LiveScript>();
    std::vector<LivePupil> rows;
    for (int i = 0; i < pupils.size(); ++i) {
        LivePupil row{.pupil = pupils[i]};
        switch (i % 5) {
            case 0: row.screen = QStringLiteral("TForm3"), row.topic = 1, row.menu_choice = 2, row.work_id = 3; break;
            case 1: row.screen = QStringLiteral("TForm5"), row.topic = 2, row.menu_choice = 1; break;
            case 2: row.screen = QStringLiteral("TForm1"); break;
            case 3: row.screen = QStringLiteral("TForm3"), row.topic = 1, row.menu_choice = 1; break;
            default: break;
        }
        if (!row.screen.isEmpty() && row.screen != QStringLiteral("TForm1")) {
            row.answers = 3 + (i * 7) % 9;
            row.correct = row.answers - (i % 4);
        }
        if (i == 3) row.stuck = true, row.stuck_why = QStringLiteral("３問中２問まちがい");
        if (i == 5) row.stuck = true, row.stuck_why = QStringLiteral("３分 こたえが ない"), row.answers = 0, row.correct = 0;
        rows.push_back(row);
    }
    script->Set(rows);
    teacher.ShowClassWork(std::move(work), std::make_unique<FakeLiveSource>(script), QStringLiteral("4年1組"));
    // The window's top and bottom lines as a teacher signed in to the
    // school's server sees them (the fakes leave this PC's).
    auto* class_choice = teacher.findChild<QComboBox*>(QStringLiteral("ClassChoice"));
    class_choice->addItem(QStringLiteral("4年1組"));
    class_choice->setVisible(true);
    teacher.findChild<QLabel*>(QStringLiteral("ClassServerStatus"))
        ->setText(QStringLiteral("表示しているのは 学校のサーバーの「4年1組」です（tanaka で サインイン）。"
                                 "最後に送った時刻：12月8日 10:42　送るのを待っている答え：0件"));
    auto* reload = teacher.findChild<QPushButton*>(QStringLiteral("ClassServerReload"));
    reload->setText(QStringLiteral("サーバーから読みなおす"));
    reload->show();
    auto* tabs = teacher.findChild<QTabWidget*>(QStringLiteral("TeacherTabs"));
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("かだい")) tabs->setCurrentIndex(i);
    auto* table = teacher.findChild<QTableView*>(QStringLiteral("WorkTable"));
    table->selectRow(0);
    Save(&teacher, "TeacherWindow-work");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("いまの ようす")) tabs->setCurrentIndex(i);
    auto* live = teacher.findChild<QTableView*>(QStringLiteral("LiveTable"));
    if (!QTest::qWaitFor([&] { return live->model()->rowCount() == int(rows.size()); }, 5000))
        std::fprintf(stderr, "screenshots: the lesson's rows did not come\n");
    Save(&teacher, "TeacherWindow-live");
}

void RecordWindows(Program& program, FakeServices& services) {
    record::LearningRecord& record = program.learning_record();
    std::mt19937 rng(18);
    const char* kinds[] = {"quotient_too_big", "zero_missing", "carry_missing", "borrow_missing",
                           "slip",             "end_zero_kept", "remainder_point"};
    const QStringList pupils = record.Pupils();
    record::Transaction rows;
    for (int day = 0; day < 56; ++day) {
        const QDate date = QDate(2026, 12, 8).addDays(-day);
        if (date.dayOfWeek() > 5) continue;
        for (const QString& pupil : pupils) {
            if (rng() % 4 == 0) continue;
            for (int a = 0; a < 6; ++a) {
                const int topic = 1 + int(rng() % 7);
                const bool right = static_cast<int>(rng() % 100) < 55 + day / 2 + static_cast<int>(pupil.size() % 3) * 8;
                const char* kind = right ? nullptr
                                   : kinds[topic == 1   ? rng() % 2
                                           : topic <= 3 ? 2 + topic % 2
                                           : topic >= 6 ? topic - 1
                                                        : 4];
                rows.push_back({QStringLiteral(
                                    "insert into history (pupil_id, answered_at, topic, mode, menu_choice,"
                                    " problem, right_answer, entered_answer, correct, seconds, error_kind)"
                                    " values ((select id from pupils where name = ?), ?, ?, 'practice', 1,"
                                    " ?, ?, ?, ?, ?, ?)"),
                                {pupil, date.toString(Qt::ISODate) + QStringLiteral("T10:%1:00.000+09:00").arg(a, 2, 10, QLatin1Char('0')),
                                 topic, Problem(topic).text, Problem(topic).right,
                                 right ? Problem(topic).right : Problem(topic).wrong,
                                 right ? 1 : 0, 8 + int(rng() % 400) / 10.0,
                                 kind ? QVariant(QString::fromLatin1(kind)) : QVariant(QMetaType::fromType<QString>())}});
            }
        }
    }
    program.record_store().Commit(rows);
    MyRecordWindow own(record, services.ctx, nullptr);
    own.show();
    Save(&own, "MyRecordWindow");
    own.hide();
    TeacherWindow teacher(record, services.ctx, nullptr);
    teacher.show();
    Save(&teacher, "TeacherWindow-class");
    teacher.findChild<QTabWidget*>("TeacherTabs")->setCurrentIndex(1);
    Save(&teacher, "TeacherWindow-pupil");
    teacher.findChild<QTabWidget*>("TeacherTabs")->setCurrentIndex(2);
    Save(&teacher, "TeacherWindow-roster");
    teacher.findChild<QTabWidget*>("TeacherTabs")->setCurrentIndex(3);
    Save(&teacher, "TeacherWindow-mastery");
    // Two days' copies of the record, and a file set aside long ago.
    QSqlDatabase db = program.record_store().database();
    for (int day : {7, 8}) record::TakeDailyBackup(db, program.record_store().BackupFolder(), {2026, 12, day});
    QFile broken(program.record_store().path() + QStringLiteral(".broken-20261020-101500"));
    if (broken.open(QIODevice::WriteOnly)) broken.write(QByteArray(4096, 'x'));
    broken.close();
    // Fixed file times, so that every run lists the same copies alike.
    const QDateTime taken(QDate(2026, 12, 8), QTime(7, 30));
    for (const QFileInfo& file : QDir(program.record_store().BackupFolder()).entryInfoList(QDir::Files)) {
        QFile copy(file.filePath());
        if (copy.open(QIODevice::ReadWrite)) copy.setFileTime(taken, QFileDevice::FileModificationTime);
    }
    if (broken.open(QIODevice::ReadWrite)) broken.setFileTime(taken.addDays(-49), QFileDevice::FileModificationTime);
    teacher.Refresh();
    auto* tabs = teacher.findChild<QTabWidget*>("TeacherTabs");
    tabs->setCurrentIndex(tabs->count() - 1);
    Save(&teacher, "TeacherWindow-backups");
    SaveClassWork(teacher);
    teacher.hide();
    // The printed report of the same class, to look at beside the screens.
    QString error;
    report::ExportPdf(program.record_store().database(), {}, QDate(2026, 12, 8), out_dir + "/report.pdf", &error);
}

}  // namespace

// The longest hints and problem lines: the first hint of a division, on the
// division and rules practice, and a rules drill problem of two three-digit
// divisions.
void LongTexts(FakeServices& services) {
    SeededRandom random{7};  // fresh draws, for screens shown with whatever problem comes
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random,
                   services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    ExerciseScreen* division = Open(program, 0);
    Pick(division, "ComboBox1", 1);
    Save(division, "TForm2-first-hint");
    division->hide();
    ExerciseScreen* rules = Open(program, 6);
    const QString hint = QStringLiteral("商を「高い位」から１つずつ「位」を合わせて選んでね！");
    for (int i = 0; i < 200 && rules->findChild<QLabel*>("Label2")->text() != hint; ++i)
        Pick(rules, "ComboBox1", 2);  // × and ÷: about half begin with a division
    Save(rules, "TForm8-first-hint");
    rules->hide();
    ExerciseScreen* drill = Open(program, 7);
    Pick(drill, "ComboBox1", 1);
    Pick(drill, "ComboBox8", 0);
    Press(drill, "CuteButton3");
    const QRegularExpression widest(QStringLiteral("^\\d{3} ÷ \\d{2} . \\d{3} ÷ \\d{2} = \\?$"));
    for (int i = 0; i < 2000 && !widest.match(drill->findChild<QLabel*>("Label3")->text()).hasMatch(); ++i)
        Press(drill, "CuteButton4");
    Save(drill, "TForm9-widest-problem");
    drill->hide();
}

// The division practice screen in recommended mode, after two answers with
// the 0 left out of the quotient.
void RecommendedDivision(FakeServices& services) {
    SeededRandom random{27};
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random, services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    record::Transaction rows;
    for (int i = 0; i < 2; ++i)
        rows.push_back({QStringLiteral("insert into history (answered_at, topic, mode, menu_choice, problem,"
                                       " right_answer, entered_answer, correct, error_kind, error_step)"
                                       " values ('2026-12-08T10:0%1:00.000+09:00', 1, 'practice', 1, '408 ÷ 4',"
                                       " '102 あまり 0', '12 あまり 0', 0, 'zero_missing', 'quotient:2')")
                            .arg(i),
                        {}});
    program.record_store().Commit(rows);
    ExerciseScreen* s = program.screens()[0];
    RecommendedPractice* guide = program.recommended().guide_of(s);
    s->SetGuide(guide);
    s->ShowModeless();
    Save(s, "TForm2-recommended");
    s->SetGuide(nullptr);
    guide->Left();
    s->hide();
}

// The main menu with "かだい ２" for a pupil with two open pieces (one past
// its day), and the list WorkDialog shows them in.
void WorkGiven(FakeServices& services) {
    QTemporaryDir data;
    Program program(services.ctx, data.path() + "/kyozai.db");
    program.learning_record().AddPupil(QStringLiteral("はなこ"));
    program.learning_record().ChoosePupil(QStringLiteral("はなこ"));
    record::WorkPiece division;
    division.id = 1;
    division.class_name = QStringLiteral("クラス");
    division.title = QStringLiteral("わり算の しゅくだい");
    division.topic = 1;
    division.menu_choice = 2;
    division.problems = 10;
    division.due_day = QStringLiteral("2026-12-07");
    QSqlDatabase db = program.record_store().database();
    division.for_pupils = {{record::PupilId(db, program.learning_record().current_pupil()).value_or(1), 0}};
    record::WorkPiece skill = division;
    skill.id = 2;
    skill.title = QStringLiteral("０の たつ わり算");
    skill.topic.reset();
    skill.menu_choice.reset();
    skill.skill = QStringLiteral("division.zero_in_quotient");
    skill.problems = 5;
    skill.due_day = QStringLiteral("2026-12-11");
    QString problem;
    record::ReplaceWorkGiven(db, {division, skill}, QStringLiteral("now"), &problem);
    program.main_window()->show();
    program.main_window()->ShowPupil();
    Save(program.main_window(), "TForm1-work");
    WorkDialog dialog(program.work().OpenPieces(),
                      [&](Topic t, int item) { return program.work().MenuText(t, item); }, program.main_window());
    dialog.show();
    Save(&dialog, "WorkDialog");
    dialog.hide();
    program.main_window()->hide();
}

// For each topic and menu item, on its practice screen: "お手本" after a
// wrong answer, in the middle of its replay and at its end, and a
// find-the-mistake example before and after the pupil points at the mistake.
// Named example-<topic>-<menu item>-<what>.png.
void ExampleModes(FakeServices& services) {
    SeededRandom random{34};  // fresh problems, as a pupil meets them
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random, services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    const struct {
        const char* form;
        const char* topic;
        const char* next;  // "次へ"
    } topics[] = {{"TForm2", "division", "CuteButton3"},
                  {"TForm4", "decimal-addition", "CuteButton4"},
                  {"TForm6", "decimal-subtraction", "CuteButton4"},
                  {"TForm8", "rules", "CuteButton4"},
                  {"TForm10", "fractions", "CuteButton4"},
                  {"TForm12", "decimal-multiplication", "CuteButton4"},
                  {"TForm14", "decimal-division", "CuteButton4"}};
    for (const auto& t : topics) {
        ExerciseScreen* s = nullptr;
        for (ExerciseScreen* screen : program.screens())
            if (screen->objectName() == t.form) s = screen;
        s->ShowModeless();
        const auto pick = [s](const QString& list, int index) { Pick(s, list.toUtf8(), index); };
        auto* menu = s->findChild<ChoiceList*>("ComboBox1");
        auto* player = s->findChild<WorkedExamplePlayer*>();
        auto* finder = s->findChild<MistakeFinder*>();
        for (int item = 0; item < menu->count(); ++item) {
            const QString name = QStringLiteral("example-%1-%2-").arg(t.topic).arg(item + 1);
            Pick(s, "ComboBox1", item);
            for (int tries = 0; tries < 5 && !AnswerWrong(s, pick); ++tries) Press(s, t.next);
            // Once through to count the steps, then again to the middle.
            Press(s, "WorkedExample");
            while (player->showing() && !player->at_end()) player->Next();
            const std::size_t steps = player->shown_steps();
            Press(s, "WorkedExample");
            while (player->showing() && player->shown_steps() < (steps + 1) / 2) player->Next();
            Save(s, name + "replay-middle");
            while (player->showing() && !player->at_end()) player->Next();
            Save(s, name + "replay-end");
            Press(s, "FindTheMistake");
            Save(s, name + "find-before");
            const std::vector<MistakePlace*>& places = finder->places();
            MistakePlace* mistake = places.empty() ? nullptr : places.front();
            for (MistakePlace* place : places)
                if (place->index() == finder->example().wrong) mistake = place;
            if (mistake) QTest::mouseClick(mistake, Qt::LeftButton);
            Save(s, name + "find-after");
            Pick(s, "ComboBox1", item);  // back to practice
        }
        s->hide();
    }
}

// Every exercise screen and menu item worked by a pupil who chooses at
// random (a fixed seed, so each run sees the same): pictures after 8, 16 and
// 24 choices, which meet half-written rows, refusals, ○ and ×, and the
// drills' running series. Named pupil-<form>-<menu item>-<n>.png; comparing
// two runs shows whether a change moved a pixel of any screen.
void RandomPupil(FakeServices& services) {
    SeededRandom random{7};
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random, services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    std::mt19937 pupil{2026};
    const auto draw = [&pupil](int n) { return std::uniform_int_distribution<int>(0, n - 1)(pupil); };
    for (ExerciseScreen* s : program.screens()) {
        s->ShowModeless();
        auto* menu = s->findChild<ChoiceList*>("ComboBox1");
        for (int item = 0; menu && item < menu->count(); ++item) {
            Pick(s, "ComboBox1", item);
            for (int choice = 1; choice <= 24; ++choice) {
                std::vector<ChoiceList*> lists;
                for (ChoiceList* list : s->findChildren<ChoiceList*>())
                    if (list != menu && list->isVisibleTo(s) && list->count() > 0) lists.push_back(list);
                std::vector<QAbstractButton*> buttons;
                for (QAbstractButton* b : s->findChildren<QAbstractButton*>())
                    if (b->isVisibleTo(s) && b->isEnabled() && b->text() != QStringLiteral("終る") &&
                        b->text() != QStringLiteral("目次"))
                        buttons.push_back(b);
                if (!buttons.empty() && (lists.empty() || draw(6) == 0))
                    QTest::mouseClick(buttons[draw(static_cast<int>(buttons.size()))], Qt::LeftButton);
                else if (!lists.empty()) {
                    ChoiceList* list = lists[draw(static_cast<int>(lists.size()))];
                    list->Choose(draw(list->count()));
                }
                QApplication::processEvents();
                if (choice % 8 == 0)
                    Save(s, QStringLiteral("pupil-%1-%2-%3").arg(s->objectName()).arg(item + 1).arg(choice));
            }
        }
        s->hide();
    }
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    out_dir = argc > 1 ? argv[1] : QDir::currentPath();
    QDir().mkpath(out_dir);
    QTemporaryDir data;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, data.path());
    FakeServices services;
    services.ctx.exe_folder = ExecutableFolder();
    shown_clock = &services.clock;
    Program program(services.ctx, data.path() + "/kyozai.db");
    program.main_window()->show();
    Save(program.main_window(), "TForm1-menu");
    Pupils(program);
    RecordWindows(program, services);
    DivisionPractice(program, services);
    DivisionDrill(program, services);
    // 2.35 + 1.4, 7.5 + 12.06, 0.48 + 3.52 (the last answered wrongly).
    DecimalDrill(program, services, 3, "TForm5",
                 {{0, 234, 139}, {59, 749, 1205}, {0, 47, 351}},
                 {{0, 3, 7, 5}, {1, 9, 5, 6}, {0, 3, 0, 9}});
    // 8.4 - 2.57, 15.03 - 6.9, 4.06 - 0.38.
    DecimalDrill(program, services, 5, "TForm7",
                 {{0, 839, 256}, {50, 1502, 689}, {0, 405, 37}},
                 {{0, 5, 8, 3}, {0, 8, 1, 3}, {0, 3, 6, 8}});
    DecimalPractice(program, services);
    DiagnosisPanels(program, services);
    FractionPractice(program, services);
    ExampleModes(services);
    FractionDrill(program, services);
    RulesDrill(program, services);
    LongTexts(services);
    RecommendedDivision(services);
    WorkGiven(services);
    Multiplication(services);
    DecimalDivision(services);
    RandomPupil(services);
    return 0;
}
