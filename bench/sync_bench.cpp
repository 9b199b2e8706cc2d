// 10,000 answers waiting in a record file, sent to a throwaway local
// PostgreSQL server: the time until the server has confirmed them all.
//   sync_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "record/learning_record.h"
#include "support/fakes.h"
#include "sync/class_sync.h"
#include "sync/pg_cluster.h"

namespace {

sorelka::testing::PgCluster* cluster = nullptr;
constexpr int kRows = 10000;

void BM_SendWaitingAnswers(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("kyozai.db");
    sorelka::testing::FakeDialogs dialogs;
    sorelka::testing::FakeClock clock;
    sorelka::record::RecordStore store(path, dialogs, &clock);
    sorelka::record::LearningRecord learning(store);
    learning.AddPupil(QStringLiteral("はなこ"));
    learning.ChoosePupil(QStringLiteral("はなこ"));
    sorelka::record::Transaction answers;
    for (int k = 0; k < kRows; ++k) {
        sorelka::JudgedAnswer a;
        a.topic = 1 + k % 5;
        a.problem = "1234 ÷ 12 = " + std::to_string(k);
        a.right_answer = "102 あまり 10";
        a.entered_answer = k % 3 ? a.right_answer : "102";
        a.correct = k % 3 != 0;
        a.answered_at = clock.Now();
        a.seconds = 12.5;
        a.worked_rows = {{"Label7", "124"}, {"Label8", "120"}, {"Label9", "4"}};
        answers.push_back(learning.HistoryStatement(a, sorelka::record::AnswerMode::Practice));
    }
    store.Commit(std::move(answers));
    for (auto _ : state) {
        cluster->Query("truncate pupils, drills, history");
        QSqlQuery(store.database()).exec("delete from sync_confirmed");
        QElapsedTimer t;
        t.start();
        sorelka::sync::SyncTiming timing;
        timing.idle_ms = 50;
        sorelka::sync::ClassSync sync(path, cluster->Config(), timing);
        sync.Start();
        if (!sync.WaitUntilSent(60000)) state.SkipWithError("not sent");
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        sync.Stop();
        if (cluster->Query("select count(*) from history").value(0).toInt() != kRows)
            state.SkipWithError("the server does not hold every row");
    }
    state.counters["rows_per_s"] = benchmark::Counter(kRows, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SendWaitingAnswers)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    sorelka::testing::PgCluster server;
    QString problem;
    if (!server.Create(&problem)) {
        std::fprintf(stderr, "no server: %s\n", qPrintable(problem));
        return 1;
    }
    cluster = &server;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
