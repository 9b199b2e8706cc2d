#include "rules/rules_examples.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "division/division_examples.h"

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

long long Number(const Worksheet& sheet, const char* name) {
    const std::string& text = sheet.at(name).text;
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
                const long long top = Number(sheet, "Label4");
                const long long bottom = Number(sheet, "Label5");
                return std::string(OperationWord(s.current_op)) + "で " + W(top) +
                       (s.current_op == kAdd ? "＋" : "－") + W(bottom) + "＝" + W(v);
            }
            case kMultiply: {
                const long long top = Number(sheet, "Label8");
                const long long bottom = Number(sheet, "Label9");
                if (s.entry_row == 1 && bottom < 10) return "かけ算で " + W(top) + "×" + W(bottom) + "＝" + W(v);
                if (s.entry_row == 1) return W(top) + "×" + W(bottom % 10) + "＝" + W(v) + "　一の位から かけるよ";
                if (s.entry_row == 2) return W(top) + "×" + W(bottom / 10) + "＝" + W(v) + "　１けた ずらすよ";
                return "あわせて " + W(Number(sheet, "Label10")) + "＋" + W(10 * Number(sheet, "Label11")) +
                       "＝" + W(v);
            }
            case kDivide: return DivisionRow(s, sheet, first);
            default: return {};
        }
    }

private:
    std::string DivisionRow(const StepState& s, const Worksheet& sheet, const RulesInput& first) {
        const long long dividend = Number(sheet, "Label14");
        const long long divisor = Number(sheet, "Label15");
        switch (s.entry_row) {
            case 1:
                two_digits_ = first.place == 1;
                part_ = two_digits_ ? dividend / 10 : dividend;
                [[fallthrough]];
            case 4:
                return division::PlaceDigitLine(first.place + 1, first.value, divisor);
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

// The problem as drawn: a box problem's numbers in the order its calculation
// starts from, whatever a choice of calculation on the pupil's worksheet
// (whose problem the caller may pass) did to them.
ExpressionProblem AsDrawn(ExpressionProblem p) {
    if (p.IsBoxProblem()) {
        p.top_operand = p.operand_b;
        p.bottom_operand = p.operand_a;
    }
    return p;
}

RulesExample Replay(const ExpressionProblem& problem, const RulesInputs& inputs, bool explain) {
    QuietContext quiet;
    QuietHooks hooks;
    CalculationSteps steps(quiet.dialogs, quiet.cues, hooks);
    steps.StartProblem(AsDrawn(problem));
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
            const std::string result =
                s.current_op == kDivide     ? steps.worksheet().at("Label16").text
                : s.current_op == kMultiply ? steps.worksheet().at(s.entry_row >= 3 ? "Label12" : "Label10").text
                                            : steps.worksheet().at("Label6").text;
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

// A pupil's work on a worksheet of its own: what they entered and the
// worksheet they left.
struct PupilWork {
    bool applied = false;  // the mistake had a place
    RulesInputs inputs;
    Worksheet end;
};
PupilWork WorkAs(const ExpressionProblem& problem, RulesBug bug, int round) {
    QuietContext quiet;
    QuietHooks hooks;
    CalculationSteps steps(quiet.dialogs, quiet.cues, hooks);
    RulesPupil pupil(steps, bug, round);
    PupilWork work;
    work.applied = pupil.Work(AsDrawn(problem));
    work.inputs = pupil.inputs();
    work.end = steps.worksheet();
    return work;
}

// All cells holding work on the finished worksheet, in reading and writing order.
std::vector<RulesRole> PlacesOn(const Worksheet& sheet) {
    std::vector<RulesRole> places;
    for (const RulesRole& role : RulesRolesInOrder())
        if (!RulesRoleText(sheet, role).empty()) places.push_back(role);
    return places;
}

int LastCalculation(const ExpressionProblem& p) {
    return p.IsBoxProblem() ? 1 : p.IsFourNumberProblem() ? 3 : 2;
}

std::optional<RulesMistakeExample> TryMistake(int menu_choice, const ExpressionProblem& problem,
                                              const RulesBugCase& bug, int round) {
    if (!HasPlace(bug.bug, problem)) return std::nullopt;
    const PupilWork work = WorkAs(problem, bug.bug, round);
    if (!work.applied) return std::nullopt;
    const Diagnosis diagnosis = DiagnoseRules(problem, WorkedRowsOf(work.end));
    if (!diagnosis || diagnosis->kind != bug.kind || StepField(diagnosis->step, "kind") != bug.inner)
        return std::nullopt;
    const int calc = bug.bug == RulesBug::FirstResult || bug.bug == RulesBug::BoxOwnOperation
                         ? 1 : LastCalculation(problem);
    if (StepField(diagnosis->step, "calc") != std::to_string(calc)) return std::nullopt;
    const std::optional<RulesRole> wrong = RulesStepRole(diagnosis->step);
    if (!wrong) return std::nullopt;
    const std::vector<RulesRole> places = PlacesOn(work.end);
    if (FirstDifference(places, work.end, WorkAs(problem, RulesBug::None, 0).end, RulesRoleText) != wrong)
        return std::nullopt;
    return RulesMistakeExample{.menu_choice = menu_choice,
                               .problem = problem,
                               .work = ReplayRules(problem, work.inputs),
                               .finding = *diagnosis,
                               .wrong = *wrong,
                               .places = places};
}

// The cases that can show a mistake on a menu item: the kinds inside a
// calculation need a × or ÷ as the last one (never on menu 2, whose last
// calculation is a + or −), a wrong + or − result one as the last (never on
// menu 3), the choice of calculation a box problem.
std::vector<int> CasesFor(int menu_choice) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kRulesBugs)); ++c) {
        const RulesBug bug = kRulesBugs[c].bug;
        const bool inner = *kRulesBugs[c].inner != '\0';
        bool shown = false;
        switch (menu_choice) {
            case kParenthesesMenu: shown = bug != RulesBug::BoxOwnOperation; break;
            case kMixedMenu: shown = bug == RulesBug::FirstResult || bug == RulesBug::LastResult; break;
            case kTimesDividesMenu: shown = bug == RulesBug::FirstResult || inner; break;
            case kBoxMenu: shown = bug == RulesBug::BoxOwnOperation || inner; break;
            default: break;
        }
        if (shown) cases.push_back(c);
    }
    return cases;
}


