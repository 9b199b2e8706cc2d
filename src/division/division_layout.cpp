#include "division/division_layout.h"

#include <algorithm>
#include <array>

#include "division/division_roles.h"

namespace sorelka::division {

namespace {

constexpr int kRowWidth = 120;  // product and difference labels, right-aligned
constexpr int kRowHeight = 44;
constexpr int kQuotientTop = 184;
constexpr int kDividendTop = 232;
constexpr std::array<int, 6> kRowTops{272, 320, 368, 408, 456, 504};  // rows 0..5
constexpr int kLineBelow = 39;  // a line's top below its product row's top
constexpr int kLineThickness = 3;
constexpr int kBracketWidth = 24;
constexpr int kBracketHeight = 50;
// The marker: left of the rows, its top at the quotient row (0) and rows 1..6.
constexpr int kMarkerLeft = 384;
constexpr int kMarkerWidth = 36;
constexpr int kMarkerHeight = 28;
constexpr std::array<int, 7> kMarkerTops{192, 280, 328, 376, 416, 464, 512};
// The widest dividend the paper holds: the places before any problem is shown.
constexpr int kWidestDividend = 6;

// Left edge of a column's digit (1 ones, 2 tens, …).
constexpr int ColumnLeft(int column) { return kOnesRight - column * kColumnWidth; }

// Left edge of a right-aligned row whose last digit stands in `column`.
int RowLeft(int column) {
    if (column == kOnesAfterSkip) return ColumnLeft(kOnes) + kColumnWidth - kRowWidth + 1;
    return ColumnLeft(std::max(column, kOnes)) + kColumnWidth - kRowWidth;
}

struct Named {
    std::string_view role;
    const char* name;
};

constexpr Named kObjectNames[] = {
    {kDividendRole, "Label5"},      {kDivisorRole, "Label6"},       {kQuotientRole, "Label7"},
    {kRowRoles[0], "Label8"},       {kRowRoles[1], "Label9"},       {kRowRoles[2], "Label10"},
    {kRowRoles[3], "Label11"},      {kRowRoles[4], "Label12"},      {kRowRoles[5], "Label13"},
    {kDividendLineRole, "Shape1"},  {kUnderlineRoles[0], "Shape2"}, {kUnderlineRoles[1], "Shape3"},
    {kUnderlineRoles[2], "Shape4"}, {kBracketRole, "Image2"},       {kMarkerRole, "Image3"},
    {kDigitListRoles[0], "ComboBox2"}, {kDigitListRoles[1], "ComboBox3"}, {kDigitListRoles[2], "ComboBox4"},
    {kDigitListRoles[3], "ComboBox5"}, {kActionListRole, "ComboBox6"},
};

template <std::size_t N>
int IndexOf(const std::array<const char*, N>& roles, std::string_view role) {
    for (std::size_t i = 0; i < N; ++i)
        if (role == roles[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

std::optional<Action> DivisionActionAt(int index) {
    switch (index) {
        case kConfirm: return Action::Confirm;
        case kSkip: return Action::Skip;
        case kClear: return Action::Clear;
        case kFinish: return Action::Finish;
        default: return std::nullopt;
    }
}

std::string DivisionObjectName(std::string_view role) {
    for (const Named& n : kObjectNames)
        if (n.role == role) return n.name;
    return {};
}

CellView DivisionLayout(const std::string& role, const Cell& cell, const Worksheet& sheet) {
    CellView view{DivisionObjectName(role)};
    const auto place = [&view](int left, int top, int width, int height) {
        view.left = left;
        view.top = top;
        view.width = width;
        view.height = height;
    };
    // The divisor, the bracket and the dividend's line follow the dividend's first column.
    const int first = cell.column > 0 ? cell.column : kWidestDividend;
    if (role == kDividendRole) {
        place(ColumnLeft(kWidestDividend), kDividendTop, kWidestDividend * kColumnWidth, kRowHeight);
    } else if (role == kDivisorRole) {
        place(ColumnLeft(first) - kBracketWidth - kRowWidth, kDividendTop, kRowWidth, kRowHeight);
    } else if (role == kBracketRole) {
        // Before any problem, flush with the widest dividend; after, hugging its first digit.
        place(ColumnLeft(first) - kBracketWidth + (cell.column > 0 ? 2 : 0), kDividendTop - 4, kBracketWidth,
              kBracketHeight);
    } else if (role == kDividendLineRole) {
        const int left = ColumnLeft(first) - (cell.column > 0 ? 6 : 0);
        const int right = cell.column > 0 ? kOnesRight + 6 : kOnesRight;
        place(left, kDividendTop - 4, right - left, kLineThickness);
    } else if (role == kQuotientRole) {
        place(ColumnLeft(cell.column), kQuotientTop, 5 * kColumnWidth, kRowHeight);
    } else if (const int row = IndexOf(kRowRoles, role); row >= 0) {
        place(RowLeft(cell.column), kRowTops[row], kRowWidth, kRowHeight);
    } else if (const int round = IndexOf(kUnderlineRoles, role); round >= 0) {
        // The line spans the product's digits and a little more on each side.
        const Cell& product = sheet.at(kRowRoles[2 * round]);
        const int digits = std::max<int>(1, static_cast<int>(product.text.size()));
        const int right = RowLeft(product.column) + kRowWidth;
        place(right - digits * kColumnWidth - 4, kRowTops[2 * round] + kLineBelow, digits * kColumnWidth + 8,
              kLineThickness);
    } else if (role == kMarkerRole) {
        place(kMarkerLeft, kMarkerTops[std::clamp(cell.row, 0, 6)], kMarkerWidth, kMarkerHeight);
    }
    return view;
}

Worksheet DivisionShownSheet(const Worksheet& sheet) { return ShownSheet(sheet, DivisionLayout); }

RoleCell DivisionShownCell(RoleCell cell) {
    cell.name = DivisionObjectName(cell.name);
    return cell;
}

}  // namespace sorelka::division
