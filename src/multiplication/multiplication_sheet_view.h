#pragma once

#include <QLabel>
#include <array>
#include <optional>

#include "multiplication/multiplication_layout.h"
#include "multiplication/multiplication_steps.h"

namespace sorelka {
class ChoiceList;
}  // namespace sorelka

namespace sorelka::multiplication {

// A number of the written multiplication, right-aligned in fixed digit
// columns: every character but the point takes a column (a space an empty
// one), and a point stands on the line between the two columns it parts, as
// it is written on squared paper ("2.37" takes three columns).
class ColumnFigure : public QLabel {
    Q_OBJECT
public:
    enum class Look { Digits, Point, Strokes };
    ColumnFigure(const QString& name, Look look, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    // Where the digits' baseline lies, so that points and digits share it.
    int Baseline() const;

    Look look_;
};

// The widgets of the written multiplication on a screen, one for each role
// (named and placed by MultiplicationLayout): squared paper, the two numbers
// and the sign, the lines, the rows, the product with its point, its ones 0
// and the strokes through its end 0s, a worked example's carries, the row
// marker; and the lists: the digits 千 百 十 一 (ComboBox2 … 5), the point's
// place (ComboBox6) and the actions (ComboBox7).
class MultiplicationSheetView {
public:
    MultiplicationSheetView(QWidget* screen, SheetScreen where);

    ChoiceList* digit_list(int index) const { return digit_lists_[index]; }
    ChoiceList* point_list() const { return point_list_; }
    ChoiceList* action_list() const { return action_list_; }
    const SheetLayout& layout() const { return layout_; }

    // Copies the steps' sheet onto the widgets. The lists show while a
    // problem is on the sheet; the digit and action lists lose their choice
    // when another row is begun or the row is emptied, the point's list
    // shows where the point stands.
    void Show(const MultiplicationSteps& steps);
    // The lists show or hide, whatever the sheet (the drill's end).
    void ShowLists(bool shown);
    // Every list loses its choice.
    void ResetLists();

private:
    QWidget* screen_;
    SheetLayout layout_;
    std::array<ChoiceList*, kColumns> digit_lists_{};
    ChoiceList* point_list_ = nullptr;
    ChoiceList* action_list_ = nullptr;
    // What the lists were last reset for: the problem, its row, and whether
    // that row was empty.
    struct Stamp {
        std::optional<MultiplicationProblem> problem;
        int row = -1;
        bool row_empty = true;
        bool operator==(const Stamp&) const = default;
    };
    Stamp seen_;
};

}  // namespace sorelka::multiplication