std::vector<int> PreferredCases(const std::vector<int>& cases, const std::vector<std::string>& kinds) {
    std::vector<int> out;
    for (int c : cases)
        for (const std::string& kind : kinds)
            if (kind == kRulesBugs[c].kind || kind == kRulesBugs[c].inner) {
                out.push_back(c);
                break;
            }
    return out;
}

}  // namespace

std::string RulesRoleText(const Worksheet& sheet, RulesRole role) {
    return RoleText(sheet, RulesRoleCell(role));
}

RulesExample RulesWorkedExample(const ExpressionProblem& problem) {
    return Replay(problem, WorkAs(problem, RulesBug::None, 0).inputs, true);
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
        if (r && CellText(rows, RulesRoleCell(*r).name) != example.end().at(RulesRoleCell(*r).name).text) return i;
    }
    return std::nullopt;
}

std::vector<std::string> RulesMistakeKinds(int menu_choice) {
    std::vector<std::string> kinds;
    for (int c : CasesFor(menu_choice))
        if (std::find(kinds.begin(), kinds.end(), kRulesBugs[c].kind) == kinds.end())
            kinds.push_back(kRulesBugs[c].kind);
    return kinds;
}

std::optional<RulesMistakeExample> DrawRulesMistake(int menu_choice, RandomSource& random,
                                                    const std::vector<std::string>& preferred_kinds) {
    if (menu_choice < kParenthesesMenu || menu_choice > kBoxMenu) return std::nullopt;
    const std::vector<int> all = CasesFor(menu_choice);
    const auto attempt = [&](int c) {
        ExpressionProblem problem;
        GenerateProblem(menu_choice, random, problem, Variant::Practice);
        const int round = random.Random(2);
        return TryMistake(menu_choice, problem, kRulesBugs[c], round);
    };
    if (auto example = FirstPassingExample<RulesMistakeExample>(
            random, PreferredCases(all, preferred_kinds), all, attempt))
        return example;
    return RulesMistakeFallback(menu_choice);
}

RulesMistakeExample RulesMistakeFallback(int menu_choice) {
    // (23 + 45) × 12 with the sum 67; 12 + 3 × 4 with the product 13;
    // 84 ÷ 4 × 3 with the quotient 22; □ + 25 = 83 worked as 83 + 25.
    const auto problem = [](int menu, int kind, int a, int b, int c, int answer, const char* text) {
        ExpressionProblem p;
        p.problem_text = text;
        p.menu = menu;
        p.family_number = menu == kBoxMenu ? kind : 1;
        p.kind_code = menu == kBoxMenu ? 0 : kind;
        p.operand_a = a;
        p.operand_b = b;
        p.operand_c = c;
        p.expected_answer = answer;
        if (menu == kBoxMenu) {
            p.top_operand = b;
            p.bottom_operand = a;
        }
        return p;
    };
    struct Fixed {
        ExpressionProblem problem;
        RulesBug bug;
    };
    static const Fixed kFixed[] = {
        {problem(kParenthesesMenu, 63, 23, 45, 12, 816, "(23 + 45 ) x 12 = ?"), RulesBug::FirstResult},
        {problem(kMixedMenu, 13, 12, 3, 4, 24, "12 + 3 x 4 = ?"), RulesBug::FirstResult},
        {problem(kTimesDividesMenu, 93, 84, 4, 3, 63, "84 ÷ 4 x 3 = ?"), RulesBug::FirstResult},
        {problem(kBoxMenu, kAdd, 25, 83, 0, 58, "□ + 25 = 83"), RulesBug::BoxOwnOperation},
    };
    const Fixed& fixed = kFixed[std::clamp(menu_choice, 1, 4) - 1];
    for (const RulesBugCase& bug : kRulesBugs) {
        if (bug.bug != fixed.bug) continue;
        if (auto example = TryMistake(fixed.problem.menu, fixed.problem, bug, 0)) {
            example->fell_back = true;
            return *example;
        }
    }
    return {};  // not reached: the fixed examples pass their checks (tested)
}

}  // namespace sorelka::rules
