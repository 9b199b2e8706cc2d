// The record's answers as xAPI statements, each checked by a maintained
// validator (Learning Locker's, run by node as the school's portal would
// take them), with no pupil's name in the file and the same ids each time.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "record/record_store.h"
#include "report/export_command.h"
#include "support/fakes.h"
#include "support/xapi_check.h"

namespace sorelka::testing {
namespace {

TEST(XapiExport, EveryKindOfAnswerIsAValidStatementWithoutTheNamesAndAlwaysTheSameIds) {
    QTemporaryDir dir;
    const QString record = dir.filePath("kyozai.db");
    {
        FakeDialogs quiet;
        record::RecordStore store(record, quiet, nullptr, record::RecordStore::CheckMode::Synchronous);
        store.Commit({{"insert into pupils (name, class_name, source_id) values ('田中 花子', '4年1組', 'u1'),"
                       " ('すずき \"たろう\"', '4年1組', null)", {}}});
        // Practice with a mistake, its skill and a piece of work; a drill; an
        // example's answer; the guest; an empty answer; a line break typed.
        store.Commit({{"insert into history (pupil_id, answered_at, topic, mode, menu_choice, problem, right_answer,"
                       " entered_answer, correct, seconds, error_kind, skill, work_id) values"
                       " (1, '2026-12-08T09:00:01.250+09:00', 1, 'practice', 2, '408 ÷ 4', '102', '12', 0, 12.34,"
                       "  'zero_missing', 'division.zero_in_quotient', 7),"
                       " (1, '2026-12-08T09:01:00.000+09:00', 3, 'drill', 1, '3.2 - 1.5', '1.7', '1.7', 1, 4.5, null, null, null),"
                       " (2, '2026-12-08T09:02:00.000+09:00', 7, 'find_mistake', 4, '7.5 ÷ 4', '1.8 あまり 0.3', 'row:2', 1,"
                       "  null, null, null, null),"
                       " (null, '2026-12-08T09:03:00.000+09:00', 6, 'practice', 1, '2.5 × 4', '10', '', 0, 30, 'other', null, null),"
                       " (2, '2026-12-09T10:00:00.000+09:00', 4, 'practice', 1, '12 + 8 × 3', '36', '6\n0', 0, 9, 'order', null, null),"
                       " (2, '2026-11-30T10:00:00.000+09:00', 5, 'practice', 1, 'x', 'y', 'z', 1, 1, null, null, null)",
                       {}}});
    }
    // The school's table of curriculum codes: a whole topic's, and one item's.
    const QString codes = dir.filePath("codes.csv");
    {
        QFile f(codes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("単元,項目,コード\n1,,8230000000000001\n1,2,82300000ア0000002\n");
    }
    auto export_xapi = [&](const QString& target) {
        QString out_text, err_text;
        QTextStream out(&out_text), err(&err_text);
        const int code = report::RunCommandLine(
            {"sorelka", "--export-xapi", target, "--from", "2026-12-01", "--curriculum-codes", codes}, record,
            QDate(2026, 12, 10), out, err);
        EXPECT_EQ(code, 0) << err_text.toStdString();
        QFile f(target);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QByteArray first = export_xapi(dir.filePath("a.jsonl")), second = export_xapi(dir.filePath("b.jsonl"));
    EXPECT_EQ(first.count('\n'), 5) << "one line a statement, the day before --from left out";
    EXPECT_EQ(first, second) << "the same answers give the same statements";
    for (const char* name : {"田中", "花子", "すずき"}) EXPECT_FALSE(first.contains(name)) << name;
    EXPECT_TRUE(first.contains("\"name\":{\"ja-JP\":\"わり算：")) << first.toStdString();
    EXPECT_TRUE(first.contains("/topic/1/item/2\",") && first.contains("/topic/3/drill/1\","))
        << "a drill is an activity of its own, apart from the menu's item of its number";
    EXPECT_TRUE(first.contains("course-of-study-code\":[\"8230000000000001\",\"82300000ア0000002\"]"))
        << first.toStdString();
    EXPECT_EQ(first.count("course-of-study-code"), 1) << "only the topic that has codes";
    ExpectValidXapi(dir.filePath("a.jsonl"));
}

TEST(XapiExport, ABrokenTableOfCodesIsRefusedWithItsLineAndNothingIsWritten) {
    QTemporaryDir dir;
    const struct {
        QByteArray table;
        QString said;
    } cases[] = {
        {"単元,項目,コード\n1,,823000000000001\n", "codes.csv の 2 行目（コード）: 学習指導要領コード"},
        {"単元,項目,コード\n1,,8230000000000001\nわり算,,8230000000000001\n", "codes.csv の 3 行目（単元）"},
        {"単元,項目,コード\n1,一,8230000000000001\n", "codes.csv の 2 行目（項目）"},
        {"topic,code\n1,8230000000000001\n", "codes.csv の 1 行目（項目）: この列がありません。"},
        {"単元,項目,コード\n1,,\"8230000000000001\n", "「\"」で始まった欄が閉じていません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        QFile f(dir.filePath("codes.csv"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.table);
        f.close();
        QString out_text, err_text;
        QTextStream out(&out_text), err(&err_text);
        EXPECT_EQ(report::RunCommandLine({"sorelka", "--export-xapi", dir.filePath("x.jsonl"), "--curriculum-codes",
                                          dir.filePath("codes.csv")},
                                         dir.filePath("kyozai.db"), QDate(2026, 12, 10), out, err),
                  report::kExitNotWritten);
        EXPECT_TRUE(err_text.contains(c.said)) << err_text.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("x.jsonl")));
    }
}

}  // namespace
}  // namespace sorelka::testing
