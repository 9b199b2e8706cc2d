#pragma once

// A record file as a class leaves it after a school year: 40 pupils x 200
// school days x 50 answers = 400,000 history rows, with a third of the
// answers wrong (kinds named on most of them) and times spread over a minute.
// And a PC's answers waiting to be sent to the school's server.

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "record/learning_record.h"
#include "record/record_store.h"

namespace sorelka::bench {

inline constexpr int kPupils = 40;
inline constexpr int kDays = 200;
inline constexpr int kAnswersPerDay = 50;

inline void FillHistory(record::RecordStore& store) {
    store.Ready();
    QSqlDatabase db = store.database();
    QSqlQuery q(db);
    q.exec("begin");
    q.prepare("insert into pupils (name) values (?)");
    for (int p = 1; p <= kPupils; ++p) {
        q.addBindValue(QStringLiteral("せいと%1").arg(p));
        q.exec();
    }
    q.prepare("insert into history (pupil_id, answered_at, topic, mode, menu_choice, problem,"
              " right_answer, entered_answer, correct, seconds, error_kind, worked_rows)"
              " values (?, ?, ?, 'practice', 1, '745 ÷ 6', '124 あまり 1', '124 あまり 1', ?, ?, ?,"
              " '[{\"name\":\"Label7\",\"text\":\"124\"}]')");
    static const char* const kinds[] = {"quotient_too_big", "zero_missing", "slip", "product_slip"};
    for (int p = 1; p <= kPupils; ++p)
        for (int day = 0; day < kDays; ++day) {
            const QString at = QDate(2026, 4, 1).addDays(day).toString(Qt::ISODate) +
                               QStringLiteral("T10:00:00.000+09:00");
            for (int a = 0; a < kAnswersPerDay; ++a) {
                const int n = (p * 7919 + day * 131 + a * 17) % 97;
                const bool wrong = n % 3 == 0;
                q.addBindValue(p);
                q.addBindValue(at);
                q.addBindValue(1 + a % 5);
                q.addBindValue(wrong ? 0 : 1);
                q.addBindValue(5 + n * 0.5);
                q.addBindValue(wrong && n % 4 ? QVariant(QString::fromLatin1(kinds[n % 4]))
                                              : QVariant(QMetaType::fromType<QString>()));
                q.exec();
            }
        }
    q.exec("commit");
    // As the store's own checkpoints leave a file that has grown over months.
    q.exec("pragma wal_checkpoint(truncate)");
}

// `count` practice answers of the chosen pupil over every topic, a third
// of them wrong, each with three worked rows, all answered `at`: one
// transaction, as a PC's day leaves them for the server.
inline record::Transaction AnswersToSend(record::LearningRecord& learning, const LocalTime& at, int count) {
    record::Transaction answers;
    for (int k = 0; k < count; ++k) {
        JudgedAnswer a;
        a.topic = kAllTopics[k % kAllTopics.size()];
        a.problem = "1234 ÷ 12 = " + std::to_string(k);
        a.right_answer = "102 あまり 10";
        a.entered_answer = k % 3 ? a.right_answer : "102";
        a.correct = k % 3 != 0;
        a.answered_at = at;
        a.seconds = 12.5;
        a.worked_rows = {{"Label7", "124"}, {"Label8", "120"}, {"Label9", "4"}};
        answers.push_back(learning.HistoryStatement(a, record::AnswerMode::Practice));
    }
    return answers;
}

}  // namespace sorelka::bench
