#include "sync/class_sync.h"
#include "record/schema.h"

#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QTimeZone>
#include <QUrl>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sync/class_record.h"

namespace sorelka::sync {

namespace {

enum class Kind { Integer, Real, Text };

struct Column {
    const char* name;
    Kind kind;
};

// A table as both sides hold it: the same columns, the server's with pc_id
// in front. `id` comes first. `identity` names the columns that tell this
// file's row from another file's row under the same (pc_id, id): what no
// two record files write alike.
struct Table {
    const char* name;
    std::vector<Column> columns;
    std::vector<const char*> identity;
};

const Table kPupils{"pupils",
                    {{"id", Kind::Integer},
                     {"name", Kind::Text},
                     {"reading", Kind::Text},
                     {"archived", Kind::Integer},
                     {"created_at", Kind::Text}},
                    {"name"}};

const Table kDrills{"drills",
                    {{"id", Kind::Integer},
                     {"uid", Kind::Text},
                     {"pupil_id", Kind::Integer},
                     {"topic", Kind::Integer},
                     {"menu_choice", Kind::Integer},
                     {"time_limit_seconds", Kind::Integer},
                     {"started_at", Kind::Text},
                     {"finished_at", Kind::Text},
                     {"questions", Kind::Integer},
                     {"correct", Kind::Integer},
                     {"points", Kind::Integer},
                     {"seconds", Kind::Integer}},
                    {"uid"}};

// The columns of a drill that change after it was first written.
const char* const kDrillFigures[] = {"finished_at", "questions", "correct", "points", "seconds"};

// error_step holds texts such as "row:2" (the local column is declared
// integer but keeps them as text): text on the server.
const Table kHistory{"history",
                     {{"id", Kind::Integer},
                      {"pupil_id", Kind::Integer},
                      {"answered_at", Kind::Text},
                      {"topic", Kind::Integer},
                      {"mode", Kind::Text},
                      {"menu_choice", Kind::Integer},
                      {"drill_id", Kind::Integer},
                      {"question_no", Kind::Integer},
                      {"problem", Kind::Text},
                      {"right_answer", Kind::Text},
                      {"entered_answer", Kind::Text},
                      {"correct", Kind::Integer},
                      {"seconds", Kind::Real},
                      {"error_kind", Kind::Text},
                      {"error_step", Kind::Text},
                      {"worked_rows", Kind::Text}},
                     {"answered_at", "problem", "entered_answer"}};


QString ColumnList(const Table& table, const QString& prefix = QString()) {
    QStringList names;
    for (const Column& c : table.columns) names << prefix + QLatin1String(c.name);
    return names.join(QStringLiteral(", "));
}

// A value as an SQL literal for the server, escaped by its driver.
QString Literal(const QSqlDriver* driver, const QVariant& value, Kind kind) {
    if (value.isNull()) return QStringLiteral("NULL");
    bool ok = false;
    switch (kind) {
        case Kind::Integer: {
            const qlonglong n = value.toLongLong(&ok);
            return ok ? QString::number(n) : QStringLiteral("NULL");
        }
        case Kind::Real: {
            const double d = value.toDouble(&ok);
            return ok && std::isfinite(d) ? QString::number(d, 'g', QLocale::FloatingPointShortest)
                                          : QStringLiteral("NULL");
        }
        case Kind::Text: break;
    }
    QString text = value.toString();
    if (text.isNull()) text = QStringLiteral("");  // empty, not NULL
    QSqlField field(QString(), QMetaType(QMetaType::QString));
    field.setValue(text);
    return driver->formatValue(field);
}

QString NowText() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs); }

// One look at the file and one batch of each table to the server.
struct Outcome {
    bool ok = true;
    bool more = false;  // a batch was full: look again at once
    QString problem;
    // The server holds another record file's row under this file's
    // (pc_id, id); that row and the ones after it were not sent.
    bool clash = false;
};

