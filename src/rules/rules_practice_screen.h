#pragma once

#include <memory>
#include <string>

#include "rules/rules_practice.h"
#include "rules/rules_worksheet_view.h"
#include "widgets/exercise_screen.h"

class QLabel;
class QTimer;

namespace sorelka {
class ChoiceList;
class CuteButton;
class DiagnosisPanel;
class MistakeFinder;
class StatusClockBar;
class WorkedExamplePlayer;
}  // namespace sorelka

namespace sorelka::rules {

// TForm8, the calculation-rules practice screen: the pupil chooses a kind of
// expression, works it one column calculation after another as the prompt
// line guides, and "終わり" on the last one shows ○ or × and writes the
// correct answer into the problem.
class RulesPracticeScreen : public ExerciseScreen {
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
    void CuteButton2Click();          // 目次
    void CuteButton1Click();          // 終わる
    void Timer1Timer();

private:
    // Copies the model onto the widgets.
    void Sync();
    void DigitChosen(Place place, int digit);
    // The cells a diagnosis step frames: one quotient digit, or a cell's digits.
    QRect StepCells(const std::string& step) const;

    // お手本 and まちがいさがし (rules_practice_examples.cpp).
    void BuildExampleModes();
    void ShowWorkedExample();
    void ShowMistakeExample();
    // The lists show no choice while an example stands on the worksheet.
    void ClearEntryChoices();
    // Back to the pupil's own worksheet from a replay or an example.
    void LeaveExampleModes();

    RulesPractice model_;
    std::unique_ptr<RulesWorksheetView> view_;
    DiagnosisPanel* panel_ = nullptr;  // a child of the screen
    QLabel* prompt_;
    ChoiceList* menu_;
    CuteButton* next_;
    StatusClockBar* status_;
    QTimer* clock_timer_;
    WorkedExamplePlayer* player_ = nullptr;
    MistakeFinder* finder_ = nullptr;
};

}  // namespace sorelka::rules
