#include "record/record_store.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <cstdio>

#include "core/services.h"
#include "record/file_check.h"
#include "record/private_files.h"
#include "record/record_detail.h"
#include "record/schema.h"
#include "record/sqlite_codes.h"

namespace sorelka::record {

namespace {

// A write waits this long for another program's lock, then is kept and
// tried again a second later: the pupil's click never hangs on it.
constexpr int kBusyTimeoutMs = 200;
// The write-ahead log is copied into the file after this many writes.
constexpr int kWritesPerCheckpoint = 100;
// How often kept transactions are tried again.
constexpr int kRetryMs = 1000;
// Kept transactions waiting for another program's lock are told about once
// they have waited this long (a short wait is not worth a message box).
constexpr qint64 kBusyTellAfterMs = 10000;

qint64 NowMs() { return QDateTime::currentMSecsSinceEpoch(); }

}  // namespace

void Detail(const QString& what) { std::fprintf(stderr, "sorelka: %s\n", what.toLocal8Bit().constData()); }

RecordStore::RecordStore(QString path, Dialogs& dialogs, const Clock* clock, CheckMode check,
                         QObject* parent)
    : QObject(parent),
      path_(std::move(path)),
      dialogs_(dialogs),
      clock_(clock),
      check_mode_(check),
      connection_(NewConnectionName(QStringLiteral("kyozai"))) {
    setObjectName(QStringLiteral("RecordStore"));
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] { Flush(); });
    // Copying the write-ahead log into the database syncs the disk, which can
    // take tens of milliseconds: it is done outside the pupil's click, a
    // moment after every hundredth write or when the record has been quiet
    // for half a minute, not after every answer.
    checkpoint_.setSingleShot(true);
    connect(&checkpoint_, &QTimer::timeout, this, &RecordStore::CopyLogIntoFile);
    // A record that does not exist yet is made by the first write, so a
    // start that writes nothing leaves nothing behind.
    if (QFileInfo::exists(path_) && OpenFile(true) && !read_only_) StartBackgroundWork();
    // What an earlier run kept goes in before anything of this run.
    LoadJournal();
}

RecordStore::~RecordStore() {
    JoinWorker();
    if (!kept_.empty()) Flush();
    if (!kept_.empty()) {
        JournalKept();
        Detail(QStringLiteral("%1 record transaction(s) could not be written to %2%3")
                   .arg(kept_.size())
                   .arg(path_, journaled() == kept_.size() ? QStringLiteral("; they wait in the journal for the next start")
                                                  : QStringLiteral(" and are lost")));
    }
    emit aboutToReopen();  // readers drop their queries before the connection goes
    CloseConnection();
    QSqlDatabase::removeDatabase(connection_);
}

QString RecordStore::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/kyozai.db");
}

QSqlDatabase RecordStore::database() const {
    return QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                               : QSqlDatabase();
}

bool RecordStore::Ready() {
    // A file that would not open is tried again at most once a second: every
    // reader asks, and a check of a large file takes a while.
    if (!open_ && QFileInfo::exists(path_) && NowMs() - last_open_try_ms_ >= kRetryMs &&
        OpenFile(true) && !read_only_ && !worker_.joinable() && check_taken_)
        StartBackgroundWork();
    return open_;
}

QString RecordStore::BackupFolder() const {
    return QFileInfo(path_).absolutePath() + QStringLiteral("/backups");
}

LocalTime RecordStore::Today() const {
    if (clock_) return clock_->Now();
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
            now.time().minute(), now.time().second()};
}

void RecordStore::Tell(Trouble trouble, const QString& detail) {
    if (told_.count(trouble)) return;
    told_.insert(trouble);
    if (!detail.isEmpty()) Detail(detail);
    const TroubleFacts facts{path_, set_aside_.isEmpty() ? path_ : set_aside_.back(), kept_.size()};
    dialogs_.ShowMessage(TroubleText(trouble, facts).toStdString());
}

bool RecordStore::OpenConnection(bool read_only) {
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) return false;
    db.setDatabaseName(path_);
    db.setConnectOptions(read_only ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                   : QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    return db.open();
}

