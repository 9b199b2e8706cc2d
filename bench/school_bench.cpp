// The teacher's view at a school's scale, against the synthetic school of
// bench/school/school_server.sh (24 classes × 30 pupils × 200 days × 50
// answers) on a local cluster: signing in, the view of one class opening
// and painting, the one-pupil tab, the CSV of one class's year, a PC's sync
// of one day's 50 answers, the program's memory; then the copy-everything
// path of the build before on a slice of the same data, for comparison.
//   school_bench [port (55433)] [copy database (sorelka_copy)] [the cluster's CA file]
// With the CA file the teacher signs in to "localhost" verified
// (sslmode=verify-full), as the program requires of a teacher's sign-in.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "app/teacher/class_data.h"
#include "app/teacher/teacher_window.h"
#include "history_fill.h"
#include "record/learning_record.h"
#include "report/report_data.h"
#include "support/fakes.h"
#include "sync/class_read.h"
#include "sync/class_record.h"
#include "sync/class_sync.h"
#include "sync/teacher_session.h"

namespace {

using namespace sorelka;

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* what, const std::vector<double>& ms) {
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f, n=%zu)  peak RSS %.1f MiB\n", what, Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size(),
                PeakMiB());
    std::fflush(stdout);
}

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    sync::ServerConfig pc;
    pc.host = QStringLiteral("127.0.0.1");
    pc.port = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 55433;
    pc.database = QStringLiteral("sorelka");
    pc.user = QStringLiteral("pc_bench");
    pc.password = QStringLiteral("bench");
    pc.sslmode = QStringLiteral("disable");
    if (argc > 3) {
        pc.host = QStringLiteral("localhost");
        pc.sslmode = QStringLiteral("verify-full");
        pc.sslrootcert = QString::fromLocal8Bit(argv[3]);
    }
    const QString copy_database = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sorelka_copy");
    const QString kClass = QStringLiteral("4年1組");

    QTemporaryDir folder;
    testing::FakeServices fx;
    record::RecordStore store(folder.filePath("kyozai.db"), fx.dialogs, &fx.clock);
    record::LearningRecord learning(store);
    std::printf("start: peak RSS %.1f MiB\n", PeakMiB());

    std::vector<double> sign_in, opens, pupil_tab, csv, sync_ms;
    std::unique_ptr<TeacherWindow> window;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        QString problem;
        auto session = sync::TeacherSession::SignIn(pc, QStringLiteral("teacher_bench"), QStringLiteral("bench"), &problem);
        if (!session) {
            std::fprintf(stderr, "no sign-in: %s\n", qPrintable(problem));
            return 1;
        }
        sign_in.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        window = std::make_unique<TeacherWindow>(learning, fx.ctx, nullptr);
        window->SignIn(std::move(session));
        window->show();
        Settle();
        window->repaint();
        opens.push_back(t.nsecsElapsed() / 1e6);
    }
    Report("sign-in (teacher's role, one connection)", sign_in);
    Report("view of one class opens and paints", opens);

    window->findChild<QTabWidget*>(QStringLiteral("TeacherTabs"))->setCurrentIndex(1);
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("PupilChoice"));
    for (int i = 1; i <= 6 && i < choice->count(); ++i) {
        QElapsedTimer t;
        t.start();
        choice->setCurrentIndex(i);
        Settle();
        window->repaint();
        pupil_tab.push_back(t.nsecsElapsed() / 1e6);
    }
    Report("one-pupil tab (a year of 10,000 answers)", pupil_tab);

    {
        QString problem;
        auto session = sync::TeacherSession::SignIn(pc, QStringLiteral("teacher_bench"), QStringLiteral("bench"), &problem);
        const auto data = ClassData::OnServer(*session, kClass);
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer t;
            t.start();
            QString error;
            const QString path = folder.filePath("class.csv");
            if (!data->Export(ExportFormat::Csv, {}, QDate(2026, 12, 9), path, &error))
                std::fprintf(stderr, "csv: %s\n", qPrintable(error));
            csv.push_back(t.nsecsElapsed() / 1e6);
            if (round == 0) std::printf("CSV of the class's year: %.1f MiB\n", QFileInfo(path).size() / 1048576.0);
        }
    }
    Report("CSV of one class's year (300,000 answers)", csv);

    // A PC's day: 50 answers in a fresh record file, sent to the full server.
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir day;
        testing::FakeDialogs dialogs;
        testing::FakeClock clock;
        record::RecordStore pc_store(day.filePath("kyozai.db"), dialogs, &clock);
        record::LearningRecord pc_learning(pc_store);
        pc_learning.AddPupil(QStringLiteral("はなこ"));
        pc_learning.ChoosePupil(QStringLiteral("はなこ"));
        pc_store.Commit(bench::AnswersToSend(pc_learning, clock.Now(), 50));
        QElapsedTimer t;
        t.start();
        sync::SyncTiming timing;
        timing.idle_ms = 20;
        sync::ClassSync sync(pc_store.path(), pc, timing);
        sync.Start();
        if (!sync.WaitUntilSent(60000)) std::fprintf(stderr, "sync: %s\n", qPrintable(sync.status().problem));
        sync_ms.push_back(t.nsecsElapsed() / 1e6);
        sync.Stop();
    }
    Report("a PC's sync of 50 answers (7.2 M on the server)", sync_ms);
    window.reset();
    std::printf("peak RSS of the signed-in view throughout: %.1f MiB\n", PeakMiB());

    // The build before: every row the reader may read, copied into a record
    // in memory, then the class's figures counted there.
    sync::ServerConfig owner = pc;
    owner.user = QStringLiteral("postgres");
    owner.password.clear();
    owner.database = copy_database;
    QElapsedTimer t;
    t.start();
    sync::ClassHistory history = sync::ReadClass(owner, 30);
    const double read_ms = t.nsecsElapsed() / 1e6;
    const std::size_t rows = history.answers.size();
    sync::ClassRecord::Pack(history);
    const double pack_ms = t.nsecsElapsed() / 1e6 - read_ms;
    QString problem;
    const auto copy = sync::ClassRecord::Open(history, &problem);
    const double open_ms = t.nsecsElapsed() / 1e6 - read_ms - pack_ms;
    if (copy) report::ClassSummary(copy->database(), {});
    const double all_ms = t.nsecsElapsed() / 1e6;
    std::printf("copy-everything path, %zu answers: read %.0f ms + copy %.0f ms + open %.0f ms, with the class's "
                "figures %.0f ms; image %.1f MiB; peak RSS %.1f MiB %s\n",
                rows, read_ms, pack_ms, open_ms, all_ms, history.record.size() / 1048576.0, PeakMiB(),
                qPrintable(problem));
    return 0;
}
