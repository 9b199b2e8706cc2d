// The multiplication practice screen's お手本 and まちがいさがし: the right
// work of a problem answered wrongly replayed through MultiplicationSteps,
// and problems worked with one mistake for the pupil to find.
#include <QLabel>

#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_examples.h"
#include "multiplication/multiplication_layout.h"
#include "multiplication/multiplication_practice_screen.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::multiplication {

namespace {

constexpr const char* kGoOnPrompt = "「次へ」ボタンですすめてね！";

// The place a RoleCell of PlaceCell names.
std::optional<MultiplicationRole> RoleOfCell(const RoleCell& cell) {
    using Part = MultiplicationRole::Part;
    if (cell.name == role::kPoint) return MultiplicationRole{Part::Point, 3};
    if (cell.name == role::kOnesZero) return MultiplicationRole{Part::OnesZero, 3};
    if (cell.name == role::kStrikes) return MultiplicationRole{Part::Strikes, 3};
    const int row = cell.name == role::kRow1 ? 1 : cell.name == role::kRow2 ? 2 : cell.name == role::kProduct ? 3 : 0;
    if (row == 0) return std::nullopt;
    return MultiplicationRole{Part::Digit, row, kColumns - 1 - cell.digit};
}

}  // namespace

void MultiplicationPracticeScreen::BuildExampleModes() {
    // "お手本" under the action list, right of the digit lists; "まちがいさがし"
    // left of the problem line, above the room of the diagnosis panel (in
    // reading order after the menu, so the screen still opens on the menu).
    AddExampleModes({.worked_example_place = QRect(839, 352, 108, 44),
                     .find_mistake_place = QRect(8, 104, 160, 44),
                     .mark = mark_,
                     .kept = {mark_->objectName(), problem_line_->objectName()},
                     .go_on = kGoOnPrompt});
}

void MultiplicationPracticeScreen::ShowWorkedExample() {
    const auto& note = model_.note();
    if (!note || !model_.steps().has_problem()) return;
    const MultiplicationExample example = MultiplicationWorkedExample(model_.steps().problem());
    // The step that writes the place where the pupil's work first went wrong.
    const std::optional<MultiplicationRole> wrong_place = RoleOfStep(note->finding.step);
    const std::optional<std::size_t> wrong = wrong_place ? StepWriting(example, *wrong_place) : std::nullopt;
    Replay replay = ReplayOf<MultiplicationInput, MultiplicationRole>(
        example, wrong, [end = example.end()](const MultiplicationRole& role) { return RoleRect(end, role); });
    replay.layout = sheet_view_.layout();
    player_->Play(std::move(replay));
}

void MultiplicationPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(Topic::DecimalMultiplication)
                                                           : std::vector<std::string>{};
    const std::optional<MultiplicationMistakeExample> example =
        DrawMultiplicationMistake(ctx().state.menu_choice, ctx().random, habits);
    if (!example) {
        model_.NextPressed();  // asks for a menu choice
        Refresh();
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    model_.EndProblem();
    Refresh();
    Announce(problem_line_, QString::fromStdString(ProblemLine(example->problem, false)));
    MistakeShown shown =
        MistakeShownOf<MultiplicationProblem, MultiplicationInput, MultiplicationRole>(*example, PlaceCell);
    shown.layout = sheet_view_.layout();
    shown.rect = [sheet = example->sheet()](const RoleCell& cell) {
        const std::optional<MultiplicationRole> role = RoleOfCell(cell);
        return role ? RoleRect(sheet, *role) : QRect();
    };
    shown.note.label = MultiplicationKindLabel(example->finding.kind);
    shown.answer.topic = Topic::DecimalMultiplication;
    shown.answer.problem = StoredProblemText(example->problem);
    shown.answer.worked_rows = MultiplicationWorkedRows(example->sheet());
    finder_->Show(std::move(shown));
    PlayCue(Cue::Choice);
}

void MultiplicationPracticeScreen::ShowOwnWork(bool after_mistake_example) {
    // After an example there is no problem of the pupil's own.
    Refresh();
    if (after_mistake_example) Announce(problem_line_, QString());
}

}  // namespace sorelka::multiplication
