#pragma once

#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "core/learning_recorder.h"
#include "decimal_division/decimal_division_steps.h"

// The practice screen of the decimal division without its widgets: one
// method per pupil event. Besides the sheet it writes the prompt line, the
// verdict and the problem line (role::kPrompt, kVerdict, kEquation). The
// menu choice is the program-wide menu_choice.
namespace sorelka::decimal_division {

inline constexpr const char* kPracticeTitle = "７．小数のわり算：練習問題";
inline constexpr const char* kDrillTitle = "７．小数のわり算：ドリル";

class DecimalDivisionPractice {
public:
    explicit DecimalDivisionPractice(AppContext& ctx);

    // The screen is shown: empty sheet, prompt to choose from the menu.
    void FormCreate();
    // Menu item `index` (0 = わりきれる（１けたでわる）) chosen: a new problem.
    void MenuItemChosen(int index);
    // "次へ": a new problem of the current menu_choice; without one, the
    // prompt asks for a menu choice.
    void NextPressed();
    // Shows `problem` as menu item `menu_choice` would (recommended practice).
    void ShowGivenProblem(const DecimalDivisionProblem& problem, int menu_choice);
    void ChooseDigit(Place place, int digit);
    // "終わり" judges (the verdict, ○ or × with its cue, the diagnosis); the
    // other actions work the sheet.
    std::optional<Verdict> ApplyAction(SheetAction action);
    void ChooseQuotientPoint(int places);
    void ChooseRemainderPoint(int places);
    // The problem ends unanswered and the sheet empties (an example takes
    // its place); the menu choice stays.
    void EndProblem();

    const DecimalDivisionSteps& steps() const { return steps_; }
    const Worksheet& cells() const { return steps_.cells(); }
    const std::string& prompt() const { return steps_.cells().at(role::kPrompt).text; }
    // The diagnosis of the answer just judged wrong; none after "○" and once
    // anything else is entered.
    const std::optional<DiagnosisNote>& note() const { return note_; }

private:
    void NewProblem();
    void ShowProblem(const DecimalDivisionProblem& problem);
    void SetPrompt(const char* text);

    AppContext& ctx_;
    DecimalDivisionSteps steps_;
    ProblemWatch watch_;
    std::optional<DiagnosisNote> note_;
};

}  // namespace sorelka::decimal_division
