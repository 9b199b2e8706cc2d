#include "rules/rules_diagnosis.h"

#include <charconv>
#include <optional>
#include <utility>

#include "division/division_diagnosis.h"
#include "rules/rules_cells.h"

namespace sorelka::rules {

namespace {

using division::WideNumber;
using Part = RulesRole::Part;

// The stored name of a cell (see rules_cells.h): what the worked rows and a
// step's "cell:" field call it.
std::string Stored(Part part, int index = 0) { return RulesStoredName({part, index}); }

std::string W(long long v) { return WideNumber(v); }

const char* OpSign(int op) {
    switch (op) {
        case kAdd: return "＋";
        case kSubtract: return "－";
        case kMultiply: return "×";
        case kDivide: return "÷";
        default: return "？";
    }
}

const char* OpWord(int op) {
    switch (op) {
        case kAdd: return "たし算";
        case kSubtract: return "ひき算";
        case kMultiply: return "かけ算";
        case kDivide: return "わり算";
        default: return "計算";
    }
}

// x op y as the worksheet works it, in a width that numbers read from any
// worked rows cannot overflow.
long long Compute(int op, long long x, long long y) { return Apply<long long>(op, x, y); }

// x op y as a fact: "２３＋４５＝６８". Factors stand as the worksheet writes
// them, the one with more digits first ("７７×３", for 3 × 77).
std::string Fact(int op, long long x, long long y) {
    const auto digits = [](long long v) { return v >= 100 ? 3 : v >= 10 ? 2 : 1; };
    if (op == kMultiply && digits(y) > digits(x)) std::swap(x, y);
    return W(x) + OpSign(op) + W(y) + "＝" + W(Compute(op, x, y));
}

// How an explanation names calculation `calc` of the expression: "さいしょの ",
// "２かいめの "; nothing for the one calculation of a box problem.
std::string Nth(int calc, bool only = false) {
    if (only) return {};
    return calc == 1 ? "さいしょの " : W(calc) + "かいめの ";
}

// The worked rows read as numbers.
class Sheet {
public:
    explicit Sheet(const WorkedRows& rows) : rows_(rows) {}
    std::string Text(std::string_view name) const { return CellText(rows_, name); }
    bool Has(std::string_view name) const { return !Text(name).empty(); }
    std::optional<long long> Number(std::string_view name) const {
        const std::string text = Text(name);
        long long v = 0;
        if (text.empty() || text.size() > 9) return std::nullopt;  // the lists enter four digits
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc() || ptr != text.data() + text.size() || v < 0) return std::nullopt;
        return v;
    }

private:
    const WorkedRows& rows_;
};

std::string Step(int calc, std::string_view inner_kind, std::string_view where, std::string_view cell) {
    std::string step = "calc:" + std::to_string(calc);
    if (!inner_kind.empty()) step += "/kind:" + std::string(inner_kind);
    if (!where.empty()) step += "/" + std::string(where);
    if (!cell.empty()) step += "/cell:" + std::string(cell);
    return step;
}

Finding Other(int calc, std::string_view cell, std::string explanation) {
    return Finding{kOther, Step(calc, "", "", cell), std::move(explanation)};
}

// The two numbers of the calculation `op` as its area shows them.
struct Operands {
    std::string top;
    std::string bottom;
};
Operands AreaOf(int op) {
    switch (op) {
        case kMultiply: return {Stored(Part::MulTop), Stored(Part::MulBottom)};
        case kDivide: return {Stored(Part::DivDividend), Stored(Part::DivDivisor)};
        default: return {Stored(Part::AddTop), Stored(Part::AddBottom)};
    }
}

// The result the calculation `op` hands on, read as "終わり" reads it.
std::optional<long long> ResultOf(int op, const Sheet& sheet) {
    switch (op) {
        case kAdd:
        case kSubtract: return sheet.Number(Stored(Part::AddResult));
        case kMultiply: {
            const std::string sum = Stored(Part::MulRow, 2);
            return sheet.Has(sum) ? sheet.Number(sum) : sheet.Number(Stored(Part::MulRow, 0));
        }
        case kDivide: return sheet.Number(Stored(Part::DivQuotient));
        default: return std::nullopt;
    }
}

Diagnosis InDivision(int calc, const std::string& nth, long long dividend, long long divisor,
                     const Sheet& sheet) {
    if (divisor <= 0) return Other(calc, "", "計算を もういちど たしかめよう");
    const std::string quotient = Stored(Part::DivQuotient);
    if (sheet.Number(quotient) == dividend / divisor) return std::nullopt;
    static const int kRowNumbers[] = {2, 3, 5, 6};
    division::WrittenDivision w;
    w.dividend = static_cast<int>(dividend);
    w.divisor = static_cast<int>(divisor);
    w.quotient = sheet.Text(quotient);
    for (int row = 0; row < 4; ++row) w.rows[row] = sheet.Text(Stored(Part::DivRow, row));
    const auto m = division::FindDivisionMistake(w);
    if (!m)
        return Other(calc, quotient,
                     nth + "わり算を たしかめよう　" + division::DivisionFact(dividend, divisor));
    std::string where;
    std::string cell = quotient;
    if (m->in_quotient) {
        where = "quotient:" + std::to_string(m->index + 1);
    } else {
        const int row = std::min(m->index, 3);
        where = "row:" + std::to_string(kRowNumbers[row]);
        cell = Stored(Part::DivRow, row);
    }
    const bool named = m->kind != kSlip && m->kind != kOther;
    return Finding{named || m->kind == kSlip ? kStepSlip : kOther,
                   Step(calc, named ? m->kind : "", where, cell),
                   nth + "わり算で、" + m->explanation};
}

Diagnosis InMultiplication(int calc, const std::string& nth, long long top, long long bottom,
                           const Sheet& sheet) {
    if (bottom >= 100) return Other(calc, "", "計算を もういちど たしかめよう");
    const long long ones = bottom % 10;
    const long long tens = bottom / 10;
    const long long row1 = top * ones;
    const long long row2 = top * tens;
    const long long sum = row1 + 10 * row2;
    const long long right = tens > 0 ? sum : row1;
    if (ResultOf(kMultiply, sheet) == right) return std::nullopt;
    const auto product = [&](int row, const std::string& cell, long long digit, long long value) -> Diagnosis {
        const std::optional<long long> v = sheet.Number(cell);
        if (v == value) return std::nullopt;
        const std::string fact = W(top) + "×" + W(digit) + "＝" + W(value);
        const std::string where = "row:" + std::to_string(row);
        const std::string row_name =
            nth + "かけ算で、" + (bottom < 10 ? "" : row == 1 ? "一の位を かけた " : "十の位を かけた ") + "答えが ";
        if (!v) return Other(calc, cell, row_name + "ないよ　" + fact);
        const bool one_slip = division::LooksLikeOneSlip(value, *v);
        return Finding{kStepSlip, Step(calc, one_slip ? division::kProductSlip : "", where, cell),
                       row_name + "ちがうよ　" + fact};
    };
    const std::string rows[] = {Stored(Part::MulRow, 0), Stored(Part::MulRow, 1), Stored(Part::MulRow, 2)};
    if (Diagnosis d = product(1, rows[0], ones, row1)) return d;
    if (tens == 0)
        return Other(calc, rows[0], nth + "かけ算を たしかめよう　" + Fact(kMultiply, top, bottom));
    if (Diagnosis d = product(2, rows[1], tens, row2)) return d;
    const std::string fact = W(row1) + "＋" + W(10 * row2) + "＝" + W(sum);
    const std::optional<long long> v = sheet.Number(rows[2]);
    if (!v) return Other(calc, rows[2], nth + "かけ算が とちゅうで おわっているよ　" + fact);
    // Added as if the product of the tens stood under the ones: that row
    // was not moved one place to the left.
    if (*v == row1 + row2)
        return Finding{kStepSlip, Step(calc, kShiftMissing, "row:2", rows[1]),
                       nth + "かけ算で、十の位を かけた 答えは １けた 左に ずらして たすよ　" + fact};
    const bool one_slip = division::LooksLikeOneSlip(sum, *v);
    return Finding{kStepSlip, Step(calc, one_slip ? kSumSlip : "", "row:3", rows[2]),
                   nth + "かけ算で、さいごの たし算が ちがうよ　" + fact};
}

// The calculation `op` on the worksheet, numbered `calc` (`only`: the one
// calculation of a box problem): none when its
// result is right for the operands it shows.
Diagnosis InCalculation(int op, int calc, const Sheet& sheet, bool only = false) {
    const std::string nth = Nth(calc, only);
    const Operands area = AreaOf(op);
    const std::optional<long long> top = sheet.Number(area.top);
    const std::optional<long long> bottom = sheet.Number(area.bottom);
    if (!top || !bottom) return Other(calc, "", "計算を もういちど たしかめよう");
    switch (op) {
        case kDivide: return InDivision(calc, nth, *top, *bottom, sheet);
        case kMultiply: return InMultiplication(calc, nth, *top, *bottom, sheet);
        default: break;
    }
    const long long right = Compute(op, *top, *bottom);
    const std::string result = Stored(Part::AddResult);
    const std::optional<long long> v = sheet.Number(result);
    if (v == right) return std::nullopt;
    if (!v)
        return Other(calc, result,
                     nth + OpWord(op) + "の 答えが ないよ　" + Fact(op, *top, *bottom));
    return Finding{kStepSlip, Step(calc, "", "", result),
                   nth + OpWord(op) + "が ちがうよ　" + Fact(op, *top, *bottom)};
}

Finding EarlierSlip(int calc, int op, long long x, long long y, const std::string& cell) {
    return Finding{kStepSlip, Step(calc, "", "", cell),
                   Nth(calc) + OpWord(op) + "が ちがうよ　" + Fact(op, x, y)};
}

Diagnosis DiagnoseBox(const ExpressionProblem& p, const Sheet& sheet) {
    const int op = p.family_number;  // the operation in the problem: 1 +, 2 −, 3 ×, 4 ÷
    const int inverse = op == kAdd ? kSubtract : op == kSubtract ? kAdd : op == kMultiply ? kDivide : kMultiply;
    const auto worked = [&](int op) {
        const Operands area = AreaOf(op);
        return sheet.Has(area.top) && sheet.Has(area.bottom);
    };
    const std::string sign = sheet.Text(Stored(Part::AddSign));
    const bool add_area = worked(kAdd);
    const int add_op = !add_area ? 0 : sign == "＋" ? kAdd : sign == "-" ? kSubtract : 0;
    const bool shown[] = {false, add_op == kAdd, add_op == kSubtract, worked(kMultiply), worked(kDivide)};
    // The calculation that undoes the problem's decides, when it was worked.
    if (shown[inverse]) return InCalculation(inverse, 1, sheet, true);
    const std::string cell = add_area           ? Stored(Part::AddSign)
                             : shown[kMultiply] ? Stored(Part::MulSign)
                             : shown[kDivide]   ? Stored(Part::DivDividend)
                                                : "";
    if (cell.empty())
        return Other(1, "", "□を もとめる 計算を えらんでね　□は " + Fact(inverse, p.operand_b, p.operand_a));
    return Finding{kInverseOperation, Step(1, "", "", cell),
                   "□を もとめる 計算が ちがうよ　□" + std::string(OpSign(op)) + W(p.operand_a) + "＝" +
                       W(p.operand_b) + " の □は " + Fact(inverse, p.operand_b, p.operand_a)};
}

Diagnosis DiagnoseFourNumbers(const ExpressionProblem& p, const CalculationOrder& order,
                              const Sheet& sheet) {
    const Operands pending = AreaOf(kAdd);
    const std::string result = Stored(Part::AddResult);
    if (sheet.Number(result) == p.expected_answer) return std::nullopt;
    const std::optional<long long> first = sheet.Number(pending.top);
    const std::optional<long long> second = sheet.Number(pending.bottom);
    if (!first || !second)
        return Other(3, "", "計算を もういちど たしかめよう　" + Fact(order.first_op, p.operand_a, p.operand_b));
    if (*first != Compute(order.first_op, p.operand_a, p.operand_b))
        return EarlierSlip(1, order.first_op, p.operand_a, p.operand_b, pending.top);
    if (*second != Compute(order.second_op, p.operand_c, p.operand_d))
        return EarlierSlip(2, order.second_op, p.operand_c, p.operand_d, pending.bottom);
    if (Diagnosis d = InCalculation(order.middle_op, 3, sheet)) return d;
    return Other(3, result, "計算を もういちど たしかめよう　" + Fact(order.middle_op, *first, *second));
}

Diagnosis DiagnoseThreeNumbers(const ExpressionProblem& p, const CalculationOrder& order,
                               const Sheet& sheet) {
    const int op = order.second_op;
    if (ResultOf(op, sheet) == p.expected_answer) return std::nullopt;
    const int x = order.first_on_left ? p.operand_a : p.operand_b;
    const int y = order.first_on_left ? p.operand_b : p.operand_c;
    const long long first = Compute(order.first_op, x, y);
    // The first result is the operand that is not the problem's own number.
    const Operands area = AreaOf(op);
    const std::optional<long long> top = sheet.Number(area.top);
    const std::optional<long long> bottom = sheet.Number(area.bottom);
    const std::string again = "計算を もういちど たしかめよう　";
    if (!top || !bottom) return Other(2, "", again + Fact(order.first_op, x, y));
    const long long own = order.second_takes_a ? p.operand_a : p.operand_c;
    std::string cell;
    if (op == kMultiply)  // the factors may stand swapped
        cell = *top == own ? area.bottom : *bottom == own ? area.top : "";
    else
        cell = order.second_takes_a ? area.bottom : area.top;
    if (cell.empty()) return Other(2, "", again + Fact(order.first_op, x, y));
    if (sheet.Number(cell) != first) return EarlierSlip(1, order.first_op, x, y, cell);
    if (Diagnosis d = InCalculation(op, 2, sheet)) return d;
    return Other(2, "", again + Fact(op, *top, *bottom));
}

}  // namespace

