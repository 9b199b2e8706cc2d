// The teacher's view and the exports on a file of 400,000 history rows:
// opening the view until the class is painted, the class's queries alone,
// the same queries through the sqlite3 command-line program in the same run,
// the answers file of every row, and the printed report for 40 pupils.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

#include "app/teacher/teacher_window.h"
#include "history_fill.h"
#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/pdf_report.h"
#include "report/report_data.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

struct Record {
    QTemporaryDir folder;
    testing::FakeServices fx;
    std::unique_ptr<record::RecordStore> store;
    std::unique_ptr<record::LearningRecord> learning;
    Record() {
        store = std::make_unique<record::RecordStore>(folder.path() + "/kyozai.db", fx.dialogs, nullptr,
                                                      record::RecordStore::CheckMode::Synchronous);
        store->Commit({{QStringLiteral("delete from pupils where 0"), {}}});
        bench::FillHistory(*store);
        learning = std::make_unique<record::LearningRecord>(*store);
    }
};

Record& Shared() {
    static Record record;
    return record;
}

void BM_TeacherViewOpens(benchmark::State& state) {
    Record& r = Shared();
    for (auto _ : state) {
        TeacherWindow w(*r.learning, r.fx.ctx, nullptr);
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.grab());
        state.PauseTiming();
        w.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TeacherViewOpens)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

void BM_ClassQueries(benchmark::State& state) {
    Record& r = Shared();
    for (auto _ : state) {
        const auto rows = report::ClassSummary(r.store->database(), {});
        if (rows.size() != 200) state.SkipWithError("not 200 rows");
    }
}
BENCHMARK(BM_ClassQueries)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

// The same statements through the sqlite3 program: a fresh process each
// time, as a script would run it; its start alone is measured beside it.
void BM_Sqlite3Program(benchmark::State& state) {
    Record& r = Shared();
    if (QStandardPaths::findExecutable("sqlite3").isEmpty()) {
        state.SkipWithError("sqlite3 is not installed");
        return;
    }
    const bool empty = state.range(0) == 0;
    const QString script = r.folder.path() + (empty ? "/empty.sql" : "/class.sql");
    {
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        QTextStream out(&f);
        if (!empty)
            for (const QString& s : report::ClassSummaryScript(r.store->database(), {})) out << s << ";\n";
    }
    for (auto _ : state) {
        QProcess p;
        p.setStandardInputFile(script);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start("sqlite3", {r.store->path()});
        p.waitForFinished(60000);
    }
}
BENCHMARK(BM_Sqlite3Program)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

void BM_CsvOfEveryRow(benchmark::State& state) {
    Record& r = Shared();
    QString error;
    for (auto _ : state)
        if (!report::ExportCsv(r.store->database(), {}, r.folder.path() + "/all.csv", &error))
            state.SkipWithError(error.toStdString().c_str());
    state.counters["MB"] = QFile(r.folder.path() + "/all.csv").size() / 1e6;
}
BENCHMARK(BM_CsvOfEveryRow)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(2);

void BM_PdfOf40Pupils(benchmark::State& state) {
    Record& r = Shared();
    QString error;
    for (auto _ : state)
        if (!report::ExportPdf(r.store->database(), {}, QDate(2026, 10, 16), r.folder.path() + "/all.pdf", &error))
            state.SkipWithError(error.toStdString().c_str());
    state.counters["KB"] = QFile(r.folder.path() + "/all.pdf").size() / 1e3;
}
BENCHMARK(BM_PdfOf40Pupils)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(2);

}  // namespace
}  // namespace sorelka
