#include "sync/class_sync.h"

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
#include <atomic>
#include <cmath>
#include <cstdio>

#include "sync/class_record.h"

namespace sorelka::sync {

namespace {

enum class Kind { Integer, Real, Text };

struct Column {
    const char* name;
    Kind kind;
};

// A table as both sides hold it: the same columns, the server's with pc_id
// in front. `id` comes first.
struct Table {
    const char* name;
    std::vector<Column> columns;
};

const Table kPupils{"pupils",
                    {{"id", Kind::Integer},
                     {"name", Kind::Text},
                     {"reading", Kind::Text},
                     {"archived", Kind::Integer},
                     {"created_at", Kind::Text}}};

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
                     {"seconds", Kind::Integer}}};

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
                      {"worked_rows", Kind::Text}}};

// The first version of the record file that has the sync tables.
constexpr int kSyncLayout = 4;

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
};

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
        if (q.value(0).toInt() < kSyncLayout) return false;
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

    // Sends the next rows of an insert-only table.
    Outcome SendAppended(const Table& table) {
        QSqlQuery q(local_);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("select %1 from %2 where id > ? order by id limit %3")
                      .arg(ColumnList(table), QLatin1String(table.name))
                      .arg(batch_));
        q.addBindValue(confirmed_.value(QLatin1String(table.name)));
        if (!q.exec()) return LocalFailure(q);
        std::vector<QVariantList> rows = Rows(q, table.columns.size());
        q.finish();  // no read left open under the confirming write
        if (rows.empty()) return {};
        const QString sql = InsertSql(table, rows) + QStringLiteral(" on conflict do nothing");
        if (Outcome sent = ServerExec(sql); !sent.ok) return sent;
        const qint64 up_to = rows.back().front().toLongLong();
        if (Outcome noted = Confirm({}, table.name, up_to); !noted.ok) return noted;
        return {true, static_cast<int>(rows.size()) == batch_, {}};
    }

    // Sends drills that are new or whose figures changed since the server
    // confirmed them.
    Outcome SendDrills() {
        QStringList changed{QStringLiteral("s.id is null")};
        for (const char* c : kDrillFigures)
            changed << QStringLiteral("s.%1 is not d.%1").arg(QLatin1String(c));
        QSqlQuery q(local_);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select %1 from drills d left join sync_drills_sent s on s.id = d.id"
                                   " where %2 order by d.id limit %3")
                        .arg(ColumnList(kDrills, QStringLiteral("d.")),
                             changed.join(QStringLiteral(" or ")))
                        .arg(batch_)))
            return LocalFailure(q);
        std::vector<QVariantList> rows = Rows(q, kDrills.columns.size());
        q.finish();
        if (rows.empty()) return {};
        QStringList updates;
        for (const char* c : kDrillFigures) updates << QStringLiteral("%1 = excluded.%1").arg(QLatin1String(c));
        const QString sql = InsertSql(kDrills, rows) + QStringLiteral(" on conflict (pc_id, id) do update set ") +
                            updates.join(QStringLiteral(", "));
        if (Outcome sent = ServerExec(sql); !sent.ok) return sent;
        // What the server now holds of each drill, by column position.
        std::vector<Statement> notes;
        for (const QVariantList& row : rows) {
            notes.push_back({QStringLiteral("insert or replace into sync_drills_sent (id, finished_at,"
                                            " questions, correct, points, seconds) values (?, ?, ?, ?, ?, ?)"),
                             {row[0], row[7], row[8], row[9], row[10], row[11]}});
        }
        qint64 up_to = std::max(confirmed_.value(QStringLiteral("drills")), rows.back().front().toLongLong());
        if (Outcome noted = Confirm(notes, "drills", up_to); !noted.ok) return noted;
        return {true, static_cast<int>(rows.size()) == batch_, {}};
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

    // One statement for the whole batch: one round trip, one transaction.
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

    Outcome ServerExec(const QString& sql) {
        QSqlQuery q(server_);
        if (q.exec(sql)) return {};
        Outcome failed{false, false, QStringLiteral("サーバーに送れません: ") + q.lastError().text()};
        // A connection that failed mid-statement is opened afresh next time.
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
        ok = ok && run(QStringLiteral("insert into sync_confirmed (table_name, up_to, confirmed_at)"
                                      " values (?, ?, ?) on conflict (table_name) do update set"
                                      " up_to = excluded.up_to, confirmed_at = excluded.confirmed_at"),
                       {QLatin1String(table), up_to, now});
        if (!ok || !local_.commit()) {
            const QString detail = local_.lastError().text();
            local_.rollback();
            return LocalFailure(detail);
        }
        confirmed_[QLatin1String(table)] = up_to;
        last_sent_ = now;
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
    QString last_sent_;
};

std::atomic<int> connection_serial{0};

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
        ClassDrill d;
        d.pc_id = q.value(0).toString();
        record::DrillRecord& r = d.drill;
        r.id = q.value(1).toLongLong();
        r.uid = q.value(2).toString();
        if (!q.isNull(3)) r.pupil_id = q.value(3).toLongLong();
        r.topic = q.value(4).toInt();
        r.menu_choice = q.value(5).toInt();
        r.time_limit_seconds = q.value(6).toInt();
        r.started_at = q.value(7).toString();
        r.finished_at = q.value(8).toString();
        r.questions = q.value(9).toInt();
        r.correct = q.value(10).toInt();
        r.points = q.value(11).toInt();
        r.seconds = q.value(12).toInt();
        history.drills.push_back(std::move(d));
    }
    if (!q.exec(QStringLiteral("select h.pc_id, p.name, %1 from history h left join pupils p"
                               " on p.pc_id = h.pc_id and p.id = h.pupil_id order by h.answered_at, h.pc_id, h.id")
                    .arg(ColumnList(kHistory, QStringLiteral("h.")))))
        return failed(q);
    while (q.next()) {
        ClassAnswer a;
        a.pc_id = q.value(0).toString();
        record::HistoryRow& r = a.row;
        r.pupil = q.value(1).toString();
        r.id = q.value(2).toLongLong();
        if (!q.isNull(3)) r.pupil_id = q.value(3).toLongLong();
        r.answered_at = q.value(4).toString();
        r.topic = q.value(5).toInt();
        r.mode = q.value(6).toString();
        r.menu_choice = q.value(7).toInt();
        if (!q.isNull(8)) r.drill_id = q.value(8).toLongLong();
        if (!q.isNull(9)) r.question_no = q.value(9).toInt();
        r.problem = q.value(10).toString();
        r.right_answer = q.value(11).toString();
        r.entered_answer = q.value(12).toString();
        r.correct = q.value(13).toInt() == 1;
        r.seconds = q.value(14).toDouble();
        r.error_kind = q.value(15).toString();
        r.error_step = q.value(16).toString();
        r.worked_rows = q.value(17).toString();
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
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
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
                ClassHistory history = ReadClassHistoryOn(server, config_, timing_.connect_timeout_s);
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
                        if (!OpenServer(server, config_, timing_.connect_timeout_s, &problem)) {
                            outcome = {false, false, problem};
                        } else {
                            // Pupils first, so every answer's pupil is there before it.
                            for (auto send : {+[](Sender& s) { return s.SendAppended(kPupils); },
                                              +[](Sender& s) { return s.SendDrills(); },
                                              +[](Sender& s) { return s.SendAppended(kHistory); }}) {
                                const Outcome part = send(sender);
                                outcome.more = outcome.more || part.more;
                                if (!part.ok) {
                                    outcome = part;
                                    break;
                                }
                            }
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

            status.problem = outcome.ok ? QString() : outcome.problem;
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
