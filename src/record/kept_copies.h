#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// The copies of the record a teacher may put back: files set aside beside
// the record, the daily copies of the current record, and those of records
// set aside earlier (backups/before-<stamp>/). Listing reads names and file
// times only; RecordStore::Restore puts one back.
namespace sorelka::record {

struct KeptCopy {
    enum class Kind {
        SetAside,       // kyozai.db.<why>-YYYYMMDD-HHMMSS beside the record
        Backup,         // backups/kyozai-YYYYMMDD.db: a daily copy of the current record
        EarlierBackup,  // backups/before-<stamp>/kyozai-YYYYMMDD.db: of a record set aside then
    };
    Kind kind = Kind::Backup;
    QString path;
    // SetAside: why it was set aside ("broken", "before-restore", "rebuilt");
    // EarlierBackup: the stamp of its folder (YYYYMMDD-HHMMSS).
    QString why;
    // SetAside: when it was set aside; backups: the day in their name.
    QDateTime when;
    QDateTime modified;  // the file's time
    qint64 bytes = 0;
};

// Every kept copy of the record at `record_path`: set-aside files newest
// first, then the current record's daily copies newest first, then earlier
// records' copies, newest set-aside first.
std::vector<KeptCopy> ListKeptCopies(const QString& record_path);

// One line for a list, in Japanese: "こわれていたため よけたファイル（2026/12/08 13:23）",
// "毎日のバックアップ（2026/12/07）", "前の記録のバックアップ（2026/12/05、2026/12/08 13:23 に よけた記録）".
QString DescribeKeptCopy(const KeptCopy& copy);

// What a copy holds, for the teacher to tell the copies apart.
struct CopyContents {
    int pupils = 0;   // names on its roster, archived ones too
    int answers = 0;  // rows of its history
};
// Reads `path` without changing it or making any file beside it (as the
// export reads the record); nullopt when it cannot be read as a record.
std::optional<CopyContents> ReadCopyContents(const QString& path);

// What RemoveKeptCopy did, with a sentence for the teacher.
struct RemoveResult {
    bool removed = false;
    QString message;  // Japanese, as plain text
    QString detail;   // the technical reason, for standard error
};
// Removes a copy a teacher no longer wants: a set-aside file (with its -wal
// and -shm) or a backup of a record set aside earlier (and its folder once
// empty). Only a copy ListKeptCopies(record_path) lists is removed, and
// never a daily copy of the current record: those the rotation keeps, the
// last seven, so a good copy of the record in use is always there.
RemoveResult RemoveKeptCopy(const QString& record_path, const QString& copy_path);

// What RecordStore::Restore did, with a sentence for the teacher.
struct RestoreResult {
    enum class Outcome {
        Restored,         // the copy is the record now; the file in use was set aside
        NotFound,         // no such copy
        NotARecord,       // the copy is damaged or is no record of this program
        CurrentNotMoved,  // the file in use could not be set aside: nothing changed
        NotCopied,        // the copy could not be written in place: the file in use is back
    };
    Outcome outcome = Outcome::NotFound;
    QString set_aside_as;  // Restored: where the file in use went (empty when there was none)
    QString message;       // Japanese, as plain text
    QString detail;        // the technical reason, for standard error
    bool ok() const { return outcome == Outcome::Restored; }
};

}  // namespace sorelka::record
