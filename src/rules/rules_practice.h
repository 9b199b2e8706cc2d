#pragma once

#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"

// The calculation-rules practice screen without its widgets: one expression
// at a time worked on the worksheet, a prompt line saying what to do next, a
// mark "○" or "×" with the correct answer written into the problem.
namespace sorelka::rules {

// The prompt for the next entry (kind 1) or after a digit (kind 2) of the
// calculation `op` at row `row`; nothing where the prompt line stays as it is.
// "\r" marks a line break.
std::optional<std::string> StepPromptText(int kind, int op, int row);

inline constexpr const char* kGoOnPrompt = "「次へ」ボタンですすめてね！";

// The label the panel gives a finding: the kind inside the calculation where
// one is named (a division's "商に０をたてわすれた"), else the finding's own.
std::string NoteLabel(const Finding& finding);

class RulesPractice final : private StepHooks {
public:
    explicit RulesPractice(AppContext& ctx);

    // The screen is shown: an empty worksheet and a prompt to choose the menu.
    void FormCreate();
    // A kind of problem was chosen from the menu (kParenthesesMenu .. kBoxMenu).
    void ChooseMenu(int menu_choice);
    // "次へ": another problem of the kind in menu_choice.
    void NextProblem();
    // Shows `problem` as menu item `menu_choice` would (recommended practice).
    void ShowGivenProblem(const ExpressionProblem& problem, int menu_choice);
    // The entries of the worksheet (see CalculationSteps).
    void ChooseDigit(Place place, int digit);
    void ApplyAction(Action action);
    void ChooseSeparator();
    void ChooseOperation(int op);
    // The problem ends unanswered and the worksheet empties (an example takes
    // its place); the menu choice stays.
    void EndProblem();

    // Every worksheet cell, the problem and the mark among them.
    const Worksheet& worksheet() const { return steps_.worksheet(); }
    // The verdict the mark shows; none while it shows nothing.
    const std::optional<Verdict>& verdict() const { return steps_.sheet().verdict(); }
    const std::string& prompt_line() const { return prompt_line_; }
    // Counts the times the digit and action lists were reset to no selection.
    int entry_list_resets() const { return entry_list_resets_; }
    // Counts the times the operation list lost its selection.
    int operation_list_resets() const { return operation_list_resets_; }
    bool entry_lists_visible() const { return entry_lists_visible_; }
    bool operation_list_visible() const { return operation_list_visible_; }

    const CalculationSteps& steps() const { return steps_; }
    // What the panel beside the worksheet explains: the diagnosis of the
    // answer just judged wrong; none after "○", any entry ("クリア" among
    // them) and a new problem.
    const std::optional<DiagnosisNote>& note() const { return note_; }
    const ExpressionProblem& problem() const { return steps_.problem(); }

private:
    void ClearWorksheet();
    void StartProblem(bool from_menu);

    // StepHooks
    void ShowStepPrompt(int kind) override;
    void JudgeAnswer() override;
    void ShowPrompt(const std::string& text) override { prompt_line_ = text; }
    void ShowEntryLists(bool with_operation_list) override;

    AppContext& ctx_;
    CalculationSteps steps_;
    ExpressionProblem drawn_;
    ProblemWatch watch_;
    std::optional<DiagnosisNote> note_;
    std::string prompt_line_;
    bool answer_written_ = false;
    // The problem the next StartProblem shows instead of drawing one.
    std::optional<ExpressionProblem> given_;
    int entry_list_resets_ = 0;
    int operation_list_resets_ = 0;
    bool entry_lists_visible_ = false;
    bool operation_list_visible_ = false;
};

}  // namespace sorelka::rules
