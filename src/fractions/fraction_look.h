#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <string>

#include "fractions/fraction_problem.h"
#include "fractions/fraction_roles.h"

class QLabel;
class QWidget;

namespace sorelka {
class ChoiceList;
}

// Widgets of the fraction worksheet, shared by the fraction screens.
namespace sorelka::fractions {

// The figures and bars of the fraction worksheet on `screen`, at their places
// on the screen of `variant` (fraction_layout): the figures navy, centred
// (numerators, denominators, "＝") or right-aligned (whole parts, which stand
// left of their bar), the bars red with a navy outline.
void BuildFigures(QWidget* screen, Variant variant);
// The tens, ones and action lists on `screen`, at their places on the screen
// of `variant`; the action list headed `action_heading`.
struct EntryLists {
    ChoiceList* tens = nullptr;
    ChoiceList* ones = nullptr;
    ChoiceList* actions = nullptr;
};
EntryLists BuildEntryLists(QWidget* screen, Variant variant, const char* action_heading);
// Where the frame of a mistake or a place to point at stands around the
// answer cell shown by the widget `object_name` on `screen`: the cell, drawn
// back from the answer's bar so that the frame, a few pixels outside it,
// never hides the bar.
QRect FramedCell(const QWidget* screen, const std::string& object_name);
// The same for the answer's `slot`.
QRect FramedSlot(const QWidget* screen, FractionSlot slot);
// The 64 × 64 picture beside the prompt line: a round cake cut in quarters,
// three of them coloured.
QPixmap CakePicture();

}  // namespace sorelka::fractions
