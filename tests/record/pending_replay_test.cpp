// Journals of kept answers replayed into the record: each entry lands once
// whatever the number of journals and wherever the program is killed, and
// a journal's bytes are only ever read as values, never run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QtEndian>
#include <functional>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <numeric>
#include <sqlite3.h>

#include "drill/drill_log.h"
#include "record/pending_journal.h"
#include "record/record_store.h"
#include "record/statement_shapes.h"
#include "support/fakes.h"
#include "support/file_bytes.h"

namespace sorelka {
namespace {

using record::RecordStore;
using testing::FakeClock;
using testing::FakeDialogs;

// Another program holding the record's write lock until it lets go.
class Holder {
public:
    explicit Holder(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open() && QSqlQuery(db).exec("begin immediate"));
    }
    ~Holder() { Release(); }
    void Release() {
        if (!QSqlDatabase::contains(name_)) return;
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            QSqlQuery(db).exec("rollback");
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }

private:
    QString name_ = QStringLiteral("holder");
};

DrillRow Row(int n) { return {n, " row " + std::to_string(n), "1", "1", "○"}; }

// A journal as earlier versions of the program wrote it: statements as SQL
// text. Entry `damage` (from 1) gets a damaged length byte.
QByteArray OldJournal(const std::vector<record::Transaction>& entries, int damage = 0) {
    QByteArray bytes = "SORELKA-PENDING 0123456789abcdef0123456789abcdef\n";
    quint64 number = 0;
    for (const record::Transaction& t : entries) {
        QByteArray payload;
        {
            QDataStream out(&payload, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_0);
            out << ++number;
        }
        payload += record::EncodeTransaction(t);
        QByteArray length(4, Qt::Uninitialized);
        qToBigEndian<quint32>(quint32(payload.size()), length.data());
        if (int(number) == damage) length[3] = char(length[3] ^ 0x40);
        bytes += length + QCryptographicHash::hash(payload, QCryptographicHash::Sha256).left(8) + payload;
    }
    return bytes;
}

// A text as the journal's bytes hold it.
QByteArray AsStored(const QString& text) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << text;
    return bytes.mid(4);
}

record::Statement DrillRowStatement(int n) {
    return {record::Sql(record::Shape::DrillLogAdd),
            {n, QString(" row %1").arg(n), "1", "1", "○", QVariant(QMetaType::fromType<int>()),
             QVariant(QMetaType::fromType<int>())}};
}

struct PendingReplayTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    FakeClock clock;
    QString path() const { return folder.path() + "/kyozai.db"; }

    QStringList Journals() const { return QDir(folder.path()).entryList({"kyozai.db.pending", "kyozai.db.pending.*"}, QDir::Files);
    }

    // Row 0 in the file (a new one), then `journals` programs at once each keep `each`
    // rows while another program holds the file, and end: their journals
    // stay beside the record.
    void LeaveJournals(int journals, int each) {
        if (!QFile::exists(path())) DrillLog(path(), dialogs).AppendDrillRow(Row(0));
        Holder holder(path());
        std::vector<std::unique_ptr<RecordStore>> stores;
        std::vector<std::unique_ptr<DrillLog>> logs;
        for (int j = 0; j < journals; ++j) {
            stores.push_back(std::make_unique<RecordStore>(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous));
            logs.push_back(std::make_unique<DrillLog>(*stores.back()));
            for (int k = 1; k <= each; ++k) EXPECT_FALSE(logs.back()->AppendDrillRow(Row(j * each + k)));
        }
        logs.clear();
        stores.clear();
        ASSERT_EQ(Journals().size(), journals);
    }

    // A program that starts while the file is held, so everything waits,
    // then replays the journals once the file is free and is killed
    // (SIGKILL) just before its commit number `kill_at` (from 0).
    void ReplayKilledAt(int kill_at) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            {
                FakeDialogs quiet;
                Holder holder(path());
                RecordStore store(path(), quiet, &clock, RecordStore::CheckMode::Synchronous);
                holder.Release();
                const QVariant handle = store.database().driver()->handle();
                sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
                static int commits_left;
                commits_left = kill_at;
                sqlite3_commit_hook(db, [](void*) {
                    if (commits_left-- == 0) ::raise(SIGKILL);
                    return 0;
                }, nullptr);
                store.Flush();
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }

    std::vector<int> RowNumbers() {
        std::vector<int> numbers;
        for (const DrillRow& row : DrillLog(path(), dialogs).Rows()) numbers.push_back(row.no);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
};

