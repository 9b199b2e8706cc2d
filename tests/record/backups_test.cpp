// The daily copies of the record and the copies a teacher may put back:
// the rotation rule, copies of a set-aside record outliving a fresh
// record's week, a clock that fell behind, and restoring one copy.
#include "record/backups.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "record/file_check.h"
#include "record/kept_copies.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "support/fakes.h"
#include "support/file_bytes.h"

namespace sorelka {
namespace {

using record::KeptCopy;
using record::RecordStore;
using testing::FakeClock;
using testing::FakeDialogs;

TEST(BackupRotation, TheOldestByFileTimeGoAndNeverTheCopyJustMade) {
    struct Case {
        const char* name;
        std::vector<record::BackupFile> copies;
        QString just_made;
        QStringList removed;
    };
    const Case cases[] = {
        {"eight days in order", {{"kyozai-20261201.db", 1}, {"kyozai-20261202.db", 2}, {"kyozai-20261203.db", 3},
          {"kyozai-20261204.db", 4}, {"kyozai-20261205.db", 5}, {"kyozai-20261206.db", 6},
          {"kyozai-20261207.db", 7}, {"kyozai-20261208.db", 8}}, "kyozai-20261208.db", {"kyozai-20261201.db"}},
        {"the clock fell behind: today's copy is named and timed first",
         {{"kyozai-20251208.db", 0}, {"kyozai-20261202.db", 2}, {"kyozai-20261203.db", 3},
          {"kyozai-20261204.db", 4}, {"kyozai-20261205.db", 5}, {"kyozai-20261206.db", 6},
          {"kyozai-20261207.db", 7}, {"kyozai-20261201.db", 1}}, "kyozai-20251208.db", {"kyozai-20261201.db"}},
        {"names and times disagree: times win",
         {{"kyozai-20260101.db", 9}, {"kyozai-20261201.db", 1}, {"kyozai-20261202.db", 2}}, "kyozai-20260101.db",
         {"kyozai-20261201.db"}},
        {"equal times: by name", {{"kyozai-20261202.db", 5}, {"kyozai-20261201.db", 5}, {"kyozai-20261203.db", 6}},
         "kyozai-20261203.db", {"kyozai-20261201.db"}},
        {"no more than kept", {{"kyozai-20261201.db", 1}, {"kyozai-20261202.db", 2}}, "kyozai-20261202.db", {}},
    };
    for (const Case& c : cases) {
        const int keep = c.copies.size() == 8 ? 7 : 2;
        EXPECT_EQ(record::BackupsToRemove(c.copies, c.just_made, keep), c.removed) << c.name;
    }
}

struct BackupsTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    FakeClock clock;
    QString path() const { return folder.path() + "/kyozai.db"; }
    QString backups() const { return folder.path() + "/backups"; }

    // One start of the program on `day`: the day's copy is taken, `pupil` added.
    void StartOn(int year, int month, int day, const QString& pupil = QString()) {
        clock.now = {year, month, day, 8, 30, 0};
        RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
        record::LearningRecord learning(store);
        learning.AddPupil(pupil.isEmpty() ? QStringLiteral("day%1").arg(day) : pupil);
        store.WaitForBackgroundWork();
    }
};

QStringList PupilsIn(const QString& file) {
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "pupils-in");
        db.setDatabaseName(file);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery q(db);
        if (db.open() && q.exec("select name from pupils order by id"))
            while (q.next()) names << q.value(0).toString();
        db.close();
    }
    QSqlDatabase::removeDatabase("pupils-in");
    return names;
}

TEST_F(BackupsTest, TheCopiesOfASetAsideRecordOutliveAFreshRecordsWeeks) {
    StartOn(2026, 11, 30, "はなこ");
    for (int day = 1; day <= 7; ++day) StartOn(2026, 12, day, "たろう");
    ASSERT_EQ(QDir(backups()).entryList({"kyozai-*.db"}, QDir::Files).size(), 7);
    testing::Write(path(), QByteArray(8192, 'x'));
    for (const char* side : {"-wal", "-shm"}) QFile::remove(path() + side);
    for (int day = 8; day <= 20; ++day) StartOn(2026, 12, day);

    const QStringList current = QDir(backups()).entryList({"kyozai-*.db"}, QDir::Files, QDir::Name);
    ASSERT_EQ(current.size(), 7);
    EXPECT_EQ(current.front(), "kyozai-20261214.db");
    int earlier_with_pupils = 0;
    for (const KeptCopy& copy : record::ListKeptCopies(path())) {
        if (copy.kind != KeptCopy::Kind::EarlierBackup) continue;
        EXPECT_TRUE(copy.path.contains("/backups/before-20261208-083000/")) << copy.path.toStdString();
        if (PupilsIn(copy.path).contains("はなこ")) ++earlier_with_pupils;
    }
    EXPECT_EQ(earlier_with_pupils, 7) << "every copy of the real record is still there";
}

