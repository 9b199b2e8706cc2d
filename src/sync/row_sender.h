#pragma once

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <vector>

#include "sync/server_tables.h"

namespace sorelka::sync {

class PgConnection;
class PgResult;

// What one look at the file and one batch of each table came to.
struct Outcome {
    bool ok = true;
    bool more = false;  // a batch was full: look again at once
    QString problem;
    // The server holds another record file's row under this file's
    // (pc_id, id), or the pc_id is another PC role's; that row and the
    // ones after it were not sent.
    bool clash = false;

    static Outcome Done() { return {}; }
    static Outcome More() { return {.more = true}; }
    static Outcome Failed(QString problem) { return {.ok = false, .problem = std::move(problem)}; }
};

// One look at the record file: sends its new rows to the server, each as
// bound parameters, and notes in the file what the server confirmed.
//
// Before its first row the file's pc_id is claimed for this PC's role (the
// server binds a pc_id to the role that claimed it first), once for as long
// as the connection stays open. A pc_id that is
// another role's, or a row the server already holds under it that is
// another file's, means this file was copied or put back from a backup: it
// then takes a fresh pc_id (fresh_id.cpp). A row the server refuses for its
// values (a NUL character, a number out of range) is set aside with one
// line on standard error, and the rows after it still go.
class RowSender {
public:
    // `claimed`: the pc_id the server's role is known to own, kept by the
    // caller while `server` stays open (empty: none yet).
    RowSender(QSqlDatabase& local, PgConnection& server, int batch_rows, QString& claimed);

    // Reads this file's id and how far the server confirmed; false when the
    // file has no sync tables yet (the program upgrades it at its start) or
    // on a problem (then `problem` says which).
    bool Prepare(QString* problem);

    // One look: the pupils, the drills, then the answers, so that every
    // answer's pupil and drill is on the server before it.
    Outcome SendRound();

    // Answers the server has not confirmed yet (-1 when they cannot be counted).
    qint64 Waiting();

    const QString& last_sent() const { return last_sent_; }
    const QString& pc_id() const { return pc_id_; }
    // The file's layout version, read by Prepare.
    int layout_version() const { return layout_version_; }
    // Answers go with their work_id and skill (a server that has the
    // columns, a file that has them).
    void SendWorkColumns(bool send) { work_columns_ = send; }
    // Claims the file's pc_id for this role unless it is known to be its
    // own (a clash: another role's).
    Outcome EnsureClaimed() { return Claim(); }

private:
    struct Statement {
        QString sql;
        QVariantList values;
    };

    qint64 Top(const char* table, QString* error);
    Outcome SendAppended(const Table& table, qint64 last);
    Outcome SendDrills(const QString& only = QString());
    Outcome SendPupilChanges();
    // What the server did with a batch of rows, inside the caller's
    // transaction (begun again when a row was refused).
    struct Inserted {
        QString failure;                 // a failure other than a refused row; empty when none
        QSet<qint64> written;            // ids the server wrote (or brought up to date)
        QHash<qint64, QString> refused;  // ids the server refused for their values, and why
    };

    Outcome Claim();
    Outcome Deliver(const Table& table, std::vector<QVariantList>& rows, const QString& on_conflict);
    Inserted Insert(const Table& table, const std::vector<QVariantList>& rows, const QString& on_conflict);
    PgResult InsertStatements(const Table& table, const std::vector<QVariantList>& rows,
                              const QString& on_conflict, QSet<qint64>* written);
    bool FirstClash(const Table& table, const std::vector<const QVariantList*>& held, qint64* clash,
                    QString* problem);
    Outcome ConfirmHeld(const Table& table);
    Outcome TakeFreshId();
    Outcome Confirm(const std::vector<Statement>& notes, const char* table, qint64 up_to);
    Outcome ServerFailure(const QString& detail);

    static std::vector<QVariantList> Rows(QSqlQuery& q, std::size_t columns);
    static Outcome LocalFailure(const QSqlQuery& q);
    static Outcome LocalFailure(const QString& detail);

    QSqlDatabase& local_;
    PgConnection& server_;
    int batch_;
    QString pc_id_;
    QHash<QString, qint64> confirmed_;
    QString& claimed_;
    bool foreign_ = false;  // pc_id_ is another PC role's
    bool stale_ = false;    // the file's sync_confirmed changed under this look
    QString last_sent_;
    int layout_version_ = 0;
    bool work_columns_ = false;
};

// True for a SQLSTATE by which the server refuses a row for its values
// (data exceptions, a broken constraint, a value too large to index), as
// against a failure of the connection or of a privilege.
bool RefusesTheRow(const QString& sqlstate);

}  // namespace sorelka::sync
