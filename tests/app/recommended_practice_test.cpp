// Recommended practice through the widgets, as a pupil meets it: a mistake
// made on the division practice screen brings problems aimed at it from
// "おすすめ", the line names what is practised and says when it is mastered,
// and the screen's own menu gives the screen back. The line covers nothing
// a pupil uses on any practice screen; "じぶんのきろく" shows the levels.
// Work the teacher gave runs on the same screens: "かだい" on the menu, the
// piece worked to its count, a piece withdrawn while worked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_window.h"
#include "app/my_record_window.h"
#include "app/program.h"
#include "app/work_practice.h"
#include "record/learning_record.h"
#include "record/record_store.h"
#include "record/work_given.h"
#include <QPushButton>
#include <QTest>
#include "coach/recommender.h"
#include "coach/skill_catalogue.h"
#include "division/division_bugs.h"
#include "division/division_practice_screen.h"
#include "division/division_skills.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;
using division::DivisionBug;
using division::DivisionInput;
using division::DivisionPracticeScreen;
using division::DivisionProblem;

const char* const kZeroLine = "れんしゅう中：商に ０が たつ わり算";

struct RecommendedPracticeTest : ::testing::Test {
    QTemporaryDir folder;
    FakeServices fx;
    SeededRandom seeded{27};
    AppContext ctx{{}, fx.cues, fx.dialogs, fx.clock, seeded, fx.ctx.exe_folder, [] {}};
    std::unique_ptr<Program> program;

    void SetUp() override {
        program = std::make_unique<Program>(ctx, folder.path() + "/kyozai.db");
        program->main_window()->show();
    }
    // はなこ at the PC, and a piece of work for her alone.
    record::WorkPiece PieceForHanako(qint64 id, const char* title, int problems, const char* due) {
        record::LearningRecord& learning = program->learning_record();
        learning.AddPupil("はなこ");
        learning.ChoosePupil("はなこ");
        record::WorkPiece piece;
        piece.id = id;
        piece.class_name = "クラス";
        piece.title = title;
        piece.problems = problems;
        piece.due_day = due;
        QSqlDatabase db = program->record_store().database();
        piece.for_pupils = {{record::PupilId(db, "はなこ").value(), 0}};
        return piece;
    }
    ExerciseScreen* Screen(const char* name) {
        for (ExerciseScreen* s : program->screens())
            if (s->objectName() == name) return s;
        return nullptr;
    }
};

// Works the screen's problem through its lists as the division pupil with
// `bug` does, then "終わり".
void Work(DivisionPracticeScreen* screen, DivisionBug bug) {
    static const char* const lists[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
    const std::optional<division::DivisionInputs> inputs = division::WorkDivision(screen->model().problem(), bug, 1);
    ASSERT_TRUE(inputs.has_value());
    for (const DivisionInput& in : *inputs) {
        if (in.what == DivisionInput::Skip) {
            ClickItem(screen, "ComboBox6", 2);  // 飛ばし
            continue;
        }
        if (in.what == DivisionInput::Digit) {
            const QString before = LabelText(screen, "Label7");
            ClickItem(screen, lists[in.place - 1], in.value);
            // Asked for the tens instead, the pupil chooses the digit there.
            if (LabelText(screen, "Label7") == before) ClickItem(screen, lists[1], in.value);
        } else {  // a number: confirmed, or tried and left for "飛ばし" to clear
            const std::string digits = std::to_string(in.value);
            for (std::size_t i = 0; i < digits.size(); ++i)
                ClickItem(screen, lists[digits.size() - 1 - i], digits[i] - '0');
            if (in.what == DivisionInput::Tried) continue;
        }
        ClickItem(screen, "ComboBox6", 0);  // 確定
    }
    ClickItem(screen, "ComboBox6", 6);  // 終わり
}

bool AimsAtZero(const DivisionProblem& p, int item) {
    const auto skills = coach::SkillsExercised(Topic::Division, item, p);
    return std::find(skills.begin(), skills.end(), division::skill::kZeroInQuotient) != skills.end();
}

// Runs `steps` on the modal screen "おすすめ" opens, then closes it whatever happened.
ExerciseScreen* Recommended(Program& program, const std::function<void(ExerciseScreen*)>& steps,
                            const char* button = "RecommendedPractice", QWidget* from = nullptr) {
    ExerciseScreen* opened = nullptr;
    QTimer timer;  // gone with this call: it never fires after it
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        opened = qobject_cast<ExerciseScreen*>(QApplication::activeModalWidget());
        if (!opened) return;
        steps(opened);
        if (opened->isVisible()) opened->reject();
    });
    timer.start(0);
    Click(from ? from : static_cast<QWidget*>(program.main_window()), button);
    return opened;
}

