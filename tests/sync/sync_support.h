// What the class-server tests share: one throwaway server per suite, a
// record file read on a connection of its own, and a PC in this process.
#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <set>
#include <string>

#include "drill/drill_log.h"
#include "app/recorded_answers.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "sync/class_sync.h"
#include "sync/pg_cluster.h"

namespace sorelka::testing {

using Rows = std::multiset<QString>;

// One server for every test of a suite: making a cluster costs seconds.
// Each test starts with empty tables.
class ServerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    PgCluster& cluster() { return *cluster_; }
    // Sends the record file at `path` to the server as the PC "pc" and
    // waits until every row is there.
    void SendRecord(const QString& path);

    static PgCluster* cluster_;
    static QString problem_;
};

// Every row of `table` on the server for one PC, as "id|col|col…".
Rows ServerRows(PgCluster& cluster, const QString& table, const QString& pc_id, const QString& columns);

// A record file read on a connection of its own.
class LocalFile {
public:
    explicit LocalFile(const QString& path);
    ~LocalFile();
    // The rows of `sql`, each field joined by "|"; one "error: …" row on an error.
    QStringList Query(const QString& sql);
    Rows Rows_(const QString& table, const QString& columns);
    QString PcId() { return Query("select pc_id from sync_source").value(0); }
    QSqlDatabase Database() const { return QSqlDatabase::database(name_); }

private:
    QString name_;
};

extern const QString kHistoryColumns;
extern const QString kDrillColumns;

// Each table of the file, row for row and column for column, is what the
// server holds for its PC: nothing lost, nothing twice, nothing changed.
void ExpectServerHoldsTheFile(PgCluster& cluster, LocalFile& file);

// A PC of its own in this process: the program's record, recorder and sync.
struct Pc {
    explicit Pc(const QString& folder);
    // One judged drill answer as the drill screens record it; its milliseconds.
    double Answer(const std::string& drill, int k);
    // A sync of this PC's file, started, with short waits.
    std::unique_ptr<sync::ClassSync> Sync(const sync::ServerConfig& config);

    QString path;
    FakeDialogs dialogs;
    FakeClock clock;
    record::RecordStore store;
    DrillLog log;
    record::LearningRecord learning;
    RecordedAnswers recorder;
};

}  // namespace sorelka::testing
