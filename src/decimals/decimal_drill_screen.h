#pragma once

#include "decimals/decimal_drill.h"
#include "decimals/decimal_sheet_view.h"
#include "drill/drill_screen.h"

namespace sorelka::decimals {

// The decimal drill screen: TForm5 for addition, TForm7 for subtraction. The
// drill machinery over the written decimal calculation; a finished answer is
// judged without a mark and logged.
class DecimalDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    DecimalDrillScreen(AppContext& ctx, DrillLog& log, const DrillVariant& variant,
                       QWidget* parent);

    const DecimalSheet& sheet() const { return sheet_; }

public slots:
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void TenthsDigitChosen(int digit);
    void HundredthsDigitChosen(int digit);
    void ThousandthsDigitChosen(int digit);
    void ActionChosen(int index);  // "終わり"

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
    void DigitChosen(Column column, int digit);
    void JudgeAndLog();
    void Refresh() { view_.Show(sheet_); }

    DecimalSheet sheet_;
    DecimalSheetView view_;
};

}  // namespace sorelka::decimals