TEST_F(PendingReplayTest, EveryJournalsEntriesLandOnceWhereverTheReplayIsKilled) {
    constexpr int kJournals = 3, kEach = 3;
    std::vector<int> all(kJournals * kEach + 1);
    std::iota(all.begin(), all.end(), 0);
    LeaveJournals(kJournals, kEach);
    const QString kept = folder.path() + "/kept";
    ASSERT_TRUE(QDir().mkpath(kept));
    for (const QString& name : Journals()) ASSERT_TRUE(QFile::copy(folder.path() + "/" + name, kept + "/" + name));
    const QByteArray before = testing::Contents(path());
    // Past the entries' commits come those after them: every point is tried.
    for (int kill_at = 0; kill_at <= kJournals * kEach + kJournals + 1; ++kill_at) {
        SCOPED_TRACE(kill_at);
        for (const char* side : {"-wal", "-shm"}) QFile::remove(path() + side);
        testing::Write(path(), before);
        for (const QString& name : QDir(kept).entryList(QDir::Files)) {
            QFile::remove(folder.path() + "/" + name);
            ASSERT_TRUE(QFile::copy(kept + "/" + name, folder.path() + "/" + name));
        }
        ReplayKilledAt(kill_at);
        ReplayKilledAt(kill_at / 2 + 1);  // killed again in the next replay
        EXPECT_EQ(RowNumbers(), all);
        EXPECT_TRUE(Journals().isEmpty()) << Journals().join(' ').toStdString();
    }
}

TEST_F(PendingReplayTest, AJournalIsReadAsValuesItsBadEntriesKeptAsideAndTheRestWritten) {
    const QString journal = path() + ".pending";
    const QString attached = folder.path() + "/attached.db";
    auto one = [](int n) { return record::Transaction{DrillRowStatement(n)}; };
    struct Case {
        const char* name;
        std::function<void()> make;  // leaves the journal beside a record of row 0
        std::vector<int> rows;       // the drill rows after it is replayed and row 9 added
        const char* kept_aside;      // in the bytes kept beside, not run
    };
    const Case cases[] = {
        {"an earlier version's journal with crafted, failing and damaged entries",
         [&] {
             testing::Write(journal, OldJournal({one(1),
                                                 {{"delete from history", {}}},
                                                 {{"attach database ? as x", {attached}}},
                                                 {{"insert into no_such_table values (1)", {}}},
                                                 one(2), one(3), one(4)},
                                                6));
         },
         {0, 1, 2, 4, 9}, "delete from history"},
        {"today's journal with a damaged length in its second entry",
         [&] {
             LeaveJournals(1, 4);
             QByteArray bytes = testing::Contents(journal);
             // The mark that starts each entry: the second entry's length.
             const qsizetype second = bytes.indexOf("\x1eSE2", bytes.indexOf("\x1eSE2") + 1);
             ASSERT_GT(second, 0);
             bytes[second + 6] = char(bytes[second + 6] ^ 0x40);
             testing::Write(journal, bytes);
         },
         {0, 1, 3, 4, 9}, "row 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files)) QFile::remove(folder.path() + "/" + name);
        {
            RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
            DrillLog log(store);
            ASSERT_TRUE(log.AppendDrillRow(Row(0)));
            ASSERT_EQ(store.Commit({{"insert into history (answered_at, topic, mode, problem, correct)"
                                     " values ('2026-12-01', 1, 'practice', '745 ÷ 6', 1)", {}}}),
                      RecordStore::Result::Written);
        }
        c.make();
        for (int start = 0; start < 2; ++start) {
            RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
            DrillLog log(store);
            if (start == 0) {
                EXPECT_TRUE(log.AppendDrillRow(Row(9))) << "later answers are not held up";
            }
            EXPECT_EQ(store.kept(), 0u);
        }
        EXPECT_EQ(RowNumbers(), c.rows);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("select count(*) from history") && q.next() && q.value(0).toInt() == 1);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("check");
        EXPECT_FALSE(QFile::exists(attached)) << "nothing but the program's own statements ran";
        EXPECT_TRUE(Journals().isEmpty()) << Journals().join(' ').toStdString();
        const QStringList aside = QDir(folder.path()).entryList({"kyozai.db.pending-damaged-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1) << "bad entries are kept beside";
        EXPECT_TRUE(testing::Contents(folder.path() + "/" + aside[0]).contains(AsStored(c.kept_aside)));
    }
}

}  // namespace
}  // namespace sorelka
