#pragma once

#include "decimals/decimal_sheet.h"
#include "widgets/worksheet_view.h"

class QWidget;

namespace sorelka {
class ChoiceList;
}  // namespace sorelka

namespace sorelka::decimals {

// The widgets of a DecimalSheet on a screen, one for each role (named and
// placed by DecimalLayout): the paper, the two numbers, the sign, the line,
// the answer, the digit lists, the point's column and the action list with
// its one item "終わり", and a worked example's small figures, strokes and
// implied zeros. Practice and drill screens build it the same way; only the
// SheetPlace differs.
class DecimalSheetView {
public:
    DecimalSheetView(QWidget* screen, const SheetPlace& place);

    ChoiceList* digit_list(Column column) const { return digit_lists_[static_cast<int>(column)]; }
    ChoiceList* action_list() const { return action_list_; }
    const SheetLayout& layout() const { return layout_; }

    // Copies the cells onto the screen's widgets (the screen's own labels in
    // the same worksheet included) and clears the lists' choices when the
    // sheet has reset them since the last call.
    void Show(const DecimalSheet& sheet);

private:
    QWidget* screen_;
    SheetLayout layout_;
    ChoiceList* digit_lists_[kColumnCount] = {};
    ChoiceList* action_list_ = nullptr;
    int seen_list_resets_ = 0;
};

}  // namespace sorelka::decimals