TEST_F(RecommendedPracticeTest, AMistakeBringsItsProblemsUntilMasteredAndTheMenuGivesTheScreenBack) {
    auto* form2 = static_cast<DivisionPracticeScreen*>(Screen("TForm2"));
    form2->ShowModeless();
    ClickItem(form2, "ComboBox1", 0);  // １けたでわる
    for (int i = 0; i < 2; ++i) {
        form2->ShowGivenProblem({408, 4, 102, 0, 0}, 1);
        Work(form2, DivisionBug::ZeroMissing);
        ASSERT_EQ(Utf8(LabelText(form2, "Label3")), "×");
    }
    form2->hide();
    auto* focus = form2->findChild<QLabel*>("PracticeFocus");
    ASSERT_NE(focus, nullptr);
    EXPECT_FALSE(focus->isVisible()) << "no line outside recommended practice";

    ExerciseScreen* opened = Recommended(*program, [&](ExerciseScreen* screen) {
        ASSERT_EQ(screen, form2);
        EXPECT_TRUE(focus->isVisible());
        EXPECT_EQ(Utf8(focus->text()), kZeroLine);
        int aimed = 0;
        for (int i = 0; i < 10; ++i) {
            if (i) Click(screen, "CuteButton3");  // 次へ
            aimed += AimsAtZero(form2->model().problem(), ctx.state.menu_choice);
        }
        EXPECT_GE(aimed, 6) << "of 10 problems with a 0 inside the quotient";

        bool mastered = false;
        for (int i = 0; i < 30 && !mastered; ++i) {
            Click(screen, "CuteButton3");
            Work(form2, DivisionBug::None);
            ASSERT_EQ(Utf8(LabelText(form2, "Label3")), "○");
            mastered = Utf8(focus->text()) == coach::kMasteredLine;
        }
        ASSERT_TRUE(mastered) << Utf8(focus->text());
        EXPECT_EQ(fx.cues.cues().back(), 14u) << "with the cue of a right answer";
        Click(screen, "CuteButton3");
        EXPECT_NE(Utf8(focus->text()), kZeroLine) << "the recommender moves on";
        EXPECT_TRUE(Utf8(focus->text()).starts_with("れんしゅう中："));

        ClickItem(screen, "ComboBox1", 1);  // ２けたでわる: the pupil's own choice
        EXPECT_FALSE(focus->isVisible());
        EXPECT_EQ(screen->guide(), nullptr);
        EXPECT_EQ(ctx.state.menu_choice, 2);
        EXPECT_EQ(form2->model().problem().divisor >= 10, true) << "the menu's own draw again";
    });
    EXPECT_EQ(opened, form2);
    EXPECT_EQ(form2->guide(), nullptr) << "closing the screen ends the mode";

    // The pupil's own record shows the skill mastered; "れんしゅうする" opens recommended practice.
    program->OpenOwnRecord();
    MyRecordWindow* own = program->own_record_window();
    auto* skills = Find<QListWidget>(own, "SkillList");
    ASSERT_NE(skills, nullptr);
    EXPECT_EQ(skills->findItems("　商に ０が たつ わり算　" + LevelForPupil(Level::A), Qt::MatchExactly).size(), 1);
    EXPECT_EQ(skills->findItems("わり算", Qt::MatchExactly).size(), 1) << "the topic's heading";
    EXPECT_GT(skills->findItems("まだ", Qt::MatchEndsWith).size(), 10) << "skills not met yet";
    ExerciseScreen* weakest = Recommended(*program, [&](ExerciseScreen* screen) {
        EXPECT_TRUE(screen->findChild<QLabel*>("PracticeFocus")->isVisible());
    }, "PracticeWeakest", own);
    EXPECT_NE(weakest, nullptr);
    own->close();
}

