#pragma once

#include <climits>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "core/services.h"
#include "record/backups.h"
#include "record/kept_copies.h"
#include "record/pending_journal.h"
#include "record/transaction.h"

namespace sorelka {

namespace record {

// Runs the statements of every layout step after `version` on `db`, in
// order, inside the caller's transaction: the record file's upgrade, and
// copies of the record built in memory. False, with the SQLite error, at the
// first statement that fails.
// Only the steps up to `up_to` when given.
bool ApplyLayoutSteps(QSqlDatabase& db, int version, QSqlError* error, int up_to = INT_MAX);

// Why the record could not be written as asked. Each cause is told to the
// user once per run, in Japanese, with what to tell the teacher where a
// teacher can help; the technical detail goes to standard error.
enum class Trouble {
    Broken,          // not a database or damaged (SQLite's check agrees): set aside, a fresh file made
    Busy,            // another program holds the file for longer than a short wait
    Full,            // no space left on the disk
    Unwritable,      // the file or its folder may not be written
    CannotOpen,      // the file or its -wal/-shm cannot be opened (another account's files)
    DiskError,       // the disk failed a read or a write
    UpgradeFailed,   // a layout step failed: the file is kept as it was
    NewerVersion,    // made by a newer program: read only
    NoFolder,        // the data folder cannot be made
    NoDriver,        // Qt's SQLite driver is missing
    KeptForNextStart,  // quitting with answers not written yet: they wait in the journal
    NotKept,         // quitting with answers neither written nor in the journal
};

// What a message names: the file, where a file was set aside, how many answers wait.
struct TroubleFacts {
    QString path;
    QString set_aside_as;
    std::size_t waiting = 0;
};
// The Japanese message for `trouble`.
QString TroubleText(Trouble trouble, const TroubleFacts& facts);

// The record file kyozai.db: one SQLite connection on the user-interface
// thread that every table of the program writes through.
//
// - At start-up the file is opened and upgraded to this program's layout in
//   one transaction (a file whose user_version was lost gets its version
//   from its tables). SQLite's quick check of the whole file and the day's
//   backup run on a thread of their own, so a large record does not slow
//   the start; the first write waits for the check.
// - A file is set aside (renamed to kyozai.db.broken-YYYYMMDD-HHMMSS, with
//   its -wal and -shm, its daily copies moved to backups/before-<stamp>/)
//   and a fresh one made only when SQLite says it is not a database or is
//   damaged and its quick check agrees. A file that cannot be opened, a disk
//   error or a failed upgrade keep the file as it is and the answers waiting.
// - Every transaction is committed before Commit() returns, or, when the file
//   cannot take it (busy, disk full, not writable, not openable), kept in
//   order and written at the next chance: a retry timer, or the next
//   Commit(). A kept transaction is also appended to the journal beside the
//   file (kyozai.db.pending), synced to the disk, so it survives the
//   program; the next start writes the journal's transactions first.
// - A file that goes bad while the program runs (removed, replaced, damaged)
//   is rebuilt at the next write: from this connection's own copy of the
//   rows when the file was only removed or replaced, otherwise set aside and
//   made fresh; the write that failed then goes into the new file.
// - The data folder is made 0700, the file, its journal and its backups 0600.
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
    // How many of them are also in a journal, so they outlive the program
    // (the others are in memory only: the journal could not be written).
    std::size_t journaled() const;
    // Before the program ends: tries the kept transactions for up to
    // `wait_ms`, then, when some are still kept, tells the user once that
    // they wait in the journal for the next start.
    void SettleBeforeQuit(int wait_ms = 3000);

    // The connection for reading (invalid while the file could not be opened).
    QSqlDatabase database() const;
    bool is_open() const { return open_; }
    // Opens the file for reading if it has appeared since; true when open.
    bool Ready();
    bool read_only() const { return read_only_; }
    const QString& path() const { return path_; }
    // Where files were set aside in this run (empty when none was).
    const QStringList& set_aside() const { return set_aside_; }
    // Waits for the start-up check (and the day's backup) to finish.
    void WaitForBackgroundWork();

    // The backups folder beside the file.
    QString BackupFolder() const;
    static constexpr int kBackupsKept = record::kBackupsKept;

    // Puts a kept copy (a set-aside file or a backup, see ListKeptCopies) in
    // place of the record: the file in use is set aside first, never
    // overwritten, and its daily copies go with it; the copy itself stays
    // where it is. Transactions still kept are written into the restored file.
    RestoreResult Restore(const QString& copy);

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
        bool damaged = false;
        QString detail;
    };
    // Why opening or upgrading stopped: the SQLite code, and whether a
    // layout step (not the opening) failed.
    struct OpenFailure {
        int code = 0;
        QString detail;
        bool in_layout_step = false;
    };
    struct Kept {
        quint64 serial;
        Transaction transaction;
        PendingJournal* journal = nullptr;  // the journal it is in, none yet
        quint64 journal_number = 0;         // its number there
        bool earlier_run = false;           // read from a journal an earlier run left
    };

    bool OpenFile(bool report);
    bool KeepOrSetAside(const OpenFailure& failure, bool report);
    bool OpenConnection(bool read_only);
    void CloseConnection();
    void CloseWithoutCopyingLog();
    // Moves aside a -wal beside the file that is not the file's own.
    void SetAsideLogNotItsOwn();
    OpenFailure Upgrade();
    void SetAsideAndStartFresh(const QString& reason);
    QString SetAsideWhatIsAtPath(const QString& why, QString* stamp);
    bool Recover(const QString& reason);
    bool FileStillOurs() const;
    void NoteFileIdentity();
    bool WriteOne(const Kept& kept, int* code, QString* detail);
    void LoadJournal();
    void KeepRefused(const QString& journal, const std::vector<QByteArray>& refused);
    void JournalKept();
    void RemoveWrittenJournals();
    void StartBackgroundWork();
    void TakeCheckResult();
    void JoinWorker();
    // Waits for the check's thread and forgets what it found.
    void DropCheck();
    void Tell(Trouble trouble, const QString& detail = QString());
    QString Stamp() const;
    QString AsideName(const QString& why, const QString& stamp) const;
    LocalTime Today() const;

    QString path_;
    Dialogs& dialogs_;
    const Clock* clock_;
    CheckMode check_mode_;
    QString connection_;
    bool open_ = false;
    bool read_only_ = false;
    // The file is at this program's layout (false while an upgrade waits).
    bool layout_ready_ = false;
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
    // This run's journal first, then those earlier runs left, until written.
    std::vector<std::unique_ptr<PendingJournal>> journals_;
    bool journal_failed_ = false;
    qint64 last_open_try_ms_ = 0;
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
