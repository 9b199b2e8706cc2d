// The class server trusted: each PC's role adds, reads and brings forward
// only its own rows (through psql and through the program), TLS that checks
// whose server answers, rows the server refuses set aside, and the shipped
// SQL over a database of the older shape.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <set>

#include "sync/class_sync.h"
#include "sync/pg_cluster.h"
#include "sync/pg_connection.h"
#include "sync/server_config.h"
#include "sync/sync_support.h"

namespace sorelka::testing {
namespace {

class ServerSecurity : public ServerSuite {};

// What add-pc.sh printed, put on a PC as the administrator would: its
// [class_server] lines as the PC's Sorelka.conf, its last line into the
// password file those lines name; then read as the program reads it.
sync::ConfigReading InstallPc(const QString& printed, const QString& folder) {
    QStringList lines = printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString password = lines.takeLast();
    QStringList conf;
    QString password_file;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('#'))) continue;
        conf << line;
        if (line.startsWith(QStringLiteral("password_file="))) password_file = line.section(QLatin1Char('='), 1);
    }
    QFile secret(password_file);
    if (!secret.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    secret.write(password.toUtf8() + '\n');
    secret.close();
    secret.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile file(folder + QStringLiteral("/Sorelka.conf"));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(conf.join(QLatin1Char('\n')).toUtf8() + '\n');
    file.close();
    QSettings settings(file.fileName(), QSettings::IniFormat);
    return sync::ReadServerConfig(settings);
}

// A PC that answered `answers` drill questions, its drill finished when `finish`.
void Practise(Pc& pc, int answers, bool finish) {
    const std::string drill = pc.recorder.StartDrill({Topic::Division, 0, 60, pc.clock.Now()});
    for (int k = 1; k <= answers; ++k) pc.Answer(drill, k);
    if (finish) pc.recorder.FinishDrill(drill, {answers, answers, 100, answers + 5}, pc.clock.Now());
}

