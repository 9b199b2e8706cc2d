#include "record/statement_shapes.h"

#include <QHash>
#include <array>

namespace sorelka::record {

namespace {

struct Entry {
    Shape shape;
    const char* name;
    QString sql;
    QString row;  // empty: a statement without repeated rows
};

// The current pupil's id, looked up when the statement is written.
QString PupilId() { return QStringLiteral("(select id from pupils where name = ?)"); }

QString ConfirmedUpTo(const char* table) {
    // The class server keeps removed rows: how far it confirmed is brought
    // back to what is left, so later rows with those ids are sent too.
    return QStringLiteral("update sync_confirmed set up_to = min(up_to, (select coalesce(max(id), 0) from %1))"
                          " where table_name = '%1'")
        .arg(QLatin1String(table));
}

const QString kMasteryColumns = QStringLiteral(
    "skill, estimate, answers, last_seen, last_mistake, next_review, review_step");

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = {
        {Shape::DrillLogClear, "dorill.clear", QStringLiteral("delete from dorill"), {}},
        {Shape::DrillLogAdd, "dorill.add",
         QStringLiteral("insert into dorill (\"NO\", MND, KAI, KOT, HNT, AMS, AMI) values (?, ?, ?, ?, ?, ?, ?)"), {}},
        {Shape::ClassThisPc, "classes.this_pc", QStringLiteral("update classes set this_pc = (name = ?)"), {}},
        {Shape::ClassAdd, "classes.add", QStringLiteral("insert or ignore into classes (name) values (?)"), {}},
        {Shape::ClassRename, "classes.rename",
         QStringLiteral("update or ignore classes set name = ? where name = ?"), {}},
        {Shape::ClassRenamePupils, "classes.rename_pupils",
         QStringLiteral("update pupils set class_name = ? where class_name = ?"
                        " and exists (select 1 from classes where name = ?)"), {}},
        {Shape::ClassRemove, "classes.remove", QStringLiteral("delete from classes where name = ?"), {}},
        {Shape::PupilMove, "pupils.move", QStringLiteral("update pupils set class_name = ? where name = ?"), {}},
        // "or ignore": a statement the file refuses would be kept and retried
        // for ever, holding up every later answer. A new pupil joins the
        // class this PC is set to, else the first class.
        {Shape::PupilAdd, "pupils.add",
         QStringLiteral("insert or ignore into pupils (name, created_at, class_name)"
                        " values (?, strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'),"
                        " coalesce((select name from classes order by this_pc desc, id limit 1),"
                        " 'クラス'))"), {}},
        {Shape::PupilRename, "pupils.rename", QStringLiteral("update or ignore pupils set name = ? where name = ?"), {}},
        {Shape::PupilArchive, "pupils.archive", QStringLiteral("update pupils set archived = ? where name = ?"), {}},
        {Shape::PupilRemoveMastery, "pupils.remove_mastery",
         QStringLiteral("delete from skill_mastery where pupil_id = ") + PupilId(), {}},
        {Shape::PupilRemoveHistory, "pupils.remove_history",
         QStringLiteral("delete from history where pupil_id = ") + PupilId(), {}},
        {Shape::PupilRemoveDrills, "pupils.remove_drills",
         QStringLiteral("delete from drills where pupil_id = ") + PupilId(), {}},
        {Shape::PupilRemove, "pupils.remove", QStringLiteral("delete from pupils where name = ?"), {}},
        {Shape::PupilRemoveHistoryConfirmed, "pupils.remove_history_confirmed", ConfirmedUpTo("history"), {}},
        {Shape::PupilRemovePupilsConfirmed, "pupils.remove_pupils_confirmed", ConfirmedUpTo("pupils"), {}},
        {Shape::PupilRemoveDrillsSent, "pupils.remove_drills_sent",
         QStringLiteral("delete from sync_drills_sent where id not in (select id from drills)"), {}},
        {Shape::AnswerAdd, "answer.add",
         QStringLiteral("insert into history (pupil_id, answered_at, topic, mode, menu_choice,"
                        " drill_id, question_no, problem, right_answer, entered_answer, correct,"
                        " seconds, error_kind, error_step, worked_rows) values (") +
             PupilId() +
             QStringLiteral(", ?, ?, ?, ?, (select id from drills where uid = ?), ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {}},
        {Shape::DrillStart, "drills.start",
         QStringLiteral("insert into drills (uid, pupil_id, topic, menu_choice, time_limit_seconds,"
                        " started_at) values (?, ") +
             PupilId() + QStringLiteral(", ?, ?, ?, ?)"),
         {}},
        {Shape::DrillFigures, "drills.figures",
         QStringLiteral("update drills set questions = ?, correct = ?, points = ?, seconds = ? where uid = ?"), {}},
        {Shape::DrillFinish, "drills.finish",
         QStringLiteral("update drills set questions = ?, correct = ?, points = ?, seconds = ?,"
                        " finished_at = ? where uid = ?"),
         {}},
        {Shape::MasteryAnswer, "mastery.answer",
         QStringLiteral("insert or replace into skill_mastery (pupil_id, ") + kMasteryColumns +
             QStringLiteral(") values "),
         QStringLiteral("((select id from pupils where name = ?), ?, ?, ?, ?, ?, ?, ?)")},
        {Shape::MasteryClear, "mastery.clear", QStringLiteral("delete from skill_mastery"), {}},
        {Shape::MasteryRebuild, "mastery.rebuild",
         QStringLiteral("insert into skill_mastery (pupil_id, ") + kMasteryColumns + QStringLiteral(") values "),
         QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?)")},
        {Shape::SettingSet, "program_settings.set",
         QStringLiteral("insert into program_settings (key, value) values (?, ?)"
                        " on conflict (key) do update set value = excluded.value"), {}},
        // Journals of earlier versions hold "answer.add", which still runs
        // (the two columns stay null); the program writes this one.
        {Shape::AnswerAddWork, "answer.add_work",
         QStringLiteral("insert into history (pupil_id, answered_at, topic, mode, menu_choice,"
                        " drill_id, question_no, problem, right_answer, entered_answer, correct,"
                        " seconds, error_kind, error_step, worked_rows, skill, work_id) values (") +
             PupilId() +
             QStringLiteral(", ?, ?, ?, ?, (select id from drills where uid = ?), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {}},
        {Shape::PupilImportAdd, "pupils.import_add",
         QStringLiteral("insert or ignore into pupils (name, reading, created_at, class_name, source_id)"
                        " values (?, ?, strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'), ?, ?)"), {}},
        {Shape::PupilImportChange, "pupils.import_change",
         QStringLiteral("update or ignore pupils set name = ?, reading = ?, class_name = ?, archived = 0,"
                        " source_id = ? where id = ?"), {}},
        {Shape::PupilImportGone, "pupils.import_gone", QStringLiteral("update pupils set archived = 1 where id = ?"), {}},
    };
    return entries;
}

// The table lists the shapes in the enum's order.
const Entry& Of(Shape shape) {
    const Entry& entry = Entries()[std::size_t(shape)];
    Q_ASSERT(entry.shape == shape);
    return entry;
}

// More rows than any statement of the program holds is no statement of it.
constexpr int kMostRows = 10000;

}  // namespace

const QString& Sql(Shape shape) { return Of(shape).sql; }
const QString& RowSql(Shape shape) { return Of(shape).row; }

QString RowsSql(Shape shape, int rows) {
    QString sql = Of(shape).sql;
    for (int k = 0; k < rows; ++k) sql += (k ? QStringLiteral(",") : QString()) + Of(shape).row;
    return sql;
}

std::optional<ShapeUse> FindShape(const QString& sql) {
    for (const Entry& e : Entries()) {
        if (e.row.isEmpty()) {
            if (sql == e.sql) return ShapeUse{QString::fromLatin1(e.name), 1};
            continue;
        }
        if (!sql.startsWith(e.sql)) continue;
        const qsizetype rest = sql.size() - e.sql.size();
        const qsizetype each = e.row.size() + 1;
        if ((rest + 1) % each != 0) continue;
        const int rows = int((rest + 1) / each);
        if (rows >= 1 && rows <= kMostRows && sql == RowsSql(e.shape, rows))
            return ShapeUse{QString::fromLatin1(e.name), rows};
    }
    return std::nullopt;
}

std::optional<QString> ShapeStatement(const QString& name, int rows) {
    for (const Entry& e : Entries()) {
        if (name != QLatin1String(e.name)) continue;
        if (e.row.isEmpty()) return rows == 1 ? std::optional<QString>(e.sql) : std::nullopt;
        if (rows < 1 || rows > kMostRows) return std::nullopt;
        return RowsSql(e.shape, rows);
    }
    return std::nullopt;
}

}  // namespace sorelka::record
