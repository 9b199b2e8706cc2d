#pragma once

#include <memory>

#include "division/division_worksheet_view.h"
#include "division/long_division.h"
#include "drill/drill_screen.h"

namespace sorelka::division {

// TForm3, the division drill: the drill machinery over the written long
// division. A finished question is judged without a mark and logged with both
// quotients and both remainders.
class DivisionDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    DivisionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent);

    const LongDivision& model() const { return model_; }

public slots:
    void OnesDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void ThousandsDigitChosen(int digit);
    void ActionChosen(int index);  // an item of the action list

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
    void ChooseDigit(Place place, int digit);
    void JudgeAndLog();

    LongDivision model_;
    std::unique_ptr<DivisionWorksheetView> view_;
};

}  // namespace sorelka::division
