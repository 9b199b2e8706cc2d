#include "fractions/fraction_cells.h"

#include <algorithm>

#include "fractions/fraction_roles.h"

namespace sorelka::fractions {

namespace {

struct Stored {
    const char* role;
    const char* name;
};
constexpr Stored kStored[] = {
    {kPromptRole, "Label2"},
    {kMarkRole, "Label3"},
    {SlotRole(FractionNumber::Given, FractionSlot::Whole), "Label4"},
    {SlotRole(FractionNumber::Given, FractionSlot::Denominator), "Label5"},
    {SlotRole(FractionNumber::Given, FractionSlot::Numerator), "Label6"},
    {AnswerRole(FractionSlot::Whole), "Label7"},
    {AnswerRole(FractionSlot::Denominator), "Label8"},
    {AnswerRole(FractionSlot::Numerator), "Label9"},
    {kEqualsRole, "Label10"},
    {kTaskRole, "Label11"},
};

}  // namespace

std::string StoredName(std::string_view role) {
    for (const Stored& stored : kStored)
        if (role == stored.role) return stored.name;
    return {};
}

WorkedRows FractionWorkedRows(const Worksheet& sheet) {
    return StoredRowsOf(sheet, [](std::string_view role) { return StoredName(role); });
}

}  // namespace sorelka::fractions
