// The division practice screen's お手本 and まちがいさがし: the right work of
// a problem answered wrongly replayed through LongDivision, and divisions
// worked with one mistake for the pupil to find.
#include <QLabel>

#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_examples.h"
#include "division/division_layout.h"
#include "division/division_practice_screen.h"
#include "division/practice_hints.h"
#include "widgets/accessibility.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::division {

void DivisionPracticeScreen::BuildExampleModes() {
    // "お手本" below the action list, right of the digit lists; "まちがいさがし"
    // left of the problem line, above the paper's left margin (in reading
    // order after the menu, so the screen still opens on the menu).
    AddExampleModes({.worked_example_place = QRect(854, 404, 92, 44),
                     .find_mistake_place = QRect(8, 104, 160, 44),
                     .mark = mark_,
                     .kept = {mark_->objectName(), problem_line_->objectName()},
                     .go_on = kGoOnPrompt});
}

void DivisionPracticeScreen::ShowWorkedExample() {
    if (!note_ || !model_.has_problem()) return;
    const DivisionExample example = DivisionWorkedExample(model_.problem());
    const auto wrong =
        FirstWrongStep(example, model_.problem(), DivisionWorkedRows(model_.worksheet()), note_->finding);
    Replay replay = ReplayOf<DivisionInput, DivisionRole>(
        example, wrong, [this, end = example.end()](const DivisionRole& role) {
            return RoleRect(this, DivisionShownCell(DivisionRoleCell(end, role)));
        });
    // The player copies its sheets widget by widget.
    replay.start = DivisionShownSheet(replay.start);
    for (Replay::Step& step : replay.steps) step.sheet = DivisionShownSheet(step.sheet);
    player_->Play(std::move(replay));
}

void DivisionPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(Topic::Division)
                                                           : std::vector<std::string>{};
    const std::optional<DivisionMistakeExample> example =
        DrawDivisionMistake(ctx().state.menu_choice, ctx().random, habits);
    if (!example) {
        // No menu item of this screen chosen yet.
        prompt_->setText(QString::fromUtf8(kChooseMenuPrompt));
        PlayCue(Cue::Choice);
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    ClearWorksheet();
    model_.HideEntryLists();
    view_->Sync(model_);
    view_->ClearChoices();
    next_->show();
    Announce(problem_line_, QString::fromStdString(ProblemText(example->problem)));
    MistakeShown shown = MistakeShownOf<DivisionProblem, DivisionInput, DivisionRole>(
        *example, [sheet = example->sheet()](const DivisionRole& role) {
            return DivisionShownCell(DivisionRoleCell(sheet, role));
        });
    // The finder shows its sheet widget by widget; the record keeps the
    // quotient over its columns, as the practice does.
    shown.sheet = DivisionShownSheet(example->sheet());
    shown.answer.worked_rows = DivisionWorkedRows(example->sheet());
    shown.note.label = DivisionKindLabel(example->finding.kind);
    shown.answer.topic = Topic::Division;
    shown.answer.problem = WithoutPadding(LogProblemText(example->problem));
    finder_->Show(std::move(shown));
    PlayCue(Cue::Choice);
}

void DivisionPracticeScreen::ShowOwnWork(bool after_mistake_example) {
    // After an example there is no problem of the pupil's own.
    view_->Sync(model_);
    if (after_mistake_example) Announce(problem_line_, QString());
    ShowNote();
}

}  // namespace sorelka::division
