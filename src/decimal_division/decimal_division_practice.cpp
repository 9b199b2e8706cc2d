#include "decimal_division/decimal_division_practice.h"

#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_diagnosis.h"

namespace sorelka::decimal_division {

namespace {

// The prompts, the first four as on the other practice screens.
constexpr const char* kChooseMenuPrompt = "メニューを選んでね！";
constexpr const char* kChooseAnswerPrompt = "答えを選んでね！";
constexpr const char* kFinishPrompt = "計算が終われば「終わり」を選んでね！";
constexpr const char* kNextPrompt = "「次へ」ボタンですすめてね！";
constexpr const char* kConfirmRowPrompt = "書けたら「確定」を選んでね！";
constexpr const char* kRoundedPrompt = "がい数の 数字を 選んでね！";

bool IsMenuItem(int menu) { return menu >= 1 && menu <= kMenuItems; }

}  // namespace

DecimalDivisionPractice::DecimalDivisionPractice(AppContext& ctx) : ctx_(ctx), steps_(ctx) {
    Worksheet& cells = steps_.cells();
    cells[role::kPrompt].colour = kRed;
    cells[role::kVerdict].colour = kRed;
    cells[role::kEquation].colour = kNavy;
}

void DecimalDivisionPractice::FormCreate() {
    EndProblem();
    SetPrompt(kChooseMenuPrompt);
    ctx_.cues.PlayCue(Cue::Begin);
}

void DecimalDivisionPractice::MenuItemChosen(int index) {
    if (!IsMenuItem(index + 1)) return;
    ctx_.state.menu_choice = index + 1;
    NewProblem();
}

void DecimalDivisionPractice::NextPressed() {
    if (!IsMenuItem(ctx_.state.menu_choice)) {
        SetPrompt(kChooseMenuPrompt);
        return;
    }
    NewProblem();
}

void DecimalDivisionPractice::NewProblem() {
    if (const std::optional<DecimalDivisionProblem> problem = DrawProblem(ctx_.state.menu_choice, ctx_.random))
        ShowProblem(*problem);
}

void DecimalDivisionPractice::ShowGivenProblem(const DecimalDivisionProblem& problem, int menu_choice) {
    if (!IsMenuItem(menu_choice)) return;
    ctx_.state.menu_choice = menu_choice;
    ShowProblem(problem);
}

void DecimalDivisionPractice::ShowProblem(const DecimalDivisionProblem& problem) {
    note_.reset();
    steps_.StartProblem(problem);
    watch_.Shown(ctx_.clock);
    steps_.cells()[role::kEquation].text = ProblemLine(problem, false);
    SetPrompt(kChooseAnswerPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalDivisionPractice::ChooseDigit(Place place, int digit) {
    if (!steps_.takes_entries()) return;
    note_.reset();
    // The step machine plays the cue and says why it refuses a digit.
    steps_.ChooseDigit(place, digit);
    if (steps_.said().empty()) SetPrompt(steps_.writing_rounded() ? kFinishPrompt : kConfirmRowPrompt);
}

std::optional<Verdict> DecimalDivisionPractice::ApplyAction(SheetAction action) {
    if (!steps_.has_problem()) return std::nullopt;
    if (action != SheetAction::Finish) {
        if (!steps_.takes_entries()) return std::nullopt;
        note_.reset();
        steps_.ApplyAction(action);
        if (steps_.said().empty())
            SetPrompt(action == SheetAction::StartRounded && steps_.writing_rounded() ? kRoundedPrompt
                                                                                       : kChooseAnswerPrompt);
        return std::nullopt;
    }
    const std::optional<Verdict> verdict = steps_.ApplyAction(SheetAction::Finish);
    if (!verdict) return std::nullopt;  // refused: the step machine said why
    const DecimalDivisionProblem& problem = steps_.problem();
    const bool right = IsRight(*verdict);
    JudgedAnswer answer;
    answer.topic = Topic::DecimalDivision;
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = StoredProblemText(problem);
    answer.right_answer = AnswerText(problem);
    answer.entered_answer = AnswerRead(problem, steps_.work());
    answer.correct = right;
    answer.worked_rows = DecimalDivisionWorkedRows(steps_.cells());
    if (!right) answer.finding = DiagnoseDecimalDivision(problem, answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? DecimalDivisionKindLabel(answer.finding->kind) : "",
                   ctx_.recorder, answer.topic);
    ctx_.cues.PlayCue(VerdictCue(right));
    steps_.cells()[role::kEquation].text = ProblemLine(problem, true);
    SetPrompt(kNextPrompt);
    return verdict;
}

void DecimalDivisionPractice::ChooseQuotientPoint(int places) {
    if (!steps_.takes_entries()) return;
    note_.reset();
    steps_.ChooseQuotientPoint(places);
    if (steps_.said().empty()) SetPrompt(kFinishPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalDivisionPractice::ChooseRemainderPoint(int places) {
    if (!steps_.takes_entries()) return;
    note_.reset();
    steps_.ChooseRemainderPoint(places);
    if (steps_.said().empty()) SetPrompt(kFinishPrompt);
    ctx_.cues.PlayCue(Cue::Choice);
}

void DecimalDivisionPractice::EndProblem() {
    watch_.Close();
    note_.reset();
    steps_.DropProblem();
    steps_.cells()[role::kEquation].text.clear();
    steps_.cells()[role::kVerdict].text.clear();
}

void DecimalDivisionPractice::SetPrompt(const char* text) { steps_.cells()[role::kPrompt].text = text; }

}  // namespace sorelka::decimal_division
