#include "decimals/decimal_practice.h"

#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_topics.h"

namespace sorelka::decimals {

namespace {
}  // namespace

DecimalPractice::DecimalPractice(AppContext& ctx, const PracticeVariant& variant)
    : ctx_(ctx), variant_(variant), sheet_(PracticeSheetPlace(variant.operation)) {
    Worksheet& cells = sheet_.cells();
    cells["Label2"].colour = kRed;
    cells["Label3"].colour = kRed;
    cells["Label4"].colour = kNavy;
}

void DecimalPractice::FormCreate() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
    SetPrompt(kChooseMenuPrompt);
    ctx_.cues.PlayCue(variant_.show_cue);
}

void DecimalPractice::ComboBox1Change(int index) {
    if (!IsDecimalPlaces(index + 1)) return;
    sheet_.ClearWorksheet();
    ctx_.state.menu_choice = index + 1;
    NewProblem();
}

void DecimalPractice::CuteButton4Click() {
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
    sheet_.cells()["Label4"].text = sheet_.Equation(false);
    sheet_.ShowOperator();
    sheet_.ResetEntryLists();
    SetPrompt(kChooseAnswerPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalPractice::DigitChosen(Column column, int digit) {
    if (!sheet_.has_problem()) return;
    sheet_.ShowRunningAnswer(column, digit);
    SetPrompt(kFinishPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalPractice::ComboBox7Change(int index) {
    if (index != 0 || !sheet_.has_problem()) return;
    sheet_.ShowFinishedAnswer();
    const bool right = sheet_.IsRight();
    JudgedAnswer answer;
    answer.topic = TopicOf(variant_.operation);
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = WithoutPadding(sheet_.LogProblemText());
    answer.right_answer = WithoutPadding(sheet_.LogResultText());
    answer.entered_answer = WithoutPadding(sheet_.LogAnswerText());
    answer.correct = right;
    answer.worked_rows = WorkedRowsOf(sheet_.cells());
    if (!right) answer.finding = DiagnoseDecimal(variant_.operation, sheet_.problem(), answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? DecimalKindLabel(answer.finding->kind) : "",
                   ctx_.recorder, answer.topic);
    sheet_.cells()["Label3"].text = right ? "○" : "×";
    ctx_.cues.PlayCue(VerdictCue(right));
    sheet_.cells()["Label4"].text = sheet_.Equation(true);
    SetPrompt(kNextPrompt);
}

void DecimalPractice::EndProblem() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
}

void DecimalPractice::SetPrompt(const char* text) { sheet_.cells()["Label2"].text = text; }

}  // namespace sorelka::decimals
