#pragma once

#include <array>
#include <optional>

#include "decimal_division/decimal_division_layout.h"
#include "decimal_division/decimal_division_steps.h"

class QWidget;

namespace sorelka {
class ChoiceList;
}  // namespace sorelka

namespace sorelka::decimal_division {

// The widgets of the written decimal division on a screen, one for each
// role (named and placed by DecimalDivisionLayout): squared paper, the long
// division's numbers, lines, bracket and row marker as on the division
// screens, the dividend's point and the 0s written after it, the
// quotient's point and ones 0, the remainder's point, the rounded row with
// its "約"; and the lists: the digits (ComboBox5 … ComboBox2, headed by the
// column's place in the problem), the actions (ComboBox6), the quotient's
// point (ComboBox7) and the remainder's point (ComboBox8).
class DecimalDivisionSheetView {
public:
    DecimalDivisionSheetView(QWidget* screen, SheetScreen where);

    // Digit list `index` (0: the long division's thousands, ComboBox5).
    ChoiceList* digit_list(int index) const { return digit_lists_[static_cast<std::size_t>(index)]; }
    ChoiceList* action_list() const { return action_list_; }
    ChoiceList* point_list() const { return point_list_; }
    ChoiceList* remainder_point_list() const { return remainder_point_list_; }
    const SheetLayout& layout() const { return layout_; }

    // Copies the steps' sheet onto the widgets. The lists show while a
    // problem is on the sheet, the digit lists headed by their columns'
    // places; the digit and action lists lose their choice whenever the
    // steps reset them, the point lists show where the points stand.
    void Show(const DecimalDivisionSteps& steps);
    // The lists show or hide, whatever the sheet (the drill's end).
    void ShowLists(bool shown);
    // Every list loses its choice.
    void ResetLists();

private:
    void HeadDigitLists(const Worksheet& cells);

    QWidget* screen_;
    SheetLayout layout_;
    std::array<ChoiceList*, kDigitLists> digit_lists_{};
    ChoiceList* action_list_ = nullptr;
    ChoiceList* point_list_ = nullptr;
    ChoiceList* remainder_point_list_ = nullptr;
    int seen_resets_ = -1;
    std::optional<DecimalDivisionProblem> seen_problem_;
};

}  // namespace sorelka::decimal_division
