#pragma once

#include <QLabel>
#include <array>

#include "division/long_division.h"

namespace sorelka {
class ChoiceList;
}

namespace sorelka::division {

// The widgets of the written division on a division screen: the worksheet
// labels Label5..Label13, the lines Shape1..Shape4, the bracket Image2 and the
// marker Image3 on a sheet of squared paper, and the entry lists ComboBox2..
// ComboBox6 (thousands on the left, the action list on the right).
class DivisionWorksheetView {
public:
    // Builds the worksheet under `parent`; the entry lists start at
    // (lists_left, lists_top).
    DivisionWorksheetView(QWidget* parent, int lists_left, int lists_top);

    // Copies the model's worksheet onto the widgets and, when the model reset
    // its entry lists since the last call, resets the list widgets too.
    void Sync(const LongDivision& model);

    // Clears the lists' choices (an example shows its own entries, not the
    // pupil's last ones); the model's entry state stays.
    void ClearChoices();

    // The digit list of a place, the ones … the thousands; null for another place.
    ChoiceList* digit_list(Place place) const { return digit_lists_[ColumnOf(place)]; }
    ChoiceList* action_list() const { return action_list_; }

private:
    QWidget* root_;
    std::array<ChoiceList*, 5> digit_lists_{};  // index = column 1..4
    ChoiceList* action_list_ = nullptr;
    int seen_resets_ = -1;
};

}  // namespace sorelka::division
