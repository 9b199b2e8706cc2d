#include "record/read_only_record.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QVariant>
#include <algorithm>

#include "record/file_check.h"
#include "record/record_store.h"
#include "record/schema.h"
#include "record/sqlite_codes.h"

namespace sorelka::record {

namespace {

sqlite3* Handle(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

}  // namespace

ReadOnlyRecord::ReadOnlyRecord(const QString& path, int wait_ms)
    : path_(path),
      file_(NewConnectionName(QStringLiteral("kyozai-read"))),
      memory_(NewConnectionName(QStringLiteral("kyozai-read-copy"))) {
    const QFileInfo file(path_);
    if (!file.exists() || (file.isFile() && file.size() == 0)) {
        // No answers yet: an empty record, and no file made for it.
        OpenInMemory();
        return;
    }
    if (!file.isFile()) {
        problem_ = QStringLiteral("記録のファイル 「%1」 が ファイルでは ないので、読めません。")
                       .arg(QDir::toNativeSeparators(path_));
        return;
    }
    OpenFile(wait_ms);
}

ReadOnlyRecord::~ReadOnlyRecord() {
    for (const QString& name : {file_, memory_}) {
        if (!QSqlDatabase::contains(name)) continue;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

QSqlDatabase ReadOnlyRecord::database() const {
    const QString& name = in_memory_ ? memory_ : file_;
    return QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
}

void ReadOnlyRecord::Refuse(int code, const QString& detail, int wait_ms) {
    const QString file = QDir::toNativeSeparators(path_);
    detail_ = detail;
    switch (Classify(code)) {
        case Failure::Busy:
            problem_ = QStringLiteral("記録のファイル 「%1」 を ほかのプログラムが 使っていて、%2秒 待っても 読めませんでした。")
                           .arg(file)
                           .arg(wait_ms / 1000);
            break;
        case Failure::Damaged:
            problem_ = QStringLiteral("記録のファイル 「%1」 が こわれているので、読めません。").arg(file);
            break;
        case Failure::CannotOpen:
        case Failure::Unwritable:
            problem_ = QStringLiteral("記録のファイル 「%1」 を ひらけません（読む けんりが ないかもしれません）。").arg(file);
            break;
        default:
            problem_ = QStringLiteral("記録のファイル 「%1」 を 読めません（%2）。").arg(file, detail);
            break;
    }
}

namespace {

// A file in write-ahead mode that no program has open: SQLite would make
// its -wal and -shm to read it, and a read-only connection leaves them
// behind (owned by whoever ran the export).
bool WalWithoutItsFiles(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.startsWith("SQLite format 3") && header[18] == 2 &&
           !(QFileInfo::exists(path + QStringLiteral("-wal")) && QFileInfo::exists(path + QStringLiteral("-shm")));
}

// Of those, one whose log still holds transactions (a run killed, or a copy
// made, after its -shm went): read as a file nobody changes, SQLite would
// leave the log's answers out.
bool LogWithoutItsIndex(const QString& path) {
    const QFileInfo log(path + QStringLiteral("-wal"));
    return log.isFile() && log.size() > 0;
}

// What tells that a file was written meanwhile.
struct Stamp {
    qint64 size = -1, modified_ns = -1;
    quint64 inode = 0;
    bool operator==(const Stamp&) const = default;
};
Stamp StampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {st.st_size, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, st.st_ino};
}

}  // namespace

bool ReadOnlyRecord::OpenFile(int wait_ms) {
    const bool unopened_wal = WalWithoutItsFiles(path_);
    const bool lone_log = unopened_wal && LogWithoutItsIndex(path_);
    const QString log = path_ + QStringLiteral("-wal");
    for (int tries = 0; tries < 5; ++tries) {
        const Stamp before = StampOf(path_), log_before = StampOf(log);
        if (!(unopened_wal ? ReadCopy(lone_log, wait_ms) : ReadOnce(path_, Mode::ReadOnly, wait_ms))) return false;
        if (!unopened_wal || (StampOf(path_) == before && StampOf(log) == log_before)) return true;
        // A program wrote the file while it was copied: once more.
        in_memory_ = false;
        for (const QString& name : {file_, memory_}) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
    problem_ = QStringLiteral("記録のファイル 「%1」 が 書きかえられつづけていて、読めませんでした。")
                   .arg(QDir::toNativeSeparators(path_));
    return false;
}

bool ReadOnlyRecord::ReadCopy(bool with_log, int wait_ms) {
    // The file (and its log) copied into a folder of this account's own
    // (0700), where SQLite may make the log's files, rebuild its index and
    // take in its transactions: nothing is made or changed beside the record,
    // and a year's record is read from the disk, not held in memory.
    copy_ = std::make_unique<QTemporaryDir>();
    const QString copy = copy_->isValid() ? copy_->filePath(QStringLiteral("kyozai.db")) : QString();
    if (copy.isEmpty() || !QFile::copy(path_, copy) ||
        (with_log && !QFile::copy(path_ + QStringLiteral("-wal"), copy + QStringLiteral("-wal")))) {
        problem_ = QStringLiteral("記録のファイル 「%1」 を 読む ための コピーが 作れませんでした（%2）。")
                       .arg(QDir::toNativeSeparators(path_), copy_->isValid() ? QString() : copy_->errorString());
        return false;
    }
    return ReadOnce(copy, Mode::Copy, wait_ms);
}

bool ReadOnlyRecord::ReadOnce(const QString& path, Mode mode, int wait_ms) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file_);
    db.setDatabaseName(path);
    db.setConnectOptions((mode == Mode::ReadOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;") : QString()) +
                         QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(wait_ms));
    if (!db.open()) {
        Refuse(Code(db.lastError()), db.lastError().text(), wait_ms);
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
        Refuse(Code(q.lastError()), q.lastError().text(), wait_ms);
        return false;
    }
    const int stamped = q.value(0).toInt();
    q.finish();
    const int version = stamped != 0 ? stamped : LayoutVersionFromTables(db);
    if (stamped >= SchemaVersion()) return true;
    return CopyIntoMemory(std::min(version, SchemaVersion()), wait_ms);
}

bool ReadOnlyRecord::OpenInMemory() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), memory_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    in_memory_ = true;
    QSqlError error;
    if (db.open() && ApplyLayoutSteps(db, 0, &error)) return true;
    problem_ = QStringLiteral("記録を 読む 準備が できませんでした（%1）。")
                   .arg(error.isValid() ? error.text() : db.lastError().text());
    return false;
}

bool ReadOnlyRecord::CopyIntoMemory(int version, int wait_ms) {
    QSqlDatabase memory = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), memory_);
    memory.setDatabaseName(QStringLiteral(":memory:"));
    in_memory_ = true;
    sqlite3* from = Handle(QSqlDatabase::database(file_, false));
    sqlite3* to = memory.open() ? Handle(memory) : nullptr;
    sqlite3_backup* backup = from && to ? sqlite3_backup_init(to, "main", from, "main") : nullptr;
    if (!backup) {
        problem_ = QStringLiteral("記録を 読む 準備が できませんでした（%1）。")
                       .arg(to ? QString::fromUtf8(sqlite3_errmsg(to)) : memory.lastError().text());
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < wait_ms) QThread::msleep(50);
        else if (rc != SQLITE_OK) break;
    } while (true);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        Refuse(rc, QString::fromUtf8(sqlite3_errstr(rc)), wait_ms);
        return false;
    }
    QSqlDatabase::database(file_, false).close();
    QSqlError error;
    if (!memory.transaction() || !ApplyLayoutSteps(memory, version, &error) || !memory.commit()) {
        problem_ = QStringLiteral("記録のファイル 「%1」 を この版の形で 読めませんでした（%2）。")
                       .arg(QDir::toNativeSeparators(path_), error.text());
        return false;
    }
    return true;
}

}  // namespace sorelka::record
