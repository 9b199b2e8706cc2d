#include "reliability/record_faults.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace sorelka {

RecordFaults::RecordFaults(QString database, bool full_disk, std::mt19937& rng, testing::FakeClock& clock)
    : database_(std::move(database)),
      full_disk_(full_disk),
      rng_(rng),
      clock_(clock),
      holder_(QStringLiteral("holder-%1").arg(quintptr(this))) {
    // A disk an earlier run filled before it was killed stays full a while.
    if (QFile::exists(Filler())) events_left_ = 20 + Pick(200);
}

RecordFaults::~RecordFaults() {
    End();
    QSqlDatabase::removeDatabase(holder_);
}

QString RecordFaults::Filler() const { return QFileInfo(database_).absolutePath() + "/filler"; }

void RecordFaults::BeforeEvent() {
    if (events_left_ > 0 && --events_left_ == 0) End();
    if (events_left_ > 0 || Pick(1000) != 0) return;  // about one event in 1000
    const int kind = Pick(full_disk_ ? 5 : 4);
    if (kind == 0) {
        ++counts_["removed"];
        for (const char* side : {"", "-wal", "-shm"}) QFile::remove(database_ + side);
        disturbed_ = true;
    } else if (kind == 1) {
        ++counts_["replaced by garbage"];
        QFile garbage(database_ + ".garbage");
        if (garbage.open(QIODevice::WriteOnly)) garbage.write(QByteArray(1000 + Pick(9000), 'g'));
        garbage.close();
        QFile::remove(database_);
        QFile::rename(database_ + ".garbage", database_);
        disturbed_ = true;
    } else if (kind == 2) {
        // The PC's clock battery died: a year back, as far as the date goes.
        ++counts_["clock set back a year"];
        clock_.now.year -= 1;
    } else if (kind == 3) {
        // Another program holds the write lock for a while.
        if (!QFile::exists(database_)) return;
        ++counts_["held by another program"];
        QSqlDatabase db = QSqlDatabase::contains(holder_) ? QSqlDatabase::database(holder_, false)
                                                          : QSqlDatabase::addDatabase("QSQLITE", holder_);
        db.setDatabaseName(database_);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=100");
        if (db.open() && QSqlQuery(db).exec("begin immediate")) holding_ = true;
        // Now and then that program also has the usual journal: what the
        // record keeps meanwhile goes to a journal of its own.
        if (Pick(2) == 0) {
            auto journal = std::make_unique<record::PendingJournal>(database_ + ".pending");
            if (journal->Claim(true)) {
                ++counts_["journal held by another program"];
                journal_ = std::move(journal);
            }
        }
        events_left_ = 5 + Pick(40);
    } else {
        ++counts_["disk full"];
        QFile fill(Filler());
        if (fill.open(QIODevice::WriteOnly)) {
            const QByteArray block(4096, 'f');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
        }
        events_left_ = 20 + Pick(200);
    }
}

void RecordFaults::End() {
    events_left_ = 0;
    if (holding_) {
        QSqlQuery(QSqlDatabase::database(holder_, false)).exec("commit");
        QSqlDatabase::database(holder_, false).close();
        holding_ = false;
    }
    journal_.reset();
    QFile::remove(Filler());
}

}  // namespace sorelka
