#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/diagnosis_note.h"
#include "division/division_worksheet_view.h"
#include "division/long_division.h"
#include "widgets/practice_screen.h"

class QLabel;

namespace sorelka::division {

// TForm2, the division practice screen: the pupil picks a range from the
// menu, writes the long division row by row with the digit lists and the
// action list, guided by a hint line, and "終わり" marks the answer ○ or ×
// and writes out the right quotient and remainder.
class DivisionPracticeScreen : public PracticeScreen {
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
    void ShowWorkedExample() override;
    void ShowMistakeExample() override;
    void ShowOwnWork(bool after_mistake_example) override;

    LongDivision model_;
    ProblemWatch watch_;
    // The diagnosis of the answer just judged wrong; none otherwise.
    std::optional<DiagnosisNote> note_;
    std::unique_ptr<DivisionWorksheetView> view_;
    QLabel* mark_;
    QLabel* problem_line_;
};

}  // namespace sorelka::division
