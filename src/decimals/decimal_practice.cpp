#include "decimals/decimal_practice.h"

#include "decimals/decimal_cells.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_topics.h"

namespace sorelka::decimals {

DecimalPractice::DecimalPractice(AppContext& ctx, const PracticeVariant& variant)
    : ctx_(ctx), variant_(variant), sheet_(PracticeSheetPlace(variant.operation)) {
    Worksheet& cells = sheet_.cells();
    cells[role::kPrompt].colour = kRed;
    cells[role::kVerdict].colour = kRed;
    cells[role::kEquation].colour = kNavy;
}

void DecimalPractice::FormCreate() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
    SetPrompt(kChooseMenuPrompt);
    ctx_.cues.PlayCue(variant_.show_cue);
}

void DecimalPractice::MenuItemChosen(int index) {
    if (!IsDecimalPlaces(index + 1)) return;
    sheet_.ClearWorksheet();
    ctx_.state.menu_choice = index + 1;
    NewProblem();
}

void DecimalPractice::NextPressed() {
    if (!IsDecimalPlaces(ctx_.state.menu_choice)) {
        SetPrompt(kChooseMenuPrompt);
        return;
    }
    sheet_.ClearWorksheet();
    NewProblem();
}

void DecimalPractice::NewProblem() {
    note_.reset();
    sheet_.Draw(ctx_.random, ctx_.state.menu_choice);
    ShowProblem();
}

void DecimalPractice::ShowGivenProblem(const DecimalProblem& problem, int menu_choice) {
    if (!IsDecimalPlaces(menu_choice)) return;
    sheet_.ClearWorksheet();
    ctx_.state.menu_choice = menu_choice;
    note_.reset();
    sheet_.SetProblem(problem);
    ShowProblem();
}

void DecimalPractice::ShowProblem() {
    watch_.Shown(ctx_.clock);
    sheet_.cells()[role::kEquation].text = sheet_.Equation(false);
    sheet_.ShowOperator();
    sheet_.ResetEntryLists();
    SetPrompt(kChooseAnswerPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalPractice::ChooseDigit(Place place, int digit) {
    const std::optional<Column> column = ColumnOf(place);
    if (!sheet_.has_problem() || !column) return;
    sheet_.ShowRunningAnswer(*column, digit);
    SetPrompt(kFinishPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

std::optional<Verdict> DecimalPractice::ApplyAction(Action action) {
    if (action != Action::Finish || !sheet_.has_problem()) return std::nullopt;
    sheet_.ShowFinishedAnswer();
    const Verdict verdict = sheet_.verdict();
    const bool right = IsRight(verdict);
    JudgedAnswer answer;
    answer.topic = TopicOf(variant_.operation);
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = WithoutPadding(sheet_.LogProblemText());
    answer.right_answer = WithoutPadding(sheet_.LogResultText());
    answer.entered_answer = WithoutPadding(sheet_.LogAnswerText());
    answer.correct = right;
    answer.worked_rows = DecimalWorkedRows(sheet_.cells());
    if (!right) answer.finding = DiagnoseDecimal(variant_.operation, sheet_.problem(), answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? DecimalKindLabel(answer.finding->kind) : "",
                   ctx_.recorder, answer.topic);
    sheet_.cells()[role::kVerdict].text = right ? "○" : "×";
    ctx_.cues.PlayCue(VerdictCue(right));
    sheet_.cells()[role::kEquation].text = sheet_.Equation(true);
    SetPrompt(kNextPrompt);
    return verdict;
}

void DecimalPractice::EndProblem() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
}

void DecimalPractice::SetPrompt(const char* text) { sheet_.cells()[role::kPrompt].text = text; }

}  // namespace sorelka::decimals
