#pragma once

#include <QObject>
#include <QSqlQueryModel>
#include <QString>
#include <memory>
#include <vector>

#include "drill/drill_session.h"
#include "record/record_store.h"

namespace sorelka {

class Dialogs;

// The drill log: table `dorill` in the record file kyozai.db, and the one
// result set that every score-sheet grid shows. Every append is committed
// before it returns, or kept by the record store and written as soon as the
// file takes it again, so no logged answer is lost; the store tells the user
// what went wrong, once per cause.
class DrillLog : public QObject {
    Q_OBJECT
public:
    // On the program's record store, which must outlive the log.
    explicit DrillLog(record::RecordStore& store, QObject* parent = nullptr);
    // On a record store of its own for the file at `path` (tools and tests).
    DrillLog(QString path, Dialogs& dialogs, QObject* parent = nullptr);
    ~DrillLog() override;

    // kyozai.db in the per-user data folder.
    static QString DefaultPath() { return record::RecordStore::DefaultPath(); }

    // Re-reads every row, in the order they were appended, into the shared result set.
    bool ReopenDrillLog();
    // Deletes every row (a new drill starts). False when the file did not take
    // it yet (it is kept and done later).
    bool ClearDrillLog();
    // Appends one row, with `also` in the same transaction (the learning
    // record's rows of the same answer). False when the file did not take it
    // yet (it is kept and written later).
    bool AppendDrillRow(const DrillRow& row, record::Transaction also = {});

    // The shared result set; columns NO, MND, KAI, KOT, HNT, AMS, AMI.
    QSqlQueryModel* result_set() { return &result_set_; }
    // Every row as stored, read straight from the table (silently empty when
    // the database cannot be read).
    std::vector<DrillRow> Rows();
    const QString& path() const { return store_->path(); }
    record::RecordStore& store() { return *store_; }

private:
    void Connect();
    void DropQuery();

    std::unique_ptr<record::RecordStore> own_store_;
    record::RecordStore* store_;
    QSqlQueryModel result_set_;
    bool opened_ = false;  // the grids have been shown the rows in this run
    bool holds_query_ = false;
};

}  // namespace sorelka