// The same value on both sides: NULL as NULL, anything else as its text.
bool SameValue(const QVariant& mine, const QVariant& theirs) {
    return mine.isNull() == theirs.isNull() && (mine.isNull() || mine.toString() == theirs.toString());
}

int ColumnIndex(const Table& table, const char* name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (qstrcmp(table.columns[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

class Sender {
public:
    Sender(QSqlDatabase& local, QSqlDatabase& server, int batch_rows)
        : local_(local), server_(server), batch_(batch_rows) {}

    // Reads this file's id and how far the server confirmed; false when the
    // file has no sync tables yet (the program upgrades it at its start).
    bool Prepare(QString* problem) {
        QSqlQuery q(local_);
        if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
            *problem = q.lastError().text();
            return false;
        }
        if (q.value(0).toInt() < record::kSyncTablesVersion) return false;
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

    // One look: the pupils, the drills, then the answers, so that every
    // answer's pupil and drill is on the server before it.
    Outcome SendRound() {
        // Answers written after this wait for the next look: their pupil or
        // drill may be newer than what is read below.
        QString error;
        const qint64 answers_end = Top("history", &error);
        if (answers_end < 0) return LocalFailure(error);
        Outcome outcome = SendAppended(kPupils, -1);
        if (outcome.ok && !outcome.more && !outcome.clash) outcome = SendDrills();
        if (outcome.ok && !outcome.more && !outcome.clash) outcome = SendAppended(kHistory, answers_end);
        if (stale_) return {true, true, {}};
        if (outcome.ok && outcome.clash) return TakeFreshId();
        return outcome;
    }

    // Answers the server has not confirmed yet (-1 when they cannot be counted).
    qint64 Waiting() {
        QSqlQuery q(local_);
        q.prepare(QStringLiteral("select count(*) from history where id > ?"));
        q.addBindValue(confirmed_.value(QStringLiteral("history")));
        return q.exec() && q.next() ? q.value(0).toLongLong() : -1;
    }

    const QString& last_sent() const { return last_sent_; }

private:
    struct Statement {
        QString sql;
        QVariantList values;
    };

    // The highest id of a local table (0 when empty, -1 on an error).
    qint64 Top(const char* table, QString* error) {
        QSqlQuery q(local_);
        if (!q.exec(QStringLiteral("select coalesce(max(id), 0) from %1").arg(QLatin1String(table))) ||
            !q.next()) {
            *error = q.lastError().text();
            return -1;
        }
        return q.value(0).toLongLong();
    }

    // Sends the next rows of an insert-only table, up to id `last` (all
    // when negative).
    Outcome SendAppended(const Table& table, qint64 last) {
        QSqlQuery q(local_);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("select %1 from %2 where id > ?%3 order by id limit %4")
                      .arg(ColumnList(table), QLatin1String(table.name),
                           last < 0 ? QString() : QStringLiteral(" and id <= %1").arg(last))
                      .arg(batch_));
        q.addBindValue(confirmed_.value(QLatin1String(table.name)));
        if (!q.exec()) return LocalFailure(q);
        std::vector<QVariantList> rows = Rows(q, table.columns.size());
        q.finish();  // no read left open under the confirming write
        if (rows.empty()) return {};
        const bool full = static_cast<int>(rows.size()) == batch_;
        Outcome sent = Deliver(table, rows, QStringLiteral(" on conflict do nothing"));
        if (!sent.ok || rows.empty()) return sent;
        const qint64 up_to = rows.back().front().toLongLong();
        if (Outcome noted = Confirm({}, table.name, up_to); !noted.ok || stale_) return noted;
        sent.more = full && !sent.clash;
        return sent;
    }

    // Sends drills that are new or whose figures changed since the server
    // confirmed them (and that also meet `only`, when given).
    Outcome SendDrills(const QString& only = QString()) {
        QStringList changed{QStringLiteral("s.id is null")};
        for (const char* c : kDrillFigures)
            changed << QStringLiteral("s.%1 is not d.%1").arg(QLatin1String(c));
        QString where = QLatin1Char('(') + changed.join(QStringLiteral(" or ")) + QLatin1Char(')');
        if (!only.isEmpty()) where += QStringLiteral(" and ") + only;
        QSqlQuery q(local_);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select %1 from drills d left join sync_drills_sent s on s.id = d.id"
                                   " where %2 order by d.id limit %3")
                        .arg(ColumnList(kDrills, QStringLiteral("d.")), where)
                        .arg(batch_)))
            return LocalFailure(q);
        std::vector<QVariantList> rows = Rows(q, kDrills.columns.size());
        q.finish();
        if (rows.empty()) return {};
        const bool full = static_cast<int>(rows.size()) == batch_;
        QStringList updates;
        for (const char* c : kDrillFigures) updates << QStringLiteral("%1 = excluded.%1").arg(QLatin1String(c));
        // Only the same drill (its uid) is brought up to date: another
        // file's drill under this (pc_id, id) stays as it is. Nor do its
        // figures go back (a file put back from a backup has older ones).
        Outcome sent = Deliver(kDrills, rows,
                               QStringLiteral(" on conflict (pc_id, id) do update set ") +
                                   updates.join(QStringLiteral(", ")) +
                                   QStringLiteral(" where drills.uid = excluded.uid"
                                                  " and drills.questions <= excluded.questions"
                                                  " and (drills.finished_at is null or excluded.finished_at is not null)"));
        if (!sent.ok || rows.empty()) return sent;
        // What the server now holds of each drill, by column position.
        std::vector<Statement> notes;
        for (const QVariantList& row : rows) {
            notes.push_back({QStringLiteral("insert or replace into sync_drills_sent (id, finished_at,"
                                            " questions, correct, points, seconds) values (?, ?, ?, ?, ?, ?)"),
                             {row[0], row[7], row[8], row[9], row[10], row[11]}});
        }
        qint64 up_to = std::max(confirmed_.value(QStringLiteral("drills")), rows.back().front().toLongLong());
        if (Outcome noted = Confirm(notes, "drills", up_to); !noted.ok || stale_) return noted;
        sent.more = full && !sent.clash;
        return sent;
    }

    // Sends `rows` (ordered by id) in one server transaction, committed only
    // when every row the server already held under this file's (pc_id, id)
    // is this file's own. Otherwise the rows from the first other one on are
    // left out of `rows`, the rest is sent again, and `clash` is set.
    Outcome Deliver(const Table& table, std::vector<QVariantList>& rows, const QString& on_conflict) {
        Outcome outcome;
        while (!rows.empty()) {
            if (!server_.transaction()) return ServerFailure(server_.lastError().text());
            QSqlQuery q(server_);
            q.setForwardOnly(true);
            if (!q.exec(InsertSql(table, rows) + on_conflict + QStringLiteral(" returning id")))
                return ServerFailure(q.lastError().text());
            QSet<qint64> written;
            while (q.next()) written.insert(q.value(0).toLongLong());
            q.finish();
            std::vector<const QVariantList*> held;
            for (const QVariantList& row : rows)
                if (!written.contains(row.front().toLongLong())) held.push_back(&row);
            qint64 clash = -1;
            if (!held.empty()) {
                QString problem;
                if (!FirstClash(table, held, &clash, &problem)) return ServerFailure(problem);
            }
            if (clash < 0) {
                if (!server_.commit()) return ServerFailure(server_.lastError().text());
                return outcome;
            }
            if (!server_.rollback()) return ServerFailure(server_.lastError().text());
            outcome.clash = true;
            rows.erase(std::find_if(rows.begin(), rows.end(),
                                    [&](const QVariantList& row) { return row.front().toLongLong() >= clash; }),
                       rows.end());
        }
        return outcome;
    }

    // The lowest id among `held` (rows the server already had, by id) whose
    // row on the server is not this file's: -1 when there is none.
    bool FirstClash(const Table& table, const std::vector<const QVariantList*>& held, qint64* clash,
                    QString* problem) {
        QStringList ids, columns;
        for (const QVariantList* row : held) ids << QString::number(row->front().toLongLong());
        for (const char* c : table.identity) columns << QLatin1String(c);
        QSqlQuery q(server_);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select id, %1 from %2 where pc_id = %3 and id in (%4)")
                        .arg(columns.join(QStringLiteral(", ")), QLatin1String(table.name),
                             Literal(server_.driver(), pc_id_, Kind::Text), ids.join(QLatin1Char(','))))) {
            *problem = q.lastError().text();
            return false;
        }
        QHash<qint64, QVariantList> theirs;
        while (q.next()) {
            QVariantList identity;
            for (int i = 1; i <= static_cast<int>(table.identity.size()); ++i) identity << q.value(i);
            theirs.insert(q.value(0).toLongLong(), identity);
        }
        *clash = -1;
        for (const QVariantList* row : held) {
            const auto found = theirs.constFind(row->front().toLongLong());
            // A row the server does not show (rows are never removed there)
            // counts as another's: sending it again elsewhere loses nothing.
            bool same = found != theirs.cend();
            for (std::size_t i = 0; same && i < table.identity.size(); ++i)
                same = SameValue(row->at(ColumnIndex(table, table.identity[i])), found->at(static_cast<int>(i)));
            if (!same) {
                *clash = row->front().toLongLong();
                break;
            }
        }
        return true;
    }

    // Confirms the next rows of `table` the server already holds as they
    // are in the file, up to the first it does not.
    Outcome ConfirmHeld(const Table& table) {
        for (;;) {
            QSqlQuery q(local_);
            q.setForwardOnly(true);
            q.prepare(QStringLiteral("select %1 from %2 where id > ? order by id limit %3")
                          .arg(ColumnList(table), QLatin1String(table.name))
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
            if (other >= 0 || static_cast<int>(rows.size()) < batch_) return {};
        }
    }

    // The server holds another record file's row under this file's pc_id:
    // this file was copied, or put back from a backup, after that row was
    // sent. What the server confirmed as this file's stays where it is;
    // every later row goes under a fresh pc_id, after all the pupils again
    // (an answer names its pupil and its drill by id within its pc_id; on
    // the server a pupil is matched by name anyway).
    Outcome TakeFreshId() {
        // Answers the server holds as this file's although their
        // confirmation did not reach the file (a file put back from a
        // backup) stay where they are.
        if (Outcome held = ConfirmHeld(kHistory); !held.ok || stale_) return held;
        const qint64 answers_sent = confirmed_.value(QStringLiteral("history"));
        // A drill whose answers are all there keeps its place too: its last
        // figures (an end time) go under the old id first. A drill with
        // answers still to send goes again under the new one.
        for (Outcome settled{true, true, {}}; settled.more;) {
            settled = SendDrills(QStringLiteral("exists (select 1 from history h where h.drill_id = d.id)"
                                                " and not exists (select 1 from history h"
                                                " where h.drill_id = d.id and h.id > %1)")
                                     .arg(answers_sent));
            if (!settled.ok || stale_) return settled;
        }
        if (!local_.transaction()) return LocalFailure(local_.lastError().text());
        QSqlQuery q(local_);
        bool ok = q.exec(QStringLiteral("update sync_source set pc_id = lower(hex(randomblob(16)))")) &&
                  q.exec(QStringLiteral("update sync_confirmed set up_to = 0 where table_name = 'pupils'"));
        if (ok) {
            q.prepare(QStringLiteral("delete from sync_drills_sent where id in"
                                     " (select drill_id from history where id > ?)"));
            q.addBindValue(answers_sent);
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
        std::fprintf(stderr,
                     "Sorelka: サーバーには この記録のファイルの番号 %s で別のファイルの記録があります"
                     "（ファイルのコピーか、バックアップから戻したファイル）。新しい番号 %s で続けて送ります。\n",
                     qPrintable(pc_id_), qPrintable(fresh));
        pc_id_ = fresh;
        confirmed_[QStringLiteral("pupils")] = 0;
        return {true, true, {}};
    }

    static std::vector<QVariantList> Rows(QSqlQuery& q, std::size_t columns) {
        std::vector<QVariantList> rows;
        while (q.next()) {
            QVariantList row;
            row.reserve(static_cast<qsizetype>(columns));
            for (std::size_t i = 0; i < columns; ++i) row << q.value(static_cast<int>(i));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    // One statement for the whole batch: one round trip.
    QString InsertSql(const Table& table, const std::vector<QVariantList>& rows) const {
        const QSqlDriver* driver = server_.driver();
        const QString pc = Literal(driver, pc_id_, Kind::Text);
        QString sql = QStringLiteral("insert into %1 (pc_id, %2) values ")
                          .arg(QLatin1String(table.name), ColumnList(table));
        sql.reserve(sql.size() + static_cast<qsizetype>(rows.size()) * 200);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (r > 0) sql += QLatin1Char(',');
            sql += QLatin1Char('(') + pc;
            for (std::size_t c = 0; c < table.columns.size(); ++c)
                sql += QLatin1Char(',') +
                       Literal(driver, rows[r][static_cast<qsizetype>(c)], table.columns[c].kind);
            sql += QLatin1Char(')');
        }
        return sql;
    }

    // A connection that failed mid-statement is opened afresh next time
    // (closing it also ends a transaction left open).
    Outcome ServerFailure(const QString& detail) {
        Outcome failed{false, false, QStringLiteral("サーバーに送れません: ") + detail};
        server_.close();
        return failed;
    }

    // Notes in the file what the server confirmed, in one transaction.
    Outcome Confirm(const std::vector<Statement>& notes, const char* table, qint64 up_to) {
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
        // brought it back (LearningRecord::DeletePupil), and then the next
        // look reads the file again.
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
            return {true, true, {}};
        }
        confirmed_[name] = up_to;
        return {};
    }

    static Outcome LocalFailure(const QSqlQuery& q) { return LocalFailure(q.lastError().text()); }
    static Outcome LocalFailure(const QString& detail) {
        return {false, false, QStringLiteral("記録のファイルを読み書きできません: ") + detail};
    }

    QSqlDatabase& local_;
    QSqlDatabase& server_;
    int batch_;
    QString pc_id_;
    QHash<QString, qint64> confirmed_;
    bool stale_ = false;  // the file's sync_confirmed changed under this look
    QString last_sent_;
};

std::atomic<int> connection_serial{0};

// The socket of an open QPSQL connection (-1 when unknown), through the
// driver's own libpq: the program does not link libpq, so a PC without the
// driver needs none.
int ServerSocket(const QSqlDatabase& server) {
    const QVariant handle = server.driver()->handle();
    // PGconn is a typedef of struct pg_conn: Qt may name it either way.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return -1;
    using SocketOf = int (*)(const void*);
    static const SocketOf socket_of = [] {
        void* libpq = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);  // loaded with the driver
        return libpq ? reinterpret_cast<SocketOf>(::dlsym(libpq, "PQsocket")) : nullptr;
    }();
    const void* connection = *static_cast<void* const*>(handle.constData());
    return socket_of && connection ? socket_of(connection) : -1;
}

