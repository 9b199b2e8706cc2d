#include "sync/xapi_server.h"

#include "sync/pg_connection.h"
#include "sync/server_tables.h"

namespace sorelka::sync {

namespace {

QString Reason(const PgResult& r) {
    if (r.sqlstate() == QLatin1String("42501"))
        return QStringLiteral("このロールでは答えを読めません。データベースの所有者として実行してください。");
    if (r.sqlstate() == QLatin1String("42703") || r.sqlstate() == QLatin1String("42P01"))
        return OlderServerSql();
    return QStringLiteral("学校のサーバーから答えを読めません: %1").arg(r.error());
}

}  // namespace

QString ReadServerAnswers(PgConnection& server, std::optional<QDate> from, std::optional<QDate> to,
                          const std::function<bool(exchange::XapiAnswer& answer, const QString& pupil_key)>& take) {
    // A school's year takes longer than the sync's ten seconds.
    server.Exec(QStringLiteral("set statement_timeout = 0"));
    if (const PgResult r = server.Exec(QStringLiteral("begin isolation level repeatable read read only")); !r.ok())
        return Reason(r);
    auto failed = [&](const PgResult& r) {
        server.Exec(QStringLiteral("rollback"));
        return Reason(r);
    };
    // A PC's row counts for the listed pupil a teacher attached it to, else
    // for the listed pupil of its class and name (as the teachers' figures
    // count it); a row a teacher dropped counts for nobody listed. Days are
    // compared as the PCs' local ISO texts, in the primary key's order.
    const PgResult opened = server.Exec(
        QStringLiteral(
            "declare sorelka_xapi no scroll cursor for"
            " select h.pc_id, h.id, h.pupil_id, l.source_id, l.place, h.answered_at, h.topic, h.mode,"
            "        h.menu_choice, h.entered_answer, h.correct, h.seconds, h.error_kind, h.skill, h.work_id"
            " from history h"
            " left join pupils p on p.pc_id = h.pc_id and p.id = h.pupil_id"
            " left join pupil_links k on k.pc_id = h.pc_id and k.pupil_id = h.pupil_id"
            " left join class_pupils l on l.class_name = case when k.pc_id is null then p.class_name else k.class_name end"
            "                          and l.name = case when k.pc_id is null then p.name else k.name end"
            " where ($1::date is null or h.answered_at >= to_char($1::date, 'YYYY-MM-DD'))"
            "   and ($2::date is null or h.answered_at < to_char($2::date + 1, 'YYYY-MM-DD'))"
            " order by h.pc_id, h.id"),
        {from ? PgValue(from->toString(Qt::ISODate).toUtf8()) : std::nullopt,
         to ? PgValue(to->toString(Qt::ISODate).toUtf8()) : std::nullopt});
    if (!opened.ok()) return failed(opened);
    exchange::XapiAnswer a;
    for (;;) {
        const PgResult batch = server.Exec(QStringLiteral("fetch 5000 from sorelka_xapi"));
        if (!batch.ok()) return failed(batch);
        if (batch.rows() == 0) break;
        for (int i = 0; i < batch.rows(); ++i) {
            a.source = batch.text(i, 0);
            a.answer_id = batch.number(i, 1);
            const QString key =
                exchange::XapiPupilKey(a.source, batch.text(i, 2), batch.text(i, 3), batch.text(i, 4));
            a.answered_at = batch.text(i, 5);
            a.topic = int(batch.number(i, 6));
            a.mode = batch.text(i, 7);
            a.menu_choice = batch.optional_int(i, 8).value_or(0);
            a.response = batch.text(i, 9);
            a.correct = batch.number(i, 10) != 0;
            a.seconds = batch.is_null(i, 11) ? std::nullopt : std::optional<double>(batch.text(i, 11).toDouble());
            a.mistake_kind = batch.text(i, 12);
            a.skill = batch.text(i, 13);
            a.work_id = batch.is_null(i, 14) ? std::nullopt : std::optional<qint64>(batch.number(i, 14));
            if (!take(a, key)) {
                server.Exec(QStringLiteral("rollback"));
                return QString();
            }
        }
    }
    server.Exec(QStringLiteral("commit"));
    return QString();
}

}  // namespace sorelka::sync
