// The calculation-rules practice screen's お手本 and まちがいさがし: the
// right work of a problem answered wrongly replayed calculation after
// calculation through CalculationSteps, and expressions worked with one
// mistake for the pupil to find.
#include <QLabel>

#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_examples.h"
#include "rules/rules_layout.h"
#include "rules/rules_practice_screen.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::rules {

void RulesPracticeScreen::BuildExampleModes() {
    // Right of the worksheet's paper: left of "目次" above the lists, and
    // under the digit lists.
    // The example sheets leave the problem line and the mark alone.
    AddExampleModes({.worked_example_place = QRect(652, 186, 86, 48),
                     .find_mistake_place = QRect(652, 630, 200, 44),
                     .mark = findChild<QLabel*>(QStringLiteral("Label21"), Qt::FindDirectChildrenOnly),
                     .kept = {QStringLiteral("Label3"), QStringLiteral("Label21")},
                     .go_on = kGoOnPrompt});
}

void RulesPracticeScreen::ShowWorkedExample() {
    const auto& note = model_.note();
    if (!note) return;
    const RulesExample example = RulesWorkedExample(model_.problem());
    const auto wrong = FirstWrongStep(example, RulesWorkedRows(model_.worksheet()), note->finding);
    Replay replay = ReplayOf<RulesInput, RulesRole>(
        example, wrong, [this](const RulesRole& role) { return WrittenRoleRect(this, RulesShownCell(role)); });
    // The player applies its sheets by widget.
    replay.start = RulesShownSheet(replay.start);
    for (Replay::Step& step : replay.steps) step.sheet = RulesShownSheet(step.sheet);
    player_->Play(std::move(replay));
    ClearEntryChoices();
}

void RulesPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(Topic::Rules)
                                                           : std::vector<std::string>{};
    const std::optional<RulesMistakeExample> example =
        DrawRulesMistake(ctx().state.menu_choice, ctx().random, habits);
    if (!example) {
        model_.FormCreate();  // asks for a menu choice
        Sync();
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    model_.EndProblem();
    Sync();
    Announce(findChild<QLabel*>(QStringLiteral("Label3"), Qt::FindDirectChildrenOnly),
             QString::fromStdString(example->problem.problem_text));
    MistakeShown shown = MistakeShownOf<ExpressionProblem, RulesInput, RulesRole>(*example, RulesShownCell);
    // The finder shows its sheet by widget; the record keeps its own names.
    shown.sheet = RulesShownSheet(example->sheet());
    shown.answer.worked_rows = RulesWorkedRows(example->sheet());
    shown.note.label = NoteLabel(example->finding);
    shown.answer.topic = Topic::Rules;
    shown.answer.problem = ProblemTextForLog(example->problem);
    finder_->Show(std::move(shown));
    ClearEntryChoices();
    ctx().cues.PlayCue(Cue::Choice);
}

void RulesPracticeScreen::ClearEntryChoices() {
    // An example's worksheet is not the pupil's work: the lists show none of
    // their choices (no "×" chosen beside a division). Called once the
    // example shows, so that whatever keeps the pupil's choices for their
    // return has kept them.
    view_->ResetEntryLists();
    view_->ResetOperationList();
}

void RulesPracticeScreen::ShowOwnWork(bool /*after_mistake_example*/) {
    // After an example there is no problem of the pupil's own.
    Sync();
}

}  // namespace sorelka::rules
