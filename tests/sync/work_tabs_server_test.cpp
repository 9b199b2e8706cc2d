// The teacher's "かだい" and "いまの ようす" tabs signed in to a real school
// server: a piece made through the form reaches the server, its progress
// comes back from a PC's answers, the lesson is read on the tab's own
// connection, and the piece is withdrawn.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/teacher/teacher_window.h"
#include "app/teacher/work_models.h"
#include "support/history_rows.h"
#include "support/screen_support.h"
#include "sync/sync_support.h"
#include "sync/teacher_session.h"

namespace sorelka::testing {
namespace {

class WorkTabsOnServer : public ServerSuite {
protected:
    void SetUp() override {
        ServerSuite::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        bool ok = false;
        cluster().Query(
            "truncate work_pieces, work_pupils, pc_presence, pc_owners, teacher_classes;"
            " insert into pc_owners values ('A', 'pc');"
            " insert into pupils (pc_id, id, name, class_name) values ('A', 1, 'はなこ', '4年1組'),"
            " ('A', 2, 'たろう', '4年1組') on conflict do nothing;"
            " insert into class_pupils (class_name, name, archived) values ('4年1組', 'はなこ', false),"
            " ('4年1組', 'たろう', false), ('4年1組', 'じろう', true) on conflict do nothing;"
            " select sorelka_grant_class('teacher', '4年1組')",
            &ok);
        ASSERT_TRUE(ok);
    }
    static int TabOf(QTabWidget* tabs, const QString& title) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == title) return i;
        return -1;
    }
    static QString Cell(QTableView* t, int row, int column) { return t->model()->index(row, column).data().toString(); }
};

TEST_F(WorkTabsOnServer, APieceMadeInTheTabItsProgressTheLessonAndTheWithdrawal) {
    QString problem;
    auto session = sync::TeacherSession::SignIn(cluster().TlsConfig(), "teacher", cluster().TeacherConfig().password,
                                                &problem);
    ASSERT_NE(session, nullptr) << Utf8(problem);
    ScratchRecord r;
    FakeServices fx;
    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    auto* tabs = Find<QTabWidget>(&w, "TeacherTabs");
    const int work_tab = TabOf(tabs, "かだい"), live_tab = TabOf(tabs, "いまの ようす");
    EXPECT_FALSE(tabs->isTabVisible(work_tab));
    w.SignIn(std::move(session));
    w.show();
    ASSERT_TRUE(tabs->isTabVisible(work_tab));
    ASSERT_TRUE(tabs->isTabVisible(live_tab));
    tabs->setCurrentIndex(work_tab);

    Find<QLineEdit>(&w, "WorkTitle")->setText("くり下がり");
    auto* what = Find<QComboBox>(&w, "WorkWhat");
    what->setCurrentIndex(what->findText("小数のひき算：小数第二位"));
    Find<QDateEdit>(&w, "WorkDue")->setDate(QDate::currentDate().addDays(3));
    Find<QCheckBox>(&w, "WorkWholeClass")->click();
    auto* pupils = Find<QListWidget>(&w, "WorkPupils");
    ASSERT_EQ(pupils->count(), 2) << "the class's list on the server, less じろう, who rests";
    pupils->findItems("はなこ", Qt::MatchExactly).value(0)->setCheckState(Qt::Checked);
    Click(&w, "WorkMakeButton");
    EXPECT_EQ(LabelText(&w, "WorkMessage"), "「くり下がり」を つくりました。");
    EXPECT_EQ(cluster().Query("select title || ' ' || topic || ' ' || menu_choice || ' ' || problems || ' '"
                              " || coalesce((select string_agg(name, ',') from work_pupils where work_id = id), '')"
                              " from work_pieces where class_name = '4年1組'"),
              QStringList{"くり下がり 3 2 10 はなこ"});
    const QString id = cluster().Query("select id from work_pieces").value(0);

    // はなこ's PC answers three, one forgetting the borrow.
    bool ok = false;
    cluster().Query("insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, problem,"
                    " correct, error_kind, work_id) select 'A', k, 1, '2026-12-10T09:00:00', 3, 'practice', 2,"
                    " '3.2 - 1.5', (k <> 2)::int, case when k = 2 then 'borrow_missing' end, " +
                        id + " from generate_series(1, 3) k",
                    &ok);
    ASSERT_TRUE(ok);
    w.Refresh();
    auto* progress = Find<QTableView>(&w, "WorkProgress");
    ASSERT_EQ(progress->model()->rowCount(), 1);
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::ProgressColumn), "とちゅう（３／１０）");
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::ShareColumn), "正答率 67%");
    EXPECT_EQ(Cell(progress, 0, ProgressTableModel::KindsColumn), "くり下がりをわすれた");

    // The PC's signal: はなこ on the piece; the lesson read on the tab's thread.
    cluster().Query("insert into pc_presence (pc_id, pupil_id, screen, topic, menu_choice, work_id)"
                    " values ('A', 1, 'TForm5', 3, 2, " + id + ")",
                    &ok);
    ASSERT_TRUE(ok);
    tabs->setCurrentIndex(live_tab);
    auto* live = Find<QTableView>(&w, "LiveTable");
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->model()->rowCount() == 2; }, 10000))
        << Utf8(LabelText(&w, "LiveStatus"));
    EXPECT_EQ(Cell(live, 0, LiveTableModel::PupilColumn), "はなこ");
    EXPECT_EQ(Cell(live, 0, LiveTableModel::ScreenColumn), "小数のひき算・かだい");
    EXPECT_EQ(Cell(live, 0, LiveTableModel::AnswersColumn), "3");
    EXPECT_EQ(Cell(live, 1, LiveTableModel::ScreenColumn), "—");

    // Withdrawn after a yes: on the server, the answers kept.
    tabs->setCurrentIndex(work_tab);
    Find<QTableView>(&w, "WorkTable")->selectRow(0);
    fx.dialogs.answers = {Answer::Yes};
    Click(&w, "WorkWithdrawButton");
    EXPECT_EQ(LabelText(&w, "WorkMessage"), "「くり下がり」を とりけしました。");
    EXPECT_EQ(cluster().Query("select (withdrawn_at is not null)::text || ' ' ||"
                              " (select count(*) from history where work_id = work_pieces.id) from work_pieces"),
              QStringList{"true 3"});
    EXPECT_EQ(progress->model()->rowCount(), 0);
}

}  // namespace
}  // namespace sorelka::testing
