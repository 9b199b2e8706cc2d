#pragma once

#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "core/worksheet.h"
#include "multiplication/multiplication_sheet.h"

// The learning record's names for the cells of the multiplication sheet:
// the worked rows of every answer store each written cell under its name
// ("Label9" row 1, "Label11" the product), fixed once released, and the
// diagnosis reads them back by role through this table.
namespace sorelka::multiplication {

// The stored name of a role; empty for a role that writes no text.
std::string StoredName(std::string_view role);
// The visible cells of `sheet` that hold text, under their stored names.
WorkedRows MultiplicationWorkedRows(const Worksheet& sheet);
// The pupil's work read back from stored rows (what the diagnosis reads).
MultiplicationWork WorkFromRows(const WorkedRows& rows, const MultiplicationProblem& problem);

}  // namespace sorelka::multiplication
