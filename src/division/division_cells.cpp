#include "division/division_cells.h"

#include <algorithm>
#include <array>

#include "division/division_diagnosis.h"
#include "division/long_division.h"

namespace sorelka::division {

namespace {

// Each family of cells is stored under one stem, numbered from its first
// number in the order of its roles.
struct Family {
    const char* stem;
    int first;
    std::array<std::string_view, 9> roles;  // empty after the last
};

constexpr Family kFamilies[] = {
    {"Label", 5, {kDividendRole, kDivisorRole, kQuotientRole, kRowRoles[0], kRowRoles[1], kRowRoles[2],
                  kRowRoles[3], kRowRoles[4], kRowRoles[5]}},
    {"Shape", 1, {kDividendLineRole, kUnderlineRoles[0], kUnderlineRoles[1], kUnderlineRoles[2]}},
    {"Image", 2, {kBracketRole, kMarkerRole}},
    {"ComboBox", 2, {kDigitListRoles[0], kDigitListRoles[1], kDigitListRoles[2], kDigitListRoles[3], kActionListRole}},
};

}  // namespace

std::string StoredName(std::string_view role) {
    for (const Family& family : kFamilies)
        for (std::size_t i = 0; i < family.roles.size() && !family.roles[i].empty(); ++i)
            if (family.roles[i] == role) return family.stem + std::to_string(family.first + static_cast<int>(i));
    return {};
}

WorkedRows DivisionStoredRows(const Worksheet& sheet) {
    return StoredRowsOf(sheet, [](std::string_view role) { return StoredName(role); });
}

WorkedRows DivisionWorkedRows(const Worksheet& sheet) {
    WorkedRows rows = DivisionStoredRows(sheet);
    const int dividend_digits = static_cast<int>(sheet.at(kDividendRole).text.size());
    const std::string quotient = StoredName(kQuotientRole);
    for (WorkedCell& cell : rows)
        if (cell.name == quotient)
            cell.text = QuotientOverDividend(cell.text, QuotientFirstPlace(sheet), dividend_digits);
    return rows;
}

}  // namespace sorelka::division
