// The decimal division practice screen's お手本 and まちがいさがし: the right
// work of a problem answered wrongly replayed through DecimalDivisionSteps,
// and problems worked with one mistake for the pupil to find.
#include <QLabel>

#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_examples.h"
#include "decimal_division/decimal_division_practice_screen.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimal_division {

namespace {

constexpr const char* kGoOnPrompt = "「次へ」ボタンですすめてね！";

}  // namespace

void DecimalDivisionPracticeScreen::BuildExampleModes() {
    // "お手本" under the action list; "まちがいさがし" left of the problem
    // line, over the point lists (in reading order after the menu, so the
    // screen still opens on the menu).
    AddExampleModes({.worked_example_place = QRect(816, 436, 132, 44),
                     .find_mistake_place = QRect(8, 92, 160, 44),
                     .mark = mark_,
                     .kept = {mark_->objectName(), problem_line_->objectName()},
                     .go_on = kGoOnPrompt});
}

QRect DecimalDivisionPracticeScreen::StepRect(const std::string& step) const {
    if (!model_.steps().has_problem()) return {};
    const std::optional<DecimalDivisionRole> role =
        RoleOfStep(step, DecimalDivisionWorkedRows(model_.cells()), model_.steps().problem());
    if (!role) return {};
    return RoleRect(this, DecimalDivisionShownCell(DecimalDivisionRoleCell(model_.cells(), *role)));
}

void DecimalDivisionPracticeScreen::ShowWorkedExample() {
    const auto& note = model_.note();
    if (!note || !model_.steps().has_problem()) return;
    const DecimalDivisionProblem& problem = model_.steps().problem();
    const DecimalDivisionExample example = DecimalDivisionWorkedExample(problem);
    // The step that writes the place where the pupil's work first went wrong.
    const std::optional<DecimalDivisionRole> wrong_place =
        RoleOfStep(note->finding.step, DecimalDivisionWorkedRows(model_.cells()), problem);
    const std::optional<std::size_t> wrong = wrong_place ? StepWriting(example, *wrong_place) : std::nullopt;
    Replay replay = ReplayOf<DecimalDivisionInput, DecimalDivisionRole>(
        example, wrong, [this, end = example.end()](const DecimalDivisionRole& role) {
            return RoleRect(this, DecimalDivisionShownCell(DecimalDivisionRoleCell(end, role)));
        });
    // The player copies its sheets widget by widget.
    replay.start = DecimalDivisionShownSheet(replay.start, SheetScreen::Practice);
    for (Replay::Step& step : replay.steps) step.sheet = DecimalDivisionShownSheet(step.sheet, SheetScreen::Practice);
    player_->Play(std::move(replay));
}

void DecimalDivisionPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(Topic::DecimalDivision)
                                                           : std::vector<std::string>{};
    const std::optional<DecimalDivisionMistakeExample> example =
        DrawDecimalDivisionMistake(ctx().state.menu_choice, ctx().random, habits);
    if (!example) {
        model_.NextPressed();  // asks for a menu choice
        Refresh();
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    model_.EndProblem();
    Refresh();
    Announce(problem_line_, QString::fromStdString(ProblemLine(example->problem, false)));
    MistakeShown shown = MistakeShownOf<DecimalDivisionProblem, DecimalDivisionInput, DecimalDivisionRole>(
        *example, [sheet = example->sheet()](const DecimalDivisionRole& role) {
            return DecimalDivisionShownCell(DecimalDivisionRoleCell(sheet, role));
        });
    // The finder shows its sheet widget by widget; the record keeps the
    // cells under their stored names, as the practice does.
    shown.sheet = DecimalDivisionShownSheet(example->sheet(), SheetScreen::Practice);
    shown.answer.worked_rows = DecimalDivisionWorkedRows(example->sheet());
    shown.note.label = DecimalDivisionKindLabel(example->finding.kind);
    shown.answer.topic = Topic::DecimalDivision;
    shown.answer.problem = StoredProblemText(example->problem);
    finder_->Show(std::move(shown));
    PlayCue(Cue::Choice);
}

void DecimalDivisionPracticeScreen::ShowOwnWork(bool after_mistake_example) {
    // After an example there is no problem of the pupil's own.
    Refresh();
    if (after_mistake_example) Announce(problem_line_, QString());
}

}  // namespace sorelka::decimal_division
