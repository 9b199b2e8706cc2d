#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sync/server_config.h"

struct pg_conn;
struct pg_result;

namespace sorelka::sync {

// One value sent as a bound parameter, in PostgreSQL's text form; nullopt is NULL.
using PgValue = std::optional<QByteArray>;

// libpq's connection keywords and values for `config`: the server, its
// login, TLS as configured, and how long a call may take.
std::vector<std::pair<QByteArray, QByteArray>> ConnectionParameters(const ServerConfig& config,
                                                                    int connect_timeout_s);

// What the server answered to one statement.
class PgResult {
public:
    PgResult() = default;
    // Takes `result`.
    explicit PgResult(pg_result* result);
    // A statement that never reached the server: why, and its SQLSTATE when
    // it is one the server would have answered.
    static PgResult NotSent(QString failure, QString sqlstate = QString());

    bool ok() const;
    // The SQLSTATE of a failure ("42501"); empty when ok or unknown.
    QString sqlstate() const;
    // The server's (or libpq's) message of a failure.
    QString error() const;

    int rows() const;
    int columns() const;
    bool is_null(int row, int column) const;
    QString text(int row, int column) const;
    qint64 number(int row, int column) const;
    // An integer column that may be NULL.
    std::optional<int> optional_int(int row, int column) const;
    // The value's UTF-8 text without a copy: valid while this result lives.
    QByteArray bytes(int row, int column) const;
    // NULL as an invalid QVariant, anything else as its text.
    QVariant value(int row, int column) const;

private:
    std::shared_ptr<pg_result> result_;
    QString failure_;
    QString failure_state_;
};

// One connection to the school's server through libpq. Every value goes as a
// bound parameter of its statement, never as text inside it.
class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Opens the connection as config.user; returns why it could not (in
    // Japanese), empty when open. Blocks up to connect_timeout_s.
    QString Open(const ServerConfig& config, int connect_timeout_s);
    bool is_open() const { return connection_ != nullptr; }
    void Close();
    // The connection's socket (-1 when closed).
    int socket() const;

    // Runs `sql` with `values` as its parameters $1, $2, …. A value holding
    // a NUL character (which PostgreSQL's text cannot hold) is refused here
    // as the server refuses such a value (SQLSTATE 22021).
    PgResult Exec(const QString& sql, const std::vector<PgValue>& values = {});

    // True when the server sent a notification on `channel` (the connection
    // LISTENs to it) since the last call; reads what already arrived on the
    // socket and never waits or sends anything. A connection found broken
    // is closed, with libpq's reason in `broken`.
    bool Notified(const QString& channel, QString* broken);

    // Most parameters one statement may carry.
    static constexpr int kMostParameters = 65535;

private:
    pg_conn* connection_ = nullptr;
};

}  // namespace sorelka::sync
