#pragma once

#include <algorithm>
#include <string>

#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"

// A pupil who works expressions on the calculation-rules worksheet by the
// column method, with one chosen mistake. Shared by the diagnosis tests and
// benchmarks.
namespace sorelka::testing::rules_pupil {

using namespace sorelka::rules;

// Enters a number into the four digit lists, highest place first.
template <typename Model>
inline void EnterNumber(Model& model, int value) {
    bool started = false;
    for (int place = 3, scale = 1000; place >= 0; --place, scale /= 10) {
        const int digit = value / scale % 10;
        if (digit != 0 || started || place == 0) {
            model.EnterDigit(place, digit);
            started = true;
        }
    }
}

struct Hooks final : StepHooks {
    const CalculationSteps* steps = nullptr;
    bool right = false;
    int expected = 0;
    void ShowStepPrompt(int) override {}
    void JudgeAnswer() override { right = steps->state().second_result == expected; }
    void ShowPrompt(const std::string&) override {}
    void ShowEntryLists(bool) override {}
};

enum class Bug {
    None, FirstResult, LastResult, BoxOwnOperation,
    DivisionTooBig, DivisionTooSmall, DivisionProduct, DivisionDifference,
    MultiplicationProduct, MultiplicationShift,
};

// A pupil who works every calculation by the column method, making the one
// mistake `bug`; `round` (0 or 1) picks the row pair it happens in.
class Pupil {
public:
    Pupil(CalculationSteps& steps, Bug bug, int round) : steps_(steps), bug_(bug), round_(round) {}

    // Works `p` to the end; false when the mistake has no place in it.
    bool Work(const ExpressionProblem& p) {
        steps_.StartProblem(p);
        if (p.IsBoxProblem()) {
            const int op = p.family_number;
            const int inverse = op == kAdd ? kSubtract : op == kSubtract ? kAdd : op == kMultiply ? kDivide : kMultiply;
            const bool own = bug_ == Bug::BoxOwnOperation;
            applied_ |= own;
            steps_.ChooseOperation((own ? op : inverse) - 1);
            Calculation(own ? op : inverse, true, true);
        } else {
            const int calculations = p.IsFourNumberProblem() ? 3 : 2;
            for (int calc = 1; calc <= calculations; ++calc)
                Calculation(steps_.state().current_op, calc == 1, calc == calculations);
        }
        return applied_ || bug_ == Bug::None;
    }

private:
    int Cell(const char* name) const {
        const std::string& t = steps_.worksheet().at(name).text;
        return t.empty() ? 0 : std::stoi(t);
    }
    void Number(int v) { EnterNumber(steps_, std::min(std::max(v, 0), 9999)); }
    void Confirm() { steps_.ChooseAction(kConfirmAction); }
    void Finish() { steps_.ChooseAction(kFinishAction); }
    bool Here(Bug bug, bool where) {
        const bool here = bug_ == bug && where;
        applied_ |= here;
        return here;
    }
    static int OffByOne(int v) { return v > 0 ? v - 1 : v + 1; }

    void Calculation(int op, bool first, bool last) {
        if (op == kMultiply) return Multiplication(Cell("Label8"), Cell("Label9"), first, last);
        if (op == kDivide) return Division(Cell("Label14"), Cell("Label15"), first, last);
        int result = Apply(op, Cell("Label4"), Cell("Label5"));
        if (Here(Bug::FirstResult, first && !last) || Here(Bug::LastResult, last && !first))
            result = OffByOne(result);
        Number(result);
        Finish();
    }

