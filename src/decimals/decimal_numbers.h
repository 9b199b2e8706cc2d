#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "core/entry.h"
#include "core/services.h"

// Decimal numbers of the addition and subtraction worksheets: scaled integers
// (a count of units of 10^-p, so 3.05 with p = 2 is 305), how they are drawn,
// written and placed so that their decimal points stand in one column, and how
// the answer is read back from the digit columns.
namespace sorelka::decimals {

enum class Operation { Addition, Subtraction };

// A menu choice that names a number of decimal places (1, 2 or 3).
constexpr bool IsDecimalPlaces(int places) { return places >= 1 && places <= 3; }

struct DecimalProblem {
    int places = 0;        // p; 0 while no problem has been drawn
    int problem_kind = 0;  // which operand ranges were used (1..4); 0 when p = 3 (one range)
    int first_operand = 0;
    int second_operand = 0;
    int correct_result = 0;
};

// How many pairs a condition is tried on before the last pair stands.
inline constexpr int kPairAttempts = 100;

// The operand ranges of a kind of pair: Random(range) + 1, so 98 gives 1..98,
// 998 gives 1..998 and 9998 gives 1..9998; an addition's sum must stay below
// `sum_limit` (0: no bound).
struct PairKind {
    int first_range = 0;
    int second_range = 0;
    int sum_limit = 0;
};

// The kinds a menu item (a number of decimal places) draws, indexed by
// problem_kind − 1 (the three-place items have one kind, problem_kind 0);
// empty for a number of places outside 1..3.
std::span<const PairKind> PairKinds(Operation operation, int places);

// The conditions each drawn pair must meet: an addition's last digits are not
// both 0 and its sum stays below the kind's limit; a subtraction's first
// number is the larger and the last digits differ.
bool AdditionPairFits(int first, int second, int sum_limit);
bool SubtractionPairFits(int first, int second);

// True when `problem` is one the menu item of its places draws: a kind of the
// item (its own, when problem_kind is set) holds both operands, the pair meets
// the condition, and the result is the sum or difference.
bool FitsMenuItem(Operation operation, const DecimalProblem& problem);

// Both draws re-seed the generator first. A `places` outside 1..3 draws nothing
// and gives a problem with places 0.
DecimalProblem DrawAddition(RandomSource& random, int places);
DecimalProblem DrawSubtraction(RandomSource& random, int places);
DecimalProblem DrawProblem(Operation operation, RandomSource& random, int places);

struct DecimalText {
    std::string text;
    int trailing_zeros = 0;  // decimal places removed because they were 0
    bool operator==(const DecimalText&) const = default;
};

// Writes a scaled number with at least one digit before the point, dropping
// trailing zeros of the decimal part (and the point when all of it is 0):
// (5, 1) -> "0.5", (30, 1) -> "3" with 1 zero removed, (120, 3) -> "0.12".
// A negative value is written as "-" and the text of its magnitude.
DecimalText FormatDecimal(int value, int places);

// The answer columns, left to right.
enum class Column { Tens = 0, Ones, Tenths, Hundredths, Thousandths };
inline constexpr int kColumnCount = 5;
using AnswerDigits = std::array<int, kColumnCount>;

// True when the column has a digit list for p decimal places.
constexpr bool ColumnShown(Column column, int places) {
    return column <= Column::Tenths || (column == Column::Hundredths && places >= 2) ||
           (column == Column::Thousandths && places >= 3);
}

// The pupil's answer as a scaled number; digits of hidden columns do not count.
int ReadAnswer(const AnswerDigits& digits, int places);

// The answer of a worked example while its columns are worked from the
// right: the digits of the worked columns (`worked`: bit c for Column c)
// after the point, a blank for a decimal column not yet worked, so that every
// digit stands in its column and no 0 shows where nothing was worked yet:
// thousandths 7 of p 3 -> ".  7", then hundredths 3 -> ". 37", tenths 0 and
// ones 6 -> "6.037".
std::string WorkedColumnsText(const AnswerDigits& digits, unsigned worked, int places);

// Decimal places a number's text shows: (305, 2) -> 2, (30, 1) -> 0.
int WrittenDecimals(int value, int places);
// The zeros a number written with `written` decimal places is read with to
// have `decimals` of them, as written after its text: (0, 2) -> ".00" (5 read
// as 5.00), (1, 2) -> "0" (3.4 read as 3.40); empty when none is needed.
std::string ImpliedZeros(int written, int decimals);

// The answer while it is being built, after a choice in `changed`: all p
// decimals stay, and zeros are put in front by the rule of the changed list
// (on subtraction sheets the ones list writes at least one digit before the
// point). (5, Hundredths, p 2) -> ".05"; (35, Ones, p 2) -> ".35" when adding,
// "0.35" when subtracting.
std::string RunningAnswerText(Operation operation, Column changed, int value, int places);

// The answer is right exactly when it equals the correct result.
constexpr bool IsRightAnswer(int entered, int correct) { return entered == correct; }

// "+" or "-", as written left of the lower number.
std::string OperatorSign(Operation operation);
// The problem as one line: "2.35 + 1.4 = ?" while open ("= " + result once judged).
std::string EquationText(Operation operation, const std::string& first, const std::string& second,
                         const std::string& result);
// The problem as logged by the drills: " 2 ＋ 3.5" or " 5.2 - 4.9".
std::string LogProblemText(Operation operation, const std::string& first,
                           const std::string& second);

// Columns from the decimal point (-2 the tens, -1 the ones, 1 the tenths …),
// as a number's digits are counted from its point.
constexpr int FromPoint(Column column) {
    constexpr int kFromPoint[kColumnCount] = {-2, -1, 1, 2, 3};
    return kFromPoint[static_cast<int>(column)];
}
// Columns from the right of a calculation with p decimal places: 0 the last
// decimal place, p the ones, p + 1 the tens.
constexpr int ColumnFromRight(Column column, int places) { return 1 + places - static_cast<int>(column); }
constexpr Column ColumnAt(int from_right, int places) { return static_cast<Column>(1 + places - from_right); }

// The column of a digit place; none for the places the sheets have no column for.
std::optional<Column> ColumnOf(Place place);
// "Tens", "Ones", "Tenths", "Hundredths", "Thousandths".
const char* ColumnWord(Column column);

}  // namespace sorelka::decimals
