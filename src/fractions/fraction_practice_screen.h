#pragma once

#include <memory>

#include "fractions/fraction_practice.h"
#include "widgets/practice_screen.h"

namespace sorelka {

class ChoiceList;

// TForm10, the fraction practice: the menu of three families, the fraction
// worksheet, the tens, ones and action lists, the mark, "次へ", "目次" and "終る".
// Every handler is one call of the practice model; the screen then copies the
// worksheet onto its widgets.
class FractionPracticeScreen : public PracticeScreen {
    Q_OBJECT
public:
    FractionPracticeScreen(AppContext& ctx, QWidget* parent);
    ~FractionPracticeScreen() override;

    const fractions::FractionPractice& model() const { return model_; }
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const fractions::FractionProblem& problem, int menu_choice);

public slots:
    void FormCreate() override;
    void MenuItemChosen(int index);
    void TensDigitChosen(int index);
    void OnesDigitChosen(int index);
    void ActionChosen(int index);
    void NextPressed();

private:
    void BuildWorksheet();
    void BuildControls();
    // Copies the model's worksheet onto the widgets and resets the entry
    // lists when the model has asked for it. "お手本" is offered only right
    // after an answer judged wrong.
    void Refresh(bool just_judged = false);
    // The tens, ones and action lists with nothing chosen, their headings on
    // their lines.
    void ResetEntryLists();

    // お手本 and まちがいさがし (fraction_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    void ShowOwnWork(bool after_mistake_example) override;

    fractions::FractionPractice model_;
    ChoiceList* tens_ = nullptr;
    ChoiceList* ones_ = nullptr;
    ChoiceList* actions_ = nullptr;
};

}  // namespace sorelka
