// The record's safety nets must not lose it: sound files are never set
// aside, answers kept for a file that cannot take them outlive the program,
// and the record's files are private. Real SQLite files, and real second
// programs where another program or another account is the point.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>

#include "app/program.h"
#include "drill/drill_log.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "record/schema.h"
#include "support/fakes.h"
#include "support/file_bytes.h"
#include "support/old_record_file.h"

namespace sorelka {
namespace {

using record::RecordStore;
using testing::FakeClock;
using testing::Contents;
using testing::FakeDialogs;
using testing::Write;

// One value read with a connection of its own, as another program would.
QString One(const QString& path, const QString& sql) {
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "one");
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql)) {
            QStringList values;
            while (q.next()) values << q.value(0).toString();
            value = values.join('|');
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("one");
    return value;
}

int Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QStringList SetAsideFiles(const QString& folder) {
    return QDir(folder).entryList({"kyozai.db.*-*"}, QDir::AllEntries);
}

struct RecordSafetyTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    FakeClock clock;
    QString path() const { return folder.path() + "/kyozai.db"; }
};

TEST_F(RecordSafetyTest, ASoundRecordStaysInPlaceWithItsRows) {
    auto dump = [this](int version) {
        // What `sqlite3 old.db .dump | sqlite3 kyozai.db` leaves: the tables
        // and rows of a record at `version`, user_version 0, no write-ahead log.
        return [this, version] {
            ASSERT_EQ(testing::MakeRecordFileAtLayout(path(), version, [](QSqlQuery& q) {
                          return q.exec("insert into pupils (name) values ('はなこ')") &&
                                 q.exec("insert into history (pupil_id, answered_at, topic, mode, problem,"
                                        " correct) values (1, '2026-12-01', 1, 'practice', '745 ÷ 6', 1)") &&
                                 q.exec("pragma user_version = 0") && q.exec("pragma journal_mode = delete");
                      }),
                      "");
        };
    };
    struct Case {
        const char* name;
        std::function<void()> make;
        QString rows_before;  // the pupils the file held
        bool takes_answers;
        const char* told;  // in the one message, or nullptr for none
    };
    const Case cases[] = {
        {"an empty file", [this] { Write(path(), QByteArray()); }, "", true, nullptr},
        {"a dump of this layout", dump(record::SchemaVersion()), "はなこ", true, nullptr},
        {"a dump of an older layout", dump(4), "はなこ", true, nullptr},
        {"a file whose upgrade fails",
         [this] {
             ASSERT_EQ(testing::MakeRecordFileAtLayout(path(), 0, [](QSqlQuery& q) {
                           return q.exec("create table history (note text)") &&
                                  q.exec("insert into history values ('kept')");
                       }),
                       "");
         },
         "", false, "先生に"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files)) QFile::remove(folder.path() + "/" + name);
        dialogs.shown.clear();
        c.make();
        const QByteArray before = Contents(path());
        {
            RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
            record::LearningRecord learning(store);
            learning.AddPupil("たろう");
            EXPECT_EQ(store.kept(), c.takes_answers ? 0u : 1u);
            EXPECT_TRUE(store.set_aside().isEmpty());
        }
        EXPECT_TRUE(SetAsideFiles(folder.path()).isEmpty()) << SetAsideFiles(folder.path()).join(' ').toStdString();
        if (c.told) {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_NE(dialogs.shown[0].text.find(c.told), std::string::npos) << dialogs.shown[0].text;
        } else {
            EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
        }
        if (!c.takes_answers) {
            EXPECT_EQ(Contents(path()), before) << "the file is left as it was";
            EXPECT_TRUE(QFile::exists(path() + ".pending")) << "the answer waits in the journal";
            continue;
        }
        const QString pupils = c.rows_before.isEmpty() ? "たろう" : c.rows_before + "|たろう";
        EXPECT_EQ(One(path(), "select name from pupils order by id"), pupils);
        EXPECT_EQ(One(path(), "pragma user_version"), QString::number(record::SchemaVersion()));
        EXPECT_EQ(One(path(), "select group_concat(answers) from history_totals"),
                  c.rows_before.isEmpty() ? "" : "1") << "kept figures counted once";
    }
}

