#include "reliability/restarted_runs.h"

#include <signal.h>
#include <sys/mount.h>

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <random>

#include "record/pending_journal.h"
#include "record/schema.h"
#include "support/fakes.h"

namespace sorelka {

namespace {

// What the record must hold: every transaction handed to it, in order, with
// SQLite's own all-or-nothing.
class Replay {
public:
    explicit Replay(const QString& name) : name_(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(":memory:");
        db.open();
        QSqlQuery q(db);
        for (const record::Migration& step : record::Migrations())
            for (const QString& sql : step.statements) q.exec(sql);
    }
    ~Replay() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    void Apply(const record::Transaction& t) {
        QSqlDatabase db = QSqlDatabase::database(name_);
        db.transaction();
        QSqlQuery r(db);
        bool ok = true;
        for (const record::Statement& st : t) {
            r.prepare(st.sql);
            for (const QVariant& v : st.values) r.addBindValue(v);
            ok = ok && r.exec();
            if (st.sql.startsWith("insert into history")) ++answers;
        }
        r.finish();
        ok ? db.commit() : db.rollback();
        ++transactions;
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_); }
    std::size_t transactions = 0;
    std::size_t answers = 0;

private:
    QString name_;
};

std::string Dump(const QSqlDatabase& db) {
    std::string out;
    // The class server's bookkeeping (a random id per file, what the server
    // confirmed) and how far a journal was written are no answers: they
    // differ between any two files.
    QStringList tables = db.tables().filter(QRegularExpression("^(?!sync_|pending_written)"));
    tables.sort();
    for (const QString& table : tables) {
        QSqlQuery q(db);
        q.exec("select * from \"" + table + "\" order by rowid");
        out += table.toStdString() + ":\n";
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i) out += q.value(i).toString().toStdString() + "|";
            out += "\n";
        }
    }
    return out;
}

// Another database's write-ahead log, as a killed program of another record
// leaves it: its -wal and -shm, made once.
struct ForeignLog {
    QTemporaryDir folder;
    ForeignLog() {
        const QString other = folder.path() + "/other.db";
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            db.setDatabaseName(other);
            QSqlQuery q(db);
            if (db.open() && q.exec("pragma journal_mode = wal") && q.exec("pragma wal_autocheckpoint = 0") &&
                q.exec("create table notes (id integer primary key, body text)") &&
                q.exec("with recursive n(k) as (select 1 union all select k + 1 from n where k < 300)"
                       " insert into notes (body) select printf('%0300d', k) from n"))
                for (const char* side : {"-wal", "-shm"}) QFile::copy(other + side, folder.path() + "/saved" + side);
            db.close();
        }
        QSqlDatabase::removeDatabase("foreign");
    }
    // Beside `record` once its own log is in it (the killed program's log is
    // copied into the file first, as its next start would).
    bool LeaveBeside(const QString& record) {
        if (!QFile::exists(record)) return false;
        bool copied = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "own-log");
            db.setDatabaseName(record);
            QSqlQuery q(db);
            copied = db.open() && q.exec("pragma wal_checkpoint(truncate)") && q.next() && q.value(0).toInt() == 0;
            q = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase("own-log");
        if (!copied || QFileInfo(record + "-wal").size() > 0) return false;
        for (const char* side : {"-wal", "-shm"}) {
            QFile::remove(record + side);
            QFile::copy(folder.path() + "/saved" + side, record + side);
        }
        return true;
    }
};

// A small file system of its own for the data folder (root only), so the
// disk can be filled; unmounted after the run.
struct SmallDisk {
    QByteArray at;
    bool mounted;
    SmallDisk(const QString& where, long events)
        : at(where.toLocal8Bit()),
          // It grows with the run: replaced files leave their set-aside
          // copies behind, and a set-aside record keeps its daily copies.
          mounted(::mount("tmpfs", at.constData(), "tmpfs", 0,
                          ("size=" + QByteArray::number(16 + events / 2000) + "m").constData()) == 0) {}
    ~SmallDisk() {
        if (mounted) ::umount2(at.constData(), MNT_DETACH);
    }
};

struct Outcome {
    bool ok = true;
    std::string failure;
};

