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
    void ComboBox6Change(int index);  // tens
    void ComboBox5Change(int index);  // ones
    void ComboBox4Change(int index);  // tenths
    void ComboBox3Change(int index);  // hundredths
    void ComboBox2Change(int index);  // thousandths
    void ComboBox7Change(int index);  // "終わり"

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
