// The teacher's "かだい" and "いまの ようす" tabs: their texts and models
// directly, then each tab through its widgets over a fake server.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <set>

#include "app/teacher/teacher_window.h"
#include "app/teacher/work_models.h"
#include "support/fake_class_work.h"
#include "support/history_rows.h"
#include "support/screen_support.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

TEST(WorkTexts, ProgressShareRightAndKinds) {
    struct Case {
        const char* name;
        int answered, correct, problems;
        const char* progress;
        const char* share;
    };
    const Case cases[] = {
        {"not started", 0, 0, 10, "まだ", ""},
        {"under way", 3, 2, 10, "とちゅう（３／１０）", "正答率 67%"},
        {"one short", 99, 99, 100, "とちゅう（９９／１００）", "正答率 100%"},
        {"done", 10, 8, 10, "おわり", "正答率 80%"},
        {"more than asked", 12, 6, 10, "おわり", "正答率 50%"},
        {"more right than answers (bad row)", 3, 5, 10, "とちゅう（３／１０）", "正答率 100%"},
        {"negative counts (bad row)", -2, -1, 10, "まだ", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressText(c.answered, c.problems), QString::fromUtf8(c.progress)) << c.name;
        EXPECT_EQ(ShareRightText(c.answered, c.correct), QString::fromUtf8(c.share)) << c.name;
    }

    // Labels from the piece's topic, else any topic's; unknown ids as they are.
    EXPECT_EQ(KindLabelsText({"zero_missing", "bring_down"}, Topic::Division), "商に０をたてわすれた、おろす数のまちがい");
    EXPECT_EQ(KindLabelsText({"carry_missing", " zero_missing"}, std::nullopt), "くり上がりをわすれた、商に０をたてわすれた");
    EXPECT_EQ(KindLabelsText({"no_such_kind", "", "zero_missing", "zero_missing"}, Topic::Division),
              "no_such_kind、商に０をたてわすれた");
    EXPECT_EQ(KindLabelsText({}, Topic::Division), "");
}

TEST(WorkTexts, EveryChoiceOfWhatToPractiseComesBackFromItsPiece) {
    const std::vector<WhatChoice>& choices = WhatChoices();
    std::set<QString> labels;
    int menu_items = 0, skills = 0, recommended = 0;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        WorkPiece piece{.title = "x", .topic = TopicNumber(Topic::Rules), .menu_choice = 4, .skill = "left over"};
        SetWhat(piece, choices[i]);
        EXPECT_EQ(WhatIndex(piece), int(i)) << Utf8(choices[i].label);
        EXPECT_EQ(WhatText(piece), choices[i].label);
        EXPECT_TRUE(labels.insert(choices[i].label).second) << "twice: " << Utf8(choices[i].label);
        menu_items += piece.topic.has_value();
        skills += !piece.skill.isEmpty();
        recommended += piece.recommended;
        EXPECT_EQ(int(piece.topic.has_value()) + int(!piece.skill.isEmpty()) + int(piece.recommended), 1)
            << "exactly one of a menu item, a skill, おすすめ: " << Utf8(choices[i].label);
    }
    std::size_t want_items = 0, want_skills = 0;
    for (const TopicInfo& info : TopicTable()) {
        EXPECT_FALSE(info.practice_menu.empty()) << info.name;
        want_items += info.practice_menu.size();
        want_skills += info.skills.size();
    }
    EXPECT_EQ(menu_items, int(want_items));
    EXPECT_EQ(skills, int(want_skills));
    EXPECT_EQ(recommended, 1);
    EXPECT_EQ(choices.front().label, "わり算：１けたでわる");

    // A piece of a topic or skill this program does not know is shown by its ids.
    const WorkPiece unknown{.topic = 1, .menu_choice = 9};
    EXPECT_EQ(WhatIndex(unknown), -1);
    EXPECT_EQ(WhatText(unknown), "単元 1 の 9");
}

