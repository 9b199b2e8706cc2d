#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/services.h"

// The daily copies of the record file in backups/ beside it. They belong to
// the record they were copied from: when that record is set aside, its
// copies move into backups/before-<stamp>/ and stay there until a teacher
// removes them, so a fresh record's copies never rotate them away.
namespace sorelka::record {

// How many daily copies of the current record are kept.
inline constexpr int kBackupsKept = 7;

// One daily copy in the backups folder.
struct BackupFile {
    QString name;        // kyozai-YYYYMMDD.db
    qint64 modified_ns;  // its file time
};

// The copies to remove so that `keep` are left: the oldest by file time
// first (by name when two times are equal), never `just_made`. File times,
// not the dates in the names: a PC whose clock fell behind names today's
// copy before the older ones.
QStringList BackupsToRemove(std::vector<BackupFile> copies, const QString& just_made, int keep);

// The day's copy: kyozai-YYYYMMDD.db.
QString DailyBackupName(const LocalTime& day);

// The daily copies directly in `folder`, with their file times.
std::vector<BackupFile> DailyBackups(const QString& folder);

// Copies the file open on `db` into `folder` as the day's copy when there is
// none for that day yet (VACUUM INTO a private .part file, renamed when
// whole), then removes the copies beyond `keep`. Empty when the copy was made
// or was there already, else what failed.
QString TakeDailyBackup(QSqlDatabase& db, const QString& folder, const LocalTime& today,
                        int keep = kBackupsKept);

// Moves the daily copies in `folder` into folder/before-<stamp>/ (with -2,
// -3 … when that folder exists). The folder made, or empty when there was
// nothing to move or it could not be made (the copies then stay where they
// are, and what failed is in `problem`).
QString MoveBackupsAside(const QString& folder, const QString& stamp, QString* problem);

}  // namespace sorelka::record
