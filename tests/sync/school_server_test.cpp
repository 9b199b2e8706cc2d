// Teachers signed in to the school's server: what a teacher's role may see
// and change, the figures the server counts against the PC's own reports,
// and the sign-in through the teacher's view.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <random>

#include "app/teacher/class_data.h"
#include "app/teacher/sign_in_dialog.h"
#include "app/teacher/teacher_window.h"
#include "record/class_roster.h"
#include "report/csv_export.h"
#include "support/history_rows.h"
#include "support/screen_support.h"
#include "sync/sync_support.h"
#include "sync/teacher_session.h"

namespace sorelka::testing {
namespace {

class SchoolServer : public ServerSuite {
protected:
    // Sends the scratch record's rows to the server as the PC "pc".
    void Send(const ScratchRecord& r) {
        SendRecord(r.path());
    }
    std::unique_ptr<sync::TeacherSession> SignIn(const QString& password = QString()) {
        const sync::ServerConfig teacher = cluster().TeacherConfig();
        QString problem;
        auto session = sync::TeacherSession::SignIn(cluster().TlsConfig(), teacher.user,
                                                    password.isNull() ? teacher.password : password, &problem);
        if (!session) last_problem_ = problem;
        return session;
    }
    int ServerCount(const QString& sql) { return cluster().Query(sql).value(0).toInt(); }
    // Puts every pupil the PCs sent on the school's list, in the order sent.
    void ListSentPupils() {
        cluster().Query("insert into class_pupils (class_name, name) select class_name, name from pupils"
                        " group by 1, 2 order by min(created_at), min(pc_id), min(id) on conflict do nothing");
    }

    QString last_problem_;
};

// Two classes on one PC, one of them granted: the teacher's role sees that
// one only (by every function and not at all through the tables), and its
// renames, moves and deletions reach every row of the pupil on the server.
TEST_F(SchoolServer, ATeacherSeesOnlyGrantedClassesAndChangesReachTheServer) {
    ScratchRecord r;
    record::ClassRoster classes(*r.store);
    r.Answer("はなこ", "2026-12-01", 1, true, 3.5, {});
    r.Answer("はなこ", "2026-12-02", 1, false, 4.5, "zero_missing");
    r.Answer("たろう", "2026-12-02", 2, true, 5.5, {});
    ASSERT_EQ(classes.AddClass("4年2組"), "");
    ASSERT_EQ(classes.MovePupil("たろう", "4年2組"), "");
    Send(r);
    ListSentPupils();
    cluster().Query("delete from teacher_classes");
    cluster().Query("select sorelka_grant_class('teacher', 'クラス')");

    EXPECT_EQ(SignIn("wrong"), nullptr);
    EXPECT_EQ(last_problem_, "ユーザー名か パスワードが ちがいます。");
    auto session = SignIn();
    ASSERT_NE(session, nullptr) << last_problem_.toStdString();
    EXPECT_EQ(session->Classes(), QStringList{"クラス"});
    EXPECT_EQ(ClassData::OnServer(*session, "クラス")->Pupils(), QStringList{"はなこ"});
    // Every way into the other class is refused with a permission error.
    for (const char* sql : {"select * from sorelka_pupils('4年2組')",
                            "select * from sorelka_class_summary('4年2組', null, null, null, null)",
                            "select sorelka_open_answers('4年2組', null, null, null, null)",
                            "select sorelka_delete_pupil('4年2組', 'たろう')",
                            "select sorelka_move_pupil('クラス', 'はなこ', '4年2組')",
                            "select sorelka_grant_class('teacher', '4年2組')", "select count(*) from history",
                            "select count(*) from pupils"}) {
        SCOPED_TRACE(sql);
        const sync::PgResult refused = session->Exec(sql);
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.sqlstate(), "42501") << refused.error().toStdString();
    }
    EXPECT_EQ(ClassData::OnServer(*session, "4年2組")->Summary({}).size(), 0u);

