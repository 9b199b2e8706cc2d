#include "sync/class_work.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace sorelka::sync {

namespace {

PgValue Number(std::optional<int> value) {
    if (!value) return std::nullopt;
    return QByteArray::number(*value);
}

// The chosen names as one JSON array, which the statement unpacks into the
// text[] the server's functions take (no array literal spliced by hand).
PgValue Names(const QStringList& names) {
    return QJsonDocument(QJsonArray::fromStringList(names)).toJson(QJsonDocument::Compact);
}

// A timestamptz the statement wrote as UTC ISO 8601 with milliseconds.
QDateTime Moment(const PgResult& r, int row, int column) {
    if (r.is_null(row, column)) return {};
    return QDateTime::fromString(r.text(row, column), Qt::ISODateWithMs);
}

QString Utc(const char* column) {
    return QStringLiteral("to_char(%1 at time zone 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')")
        .arg(QLatin1String(column));
}

// The piece's fields as $2…$9 of sorelka_work_make / sorelka_work_change.
std::vector<PgValue> PieceValues(const PgValue& first, const WorkPiece& piece) {
    return {first,
            Bound(piece.title),
            Number(piece.topic),
            Number(piece.menu_choice),
            piece.skill.isEmpty() ? PgValue() : Bound(piece.skill),
            QByteArray(piece.recommended ? "true" : "false"),
            QByteArray::number(piece.problems),
            piece.due_day.isValid() ? PgValue(piece.due_day.toString(Qt::ISODate).toLatin1()) : PgValue(),
            Names(piece.pupils)};
}

const char* const kPieceParameters =
    "$2, $3::integer, $4::integer, $5, $6::boolean, $7::integer, $8::date,"
    " array(select json_array_elements_text($9::json))";

}  // namespace

QString WorkReason(const PgResult& result) {
    const QString state = result.sqlstate();
    if (result.ok()) return {};
    if (state == QLatin1String("22023")) return QStringLiteral("かだいの 題を 入れてください。");
    if (state == QLatin1String("23514"))
        return QStringLiteral("れんしゅうする ことを 一つ えらんでください（単元と項目、スキル、おすすめ の どれか）。");
    if (state == QLatin1String("22003")) return QStringLiteral("問題の数は 1 から 100 までです。");
    if (state == QLatin1String("22004")) return QStringLiteral("きげんの 日を 入れてください。");
    if (state == QLatin1String("P0002"))
        return QStringLiteral("えらんだ人の 中に、このクラスの名簿に いない人が います。");
    if (state == QLatin1String("55000")) return QStringLiteral("とりけした かだいは かえられません。");
    return TeacherSession::Reason(result);
}

MadeWork MakeWork(TeacherSession& session, const QString& class_name, const WorkPiece& piece) {
    const PgResult r =
        session.Exec(QStringLiteral("select sorelka_work_make($1, %1)").arg(QLatin1String(kPieceParameters)),
                     PieceValues(Bound(class_name), piece));
    if (!r.ok() || r.rows() != 1) return {0, WorkReason(r)};
    return {r.number(0, 0), {}};
}

QString ChangeWork(TeacherSession& session, const WorkPiece& piece) {
    return WorkReason(
        session.Exec(QStringLiteral("select sorelka_work_change($1::bigint, %1)").arg(QLatin1String(kPieceParameters)),
                     PieceValues(QByteArray::number(piece.id), piece)));
}

QString WithdrawWork(TeacherSession& session, qint64 work_id) {
    return WorkReason(
        session.Exec(QStringLiteral("select sorelka_work_withdraw($1::bigint)"), {QByteArray::number(work_id)}));
}

Fetched<WorkPiece> ListWork(TeacherSession& session, const QString& class_name) {
    const PgResult r = session.Exec(
        QStringLiteral("select id, title, topic, menu_choice, skill, recommended, problems,"
                       " to_char(due_day, 'YYYY-MM-DD'), array_to_json(pupils)::text, %1, %2"
                       " from sorelka_work_list($1)")
            .arg(Utc("made_at"), Utc("withdrawn_at")),
        {Bound(class_name)});
    Fetched<WorkPiece> fetched{{}, WorkReason(r)};
    for (int i = 0; r.ok() && i < r.rows(); ++i) {
        WorkPiece piece;
        piece.id = r.number(i, 0);
        piece.title = r.text(i, 1);
        ReadWorkWhat(r, i, 2, &piece);
        piece.due_day = QDate::fromString(r.text(i, 7), Qt::ISODate);
        for (const QJsonValue& name : QJsonDocument::fromJson(r.bytes(i, 8)).array())
            piece.pupils << name.toString();
        piece.made_at = Moment(r, i, 9);
        piece.withdrawn_at = Moment(r, i, 10);
        fetched.rows.push_back(std::move(piece));
    }
    return fetched;
}

Fetched<WorkProgressRow> WorkProgress(TeacherSession& session, const QString& class_name) {
    const PgResult r = session.Exec(
        QStringLiteral("select work_id, pupil, answered, correct, kinds from sorelka_work_progress($1)"),
        {Bound(class_name)});
    Fetched<WorkProgressRow> fetched{{}, WorkReason(r)};
    for (int i = 0; r.ok() && i < r.rows(); ++i)
        fetched.rows.push_back({.work_id = r.number(i, 0),
                                .pupil = r.text(i, 1),
                                .answered = int(r.number(i, 2)),
                                .correct = int(r.number(i, 3)),
                                .kinds = r.text(i, 4).split(QLatin1Char(','), Qt::SkipEmptyParts)});
    return fetched;
}

Fetched<LivePupil> Live(TeacherSession& session, const QString& class_name) {
    const PgResult r = session.Exec(
        QStringLiteral("select pupil, screen, topic, menu_choice, work_id, signal_age, screen_seconds, answers,"
                       " correct, stuck, stuck_why from sorelka_live($1)"),
        {Bound(class_name)});
    Fetched<LivePupil> fetched{{}, WorkReason(r)};
    for (int i = 0; r.ok() && i < r.rows(); ++i) {
        LivePupil pupil;
        pupil.pupil = r.text(i, 0);
        pupil.screen = r.text(i, 1);
        pupil.topic = r.optional_int(i, 2);
        pupil.menu_choice = r.optional_int(i, 3);
        if (!r.is_null(i, 4)) pupil.work_id = r.number(i, 4);
        pupil.signal_age = r.optional_int(i, 5);
        pupil.screen_seconds = r.optional_int(i, 6);
        pupil.answers = int(r.number(i, 7));
        pupil.correct = int(r.number(i, 8));
        pupil.stuck = r.text(i, 9) == QLatin1String("t");
        pupil.stuck_why = r.text(i, 10);
        fetched.rows.push_back(std::move(pupil));
    }
    return fetched;
}

}  // namespace sorelka::sync
