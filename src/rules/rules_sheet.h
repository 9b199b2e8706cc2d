#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/entry.h"
#include "core/worked_example.h"
#include "core/worksheet.h"

// The calculation-rules worksheet as paper: three column-calculation areas
// side by side, addition and subtraction on the left, multiplication in the
// middle, long division on the right, each cell named by its role. Where a
// cell stands is said in columns and rows, never in pixels.
namespace sorelka::rules {

// A cell of the worksheet by what it holds in the written calculation: the
// numbers, the sign and the result of the addition and subtraction area; of
// the multiplication area with its rows; and of the division area with its
// quotient digits and rows; the lines, the division bracket and the row
// markers; the problem and the mark of the screen the worksheet stands on.
struct RulesRole {
    enum class Part {
        AddSign, AddTop, AddBottom, AddResult,
        MulSign, MulTop, MulBottom, MulRow,            // rows 0..2: the two products and their sum
        DivDividend, DivDivisor, DivQuotient, DivRow,  // quotient: the digit from the left; rows 0..3
        AddLine, MulLine, MulSumLine, DivLine,         // DivLine 0 over the dividend, 1 and 2 under the products
        Bracket, MulMarker, DivMarker,
        Problem, Mark,
    };
    Part part = Part::AddResult;
    int index = 0;

    bool operator==(const RulesRole&) const = default;
};

// The worksheet's key of the cell holding `role` ("add result", "mul row 2",
// "quotient" for every digit of the quotient).
std::string RulesKey(RulesRole role);
// The role whose cell has the key `key` (the quotient's first digit for
// "quotient"); none for a key of no role.
std::optional<RulesRole> RulesRoleOfKey(const std::string& key);
// Every cell of the worksheet once, the quotient as its first digit.
const std::vector<RulesRole>& RulesCells();

// Where a role stands on the worksheet: its cell, and for a quotient digit
// which character of the quotient.
RoleCell RulesRoleCell(RulesRole role);
// Every role of the pupil's work in the order a calculation on the worksheet
// is read and written: the signs and numbers of the three areas, the result,
// the rows.
const std::vector<RulesRole>& RulesRolesInOrder();

// The cells of the three areas. A number's `column` is the digit column its
// last digit stands in, counted from the area's ones column (0): the product
// of the tens stands in column 1; a quotient's `column` is that of its first
// digit. A marker's `row` is the number N of the row "… row N" it points at,
// 0 for the quotient.
class RulesSheet {
public:
    // `with_mark`: the sheet shows the verdict's mark, which clearing the
    // areas empties.
    explicit RulesSheet(bool with_mark);

    Cell& operator[](RulesRole role) { return cells_[RulesKey(role)]; }
    const Cell& at(RulesRole role) const { return cells_.at(RulesKey(role)); }
    const Worksheet& cells() const { return cells_; }

    void Write(RulesRole role, int value, Rgb colour);
    // Sets up calculation `op` on `top` and `bottom` in its area, its row
    // marker on the first row.
    void ShowCalculation(int op, int top, int bottom);
    // A four-number problem's pending `first` result, with the second when
    // there is one, joined by `middle_op` in the addition area.
    void ShowPendingSum(int first, std::optional<int> second, int middle_op);
    // Empties all three areas (and the mark): navy numbers, no lines,
    // bracket or markers, the quotient and the first division row in the
    // ones column.
    void ClearAreas();
    // Empties the multiplication and division areas and the sum, keeping a
    // pending first result in the addition area.
    void ClearAllButPendingSum();
    void PointMarker(RulesRole::Part marker, int row) { (*this)[{marker}].row = row; }

    // The verdict the mark shows; none while it shows nothing.
    void ShowVerdict(Verdict verdict);
    const std::optional<Verdict>& verdict() const { return verdict_; }

private:
    // No text, in navy.
    void Blank(RulesRole role);
    void HideLinesAndPictures(bool with_addition);

    Worksheet cells_;
    bool with_mark_;
    std::optional<Verdict> verdict_;
};

}  // namespace sorelka::rules
