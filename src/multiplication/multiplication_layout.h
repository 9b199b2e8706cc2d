#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <string_view>

#include "core/entry.h"
#include "multiplication/multiplication_examples.h"
#include "widgets/worksheet_view.h"

// Where the multiplication screens show each role of the written
// multiplication (multiplication_sheet.h): the widget's object name and its
// place in pixels. The digits stand in 40-pixel columns, column 0 (the
// multiplicand's last digit) ending at x = kOnesRight; a point stands on the
// line between two columns; the lists stand right of the paper in the order
// of the columns (千 百 十 一), then the point's list and the actions.
namespace sorelka::multiplication {

inline constexpr int kColumnWidth = 40;
inline constexpr int kOnesRight = 520;

// The practice screen TForm12 and the drill TForm13 lay the sheet out alike;
// only the lists' top differs.
enum class SheetScreen { Practice, Drill };

// The object names of the lists, Thousands … Ones, then the point's and the actions'.
inline constexpr const char* kDigitListNames[kColumns] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"};
inline constexpr const char* kPointListName = "ComboBox6";
inline constexpr const char* kActionListName = "ComboBox7";

// The items of the action list, in order.
enum class SheetAction { Confirm, StrikeZero, OnesZero, Clear, Finish };
inline constexpr int kActionItems = 5;
std::optional<SheetAction> SheetActionAt(int index);
// The Place of digit list `index` (0: ComboBox2, the thousands).
Place DigitListPlace(int index);

// The object name of the widget that shows `role`; empty for none.
std::string MultiplicationObjectName(std::string_view role);

// The layout table of a sheet on `screen`.
SheetLayout MultiplicationLayout(SheetScreen screen);

// Where the widgets stand before any problem is laid out.
QRect PaperRect();
// Left and top of a list (by object name) on `screen`, and its width.
QRect ListPlace(const char* name, SheetScreen screen);

// Where a place of the pupil's work stands on the screen while `sheet`
// shows: one digit column of a row, the point, the ones 0 or the strokes
// (an empty place framed where it belongs). Empty for a place that has none.
QRect RoleRect(const Worksheet& sheet, const MultiplicationRole& role);
// The place a diagnosis step names ("row:2/column:1", "point", "ones_zero",
// "strikes"); none for another text.
std::optional<MultiplicationRole> RoleOfStep(std::string_view step);
// The place as the example players know it, keyed by role: a digit counted
// from the left of its row's text (its whole-number place said too), or
// the whole cell.
RoleCell PlaceCell(const MultiplicationRole& role);

}  // namespace sorelka::multiplication
