#pragma once

#include <QSqlDatabase>
#include <QString>

// SQLite's own verdict on a record file, asked on a connection of its own.
namespace sorelka::record {

// A connection name no other connection of this process has.
QString NewConnectionName(const QString& prefix);

enum class CheckVerdict {
    Sound,    // quick_check answered "ok"
    Damaged,  // not a database, or quick_check found damage
    Unknown,  // the check could not run (busy, cannot open, a disk error): nothing is known
};

// `pragma quick_check` of the whole file on `db`. Damaged only when SQLite
// says so: a file is never set aside because it was busy or unreadable.
CheckVerdict QuickCheck(QSqlDatabase& db, QString* detail);

// The same on a read-only connection of its own to `path`, closed again.
CheckVerdict QuickCheckFile(const QString& path, QString* detail);

}  // namespace sorelka::record
