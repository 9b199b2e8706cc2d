// The record store when its file goes wrong: a file SQLite finds damaged
// is set aside (only once its quick check agrees), a file removed or
// replaced under the running program is rebuilt from the open connection,
// and the start-up check and the day's backup run on a thread of their own.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include "record/backups.h"
#include "record/file_check.h"
#include "record/private_files.h"
#include "record/record_detail.h"
#include "record/record_store.h"
#include "record/sqlite_codes.h"

namespace sorelka::record {

namespace {

// Another connection has the record open: SQLite's connections to a file in
// write-ahead mode each hold a read lock on one byte of its -shm (the byte
// after its eight locks at 120) for as long as they are open.
bool LogInUse(const QString& shm) {
    const int fd = ::open(QFile::encodeName(shm).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 128;
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// What the record says of itself, read with its log or without it: SQLite's
// check, its tables and its random id (every record file has its own from
// the day it is made).
struct CopyFacts {
    CheckVerdict verdict = CheckVerdict::Unknown;
    QSet<QString> tables;
    QString id;
};

// Reads the record in place, nothing copied (a full disk must not keep the
// check from running). Without the log: opened immutable, so SQLite reads
// the file alone. With it: a connection that never checkpoints, set before
// its first read, so nothing of the log is copied into the file, and the
// log and its index stay as they were.
CopyFacts ReadRecordFacts(const QString& record, bool with_log) {
    CopyFacts facts;
    const QString name = NewConnectionName(QStringLiteral("kyozai-log-check"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (with_log) {
            db.setDatabaseName(record);
        } else {
            db.setDatabaseName(QUrl::fromLocalFile(record).toString() + QStringLiteral("?immutable=1"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        }
        bool ready = db.open();
        if (ready && with_log) {
            const QVariant handle = db.driver()->handle();
            sqlite3* raw = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                               ? *static_cast<sqlite3* const*>(handle.constData())
                               : nullptr;
            int set = 0;
            ready = raw && sqlite3_db_config(raw, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, &set) == SQLITE_OK && set == 1;
        }
        QString detail;
        if (ready) facts.verdict = QuickCheck(db, &detail);
        if (facts.verdict == CheckVerdict::Sound) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("select name from sqlite_master where type = 'table'")))
                while (q.next()) facts.tables.insert(q.value(0).toString());
            if (facts.tables.contains(QStringLiteral("sync_source")) &&
                q.exec(QStringLiteral("select pc_id from sync_source")) && q.next())
                facts.id = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return facts;
}

}  // namespace

void RecordStore::SetAsideLogNotItsOwn() {
    const QString log = path_ + QStringLiteral("-wal");
    const QString shm = path_ + QStringLiteral("-shm");
    if (QFileInfo(log).size() == 0 || LogInUse(shm)) return;
    // A log SQLite would copy into the file is checked first: one that
    // makes a sound file damaged or another file is not the file's own
    // (another record's, left by a killed program, or damaged). It is kept beside, never
    // copied in, and the file is opened as it is.
    // A log of the file's own only adds to it: the file with its log keeps
    // every table and the id the file has alone.
    const CopyFacts with_log = ReadRecordFacts(path_, true);
    if (with_log.verdict == CheckVerdict::Unknown) return;
    const CopyFacts alone = ReadRecordFacts(path_, false);
    if (alone.verdict != CheckVerdict::Sound) return;
    if (with_log.verdict == CheckVerdict::Sound && with_log.tables.contains(alone.tables) &&
        (alone.id.isEmpty() || with_log.id == alone.id))
        return;
    const QString aside = AsideName(QStringLiteral("foreign-log"), Stamp());
    const bool moved = QFile::rename(log, aside + QStringLiteral("-wal"));
    if (moved && QFileInfo::exists(shm)) QFile::rename(shm, aside + QStringLiteral("-shm"));
    Detail(QStringLiteral("%1 does not fit %2 (the file is sound without it)%3")
               .arg(log, path_, moved ? QStringLiteral("; kept as %1-wal").arg(aside) : QStringLiteral("; it could not be moved")));
}

void RecordStore::CloseWithoutCopyingLog() {
    // The log goes with the file it belongs to, as it is: closing must not
    // copy it into a file about to be set aside.
    const QSqlDatabase db = database();
    if (db.isOpen() && db.driver()) {
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            if (sqlite3* raw = *static_cast<sqlite3* const*>(handle.constData()))
                sqlite3_db_config(raw, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    CloseConnection();
}

bool RecordStore::KeepOrSetAside(const OpenFailure& failure, bool report) {
    QString detail = QStringLiteral("%1: %2 (code %3)").arg(path_, failure.detail).arg(failure.code);
    Trouble trouble = Trouble::CannotOpen;
    switch (Classify(failure.code)) {
        case Failure::Damaged: {
            QString check;
            if (QuickCheckFile(path_, &check) == CheckVerdict::Damaged) {
                SetAsideAndStartFresh(failure.detail + QStringLiteral("; quick_check: ") + check);
                return open_;
            }
            // SQLite's own check does not agree: nothing is set aside.
            detail += QStringLiteral("; quick_check: ") + check;
            trouble = Trouble::DiskError;
            break;
        }
        case Failure::Busy:
        case Failure::Full:
        case Failure::Unwritable:
            if (open_) {
                // A sound file that cannot be written just now: open for
                // reading, and the layout is tried again before a write.
                NoteFileIdentity();
                if (report && Classify(failure.code) != Failure::Busy)
                    Tell(Classify(failure.code) == Failure::Full ? Trouble::Full : Trouble::Unwritable, detail);
                emit reopened();
                return true;
            }
            trouble = Classify(failure.code) == Failure::Full ? Trouble::Full : Trouble::Unwritable;
            break;
        case Failure::DiskError:
            trouble = Trouble::DiskError;
            break;
        default:
            trouble = failure.in_layout_step ? Trouble::UpgradeFailed : Trouble::CannotOpen;
            break;
    }
    // The file stays as it is; the answers wait in memory and the journal.
    if (open_) emit aboutToReopen();
    CloseConnection();
    if (report) Tell(trouble, detail);
    return false;
}

QString RecordStore::Stamp() const {
    const LocalTime t = Today();
    return QString::asprintf("%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                             t.second);
}

// kyozai.db.<why>-YYYYMMDD-HHMMSS, with -2, -3 … when that name is taken.
QString RecordStore::AsideName(const QString& why, const QString& stamp) const {
    const QString base = path_ + QLatin1Char('.') + why + QLatin1Char('-') + stamp;
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = base + QStringLiteral("-%1").arg(n);
    return aside;
}

QString RecordStore::SetAsideWhatIsAtPath(const QString& why, QString* stamp) {
    *stamp = Stamp();
    const QString aside = AsideName(why, *stamp);
    if (!QFile::rename(path_, aside) && !QDir().rename(path_, aside)) return QString();
    for (const char* side : {"-wal", "-shm"}) {
        const QString from = path_ + QLatin1String(side);
        if (QFileInfo::exists(from)) QFile::rename(from, aside + QLatin1String(side));
    }
    set_aside_.push_back(aside);
    return aside;
}

void RecordStore::SetAsideAndStartFresh(const QString& reason) {
    DropCheck();
    emit aboutToReopen();
    CloseWithoutCopyingLog();
    QString stamp;
    const QString aside = SetAsideWhatIsAtPath(QStringLiteral("broken"), &stamp);
    Detail(QStringLiteral("%1 could not be used (%2); set aside as %3")
               .arg(path_, reason, aside.isEmpty() ? QStringLiteral("(not moved)") : aside));
    if (aside.isEmpty()) {
        // Nothing is lost: the file stays, the answers wait.
        Tell(Trouble::CannotOpen);
        return;
    }
    // The daily copies are the set-aside record's: they go with it, so the
    // fresh record's copies never rotate them away.
    QString problem;
    const QString copies = MoveBackupsAside(BackupFolder(), stamp, &problem);
    if (!copies.isEmpty()) Detail(QStringLiteral("its daily copies were moved to %1").arg(copies));
    if (!problem.isEmpty()) Detail(problem);
    Tell(Trouble::Broken);
    OpenFile(true);
}

bool RecordStore::Recover(const QString& reason) {
    const QString rebuilt = path_ + QStringLiteral(".rebuilding");
    // A copy an earlier recovery could not put in place is kept beside,
    // never removed unread.
    if (QFileInfo::exists(rebuilt)) {
        const QString aside = AsideName(QStringLiteral("rebuilt"), Stamp());
        if (QFile::rename(rebuilt, aside)) {
            set_aside_.push_back(aside);
            Detail(QStringLiteral("%1 was left by an earlier recovery; kept as %2").arg(rebuilt, aside));
        }
    }
    if (open_ && FileStillOurs()) {
        // Damaged in place: set aside only when SQLite's own check agrees.
        QString check;
        if (QuickCheckFile(path_, &check) == CheckVerdict::Damaged) {
            SetAsideAndStartFresh(reason + QStringLiteral("; quick_check: ") + check);
            return open_;
        }
        Tell(Trouble::DiskError, QStringLiteral("%1: %2; quick_check: %3").arg(path_, reason, check));
        emit aboutToReopen();
        CloseConnection();
        return false;
    }
    // Removed or replaced: the connection may still read every row of the
    // file it had. They are copied into a new file before anything else.
    bool copied = false;
    if (open_) {
        QSqlQuery q(database());
        q.prepare(QStringLiteral("vacuum into ?"));
        q.addBindValue(rebuilt);
        copied = MakePrivateFile(rebuilt) && q.exec();
        if (!copied) {
            QFile::remove(rebuilt);
            const Failure failure = Classify(Code(q.lastError()));
            Detail(QStringLiteral("copy of the record failed: %1").arg(q.lastError().text()));
            if (failure != Failure::Damaged && failure != Failure::Moved &&
                failure != Failure::CannotOpen && failure != Failure::DiskError) {
                // The rows are still readable here, only the copy cannot be
                // written now (a full disk, say): keep everything, try again.
                if (failure == Failure::Full) Tell(Trouble::Full);
                return false;
            }
        }
    }
    if (!copied) {
        // The old rows are out of reach: whatever now stands at the path is
        // opened as it is (set aside only if SQLite finds it damaged).
        if (open_) emit aboutToReopen();
        CloseConnection();
        return OpenFile(true);
    }
    // The copy goes in place while the connection still holds the old rows,
    // so a failure here loses nothing.
    if (QFileInfo::exists(path_)) {
        QString stamp;
        const QString aside = SetAsideWhatIsAtPath(QStringLiteral("broken"), &stamp);
        if (aside.isEmpty()) {
            QFile::remove(rebuilt);
            Tell(Trouble::Unwritable, QStringLiteral("%1 was replaced and cannot be moved aside").arg(path_));
            return false;
        }
        Detail(QStringLiteral("%1 was replaced (%2); set aside as %3; rows rebuilt").arg(path_, reason, aside));
        Tell(Trouble::Broken);
    } else {
        for (const char* side : {"-wal", "-shm"}) QFile::remove(path_ + QLatin1String(side));
        Detail(QStringLiteral("%1 was removed (%2); rows rebuilt from the open connection").arg(path_, reason));
    }
    if (!QFile::rename(rebuilt, path_)) {
        Detail(QStringLiteral("%1 could not be renamed to %2; tried again at the next write").arg(rebuilt, path_));
        QFile::remove(rebuilt);
        return false;
    }
    emit aboutToReopen();
    CloseConnection();
    return OpenFile(true);
}

void RecordStore::StartBackgroundWork() {
    const QString path = path_;
    const LocalTime today = Today();
    const QString backups = BackupFolder();
    {
        std::lock_guard<std::mutex> lock(check_mutex_);
        check_ = CheckResult{};
        check_taken_ = false;
    }
    auto work = [this, path, backups, today] {
        const QString name = NewConnectionName(QStringLiteral("kyozai-check"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
            CheckResult result{true, false, QString()};
            CheckVerdict verdict = CheckVerdict::Unknown;
            if (db.open()) verdict = QuickCheck(db, &result.detail);
            result.damaged = verdict == CheckVerdict::Damaged;
            if (verdict == CheckVerdict::Unknown && !result.detail.isEmpty())
                Detail(QStringLiteral("the check of %1 could not run: %2").arg(path, result.detail));
            {
                std::lock_guard<std::mutex> lock(check_mutex_);
                check_ = result;
            }
            check_done_.notify_all();
            // Taken on this object's own thread, unless a write took it first.
            if (check_mode_ == CheckMode::Background)
                QMetaObject::invokeMethod(this, [this] { TakeCheckResult(); }, Qt::QueuedConnection);
            // Once a day, the first start that day copies a sound record. A
            // failed copy is only noted.
            if (verdict == CheckVerdict::Sound) {
                const QString problem = TakeDailyBackup(db, backups, today);
                if (!problem.isEmpty()) Detail(QStringLiteral("backup of %1 skipped: %2").arg(path, problem));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    };
    if (check_mode_ == CheckMode::Synchronous) {
        work();
        TakeCheckResult();
    } else {
        worker_ = std::thread(work);
    }
}

void RecordStore::TakeCheckResult() {
    CheckResult result;
    {
        std::unique_lock<std::mutex> lock(check_mutex_);
        if (check_taken_) return;
        check_done_.wait(lock, [this] { return check_.done; });
        check_taken_ = true;
        result = check_;
    }
    // The file opened, but SQLite's check of its pages found damage: the
    // backup thread made no copy; it is set aside once that thread is done.
    if (result.damaged) SetAsideAndStartFresh(QStringLiteral("quick_check: ") + result.detail);
}

void RecordStore::JoinWorker() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void RecordStore::DropCheck() {
    // The check's thread may still be reading the file or copying it; what
    // it found is about a file that goes.
    JoinWorker();
    std::lock_guard<std::mutex> lock(check_mutex_);
    check_taken_ = true;
}

void RecordStore::WaitForBackgroundWork() {
    TakeCheckResult();
    JoinWorker();
}

}  // namespace sorelka::record
