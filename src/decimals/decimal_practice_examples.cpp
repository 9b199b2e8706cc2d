// The decimal practice screens' お手本 and まちがいさがし: the right work of
// a problem answered wrongly replayed column by column through DecimalSheet,
// and answers worked with one mistake for the pupil to find.
#include <QLabel>

#include "decimals/decimal_cells.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_examples.h"
#include "decimals/decimal_layout.h"
#include "decimals/decimal_practice_screen.h"
#include "decimals/decimal_topics.h"
#include "decimals/figure_label.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimals {

void DecimalPracticeScreen::BuildExampleModes() {
    // Left of the written calculation, under the problem line: the digit
    // lists of three decimal places reach from the tens at 720 to the action
    // list, and the diagnosis panel and the mark take the room below.
    // The example sheets leave the mark and the equation alone.
    AddExampleModes({.worked_example_place = QRect(122, 226, 160, 44),
                     .find_mistake_place = QRect(122, 284, 160, 44),
                     .mark = findChild<QLabel*>(QStringLiteral("Label3"), Qt::FindDirectChildrenOnly),
                     .kept = {QStringLiteral("Label3"), QStringLiteral("Label4")},
                     .go_on = kNextPrompt});
}

void DecimalPracticeScreen::ShowWorkedExample() {
    const auto& note = model_.note();
    if (!note || !model_.sheet().has_problem()) return;
    const Operation operation = model_.variant().operation;
    const DecimalExample example = DecimalWorkedExample(operation, model_.sheet().problem());
    const auto wrong = FirstWrongStep(example, DecimalWorkedRows(model_.cells()), note->finding);
    Replay replay = ReplayOf<DecimalInput, DecimalRole>(example, wrong, [this](const DecimalRole& role) {
        return CellRect(DecimalRoleCell(role));
    });
    replay.layout = sheet_view_.layout();
    player_->Play(std::move(replay));
}

void DecimalPracticeScreen::ShowMistakeExample() {
    LeaveExampleModes();
    ctx().random.Randomize();
    const Operation operation = model_.variant().operation;
    const Topic topic = TopicOf(operation);
    const std::vector<std::string> habits = ctx().recorder ? ctx().recorder->Habits(topic)
                                                           : std::vector<std::string>{};
    const std::optional<DecimalMistakeExample> example =
        DrawDecimalMistake(operation, ctx().state.menu_choice, ctx().random, habits);
    if (!example) {
        model_.NextPressed();  // asks for a menu choice
        Refresh();
        return;
    }
    // The pupil's own problem ends; "次へ" brings the next example.
    model_.EndProblem();
    Refresh();
    DecimalSheet shown_sheet(PracticeSheetPlace(operation));
    shown_sheet.SetProblem(example->problem);
    Announce(findChild<QLabel*>(QStringLiteral("Label4"), Qt::FindDirectChildrenOnly),
             QString::fromStdString(shown_sheet.Equation(false)));
    MistakeShown shown = MistakeShownOf<DecimalProblem, DecimalInput, DecimalRole>(*example, DecimalRoleCell);
    // The example's sheet without the entry lists: no point column heading either.
    shown.sheet[role::kPoint].text.clear();
    shown.layout = sheet_view_.layout();
    shown.answer.worked_rows = DecimalWorkedRows(example->sheet());
    shown.rect = [this](const RoleCell& cell) { return CellRect(cell); };
    shown.note.label = DecimalKindLabel(example->finding.kind);
    shown.answer.topic = topic;
    shown.answer.problem = WithoutPadding(shown_sheet.LogProblemText());
    finder_->Show(std::move(shown));
    ctx().cues.PlayCue(Cue::Choice);
}

QRect DecimalPracticeScreen::CellRect(const RoleCell& cell) const {
    const auto* widget = findChild<QWidget*>(ObjectName(cell.name), Qt::FindDirectChildrenOnly);
    if (!widget) return {};
    // A small figure's spot, written or not (a carry the pupil left out is
    // pointed at where it belongs).
    if (cell.digit_from == RoleCell::Digit::Whole) return widget->geometry();
    const auto* figure = qobject_cast<const FigureLabel*>(widget);
    if (!figure || figure->isHidden() || figure->text().isEmpty()) return {};
    return figure->DigitRect(cell.digit).translated(figure->pos());
}

QString DecimalPracticeScreen::ObjectName(const std::string& role) const {
    return QString::fromStdString(DecimalObjectName(role, model_.sheet().place()));
}

void DecimalPracticeScreen::ShowOwnWork(bool /*after_mistake_example*/) {
    // After an example there is no problem of the pupil's own.
    Refresh();
}

}  // namespace sorelka::decimals
