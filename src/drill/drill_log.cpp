#include "drill/drill_log.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cstdio>

#include "core/services.h"
#include "record/statement_shapes.h"

namespace sorelka {

namespace {

constexpr char kSelectAll[] = "select * from dorill order by rowid";

QVariant OptionalInt(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<int>());
}

}  // namespace

DrillLog::DrillLog(record::RecordStore& store, QObject* parent)
    : QObject(parent), store_(&store) {
    Connect();
}

DrillLog::DrillLog(QString path, Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      own_store_(std::make_unique<record::RecordStore>(
          std::move(path), dialogs, nullptr, record::RecordStore::CheckMode::Synchronous)),
      store_(own_store_.get()) {
    Connect();
}

void DrillLog::Connect() {
    setObjectName(QStringLiteral("DataModule1"));
    // The grids' query must be gone before the store closes its connection,
    // and they show the rows again once it has reopened or written kept rows.
    connect(store_, &record::RecordStore::aboutToReopen, this, [this] { DropQuery(); });
    connect(store_, &record::RecordStore::reopened, this, [this] {
        if (opened_) ReopenDrillLog();
    });
    connect(store_, &record::RecordStore::written, this, [this] {
        if (opened_) ReopenDrillLog();
    });
}

void DrillLog::DropQuery() {
    // Once only: clearing a model whose query's connection has gone crashes Qt.
    if (!holds_query_) return;
    result_set_.clear();
    holds_query_ = false;
}

DrillLog::~DrillLog() {
    DropQuery();
    if (own_store_) {
        disconnect(own_store_.get(), nullptr, this, nullptr);
        own_store_.reset();
    }
}

bool DrillLog::ReopenDrillLog() {
    if (!store_->Ready()) return false;
    QSqlQuery query(store_->database());
    if (!query.exec(QString::fromLatin1(kSelectAll))) {
        std::fprintf(stderr, "sorelka: the drill log cannot be read: %s\n",
                     query.lastError().text().toLocal8Bit().constData());
        return false;
    }
    opened_ = true;
    holds_query_ = true;
    result_set_.setQuery(std::move(query));
    while (result_set_.canFetchMore()) result_set_.fetchMore();
    return true;
}

bool DrillLog::ClearDrillLog() {
    const bool written =
        store_->Commit({{record::Sql(record::Shape::DrillLogClear), {}}}) ==
        record::RecordStore::Result::Written;
    ReopenDrillLog();
    return written;
}

bool DrillLog::AppendDrillRow(const DrillRow& row, record::Transaction also) {
    record::Transaction transaction;
    transaction.push_back(
        {record::Sql(record::Shape::DrillLogAdd),
         {row.no, QString::fromStdString(row.mnd), QString::fromStdString(row.kai),
          QString::fromStdString(row.kot), QString::fromStdString(row.hnt), OptionalInt(row.ams),
          OptionalInt(row.ami)}});
    for (record::Statement& statement : also) transaction.push_back(std::move(statement));
    const bool written =
        store_->Commit(std::move(transaction)) == record::RecordStore::Result::Written;
    ReopenDrillLog();
    return written;
}

std::vector<DrillRow> DrillLog::Rows() {
    std::vector<DrillRow> rows;
    if (!store_->Ready()) return rows;
    QSqlQuery query(store_->database());
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