// Opens `server` with `config` unless it is open.
bool OpenServer(QSqlDatabase& server, const ServerConfig& config, int connect_timeout_s,
                QString* problem) {
    if (server.isOpen()) return true;
    if (!server.isValid()) {
        *problem = QStringLiteral("Qt の PostgreSQL ドライバー (libqt6sql6-psql) がありません。");
        return false;
    }
    server.setHostName(config.host);
    server.setPort(config.port);
    server.setDatabaseName(config.database);
    server.setUserName(config.user);
    server.setPassword(config.password);
    // Keep-alives notice a network gone away mid-batch within half a minute.
    server.setConnectOptions(QStringLiteral("connect_timeout=%1;sslmode=%2;application_name=Sorelka;"
                                            "keepalives_idle=10;keepalives_interval=5;keepalives_count=3")
                                 .arg(connect_timeout_s)
                                 .arg(config.sslmode));
    if (!server.open()) {
        *problem = QStringLiteral("サーバー %1 につなげません: %2")
                       .arg(config.Describe(), server.lastError().text());
        return false;
    }
    // A server that hangs (a held lock, a stuck disk) must not hold the
    // worker, and with it the program's exit, for long.
    QSqlQuery(server).exec(QStringLiteral("set statement_timeout = 10000"));
    return true;
}

