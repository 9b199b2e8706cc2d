#include "rules/rules_drill.h"

namespace sorelka::rules {

namespace {

CalculationSteps::Options DrillSheetOptions() {
    CalculationSteps::Options options;
    // No mark: the drill machinery shows a score line and the question's number.
    options.with_mark = false;
    return options;
}

constexpr RulesRole kProblem{RulesRole::Part::Problem};

}  // namespace

RulesDrill::RulesDrill(AppContext& ctx)
    : ctx_(ctx), steps_(ctx.dialogs, ctx.cues, *this, DrillSheetOptions()) {
    steps_.sheet()[kProblem].colour = kNavy;
    ClearWorksheet();
}

void RulesDrill::ClearWorksheet() {
    steps_.DropProblem();  // phase 0, digits 0
    steps_.ClearColumnArea();
    steps_.sheet()[kProblem].text.clear();
    question_open_ = false;
    HideEntryLists();
}

bool RulesDrill::GenerateProblem(int menu_choice) {
    return rules::GenerateProblem(menu_choice, ctx_.random, drawn_, Variant::Drill);
}

void RulesDrill::ShowProblem() {
    judgement_.reset();
    handed_in_ = false;
    if (drawn_.menu == 0) {  // nothing drawn yet: nothing to work on
        steps_.DropProblem();
        question_open_ = false;
        return;
    }
    steps_.sheet()[kProblem].text = drawn_.problem_text;
    prompt_ = std::string();  // a box problem asks for its calculation instead
    steps_.StartProblem(drawn_);
    question_open_ = true;
}

std::string RulesDrill::ProblemPrompt() const {
    return question_open_ && drawn_.IsBoxProblem() ? kChooseBoxCalculation : "";
}

void RulesDrill::ResetEntryLists() {
    steps_.ResetEntryLists();
    ++operation_list_resets_;
}

void RulesDrill::HideEntryLists() {
    entry_lists_visible_ = false;
    operation_list_visible_ = false;
}

void RulesDrill::ClearWorksheetNumbers() {
    steps_.ClearColumnArea();
    steps_.sheet()[kProblem].text.clear();
    question_open_ = false;
}

void RulesDrill::ChooseDigit(Place place, int digit) {
    if (question_open_) steps_.ChooseDigit(place, digit);
}

void RulesDrill::ApplyAction(Action action) {
    if (!question_open_) return;
    // A question handed in stays handed in: "終わり" again changes nothing.
    if (action == Action::Finish && handed_in_) return;
    steps_.ApplyAction(action);
}

void RulesDrill::ChooseSeparator() {
    if (question_open_) steps_.ChooseSeparator();
}

void RulesDrill::ChooseOperation(int op) {
    if (!question_open_) return;
    steps_.ChooseOperation(op);
    // Choosing the calculation of a box problem empties the prompt line.
    if (steps_.problem().IsBoxProblem() && op >= kAdd && op <= kDivide) prompt_ = std::string();
}

std::optional<std::string> RulesDrill::TakePrompt() { return std::exchange(prompt_, std::nullopt); }

std::optional<DrillJudgement> RulesDrill::TakeJudgement() {
    return std::exchange(judgement_, std::nullopt);
}

void RulesDrill::JudgeAnswer() {
    const ExpressionProblem& p = steps_.problem();
    const int answer = steps_.state().second_result;
    DrillJudgement j;
    j.verdict = VerdictOf(answer == p.expected_answer);
    j.row.mnd = " " + ProblemTextForLog(p);
    j.row.kai = " " + std::to_string(p.expected_answer);
    j.row.kot = " " + std::to_string(answer);
    j.row.hnt = IsRight(j.verdict) ? " ○" : " ×";
    judgement_ = j;
    handed_in_ = true;
}

void RulesDrill::ShowEntryLists(bool with_operation_list) {
    ++entry_list_resets_;
    entry_lists_visible_ = true;
    operation_list_visible_ = with_operation_list;
}

}  // namespace sorelka::rules
