// Work given by the teacher and the lesson live on the school's server:
// who may read and write the pieces and the PCs' screen signal, a piece
// from making to withdrawing with a PC's answers and signal, and the
// shipped SQL over a server of the version before.
#include <QDateTime>

#include "sync/class_work.h"
#include "sync/pg_connection.h"
#include "sync/sync_support.h"
#include "sync/teacher_session.h"

namespace sorelka::testing {
namespace {

// The rows of a statement's result, each field joined by "|", rows by "\n".
QString Joined(const sync::PgResult& r) {
    QStringList rows;
    for (int i = 0; r.ok() && i < r.rows(); ++i) {
        QStringList fields;
        for (int j = 0; j < r.columns(); ++j) fields << r.text(i, j);
        rows << fields.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

class ClassWork : public ServerSuite {
protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        bool ok = false;
        cluster().Query("truncate work_pieces, work_pupils, pc_presence, pc_owners, teacher_classes", &ok);
        ASSERT_TRUE(ok);
        cluster().Query("do $$ begin if not exists (select from pg_roles where rolname = 'pc_b') then"
                        " create role pc_b login password 'x' in role sorelka_writer; end if; end $$");
    }
    // PC "pc" as it connects (its own libpq connection), or PC "pc_b".
    std::unique_ptr<sync::PgConnection> Pc(bool b = false) {
        sync::ServerConfig config = cluster().Config();
        if (b) config.user = "pc_b", config.password = "x";
        auto connection = std::make_unique<sync::PgConnection>();
        EXPECT_EQ(connection->Open(config, 5), "");
        return connection;
    }
    std::unique_ptr<sync::TeacherSession> SignIn() {
        QString problem;
        auto session = sync::TeacherSession::SignIn(cluster().TlsConfig(), "teacher",
                                                    cluster().TeacherConfig().password, &problem);
        EXPECT_NE(session, nullptr) << problem.toStdString();
        return session;
    }
    // Runs `sql` as the superuser with the tables' triggers off, to set the
    // server's own times back.
    void Backdate(const QString& sql) {
        bool ok = false;
        cluster().Query("set session_replication_role = replica; " + sql, &ok);
        ASSERT_TRUE(ok) << sql.toStdString();
    }
    // Two classes on two PCs: PC "pc" owns pc_id 'A' (はなこ and たろう of
    // 4年1組), PC "pc_b" owns 'B' (じろう of 4年2組). The teacher has 4年1組.
    void TwoClasses() {
        bool ok = false;
        cluster().Query(
            "insert into pc_owners values ('A', 'pc'), ('B', 'pc_b');"
            " insert into pupils (pc_id, id, name, class_name) values ('A', 1, 'はなこ', '4年1組'),"
            " ('A', 2, 'たろう', '4年1組'), ('B', 1, 'じろう', '4年2組');"
            " insert into class_pupils (class_name, name, archived) values ('4年1組', 'はなこ', false),"
            " ('4年1組', 'たろう', false), ('4年1組', 'ゆうた', true), ('4年2組', 'じろう', false);"
            " select sorelka_grant_class('teacher', '4年1組')",
            &ok);
        ASSERT_TRUE(ok);
    }
};

// Every way a PC's role or a teacher's reaches work or signals it has no
// right to: each is refused with its SQLSTATE (or finds nothing), and none
// changes anything on the server.
TEST_F(ClassWork, PcsAndTeachersReachOnlyTheirOwnClassesWorkAndSignals) {
    TwoClasses();
    bool ok = false;
    const QStringList ids = cluster().Query(
        "insert into work_pieces (class_name, title, recommended, problems, due_day) values"
        " ('4年1組', '一組の', true, 5, '2026-12-20'), ('4年2組', '二組の', true, 5, '2026-12-20') returning id",
        &ok);
    ASSERT_TRUE(ok && ids.size() == 2);
    const QString mine = ids[0], theirs = ids[1];
    cluster().Query("insert into work_pupils values (" + theirs + ", 'じろう');"
                    " insert into pc_presence (pc_id, pupil_id, screen) values ('A', 1, 'TForm3'), ('B', 1, 'TForm5')");
    auto pc = Pc();
    auto pc_b = Pc(true);
    auto teacher = SignIn();
    ASSERT_TRUE(pc->is_open() && pc_b->is_open() && teacher);

    const QString make = "select sorelka_work_make('%1', %2, %3, %4, %5, %6, %7, %8, %9)";
    auto made = [&](const QString& cls, const QString& title, const QString& what, const QString& problems,
                    const QString& due = "current_date", const QString& pupils = "null") {
        QStringList parts = what.split(',');
        return make.arg(cls, title, parts[0], parts[1], parts[2], parts[3], problems, due, pupils);
    };
    const QString item = "1,2,null,false", recommended = "null,null,null,true";
    enum Who { PcA, PcB, Teacher };
    struct Case {
        const char* what;
        Who who;
        QString sql;
        QString state;   // the refusal's SQLSTATE; empty: runs and gives `result`
        QString result;
    };
    const Case cases[] = {
        {"a PC reads the work of its pupils' class", PcA, "select title from work_pieces", "", "一組の"},
        {"nor another class's chosen pupils", PcA, "select count(*) from work_pupils", "", "0"},
        {"the other PC likewise", PcB, "select title || ' ' || name from work_pieces join work_pupils on work_id = id",
         "", "二組の じろう"},
        {"a PC reads its own signal only", PcA, "select pc_id || ' ' || screen from pc_presence", "", "A TForm3"},
        {"a PC makes work", PcA,
         "insert into work_pieces (class_name, title, recommended, problems, due_day) values"
         " ('4年1組', 'x', true, 1, current_date)",
         "42501", ""},
        {"a PC changes work", PcA, "update work_pieces set problems = 1", "42501", ""},
        {"a PC withdraws work", PcA, "update work_pieces set withdrawn_at = now()", "42501", ""},
        {"a PC deletes work", PcA, "delete from work_pieces", "42501", ""},
        {"a PC chooses pupils", PcA, "insert into work_pupils values (" + mine + ", 'はなこ')", "42501", ""},
        {"a PC calls the teacher's function", PcA, made("4年1組", "'x'", recommended, "5"), "42501", ""},
        {"a PC signals under another's id", PcA,
         "insert into pc_presence (pc_id, screen) values ('B', 'TForm1')"
         " on conflict (pc_id) do update set screen = excluded.screen",
         "42501", ""},
        {"a PC signals under an id nobody claimed", PcA, "insert into pc_presence (pc_id) values ('C')", "42501", ""},
        {"a PC changes another's signal", PcA, "update pc_presence set screen = 'x' where pc_id = 'B'", "", ""},
        {"a PC moves its signal to another's id", PcA, "update pc_presence set pc_id = 'C'", "42501", ""},
        {"a PC deletes a signal", PcA, "delete from pc_presence", "42501", ""},
        {"a PC sets when an answer arrived", PcA,
         "insert into history (pc_id, id, answered_at, topic, mode, problem, correct, received_at)"
         " values ('A', 1, 't', 1, 'practice', 'p', 1, now())",
         "42501", ""},
        {"a teacher makes work in another class", Teacher, made("4年2組", "'x'", recommended, "5"), "42501", ""},
        {"a teacher changes another class's piece", Teacher,
         "select sorelka_work_change(" + theirs + ", 'x', null, null, null, true, 5, current_date, null)", "42501", ""},
        {"a teacher withdraws another class's piece", Teacher, "select sorelka_work_withdraw(" + theirs + ")", "42501",
         ""},
        {"a teacher withdraws a piece nobody made", Teacher, "select sorelka_work_withdraw(999999)", "42501", ""},
        {"a teacher lists another class's work", Teacher, "select * from sorelka_work_list('4年2組')", "42501", ""},
        {"a teacher reads another class's progress", Teacher, "select * from sorelka_work_progress('4年2組')", "42501",
         ""},
        {"a teacher watches another class", Teacher, "select * from sorelka_live('4年2組')", "42501", ""},
        {"a teacher reads the tables", Teacher, "select count(*) from work_pieces", "42501", ""},
        {"a teacher reads the signals", Teacher, "select count(*) from pc_presence", "42501", ""},
        {"a teacher chooses another class's pupil", Teacher,
         made("4年1組", "'x'", recommended, "5", "current_date", "array['はなこ', 'じろう']"), "P0002", ""},
        {"a teacher chooses a resting pupil", Teacher,
         made("4年1組", "'x'", recommended, "5", "current_date", "array['ゆうた']"), "P0002", ""},
        {"a piece without a title", Teacher, made("4年1組", "' '", recommended, "5"), "22023", ""},
        {"a piece practising two things", Teacher, made("4年1組", "'x'", "1,2,'s',false", "5"), "23514", ""},
        {"a piece practising nothing", Teacher, made("4年1組", "'x'", "null,null,null,false", "5"), "23514", ""},
        {"a topic without its item", Teacher, made("4年1組", "'x'", "1,null,null,false", "5"), "23514", ""},
        {"no problems", Teacher, made("4年1組", "'x'", item, "0"), "22003", ""},
        {"too many problems", Teacher, made("4年1組", "'x'", item, "101"), "22003", ""},
        {"no due day", Teacher, made("4年1組", "'x'", item, "5", "null"), "22004", ""},
        {"a change choosing another class's pupil", Teacher,
         "select sorelka_work_change(" + mine + ", 'x', null, null, null, true, 5, current_date, array['じろう'])",
         "P0002", ""},
    };
    const QString everything =
        "select 'w', id::text, class_name || title || problems || coalesce(withdrawn_at::text, '') from work_pieces"
        " union all select 'c', work_id::text, name from work_pupils"
        " union all select 'p', pc_id, coalesce(screen, '') || pupil_id from pc_presence"
        " union all select 'h', pc_id, id::text from history order by 1, 2, 3";
    const QStringList before = cluster().Query(everything);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const sync::PgResult r = c.who == Teacher ? teacher->Exec(c.sql) : (c.who == PcA ? pc : pc_b)->Exec(c.sql);
        EXPECT_EQ(r.sqlstate().toStdString(), c.state.toStdString()) << r.error().toStdString();
        if (c.state.isEmpty()) {
            EXPECT_EQ(Joined(r).toStdString(), c.result.toStdString());
        } else if (c.who == Teacher) {
            EXPECT_FALSE(sync::WorkReason(r).startsWith("学校のサーバーで"));
        }
    }
    EXPECT_EQ(cluster().Query(everything), before);
}

// A piece from making to withdrawing: the teacher makes "小数のひき算
// くり下がり" (5 problems) for はなこ and おすすめ for the whole class; the
// PC answers under its own pc_id as its sync does and sends its screen with
// a wrong clock; the progress and the live class follow, and withdrawing
// keeps the answers.
TEST_F(ClassWork, APieceFromMakingToWithdrawingWithAnswersAndTheLiveClass) {
    TwoClasses();
    auto teacher = SignIn();
    ASSERT_NE(teacher, nullptr);
    const QDate due = QDate::currentDate().addDays(3);
    const sync::MadeWork borrow = sync::MakeWork(
        *teacher, "4年1組",
        {.title = " 小数のひき算 くり下がり ", .topic = 5, .menu_choice = 2, .problems = 5, .due_day = due,
         .pupils = {"はなこ", "はなこ"}});
    ASSERT_EQ(borrow.problem, "");
    const sync::MadeWork mixed =
        sync::MakeWork(*teacher, "4年1組", {.title = "おすすめ", .recommended = true, .problems = 10, .due_day = due});
    ASSERT_EQ(mixed.problem, "");
    EXPECT_EQ(sync::MakeWork(*teacher, "4年1組", {.title = "x", .recommended = true, .problems = 0, .due_day = due})
                  .problem,
              "問題の数は 1 から 100 までです。");

    sync::Fetched<sync::WorkPiece> list = sync::ListWork(*teacher, "4年1組");
    ASSERT_EQ(list.rows.size(), 2u) << list.problem.toStdString();
    EXPECT_EQ(list.rows[0].id, mixed.id) << "newest first";
    EXPECT_TRUE(list.rows[0].recommended && list.rows[0].pupils.isEmpty() && !list.rows[0].topic);
    const sync::WorkPiece& piece = list.rows[1];
    EXPECT_EQ(piece.title, "小数のひき算 くり下がり");
    EXPECT_EQ(piece.topic, 5);
    EXPECT_EQ(piece.menu_choice, 2);
    EXPECT_EQ(piece.pupils, QStringList{"はなこ"});
    EXPECT_EQ(piece.due_day, due);
    EXPECT_LT(std::abs(piece.made_at.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_FALSE(piece.withdrawn());

    // PC A answers the piece for はなこ: wrong at the 2nd to 4th, on one
    // skill. PC B names its pupil はなこ of another class and answers the
    // same piece: that counts nowhere. Answers from before (no time of
    // arrival) and of 11 minutes ago are not the lesson's.
    const QString id = QString::number(borrow.id);
    auto pc = Pc();
    const sync::PgResult sent = pc->Exec(
        "insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, problem, correct,"
        " error_kind, work_id, skill) select 'A', k, 1, '2001-01-01T09:00:00', 5, 'practice', 2, '3.2 - 1.5',"
        " (k not between 2 and 4)::int, case when k = 3 then 'point' when k in (2, 4) then 'borrow' end, $1::bigint,"
        " 'decimal_sub_borrow' from generate_series(1, 5) k",
        {id.toUtf8()});
    ASSERT_TRUE(sent.ok()) << sent.error().toStdString();
    cluster().Query("insert into pupils (pc_id, id, name, class_name) values ('B', 2, 'はなこ', '4年9組')");
    ASSERT_TRUE(Pc(true)->Exec("insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct,"
                               " work_id) select 'B', k, 2, 't', 5, 'practice', 'p', 1, $1::bigint"
                               " from generate_series(1, 5) k",
                               {id.toUtf8()})
                    .ok());
    Backdate("insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct, received_at)"
             " values ('A', 10, 2, 't', 1, 'practice', 'p', 0, null), ('A', 11, 2, 't', 1, 'practice', 'p', 0,"
             " now() - interval '11 minutes')");

    sync::Fetched<sync::WorkProgressRow> progress = sync::WorkProgress(*teacher, "4年1組");
    auto described = [](const std::vector<sync::WorkProgressRow>& rows) {
        QStringList text;
        for (const auto& row : rows)
            text << QStringLiteral("%1 %2 %3/%4 %5")
                        .arg(row.work_id)
                        .arg(row.pupil)
                        .arg(row.correct)
                        .arg(row.answered)
                        .arg(row.kinds.join(','));
        return text.join('\n').toStdString();
    };
    const QString m = QString::number(mixed.id);
    EXPECT_EQ(described(progress.rows),
              (QStringList{m + " はなこ 0/0 ", m + " たろう 0/0 ", id + " はなこ 2/5 borrow,point"}).join('\n').toStdString())
        << progress.problem.toStdString();

    // The PC's signal with its own idea of the time, which the server ignores.
    const char* signal =
        "insert into pc_presence (pc_id, pupil_id, screen, topic, menu_choice, work_id, screen_since, seen_at)"
        " values ('A', 1, $1, 5, 2, $2::bigint, '2001-01-01', '2001-01-01') on conflict (pc_id) do update"
        " set pupil_id = excluded.pupil_id, screen = excluded.screen, topic = excluded.topic,"
        " menu_choice = excluded.menu_choice, work_id = excluded.work_id, screen_since = excluded.screen_since,"
        " seen_at = excluded.seen_at";
    ASSERT_TRUE(pc->Exec(signal, {QByteArray("TForm5"), id.toUtf8()}).ok());
    // たろう on a PC of his own, on one screen four minutes without an
    // answer; ゆうた (resting) is not shown.
    Backdate("insert into pupils (pc_id, id, name, class_name) values ('T', 1, 'たろう', '4年1組');"
             " insert into pc_presence values ('T', 1, 'TForm3', 1, 0, null, now() - interval '4 minutes', now())");
    // The live view reads on a sign-in of its own.
    const std::unique_ptr<sync::TeacherSession> watcher = teacher->Another();
    ASSERT_NE(watcher, nullptr);
    auto live_text = [&] {
        sync::Fetched<sync::LivePupil> live = sync::Live(*watcher, "4年1組");
        QStringList text;
        for (const sync::LivePupil& p : live.rows)
            text << QStringLiteral("%1 %2 %3 %4 %5/%6 %7 %8")
                        .arg(p.pupil, p.screen, p.work_id ? QString::number(*p.work_id) : "-")
                        .arg(p.screen_seconds ? (*p.screen_seconds < 5 ? "now" : QString::number(*p.screen_seconds / 60) + "min")
                                              : "-")
                        .arg(p.correct)
                        .arg(p.answers)
                        .arg(p.stuck ? "stuck" : "ok", p.stuck_why);
        return (text.join('\n') + live.problem).toStdString();
    };
    EXPECT_EQ(live_text(), ("はなこ TForm5 " + id + " now 2/5 stuck ５問中３問まちがい\n"
                                                    "たろう TForm3 - 4min 0/0 stuck ３分 こたえが ない")
                               .toStdString());

    // The same screen sent again keeps its time on it; another screen
    // starts it afresh. Right answers after the wrong ones end the mark.
    Backdate("update pc_presence set screen_since = now() - interval '4 minutes' where pc_id = 'A'");
    ASSERT_TRUE(pc->Exec(signal, {QByteArray("TForm5"), id.toUtf8()}).ok());
    ASSERT_TRUE(pc->Exec("insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct, skill)"
                         " select 'A', k, 1, 't', 5, 'practice', 'p', 1, 'decimal_sub_borrow'"
                         " from generate_series(6, 8) k")
                    .ok());
    // Two minutes without a signal: たろう's PC is not heard from any more,
    // はなこ's is, by her answers arriving.
    Backdate("update pc_presence set seen_at = now() - interval '2 minutes'");
    EXPECT_EQ(live_text(), ("はなこ TForm5 " + id + " 4min 5/8 ok \nたろう  - - 0/0 ok ").toStdString());
    ASSERT_TRUE(pc->Exec(signal, {QByteArray("TForm1"), std::nullopt}).ok());
    sync::Fetched<sync::LivePupil> live = sync::Live(*teacher, "4年1組");
    ASSERT_EQ(live.rows.size(), 2u);
    EXPECT_EQ(live.rows[0].screen_seconds.value_or(-1), 0);
    EXPECT_GE(live.rows[1].signal_age.value_or(-1), 119) << "how long since たろう's PC was last heard";

    // A changed piece and a renamed pupil: the choice follows the pupil.
    EXPECT_EQ(sync::ChangeWork(*teacher, {.id = mixed.id, .title = "たし算", .skill = "add_carry", .problems = 3,
                                          .due_day = due, .pupils = {"たろう"}}),
              "");
    EXPECT_EQ(teacher->RenamePupil("4年1組", "たろう", "たろ"), "");
    list = sync::ListWork(*teacher, "4年1組");
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(QStringList({list.rows[0].title, list.rows[0].skill, list.rows[0].pupils.join(',')}),
              QStringList({"たし算", "add_carry", "たろ"}));
    EXPECT_FALSE(list.rows[0].recommended);

    // Withdrawn: out of the progress, its answers kept, no longer changed.
    EXPECT_EQ(sync::WithdrawWork(*teacher, borrow.id), "");
    EXPECT_EQ(sync::WithdrawWork(*teacher, borrow.id), "");
    EXPECT_EQ(described(sync::WorkProgress(*teacher, "4年1組").rows), (m + " たろ 0/0 ").toStdString());
    EXPECT_EQ(cluster().Query("select count(*) from history where work_id = " + id), QStringList{"10"});
    EXPECT_TRUE(sync::ListWork(*teacher, "4年1組").rows[1].withdrawn());
    EXPECT_EQ(sync::ChangeWork(*teacher, {.id = borrow.id, .title = "x", .recommended = true, .problems = 1,
                                          .due_day = due}),
              "とりけした かだいは かえられません。");
    EXPECT_EQ(sync::WorkProgress(*teacher, "4年2組").problem,
              "このクラスを見る権限がありません（管理者に たのんでください）。");
}

// The shipped SQL over a server the version before made (twice): its rows
// stay, its older answers have no time of arrival (so none is "just now"),
// and its tables, rights, indexes and functions are a fresh server's.
TEST_F(ClassWork, TheShippedSqlBringsTheVersionBeforeUpToDate) {
    cluster().Query("drop database if exists before_work");
    bool ok = false;
    cluster().Query("create database before_work", &ok);
    ASSERT_TRUE(ok);
    auto run = [&](const QStringList& args) {
        QString out;
        EXPECT_TRUE(cluster().Psql(QStringList{"-c", "\\connect before_work"} + args, &out)) << out.toStdString();
        return out.trimmed();
    };
    run({"-f", SORELKA_SOURCE_DIR "/tests/sync/data/server_before_work.sql"});
    run({"-c",
         "insert into pc_owners values ('A', 'pc'); insert into pupils (pc_id, id, name, class_name) values"
         " ('A', 1, 'はなこ', '4年1組'); insert into class_pupils (class_name, name) values ('4年1組', 'はなこ');"
         " select sorelka_grant_class('teacher', '4年1組');"
         " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct)"
         " select 'A', k, 1, '2026-12-01T09:00:00', 1, 'practice', 'p', k % 2 from generate_series(1, 6) k"});
    const QString rows = "select string_agg(concat_ws(' ', pc_id, id, pupil_id, answered_at, correct), ',' order by id)"
                         " from history";
    const QString kept = run({"-At", "-c", rows});
    const QString shape =
        "select string_agg(x, E'\\n' order by x) from ("
        " select 'i ' || indexdef from pg_indexes where schemaname = 'public'"
        " union all select concat_ws(' ', 'p', tablename, policyname, cmd, roles::text, qual, with_check) from pg_policies"
        " union all select concat_ws(' ', 'c', table_name, column_name, data_type, column_default)"
        "   from information_schema.columns where table_schema = 'public'"
        " union all select concat_ws(' ', 'r', relname, relacl::text, relrowsecurity) from pg_class"
        "   where relnamespace = 'public'::regnamespace"
        " union all select concat_ws(' ', 'a', attrelid::regclass, attname, attacl::text) from pg_attribute"
        "   where attacl is not null"
        " union all select concat_ws(' ', 't', tgrelid::regclass, tgname) from pg_trigger where not tgisinternal"
        " union all select concat_ws(' ', 'f', p.oid::regprocedure, proacl::text, prosecdef, md5(prosrc)) from pg_proc p"
        "   where pronamespace = 'public'::regnamespace) s(x)";
    run({"-f", ServerSql()});
    const QString once = run({"-At", "-c", shape});
    run({"-f", ServerSql()});
    EXPECT_EQ(run({"-At", "-c", shape}), once) << "running it again changes nothing";
    EXPECT_EQ(cluster().Query(shape).join('\n'), once) << "the same as a fresh server";
    EXPECT_EQ(run({"-At", "-c", rows}), kept);
    EXPECT_EQ(run({"-At", "-c", "select count(*) from history where received_at is null"}), "6");

    // The upgraded server takes the PC's new answers and the teacher's work.
    sync::ServerConfig pc = cluster().Config(), teacher = cluster().TeacherConfig();
    pc.database = teacher.database = "before_work";
    QString out;
    EXPECT_TRUE(cluster().PsqlAs(teacher,
                                 "select sorelka_work_make('4年1組', 'x', null, null, 'add_carry', false, 2,"
                                 " current_date, null)",
                                 &out))
        << out.toStdString();
    EXPECT_TRUE(cluster().PsqlAs(pc,
                                 "insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem,"
                                 " correct, work_id, skill) values ('A', 7, 1, 't', 1, 'practice', 'p', 1, " +
                                     out + ", 'add_carry')",
                                 &out))
        << out.toStdString();
    EXPECT_TRUE(cluster().PsqlAs(teacher,
                                 "select pupil || ' ' || answered || ' ' || correct from sorelka_work_progress('4年1組')"
                                 " union all select pupil || ' ' || answers from sorelka_live('4年1組')",
                                 &out));
    EXPECT_EQ(out, "はなこ 1 1\nはなこ 1");
    cluster().Query("drop database before_work");
}

}  // namespace
}  // namespace sorelka::testing
