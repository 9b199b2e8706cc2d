#pragma once

#include <QRect>
#include <optional>
#include <string>

#include "core/entry.h"
#include "decimals/decimal_sheet.h"
#include "widgets/worksheet_view.h"

// Where the cells of a decimal worksheet stand on their screens: the widget
// (object name) of every role and its place in pixels. Every digit of the
// numbers takes a 30-pixel column and the decimal point an 8-pixel one, the
// figures ending at one right edge; the lists stand in 24-pixel columns that
// end at the thousandths' place, with the point's column among them.
namespace sorelka::decimals {

// The object names of the screens: TForm4 and TForm5 add, TForm6 and TForm7 subtract.
const char* DecimalFormName(Operation operation, SheetScreen screen);

// The widget showing `role` on a sheet of `place`; empty for none.
std::string DecimalObjectName(const std::string& role, const SheetPlace& place);

// The layout table of a sheet of `place`: every role's widget and place.
SheetLayout DecimalLayout(const SheetPlace& place);

// Where the widgets stand before any problem is laid out.
QRect PaperRect();
// The digit list of `column` and the point's column as the widest problem
// (three decimal places) has them: left and top.
QPoint ListPlace(Column column, const SheetPlace& place);
QPoint PointPlace(const SheetPlace& place);
QPoint ActionListPlace(const SheetPlace& place);
inline constexpr int kPointColumnWidth = 20;

// The list items as the pupil's words: a digit list's item is its digit; the
// action list's only item is "終わり".
std::optional<Action> ActionAt(int index);

}  // namespace sorelka::decimals
