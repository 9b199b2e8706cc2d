// A second program writing to the drill log, for the fault tests:
//   drill_log_writer <database> <tag> <rows> [pause ms]
// appends rows " <tag> k" numbered 1..rows and prints "committed k" after
// each append has returned;
//   drill_log_writer --no-retry <database> <tag> <rows> [pause ms]
// appends the rows without waiting for a busy file and prints "written k"
// or "kept k" after each, and "said <message>" for each message shown;
//   drill_log_writer --hold <database> <ms>
// takes the file's write lock, prints "holding", keeps it for <ms> and lets go;
//   drill_log_writer --hold-all <database> <ms>
// the same with an exclusive lock that keeps readers out too.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

#include "drill/drill_log.h"
#include "support/fakes.h"

namespace {

int Hold(const QString& path, int ms, bool readers_too) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
    db.setDatabaseName(path);
    if (!db.open()) return 1;
    QSqlQuery q(db);
    if (readers_too && (!q.exec("pragma locking_mode=exclusive") || !q.exec("begin exclusive") ||
                        !q.exec("select count(*) from sqlite_master")))
        return 1;
    if (!readers_too && !q.exec("begin immediate")) return 1;
    std::printf("holding\n");
    std::fflush(stdout);
    QThread::msleep(ms);
    q.exec("commit");
    return 0;
}

void Line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 4 && (mode == "--hold" || mode == "--hold-all"))
        return Hold(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), mode == "--hold-all");
    const bool no_retry = mode == "--no-retry";
    const int first = no_retry ? 2 : 1;
    if (argc < first + 3) {
        std::fprintf(stderr, "usage: drill_log_writer [--no-retry] <database> <tag> <rows> [pause ms]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[first]);
    const std::string tag = argv[first + 1];
    const int rows = std::atoi(argv[first + 2]);
    const int pause_ms = argc > first + 3 ? std::atoi(argv[first + 3]) : 0;
    sorelka::testing::FakeDialogs dialogs;
    sorelka::DrillLog log(path, dialogs);
    for (int k = 1; k <= rows; ++k) {
        const bool written = log.AppendDrillRow({k, " " + tag + " " + std::to_string(k), "1", "1", "○"});
        if (no_retry) {
            for (const auto& shown : dialogs.shown) {
                std::string text = shown.text;
                for (char& c : text)
                    if (c == '\n') c = ' ';
                Line("said " + text);
            }
            dialogs.shown.clear();
            Line((written ? "written " : "kept ") + std::to_string(k));
            if (pause_ms > 0) QThread::msleep(pause_ms);
            continue;
        }
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
        Line("committed " + std::to_string(k));
        if (pause_ms > 0) QThread::msleep(pause_ms);
    }
    return 0;
}