QString Writer() { return QString::fromStdString(ExecutableFolder()) + "drill_log_writer"; }

// Runs the writer as another account than root's (root opens every file),
// returning its output.
QString RunWriterAsPupil(const QStringList& args) {
    QProcess writer;
    if (::geteuid() == 0)
        writer.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", Writer()} + args);
    else
        writer.start(Writer(), args);
    writer.waitForFinished(60000);
    return QString::fromUtf8(writer.readAllStandardOutput());
}

TEST_F(RecordSafetyTest, AnotherAccountsWriteAheadFilesKeepTheRecordAndItsAnswersWait) {
    {
        DrillLog log(path(), dialogs);
        log.AppendDrillRow({1, " old 1", "1", "1", "○"});
    }
    // A program of another account left its -wal and -shm beside the file.
    for (const char* side : {"-wal", "-shm"}) {
        Write(path() + side, QByteArray());
        ::chmod(QFile::encodeName(path() + side).constData(), 0444);
    }
    if (::geteuid() == 0) {
        for (const QString& p : {folder.path(), path()}) ASSERT_EQ(::chown(QFile::encodeName(p).constData(), 65534, 65534), 0);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
    }
    const QString first = RunWriterAsPupil({"--no-retry", path(), "new", "3"});
    EXPECT_TRUE(first.contains("kept 3")) << first.toStdString();
    EXPECT_EQ(first.count("said "), 1) << first.toStdString();
    EXPECT_TRUE(first.contains("先生に")) << first.toStdString();
    EXPECT_TRUE(SetAsideFiles(folder.path()).isEmpty()) << "nothing set aside";
    EXPECT_EQ(One(path(), "select group_concat(MND, ',') from dorill"), " old 1") << "the record is in place";
    EXPECT_TRUE(QFile::exists(path() + ".pending"));

    // The teacher has the files given to the pupils' account.
    for (const char* side : {"-wal", "-shm"}) {
        ::chmod(QFile::encodeName(path() + side).constData(), 0644);
        if (::geteuid() == 0) ::chown(QFile::encodeName(path() + side).constData(), 65534, 65534);
    }
    const QString next = RunWriterAsPupil({"--no-retry", path(), "after", "1"});
    EXPECT_TRUE(next.contains("written 1")) << next.toStdString();
    EXPECT_FALSE(next.contains("said ")) << next.toStdString();
    EXPECT_EQ(One(path(), "select group_concat(MND, ',') from dorill"), " old 1, new 1, new 2, new 3, after 1");
    EXPECT_FALSE(QFile::exists(path() + ".pending")) << "every entry is in the file";
}

// Another database's write-ahead log, left beside the record by a killed
// program: `rows` rows of its own, still only in the log.
void LeaveForeignLog(const QString& record, const QString& other, int page_size) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
        db.setDatabaseName(other);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QString("pragma page_size = %1").arg(page_size)));
        ASSERT_TRUE(q.exec("pragma journal_mode = wal") && q.exec("pragma wal_autocheckpoint = 0"));
        ASSERT_TRUE(q.exec("create table notes (id integer primary key, body text)"));
        ASSERT_TRUE(q.exec("with recursive n(k) as (select 1 union all select k + 1 from n where k < 400)"
                           " insert into notes (body) select printf('%0200d', k) from n"));
        for (const char* side : {"-wal", "-shm"}) {
            QFile::remove(record + side);
            ASSERT_TRUE(QFile::copy(other + side, record + side));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("other");
}

