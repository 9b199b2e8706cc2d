#include "sync/row_sender.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "record/schema.h"
#include "sync/pg_connection.h"

namespace sorelka::sync {

namespace {

QString NowText() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs); }

// A value of the file as the parameter the server reads. A value that is
// not what its column holds goes as its text, for the server to take or
// refuse; only a number that is not finite becomes NULL, as it always did.
PgValue Parameter(const QVariant& value, Kind kind) {
    if (value.isNull()) return std::nullopt;
    switch (kind) {
        case Kind::Integer:
            switch (value.metaType().id()) {
                case QMetaType::Int:
                case QMetaType::UInt:
                case QMetaType::LongLong:
                case QMetaType::ULongLong: return QByteArray::number(value.toLongLong());
                default: break;
            }
            break;
        case Kind::Real: {
            bool ok = false;
            const double d = value.toDouble(&ok);
            if (ok && !std::isfinite(d)) return std::nullopt;
            if (ok) return QString::number(d, 'g', QLocale::FloatingPointShortest).toUtf8();
            break;
        }
        case Kind::Text: break;
    }
    return value.toString().toUtf8();
}

// The same value on both sides: NULL as NULL, anything else as its text.
bool SameValue(const QVariant& mine, const QVariant& theirs) {
    return mine.isNull() == theirs.isNull() && (mine.isNull() || mine.toString() == theirs.toString());
}

}  // namespace

bool RefusesTheRow(const QString& sqlstate) {
    // 22: data exception (out of range, bad text, NUL); 23: a constraint
    // (not null, check); 54000: a value too long for its index.
    return sqlstate.startsWith(QStringLiteral("22")) || sqlstate.startsWith(QStringLiteral("23")) ||
           sqlstate == QStringLiteral("54000");
}

RowSender::RowSender(QSqlDatabase& local, PgConnection& server, int batch_rows, QString& claimed)
    : local_(local), server_(server), batch_(batch_rows), claimed_(claimed) {}

bool RowSender::Prepare(QString* problem) {
    QSqlQuery q(local_);
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
        *problem = q.lastError().text();
        return false;
    }
    layout_version_ = q.value(0).toInt();
    if (layout_version_ < record::kSyncTablesVersion) return false;
    if (!q.exec(QStringLiteral("select pc_id from sync_source limit 1")) || !q.next()) {
        *problem = QStringLiteral("sync_source: ") + q.lastError().text();
        return false;
    }
    pc_id_ = q.value(0).toString();
    if (!q.exec(QStringLiteral("select table_name, up_to, confirmed_at from sync_confirmed"))) {
        *problem = q.lastError().text();
        return false;
    }
    while (q.next()) {
        confirmed_[q.value(0).toString()] = q.value(1).toLongLong();
        const QString at = q.value(2).toString();
        if (at > last_sent_) last_sent_ = at;
    }
    return true;
}

Outcome RowSender::SendRound() {
    // Answers written after this wait for the next look: their pupil or
    // drill may be newer than what is read below.
    QString error;
    const qint64 answers_end = Top("history", &error);
    if (answers_end < 0) return LocalFailure(error);
    Outcome outcome = SendAppended(kPupils, -1);
    if (outcome.ok && !outcome.more && !outcome.clash) outcome = SendPupilChanges();
    if (outcome.ok && !outcome.more && !outcome.clash) outcome = SendDrills();
    const Table& history =
        work_columns_ && layout_version_ >= record::kWorkTablesVersion ? kHistoryWork : kHistory;
    if (outcome.ok && !outcome.more && !outcome.clash) outcome = SendAppended(history, answers_end);
    if (stale_) return Outcome::More();
    if (outcome.ok && outcome.clash) return TakeFreshId();
    return outcome;
}

qint64 RowSender::Waiting() {
    QSqlQuery q(local_);
    q.prepare(QStringLiteral("select count(*) from history where id > ?"));
    q.addBindValue(confirmed_.value(QStringLiteral("history")));
    return q.exec() && q.next() ? q.value(0).toLongLong() : -1;
}

