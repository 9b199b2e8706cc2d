#include "decimals/decimal_cells.h"

#include <algorithm>
#include <map>

namespace sorelka::decimals {

namespace {

using Names = std::map<std::string, std::string, std::less<>>;

Names PracticeNames() {
    Names names = {{role::kPrompt, "Label2"},     {role::kVerdict, "Label3"},       {role::kEquation, "Label4"},
                   {role::kUpper, "Label5"},      {role::kLower, "Label6"},         {role::kAnswer, "Label7"},
                   {role::kOperator, "Label8"},   {role::kPoint, "Label11"},        {role::kUpperZeros, "UpperZeros"},
                   {role::kLowerZeros, "LowerZeros"}};
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        names[MarkRole(Operation::Addition, column)] = std::string("Carry") + ColumnWord(column);
        names[MarkRole(Operation::Subtraction, column)] = std::string("Borrow") + ColumnWord(column);
    }
    return names;
}

}  // namespace

std::string StoredName(std::string_view role, SheetScreen screen) {
    static const Names kNames = PracticeNames();
    if (screen == SheetScreen::Drill && role == role::kOperator) return "Label4";
    const auto found = kNames.find(role);
    return found == kNames.end() ? std::string() : found->second;
}

WorkedRows DecimalWorkedRows(const Worksheet& sheet, SheetScreen screen) {
    return StoredRowsOf(sheet, [screen](std::string_view role) { return StoredName(role, screen); });
}

}  // namespace sorelka::decimals