TEST(WorkTexts, FormRefusalsInJapanese) {
    const QDate today(2026, 12, 8);
    WorkPiece ok{.title = "ふくしゅう", .topic = 1, .menu_choice = 2, .problems = 10, .due_day = today};
    struct Case {
        const char* name;
        std::function<void(WorkPiece&)> spoil;
        bool is_new;
        const char* refusal;
    };
    const Case cases[] = {
        {"sound", [](WorkPiece&) {}, true, ""},
        {"blank title", [](WorkPiece& p) { p.title = "　 "; }, true, "かだいの 名前を 入れてください。"},
        {"nothing to practise", [](WorkPiece& p) { p.topic.reset(); }, true,
         "なにを れんしゅうするか えらんでください。"},
        {"no problems", [](WorkPiece& p) { p.problems = 0; }, true, "問題の数は １から １００までに してください。"},
        {"too many", [](WorkPiece& p) { p.problems = 101; }, false, "問題の数は １から １００までに してください。"},
        {"new piece due yesterday", [&](WorkPiece& p) { p.due_day = today.addDays(-1); }, true,
         "きげんが 今日より まえです。"},
        {"old piece past its day may be changed", [&](WorkPiece& p) { p.due_day = today.addDays(-1); }, false, ""},
    };
    for (const Case& c : cases) {
        WorkPiece p = ok;
        c.spoil(p);
        EXPECT_EQ(WorkFormProblem(p, true, c.is_new, today), QString::fromUtf8(c.refusal)) << c.name;
    }
}

TEST(WorkTexts, ProgressLinesFollowThePiecesAndLeaveWithdrawnOnesOut) {
    const std::vector<WorkPiece> pieces = {
        {.id = 7, .title = "新しい", .skill = "division.zero_in_quotient", .problems = 5},
        {.id = 3, .title = "とりけした", .recommended = true, .problems = 5,
         .withdrawn_at = QDateTime(QDate(2026, 12, 7), QTime(9, 0))},
        {.id = 2, .title = "古い", .topic = TopicNumber(Topic::DecimalAddition), .menu_choice = 1, .problems = 4},
    };
    const std::vector<WorkProgressRow> rows = {
        {2, "はなこ", 4, 3, {"carry_missing"}}, {3, "はなこ", 2, 2, {}}, {7, "たろう", 0, 0, {}},
        {7, "はなこ", 2, 1, {"zero_missing"}},  {99, "じろう", 1, 1, {}},
    };
    const std::vector<ProgressLine> lines = ProgressLines(pieces, rows);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].title + lines[0].pupil + lines[0].progress + lines[0].share, "新しいたろうまだ");
    EXPECT_EQ(lines[1].pupil + lines[1].progress + lines[1].share, "はなことちゅう（２／５）正答率 50%");
    EXPECT_EQ(lines[1].kinds, "商に０をたてわすれた") << "a skill's piece names kinds by the skill's topic";
    EXPECT_EQ(lines[2].title + lines[2].progress + lines[2].kinds, "古いおわりくり上がりをわすれた");
}

