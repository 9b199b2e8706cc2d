#pragma once

#include <QObject>
#include <QSqlQueryModel>
#include <QTimer>
#include <QString>
#include <vector>

#include "drill/drill_session.h"

namespace sorelka {

class Dialogs;

// The drill log: table `dorill` in the SQLite file kyozai.db, and the one
// result set that every score-sheet grid shows. Every append is committed
// before it returns, so a crash loses no logged answer. A database that cannot
// be opened or written is reported in a message box (naming the file and the
// reason) once per failed operation, and the caller carries on.
class DrillLog : public QObject {
    Q_OBJECT
public:
    DrillLog(QString path, Dialogs& dialogs, QObject* parent = nullptr);
    ~DrillLog() override;

    // kyozai.db in the per-user data folder.
    static QString DefaultPath();

    // Re-reads every row, in the order they were appended, into the shared result set.
    bool ReopenDrillLog();
    // Deletes every row (a new drill starts).
    bool ClearDrillLog();
    // Appends one row and commits it.
    bool AppendDrillRow(const DrillRow& row);

    // The shared result set; columns NO, MND, KAI, KOT, HNT, AMS, AMI.
    QSqlQueryModel* result_set() { return &result_set_; }
    // Every row as stored, read straight from the table (silently empty when
    // the database cannot be read).
    std::vector<DrillRow> Rows();
    const QString& path() const { return path_; }

private:
    bool EnsureOpen(bool report = true);
    void Report(const QString& reason);
    void CheckpointSoon();

    QString path_;
    QString connection_;
    Dialogs& dialogs_;
    QSqlQueryModel result_set_;
    QTimer checkpoint_;
    bool open_ = false;
};

}  // namespace sorelka
