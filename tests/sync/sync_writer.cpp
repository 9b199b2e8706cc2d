// A PC of the class for the server tests:
//   sync_writer <data folder> <tag> <answers> <port> <password file> [pause ms]
// logs answers through the program's recorder (practice answers, and every
// tenth answer onwards a drill of ten) for two pupils while the class sync
// runs, carrying on from the answers the folder's record already holds.
// Prints "logged k" after each answer is committed; at the end waits until
// everything is sent and prints "sent". Exit 3: a message box was shown.
#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

#include "drill/drill_log.h"
#include "drill/drill_session.h"
#include "app/recorded_answers.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "sync/class_sync.h"

namespace {

sorelka::LocalTime Now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
            t.time().second(), t.time().msec(), t.offsetFromUtc() / 60};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 6) {
        std::fprintf(stderr, "usage: sync_writer <folder> <tag> <answers> <port> <password file> [pause ms]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::string tag = argv[2];
    const int answers = std::atoi(argv[3]);
    const int pause_ms = argc > 6 ? std::atoi(argv[6]) : 0;
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/kyozai.db");

    sorelka::testing::FakeDialogs dialogs;
    sorelka::testing::FakeClock clock;
    sorelka::record::RecordStore store(path, dialogs, &clock);
    sorelka::DrillLog log(store);
    sorelka::record::LearningRecord learning(store);
    sorelka::RecordedAnswers recorder(learning, log);
    const QString pupils[] = {QStringLiteral("はなこ"), QStringLiteral("たろう")};
    for (const QString& name : pupils) learning.AddPupil(name);

    sorelka::sync::ServerConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = std::atoi(argv[4]);
    config.database = QStringLiteral("sorelka");
    config.user = QStringLiteral("pc");
    config.sslmode = QStringLiteral("disable");
    config.password_file = QString::fromLocal8Bit(argv[5]);
    const sorelka::sync::PasswordReading password = sorelka::sync::ReadPasswordFile(config.password_file);
    if (!password.problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(password.problem));
        return 2;
    }
    config.password = password.password;
    sorelka::sync::SyncTiming timing;
    timing.idle_ms = 100;
    timing.first_retry_ms = 200;
    timing.longest_retry_ms = 1000;
    timing.batch_rows = 300;
    sorelka::sync::ClassSync sync(path, config, timing);
    sync.Start();

    QSqlQuery count(store.database());
    int k = count.exec(QStringLiteral("select count(*) from history")) && count.next() ? count.value(0).toInt() : 0;
    // An open read would pin an old snapshot, and the store's writes would
    // fail once the sync's confirmations moved the file past it.
    count.finish();
    std::string drill;
    sorelka::DrillFigures figures;
    for (++k; k <= answers; ++k) {
        // A pupil sits for twenty answers (choosing one also writes the settings).
        if (learning.current_pupil() != pupils[k / 20 % 2]) learning.ChoosePupil(pupils[k / 20 % 2]);
        sorelka::JudgedAnswer answer;
        answer.topic = sorelka::kAllTopics[k % sorelka::kAllTopics.size()];
        answer.menu_choice = k % 3;
        answer.problem = tag + " " + std::to_string(k);
        answer.right_answer = "12";
        answer.entered_answer = k % 4 == 0 ? "13" : "12";
        answer.correct = k % 4 != 0;
        answer.answered_at = Now();
        answer.seconds = 1.5;
        if (k % 20 < 10) {
            recorder.RecordPractice(answer);
        } else {
            if (k % 20 == 10) {
                drill = recorder.StartDrill({answer.topic, 0, 60, answer.answered_at});
                figures = {};
            }
            ++figures.questions;
            figures.correct += answer.correct ? 1 : 0;
            figures.points = figures.correct * 100 / figures.questions;
            recorder.RecordDrillAnswer(drill, figures.questions, answer,
                                       {figures.questions, answer.problem, "12", answer.entered_answer,
                                        answer.correct ? "○" : "×", 1, 0},
                                       figures);
            if (k % 20 == 19) recorder.FinishDrill(drill, figures, Now());
        }
        while (store.kept() > 0 && !store.Flush()) QCoreApplication::processEvents();
        std::printf("logged %d\n", k);
        std::fflush(stdout);
        QCoreApplication::processEvents();
        if (pause_ms > 0) QThread::msleep(pause_ms);
    }
    const bool sent = sync.WaitUntilSent(90000);
    std::printf(sent ? "sent\n" : "not sent: %s\n", qPrintable(sync.status().problem));
    std::fflush(stdout);
    if (!dialogs.shown.empty()) {
        std::printf("message box: %s\n", dialogs.shown.front().text.c_str());
        return 3;
    }
    return sent ? 0 : 1;
}