    EXPECT_EQ(session->RenamePupil("クラス", "はなこ", "はな"), "");
    EXPECT_EQ(cluster().Query("select name from pupils order by id"), (QStringList{"はな", "たろう"}));
    EXPECT_NE(session->RenamePupil("クラス", "はな", "はな"), "") << "a name the class has already";
    EXPECT_EQ(session->DeletePupil("クラス", "はな"), "");
    EXPECT_EQ(ServerCount("select count(*) from history"), 1) << "only たろう's answer is left";
    EXPECT_EQ(cluster().Query("select name from pupils"), QStringList{"たろう"});
}

// A random history (three pupils, two months, every topic, drills, answers
// to find-the-mistake examples) on the PC and on the server: every figure
// the view and the exports show is the same, whichever counts it, under
// every kind of filter.
TEST_F(SchoolServer, TheServersFiguresAreThePcsOwnForRandomHistories) {
    const char* kinds[] = {"",      "zero_missing", "quotient_too_big", "slip",           "other",
                           "carry_forgotten", "end_zero_kept", "remainder_point", "stopped_early"};
    const int topics = int(kAllTopics.size());
    const QStringList pupils = {"はなこ", "たろう", "じろう"};
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        SetUp();  // empty tables for each draw
        std::mt19937 draw(seed);
        auto below = [&](int n) { return int(draw() % unsigned(n)); };
        ScratchRecord r;
        QDate day(2026, 10, 1);
        for (int i = 0; i < 240; ++i) {
            day = day.addDays(below(4) == 0);
            const QString at = QStringLiteral("%1T09:%2:%3.000+09:00")
                                   .arg(day.toString(Qt::ISODate))
                                   .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                   .arg(i % 60, 2, 10, QLatin1Char('0'));
            const bool right = below(10) < 6;
            // One answer in eight is to a find-the-mistake example: counted
            // apart, never in the pupil's own figures or habits.
            const QString mode = below(8) == 0 ? "find_mistake" : "practice";
            r.Answer(pupils[below(3)], at, 1 + below(topics), right, below(40) + 0.5,
                     right ? QString() : QString(kinds[below(int(std::size(kinds)))]), "745 ÷ 6", "124 あまり 1", mode);
            // A drill with its answers, its figures theirs as the PC counts them.
            if (below(12) == 0) {
                const QString pupil = pupils[below(3)];
                const int topic = 1 + below(topics), questions = 1 + below(5), correct = below(questions + 1);
                r.store->Commit({{"insert into drills (uid, pupil_id, topic, started_at, questions, correct,"
                                  " points, seconds) values (?, (select id from pupils where name = ?), ?, ?, ?,"
                                  " ?, ?, 60)",
                                  {QString::number(i), pupil, topic, at, questions, correct, correct * 100 / questions}}});
                for (int k = 0; k < questions; ++k)
                    r.store->Commit({{"insert into history (pupil_id, answered_at, topic, mode, menu_choice, drill_id,"
                                      " question_no, problem, right_answer, entered_answer, correct, seconds,"
                                      " worked_rows) values ((select id from pupils where name = ?), ?, ?, 'drill', 1,"
                                      " (select max(id) from drills), ?, '745 ÷ 6', '124 あまり 1', '124', ?, 2.5,"
                                      " '[]')",
                                      {pupil, at, topic, k + 1, k < correct ? 1 : 0}}});
            }
        }
        Send(r);
        ListSentPupils();
        cluster().Query("select sorelka_grant_class('teacher', 'クラス')");
        auto session = SignIn();
        ASSERT_NE(session, nullptr) << last_problem_.toStdString();
        const auto local = ClassData::ThisPc(*r.learning);
        const auto server = ClassData::OnServer(*session, "クラス");
        EXPECT_EQ(local->Pupils(), server->Pupils());

        const report::ReportFilter filters[] = {
            {},
            {std::nullopt, QDate(2026, 10, 10), QDate(2026, 11, 5), std::nullopt},
            {std::nullopt, std::nullopt, std::nullopt, Topic::Rules},
            {std::nullopt, std::nullopt, std::nullopt, Topic::DecimalMultiplication},
            {std::nullopt, std::nullopt, std::nullopt, Topic::DecimalDivision},
            {pupils[seed % 3], std::nullopt, std::nullopt, std::nullopt},
            {pupils[0], QDate(2026, 10, 20), std::nullopt, Topic::Division},
        };
        for (const report::ReportFilter& f : filters) {
            SCOPED_TRACE(report::PeriodText(f).toStdString() + " " + f.pupil.value_or("").toStdString());
            const auto mine = local->Summary(f), theirs = server->Summary(f);
            ASSERT_EQ(mine.size(), theirs.size());
            for (std::size_t i = 0; i < mine.size(); ++i) {
                const report::ClassRow &a = mine[i], &b = theirs[i];
                EXPECT_EQ(std::tie(a.pupil, a.topic, a.answers, a.correct, a.last_day, a.habit, a.drills, a.best_points,
                                   a.found_answers, a.found_correct),
                          std::tie(b.pupil, b.topic, b.answers, b.correct, b.last_day, b.habit, b.drills, b.best_points,
                                   b.found_answers, b.found_correct));
                EXPECT_NEAR(a.median_seconds, b.median_seconds, 1e-9);
            }
            const auto kinds_here = local->Kinds(f), kinds_there = server->Kinds(f);
            ASSERT_EQ(kinds_here.size(), kinds_there.size());
            for (std::size_t i = 0; i < kinds_here.size(); ++i)
                EXPECT_EQ(std::tie(kinds_here[i].topic, kinds_here[i].kind, kinds_here[i].count),
                          std::tie(kinds_there[i].topic, kinds_there[i].kind, kinds_there[i].count));
            const auto wrong_here = local->RecentWrong(f, 10), wrong_there = server->RecentWrong(f, 10);
            ASSERT_EQ(wrong_here.size(), wrong_there.size());
            for (std::size_t i = 0; i < wrong_here.size(); ++i)
                EXPECT_EQ(wrong_here[i].answered_at + wrong_here[i].kind,
                          wrong_there[i].answered_at + wrong_there[i].kind);
            // The answers file, byte for byte (one PC: its ids are the order given).
            QString error;
            const QString here = r.folder.filePath("here.csv"), there = r.folder.filePath("there.csv");
            ASSERT_TRUE(local->Export(ExportFormat::Csv, f, day, here, &error)) << error.toStdString();
            ASSERT_TRUE(server->Export(ExportFormat::Csv, f, day, there, &error)) << error.toStdString();
            QFile a(here), b(there);
            ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            const QStringList mine_lines = QString::fromUtf8(a.readAll()).split("\r\n");
            const QStringList their_lines = QString::fromUtf8(b.readAll()).split("\r\n");
            EXPECT_EQ(mine_lines.size(), their_lines.size());
            for (int i = 0; i < std::min(mine_lines.size(), their_lines.size()); ++i)
                if (mine_lines[i] != their_lines[i]) {
                    ADD_FAILURE() << "line " << i << ":\n" << Utf8(mine_lines[i]) << "\n" << Utf8(their_lines[i]);
                    break;
                }
        }
        for (const QString& pupil : pupils) {
            const auto weeks_here = local->Weekly(pupil, day, std::nullopt);
            const auto weeks_there = server->Weekly(pupil, day, std::nullopt);
            ASSERT_EQ(weeks_here.size(), weeks_there.size());
            for (std::size_t i = 0; i < weeks_here.size(); ++i) EXPECT_EQ(weeks_here[i].percent, weeks_there[i].percent);
        }
    }
}

