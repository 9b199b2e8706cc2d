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
    void ComboBox1Change(int index);  // menu
    void ComboBox2Change(int index);  // ones
    void ComboBox3Change(int index);  // tens
    void ComboBox4Change(int index);  // hundreds
    void ComboBox5Change(int index);  // thousands
    void ComboBox6Change(int index);  // actions
    void ComboBox7Change(int index);  // operation of a box problem
    void CuteButton4Click();          // 次へ

private:
    // Copies the model onto the widgets.
    void Sync();
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
    int seen_entry_resets_ = -1;
    int seen_operation_resets_ = 0;
};

}  // namespace sorelka::rules
