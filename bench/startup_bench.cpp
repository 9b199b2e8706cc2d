// Start-up, memory and cue timings of the real program pieces.
//
//   startup_bench            runs the comparison: starts itself again and
//                            again as "--bare" and "--menu" and prints medians
//   startup_bench --bare     a plain 955 x 716 QWidget: exits at its first paint
//   startup_bench --menu     the real main menu with all fifteen forms and the
//                            real sound services: exits at its first paint
//   startup_bench --playcue  times PlayCue through the real Qt sound backend
//
// Needs a display (run it under xvfb-run). Times are wall-clock from process
// start to the first paint event, measured by the parent.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QProcess>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"
#include "core/random.h"
#include "drill/drill_log.h"

namespace {

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Quits the application at the first paint of the watched window.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("painted peak_rss_kib=%ld\n", PeakRssKiB());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
        return false;
    }
};

int RunBare(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(955, 716);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return app.exec();
}

struct RealServices {
    sorelka::QtDialogs dialogs;
    sorelka::SystemClock clock;
    sorelka::SystemRandom random;
    std::string exe_folder = sorelka::ExecutableFolder();
    sorelka::QtSoundBackend sound;
    sorelka::CueDeck cues{exe_folder, sound, dialogs};
    sorelka::AppContext ctx{{}, cues, dialogs, clock, random, exe_folder, [] {}};
};

int RunMenu(int argc, char** argv) {
    QApplication app(argc, argv);
    RealServices services;
    sorelka::Program program(services.ctx, sorelka::DrillLog::DefaultPath());
    FirstPaint watcher;
    program.main_window()->installEventFilter(&watcher);
    program.main_window()->show();
    return app.exec();
}

int RunPlayCue(int argc, char** argv) {
    QApplication app(argc, argv);
    RealServices services;
    services.cues.SetSoundEnabled(true);
    QCoreApplication::processEvents();
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < 400; ++i) {
        timer.start();
        services.cues.PlayCue(sorelka::Cue{static_cast<unsigned>(11 + i % 9)});
        micros.push_back(timer.nsecsElapsed() / 1000.0);
        if (i % 20 == 0) QCoreApplication::processEvents();
    }
    std::sort(micros.begin(), micros.end());
    std::printf("PlayCue: median %.1f us, 95th %.1f us, worst %.1f us over %zu calls\n",
                micros[micros.size() / 2], micros[micros.size() * 95 / 100], micros.back(),
                micros.size());
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Compare(const char* self) {
    constexpr int kRuns = 9;
    std::vector<double> bare_ms, menu_ms;
    long menu_rss = 0;
    for (int run = 0; run < kRuns * 2 + 2; ++run) {
        const bool bare = run % 2 == 0;
        QElapsedTimer timer;
        QProcess child;
        timer.start();
        child.start(self, {bare ? "--bare" : "--menu"});
        child.waitForReadyRead(30000);
        const double ms = timer.nsecsElapsed() / 1e6;
        const QByteArray line = child.readAll();
        child.waitForFinished(30000);
        if (!line.startsWith("painted")) {
            std::fprintf(stderr, "child did not paint: %s\n", line.constData());
            return 1;
        }
        if (run < 2) continue;  // warm-up: fill the file cache
        (bare ? bare_ms : menu_ms).push_back(ms);
        if (!bare) menu_rss = std::max(menu_rss, line.mid(line.indexOf('=') + 1).trimmed().toLong());
    }
    const double b = Median(bare_ms), m = Median(menu_ms);
    std::printf("bare 955x716 window, start to first paint: median %.1f ms\n", b);
    std::printf("main menu with all forms, start to first paint: median %.1f ms (%.2f x bare; budget 1.6 x)\n",
                m, m / b);
    std::printf("peak memory at the main menu: %.1f MiB (budget 50 MiB)\n", menu_rss / 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == "--bare") return RunBare(argc, argv);
    if (mode == "--menu") return RunMenu(argc, argv);
    if (mode == "--playcue") return RunPlayCue(argc, argv);
    QCoreApplication app(argc, argv);
    return Compare(argv[0]);
}
