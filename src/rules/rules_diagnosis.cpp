#include "rules/rules_diagnosis.h"

#include <charconv>
#include <optional>
#include <utility>

#include "division/division_diagnosis.h"

namespace sorelka::rules {

namespace {

using division::WideNumber;

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
    const char* top;
    const char* bottom;
};
Operands AreaOf(int op) {
    switch (op) {
        case kMultiply: return {"Label8", "Label9"};
        case kDivide: return {"Label14", "Label15"};
        default: return {"Label4", "Label5"};
    }
}

// The result the calculation `op` hands on, read as "終わり" reads it.
std::optional<long long> ResultOf(int op, const Sheet& sheet) {
    switch (op) {
        case kAdd:
        case kSubtract: return sheet.Number("Label6");
        case kMultiply: return sheet.Has("Label12") ? sheet.Number("Label12") : sheet.Number("Label10");
        case kDivide: return sheet.Number("Label16");
        default: return std::nullopt;
    }
}

Diagnosis InDivision(int calc, const std::string& nth, long long dividend, long long divisor,
                     const Sheet& sheet) {
    if (divisor <= 0) return Other(calc, "", "計算を もういちど たしかめよう");
    if (sheet.Number("Label16") == dividend / divisor) return std::nullopt;
    static const char* const kRows[] = {"Label17", "Label18", "Label19", "Label20"};
    static const int kRowNumbers[] = {2, 3, 5, 6};
    division::WrittenDivision w;
    w.dividend = static_cast<int>(dividend);
    w.divisor = static_cast<int>(divisor);
    w.quotient = sheet.Text("Label16");
    for (int row = 0; row < 4; ++row) w.rows[row] = sheet.Text(kRows[row]);
    const auto m = division::FindDivisionMistake(w);
    if (!m)
        return Other(calc, "Label16",
                     nth + "わり算を たしかめよう　" + division::DivisionFact(dividend, divisor));
    std::string where;
    std::string cell = "Label16";
    if (m->in_quotient) {
        where = "quotient:" + std::to_string(m->index + 1);
    } else {
        const int row = std::min(m->index, 3);
        where = "row:" + std::to_string(kRowNumbers[row]);
        cell = kRows[row];
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
    const auto product = [&](int row, const char* cell, long long digit, long long value) -> Diagnosis {
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
    if (Diagnosis d = product(1, "Label10", ones, row1)) return d;
    if (tens == 0)
        return Other(calc, "Label10", nth + "かけ算を たしかめよう　" + Fact(kMultiply, top, bottom));
    if (Diagnosis d = product(2, "Label11", tens, row2)) return d;
    const std::string fact = W(row1) + "＋" + W(10 * row2) + "＝" + W(sum);
    const std::optional<long long> v = sheet.Number("Label12");
    if (!v) return Other(calc, "Label12", nth + "かけ算が とちゅうで おわっているよ　" + fact);
    // Added as if the product of the tens stood under the ones: that row
    // was not moved one place to the left.
    if (*v == row1 + row2)
        return Finding{kStepSlip, Step(calc, kShiftMissing, "row:2", "Label11"),
                       nth + "かけ算で、十の位を かけた 答えは １けた 左に ずらして たすよ　" + fact};
    const bool one_slip = division::LooksLikeOneSlip(sum, *v);
    return Finding{kStepSlip, Step(calc, one_slip ? kSumSlip : "", "row:3", "Label12"),
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
    const std::optional<long long> v = sheet.Number("Label6");
    if (v == right) return std::nullopt;
    if (!v)
        return Other(calc, "Label6",
                     nth + OpWord(op) + "の 答えが ないよ　" + Fact(op, *top, *bottom));
    return Finding{kStepSlip, Step(calc, "", "", "Label6"),
                   nth + OpWord(op) + "が ちがうよ　" + Fact(op, *top, *bottom)};
}

Finding EarlierSlip(int calc, int op, long long x, long long y, const char* cell) {
    return Finding{kStepSlip, Step(calc, "", "", cell),
                   Nth(calc) + OpWord(op) + "が ちがうよ　" + Fact(op, x, y)};
}

Diagnosis DiagnoseBox(const ExpressionProblem& p, const Sheet& sheet) {
    const int op = p.family_number;  // the operation in the problem: 1 +, 2 −, 3 ×, 4 ÷
    const int inverse = op == kAdd ? kSubtract : op == kSubtract ? kAdd : op == kMultiply ? kDivide : kMultiply;
    const std::string sign = sheet.Text("Label7");
    const bool add_area = sheet.Has("Label4") && sheet.Has("Label5");
    const int add_op = !add_area ? 0 : sign == "＋" ? kAdd : sign == "-" ? kSubtract : 0;
    const bool shown[] = {false, add_op == kAdd, add_op == kSubtract,
                          sheet.Has("Label8") && sheet.Has("Label9"),
                          sheet.Has("Label14") && sheet.Has("Label15")};
    // The calculation that undoes the problem's decides, when it was worked.
    if (shown[inverse]) return InCalculation(inverse, 1, sheet, true);
    const char* cell = add_area ? "Label7" : shown[kMultiply] ? "Label13" : shown[kDivide] ? "Label14" : "";
    if (*cell == '\0')
        return Other(1, "", "□を もとめる 計算を えらんでね　□は " + Fact(inverse, p.operand_b, p.operand_a));
    return Finding{kInverseOperation, Step(1, "", "", cell),
                   "□を もとめる 計算が ちがうよ　□" + std::string(OpSign(op)) + W(p.operand_a) + "＝" +
                       W(p.operand_b) + " の □は " + Fact(inverse, p.operand_b, p.operand_a)};
}

Diagnosis DiagnoseFourNumbers(const ExpressionProblem& p, const CalculationOrder& order,
                              const Sheet& sheet) {
    if (sheet.Number("Label6") == p.expected_answer) return std::nullopt;
    const std::optional<long long> first = sheet.Number("Label4");
    const std::optional<long long> second = sheet.Number("Label5");
    if (!first || !second)
        return Other(3, "", "計算を もういちど たしかめよう　" + Fact(order.first_op, p.operand_a, p.operand_b));
    if (*first != Compute(order.first_op, p.operand_a, p.operand_b))
        return EarlierSlip(1, order.first_op, p.operand_a, p.operand_b, "Label4");
    if (*second != Compute(order.second_op, p.operand_c, p.operand_d))
        return EarlierSlip(2, order.second_op, p.operand_c, p.operand_d, "Label5");
    if (Diagnosis d = InCalculation(order.middle_op, 3, sheet)) return d;
    return Other(3, "Label6", "計算を もういちど たしかめよう　" + Fact(order.middle_op, *first, *second));
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
    const char* cell = nullptr;
    if (op == kMultiply)  // the factors may stand swapped
        cell = *top == own ? area.bottom : *bottom == own ? area.top : nullptr;
    else
        cell = order.second_takes_a ? area.bottom : area.top;
    if (!cell) return Other(2, "", again + Fact(order.first_op, x, y));
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

RoleCell RulesRoleCell(RulesRole role) {
    using Part = RulesRole::Part;
    const auto label = [](int n) { return RoleCell{"Label" + std::to_string(n)}; };
    switch (role.part) {
        case Part::AddSign: return label(7);
        case Part::AddTop: return label(4);
        case Part::AddBottom: return label(5);
        case Part::AddResult: return label(6);
        case Part::MulSign: return label(13);
        case Part::MulTop: return label(8);
        case Part::MulBottom: return label(9);
        case Part::MulRow: return label(10 + role.index);
        case Part::DivDividend: return label(14);
        case Part::DivDivisor: return label(15);
        case Part::DivQuotient: return {"Label16", RoleCell::Digit::FromLeft, role.index};
        case Part::DivRow: return label(17 + role.index);
    }
    return {};
}

const std::vector<RulesRole>& RulesRolesInOrder() {
    using Part = RulesRole::Part;
    static const std::vector<RulesRole> roles = {
        {Part::AddSign},     {Part::AddTop},        {Part::AddBottom},     {Part::MulSign},
        {Part::MulTop},      {Part::MulBottom},     {Part::DivDividend},   {Part::DivDivisor},
        {Part::AddResult},   {Part::MulRow, 0},     {Part::MulRow, 1},     {Part::MulRow, 2},
        {Part::DivQuotient, 0}, {Part::DivRow, 0},  {Part::DivRow, 1},     {Part::DivQuotient, 1},
        {Part::DivRow, 2},   {Part::DivRow, 3}};
    return roles;
}

std::optional<RulesRole> RulesStepRole(std::string_view step) {
    const std::string cell = StepField(step, "cell");
    if (cell.empty()) return std::nullopt;
    if (cell == RulesRoleCell({RulesRole::Part::DivQuotient}).name) {
        const std::string digit = StepField(step, "quotient");
        int k = 0;
        auto [ptr, ec] = std::from_chars(digit.data(), digit.data() + digit.size(), k);
        if (digit.empty() || ec != std::errc() || ptr != digit.data() + digit.size() || k < 1)
            return std::nullopt;
        return RulesRole{RulesRole::Part::DivQuotient, k - 1};
    }
    for (const RulesRole& role : RulesRolesInOrder())
        if (RulesRoleCell(role).name == cell) return role;
    return std::nullopt;
}

}  // namespace sorelka::rules
