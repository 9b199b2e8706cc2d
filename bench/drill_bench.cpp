// The drill log on a real SQLite file, and the division drill's handlers on
// the offscreen platform: appending one answer (committed before it returns),
// clearing a 100-row log, "スタート" with its database work, a digit, "終わり".
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "decimals/decimal_drill_screen.h"
#include "division/division_drill_screen.h"
#include "drill/drill_log.h"
#include "fractions/fraction_drill_screen.h"
#include "support/fakes.h"
#include "widgets/choice_list.h"

namespace sorelka {
namespace {

DrillRow Row(int no) { return {no, " 745 ÷ 6", "124", "124", "○", 1, 1}; }

void BM_AppendDrillRow(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    log.ClearDrillLog();
    int no = 0;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        log.AppendDrillRow(Row(++no));
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        if (no % 100 == 0) {
            state.PauseTiming();
            log.ClearDrillLog();
            state.ResumeTiming();
        }
    }
    state.counters["worst_us"] = worst;
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

// "スタート" on the division drill with 100 rows left in the log.
void BM_StartDrillClearing100Rows(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    division::DivisionDrillScreen screen(services.ctx, log, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(2);
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) log.AppendDrillRow(Row(i));
        services.cues.clear();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        screen.StartDrill();
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_StartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);

// A digit, then "終わり" with its log row, on the division drill.
void BM_DigitAndFinish(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    division::DivisionDrillScreen screen(services.ctx, log, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(0);
    screen.StartDrill();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        screen.ComboBox4Change(1);  // a quotient digit
        screen.ComboBox6Change(6);  // "終わり": judged and logged
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        state.PauseTiming();
        screen.NextQuestion();
        services.cues.clear();
        state.ResumeTiming();
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_DigitAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);

// "スタート" on the fraction drill with 100 rows left in the log.
void BM_FractionStartDrillClearing100Rows(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    FractionDrillScreen screen(services.ctx, log, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(0);
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) log.AppendDrillRow(Row(i));
        services.cues.clear();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        screen.StartDrill();
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_FractionStartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);

// Two digits, " 整数", then "終わり" with its log row, on the fraction drill.
void BM_FractionEntryAndFinish(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    FractionDrillScreen screen(services.ctx, log, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(0);
    screen.StartDrill();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        screen.ComboBox3Change(1);
        screen.ComboBox2Change(2);
        screen.ComboBox4Change(0);  // " 整数"
        screen.ComboBox4Change(4);  // "終わり": judged and logged
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        state.PauseTiming();
        screen.NextQuestion();
        services.cues.clear();
        state.ResumeTiming();
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_FractionEntryAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);

// "スタート" on the decimal addition drill (three places) with 100 rows in the log.
void BM_DecimalStartDrillClearing100Rows(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    decimals::DecimalDrillScreen screen(services.ctx, log, decimals::kAdditionDrill, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(2);
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) log.AppendDrillRow({i, " 1.234 ＋ 4.321", " 5.555", " 5.555", " ○"});
        services.cues.clear();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        screen.StartDrill();
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_DecimalStartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);

// A digit, then "終わり" with its log row, on the decimal addition drill.
void BM_DecimalDigitAndFinish(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log(folder.path() + "/kyozai.db", services.dialogs);
    decimals::DecimalDrillScreen screen(services.ctx, log, decimals::kAdditionDrill, nullptr);
    screen.ShowModeless();
    screen.findChild<ChoiceList*>("ComboBox1")->Choose(1);
    screen.StartDrill();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        screen.ComboBox5Change(3);  // a ones digit
        screen.ComboBox7Change(0);  // "終わり": judged and logged
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        state.PauseTiming();
        screen.NextQuestion();
        services.cues.clear();
        state.ResumeTiming();
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_DecimalDigitAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);

}  // namespace
}  // namespace sorelka

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