// The highest id of a local table (0 when empty, -1 on an error).
qint64 RowSender::Top(const char* table, QString* error) {
    QSqlQuery q(local_);
    if (!q.exec(QStringLiteral("select coalesce(max(id), 0) from %1").arg(QLatin1String(table))) || !q.next()) {
        *error = q.lastError().text();
        return -1;
    }
    return q.value(0).toLongLong();
}

// Sends the next rows of an insert-only table, up to id `last` (all when negative).
Outcome RowSender::SendAppended(const Table& table, qint64 last) {
    QSqlQuery q(local_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select %1 from %2 where id > ?%3 order by id limit %4")
                  .arg(table.ColumnList(), QLatin1String(table.name),
                       last < 0 ? QString() : QStringLiteral(" and id <= %1").arg(last))
                  .arg(batch_));
    q.addBindValue(confirmed_.value(QLatin1String(table.name)));
    if (!q.exec()) return LocalFailure(q);
    std::vector<QVariantList> rows = Rows(q, table.columns.size());
    q.finish();  // no read left open under the confirming write
    if (rows.empty()) return Outcome::Done();
    const bool full = static_cast<int>(rows.size()) == batch_;
    Outcome sent = Deliver(table, rows, QStringLiteral(" on conflict do nothing"));
    if (!sent.ok || rows.empty()) return sent;
    const qint64 up_to = rows.back().front().toLongLong();
    if (Outcome noted = Confirm({}, table.name, up_to); !noted.ok || stale_) return noted;
    sent.more = full && !sent.clash;
    return sent;
}

// Sends what changed of pupils the server has (renamed, moved to another
// class, put to rest or back), as the file's trigger noted it, so that the
// school counts them in the class they are in now. A server that does not
// let this PC change its rows (an older one) leaves them noted for later.
Outcome RowSender::SendPupilChanges() {
    if (layout_version_ < record::kPupilChangesVersion) return Outcome::Done();
    QSqlQuery q(local_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select t.id, t.change, p.name, p.class_name, p.archived from pupils_to_send t"
                             " join pupils p on p.id = t.id where t.id <= ? order by t.id"));
    q.addBindValue(confirmed_.value(QStringLiteral("pupils")));
    if (!q.exec()) return LocalFailure(q);
    const std::vector<QVariantList> changes = Rows(q, 5);
    q.finish();
    if (changes.empty()) return Outcome::Done();
    if (Outcome claimed = Claim(); !claimed.ok || claimed.clash) return claimed;
    for (const QVariantList& c : changes) {
        const PgResult r = server_.Exec(
            QStringLiteral("update pupils set name = $1, class_name = $2, archived = $3 where pc_id = $4 and id = $5"),
            {c[2].toString().toUtf8(), c[3].toString().toUtf8(), QByteArray::number(c[4].toInt()), pc_id_.toUtf8(),
             QByteArray::number(c[0].toLongLong())});
        if (r.sqlstate() == QStringLiteral("42501")) return Outcome::Done();
        if (!r.ok() && !RefusesTheRow(r.sqlstate())) return ServerFailure(r.error());
        if (!r.ok())
            std::fprintf(stderr, "Sorelka: サーバーが pupils の変更（id %lld）を受け取りません: %s\n",
                         c[0].toLongLong(), qPrintable(r.error()));
        // A change made while this one was on its way stays noted.
        QSqlQuery sent(local_);
        sent.prepare(QStringLiteral("delete from pupils_to_send where id = ? and change = ?"));
        sent.addBindValue(c[0]);
        sent.addBindValue(c[1]);
        if (!sent.exec()) return LocalFailure(sent);
    }
    return Outcome::Done();
}

