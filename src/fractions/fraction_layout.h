#pragma once

#include <string>
#include <string_view>

#include "core/worksheet.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_roles.h"
#include "widgets/worksheet_view.h"

// The fraction worksheet on the screens: the widget that shows each role and
// its place in pixels on the practice screen (TForm10) and the drill
// (TForm11). The screens build their figures, bars and lists at these places
// and copy the model's cells through FractionLayout.
namespace sorelka::fractions {

// The object name and place of `role` on the screen of `variant`; no object
// name for a role that screen does not show from its sheet (the drill's task
// line, mark and prompt belong to the drill machinery). A list's place is its
// left, top and width; its height follows from its items.
CellView FractionCellView(Variant variant, std::string_view role);
// The same as ApplyWorksheet takes it.
SheetLayout FractionLayout(Variant variant);
// The object name of `role`'s widget on either screen ("answer numerator" →
// "Label9"); empty for none.
std::string FractionObjectName(std::string_view role);
// `sheet` keyed by the practice screen's object names, for the example
// players, which copy a sheet onto the widgets of those names as they stand.
Worksheet FractionScreenSheet(const Worksheet& sheet);

// The action list's items by position, as the model's calls: " 整数",
// " 分母", " 分子" write into a slot, "   ・" is the dot, "終わり" hands the
// answer in (`finish`). Positions that are no item do nothing.
template <class Model, class Finish>
void ChooseActionItem(Model& model, int position, Finish finish) {
    switch (position) {
        case 0: model.ChooseSlot(FractionSlot::Whole); break;
        case 1: model.ChooseSlot(FractionSlot::Denominator); break;
        case 2: model.ChooseSlot(FractionSlot::Numerator); break;
        case 3: model.ChooseDot(); break;
        case 4: finish(); break;
        default: break;
    }
}

}  // namespace sorelka::fractions
