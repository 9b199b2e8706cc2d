// The teacher's view and the pupil's own record through their widgets, and
// how the main menu opens them (the PIN first for the teacher).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>

#include "app/main_window.h"
#include "app/my_record_window.h"
#include "app/teacher/pin_dialog.h"
#include "app/program.h"
#include "app/pupil_dialog.h"
#include "app/teacher/teacher_window.h"
#include "record/learning_record.h"
#include "record/private_files.h"
#include "report/mastery_report.h"
#include "report/teacher_pin.h"
#include "support/history_rows.h"
#include "support/screen_support.h"
#include "sync/class_sync.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

// A class of three with answers over two weeks (today is Tuesday 2026-12-08).
struct RecordWindows : ::testing::Test {
    ScratchRecord r;
    FakeServices fx;
    void SetUp() override {
        for (int i = 0; i < 6; ++i) r.Answer("はなこ", "2026-12-07", 1, i < 4, 10 + i, i < 4 ? "" : "zero_missing");
        r.Answer("はなこ", "2026-12-08", 2, false, 8, "column_shift", "1.2 + 3.45", "4.77");
        r.Answer("たろう", "2026-12-01", 1, true, 30);
        r.Answer("たろう", "2026-11-20", 5, false, 50, "other");
        r.learning->AddPupil("じろう");
    }
    QStringList Column(QTableView* t, int column) {
        QStringList out;
        for (int row = 0; row < t->model()->rowCount(); ++row)
            out << t->model()->index(row, column).data().toString();
        return out;
    }
};

TEST_F(RecordWindows, TheClassIsSortedAndFilteredAndOnePupilShowsTheirMistakes) {
    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    w.show();
    auto* table = Find<QTableView>(&w, "ClassTable");
    EXPECT_EQ(Column(table, 0), QStringList({"はなこ", "はなこ", "たろう", "たろう"}));
    EXPECT_EQ(Column(table, 1), QStringList({"わり算", "小数のたし算", "わり算", "分数の表し方"}));
    EXPECT_EQ(Column(table, 2), QStringList({"6", "1", "1", "1"}));
    EXPECT_EQ(Column(table, 3), QStringList({"67 %", "0 %", "100 %", "0 %"}));
    EXPECT_EQ(Column(table, 4).value(0), "12.5 秒");
    EXPECT_EQ(Column(table, 6).value(0), "商に０をたてわすれた");  // named twice: a habit
    EXPECT_EQ(Column(table, 6).value(3), "") << "an unexplained answer is no habit";

    table->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(Column(table, 3), QStringList({"100 %", "67 %", "0 %", "0 %"}));
    auto* topic = Find<QComboBox>(&w, "TopicFilter");
    topic->setCurrentIndex(1);
    EXPECT_EQ(Column(table, 1), QStringList({"わり算", "わり算"}));
    topic->setCurrentIndex(0);
    Find<QDateEdit>(&w, "FromDate")->setDate(QDate(2026, 12, 2));
    Find<QCheckBox>(&w, "FromCheck")->setChecked(true);
    EXPECT_EQ(table->model()->rowCount(), 2);
    Find<QCheckBox>(&w, "FromCheck")->setChecked(false);
    // The school year: this one by default, an earlier one, or every year.
    auto* year = Find<QComboBox>(&w, "YearChoice");
    EXPECT_EQ(year->currentText(), "2026年度");
    year->setCurrentIndex(1);
    EXPECT_EQ(year->currentText(), "2025年度");
    EXPECT_EQ(table->model()->rowCount(), 0);
    year->setCurrentIndex(year->count() - 1);
    EXPECT_EQ(year->currentText(), "すべての年度");
    EXPECT_EQ(table->model()->rowCount(), 4);
    year->setCurrentIndex(0);

    Find<QTabWidget>(&w, "TeacherTabs")->setCurrentIndex(1);
    auto* pupil = Find<QComboBox>(&w, "PupilChoice");
    EXPECT_EQ(pupil->currentText(), "はなこ");
    auto* kinds = Find<QTableView>(&w, "KindTable");
    ASSERT_EQ(kinds->model()->rowCount(), 2);
    EXPECT_EQ(Column(kinds, 1).value(0), "商に０をたてわすれた");
    EXPECT_EQ(Column(kinds, 2).value(0), "2");
    auto* wrong = Find<QTableView>(&w, "WrongTable");
    ASSERT_EQ(wrong->model()->rowCount(), 3);
    EXPECT_EQ(Column(wrong, 0).value(0), "1.2 + 3.45");
    EXPECT_EQ(Column(wrong, 1).value(0), "4.77");
    EXPECT_EQ(Column(wrong, 4).value(0), "2026-12-08");
    const auto& weeks = Find<WeeklyChart>(&w, "WeeklyChart")->weeks();
    ASSERT_EQ(weeks.size(), kAllTopics.size());
    EXPECT_EQ(weeks[0].percent[7], 67);  // this week, division
    EXPECT_FALSE(weeks[0].percent[6]);

    // What is on screen goes out: this pupil's answers.
    const QString path = r.folder.path() + "/hanako.csv";
    w.ask_save_path = [&](const QString&) { return path; };
    Click(&w, "CsvButton");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).count("\r\n"), 8);
    ASSERT_FALSE(fx.dialogs.shown.empty());
    EXPECT_EQ(fx.dialogs.shown.back().text, "「" + Utf8(path) + "」に書き出しました。");
    w.ask_save_path = [&](const QString&) { return r.folder.path() + "/no/such/x.pdf"; };
    Click(&w, "PdfButton");
    EXPECT_EQ(fx.dialogs.shown.back().kind, FakeDialogs::Kind::Message);

    // The files hold names: this account's only. The record, its files and a
    // link to it are refused, and the record stays as it was.
    for (const QString& written : {path, report::LevelsCsvPath(path)})
        EXPECT_EQ(QFile::permissions(written) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                  QFile::Permissions()) << Utf8(written);
    ASSERT_TRUE(QFile::link(r.path(), r.folder.path() + "/link.csv"));
    for (const QString& target : {r.folder.path() + "/link.csv", r.path(), r.path() + "-wal"}) {
        w.ask_save_path = [&](const QString&) { return target; };
        Click(&w, "CsvButton");
        EXPECT_EQ(fx.dialogs.shown.back().kind, FakeDialogs::Kind::Message) << Utf8(target);
        EXPECT_NE(fx.dialogs.shown.back().text.find("書き出しません"), std::string::npos) << fx.dialogs.shown.back().text;
    }
    QFile record(r.path());
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_TRUE(record.read(16).startsWith("SQLite format 3"));
    EXPECT_TRUE(QFileInfo(r.folder.path() + "/link.csv").isSymLink());
}