TEST_F(ServerSecurity, EachPcRoleAddsReadsAndBringsForwardOnlyItsOwnRows) {
    QTemporaryDir conf_a, conf_b, folder_a, folder_b, copied;
    const QString printed_a = cluster().AddPc(QStringLiteral("pc_a"));
    const QString printed_b = cluster().AddPc(QStringLiteral("pc_b"));
    ASSERT_FALSE(printed_a.isEmpty() || printed_b.isEmpty());
    EXPECT_TRUE(cluster().AddPc(QStringLiteral("pc_a")).isEmpty()) << "a role is made once";
    const sync::ConfigReading a = InstallPc(printed_a, conf_a.path());
    const sync::ConfigReading b = InstallPc(printed_b, conf_b.path());
    ASSERT_TRUE(a.config && b.config) << a.problem.toStdString() << b.problem.toStdString();
    EXPECT_EQ(a.config->sslmode, QStringLiteral("verify-full"));
    EXPECT_TRUE(a.warning.isEmpty());

    // Each PC's own sync works, over TLS that checks the server.
    Pc pa(folder_a.path()), pb(folder_b.path());
    Practise(pa, 6, true);
    Practise(pb, 4, false);
    {
        auto sync_a = pa.Sync(*a.config);
        auto sync_b = pb.Sync(*b.config);
        ASSERT_TRUE(sync_a->WaitUntilSent(20000)) << sync_a->status().problem.toStdString();
        ASSERT_TRUE(sync_b->WaitUntilSent(20000)) << sync_b->status().problem.toStdString();
        EXPECT_EQ(cluster().Query("select count(*) from pg_stat_ssl s join pg_stat_activity a using (pid)"
                                  " where a.usename in ('pc_a', 'pc_b') and s.ssl"),
                  QStringList{"2"});
    }
    LocalFile fa(pa.path), fb(pb.path);
    ExpectServerHoldsTheFile(cluster(), fa);
    ExpectServerHoldsTheFile(cluster(), fb);
    const QString id_a = fa.PcId();
    EXPECT_EQ(cluster().Query("select owner from pc_owners where pc_id in ('" + id_a + "', '" + fb.PcId() +
                              "') order by owner"),
              (QStringList{"pc_a", "pc_b"}));

    // What a PC's role may not do, through psql and through the program's
    // own connection: each refused with a permission error, or (reading and
    // updating another PC's rows) those rows are simply not there for it.
    const QString drill_a = fa.Query("select id from drills").value(0);
    struct Case {
        const char* what;
        const sync::ServerConfig& as;
        QString sql;
        QString refusal;  // in psql's message; empty: runs and shows `result`
        QString result;
    };
    const Case cases[] = {
        {"B reads A's answers", *b.config, "select count(*) from history where pc_id = '" + id_a + "'", "", "0"},
        {"B reads the class view", *b.config, "select count(*) from class_history", "permission denied", ""},
        {"B adds an answer under A's id", *b.config,
         "insert into history (pc_id, id, answered_at, topic, mode, problem, correct) values ('" + id_a +
             "', 9999, '2026-12-08T10:00:00', 1, 'practice', '1 + 1', 1)",
         "row-level security", ""},
        {"B brings A's drill forward", *b.config,
         "insert into drills (pc_id, id, uid, topic, started_at, questions) values ('" + id_a + "', " + drill_a +
             ", 'x', 1, 't', 999) on conflict (pc_id, id) do update set questions = 999",
         "row-level security", ""},
        {"B updates A's drill", *b.config, "update drills set questions = 999 where pc_id = '" + id_a + "'", "", ""},
        // A drill's figures are its answers': the PC's own change nothing.
        {"A lowers its drill's figures", *a.config, "update drills set questions = 10000, points = 0", "", ""},
        {"A lowers its drill's seconds", *a.config, "update drills set seconds = seconds - 1", "only go forward", ""},
        {"A changes its drill's pupil", *a.config, "update drills set pupil_id = 99", "permission denied", ""},
        {"A removes its answers", *a.config, "delete from history", "permission denied", ""},
        {"A makes a table", *a.config, "create table mine (x int)", "permission denied", ""},
        {"A makes a temporary table", *a.config, "create temporary table mine (x int)", "permission denied", ""},
    };
    const QString everything = "select pc_id, id, questions, correct, seconds, finished_at from drills"
                               " union all select pc_id, id, topic, correct, seconds, problem from history"
                               " order by 1, 2, 3";
    const QStringList before = cluster().Query(everything);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString out;
        EXPECT_EQ(cluster().PsqlAs(c.as, c.sql, &out), c.refusal.isEmpty()) << out.toStdString();
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(out, c.result);
        } else {
            EXPECT_TRUE(out.contains(c.refusal)) << out.toStdString();
        }
        sync::PgConnection connection;
        ASSERT_EQ(connection.Open(c.as, 5), QString());
        const sync::PgResult result = connection.Exec(c.sql);
        EXPECT_EQ(result.ok(), c.refusal.isEmpty());
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(result.sqlstate(), QStringLiteral("42501")) << result.error().toStdString();
        }
    }
    EXPECT_EQ(cluster().Query(everything), before);

    // A's record file copied to PC B, and answers added there: B's sync
    // never writes under A's id; the copy takes a fresh id of B's own and
    // sends what the server does not hold under it.
    const QString copy = copied.filePath("kyozai.db");
    ASSERT_EQ(fa.Query("vacuum into '" + copy + "'"), QStringList{});
    Pc pc_copy(copied.path());
    Practise(pc_copy, 2, true);
    ::testing::internal::CaptureStderr();
    {
        auto sync_copy = pc_copy.Sync(*b.config);
        EXPECT_TRUE(sync_copy->WaitUntilSent(20000)) << sync_copy->status().problem.toStdString();
    }
    const QString told = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_TRUE(told.contains("別のPCのロール")) << told.toStdString();
    LocalFile fc(copy);
    const QString id_c = fc.PcId();
    EXPECT_NE(id_c, id_a);
    EXPECT_EQ(ServerRows(cluster(), "history", id_c, "problem"), (Rows{"7|P 1", "8|P 2"}));
    EXPECT_EQ(ServerRows(cluster(), "pupils", id_c, "name"), (Rows{"1|はなこ"}));
    EXPECT_EQ(cluster().Query("select owner from pc_owners where pc_id = '" + id_c + "'"), QStringList{"pc_b"});
    ExpectServerHoldsTheFile(cluster(), fa);

    // The class read back: as B's own role only B's rows (the copy's
    // included); a teacher's role reads no table at all.
    const sync::ClassHistory own = sync::ReadClassHistory(*b.config);
    ASSERT_TRUE(own.from_server) << own.problem.toStdString();
    std::set<QString> pcs;
    for (const sync::ClassAnswer& answer : own.answers) pcs.insert(answer.pc_id);
    EXPECT_EQ(pcs, (std::set<QString>{fb.PcId(), id_c}));
    cluster().Query("select sorelka_grant_class('teacher', 'クラス')");
    QString refused;
    EXPECT_FALSE(cluster().PsqlAs(cluster().TeacherConfig(), "select count(*) from history", &refused));
    EXPECT_TRUE(refused.contains("permission denied")) << refused.toStdString();
    EXPECT_FALSE(sync::ReadClassHistory(cluster().TeacherConfig()).from_server);
}

