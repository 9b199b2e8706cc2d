#include "record/work_given.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace sorelka::record {

namespace {

std::optional<int> OptionalInt(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return v.toInt();
}

QVariant NullableInt(const std::optional<int>& v) {
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<int>());
}

}  // namespace

bool IsForPupil(const WorkPiece& piece, qint64 pupil_id) {
    return !piece.withdrawn && piece.for_pupils.contains(pupil_id);
}

std::vector<OpenPiece> OpenWork(const std::vector<WorkPiece>& pieces, qint64 pupil_id,
                                const QHash<qint64, int>& answered, const QString& today) {
    std::vector<OpenPiece> open;
    for (const WorkPiece& piece : pieces) {
        if (!IsForPupil(piece, pupil_id)) continue;
        const int done = answered.value(piece.id) + piece.for_pupils.value(pupil_id);
        if (done >= piece.problems) continue;
        // The days compare as their texts: both "YYYY-MM-DD".
        open.push_back({piece, done, !today.isEmpty() && piece.due_day < today});
    }
    return open;
}

std::vector<WorkPiece> ReadWorkGiven(QSqlDatabase& db) {
    std::vector<WorkPiece> pieces;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select id, class_name, title, topic, menu_choice, skill, recommended, problems,"
                               " due_day, pupils, withdrawn from work_given order by due_day, id")))
        return pieces;
    while (q.next()) {
        WorkPiece p;
        p.id = q.value(0).toLongLong();
        p.class_name = q.value(1).toString();
        p.title = q.value(2).toString();
        p.topic = OptionalInt(q.value(3));
        p.menu_choice = OptionalInt(q.value(4));
        p.skill = q.value(5).toString();
        p.recommended = q.value(6).toInt() != 0;
        p.problems = q.value(7).toInt();
        p.due_day = q.value(8).toString();
        p.pupils = q.value(9).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        p.withdrawn = q.value(10).toInt() != 0;
        pieces.push_back(std::move(p));
    }
    q.finish();
    if (!q.exec(QStringLiteral("select work_id, pupil_id, answered_elsewhere from work_for_pupils"))) return {};
    QHash<qint64, std::size_t> at;
    for (std::size_t i = 0; i < pieces.size(); ++i) at.insert(pieces[i].id, i);
    while (q.next())
        if (const auto i = at.constFind(q.value(0).toLongLong()); i != at.constEnd())
            pieces[*i].for_pupils.insert(q.value(1).toLongLong(), q.value(2).toInt());
    return pieces;
}

std::optional<qint64> PupilId(QSqlDatabase& db, const QString& pupil) {
    if (pupil.isEmpty()) return std::nullopt;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select id from pupils where name = ?"));
    q.addBindValue(pupil);
    if (!q.exec() || !q.next()) return std::nullopt;
    return q.value(0).toLongLong();
}

QHash<qint64, int> WorkAnswers(QSqlDatabase& db, qint64 pupil_id) {
    QHash<qint64, int> answered;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select work_id, count(*) from history where work_id is not null"
                             " and mode = 'practice' and pupil_id = ? group by work_id"));
    q.addBindValue(pupil_id);
    if (!q.exec()) return answered;
    while (q.next()) answered.insert(q.value(0).toLongLong(), q.value(1).toInt());
    return answered;
}

bool ReplaceWorkGiven(QSqlDatabase& db, const std::vector<WorkPiece>& pieces, const QString& fetched_at,
                      QString* problem) {
    if (!db.transaction()) {
        *problem = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    bool ok = q.exec(QStringLiteral("delete from work_given")) && q.exec(QStringLiteral("delete from work_for_pupils"));
    if (ok)
        ok = q.prepare(QStringLiteral("insert into work_given (id, class_name, title, topic, menu_choice, skill,"
                                      " recommended, problems, due_day, pupils, withdrawn, fetched_at)"
                                      " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (std::size_t i = 0; ok && i < pieces.size(); ++i) {
        const WorkPiece& p = pieces[i];
        // Empty, never null: the whole class.
        QString pupils = p.pupils.join(QLatin1Char('\n'));
        if (pupils.isNull()) pupils = QString(QLatin1String(""));
        for (const QVariant& v :
             QVariantList{p.id, p.class_name, p.title, NullableInt(p.topic), NullableInt(p.menu_choice),
                          p.skill.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(p.skill),
                          p.recommended ? 1 : 0, p.problems, p.due_day, pupils,
                          p.withdrawn ? 1 : 0, fetched_at})
            q.addBindValue(v);
        ok = q.exec();
    }
    if (ok)
        ok = q.prepare(QStringLiteral("insert into work_for_pupils (work_id, pupil_id, answered_elsewhere)"
                                      " values (?, ?, ?)"));
    for (std::size_t i = 0; ok && i < pieces.size(); ++i)
        for (auto p = pieces[i].for_pupils.constBegin(); ok && p != pieces[i].for_pupils.constEnd(); ++p) {
            for (const QVariant& v : QVariantList{pieces[i].id, p.key(), p.value()}) q.addBindValue(v);
            ok = q.exec();
        }
    if (!ok || !db.commit()) {
        *problem = ok ? db.lastError().text() : q.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

}  // namespace sorelka::record
