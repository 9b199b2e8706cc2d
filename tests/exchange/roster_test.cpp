// The school's class lists read in: OneRoster sets of both Japan profiles
// and plain CSVs, every fault refused with its file, line and field before
// anything is written, and a list put into a PC's record again and again
// with pupils moved, renamed and gone, their answers kept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>

#include "exchange/roster_files.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "record/roster_import.h"
#include "report/roster_command.h"
#include "support/fakes.h"
#include "support/roster_set.h"

namespace sorelka::testing {
namespace {

using exchange::Roster;
using exchange::RosterProblem;
std::vector<QString> Summary(const Roster& r) {
    std::vector<QString> lines;
    for (const auto& c : r.classes) lines.push_back("class " + c.source_id + " " + c.name + " " + c.grade);
    for (const auto& p : r.pupils)
        lines.push_back(QString("pupil %1 %2 %3 %4 %5").arg(p.class_name).arg(p.number).arg(p.name, p.reading, p.source_id));
    for (const auto& t : r.teachers) lines.push_back("teacher " + t.username + " " + t.class_names.join(","));
    return lines;
}

TEST(RosterFiles, BothJapanProfilesAndAShiftJisFileGiveTheSameSchool) {
    const std::vector<QString> school{
        "class c1 4年1組 04", "class c2 4年2組 04",
        "pupil 4年1組 1 田中 花子 たなか はなこ u1", "pupil 4年1組 2 鈴木 太郎 すずき たろう u2",
        "pupil 4年2組 1 佐藤 結衣 さとう ゆい u3", "pupil 4年2組 0 山田 健 やまだ けん u4",
        "teacher tanaka 4年1組,4年2組"};
    for (const auto& [what, k12, sjis] : std::vector<std::tuple<const char*, bool, QStringList>>{
             {"Japan Profile", false, {}}, {"Japan K-12 Schools Profile", true, {}},
             {"users.csv in Shift_JIS", false, {"users.csv", "classes.csv"}}}) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        const exchange::RosterRead read = exchange::ReadOneRoster(WriteSet(dir, SchoolSet(k12), sjis));
        ASSERT_TRUE(std::holds_alternative<Roster>(read)) << std::get<RosterProblem>(read).Text().toStdString();
        EXPECT_EQ(Summary(std::get<Roster>(read)), school);
    }
}

// Each broken set is refused with the line that says where and why.
TEST(RosterFiles, ABrokenSetIsRefusedWithItsFileLineAndField) {
    auto replace = [](const char* file, const char* from, const char* to) {
        return [=](Files& f) { f[file].replace(QString::fromUtf8(from), QString::fromUtf8(to)); };
    };
    const std::vector<std::pair<std::function<void(Files&)>, QString>> cases = {
        {[](Files& f) { f.erase("roles.csv"); }, "roles.csv: ファイルがありません。"},
        {replace("users.csv", "givenName,", "given,"), "users.csv の 1 行目（givenName）: この列がありません。"},
        {replace("enrollments.csv", "e3,,,c2,", "e3,,,c7,"),
         "enrollments.csv の 4 行目（classSourcedId）: クラス「c7」が classes.csv にありません。"},
        {replace("users.csv", "u3,,,true,yui", "u2,,,true,yui"),
         "users.csv の 4 行目（sourcedId）: sourcedId「u2」が 3 行目と同じです。"},
        {replace("manifest.csv", "file.users,bulk", "file.users,delta"),
         "manifest.csv の 10 行目（file.users）: 差分（delta）のセットは読めません。全体（bulk）で書き出してください。"},
        {replace("manifest.csv", "oneroster.version,1.2", "oneroster.version,1.1"),
         "manifest.csv の 3 行目（oneroster.version）: OneRoster 1.2 のセットではありません（1.1）。"},
        {replace("enrollments.csv", "e3,,,c2,s1,u3,student,,,,1", "e3,,,c2,s1,u3,student,,,,一"),
         "enrollments.csv の 4 行目（metadata.jp.ShussekiNo）: 出席番号「一」が数ではありません。"},
        {replace("enrollments.csv", "e4,,,c2,s1,u4", "e4,,,c2,s1,u1"),
         "enrollments.csv の 5 行目（userSourcedId）: 「田中 花子」は クラス「4年1組」にも入っています。"},
        {replace("users.csv", "u4,,,true,ken,,健,山田", "u4,,,true,ken,\"健,山田"),
         "users.csv の 5 行目: 「\"」で始まった欄が閉じていません。"},
        {replace("users.csv", "u3,,,true,yui,,結衣,佐藤", "u3,,,true,yui,,,"),
         "users.csv の 4 行目（givenName）: 名前が空です。"},
    };
    for (const auto& [breaks, said] : cases) {
        SCOPED_TRACE(said.toStdString());
        Files files = SchoolSet();
        breaks(files);
        QTemporaryDir dir;
        const exchange::RosterRead read = exchange::ReadOneRoster(WriteSet(dir, files));
        ASSERT_TRUE(std::holds_alternative<RosterProblem>(read));
        EXPECT_EQ(std::get<RosterProblem>(read).Text(), said);
    }
    // Not UTF-8 and not Shift_JIS either.
    QTemporaryDir dir;
    Files files = SchoolSet();
    WriteSet(dir, files);
    QFile users(dir.filePath("users.csv"));
    ASSERT_TRUE(users.open(QIODevice::Append));
    users.write("u6,,,true,x,,\xff\xfe,\x80\n");
    users.close();
    const exchange::RosterRead read = exchange::ReadOneRoster(dir.path());
    ASSERT_TRUE(std::holds_alternative<RosterProblem>(read));
    EXPECT_EQ(std::get<RosterProblem>(read).Text(),
              "users.csv: UTF-8 でも Shift_JIS でもない文字があります。UTF-8 で保存してください。");
}

TEST(RosterFiles, APlainCsvGivesItsClassesInOrderAndRefusesAFaultyLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("meibo.csv");
    auto write = [&](const QString& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xEF\xBB\xBF" + text.toUtf8());
    };
    write("クラス,番号,名前,よみ\r\n4年2組,2,\"鈴木, 太郎\",すずき たろう\r\n4年1組,1,田中 花子,たなか はなこ\r\n"
          "4年2組,1,佐藤 結衣,\r\n");
    const exchange::RosterRead read = exchange::ReadPlainRoster(path);
    ASSERT_TRUE(std::holds_alternative<Roster>(read)) << std::get<RosterProblem>(read).Text().toStdString();
    EXPECT_EQ(Summary(std::get<Roster>(read)),
              (std::vector<QString>{"class 4年2組 4年2組 ", "class 4年1組 4年1組 ", "pupil 4年2組 1 佐藤 結衣  佐藤 結衣/",
                                    "pupil 4年2組 2 鈴木, 太郎 すずき たろう 鈴木, 太郎/すずき たろう",
                                    "pupil 4年1組 1 田中 花子 たなか はなこ 田中 花子/たなか はなこ"}));
    write("クラス,番号,名前\n4年1組,x,田中 花子\n");
    const exchange::RosterRead bad = exchange::ReadPlainRoster(path);
    ASSERT_TRUE(std::holds_alternative<RosterProblem>(bad));
    EXPECT_EQ(std::get<RosterProblem>(bad).Text(), "meibo.csv の 2 行目（番号）: 番号「x」が数ではありません。");
}

// The set imported into a PC's record, then again with one pupil moved,
// one left and one renamed: nothing deleted, every answer still its
// pupil's; a broken set writes nothing, not even the file.
TEST(RosterImport, AgainWithAPupilMovedOneLeftAndOneRenamedKeepsEveryAnswer) {
    QTemporaryDir dir, set;
    const QString path = dir.filePath("kyozai.db");
    QString out_text, err_text;
    QTextStream out(&out_text), err(&err_text);

    Files broken = SchoolSet();
    broken.erase("users.csv");
    EXPECT_EQ(report::ImportRosterCommand(WriteSet(set, broken), path, out, err), 1);
    EXPECT_TRUE(err_text.contains("users.csv: ファイルがありません。")) << err_text.toStdString();
    EXPECT_FALSE(QFile::exists(path)) << "nothing written for a broken set";

    FakeDialogs dialogs;
    {
        // A pupil this PC had before the list, with an answer of hers.
        record::RecordStore store(path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
        record::LearningRecord learning(store);
        learning.AddPupil("田中 花子");
        store.Commit({{"insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                       " values (1, '2026-12-01T09:00:00', 1, 'practice', '84 ÷ 4', 1)", {}}});
    }
    QTemporaryDir first;
    EXPECT_EQ(report::ImportRosterCommand(WriteSet(first, SchoolSet()), path, out, err), 0) << err_text.toStdString();
    EXPECT_TRUE(out_text.contains("クラス 2 つ追加、3 人追加、1 人変更、0 人が")) << out_text.toStdString();

    Files next = SchoolSet();
    next["enrollments.csv"].replace("e2,,,c1,s1,u1", "e2,,,c2,s1,u1");  // 花子 to 4年2組
    next["enrollments.csv"].replace("e3,,,c2,s1,u3,student,,,,1\n", "");  // 結衣 left
    next["users.csv"].replace("u2,,,true,taro,,太郎,鈴木", "u2,,,true,taro,,太朗,鈴木");
    QTemporaryDir second;
    EXPECT_EQ(report::ImportRosterCommand(WriteSet(second, next), path, out, err), 0) << err_text.toStdString();
    EXPECT_TRUE(out_text.contains("クラス 0 つ追加、0 人追加、2 人変更、1 人が")) << out_text.toStdString();

    record::RecordStore store(path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
    QSqlQuery q(store.database());
    ASSERT_TRUE(q.exec("select p.name, p.class_name, p.archived, p.source_id, count(h.id) from pupils p"
                       " left join history h on h.pupil_id = p.id group by p.id order by p.id"));
    QStringList rows;
    while (q.next())
        rows << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                            q.value(3).toString(), q.value(4).toString()}.join('|');
    EXPECT_EQ(rows, (QStringList{"田中 花子|4年2組|0|u1|1", "鈴木 太朗|4年1組|0|u2|0", "佐藤 結衣|4年2組|1|u3|0",
                                 "山田 健|4年2組|0|u4|0"}));
}

}  // namespace
}  // namespace sorelka::testing
