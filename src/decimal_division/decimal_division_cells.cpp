#include "decimal_division/decimal_division_cells.h"

#include <algorithm>
#include <map>

#include "division/division_cells.h"

namespace sorelka::decimal_division {

namespace {

// The long division's roles that hold text; its lines, pictures and lists
// hold none the record keeps.
constexpr const char* kDivisionTextRoles[] = {division::kDividendRole, division::kDivisorRole,
                                              division::kQuotientRole};

bool IsDivisionTextRole(std::string_view role) {
    for (const char* r : kDivisionTextRoles)
        if (role == r) return true;
    return std::find(division::kRowRoles.begin(), division::kRowRoles.end(), role) != division::kRowRoles.end();
}

// The scaled dividend's digits: the column of its first digit, where the
// long division puts the line over it.
int DividendDigits(const Worksheet& sheet) { return sheet.at(division::kDividendLineRole).column; }

}  // namespace

std::string StoredName(std::string_view role) {
    static const std::map<std::string, std::string, std::less<>> kNames = {
        {role::kPrompt, "Label2"},          {role::kVerdict, "Label3"},        {role::kEquation, "Label4"},
        {role::kDividendPoint, "Label20"},  {role::kDividendZeros, "Label21"}, {role::kQuotientPoint, "Label22"},
        {role::kOnesZero, "Label23"},       {role::kRemainderPoint, "Label24"}, {role::kRounded, "Label25"},
    };
    if (IsDivisionTextRole(role)) return division::StoredName(role);
    const auto found = kNames.find(role);
    return found == kNames.end() ? std::string() : found->second;
}

WorkedRows DecimalDivisionWorkedRows(const Worksheet& sheet) {
    WorkedRows rows = StoredRowsOf(sheet, [](std::string_view role) { return StoredName(role); });
    const int dividend_digits = DividendDigits(sheet);
    const Cell& quotient = sheet.at(division::kQuotientRole);
    const int first = division::QuotientFirstPlace(sheet);
    const int last = first - static_cast<int>(quotient.text.size()) + 1;
    for (WorkedCell& cell : rows) {
        if (cell.name == StoredName(division::kQuotientRole)) {
            // Over the scaled dividend's columns, however many of its 0s are written.
            cell.text = division::QuotientOverDividend(cell.text, first, dividend_digits);
        } else if (cell.name == StoredName(role::kQuotientPoint)) {
            // A point is kept as the list item that put it: digits right of it.
            cell.text = PointItemText(sheet.at(role::kQuotientPoint).column - last);
        } else if (cell.name == StoredName(role::kRemainderPoint)) {
            const Cell& point = sheet.at(role::kRemainderPoint);
            const int row = point.row - 1;
            const int row_column = row >= 0 && row < 6
                                       ? std::max(division::kOnes, sheet.at(division::kRowRoles[static_cast<std::size_t>(row)]).column)
                                       : division::kOnes;
            cell.text = PointItemText(point.column - row_column);
        } else if (cell.name == StoredName(role::kRounded)) {
            const Cell& rounded = sheet.at(role::kRounded);
            std::array<int, kRoundedColumns + 1> digits;
            digits.fill(-1);
            for (std::size_t i = 0; i < rounded.text.size(); ++i) {
                const int column = rounded.column - static_cast<int>(i);
                const char c = rounded.text[i];
                if (column >= 1 && column <= kRoundedColumns && c >= '0' && c <= '9')
                    digits[static_cast<std::size_t>(column)] = c - '0';
            }
            cell.text = RoundedColumns(digits, dividend_digits);
        }
    }
    return rows;
}

DecimalDivisionWork WorkFromRows(const WorkedRows& rows, const DecimalDivisionProblem& problem) {
    const auto text = [&rows](const char* role) { return CellText(rows, StoredName(role)); };
    DecimalDivisionWork work;
    work.division = division::WrittenDivisionOf(WholeDivision(problem), rows);
    const std::string zeros = text(role::kDividendZeros);
    work.written_zeros = static_cast<int>(std::count(zeros.begin(), zeros.end(), '0'));
    work.quotient_point = PlacesOfPointItem(text(role::kQuotientPoint));
    work.ones_zero = text(role::kOnesZero) == "0";
    work.remainder_point = PlacesOfPointItem(text(role::kRemainderPoint));
    work.rounded = text(role::kRounded);
    return work;
}

}  // namespace sorelka::decimal_division