// Sends drills that are new or whose figures changed since the server
// confirmed them (and that also meet `only`, when given).
Outcome RowSender::SendDrills(const QString& only) {
    QStringList changed{QStringLiteral("s.id is null")};
    for (const char* c : kDrillFigures) changed << QStringLiteral("s.%1 is not d.%1").arg(QLatin1String(c));
    QString where = QLatin1Char('(') + changed.join(QStringLiteral(" or ")) + QLatin1Char(')');
    if (!only.isEmpty()) where += QStringLiteral(" and ") + only;
    QSqlQuery q(local_);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select %1 from drills d left join sync_drills_sent s on s.id = d.id"
                               " where %2 order by d.id limit %3")
                    .arg(kDrills.ColumnList(QStringLiteral("d.")), where)
                    .arg(batch_)))
        return LocalFailure(q);
    std::vector<QVariantList> rows = Rows(q, kDrills.columns.size());
    q.finish();
    if (rows.empty()) return Outcome::Done();
    const bool full = static_cast<int>(rows.size()) == batch_;
    QStringList updates;
    for (const char* c : kDrillFigures) updates << QStringLiteral("%1 = excluded.%1").arg(QLatin1String(c));
    // Only the same drill (its uid) is brought up to date: another file's
    // drill under this (pc_id, id) stays as it is. Nor do its figures go
    // back (a file put back from a backup has older ones), which the
    // server refuses anyway.
    Outcome sent = Deliver(kDrills, rows,
                           QStringLiteral(" on conflict (pc_id, id) do update set ") +
                               updates.join(QStringLiteral(", ")) +
                               QStringLiteral(" where drills.uid = excluded.uid"
                                              " and drills.questions <= excluded.questions"
                                              " and drills.correct <= excluded.correct"
                                              " and drills.seconds <= excluded.seconds"
                                              " and (drills.finished_at is null or excluded.finished_at is not null)"));
    if (!sent.ok || rows.empty()) return sent;
    // What the server now holds of each drill.
    std::vector<Statement> notes;
    const QString note = QStringLiteral("insert or replace into sync_drills_sent (id, finished_at,"
                                        " questions, correct, points, seconds) values (?, ?, ?, ?, ?, ?)");
    for (const QVariantList& row : rows) {
        QVariantList values{row[kDrills.Index("id")]};
        for (const char* c : kDrillFigures) values << row[kDrills.Index(c)];
        notes.push_back({note, values});
    }
    const qint64 up_to = std::max(confirmed_.value(QStringLiteral("drills")), rows.back().front().toLongLong());
    if (Outcome noted = Confirm(notes, "drills", up_to); !noted.ok || stale_) return noted;
    sent.more = full && !sent.clash;
    return sent;
}

// Claims pc_id_ for this PC's role: the server keeps the role that claimed
// an id first. An id another role holds comes back as a clash (this file
// came from another PC).
Outcome RowSender::Claim() {
    if (claimed_ == pc_id_) return Outcome::Done();
    const PgResult claim = server_.Exec(
        QStringLiteral("with claimed as (insert into pc_owners (pc_id) values ($1) on conflict do nothing"
                       " returning pc_id) select exists (select from claimed)"
                       " or exists (select from pc_owners where pc_id = $1)"),
        {pc_id_.toUtf8()});
    if (!claim.ok() || claim.rows() != 1) return ServerFailure(claim.error());
    if (claim.text(0, 0) != QStringLiteral("t")) {
        foreign_ = true;
        return {.clash = true};
    }
    claimed_ = pc_id_;
    return Outcome::Done();
}

// Sends `rows` (ordered by id) in one server transaction, committed only
// when every row the server already held under this file's (pc_id, id) is
// this file's own. Otherwise the rows from the first other one on are left
// out of `rows`, the rest is sent again, and `clash` is set.
Outcome RowSender::Deliver(const Table& table, std::vector<QVariantList>& rows, const QString& on_conflict) {
    if (Outcome claimed = Claim(); !claimed.ok || claimed.clash) {
        rows.clear();
        return claimed;
    }
    Outcome outcome;
    while (!rows.empty()) {
        if (PgResult begun = server_.Exec(QStringLiteral("begin")); !begun.ok()) return ServerFailure(begun.error());
        const Inserted inserted = Insert(table, rows, on_conflict);
        if (!inserted.failure.isEmpty()) return ServerFailure(inserted.failure);
        std::vector<const QVariantList*> held;
        for (const QVariantList& row : rows) {
            const qint64 id = row.front().toLongLong();
            if (!inserted.written.contains(id) && !inserted.refused.contains(id)) held.push_back(&row);
        }
        qint64 clash = -1;
        if (!held.empty()) {
            QString problem;
            if (!FirstClash(table, held, &clash, &problem)) return ServerFailure(problem);
        }
        if (clash < 0) {
            if (PgResult done = server_.Exec(QStringLiteral("commit")); !done.ok()) return ServerFailure(done.error());
            // For the administrator only; the rows stay in the file.
            for (auto it = inserted.refused.cbegin(); it != inserted.refused.cend(); ++it)
                std::fprintf(stderr, "Sorelka: サーバーが %s の行（id %lld）を受け取りません: %s この行は送らずに先へ進みます。\n",
                             table.name, static_cast<long long>(it.key()), qPrintable(it.value()));
            return outcome;
        }
        if (PgResult undone = server_.Exec(QStringLiteral("rollback")); !undone.ok())
            return ServerFailure(undone.error());
        outcome.clash = true;
        rows.erase(std::find_if(rows.begin(), rows.end(),
                                [&](const QVariantList& row) { return row.front().toLongLong() >= clash; }),
                   rows.end());
    }
    return outcome;
}

