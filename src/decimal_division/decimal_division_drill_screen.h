#pragma once

#include "decimal_division/decimal_division_sheet_view.h"
#include "decimal_division/decimal_division_steps.h"
#include "drill/drill_screen.h"

class QLabel;

namespace sorelka::decimal_division {

// The drill of a decimal divided by a whole number (TForm15): the drill
// machinery over the written decimal division; "終わり" judges without a
// mark and logs the answer.
class DecimalDivisionDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    DecimalDivisionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent);

    const DecimalDivisionSteps& steps() const { return steps_; }

public slots:
    void ThousandsDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void ActionChosen(int index);
    void PointChosen(int index);
    void RemainderPointChosen(int index);

protected:
    void ClearWorksheet() override;
    void GenerateProblem(int menu_choice) override;
    void ShowProblem() override;
    void ResetEntryLists() override;
    void HideEntryLists() override;
    void ClearWorksheetNumbers() override;
    WorkedRows WorkedRowsNow() const override;
    Diagnosis DiagnoseAnswer(const WorkedRows& rows) const override;
    void FillAnswerTexts(const DrillRow& row, JudgedAnswer& answer) const override;

private:
    // A digit in digit list `list` (0: ComboBox5, the long division's thousands).
    void DigitChosen(int list, int digit);
    // Whether the sheet takes the pupil's entry now; a list chosen on a
    // sheet that takes none shows no choice.
    bool TakesEntry(ChoiceList* list);
    // Shows the sheet, and on the prompt line what the steps said of the
    // last entry (a refusal), if anything.
    void Refresh();

    DecimalDivisionSteps steps_;
    DecimalDivisionSheetView view_;
    QLabel* problem_line_ = nullptr;
    // The lists show although the sheet holds no problem (after a drill).
    bool lists_kept_ = false;
    std::string seen_prompt_;
};

}  // namespace sorelka::decimal_division
