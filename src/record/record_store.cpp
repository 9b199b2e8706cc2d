#include "record/record_store.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <atomic>
#include <cstdio>

#include "core/services.h"
#include "record/schema.h"

namespace sorelka::record {

namespace {

// SQLite's primary result codes (the low byte of an extended code).
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoError = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqlitePerm = 3;
constexpr int kSqliteNotADb = 26;
constexpr int kSqliteTooBig = 18;
constexpr int kSqliteConstraint = 19;
constexpr int kSqliteMismatch = 20;
constexpr int kSqliteRange = 25;
// SQLITE_READONLY_DBMOVED: the file was renamed or removed under the connection.
constexpr int kSqliteReadOnlyDbMoved = kSqliteReadOnly | (4 << 8);

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

int Code(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

// What a failed statement says about the file. Refused: the file is fine
// but will never take this transaction (a constraint it breaks, a value too
// big), so trying it again would only hold up every later answer.
enum class Failure { Broken, Busy, Full, Unwritable, Refused, Other };

Failure Classify(int code) {
    const int primary = code % 256;
    if (code == kSqliteReadOnlyDbMoved || primary == kSqliteNotADb || primary == kSqliteCorrupt ||
        primary == kSqliteCantOpen)
        return Failure::Broken;
    if (primary == kSqliteBusy || primary == kSqliteLocked) return Failure::Busy;
    if (primary == kSqliteFull) return Failure::Full;
    if (primary == kSqliteReadOnly || primary == kSqlitePerm) return Failure::Unwritable;
    if (primary == kSqliteTooBig || primary == kSqliteConstraint || primary == kSqliteMismatch ||
        primary == kSqliteRange)
        return Failure::Refused;
    return Failure::Other;
}

void Detail(const QString& what) {
    std::fprintf(stderr, "sorelka: %s\n", what.toLocal8Bit().constData());
}

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

std::atomic<int> serial{0};

}  // namespace

RecordStore::RecordStore(QString path, Dialogs& dialogs, const Clock* clock, CheckMode check,
                         QObject* parent)
    : QObject(parent),
      path_(std::move(path)),
      dialogs_(dialogs),
      clock_(clock),
      check_mode_(check),
      connection_(QStringLiteral("kyozai-%1").arg(++serial)) {
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
}

RecordStore::~RecordStore() {
    if (worker_.joinable()) worker_.join();
    if (!kept_.empty()) Flush();
    if (!kept_.empty())
        Detail(QStringLiteral("%1 record transaction(s) could not be written to %2")
                   .arg(kept_.size())
                   .arg(path_));
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
    if (!open_ && QFileInfo::exists(path_) && OpenFile(true) && !read_only_ &&
        !worker_.joinable() && check_taken_)
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

// kyozai.db.broken-YYYYMMDD-HHMMSS, with -2, -3 … when that name is taken.
QString RecordStore::AsideName() const {
    const QString base = path_ + QStringLiteral(".broken-") + Stamp();
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = base + QStringLiteral("-%1").arg(n);
    return aside;
}

QString RecordStore::Stamp() const {
    const LocalTime t = Today();
    return QString::asprintf("%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                             t.second);
}

void RecordStore::Tell(Trouble trouble, const QString& detail) {
    if (told_.count(trouble)) return;
    told_.insert(trouble);
    if (!detail.isEmpty()) Detail(detail);
    QString text;
    switch (trouble) {
        case Trouble::Broken:
            text = QStringLiteral(
                       "記録のファイルが こわれていたので、新しいファイルを作りました。\n"
                       "前のファイルは 「%1」 に のこしてあります。\n"
                       "これからの答えは いつものように記録されます。")
                       .arg(Native(set_aside_.isEmpty() ? path_ : set_aside_.back()));
            break;
        case Trouble::Busy:
            text = QStringLiteral(
                       "記録のファイル 「%1」 を ほかのプログラムが使っているので、"
                       "答えを まだ書きこめません。\n"
                       "答えは おぼえておいて、あとで書きこみます。ドリルは このまま続けられます。")
                       .arg(Native(path_));
            break;
        case Trouble::Full:
            text = QStringLiteral(
                "ディスクが いっぱいで、答えを 記録のファイルに書きこめません。\n"
                "答えは おぼえておいて、空きができたら書きこみます。ドリルは このまま続けられます。");
            break;
        case Trouble::Unwritable:
            text = QStringLiteral(
                       "記録のファイル 「%1」 に書きこめません（書きこみが ゆるされていません）。\n"
                       "答えは おぼえておいて、書きこめるようになったら書きこみます。"
                       "ドリルは このまま続けられます。")
                       .arg(Native(path_));
            break;
        case Trouble::NewerVersion:
            text = QStringLiteral(
                       "記録のファイル 「%1」 は、新しい版の Sorelka で作られています。\n"
                       "この版では 読むだけにして、今回の答えは ファイルに書きこみません。")
                       .arg(Native(path_));
            break;
        case Trouble::NoFolder:
            text = QStringLiteral(
                       "記録のフォルダー 「%1」 を作れません。\n"
                       "答えは おぼえておいて、作れるようになったら書きこみます。"
                       "ドリルは このまま続けられます。")
                       .arg(Native(QFileInfo(path_).absolutePath()));
            break;
        case Trouble::NoDriver:
            text = QStringLiteral(
                "記録に使う SQLite の部品が ありません。答えは 記録されません。\n"
                "ドリルは このまま続けられます。");
            break;
    }
    dialogs_.ShowMessage(text.toStdString());
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
    if (!QSqlDatabase::contains(connection_)) return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isOpen()) db.close();
    open_ = false;
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

bool ApplyLayoutSteps(QSqlDatabase& db, int version, QSqlError* error, int up_to) {
    QSqlQuery q(db);
    for (const Migration& step : Migrations()) {
        if (step.version <= version || step.version > up_to) continue;
        for (const QString& sql : step.statements) {
            if (!q.exec(sql)) {
                if (error) *error = q.lastError();
                return false;
            }
        }
    }
    return true;
}

// Returns 0 when the file is ready, else the SQLite code that stopped it.
int RecordStore::Upgrade(QString* detail) {
    QSqlDatabase db = database();
    QSqlQuery q(db);
    auto failed = [&](const QSqlError& error) {
        *detail = error.text();
        const int code = Code(error);
        return code > 0 ? code : kSqliteNotADb;
    };
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) return failed(q.lastError());
    const int version = q.value(0).toInt();
    q.finish();
    if (version > SchemaVersion()) {
        // A newer program's file: read it, never write it.
        CloseConnection();
        if (!OpenConnection(true)) return failed(database().lastError());
        open_ = true;
        read_only_ = true;
        Tell(Trouble::NewerVersion,
             QStringLiteral("%1 has layout version %2, this program knows %3")
                 .arg(path_)
                 .arg(version)
                 .arg(SchemaVersion()));
        return 0;
    }
    // Write-ahead logging with normal syncing: every commit is in the file
    // before the handler returns, so a crash of the program loses no row, and
    // an answer costs well under a millisecond instead of a disk sync. A
    // reader never blocks the writer.
    if (!q.exec(QStringLiteral("pragma journal_mode=wal"))) return failed(q.lastError());
    q.exec(QStringLiteral("pragma synchronous=normal"));
    q.exec(QStringLiteral("pragma wal_autocheckpoint=0"));
    if (version == SchemaVersion()) return 0;

    // Older file: every missing step in one transaction, so a failure leaves
    // the file as it was.
    if (!q.exec(QStringLiteral("begin immediate"))) return failed(q.lastError());
    if (QSqlError error; !ApplyLayoutSteps(db, version, &error)) {
        const int code = failed(error);
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        return code;
    }
    if (!q.exec(QStringLiteral("pragma user_version = %1").arg(SchemaVersion())) ||
        !q.exec(QStringLiteral("commit"))) {
        const int code = failed(q.lastError());
        QSqlQuery(db).exec(QStringLiteral("rollback"));
        return code;
    }
    return 0;
}

bool RecordStore::OpenFile(bool report) {
    read_only_ = false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        if (report) Tell(Trouble::NoDriver);
        return false;
    }
    const QFileInfo file(path_);
    if (!QDir().mkpath(file.absolutePath())) {
        if (report) Tell(Trouble::NoFolder);
        return false;
    }
    const bool existed = file.exists();
    QString reason;
    // An empty file is no record anyone wrote; a folder or anything else but
    // a file in its place cannot be one.
    if (file.exists() && (!file.isFile() || file.size() == 0)) {
        reason = file.isFile() ? QStringLiteral("empty file") : QStringLiteral("not a file");
    } else if (!OpenConnection(false)) {
        reason = database().lastError().text();
    } else {
        open_ = true;
        const int code = Upgrade(&reason);
        if (code == 0) {
            NoteFileIdentity();
            emit reopened();
            return true;
        }
        if (!existed) {
            // The file this open made could not be set up (no space, say):
            // it goes again, and the writes wait for the next try.
            CloseConnection();
            for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path_ + QLatin1String(side));
            if (report)
                Tell(Classify(code) == Failure::Full ? Trouble::Full : Trouble::Unwritable,
                     QStringLiteral("%1: %2").arg(path_, reason));
            return false;
        }
        switch (Classify(code)) {
            case Failure::Broken:
            case Failure::Refused:
            case Failure::Other:
                break;
            case Failure::Busy:
            case Failure::Full:
            case Failure::Unwritable:
                // A sound file that cannot be written just now: keep it open
                // for reading and try the writes again later.
                NoteFileIdentity();
                if (report)
                    Tell(Classify(code) == Failure::Full ? Trouble::Full : Trouble::Unwritable,
                         QStringLiteral("%1: %2").arg(path_, reason));
                emit reopened();
                return true;
        }
    }
    SetAsideAndStartFresh(reason);
    return open_;
}

void RecordStore::SetAsideAndStartFresh(const QString& reason) {
    emit aboutToReopen();
    CloseConnection();
    const QString aside = AsideName();
    bool moved = !QFileInfo::exists(path_) || QFile::rename(path_, aside) ||
                 QDir().rename(path_, aside);
    if (moved) {
        for (const char* side : {"-wal", "-shm"}) {
            const QString from = path_ + QLatin1String(side);
            if (QFileInfo::exists(from)) QFile::rename(from, aside + QLatin1String(side));
        }
        if (QFileInfo::exists(aside)) set_aside_.push_back(aside);
    }
    Detail(QStringLiteral("%1 could not be used (%2); set aside as %3")
               .arg(path_, reason, moved ? aside : QStringLiteral("(not moved)")));
    Tell(Trouble::Broken);
    if (!moved || !OpenConnection(false)) {
        Detail(QStringLiteral("a fresh %1 could not be made: %2")
                   .arg(path_, database().lastError().text()));
        CloseConnection();
        return;
    }
    open_ = true;
    QString detail;
    if (const int code = Upgrade(&detail); code != 0) {
        // Our own new file, never written: it goes, so the next try does not
        // take it for a broken one.
        Detail(QStringLiteral("a fresh %1 could not be set up: %2").arg(path_, detail));
        CloseConnection();
        for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path_ + QLatin1String(side));
        if (Classify(code) == Failure::Full) Tell(Trouble::Full);
        return;
    }
    NoteFileIdentity();
    emit reopened();
}

