#include "report/pin_tries.h"

#include <QSqlQuery>
#include <QVariant>

#include "record/record_store.h"
#include "record/statement_shapes.h"

namespace sorelka::report {

namespace {

const QString kTries = QStringLiteral("teacher_wrong_tries");
const QString kWaitUntil = QStringLiteral("teacher_wait_until");

qint64 Read(const QSqlDatabase& db, const QString& key) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select value from program_settings where key = ?"));
    q.addBindValue(key);
    if (!q.exec() || !q.next()) return 0;
    return q.value(0).toLongLong();
}

}  // namespace

TryStore RecordTryStore(record::RecordStore& record) {
    TryStore store;
    store.read = [&record]() -> std::pair<int, qint64> {
        if (!record.Ready()) return {0, 0};
        const QSqlDatabase db = record.database();
        return {int(Read(db, kTries)), Read(db, kWaitUntil)};
    };
    store.write = [&record](int tries, qint64 wait_until) {
        const QString& sql = record::Sql(record::Shape::SettingSet);
        record.Commit({{sql, {kTries, QString::number(tries)}}, {sql, {kWaitUntil, QString::number(wait_until)}}});
    };
    return store;
}

}  // namespace sorelka::report