TEST_F(RecordSafetyTest, AnotherDatabasesWriteAheadLogNeverGoesIntoASoundRecord) {
    const QString other = folder.path() + "/other/notes.db";
    ASSERT_TRUE(QDir().mkpath(folder.path() + "/other"));
    for (const int page_size : {4096, 1024}) {
        SCOPED_TRACE(page_size);
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files)) QFile::remove(folder.path() + "/" + name);
        for (const char* side : {"", "-wal", "-shm"}) QFile::remove(other + side);
        {
            DrillLog log(path(), dialogs);
            log.AppendDrillRow({1, " 1", "1", "1", "○"});
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(path());
            ASSERT_TRUE(db.open());
            ASSERT_TRUE(QSqlQuery(db).exec("with recursive n(k) as (select 2 union all select k + 1 from n where k < 2000)"
                                           " insert into dorill (\"NO\", MND) select k, ' ' || k from n"));
            db.close();
        }
        QSqlDatabase::removeDatabase("fill");
        LeaveForeignLog(path(), other, page_size);
        const QByteArray foreign = Contents(path() + "-wal");
        {
            RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
            DrillLog log(store);
            EXPECT_TRUE(log.AppendDrillRow({2001, " 2001", "1", "1", "○"}));
            EXPECT_TRUE(store.set_aside().isEmpty()) << store.set_aside().join(' ').toStdString();
        }
        EXPECT_EQ(One(path(), "select count(distinct \"NO\") || ' ' || max(\"NO\") from dorill"), "2001 2001");
        EXPECT_EQ(One(path(), "pragma quick_check"), "ok");
        // Every file beside the record that is a database is sound, and the
        // foreign log is kept, byte for byte, not lost.
        bool log_kept = false;
        for (const QString& name : QDir(folder.path()).entryList({"kyozai.db.*"}, QDir::Files)) {
            if (Contents(folder.path() + "/" + name) == foreign) {
                log_kept = true;
            } else if (!name.endsWith("-wal") && !name.endsWith("-shm")) {
                EXPECT_EQ(One(folder.path() + "/" + name, "pragma quick_check"), "ok") << name.toStdString();
            }
        }
        EXPECT_TRUE(log_kept);
    }
}

