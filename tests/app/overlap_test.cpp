// No button, list or panel of a practice screen overlaps another, on every
// menu item and in every mode a pupil meets there: a problem drawn; "×" with
// the diagnosis and "お手本"; the replay at every step and at its end;
// まちがいさがし before and after the answer; recommended practice. The
// places of a find-the-mistake example lie over the worksheet's cells by
// design, so only their overlap with a list, a button or a panel counts; the
// frame of a mistake stays off lists, buttons and panels, and on its paper.
// Everything stays on the screen. tests/CMakeLists.txt runs it again at a scale of 1.5.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>
#include <set>
#include <string>

#include "app/program.h"
#include "app/recommended_practice.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "support/wrong_answers.h"
#include "widgets/choice_list.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/exercise_screen.h"
#include "widgets/mistake_finder.h"
#include "widgets/worksheet_view.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

// What a pupil sees and uses on a screen, as far as overlaps go.
struct Piece {
    enum Kind { Button, List, Panel, Place, Frame, Paper } kind;
    QString name;
    QRect rect;  // in the screen's coordinates
};

// Whether two pieces must not share a pixel: a button none, a panel no list
// or button, a place or a frame no list, button or panel. (The digit lists
// of a written calculation stand side by side over its columns, the places
// of an example tile the worksheet, and a frame stands round a cell.)
bool MustStandApart(const Piece& a, const Piece& b) {
    const auto either = [&](Piece::Kind k) { return a.kind == k || b.kind == k; };
    if (either(Piece::Paper)) return false;
    if (either(Piece::Button)) return true;
    if (either(Piece::Place) || either(Piece::Frame))
        return either(Piece::List) || either(Piece::Panel);
    return a.kind != b.kind;  // a panel and a list
}

std::vector<Piece> Pieces(QWidget* screen) {
    std::vector<Piece> pieces;
    for (QWidget* w : screen->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        // A list's view and scroll bars are the list's own.
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != screen; p = p->parentWidget())
            part |= qobject_cast<ChoiceList*>(p) || qobject_cast<QAbstractButton*>(p);
        if (part) continue;
        Piece::Kind kind;
        if (qobject_cast<MistakePlace*>(w)) kind = Piece::Place;
        else if (qobject_cast<QAbstractButton*>(w)) kind = Piece::Button;
        else if (qobject_cast<ChoiceList*>(w) || qobject_cast<QAbstractItemView*>(w)) kind = Piece::List;
        else if (qobject_cast<DiagnosisPanel*>(w) || w->objectName() == "PracticeFocus") kind = Piece::Panel;
        else if (w->objectName().startsWith("DiagnosisMarker")) kind = Piece::Frame;
        else if (IsPaper(w)) kind = Piece::Paper;
        else continue;
        pieces.push_back({kind, w->objectName(), QRect(w->mapTo(screen, QPoint()), w->size())});
    }
    return pieces;
}

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

struct OverlapTest : ::testing::Test {
    QTemporaryDir folder;
    FakeServices fx;
    SeededRandom seeded{34};
    AppContext ctx{{}, fx.cues, fx.dialogs, fx.clock, seeded, fx.ctx.exe_folder, [] {}};
    std::unique_ptr<Program> program;
    ExerciseScreen* screen = nullptr;
    std::string where;            // the screen and menu item being looked at
    std::set<std::string> found;  // each overlap once, however often it shows
    int looked = 0;

    void SetUp() override { program = std::make_unique<Program>(ctx, folder.path() + "/kyozai.db"); }
    void TearDown() override {
        if (screen) screen->hide();
        program.reset();
    }
    bool Shown(const char* name) {
        auto* w = screen->findChild<QWidget*>(name);
        return w && w->isVisible();
    }
    void Pick(const QString& list, int index) { ClickItem(screen, list, index); }

