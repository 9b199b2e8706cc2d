#pragma once

#include <memory>
#include <string>

#include "rules/rules_practice.h"
#include "rules/rules_worksheet_view.h"
#include "widgets/practice_screen.h"

namespace sorelka::rules {

// TForm8, the calculation-rules practice screen: the pupil chooses a kind of
// expression, works it one column calculation after another as the prompt
// line guides, and "終わり" on the last one shows ○ or × and writes the
// correct answer into the problem.
class RulesPracticeScreen : public PracticeScreen {
    Q_OBJECT
public:
    RulesPracticeScreen(AppContext& ctx, QWidget* parent);
    ~RulesPracticeScreen() override;

    void FormCreate() override;
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const ExpressionProblem& problem, int menu_choice);
    const RulesPractice& model() const { return model_; }

public slots:
    void MenuItemChosen(int index);
    void OnesDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void ThousandsDigitChosen(int digit);
    void ActionChosen(int index);
    void OperationChosen(int index);  // the calculation of a box problem
    void NextPressed();

private:
    // Copies the model onto the widgets.
    void Sync();
    void DigitChosen(Place place, int digit);
    // The cells a diagnosis step frames: one quotient digit, or a cell's digits.
    QRect StepCells(const std::string& step) const;

    // お手本 and まちがいさがし (rules_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    // The lists show no choice while an example stands on the worksheet.
    void ClearEntryChoices();
    void ShowOwnWork(bool after_mistake_example) override;

    RulesPractice model_;
    std::unique_ptr<RulesWorksheetView> view_;
};

}  // namespace sorelka::rules
