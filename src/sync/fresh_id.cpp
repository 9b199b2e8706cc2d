// A record file that finds its pc_id taken: another record file's rows are
// under it on the server, or another PC's role owns it. The file was copied
// or put back from a backup; it goes on under a fresh pc_id.
#include <QSqlError>
#include <cstdio>

#include "sync/row_sender.h"

namespace sorelka::sync {

// Confirms the next rows of `table` the server already holds as they are in
// the file, up to the first it does not.
Outcome RowSender::ConfirmHeld(const Table& table) {
    for (;;) {
        QSqlQuery q(local_);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("select %1 from %2 where id > ? order by id limit %3")
                      .arg(table.ColumnList(), QLatin1String(table.name))
                      .arg(batch_));
        q.addBindValue(confirmed_.value(QLatin1String(table.name)));
        if (!q.exec()) return LocalFailure(q);
        const std::vector<QVariantList> rows = Rows(q, table.columns.size());
        q.finish();
        std::vector<const QVariantList*> all;
        for (const QVariantList& row : rows) all.push_back(&row);
        qint64 other = -1;
        QString problem;
        if (!all.empty() && !FirstClash(table, all, &other, &problem)) return ServerFailure(problem);
        qint64 up_to = -1;
        for (const QVariantList& row : rows)
            if (other < 0 || row.front().toLongLong() < other) up_to = row.front().toLongLong();
        if (up_to >= 0) {
            if (Outcome noted = Confirm({}, table.name, up_to); !noted.ok || stale_) return noted;
        }
        if (other >= 0 || static_cast<int>(rows.size()) < batch_) return Outcome::Done();
    }
}

// What the server confirmed as this file's stays where it is; every later
// row goes under a fresh pc_id, after all the pupils again (an answer names
// its pupil and its drill by id within its pc_id; on the server a pupil is
// matched by name anyway).
Outcome RowSender::TakeFreshId() {
    // Under an id of this PC's own: answers the server holds as this file's
    // although their confirmation did not reach the file (a file put back
    // from a backup) stay where they are, and so does a drill whose answers
    // are all there: its last figures (an end time) go under the old id
    // first. A drill with answers still to send goes again under the new one.
    if (!foreign_) {
        if (Outcome held = ConfirmHeld(kHistory); !held.ok || stale_) return held;
        for (Outcome settled = Outcome::More(); settled.more;) {
            settled = SendDrills(QStringLiteral("exists (select 1 from history h where h.drill_id = d.id)"
                                                " and not exists (select 1 from history h"
                                                " where h.drill_id = d.id and h.id > %1)")
                                     .arg(confirmed_.value(QStringLiteral("history"))));
            if (!settled.ok || stale_) return settled;
        }
    }
    const qint64 sent = confirmed_.value(QStringLiteral("history"));
    if (!local_.transaction()) return LocalFailure(local_.lastError().text());
    QSqlQuery q(local_);
    bool ok = q.exec(QStringLiteral("update sync_source set pc_id = lower(hex(randomblob(16)))")) &&
              q.exec(QStringLiteral("update sync_confirmed set up_to = 0 where table_name = 'pupils'"));
    if (ok) {
        q.prepare(QStringLiteral("delete from sync_drills_sent where id in"
                                 " (select drill_id from history where id > ?)"));
        q.addBindValue(sent);
        ok = q.exec();
    }
    ok = ok && q.exec(QStringLiteral("select pc_id from sync_source limit 1")) && q.next();
    const QString fresh = ok ? q.value(0).toString() : QString();
    q.finish();
    if (!ok || !local_.commit()) {
        const QString detail = ok ? local_.lastError().text() : q.lastError().text();
        local_.rollback();
        return LocalFailure(detail);
    }
    // For the administrator only.
    if (foreign_)
        std::fprintf(stderr,
                     "Sorelka: サーバーでは この記録のファイルの番号 %s は別のPCのロールのものです"
                     "（ほかのPCからコピーしたファイル）。新しい番号 %s で続けて送ります。\n",
                     qPrintable(pc_id_), qPrintable(fresh));
    else
        std::fprintf(stderr,
                     "Sorelka: サーバーには この記録のファイルの番号 %s で別のファイルの記録があります"
                     "（ファイルのコピーか、バックアップから戻したファイル）。新しい番号 %s で続けて送ります。\n",
                     qPrintable(pc_id_), qPrintable(fresh));
    pc_id_ = fresh;
    foreign_ = false;
    confirmed_[QStringLiteral("pupils")] = 0;
    return Outcome::More();
}

}  // namespace sorelka::sync
