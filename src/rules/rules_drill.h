#pragma once

#include <optional>
#include <string>
#include <utility>

#include "core/app_context.h"
#include "drill/drill_session.h"
#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"

// The calculation-rules drill without its widgets: the worksheet a drill
// question is worked on, with the drill's draws, no step prompts and no mark.
// A finished question becomes a judgement with its log row, which the drill
// machinery counts and logs.
namespace sorelka::rules {

// A question handed in with "終わり": right or wrong, and its log row (the
// question number is the machinery's to fill in).
struct DrillJudgement {
    Verdict verdict = Verdict::Wrong;
    DrillRow row;
};

class RulesDrill final : private StepHooks {
public:
    explicit RulesDrill(AppContext& ctx);

    // Hooks of the drill machinery.
    // Empties the problem and the worksheet, hides the lines, pictures and
    // lists, forgets the step state.
    void ClearWorksheet();
    // Draws the drill variant of the generator `menu_choice` selects; false
    // (the previous problem kept) for a value outside 1..4.
    bool GenerateProblem(int menu_choice);
    // Shows the problem drawn last and starts working it: for menus 1 to 3
    // the first calculation stands on the worksheet and the prompt line is
    // emptied; a box problem asks for its calculation.
    void ShowProblem();
    // The digit and action lists without selection; the operation list
    // without selection and shown only for a box problem.
    void ResetEntryLists();
    void HideEntryLists();
    // The end of a drill: problem and worksheet numbers vanish, lines and
    // pictures hide, the lists stay on screen but do nothing until the next
    // question is set.
    void ClearWorksheetNumbers();
    // The prompt line after "スタート" and "次へ".
    std::string ProblemPrompt() const;

    // The entries of the worksheet (see CalculationSteps); nothing while no
    // question is open.
    void ChooseDigit(Place place, int digit);
    void ApplyAction(Action action);
    void ChooseSeparator();
    void ChooseOperation(int op);

    // The problem and the cells of the three areas (no mark).
    const Worksheet& worksheet() const { return steps_.worksheet(); }
    // A new text for the prompt line since the last call, if any.
    std::optional<std::string> TakePrompt();
    // The question handed in since the last call, if any.
    std::optional<DrillJudgement> TakeJudgement();

    // Counts the times the digit and action lists were reset to no selection.
    int entry_list_resets() const { return entry_list_resets_; }
    // Counts the times the operation list lost its selection.
    int operation_list_resets() const { return operation_list_resets_; }
    bool entry_lists_visible() const { return entry_lists_visible_; }
    bool operation_list_visible() const { return operation_list_visible_; }

    const CalculationSteps& steps() const { return steps_; }
    const ExpressionProblem& problem() const { return drawn_; }

private:
    // StepHooks
    void ShowStepPrompt(int) override {}  // the drill gives no step prompts
    void JudgeAnswer() override;
    void ShowPrompt(const std::string& text) override { prompt_ = text; }
    void ShowEntryLists(bool with_operation_list) override;

    AppContext& ctx_;
    CalculationSteps steps_;
    ExpressionProblem drawn_;
    std::optional<std::string> prompt_;
    std::optional<DrillJudgement> judgement_;
    // False while no question is being worked (before the first, after the
    // drill finished): the lists then do nothing.
    bool question_open_ = false;
    // The question on screen was handed in with "終わり".
    bool handed_in_ = false;
    int entry_list_resets_ = 0;
    int operation_list_resets_ = 0;
    bool entry_lists_visible_ = false;
    bool operation_list_visible_ = false;
};

}  // namespace sorelka::rules
