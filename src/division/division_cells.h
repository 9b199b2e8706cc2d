#pragma once

#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "division/division_roles.h"

// The learning record's format of a division worksheet: the name each role's
// cell has always been stored under ("Label7" the quotient …), and the worked
// rows an answer keeps.
namespace sorelka::division {

// The stored name of a role of the worksheet; empty for an unknown role.
std::string StoredName(std::string_view role);

// Every visible cell of `sheet` that holds text, under its stored name, in
// the order of those names (numbers compared as numbers), the quotient as it
// is written: what the record kept before it stored the quotient's columns.
WorkedRows DivisionStoredRows(const Worksheet& sheet);
// What the learning record keeps of the worksheet: DivisionStoredRows, with
// the quotient stored over the dividend's columns (QuotientOverDividend), so
// that a digit written a column off can be told from the right one.
WorkedRows DivisionWorkedRows(const Worksheet& sheet);

}  // namespace sorelka::division
