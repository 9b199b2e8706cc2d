#pragma once

#include "decimal_division/decimal_division_practice.h"
#include "decimal_division/decimal_division_sheet_view.h"
#include "widgets/practice_screen.h"

class QLabel;

namespace sorelka::decimal_division {

// The practice screen of a decimal divided by a whole number (TForm14).
// Every event goes to one DecimalDivisionPractice call; the screen then
// copies the sheet's cells onto its widgets.
class DecimalDivisionPracticeScreen : public PracticeScreen {
    Q_OBJECT
public:
    DecimalDivisionPracticeScreen(AppContext& ctx, QWidget* parent);
    ~DecimalDivisionPracticeScreen() override;

    const DecimalDivisionPractice& model() const { return model_; }
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const DecimalDivisionProblem& problem, int menu_choice);

public slots:
    void FormCreate() override;
    void MenuItemChosen(int index);
    void NextPressed();
    void ThousandsDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void ActionChosen(int index);
    void PointChosen(int index);
    void RemainderPointChosen(int index);

private:
    void BuildControls();
    void DigitChosen(int list, int digit);
    // Shows the model's cells on the widgets and the diagnosis of an answer
    // judged wrong; "お手本" is offered only right after that judgement.
    void Refresh(bool just_judged = false);

    // お手本 and まちがいさがし (decimal_division_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    void ShowOwnWork(bool after_mistake_example) override;
    // Where the place a diagnosis step names stands on the screen now.
    QRect StepRect(const std::string& step) const;

    DecimalDivisionPractice model_;
    DecimalDivisionSheetView sheet_view_;
    QLabel* mark_ = nullptr;
    QLabel* problem_line_ = nullptr;
};

}  // namespace sorelka::decimal_division