ClassHistory ReadClassHistoryOn(QSqlDatabase& server, const ServerConfig& config, int timeout_s) {
    ClassHistory history;
    QString problem;
    if (!OpenServer(server, config, timeout_s, &problem)) {
        history.problem = problem;
        return history;
    }
    history.reached = true;
    auto failed = [&](const QSqlQuery& q) {
        history = ClassHistory{};
        history.reached = true;
        history.problem = QStringLiteral("サーバーから読めません: ") + q.lastError().text();
        server.close();  // a connection that failed mid-read is opened afresh next time
        return history;
    };
    QSqlQuery q(server);
    q.setForwardOnly(true);
    // One snapshot: no answer without its drill and pupil, whatever PCs send meanwhile.
    if (!q.exec(QStringLiteral("begin transaction isolation level repeatable read read only"))) return failed(q);
    if (!q.exec(QStringLiteral("select pc_id, %1 from pupils order by created_at, pc_id, id")
                    .arg(ColumnList(kPupils))))
        return failed(q);
    while (q.next()) {
        history.pupils.push_back({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toString(),
                                  q.value(3).toString(), q.value(4).toInt() != 0, q.value(5).toString()});
    }
    if (!q.exec(QStringLiteral("select pc_id, %1 from drills order by started_at, pc_id, id")
                    .arg(ColumnList(kDrills))))
        return failed(q);
    while (q.next()) {
        history.drills.push_back({q.value(0).toString(), record::DrillRecordAt(q, 1)});
    }
    if (!q.exec(QStringLiteral("select h.pc_id, p.name, %1 from history h left join pupils p"
                               " on p.pc_id = h.pc_id and p.id = h.pupil_id order by h.answered_at, h.pc_id, h.id")
                    .arg(ColumnList(kHistory, QStringLiteral("h.")))))
        return failed(q);
    while (q.next()) {
        ClassAnswer a{q.value(0).toString(), record::HistoryRowAt(q, 2)};
        a.row.pupil = q.value(1).toString();
        history.answers.push_back(std::move(a));
    }
    q.finish();
    QSqlQuery(server).exec(QStringLiteral("commit"));
    history.from_server = true;
    return history;
}

}  // namespace

