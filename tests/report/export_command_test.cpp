// The command line: each option, bad dates and names, a read-only target,
// and that no window is made. Also the acceptance case: a division drill
// of two answers and one practice problem, exported as CSV and PDF.
#include "report/export_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QWindow>

#include "report/csv_export.h"
#include "app/program.h"
#include "support/history_rows.h"
#include "support/old_record_file.h"
#include "support/screen_support.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome Export(ScratchRecord& r, const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int windows = int(QGuiApplication::allWindows().size());
    const int code = report::RunCommandLine(QStringList{"sorelka"} + args, r.path(), QDate(2026, 12, 8), o, e);
    EXPECT_EQ(int(QGuiApplication::allWindows().size()), windows) << "a window was made";
    return {code, out, err};
}

QStringList Lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

TEST(CommandLine, EachOptionChoosesItsRowsAndBadArgumentsAreRefusedInJapanese) {
    ScratchRecord r;
    r.Answer("はなこ", "2026-11-30", 1, true, 10);
    r.Answer("はなこ", "2026-12-02", 2, false, 20, "column_shift");
    r.Answer("たろう", "2026-12-05", 1, true, 30);
    r.Answer("", "2026-12-07", 5, false, 40);
    const QString csv = r.folder.path() + "/out.csv";
    struct Case {
        QStringList args;
        int code;
        int rows;      // data rows written (code 0)
        QString said;  // in the error output (or, for help, the output)
    };
    const Case cases[] = {
        {{"--export", csv}, 0, 4, ""},
        {{"--export=" + csv, "--pupil", "はなこ"}, 0, 2, ""},
        {{"--export", csv, "--pupil", "ゲスト"}, 0, 1, ""},
        {{"--export", csv, "--from", "2026-12-02"}, 0, 3, ""},
        {{"--export", csv, "--to", "2026-12-02"}, 0, 2, ""},
        {{"--export", csv, "--from", "2026-12-01", "--to", "2026-12-05", "--pupil", "たろう"}, 0, 1, ""},
        {{"--export", csv, "--pupil", "じろう"}, 2, 0, "「じろう」という名前はきろくにありません"},
        {{"--export", csv, "--from", "2026-02-30"}, 2, 0, "YYYY-MM-DD"},
        {{"--export", csv, "--to", "2026/12/01"}, 2, 0, "YYYY-MM-DD"},
        {{"--export", csv, "--from", "2026-12-05", "--to", "2026-12-01"}, 2, 0, "あとです"},
        {{"--export", r.folder.path() + "/out.txt"}, 2, 0, ".csv か .pdf"},
        {{"--pupil", "はなこ"}, 2, 0, "--export"},
        {{"--export", csv, "--colour"}, 2, 0, "オプションがまちがっています"},
        {{"--export", csv, "extra"}, 2, 0, "わからない引数"},
        {{"--export"}, 2, 0, "オプションがまちがっています"},
        {{"--export", csv, "--server"}, 2, 0, "--server は --export-xapi といっしょに使います"},
        {{"--export", csv, "--curriculum-codes", csv}, 2, 0, "--curriculum-codes は --export-xapi といっしょに"},
        {{"--export-xapi", csv, "--server"}, 2, 0, "--server はここでは使えません"},
        {{"--help"}, 0, -1, "--export <FILE>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.args.join(' ')));
        QFile::remove(csv);
        const Outcome o = Export(r, c.args);
        EXPECT_EQ(o.code, c.code) << Utf8(o.err);
        if (c.code != 0) {
            EXPECT_TRUE(o.err.contains(c.said)) << Utf8(o.err);
            EXPECT_EQ(o.err.count('\n'), 1) << "one line";
            EXPECT_FALSE(QFile::exists(csv));
        } else if (c.rows >= 0) {
            EXPECT_EQ(Lines(csv).size(), c.rows + 1);
            EXPECT_TRUE(o.err.isEmpty()) << Utf8(o.err);
        } else {
            EXPECT_TRUE(o.out.contains(c.said)) << Utf8(o.out);
        }
    }
}

TEST(CommandLine, AnUnwritableTargetExitsNonZeroAndKeepsTheOldFile) {
    ScratchRecord r;
    r.Answer("はなこ", "2026-12-02", 1, true, 10);
    const Outcome missing = Export(r, {"--export", r.folder.path() + "/none/x.pdf"});
    EXPECT_EQ(missing.code, report::kExitNotWritten);
    EXPECT_TRUE(missing.err.contains("書きこめません")) << Utf8(missing.err);
    const QString folder = r.folder.path() + "/locked";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile old(folder + "/old.csv");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept");
    old.close();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(folder + "/probe").open(QIODevice::WriteOnly)) GTEST_SKIP() << "root writes anywhere";
    for (const QString& target : {folder + "/old.csv", folder + "/new.pdf"}) {
        const Outcome o = Export(r, {"--export", target});
        EXPECT_EQ(o.code, report::kExitNotWritten) << Utf8(target);
        EXPECT_TRUE(o.err.contains("書きこめません")) << Utf8(o.err);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "kept");
}

