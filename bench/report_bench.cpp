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
#include "report/xapi_export.h"
#include "exchange/roster_files.h"
#include "record/roster_import.h"
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

// Every answer of the class's year as xAPI statements (budget: 300,000 in
// under 10 s).
void BM_XapiOfEveryRow(benchmark::State& state) {
    Record& r = Shared();
    QString error;
    for (auto _ : state)
        if (!report::ExportXapi(r.store->database(), {}, {}, r.folder.path() + "/all.jsonl", &error))
            state.SkipWithError(error.toStdString().c_str());
    state.counters["MB"] = QFile(r.folder.path() + "/all.jsonl").size() / 1e6;
}
BENCHMARK(BM_XapiOfEveryRow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(2);

// A school's OneRoster set of 10,000 pupils in 300 classes read and put into
// a fresh record, then read and put in again unchanged.
void BM_RosterOf10000Pupils(benchmark::State& state) {
    QTemporaryDir set;
    auto write = [&](const char* name, const QString& text) {
        QFile f(set.filePath(QLatin1String(name)));
        if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
    };
    QString classes = "sourcedId,title,classType,schoolSourcedId\n", users =
        "sourcedId,username,givenName,familyName,metadata.jp.kanaGivenName,metadata.jp.kanaFamilyName\n",
            roles = "userSourcedId,role,orgSourcedId\n", enrollments =
                "classSourcedId,userSourcedId,role,metadata.jp.ShussekiNo\n";
    for (int c = 0; c < 300; ++c) classes += QStringLiteral("c%1,%1組,homeroom,s1\n").arg(c);
    for (int i = 0; i < 10000; ++i) {
        users += QStringLiteral("u%1,u%1,名%1,姓,めい,せい\n").arg(i);
        roles += QStringLiteral("u%1,student,s1\n").arg(i);
        enrollments += QStringLiteral("c%1,u%2,student,%3\n").arg(i % 300).arg(i).arg(i / 300 + 1);
    }
    write("manifest.csv", "propertyName,value\noneroster.version,1.2\nfile.orgs,bulk\nfile.academicSessions,bulk\n"
                          "file.classes,bulk\nfile.users,bulk\nfile.roles,bulk\nfile.enrollments,bulk\n");
    write("orgs.csv", "sourcedId,name,type\ns1,学校,school\n");
    write("academicSessions.csv", "sourcedId,title,type,startDate,endDate\ny,2026,schoolYear,2026-04-01,2027-03-31\n");
    write("classes.csv", classes);
    write("users.csv", users);
    write("roles.csv", roles);
    write("enrollments.csv", enrollments);
    for (auto _ : state) {
        QTemporaryDir folder;
        testing::FakeDialogs dialogs;
        record::RecordStore store(folder.path() + "/kyozai.db", dialogs, nullptr,
                                  record::RecordStore::CheckMode::Synchronous);
        for (int round = 0; round < 2; ++round) {
            const exchange::RosterRead read = exchange::ReadOneRoster(set.path());
            record::RosterImported done;
            QString refusal;
            if (!std::holds_alternative<exchange::Roster>(read) ||
                !record::ImportRoster(store, std::get<exchange::Roster>(read), &done, &refusal))
                state.SkipWithError("the set was refused");
        }
    }
}
BENCHMARK(BM_RosterOf10000Pupils)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(2);

}  // namespace
}  // namespace sorelka
