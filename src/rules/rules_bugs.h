#pragma once

#include <vector>

#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"
#include "rules/rules_diagnosis.h"

// A pupil who works expressions on the calculation-rules worksheet by the
// column method, right or with one chosen mistake (the buggy procedures
// whose mistakes the diagnosis names), and what they enter. The worked
// examples replay them; the diagnosis tests and benchmarks use them too.
namespace sorelka::rules {

// What a pupil enters: a number into the four digit lists (highest place
// first), one digit into one list, " 確定", "終わり", or a calculation in the
// operation list (box problems).
struct RulesInput {
    enum class What { Number, Digit, Confirm, Finish, Operation };
    What what = What::Number;
    int value = 0;               // the number, the digit, or the operation (kAdd … kDivide)
    Place place = Place::Ones;  // Digit: Thousands … Ones

    static RulesInput Number(int value) { return {What::Number, value}; }
    static RulesInput Digit(Place place, int digit) { return {What::Digit, digit, place}; }
    static RulesInput Confirm() { return {What::Confirm}; }
    static RulesInput Finish() { return {What::Finish}; }
    static RulesInput Operation(int op) { return {What::Operation, op}; }
    bool operator==(const RulesInput&) const = default;
};
using RulesInputs = std::vector<RulesInput>;

// Enters a number into the four digit lists, highest place first (any model
// with ChooseDigit: the worksheet, the practice or the drill).
template <typename Model>
void EnterNumber(Model& model, int value) {
    bool started = false;
    int scale = 1000;
    for (Place place : {Place::Thousands, Place::Hundreds, Place::Tens, Place::Ones}) {
        const int digit = value / scale % 10;
        scale /= 10;
        if (digit != 0 || started || place == Place::Ones) {
            model.ChooseDigit(place, digit);
            started = true;
        }
    }
}

void Feed(CalculationSteps& steps, const RulesInput& input);

enum class RulesBug {
    None, FirstResult, LastResult, BoxOwnOperation,
    DivisionTooBig, DivisionTooSmall, DivisionProduct, DivisionDifference,
    MultiplicationProduct, MultiplicationShift,
};

struct RulesBugCase {
    RulesBug bug;
    const char* name;
    const char* kind;   // what the diagnosis names
    const char* inner;  // the kind it names inside the calculation, if any
};
inline constexpr RulesBugCase kRulesBugs[] = {
    {RulesBug::FirstResult, "first result off by one", kStepSlip, ""},
    {RulesBug::LastResult, "last + or - off by one", kStepSlip, ""},
    {RulesBug::BoxOwnOperation, "box: the problem's operation", kInverseOperation, ""},
    {RulesBug::DivisionTooBig, "division: digit too big", kStepSlip, "quotient_too_big"},
    {RulesBug::DivisionTooSmall, "division: digit too small", kStepSlip, "quotient_too_small"},
    {RulesBug::DivisionProduct, "division: product off by one", kStepSlip, "product_slip"},
    {RulesBug::DivisionDifference, "division: difference off by 1", kStepSlip, "difference_slip"},
    {RulesBug::MultiplicationProduct, "x: partial product off by 1", kStepSlip, "product_slip"},
    {RulesBug::MultiplicationShift, "x: rows added unshifted", kStepSlip, "shift_missing"},
};

// Whether the mistake can happen in `p` at all (the pupil still skips a digit
// that cannot be made larger or smaller).
bool HasPlace(RulesBug bug, const ExpressionProblem& p);

// A pupil who works every calculation by the column method, making the one
// mistake `bug`; `round` (0 or 1) picks the row pair it happens in. What they
// enter is kept in inputs().
class RulesPupil {
public:
    RulesPupil(CalculationSteps& steps, RulesBug bug, int round) : steps_(steps), bug_(bug), round_(round) {}

    // Works `p` to the end; false when the mistake has no place in it.
    bool Work(const ExpressionProblem& p);
    const RulesInputs& inputs() const { return inputs_; }

private:
    int Read(RulesRole::Part part) const;
    void Enter(const RulesInput& input);
    void Number(int v);
    bool Here(RulesBug bug, bool where);
    void Calculation(int op, bool first, bool last);
    void Multiplication(int top, int bottom, bool first, bool last);
    void Division(int dividend, int divisor, bool first, bool last);

    CalculationSteps& steps_;
    RulesBug bug_;
    int round_;
    bool applied_ = false;
    RulesInputs inputs_;
};

// The problem as drawn: a box problem's numbers in the order its calculation
// starts from, whatever a choice of calculation on the pupil's worksheet
// (whose problem the caller may pass) did to them.
ExpressionProblem ProblemAsDrawn(ExpressionProblem p);

// A pupil's work on a fresh worksheet of its own, out of sight: what they
// entered and the worksheet they left.
struct RulesPupilWork {
    bool applied = false;  // the mistake had a place
    RulesInputs inputs;
    Worksheet end;
};
RulesPupilWork WorkRulesAs(const ExpressionProblem& problem, RulesBug bug, int round);

}  // namespace sorelka::rules