TEST(LiveTable, ScreenAndStuckTextsAndRowsUpdatedInPlace) {
    struct Case {
        LivePupil row;
        const char* screen;
        const char* stuck;
    };
    const Case cases[] = {
        {{.pupil = "a"}, "—", ""},
        {{.pupil = "a", .screen = "TForm1"}, "メニュー", ""},
        {{.pupil = "a", .screen = "TForm3", .topic = 1, .menu_choice = 2}, "わり算", ""},
        {{.pupil = "a", .screen = "TForm3", .topic = 1, .work_id = 4, .stuck = true, .stuck_why = "３分 こたえが ない"},
         "わり算・かだい", "つまずき（３分 こたえが ない）"},
        {{.pupil = "a", .screen = "TForm9"}, "ほかの画面", ""},
        {{.pupil = "a", .screen = "TForm3", .topic = 99, .stuck = true}, "ほかの画面", "つまずき"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LiveScreenText(c.row), QString::fromUtf8(c.screen)) << Utf8(c.row.screen);
        EXPECT_EQ(StuckText(c.row), QString::fromUtf8(c.stuck)) << Utf8(c.row.screen);
    }

    LiveTableModel model(nullptr);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    std::vector<LivePupil> rows = {{.pupil = "はなこ", .screen = "TForm1"},
                                 {.pupil = "たろう", .screen = "TForm3", .topic = 1, .answers = 4, .correct = 3}};
    model.Update(rows);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.index(1, LiveTableModel::ShareColumn).data().toString(), "正答率 75%");
    model.Update(rows);
    EXPECT_EQ(resets.count(), 1) << "nothing changed";
    EXPECT_EQ(changes.count(), 0);
    rows[1].answers = 5;
    rows[1].stuck = true;
    rows[1].stuck_why = "３問中２問まちがい";
    model.Update(rows);
    EXPECT_EQ(resets.count(), 1);
    ASSERT_EQ(changes.count(), 1) << "only たろう's row";
    EXPECT_EQ(changes[0][0].toModelIndex().row(), 1);
    EXPECT_EQ(model.index(1, LiveTableModel::StuckColumn).data().toString(), "つまずき（３問中２問まちがい）");
    EXPECT_TRUE(model.index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
    rows.push_back({.pupil = "じろう"});
    model.Update(rows);
    EXPECT_EQ(resets.count(), 2) << "a pupil more";
    EXPECT_EQ(model.rowCount(), 3);
}

// A teacher's window on a record of three pupils, its class's work and
// lesson through fakes.
struct ClassWorkWindow : ::testing::Test {
    ScratchRecord r;
    FakeServices fx;
    std::unique_ptr<TeacherWindow> w;
    FakeWorkSource* work = nullptr;
    std::shared_ptr<LiveScript> live = std::make_shared<LiveScript>();

    void SetUp() override {
        for (const char* name : {"はなこ", "たろう", "じろう"}) r.learning->AddPupil(QString::fromUtf8(name));
        w = std::make_unique<TeacherWindow>(*r.learning, fx.ctx, nullptr);
        w->show();
    }
    void SignIn() {
        auto source = std::make_unique<FakeWorkSource>();
        work = source.get();
        w->ShowClassWork(std::move(source), std::make_unique<FakeLiveSource>(live), "4年1組");
    }
    QTabWidget* tabs() { return Find<QTabWidget>(w.get(), "TeacherTabs"); }
    int TabIndex(const QString& title) {
        for (int i = 0; i < tabs()->count(); ++i)
            if (tabs()->tabText(i) == title) return i;
        return -1;
    }
    static QString Cell(QTableView* t, int row, int column) { return t->model()->index(row, column).data().toString(); }
};

