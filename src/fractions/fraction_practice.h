#pragma once

#include "core/app_context.h"
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
    void ChooseTens(int position) { sheet_.ChooseTens(position); }
    void ChooseOnes(int position) { sheet_.ChooseOnes(position); }
    // An action; "終わり" judges and shows the mark.
    void ChooseAction(int position);

    FractionSheet& sheet() { return sheet_; }
    const FractionSheet& sheet() const { return sheet_; }
    const Worksheet& worksheet() const { return sheet_.worksheet(); }
    bool TakeListReset() { return sheet_.TakeListReset(); }

private:
    void SetNewProblem();
    void Judge();

    AppContext& ctx_;
    FractionSheet sheet_;
};

}  // namespace sorelka::fractions
