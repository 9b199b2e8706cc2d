#include "drill/drill_log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlRecord>
#include <QTemporaryDir>

#include "support/fakes.h"

namespace sorelka {
namespace {

using testing::FakeDialogs;

struct DrillLogTest : ::testing::Test {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    QString path() const { return folder.path() + "/data/kyozai.db"; }
};

DrillRow DivisionRow(int no) {
    return {no, " 745 ÷ 6", "124", "124", "○", 1, 1};
}

DrillRow DecimalRow(int no) {
    return {no, " 0.3 ＋ 0.7", " 1", " 1", " ○", std::nullopt, std::nullopt};
}

TEST_F(DrillLogTest, RowsComeBackInAppendOrderAndSurviveReopening) {
    {
        DrillLog log(path(), dialogs);
        EXPECT_TRUE(log.ClearDrillLog());
        EXPECT_TRUE(log.AppendDrillRow(DivisionRow(1)));
        EXPECT_TRUE(log.AppendDrillRow(DecimalRow(2)));
        EXPECT_TRUE(log.AppendDrillRow(DivisionRow(3)));
    }
    DrillLog again(path(), dialogs);
    const auto rows = again.Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], DivisionRow(1));
    EXPECT_EQ(rows[1], DecimalRow(2)) << "remainders stay empty for other drills";
    EXPECT_EQ(rows[2].no, 3);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DrillLogTest, ClearingEmptiesRowsLeftByAnEarlierRun) {
    {
        DrillLog earlier(path(), dialogs);
        earlier.AppendDrillRow(DivisionRow(1));
        earlier.AppendDrillRow(DivisionRow(2));
    }
    DrillLog log(path(), dialogs);
    EXPECT_EQ(log.Rows().size(), 2u);
    log.ClearDrillLog();
    EXPECT_TRUE(log.Rows().empty());
    EXPECT_EQ(log.result_set()->rowCount(), 0);
    log.AppendDrillRow(DecimalRow(1));
    EXPECT_EQ(log.result_set()->rowCount(), 1);
}

TEST_F(DrillLogTest, TheSharedResultSetIsClosedUntilFirstUsedThenFollowsEveryAppend) {
    {
        DrillLog earlier(path(), dialogs);
        earlier.AppendDrillRow(DivisionRow(1));
    }
    DrillLog log(path(), dialogs);
    EXPECT_EQ(log.result_set()->rowCount(), 0) << "closed at start-up";
    log.AppendDrillRow(DivisionRow(2));
    ASSERT_EQ(log.result_set()->rowCount(), 2);
    EXPECT_EQ(log.result_set()->record(1).value("MND").toString().toStdString(), " 745 ÷ 6");
    EXPECT_EQ(log.result_set()->record(1).value("NO").toInt(), 2);
}

TEST_F(DrillLogTest, AFileThatIsNotADatabaseIsSetAsideAndTheLogGoesOn) {
    QDir().mkpath(folder.path() + "/data");
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();

    DrillLog log(path(), dialogs);
    EXPECT_TRUE(log.ClearDrillLog());
    EXPECT_TRUE(log.AppendDrillRow(DecimalRow(1)));
    EXPECT_EQ(log.Rows().size(), 1u);
    ASSERT_EQ(dialogs.shown.size(), 1u) << "told once";
    EXPECT_NE(dialogs.shown[0].text.find("kyozai.db.broken-"), std::string::npos)
        << dialogs.shown[0].text;
}

TEST_F(DrillLogTest, AFolderThatCannotBeMadeIsReported) {
    // A plain file where the data folder should be: no one can create a folder there.
    QFile blocker(folder.path() + "/data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    DrillLog log(path(), dialogs);
    EXPECT_FALSE(log.AppendDrillRow(DecimalRow(1)));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("フォルダー"), std::string::npos);
}

}  // namespace
}  // namespace sorelka
