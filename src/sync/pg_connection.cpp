#include "sync/pg_connection.h"

#include <libpq-fe.h>

namespace sorelka::sync {

std::vector<std::pair<QByteArray, QByteArray>> ConnectionParameters(const ServerConfig& config,
                                                                    int connect_timeout_s) {
    std::vector<std::pair<QByteArray, QByteArray>> parameters = {
        {"host", config.host.toUtf8()},
        // 0 (like every empty value): libpq's own default or PGPORT.
        {"port", config.port > 0 ? QByteArray::number(config.port) : QByteArray()},
        {"dbname", config.database.toUtf8()},
        {"user", config.user.toUtf8()},
        {"password", config.password.toUtf8()},
        {"sslmode", config.sslmode.toUtf8()},
        {"connect_timeout", QByteArray::number(connect_timeout_s)},
        {"application_name", "Sorelka"},
        {"client_encoding", "UTF8"},
        // Keep-alives notice a network gone away mid-batch within half a minute.
        {"keepalives_idle", "10"},
        {"keepalives_interval", "5"},
        {"keepalives_count", "3"},
        // A server that hangs (a held lock, a stuck disk) must not hold the
        // worker, and with it the program's exit, for long.
        {"options", "-c statement_timeout=10000"},
    };
    if (!config.sslrootcert.isEmpty()) parameters.push_back({"sslrootcert", config.sslrootcert.toUtf8()});
    return parameters;
}

PgResult::PgResult(pg_result* result) : result_(result, [](pg_result* r) { PQclear(r); }) {}

PgResult PgResult::NotSent(QString failure, QString sqlstate) {
    PgResult result;
    result.failure_ = std::move(failure);
    result.failure_state_ = std::move(sqlstate);
    return result;
}

bool PgResult::ok() const {
    if (!result_) return false;
    const ExecStatusType status = PQresultStatus(result_.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

QString PgResult::sqlstate() const {
    if (!result_) return failure_state_;
    if (ok()) return QString();
    return QString::fromLatin1(PQresultErrorField(result_.get(), PG_DIAG_SQLSTATE));
}

QString PgResult::error() const {
    if (!failure_.isEmpty()) return failure_;
    if (!result_) return QStringLiteral("no answer");
    return QString::fromUtf8(PQresultErrorMessage(result_.get())).trimmed();
}

int PgResult::rows() const { return ok() ? PQntuples(result_.get()) : 0; }

int PgResult::columns() const { return ok() ? PQnfields(result_.get()) : 0; }

bool PgResult::is_null(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }

QString PgResult::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(result_.get(), row, column),
                             PQgetlength(result_.get(), row, column));
}

QByteArray PgResult::bytes(int row, int column) const {
    return QByteArray::fromRawData(PQgetvalue(result_.get(), row, column), PQgetlength(result_.get(), row, column));
}

qint64 PgResult::number(int row, int column) const { return text(row, column).toLongLong(); }

std::optional<int> PgResult::optional_int(int row, int column) const {
    if (is_null(row, column)) return std::nullopt;
    return static_cast<int>(number(row, column));
}

QVariant PgResult::value(int row, int column) const {
    return is_null(row, column) ? QVariant() : QVariant(text(row, column));
}

PgConnection::~PgConnection() { Close(); }

QString PgConnection::Open(const ServerConfig& config, int connect_timeout_s) {
    Close();
    const auto parameters = ConnectionParameters(config, connect_timeout_s);
    std::vector<const char*> keywords, values;
    for (const auto& [keyword, value] : parameters) {
        keywords.push_back(keyword.constData());
        values.push_back(value.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    pg_conn* connection = PQconnectdbParams(keywords.data(), values.data(), 0);
    if (!connection) return QStringLiteral("サーバー %1 につなげません。").arg(config.Describe());
    if (PQstatus(connection) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
        PQfinish(connection);
        return QStringLiteral("サーバー %1 につなげません: %2").arg(config.Describe(), why);
    }
    connection_ = connection;
    return QString();
}

void PgConnection::Close() {
    if (connection_) PQfinish(connection_);
    connection_ = nullptr;
}

int PgConnection::socket() const { return connection_ ? PQsocket(connection_) : -1; }

bool PgConnection::Notified(const QString& channel, QString* broken) {
    if (!connection_) return false;
    if (PQconsumeInput(connection_) == 0) {
        *broken = QString::fromUtf8(PQerrorMessage(connection_)).trimmed();
        Close();
        return false;
    }
    bool heard = false;
    const QByteArray wanted = channel.toUtf8();
    while (PGnotify* note = PQnotifies(connection_)) {
        heard = heard || wanted == note->relname;
        PQfreemem(note);
    }
    return heard;
}

PgResult PgConnection::Exec(const QString& sql, const std::vector<PgValue>& values) {
    if (!connection_) return PgResult::NotSent(QStringLiteral("not connected"));
    if (values.size() > static_cast<std::size_t>(kMostParameters))
        return PgResult::NotSent(QStringLiteral("too many parameters"));
    std::vector<const char*> texts;
    texts.reserve(values.size());
    for (const PgValue& value : values) {
        if (value && value->contains('\0'))
            return PgResult::NotSent(QStringLiteral("a text holds the character NUL, which the server cannot keep"),
                                     QStringLiteral("22021"));
        texts.push_back(value ? value->constData() : nullptr);
    }
    const QByteArray statement = sql.toUtf8();
    pg_result* result = PQexecParams(connection_, statement.constData(), static_cast<int>(texts.size()),
                                     nullptr, texts.data(), nullptr, nullptr, 0);
    if (!result) return PgResult::NotSent(QString::fromUtf8(PQerrorMessage(connection_)).trimmed());
    return PgResult(result);
}

}  // namespace sorelka::sync