TEST_F(RecordSafetyTest, AnswersKeptWhenTheProgramIsKilledAreWrittenAtTheNextStartOnce) {
    QProcess writer;
    writer.start(Writer(), {"--no-retry", path(), "killed", "100000", "30"});
    ASSERT_TRUE(writer.waitForStarted());
    QProcess holder;
    int last = 0, kept = 0;
    while (kept < 5 && writer.waitForReadyRead(20000)) {
        while (writer.canReadLine()) {
            const QByteArray line = writer.readLine().trimmed();
            const int number = line.mid(line.indexOf(' ') + 1).toInt();
            if (line.startsWith("written") || line.startsWith("kept")) last = number;
            if (line.startsWith("kept")) ++kept;
            // A few answers in the file, then another program holds it.
            if (line == "written 3") {
                holder.start(Writer(), {"--hold", path(), "60000"});
                ASSERT_TRUE(holder.waitForReadyRead(10000));
            }
        }
    }
    ::kill(writer.processId(), SIGKILL);
    writer.waitForFinished();
    ::kill(holder.processId(), SIGKILL);
    holder.waitForFinished();
    ASSERT_GE(kept, 5) << "the writer never had to keep an answer";

    DrillLog log(path(), dialogs);
    const std::vector<DrillRow> rows = log.Rows();
    ASSERT_GE(int(rows.size()), last) << "every answer written or kept is in the file";
    ASSERT_LE(int(rows.size()), last + 1) << "(the one being kept when it was killed may be there)";
    for (int k = 1; k <= int(rows.size()); ++k) EXPECT_EQ(rows[k - 1].mnd, " killed " + std::to_string(k));
    EXPECT_FALSE(QFile::exists(path() + ".pending"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RecordSafetyTest, QuittingWithKeptAnswersSaysSoOnceAndAJournalReplayedTwiceWritesThemOnce) {
    const QString journal = path() + ".pending";
    QProcess holder;
    {
        RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
        DrillLog log(store);
        log.AppendDrillRow({1, " q 1", "1", "1", "○"});
        holder.start(Writer(), {"--hold", path(), "6000"});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        for (int k = 2; k <= 4; ++k) EXPECT_FALSE(log.AppendDrillRow({k, " q " + std::to_string(k), "1", "1", "○"}));
        QFile::copy(journal, folder.path() + "/saved-journal");
        QElapsedTimer waited;
        waited.start();
        store.SettleBeforeQuit();
        EXPECT_GE(waited.elapsed(), 2900);
        EXPECT_LT(waited.elapsed(), 4500);
        store.SettleBeforeQuit();
        ASSERT_EQ(dialogs.shown.size(), 1u) << "told once";
        EXPECT_NE(dialogs.shown[0].text.find("3こ"), std::string::npos) << dialogs.shown[0].text;
        EXPECT_NE(dialogs.shown[0].text.find("つぎに"), std::string::npos) << dialogs.shown[0].text;
    }
    ASSERT_TRUE(holder.waitForFinished(20000));
    auto rows = [this] {
        DrillLog log(path(), dialogs);
        std::string all;
        for (const DrillRow& row : log.Rows()) all += row.mnd;
        return all;
    };
    EXPECT_EQ(rows(), " q 1 q 2 q 3 q 4");
    EXPECT_FALSE(QFile::exists(journal));
    // Killed after the answers went in but before the journal went: the
    // journal is there again at the next start.
    ASSERT_TRUE(QFile::rename(folder.path() + "/saved-journal", journal));
    EXPECT_EQ(rows(), " q 1 q 2 q 3 q 4") << "each answer once";
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(RecordSafetyTest, TheRecordItsCopiesAndTheSettingsArePrivate) {
    // An earlier version left the folder and the file open to every account.
    const QString data = folder.path() + "/data";
    const QString db = data + "/kyozai.db";
    ASSERT_TRUE(QDir().mkpath(data));
    ::chmod(QFile::encodeName(data).constData(), 0755);
    {
        FakeDialogs quiet;
        DrillLog log(db, quiet);
        log.AppendDrillRow({1, " 1", "1", "1", "○"});
    }
    ::chmod(QFile::encodeName(db).constData(), 0644);
    const QString fresh = folder.path() + "/fresh/data";
    for (const QString& at : {db, fresh + "/kyozai.db"}) {
        SCOPED_TRACE(at.toStdString());
        clock.now = {2026, 12, 8, 9, 0, 0};
        RecordStore store(at, dialogs, &clock, RecordStore::CheckMode::Synchronous);
        DrillLog log(store);
        log.AppendDrillRow({2, " 2", "1", "1", "○"});
        for (const char* file : {"", "-wal", "-shm"}) EXPECT_EQ(Mode(at + file), 0600) << file;
        EXPECT_EQ(Mode(QFileInfo(at).absolutePath()), 0700);
    }
    EXPECT_EQ(Mode(data + "/backups"), 0700);
    EXPECT_EQ(Mode(data + "/backups/kyozai-20261208.db"), 0600);

    const std::unique_ptr<QSettings> settings = record::ProgramSettings();
    settings->setValue("pupil/last", "はなこ");
    settings->sync();
    EXPECT_EQ(Mode(settings->fileName()), 0600) << settings->fileName().toStdString();
    settings->setValue("pupil/last", "たろう");
    settings->sync();
    EXPECT_EQ(Mode(settings->fileName()), 0600) << "also after QSettings rewrote it";
}

TEST_F(RecordSafetyTest, ACopyAnEarlierRecoveryLeftIsKeptNotRemoved) {
    RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
    DrillLog log(store);
    log.AppendDrillRow({1, " 1", "1", "1", "○"});
    Write(path() + ".rebuilding", "the only copy of something");
    for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path() + side);
    EXPECT_TRUE(log.AppendDrillRow({2, " 2", "1", "1", "○"}));
    EXPECT_EQ(log.Rows().size(), 2u) << "the removed file was rebuilt";
    const QStringList kept = QDir(folder.path()).entryList({"kyozai.db.rebuilt-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(Contents(folder.path() + "/" + kept[0]), "the only copy of something");
}

}  // namespace
}  // namespace sorelka
