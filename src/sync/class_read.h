#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>

#include "sync/class_sync.h"
#include "sync/server_config.h"

// Reading the class back from the server for the teacher's view, through
// Qt's PostgreSQL driver (so the rows come as the record's own readers take
// them). Signed in as the configured reader, or else as this PC's role,
// which reads only this PC's rows.
namespace sorelka::sync {

// Opens `server` (a QPSQL connection) as `config` says unless it is open;
// returns why it could not (in Japanese), empty when open.
QString OpenClassReader(QSqlDatabase& server, const ServerConfig& config, int connect_timeout_s);

// The socket of an open QPSQL connection (-1 when unknown).
int ClassReaderSocket(const QSqlDatabase& server);

// Reads every pupil, drill and answer the connection may read, in one
// snapshot; opens `server` first when it is not open.
ClassHistory ReadClassHistoryOn(QSqlDatabase& server, const ServerConfig& config, int connect_timeout_s);

// Reads the class on a connection of its own, signed in as `config` says
// (ClassSync gives config.AsReader()); `opened` learns the connection's
// socket once it is open and -1 once it is closed again.
ClassHistory ReadClass(const ServerConfig& config, int connect_timeout_s,
                       const std::function<void(int socket)>& opened = {});

}  // namespace sorelka::sync
