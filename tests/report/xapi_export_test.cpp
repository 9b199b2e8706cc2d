// The record's answers as xAPI statements, each checked by a maintained
// validator (Learning Locker's, run by node as the school's portal would
// take them), with no pupil's name in the file and the same ids each time.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include "record/record_store.h"
#include "report/export_command.h"
#include "support/fakes.h"

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
    auto export_xapi = [&](const QString& target) {
        QString out_text, err_text;
        QTextStream out(&out_text), err(&err_text);
        const int code = report::RunCommandLine({"sorelka", "--export-xapi", target, "--from", "2026-12-01"}, record,
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

    const QString node = QStandardPaths::findExecutable("node");
    const QString validator = SORELKA_SOURCE_DIR "/tests/xapi/validate.js";
    if (node.isEmpty() || !QFile::exists(SORELKA_SOURCE_DIR "/tests/xapi/node_modules/@learninglocker/xapi-validation")) {
        if (qEnvironmentVariableIsEmpty("CI")) GTEST_SKIP() << "node or the xAPI validator is not installed (scripts/setup.sh)";
        FAIL() << "node or the xAPI validator is not installed (scripts/setup.sh)";
    }
    QProcess check;
    check.start(node, {validator, dir.filePath("a.jsonl")});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}

}  // namespace
}  // namespace sorelka::testing