void RecordStore::CloseConnection() {
    open_ = false;
    layout_ready_ = false;
    if (!QSqlDatabase::contains(connection_)) return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isOpen()) db.close();
}

void RecordStore::NoteFileIdentity() {
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) == 0) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
    } else {
        device_ = inode_ = 0;
    }
}

bool RecordStore::FileStillOurs() const {
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0) return false;
    return st.st_dev == device_ && st.st_ino == inode_;
}

namespace {

// True when `sql` adds a column the table has already: SQLite has no "add
// column if not exists", and a step may run again over its own work.
bool AddsAColumnThatIsThere(QSqlDatabase& db, const QString& sql) {
    static const QRegularExpression adds(QStringLiteral("^alter table (\\w+) add column (\\w+)"));
    const QRegularExpressionMatch m = adds.match(sql);
    if (!m.hasMatch()) return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from pragma_table_info(?) where name = ?"));
    q.addBindValue(m.captured(1));
    q.addBindValue(m.captured(2));
    return q.exec() && q.next();
}

}  // namespace

bool ApplyLayoutSteps(QSqlDatabase& db, int version, QSqlError* error, int up_to) {
    QSqlQuery q(db);
    for (const Migration& step : Migrations()) {
        if (step.version <= version || step.version > up_to) continue;
        for (const QString& sql : step.statements) {
            if (AddsAColumnThatIsThere(db, sql)) continue;
            if (!q.exec(sql)) {
                if (error) *error = q.lastError();
                return false;
            }
        }
    }
    return true;
}

RecordStore::OpenFailure RecordStore::Upgrade() {
    QSqlDatabase db = database();
    QSqlQuery q(db);
    auto failed = [](const QSqlError& error, bool in_step = false) {
        const int code = Code(error);
        return OpenFailure{code > 0 ? code : kSqliteError, error.text(), in_step};
    };
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) return failed(q.lastError());
    const int stamped = q.value(0).toInt();
    q.finish();
    if (stamped > SchemaVersion()) {
        // A newer program's file: read it, never write it.
        CloseConnection();
        if (!OpenConnection(true)) return failed(database().lastError());
        open_ = true;
        read_only_ = true;
        layout_ready_ = true;
        Tell(Trouble::NewerVersion, QStringLiteral("%1 has layout version %2, this program knows %3")
                                        .arg(path_)
                                        .arg(stamped)
                                        .arg(SchemaVersion()));
        return {};
    }
    // A file whose version was lost (restored from a dump of its statements)
    // still holds its tables: they tell how far its layout went.
    const int version = stamped != 0 ? stamped : LayoutVersionFromTables(db);
    if (stamped != SchemaVersion()) {
        // Older file: every missing step in one transaction, so a failure
        // leaves the file as it was, byte for byte.
        if (!q.exec(QStringLiteral("begin immediate"))) return failed(q.lastError());
        if (QSqlError error; !ApplyLayoutSteps(db, version, &error)) {
            QSqlQuery(db).exec(QStringLiteral("rollback"));
            return failed(error, true);
        }
        if (!q.exec(QStringLiteral("pragma user_version = %1").arg(SchemaVersion())) ||
            !q.exec(QStringLiteral("commit"))) {
            const OpenFailure failure = failed(q.lastError());
            QSqlQuery(db).exec(QStringLiteral("rollback"));
            return failure;
        }
    }
    // Write-ahead logging with normal syncing: every commit is in the file
    // before the handler returns, so a crash of the program loses no row, and
    // an answer costs well under a millisecond instead of a disk sync. A
    // reader never blocks the writer.
    if (!q.exec(QStringLiteral("pragma journal_mode=wal"))) return failed(q.lastError());
    q.exec(QStringLiteral("pragma synchronous=normal"));
    q.exec(QStringLiteral("pragma wal_autocheckpoint=0"));
    layout_ready_ = true;
    return {};
}

