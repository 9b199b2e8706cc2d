#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "rules/rules_sheet.h"

// The learning record's format of the calculation-rules worksheet: the name
// each cell is stored under in an answer's worked rows and named by in a
// diagnosis step's "cell:" field.
namespace sorelka::rules {

// The stored name of the cell holding `role` ("Label6" for the sum, "Label16"
// for every quotient digit).
std::string RulesStoredName(RulesRole role);
// The role whose cell is stored as `name` (the quotient's first digit for
// the quotient); none for a name of no cell.
std::optional<RulesRole> RulesRoleOfStored(std::string_view name);

// The written cells of `sheet` as the record stores them: the visible cells
// holding text under their stored names, in name order with numbers
// compared as numbers.
WorkedRows RulesWorkedRows(const Worksheet& sheet);

}  // namespace sorelka::rules
