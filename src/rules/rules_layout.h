#pragma once

#include <string>

#include "core/worked_example.h"
#include "core/worksheet.h"
#include "rules/rules_sheet.h"
#include "widgets/worksheet_view.h"

// Where the calculation-rules worksheet stands on its screens: the widget of
// every role and its place in pixels. The three areas' columns lie on one
// grid, like squares in an exercise book: right-aligned numbers share a
// right edge per area, so their digits stand in columns 28 pixels wide.
namespace sorelka::rules {

// One digit column of the worksheet, and the right edge of the division's
// ones column, on which the squared paper's lines are laid.
inline constexpr int kRulesColumnWidth = 28;
inline constexpr int kRulesOnesEdge = 634;

// The layout table (a SheetLayout): the widget showing the cell `key` and
// its place, from the cell's column and row.
CellView RulesLayout(const std::string& key, const Cell& cell, const Worksheet& sheet);
// Where `role`'s cell stands in its own column and row.
CellView RulesCellPlace(RulesRole role);
// The object name of the widget showing `role`.
std::string RulesObjectName(RulesRole role);
// RulesRoleCell on the screen: the widget and digit a role stands in.
RoleCell RulesShownCell(RulesRole role);
// `sheet` keyed by object names and placed in pixels, as the example
// players apply a sheet to the screen.
Worksheet RulesShownSheet(const Worksheet& sheet);

}  // namespace sorelka::rules
