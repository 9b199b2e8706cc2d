#pragma once

#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "decimals/decimal_sheet.h"

// The learning record's names for the cells of a decimal worksheet: the
// worked rows of every answer store each written cell under the name it has
// always had ("Label5" the upper number, "CarryTenths" a carried 1), and the
// diagnosis reads them back by role through this table.
namespace sorelka::decimals {

// The stored name of a role on a sheet of `screen` (the sign is stored under
// another name on the drill screens); empty for a role that writes no text.
std::string StoredName(std::string_view role, SheetScreen screen = SheetScreen::Practice);

// The visible cells of `sheet` that hold text, under their stored names, in
// the order of those names with numbers compared as numbers.
WorkedRows DecimalWorkedRows(const Worksheet& sheet, SheetScreen screen = SheetScreen::Practice);

}  // namespace sorelka::decimals
