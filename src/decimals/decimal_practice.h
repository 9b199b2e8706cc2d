#pragma once

#include <string>

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "decimals/decimal_sheet.h"

namespace sorelka::decimals {

// What tells the addition and the subtraction practice screens apart (the
// screens' object names are the view's, DecimalFormName).
struct PracticeVariant {
    Operation operation;
    const char* title;
    Cue show_cue;      // played when the screen is shown
    bool shown_at_creation;  // the show handler also runs when the form is created
};

inline constexpr PracticeVariant kAdditionPractice{Operation::Addition, "２．小数のたし算：練習問題", Cue::Choice, true};
inline constexpr PracticeVariant kSubtractionPractice{Operation::Subtraction, "３．小数のひき算：練習問題", Cue::Begin, false};

// Prompts of the practice screens.
inline constexpr const char* kChooseMenuPrompt = "メニューを選んでね！";
inline constexpr const char* kChooseAnswerPrompt = "答えを選んでね！";
inline constexpr const char* kFinishPrompt = "計算が終われば「終わり」を選んでね！";
inline constexpr const char* kNextPrompt = "「次へ」ボタンですすめてね！";

// The decimal practice screen without its widgets: one method per pupil event.
// Besides the sheet's cells it writes the prompt line, the verdict and the
// equation (role::kPrompt, kVerdict, kEquation). The menu choice is the
// program-wide menu_choice.
class DecimalPractice {
public:
    DecimalPractice(AppContext& ctx, const PracticeVariant& variant);

    // The screen is shown: empty sheet, prompt to choose from the menu.
    void FormCreate();
    // Menu item `index` (0 = one decimal place) chosen: a new problem.
    void MenuItemChosen(int index);
    // "次へ": a new problem with the current menu_choice. With no number of
    // decimal places chosen yet, only the prompt asks for a menu choice.
    void NextPressed();
    // Shows `problem` as menu item `menu_choice` would (recommended practice).
    void ShowGivenProblem(const DecimalProblem& problem, int menu_choice);
    // A digit chosen in the list of a place; places without a column change nothing.
    void ChooseDigit(Place place, int digit);
    // "終わり", the only action, judges the answer: its verdict. Nothing is
    // judged without a problem, nor by another action.
    std::optional<Verdict> ApplyAction(Action action);
    // The problem ends unanswered and the sheet empties (an example takes its
    // place); the menu choice stays.
    void EndProblem();

    const PracticeVariant& variant() const { return variant_; }
    const DecimalSheet& sheet() const { return sheet_; }
    const Worksheet& cells() const { return sheet_.cells(); }
    const std::string& prompt() const { return sheet_.cells().at(role::kPrompt).text; }
    // What the panel beside the sheet explains: the diagnosis of the answer
    // just judged wrong; none after "○" and once another problem starts.
    const std::optional<DiagnosisNote>& note() const { return note_; }

private:
    void NewProblem();
    void ShowProblem();
    void SetPrompt(const char* text);

    AppContext& ctx_;
    PracticeVariant variant_;
    DecimalSheet sheet_;
    ProblemWatch watch_;
    std::optional<DiagnosisNote> note_;
};

}  // namespace sorelka::decimals
