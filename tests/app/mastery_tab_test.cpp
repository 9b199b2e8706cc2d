// The teacher's "習熟度" tab through its widgets, on a record whose mastery
// was never kept (rebuilt from its history when first read), and the levels
// in both exports, read back with their own tools.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>

#include "app/teacher/mastery_tab.h"
#include "app/teacher/teacher_window.h"
#include "coach/skill_catalogue.h"
#include "division/division_skills.h"
#include "report/mastery_report.h"
#include "support/history_rows.h"
#include "support/screen_support.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

TEST(MasteryTab, LevelsAsLettersOnColoursSortedWithTheWeakestAboveAndInBothExports) {
    ScratchRecord r;
    FakeServices fx;
    // はなこ: 408 ÷ 4 with the 0 left out three times, then 745 ÷ 6 right
    // three times; たろう: 745 ÷ 6 right five times; じろう: nothing.
    for (int i = 0; i < 3; ++i)
        r.Answer("はなこ", "2026-12-07", 1, false, 10, "zero_missing", "408 ÷ 4", "12");
    for (int i = 0; i < 3; ++i) r.Answer("はなこ", "2026-12-08", 1, true, 10);
    for (int i = 0; i < 5; ++i) r.Answer("たろう", "2026-12-08", 1, true, 10);
    r.learning->AddPupil("じろう");
    r.learning->TraceMastery(coach::ObserveStoredAnswer);

    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    w.show();
    auto* tabs = Find<QTabWidget>(&w, "TeacherTabs");
    int tab = -1;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == "習熟度") tab = i;
    ASSERT_GE(tab, 0);
    tabs->setCurrentIndex(tab);
    auto* table = Find<QTableView>(&w, "MasteryTable");
    const QAbstractItemModel* m = table->model();
    ASSERT_EQ(m->rowCount(), 3);
    int zero = -1, bring_down = -1;
    const auto columns = report::SkillColumns();
    ASSERT_EQ(m->columnCount(), 1 + int(columns.size()));
    for (int c = 1; c < m->columnCount(); ++c) {
        if (columns[c - 1].id == division::skill::kZeroInQuotient) zero = c;
        if (columns[c - 1].id == division::skill::kBringDown) bring_down = c;
    }
    ASSERT_GT(zero, 0);
    ASSERT_GT(bring_down, 0);
    EXPECT_EQ(m->headerData(zero, Qt::Horizontal).toString(), "商に0がたつ");
    const auto cell = [&](int row, int column) { return m->index(row, column); };
    EXPECT_EQ(cell(0, 0).data().toString(), "はなこ");
    EXPECT_EQ(cell(0, zero).data().toString(), "D") << "three zeros left out";
    EXPECT_EQ(cell(2, zero).data().toString(), "まだ") << "じろう has no answers";
    EXPECT_EQ(cell(1, bring_down).data().toString(), "A") << "five right answers";
    for (int row = 0; row < 3; ++row)
        for (int c = 1; c < m->columnCount(); ++c) {
            const QString letter = cell(row, c).data().toString();
            const Level level = letter == "A" ? Level::A : letter == "B" ? Level::B : letter == "C" ? Level::C
                                : letter == "D" ? Level::D : Level::NotYet;
            EXPECT_EQ(cell(row, c).data(Qt::BackgroundRole).value<QColor>(), LevelColour(level));
        }

    table->sortByColumn(bring_down, Qt::DescendingOrder);
    EXPECT_EQ(cell(0, 0).data().toString(), "たろう");
    EXPECT_EQ(cell(2, 0).data().toString(), "じろう") << "まだ sorts last";
    const QString weakest = Find<QLabel>(&w, "MasteryWeakest")->text();
    EXPECT_TRUE(weakest.startsWith("クラスの にがて：1. 商に0がたつ")) << Utf8(weakest);

    // Both exports carry the levels.
    const QString csv = r.folder.path() + "/kiroku.csv";
    w.ask_save_path = [&](const QString&) { return csv; };
    Click(&w, "CsvButton");
    QFile levels(report::LevelsCsvPath(csv));
    ASSERT_TRUE(levels.open(QIODevice::ReadOnly)) << Utf8(levels.fileName());
    const QStringList lines = QString::fromUtf8(levels.readAll()).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(lines.filter(QRegularExpression("^はなこ,わり算,division.zero_in_quotient,商に0がたつ,D,")).size(), 1);
    EXPECT_EQ(lines.filter(",D,").size() + lines.filter(",A,").size() + lines.filter(",B,").size() +
                  lines.filter(",C,").size() + lines.filter(",まだ,").size(),
              lines.size() - 1) << "one level on every row";
    const QString pdf = r.folder.path() + "/kiroku.pdf";
    w.ask_save_path = [&](const QString&) { return pdf; };
    Click(&w, "PdfButton");
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pages.section('\f', 0, 0).contains("習熟度"));
    EXPECT_TRUE(pages.section('\f', 0, 0).contains("商に0がたつ：D")) << Utf8(pages.section('\f', 0, 0));
}

}  // namespace
}  // namespace sorelka
