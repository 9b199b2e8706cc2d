#pragma once

#include "drill/drill_screen.h"
#include "multiplication/multiplication_sheet_view.h"
#include "multiplication/multiplication_steps.h"

class QLabel;

namespace sorelka::multiplication {

// The drill of a decimal times a whole number (TForm13): the drill machinery
// over the written multiplication; "終わり" judges without a mark and logs
// the answer.
class MultiplicationDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    MultiplicationDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent);

    const MultiplicationSteps& steps() const { return steps_; }

public slots:
    void ThousandsDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void PointChosen(int index);
    void ActionChosen(int index);

protected:
    void ClearWorksheet() override;
    void GenerateProblem(int menu_choice) override;
    void ShowProblem() override;
    void ResetEntryLists() override;
    void HideEntryLists() override;
    void ClearWorksheetNumbers() override;
    WorkedRows WorkedRowsNow() const override;
    Diagnosis DiagnoseAnswer(const WorkedRows& rows) const override;

private:
    // A digit in digit list `list` (0: the thousands).
    void DigitChosen(int list, int digit);
    // Whether the sheet takes the pupil's entry now; a list chosen on a
    // sheet that takes none shows no choice.
    bool TakesEntry(ChoiceList* list);
    void Refresh();

    MultiplicationSteps steps_;
    MultiplicationSheetView view_;
    QLabel* problem_line_ = nullptr;
    // The lists show although the sheet holds no problem (after a drill).
    bool lists_kept_ = false;
};

}  // namespace sorelka::multiplication