QStringList StatusLines(const SyncStatus& status) {
    if (!status.configured) return {QStringLiteral("学校のサーバーは設定されていません。")};
    const QString sent =
        status.last_sent.isValid()
            ? status.last_sent.toLocalTime().toString(QStringLiteral("M月d日 H:mm"))
            : QStringLiteral("まだ送っていません");
    QStringList lines{QStringLiteral("最後に送った時刻：") + sent};
    if (status.waiting >= 0) lines << QStringLiteral("送るのを待っている答え：%1件").arg(status.waiting);
    if (!status.problem.isEmpty()) lines << status.problem;
    return lines;
}

ClassSync::ClassSync(QString record_path, ServerConfig config, SyncTiming timing, QObject* parent)
    : QObject(parent),
      record_path_(std::move(record_path)),
      config_(std::move(config)),
      timing_(timing),
      usable_(true) {
    status_.configured = true;
    status_.server = config_.Describe();
}

ClassSync::ClassSync(QString record_path, QString server, QString problem, QObject* parent)
    : QObject(parent), record_path_(std::move(record_path)) {
    status_.configured = true;
    status_.server = std::move(server);
    status_.problem = std::move(problem);
}

ClassSync::~ClassSync() { Stop(); }

std::unique_ptr<ClassSync> ClassSync::FromSettings(const QString& record_path) {
    ConfigReading reading = ReadServerConfig();
    if (!reading.configured) return nullptr;
    if (!reading.config) {
        // For the administrator: standard error and the teacher's view, never the pupil.
        std::fprintf(stderr, "Sorelka: %s\n", qPrintable(reading.problem));
        return std::make_unique<ClassSync>(record_path, QString(), reading.problem);
    }
    return std::make_unique<ClassSync>(record_path, *reading.config);
}

