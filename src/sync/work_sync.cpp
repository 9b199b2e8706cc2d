#include "sync/work_sync.h"

#include "sync/class_work.h"
#include "sync/pg_connection.h"

namespace sorelka::sync {

namespace {

PgValue Number(const std::optional<qint64>& v) {
    return v ? PgValue(QByteArray::number(*v)) : std::nullopt;
}

PgValue Number(const std::optional<int>& v) { return v ? PgValue(QByteArray::number(*v)) : std::nullopt; }

}  // namespace

bool MissingOnServer(const QString& sqlstate) {
    return sqlstate == QStringLiteral("42P01") || sqlstate == QStringLiteral("42703") ||
           sqlstate == QStringLiteral("42883");
}

std::optional<ServerWork> AskServerWork(PgConnection& server, QString* problem) {
    // A server whose tables this role may not read counts as one without them.
    auto absent = [](const PgResult& r) {
        return MissingOnServer(r.sqlstate()) || r.sqlstate() == QStringLiteral("42501");
    };
    ServerWork work;
    // "limit 0": only whether the server knows the names (and lets this role read them).
    const PgResult columns = server.Exec(QStringLiteral("select work_id, skill from history limit 0"));
    if (!columns.ok() && !absent(columns)) {
        *problem = columns.error();
        return std::nullopt;
    }
    work.history_columns = columns.ok();
    const PgResult tables = server.Exec(QStringLiteral(
        "select (select count(*) from (select from work_pieces limit 0) p)"
        " + (select count(*) from (select from work_pupils limit 0) w)"
        " + (select count(*) from (select from pc_presence limit 0) s)"));
    if (!tables.ok() && !absent(tables)) {
        *problem = tables.error();
        return std::nullopt;
    }
    work.tables = tables.ok();
    // The server says when the work changes; an older one never does, and
    // the PC then reads it every work_every_ms only.
    if (work.tables) server.Exec(QStringLiteral("listen ") + QLatin1String(kWorkChannel));
    return work;
}

std::optional<std::vector<record::WorkPiece>> FetchWork(PgConnection& server, const QString& pc_id,
                                                        QString* problem, QString* sqlstate) {
    // One row per piece and pupil of this PC's role it is for.
    const PgResult r = server.Exec(QStringLiteral(
        "select id, class_name, title, topic, menu_choice, skill, recommended, problems, due_day, pupils,"
        " withdrawn, pc_id, pupil_id, answered_elsewhere from sorelka_pc_work()"));
    if (!r.ok()) {
        *problem = r.error();
        *sqlstate = r.sqlstate();
        return std::nullopt;
    }
    std::vector<record::WorkPiece> pieces;
    for (int i = 0; i < r.rows(); ++i) {
        if (pieces.empty() || pieces.back().id != r.number(i, 0)) {
            record::WorkPiece p;
            p.id = r.number(i, 0);
            p.class_name = r.text(i, 1);
            p.title = r.text(i, 2);
            ReadWorkWhat(r, i, 3, &p);
            p.due_day = r.text(i, 8);
            p.pupils = r.text(i, 9).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            p.withdrawn = r.text(i, 10) == QStringLiteral("t");
            pieces.push_back(std::move(p));
        }
        // Rows of an id this PC held before a fresh one are not its pupils now.
        if (r.text(i, 11) == pc_id) pieces.back().for_pupils.insert(r.number(i, 12), static_cast<int>(r.number(i, 13)));
    }
    return pieces;
}

bool SendPresence(PgConnection& server, const QString& pc_id, const Presence& presence, QString* problem,
                  QString* sqlstate) {
    const PgResult r = server.Exec(
        QStringLiteral("insert into pc_presence (pc_id, pupil_id, screen, topic, menu_choice, work_id,"
                       " screen_since, seen_at) values ($1, $2, $3, $4, $5, $6, now(), now())"
                       " on conflict (pc_id) do update set pupil_id = excluded.pupil_id,"
                       " screen = excluded.screen, topic = excluded.topic, menu_choice = excluded.menu_choice,"
                       " work_id = excluded.work_id, seen_at = now(),"
                       " screen_since = case when (pc_presence.screen, pc_presence.topic, pc_presence.menu_choice,"
                       " pc_presence.work_id) is not distinct from (excluded.screen, excluded.topic,"
                       " excluded.menu_choice, excluded.work_id) then pc_presence.screen_since else now() end"),
        {pc_id.toUtf8(), Number(presence.pupil_id),
         presence.screen.isEmpty() ? PgValue() : PgValue(presence.screen.toUtf8()), Number(presence.topic),
         Number(presence.menu_choice), Number(presence.work_id)});
    if (!r.ok()) {
        *problem = r.error();
        *sqlstate = r.sqlstate();
        return false;
    }
    return true;
}

}  // namespace sorelka::sync
