#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/entry.h"
#include "core/worked_example.h"
#include "core/worksheet.h"
#include "widgets/worksheet_view.h"

// Where the division screens show each role of the long division's
// worksheet: the widget's object name and its place in pixels.
namespace sorelka::division {

// One digit column is 30 pixels wide and the dividend's last digit ends at
// x = 584, so the ones column spans 554..584, tens 524..554, hundreds
// 494..524 and thousands 464..494.
inline constexpr int kColumnWidth = 30;
inline constexpr int kOnesRight = 584;

// Items of the action list ComboBox6; 1, 3 and 5 are separators.
inline constexpr int kConfirm = 0;  // " 確定"
inline constexpr int kSkip = 2;     // "飛ばし"
inline constexpr int kClear = 4;    // "クリア"
inline constexpr int kFinish = 6;   // "終わり"
// The action of an item of the action list; none for a separator.
std::optional<Action> DivisionActionAt(int index);

// The object name of the widget that shows `role`; empty for none.
std::string DivisionObjectName(std::string_view role);

// The layout table of the division worksheet (a SheetLayout): the widget and
// place of a role's cell.
CellView DivisionLayout(const std::string& role, const Cell& cell, const Worksheet& sheet);

// `sheet` keyed by the widgets' object names, each cell placed as the layout
// places it: for the example player and the mistake finder, which copy a
// worksheet widget by widget.
Worksheet DivisionShownSheet(const Worksheet& sheet);
// `cell` with the object name of its role's widget.
RoleCell DivisionShownCell(RoleCell cell);

}  // namespace sorelka::division
