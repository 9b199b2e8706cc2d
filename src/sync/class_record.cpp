#include "sync/class_record.h"

#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>
#include <sqlite3.h>

#include "record/record_store.h"
#include "record/schema.h"

namespace sorelka::sync {

namespace {

std::atomic<int> serial{0};

using Key = std::pair<QString, qint64>;  // (pc_id, the PC's own id)

QVariant NullText() { return QVariant(QMetaType::fromType<QString>()); }
QVariant NullInt() { return QVariant(QMetaType::fromType<qlonglong>()); }
QVariant TextOrNull(const QString& text) { return text.isEmpty() ? NullText() : QVariant(text); }

// Positions of `rows` in order of `time`, then PC, then the PC's id.
template <typename Row, typename Time, typename Id>
std::vector<std::size_t> InTimeOrder(const std::vector<Row>& rows, Time time, Id id) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const QString& ta = time(rows[a]);
        const QString& tb = time(rows[b]);
        if (ta != tb) return ta < tb;
        if (rows[a].pc_id != rows[b].pc_id) return rows[a].pc_id < rows[b].pc_id;
        return id(rows[a]) < id(rows[b]);
    });
    return order;
}

class Loader {
public:
    explicit Loader(QSqlDatabase& db) : db_(db) {}

    bool Run(const ClassHistory& h) {
        QSqlError error;
        // The tables first and the rows into them, then the later steps, as
        // an old file is upgraded: each index is built once over all rows
        // and the kept figures are counted once, rather than kept up to date
        // row by row.
        const int tables = record::kLearningRecordTablesVersion;
        if (!db_.transaction() || !record::ApplyLayoutSteps(db_, 0, &error, tables)) return Fail(error);
        if (!Pupils(h) || !Drills(h) || !Answers(h)) return false;
        if (!record::ApplyLayoutSteps(db_, tables, &error)) return Fail(error);
        return db_.commit() || Fail(db_.lastError());
    }

    QString problem;

private:
    bool Fail(const QSqlError& error) {
        problem = QStringLiteral("サーバーの記録を読みこめません: ") + error.text();
        return false;
    }
    bool Prepare(QSqlQuery& q, const QString& sql) { return q.prepare(sql) || Fail(q.lastError()); }
    bool Exec(QSqlQuery& q) { return q.exec() || Fail(q.lastError()); }

    bool Pupils(const ClassHistory& h) {
        QStringList names;
        struct Merged {
            qint64 id;
            QString reading;
            bool archived;
            QString created_at;
        };
        // The pupil stays archived only while every PC holding them has them so.
        QHash<QString, Merged> by_name;
        for (std::size_t i : InTimeOrder(h.pupils, [](const ClassPupil& p) -> const QString& { return p.created_at; },
                                         [](const ClassPupil& p) { return p.id; })) {
            const ClassPupil& p = h.pupils[i];
            auto it = by_name.find(p.name);
            if (it == by_name.end()) {
                it = by_name.insert(p.name, {qint64(names.size()) + 1, p.reading, p.archived, p.created_at});
                names.append(p.name);
            } else {
                it->archived = it->archived && p.archived;
            }
            pupil_of_.insert({p.pc_id, p.id}, it->id);
        }
        QSqlQuery q(db_);
        if (!Prepare(q, QStringLiteral("insert into pupils (id, name, reading, archived, created_at)"
                                       " values (?, ?, ?, ?, ?)")))
            return false;
        for (const QString& name : names) {
            const Merged& m = by_name[name];
            q.addBindValue(m.id);
            q.addBindValue(name);
            q.addBindValue(TextOrNull(m.reading));
            q.addBindValue(m.archived ? 1 : 0);
            q.addBindValue(TextOrNull(m.created_at));
            if (!Exec(q)) return false;
        }
        return true;
    }

    QVariant PupilOf(const QString& pc, const std::optional<qint64>& id) const {
        if (!id) return NullInt();
        const auto it = pupil_of_.find({pc, *id});
        return it == pupil_of_.end() ? NullInt() : QVariant(*it);
    }

