#include "rules/rules_layout.h"

namespace sorelka::rules {

namespace {

using Part = RulesRole::Part;

constexpr int kColumn = kRulesColumnWidth;
constexpr int kNumberWidth = 116;  // a right-aligned number: four columns and a margin
constexpr int kRowHeight = 40;
constexpr int kSignWidth = 52;
// Addition and subtraction: upper and lower number, result.
constexpr int kAddRight = 242;
constexpr int kAddTops[] = {216, 252, 296};
// Multiplication: factors, rows 1..3, and where the row marker stands.
constexpr int kMulRight = 438;
constexpr int kMulTops[] = {216, 252, 304, 340, 384};
constexpr int kMulMarkerLeft = 256;
constexpr int kMulMarkerTops[] = {312, 348, 390};  // rows 1..3
// Division: the dividend's ones column ends at kRulesOnesEdge; the quotient
// is left-aligned over the ones or the tens column.
constexpr int kDivRight = kRulesOnesEdge;
constexpr int kDividendTop = 264;
constexpr int kQuotientTop = 216;
constexpr int kDivRowTops[] = {310, 352, 388, 432};  // rows 2, 3, 5, 6 of the division
constexpr int kDivisorRight = 494;
constexpr int kDivMarkerLeft = 480;
constexpr int kDivMarkerTops[] = {232, 316, 358, 394, 438};  // the quotient, rows 1..4
constexpr int kMarkerWidth = 32;
constexpr int kMarkerHeight = 28;
constexpr int kLineLeft = kDivisorRight + kColumn / 2;
constexpr int kLineWidth = kDivRight - kLineLeft;

// A right-aligned number ending `columns` digit columns left of `right`.
CellView Number(int right, int top, int columns = 0) {
    return {{}, right - kNumberWidth - columns * kColumn, top, kNumberWidth, kRowHeight};
}
CellView Sign(int right, int top) { return {{}, right - kNumberWidth - kSignWidth, top, kSignWidth, kRowHeight}; }
CellView Line(int left, int top, int width) { return {{}, left, top, width, 3}; }
CellView Marker(int left, int top) { return {{}, left, top, kMarkerWidth, kMarkerHeight}; }

// The cell's place in column `column` (the number's last digit, the
// quotient's first) and, for a marker, pointing at row `row`.
CellView Place(RulesRole role, int column, int row) {
    const int i = role.index;
    switch (role.part) {
        case Part::AddTop: return Number(kAddRight, kAddTops[0]);
        case Part::AddBottom: return Number(kAddRight, kAddTops[1]);
        case Part::AddResult: return Number(kAddRight, kAddTops[2]);
        case Part::AddSign: return Sign(kAddRight, kAddTops[1]);
        case Part::AddLine:
            return Line(kAddRight - kNumberWidth - kSignWidth, kAddTops[1] + kRowHeight + 1, kNumberWidth + kSignWidth);
        case Part::MulTop: return Number(kMulRight, kMulTops[0]);
        case Part::MulBottom: return Number(kMulRight, kMulTops[1]);
        case Part::MulSign: return Sign(kMulRight, kMulTops[1]);
        case Part::MulLine:
            return Line(kMulRight - kNumberWidth - kSignWidth, kMulTops[1] + kRowHeight + 2, kNumberWidth + kSignWidth);
        case Part::MulRow: return Number(kMulRight, kMulTops[2 + i], column);
        case Part::MulSumLine: return Line(kMulRight - kNumberWidth - kSignWidth, kMulTops[4] - 3, kNumberWidth + kSignWidth);
        case Part::MulMarker: return Marker(kMulMarkerLeft, kMulMarkerTops[row - 1]);
        case Part::DivDivisor: return Number(kDivisorRight, kDividendTop);
        case Part::Bracket: return {{}, kDivisorRight, kDividendTop - 4, kColumn - 4, kRowHeight + 6};
        case Part::DivDividend: return Number(kDivRight, kDividendTop);
        case Part::DivQuotient: return {{}, kDivRight - kColumn * (column + 1), kQuotientTop, 5 * kColumn, kRowHeight};
        case Part::DivRow: return Number(kDivRight, kDivRowTops[i], column);
        case Part::DivLine: {
            static const int kTops[] = {kDividendTop - 4, kDivRowTops[1] - 1, kDivRowTops[3] - 5};
            return Line(kLineLeft, kTops[i], kLineWidth);
        }
        case Part::DivMarker: return Marker(kDivMarkerLeft, kDivMarkerTops[row]);
        case Part::Problem:
        case Part::Mark: return {};  // where the screen put them
    }
    return {};
}

// Where a cell stands when the model leaves its column or row: the product
// of the tens one column left, a multiplication's marker at its first row.
int DefaultColumn(RulesRole role) { return role.part == Part::MulRow && role.index == 1 ? 1 : 0; }
int DefaultRow(RulesRole role) { return role.part == Part::MulMarker ? 1 : 0; }

bool Fits(RulesRole role, int row) {
    if (role.part == Part::MulMarker) return row >= 1 && row <= 3;
    if (role.part == Part::DivMarker) return row >= 0 && row <= 4;
    return true;
}

}  // namespace

std::string RulesObjectName(RulesRole role) {
    static const struct {
        Part part;
        const char* name;  // with the role's index added to the number
        int first;
    } kWidgets[] = {
        {Part::Problem, "Label", 3},    {Part::AddTop, "Label", 4},       {Part::AddBottom, "Label", 5},
        {Part::AddResult, "Label", 6},  {Part::AddSign, "Label", 7},      {Part::MulTop, "Label", 8},
        {Part::MulBottom, "Label", 9},  {Part::MulRow, "Label", 10},      {Part::MulSign, "Label", 13},
        {Part::DivDividend, "Label", 14}, {Part::DivDivisor, "Label", 15}, {Part::DivQuotient, "Label", 16},
        {Part::DivRow, "Label", 17},    {Part::Mark, "Label", 21},        {Part::AddLine, "Shape", 1},
        {Part::MulLine, "Shape", 2},    {Part::MulSumLine, "Shape", 3},   {Part::DivLine, "Shape", 4},
        {Part::Bracket, "Image", 2},    {Part::MulMarker, "Image", 3},    {Part::DivMarker, "Image", 4},
    };
    for (const auto& w : kWidgets)
        if (w.part == role.part)
            return w.name + std::to_string(w.first + (role.part == Part::DivQuotient ? 0 : role.index));
    return {};
}

CellView RulesCellPlace(RulesRole role) {
    CellView view = Place(role, DefaultColumn(role), DefaultRow(role));
    view.object_name = RulesObjectName(role);
    return view;
}

CellView RulesLayout(const std::string& key, const Cell& cell, const Worksheet&) {
    const std::optional<RulesRole> role = RulesRoleOfKey(key);
    if (!role) return {};
    const int column = cell.column >= 0 ? cell.column : DefaultColumn(*role);
    const int row = cell.row >= 0 && Fits(*role, cell.row) ? cell.row : DefaultRow(*role);
    CellView view = Place(*role, column, row);
    view.object_name = RulesObjectName(*role);
    return view;
}

RoleCell RulesShownCell(RulesRole role) {
    RoleCell cell = RulesRoleCell(role);
    cell.name = RulesObjectName(role);
    return cell;
}

Worksheet RulesShownSheet(const Worksheet& sheet) { return ShownSheet(sheet, RulesLayout); }

}  // namespace sorelka::rules
