// The work a teacher gives and the class now, on the school's server: the
// teacher's functions of the shipped SQL (sorelka_work_*, sorelka_live),
// one statement per call.
#include <QJsonArray>
#include <QJsonDocument>

#include "app/teacher/work_source.h"
#include "sync/teacher_session.h"

namespace sorelka {

namespace {

using sync::Bound;
using sync::PgResult;
using sync::PgValue;
using sync::TeacherSession;

// Names go as a JSON array (never spliced into the statement) and become
// the functions' text[] on the server; none: the whole class.
PgValue PupilsJson(const QStringList& pupils) {
    if (pupils.isEmpty()) return std::nullopt;
    return QJsonDocument(QJsonArray::fromStringList(pupils)).toJson(QJsonDocument::Compact);
}

constexpr const char* kPupilsParameter = "(select array_agg(p) from json_array_elements_text($%1::json) p)";

QByteArray Number(qint64 n) { return QByteArray::number(n); }

// The piece's fields from `first` on, as the make and change functions take
// them after their first parameter: title, topic, menu, skill, recommended,
// problems, due, pupils.
std::vector<PgValue> PieceValues(const WorkPiece& p) {
    return {Bound(p.title),
            p.topic ? PgValue(Number(TopicNumber(*p.topic))) : PgValue(std::nullopt),
            p.topic ? PgValue(Number(p.menu_choice)) : PgValue(std::nullopt),
            p.skill.isEmpty() ? PgValue(std::nullopt) : Bound(p.skill),
            QByteArray(p.recommended ? "true" : "false"),
            Number(p.problems),
            p.due.toString(Qt::ISODate).toUtf8(),
            PupilsJson(p.pupils)};
}

QString PieceCall(const char* function, const char* first_type) {
    return QStringLiteral("select %1($1::%2, $2, $3::integer, $4::integer, $5, $6::boolean, $7::integer, $8::date, %3)")
        .arg(QLatin1String(function), QLatin1String(first_type), QString::fromLatin1(kPupilsParameter).arg(9));
}

class ServerWorkSource final : public WorkSource {
public:
    explicit ServerWorkSource(TeacherSession& session) : session_(session) {}

    QString Make(const QString& class_name, const WorkPiece& piece, qint64* id) override {
        std::vector<PgValue> values{Bound(class_name)};
        for (PgValue& v : PieceValues(piece)) values.push_back(std::move(v));
        const PgResult r = session_.Exec(PieceCall("sorelka_work_make", "text"), values);
        if (r.ok() && r.rows() == 1) *id = r.number(0, 0);
        return TeacherSession::Reason(r);
    }

    QString Change(const WorkPiece& piece) override {
        std::vector<PgValue> values{Number(piece.id)};
        for (PgValue& v : PieceValues(piece)) values.push_back(std::move(v));
        return TeacherSession::Reason(session_.Exec(PieceCall("sorelka_work_change", "bigint"), values));
    }

    QString Withdraw(qint64 id) override {
        return TeacherSession::Reason(session_.Exec(QStringLiteral("select sorelka_work_withdraw($1::bigint)"),
                                                    {Number(id)}));
    }

    std::vector<WorkPiece> List(const QString& class_name, QString* problem) override {
        const PgResult r = session_.Exec(
            QStringLiteral("select id, title, topic, menu_choice, skill, recommended, problems, due_day,"
                           " coalesce(array_to_json(pupils), '[]')::text, made_at, withdrawn_at is not null"
                           " from sorelka_work_list($1)"),
            {Bound(class_name)});
        *problem = TeacherSession::Reason(r);
        std::vector<WorkPiece> pieces;
        for (int i = 0; r.ok() && i < r.rows(); ++i) {
            WorkPiece p;
            p.id = r.number(i, 0);
            p.title = r.text(i, 1);
            if (!r.is_null(i, 2)) {
                p.topic = TopicFromNumber(int(r.number(i, 2)));
                p.menu_choice = int(r.number(i, 3));
            }
            p.skill = r.text(i, 4);
            p.recommended = r.text(i, 5) == QLatin1String("t");
            p.problems = int(r.number(i, 6));
            p.due = QDate::fromString(r.text(i, 7), Qt::ISODate);
            for (const QJsonValue& name : QJsonDocument::fromJson(r.bytes(i, 8)).array()) p.pupils << name.toString();
            p.made_at = QDateTime::fromString(r.text(i, 9), Qt::ISODate);
            p.withdrawn = r.text(i, 10) == QLatin1String("t");
            pieces.push_back(std::move(p));
        }
        return pieces;
    }

    std::vector<WorkProgressRow> Progress(const QString& class_name, QString* problem) override {
        const PgResult r = session_.Exec(
            QStringLiteral("select work_id, pupil, answered, correct, kinds from sorelka_work_progress($1)"),
            {Bound(class_name)});
        *problem = TeacherSession::Reason(r);
        std::vector<WorkProgressRow> rows;
        for (int i = 0; r.ok() && i < r.rows(); ++i)
            rows.push_back({r.number(i, 0), r.text(i, 1), int(r.number(i, 2)), int(r.number(i, 3)), r.text(i, 4)});
        return rows;
    }

private:
    TeacherSession& session_;
};

class ServerLiveSource final : public LiveSource {
public:
    explicit ServerLiveSource(const TeacherSession& session) : session_(session.Another()) {}

    std::vector<LiveRow> Live(const QString& class_name, QString* problem) override {
        const PgResult r = session_->Exec(
            QStringLiteral("select pupil, screen, topic, menu_choice, work_id, answers, correct, stuck, stuck_why"
                           " from sorelka_live($1)"),
            {Bound(class_name)});
        *problem = TeacherSession::Reason(r);
        std::vector<LiveRow> rows;
        for (int i = 0; r.ok() && i < r.rows(); ++i) {
            LiveRow row;
            row.pupil = r.text(i, 0);
            row.screen = r.text(i, 1);
            if (!r.is_null(i, 2)) row.topic = int(r.number(i, 2));
            row.menu_choice = int(r.number(i, 3));
            row.work_id = r.number(i, 4);
            row.answers = int(r.number(i, 5));
            row.correct = int(r.number(i, 6));
            row.stuck = r.text(i, 7) == QLatin1String("t");
            row.stuck_why = r.text(i, 8);
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    std::unique_ptr<TeacherSession> session_;  // its own connection, opened by the first reading
};

}  // namespace

std::unique_ptr<WorkSource> ServerWork(sync::TeacherSession& session) {
    return std::make_unique<ServerWorkSource>(session);
}

std::unique_ptr<LiveSource> ServerLive(const sync::TeacherSession& session) {
    return std::make_unique<ServerLiveSource>(session);
}

}  // namespace sorelka
