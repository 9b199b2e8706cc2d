#pragma once

#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "decimal_division/decimal_division_sheet.h"

// The learning record's names for the cells of the decimal division: the
// long division's roles keep the division's stored names ("Label7" the
// quotient, "Label8" … "Label13" the rows), this topic's roles have their
// own (Label20 … Label25), fixed once released. The diagnosis reads the
// pupil's work back from them.
namespace sorelka::decimal_division {

// The stored name of a role; empty for a role that writes no text.
std::string StoredName(std::string_view role);
// The visible cells of `sheet` that hold text, under their stored names;
// points stored as their list items ("右から２けた").
WorkedRows DecimalDivisionWorkedRows(const Worksheet& sheet);
// The pupil's work read back from stored rows.
DecimalDivisionWork WorkFromRows(const WorkedRows& rows, const DecimalDivisionProblem& problem);

}  // namespace sorelka::decimal_division
