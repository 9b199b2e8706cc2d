// The school's class list read into the school's server by its
// administrator, as one would: the real program run with psql's variables
// as the database's owner, then again with a pupil moved and one left, and
// a broken set that changes nothing; then the school's answers written out
// as xAPI statements from the server.
#include <QProcess>
#include <QProcessEnvironment>

#include "exchange/xapi_statement.h"
#include "support/roster_set.h"
#include "support/xapi_check.h"
#include "sync/sync_support.h"

namespace sorelka::testing {
namespace {

class RosterServer : public ServerSuite {
protected:
    // `sorelka --import-roster folder --server`; its exit code, its output in `said`.
    int Import(const QString& folder, QString* said, const QStringList& more = {}) {
        return Run(QStringList{"--import-roster", folder, "--server"} + more, said);
    }
    // The real program run on the server as its administrator.
    int Run(const QStringList& arguments, QString* said, const QString& role = "postgres") {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QStringList psql = cluster().PsqlArgs({});
        env.insert("PGHOST", psql.value(psql.indexOf("-h") + 1));
        env.insert("PGPORT", QString::number(cluster().port()));
        env.insert("PGUSER", role);
        env.insert("PGDATABASE", "sorelka");
        run.setProcessEnvironment(env);
        run.start(SORELKA_BINARY, arguments);
        run.waitForFinished(60000);
        *said = QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
        return run.exitCode();
    }
    QStringList Listed() {
        return cluster().Query("select class_name, name, coalesce(number::text, '-'), source_id, archived"
                               " from class_pupils order by source_id");
    }
};

TEST_F(RosterServer, AListPutInAgainMovesAPupilWithHerAnswersRestsTheOneWhoLeftAndGrantsItsTeacher) {
    // はなこ's PC knew her in 4年1組 before any list, with two answers.
    bool ok = false;
    cluster().Query("truncate teacher_classes; insert into pc_owners values ('A', 'pc') on conflict do nothing;"
                    " insert into pupils (pc_id, id, name, class_name) values ('A', 1, '田中 花子', '4年1組');"
                    " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct)"
                    " select 'A', k, 1, '2026-12-01T09:00:00', 1, 'practice', 'p', 1 from generate_series(1, 2) k",
                    &ok);
    ASSERT_TRUE(ok);
    QString said;
    QTemporaryDir first;
    ASSERT_EQ(Import(WriteSet(first, SchoolSet()), &said), 0) << said.toStdString();
    EXPECT_TRUE(said.contains("新しいクラス 2、4 人追加、0 人変更、0 人が")) << said.toStdString();
    EXPECT_TRUE(said.contains("先生のロールを作りました（tanaka）")) << said.toStdString();
    EXPECT_EQ(Listed(), (QStringList{"4年1組|田中 花子|1|u1|f", "4年1組|鈴木 太郎|2|u2|f", "4年2組|佐藤 結衣|1|u3|f",
                                     "4年2組|山田 健|-|u4|f"}));
    EXPECT_EQ(cluster().Query("select class_name from teacher_classes where teacher = 'tanaka' order by 1"),
              (QStringList{"4年1組", "4年2組"}));

    // 花子 to 4年2組, 結衣 gone, the teacher now only in 4年2組.
    Files next = SchoolSet();
    next["enrollments.csv"].replace("e2,,,c1,s1,u1", "e2,,,c2,s1,u1");
    next["enrollments.csv"].replace("e3,,,c2,s1,u3,student,,,,1\n", "");
    next["enrollments.csv"].replace("e5,,,c1,s1,t1,teacher,true,,,\n", "");
    QTemporaryDir second;
    ASSERT_EQ(Import(WriteSet(second, next), &said), 0) << said.toStdString();
    EXPECT_TRUE(said.contains("新しいクラス 0、0 人追加、1 人変更、1 人が")) << said.toStdString();
    EXPECT_EQ(Listed(), (QStringList{"4年2組|田中 花子|1|u1|f", "4年1組|鈴木 太郎|2|u2|f", "4年2組|佐藤 結衣|1|u3|t",
                                     "4年2組|山田 健|-|u4|f"}));
    EXPECT_EQ(cluster().Query("select count(*) from sorelka_members('4年2組', '田中 花子') m"
                              " join history h on h.pc_id = m.pc_id and h.pupil_id = m.id"),
              QStringList{"2"})
        << "her answers count in her new class";
    EXPECT_EQ(cluster().Query("select class_name from teacher_classes where teacher = 'tanaka'"), QStringList{"4年2組"});

    // A broken set: refused with its line, nothing changed.
    const QStringList before = Listed();
    Files broken = next;
    broken["enrollments.csv"].replace("e4,,,c2,", "e4,,,c8,");
    QTemporaryDir third;
    EXPECT_EQ(Import(WriteSet(third, broken), &said), 1);
    EXPECT_TRUE(said.contains("enrollments.csv の 4 行目（classSourcedId）: クラス「c8」が classes.csv にありません。"))
        << said.toStdString();
    EXPECT_EQ(Listed(), before);

    // The next school year: the classes' new names, the pupils with them
    // (and their answers), the teacher in her new class only.
    Files year = next;
    year["classes.csv"].replace("4年1組", "5年1組").replace("4年2組", "5年2組");
    year["enrollments.csv"].replace("e7,,,c2,s1,t1", "e7,,,c1,s1,t1");
    QTemporaryDir fourth;
    ASSERT_EQ(Import(WriteSet(fourth, year), &said, {"--new-school-year"}), 0) << said.toStdString();
    EXPECT_EQ(Listed(), (QStringList{"5年2組|田中 花子|1|u1|f", "5年1組|鈴木 太郎|2|u2|f", "4年2組|佐藤 結衣|1|u3|t",
                                     "5年2組|山田 健|-|u4|f"}));
    EXPECT_EQ(cluster().Query("select count(*) from sorelka_members('5年2組', '田中 花子') m"
                              " join history h on h.pc_id = m.pc_id and h.pupil_id = m.id"),
              QStringList{"2"});
    EXPECT_EQ(cluster().Query("select class_name from teacher_classes where teacher = 'tanaka'"), QStringList{"5年1組"});
}

TEST_F(RosterServer, TheSchoolsAnswersGoOutAsStatementsWithEachListedPupilOneAccountOnEveryPc) {
    QString said;
    QTemporaryDir set;
    ASSERT_EQ(Import(WriteSet(set, SchoolSet()), &said), 0) << said.toStdString();
    // 花子 (listed as u1) on PC A by her class and name and on PC B attached
    // by a teacher under another spelling; an unlisted pupil; the guest; an
    // answer before the days asked for.
    bool ok = false;
    cluster().Query(
        "insert into pc_owners values ('A', 'pc'), ('B', 'pc') on conflict do nothing;"
        " insert into pupils (pc_id, id, name, class_name) values ('A', 1, '田中 花子', '4年1組'),"
        " ('B', 7, 'たなか はなこ', '4年1組'), ('B', 8, 'だれか', 'クラス');"
        " insert into pupil_links values ('B', 7, '4年1組', '田中 花子');"
        " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, problem, entered_answer,"
        "                      correct, seconds, error_kind, skill, work_id) values"
        " ('A', 1, 1, '2026-12-01T09:00:00.000+09:00', 1, 'practice', 2, '408 ÷ 4', '12', 0, 12.5, 'zero_missing',"
        "  'division.zero_in_quotient', null),"
        " ('A', 2, null, '2026-12-01T09:01:00.000+09:00', 3, 'drill', 1, '3.2 - 1.5', '1.7', 1, 4, null, null, null),"
        " ('B', 1, 7, '2026-12-02T10:00:00.000+09:00', 7, 'find_mistake', 4, 'x', 'row:2', 1, null, null, null, null),"
        " ('B', 2, 8, '2026-12-02T10:01:00.000+09:00', 4, 'practice', 1, '12 + 8 × 3', '36', 1, 9, null, null, null),"
        " ('B', 3, 8, '2026-11-30T10:00:00.000+09:00', 4, 'practice', 1, 'x', 'y', 1, 9, null, null, null)",
        &ok);
    ASSERT_TRUE(ok);
    QTemporaryDir out;
    const QString file = out.filePath("school.jsonl");
    ASSERT_EQ(Run({"--export-xapi", file, "--server", "--from", "2026-12-01"}, &said), 0) << said.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << "the answer before --from left out";
    const QByteArray hanako = exchange::XapiAccountName("list:u1").toUtf8();
    EXPECT_TRUE(lines[0].contains(hanako) && lines[2].contains(hanako)) << "one account on both PCs";
    EXPECT_TRUE(lines[1].contains(exchange::XapiAccountName("pc:A/guest").toUtf8()));
    EXPECT_TRUE(lines[3].contains(exchange::XapiAccountName("pc:B/8").toUtf8())) << "as the PC's own export names it";
    for (const char* name : {"花子", "はなこ", "だれか"}) EXPECT_FALSE(lines.join().contains(name)) << name;
    ExpectValidXapi(file);

    // A role that may not read the answers gets a plain line and no file.
    cluster().Query("do $$ begin create role nosy login; exception when duplicate_object then null; end $$");
    QFile::remove(file);
    EXPECT_EQ(Run({"--export-xapi", file, "--server"}, &said, "nosy"), 1);
    EXPECT_TRUE(said.contains("このロールでは答えを読めません")) << said.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

}  // namespace
}  // namespace sorelka::testing