// On every practice screen the line stands clear of every list, button and
// written label, with a problem on the worksheet and the longest line shown.
TEST_F(RecommendedPracticeTest, TheLineCoversNothingAPupilUsesOnAnyPracticeScreen) {
    for (const char* name : {"TForm2", "TForm4", "TForm6", "TForm8", "TForm10"}) {
        ExerciseScreen* screen = Screen(name);
        ASSERT_NE(screen, nullptr);
        screen->ShowModeless();
        ClickItem(screen, "ComboBox1", 0);
        auto* focus = screen->findChild<QLabel*>("PracticeFocus");
        ASSERT_NE(focus, nullptr) << name;
        QString longest;
        for (Topic t : kAllTopics)
            for (const TopicSkill& s : coach::SkillsOf(t)) {
                const QString line = QString::fromStdString(coach::FocusLine(s.info.id));
                if (line.size() > longest.size()) longest = line;
            }
        focus->setText(longest);
        EXPECT_LE(focus->fontMetrics().horizontalAdvance(longest), focus->width()) << name;
        for (QWidget* w : screen->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w == focus || !w->isVisible()) continue;
            const auto* label = qobject_cast<QLabel*>(w);
            if (label && label->text().trimmed().isEmpty() && label->pixmap().isNull()) continue;
            EXPECT_FALSE(focus->geometry().intersects(w->geometry()))
                << name << ": the line covers " << Utf8(w->objectName());
        }
        screen->hide();
    }
}

// Work the teacher gave, through the widgets: the pupil's one open piece
// (another pupil's and a withdrawn one are not counted) on "かだい １", the
// list with its row, the piece worked on the division practice screen to
// its count with WorkCount and the title shown, every answer of the run
// carrying the piece's id, then the button gone; an answer after the count
// is an ordinary one.
TEST_F(RecommendedPracticeTest, APieceOfWorkIsWorkedToItsCountAndLeavesTheList) {
    record::WorkPiece piece = PieceForHanako(41, "わり算の しゅくだい", 3, "2026-12-07");  // due the day before the fake clock's
    piece.topic = 1;
    piece.menu_choice = 1;
    QSqlDatabase db = program->record_store().database();
    const qint64 hanako = piece.for_pupils.keys().front();
    record::WorkPiece others = piece, withdrawn = piece;
    others.id = 42;
    others.pupils = QStringList{"たろう"};
    others.for_pupils = {{hanako + 1, 0}};
    withdrawn.id = 43;
    withdrawn.withdrawn = true;
    QString problem;
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {piece, others, withdrawn}, "now", &problem)) << Utf8(problem);
    MainMenuWindow* menu = program->main_window();
    menu->ShowPupil();
    auto* button = Find<QPushButton>(menu, "WorkButton");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(Utf8(button->text()), "かだい １");
    for (QWidget* w : menu->centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w == button || !w->isVisible()) continue;
        EXPECT_FALSE(button->geometry().intersects(w->geometry())) << "covers " << Utf8(w->objectName());
    }

    auto* form2 = static_cast<DivisionPracticeScreen*>(Screen("TForm2"));
    QString row, count_at_start, prompt_at_start, count_at_end;
    bool count_covers = false;
    QTimer in_list;
    in_list.setSingleShot(true);
    QTimer on_screen;
    on_screen.setSingleShot(true);
    QObject::connect(&on_screen, &QTimer::timeout, [&] {
        auto* screen = qobject_cast<ExerciseScreen*>(QApplication::activeModalWidget());
        if (screen != form2) return;
        auto* count = form2->findChild<QLabel*>("WorkCount");
        if (!count) return;
        count_at_start = count->text();
        prompt_at_start = LabelText(form2, "Label2");
        for (QWidget* w : form2->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w == count || !w->isVisible()) continue;
            const auto* label = qobject_cast<QLabel*>(w);
            if (label && label->text().trimmed().isEmpty() && label->pixmap().isNull()) continue;
            count_covers = count_covers || count->geometry().intersects(w->geometry());
        }
        for (int i = 0; i < 4; ++i) {  // one more than the piece asks for
            if (i) Click(form2, "CuteButton3");  // 次へ
            Work(form2, DivisionBug::None);
            if (i == 2) count_at_end = count->text();
        }
        form2->reject();
    });
    QObject::connect(&in_list, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != "WorkDialog") return;
        auto* list = Find<QListWidget>(dialog, "WorkList");
        if (!list || list->count() != 1) return;
        row = list->item(0)->text();
        on_screen.start(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    });
    in_list.start(0);
    Click(menu, "WorkButton");

    EXPECT_EQ(Utf8(row), "わり算の しゅくだい　（わり算　１けたでわる）　12月7日まで　０／３　きげんが すぎているよ");
    EXPECT_EQ(Utf8(count_at_start), "０／３");
    EXPECT_EQ(Utf8(prompt_at_start), "かだい「わり算の しゅくだい」");
    EXPECT_FALSE(count_covers) << "WorkCount covers a widget of the screen";
    auto* count = form2->findChild<QLabel*>("WorkCount");
    for (const char* text : {"かだい おわり！", "１００／１００"})
        EXPECT_LE(count->fontMetrics().horizontalAdvance(QString::fromUtf8(text)), count->width()) << text;
    for (const char* text : {"かだい ９", "かだい ２０"})
        EXPECT_LE(button->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + 12, button->width()) << text;
    EXPECT_EQ(Utf8(count_at_end), "かだい おわり！");
    EXPECT_FALSE(form2->findChild<QLabel*>("WorkCount")->isVisible());
    const std::vector<record::HistoryRow> rows = program->learning_record().History();
    ASSERT_EQ(rows.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rows[i].work_id, std::optional<qint64>(41)) << i;
    EXPECT_EQ(rows[3].work_id, std::nullopt) << "the answer after the count is the pupil's own";
    for (const record::HistoryRow& r : rows) EXPECT_FALSE(r.skill.isEmpty());
    EXPECT_FALSE(button->isVisible()) << "no open piece left";
    EXPECT_TRUE(fx.dialogs.texts().empty());
}