void ClassSync::Start() {
    if (!usable_ || worker_.joinable()) return;
    stopping_ = false;
    worker_ = std::thread([this] { Run(); });
}

void ClassSync::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // A call under way on a server that stopped answering fails now
        // instead of when the network gives up; whatever it was sending is
        // still unconfirmed in the file and goes at the next start.
        if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool ClassSync::Connect(QSqlDatabase& server, QString* problem) {
    if (server.isOpen()) return true;
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
    }
    if (!OpenServer(server, config_, timing_.connect_timeout_s, problem)) return false;
    // A second descriptor of the connection's socket: shutting it down
    // reaches libpq's, and it cannot be closed and reused under Stop().
    const int fd = ServerSocket(server);
    const int duplicate = fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
    bool stop = false;
    {
        std::lock_guard lock(mutex_);
        if (socket_ >= 0) ::close(socket_);
        socket_ = duplicate;
        stop = stopping_;
    }
    if (stop) {
        server.close();
        ForgetSocket();
        return false;
    }
    return true;
}

void ClassSync::ForgetSocket() {
    std::lock_guard lock(mutex_);
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

void ClassSync::Nudge() {
    {
        std::lock_guard lock(mutex_);
        nudged_ = true;
    }
    wake_.notify_all();
}

void ClassSync::RequestClassHistory() {
    if (!usable_) {
        ClassHistory none;
        none.problem = status().problem;
        QMetaObject::invokeMethod(this, [this, none] { emit classHistory(none); }, Qt::QueuedConnection);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        fetch_requested_ = true;
    }
    wake_.notify_all();
}

SyncStatus ClassSync::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

bool ClassSync::WaitUntilSent(int timeout_ms) {
    std::unique_lock lock(mutex_);
    const quint64 after = rounds_begun_;
    nudged_ = true;
    wake_.notify_all();
    return round_done_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [&] { return last_clean_round_ > after; });
}

