// The pupil's written long division read back from the record's stored
// cells, and a diagnosis step's name mapped to the cell or role it frames.
#include <charconv>

#include "division/division_cells.h"
#include "division/division_diagnosis.h"

namespace sorelka::division {

std::string DivisionStepCell(std::string_view step) {
    if (step.starts_with("quotient:")) return kQuotientRole;
    if (step.starts_with("row:")) {
        int row = 0;
        const std::string_view n = step.substr(4);
        auto [ptr, ec] = std::from_chars(n.data(), n.data() + n.size(), row);
        if (ec == std::errc() && ptr == n.data() + n.size() && row >= 1 && row <= 6)
            return kRowRoles[row - 1];
    }
    return {};
}

int RightFirstPlace(long long dividend, long long divisor) {
    if (divisor <= 0 || dividend < divisor) return 1;
    const std::string s = std::to_string(dividend);
    std::size_t pos = 0;
    long long part = 0;
    while (pos < s.size() && part < divisor) part = part * 10 + (s[pos++] - '0');
    return static_cast<int>(s.size() - pos) + 1;
}

std::string WrittenDivision::Text(DivisionRole role) const {
    if (role.part == DivisionRole::Part::Row)
        return role.index >= 0 && role.index < 6 ? rows[role.index] : std::string();
    const int digit = FirstPlace() - role.index;
    return digit >= 0 && static_cast<std::size_t>(digit) < quotient.size() ? quotient.substr(digit, 1)
                                                                             : std::string();
}

std::string QuotientOverDividend(std::string_view quotient, int first_place, int dividend_digits) {
    const int length = static_cast<int>(quotient.size());
    if (length == 0 || first_place > dividend_digits || first_place - length + 1 < 1) return std::string(quotient);
    return std::string(dividend_digits - first_place, ' ') + std::string(quotient) +
           std::string(first_place - length, ' ');
}

WrittenDivision WrittenDivisionOf(const DivisionProblem& problem, const WorkedRows& rows) {
    WrittenDivision w;
    w.dividend = problem.dividend;
    w.divisor = problem.divisor;
    const std::string stored = CellText(rows, StoredName(kQuotientRole));
    // Stored over the dividend's columns: as long as the dividend, or with
    // the spaces of the columns it leaves empty. Older records hold the
    // label's text alone, which says nothing of its columns.
    const std::size_t first = stored.find_first_not_of(' ');
    const std::size_t last = stored.find_last_not_of(' ');
    const int dividend_digits = static_cast<int>(std::to_string(problem.dividend).size());
    if (first == std::string::npos) {
        w.quotient.clear();
    } else {
        w.quotient = stored.substr(first, last - first + 1);
        if (first > 0 || last + 1 < stored.size() || static_cast<int>(stored.size()) == dividend_digits)
            w.quotient_place = dividend_digits - static_cast<int>(first);
    }
    for (int row = 0; row < 6; ++row) w.rows[row] = CellText(rows, StoredName(kRowRoles[row]));
    return w;
}

std::optional<DivisionRole> DivisionStepRole(std::string_view step, const WrittenDivision& written) {
    const auto number = [](std::string_view text) -> std::optional<int> {
        int n = 0;
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
        return n;
    };
    if (step.starts_with("quotient:"))
        if (const auto k = number(step.substr(9)); k && *k >= 1)
            return DivisionRole::QuotientDigit(written.FirstPlace() - (*k - 1));
    if (step.starts_with("row:"))
        if (const auto n = number(step.substr(4)); n && *n >= 1 && *n <= 6) return DivisionRole::Row(*n - 1);
    return std::nullopt;
}

}  // namespace sorelka::division