// The teacher signs in through the dialog (a wrong password first), the
// view shows the granted class from the server and the roster's rename
// reaches it.
TEST_F(SchoolServer, SigningInShowsTheGrantedClassAndTheRosterReachesTheServer) {
    ScratchRecord r;
    r.Answer("はなこ", "2026-12-01", 1, true, 3.5, {});
    r.Answer("けんた", "2026-12-02", 3, false, 4.5, "borrow_forgotten");
    Send(r);
    ListSentPupils();
    cluster().Query("select sorelka_grant_class('teacher', 'クラス')");

    SignInDialog dialog(cluster().TlsConfig(), nullptr);
    dialog.show();
    Find<QLineEdit>(&dialog, "TeacherUserEdit")->setText("teacher");
    Find<QLineEdit>(&dialog, "TeacherPasswordEdit")->setText("not-it");
    Click(&dialog, "SignInButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(LabelText(&dialog, "SignInMessage"), "ユーザー名か パスワードが ちがいます。");
    EXPECT_TRUE(Find<QLineEdit>(&dialog, "TeacherPasswordEdit")->text().isEmpty()) << "the typing is not kept";
    Find<QLineEdit>(&dialog, "TeacherPasswordEdit")->setText(cluster().TeacherConfig().password);
    Click(&dialog, "SignInButton");
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << Utf8(LabelText(&dialog, "SignInMessage"));

    FakeServices fx;
    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    w.SignIn(dialog.TakeSession());
    w.show();
    EXPECT_TRUE(w.ShowingServer());
    EXPECT_EQ(Find<QComboBox>(&w, "ClassChoice")->currentText(), "クラス");
    EXPECT_TRUE(LabelText(&w, "ClassServerStatus").startsWith("表示しているのは 学校のサーバーの「クラス」です（teacher で サインイン）。"));
    auto* table = Find<QTableView>(&w, "ClassTable");
    ASSERT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(table->model()->index(1, 0).data().toString(), "けんた");

    Find<QTabWidget>(&w, "TeacherTabs")->setCurrentIndex(2);
    auto* roster = Find<QListWidget>(&w, "RosterList");
    ASSERT_EQ(roster->count(), 2);
    roster->setCurrentRow(1);
    Find<QLineEdit>(&w, "RosterName")->setText("けん");
    Click(&w, "RenameButton");
    EXPECT_EQ(LabelText(&w, "RosterMessage"), "「けんた」を「けん」にしました。");
    EXPECT_EQ(cluster().Query("select name from pupils order by id"), (QStringList{"はなこ", "けん"}));
    EXPECT_EQ(table->model()->index(1, 0).data().toString(), "けん") << "the class read again from the server";

    // Two pupils another PC sent that the list does not hold wait below the
    // roster (read again with the class, here after a pupil is added, who
    // goes on the server's list too); one is attached to はなこ (her answers
    // grow by its two), the other dropped.
    cluster().Query("do $$ begin if not exists (select from pg_roles where rolname = 'pc_other') then"
                    " create role pc_other login in role sorelka_writer; end if; end $$");
    cluster().Query("insert into pc_owners (pc_id, owner) values ('other', 'pc_other') on conflict do nothing");
    cluster().Query("insert into pupils (pc_id, id, name, class_name) values ('other', 1, 'はなこ２', 'クラス'),"
                    " ('other', 2, 'だれか', 'クラス');"
                    " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct)"
                    " values ('other', 1, 1, '2026-12-03T09:00:00', 1, 'practice', 'p', 1),"
                    " ('other', 2, 1, '2026-12-04T09:00:00', 1, 'practice', 'p', 0)");
    Find<QLineEdit>(&w, "RosterName")->setText("さくら");
    Click(&w, "AddButton");
    EXPECT_EQ(LabelText(&w, "RosterMessage"), "「さくら」をふやしました。");
    EXPECT_EQ(cluster().Query("select name from class_pupils where class_name = 'クラス' order by place"),
              (QStringList{"はなこ", "けん", "さくら"}));
    auto* unmatched = Find<QListWidget>(&w, "UnmatchedList");
    ASSERT_EQ(unmatched->count(), 2);
    EXPECT_EQ(unmatched->item(0)->text(), "だれか（pc_other、答え 0 問）");
    EXPECT_EQ(unmatched->item(1)->text(), "はなこ２（pc_other、答え 2 問、2026-12-03〜2026-12-04）");
    unmatched->setCurrentRow(1);
    Find<QComboBox>(&w, "AttachTo")->setCurrentText("はなこ");
    Click(&w, "AttachButton");
    EXPECT_EQ(LabelText(&w, "UnmatchedMessage"), "「はなこ２」の答えを「はなこ」につなぎました。");
    auto check = SignIn();
    ASSERT_NE(check, nullptr);
    const auto rows = ClassData::OnServer(*check, "クラス")->Summary({});
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().pupil + QString::number(rows.front().answers), "はなこ3");
    ASSERT_EQ(unmatched->count(), 1);
    Click(&w, "DropButton");
    EXPECT_EQ(LabelText(&w, "UnmatchedMessage"), "「だれか」の答えを すてました（数えません）。");
    EXPECT_EQ(unmatched->count(), 0);
    EXPECT_EQ(cluster().Query("select pc_id || ' ' || pupil_id || ' ' || coalesce(name, '-') from pupil_links order by pupil_id"),
              (QStringList{"other 1 はなこ", "other 2 -"}));

    // A pupil this PC has that the school's list lost goes back on it alone.
    cluster().Query("delete from class_pupils where name = 'さくら'");
    for (const char* said : {"「さくら」を 学校のサーバーの名簿に ふやしました。", "「さくら」は、もういるよ！"}) {
        Find<QLineEdit>(&w, "RosterName")->setText("さくら");
        Click(&w, "AddButton");
        EXPECT_EQ(LabelText(&w, "RosterMessage"), said);
    }
    EXPECT_EQ(cluster().Query("select count(*) from class_pupils where name = 'さくら'"), QStringList{"1"});
}

}  // namespace
}  // namespace sorelka::testing
