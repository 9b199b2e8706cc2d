// What happens to the drill log when things go wrong around it: the program
// killed mid-drill, a second program writing at the same time, a file that
// cannot be written (its answers wait for the next start).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <set>

#include "app/program.h"
#include "drill/drill_log.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

using testing::FakeDialogs;

QString Writer() { return QString::fromStdString(ExecutableFolder()) + "drill_log_writer"; }

// SQLite's own check of the file.
std::string IntegrityCheck(const QString& path) {
    std::string result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "integrity");
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec("pragma integrity_check") && q.next()) result = q.value(0).toString().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("integrity");
    return result;
}

struct DrillLogFaultTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    QString path() const { return folder.path() + "/kyozai.db"; }
};

TEST_F(DrillLogFaultTest, AKilledProgramLosesNoCommittedRow) {
    QProcess writer;
    writer.start(Writer(), {path(), "killed", "100000", "2"});
    ASSERT_TRUE(writer.waitForStarted());
    int committed = 0;
    while (committed < 40 && writer.waitForReadyRead(10000)) {
        while (writer.canReadLine()) {
            const QByteArray line = writer.readLine();
            if (line.startsWith("committed")) committed = line.mid(10).trimmed().toInt();
        }
    }
    ::kill(writer.processId(), SIGKILL);
    writer.waitForFinished();
    ASSERT_GE(committed, 40) << "the writer did not get going";

    EXPECT_EQ(IntegrityCheck(path()), "ok");
    DrillLog log(path(), dialogs);
    const auto rows = log.Rows();
    ASSERT_GE(static_cast<int>(rows.size()), committed);
    for (int k = 1; k <= static_cast<int>(rows.size()); ++k) {
        EXPECT_EQ(rows[k - 1].no, k);
        EXPECT_EQ(rows[k - 1].mnd, " killed " + std::to_string(k));
    }
    EXPECT_TRUE(log.AppendDrillRow({0, " after", "1", "1", "○"})) << "the next start writes on";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DrillLogFaultTest, TwoProgramsWritingAtOnceLoseNothing) {
    DrillLog log(path(), dialogs);
    ASSERT_TRUE(log.ClearDrillLog());
    QProcess writer;
    writer.start(Writer(), {path(), "other", "300"});
    ASSERT_TRUE(writer.waitForStarted());
    for (int k = 1; k <= 300; ++k) log.AppendDrillRow({k, " this " + std::to_string(k), "1", "1", "○"});
    ASSERT_TRUE(writer.waitForFinished(60000));
    for (int tries = 0; log.store().kept() > 0 && tries < 200; ++tries) {
        QThread::msleep(25);
        log.store().Flush();
    }
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardOutput().right(200).toStdString();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;

    const auto rows = log.Rows();
    ASSERT_EQ(rows.size(), 600u);
    std::set<std::string> seen;
    for (const DrillRow& row : rows) seen.insert(row.mnd);
    EXPECT_EQ(seen.size(), 600u) << "every row of both programs is there once";
    EXPECT_EQ(IntegrityCheck(path()), "ok");
}

// Makes the file unwritable even for root where the file system allows it.
bool MakeReadOnly(const QString& file) {
    if (::geteuid() != 0) return ::chmod(file.toLocal8Bit().constData(), 0444) == 0;
    return QProcess::execute("chattr", {"+i", file}) == 0;
}

void MakeWritable(const QString& file) {
    if (::geteuid() == 0) QProcess::execute("chattr", {"-i", file});
    ::chmod(file.toLocal8Bit().constData(), 0644);
}

TEST_F(DrillLogFaultTest, AReadOnlyDatabaseIsReportedAndTheRowsStayReadable) {
    {
        DrillLog log(path(), dialogs);
        log.AppendDrillRow({1, " 12 ÷ 3", "4", "4", "○", 0, 0});
    }
    QFile::remove(path() + "-wal");
    QFile::remove(path() + "-shm");
    if (!MakeReadOnly(path())) GTEST_SKIP() << "this file system cannot make a file read-only for root";
    {
        DrillLog log(path(), dialogs);
        EXPECT_FALSE(log.ClearDrillLog());
        EXPECT_FALSE(log.AppendDrillRow({2, " 15 ÷ 5", "3", "3", "○", 0, 0}));
        EXPECT_EQ(log.Rows().size(), 1u) << "the rows stay readable";
        EXPECT_FALSE(dialogs.shown.empty());
        for (const auto& shown : dialogs.shown)
            EXPECT_NE(shown.text.find("kyozai.db"), std::string::npos) << shown.text;
    }
    MakeWritable(path());
    // What the file could not take waited in the journal: written now, in order.
    DrillLog again(path(), dialogs);
    const auto rows = again.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mnd, " 15 ÷ 5");
}

}  // namespace
}  // namespace sorelka
