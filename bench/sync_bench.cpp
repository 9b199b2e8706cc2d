// 10,000 answers waiting in a record file, sent to a throwaway local
// PostgreSQL server: the time until the server has confirmed them all. And
// the teacher's view of a class the server holds (10,000 and 100,000
// answers of two PCs): reading it and copying it into a record in memory on
// the worker, and opening that copy on the user-interface thread.
//   sync_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "history_fill.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "report/report_data.h"
#include "sync/class_record.h"
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
    store.Commit(sorelka::bench::AnswersToSend(learning, clock.Now(), kRows));
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

// Thirty pupils on each of two PCs, their answers a minute apart.
void FillServer(int answers) {
    cluster->Query("truncate pupils, drills, history");
    // Both PCs' ids bound to the PC role the copy is read with.
    cluster->Query("insert into pc_owners (pc_id, owner) values ('pcA', 'pc'), ('pcB', 'pc') on conflict do nothing");
    cluster->Query("insert into pupils (pc_id, id, name, created_at) select pc, n, '児童' || n,"
                   " '2026-04-01T08:00:00' from generate_series(1, 30) n, (values ('pcA'), ('pcB')) v(pc)");
    cluster->Query(QStringLiteral(
                       "insert into history (pc_id, id, pupil_id, answered_at, topic, mode, problem, right_answer,"
                       " entered_answer, correct, seconds, error_kind, worked_rows) select"
                       " case when n % 2 = 0 then 'pcA' else 'pcB' end, n, 1 + n % 30,"
                       " to_char(timestamp '2026-04-01 08:00' + n * interval '1 minute', 'YYYY-MM-DD\"T\"HH24:MI:SS'),"
                       " 1 + n % 5, 'practice', '1234 ÷ 12', '102 あまり 10', '102', (n % 3 <> 0)::int, 12.5,"
                       " case when n % 3 = 0 then 'zero_missing' end, '[]' from generate_series(1, %1) n")
                       .arg(answers));
}

// On the worker: read the server and copy it into a record image (Pack);
// on the user-interface thread: open the image (Open) and read the class.
void BM_ClassFromServer(benchmark::State& state) {
    const int answers = int(state.range(0));
    FillServer(answers);
    double read_ms = 0, pack_ms = 0, open_ms = 0, summary_ms = 0, image_mib = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        sorelka::sync::ClassHistory history = sorelka::sync::ReadClassHistory(cluster->Config());
        const qint64 read = t.nsecsElapsed();
        if (int(history.answers.size()) != answers) {
            state.SkipWithError("the server's answers were not all read");
            break;
        }
        sorelka::sync::ClassRecord::Pack(history);
        const qint64 packed = t.nsecsElapsed();
        QString problem;
        const auto record = sorelka::sync::ClassRecord::Open(history, &problem);
        const qint64 opened = t.nsecsElapsed();
        if (!record) {
            state.SkipWithError("not opened");
            break;
        }
        benchmark::DoNotOptimize(sorelka::report::ClassSummary(record->database(), {}));
        const qint64 all = t.nsecsElapsed();
        state.SetIterationTime(all / 1e9);
        read_ms += read / 1e6;
        pack_ms += (packed - read) / 1e6;
        open_ms += (opened - packed) / 1e6;
        summary_ms += (all - opened) / 1e6;
        image_mib += history.record.size() / 1048576.0;
    }
    using benchmark::Counter;
    state.counters["read_ms"] = Counter(read_ms, Counter::kAvgIterations);
    state.counters["pack_ms"] = Counter(pack_ms, Counter::kAvgIterations);
    state.counters["open_ms"] = Counter(open_ms, Counter::kAvgIterations);
    state.counters["summary_ms"] = Counter(summary_ms, Counter::kAvgIterations);
    state.counters["image_MiB"] = Counter(image_mib, Counter::kAvgIterations);
}
BENCHMARK(BM_ClassFromServer)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

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
