// The lesson tab's refresh as the teacher's window lives it: a reading of a
// 30-pupil class (from a source that answers at once, so what is timed is
// the window's own work) handed from the reading thread, put into the table
// in place, and the table painted. Every reading changes each pupil's
// figures, and every third one a pupil's screen and stuck mark.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTableView>
#include <QTimer>

#include "app/teacher/live_tab.h"
#include "support/fake_class_work.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

std::vector<LivePupil> ClassNow(int reading) {
    std::vector<LivePupil> rows;
    for (int i = 0; i < 30; ++i) {
        LivePupil p;
        p.pupil = QStringLiteral("なまえ %1").arg(i + 1);
        const bool moved = (i + reading) % 3 == 0;
        p.screen = moved ? QStringLiteral("TForm3") : QStringLiteral("TForm14");
        p.topic = moved ? 3 : 7;
        p.menu_choice = 1 + i % 4;
        p.signal_age = (reading + i) % 20;
        p.screen_seconds = 30 + reading * 5;
        p.answers = (reading + i) % 25;
        p.correct = p.answers * 3 / 4;
        p.stuck = moved && i % 2 == 0;
        if (p.stuck) p.stuck_why = QStringLiteral("５問中３問まちがい");
        rows.push_back(std::move(p));
    }
    return rows;
}

void BM_LiveRefreshOnTheWindowsThread(benchmark::State& state) {
    testing::FakeClock clock;
    auto script = std::make_shared<testing::LiveScript>();
    script->Set(ClassNow(0));
    LiveTab tab(clock, nullptr);
    tab.resize(1100, 680);
    tab.UseServer(std::make_unique<testing::FakeLiveSource>(script), QStringLiteral("4年1組"));
    tab.show();
    QApplication::processEvents();
    int reading = 0;
    for (auto _ : state) {
        state.PauseTiming();
        script->Set(ClassNow(++reading));
        state.ResumeTiming();
        QEventLoop loop;
        QObject::connect(&tab, &LiveTab::refreshed, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        tab.Refresh();
        loop.exec();
        // The table painted with the new rows.
        if (auto* table = tab.findChild<QTableView*>(QStringLiteral("LiveTable"))) table->viewport()->repaint();
    }
    state.counters["pupils"] = 30;
}
// Wall time from asking to the painted table: the window's own work plus
// two hops between the threads.
BENCHMARK(BM_LiveRefreshOnTheWindowsThread)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace sorelka
