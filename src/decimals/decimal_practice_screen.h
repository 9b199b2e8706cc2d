#pragma once

#include <memory>

#include "core/worked_example.h"
#include "decimals/decimal_practice.h"
#include "decimals/decimal_sheet_view.h"
#include "widgets/practice_screen.h"

namespace sorelka::decimals {

// The decimal practice screen: TForm4 for addition, TForm6 for subtraction.
// Every event goes to one DecimalPractice call; the screen then copies the
// sheet's cells onto its widgets.
class DecimalPracticeScreen : public PracticeScreen {
    Q_OBJECT
public:
    DecimalPracticeScreen(AppContext& ctx, const PracticeVariant& variant, QWidget* parent);
    ~DecimalPracticeScreen() override;

    const DecimalPractice& model() const { return model_; }
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const DecimalProblem& problem, int menu_choice);

public slots:
    void FormCreate() override;
    void MenuItemChosen(int index);
    void NextPressed();
    void TensDigitChosen(int digit);
    void OnesDigitChosen(int digit);
    void TenthsDigitChosen(int digit);
    void HundredthsDigitChosen(int digit);
    void ThousandthsDigitChosen(int digit);
    void ActionChosen(int index);

private:
    void BuildControls();
    void DigitChosen(Place place, int digit);
    // Shows the model's cells on the widgets; "お手本" is offered only
    // right after an answer judged wrong.
    void Refresh(bool just_judged = false);
    // Where the answer's digit in `column` stands on the screen.
    QRect AnswerDigitRect(Column column) const;
    // Where a role's cell stands on the screen: a digit of a number, or the
    // whole widget of a small figure (also while it is empty).
    QRect CellRect(const RoleCell& cell) const;
    // The widget showing a role of the sheet.
    QString ObjectName(const std::string& role) const;

    // お手本 and まちがいさがし (decimal_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    void ShowOwnWork(bool after_mistake_example) override;

    DecimalPractice model_;
    DecimalSheetView sheet_view_;
};

}  // namespace sorelka::decimals
