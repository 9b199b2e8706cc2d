#pragma once

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "fractions/fraction_sheet.h"

namespace sorelka::fractions {

// The fraction practice: one problem of the chosen family at a time, judged
// with a "○" or "×" at once; nothing is counted or logged. Every pupil event
// of the practice screen is one call here; the screen copies worksheet()
// onto its widgets afterwards.
class FractionPractice {
public:
    explicit FractionPractice(AppContext& ctx);

    // Each showing: empty worksheet, the menu prompt, cue 11.
    void FormCreate();
    // A family chosen in the menu list (position 0..2): a problem of it.
    void ChooseMenu(int position);
    // "次へ": the next problem of the family that menu_choice names.
    void Next();
    // Shows `problem` as menu item `menu_choice` would (recommended practice).
    void ShowGivenProblem(const FractionProblem& problem, int menu_choice);
    // The digit lists and the action list, as FractionSheet has them;
    // "終わり" (Action::Finish) judges, shows the mark and gives the verdict.
    void ChooseDigit(Place place, int digit);
    void ChooseSlot(FractionSlot slot);
    void ChooseDot();
    std::optional<Verdict> ApplyAction(Action action);
    // The problem ends unanswered and the worksheet empties (an example takes
    // its place); the menu choice stays.
    void EndProblem();

    FractionSheet& sheet() { return sheet_; }
    const FractionSheet& sheet() const { return sheet_; }
    // The sheet's cells and the prompt line.
    const Worksheet& worksheet() const { return sheet_.worksheet(); }
    bool TakeListReset() { return sheet_.TakeListReset(); }
    // What the panel beside the worksheet explains: the diagnosis of the
    // answer just judged wrong; none after "○", another entry and a new problem.
    const std::optional<DiagnosisNote>& note() const { return note_; }

private:
    void SetNewProblem();
    void SetPrompt(const std::string& text);
    void TakeSheetPrompt();
    Verdict Judge();

    AppContext& ctx_;
    FractionSheet sheet_;
    ProblemWatch watch_;
    std::optional<DiagnosisNote> note_;
    // The problem the next SetNewProblem shows instead of drawing one.
    std::optional<FractionProblem> given_;
};

}  // namespace sorelka::fractions
