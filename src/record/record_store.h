#pragma once

#include <climits>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "core/services.h"

namespace sorelka {

namespace record {

// One SQL statement with its values bound by position.
struct Statement {
    QString sql;
    QVariantList values;
};

// Statements written together or not at all.
using Transaction = std::vector<Statement>;

// Runs the statements of every layout step after `version` on `db`, in
// order, inside the caller's transaction: the record file's upgrade, and
// copies of the record built in memory. False, with the SQLite error, at the
// first statement that fails.
// Only the steps up to `up_to` when given.
bool ApplyLayoutSteps(QSqlDatabase& db, int version, QSqlError* error, int up_to = INT_MAX);

// Why the record could not be written as asked. Each cause is told to the
// user once per run, in Japanese; the technical detail goes to standard error.
enum class Trouble {
    Broken,        // not a database, damaged, removed or replaced: set aside, a fresh file made
    Busy,          // another program holds the file for longer than a short wait
    Full,          // no space left on the disk
    Unwritable,    // the file or its folder may not be written
    NewerVersion,  // made by a newer program: read only
    NoFolder,      // the data folder cannot be made
    NoDriver,      // Qt's SQLite driver is missing
};

// The record file kyozai.db: one SQLite connection on the user-interface
// thread that every table of the program writes through.
//
// - At start-up the file is opened and upgraded to this program's layout in
//   one transaction. A file that cannot be opened as a database is renamed to
//   kyozai.db.broken-YYYYMMDD-HHMMSS (with its -wal and -shm files) and a fresh
//   one made. SQLite's quick check of the whole file and the day's backup run
//   on a thread of their own, so a large record does not slow the start;
//   the first write waits for the check.
// - Every transaction is committed before Commit() returns, or, when the file
//   cannot take it (busy, disk full, not writable), kept in memory in order
//   and written at the next chance: a retry timer, or the next Commit(). No
//   committed or kept answer is ever lost while the program runs.
// - A file that goes bad while the program runs (removed, replaced, damaged)
//   is rebuilt at the next write: from this connection's own copy of the
//   rows when the file was only removed or replaced, otherwise set aside and
//   made fresh; the write that failed then goes into the new file.
class RecordStore : public QObject {
    Q_OBJECT
public:
    enum class CheckMode { Background, Synchronous };

    // `clock` names set-aside files and backups by its date; without one the
    // system clock does.
    RecordStore(QString path, Dialogs& dialogs, const Clock* clock = nullptr,
                CheckMode check = CheckMode::Background, QObject* parent = nullptr);
    ~RecordStore() override;

    // kyozai.db in the per-user data folder.
    static QString DefaultPath();

    // Refused: the file is sound but will never take this transaction (it
    // breaks a constraint); it is dropped and noted on standard error.
    enum class Result { Written, Kept, Refused };
    // Writes `transaction` after every transaction kept before it.
    Result Commit(Transaction transaction);
    // Tries to write what is kept; true when nothing is kept any more.
    bool Flush();
    // Copies the write-ahead log into the database file and starts the log
    // afresh (the program's timer does this a moment after writes).
    void CopyLogIntoFile();
    std::size_t kept() const { return kept_.size(); }

    // The connection for reading (invalid while the file could not be opened).
    QSqlDatabase database() const;
    bool is_open() const { return open_; }
    // Opens the file for reading if it has appeared since; true when open.
    bool Ready();
    bool read_only() const { return read_only_; }
    const QString& path() const { return path_; }
    // Where a broken file was put aside in this run (empty when none was).
    const QStringList& set_aside() const { return set_aside_; }
    // Waits for the start-up check (and the day's backup) to finish.
    void WaitForBackgroundWork();

    // The backups folder beside the file, and how many daily copies are kept.
    QString BackupFolder() const;
    static constexpr int kBackupsKept = 7;

signals:
    // The connection is about to close: readers must drop their queries.
    void aboutToReopen();
    // The file was opened again (maybe a fresh one): readers re-read.
    void reopened();
    // Kept transactions were written by a later try (not the commit that
    // handed them over, whose caller re-reads what it shows itself).
    void written();
    // Every transaction handed to Commit(), in order, before it is tried
    // (lets a checker replay what the file must hold).
    void accepted(const sorelka::record::Transaction& transaction);

private:
    struct CheckResult {
        bool done = false;
        bool ok = true;
        QString detail;
    };

    bool OpenFile(bool report);
    bool OpenConnection(bool read_only);
    void CloseConnection();
    int Upgrade(QString* detail);
    void SetAsideAndStartFresh(const QString& reason);
    bool Recover(const QString& reason);
    bool FileStillOurs() const;
    void NoteFileIdentity();
    bool WriteOne(const Transaction& transaction, int* code, QString* detail);
    void StartBackgroundWork();
    void TakeCheckResult();
    void Tell(Trouble trouble, const QString& detail = QString());
    QString Stamp() const;
    QString AsideName() const;

    QString path_;
    Dialogs& dialogs_;
    const Clock* clock_;
    LocalTime Today() const;
    CheckMode check_mode_;
    QString connection_;
    bool open_ = false;
    bool read_only_ = false;
    struct Kept {
        quint64 serial;
        Transaction transaction;
    };
    std::deque<Kept> kept_;
    quint64 next_serial_ = 0;
    quint64 last_refused_ = 0;
    bool committing_ = false;
    int writes_since_checkpoint_ = 0;
    std::set<Trouble> told_;
    QStringList set_aside_;
    QTimer retry_;
    QTimer checkpoint_;
    qint64 kept_since_ms_ = 0;
    // The file this connection writes: device and inode, to notice a file
    // removed or replaced under the running program.
    quint64 device_ = 0;
    quint64 inode_ = 0;

    std::thread worker_;
    std::mutex check_mutex_;
    std::condition_variable check_done_;
    CheckResult check_;
    bool check_taken_ = true;
};

}  // namespace record
}  // namespace sorelka
