#pragma once

#include <optional>
#include <string>

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "core/learning_recorder.h"
#include "multiplication/multiplication_steps.h"

// The practice screen of the decimal multiplication without its widgets: one
// method per pupil event. Besides the sheet it writes the prompt line, the
// verdict and the problem line (role::kPrompt, kVerdict, kEquation). The
// menu choice is the program-wide menu_choice.
namespace sorelka::multiplication {

inline constexpr const char* kPracticeTitle = "６．小数のかけ算：練習問題";
inline constexpr const char* kDrillTitle = "６．小数のかけ算：ドリル";

class MultiplicationPractice {
public:
    explicit MultiplicationPractice(AppContext& ctx);

    // The screen is shown: empty sheet, prompt to choose from the menu.
    void FormCreate();
    // Menu item `index` (0 = 小数 × １けた) chosen: a new problem.
    void MenuItemChosen(int index);
    // "次へ": a new problem of the current menu_choice; without one, the
    // prompt asks for a menu choice.
    void NextPressed();
    // Shows `problem` as menu item `menu_choice` would (recommended practice).
    void ShowGivenProblem(const MultiplicationProblem& problem, int menu_choice);
    void ChooseDigit(Place place, int digit);
    // "終わり" judges (the verdict, ○ or × with its cue, the diagnosis);
    // " 確定" and "クリア" work the sheet.
    std::optional<Verdict> ApplyAction(Action action);
    void ChoosePoint(int places);
    void WriteOnesZero();
    void StrikeEndZero();
    // The problem ends unanswered and the sheet empties (an example takes
    // its place); the menu choice stays.
    void EndProblem();

    const MultiplicationSteps& steps() const { return steps_; }
    const Worksheet& cells() const { return steps_.cells(); }
    const std::string& prompt() const { return steps_.cells().at(role::kPrompt).text; }
    // The diagnosis of the answer just judged wrong; none after "○" and once
    // anything else is entered.
    const std::optional<DiagnosisNote>& note() const { return note_; }

private:
    void NewProblem();
    void ShowProblem(const MultiplicationProblem& problem);
    void SetPrompt(const char* text);

    AppContext& ctx_;
    MultiplicationSteps steps_;
    ProblemWatch watch_;
    std::optional<DiagnosisNote> note_;
};

}  // namespace sorelka::multiplication
