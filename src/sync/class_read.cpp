#include "sync/class_read.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <atomic>
#include <libpq-fe.h>

#include "record/learning_record.h"
#include "sync/pg_connection.h"
#include "sync/server_tables.h"

namespace sorelka::sync {

namespace {

std::atomic<int> reader_serial{0};

// A value in libpq's connection-string form: quoted, its \ and ' escaped.
QString Quoted(const QByteArray& value) {
    QString text = QString::fromUtf8(value);
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The connection's options as Qt's driver takes them ("key=value;…"); the
// server, database and login Qt sets itself.
QString QtConnectOptions(const ServerConfig& config, int connect_timeout_s) {
    QStringList options;
    for (const auto& [keyword, value] : ConnectionParameters(config, connect_timeout_s)) {
        if (keyword == "host" || keyword == "port" || keyword == "dbname" || keyword == "user" ||
            keyword == "password")
            continue;
        options << QString::fromLatin1(keyword) + QLatin1Char('=') + Quoted(value);
    }
    return options.join(QLatin1Char(';'));
}

}  // namespace

QString OpenClassReader(QSqlDatabase& server, const ServerConfig& config, int connect_timeout_s) {
    if (server.isOpen()) return QString();
    if (!server.isValid()) return QStringLiteral("Qt の PostgreSQL ドライバー (libqt6sql6-psql) がありません。");
    server.setHostName(config.host);
    server.setPort(config.port);
    server.setDatabaseName(config.database);
    server.setUserName(config.user);
    server.setPassword(config.password);
    server.setConnectOptions(QtConnectOptions(config, connect_timeout_s));
    if (!server.open())
        return QStringLiteral("サーバー %1 につなげません: %2").arg(config.Describe(), server.lastError().text());
    return QString();
}

int ClassReaderSocket(const QSqlDatabase& server) {
    const QVariant handle = server.driver()->handle();
    // PGconn is a typedef of struct pg_conn: Qt may name it either way.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return -1;
    const PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    return connection ? PQsocket(connection) : -1;
}

ClassHistory ReadClassHistoryOn(QSqlDatabase& server, const ServerConfig& config, int connect_timeout_s) {
    ClassHistory history;
    if (const QString problem = OpenClassReader(server, config, connect_timeout_s); !problem.isEmpty()) {
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
    if (!q.exec(QStringLiteral("select pc_id, %1 from pupils order by created_at, pc_id, id").arg(kPupils.ColumnList())))
        return failed(q);
    while (q.next()) {
        history.pupils.push_back({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toString(),
                                  q.value(3).toString(), q.value(4).toInt() != 0, q.value(5).toString()});
    }
    if (!q.exec(QStringLiteral("select pc_id, %1 from drills order by started_at, pc_id, id").arg(kDrills.ColumnList())))
        return failed(q);
    while (q.next()) history.drills.push_back({q.value(0).toString(), record::DrillRecordAt(q, 1)});
    if (!q.exec(QStringLiteral("select h.pc_id, p.name, %1 from history h left join pupils p"
                               " on p.pc_id = h.pc_id and p.id = h.pupil_id order by h.answered_at, h.pc_id, h.id")
                    .arg(kHistory.ColumnList(QStringLiteral("h.")))))
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

ClassHistory ReadClass(const ServerConfig& config, int connect_timeout_s,
                       const std::function<void(int socket)>& opened) {
    const QString name = QStringLiteral("sorelka-class-read-%1").arg(++reader_serial);
    ClassHistory history;
    {
        QSqlDatabase server = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        if (const QString problem = OpenClassReader(server, config, connect_timeout_s); !problem.isEmpty()) {
            history.problem = problem;
        } else {
            if (opened) opened(ClassReaderSocket(server));
            history = ReadClassHistoryOn(server, config, connect_timeout_s);
            server.close();
            if (opened) opened(-1);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return history;
}

ClassHistory ReadClassHistory(const ServerConfig& config, int connect_timeout_s) {
    return ReadClass(config, connect_timeout_s);
}

}  // namespace sorelka::sync