TEST_F(ClassWorkWindow, APieceMadeThroughTheFormItsProgressAndItsWithdrawal) {
    const int tab = TabIndex("かだい");
    ASSERT_GE(tab, 0);
    EXPECT_FALSE(tabs()->isTabVisible(tab)) << "not signed in";
    EXPECT_FALSE(tabs()->isTabVisible(TabIndex("いまの ようす")));
    SignIn();
    ASSERT_TRUE(tabs()->isTabVisible(tab));
    tabs()->setCurrentIndex(tab);

    auto* title = Find<QLineEdit>(w.get(), "WorkTitle");
    auto* what = Find<QComboBox>(w.get(), "WorkWhat");
    auto* whole = Find<QCheckBox>(w.get(), "WorkWholeClass");
    auto* pupils = Find<QListWidget>(w.get(), "WorkPupils");
    auto* message = Find<QLabel>(w.get(), "WorkMessage");
    auto* table = Find<QTableView>(w.get(), "WorkTable");
    EXPECT_EQ(Find<QDateEdit>(w.get(), "WorkDue")->date(), QDate(2026, 12, 15)) << "a week from today";

    // Refused by the form: no title; a chosen pupil missing; then by the server.
    Click(w.get(), "WorkMakeButton");
    EXPECT_EQ(message->text(), "かだいの 名前を 入れてください。");
    title->setText("わり算 ふくしゅう");
    what->setCurrentIndex(what->findText("わり算：２けたでわる"));
    Find<QSpinBox>(w.get(), "WorkProblems")->setValue(5);
    whole->click();
    ASSERT_TRUE(pupils->isEnabled());
    Click(w.get(), "WorkMakeButton");
    EXPECT_TRUE(message->text().startsWith("かだいを だす子を えらんでください")) << Utf8(message->text());
    ASSERT_EQ(pupils->count(), 3);
    pupils->item(pupils->row(pupils->findItems("たろう", Qt::MatchExactly).value(0)))->setCheckState(Qt::Checked);
    work->refusal = "このクラスを見る権限がありません（管理者に たのんでください）。";
    Click(w.get(), "WorkMakeButton");
    EXPECT_EQ(message->text(), work->refusal);
    EXPECT_TRUE(work->pieces.empty());
    work->refusal.clear();
    Click(w.get(), "WorkMakeButton");
    ASSERT_EQ(work->pieces.size(), 1u);
    const WorkPiece made = work->pieces[0];
    EXPECT_EQ(work->made_for, "4年1組");
    EXPECT_EQ(made.title, "わり算 ふくしゅう");
    EXPECT_EQ(made.topic, std::optional<int>(TopicNumber(Topic::Division)));
    EXPECT_EQ(made.menu_choice, std::optional<int>(2));
    EXPECT_EQ(made.problems, 5);
    EXPECT_EQ(made.due_day, QDate(2026, 12, 15));
    EXPECT_EQ(made.pupils, QStringList{"たろう"});
    EXPECT_EQ(message->text(), "「わり算 ふくしゅう」を つくりました。");
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(Cell(table, 0, WorkTableModel::WhatColumn), "わり算：２けたでわる");
    EXPECT_EQ(Cell(table, 0, WorkTableModel::ForWhomColumn), "たろう");

    // Changed: the chosen piece's form, made for the whole class.
    whole->click();
    Click(w.get(), "WorkChangeButton");
    EXPECT_TRUE(work->pieces[0].pupils.isEmpty());
    EXPECT_EQ(Cell(table, 0, WorkTableModel::ForWhomColumn), "クラス全員");

    // Progress as the server counts it, and its file.
    work->progress = {{made.id, "はなこ", 3, 2, {"zero_missing", "product_slip"}}, {made.id, "たろう", 5, 5, {}},
                      {made.id, "じろう", 0, 0, {}}};
    w->Refresh();  // as "サーバーから読みなおす" does
    auto* progress = Find<QTableView>(w.get(), "WorkProgress");
    ASSERT_EQ(progress->model()->rowCount(), 3);
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::ProgressColumn), "とちゅう（３／５）");
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::ShareColumn), "正答率 67%");
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::KindsColumn), "商に０をたてわすれた、かけ算のまちがい");
    EXPECT_EQ(Cell(progress, 1, ProgressTableModel::ProgressColumn), "おわり");
    EXPECT_EQ(Cell(progress, 2, ProgressTableModel::ProgressColumn), "まだ");
    const QString csv = r.folder.path() + "/kadai.csv";
    w->ask_save_path = [&](const QString& suggested) {
        EXPECT_EQ(suggested, "kadai-20261208.csv");
        return csv;
    };
    Click(w.get(), "WorkCsvButton");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "わり算 ふくしゅう,はなこ,とちゅう（３／５）,正答率 67%,商に０をたてわすれた、かけ算のまちがい");
    // The record is never written over.
    w->ask_save_path = [&](const QString&) { return r.path(); };
    Click(w.get(), "WorkCsvButton");
    EXPECT_EQ(fx.dialogs.shown.back().kind, FakeDialogs::Kind::Message);

    // Withdrawn only after a yes: the answers stay, the piece leaves progress.
    fx.dialogs.answers = {Answer::No};
    Click(w.get(), "WorkWithdrawButton");
    EXPECT_FALSE(work->pieces[0].withdrawn());
    EXPECT_TRUE(QString::fromStdString(fx.dialogs.shown.back().text).startsWith("「わり算 ふくしゅう」を とりけしますか？"));
    fx.dialogs.answers = {Answer::Yes};
    Click(w.get(), "WorkWithdrawButton");
    EXPECT_TRUE(work->pieces[0].withdrawn());
    EXPECT_EQ(Cell(table, 0, WorkTableModel::WithdrawnColumn), "とりけし");
    EXPECT_EQ(progress->model()->rowCount(), 0);
    Click(w.get(), "WorkChangeButton");
    EXPECT_EQ(message->text(), "とりけした かだいは なおせません。");

    // A server that refuses the list: said, nothing shown.
    work->list_problem = "このクラスを見る権限がありません（管理者に たのんでください）。";
    w->Refresh();
    EXPECT_EQ(message->text(), work->list_problem);
    EXPECT_EQ(table->model()->rowCount(), 0);

    // Signed out of the class: the tabs go.
    w->ShowClassWork(nullptr, nullptr, QString());
    EXPECT_FALSE(tabs()->isTabVisible(tab));
}