// Inserts `rows` inside the open transaction: all at once, or, when the
// server refuses one for its values, in the transaction begun again one at
// a time, each under a savepoint, so that only the refused ones stay out.
RowSender::Inserted RowSender::Insert(const Table& table, const std::vector<QVariantList>& rows,
                                      const QString& on_conflict) {
    Inserted inserted;
    const PgResult all = InsertStatements(table, rows, on_conflict, &inserted.written);
    if (all.ok()) return inserted;
    if (!RefusesTheRow(all.sqlstate())) {
        inserted.failure = all.error();
        return inserted;
    }
    inserted.written.clear();
    for (const char* step : {"rollback", "begin", "savepoint row"}) {
        if (PgResult done = server_.Exec(QLatin1String(step)); !done.ok()) {
            inserted.failure = done.error();
            return inserted;
        }
    }
    for (const QVariantList& row : rows) {
        const PgResult one = InsertStatements(table, {row}, on_conflict, &inserted.written);
        if (!one.ok() && !RefusesTheRow(one.sqlstate())) {
            inserted.failure = one.error();
            return inserted;
        }
        if (!one.ok()) inserted.refused.insert(row.front().toLongLong(), one.error());
        // Back to before the refused row, or on past the written one.
        const PgResult step = server_.Exec(one.ok() ? QStringLiteral("savepoint row")
                                                    : QStringLiteral("rollback to savepoint row"));
        if (!step.ok()) {
            inserted.failure = step.error();
            return inserted;
        }
    }
    return inserted;
}

// The insert statements for `rows`, as few as the server's limit of
// parameters allows, every value a parameter; the ids written go into
// `written`. Returns the first failure, or the last (ok) result.
PgResult RowSender::InsertStatements(const Table& table, const std::vector<QVariantList>& rows,
                                     const QString& on_conflict, QSet<qint64>* written) {
    const std::size_t width = table.columns.size();
    const std::size_t per_statement = (PgConnection::kMostParameters - 1) / width;
    const QString head = QStringLiteral("insert into %1 (pc_id, %2) values ")
                             .arg(QLatin1String(table.name), table.ColumnList());
    PgResult result;
    for (std::size_t first = 0; first < rows.size(); first += per_statement) {
        const std::size_t end = std::min(rows.size(), first + per_statement);
        QString sql = head;
        std::vector<PgValue> values{pc_id_.toUtf8()};
        values.reserve(1 + (end - first) * width);
        for (std::size_t r = first; r < end; ++r) {
            sql += r > first ? QStringLiteral(",($1") : QStringLiteral("($1");
            for (std::size_t c = 0; c < width; ++c) {
                values.push_back(Parameter(rows[r][static_cast<qsizetype>(c)], table.columns[c].kind));
                sql += QStringLiteral(",$") + QString::number(values.size());
            }
            sql += QLatin1Char(')');
        }
        result = server_.Exec(sql + on_conflict + QStringLiteral(" returning id"), values);
        if (!result.ok()) return result;
        for (int i = 0; i < result.rows(); ++i) written->insert(result.number(i, 0));
    }
    return result;
}

