#pragma once

#include <string>
#include <string_view>

#include "core/worked_rows.h"
#include "core/worksheet.h"

// The fraction worksheet as the learning record stores it: each cell under
// the name the record has always used for it. This table is the record's
// format; the models and the diagnosis speak roles (fraction_roles.h) and
// come here only to write or read stored rows.
namespace sorelka::fractions {

// The name `role` is stored under ("answer numerator" → "Label9"); empty for
// a role that never holds text (the bars, the lists) or is none of this topic.
std::string StoredName(std::string_view role);

// The visible cells of `sheet` that hold text, under their stored names, in
// the order of those names with numbers compared as numbers.
WorkedRows FractionWorkedRows(const Worksheet& sheet);

}  // namespace sorelka::fractions
