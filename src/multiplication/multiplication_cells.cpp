#include "multiplication/multiplication_cells.h"

#include <map>

namespace sorelka::multiplication {

namespace {

// "／" in UTF-8.
constexpr std::string_view kStroke = "／";

int Strokes(std::string_view text) {
    int count = 0;
    for (std::size_t at = text.find(kStroke); at != std::string_view::npos;
         at = text.find(kStroke, at + kStroke.size()))
        ++count;
    return count;
}

}  // namespace

std::string StoredName(std::string_view role) {
    static const std::map<std::string, std::string, std::less<>> kNames = {
        {role::kPrompt, "Label2"},     {role::kVerdict, "Label3"},    {role::kEquation, "Label4"},
        {role::kMultiplicand, "Label5"}, {role::kMultiplier, "Label6"}, {role::kSign, "Label8"},
        {role::kRow1, "Label9"},       {role::kRow2, "Label10"},      {role::kProduct, "Label11"},
        {role::kPoint, "Label12"},     {role::kOnesZero, "Label13"},  {role::kStrikes, "Label14"},
        {role::kCarries1, "Carry1"},   {role::kCarries2, "Carry2"},   {role::kCarries3, "Carry3"},
    };
    const auto found = kNames.find(role);
    return found == kNames.end() ? std::string() : found->second;
}

WorkedRows MultiplicationWorkedRows(const Worksheet& sheet) {
    WorkedRows rows = StoredRowsOf(sheet, [](std::string_view role) { return StoredName(role); });
    // The point's text is "." wherever it stands: the record keeps its place
    // as the point list's item that put it there.
    const std::string point = StoredName(role::kPoint);
    for (WorkedCell& cell : rows)
        if (cell.name == point) cell.text = PointItemText(sheet.at(role::kPoint).column);
    return rows;
}

MultiplicationWork WorkFromRows(const WorkedRows& rows, const MultiplicationProblem& problem) {
    const auto text = [&rows](const char* role) { return CellText(rows, StoredName(role)); };
    MultiplicationWork work;
    if (problem.TwoDigitMultiplier()) work.rows = {RowFromText(text(role::kRow1)), RowFromText(text(role::kRow2))};
    work.product = RowFromText(text(role::kProduct));
    work.point = PlacesOfPointItem(text(role::kPoint));
    work.ones_zero = text(role::kOnesZero) == "0";
    work.struck = Strokes(text(role::kStrikes));
    // Every decimal struck took the point with it: it stood left of them.
    if (!work.point && work.struck > 0) work.point = work.struck;
    return work;
}

}  // namespace sorelka::multiplication
