// The drill log on a real SQLite file: appending one answer (committed before
// it returns) and clearing a 100-row log as "スタート" does.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "drill/drill_log.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

DrillRow Row(int no) { return {no, " 745 ÷ 6", "124", "124", "○", 1, 1}; }

void BM_AppendDrillRow(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    log.ClearDrillLog();
    int no = 0;
    for (auto _ : state) {
        log.AppendDrillRow(Row(++no));
        if (no % 100 == 0) {
            state.PauseTiming();
            log.ClearDrillLog();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_AppendDrillRow)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(false);

void BM_ClearDrillLogOf100Rows(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) log.AppendDrillRow(Row(i));
        state.ResumeTiming();
        log.ClearDrillLog();
    }
}
BENCHMARK(BM_ClearDrillLogOf100Rows)->Unit(benchmark::kMicrosecond)->Iterations(30)->Repetitions(3);

}  // namespace
}  // namespace sorelka

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