TEST_F(ClassWorkWindow, TheLessonReadOffTheWindowsThreadEveryFiveSecondsAndAPupilOpened) {
    live->Set({{.pupil = "はなこ", .screen = "TForm3", .topic = 1, .answers = 4, .correct = 3},
               {.pupil = "たろう", .screen = "TForm1"},
               {.pupil = "じろう"}});
    SignIn();
    auto* table = Find<QTableView>(w.get(), "LiveTable");
    auto* timer = Find<QTimer>(w.get(), "LiveTimer");
    EXPECT_FALSE(timer->isActive()) << "not read while another tab is on screen";
    EXPECT_EQ(live->readings, 0);

    tabs()->setCurrentIndex(TabIndex("いまの ようす"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == 3; }, 5000));
    EXPECT_EQ(Cell(table, 0, LiveTableModel::ScreenColumn), "わり算");
    EXPECT_EQ(Cell(table, 0, LiveTableModel::ShareColumn), "正答率 75%");
    EXPECT_EQ(Cell(table, 1, LiveTableModel::ScreenColumn), "メニュー");
    EXPECT_EQ(Cell(table, 2, LiveTableModel::ScreenColumn), "—");

    // The timer's next reading changes one row in place.
    QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
    table->selectRow(2);
    live->Set({{.pupil = "はなこ", .screen = "TForm3", .topic = 1, .answers = 6, .correct = 3, .stuck = true,
                .stuck_why = "３問中２問まちがい"},
               {.pupil = "たろう", .screen = "TForm1"},
               {.pupil = "じろう"}});
    timer->setInterval(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Cell(table, 0, LiveTableModel::StuckColumn) != ""; }, 5000));
    EXPECT_EQ(Cell(table, 0, LiveTableModel::StuckColumn), "つまずき（３問中２問まちがい）");
    EXPECT_EQ(Cell(table, 0, LiveTableModel::ShareColumn), "正答率 50%");
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(table->currentIndex().row(), 2) << "the teacher's place kept";

    // A server that cannot answer leaves the rows and says why.
    live->problem = "学校のサーバーで できませんでした: timeout";
    const int before = live->readings;
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->readings > before + 1; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(table->model()->rowCount(), 3);
    EXPECT_TRUE(Find<QLabel>(w.get(), "LiveStatus")->text().endsWith("timeout"));

    // A double click on a pupil opens the one-pupil tab on that pupil.
    const QRect cell = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(tabs()->tabText(tabs()->currentIndex()), "ひとり");
    EXPECT_EQ(Find<QComboBox>(w.get(), "PupilChoice")->currentText(), "たろう");
    EXPECT_FALSE(timer->isActive()) << "stopped with the tab off screen";
}

}  // namespace
}  // namespace sorelka
