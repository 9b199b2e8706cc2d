#pragma once

#include <QSqlError>

// What an SQLite result code says about the record file, in one vocabulary
// for the store, its recovery and its readers.
namespace sorelka::record {

// SQLite's primary result codes (the low byte of an extended code).
inline constexpr int kSqliteError = 1;
inline constexpr int kSqlitePerm = 3;
inline constexpr int kSqliteBusy = 5;
inline constexpr int kSqliteLocked = 6;
inline constexpr int kSqliteReadOnly = 8;
inline constexpr int kSqliteIoError = 10;
inline constexpr int kSqliteCorrupt = 11;
inline constexpr int kSqliteFull = 13;
inline constexpr int kSqliteCantOpen = 14;
inline constexpr int kSqliteTooBig = 18;
inline constexpr int kSqliteConstraint = 19;
inline constexpr int kSqliteMismatch = 20;
inline constexpr int kSqliteRange = 25;
inline constexpr int kSqliteNotADb = 26;
// SQLITE_READONLY_DBMOVED: the file was renamed or removed under the connection.
inline constexpr int kSqliteReadOnlyDbMoved = kSqliteReadOnly | (4 << 8);

// The code of a failed statement, -1 when Qt gave none.
inline int Code(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

enum class Failure {
    Damaged,     // not a database, or damaged pages: set aside only once SQLite's check agrees
    Moved,       // the file was removed or renamed under the open connection
    CannotOpen,  // the file (or its -wal/-shm) cannot be opened: permissions, another account's files
    DiskError,   // the disk failed a read or a write
    Busy,        // another program holds the lock
    Full,        // no space left
    Unwritable,  // the file or its folder may not be written
    Refused,     // the file is sound but will never take this transaction (a constraint it breaks)
    Other,
};

inline Failure Classify(int code) {
    const int primary = code % 256;
    if (code == kSqliteReadOnlyDbMoved) return Failure::Moved;
    if (primary == kSqliteNotADb || primary == kSqliteCorrupt) return Failure::Damaged;
    if (primary == kSqliteCantOpen) return Failure::CannotOpen;
    if (primary == kSqliteIoError) return Failure::DiskError;
    if (primary == kSqliteBusy || primary == kSqliteLocked) return Failure::Busy;
    if (primary == kSqliteFull) return Failure::Full;
    if (primary == kSqliteReadOnly || primary == kSqlitePerm) return Failure::Unwritable;
    if (primary == kSqliteTooBig || primary == kSqliteConstraint || primary == kSqliteMismatch ||
        primary == kSqliteRange)
        return Failure::Refused;
    return Failure::Other;
}

}  // namespace sorelka::record
