// The school's class list read into the school's server by its
// administrator, as one would: the real program run with psql's variables
// as the database's owner, then again with a pupil moved and one left, and
// a broken set that changes nothing.
#include <QProcess>
#include <QProcessEnvironment>

#include "support/roster_set.h"
#include "sync/sync_support.h"

namespace sorelka::testing {
namespace {

class RosterServer : public ServerSuite {
protected:
    // `sorelka --import-roster folder --server`; its exit code, its output in `said`.
    int Import(const QString& folder, QString* said, const QStringList& more = {}) {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QStringList psql = cluster().PsqlArgs({});
        env.insert("PGHOST", psql.value(psql.indexOf("-h") + 1));
        env.insert("PGPORT", QString::number(cluster().port()));
        env.insert("PGUSER", "postgres");
        env.insert("PGDATABASE", "sorelka");
        run.setProcessEnvironment(env);
        run.start(SORELKA_BINARY, QStringList{"--import-roster", folder, "--server"} + more);
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

}  // namespace
}  // namespace sorelka::testing
