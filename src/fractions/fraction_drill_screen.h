#pragma once

#include <QFont>
#include <QPalette>

#include "drill/drill_screen.h"
#include "fractions/fraction_sheet.h"

class QLabel;

namespace sorelka {

class ChoiceList;

// TForm11, the fraction drill: the drill machinery over the fraction
// worksheet. "終わり" judges the question without a mark and logs the
// problem, the right answer and the pupil's answer as fraction texts.
// Label11 is both the task line of the problem (one row lower, while a
// problem is shown) and the first label of the score line.
class FractionDrillScreen : public DrillScreen {
    Q_OBJECT
public:
    FractionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent);

    const fractions::FractionSheet& sheet() const { return sheet_; }

public slots:
    void TensDigitChosen(int index);
    void OnesDigitChosen(int index);
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
    QString ProblemPrompt() const override;
    void AfterFinish() override;

private:
    void BuildWorksheet();
    void BuildLists();
    // Copies the sheet onto the widgets, resets the entry lists when the
    // sheet asked for it and shows the prompt it asked for.
    void Refresh();
    // A choice in an entry list while the question may no longer be judged
    // (judged already, or the drill has finished) changes nothing.
    bool IgnoreEntry(ChoiceList* list);
    void JudgeAndLog();

    fractions::FractionSheet sheet_;
    ChoiceList* tens_ = nullptr;
    ChoiceList* ones_ = nullptr;
    ChoiceList* actions_ = nullptr;
    QLabel* task_score_ = nullptr;  // Label11
    QFont score_font_;
    QPalette score_palette_;
};

}  // namespace sorelka