TEST_F(RecordWindows, TheRosterAddsRenamesArchivesAndDeletesWithTheCountNamed) {
    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    w.show();
    Find<QTabWidget>(&w, "TeacherTabs")->setCurrentIndex(2);
    auto* list = Find<QListWidget>(&w, "RosterList");
    auto* name = Find<QLineEdit>(&w, "RosterName");
    auto* message = Find<QLabel>(&w, "RosterMessage");
    auto choose = [&](int row) { list->setCurrentRow(row); };

    name->setText("ゲスト");
    Click(&w, "AddButton");
    EXPECT_EQ(message->text(), "「ゲスト」は、なまえにできないよ！");
    name->setText("さくら");
    Click(&w, "AddButton");
    ASSERT_EQ(list->count(), 4);

    choose(1);  // たろう
    name->setText("はなこ");
    Click(&w, "RenameButton");
    EXPECT_EQ(message->text(), "「はなこ」は、もういるよ！");
    name->setText("たろう２");
    Click(&w, "RenameButton");
    EXPECT_EQ(r.learning->AnswerCount("たろう２"), 2) << "answers go with the name";

    choose(2);  // じろう
    Click(&w, "ArchiveButton");
    EXPECT_EQ(list->item(2)->text(), "じろう（おやすみ）");
    EXPECT_EQ(r.learning->Pupils(), QStringList({"はなこ", "たろう２", "さくら"}));
    EXPECT_EQ(r.learning->Roster().size(), 4u);

    choose(0);  // はなこ, 7 answers
    fx.dialogs.answers = {Answer::No};
    Click(&w, "DeleteButton");
    EXPECT_EQ(fx.dialogs.shown.back().text,
              "「はなこ」を名簿からけします。答え 7 問のきろくもいっしょにけします。よろしいですか？");
    EXPECT_EQ(r.Count("select count(*) from history"), 9);
    fx.dialogs.answers = {Answer::Yes};
    choose(0);
    Click(&w, "DeleteButton");
    EXPECT_EQ(r.Count("select count(*) from history"), 2);
    EXPECT_EQ(r.learning->Pupils(), QStringList({"たろう２", "さくら"}));
    EXPECT_EQ(Column(Find<QTableView>(&w, "ClassTable"), 0), QStringList({"たろう２", "たろう２"}));
}

