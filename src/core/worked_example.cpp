#include "core/worked_example.h"

#include <algorithm>

namespace sorelka {

std::string RoleText(const Worksheet& sheet, const RoleCell& cell) {
    const Cell& c = sheet.at(cell.name);
    if (!c.visible) return {};
    switch (cell.digit_from) {
        case RoleCell::Digit::Whole:
            return c.text;
        case RoleCell::Digit::FromLeft: {
            const auto digit = static_cast<std::size_t>(cell.digit);
            return cell.digit >= 0 && digit < c.text.size() ? c.text.substr(digit, 1) : std::string();
        }
        case RoleCell::Digit::FromPoint:
            return DigitFromPoint(c.text, cell.digit);
    }
    return {};
}

std::string DigitFromPoint(std::string_view number, int from_point) {
    const std::size_t point = std::min(number.find('.'), number.size());
    if (from_point < 0) {
        const auto back = static_cast<std::size_t>(-from_point);
        return back <= point ? std::string(number.substr(point - back, 1)) : std::string();
    }
    const std::size_t at = point + static_cast<std::size_t>(from_point);
    return from_point > 0 && at < number.size() ? std::string(number.substr(at, 1)) : std::string();
}

}  // namespace sorelka
