#include "rules/rules_practice.h"

#include <utility>

#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"

namespace sorelka::rules {

namespace {
const char* const kAskNumber = "計算値を選んでね！";
const char* const kConfirmOrFinish = "計算の途中なら「確定」を、計算が終われば\r「終わり」を選んでね！";
const char* const kOkConfirm = "ＯＫなら「確定」を選んでね！";
}  // namespace

std::string NoteLabel(const Finding& finding) {
    const std::string inner = RulesKindLabel(StepField(finding.step, "kind"));
    return inner.empty() ? RulesKindLabel(finding.kind) : inner;
}

std::optional<std::string> StepPromptText(int kind, int op, int row) {
    if (kind == 1) {
        switch (op) {
            case kAdd:
            case kSubtract:
                return "答えを選んでね！";
            case kMultiply:
                return kAskNumber;
            case kDivide:
                switch (row) {
                    case 0: return "商を「高い位」から１つずつ「位」を合わせて選んでね！";
                    case 1: case 2: case 3: case 5: return kAskNumber;
                    case 4: return "計算の途中なら商を、計算が終われば\r「終わり」を選んでね！";
                    case 6: return "計算の途中なら計算値を、計算が終われば\r「終わり」を選んでね！";
                    default: return std::nullopt;
                }
            default:
                return std::nullopt;
        }
    }
    if (kind == 2) {
        if (op == kMultiply) {
            if (row == 1 || row == 3) return kConfirmOrFinish;
            if (row == 2) return kOkConfirm;
        }
        if (op == kDivide) {
            if (row == 1 || row == 2 || row == 4 || row == 5) return kOkConfirm;
            if (row == 3 || row == 6) return kConfirmOrFinish;
        }
    }
    return std::nullopt;
}

RulesPractice::RulesPractice(AppContext& ctx)
    : ctx_(ctx), steps_(ctx.dialogs, ctx.cues, *this, CalculationSteps::Options{}) {
    steps_.sheet()[{RulesRole::Part::Problem}].colour = kNavy;
    steps_.sheet()[{RulesRole::Part::Mark}].colour = kRed;
    ClearWorksheet();
}

void RulesPractice::ClearWorksheet() {
    watch_.Close();
    note_.reset();
    steps_.ClearColumnArea();  // the three areas, the mark, digits, row
    steps_.sheet()[{RulesRole::Part::Problem}].text.clear();
    entry_lists_visible_ = false;
    operation_list_visible_ = false;
}

void RulesPractice::FormCreate() {
    ClearWorksheet();
    prompt_line_ = kChooseMenu;
    ctx_.cues.PlayCue(Cue::Begin);
}

void RulesPractice::ChooseMenu(int menu_choice) {
    if (menu_choice < kParenthesesMenu || menu_choice > kBoxMenu) return;
    ClearWorksheet();
    ctx_.state.menu_choice = menu_choice;
    StartProblem(true);
}

void RulesPractice::NextProblem() {
    ClearWorksheet();
    StartProblem(false);
}

void RulesPractice::ShowGivenProblem(const ExpressionProblem& problem, int menu_choice) {
    ClearWorksheet();
    ctx_.state.menu_choice = menu_choice;
    given_ = problem;
    StartProblem(false);
}

void RulesPractice::StartProblem(bool from_menu) {
    answer_written_ = false;
    watch_.Close();
    const bool given = given_.has_value();
    if (given) drawn_ = *std::exchange(given_, std::nullopt);
    if (given || GenerateProblem(ctx_.state.menu_choice, ctx_.random, drawn_, Variant::Practice)) {
        steps_.sheet()[{RulesRole::Part::Problem}].text = drawn_.problem_text;
        steps_.StartProblem(drawn_);
        watch_.Shown(ctx_.clock);
        if (drawn_.IsBoxProblem() && !from_menu) ++operation_list_resets_;
    } else {
        // No kind of problem chosen since the program started (or another
        // screen left a choice this menu does not have): nothing to work on.
        steps_.DropProblem();
    }
    steps_.ResetEntryLists();
    ctx_.cues.PlayCue(Cue::Choice);
}

// An entry changes the worksheet the note was about; "終わり" judges afresh.
void RulesPractice::ChooseDigit(Place place, int digit) {
    note_.reset();
    steps_.ChooseDigit(place, digit);
}

void RulesPractice::ApplyAction(Action action) {
    note_.reset();
    steps_.ApplyAction(action);
}

void RulesPractice::ChooseSeparator() {
    note_.reset();
    steps_.ChooseSeparator();
}

void RulesPractice::ChooseOperation(int op) {
    note_.reset();
    steps_.ChooseOperation(op);
}

void RulesPractice::EndProblem() {
    ClearWorksheet();
    steps_.DropProblem();
}

void RulesPractice::ShowStepPrompt(int kind) {
    const StepState& s = steps_.state();
    if (auto text = StepPromptText(kind, s.current_op, s.entry_row)) prompt_line_ = *text;
}

void RulesPractice::JudgeAnswer() {
    const ExpressionProblem& p = steps_.problem();
    const bool right = steps_.state().second_result == p.expected_answer;
    JudgedAnswer answer;
    answer.topic = Topic::Rules;
    answer.menu_choice = ctx_.state.menu_choice;
    answer.problem = ProblemTextForLog(p);
    answer.right_answer = std::to_string(p.expected_answer);
    answer.entered_answer = std::to_string(steps_.state().second_result);
    answer.correct = right;
    answer.worked_rows = RulesWorkedRows(steps_.worksheet());
    if (!right) answer.finding = DiagnoseRules(p, answer.worked_rows);
    RecordPracticeVerdict(ctx_, watch_, answer);
    note_ = NoteOf(answer.finding, answer.finding ? NoteLabel(*answer.finding) : "", ctx_.recorder,
                   answer.topic);
    steps_.sheet().ShowVerdict(VerdictOf(right));
    ctx_.cues.PlayCue(VerdictCue(right));
    // The answer is written into the problem once; judging again repeats the
    // mark and the cue only.
    if (!answer_written_) {
        steps_.sheet()[{RulesRole::Part::Problem}].text = CompletedProblemText(p);
        answer_written_ = true;
    }
    prompt_line_ = kGoOnPrompt;
}

void RulesPractice::ShowEntryLists(bool with_operation_list) {
    ++entry_list_resets_;
    entry_lists_visible_ = true;
    operation_list_visible_ = with_operation_list;
}

}  // namespace sorelka::rules
