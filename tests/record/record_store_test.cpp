// The record file under the things that go wrong with files on a classroom
// PC: a broken file, a file removed or replaced while a drill runs, another
// program holding the lock, a full disk, a file from a newer program; and
// the daily backups. Real SQLite files throughout.
#include "record/record_store.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>

#include "app/program.h"
#include "drill/drill_log.h"
#include "record/schema.h"
#include "support/fakes.h"
#include "support/file_bytes.h"

namespace sorelka {
namespace {

using record::RecordStore;
using testing::FakeClock;
using testing::Contents;
using testing::FakeDialogs;
using testing::Write;

DrillRow Row(int no) { return {no, " " + std::to_string(no) + " ÷ 3", "1", "1", "○", 0, 0}; }

// Runs the event loop until `done` or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// Reads the file with a connection of its own: what another program would see.
struct Peek {
    explicit Peek(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "peek");
        db.setDatabaseName(path);
        db.open();
    }
    ~Peek() {
        QSqlDatabase::database("peek", false).close();
        QSqlDatabase::removeDatabase("peek");
    }
    QVariant One(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database("peek"));
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    std::vector<int> Numbers() {
        std::vector<int> out;
        QSqlQuery q(QSqlDatabase::database("peek"));
        q.exec("select \"NO\" from dorill order by rowid");
        while (q.next()) out.push_back(q.value(0).toInt());
        return out;
    }
};

std::vector<int> OneTo(int n) {
    std::vector<int> v;
    for (int k = 1; k <= n; ++k) v.push_back(k);
    return v;
}

struct RecordStoreTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    FakeClock clock;
    QString path() const { return folder.path() + "/kyozai.db"; }
    std::unique_ptr<RecordStore> Open() {
        return std::make_unique<RecordStore>(path(), dialogs, &clock,
                                             RecordStore::CheckMode::Synchronous);
    }
};

// A real record of many pages, cut off half-way.
void MakeTruncatedRecord(const QString& path, const QString& scratch) {
    {
        FakeDialogs quiet;
        DrillLog log(scratch, quiet);
        record::Transaction many;
        for (int k = 0; k < 3000; ++k)
            many.push_back({"insert into dorill (\"NO\", MND) values (?, ?)",
                            {k, QString(200, QChar(u'あ'))}});
        log.store().Commit(std::move(many));
        QSqlQuery(log.store().database()).exec("pragma wal_checkpoint(truncate)");
    }
    const QByteArray whole = Contents(scratch);
    ASSERT_GT(whole.size(), 200000);
    Write(path, whole.left(whole.size() / 2));
}

TEST_F(RecordStoreTest, ABrokenFileIsKeptAsItWasAndEveryLaterAnswerIsLogged) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"garbage", [](const QString& p) { Write(p, QByteArray(5000, 'x')); }},
        {"truncated copy",
         [this](const QString& p) { MakeTruncatedRecord(p, folder.path() + "/whole.db"); }},
        {"a folder", [](const QString& p) {
             QDir().mkpath(p);
             Write(p + "/inside.txt", "kept");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            QFileInfo(folder.path() + "/" + name).isDir()
                ? (void)QDir(folder.path() + "/" + name).removeRecursively()
                : (void)QFile::remove(folder.path() + "/" + name);
        dialogs.shown.clear();
        c.make(path());
        const bool was_folder = QFileInfo(path()).isDir();
        const QByteArray before = Contents(path());

        auto store = Open();
        DrillLog log(*store);
        log.ClearDrillLog();
        for (int k = 1; k <= 50; ++k) EXPECT_TRUE(log.AppendDrillRow(Row(k)));
        EXPECT_EQ(log.result_set()->rowCount(), 50) << "every answer is on the score sheet";

        ASSERT_EQ(store->set_aside().size(), 1);
        const QString aside = store->set_aside().front();
        EXPECT_TRUE(aside.startsWith(path() + ".broken-20261208-132300")) << aside.toStdString();
        if (was_folder)
            EXPECT_EQ(Contents(aside + "/inside.txt"), "kept");
        else
            EXPECT_EQ(Contents(aside), before) << "kept byte for byte";
        ASSERT_EQ(dialogs.shown.size(), 1u) << "told once";
        EXPECT_NE(dialogs.shown[0].text.find("こわれて"), std::string::npos);
        EXPECT_NE(dialogs.shown[0].text.find(aside.toStdString()), std::string::npos);
    }
}