bool RecordStore::OpenFile(bool report) {
    last_open_try_ms_ = NowMs();
    if (open_) {
        emit aboutToReopen();
        CloseConnection();
    }
    read_only_ = false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        if (report) Tell(Trouble::NoDriver);
        return false;
    }
    if (!MakePrivateFolder(QFileInfo(path_).absolutePath())) {
        if (report) Tell(Trouble::NoFolder);
        return false;
    }
    const QFileInfo file(path_);
    if (file.exists() && !file.isFile()) {
        // A folder or anything else but a file in its place cannot be a
        // record; it is moved aside whole, never emptied.
        SetAsideAndStartFresh(QStringLiteral("not a file"));
        return open_;
    }
    // An empty file is an empty database: a fresh record, made private
    // before SQLite writes a byte.
    const bool existed = file.exists();
    if (existed) {
        for (const char* side : {"", "-wal", "-shm"}) KeepPrivate(path_ + QLatin1String(side));
        SetAsideLogNotItsOwn();
    } else if (!MakePrivateFile(path_)) {
        if (report) Tell(Trouble::Unwritable, QStringLiteral("%1 cannot be made").arg(path_));
        return false;
    }
    OpenFailure failure;
    if (!OpenConnection(false)) {
        failure = {Code(database().lastError()), database().lastError().text(), false};
    } else {
        open_ = true;
        failure = Upgrade();
        if (failure.code == 0) {
            NoteFileIdentity();
            emit reopened();
            return true;
        }
    }
    if (!existed) {
        // The file this open made could not be set up (no space, say): it
        // goes again, and the writes wait for the next try.
        CloseConnection();
        for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path_ + QLatin1String(side));
        if (report)
            Tell(Classify(failure.code) == Failure::Full ? Trouble::Full : Trouble::Unwritable,
                 QStringLiteral("%1: %2").arg(path_, failure.detail));
        return false;
    }
    return KeepOrSetAside(failure, report);
}

void RecordStore::CopyLogIntoFile() {
    checkpoint_.stop();
    writes_since_checkpoint_ = 0;
    if (!open_ || read_only_ || !layout_ready_) return;
    QSqlQuery q(database());
    // busy, frames in the log, frames copied
    if (!q.exec(QStringLiteral("pragma wal_checkpoint(passive)")) || !q.next()) return;
    const bool whole_log_copied = q.value(0).toInt() == 0 && q.value(1).toInt() > 0 &&
                                  q.value(1).toInt() == q.value(2).toInt();
    q.finish();
    // The next write starts the log afresh, and that start syncs the log's
    // new header to the disk (several milliseconds on a busy disk). A write
    // that changes nothing makes that start here rather than in the next
    // answer's click.
    if (whole_log_copied) q.exec(QStringLiteral("pragma user_version = %1").arg(SchemaVersion()));
}

bool RecordStore::WriteOne(const Kept& kept, int* code, QString* detail) {
    QSqlDatabase db = database();
    QSqlQuery q(db);
    auto fail = [&](const QSqlError& error) {
        *code = Code(error);
        *detail = error.text();
        q.finish();
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        return false;
    };
    // Takes the write lock up front, so a busy file waits here, not half-way.
    if (!q.exec(QStringLiteral("begin immediate"))) return fail(q.lastError());
    const QString journal = kept.journal ? kept.journal->id() : QString();
    bool already = false;
    if (kept.journal) {
        // A journal entry an earlier run wrote before it was killed is
        // written once.
        q.prepare(QStringLiteral("select up_to from pending_written where journal = ?"));
        q.addBindValue(journal);
        if (!q.exec()) return fail(q.lastError());
        already = q.next() && q.value(0).toULongLong() >= kept.journal_number;
        q.finish();
    }
    for (const Statement& statement : already ? Transaction{} : kept.transaction) {
        if (!q.prepare(statement.sql)) return fail(q.lastError());
        for (const QVariant& value : statement.values) q.addBindValue(value);
        if (!q.exec()) return fail(q.lastError());
    }
    if (kept.journal && !already) {
        q.prepare(QStringLiteral("insert into pending_written (journal, up_to) values (?, ?)"
                                 " on conflict (journal) do update set up_to = excluded.up_to"));
        q.addBindValue(journal);
        q.addBindValue(kept.journal_number);
        if (!q.exec()) return fail(q.lastError());
        // Every journal's mark stays, also once its journal is removed: a
        // journal left on the disk by a kill (or put back) is replayed
        // again, and its mark is what keeps its written entries from going
        // in twice. A mark is one small row per journal ever made, and a
        // journal is made only by a run that found the file busy.
    }
    q.finish();
    if (!q.exec(QStringLiteral("commit"))) return fail(q.lastError());
    return true;
}

