#pragma once

#include <QLabel>

#include "core/entry.h"
#include "core/worksheet.h"
#include "rules/expression_problems.h"

class QWidget;

namespace sorelka {
class ChoiceList;
}

namespace sorelka::rules {

// The widgets of the calculation-rules worksheet on a screen: the three
// column-calculation areas on a squared paper, placed by RulesLayout; the
// digit lists ComboBox5 .. ComboBox2 (thousands to ones), the action list
// ComboBox6 and, under it, the operation list ComboBox7 for box problems,
// standing from (lists_left, lists_top).
class RulesWorksheetView {
public:
    RulesWorksheetView(QWidget* parent, int lists_left, int lists_top);

    // Copies every cell onto its widget.
    void Apply(const Worksheet& sheet);
    // Shows `model` (the practice or the drill): its worksheet, and its lists
    // shown or hidden, reset where the model reset them since the last call.
    template <class Model>
    void Show(const Model& model) {
        Apply(model.worksheet());
        if (model.entry_list_resets() != seen_entry_resets_) {
            seen_entry_resets_ = model.entry_list_resets();
            ResetEntryLists();
        }
        if (model.operation_list_resets() != seen_operation_resets_) {
            seen_operation_resets_ = model.operation_list_resets();
            ResetOperationList();
        }
        ShowEntryLists(model.entry_lists_visible(), model.operation_list_visible());
    }
    // The digit and action lists: no selection, headings restored.
    void ResetEntryLists();
    // The operation list loses its selection.
    void ResetOperationList();
    void ShowEntryLists(bool entry_lists, bool operation_list);

    // The digit list of a place, Place::Thousands .. Place::Ones.
    ChoiceList* digit_list(Place place) const;
    ChoiceList* action_list() const { return action_list_; }
    ChoiceList* operation_list() const { return operation_list_; }

private:
    QWidget* root_;
    ChoiceList* digit_lists_[4] = {};  // thousands, hundreds, tens, ones
    ChoiceList* action_list_ = nullptr;
    ChoiceList* operation_list_ = nullptr;
    int seen_entry_resets_ = -1;
    int seen_operation_resets_ = -1;
};

// Item `index` of the action list " 確定", "　・", "クリア", "　・", "終わり"
// given to `model`: an action, or a separator.
template <class Model>
void ChooseActionItem(Model& model, int index) {
    switch (index) {
        case 0: model.ApplyAction(Action::Confirm); break;
        case 2: model.ApplyAction(Action::Clear); break;
        case 4: model.ApplyAction(Action::Finish); break;
        case 1:
        case 3: model.ChooseSeparator(); break;
        default: break;
    }
}

// The operation of item `index` of the operation list " ＋", " －", " ×", " ÷".
constexpr int OperationAt(int index) { return index + kAdd; }

}  // namespace sorelka::rules
