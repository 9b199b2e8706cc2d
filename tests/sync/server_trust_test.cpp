// What the class server takes from a PC and from a teacher: a teacher's
// role changes only its own classes (never into another's), a PC's role
// adds no pupil or class to the school's list, and a drill's figures are
// what its answers on the server say.
#include <random>

#include "app/teacher/class_data.h"
#include "record/class_roster.h"
#include "support/history_rows.h"
#include "sync/sync_support.h"
#include "sync/teacher_session.h"

namespace sorelka::testing {
namespace {

class ServerTrust : public ServerSuite {
protected:
    // A login role of the PCs' group (made once per server) as a configuration.
    sync::ServerConfig PcRole(const QString& name) {
        cluster().Query(QStringLiteral("do $$ begin if not exists (select from pg_roles where rolname = '%1') then"
                                       " create role %1 login password 'x' in role sorelka_writer; end if; end $$")
                            .arg(name));
        sync::ServerConfig config = cluster().Config();
        config.user = name;
        config.password = QStringLiteral("x");
        return config;
    }
    // Runs `sql` as `config`'s role; psql's output (its error on a failure).
    QString As(const sync::ServerConfig& config, const QString& sql, bool* ok = nullptr) {
        QString out;
        const bool done = cluster().PsqlAs(config, sql, &out);
        if (ok) *ok = done;
        return out;
    }
    // PC A ("pc"), through the program's sync: はなこ of 4年2組 with one
    // right answer, たろう of 4年1組 with two.
    void SendPcA() {
        ScratchRecord r;
        record::ClassRoster classes(*r.store);
        r.Answer("はなこ", "2026-12-01", 1, true, 3.5);
        r.Answer("たろう", "2026-12-01", 1, true, 3.5);
        r.Answer("たろう", "2026-12-02", 1, true, 3.5);
        ASSERT_EQ(classes.AddClass("4年1組"), "");
        ASSERT_EQ(classes.AddClass("4年2組"), "");
        ASSERT_EQ(classes.MovePupil("はなこ", "4年2組"), "");
        ASSERT_EQ(classes.MovePupil("たろう", "4年1組"), "");
        SendRecord(r.path());
    }
    // PC B ("pc_b", its own pc_id "pcb"), by hand as an attacker would:
    // じろう of 4年2組 with 50 wrong answers, はなこ of 4年9組 (a class
    // nobody has) with three.
    void SendPcB() {
        const sync::ServerConfig b = PcRole("pc_b");
        bool ok = false;
        const QString out = As(b,
                               "insert into pc_owners (pc_id) values ('pcb') on conflict do nothing;"
                               " insert into pupils (pc_id, id, name, class_name, created_at) values"
                               " ('pcb', 1, 'じろう', '4年2組', '2026-11-30'), ('pcb', 2, 'はなこ', '4年9組', '2026-11-30')"
                               " on conflict do nothing;"
                               " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct)"
                               " select 'pcb', k, case when k <= 50 then 1 else 2 end,"
                               " '2026-12-0' || (1 + k % 3) || 'T09:00:00', 1, 'practice', '1 + 1', 0"
                               " from generate_series(1, 53) k on conflict do nothing",
                               &ok);
        ASSERT_TRUE(ok) << out.toStdString();
    }
    std::unique_ptr<sync::TeacherSession> SignIn() {
        QString problem;
        auto session = sync::TeacherSession::SignIn(cluster().TlsConfig(), "teacher",
                                                    cluster().TeacherConfig().password, &problem);
        EXPECT_NE(session, nullptr) << problem.toStdString();
        return session;
    }
    // はなこ's figures in 4年2組 as the teacher's view reads them: "right/answers".
    QString Figures(sync::TeacherSession& session, const QString& pupil) {
        QString figures;
        for (const report::ClassRow& row : ClassData::OnServer(session, "4年2組")->Summary({}))
            if (row.pupil == pupil) figures += QStringLiteral("%1/%2").arg(row.correct).arg(row.answers);
        return figures;
    }
};

// A teacher granted 4年1組 tries every way into 4年2組 (another teacher's)
// and 4年9組 (a class only a PC names): each is refused, with a plain
// Japanese reason, and nothing on the server changes. A fresh name works.
TEST_F(ServerTrust, ATeacherChangesOnlyItsOwnClassesAndNeverIntoAnother) {
    SendPcA();
    SendPcB();
    cluster().Query("delete from teacher_classes");
    cluster().Query("do $$ begin if not exists (select from pg_roles where rolname = 'other') then"
                    " create role other login; end if; end $$");
    cluster().Query("select sorelka_grant_class('teacher', '4年1組'), sorelka_grant_class('other', '4年2組')");
    cluster().Query("insert into class_pupils (class_name, name) values ('4年1組', 'たろう'), ('4年2組', 'はなこ')");
    auto session = SignIn();
    ASSERT_NE(session, nullptr);

    const QString everything =
        "select 'c', class_name, name, archived::text from class_pupils union all select 't', teacher, class_name, ''"
        " from teacher_classes union all select 'p', pc_id, class_name, name from pupils union all"
        " select 'h', pc_id, id::text, pupil_id::text from history union all select 'k', pc_id, class_name, name"
        " from pupil_links";
    const QStringList before = cluster().Query(everything + " order by 1, 2, 3, 4");
    struct Case {
        const char* sql;
        const char* state;
    };
    const Case cases[] = {
        {"select sorelka_rename_class('4年1組', '4年2組')", "42710"},
        {"select sorelka_rename_class('4年1組', '4年9組')", "42710"},
        {"select sorelka_rename_class('4年1組', ' ')", "22023"},
        {"select sorelka_rename_class('4年2組', '4年5組')", "42501"},
        {"select sorelka_move_pupil('4年1組', 'たろう', '4年2組')", "42501"},
        {"select sorelka_move_pupil('4年1組', 'たろう', '4年9組')", "42501"},
        {"select sorelka_add_pupil('4年2組', 'さぶろう', null)", "42501"},
        {"select sorelka_add_pupil('4年1組', 'たろう', null)", "23505"},
        {"select sorelka_rename_pupil('4年2組', 'はなこ', 'はな')", "42501"},
        {"select sorelka_archive_pupil('4年2組', 'はなこ', true)", "42501"},
        {"select sorelka_delete_pupil('4年2組', 'はなこ')", "42501"},
        {"select * from sorelka_unmatched('4年2組')", "42501"},
        {"select * from sorelka_unmatched('4年9組')", "42501"},
        {"select sorelka_attach_pupil('pcb', 1, '4年2組', 'はなこ')", "42501"},
        {"select sorelka_drop_pupil('pcb', 2)", "42501"},
        {"insert into class_pupils (class_name, name) values ('4年1組', 'x')", "42501"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const sync::PgResult refused = session->Exec(c.sql);
        EXPECT_EQ(refused.sqlstate(), c.state) << refused.error().toStdString();
        EXPECT_FALSE(sync::TeacherSession::Reason(refused).startsWith("学校のサーバーで"));
    }
    EXPECT_EQ(cluster().Query(everything + " order by 1, 2, 3, 4"), before);
    EXPECT_EQ(session->RenameClass("4年1組", "4年2組"), "その名前のクラスは 学校のサーバーに もうあります。");

    EXPECT_EQ(session->RenameClass("4年1組", "4年3組"), "");
    EXPECT_EQ(session->Classes(), QStringList{"4年3組"});
    EXPECT_EQ(ClassData::OnServer(*session, "4年3組")->Pupils(), QStringList{"たろう"});
    EXPECT_EQ(cluster().Query("select class_name from pupils where name = 'たろう'"), QStringList{"4年3組"});
    EXPECT_EQ(cluster().Query("select teacher || ' ' || class_name from teacher_classes order by 1"),
              (QStringList{"other 4年2組", "teacher 4年3組"}));
}

// PC B makes up pupils and a class. Its role cannot write the school's
// list; the teacher's figures stay those of the listed pupils, the made-up
// pupil waits as unmatched (with its PC, answers and days), the made-up
// class appears nowhere. Attaching and dropping are the teacher's, and
// PC B sending its rows again changes nothing.
TEST_F(ServerTrust, APcAddsNoPupilOrClassToTheSchoolsList) {
    SendPcA();
    cluster().Query("delete from teacher_classes");
    cluster().Query("select sorelka_grant_class('teacher', '4年2組')");
    auto session = SignIn();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(ClassData::OnServer(*session, "4年2組")->Pupils(), QStringList{}) << "nobody listed yet";
    ASSERT_EQ(session->AddPupil("4年2組", "はなこ"), "");
    EXPECT_EQ(session->AddPupil("4年2組", "はなこ"), "そのクラスには 同じ名前の人が もういます。");
    EXPECT_EQ(Figures(*session, "はなこ"), "1/1");

    SendPcB();
    const sync::ServerConfig b = PcRole("pc_b");
    for (const char* sql : {"insert into class_pupils (class_name, name) values ('4年2組', 'じろう')",
                            "insert into pupil_links values ('pcb', 1, '4年2組', 'はなこ')",
                            "update class_pupils set archived = true", "select sorelka_add_pupil('4年2組', 'じろう', null)",
                            "select sorelka_attach_pupil('pcb', 1, '4年2組', 'はなこ')"}) {
        bool ok = true;
        const QString out = As(b, sql, &ok);
        EXPECT_FALSE(ok) << sql;
        EXPECT_TRUE(out.contains("permission denied")) << out.toStdString();
    }
    EXPECT_EQ(session->Classes(), QStringList{"4年2組"});
    EXPECT_EQ(ClassData::OnServer(*session, "4年2組")->Pupils(), QStringList{"はなこ"});
    EXPECT_EQ(Figures(*session, "はなこ"), "1/1");
    EXPECT_EQ(Figures(*session, "じろう"), "");

    QString problem;
    std::vector<sync::UnmatchedPupil> waiting = session->Unmatched("4年2組", &problem);
    ASSERT_EQ(waiting.size(), 1u) << problem.toStdString();
    const sync::UnmatchedPupil jiro = waiting[0];
    EXPECT_EQ(QStringList({jiro.name, jiro.pc_id, QString::number(jiro.pupil_id), jiro.pc,
                           QString::number(jiro.answers), jiro.first_day, jiro.last_day}),
              QStringList({"じろう", "pcb", "1", "pc_b", "50", "2026-12-01", "2026-12-03"}));
    session->Unmatched("4年9組", &problem);
    EXPECT_EQ(problem, "このクラスを見る権限がありません（管理者に たのんでください）。");
    EXPECT_EQ(cluster().Query("select count(*) from class_pupils where class_name = '4年9組'"), QStringList{"0"});

    // Attached by the teacher, じろう's answers count for はなこ; dropped,
    // for nobody, and the rows stay on the server.
    EXPECT_EQ(session->AttachPupil(jiro, "4年2組", "さくら"), "そのクラスに その名前の人は いません。");
    EXPECT_EQ(session->AttachPupil(jiro, "4年2組", "はなこ"), "");
    EXPECT_EQ(Figures(*session, "はなこ"), "1/51");
    EXPECT_TRUE(session->Unmatched("4年2組", &problem).empty());
    EXPECT_EQ(session->DropPupil(jiro), "");
    EXPECT_EQ(Figures(*session, "はなこ"), "1/1");
    SendPcB();
    EXPECT_EQ(Figures(*session, "はなこ"), "1/1");
    EXPECT_TRUE(session->Unmatched("4年2組", &problem).empty());
    EXPECT_EQ(cluster().Query("select count(*) from history where pc_id = 'pcb'"), QStringList{"53"});

    // The list follows the teacher's roster changes; a deleted pupil's
    // answers go, a dropped row's stay.
    ASSERT_EQ(session->RenamePupil("4年2組", "はなこ", "はな"), "");
    EXPECT_EQ(Figures(*session, "はな"), "1/1");
    ASSERT_EQ(session->ArchivePupil("4年2組", "はな", true), "");
    EXPECT_EQ(cluster().Query("select name || ' ' || archived from class_pupils"), QStringList{"はな true"});
    ASSERT_EQ(session->DeletePupil("4年2組", "はな"), "");
    EXPECT_EQ(cluster().Query("select count(*) from class_pupils"), QStringList{"0"});
    EXPECT_EQ(cluster().Query("select pc_id, count(*) from history group by 1 order by 2"),
              (QStringList{cluster().Query("select pc_id from pupils where name = 'たろう'").value(0) + "|2", "pcb|53"}));
}

// Drills and their answers sent in a random order with figures of any
// size: the server's questions, right answers and points are always what
// the answers it holds say, and the PC's own update changes none of them.
TEST_F(ServerTrust, ADrillsFiguresAreWhatItsAnswersSay) {
    const sync::ServerConfig pc = cluster().Config();
    bool ok = false;
    As(pc, "insert into pc_owners (pc_id) values ('pcd') on conflict do nothing", &ok);
    ASSERT_TRUE(ok);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 draw(seed);
        auto below = [&](int n) { return int(draw() % unsigned(n)); };
        QStringList statements;
        QStringList expected;
        int id = 0;
        for (int drill = 1; drill <= 3; ++drill) {
            const int answers = below(6), right = answers ? below(answers + 1) : 0;
            const QString row = QStringLiteral(
                                    "insert into drills (pc_id, id, uid, pupil_id, topic, started_at, questions,"
                                    " correct, points, seconds) values ('pcd', %1, 'u%1', 1, 1, 't', %2, %3, %4, 5)"
                                    " on conflict (pc_id, id) do update set questions = excluded.questions,"
                                    " correct = excluded.correct, points = excluded.points")
                                    .arg(drill);
            statements << row.arg(below(10001)).arg(below(50)).arg(below(101));
            for (int k = 0; k < answers; ++k)
                statements << QStringLiteral("insert into history (pc_id, id, pupil_id, answered_at, topic, mode,"
                                             " drill_id, problem, correct) values ('pcd', %1, 1, 't', 1, '%2', %3,"
                                             " 'p', %4)")
                                  .arg(++id)
                                  .arg(k == 0 && below(3) == 0 ? "practice" : "drill")
                                  .arg(drill)
                                  .arg(k < right ? 1 : 0);
            statements << row.arg(0).arg(0).arg(0);  // a PC lowering it after
        }
        std::shuffle(statements.begin(), statements.end(), draw);
        for (const QString& sql : statements) {
            const QString out = As(pc, sql, &ok);
            ASSERT_TRUE(ok) << out.toStdString();
        }
        const QStringList derived = cluster().Query(
            "select d.id, count(h.id), coalesce(sum(h.correct), 0),"
            " coalesce(sum(h.correct) * 100 / nullif(count(h.id), 0), 0) from drills d left join history h"
            " on h.pc_id = d.pc_id and h.drill_id = d.id and h.mode = 'drill' group by d.id order by d.id");
        EXPECT_EQ(cluster().Query("select id, questions, correct, points from drills order by id"), derived);
        EXPECT_EQ(derived.size(), 3);
        As(pc, "update drills set questions = 10000, points = 0, correct = 0", &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(cluster().Query("select id, questions, correct, points from drills order by id"), derived);
        // Seconds and an end time still only go forward.
        EXPECT_TRUE(As(pc, "update drills set seconds = 0", &ok).contains("only go forward"));
        EXPECT_FALSE(ok);
        cluster().Query("truncate drills, history");
    }
}

// The shipped SQL over a database of the shape before the school's list
// (run twice): the list is filled once from the pupils the PCs had sent, in
// their order, and a row a PC sends later is not taken in by the next run;
// the drills' figures are counted again from their answers.
TEST_F(ServerTrust, TheShippedSqlFillsTheListOnceAndCountsTheDrills) {
    cluster().Query("drop database if exists before_list");
    bool ok = false;
    cluster().Query("create database before_list", &ok);
    ASSERT_TRUE(ok);
    auto run = [&](const QStringList& args) {
        QString out;
        EXPECT_TRUE(cluster().Psql(QStringList{"-c", "\\connect before_list"} + args, &out)) << out.toStdString();
        return out.trimmed();
    };
    // Today's SQL without what came with the list: its two tables, the
    // drills' triggers and the index they count along.
    run({"-f", ServerSql()});
    run({"-c",
         "drop table pupil_links, class_pupils cascade; drop index history_by_drill;"
         " drop trigger drill_figures_from_answers on drills; drop trigger drill_answer_arrived on history"});
    run({"-c",
         "insert into pupils (pc_id, id, name, class_name, created_at, archived) values"
         " ('a', 1, 'たろう', '4年1組', '2026-04-02', 0), ('a', 2, 'はなこ', '4年1組', '2026-04-01', 1),"
         " ('b', 7, 'はなこ', '4年1組', '2026-04-03', 1), ('b', 8, 'じろう', '4年2組', '2026-04-04', 0);"
         " insert into drills (pc_id, id, uid, pupil_id, topic, started_at, questions, correct, points)"
         " values ('a', 1, 'u', 2, 1, 't', 10000, 2, 0);"
         " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, drill_id, problem, correct)"
         " values ('a', 1, 2, 't', 1, 'drill', 1, 'p', 1), ('a', 2, 2, 't', 1, 'drill', 1, 'p', 0),"
         " ('a', 3, 2, 't', 1, 'drill', 1, 'p', 1)"});
    run({"-f", ServerSql()});
    run({"-c", "insert into pupils (pc_id, id, name, class_name) values ('c', 1, 'さぶろう', '4年1組')"});
    run({"-f", ServerSql()});
    EXPECT_EQ(run({"-At", "-c", "select class_name || ' ' || name || ' ' || archived from class_pupils order by place"}),
              "4年1組 はなこ true\n4年1組 たろう false\n4年2組 じろう false");
    EXPECT_EQ(run({"-At", "-c", "select questions || ' ' || correct || ' ' || points from drills"}), "3 2 66");
    cluster().Query("drop database before_list");
}

}  // namespace
}  // namespace sorelka::testing