// One seed: programs one after another until one reaches the last event.
Outcome RunSeed(const QString& program, long events, unsigned seed, bool full_disk, const QString& folder,
                Replay& replay, std::map<std::string, int>& counts) {
    LocalTime clock = testing::FakeClock().now;
    long first = 1;
    ForeignLog foreign;
    std::mt19937 rng(seed * 31u + 5u);
    auto Pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (;;) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{"--child", "--folder", folder, "--seed", QString::number(seed), "--first",
                         QString::number(first), "--events", QString::number(events), "--clock",
                         QStringLiteral("%1-%2-%3-%4-%5")
                             .arg(clock.year).arg(clock.month).arg(clock.day).arg(clock.hour).arg(clock.minute)};
        if (full_disk) args << "--full-disk";
        child.start(program, args);
        if (!child.waitForStarted()) return {false, "the pupil's program did not start"};
        bool died = false, ended = false;
        std::string failure;
        auto read = [&] {
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                if (line.startsWith("txn ")) {
                    const auto t = record::DecodeTransaction(QByteArray::fromBase64(line.mid(4)));
                    if (!t) failure = "a transaction came garbled";
                    else replay.Apply(*t);
                } else if (line.startsWith("fault ")) {
                    ++counts[line.mid(6).toStdString()];
                } else if (line.startsWith("die ")) {
                    ::kill(child.processId(), SIGKILL);
                    died = true;
                    const QList<QByteArray> f = line.split(' ');
                    first = f[1].toLong() + 1;
                    // Started again the next school day.
                    const QDate next = QDate(f[2].toInt(), f[3].toInt(), f[4].toInt()).addDays(1);
                    clock.year = next.year();
                    clock.month = next.month();
                    clock.day = next.day();
                    clock.hour = 8;
                    clock.minute = 30;
                } else if (line == "end") {
                    ended = true;
                } else if (line.startsWith("FAILED")) {
                    failure = line.toStdString();
                }
            }
        };
        while (child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(1000);
            read();
        }
        child.waitForFinished(-1);
        read();
        if (!failure.empty()) return {false, failure};
        if (died) {
            ++counts["killed and started again"];
            if (Pick(4) == 0 && foreign.LeaveBeside(folder + "/kyozai.db")) ++counts["another record's log left beside"];
            continue;
        }
        if (!ended || child.exitCode() != 0)
            return {false, "the pupil's program ended before its last event (exit " +
                               std::to_string(child.exitCode()) + ", status " + std::to_string(child.exitStatus()) + ")"};
        return {};
    }
}

}  // namespace

int RunWithRestarts(const QString& program, long events, unsigned seed, unsigned seeds) {
    QElapsedTimer timer;
    timer.start();
    std::map<std::string, int> counts;
    std::size_t transactions = 0, answers = 0;
    bool full_disk = false;
    for (unsigned s = seed; s < seed + seeds; ++s) {
        QTemporaryDir data;
        const SmallDisk disk(data.path(), events);
        full_disk = full_disk || disk.mounted;
        Replay replay(QStringLiteral("replay-%1").arg(s));
        Outcome outcome = RunSeed(program, events, s, disk.mounted, data.path(), replay, counts);
        const QString path = data.path() + "/kyozai.db";
        if (outcome.ok) {
            // The file, as the next start would find it, against the replay.
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "final");
                db.setDatabaseName(path);
                QSqlQuery check(db);
                if (!db.open()) {
                    outcome = {false, "the file cannot be opened at the end"};
                } else if (!check.exec("pragma integrity_check") || !check.next() ||
                           check.value(0).toString() != "ok") {
                    outcome = {false, "integrity check of the file failed"};
                } else {
                    check.finish();
                    const std::string file = Dump(db);
                    const std::string expected = Dump(replay.db());
                    if (file != expected)
                        outcome = {false, "the file does not hold every answer:\nfile:\n" + file.substr(0, 2000) +
                                              "\nexpected:\n" + expected.substr(0, 2000)};
                }
                check = QSqlQuery();
                db.close();
            }
            QSqlDatabase::removeDatabase("final");
            if (outcome.ok && QFile::exists(path + ".pending"))
                outcome = {false, "the journal is still there with every answer in the file"};
        }
        if (!outcome.ok) {
            std::printf("FAILED (seed %u): %s\n", s, outcome.failure.c_str());
            std::printf("replay: random_use --events %ld --seed %u --faults\n", events, s);
            std::printf("0 passed, 1 failed\n");
            return 1;
        }
        transactions += replay.transactions;
        answers += replay.answers;
    }
    std::printf("random use with faults: %ld events for each of seeds %u..%u (%ld in all, %zu answers) "
                "in %.1f s; every invariant held\n",
                events, seed, seed + seeds - 1, events * seeds, answers, timer.elapsed() / 1000.0);
    std::printf("faults:");
    for (const auto& [what, n] : counts) std::printf(" %s %d;", what.c_str(), n);
    std::printf(" %zu transactions, every one in the file at the end%s\n", transactions,
                full_disk ? "" : " (no full disk: mounting a tmpfs was refused)");
    std::printf("%u passed, 0 failed\n", seeds);
    return 0;
}

}  // namespace sorelka
