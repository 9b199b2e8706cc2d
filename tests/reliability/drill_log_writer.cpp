// A second program writing to the drill log, for the fault tests:
//   drill_log_writer <database> <tag> <rows> [pause ms]
// appends rows " <tag> k" numbered 1..rows and prints "committed k" after
// each append has returned;
//   drill_log_writer --hold <database> <ms>
// takes the file's write lock, prints "holding", keeps it for <ms> and lets go.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

#include "drill/drill_log.h"
#include "support/fakes.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--hold") {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
        db.setDatabaseName(QString::fromLocal8Bit(argv[2]));
        if (!db.open() || !QSqlQuery(db).exec("begin immediate")) return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        QThread::msleep(std::atoi(argv[3]));
        QSqlQuery(db).exec("commit");
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: drill_log_writer <database> <tag> <rows> [pause ms]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const std::string tag = argv[2];
    const int rows = std::atoi(argv[3]);
    const int pause_ms = argc > 4 ? std::atoi(argv[4]) : 0;
    sorelka::testing::FakeDialogs dialogs;
    sorelka::DrillLog log(path, dialogs);
    for (int k = 1; k <= rows; ++k) {
        log.AppendDrillRow({k, " " + tag + " " + std::to_string(k), "1", "1", "○"});
        // A row kept while the other program held the file is written as
        // soon as it lets go; only then is it reported as committed.
        for (int tries = 0; log.store().kept() > 0 && tries < 400; ++tries) {
            QThread::msleep(25);
            log.store().Flush();
        }
        if (log.store().kept() > 0 || !dialogs.shown.empty()) {
            std::printf("failed %d: %s\n", k,
                        dialogs.shown.empty() ? "still kept" : dialogs.shown.back().text.c_str());
            return 1;
        }
        std::printf("committed %d\n", k);
        std::fflush(stdout);
        if (pause_ms > 0) QThread::msleep(pause_ms);
    }
    return 0;
}
