#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/worksheet.h"

namespace sorelka {

// One written cell of a worksheet as it stood when the answer was judged: the
// widget's object name and its text.
struct WorkedCell {
    std::string name;
    std::string text;

    bool operator==(const WorkedCell&) const = default;
};

// What a pupil's worksheet showed at the judgement, cell by cell. The learning
// record stores it with every answer and the diagnosis of mistakes reads it.
using WorkedRows = std::vector<WorkedCell>;

// The visible cells of `sheet` that hold text, in the order of their names
// with numbers compared as numbers ("cell5" before "cell10"), which is the
// order the worksheets are laid out in.
WorkedRows WorkedRowsOf(const Worksheet& sheet);

// The visible cells of a sheet keyed by role that hold text, under the name
// the record stores for their role (`stored_name`; a role it does not name
// is left out), in the order of those names as WorkedRowsOf orders them.
WorkedRows StoredRowsOf(const Worksheet& sheet, const std::function<std::string(std::string_view role)>& stored_name);

// The text of the cell named `name`; empty when there is none.
std::string CellText(const WorkedRows& rows, std::string_view name);

// Name order with numbers compared as numbers: "cell9" < "cell10" < "line1".
bool NaturalNameLess(std::string_view a, std::string_view b);

}  // namespace sorelka
