#include "decimal_division/decimal_division_layout.h"

#include <algorithm>
#include <array>

#include "decimal_division/decimal_division_sheet.h"
#include "division/division_layout.h"
#include "division/division_roles.h"

namespace sorelka::decimal_division {

namespace {

using division::kColumnWidth;
using division::kOnesRight;

constexpr int kRowHeight = 44;
constexpr int kPointWidth = 14;
// The rounded row stands right over the quotient (whose top is 184).
constexpr int kRoundedTop = 140;
constexpr int kAboutWidth = 40;
// The widest dividend written, its ones 0 included.
constexpr int kWidestDividend = 7;

// The rounded row's "約", keyed by this role in ShownCells only.
constexpr const char* kRoundedAboutRole = "rounded about";

// Left edge of a column (1 the last place worked, 2 the one left of it, …).
constexpr int ColumnLeft(int column) { return kOnesRight - column * kColumnWidth; }
// The line right of a column, where a point stands.
constexpr int PointX(int column) { return kOnesRight - (column - 1) * kColumnWidth; }

enum class Kind { Dividend, FollowsDividend, Zeros, Point, RemainderPoint, Digit, Rounded, About, Own };

struct Entry {
    const char* role;
    const char* name;
    Kind kind;
};

constexpr Entry kEntries[] = {
    {role::kDividendPoint, "Label20", Kind::Point},
    {role::kDividendZeros, "Label21", Kind::Zeros},
    {role::kQuotientPoint, "Label22", Kind::Point},
    {role::kOnesZero, "Label23", Kind::Digit},
    {role::kRemainderPoint, "Label24", Kind::RemainderPoint},
    {role::kRounded, "Label25", Kind::Rounded},
    {role::kRoundedPoint, kRoundedPointName, Kind::Point},
    {role::kRoundedOnesZero, kRoundedZeroName, Kind::Digit},
    {kRoundedAboutRole, kRoundedAboutName, Kind::About},
    {role::kPrompt, "Label2", Kind::Own},
    {role::kVerdict, "Label3", Kind::Own},
    {role::kEquation, "Label4", Kind::Own},
    {division::kDividendRole, "Label5", Kind::Dividend},
    {division::kDivisorRole, "Label6", Kind::FollowsDividend},
    {division::kBracketRole, "Image2", Kind::FollowsDividend},
    {division::kDividendLineRole, "Shape1", Kind::FollowsDividend},
};

const Entry* EntryOf(std::string_view role) {
    for (const Entry& e : kEntries)
        if (role == e.role) return &e;
    return nullptr;
}

bool IsListRole(std::string_view role) {
    if (role == division::kActionListRole || role == role::kPointList || role == role::kRemainderPointList)
        return true;
    return std::find(division::kDigitListRoles.begin(), division::kDigitListRoles.end(), role) !=
           division::kDigitListRoles.end();
}

bool Shows(const Cell& cell) { return cell.visible && !cell.text.empty(); }

// The top of the last difference written (the remainder's row); the first
// difference's when none is.
int LastDifferenceTop(const Worksheet& sheet) {
    for (int row = 5; row >= 1; row -= 2) {
        const char* role = division::kRowRoles[static_cast<std::size_t>(row)];
        if (Shows(sheet.at(role))) return division::DivisionLayout(role, sheet.at(role), sheet).top;
    }
    const char* first = division::kRowRoles[1];
    return division::DivisionLayout(first, sheet.at(first), sheet).top;
}

// The column a right-aligned text's last character stands in, when its
// first character stands in `first`.
int LastColumnFrom(int first, std::size_t characters) {
    return std::max(1, first - static_cast<int>(characters) + 1);
}

// The dividend as shown: its own digits and the 0s written after it (the
// zeros' cell shows those), the 0 of its ones when it is below 1; its
// `column` the column of its last character. Returns its first column.
int ShowDividend(Worksheet& shown) {
    Cell& dividend = shown[division::kDividendRole];
    const Cell& zeros = shown.at(role::kDividendZeros);
    const int scaled_first = std::max(1, shown.at(division::kBracketRole).column);
    if (dividend.text.empty()) return scaled_first;
    int last = dividend.column >= 1 ? dividend.column : LastColumnFrom(scaled_first, dividend.text.size());
    // The 0s written stand in the zeros' widget; a dividend text that
    // carries them too shows its own digits only.
    if (Shows(zeros) && zeros.column >= 1) {
        const int zeros_first = zeros.column + static_cast<int>(zeros.text.size()) - 1;
        while (last <= zeros_first && !dividend.text.empty() && dividend.text.back() == '0') {
            dividend.text.pop_back();
            ++last;
        }
    }
    int first = last + static_cast<int>(dividend.text.size()) - 1;
    // A dividend below 1 ("0.8"): the 0 of its ones, left of its point.
    const Cell& point = shown.at(role::kDividendPoint);
    if (Shows(point) && point.column > first) {
        dividend.text.insert(0, static_cast<std::size_t>(point.column - first), '0');
        first = point.column;
    }
    dividend.column = last;
    return std::max(first, scaled_first);
}

// The rounded row as shown: its digits without "約" (its cell's `column`
// the column of its last character), and "約" left of its first character
// or of its ones 0.
void ShowRounded(Worksheet& shown) {
    Cell& rounded = shown[role::kRounded];
    const std::string about = "約";
    if (rounded.text.starts_with(about)) rounded.text.erase(0, about.size());
    const std::size_t first_digit = rounded.text.find_first_not_of(' ');
    Cell about_cell{.visible = false};
    if (rounded.visible && first_digit != std::string::npos) {
        // Its characters stand over the dividend's columns, the last in
        // column 1 unless the cell says where its first one stands.
        const int size = static_cast<int>(rounded.text.size());
        const int last = rounded.column >= 1 ? LastColumnFrom(rounded.column, rounded.text.size()) : 1;
        int leftmost = last + size - 1 - static_cast<int>(first_digit);
        rounded.column = last;
        const Cell& zero = shown.at(role::kRoundedOnesZero);
        if (Shows(zero)) leftmost = std::max(leftmost, zero.column);
        about_cell = {.text = about, .colour = rounded.colour, .column = leftmost};
    }
    shown[kRoundedAboutRole] = about_cell;
}

}  // namespace

Place DigitListPlace(int index) { return division::PlaceOfColumn(DigitListColumn(index)); }

int DigitListColumn(int index) { return kDigitLists - std::clamp(index, 0, kDigitLists - 1); }

std::string DecimalDivisionObjectName(std::string_view role) {
    if (const Entry* e = EntryOf(role)) return e->name;
    if (role == role::kPointList) return kPointListName;
    if (role == role::kRemainderPointList) return kRemainderPointListName;
    return division::DivisionObjectName(role);
}

Worksheet ShownCells(const Worksheet& cells) {
    Worksheet shown = cells;
    // A role the sheet has not written yet shows nothing (a sheet copied
    // over another leaves none of the other's standing).
    for (const char* role : {role::kDividendPoint, role::kDividendZeros, role::kQuotientPoint, role::kOnesZero,
                             role::kRemainderPoint, role::kRounded, role::kRoundedPoint, role::kRoundedOnesZero})
        if (!cells.has(role)) shown[role].visible = false;
    const int first = ShowDividend(shown);
    for (const char* role : {division::kDivisorRole, division::kBracketRole, division::kDividendLineRole})
        if (shown.at(role).column >= 1) shown[role].column = first;
    ShowRounded(shown);
    return shown;
}

SheetLayout DecimalDivisionLayout(SheetScreen screen) {
    return [screen](const std::string& role, const Cell& cell, const Worksheet& sheet) -> CellView {
        if (IsListRole(role)) return {};  // the view places and heads its lists
        const Entry* e = EntryOf(role);
        if (!e && role == division::kMarkerRole && cell.row < 0) {
            // Pointing at the rounded row, over the quotient's.
            CellView view = division::DivisionLayout(role, cell, sheet);
            view.top = kRoundedTop + (kRowHeight - view.height) / 2;
            return view;
        }
        if (!e) return division::DivisionLayout(role, cell, sheet);
        const std::string name = e->name;
        const int dividend_top = division::DivisionLayout(division::kDividendRole, cell, sheet).top;
        const int quotient_top =
            division::DivisionLayout(division::kQuotientRole, sheet.at(division::kQuotientRole), sheet).top;
        const int column = std::max(cell.column, 1);
        switch (e->kind) {
            case Kind::Dividend: {
                const int right = PointX(column);
                return {name, right - kWidestDividend * kColumnWidth, dividend_top, kWidestDividend * kColumnWidth,
                        kRowHeight};
            }
            case Kind::FollowsDividend: {
                CellView view = division::DivisionLayout(role, cell, sheet);
                view.object_name = name;
                return view;
            }
            case Kind::Zeros: {
                const int width = std::max<int>(1, static_cast<int>(cell.text.size())) * kColumnWidth;
                return {name, PointX(column) - width, dividend_top, width, kRowHeight};
            }
            case Kind::Point: {
                const int top = role == role::kDividendPoint ? dividend_top
                                : role == role::kRoundedPoint  ? kRoundedTop
                                                             : quotient_top;
                return {name, PointX(column) - kPointWidth / 2, top, kPointWidth, kRowHeight};
            }
            case Kind::RemainderPoint:
                return {name, PointX(column) - kPointWidth / 2, LastDifferenceTop(sheet), kPointWidth, kRowHeight};
            case Kind::Digit:
                return {name, ColumnLeft(column), role == role::kOnesZero ? quotient_top : kRoundedTop, kColumnWidth,
                        kRowHeight};
            case Kind::Rounded: {
                const int width = std::max<int>(1, static_cast<int>(cell.text.size())) * kColumnWidth;
                return {name, PointX(column) - width, kRoundedTop, width, kRowHeight};
            }
            case Kind::About:
                return {name, ColumnLeft(column) - kAboutWidth, kRoundedTop, kAboutWidth, kRowHeight};
            case Kind::Own:
                // The drill writes its own problem line and shows no mark.
                return screen == SheetScreen::Practice ? CellView{name} : CellView{};
        }
        return {};
    };
}

Worksheet DecimalDivisionShownSheet(const Worksheet& cells, SheetScreen screen) {
    return ShownSheet(ShownCells(cells), DecimalDivisionLayout(screen));
}

RoleCell DecimalDivisionShownCell(RoleCell cell) {
    cell.name = DecimalDivisionObjectName(cell.name);
    return cell;
}

QRect PaperRect(SheetScreen) { return {300, 134, 312, 426}; }

QRect ListPlace(const char* name, SheetScreen) {
    const std::string_view n = name;
    constexpr int kTop = 196;  // under the menu
    for (int i = 0; i < kDigitLists; ++i)
        if (n == kDigitListNames[i]) return {620 + i * 48, kTop, 46, 0};
    if (n == kActionListName) return {816, kTop, 132, 0};
    // Left of the paper, side by side.
    if (n == kPointListName) return {8, 142, 136, 0};
    if (n == kRemainderPointListName) return {150, 142, 142, 0};
    return {};
}

}  // namespace sorelka::decimal_division
