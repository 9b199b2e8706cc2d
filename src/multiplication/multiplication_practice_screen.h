#pragma once

#include "multiplication/multiplication_practice.h"
#include "multiplication/multiplication_sheet_view.h"
#include "widgets/practice_screen.h"

class QLabel;

namespace sorelka::multiplication {

// The practice screen of a decimal times a whole number (TForm12). Every
// event goes to one MultiplicationPractice call; the screen then copies the
// sheet's cells onto its widgets.
class MultiplicationPracticeScreen : public PracticeScreen {
    Q_OBJECT
public:
    MultiplicationPracticeScreen(AppContext& ctx, QWidget* parent);
    ~MultiplicationPracticeScreen() override;

    const MultiplicationPractice& model() const { return model_; }
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const MultiplicationProblem& problem, int menu_choice);

public slots:
    void FormCreate() override;
    void MenuItemChosen(int index);
    void NextPressed();
    void ThousandsDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void PointChosen(int index);
    void ActionChosen(int index);

private:
    void BuildControls();
    void DigitChosen(Place place, int digit);
    // Shows the model's cells on the widgets and the diagnosis of an answer
    // judged wrong; "お手本" is offered only right after that judgement.
    void Refresh(bool just_judged = false);

    // お手本 and まちがいさがし (multiplication_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    void ShowOwnWork(bool after_mistake_example) override;

    MultiplicationPractice model_;
    MultiplicationSheetView sheet_view_;
    QLabel* mark_ = nullptr;
    QLabel* problem_line_ = nullptr;
};

}  // namespace sorelka::multiplication
