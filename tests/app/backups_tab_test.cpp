// The teacher's backups tab through its widgets: the copies of the record
// listed with what they hold, one put back after a question, and copies
// removed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

#include "app/teacher/teacher_window.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "support/fakes.h"
#include "support/file_bytes.h"
#include "support/screen_support.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct BackupsTab : ::testing::Test {
    QTemporaryDir folder;
    FakeServices fx;
    QString path() const { return folder.path() + "/kyozai.db"; }

    // One start of the program on 2026-12-`day`, adding `pupils`.
    void StartOn(int day, const QStringList& pupils) {
        fx.clock.now = {2026, 12, day, 8, 30, 0};
        record::RecordStore store(path(), fx.dialogs, &fx.clock, record::RecordStore::CheckMode::Synchronous);
        record::LearningRecord learning(store);
        for (const QString& name : pupils) learning.AddPupil(name);
        store.WaitForBackgroundWork();
    }
    static QStringList Column(QTableView* table, int column) {
        QStringList out;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            out << table->model()->index(row, column).data().toString();
        return out;
    }
};

TEST_F(BackupsTab, CopiesAreListedPutBackWithTheFileInUseSetAsideAndRemoved) {
    StartOn(1, {"はなこ", "たろう"});
    StartOn(2, {"じろう"});  // the day's copy holds はなこ and たろう
    // A file set aside earlier, which no one can read any more.
    Write(folder.path() + "/kyozai.db.broken-20261130-101500", QByteArray(4096, 'x'));

    fx.clock.now = {2026, 12, 2, 15, 0, 0};
    record::RecordStore store(path(), fx.dialogs, &fx.clock, record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord learning(store);
    learning.ChoosePupil("じろう");
    TeacherWindow w(learning, fx.ctx, nullptr);
    w.show();
    auto* tabs = Find<QTabWidget>(&w, "TeacherTabs");
    tabs->setCurrentIndex(tabs->count() - 1);
    ASSERT_EQ(tabs->tabText(tabs->currentIndex()), "バックアップ");
    auto* table = Find<QTableView>(&w, "BackupTable");
    auto* message = Find<QLabel>(&w, "BackupMessage");

    EXPECT_EQ(Column(table, 0), (QStringList{"こわれていたため よけたファイル（2026/11/30 10:15）",
                                             "毎日のバックアップ（2026/12/02）"}));
    EXPECT_EQ(Column(table, 2), (QStringList{"よめません", "2人"}));
    EXPECT_EQ(Column(table, 4), (QStringList{"kyozai.db.broken-20261130-101500", "kyozai-20261202.db"}));

    Click(&w, "RestoreButton");
    EXPECT_EQ(message->text(), "もどす コピーを えらんでください。");
    // The current record's daily copies are the rotation's to remove.
    table->selectRow(1);
    Click(&w, "RemoveCopyButton");
    EXPECT_NE(message->text().indexOf("けせません"), -1) << message->text().toStdString();
    EXPECT_TRUE(fx.dialogs.shown.empty()) << "nothing asked";
    EXPECT_TRUE(QFile::exists(folder.path() + "/backups/kyozai-20261202.db"));
    table->selectRow(1);
    fx.dialogs.answers = {Answer::No};
    Click(&w, "RestoreButton");
    ASSERT_EQ(fx.dialogs.shown.size(), 1u);
    EXPECT_EQ(fx.dialogs.shown[0].text,
              "記録を 「毎日のバックアップ（2026/12/02）」 に もどします。いまの記録のファイルは けさずに よけておきます。よろしいですか？");
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう", "じろう"})) << "No changes nothing";

    table->selectRow(1);
    fx.dialogs.answers = {Answer::Yes};
    Click(&w, "RestoreButton");
    ASSERT_EQ(fx.dialogs.shown.size(), 3u);
    EXPECT_EQ(fx.dialogs.shown[2].kind, FakeDialogs::Kind::Information);
    EXPECT_NE(fx.dialogs.shown[2].text.find("もどしました"), std::string::npos) << fx.dialogs.shown[2].text;
    EXPECT_EQ(message->text().toStdString(), fx.dialogs.shown[2].text);

    // The record is the copy's: the roster tab shows its pupils, and the
    // pupil it does not have gives way to the guest.
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう"}));
    EXPECT_EQ(learning.current_pupil(), "");
    EXPECT_EQ(Find<QListWidget>(&w, "RosterList")->count(), 2);
    learning.AddPupil("さくら");
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう", "さくら"})) << "the restored record takes answers";

    // The file that was in use is listed first, with its three pupils; the
    // copy restored from stays, among the set-aside record's backups.
    const QStringList what = Column(table, 0);
    ASSERT_EQ(what.size(), 3) << what.join(" / ").toStdString();
    EXPECT_EQ(what[0], "もどす前に つかっていた記録（2026/12/02 15:00）");
    EXPECT_EQ(Column(table, 2)[0], "3人");
    EXPECT_EQ(what[2], "前の記録のバックアップ（2026/12/02、2026/12/02 15:00 に よけた記録）");
    EXPECT_EQ(Column(table, 2)[2], "2人");
    EXPECT_TRUE(QFile::exists(path() + ".broken-20261130-101500"));

    // Copies of records set aside are kept until the teacher removes them:
    // the earlier record's backup (its folder goes with its last copy), then
    // the unreadable file; each after a Yes.
    table->selectRow(2);
    fx.dialogs.answers = {Answer::Yes};
    Click(&w, "RemoveCopyButton");
    EXPECT_EQ(fx.dialogs.shown[3].text,
              "「前の記録のバックアップ（2026/12/02、2026/12/02 15:00 に よけた記録）」を けします。"
              "けした コピーからは もう もどせません。よろしいですか？");
    EXPECT_EQ(QDir(folder.path() + "/backups").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    table->selectRow(1);
    fx.dialogs.answers = {Answer::Yes};
    Click(&w, "RemoveCopyButton");
    EXPECT_EQ(message->text(), "「こわれていたため よけたファイル（2026/11/30 10:15）」を けしました。");
    EXPECT_EQ(Column(table, 0), QStringList{what[0]});
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう", "さくら"})) << "the record in use is untouched";
}

// Links among the copies (a before-* folder, a daily copy, a set-aside file)
// could lead out of the record's folders: none is listed, read, put back or
// removed, also when one takes a listed copy's place after the listing.
TEST_F(BackupsTab, LinksAmongTheCopiesAreNeitherListedNorPutBack) {
    StartOn(1, {"はなこ"});
    StartOn(2, {"たろう"});  // backups/kyozai-20261202.db holds はなこ
    QTemporaryDir outside;
    const QString elsewhere = outside.path() + "/kyozai-20261201.db";
    ASSERT_TRUE(QFile::copy(folder.path() + "/backups/kyozai-20261202.db", elsewhere));
    const QString backups = folder.path() + "/backups";
    ASSERT_TRUE(QDir().mkpath(backups + "/before-20261129-101500"));
    for (const auto& [link, to] : std::initializer_list<std::pair<QString, QString>>{
             {backups + "/before-20261130-101500", outside.path()},
             {backups + "/before-20261129-101500/kyozai-20261128.db", elsewhere},
             {backups + "/kyozai-20261201.db", elsewhere},
             {path() + ".broken-20261130-101500", elsewhere}})
        ASSERT_TRUE(QFile::link(to, link)) << link.toStdString();

    fx.clock.now = {2026, 12, 2, 15, 0, 0};
    record::RecordStore store(path(), fx.dialogs, &fx.clock, record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord learning(store);
    TeacherWindow w(learning, fx.ctx, nullptr);
    w.show();
    auto* tabs = Find<QTabWidget>(&w, "TeacherTabs");
    tabs->setCurrentIndex(tabs->count() - 1);
    auto* table = Find<QTableView>(&w, "BackupTable");
    EXPECT_EQ(Column(table, 4), QStringList{"kyozai-20261202.db"});

    // The listed copy becomes a link before it is put back: nothing is asked
    // or changed.
    table->selectRow(0);
    ASSERT_TRUE(QFile::remove(backups + "/kyozai-20261202.db"));
    ASSERT_TRUE(QFile::link(elsewhere, backups + "/kyozai-20261202.db"));
    fx.dialogs.answers = {Answer::Yes};
    Click(&w, "RestoreButton");
    EXPECT_TRUE(fx.dialogs.shown.empty());
    EXPECT_EQ(learning.Pupils(), (QStringList{"はなこ", "たろう"}));
    EXPECT_EQ(Column(table, 4), QStringList{});
    EXPECT_TRUE(QFile::exists(elsewhere));
}

}  // namespace
}  // namespace sorelka
