#include "record/file_check.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <atomic>

#include "record/sqlite_codes.h"

namespace sorelka::record {

QString NewConnectionName(const QString& prefix) {
    static std::atomic<int> serial{0};
    return QStringLiteral("%1-%2").arg(prefix).arg(++serial);
}

CheckVerdict QuickCheck(QSqlDatabase& db, QString* detail) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma quick_check"))) {
        *detail = q.lastError().text();
        return Classify(Code(q.lastError())) == Failure::Damaged ? CheckVerdict::Damaged
                                                                   : CheckVerdict::Unknown;
    }
    QStringList problems;
    while (q.next()) problems << q.value(0).toString();
    if (q.lastError().isValid()) {  // the check stopped half-way
        *detail = q.lastError().text();
        return Classify(Code(q.lastError())) == Failure::Damaged ? CheckVerdict::Damaged
                                                                   : CheckVerdict::Unknown;
    }
    *detail = problems.join(QLatin1Char('\n'));
    return problems == QStringList{QStringLiteral("ok")} ? CheckVerdict::Sound : CheckVerdict::Damaged;
}

CheckVerdict QuickCheckFile(const QString& path, QString* detail) {
    const QString name = NewConnectionName(QStringLiteral("kyozai-check"));
    CheckVerdict verdict = CheckVerdict::Unknown;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open())
            verdict = QuickCheck(db, detail);
        else
            *detail = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return verdict;
}

}  // namespace sorelka::record