bool RecordStore::Recover(const QString& reason) {
    // The connection may still read the rows of a file removed or replaced
    // under it: copy them into a new file at the path before anything else.
    QSqlDatabase db = database();
    const QString rebuilt = path_ + QStringLiteral(".rebuilding");
    QFile::remove(rebuilt);
    bool copied = false;
    if (open_ && !FileStillOurs()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("vacuum into ?"));
        q.addBindValue(rebuilt);
        copied = q.exec();
        if (!copied) {
            const int code = Code(q.lastError());
            QFile::remove(rebuilt);
            if (Classify(code) != Failure::Broken) {
                // The rows are still readable here, only the copy cannot be
                // written now (a full disk, say): keep everything and try again.
                if (Classify(code) == Failure::Full)
                    Tell(Trouble::Full, QStringLiteral("copy of %1: %2").arg(path_, q.lastError().text()));
                else
                    Detail(QStringLiteral("copy of the record failed: %1").arg(q.lastError().text()));
                return false;
            }
            Detail(QStringLiteral("copy of the record failed: %1").arg(q.lastError().text()));
        }
    }
    if (!copied) {
        SetAsideAndStartFresh(reason);
        return open_;
    }
    emit aboutToReopen();
    CloseConnection();
    if (QFileInfo::exists(path_)) {
        // What now stands at the path: kept beside, never overwritten.
        const QString aside = AsideName();
        if (!QFile::rename(path_, aside) && !QDir().rename(path_, aside)) {
            QFile::remove(rebuilt);
            SetAsideAndStartFresh(reason);
            return open_;
        }
        set_aside_.push_back(aside);
        for (const char* side : {"-wal", "-shm"})
            QFile::rename(path_ + QLatin1String(side), aside + QLatin1String(side));
        Detail(QStringLiteral("%1 was replaced (%2); set aside as %3; rows rebuilt")
                   .arg(path_, reason, aside));
        Tell(Trouble::Broken);
    } else {
        for (const char* side : {"-wal", "-shm"}) QFile::remove(path_ + QLatin1String(side));
        Detail(QStringLiteral("%1 was removed (%2); rows rebuilt from the open connection")
                   .arg(path_, reason));
    }
    QFile::rename(rebuilt, path_);
    return OpenFile(true);
}