TEST_F(RecordStoreTest, AFileRemovedOrReplacedWhileADrillRunsLosesNoAnswer) {
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "replaced by garbage" : "removed");
        QFile::remove(path());
        dialogs.shown.clear();
        {
            auto store = Open();
            DrillLog log(*store);
            log.ClearDrillLog();
            for (int k = 1; k <= 10; ++k) log.AppendDrillRow(Row(k));
            for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path() + side);
            if (replaced) Write(path(), QByteArray(3000, 'g'));
            for (int k = 11; k <= 20; ++k) EXPECT_TRUE(log.AppendDrillRow(Row(k)));
            EXPECT_EQ(log.result_set()->rowCount(), 20);
        }
        Peek file(path());
        EXPECT_EQ(file.Numbers(), OneTo(20));
        EXPECT_EQ(file.One("pragma integrity_check").toString(), "ok");
        EXPECT_EQ(dialogs.shown.size(), replaced ? 1u : 0u) << "a removed file is simply rebuilt";
    }
}

QString Writer() { return QString::fromStdString(ExecutableFolder()) + "drill_log_writer"; }

TEST_F(RecordStoreTest, AnotherProgramHoldingTheLockDelaysAnswersButLosesNone) {
    auto store = Open();
    DrillLog log(*store);
    log.ClearDrillLog();
    // A short hold: the write waits for it. A long one: the answers are kept
    // and written once the lock is free. Neither is worth a message box.
    for (const int hold_ms : {2000, 4500}) {
        SCOPED_TRACE(hold_ms);
        const int first = static_cast<int>(log.Rows().size()) + 1;
        QProcess holder;
        holder.start(Writer(), {"--hold", path(), QString::number(hold_ms)});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        for (int k = first; k < first + 5; ++k) log.AppendDrillRow(Row(k));
        ASSERT_TRUE(holder.waitForFinished(20000));
        ASSERT_TRUE(WaitFor([&] { return store->kept() == 0; }, 5000));
        EXPECT_EQ(log.Rows().size(), static_cast<std::size_t>(first + 4));
    }
    EXPECT_EQ(log.result_set()->rowCount(), 10) << "the score sheet caught up";
    EXPECT_TRUE(dialogs.shown.empty());
}

// A small file system of its own as the data folder, unmounted at the end.
struct TmpfsFolder {
    QString at;
    bool mounted = false;
    TmpfsFolder(const QString& where, const char* size) : at(where) {
        QDir().mkpath(at);
        mounted = ::mount("tmpfs", at.toLocal8Bit().constData(), "tmpfs", 0,
                          (std::string("size=") + size).c_str()) == 0;
    }
    ~TmpfsFolder() {
        if (mounted) ::umount2(at.toLocal8Bit().constData(), MNT_DETACH);
    }
};

