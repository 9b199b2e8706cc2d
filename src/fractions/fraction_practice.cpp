#include "fractions/fraction_practice.h"

#include <utility>

#include "fractions/fraction_cells.h"
#include "fractions/fraction_diagnosis.h"

namespace sorelka::fractions {

FractionPractice::FractionPractice(AppContext& ctx)
    : ctx_(ctx), sheet_(Variant::Practice, ctx) {
    Cell& prompt = sheet_.worksheet()[kPromptRole];
    prompt.text = "「メニュー」をえらんでね！";
    prompt.colour = kRed;
}

void FractionPractice::SetPrompt(const std::string& text) { sheet_.worksheet()[kPromptRole].text = text; }

void FractionPractice::TakeSheetPrompt() {
    if (auto prompt = sheet_.TakePrompt()) SetPrompt(*prompt);
}

void FractionPractice::ChooseDigit(Place place, int digit) {
    sheet_.ChooseDigit(place, digit);
    TakeSheetPrompt();
}

void FractionPractice::FormCreate() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
    SetPrompt(kChooseMenuPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void FractionPractice::ChooseMenu(int position) {
    if (position < 0 || position >= static_cast<int>(MenuItems().size())) return;
    sheet_.ClearWorksheet();
    ctx_.state.menu_choice = position + 1;
    SetNewProblem();
}

void FractionPractice::Next() {
    sheet_.ClearWorksheet();
    SetNewProblem();
}

void FractionPractice::ShowGivenProblem(const FractionProblem& problem, int menu_choice) {
    sheet_.ClearWorksheet();
    ctx_.state.menu_choice = menu_choice;
    given_ = problem;
    SetNewProblem();
}

void FractionPractice::SetNewProblem() {
    // menu_choice may name another screen's menu item (or none at all); then
    // no problem is drawn and the pupil is sent to the menu instead of being
    // told to answer a problem that is not there.
    watch_.Close();
    note_.reset();
    const bool given = given_.has_value();
    if (given) sheet_.SetProblem(ctx_.state.menu_choice, *std::exchange(given_, std::nullopt));
    if (given || sheet_.GenerateProblem(ctx_.state.menu_choice)) {
        SetPrompt(FamilyPrompt(ctx_.state.menu_choice));
        watch_.Shown(ctx_.clock);
    } else {
        SetPrompt(kChooseMenuPrompt);
    }
    ctx_.cues.PlayCue(Cue::Choice);
}

void FractionPractice::ChooseSlot(FractionSlot slot) {
    // An entry changes the answer the note was about; "終わり" judges afresh.
    note_.reset();
    sheet_.ChooseSlot(slot);
}

void FractionPractice::ChooseDot() {
    note_.reset();
    sheet_.ChooseDot();
}

std::optional<Verdict> FractionPractice::ApplyAction(Action action) {
    note_.reset();
    std::optional<Verdict> verdict;
    sheet_.ApplyAction(action, [&] { verdict = Judge(); });
    return verdict;
}

void FractionPractice::EndProblem() {
    watch_.Close();
    note_.reset();
    sheet_.ClearWorksheet();
}

Verdict FractionPractice::Judge() {
    const Verdict verdict = sheet_.JudgePracticeAnswer();
    const bool right = IsRight(verdict);
    JudgedAnswer answer;
    answer.topic = Topic::Fractions;
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = sheet_.ProblemText();
    answer.right_answer = sheet_.RightAnswerText();
    answer.entered_answer = sheet_.EnteredAnswerText();
    answer.correct = right;
    answer.worked_rows = FractionWorkedRows(sheet_.worksheet());
    if (!right)
        answer.finding = DiagnoseFraction(ctx_.state.menu_choice, Variant::Practice,
                                          sheet_.problem(), answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? FractionKindLabel(answer.finding->kind) : "",
                   ctx_.recorder, answer.topic);
    sheet_.ShowVerdict(verdict);
    ctx_.cues.PlayCue(VerdictCue(right));
    SetPrompt(kGoOnPrompt);
    return verdict;
}

}  // namespace sorelka::fractions