// A piece withdrawn on the server while the pupil works it (the next fetch
// brings the list): the pupil is told in one sentence, the count goes, the
// answers given for it stay, and the next answers are ordinary ones.
TEST_F(RecommendedPracticeTest, APieceWithdrawnWhileWorkedKeepsItsAnswersAndTellsThePupil) {
    record::WorkPiece piece = PieceForHanako(7, "０の たつ わり算", 5, "2026-12-20");
    piece.skill = "division.zero_in_quotient";
    QString problem;
    QSqlDatabase db = program->record_store().database();
    ASSERT_TRUE(record::ReplaceWorkGiven(db, {piece}, "now", &problem)) << Utf8(problem);
    const std::vector<record::OpenPiece> open = program->work().OpenPieces();
    ASSERT_EQ(open.size(), 1u);

    auto* form2 = static_cast<DivisionPracticeScreen*>(Screen("TForm2"));
    bool aimed = false, count_gone = false;
    QTimer on_screen;
    on_screen.setSingleShot(true);
    QObject::connect(&on_screen, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != form2) return;
        aimed = AimsAtZero(form2->model().problem(), ctx.state.menu_choice);
        Work(form2, DivisionBug::None);
        record::WorkPiece withdrawn = piece;
        withdrawn.withdrawn = true;
        QString failure;
        record::ReplaceWorkGiven(db, {withdrawn}, "later", &failure);
        program->work().ListChanged();
        count_gone = !form2->findChild<QLabel*>("WorkCount")->isVisible();
        Click(form2, "CuteButton3");
        Work(form2, DivisionBug::None);
        form2->reject();
    });
    on_screen.start(0);
    program->work().Run(open.front());

    EXPECT_TRUE(aimed) << "a skill's piece draws problems aimed at it";
    EXPECT_TRUE(count_gone);
    EXPECT_EQ(fx.dialogs.texts(), std::vector<std::string>{kWorkWithdrawnSentence});
    const std::vector<record::HistoryRow> rows = program->learning_record().History();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].work_id, std::optional<qint64>(7));
    EXPECT_EQ(rows[1].work_id, std::nullopt);
    EXPECT_TRUE(program->work().OpenPieces().empty());

    // A piece naming a menu item this program's screen does not have opens
    // nothing and says so.
    record::OpenPiece unknown{piece, 0, false};
    unknown.piece.skill.clear();
    unknown.piece.topic = 1;
    unknown.piece.menu_choice = 9;
    program->work().Run(unknown);
    EXPECT_EQ(fx.dialogs.texts().size(), 2u);
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(program->work().running(), std::nullopt);
}

}  // namespace
}  // namespace sorelka