TEST_F(RecordWindows, ThePupilSeesThisWeekStarsDaysInARowAndLastMistakes) {
    r.Answer("はなこ", "2026-12-06", 3, true, 9);  // Sunday: last week, but in the row of days
    r.Answer("はなこ", "2026-12-04", 3, true, 9);  // a gap before it
    r.Answer("はなこ", "2026-12-07", 7, true, 9);
    r.learning->ChoosePupil("はなこ");
    MyRecordWindow w(*r.learning, fx.ctx, nullptr);
    w.show();
    EXPECT_EQ(LabelText(&w, "HeadingLabel"), "はなこさんの きろく");
    EXPECT_EQ(LabelText(&w, "TopicLabel1"), "わり算　67％ せいかい");
    EXPECT_EQ(LabelText(&w, "StarsLabel1"), "★☆☆☆☆☆☆");
    EXPECT_EQ(LabelText(&w, "StarsLabel2"), "☆★☆☆☆☆☆");
    EXPECT_EQ(LabelText(&w, "TopicLabel3"), "小数のひき算　まだ やっていないよ");
    EXPECT_EQ(LabelText(&w, "TopicLabel6"), "小数のかけ算　まだ やっていないよ");
    EXPECT_EQ(LabelText(&w, "TopicLabel7"), "小数のわり算　100％ せいかい");
    EXPECT_EQ(LabelText(&w, "StarsLabel7"), "★☆☆☆☆☆☆");
    EXPECT_EQ(LabelText(&w, "StreakLabel"), "3日 つづけて れんしゅうしているよ！すごい！");
    auto* mistakes = Find<QListWidget>(&w, "MistakeList");
    ASSERT_EQ(mistakes->count(), 3);
    EXPECT_EQ(mistakes->item(0)->text(), "1.2 + 3.45　きみの こたえ 4.77 → 124 あまり 1（column_shift）");
    EXPECT_EQ(mistakes->item(1)->text(), "745 ÷ 6　きみの こたえ 124 あまり 1 → 124 あまり 1（商に０をたてわすれた）");
    // A name is shown as written, never as markup.
    r.learning->AddPupil("<i>ゆき</i>");
    r.learning->ChoosePupil("<i>ゆき</i>");
    EXPECT_EQ(Find<QLabel>(&w, "HeadingLabel")->textFormat(), Qt::PlainText);
    EXPECT_EQ(LabelText(&w, "HeadingLabel"), "<i>ゆき</i>さんの きろく");
    // The guest sees the guest's own record.
    r.learning->ChoosePupil(QString());
    EXPECT_EQ(LabelText(&w, "HeadingLabel"), "ゲストさんの きろく");
    EXPECT_EQ(LabelText(&w, "StreakLabel"), "きょうから れんしゅうを はじめよう！");
    EXPECT_EQ(mistakes->item(0)->text(), "まちがいは ないよ！");
}