// verify-full takes the server whose certificate the school's CA signed
// for the name the PC knows it by, and no other; require takes any.
TEST_F(ServerSecurity, VerifyFullTakesOnlyTheServerOfItsName) {
    QTemporaryDir folder;
    Pc pc(folder.path());
    Practise(pc, 3, true);
    struct Case {
        const char* what;
        QString certificate_for;
        QString sslmode;
        bool connects;
    };
    const Case cases[] = {
        {"the school's server", "localhost", "verify-full", true},
        {"a server with another name", "db.elsewhere.example", "verify-full", false},
        {"require asks for no name", "db.elsewhere.example", "require", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString problem;
        ASSERT_TRUE(cluster().UseCertificateFor(c.certificate_for, &problem)) << problem.toStdString();
        sync::ServerConfig config = cluster().TlsConfig();
        config.sslmode = c.sslmode;
        sync::PgConnection connection;
        problem = connection.Open(config, 5);
        EXPECT_EQ(problem.isEmpty(), c.connects) << problem.toStdString();
        if (c.connects) {
            EXPECT_EQ(connection.Exec("select ssl from pg_stat_ssl where pid = pg_backend_pid()").text(0, 0), "t");
        } else {
            EXPECT_TRUE(problem.contains(c.certificate_for)) << problem.toStdString();
        }
        // The class read (Qt's driver) and the program's sync alike.
        const sync::ClassHistory history = sync::ReadClassHistory(config);
        EXPECT_EQ(history.from_server, c.connects) << history.problem.toStdString();
        auto sync = pc.Sync(config);
        EXPECT_EQ(sync->WaitUntilSent(c.connects ? 20000 : 1500), c.connects);
        EXPECT_EQ(sync->status().problem.isEmpty(), c.connects);
    }
    QString problem;
    EXPECT_TRUE(cluster().UseCertificateFor("localhost", &problem)) << problem.toStdString();
}

// Values the server cannot keep (a NUL character, a number out of range,
// a text where a number belongs): each such row is set aside with one line
// on standard error, and the rows after it reach the server.
TEST_F(ServerSecurity, ARowTheServerRefusesIsSetAsideAndTheRowsAfterItGo) {
    QTemporaryDir folder;
    Pc pc(folder.path());
    Practise(pc, 8, false);
    LocalFile file(pc.path);
    for (const char* fault : {"update history set worked_rows = 'a' || char(0) || 'b' where id = 2",
                              "update history set topic = 4294967296 where id = 4",
                              "update history set question_no = 'x' where id = 6",
                              "insert into pupils (name) values ('じろ' || char(0) || 'う')"})
        ASSERT_EQ(file.Query(fault), QStringList{}) << fault;
    ::testing::internal::CaptureStderr();
    auto sync = pc.Sync(cluster().Config());
    ASSERT_TRUE(sync->WaitUntilSent(20000)) << sync->status().problem.toStdString();
    EXPECT_EQ(sync->status().waiting, 0);
    EXPECT_TRUE(sync->status().problem.isEmpty());
    const QString pc_id = file.PcId();
    EXPECT_EQ(cluster().Query("select string_agg(id::text, ',' order by id) from history where pc_id = '" + pc_id + "'"),
              QStringList{"1,3,5,7,8"});
    EXPECT_EQ(cluster().Query("select name from pupils where pc_id = '" + pc_id + "'"), QStringList{"はなこ"});
    // Later rows go as ever, and the refused ones are not tried again.
    pc.Answer(pc.recorder.StartDrill({Topic::Division, 0, 60, pc.clock.Now()}), 1);
    ASSERT_TRUE(sync->WaitUntilSent(20000));
    sync.reset();
    const QStringList told = QString::fromStdString(::testing::internal::GetCapturedStderr())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .filter(QStringLiteral("受け取りません"));
    EXPECT_EQ(told.size(), 4) << told.join('\n').toStdString();
    EXPECT_EQ(told.filter(QStringLiteral("history の行（id ")).size(), 3);
    EXPECT_EQ(cluster().Query("select count(*) from history where pc_id = '" + pc_id + "'"), QStringList{"6"});
}

// The shipped SQL run over a database of the older shape (one shared login,
// no owners, two modes of answer), twice: the PCs' old rows are kept, the
// shared login sees only what it claims, no PC reads the class view any more,
// and answers to find-the-mistake examples and to the newest topic are taken.
TEST_F(ServerSecurity, TheShippedSqlBringsAnOlderDatabaseUpToDate) {
    cluster().Query("drop database if exists older");
    bool ok = false;
    cluster().Query("create database older", &ok);
    ASSERT_TRUE(ok);
    QString out;
    ASSERT_TRUE(cluster().Psql({"-c", "\\connect older", "-f",
                                SORELKA_SOURCE_DIR "/tests/sync/data/server_before_pc_roles.sql"},
                               &out))
        << out.toStdString();
    cluster().Query("drop role if exists shared_pc");
    cluster().Query("create role shared_pc login password 'shared' in role sorelka_writer", &ok);
    ASSERT_TRUE(ok);
    sync::ServerConfig shared = cluster().Config();
    shared.database = "older";
    shared.user = "shared_pc";
    shared.password = "shared";
    const QString answer = "insert into history (pc_id, id, answered_at, topic, mode, problem, correct)"
                           " values ('legacy', %1, '2026-12-08T10:00:00', 1, 'practice', '1 + 1', 1)";
    ASSERT_TRUE(cluster().PsqlAs(shared, answer.arg(1), &out)) << out.toStdString();
    // Between the runs the class's index goes back to its form without the
    // mode, as a server set up before find-the-mistake answers has it.
    const char* old_index =
        "drop index history_by_pupil_topic; create index history_by_pupil_topic on history"
        " (pc_id, pupil_id, topic, answered_at) include (correct, seconds, error_kind, id)";
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(cluster().Psql({"-c", "\\connect older", "-f", ServerSql()}, &out)) << out.toStdString();
        if (run == 0) {
            ASSERT_TRUE(cluster().Psql({"-c", "\\connect older", "-c", old_index}, &out)) << out.toStdString();
        }
    }
    ASSERT_TRUE(cluster().Psql({"-c", "\\connect older", "-At", "-c",
                                "select indexdef from pg_indexes where indexname = 'history_by_pupil_topic'"},
                               &out));
    EXPECT_TRUE(out.contains("error_kind, id, mode)")) << out.toStdString();

    EXPECT_TRUE(cluster().PsqlAs(shared, "select count(*) from history", &out));
    EXPECT_EQ(out, "0") << "not claimed yet";
    EXPECT_FALSE(cluster().PsqlAs(shared, "select count(*) from class_history", &out));
    EXPECT_TRUE(cluster().PsqlAs(shared, "insert into pc_owners (pc_id) values ('legacy')", &out)) << out.toStdString();
    EXPECT_TRUE(cluster().PsqlAs(shared, answer.arg(2), &out)) << out.toStdString();
    EXPECT_TRUE(cluster().PsqlAs(shared, "select count(*) from history", &out));
    EXPECT_EQ(out, "2");
    // Answers to find-the-mistake examples arrive; a mode of no kind does not.
    QString found = answer.arg(4);
    EXPECT_TRUE(cluster().PsqlAs(shared, found.replace("'practice'", "'find_mistake'"), &out)) << out.toStdString();
    QString newest = answer.arg(6);
    EXPECT_TRUE(cluster().PsqlAs(shared, newest.replace(", 1, 'practice'", ", 7, 'practice'"), &out))
        << out.toStdString();
    EXPECT_TRUE(cluster().PsqlAs(shared, "select count(*) from history where topic = 7", &out));
    EXPECT_EQ(out, "1");
    QString bogus = answer.arg(5);
    EXPECT_FALSE(cluster().PsqlAs(shared, bogus.replace("'practice'", "'guess'"), &out));
    sync::ServerConfig other = cluster().Config();
    other.database = "older";
    EXPECT_TRUE(cluster().PsqlAs(other, "select count(*) from history", &out));
    EXPECT_EQ(out, "0");
    EXPECT_FALSE(cluster().PsqlAs(other, answer.arg(3), &out));
    cluster().Query("drop database older");
}

}  // namespace
}  // namespace sorelka::testing