RecordStore::Result RecordStore::Commit(Transaction transaction) {
    emit accepted(transaction);
    const quint64 serial = ++next_serial_;
    kept_.push_back({serial, std::move(transaction)});
    // The caller re-reads what it shows after its own commit: written() is
    // for rows written later, by the retry.
    committing_ = true;
    Flush();
    committing_ = false;
    if (last_refused_ == serial) return Result::Refused;
    return !kept_.empty() && kept_.back().serial == serial ? Result::Kept : Result::Written;
}

bool RecordStore::Flush() {
    TakeCheckResult();
    if (kept_.empty()) return true;
    if (read_only_) return false;
    bool wrote = false;
    for (int attempts = 0; !kept_.empty() && attempts < 4;) {
        if ((!open_ || !layout_ready_) && (!OpenFile(true) || !layout_ready_)) break;
        if (!FileStillOurs()) {
            ++attempts;
            if (!Recover(QStringLiteral("the file was removed or replaced"))) break;
            continue;
        }
        int code = 0;
        QString detail;
        if (WriteOne(kept_.front(), &code, &detail)) {
            kept_.pop_front();
            wrote = true;
            continue;
        }
        const Failure failure = Classify(code);
        if (failure == Failure::Damaged || failure == Failure::Moved ||
            (failure != Failure::Busy && failure != Failure::Refused && !FileStillOurs())) {
            ++attempts;
            if (!Recover(detail)) break;
            continue;
        }
        if (failure == Failure::Other && kept_.front().earlier_run && FileStillOurs()) {
            // An entry an earlier run kept that a sound file will not run
            // must not hold up every later answer at every start: it is
            // kept beside, not run, and the replay goes on.
            if (const std::optional<QByteArray> values = EncodeValues(kept_.front().transaction))
                KeepRefused(kept_.front().journal ? kept_.front().journal->path() : path_, {*values});
            Detail(QStringLiteral("%1 would not take an entry kept by an earlier run: %2").arg(path_, detail));
            kept_.pop_front();
            continue;
        }
        if (failure == Failure::Refused) {
            Detail(QStringLiteral("%1 refused a transaction, which is dropped: %2 (%3)")
                       .arg(path_, detail,
                            kept_.front().transaction.empty()
                                ? QString()
                                : kept_.front().transaction.front().sql));
            last_refused_ = kept_.front().serial;
            kept_.pop_front();
            continue;
        }
        const QString said = QStringLiteral("%1: %2 (code %3)").arg(path_, detail).arg(code);
        if (failure == Failure::Busy) {
            if (kept_since_ms_ == 0) kept_since_ms_ = NowMs();
            if (NowMs() - kept_since_ms_ >= kBusyTellAfterMs) Tell(Trouble::Busy, said);
        } else if (failure == Failure::Full) {
            Tell(Trouble::Full, said);
        } else if (failure == Failure::Unwritable) {
            Tell(Trouble::Unwritable, said);
        } else {
            // Cannot open, a disk error, anything else: the file is kept,
            // opened and checked again before the next try.
            Tell(failure == Failure::CannotOpen ? Trouble::CannotOpen : Trouble::DiskError, said);
            emit aboutToReopen();
            CloseConnection();
        }
        break;
    }
    if (wrote) {
        ++writes_since_checkpoint_;
        checkpoint_.start(writes_since_checkpoint_ >= kWritesPerCheckpoint ? 400 : 30000);
        if (!committing_) emit written();
    }
    if (wrote || kept_.empty()) RemoveWrittenJournals();
    if (kept_.empty()) {
        kept_since_ms_ = 0;
        retry_.stop();
        return true;
    }
    JournalKept();
    if (kept_since_ms_ == 0) kept_since_ms_ = NowMs();
    if (!retry_.isActive()) retry_.start();
    return false;
}

}  // namespace sorelka::record
