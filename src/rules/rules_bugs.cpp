#include "rules/rules_bugs.h"

#include <algorithm>
#include <string>

#include "core/quiet_services.h"

namespace sorelka::rules {

namespace {

int OffByOne(int v) { return v > 0 ? v - 1 : v + 1; }

// Hooks of a worksheet worked out of the pupil's sight: nothing is shown.
struct QuietHooks final : StepHooks {
    void ShowStepPrompt(int) override {}
    void JudgeAnswer() override {}
    void ShowPrompt(const std::string&) override {}
    void ShowEntryLists(bool) override {}
};

int Inverse(int op) {
    return op == kAdd ? kSubtract : op == kSubtract ? kAdd : op == kMultiply ? kDivide : kMultiply;
}

}  // namespace

void Feed(CalculationSteps& steps, const RulesInput& input) {
    switch (input.what) {
        case RulesInput::What::Number: EnterNumber(steps, input.value); break;
        case RulesInput::What::Digit: steps.ChooseDigit(input.place, input.value); break;
        case RulesInput::What::Confirm: steps.ApplyAction(Action::Confirm); break;
        case RulesInput::What::Finish: steps.ApplyAction(Action::Finish); break;
        case RulesInput::What::Operation: steps.ChooseOperation(input.value); break;
    }
}

bool HasPlace(RulesBug bug, const ExpressionProblem& p) {
    const CalculationOrder order = OrderOf(p.kind_code);
    const int last_op = p.IsBoxProblem() ? (p.family_number == kMultiply ? kDivide
                                            : p.family_number == kDivide ? kMultiply : 0)
                        : order.four_numbers ? order.middle_op : order.second_op;
    switch (bug) {
        case RulesBug::None: return true;
        case RulesBug::FirstResult: return !p.IsBoxProblem();
        case RulesBug::LastResult: return !p.IsBoxProblem() && last_op <= kSubtract;
        case RulesBug::BoxOwnOperation: return p.IsBoxProblem();
        case RulesBug::MultiplicationProduct:
        case RulesBug::MultiplicationShift: return last_op == kMultiply;
        default: return last_op == kDivide;
    }
}

bool RulesPupil::Work(const ExpressionProblem& p) {
    steps_.StartProblem(p);
    if (p.IsBoxProblem()) {
        const int op = p.family_number;
        const bool own = bug_ == RulesBug::BoxOwnOperation;
        applied_ |= own;
        Enter(RulesInput::Operation(own ? op : Inverse(op)));
        Calculation(own ? op : Inverse(op), true, true);
    } else {
        const int calculations = p.IsFourNumberProblem() ? 3 : 2;
        for (int calc = 1; calc <= calculations; ++calc)
            Calculation(steps_.state().current_op, calc == 1, calc == calculations);
    }
    return applied_ || bug_ == RulesBug::None;
}

int RulesPupil::Read(RulesRole::Part part) const {
    const std::string& t = steps_.sheet().at({part}).text;
    return t.empty() ? 0 : std::stoi(t);
}

void RulesPupil::Enter(const RulesInput& input) {
    inputs_.push_back(input);
    Feed(steps_, input);
}

void RulesPupil::Number(int v) { Enter(RulesInput::Number(std::min(std::max(v, 0), 9999))); }

bool RulesPupil::Here(RulesBug bug, bool where) {
    const bool here = bug_ == bug && where;
    applied_ |= here;
    return here;
}

void RulesPupil::Calculation(int op, bool first, bool last) {
    using Part = RulesRole::Part;
    if (op == kMultiply) return Multiplication(Read(Part::MulTop), Read(Part::MulBottom), first, last);
    if (op == kDivide) return Division(Read(Part::DivDividend), Read(Part::DivDivisor), first, last);
    int result = Apply(op, Read(Part::AddTop), Read(Part::AddBottom));
    if (Here(RulesBug::FirstResult, first && !last) || Here(RulesBug::LastResult, last && !first))
        result = OffByOne(result);
    Number(result);
    Enter(RulesInput::Finish());
}

void RulesPupil::Multiplication(int top, int bottom, bool first, bool last) {
    const bool wrong_result = Here(RulesBug::FirstResult, first && !last);
    int row1 = top * (bottom % 10);
    if (Here(RulesBug::MultiplicationProduct, last && (round_ == 0 || bottom < 10))) row1 = OffByOne(row1);
    if (bottom < 10) {
        Number(wrong_result ? OffByOne(row1) : row1);
        return Enter(RulesInput::Finish());
    }
    Number(row1);
    Enter(RulesInput::Confirm());
    int row2 = top * (bottom / 10);
    if (Here(RulesBug::MultiplicationProduct, last && round_ == 1)) row2 = OffByOne(row2);
    Number(row2);
    Enter(RulesInput::Confirm());
    const int sum = Here(RulesBug::MultiplicationShift, last) ? row1 + row2 : row1 + 10 * row2;
    Number(wrong_result ? OffByOne(sum) : sum);
    Enter(RulesInput::Finish());
}

void RulesPupil::Division(int dividend, int divisor, bool first, bool last) {
    if (divisor <= 0) {  // nothing to divide by: the pupil writes no quotient
        Number(0);
        return Enter(RulesInput::Finish());
    }
    const std::string s = std::to_string(dividend);
    std::size_t pos = 0;
    int part = 0;
    while (pos < s.size() && part < divisor) part = part * 10 + (s[pos++] - '0');
    const bool two_digits = pos < s.size();
    for (int round = 0; round < (two_digits ? 2 : 1); ++round) {
        const bool bug_here = last && round == round_;
        const bool last_round = round == (two_digits ? 1 : 0);
        int q = std::min(part / divisor, 9);
        if (Here(RulesBug::DivisionTooBig, bug_here && q < 9)) ++q;
        if (Here(RulesBug::DivisionTooSmall, bug_here && q > 1)) --q;
        // A first result one off: the last digit one smaller (the remainder
        // then stays as large as the divisor), or one larger where it is 0.
        const bool first_slip = Here(RulesBug::FirstResult, first && !last && last_round);
        if (first_slip) q = q > 0 ? q - 1 : q + 1;
        Enter(RulesInput::Digit(round == 0 && two_digits ? Place::Tens : Place::Ones, q));
        Enter(RulesInput::Confirm());
        int product = q * divisor;
        if (Here(RulesBug::DivisionProduct, bug_here)) product = OffByOne(product);
        Number(product);
        Enter(RulesInput::Confirm());
        int diff = part - product;
        if (diff < 0) {
            // The product is larger than the part: a pupil sees it here and
            // stops; a first result worked out of sight is handed on as it is.
            if (first_slip) Enter(RulesInput::Finish());
            return;
        }
        if (Here(RulesBug::DivisionDifference, bug_here)) diff = OffByOne(diff);
        part = pos < s.size() ? diff * 10 + (s[pos++] - '0') : diff;
        Number(part);
        // A difference as large as the divisor shows the digit was too
        // small: a pupil sees it here and stops.
        if (diff >= divisor && !first_slip) return;
        if (round == 0 && two_digits) Enter(RulesInput::Confirm());
    }
    Enter(RulesInput::Finish());
}

ExpressionProblem ProblemAsDrawn(ExpressionProblem p) {
    if (p.IsBoxProblem()) {
        p.top_operand = p.operand_b;
        p.bottom_operand = p.operand_a;
    }
    return p;
}

RulesPupilWork WorkRulesAs(const ExpressionProblem& problem, RulesBug bug, int round) {
    QuietContext quiet;
    QuietHooks hooks;
    CalculationSteps steps(quiet.dialogs, quiet.cues, hooks);
    RulesPupil pupil(steps, bug, round);
    RulesPupilWork work;
    work.applied = pupil.Work(ProblemAsDrawn(problem));
    work.inputs = pupil.inputs();
    work.end = steps.worksheet();
    return work;
}

}  // namespace sorelka::rules