std::string RulesKindLabel(std::string_view kind) {
    if (kind == kStepSlip) return "とちゅうの計算のまちがい";
    if (kind == kInverseOperation) return "□を求める計算がちがう";
    if (kind == kSumSlip) return "たし算のまちがい";
    if (kind == kShiftMissing) return "位をずらさずにたした";
    return division::DivisionKindLabel(kind);
}

Diagnosis DiagnoseRules(const ExpressionProblem& problem, const WorkedRows& rows) {
    const Sheet sheet(rows);
    if (problem.menu == 0) return std::nullopt;  // no problem was worked
    if (problem.IsBoxProblem()) return DiagnoseBox(problem, sheet);
    const CalculationOrder order = OrderOf(problem.kind_code);
    if (order.four_numbers) return DiagnoseFourNumbers(problem, order, sheet);
    return DiagnoseThreeNumbers(problem, order, sheet);
}

std::string StepField(std::string_view step, std::string_view key) {
    while (!step.empty()) {
        const std::size_t slash = step.find('/');
        const std::string_view field = step.substr(0, slash);
        const std::size_t colon = field.find(':');
        if (colon != std::string_view::npos && field.substr(0, colon) == key)
            return std::string(field.substr(colon + 1));
        if (slash == std::string_view::npos) break;
        step.remove_prefix(slash + 1);
    }
    return {};
}

std::optional<RulesRole> RulesStepRole(std::string_view step) {
    const std::string cell = StepField(step, "cell");
    if (cell.empty()) return std::nullopt;
    if (cell == Stored(Part::DivQuotient)) {
        const std::string digit = StepField(step, "quotient");
        int k = 0;
        auto [ptr, ec] = std::from_chars(digit.data(), digit.data() + digit.size(), k);
        if (digit.empty() || ec != std::errc() || ptr != digit.data() + digit.size() || k < 1)
            return std::nullopt;
        return RulesRole{Part::DivQuotient, k - 1};
    }
    for (const RulesRole& role : RulesRolesInOrder())
        if (Stored(role.part, role.index) == cell) return role;
    return std::nullopt;
}

}  // namespace sorelka::rules