    // A drill is one drill wherever it lies: its uid is made at random when
    // it starts. A record file that takes a fresh PC id while a drill runs
    // (a copied or restored file) sends that drill again under the new id,
    // so the same uid can come from two ids; the row with the most questions
    // holds its final figures.
    bool Drills(const ClassHistory& h) {
        QSqlQuery q(db_);
        if (!Prepare(q, QStringLiteral("insert into drills (id, uid, pupil_id, topic, menu_choice,"
                                       " time_limit_seconds, started_at, finished_at, questions, correct,"
                                       " points, seconds) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
            return false;
        QHash<QString, qint64> id_of_uid;
        std::vector<const ClassDrill*> kept;  // by local id - 1
        for (std::size_t i :
             InTimeOrder(h.drills, [](const ClassDrill& d) -> const QString& { return d.drill.started_at; },
                         [](const ClassDrill& d) { return d.drill.id; })) {
            const ClassDrill& d = h.drills[i];
            auto it = id_of_uid.find(d.drill.uid);
            if (it == id_of_uid.end()) {
                kept.push_back(&d);
                it = id_of_uid.insert(d.drill.uid, qint64(kept.size()));
            } else if (d.drill.questions > kept[*it - 1]->drill.questions) {
                kept[*it - 1] = &d;
            }
            drill_of_.insert({d.pc_id, d.drill.id}, *it);
        }
        for (std::size_t i = 0; i < kept.size(); ++i) {
            const ClassDrill& d = *kept[i];
            const record::DrillRecord& r = d.drill;
            q.addBindValue(qint64(i) + 1);
            q.addBindValue(r.uid);
            q.addBindValue(PupilOf(d.pc_id, r.pupil_id));
            q.addBindValue(r.topic);
            q.addBindValue(r.menu_choice);
            q.addBindValue(r.time_limit_seconds);
            q.addBindValue(r.started_at);
            q.addBindValue(TextOrNull(r.finished_at));
            q.addBindValue(r.questions);
            q.addBindValue(r.correct);
            q.addBindValue(r.points);
            q.addBindValue(r.seconds);
            if (!Exec(q)) return false;
        }
        return true;
    }

    bool Answers(const ClassHistory& h) {
        QSqlQuery q(db_);
        if (!Prepare(q, QStringLiteral("insert into history (id, pupil_id, answered_at, topic, mode, menu_choice,"
                                       " drill_id, question_no, problem, right_answer, entered_answer, correct,"
                                       " seconds, error_kind, error_step, worked_rows)"
                                       " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
            return false;
        qint64 next = 0;
        // One answer under two PC ids is a copy: a record file copied to
        // another PC before it had its id sends its earlier answers from
        // both. The same pupil, to the millisecond, on the same problem with
        // the same answer, is the same answer.
        QSet<QString> seen;
        for (std::size_t i :
             InTimeOrder(h.answers, [](const ClassAnswer& a) -> const QString& { return a.row.answered_at; },
                         [](const ClassAnswer& a) { return a.row.id; })) {
            const ClassAnswer& a = h.answers[i];
            const record::HistoryRow& r = a.row;
            const QVariant pupil = PupilOf(a.pc_id, r.pupil_id);
            const QChar sep(0x1f);
            const QString key = pupil.toString() + sep + r.answered_at + sep + QString::number(r.topic) + sep +
                                r.problem + sep + r.entered_answer;
            if (seen.contains(key)) continue;
            seen.insert(key);
            q.addBindValue(++next);
            q.addBindValue(pupil);
            q.addBindValue(r.answered_at);
            q.addBindValue(r.topic);
            q.addBindValue(r.mode);
            q.addBindValue(r.menu_choice);
            QVariant drill = NullInt();
            if (r.drill_id)
                if (const auto it = drill_of_.find({a.pc_id, *r.drill_id}); it != drill_of_.end()) drill = *it;
            q.addBindValue(drill);
            q.addBindValue(r.question_no ? QVariant(*r.question_no) : NullInt());
            q.addBindValue(r.problem);
            q.addBindValue(r.right_answer);
            q.addBindValue(r.entered_answer);
            q.addBindValue(r.correct ? 1 : 0);
            q.addBindValue(r.seconds);
            q.addBindValue(TextOrNull(r.error_kind));
            q.addBindValue(TextOrNull(r.error_step));
            q.addBindValue(TextOrNull(r.worked_rows));
            if (!Exec(q)) return false;
        }
        return true;
    }

    QSqlDatabase& db_;
    QHash<Key, qint64> pupil_of_;
    QHash<Key, qint64> drill_of_;
};

int CountPcs(const ClassHistory& h) {
    QSet<QString> pcs;
    for (const ClassPupil& p : h.pupils) pcs.insert(p.pc_id);
    for (const ClassDrill& d : h.drills) pcs.insert(d.pc_id);
    for (const ClassAnswer& a : h.answers) pcs.insert(a.pc_id);
    return int(pcs.size());
}

// SQLite's own handle of a Qt connection (the same library the driver uses).
sqlite3* Handle(const QSqlDatabase& db) {
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

QString Problem(const QString& detail) { return QStringLiteral("サーバーの記録を読みこめません: ") + detail; }

}  // namespace

ClassRecord::ClassRecord() : connection_(QStringLiteral("sorelka-class-record-%1").arg(++serial)) {}

bool ClassRecord::OpenMemory(QString* problem) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (db.open()) return true;
    *problem = Problem(db.lastError().text());
    return false;
}

void ClassRecord::ReadPupils() {
    QSqlQuery q(database());
    if (q.exec(QStringLiteral("select name from pupils order by id")))
        while (q.next()) pupils_ << q.value(0).toString();
}

std::unique_ptr<ClassRecord> ClassRecord::Load(const ClassHistory& history, QString* problem) {
    std::unique_ptr<ClassRecord> record(new ClassRecord);
    if (!record->OpenMemory(problem)) return nullptr;  // the destructor removes the connection
    {
        QSqlDatabase db = record->database();
        Loader loader(db);
        if (!loader.Run(history)) {
            *problem = loader.problem;
            db.rollback();
            return nullptr;
        }
    }
    record->pcs_ = CountPcs(history);
    record->ReadPupils();
    return record;
}

void ClassRecord::Pack(ClassHistory& history) {
    if (!history.from_server) return;
    QString problem;
    QByteArray image;
    int pcs = 0;
    if (const auto record = Load(history, &problem)) {
        pcs = record->pcs();
        sqlite3_int64 size = 0;
        sqlite3* handle = Handle(record->database());
        unsigned char* bytes = handle ? sqlite3_serialize(handle, "main", &size, 0) : nullptr;
        if (bytes) {
            image = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
            sqlite3_free(bytes);
        } else {
            problem = Problem(QStringLiteral("sqlite3_serialize"));
        }
    }
    history.pupils.clear();
    history.drills.clear();
    history.answers.clear();
    if (image.isEmpty()) {
        history.from_server = false;
        history.problem = problem;
        return;
    }
    history.record = std::move(image);
    history.pcs = pcs;
}

std::unique_ptr<ClassRecord> ClassRecord::Open(const ClassHistory& history, QString* problem) {
    if (!history.from_server) {
        *problem = history.problem;
        return nullptr;
    }
    if (history.record.isEmpty()) return Load(history, problem);
    std::unique_ptr<ClassRecord> record(new ClassRecord);
    if (!record->OpenMemory(problem)) return nullptr;
    sqlite3* handle = Handle(record->database());
    const auto size = sqlite3_int64(history.record.size());
    auto* bytes = static_cast<unsigned char*>(handle ? sqlite3_malloc64(sqlite3_uint64(size)) : nullptr);
    if (!bytes) {
        *problem = Problem(QStringLiteral("no memory for the image"));
        return nullptr;
    }
    std::memcpy(bytes, history.record.constData(), std::size_t(size));
    // SQLite owns the bytes from here on, also when it refuses them.
    const int rc = sqlite3_deserialize(handle, "main", bytes, size, size,
                                       SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
    if (rc != SQLITE_OK) {
        *problem = Problem(QString::fromUtf8(sqlite3_errstr(rc)));
        return nullptr;
    }
    record->pcs_ = history.pcs;
    record->ReadPupils();
    return record;
}

ClassRecord::~ClassRecord() {
    if (!QSqlDatabase::contains(connection_)) return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase ClassRecord::database() const { return QSqlDatabase::database(connection_, false); }

}  // namespace sorelka::sync