// Names and the server's texts are shown as typed: markup in them is never
// obeyed by any label of either window, and a "%1" in a name stays in it.
TEST_F(RecordWindows, NamesAndServerTextsAreShownAsTyped) {
    const QString markup = "<font color=white>ゆき";
    sync::ClassSync sync(r.path(), "x", "<font color=white>設定がちがいます");  // answers at once: unusable
    TeacherWindow w(*r.learning, fx.ctx, nullptr);
    w.show();
    w.ShowServerStatus(&sync);
    QApplication::processEvents();
    Find<QTabWidget>(&w, "TeacherTabs")->setCurrentIndex(2);
    for (const QString& name : {QStringLiteral("%1くん"), markup}) {
        Find<QLineEdit>(&w, "RosterName")->setText(name);
        Click(&w, "AddButton");
    }
    r.learning->ChoosePupil(markup);
    MyRecordWindow own(*r.learning, fx.ctx, nullptr);
    own.show();
    QStringList shown;
    for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&own)})
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (label->text().contains("<font")) {
                shown << label->objectName();
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << Utf8(label->objectName());
            }
    shown.sort();
    EXPECT_EQ(shown, QStringList({"ClassServerStatus", "HeadingLabel", "RosterMessage"}));
    // A tooltip has no plain-text setting: each that names the pupil shows
    // the name's markup as text, as Qt would draw it.
    PupilDialog choice(*r.learning, nullptr);
    QStringList tipped;
    for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&own), static_cast<QWidget*>(&choice)})
        for (const QWidget* widget : window->findChildren<QWidget*>()) {
            const QString tip = widget->toolTip();
            QTextDocument drawn;
            if (Qt::mightBeRichText(tip))
                drawn.setHtml(tip);
            else
                drawn.setPlainText(tip);
            if (!tip.contains("ゆき")) continue;
            tipped << widget->objectName();
            EXPECT_EQ(Utf8(drawn.toPlainText()), Utf8(markup)) << Utf8(widget->objectName());
        }
    EXPECT_FALSE(tipped.isEmpty()) << "the pupil's button has the name as its tooltip";

    Find<QListWidget>(&w, "RosterList")->setCurrentRow(3);  // はなこ, たろう, じろう, %1くん
    fx.dialogs.answers = {Answer::No};
    Click(&w, "DeleteButton");
    EXPECT_EQ(fx.dialogs.shown.back().text,
              "「%1くん」を名簿からけします。答え 0 問のきろくもいっしょにけします。よろしいですか？");
}

// The menu builds each window when first opened; the teacher's view only
// behind the PIN, set on first use with a second entry.
TEST(RecordMenu, OpensTheOwnRecordAndTheTeachersViewBehindThePin) {
    QTemporaryDir data;
    FakeServices fx;
    Program program(fx.ctx, data.path() + "/kyozai.db");
    program.main_window()->show();
    const QList<QAction*> menus = program.main_window()->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "なまえ");
    EXPECT_EQ(menus[1]->text(), "きろく");
    const QList<QAction*> items = menus[1]->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "じぶんのきろく…");
    EXPECT_EQ(items[1]->text(), "先生用…");
    EXPECT_EQ(program.own_record_window(), nullptr);
    EXPECT_EQ(program.teacher_window(), nullptr);

    items[0]->trigger();
    ASSERT_NE(program.own_record_window(), nullptr);
    EXPECT_TRUE(program.own_record_window()->isVisible());

    // In the dialog's own loop: type, press "ひらく", then give up.
    auto in_dialog = [](std::vector<std::pair<QString, QString>> tries, QString* message) {
        QTimer::singleShot(0, [=] {
            auto* d = qobject_cast<PinDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            for (const auto& [pin, again] : tries) {
                Find<QLineEdit>(d, "PinEdit")->setText(pin);
                Find<QLineEdit>(d, "PinAgainEdit")->setText(again);
                Click(d, "PinOkButton");
                if (!d->isVisible()) return;
            }
            *message = LabelText(d, "PinMessage");
            Click(d, "PinCancelButton");
        });
    };
    QString message;
    in_dialog({{"1234", "1243"}}, &message);
    items[1]->trigger();
    EXPECT_EQ(message, "２回目が１回目とちがいます。もう一度入れてください。");
    EXPECT_EQ(program.teacher_window(), nullptr);
    in_dialog({{"1234", "1234"}}, &message);
    items[1]->trigger();
    ASSERT_NE(program.teacher_window(), nullptr);
    EXPECT_TRUE(program.teacher_window()->isVisible());
    EXPECT_EQ(LabelText(program.teacher_window(), "ClassServerStatus"),
              "表示しているのは このPCの記録です。学校のサーバーは設定されていません。")
        << "the view says where its class comes from";

    // Asked again at the next opening; a wrong PIN leaves it closed.
    in_dialog({{"4321", ""}}, &message);
    items[1]->trigger();
    EXPECT_EQ(message, "PINがちがいます（あと4回で30秒まちます）。");
    EXPECT_FALSE(program.teacher_window()->isVisible());
    in_dialog({{"0000", ""}, {"0000", ""}, {"0000", ""}, {"0000", ""}, {"1234", ""}}, &message);
    items[1]->trigger();
    EXPECT_EQ(message, "5回まちがえました。30秒まってから入れてください。");
    EXPECT_FALSE(program.teacher_window()->isVisible());
    record::ProgramSettings()->remove("teacher");  // leaves neither the PIN nor the wait for other tests
}

