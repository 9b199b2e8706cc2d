#include "multiplication/multiplication_practice.h"

#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_diagnosis.h"

namespace sorelka::multiplication {

namespace {

// The prompts, the first four as on the decimal practice screens.
constexpr const char* kChooseMenuPrompt = "メニューを選んでね！";
constexpr const char* kChooseAnswerPrompt = "答えを選んでね！";
constexpr const char* kFinishPrompt = "計算が終われば「終わり」を選んでね！";
constexpr const char* kNextPrompt = "「次へ」ボタンですすめてね！";
constexpr const char* kConfirmRowPrompt = "だんが 書けたら「確定」を選んでね！";
constexpr const char* kPointPrompt = "小数点の 位置を 選んでね！";

bool IsMenuItem(int menu) { return menu >= 1 && menu <= kMenuItems; }

}  // namespace

MultiplicationPractice::MultiplicationPractice(AppContext& ctx) : ctx_(ctx) {
    Worksheet& cells = steps_.cells();
    cells[role::kPrompt].colour = kRed;
    cells[role::kVerdict].colour = kRed;
    cells[role::kEquation].colour = kNavy;
}

void MultiplicationPractice::FormCreate() {
    EndProblem();
    SetPrompt(kChooseMenuPrompt);
    ctx_.cues.PlayCue(Cue::Begin);
}

void MultiplicationPractice::MenuItemChosen(int index) {
    if (!IsMenuItem(index + 1)) return;
    ctx_.state.menu_choice = index + 1;
    NewProblem();
}

void MultiplicationPractice::NextPressed() {
    if (!IsMenuItem(ctx_.state.menu_choice)) {
        SetPrompt(kChooseMenuPrompt);
        return;
    }
    NewProblem();
}

void MultiplicationPractice::NewProblem() {
    if (const std::optional<MultiplicationProblem> problem = DrawProblem(ctx_.state.menu_choice, ctx_.random))
        ShowProblem(*problem);
}

void MultiplicationPractice::ShowGivenProblem(const MultiplicationProblem& problem, int menu_choice) {
    if (!IsMenuItem(menu_choice)) return;
    ctx_.state.menu_choice = menu_choice;
    ShowProblem(problem);
}

void MultiplicationPractice::ShowProblem(const MultiplicationProblem& problem) {
    note_.reset();
    steps_.StartProblem(problem);
    watch_.Shown(ctx_.clock);
    steps_.cells()[role::kEquation].text = ProblemLine(problem, false);
    SetPrompt(kChooseAnswerPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void MultiplicationPractice::ChooseDigit(Place place, int digit) {
    if (!steps_.takes_entries()) return;
    note_.reset();
    steps_.ChooseDigit(place, digit);
    SetPrompt(steps_.on_product() ? kPointPrompt : kConfirmRowPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

std::optional<Verdict> MultiplicationPractice::ApplyAction(Action action) {
    if (!steps_.has_problem() || action == Action::Skip) return std::nullopt;
    if (action != Action::Finish) {
        if (!steps_.takes_entries()) return std::nullopt;
        note_.reset();
        steps_.ApplyAction(action);
        SetPrompt(kChooseAnswerPrompt);
        ctx_.cues.PlayCue(Cue::Step);
        return std::nullopt;
    }
    const std::optional<Verdict> verdict = steps_.ApplyAction(Action::Finish);
    if (!verdict) return std::nullopt;
    const MultiplicationProblem& problem = steps_.problem();
    const bool right = IsRight(*verdict);
    JudgedAnswer answer;
    answer.topic = Topic::DecimalMultiplication;
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = StoredProblemText(problem);
    answer.right_answer = ProductText(problem);
    answer.entered_answer = AnswerText(steps_.work());
    answer.correct = right;
    answer.worked_rows = MultiplicationWorkedRows(steps_.cells());
    if (!right) answer.finding = DiagnoseMultiplication(problem, answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? MultiplicationKindLabel(answer.finding->kind) : "",
                   ctx_.recorder, answer.topic);
    ctx_.cues.PlayCue(VerdictCue(right));
    steps_.cells()[role::kEquation].text = ProblemLine(problem, true);
    SetPrompt(kNextPrompt);
    return verdict;
}

void MultiplicationPractice::ChoosePoint(int places) {
    if (!steps_.takes_entries() || !steps_.on_product()) return;
    note_.reset();
    steps_.ChoosePoint(places);
    SetPrompt(kFinishPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void MultiplicationPractice::WriteOnesZero() {
    if (!steps_.takes_entries()) return;
    note_.reset();
    steps_.WriteOnesZero();
    ctx_.cues.PlayCue(Cue::Choice);
}

void MultiplicationPractice::StrikeEndZero() {
    if (!steps_.takes_entries()) return;
    note_.reset();
    steps_.StrikeEndZero();
    ctx_.cues.PlayCue(Cue::Choice);
}

void MultiplicationPractice::EndProblem() {
    watch_.Close();
    note_.reset();
    steps_.DropProblem();
    steps_.cells()[role::kEquation].text.clear();
    steps_.cells()[role::kVerdict].text.clear();
}

void MultiplicationPractice::SetPrompt(const char* text) { steps_.cells()[role::kPrompt].text = text; }

}  // namespace sorelka::multiplication
