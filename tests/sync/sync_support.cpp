#include "sync/sync_support.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "drill/drill_session.h"

namespace sorelka::testing {

PgCluster* ServerSuite::cluster_ = nullptr;
QString ServerSuite::problem_;

void ServerSuite::SetUpTestSuite() {
    cluster_ = new PgCluster;
    if (!cluster_->Create(&problem_)) {
        delete cluster_;
        cluster_ = nullptr;
    }
}

void ServerSuite::TearDownTestSuite() {
    delete cluster_;
    cluster_ = nullptr;
}

void ServerSuite::SetUp() {
    if (!cluster_) {
        // CI installs PostgreSQL: there a missing server is a failure.
        if (problem_.startsWith("PostgreSQL is not installed") && qEnvironmentVariableIsEmpty("CI"))
            GTEST_SKIP() << problem_.toStdString();
        FAIL() << problem_.toStdString();
    }
    bool ok = false;
    cluster_->Query("truncate pupils, drills, history, class_pupils, pupil_links", &ok);
    ASSERT_TRUE(ok);
}

void ServerSuite::SendRecord(const QString& path) {
    sync::SyncTiming timing;
    timing.idle_ms = 50;
    timing.connect_timeout_s = 2;
    sync::ClassSync sync(path, cluster().Config(), timing);
    sync.Start();
    ASSERT_TRUE(sync.WaitUntilSent(30000)) << sync.status().problem.toStdString();
    sync.Stop();
}

Rows ServerRows(PgCluster& cluster, const QString& table, const QString& pc_id, const QString& columns) {
    const QStringList rows =
        cluster.Query(QStringLiteral("select id, %1 from %2 where pc_id = '%3'").arg(columns, table, pc_id));
    return Rows(rows.begin(), rows.end());
}

LocalFile::LocalFile(const QString& path) : name_("local-" + path) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
    db.setDatabaseName(path);
    db.open();
}

LocalFile::~LocalFile() { QSqlDatabase::removeDatabase(name_); }

QStringList LocalFile::Query(const QString& sql) {
    QSqlQuery q(QSqlDatabase::database(name_));
    QStringList rows;
    if (!q.exec(sql)) return {"error: " + q.lastError().text()};
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < q.record().count(); ++i) fields << (q.isNull(i) ? QString() : q.value(i).toString());
        rows << fields.join('|');
    }
    return rows;
}

Rows LocalFile::Rows_(const QString& table, const QString& columns) {
    const QStringList rows = Query(QStringLiteral("select id, %1 from %2").arg(columns, table));
    return Rows(rows.begin(), rows.end());
}

const QString kHistoryColumns = QStringLiteral(
    "pupil_id, answered_at, topic, mode, menu_choice, drill_id, question_no, problem, right_answer,"
    " entered_answer, correct, seconds, error_kind, error_step, worked_rows");
const QString kDrillColumns =
    QStringLiteral("uid, pupil_id, topic, started_at, finished_at, questions, correct, points, seconds");

void ExpectServerHoldsTheFile(PgCluster& cluster, LocalFile& file) {
    const QString pc = file.PcId();
    ASSERT_EQ(pc.size(), 32);
    for (const auto& [table, columns] : {std::pair{QStringLiteral("history"), kHistoryColumns},
                                         std::pair{QStringLiteral("drills"), kDrillColumns},
                                         std::pair{QStringLiteral("pupils"), QStringLiteral("name, archived")}}) {
        SCOPED_TRACE(table.toStdString());
        const Rows local = file.Rows_(table, columns);
        const Rows server = ServerRows(cluster, table, pc, columns);
        EXPECT_EQ(server.size(), local.size());
        EXPECT_TRUE(server == local);
    }
}

Pc::Pc(const QString& folder)
    : path(folder + "/kyozai.db"), store(path, dialogs, &clock), log(store), learning(store),
      recorder(learning, log) {
    learning.AddPupil(QStringLiteral("はなこ"));
    learning.ChoosePupil(QStringLiteral("はなこ"));
}

double Pc::Answer(const std::string& drill, int k) {
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.problem = std::to_string(k).insert(0, "P ");  // (GCC 12 warns wrongly on "P " + …)
    answer.right_answer = "3";
    answer.entered_answer = "3";
    answer.correct = true;
    answer.answered_at = clock.Now();
    answer.worked_rows = {{"Label7", "124"}};
    QElapsedTimer t;
    t.start();
    recorder.RecordDrillAnswer(drill, k, answer, {k, answer.problem, "3", "3", "○", 1, 0}, {k, k, 100, k});
    return t.nsecsElapsed() / 1e6;
}

std::unique_ptr<sync::ClassSync> Pc::Sync(const sync::ServerConfig& config) {
    sync::SyncTiming timing;
    timing.idle_ms = 50;
    timing.first_retry_ms = 100;
    timing.longest_retry_ms = 400;
    timing.connect_timeout_s = 2;
    auto s = std::make_unique<sync::ClassSync>(path, config, timing);
    s->Start();
    return s;
}

}  // namespace sorelka::testing
