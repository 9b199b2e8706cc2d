// The server's rows of two PCs copied into one record in memory, read by the
// report functions unchanged.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QSqlRecord>

#include "report/report_data.h"
#include "sync/class_record.h"

namespace sorelka::testing {
namespace {

sync::ClassAnswer Answer(const char* pc, qint64 id, std::optional<qint64> pupil, const QString& at, int topic,
                         bool correct, const char* kind = "", std::optional<qint64> drill = {}) {
    sync::ClassAnswer a{pc, {}};
    a.row.id = id;
    a.row.pupil_id = pupil;
    a.row.answered_at = at;
    a.row.topic = topic;
    a.row.mode = drill ? "drill" : "practice";
    a.row.drill_id = drill;
    a.row.problem = QStringLiteral("%1-%2").arg(pc).arg(id);
    a.row.correct = correct;
    a.row.seconds = 2.0 * id;
    a.row.error_kind = kind;
    return a;
}

sync::ClassDrill Drill(const char* pc, qint64 id, qint64 pupil, const char* started, int topic, int points,
                       const char* uid, int questions = 0) {
    sync::ClassDrill d{pc, {}};
    d.drill.id = id;
    d.drill.uid = uid;
    d.drill.questions = questions;
    d.drill.pupil_id = pupil;
    d.drill.topic = topic;
    d.drill.started_at = started;
    d.drill.points = points;
    return d;
}

QStringList Rows(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    QStringList out;
    if (!q.exec(sql)) return {"error"};
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < q.record().count(); ++i) fields << q.value(i).toString();
        out << fields.join('|');
    }
    return out;
}

// Two PCs know はなこ under different ids and たろう on one of them; their
// rows arrive in no particular order.
TEST(ClassRecord, TwoPcsBecomeOneClassWithPupilsByNameAndAnswersInTimeOrder) {
    sync::ClassHistory h;
    h.from_server = true;
    h.pupils = {{"pcA", 1, "はなこ", "", true, "2026-11-02T08:00:00"},
                {"pcA", 2, "たろう", "", true, "2026-11-03T08:00:00"},
                {"pcB", 5, "はなこ", "", false, "2026-11-01T08:00:00"}};
    // The drill uid-a came again under pcB, as from a file that took a fresh
    // id while it ran: one drill, with the figures of the fuller row.
    h.drills = {Drill("pcA", 1, 1, "2026-12-08T10:00:00", 1, 60, "uid-a"),
                Drill("pcB", 1, 5, "2026-12-07T10:00:00", 1, 90, "uid-b"),
                Drill("pcB", 2, 5, "2026-12-08T10:00:00", 1, 70, "uid-a", 5)};
    h.answers = {Answer("pcA", 1, 1, "2026-12-08T10:00:01", 1, false, "zero_missing", 1),
                 Answer("pcB", 1, 5, "2026-12-07T10:00:01", 1, false, "zero_missing", 1),
                 Answer("pcB", 2, 5, "2026-12-08T11:00:00", 1, false, "slip"),
                 Answer("pcA", 2, 2, "2026-12-08T09:00:00", 2, true),
                 Answer("pcA", 3, std::nullopt, "2026-12-08T09:30:00", 1, true),
                 Answer("pcB", 3, 99, "2026-12-08T09:40:00", 1, true)};  // its pupil never reached the server
    // pcA's first answer again from pcB, as from a copy of pcA's file: one answer.
    h.answers.push_back(h.answers[0]);
    h.answers.back().pc_id = "pcB";
    h.answers.back().row.id = 7;
    h.answers.back().row.pupil_id = 5;
    QString problem;
    const auto record = sync::ClassRecord::Load(h, &problem);
    ASSERT_TRUE(record) << problem.toStdString();
    const QSqlDatabase db = record->database();
    EXPECT_EQ(record->pcs(), 2);
    EXPECT_EQ(record->pupils(), QStringList({"はなこ", "たろう"})) << "first seen first";
    EXPECT_EQ(Rows(db, "select id, name, archived from pupils"), QStringList({"1|はなこ|0", "2|たろう|1"}))
        << "archived only where every PC has them so";
    EXPECT_EQ(Rows(db, "pragma user_version"), QStringList{"0"});
    EXPECT_EQ(Rows(db, "select count(*) from sqlite_master where type = 'index' and name = 'history_by_pupil'"),
              QStringList{"1"})
        << "the record's own layout";
    EXPECT_EQ(Rows(db, "select problem from history order by id"),
              QStringList({"pcB-1", "pcA-2", "pcA-3", "pcB-3", "pcA-1", "pcB-2"}));
    EXPECT_EQ(Rows(db, "select h.problem, d.points from history h join drills d on d.id = h.drill_id order by h.id"),
              QStringList({"pcB-1|90", "pcA-1|70"}));
    EXPECT_EQ(Rows(db, "select uid, questions from drills order by id"), QStringList({"uid-b|0", "uid-a|5"}));

    const std::vector<report::ClassRow> rows = report::ClassSummary(db, {});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].pupil, "はなこ");
    EXPECT_EQ(rows[0].answers, 3);
    EXPECT_EQ(rows[0].drills, 2);
    EXPECT_EQ(rows[0].best_points, 90);
    EXPECT_EQ(rows[0].habit, "zero_missing");
    EXPECT_EQ(rows[0].last_day, "2026-12-08");
    EXPECT_EQ(rows[1].pupil, "たろう");
    EXPECT_EQ(rows[2].pupil, report::ReportedPupils(db, {}).back());  // the guest, with the lost pupil's answer
    EXPECT_EQ(rows[2].answers, 2);
    const auto wrong = report::RecentWrong(db, {QString("はなこ"), {}, {}}, 10);
    ASSERT_EQ(wrong.size(), 3u);
    EXPECT_EQ(wrong[0].problem, "pcB-2") << "newest first across PCs";

    // As the worker sends it: the copy's image, opened as the same record.
    sync::ClassHistory packed = h;
    sync::ClassRecord::Pack(packed);
    EXPECT_TRUE(packed.answers.empty());
    const auto opened = sync::ClassRecord::Open(packed, &problem);
    ASSERT_TRUE(opened) << problem.toStdString();
    EXPECT_EQ(opened->pcs(), 2);
    EXPECT_EQ(opened->pupils(), record->pupils());
    for (const char* table : {"pupils", "drills", "history"}) {
        const QString all = QStringLiteral("select * from %1 order by id").arg(table);
        EXPECT_EQ(Rows(opened->database(), all), Rows(db, all)) << table;
    }
}

}  // namespace
}  // namespace sorelka::testing
