#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace sorelka::record {

// The record file opened for reading only, as a school's script's export
// needs it: nothing is upgraded, set aside, copied to the backups or made,
// and the file stays byte for byte as it was. A record of an older layout
// is read through a copy in memory brought up to this program's layout; a
// missing or empty file reads as an empty record. A file in write-ahead mode
// that no program has open is read through a private copy on the disk (so
// nothing is made beside it), kept only if the file did not change while it
// was copied; a log (-wal) left without its index (-shm) is copied with it,
// so every transaction committed to it is seen.
class ReadOnlyRecord {
public:
    // Waits up to `wait_ms` for another program that holds the file.
    ReadOnlyRecord(const QString& path, int wait_ms);
    ~ReadOnlyRecord();
    ReadOnlyRecord(const ReadOnlyRecord&) = delete;
    ReadOnlyRecord& operator=(const ReadOnlyRecord&) = delete;

    // The record could be read; database() holds it.
    bool ok() const { return problem_.isEmpty(); }
    QSqlDatabase database() const;
    // Why it could not, one Japanese line; the technical detail beside it.
    const QString& problem() const { return problem_; }
    const QString& detail() const { return detail_; }

private:
    bool OpenFile(int wait_ms);
    // How the file is opened: read-only beside the program that holds it,
    // or a private copy of the file (and its log) that SQLite may write.
    enum class Mode { ReadOnly, Copy };
    bool ReadOnce(const QString& path, Mode mode, int wait_ms);
    bool ReadCopy(bool with_log, int wait_ms);
    bool OpenInMemory();
    bool CopyIntoMemory(int version, int wait_ms);
    void Refuse(int code, const QString& detail, int wait_ms);

    QString path_;
    QString file_;    // connection to the file
    QString memory_;  // connection to the copy in memory, when one is made
    std::unique_ptr<QTemporaryDir> copy_;  // the private copy, when one is read
    bool in_memory_ = false;
    QString problem_;
    QString detail_;
};

}  // namespace sorelka::record
