// The fraction practice screen's お手本 and まちがいさがし: the right answer
// of a problem answered wrongly entered slot by slot through FractionSheet,
// and answers with one mistake for the pupil to find.
#include <QLabel>

#include "fractions/fraction_cells.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_examples.h"
#include "fractions/fraction_layout.h"
#include "fractions/fraction_look.h"
#include "fractions/fraction_practice_screen.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

QString ObjectName(const char* role) { return QString::fromStdString(fractions::FractionObjectName(role)); }

// The example's sheets as the players copy them: by object name.
Replay OnScreen(Replay replay) {
    replay.start = fractions::FractionScreenSheet(replay.start);
    for (Replay::Step& step : replay.steps) step.sheet = fractions::FractionScreenSheet(step.sheet);
    return replay;
}

}  // namespace

void FractionPracticeScreen::BuildExampleModes() {
    // Right of the worksheet's paper, under the menu and left of the lists.
    // The example sheets leave the mark alone. (The player blanks it while it
    // shows the right work: the "×" of the pupil's answer does not stand
    // beside it.)
    AddExampleModes({.worked_example_place = QRect(644, 226, 160, 44),
                     .find_mistake_place = QRect(644, 284, 160, 44),
                     .mark = findChild<QLabel*>(ObjectName(fractions::kMarkRole), Qt::FindDirectChildrenOnly),
                     .kept = {ObjectName(fractions::kMarkRole)},
                     .go_on = fractions::kGoOnPrompt});
}

void FractionPracticeScreen::ShowWorkedExample() {
    const auto& note = model_.note();
    if (!note || !model_.sheet().has_problem()) return;
    const int family = ctx().state.menu_choice;
    const fractions::FractionExample example = fractions::FractionWorkedExample(family, model_.sheet().problem());
    const auto wrong =
        fractions::FirstWrongStep(example, fractions::FractionWorkedRows(model_.worksheet()), note->finding);
    // The lists show none of the pupil's own choices beside the right work.
    ResetEntryLists();
    player_->Play(OnScreen(ReplayOf<fractions::FractionInput, fractions::FractionSlot>(
        example, wrong, [this](const fractions::FractionSlot& slot) {
            return fractions::FramedSlot(this, slot);
        })));
}

void FractionPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const int family = ctx().state.menu_choice;
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(Topic::Fractions)
                                                           : std::vector<std::string>{};
    const std::optional<fractions::FractionMistakeExample> example =
        fractions::DrawFractionMistake(family, ctx().random, habits);
    if (!example) {
        model_.FormCreate();  // asks for a menu choice
        Refresh();
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    model_.EndProblem();
    Refresh();  // the entry lists hide with the pupil's problem
    fractions::FractionSheet shown_sheet(fractions::Variant::Practice, ctx());
    shown_sheet.SetProblem(family, example->problem);
    // The finder frames and names the places by their widgets, and copies the
    // sheet by object name; the record keeps the rows under their stored names.
    MistakeShown shown = MistakeShownOf<fractions::FractionProblem, fractions::FractionInput, fractions::FractionSlot>(
        *example, [](const fractions::FractionSlot& slot) {
            return RoleCell{fractions::FractionObjectName(fractions::AnswerRole(slot))};
        });
    shown.sheet = fractions::FractionScreenSheet(shown.sheet);
    shown.answer.worked_rows = fractions::FractionWorkedRows(example->sheet());
    shown.rect = [this](const RoleCell& cell) { return fractions::FramedCell(this, cell.name); };
    shown.note.label = fractions::FractionKindLabel(example->finding.kind);
    shown.answer.topic = Topic::Fractions;
    shown.answer.problem = shown_sheet.ProblemText();
    finder_->Show(std::move(shown));
    ctx().cues.PlayCue(Cue::Choice);
}

void FractionPracticeScreen::ShowOwnWork(bool /*after_mistake_example*/) {
    // After an example there is no problem of the pupil's own.
    Refresh();
}

}  // namespace sorelka