// Pupils on record and no PIN anywhere (the line gone from the settings,
// or never set by the administrator): the dialog sends the teacher to the
// administrator and takes nothing.
TEST(RecordMenu, WithPupilsAndNoPinTheTeacherIsSentToTheAdministrator) {
    QTemporaryDir data;
    FakeServices fx;
    Program program(fx.ctx, data.path() + "/kyozai.db");
    program.learning_record().AddPupil("はなこ");
    PinDialog dialog(program.teacher_pin(), nullptr);
    EXPECT_EQ(LabelText(&dialog, "PinPrompt"), "先生用のPINが設定されていません。");
    EXPECT_EQ(LabelText(&dialog, "PinMessage"),
              "管理者に「sorelka --set-teacher-pin」でPINを設定してもらってください。");
    EXPECT_FALSE(Find<QPushButton>(&dialog, "PinOkButton")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(&dialog, "PinEdit")->isEnabled());
}

// The program takes the administrator's PIN from its own system folder
// only: a folder of a pupil's that XDG_CONFIG_DIRS names, with a PIN the
// pupil knows, opens nothing. The wrong tries are kept in the record file
// too: the user's settings cleared and the program started again, it
// still waits.
TEST(RecordMenu, ThePinIsNeverTakenFromXdgFoldersAndItsWaitOutlivesTheUsersSettings) {
    QTemporaryDir data, pupils_own;
    // No file there, and "/" is root's: trusted whoever runs the tests.
    const QString system = "/nonexistent-sorelka-system";
    const report::PinCost cheap{10, 1, 1};
    QDir().mkpath(pupils_own.path() + "/Sorelka");
    QSettings(pupils_own.path() + "/Sorelka/Sorelka.conf", QSettings::IniFormat)
        .setValue("teacher/pin", report::TeacherPin::Hash("1111", cheap));
    const QByteArray saved = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", pupils_own.path().toLocal8Bit());
    FakeServices fx;
    {
        Program program(fx.ctx, data.path() + "/kyozai.db", system);
        program.learning_record().AddPupil("はなこ");
        EXPECT_EQ(program.teacher_pin().state(), report::TeacherPin::State::AskAdministrator);
        EXPECT_EQ(program.teacher_pin().Try("1111"), report::TeacherPin::TryResult::NotSet);
    }
    qputenv("XDG_CONFIG_DIRS", saved);

    record::ProgramSettings()->setValue("teacher/pin", report::TeacherPin::Hash("2580", cheap));
    {
        Program program(fx.ctx, data.path() + "/kyozai.db", system);
        for (int i = 0; i < report::TeacherPin::kTriesBeforeWait; ++i)
            EXPECT_EQ(program.teacher_pin().Try("0000"), report::TeacherPin::TryResult::Wrong);
        EXPECT_EQ(program.teacher_pin().seconds_to_wait(), 30);
    }
    record::ProgramSettings()->remove("teacher/wrong_tries");
    record::ProgramSettings()->remove("teacher/wait_until");
    {
        Program program(fx.ctx, data.path() + "/kyozai.db", system);
        EXPECT_EQ(program.teacher_pin().wrong_tries(), 5);
        EXPECT_GT(program.teacher_pin().seconds_to_wait(), 25);
        EXPECT_EQ(program.teacher_pin().Try("2580"), report::TeacherPin::TryResult::Waiting);
    }
    record::ProgramSettings()->remove("teacher");
}

}  // namespace
}  // namespace sorelka
