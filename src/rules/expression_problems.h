#pragma once

#include <string>

#include "core/services.h"

// Expressions for the rules of calculation: parentheses first, × and ÷ before
// + and −, otherwise left to right; and the "□" problems solved by the inverse
// calculation. Each generator draws a family, then operands until the family's
// acceptance rule holds, so every column calculation the pupil must do fits the
// worksheet (exact quotients of 2..99, positive differences, results below
// 10000, divisors and smaller factors of at most two digits).
namespace sorelka::rules {

// The four items of the screens' menu list, counted from 1 as menu_choice is.
inline constexpr int kParenthesesMenu = 1;  // "（　）のある計算"
inline constexpr int kMixedMenu = 2;        // "＋－×÷のある計算"
inline constexpr int kTimesDividesMenu = 3; // "×÷のある計算"
inline constexpr int kBoxMenu = 4;          // "□を求める計算"

// The practice screen's draws, or the drill screen's (which differ in menu 1
// families 7 and 9 and menu 2 family 1).
enum class Variant { Practice, Drill };

// Operation codes used by kind codes and by the worksheet.
inline constexpr int kAdd = 1;
inline constexpr int kSubtract = 2;
inline constexpr int kMultiply = 3;
inline constexpr int kDivide = 4;

struct ExpressionProblem {
    int menu = 0;           // the generator that drew it (1..4); 0 before any problem
    int family_number = 0;  // 1..15, 1..12, 1..2 or 1..4
    // The operators from left to right, one decimal digit each (1 +, 2 −, 3 ×,
    // 4 ÷); the one worked first in a parenthesis (menu 1) or on the left
    // (menu 3) gets 5 added. Codes from 100 are the four-number problems.
    // A box problem leaves the previous problem's code in place.
    int kind_code = 0;
    int operand_a = 0;
    int operand_b = 0;
    int operand_c = 0;
    int operand_d = 0;
    int expected_answer = 0;  // the value of the expression, or of the box
    // The two numbers of the current column calculation; the generator sets
    // them for box problems only.
    int top_operand = 0;
    int bottom_operand = 0;
    std::string problem_text;
    // True when no draw passed the family's rule within its limit, so the
    // fixed fallback operands (or the last draw) stand.
    bool fell_back = false;

    bool IsBoxProblem() const { return menu == kBoxMenu; }
    bool IsFourNumberProblem() const { return menu != kBoxMenu && kind_code >= 100; }
};

// Operand shapes. TensOnes(n): 11 .. 10n + 8 with a ones digit of 1..8.
int TensOnes(RandomSource& random, int n);
// 1..488 with a ones digit of 1..8.
int SmallOnes(RandomSource& random);
// 2..78 with a ones digit of 2..8.
int ShortDivisor(RandomSource& random);

// The whole-number result of x op y (÷ truncates; a division by 0 gives 0),
// in the width of its operands: long long for numbers read from worked rows,
// which no pupil's digits can overflow.
template <class Number>
constexpr Number Apply(int op, Number x, Number y) {
    switch (op) {
        case kAdd: return x + y;
        case kSubtract: return x - y;
        case kMultiply: return x * y;
        case kDivide: return y == 0 ? 0 : x / y;
        default: return 0;
    }
}

// The order in which a kind code's column calculations are worked.
struct CalculationOrder {
    int first_op = 0;
    int second_op = 0;
    int middle_op = 0;  // four-number problems: joins the first two results
    // The first calculation works on (a, b) when true, on (b, c) otherwise;
    // four-number problems always work (a, b), then (c, d).
    bool first_on_left = true;
    // Three-number problems: the second calculation is (a, first result) when
    // true, (first result, c) otherwise.
    bool second_takes_a = false;
    bool four_numbers = false;
};
CalculationOrder OrderOf(int kind_code);

// The value of an expression of menus 1 to 3 worked in the order above.
int Evaluate(int kind_code, int a, int b, int c, int d);

// Each generator re-seeds the source, draws a family and its operands, and
// fills `problem` with the family, operands, answer and text.
void GenerateParenthesesProblem(RandomSource& random, ExpressionProblem& problem,
                                Variant variant = Variant::Practice);
void GenerateMixedProblem(RandomSource& random, ExpressionProblem& problem,
                          Variant variant = Variant::Practice);
void GenerateTimesDividesProblem(RandomSource& random, ExpressionProblem& problem);
void GenerateBoxProblem(RandomSource& random, ExpressionProblem& problem);

// The families of a menu, counted from 1: how many there are, and the kind
// code each gives its problems (0 for box problems, which keep the previous
// code, and for a family a menu does not have).
int FamilyCount(int menu);
int FamilyKindCode(int menu, int family);

// The rule the operands of `problem` must pass in its menu's family
// (problem.menu, problem.family_number); the generators redraw until it holds
// or their limit is reached.
bool FamilyAccepts(const ExpressionProblem& problem, Variant variant = Variant::Practice);

// Draws the operands of the family `problem.menu` and `problem.family_number`
// name, without re-seeding, and fills answer, text, kind code and fell_back
// as the generators do (they draw the family, then call this).
void DrawFamily(RandomSource& random, ExpressionProblem& problem, Variant variant = Variant::Practice);

// The problem of a menu's family with the given operands, its answer and
// text as the generators fill them ("□ op a = b" for box problems, whose
// kind code is left 0).
ExpressionProblem MakeProblem(int menu, int family, int a, int b, int c = 0, int d = 0);

// The generator `menu_choice` selects. A value outside 1..4 draws nothing,
// leaves `problem` as it was and returns false.
bool GenerateProblem(int menu_choice, RandomSource& random, ExpressionProblem& problem,
                     Variant variant = Variant::Practice);

// The problem text with the correct answer written in: "… = ?" becomes
// "… = 12"; "□ + 23 = 58" becomes "[35] + 23 = 58".
std::string CompletedProblemText(const ExpressionProblem& problem);

// The problem text as a drill log row holds it: without the trailing " ?"
// for menus 1 to 3 (so it ends with "="), the whole text for box problems.
std::string ProblemTextForLog(const ExpressionProblem& problem);

}  // namespace sorelka::rules