TEST(CommandLine, ADrillOfTwoAndPracticeProblemsOfThreeTopicsGoOutWithTheirKinds) {
    ScratchRecord r;
    record::LearningRecord& learning = *r.learning;
    const QString uid = record::LearningRecord::NewDrillKey();
    const LocalTime at{2026, 12, 8, 10, 0, 0, 0, 540};
    r.store->Commit({learning.DrillStartStatement(uid, {Topic::Division, 1, 0, at})});
    auto answer = [&](const char* problem, const char* entered, const char* kind) {
        JudgedAnswer a;
        a.answered_at = at;
        a.topic = Topic::Division;
        a.menu_choice = 1;
        a.problem = problem;
        a.right_answer = "124 あまり 1";
        a.entered_answer = entered;
        a.correct = kind == nullptr;
        a.seconds = 12.3;
        if (kind) a.finding = Finding{kind, "quotient:1"};
        return a;
    };
    JudgedAnswer times = answer("2.5 × 4", "10.0", "end_zero_kept");
    times.topic = Topic::DecimalMultiplication;
    JudgedAnswer shared = answer("7.5 ÷ 4（商は 1/10の位まで、あまりも）", "1.8 あまり 3", "remainder_point");
    shared.topic = Topic::DecimalDivision;
    shared.menu_choice = 4;
    r.store->Commit({learning.HistoryStatement(answer("745 ÷ 6", "224 あまり 1", "quotient_too_big"),
                                               record::AnswerMode::Drill, uid, 1),
                     learning.HistoryStatement(answer("745 ÷ 6", "124 あまり 1", nullptr),
                                               record::AnswerMode::Drill, uid, 2),
                     learning.HistoryStatement(answer("745 ÷ 6", "12 あまり 1", "zero_missing"),
                                               record::AnswerMode::Practice),
                     learning.HistoryStatement(times, record::AnswerMode::Practice),
                     learning.HistoryStatement(shared, record::AnswerMode::Practice)});
    const QString csv = r.folder.path() + "/r.csv";
    ASSERT_EQ(Export(r, {"--export", csv}).code, 0);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[1].contains(",quotient_too_big,商が大きすぎる,quotient:1,"));
    EXPECT_TRUE(lines[3].contains(",zero_missing,商に０をたてわすれた,"));
    EXPECT_TRUE(lines[4].contains(",6,小数のかけ算,practice,"));
    EXPECT_TRUE(lines[4].contains(",end_zero_kept,小数の 終わりの ０を 消していない,"));
    EXPECT_TRUE(lines[5].contains(",7,小数のわり算,practice,4,"));
    EXPECT_TRUE(lines[5].contains(
        ",remainder_point," + QString::fromStdString(Describe(Topic::DecimalDivision).KindLabel("remainder_point")) + ","));
    const QString pdf = r.folder.path() + "/r.pdf";
    ASSERT_EQ(Export(r, {"--export", pdf}).code, 0);
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    text.waitForFinished(30000);
    const QString read = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(read.contains("ゲスト"));
    EXPECT_TRUE(read.contains("わり算"));
    EXPECT_TRUE(read.contains("小数のかけ算"));
    EXPECT_TRUE(read.contains("小数のわり算"));
}

Outcome ExportFrom(const QString& record, const QStringList& args) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = report::RunCommandLine(QStringList{"sorelka"} + args, record, QDate(2026, 12, 8), o, e);
    return {code, out, err};
}

// Every file of a folder with its bytes: what an export must leave alone.
std::map<QString, QByteArray> Folder(const QString& path) {
    std::map<QString, QByteArray> files;
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        files[it.filePath()] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(folder)");
    }
    return files;
}