void RecordStore::CopyLogIntoFile() {
    checkpoint_.stop();
    writes_since_checkpoint_ = 0;
    if (!open_ || read_only_) return;
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

bool RecordStore::WriteOne(const Transaction& transaction, int* code, QString* detail) {
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
    for (const Statement& statement : transaction) {
        if (!q.prepare(statement.sql)) return fail(q.lastError());
        for (const QVariant& value : statement.values) q.addBindValue(value);
        if (!q.exec()) return fail(q.lastError());
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
        if (!open_ && !OpenFile(true)) break;
        if (!FileStillOurs()) {
            ++attempts;
            if (!Recover(QStringLiteral("the file was removed or replaced"))) break;
            continue;
        }
        int code = 0;
        QString detail;
        if (WriteOne(kept_.front().transaction, &code, &detail)) {
            kept_.pop_front();
            wrote = true;
            continue;
        }
        const Failure failure = Classify(code);
        if (failure == Failure::Broken || (failure == Failure::Other && !FileStillOurs())) {
            ++attempts;
            if (!Recover(detail)) break;
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
        if (failure == Failure::Busy) {
            if (kept_since_ms_ == 0) kept_since_ms_ = QDateTime::currentMSecsSinceEpoch();
            if (QDateTime::currentMSecsSinceEpoch() - kept_since_ms_ >= kBusyTellAfterMs)
                Tell(Trouble::Busy, QStringLiteral("%1 is busy: %2").arg(path_, detail));
        } else if (failure == Failure::Full) {
            Tell(Trouble::Full, QStringLiteral("%1: %2").arg(path_, detail));
        } else if (failure == Failure::Unwritable) {
            Tell(Trouble::Unwritable, QStringLiteral("%1: %2").arg(path_, detail));
        } else {
            // Anything else (a disk error): the file is opened and checked
            // again before the next try.
            Tell(Trouble::Unwritable,
                 QStringLiteral("%1: %2 (code %3)").arg(path_, detail).arg(code));
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
    if (kept_.empty()) {
        kept_since_ms_ = 0;
        retry_.stop();
        return true;
    }
    if (kept_since_ms_ == 0) kept_since_ms_ = QDateTime::currentMSecsSinceEpoch();
    if (!retry_.isActive()) retry_.start();
    return false;
}

void RecordStore::StartBackgroundWork() {
    const QString path = path_;
    const LocalTime today = Today();
    const QString backups = BackupFolder();
    const QString backup =
        backups + QString::asprintf("/kyozai-%04d%02d%02d.db", today.year, today.month, today.day);
    {
        std::lock_guard<std::mutex> lock(check_mutex_);
        check_ = CheckResult{};
        check_taken_ = false;
    }
    auto work = [this, path, backups, backup] {
        const QString name = QStringLiteral("kyozai-check-%1").arg(++serial);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
            CheckResult result{true, true, QString()};
            if (db.open()) {
                QSqlQuery q(db);
                if (!q.exec(QStringLiteral("pragma quick_check"))) {
                    result.detail = q.lastError().text();
                    result.ok = Code(q.lastError()) % 256 == kSqliteBusy;
                } else {
                    QStringList problems;
                    while (q.next()) problems << q.value(0).toString();
                    result.ok = problems == QStringList{QStringLiteral("ok")};
                    result.detail = problems.join(QLatin1Char('\n'));
                }
            }
            {
                std::lock_guard<std::mutex> lock(check_mutex_);
                check_ = result;
            }
            check_done_.notify_all();
            // Taken on this object's own thread, unless a write took it first.
            if (check_mode_ == CheckMode::Background)
                QMetaObject::invokeMethod(this, [this] { TakeCheckResult(); }, Qt::QueuedConnection);
            // Once a day, the first start that day copies the record; the
            // last seven copies are kept. A failed copy is only noted.
            if (result.ok && db.isOpen() && !QFileInfo::exists(backup) && QDir().mkpath(backups)) {
                const QString partial = backup + QStringLiteral(".part");
                QFile::remove(partial);
                QSqlQuery q(db);
                q.prepare(QStringLiteral("vacuum into ?"));
                q.addBindValue(partial);
                if (q.exec() && QFile::rename(partial, backup)) {
                    QStringList copies = QDir(backups).entryList(
                        {QStringLiteral("kyozai-????????.db")}, QDir::Files, QDir::Name);
                    while (copies.size() > kBackupsKept)
                        QFile::remove(backups + QLatin1Char('/') + copies.takeFirst());
                } else {
                    QFile::remove(partial);
                    Detail(QStringLiteral("backup %1 skipped: %2").arg(backup, q.lastError().text()));
                }
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    };
    if (check_mode_ == CheckMode::Synchronous) {
        work();
        TakeCheckResult();
    } else {
        worker_ = std::thread([this, work] {
            work();
        });
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
    if (result.ok) return;
    // The file opened, but SQLite's check of its pages failed: the backup
    // thread skipped the copy; set it aside once that thread is done with it.
    if (worker_.joinable()) worker_.join();
    SetAsideAndStartFresh(result.detail);
}

void RecordStore::WaitForBackgroundWork() {
    TakeCheckResult();
    if (worker_.joinable()) worker_.join();
}

}  // namespace sorelka::record
