// The work the teacher gives and the presence signal against a real
// server: an older server without their tables still takes the answers;
// a newer one gives the list, which the file keeps when the server goes
// away, takes each answer's piece and skill, and this PC's presence.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "coach/skill_catalogue.h"
#include "record/class_roster.h"
#include "record/work_given.h"
#include "sync/class_sync.h"
#include "sync/sync_support.h"

namespace sorelka::testing {
namespace {

class WorkServer : public ServerSuite {};

// A server as it was before the work the teacher gives.
const char* const kOlderServer =
    "drop table if exists pc_presence, work_pupils, work_pieces cascade;"
    " alter table history drop column if exists work_id cascade, drop column if exists skill cascade;"
    " drop function if exists sorelka_pc_work()";

void AnswerPractice(Pc& pc, int k) {
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.menu_choice = 1;
    answer.problem = "408 ÷ 4";
    answer.right_answer = "102";
    answer.entered_answer = std::to_string(100 + k);
    answer.correct = false;
    pc.clock.Advance(1000);
    answer.answered_at = pc.clock.Now();
    pc.recorder.RecordPractice(answer);
}

TEST_F(WorkServer, AnOlderServerTakesAnswersAndANewerOneGivesWorkTheFileKeeps) {
    bool ok = false;
    cluster().Query(kOlderServer, &ok);
    ASSERT_TRUE(ok);
    QTemporaryDir folder;
    Pc pc(folder.path());
    pc.learning.TraceMastery(coach::ObserveStoredAnswer);
    pc.recorder.SetWork(5);
    AnswerPractice(pc, 1);
    pc.recorder.SetWork(std::nullopt);
    AnswerPractice(pc, 2);
    LocalFile file(pc.path);
    {
        std::unique_ptr<sync::ClassSync> sync = pc.Sync(cluster().Config());
        sync->SetPresence({1, "TForm2", 1, 1, 5});
        ASSERT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
        EXPECT_TRUE(sync->status().problem.isEmpty()) << sync->status().problem.toStdString();
    }
    const QString where = "where pc_id = '" + file.PcId() + "' order by id";
    EXPECT_EQ(cluster().Query("select entered_answer from history " + where), (QStringList{"101", "102"}));
    EXPECT_EQ(file.Query("select count(*) from work_given"), QStringList{"0"});

    // The server brought up to date: the answers' columns, the work, the presence.
    QString out;
    ASSERT_TRUE(cluster().Psql({"-f", ServerSql()}, &out)) << out.toStdString();
    // はなこ of this PC is attached to the listed はな子 of クラス, who also
    // answered two of her own piece on PC Z.
    const QString mine = file.PcId();
    const QStringList made = cluster().Query(
        "insert into work_pieces (class_name, title, topic, menu_choice, problems, due_day) values"
        " ('クラス', 'わり算の しゅくだい', 1, 1, 3, '2026-12-20'), ('クラス', 'たろうの', 1, 2, 5, '2026-12-21'),"
        " ('ほかのクラス', 'ほか', 1, 1, 1, '2026-12-21'), ('クラス', 'はな子の', 1, 1, 4, '2026-12-22')"
        " returning id",
        &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(made.size(), 4);
    cluster().Query("insert into work_pupils values (" + made[1] + ", 'たろう'), (" + made[3] + ", 'はな子');"
                    " insert into class_pupils (class_name, name, archived) values ('クラス', 'はな子', false),"
                    " ('ほかのクラス', 'はなこ', false);"
                    " insert into pupil_links values ('" + mine + "', 1, 'クラス', 'はな子');"
                    " insert into pupils (pc_id, id, name, class_name) values ('Z', 1, 'はな子', 'クラス');"
                    " insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, correct, work_id)"
                    " select 'Z', k, 1, '2026-12-10T09:00:00', 1, 'practice', 'p', 1, " + made[3] +
                        " from generate_series(1, 2) k",
                    &ok);
    ASSERT_TRUE(ok);
    pc.recorder.SetWork(made[0].toLongLong());
    AnswerPractice(pc, 3);
    pc.recorder.SetWork(std::nullopt);

    std::unique_ptr<sync::ClassSync> sync = pc.Sync(cluster().Config());
    QSignalSpy changed(sync.get(), &sync::ClassSync::workChanged);
    sync->SetPresence({1, "TForm2", 1, 1, made[0].toLongLong()});
    ASSERT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
    EXPECT_EQ(cluster().Query("select entered_answer, work_id, skill is not null from history " + where),
              (QStringList{"101||f", "102||f", "103|" + made[0] + "|t"}))
        << "the answers an older server took stay without their piece";
    // The pieces for the pupil the teacher attached her to, not those of
    // other pupils or of the class her own name is listed in.
    EXPECT_EQ(file.Query("select g.id, title, pupils, withdrawn, f.pupil_id, f.answered_elsewhere"
                         " from work_given g join work_for_pupils f on f.work_id = g.id order by g.id"),
              (QStringList{made[0] + "|わり算の しゅくだい||0|1|0", made[3] + "|はな子の|はな子|0|1|2"}));
    EXPECT_TRUE(changed.count() > 0 || changed.wait(5000));
    EXPECT_EQ(cluster().Query("select pupil_id, screen, topic, menu_choice, work_id, screen_since is not null"
                              " from pc_presence where pc_id = '" + mine + "'"),
              QStringList{"1|TForm2|1|1|" + made[0] + "|t"});

    // Withdrawn on the server: the server tells the PC, which reads the list
    // again at once (not after its half an hour) and drops the piece.
    cluster().Query("update work_pieces set withdrawn_at = now() where id = " + made[3], &ok);
    const QDeadlineTimer told(10000);
    while (!told.hasExpired() && file.Query("select count(*) from work_given where id = " + made[3]) != QStringList{"0"})
        QThread::msleep(50);
    EXPECT_EQ(file.Query("select id from work_given"), QStringList{made[0]});

    // The server gone: the list stays as last fetched.
    const QStringList kept = file.Query("select * from work_given order by id");
    cluster().Stop();
    QThread::msleep(1500);
    EXPECT_FALSE(sync->status().problem.isEmpty());
    EXPECT_EQ(file.Query("select * from work_given order by id"), kept);
    QString problem;
    ASSERT_TRUE(cluster().Start(&problem)) << problem.toStdString();
    EXPECT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
    EXPECT_EQ(file.Query("select * from work_given order by id"), kept);
}

// A pupil renamed, moved to another class or put to rest on the PC after
// the server had them: the server's row follows, so the class's teacher
// counts them where they are now. A server that refuses the change (one
// of an older version) still takes the answers and gets it later.
TEST_F(WorkServer, APupilChangedOnThePcAfterItWasSentChangesOnTheServer) {
    QTemporaryDir folder;
    Pc pc(folder.path());
    pc.learning.AddPupil("たろう");
    LocalFile file(pc.path);
    auto sync = pc.Sync(cluster().Config());
    ASSERT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
    const QString rows = "select id, name, class_name, archived from pupils where pc_id = '" + file.PcId() + "'"
                         " order by id";
    ASSERT_EQ(cluster().Query(rows), (QStringList{"1|はなこ|クラス|0", "2|たろう|クラス|0"}));

    bool ok = false;
    cluster().Query("revoke update on pupils from sorelka_writer", &ok);
    ASSERT_TRUE(ok);
    record::ClassRoster roster(pc.store);
    EXPECT_TRUE(roster.RenameClass("クラス", "4年1組").isEmpty());
    AnswerPractice(pc, 1);
    ASSERT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
    EXPECT_TRUE(sync->status().problem.isEmpty()) << sync->status().problem.toStdString();
    EXPECT_EQ(cluster().Query("select count(*) from history where pc_id = '" + file.PcId() + "'"), QStringList{"1"});
    EXPECT_EQ(cluster().Query(rows), (QStringList{"1|はなこ|クラス|0", "2|たろう|クラス|0"}));

    cluster().Query("grant update (name, class_name, archived) on pupils to sorelka_writer", &ok);
    ASSERT_TRUE(ok);
    pc.learning.RenamePupil("たろう", "たろ");
    pc.learning.SetArchived("はなこ", true);
    AnswerPractice(pc, 2);
    ASSERT_TRUE(sync->WaitUntilSent(30000)) << sync->status().problem.toStdString();
    EXPECT_EQ(cluster().Query(rows), (QStringList{"1|はなこ|4年1組|1", "2|たろ|4年1組|0"}));
    EXPECT_EQ(file.Query("select count(*) from pupils_to_send"), QStringList{"0"});
}

}  // namespace
}  // namespace sorelka::testing