// A script's export reads the record as it is and changes nothing: no
// upgrade, no set-aside, no backup, no file made; it waits for a program
// that holds the file, and says in Japanese why a file it cannot read fails.
TEST(CommandLine, TheExportOnlyReadsTheRecord) {
    QTemporaryDir data, out;
    const QString record = data.path() + "/kyozai.db";
    const QString csv = out.path() + "/r.csv";
    auto older_layout = [&] {
        ASSERT_EQ(MakeRecordFileAtLayout(record, 4, [](QSqlQuery& q) {
                      return q.exec("insert into pupils (name) values ('はなこ')") &&
                             q.exec("insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                                    " values (1, '2026-12-01T10:00:00', 1, 'practice', '745 ÷ 6', 1)");
                  }),
                  "");
    };
    QProcess holder;
    struct Case {
        const char* name;
        std::function<void()> make;
        int code;
        int rows;
        const char* said;
    };
    const Case cases[] = {
        {"no record yet", [] {}, 0, 0, ""},
        {"an older layout", older_layout, 0, 1, ""},
        {"this layout, as the program leaves it (write-ahead mode, no -wal or -shm)",
         [&] {
             FakeDialogs quiet;
             record::RecordStore store(record, quiet, nullptr, record::RecordStore::CheckMode::Synchronous);
             store.Commit({{"insert into pupils (name) values ('はなこ')", {}},
                           {"insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                            " values (1, '2026-12-01T10:00:00', 1, 'practice', '745 ÷ 6', 1)",
                            {}}});
         },
         0, 1, ""},
        {"a -wal left without its -shm (a killed run, or a copy of the folder): its answers too",
         [&] {
             // The program's files copied while it runs, its -shm left behind:
             // the answers after the first are in the -wal only.
             QTemporaryDir running;
             FakeDialogs quiet;
             record::RecordStore store(running.path() + "/kyozai.db", quiet, nullptr,
                                       record::RecordStore::CheckMode::Synchronous);
             store.Commit({{"insert into pupils (name) values ('はなこ')", {}}});
             for (int i = 0; i < 3; ++i)
                 store.Commit({{"insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                                " values (1, '2026-12-01T10:00:00', 1, 'practice', '745 ÷ 6', 1)",
                                {}}});
             ASSERT_TRUE(QFile::copy(running.path() + "/kyozai.db", record));
             ASSERT_TRUE(QFile::copy(running.path() + "/kyozai.db-wal", record + "-wal"));
             ASSERT_GT(QFileInfo(record + "-wal").size(), 0);
         },
         0, 3, ""},
        {"not a database",
         [&] {
             QFile f(record);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(5000, 'x'));
         },
         1, 0, "こわれている"},
        {"held by another program for two seconds",
         [&] {
             older_layout();
             holder.start(QString::fromStdString(ExecutableFolder()) + "drill_log_writer",
                          {"--hold-all", record, "2000"});
             ASSERT_TRUE(holder.waitForReadyRead(10000));
         },
         0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& name : QDir(data.path()).entryList(QDir::Files)) QFile::remove(data.path() + "/" + name);
        QFile::remove(csv);
        c.make();
        const auto before = Folder(data.path());
        QElapsedTimer took;
        took.start();
        const Outcome o = ExportFrom(record, {"--export", csv});
        holder.waitForFinished(10000);
        EXPECT_EQ(o.code, c.code) << Utf8(o.err);
        EXPECT_TRUE(o.err.contains(c.said)) << Utf8(o.err);
        if (c.code == 0) {
            EXPECT_EQ(Lines(csv).size(), c.rows + 1);
        }
        if (std::string(c.name).starts_with("held")) {
            EXPECT_GE(took.elapsed(), 1500) << "it waited";
        }
        EXPECT_EQ(Folder(data.path()), before) << "the record's folder is as it was";
    }
}

TEST(CommandLine, ExportsAreReadableByTheirOwnerOnly) {
    ScratchRecord r;
    r.Answer("はなこ", "2026-12-02", 1, true, 10);
    for (const char* name : {"r.csv", "r-習熟度.csv", "r.pdf"}) {
        const QString target = r.folder.path() + "/" + name;
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));  // an older export, open to every account
        old.close();
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
        ASSERT_EQ(Export(r, {"--export", QString(target).remove("-習熟度")}).code, 0);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << Utf8(name);
    }
}

}  // namespace
}  // namespace sorelka