void ClassSync::Publish(const SyncStatus& status) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        changed = status.last_sent != status_.last_sent || status.waiting != status_.waiting ||
                  status.problem != status_.problem;
        status_ = status;
    }
    if (changed) QMetaObject::invokeMethod(this, [this] { emit statusChanged(); }, Qt::QueuedConnection);
}

void ClassSync::Run() {
    const int serial = ++connection_serial;
    const QString local_name = QStringLiteral("sorelka-sync-local-%1").arg(serial);
    const QString server_name = QStringLiteral("sorelka-sync-server-%1").arg(serial);
    int retry_ms = 0;
    QString told;  // the problem last written to standard error
    {
        QSqlDatabase server = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), server_name);
        for (;;) {
            bool fetch = false;
            quint64 round = 0;
            SyncStatus status;
            {
                std::lock_guard lock(mutex_);
                if (stopping_) break;
                fetch = fetch_requested_;
                fetch_requested_ = false;
                nudged_ = false;
                round = ++rounds_begun_;
                status = status_;
            }
            if (fetch) {
                QString problem;
                ClassHistory history;
                if (Connect(server, &problem))
                    history = ReadClassHistoryOn(server, config_, timing_.connect_timeout_s);
                else
                    history.problem = problem;
                // The copy is made here, so the teacher's window only opens it.
                ClassRecord::Pack(history);
                QMetaObject::invokeMethod(
                    this, [this, history = std::move(history)] { emit classHistory(history); },
                    Qt::QueuedConnection);
            }

            Outcome outcome;
            bool nothing_left = false;
            if (QFileInfo::exists(record_path_)) {
                QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), local_name);
                // mode=rw: never make the file; the program makes it with its first write.
                local.setDatabaseName(QUrl::fromLocalFile(record_path_).toString(QUrl::FullyEncoded) +
                                      QStringLiteral("?mode=rw"));
                local.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
                if (!local.open()) {
                    outcome = {false, false, QStringLiteral("記録のファイルを開けません: ") + local.lastError().text()};
                } else {
                    QSqlQuery(local).exec(QStringLiteral("pragma synchronous=normal"));
                    Sender sender(local, server, timing_.batch_rows);
                    QString problem;
                    if (sender.Prepare(&problem)) {
                        status.waiting = sender.Waiting();
                        if (!Connect(server, &problem)) {
                            outcome = {false, false, problem};
                        } else {
                            outcome = sender.SendRound();
                            status.waiting = sender.Waiting();
                        }
                        if (!sender.last_sent().isEmpty())
                            status.last_sent = QDateTime::fromString(sender.last_sent(), Qt::ISODateWithMs);
                        nothing_left = outcome.ok && !outcome.more;
                    } else if (!problem.isEmpty()) {
                        outcome = {false, false, problem};
                    } else {
                        nothing_left = true;  // not upgraded yet: nothing of it to send
                    }
                }
                local = QSqlDatabase();
                QSqlDatabase::removeDatabase(local_name);
            } else {
                status.waiting = 0;
                nothing_left = true;
            }

            if (!server.isOpen()) ForgetSocket();
            status.problem = outcome.ok ? QString() : outcome.problem;
            bool stopping = false;
            {
                std::lock_guard lock(mutex_);
                stopping = stopping_;
            }
            // A call Stop() cut short is no problem to tell.
            if (stopping) status.problem = told;
            if (status.problem != told) {
                if (!status.problem.isEmpty())
                    std::fprintf(stderr, "Sorelka: %s\n", qPrintable(status.problem));
                told = status.problem;
            }
            Publish(status);

            std::unique_lock lock(mutex_);
            if (nothing_left) {
                last_clean_round_ = round;
                round_done_.notify_all();
            }
            int wait_ms = timing_.idle_ms;
            if (!outcome.ok) {
                retry_ms = retry_ms == 0 ? timing_.first_retry_ms
                                         : std::min(2 * retry_ms, timing_.longest_retry_ms);
                wait_ms = retry_ms;
            } else {
                retry_ms = 0;
                if (outcome.more) wait_ms = 0;
            }
            // After a failure only a stop or the teacher's request cuts the
            // wait short: new answers must not hammer an absent server.
            wake_.wait_for(lock, std::chrono::milliseconds(wait_ms), [&] {
                return stopping_ || fetch_requested_ || (outcome.ok && nudged_);
            });
        }
        server.close();
        ForgetSocket();
    }
    QSqlDatabase::removeDatabase(server_name);
}

ClassHistory ReadClassHistory(const ServerConfig& config, int connect_timeout_s) {
    const QString name = QStringLiteral("sorelka-class-read-%1").arg(++connection_serial);
    ClassHistory history;
    {
        QSqlDatabase server = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        history = ReadClassHistoryOn(server, config, connect_timeout_s);
        server.close();
    }
    QSqlDatabase::removeDatabase(name);
    return history;
}

}  // namespace sorelka::sync