// The lowest id among `held` (rows the server already had, by id) whose
// row on the server is not this file's: -1 when there is none.
bool RowSender::FirstClash(const Table& table, const std::vector<const QVariantList*>& held, qint64* clash,
                           QString* problem) {
    QStringList ids, columns;
    for (const QVariantList* row : held) ids << QString::number(row->front().toLongLong());
    for (const char* c : table.identity) columns << QLatin1String(c);
    const PgResult theirs_rows = server_.Exec(
        QStringLiteral("select id, %1 from %2 where pc_id = $1 and id = any ($2::bigint[])")
            .arg(columns.join(QStringLiteral(", ")), QLatin1String(table.name)),
        {pc_id_.toUtf8(), (QLatin1Char('{') + ids.join(QLatin1Char(',')) + QLatin1Char('}')).toUtf8()});
    if (!theirs_rows.ok()) {
        *problem = theirs_rows.error();
        return false;
    }
    QHash<qint64, QVariantList> theirs;
    for (int r = 0; r < theirs_rows.rows(); ++r) {
        QVariantList identity;
        for (int i = 1; i <= static_cast<int>(table.identity.size()); ++i) identity << theirs_rows.value(r, i);
        theirs.insert(theirs_rows.number(r, 0), identity);
    }
    *clash = -1;
    for (const QVariantList* row : held) {
        const auto found = theirs.constFind(row->front().toLongLong());
        // A row the server does not show (rows are never removed there)
        // counts as another's: sending it again elsewhere loses nothing.
        bool same = found != theirs.cend();
        for (std::size_t i = 0; same && i < table.identity.size(); ++i)
            same = SameValue(row->at(table.Index(table.identity[i])), found->at(static_cast<int>(i)));
        if (!same) {
            *clash = row->front().toLongLong();
            break;
        }
    }
    return true;
}

std::vector<QVariantList> RowSender::Rows(QSqlQuery& q, std::size_t columns) {
    std::vector<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        row.reserve(static_cast<qsizetype>(columns));
        for (std::size_t i = 0; i < columns; ++i) row << q.value(static_cast<int>(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

// A connection that failed mid-statement is opened afresh next time
// (closing it also ends a transaction left open).
Outcome RowSender::ServerFailure(const QString& detail) {
    server_.Close();
    return Outcome::Failed(QStringLiteral("サーバーに送れません: ") + detail);
}

// Notes in the file what the server confirmed, in one transaction.
Outcome RowSender::Confirm(const std::vector<Statement>& notes, const char* table, qint64 up_to) {
    const QString now = NowText();
    if (!local_.transaction()) return LocalFailure(local_.lastError().text());
    auto run = [&](const QString& sql, const QVariantList& values) {
        QSqlQuery q(local_);
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        return q.exec();
    };
    bool ok = true;
    for (const Statement& s : notes) ok = ok && run(s.sql, s.values);
    // Only over what this look read: a pupil deleted meanwhile may have
    // brought it back (LearningRecord::DeletePupil), and then the next look
    // reads the file again.
    const QString name = QLatin1String(table);
    QSqlQuery mark(local_);
    mark.prepare(QStringLiteral("insert into sync_confirmed (table_name, up_to, confirmed_at)"
                                " values (?, ?, ?) on conflict (table_name) do update set"
                                " up_to = excluded.up_to, confirmed_at = excluded.confirmed_at"
                                " where up_to = ?"));
    for (const QVariant& v : QVariantList{name, up_to, now, confirmed_.value(name)}) mark.addBindValue(v);
    ok = ok && mark.exec();
    const bool moved = ok && mark.numRowsAffected() > 0;
    if (!ok || !local_.commit()) {
        const QString detail = ok ? local_.lastError().text() : mark.lastError().text();
        local_.rollback();
        return LocalFailure(detail);
    }
    last_sent_ = now;
    if (!moved) {
        stale_ = true;
        return Outcome::More();
    }
    confirmed_[name] = up_to;
    return Outcome::Done();
}

Outcome RowSender::LocalFailure(const QSqlQuery& q) { return LocalFailure(q.lastError().text()); }

Outcome RowSender::LocalFailure(const QString& detail) {
    return Outcome::Failed(QStringLiteral("記録のファイルを読み書きできません: ") + detail);
}

}  // namespace sorelka::sync