    void Multiplication(int top, int bottom, bool first, bool last) {
        const bool wrong_result = Here(Bug::FirstResult, first && !last);
        int row1 = top * (bottom % 10);
        if (Here(Bug::MultiplicationProduct, last && (round_ == 0 || bottom < 10))) row1 = OffByOne(row1);
        if (bottom < 10) {
            Number(wrong_result ? OffByOne(row1) : row1);
            return Finish();
        }
        Number(row1);
        Confirm();
        int row2 = top * (bottom / 10);
        if (Here(Bug::MultiplicationProduct, last && round_ == 1)) row2 = OffByOne(row2);
        Number(row2);
        Confirm();
        int sum = Here(Bug::MultiplicationShift, last) ? row1 + row2 : row1 + 10 * row2;
        Number(wrong_result ? OffByOne(sum) : sum);
        Finish();
    }

    void Division(int dividend, int divisor, bool first, bool last) {
        const std::string s = std::to_string(dividend);
        std::size_t pos = 0;
        int part = 0;
        while (pos < s.size() && part < divisor) part = part * 10 + (s[pos++] - '0');
        const bool two_digits = pos < s.size();
        for (int round = 0; round < (two_digits ? 2 : 1); ++round) {
            const bool bug_here = last && round == round_;
            int q = std::min(part / divisor, 9);
            if (Here(Bug::DivisionTooBig, bug_here && q < 9)) ++q;
            if (Here(Bug::DivisionTooSmall, bug_here && q > 1)) --q;
            if (Here(Bug::FirstResult, first && !last && round == (two_digits ? 1 : 0))) q = q < 9 ? q + 1 : q - 1;
            steps_.EnterDigit(round == 0 && two_digits ? 1 : 0, q);
            Confirm();
            int product = q * divisor;
            if (Here(Bug::DivisionProduct, bug_here)) product = OffByOne(product);
            Number(product);
            Confirm();
            int diff = part - product;
            if (diff < 0) {  // the product was larger: the pupil stops there
                Number(-diff);
                return Finish();
            }
            if (Here(Bug::DivisionDifference, bug_here)) diff = OffByOne(diff);
            part = pos < s.size() ? diff * 10 + (s[pos++] - '0') : diff;
            Number(part);
            if (round == 0 && two_digits) Confirm();
        }
        Finish();
    }

    CalculationSteps& steps_;
    Bug bug_;
    int round_;
    bool applied_ = false;
};

struct BugCase {
    Bug bug;
    const char* name;
    const char* inner;  // the kind named inside the calculation, if any
};
inline const BugCase kBugs[] = {
    {Bug::FirstResult, "first result off by one", ""},
    {Bug::LastResult, "last + or - off by one", ""},
    {Bug::BoxOwnOperation, "box: the problem's operation", ""},
    {Bug::DivisionTooBig, "division: digit too big", "quotient_too_big"},
    {Bug::DivisionTooSmall, "division: digit too small", "quotient_too_small"},
    {Bug::DivisionProduct, "division: product off by one", "product_slip"},
    {Bug::DivisionDifference, "division: difference off by 1", "difference_slip"},
    {Bug::MultiplicationProduct, "x: partial product off by 1", "product_slip"},
    {Bug::MultiplicationShift, "x: rows added unshifted", "shift_missing"},
};

// Whether the mistake can happen in `p` at all (the pupil still skips a digit
// that cannot be made larger or smaller).
inline bool HasPlace(Bug bug, const ExpressionProblem& p) {
    const CalculationOrder order = OrderOf(p.kind_code);
    const int last_op = p.IsBoxProblem() ? (p.family_number == kMultiply ? kDivide
                                            : p.family_number == kDivide ? kMultiply : 0)
                        : order.four_numbers ? order.middle_op : order.second_op;
    switch (bug) {
        case Bug::None: return true;
        case Bug::FirstResult: return !p.IsBoxProblem();
        case Bug::LastResult: return !p.IsBoxProblem() && last_op <= kSubtract;
        case Bug::BoxOwnOperation: return p.IsBoxProblem();
        case Bug::MultiplicationProduct:
        case Bug::MultiplicationShift: return last_op == kMultiply;
        default: return last_op == kDivide;
    }
}

}  // namespace sorelka::testing::rules_pupil
