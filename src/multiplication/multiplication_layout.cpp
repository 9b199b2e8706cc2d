#include "multiplication/multiplication_layout.h"

#include <algorithm>
#include <charconv>

namespace sorelka::multiplication {

namespace {

constexpr int kRowHeight = 44;
constexpr int kNumberWidth = kColumns * kColumnWidth;
constexpr int kMultiplicandTop = 172;
constexpr int kMultiplierTop = 216;
constexpr int kLineTop = 262;
constexpr int kLineThickness = 3;
// Rows 1, 2 and the product under the sum line; a one-digit multiplier's
// product stands where row 1 would.
constexpr int kRowTops[3] = {284, 348, 416};
constexpr int kSumLineTop = 394;
// The carries: small, just above their row.
constexpr int kCarryHeight = 20;
constexpr int kCarryAbove = 18;
// The marker stands in the sign's column, left of every row's digits.
constexpr int kMarkerWidth = 34;
constexpr int kMarkerHeight = 28;
constexpr int kPointWidth = 14;

constexpr int ListsTop(SheetScreen screen) { return screen == SheetScreen::Practice ? 160 : 176; }

// Left edge of digit column `column` (0: the ones of the whole-number rows).
constexpr int ColumnLeft(int column) { return kOnesRight - (column + 1) * kColumnWidth; }

enum class Kind { Number, Sign, Line, SumLine, Row, Product, Point, OnesZero, Strikes, Carries, Marker, Own };

struct Entry {
    const char* role;
    const char* name;
    Kind kind;
    int row = 0;  // rows and carries: 1, 2 or 3 (the product)
};

constexpr Entry kEntries[] = {
    {role::kMultiplicand, "Label5", Kind::Number},  {role::kMultiplier, "Label6", Kind::Number},
    {role::kSign, "Label8", Kind::Sign},            {role::kLine, "Shape1", Kind::Line},
    {role::kRow1, "Label9", Kind::Row, 1},          {role::kRow2, "Label10", Kind::Row, 2},
    {role::kSumLine, "Shape2", Kind::SumLine},      {role::kProduct, "Label11", Kind::Product, 3},
    {role::kPoint, "Label12", Kind::Point},         {role::kOnesZero, "Label13", Kind::OnesZero},
    {role::kStrikes, "Label14", Kind::Strikes},     {role::kCarries1, "Carry1", Kind::Carries, 1},
    {role::kCarries2, "Carry2", Kind::Carries, 2},  {role::kCarries3, "Carry3", Kind::Carries, 3},
    {role::kMarker, "Image2", Kind::Marker},        {role::kPrompt, "Label2", Kind::Own},
    {role::kVerdict, "Label3", Kind::Own},          {role::kEquation, "Label4", Kind::Own},
};

const Entry* EntryOf(std::string_view role) {
    for (const Entry& e : kEntries)
        if (role == e.role) return &e;
    return nullptr;
}

// Whether the sheet is of a two-digit multiplier: rows 1 and 2 above the product.
bool TwoRows(const Worksheet& sheet) {
    std::string_view multiplier = sheet.at(role::kMultiplier).text;
    return multiplier.size() >= 2;
}

// The top of row 1, 2 or 3 (the product) on `sheet`.
int RowTop(int row, const Worksheet& sheet) {
    if (row >= 3) return TwoRows(sheet) ? kRowTops[2] : kRowTops[0];
    return kRowTops[std::clamp(row, 1, 2) - 1];
}

// The column a number's last character stands in: a row's text has a
// character for every column, so it ends in column 0; any other text ends
// in the cell's own column.
int LastColumn(const Cell& cell, bool whole_row) {
    if (whole_row && cell.text.size() == static_cast<std::size_t>(kColumns)) return 0;
    return std::max(cell.column, 0);
}

CellView NumberView(const std::string& name, int last_column, int top, int height = kRowHeight) {
    const int right = kOnesRight - last_column * kColumnWidth;
    return {name, right - kNumberWidth, top, kNumberWidth, height};
}

// The decimal places of the multiplicand as written ("2.37": 2).
int MultiplicandPlaces(const Worksheet& sheet) {
    const std::string& text = sheet.at(role::kMultiplicand).text;
    const auto point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

// Digits right of the point as the sheet shows it, or where it belongs.
int PointColumn(const Worksheet& sheet) {
    const Cell& point = sheet.at(role::kPoint);
    if (point.visible && !point.text.empty() && point.column >= 1) return point.column;
    return std::max(MultiplicandPlaces(sheet), 1);
}

const char* RowRole(int row) {
    switch (row) {
        case 1: return role::kRow1;
        case 2: return role::kRow2;
        default: return role::kProduct;
    }
}

}  // namespace

std::optional<SheetAction> SheetActionAt(int index) {
    if (index < 0 || index >= kActionItems) return std::nullopt;
    return static_cast<SheetAction>(index);
}

Place DigitListPlace(int index) {
    static constexpr Place kPlaces[kColumns] = {Place::Thousands, Place::Hundreds, Place::Tens, Place::Ones};
    return kPlaces[std::clamp(index, 0, kColumns - 1)];
}

std::string MultiplicationObjectName(std::string_view role) {
    const Entry* e = EntryOf(role);
    return e ? e->name : std::string();
}

SheetLayout MultiplicationLayout(SheetScreen screen) {
    return [screen](const std::string& role, const Cell& cell, const Worksheet& sheet) -> CellView {
        const Entry* e = EntryOf(role);
        if (!e) return {};
        const std::string name = e->name;
        switch (e->kind) {
            case Kind::Number:
                return NumberView(name, LastColumn(cell, false),
                                  role == role::kMultiplicand ? kMultiplicandTop : kMultiplierTop);
            case Kind::Sign: return {name, ColumnLeft(kColumns), kMultiplierTop, kColumnWidth, kRowHeight};
            case Kind::Line: {
                const int left = ColumnLeft(kColumns) - 4;
                return {name, left, kLineTop, kOnesRight + 6 - left, kLineThickness};
            }
            case Kind::SumLine: {
                const int left = ColumnLeft(kColumns - 1) - 4;
                return {name, left, kSumLineTop, kOnesRight + 6 - left, kLineThickness};
            }
            case Kind::Row:
            case Kind::Product: return NumberView(name, LastColumn(cell, true), RowTop(e->row, sheet));
            case Kind::Carries:
                return NumberView(name, LastColumn(cell, true), RowTop(e->row, sheet) - kCarryAbove, kCarryHeight);
            case Kind::Point: {
                const int places = std::max(cell.column, 1);
                return {name, kOnesRight - places * kColumnWidth - kPointWidth / 2, RowTop(3, sheet), kPointWidth,
                        kRowHeight};
            }
            case Kind::OnesZero: {
                const int column = cell.column >= 1 ? cell.column : PointColumn(sheet);
                return {name, ColumnLeft(column), RowTop(3, sheet), kColumnWidth, kRowHeight};
            }
            case Kind::Strikes: return NumberView(name, std::max(cell.column, 0), RowTop(3, sheet));
            case Kind::Marker:
                return {name, ColumnLeft(kColumns) + 2, RowTop(cell.row, sheet) + (kRowHeight - kMarkerHeight) / 2,
                        kMarkerWidth, kMarkerHeight};
            case Kind::Own:
                // The drill writes its own prompt and problem line and shows no mark.
                return screen == SheetScreen::Practice ? CellView{name} : CellView{};
        }
        return {};
    };
}

QRect PaperRect() { return {280, 160, 280, 322}; }

QRect ListPlace(const char* name, SheetScreen screen) {
    const std::string_view n = name;
    const int top = ListsTop(screen);
    // Right of the paper, the point's and the actions' items whole on one line.
    for (int i = 0; i < kColumns; ++i)
        if (n == kDigitListNames[i]) return {570 + i * 35, top, 32, 0};
    if (n == kPointListName) return {713, top, 120, 0};
    if (n == kActionListName) return {839, top, 108, 0};
    return {};
}

QRect RoleRect(const Worksheet& sheet, const MultiplicationRole& role) {
    const int product_top = RowTop(3, sheet);
    switch (role.part) {
        case MultiplicationRole::Part::Digit: {
            if (role.column < 0 || role.column >= kColumns) return {};
            return {ColumnLeft(role.column), RowTop(role.row, sheet), kColumnWidth, kRowHeight};
        }
        case MultiplicationRole::Part::Point: {
            const int x = kOnesRight - PointColumn(sheet) * kColumnWidth;
            return {x - kPointWidth / 2 - 2, product_top, kPointWidth + 4, kRowHeight};
        }
        case MultiplicationRole::Part::OnesZero:
            return {ColumnLeft(PointColumn(sheet)), product_top, kColumnWidth, kRowHeight};
        case MultiplicationRole::Part::Strikes: {
            // The struck 0s, or the 0s right of the point that are left standing.
            const std::string product = sheet.at(role::kProduct).text;
            int zeros = static_cast<int>(sheet.at(role::kStrikes).text.size() / std::string_view("／").size());
            if (zeros == 0) {
                const int places = PointColumn(sheet);
                while (zeros < places && zeros < static_cast<int>(product.size()) &&
                       product[product.size() - 1 - zeros] == '0')
                    ++zeros;
            }
            zeros = std::clamp(zeros, 1, kColumns);
            return {ColumnLeft(zeros - 1), product_top, zeros * kColumnWidth, kRowHeight};
        }
    }
    return {};
}

std::optional<MultiplicationRole> RoleOfStep(std::string_view step) {
    // The point, the ones 0 and the strokes stand on the product (row 3).
    if (step == "point") return MultiplicationRole{MultiplicationRole::Part::Point, 3};
    if (step == "ones_zero") return MultiplicationRole{MultiplicationRole::Part::OnesZero, 3};
    if (step == "strikes") return MultiplicationRole{MultiplicationRole::Part::Strikes, 3};
    // "row:N/column:C"
    constexpr std::string_view kRow = "row:";
    constexpr std::string_view kColumn = "/column:";
    if (!step.starts_with(kRow)) return std::nullopt;
    const auto slash = step.find(kColumn);
    if (slash == std::string_view::npos) return std::nullopt;
    int row = 0;
    int column = 0;
    const std::string_view row_text = step.substr(kRow.size(), slash - kRow.size());
    const std::string_view column_text = step.substr(slash + kColumn.size());
    if (std::from_chars(row_text.data(), row_text.data() + row_text.size(), row).ec != std::errc{} ||
        std::from_chars(column_text.data(), column_text.data() + column_text.size(), column).ec != std::errc{})
        return std::nullopt;
    if (row < 1 || row > 3 || column < 0 || column >= kColumns) return std::nullopt;
    return MultiplicationRole{MultiplicationRole::Part::Digit, row, column};
}

RoleCell PlaceCell(const MultiplicationRole& role) {
    switch (role.part) {
        case MultiplicationRole::Part::Digit:
            return {RowRole(role.row), RoleCell::Digit::FromLeft, kColumns - 1 - role.column, role.column + 1};
        case MultiplicationRole::Part::Point: return {role::kPoint};
        case MultiplicationRole::Part::OnesZero: return {role::kOnesZero};
        case MultiplicationRole::Part::Strikes: return {role::kStrikes};
    }
    return {};
}

}  // namespace sorelka::multiplication
