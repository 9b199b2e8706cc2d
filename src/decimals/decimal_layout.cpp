#include "decimals/decimal_layout.h"

#include <map>

namespace sorelka::decimals {

namespace {

constexpr int kOperandLeft = 392;  // a number that keeps all p decimals
constexpr int kAnswerLeft = 362;   // the answer written with all p decimals
constexpr int kFiguresRight = 522; // where the numbers' last columns end
constexpr int kDigitWidth = 30;
constexpr int kPointWidth = 8;
constexpr int kNumberWidth = 130;
constexpr int kAnswerWidth = 160;
constexpr int kRowHeight = 40;
constexpr int kUpperTop = 232;
constexpr int kLowerTop = 272;
constexpr int kAnswerTop = 324;
constexpr int kMarkTop = 206;    // the small figures, above the upper number
constexpr int kMarkHeight = 26;
constexpr int kStrikeTop = 238;  // the stroke, across the upper number's digit
constexpr int kStrikeHeight = 30;
constexpr int kActionListLeft = 864;

int ListsTop(const SheetPlace& place) { return place.screen == SheetScreen::Practice ? 224 : 272; }

// Left of a number whose text lost `trailing_zeros` places, by p (rows) and
// the zeros lost (columns); all p decimals kept: kOperandLeft, kAnswerLeft.
int OperandLeft(int places, int trailing_zeros) {
    static constexpr int kTable[3][3] = {{354, 392, 392}, {362, 324, 392}, {362, 332, 292}};
    if (!IsDecimalPlaces(places) || trailing_zeros < 1 || trailing_zeros > places) return kOperandLeft;
    return kTable[places - 1][trailing_zeros - 1];
}
int FinishedAnswerLeft(int places, int trailing_zeros) {
    static constexpr int kTable[3][3] = {{326, 362, 362}, {332, 294, 362}, {332, 302, 264}};
    if (!IsDecimalPlaces(places) || trailing_zeros < 1 || trailing_zeros > places) return kAnswerLeft;
    return kTable[places - 1][trailing_zeros - 1];
}

// Left edges of the lists' columns for p places, tens first, then the
// point's column; -1 = the column has no list.
struct ListColumns {
    int lefts[kColumnCount] = {-1, -1, -1, -1, -1};
    int point = -1;
};
ListColumns ListsFor(int places) {
    switch (places) {
        case 1: return {{768, 792, 840, -1, -1}, 816};
        case 2: return {{744, 768, 816, 840, -1}, 792};
        case 3: return {{720, 744, 792, 816, 840}, 768};
        default: return {};
    }
}

// Left of the digit `from_point` columns from the decimal point (FromPoint)
// in the rows of the numbers with p decimal places.
int FigureColumnLeft(int places, int from_point) {
    const int point_right = kFiguresRight - places * kDigitWidth;
    return from_point < 0 ? point_right - kPointWidth + from_point * kDigitWidth
                          : point_right + (from_point - 1) * kDigitWidth;
}

enum class Kind { Upper, Lower, Operator, Line, Paper, Answer, Point, ActionList, List, Mark, Strike, Zeros, Own };

struct Entry {
    Kind kind;
    std::string name;  // the object name; the operator's depends on the screen
    Column column = Column::Ones;
    int top = -1;      // of the zeros
};

const std::map<std::string, Entry, std::less<>>& Entries() {
    static const auto kEntries = [] {
        std::map<std::string, Entry, std::less<>> entries = {
            {role::kUpper, {Kind::Upper, "Label5"}},
            {role::kLower, {Kind::Lower, "Label6"}},
            {role::kAnswer, {Kind::Answer, "Label7"}},
            {role::kOperator, {Kind::Operator, ""}},
            {role::kLine, {Kind::Line, "Shape1"}},
            {role::kPaper, {Kind::Paper, "Paper1"}},
            {role::kPoint, {Kind::Point, "Label11"}},
            {role::kActionList, {Kind::ActionList, "ComboBox7"}},
            {role::kUpperZeros, {Kind::Zeros, "UpperZeros", Column::Ones, kUpperTop}},
            {role::kLowerZeros, {Kind::Zeros, "LowerZeros", Column::Ones, kLowerTop}},
            {role::kPrompt, {Kind::Own, "Label2"}},
            {role::kVerdict, {Kind::Own, "Label3"}},
            {role::kEquation, {Kind::Own, "Label4"}},
        };
        static constexpr const char* kLists[kColumnCount] = {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3",
                                                             "ComboBox2"};
        for (int c = 0; c < kColumnCount; ++c) {
            const auto column = static_cast<Column>(c);
            const std::string word = ColumnWord(column);
            entries[ListRole(column)] = {Kind::List, kLists[c], column};
            entries[MarkRole(Operation::Addition, column)] = {Kind::Mark, "Carry" + word, column};
            entries[MarkRole(Operation::Subtraction, column)] = {Kind::Mark, "Borrow" + word, column};
            entries[StrikeRole(column)] = {Kind::Strike, "Strike" + word, column};
        }
        return entries;
    }();
    return kEntries;
}

}  // namespace

const char* DecimalFormName(Operation operation, SheetScreen screen) {
    const bool adds = operation == Operation::Addition;
    if (screen == SheetScreen::Practice) return adds ? "TForm4" : "TForm6";
    return adds ? "TForm5" : "TForm7";
}

std::string DecimalObjectName(const std::string& role, const SheetPlace& place) {
    const auto found = Entries().find(role);
    if (found == Entries().end()) return {};
    if (found->second.kind == Kind::Operator) return place.screen == SheetScreen::Practice ? "Label8" : "Label4";
    return found->second.name;
}

SheetLayout DecimalLayout(const SheetPlace& place) {
    return [place](const std::string& role, const Cell& cell, const Worksheet& sheet) -> CellView {
        const auto found = Entries().find(role);
        if (found == Entries().end()) return {};
        const Entry& entry = found->second;
        const std::string name = DecimalObjectName(role, place);
        // The columns are laid out for the p the point stands after.
        const int p = sheet.at(role::kPoint).column;
        const bool laid_out = IsDecimalPlaces(p);
        const int lists_top = ListsTop(place);
        switch (entry.kind) {
            case Kind::Upper: return {name, OperandLeft(p, cell.column), kUpperTop, kNumberWidth, kRowHeight};
            case Kind::Lower: return {name, OperandLeft(p, cell.column), kLowerTop, kNumberWidth, kRowHeight};
            case Kind::Answer:
                return {name, FinishedAnswerLeft(p, cell.column), kAnswerTop, kAnswerWidth, kRowHeight};
            case Kind::Operator: return {name, 344, kLowerTop, 40, kRowHeight};
            case Kind::Line: return {name, 336, 316, 193, 2};
            case Kind::Point: return {name, ListsFor(p).point, lists_top, kPointColumnWidth};
            case Kind::List: return {name, ListsFor(p).lefts[static_cast<int>(entry.column)], lists_top};
            case Kind::ActionList: return {name, kActionListLeft, lists_top};
            case Kind::Mark:
            case Kind::Strike: {
                const int left = laid_out ? FigureColumnLeft(p, FromPoint(entry.column)) : -1;
                if (entry.kind == Kind::Mark) return {name, left, kMarkTop, kDigitWidth, kMarkHeight};
                return {name, left, kStrikeTop, kDigitWidth, kStrikeHeight};
            }
            case Kind::Zeros: {
                // Ending in the column of the last decimal place they write.
                const int left = cell.column < 0 ? -1
                                                 : kFiguresRight - (cell.column + 1) * kDigitWidth + kDigitWidth -
                                                       kNumberWidth;
                return {name, left, entry.top, kNumberWidth, kRowHeight};
            }
            case Kind::Paper:
            case Kind::Own: break;
        }
        return {name};
    };
}

QRect PaperRect() { return {298, 204, 268, 184}; }

QPoint ListPlace(Column column, const SheetPlace& place) {
    return {ListsFor(3).lefts[static_cast<int>(column)], ListsTop(place)};
}
QPoint PointPlace(const SheetPlace& place) { return {ListsFor(3).point, ListsTop(place)}; }
QPoint ActionListPlace(const SheetPlace& place) { return {kActionListLeft, ListsTop(place)}; }

std::optional<Action> ActionAt(int index) {
    if (index == 0) return Action::Finish;
    return std::nullopt;
}

}  // namespace sorelka::decimals