    // Everything on the screen now: on it, and apart where it must be.
    void Look(const std::string& mode) {
        Settle();
        ++looked;
        const std::vector<Piece> pieces = Pieces(screen);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (!screen->rect().contains(pieces[i].rect))
                found.insert(where + ", " + mode + ": " + Utf8(pieces[i].name) + " (" + Text(pieces[i].rect) +
                             ") reaches off the screen");
            for (std::size_t j = i + 1; j < pieces.size(); ++j)
                if (MustStandApart(pieces[i], pieces[j]) && pieces[i].rect.intersects(pieces[j].rect))
                    found.insert(where + ", " + mode + ": " + Utf8(pieces[i].name) + " (" + Text(pieces[i].rect) +
                                 ") and " + Utf8(pieces[j].name) + " (" + Text(pieces[j].rect) + ") overlap");
            // A frame on the paper stands on it whole.
            if (pieces[i].kind != Piece::Frame) continue;
            for (const Piece& paper : pieces)
                if (paper.kind == Piece::Paper && paper.rect.intersects(pieces[i].rect) &&
                    !paper.rect.contains(pieces[i].rect))
                    found.insert(where + ", " + mode + ": " + Utf8(pieces[i].name) + " (" + Text(pieces[i].rect) +
                                 ") reaches past the paper (" + Text(paper.rect) + ")");
        }
    }

    // A wrong answer to the problem shown, with its diagnosis and "お手本";
    // another problem where a guess happened to be right.
    void AnswerWrongly(const char* next) {
        for (int tries = 0; tries < 5; ++tries) {
            if (AnswerWrong(screen, [&](const QString& list, int index) { Pick(list, index); })) break;
            Click(screen, next);
        }
        ASSERT_EQ(LabelText(screen, MarkLabelOf(screen->objectName())), "×") << where;
        ASSERT_TRUE(Shown("WorkedExample")) << where;
    }

    // "お手本" from its start to its end, looked at every step.
    void Replay(const std::string& mode) {
        Click(screen, "WorkedExample");
        Look(mode + "お手本");
        for (int step = 0; step < 60 && Shown("WorkedExampleNext"); ++step) {
            Click(screen, "WorkedExampleNext");
            Look(mode + "お手本 " + (Shown("WorkedExampleNext") ? "mid-replay" : "at its end"));
        }
        EXPECT_FALSE(Shown("WorkedExampleNext")) << where << " the replay ends";
    }

    // Find-the-mistake examples, each answered at another place.
    void FindMistakes(const char* next, int examples) {
        Click(screen, "FindTheMistake");
        for (int e = 0; e < examples; ++e) {
            if (e) Click(screen, next);
            Look("まちがいさがし");
            const auto places = screen->findChildren<MistakePlace*>();
            ASSERT_FALSE(places.empty()) << where;
            Click(places[std::size_t(e) % places.size()]);
            Look("まちがいさがし answered");
        }
    }
};

TEST_F(OverlapTest, NoButtonListOrPanelOverlapsAnotherOnAnyPracticeScreenInAnyMode) {
    const struct {
        const char* form;
        const char* next;  // "次へ"
    } forms[] = {{"TForm2", "CuteButton3"}, {"TForm4", "CuteButton4"}, {"TForm6", "CuteButton4"},
                 {"TForm8", "CuteButton4"}, {"TForm10", "CuteButton4"}, {"TForm12", "CuteButton4"},
                 {"TForm14", "CuteButton4"}};
    for (const auto& f : forms) {
        for (ExerciseScreen* s : program->screens())
            if (s->objectName() == f.form) screen = s;
        ASSERT_NE(screen, nullptr) << f.form;
        screen->ShowModeless();
        Settle();
        where = f.form;
        Look("opened");
        auto* menu = Find<ChoiceList>(screen, "ComboBox1");
        for (int item = 0; item < menu->count(); ++item) {
            where = std::string(f.form) + " " + Utf8(menu->view()->item(item)->text().trimmed());
            Pick("ComboBox1", item);
            Look("a problem drawn");
            AnswerWrongly(f.next);
            Look("×");
            Replay("");
            FindMistakes(f.next, 3);
            // Back to practice from the menu.
            Pick("ComboBox1", item);
            Look("practice again");
        }
        screen->hide();

        // Recommended practice: its line, then the same modes under it.
        RecommendedPractice* guide = program->recommended().guide_of(screen);
        ASSERT_NE(guide, nullptr) << f.form;
        where = std::string(f.form) + " recommended";
        screen->SetGuide(guide);
        screen->ShowModeless();
        Look("a problem drawn");
        AnswerWrongly(f.next);
        Look("×");
        Replay("");
        FindMistakes(f.next, 1);
        screen->SetGuide(nullptr);
        guide->Left();
        screen->hide();
        screen = nullptr;
    }
    for (const std::string& overlap : found) ADD_FAILURE() << overlap;
    EXPECT_GT(looked, 200) << "states looked at";
}

}  // namespace
}  // namespace sorelka
