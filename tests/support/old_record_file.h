#pragma once

// A record file as an older program left it: the layout steps up to
// `version`, that version in its user_version, and the rows `fill` writes.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include "record/record_store.h"

namespace sorelka::testing {

// Empty when the file was made, else what failed. `fill(q)` returns false
// when a statement of its own failed.
template <class Fill>
QString MakeRecordFileAtLayout(const QString& path, int version, Fill fill) {
    const QString name = QStringLiteral("old_record_file");
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlError error;
        if (!db.open()) {
            problem = db.lastError().text();
        } else if (!record::ApplyLayoutSteps(db, 0, &error, version)) {
            problem = error.text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("pragma user_version = %1").arg(version)) || !fill(q))
                problem = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

}  // namespace sorelka::testing
