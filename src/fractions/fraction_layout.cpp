#include "fractions/fraction_layout.h"

namespace sorelka::fractions {

namespace {

// The drill's worksheet stands this far right of the practice's, its lists
// this far lower.
constexpr int kDrillShift = 136;
constexpr int kDrillListDrop = 48;

struct Place {
    const char* role;
    const char* object_name;
    int left = -1;  // on the practice screen; -1: as the screen lays it out
    int top = -1;
    int width = -1;
    int height = -1;
    bool on_drill = true;
    bool list = false;
};

// The practice screen's places. The bars are 2 pixels high inside their
// navy outline; the figures are as high as their font.
constexpr Place kPlaces[] = {
    {SlotRole(FractionNumber::Given, FractionSlot::Whole), "Label4", 184, 234, 38, 42},
    {SlotRole(FractionNumber::Given, FractionSlot::Numerator), "Label6", 224, 210, 54, 42},
    {SlotRole(FractionNumber::Given, FractionSlot::Denominator), "Label5", 224, 256, 54, 42},
    {BarRole(FractionNumber::Given), "Shape1", 224, 252, 58, 2},
    {kEqualsRole, "Label10", 304, 238, 40, 36},
    {AnswerRole(FractionSlot::Whole), "Label7", 360, 234, 38, 42},
    {AnswerRole(FractionSlot::Numerator), "Label9", 400, 210, 54, 42},
    {AnswerRole(FractionSlot::Denominator), "Label8", 400, 256, 54, 42},
    {BarRole(FractionNumber::Answer), "Shape2", 400, 252, 58, 2},
    {kTaskRole, "Label11", 104, 130, 500, 36, false},
    {kMarkRole, "Label3", 752, 560, 84, 84, false},
    {kPromptRole, "Label2", -1, -1, -1, -1, false},  // the frame's prompt line, where the screen puts it
    {kTensListRole, "ComboBox3", 816, 224, 24, -1, true, true},
    {kOnesListRole, "ComboBox2", 840, 224, 24, -1, true, true},
    {kActionListRole, "ComboBox4", 864, 223, 80, -1, true, true},
};

const Place* Find(std::string_view role) {
    for (const Place& place : kPlaces)
        if (role == place.role) return &place;
    return nullptr;
}

}  // namespace

CellView FractionCellView(Variant variant, std::string_view role) {
    const Place* place = Find(role);
    if (!place || (variant == Variant::Drill && !place->on_drill)) return {};
    CellView view{place->object_name, place->left, place->top, place->width, place->height};
    if (variant == Variant::Drill) {
        if (place->list)
            view.top += kDrillListDrop;
        else
            view.left += kDrillShift;
    }
    return view;
}

SheetLayout FractionLayout(Variant variant) {
    return [variant](const std::string& role, const Cell&, const Worksheet&) {
        return FractionCellView(variant, role);
    };
}

std::string FractionObjectName(std::string_view role) {
    const Place* place = Find(role);
    return place ? place->object_name : std::string();
}

Worksheet FractionScreenSheet(const Worksheet& sheet) {
    Worksheet shown;
    for (const auto& [role, cell] : sheet)
        if (const std::string name = FractionObjectName(role); !name.empty()) shown[name] = cell;
    return shown;
}

}  // namespace sorelka::fractions
