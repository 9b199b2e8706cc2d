#pragma once

#include <QLabel>

#include "core/worksheet.h"

class QWidget;

namespace sorelka {
class ChoiceList;
}

namespace sorelka::rules {

// The widgets of the calculation-rules worksheet on a screen: the three
// column-calculation areas (Label4 .. Label20, Shape1 .. Shape6, Image2 ..
// Image4) on a squared paper, the digit lists ComboBox5 .. ComboBox2
// (thousands to ones), the action list ComboBox6 and, under it, the
// operation list ComboBox7 for box problems. The cells' places come from the
// worksheet model; the lists stand from (lists_left, lists_top).
class RulesWorksheetView {
public:
    RulesWorksheetView(QWidget* parent, int lists_left, int lists_top);

    // Copies every cell onto its widget.
    void Apply(const Worksheet& sheet);
    // The digit and action lists: no selection, headings restored.
    void ResetEntryLists();
    // The operation list loses its selection.
    void ResetOperationList();
    void ShowEntryLists(bool entry_lists, bool operation_list);

    // place 0 ones (ComboBox2) .. 3 thousands (ComboBox5).
    ChoiceList* digit_list(int place) const { return digit_lists_[place]; }
    ChoiceList* action_list() const { return action_list_; }
    ChoiceList* operation_list() const { return operation_list_; }

private:
    QWidget* root_;
    ChoiceList* digit_lists_[4] = {};
    ChoiceList* action_list_ = nullptr;
    ChoiceList* operation_list_ = nullptr;
};

}  // namespace sorelka::rules
