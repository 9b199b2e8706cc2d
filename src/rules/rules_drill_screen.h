#pragma once

#include <memory>

#include "drill/drill_screen.h"
#include "rules/rules_drill.h"
#include "rules/rules_worksheet_view.h"

class QLabel;

namespace sorelka::rules {

// TForm9, the calculation-rules drill: the drill machinery over the
// expression worksheet. Each question is worked to its final number and
// handed in with "終わり"; it is logged without a mark and the time limit
// applies to every question afresh.
class RulesDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    RulesDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent);

    const RulesDrill& model() const { return model_; }

public slots:
    void OnesDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void ThousandsDigitChosen(int digit);
    void ActionChosen(int index);
    void OperationChosen(int index);  // the calculation of a box problem

protected:
    void ClearWorksheet() override;
    void GenerateProblem(int menu_choice) override;
    void ShowProblem() override;
    void ResetEntryLists() override;
    void HideEntryLists() override;
    void ClearWorksheetNumbers() override;
    WorkedRows WorkedRowsNow() const override;
    Diagnosis DiagnoseAnswer(const WorkedRows& rows) const override;
    QString ProblemPrompt() const override;

private:
    // Copies the model onto the widgets; hands a finished question to the
    // machinery.
    void Sync();
    void DigitChosen(Place place, int digit);

    RulesDrill model_;
    std::unique_ptr<RulesWorksheetView> view_;
};

}  // namespace sorelka::rules
