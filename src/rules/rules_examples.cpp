#include "rules/rules_examples.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "division/division_examples.h"
#include "rules/rules_cells.h"

namespace sorelka::rules {

namespace {

using Part = RulesRole::Part;

// Hooks of a worksheet worked out of the pupil's sight: nothing is shown;
// only whether the answer was handed over for judging is kept.
struct QuietHooks final : StepHooks {
    bool judged = false;
    void ShowStepPrompt(int) override {}
    void JudgeAnswer() override { judged = true; }
    void ShowPrompt(const std::string&) override {}
    void ShowEntryLists(bool) override {}
};

long long Number(const Worksheet& sheet, RulesRole role) {
    const std::string& text = sheet.at(RulesKey(role)).text;
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

const char* OperationWord(int op) {
    switch (op) {
        case kAdd: return "たし算";
        case kSubtract: return "ひき算";
        case kMultiply: return "かけ算";
        default: return "わり算";
    }
}

std::string W(long long value) { return WideText(value); }

std::string Opening(const ExpressionProblem& p) {
    switch (p.menu) {
        case kParenthesesMenu: return "（　）の 中を さきに 計算するよ";
        case kMixedMenu: return "×や ÷を さきに 計算するよ";
        case kTimesDividesMenu: return "左から じゅんに 計算するよ";
        default: return "□を もとめる 計算を えらぶよ";
    }
}

// The role a row of entries writes, from where the worksheet stood before them.
std::optional<RulesRole> RowRole(const StepState& s) {
    switch (s.current_op) {
        case kAdd:
        case kSubtract: return RulesRole{Part::AddResult};
        case kMultiply:
            if (s.entry_row < 1 || s.entry_row > 3) return std::nullopt;
            return RulesRole{Part::MulRow, s.entry_row - 1};
        case kDivide:
            switch (s.entry_row) {
                case 1: return RulesRole{Part::DivQuotient, 0};
                case 2: return RulesRole{Part::DivRow, 0};
                case 3: return RulesRole{Part::DivRow, 1};
                case 4: return RulesRole{Part::DivQuotient, 1};
                case 5: return RulesRole{Part::DivRow, 2};
                case 6: return RulesRole{Part::DivRow, 3};
                default: return std::nullopt;
            }
        default: return std::nullopt;
    }
}

RulesRole OperationRole(int op) {
    if (op == kMultiply) return {Part::MulSign};
    if (op == kDivide) return {Part::DivDividend};
    return {Part::AddSign};
}

// Says what each row of the right work does, following a division's part
// being divided and its product from row to row.
class Narrator {
public:
    // A row of entries `first` (a number or a digit) written where the
    // worksheet stood as `s` and `sheet`.
    std::string Row(const StepState& s, const Worksheet& sheet, const RulesInput& first) {
        const long long v = first.value;
        switch (s.current_op) {
            case kAdd:
            case kSubtract: {
                const long long top = Number(sheet, {Part::AddTop});
                const long long bottom = Number(sheet, {Part::AddBottom});
                return std::string(OperationWord(s.current_op)) + "で " + W(top) +
                       (s.current_op == kAdd ? "＋" : "－") + W(bottom) + "＝" + W(v);
            }
            case kMultiply: {
                const long long top = Number(sheet, {Part::MulTop});
                const long long bottom = Number(sheet, {Part::MulBottom});
                if (s.entry_row == 1 && bottom < 10) return "かけ算で " + W(top) + "×" + W(bottom) + "＝" + W(v);
                if (s.entry_row == 1) return W(top) + "×" + W(bottom % 10) + "＝" + W(v) + "　一の位から かけるよ";
                if (s.entry_row == 2) return W(top) + "×" + W(bottom / 10) + "＝" + W(v) + "　１けた ずらすよ";
                return "あわせて " + W(Number(sheet, {Part::MulRow, 0})) + "＋" + W(10 * Number(sheet, {Part::MulRow, 1})) +
                       "＝" + W(v);
            }
            case kDivide: return DivisionRow(s, sheet, first);
            default: return {};
        }
    }

private:
    std::string DivisionRow(const StepState& s, const Worksheet& sheet, const RulesInput& first) {
        const long long dividend = Number(sheet, {Part::DivDividend});
        const long long divisor = Number(sheet, {Part::DivDivisor});
        switch (s.entry_row) {
            case 1:
                two_digits_ = first.place == Place::Tens;
                part_ = two_digits_ ? dividend / 10 : dividend;
                [[fallthrough]];
            case 4:
                // A 0 in the ones: the part brought down is smaller than the divisor.
                if (first.value == 0) return division::ZeroLine(part_, divisor);
                return division::PlaceDigitLine(first.place == Place::Tens ? 2 : 1, first.value, divisor);
            case 2:
            case 5:
                product_ = first.value;
                return division::ProductLine(product_, part_);
            default: {
                const std::string digits = std::to_string(dividend);
                const std::string brought = s.entry_row == 3 && two_digits_ ? digits.substr(digits.size() - 1) : "";
                const std::string line = division::DifferenceLine(part_, product_, brought);
                part_ = first.value;
                return line;
            }
        }
    }

    bool two_digits_ = false;
    long long part_ = 0;
    long long product_ = 0;
};

RulesExample Replay(const ExpressionProblem& problem, const RulesInputs& inputs, bool explain) {
    QuietContext quiet;
    QuietHooks hooks;
    CalculationSteps steps(quiet.dialogs, quiet.cues, hooks);
    steps.StartProblem(ProblemAsDrawn(problem));
    RulesExample example;
    example.start = steps.worksheet();
    if (explain) example.opening = Opening(problem);
    Narrator narrator;
    RulesInputs row;
    StepState before;
    Worksheet sheet_before;
    // A row of entries ends with " 確定", or before "終わり" hands it on.
    const auto close_row = [&] {
        if (row.empty()) return;
        auto& step = example.steps.emplace_back();
        step.inputs = std::move(row);
        row.clear();
        step.sheet = steps.worksheet();
        step.role = RowRole(before);
        if (explain) step.line = narrator.Row(before, sheet_before, step.inputs.front());
    };
    for (const RulesInput& input : inputs) {
        if (input.what == RulesInput::What::Finish || input.what == RulesInput::What::Operation) {
            close_row();
            const StepState s = steps.state();
            const RulesRole result_role = s.current_op == kDivide     ? RulesRole{Part::DivQuotient}
                                          : s.current_op == kMultiply ? RulesRole{Part::MulRow, s.entry_row >= 3 ? 2 : 0}
                                                                      : RulesRole{Part::AddResult};
            const std::string result = steps.sheet().at(result_role).text;
            Feed(steps, input);
            auto& step = example.steps.emplace_back();
            step.inputs = {input};
            step.sheet = steps.worksheet();
            if (input.what == RulesInput::What::Operation) {
                step.role = OperationRole(input.value);
                if (explain) step.line = "□を もとめるには " + std::string(OperationWord(input.value)) + "を するよ";
            } else if (explain) {
                step.line = hooks.judged ? "答えは " + WideText(result) + "だよ"
                                         : WideText(result) + "を つぎの 計算で つかうよ";
            }
            continue;
        }
        if (row.empty()) {
            before = steps.state();
            sheet_before = steps.worksheet();
        }
        Feed(steps, input);
        row.push_back(input);
        if (input.what == RulesInput::What::Confirm) close_row();
    }
    close_row();
    return example;
}

}  // namespace

std::string RulesRoleText(const Worksheet& sheet, RulesRole role) {
    return RoleText(sheet, RulesRoleCell(role));
}

std::string RulesPlaceText(const Worksheet& sheet, RulesRole role) {
    const std::string text = RulesRoleText(sheet, role);
    if (text.empty()) return text;
    return text + "@" + std::to_string(sheet.at(RulesKey(role)).column);
}

RulesExample RulesWorkedExample(const ExpressionProblem& problem) {
    return Replay(problem, WorkRulesAs(problem, RulesBug::None, 0).inputs, true);
}

RulesExample ReplayRules(const ExpressionProblem& problem, const RulesInputs& inputs) {
    return Replay(problem, inputs, false);
}

std::optional<std::size_t> FirstWrongStep(const RulesExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    const auto is = [&](std::size_t i, RulesInput::What what) { return example.steps[i].inputs.front().what == what; };
    if (diagnosis->kind == kInverseOperation)
        for (std::size_t i = 0; i < example.steps.size(); ++i)
            if (is(i, RulesInput::What::Operation)) return i;
    // Each "終わり" ends a calculation.
    int wanted = 0;
    const std::string calc = StepField(diagnosis->step, "calc");
    std::from_chars(calc.data(), calc.data() + calc.size(), wanted);
    const std::optional<RulesRole> role = RulesStepRole(diagnosis->step);
    std::optional<std::size_t> last_row;
    for (std::size_t i = 0, calculation = 1; i < example.steps.size(); ++i) {
        if (static_cast<int>(calculation) == wanted && example.steps[i].role) {
            if (example.steps[i].role == role) return i;
            if (!is(i, RulesInput::What::Operation)) last_row = i;
        }
        if (is(i, RulesInput::What::Finish)) ++calculation;
    }
    if (last_row) return last_row;
    for (std::size_t i = 0; i < example.steps.size(); ++i) {
        const auto& r = example.steps[i].role;
        if (r && CellText(rows, RulesStoredName(*r)) != example.end().at(RulesKey(*r)).text) return i;
    }
    return std::nullopt;
}

}  // namespace sorelka::rules