TEST_F(RecordStoreTest, AFullDiskKeepsTheAnswersUntilThereIsSpaceAgain) {
    TmpfsFolder disk(folder.path() + "/small", "2m");
    if (!disk.mounted)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
    const QString db = disk.at + "/kyozai.db";
    const QString filler = disk.at + "/filler";
    int answers = 0;
    {
        RecordStore store(db, dialogs, &clock, RecordStore::CheckMode::Synchronous);
        DrillLog log(store);
        log.ClearDrillLog();
        for (int k = 0; k < 20; ++k) log.AppendDrillRow(Row(++answers));
        // Fill the disk to the last byte.
        {
            QFile fill(filler);
            ASSERT_TRUE(fill.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
            while (fill.write("f", 1) == 1 && fill.flush()) {
            }
        }
        // A drill goes on: long problem texts fill what little the log has.
        int kept_at = 0;
        for (int k = 0; k < 400 && kept_at == 0; ++k) {
            DrillRow row = Row(++answers);
            row.mnd = std::string(600, 'n');
            if (!log.AppendDrillRow(row)) kept_at = answers;
        }
        ASSERT_GT(kept_at, 0) << "the disk never filled";
        for (int k = 0; k < 10; ++k) log.AppendDrillRow(Row(++answers));
        EXPECT_EQ(store.kept(), 11u);
        ASSERT_EQ(dialogs.shown.size(), 1u) << "told once";
        EXPECT_NE(dialogs.shown[0].text.find("ディスク"), std::string::npos);

        QFile::remove(filler);
        ASSERT_TRUE(WaitFor([&] { return store.kept() == 0; }, 5000)) << "written once space is back";
        EXPECT_EQ(dialogs.shown.size(), 1u);
    }
    Peek file(db);
    EXPECT_EQ(file.Numbers(), OneTo(answers));
    EXPECT_EQ(file.One("pragma integrity_check").toString(), "ok");
}

TEST_F(RecordStoreTest, ATransactionTheFileRefusesDoesNotHoldUpLaterAnswers) {
    auto store = Open();
    DrillLog log(*store);
    log.AppendDrillRow(Row(1));
    // A unique column broken: SQLite will never take it.
    const record::Statement twice{"create unique index if not exists one_no on dorill(\"NO\")", {}};
    store->Commit({twice});
    EXPECT_EQ(store->Commit({{"insert into dorill (\"NO\") values (1)", {}}}),
              RecordStore::Result::Refused);
    EXPECT_TRUE(log.AppendDrillRow(Row(2))) << "written, not kept behind the refused one";
    EXPECT_EQ(store->kept(), 0u);
    EXPECT_EQ(log.Rows().size(), 2u);
}

TEST_F(RecordStoreTest, OneBackupADayAndTheLastSevenKept) {
    for (int day = 1; day <= 8; ++day) {
        clock.now = {2026, 11, day, 8, 30, 0};
        {
            RecordStore first(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
            DrillLog first_start(first);  // makes the file on day 1
            first_start.AppendDrillRow(Row(day));
        }
        // The day's first start (above, from day 2 on) copied the file; later
        // starts the same day copy nothing.
        auto store = Open();
        store->WaitForBackgroundWork();
    }
    const QStringList copies =
        QDir(folder.path() + "/backups").entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(copies.size(), 7) << copies.join(' ').toStdString();
    EXPECT_EQ(copies.front(), "kyozai-20261102.db") << "the oldest went";
    EXPECT_EQ(copies.back(), "kyozai-20261108.db");
    Peek backup(folder.path() + "/backups/kyozai-20261108.db");
    EXPECT_EQ(backup.Numbers(), OneTo(7)) << "the file as it was at that day's first start";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RecordStoreTest, OlderFilesAreUpgradedAndANewerOneIsOnlyRead) {
    {  // a file as the program wrote it before the layout had versions
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.exec("create table dorill (\"NO\" integer, MND text, KAI text, KOT text, HNT text,"
               " AMS integer, AMI integer)");
        q.exec("insert into dorill values (1, ' 84 ÷ 4', '21', '21', '○', 0, 0)");
        q.exec("insert into dorill values (2, ' 93 ÷ 3', '31', '30', '×', 0, 3)");
        db.close();
    }
    QSqlDatabase::removeDatabase("old");
    {
        auto store = Open();
        DrillLog log(*store);
        EXPECT_EQ(log.Rows().size(), 2u) << "rows kept";
        EXPECT_EQ(QSqlQuery(store->database()).exec("pragma user_version"), true);
        EXPECT_TRUE(dialogs.shown.empty());
    }
    {
        Peek file(path());
        EXPECT_EQ(file.One("pragma user_version").toInt(), record::SchemaVersion());
        file.One("pragma user_version = 999");
    }
    const QByteArray newer = Contents(path());
    {
        auto store = Open();
        DrillLog log(*store);
        EXPECT_TRUE(store->read_only());
        EXPECT_EQ(log.Rows().size(), 2u) << "its rows are read";
        EXPECT_FALSE(log.AppendDrillRow(Row(3)));
        EXPECT_FALSE(log.ClearDrillLog());
        ASSERT_EQ(dialogs.shown.size(), 1u) << "told once";
        EXPECT_NE(dialogs.shown[0].text.find("新しい版"), std::string::npos);
    }
    EXPECT_EQ(Contents(path()), newer) << "a newer program's file is not touched";
}

}  // namespace
}  // namespace sorelka
