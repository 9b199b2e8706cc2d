#pragma once

// A learning record on a scratch file with answers written straight into
// it (pupil, day, topic, right or wrong, seconds, kind), for the reports.

#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "record/learning_record.h"
#include "record/record_store.h"
#include "support/fakes.h"

namespace sorelka::testing {

struct ScratchRecord {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    std::unique_ptr<record::RecordStore> store;
    std::unique_ptr<record::LearningRecord> learning;

    ScratchRecord() {
        store = std::make_unique<record::RecordStore>(folder.path() + "/kyozai.db", dialogs, nullptr,
                                                      record::RecordStore::CheckMode::Synchronous);
        learning = std::make_unique<record::LearningRecord>(*store);
        // The file is made by its first write.
        store->Commit({{QStringLiteral("delete from pupils where 0"), {}}});
    }
    QString path() const { return store->path(); }
    QSqlDatabase db() { return store->database(); }

    // One answer. An empty pupil is the guest; `at` is "YYYY-MM-DD" or a full time.
    void Answer(const QString& pupil, const QString& at, int topic, bool correct, double seconds,
                const QString& kind = QString(), const QString& problem = QStringLiteral("745 ÷ 6"),
                const QString& entered = QStringLiteral("124 あまり 1"),
                const QString& mode = QStringLiteral("practice")) {
        if (!pupil.isEmpty()) learning->AddPupil(pupil);  // refused once in the roster
        const QString time = at.size() == 10 ? at + QStringLiteral("T10:00:00.000+09:00") : at;
        store->Commit({{QStringLiteral(
                            "insert into history (pupil_id, answered_at, topic, mode, menu_choice, problem,"
                            " right_answer, entered_answer, correct, seconds, error_kind, worked_rows) values"
                            " ((select id from pupils where name = ?), ?, ?, ?, 1, ?, '124 あまり 1',"
                            " ?, ?, ?, ?, '[]')"),
                        {pupil, time, topic, mode, problem, entered, correct ? 1 : 0, seconds,
                         kind.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(kind)}}});
    }
    int Count(const QString& sql) {
        QSqlQuery q(db());
        q.exec(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }
};

}  // namespace sorelka::testing
