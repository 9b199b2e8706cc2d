// Mastery on the record of 400,000 history rows (40 pupils x 200 school days
// x 50 answers): rebuilding skill_mastery from the whole history, and
// picking the next problem for a pupil from the kept states, 1,000 picks in
// a row as "次へ" asks for them (the focus carried from one to the next),
// within the division screen and across every topic as "おすすめ" does.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "coach/recommender.h"
#include "history_fill.h"
#include "record/learning_record.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

struct Record {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    std::unique_ptr<record::RecordStore> store;
    std::unique_ptr<record::LearningRecord> learning;
    Record() {
        store = std::make_unique<record::RecordStore>(folder.path() + "/kyozai.db", dialogs, nullptr,
                                                      record::RecordStore::CheckMode::Synchronous);
        store->Commit({{QStringLiteral("delete from pupils where 0"), {}}});
        bench::FillHistory(*store);
        learning = std::make_unique<record::LearningRecord>(*store);
        learning->TraceMastery(coach::ObserveStoredAnswer);
    }
};

Record& Shared() {
    static Record record;
    return record;
}

double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

void BM_RebuildMasteryFromHistory(benchmark::State& state) {
    Record& r = Shared();
    double cpu = 0;
    for (auto _ : state) {
        const double from = CpuSeconds();
        if (!r.learning->mastery()->Rebuild()) state.SkipWithError("rebuild failed");
        cpu += CpuSeconds() - from;
    }
    QSqlQuery q(r.store->database());
    q.exec("select count(*) from skill_mastery");
    q.next();
    state.counters["rows"] = q.value(0).toDouble();
    state.counters["cpu_s"] = cpu / double(state.iterations());
}
BENCHMARK(BM_RebuildMasteryFromHistory)->Unit(benchmark::kMillisecond)->Iterations(3);

void Picks(benchmark::State& state, std::optional<Topic> within) {
    Record& r = Shared();
    r.learning->mastery()->RebuildIfMissing();
    testing::SeededRandom random(27);
    std::vector<double> times;
    for (auto _ : state) {
        times.clear();
        std::string focus;
        for (int i = 0; i < 1000; ++i) {
            QElapsedTimer t;
            t.start();
            // What "次へ" does: the pupil's kept states, then the pick.
            const PupilSkills& skills = r.learning->mastery()->Skills(QStringLiteral("せいと%1").arg(1 + i % 40));
            coach::CoachRequest request;
            request.today = DayOf(LocalTime{2026, 12, 8});
            request.within = within;
            request.focus = focus;
            focus = coach::Recommend(skills, request, random).focus;
            times.push_back(t.nsecsElapsed() / 1000.0);
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["worst_us"] = times.back();
}

void BM_PickNextProblemDivision(benchmark::State& state) { Picks(state, Topic::Division); }
BENCHMARK(BM_PickNextProblemDivision)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_PickNextProblemAnyTopic(benchmark::State& state) { Picks(state, std::nullopt); }
BENCHMARK(BM_PickNextProblemAnyTopic)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace sorelka
