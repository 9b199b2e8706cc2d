#include "drill/drill_log.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <atomic>

#include "core/services.h"

namespace sorelka {

namespace {

constexpr char kSelectAll[] = "select * from dorill order by rowid";

QVariant OptionalInt(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<int>());
}

}  // namespace

DrillLog::DrillLog(QString path, Dialogs& dialogs, QObject* parent)
    : QObject(parent), path_(std::move(path)), dialogs_(dialogs) {
    static std::atomic<int> serial{0};
    setObjectName(QStringLiteral("DataModule1"));
    connection_ = QStringLiteral("kyozai-%1").arg(++serial);
    // Copying the write-ahead log into the database syncs the disk, which can
    // take tens of milliseconds: it is done a moment after the pupil's click
    // has been handled, not inside it.
    checkpoint_.setSingleShot(true);
    checkpoint_.setInterval(400);
    connect(&checkpoint_, &QTimer::timeout, this, [this] {
        if (!open_) return;
        QSqlQuery(QSqlDatabase::database(connection_, false))
            .exec(QStringLiteral("pragma wal_checkpoint(passive)"));
    });
}

void DrillLog::CheckpointSoon() { checkpoint_.start(); }

DrillLog::~DrillLog() {
    result_set_.clear();
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QString DrillLog::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/kyozai.db");
}

void DrillLog::Report(const QString& reason) {
    dialogs_.ShowMessage(QStringLiteral("成績の記録ができませんでした。\n"
                                        "ファイル: %1\n理由: %2\n"
                                        "ドリルは このまま続けられます。")
                             .arg(QDir::toNativeSeparators(path_), reason)
                             .toStdString());
}

bool DrillLog::EnsureOpen(bool report) {
    if (open_) return true;
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) {
        if (report) Report(QStringLiteral("SQLite のドライバーがありません。"));
        return false;
    }
    const QFileInfo file(path_);
    if (!QDir().mkpath(file.absolutePath())) {
        if (report) Report(QStringLiteral("フォルダー「%1」を作れません。").arg(file.absolutePath()));
        return false;
    }
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        if (report) Report(db.lastError().text());
        return false;
    }
    QSqlQuery create(db);
    // Write-ahead logging with normal syncing: every commit is in the file
    // before the handler returns, so a crash of the program loses no row, and
    // an answer costs well under a millisecond instead of a disk sync. (Only a
    // power cut can drop the last answers of the running drill.) A reader
    // never blocks the writer.
    create.exec(QStringLiteral("pragma journal_mode=wal"));
    create.exec(QStringLiteral("pragma synchronous=normal"));
    create.exec(QStringLiteral("pragma wal_autocheckpoint=0"));
    if (!create.exec(QStringLiteral(
            "create table if not exists dorill (\"NO\" integer, MND text, KAI text, KOT text,"
            " HNT text, AMS integer, AMI integer)"))) {
        if (report) Report(create.lastError().text());
        create.finish();
        db.close();
        return false;
    }
    open_ = true;
    return true;
}

bool DrillLog::ReopenDrillLog() {
    if (!EnsureOpen()) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    if (!query.exec(QString::fromLatin1(kSelectAll))) {
        Report(query.lastError().text());
        return false;
    }
    result_set_.setQuery(std::move(query));
    while (result_set_.canFetchMore()) result_set_.fetchMore();
    return true;
}

bool DrillLog::ClearDrillLog() {
    if (!EnsureOpen()) return false;
    QSqlQuery del(QSqlDatabase::database(connection_, false));
    const bool ok = del.exec(QStringLiteral("delete from dorill"));
    if (!ok) Report(del.lastError().text());
    CheckpointSoon();
    ReopenDrillLog();
    return ok;
}

bool DrillLog::AppendDrillRow(const DrillRow& row) {
    if (!EnsureOpen()) return false;
    QSqlQuery insert(QSqlDatabase::database(connection_, false));
    insert.prepare(QStringLiteral(
        "insert into dorill (\"NO\", MND, KAI, KOT, HNT, AMS, AMI) values (?, ?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(row.no);
    insert.addBindValue(QString::fromStdString(row.mnd));
    insert.addBindValue(QString::fromStdString(row.kai));
    insert.addBindValue(QString::fromStdString(row.kot));
    insert.addBindValue(QString::fromStdString(row.hnt));
    insert.addBindValue(OptionalInt(row.ams));
    insert.addBindValue(OptionalInt(row.ami));
    const bool ok = insert.exec();
    if (!ok) Report(insert.lastError().text());
    CheckpointSoon();
    ReopenDrillLog();
    return ok;
}

std::vector<DrillRow> DrillLog::Rows() {
    std::vector<DrillRow> rows;
    if (!EnsureOpen(false)) return rows;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QString::fromLatin1(kSelectAll))) return rows;
    while (query.next()) {
        DrillRow row;
        row.no = query.value(0).toInt();
        row.mnd = query.value(1).toString().toStdString();
        row.kai = query.value(2).toString().toStdString();
        row.kot = query.value(3).toString().toStdString();
        row.hnt = query.value(4).toString().toStdString();
        if (!query.value(5).isNull()) row.ams = query.value(5).toInt();
        if (!query.value(6).isNull()) row.ami = query.value(6).toInt();
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace sorelka
