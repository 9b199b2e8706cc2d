#include "core/worked_rows.h"

#include <algorithm>
#include <cctype>

namespace sorelka {

bool NaturalNameLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ie = i;
            std::size_t je = j;
            while (ie < a.size() && digit(a[ie])) ++ie;
            while (je < b.size() && digit(b[je])) ++je;
            // Compare the runs as numbers: strip leading zeros, then length, then digits.
            std::string_view na = a.substr(i, ie - i);
            std::string_view nb = b.substr(j, je - j);
            while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

WorkedRows StoredRowsOf(const Worksheet& sheet, const std::function<std::string(std::string_view role)>& stored_name) {
    WorkedRows rows;
    for (const auto& [role, cell] : sheet) {
        if (!cell.visible || cell.text.empty()) continue;
        std::string name = stored_name(role);
        if (!name.empty()) rows.push_back({std::move(name), cell.text});
    }
    std::sort(rows.begin(), rows.end(),
              [](const WorkedCell& x, const WorkedCell& y) { return NaturalNameLess(x.name, y.name); });
    return rows;
}

WorkedRows WorkedRowsOf(const Worksheet& sheet) {
    WorkedRows rows;
    for (const auto& [name, cell] : sheet)
        if (cell.visible && !cell.text.empty()) rows.push_back({name, cell.text});
    std::sort(rows.begin(), rows.end(), [](const WorkedCell& x, const WorkedCell& y) {
        return NaturalNameLess(x.name, y.name);
    });
    return rows;
}

std::string CellText(const WorkedRows& rows, std::string_view name) {
    for (const WorkedCell& cell : rows)
        if (cell.name == name) return cell.text;
    return {};
}

}  // namespace sorelka
