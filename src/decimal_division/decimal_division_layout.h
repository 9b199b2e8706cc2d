#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <string_view>

#include "core/entry.h"
#include "core/worked_example.h"
#include "core/worksheet.h"
#include "decimal_division/decimal_division_problem.h"
#include "widgets/worksheet_view.h"

// Where the decimal division's screens show each role of the sheet
// (decimal_division_sheet.h): the widget's object name and its place in
// pixels. The long division's roles stand where the division screens put
// them (division_layout.h: 30-pixel columns, the ones column ending at
// x = 584); a point stands on the line between two columns, the rounded
// quotient on a row of its own over the quotient. The digit lists stand
// right of the paper (千 百 十 一 of the long division's columns, headed by
// the column's place in the problem), then the actions; the two point lists
// left of the paper, over the room of the diagnosis.
namespace sorelka::decimal_division {

// The practice screen TForm14 and the drill TForm15 lay the sheet out alike.
enum class SheetScreen { Practice, Drill };

// The digit lists left to right: the long division's columns 4 … 1.
inline constexpr int kDigitLists = 4;
inline constexpr const char* kDigitListNames[kDigitLists] = {"ComboBox5", "ComboBox4", "ComboBox3", "ComboBox2"};
inline constexpr const char* kActionListName = "ComboBox6";
inline constexpr const char* kPointListName = "ComboBox7";
inline constexpr const char* kRemainderPointListName = "ComboBox8";

// Widgets that show no role of their own: the point, the ones 0 and the
// "約" of the rounded row, which the screen draws from the quotient's.
inline constexpr const char* kRoundedPointName = "RoundedPoint";
inline constexpr const char* kRoundedZeroName = "RoundedZero";
inline constexpr const char* kRoundedAboutName = "RoundedAbout";

// The Place of digit list `index` (0: ComboBox5, the long division's thousands).
Place DigitListPlace(int index);
// The long division's column (1 … 4) of digit list `index`.
int DigitListColumn(int index);

// The object name of the widget that shows `role`; empty for none.
std::string DecimalDivisionObjectName(std::string_view role);

// The sheet as the screen shows it: the dividend with the 0 of its ones
// where it is below 1, the divisor, the bracket and the line hugging its
// first column, the rounded row with the quotient's point and ones 0 and
// its "約" (the extra widgets above). Keyed by role, for the layout.
Worksheet ShownCells(const Worksheet& cells);

// The layout table of a sheet on `screen` (cells as ShownCells gives them).
SheetLayout DecimalDivisionLayout(SheetScreen screen);

// `cells` shown and keyed by the widgets' object names, each cell at its
// place: for the example player and the mistake finder.
Worksheet DecimalDivisionShownSheet(const Worksheet& cells, SheetScreen screen);
// `cell` (keyed by role) with the object name of its role's widget.
RoleCell DecimalDivisionShownCell(RoleCell cell);

// Where the paper lies, and a list (by object name): left, top and width.
QRect PaperRect(SheetScreen screen);
QRect ListPlace(const char* name, SheetScreen screen);

}  // namespace sorelka::decimal_division
