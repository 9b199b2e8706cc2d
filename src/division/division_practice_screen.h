#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/diagnosis_note.h"
#include "division/division_worksheet_view.h"
#include "division/long_division.h"
#include "widgets/exercise_screen.h"

class QLabel;
class QTimer;

namespace sorelka {
class ChoiceList;
class DiagnosisPanel;
class CuteButton;
class MistakeFinder;
class StatusClockBar;
class WorkedExamplePlayer;
}  // namespace sorelka

namespace sorelka::division {

// TForm2, the division practice screen: the pupil picks a range from the
// menu, writes the long division row by row with the digit lists and the
// action list, guided by a hint line, and "終わり" marks the answer ○ or ×
// and writes out the right quotient and remainder.
class DivisionPracticeScreen : public ExerciseScreen {
    Q_OBJECT
public:
    DivisionPracticeScreen(AppContext& ctx, QWidget* parent);
    ~DivisionPracticeScreen() override;

    void FormCreate() override;
    const LongDivision& model() const { return model_; }
    // Shows `problem` as item `menu_choice` of the menu would (recommended practice).
    void ShowGivenProblem(const DivisionProblem& problem, int menu_choice);

public slots:
    void MenuItemChosen(int index);
    void OnesDigitChosen(int digit);
    void TensDigitChosen(int digit);
    void HundredsDigitChosen(int digit);
    void ThousandsDigitChosen(int digit);
    void ActionChosen(int index);  // an item of the action list
    void NextPressed();            // 次へ
    void CuteButton1Click();       // 終る
    void CuteButton2Click();       // 目次
    void Timer1Timer();

private:
    void ClearWorksheet();
    void NewProblem();
    void ShowProblem();
    void ChooseDigit(Place place, int digit);
    void FinishAnswer();
    void ShowHint(const std::optional<std::string>& hint);
    void ShowNote();
    // The cells a diagnosis step frames: one quotient digit, or a row's digits.
    QRect StepCells(const std::string& step) const;

    // お手本 and まちがいさがし (division_practice_examples.cpp).
    void BuildExampleModes();
    // "お手本": the right work of the problem just judged wrong, replayed.
    void ShowWorkedExample();
    // "まちがいさがし" (and "次へ" while one shows): an example of the menu
    // item worked with one mistake.
    void ShowMistakeExample();
    // Back to the pupil's own worksheet from a replay or an example.
    void LeaveExampleModes();

    LongDivision model_;
    ProblemWatch watch_;
    // The diagnosis of the answer just judged wrong; none otherwise.
    std::optional<DiagnosisNote> note_;
    DiagnosisPanel* panel_ = nullptr;  // a child of the screen
    WorkedExamplePlayer* player_ = nullptr;
    MistakeFinder* finder_ = nullptr;
    std::unique_ptr<DivisionWorksheetView> view_;
    QLabel* prompt_;
    QLabel* mark_;
    QLabel* problem_line_;
    ChoiceList* menu_;
    CuteButton* next_;
    StatusClockBar* status_;
    QTimer* clock_timer_;
};

}  // namespace sorelka::division