TEST_F(BackupsTest, ARecordLostBetweenRunsKeepsTheLastCopyOfItsAnswersUntilATeacherRemovesIt) {
    StartOn(2026, 11, 30, "はなこ");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("with recursive n(k) as (select 1 union all select k + 1 from n where k < 500)"
                                       " insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                                       " select 1, '2026-11-30', 1, 'practice', k || ' ÷ 6', 1 from n"));
        db.close();
    }
    QSqlDatabase::removeDatabase("fill");
    for (int day = 1; day <= 7; ++day) StartOn(2026, 12, day, "たろう");
    for (const char* side : {"", "-wal", "-shm"}) QFile::remove(path() + side);  // lost between two runs
    for (int day = 8; day <= 20; ++day) StartOn(2026, 12, day);

    EXPECT_EQ(QDir(backups()).entryList({"kyozai-*.db"}, QDir::Files).size(), 7) << "the rotation goes on";
    std::vector<KeptCopy> with_answers;
    for (const KeptCopy& copy : record::ListKeptCopies(path()))
        if (const auto contents = record::ReadCopyContents(copy.path); contents && contents->answers == 500)
            with_answers.push_back(copy);
    ASSERT_EQ(with_answers.size(), 1u) << "one copy of the lost answers is kept, outside the seven";
    EXPECT_EQ(with_answers[0].kind, KeptCopy::Kind::EarlierBackup);
    EXPECT_TRUE(with_answers[0].path.endsWith("/kyozai-20261207.db")) << "the newest of them";
    EXPECT_TRUE(record::RemoveKeptCopy(path(), with_answers[0].path).removed) << "the teacher may remove it";
}

TEST_F(BackupsTest, AClockThatFellBehindKeepsTheDaysCopy) {
    for (int day = 1; day <= 8; ++day) StartOn(2026, 12, day);  // copies of days 2 to 8
    // The copies were made "later" than the clock now says: the PC's clock
    // battery died and it starts a year back.
    const timespec future[2] = {{time(nullptr) + 3600 * 24 * 365, 0}, {time(nullptr) + 3600 * 24 * 365, 0}};
    for (const QString& name : QDir(backups()).entryList({"kyozai-*.db"}, QDir::Files))
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(backups() + "/" + name).constData(), future, 0), 0);
    StartOn(2025, 12, 8);
    const QStringList copies = QDir(backups()).entryList({"kyozai-*.db"}, QDir::Files, QDir::Name);
    EXPECT_EQ(copies.size(), 7);
    EXPECT_TRUE(copies.contains("kyozai-20251208.db")) << copies.join(' ').toStdString();
    EXPECT_FALSE(copies.contains("kyozai-20261202.db")) << "the oldest by file time went";
}

TEST_F(BackupsTest, ACopyIsPutBackAndTheFileInUseIsSetAsideUntouched) {
    StartOn(2026, 12, 1, "はなこ");
    StartOn(2026, 12, 2, "たろう");  // the day's copy holds はなこ alone
    const QString copy = backups() + "/kyozai-20261202.db";
    ASSERT_EQ(PupilsIn(copy), QStringList{"はなこ"});
    const QString bad = folder.path() + "/not-a-record.db";
    testing::Write(bad, QByteArray(4096, 'z'));

    clock.now = {2026, 12, 2, 15, 0, 0};
    RecordStore store(path(), dialogs, &clock, RecordStore::CheckMode::Synchronous);
    record::LearningRecord learning(store);
    struct Case {
        QString copy;
        record::RestoreResult::Outcome outcome;
        const char* said;
    };
    const Case refused[] = {
        {folder.path() + "/missing.db", record::RestoreResult::Outcome::NotFound, "見つかりません"},
        {bad, record::RestoreResult::Outcome::NotARecord, "もどせません"},
        {path(), record::RestoreResult::Outcome::NotFound, "見つかりません"},
    };
    for (const Case& c : refused) {
        const record::RestoreResult result = store.Restore(c.copy);
        EXPECT_EQ(result.outcome, c.outcome) << c.copy.toStdString();
        EXPECT_TRUE(result.message.contains(c.said)) << result.message.toStdString();
        EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう"})) << "nothing changed";
    }

    const record::RestoreResult result = store.Restore(copy);
    ASSERT_TRUE(result.ok()) << result.message.toStdString() << result.detail.toStdString();
    EXPECT_EQ(learning.Pupils(), QStringList{"はなこ"});
    EXPECT_TRUE(result.set_aside_as.startsWith(path() + ".before-restore-20261202-150000"));
    EXPECT_EQ(PupilsIn(result.set_aside_as), (QStringList{"はなこ", "たろう"}));
    EXPECT_TRUE(result.message.contains("もどしました")) << result.message.toStdString();
    learning.AddPupil("じろう");
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "じろう"})) << "the restored record takes answers";

    // The list a teacher chooses from: the file set aside by the restore,
    // then the copies of the record that was in use.
    std::vector<KeptCopy> kept = record::ListKeptCopies(path());
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].kind, KeptCopy::Kind::SetAside);
    EXPECT_EQ(kept[0].path, result.set_aside_as);
    EXPECT_EQ(record::DescribeKeptCopy(kept[0]), "もどす前に つかっていた記録（2026/12/02 15:00）");
    EXPECT_EQ(kept[1].kind, KeptCopy::Kind::EarlierBackup);
    EXPECT_EQ(record::DescribeKeptCopy(kept[1]),
              "前の記録のバックアップ（2026/12/02、2026/12/02 15:00 に よけた記録）");
    EXPECT_TRUE(QFile::exists(kept[1].path)) << "restoring a copy keeps the copy";
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace sorelka
