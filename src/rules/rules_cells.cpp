#include "rules/rules_cells.h"

#include <algorithm>

namespace sorelka::rules {

std::string RulesStoredName(RulesRole role) {
    using Part = RulesRole::Part;
    const auto label = [](int n) { return "Label" + std::to_string(n); };
    switch (role.part) {
        case Part::Problem: return label(3);
        case Part::AddTop: return label(4);
        case Part::AddBottom: return label(5);
        case Part::AddResult: return label(6);
        case Part::AddSign: return label(7);
        case Part::MulTop: return label(8);
        case Part::MulBottom: return label(9);
        case Part::MulRow: return label(10 + role.index);
        case Part::MulSign: return label(13);
        case Part::DivDividend: return label(14);
        case Part::DivDivisor: return label(15);
        case Part::DivQuotient: return label(16);
        case Part::DivRow: return label(17 + role.index);
        case Part::Mark: return label(21);
        case Part::AddLine: return "Shape1";
        case Part::MulLine: return "Shape2";
        case Part::MulSumLine: return "Shape3";
        case Part::DivLine: return "Shape" + std::to_string(4 + role.index);
        case Part::Bracket: return "Image2";
        case Part::MulMarker: return "Image3";
        case Part::DivMarker: return "Image4";
    }
    return {};
}

std::optional<RulesRole> RulesRoleOfStored(std::string_view name) {
    for (const RulesRole& role : RulesCells())
        if (RulesStoredName(role) == name) return role;
    return std::nullopt;
}

WorkedRows RulesWorkedRows(const Worksheet& sheet) {
    return StoredRowsOf(sheet, [](std::string_view key) {
        const std::optional<RulesRole> role = RulesRoleOfKey(std::string(key));
        return role ? RulesStoredName(*role) : std::string();
    });
}

}  // namespace sorelka::rules
