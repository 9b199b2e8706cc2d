#include "division/division_examples.h"

#include <algorithm>
#include <iterator>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"

namespace sorelka::division {

namespace {

const char* PlaceName(int place) {
    static const char* const kNames[] = {"", "一", "十", "百", "千"};
    return place >= kOnes && place <= kThousands ? kNames[place] : "";
}


// The row a number goes to at a step of the step machine: product and
// difference of each round.
std::optional<DivisionRole> RowAtStep(int step) {
    switch (step) {
        case 2: return DivisionRole::Row(0);
        case 3: return DivisionRole::Row(1);
        case 5: return DivisionRole::Row(2);
        case 6: return DivisionRole::Row(3);
        case 8: return DivisionRole::Row(4);
        case 9: return DivisionRole::Row(5);
        default: return std::nullopt;
    }
}

bool IsProductStep(int step) { return step == 2 || step == 5 || step == 8; }

// Follows the right work row by row for the lines: the part being divided,
// its product and the digits of the dividend used so far.
class Narrator {
public:
    explicit Narrator(const DivisionProblem& p) : p_(p), digits_(std::to_string(p.dividend)) {}

    std::string Line(const DivisionInput& input, int step) {
        const int n = static_cast<int>(digits_.size());
        switch (input.what) {
            case DivisionInput::What::Digit:
                if (used_ == 0) {  // the first digit's place says how much of the dividend it divides
                    used_ = n - (input.place - 1);
                    part_ = p_.dividend / Pow10(input.place - 1);
                }
                return PlaceDigitLine(input.place, input.value, p_.divisor);
            case DivisionInput::What::Skip: {
                const char brought = used_ + zeros_ < n ? digits_[used_ + zeros_] : '0';
                ++zeros_;
                return ZeroLine(brought);
            }
            case DivisionInput::What::Number: {
                if (IsProductStep(step)) {
                    product_ = input.value;
                    zeros_ = 0;
                    return ProductLine(product_, part_);
                }
                const int brought = std::min(zeros_ + 1, n - used_);
                const std::string line =
                    DifferenceLine(part_, product_, std::string_view(digits_).substr(used_, brought));
                used_ += brought;
                part_ = input.value;
                return line;
            }
            case DivisionInput::What::Finish:
                return AnswerLine(p_.dividend, p_.divisor);
        }
        return {};
    }

private:
    DivisionProblem p_;
    std::string digits_;
    int used_ = 0;   // digits of the dividend divided or brought down so far
    int zeros_ = 0;  // 0s put into the quotient since the last product
    long long part_ = 0;
    long long product_ = 0;
};

// The inputs entered one step each. `explain`: with the lines; `every_sheet`:
// the worksheet after every step, else after the last one only (enough for
// checking a draw).
DivisionExample Replay(const DivisionProblem& problem, const DivisionInputs& inputs, bool explain,
                       bool every_sheet = true) {
    QuietContext quiet;
    LongDivision model(quiet.cues, quiet.dialogs, quiet.random);
    model.NewProblem(problem);
    DivisionExample example;
    example.start = model.worksheet();
    if (explain) example.opening = "大きい 位から じゅんに 商を たてるよ";
    Narrator narrator(problem);
    for (const DivisionInput& input : inputs) {
        const int step = model.step();
        auto& s = example.steps.emplace_back();
        if (explain) s.line = narrator.Line(input, step);
        Feed(model, input);
        s.inputs = {input};
        if (every_sheet) s.sheet = model.worksheet();
        const std::string& quotient =
            model.worksheet().at(DivisionRoleCell(DivisionRole::QuotientDigit(0)).name).text;
        if (input.what == DivisionInput::What::Digit || input.what == DivisionInput::What::Skip) {
            if (!quotient.empty()) s.role = DivisionRole::QuotientDigit(static_cast<int>(quotient.size()) - 1);
        } else if (input.what == DivisionInput::What::Number) {
            s.role = RowAtStep(step);
        }
    }
    if (!every_sheet && !example.steps.empty()) example.steps.back().sheet = model.worksheet();
    return example;
}

DivisionInputs RightInputs(const DivisionProblem& problem) {
    DivisionInputs inputs = WorkDivision(problem, DivisionBug::None, 0).value_or(DivisionInputs{});
    inputs.push_back(DivisionInput::FinishWork());
    return inputs;
}

// One buggy procedure on one problem, as an example when it passes every check.
std::optional<DivisionMistakeExample> TryMistake(int menu_choice, const DivisionProblem& problem,
                                                 const DivisionBugCase& bug, int round) {
    std::optional<DivisionInputs> inputs = WorkDivision(problem, bug.bug, round);
    if (!inputs) return std::nullopt;
    inputs->push_back(DivisionInput::FinishWork());
    const DivisionExample work = Replay(problem, *inputs, false, false);
    const Diagnosis diagnosis = DiagnoseDivision(problem, WorkedRowsOf(work.end()));
    if (!diagnosis || diagnosis->kind != bug.kind) return std::nullopt;
    const std::optional<DivisionRole> wrong = DivisionStepRole(diagnosis->step);
    if (!wrong) return std::nullopt;
    const std::vector<DivisionRole> places = WrittenPlaces(work, DivisionRoleText);
    const DivisionExample right = Replay(problem, RightInputs(problem), false, false);
    if (FirstDifference(places, work.end(), right.end(), DivisionRoleText) != wrong) return std::nullopt;
    return DivisionMistakeExample{.menu_choice = menu_choice,
                                  .problem = problem,
                                  .work = ReplayDivision(problem, *inputs),
                                  .finding = *diagnosis,
                                  .wrong = *wrong,
                                  .places = places};
}

// Every buggy procedure but the quotient begun a place to the right: the
// digit it leaves out has no place on the sheet to point at.
std::vector<int> AllCases() {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kDivisionBugs)); ++c)
        if (kDivisionBugs[c].bug != DivisionBug::PlaceRight) cases.push_back(c);
    return cases;
}

}  // namespace

std::string PlaceDigitLine(int place, int digit, long long divisor) {
    return std::string(PlaceName(place)) + "の位に " + WideText(digit) + "を たてるよ　" + WideText(digit) +
           "×" + WideText(divisor) + "＝" + WideText(digit * divisor);
}

std::string ProductLine(long long product, long long partial) {
    return WideText(product) + "を " + WideText(partial) + "の 下に かくよ";
}

std::string DifferenceLine(long long partial, long long product, std::string_view brought) {
    const long long difference = partial - product;
    std::string line = WideText(partial) + "－" + WideText(product) + "＝" + WideText(difference) + "　";
    if (brought.empty()) return line + (difference == 0 ? "わりきれたよ" : "あまりは " + WideText(difference));
    for (std::size_t i = 0; i < brought.size(); ++i) line += (i ? "と " : "") + WideText(brought.substr(i, 1));
    return line + "を おろすよ";
}

std::string ZeroLine(char brought) {
    return WideText(std::string_view(&brought, 1)) + "を おろしても われないので ０を たてるよ";
}

std::string AnswerLine(long long dividend, long long divisor) {
    if (divisor <= 0) return {};
    return DivisionFact(dividend, divisor) + (dividend % divisor == 0 ? "　わりきれたよ" : "");
}

std::string DivisionRoleText(const Worksheet& sheet, DivisionRole role) {
    return RoleText(sheet, DivisionRoleCell(role));
}

DivisionExample DivisionWorkedExample(const DivisionProblem& problem) {
    return Replay(problem, RightInputs(problem), true);
}

DivisionExample ReplayDivision(const DivisionProblem& problem, const DivisionInputs& inputs) {
    return Replay(problem, inputs, false);
}

std::optional<std::size_t> FirstWrongStep(const DivisionExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    if (const std::optional<DivisionRole> role = DivisionStepRole(diagnosis->step)) {
        if (const auto step = StepWriting(example, *role)) return step;
        // A digit or row the right work has not: the last step in the same cell.
        const std::string cell = DivisionRoleCell(*role).name;
        for (std::size_t i = example.steps.size(); i-- > 0;)
            if (example.steps[i].role && DivisionRoleCell(*example.steps[i].role).name == cell) return i;
    }
    const WrittenDivision written = WrittenDivisionOf(DivisionProblem{}, rows);
    for (std::size_t i = 0; i < example.steps.size(); ++i) {
        const auto& role = example.steps[i].role;
        if (role && written.Text(*role) != DivisionRoleText(example.end(), *role)) return i;
    }
    return std::nullopt;
}

std::vector<std::string> DivisionMistakeKinds(int menu_choice) {
    if (menu_choice < 1 || menu_choice > 3) return {};
    std::vector<std::string> kinds;
    for (int c : AllCases())
        if (kinds.empty() || kinds.back() != kDivisionBugs[c].kind) kinds.push_back(kDivisionBugs[c].kind);
    return kinds;
}

std::optional<DivisionMistakeExample> DrawDivisionMistake(int menu_choice, RandomSource& random,
                                                          const std::vector<std::string>& preferred_kinds) {
    if (menu_choice < 1 || menu_choice > 3) return std::nullopt;
    const std::vector<int> all = AllCases();
    const auto attempt = [&](int c) {
        DivisionProblem problem;
        GenerateProblem(menu_choice, random, problem);
        const int round = random.Random(3) + 1;
        return TryMistake(menu_choice, problem, kDivisionBugs[c], round);
    };
    if (auto example = FirstPassingExample<DivisionMistakeExample>(
            random, CasesOfKinds(kDivisionBugs, all, preferred_kinds), all, attempt))
        return example;
    return DivisionMistakeFallback(menu_choice);
}

DivisionMistakeExample DivisionMistakeFallback(int menu_choice) {
    struct Fixed {
        DivisionProblem problem;
        DivisionBug bug;
        int round;
    };
    // 408 ÷ 4 with the 0 left out, 413 ÷ 59 with the digit 8, 5117 ÷ 312 with
    // the first product one too small.
    static const Fixed kFixed[] = {
        {{408, 4, 102, 0, 2}, DivisionBug::ZeroMissing, 1},
        {{413, 59, 7, 0, 2}, DivisionBug::TooBig, 1},
        {{5117, 312, 16, 125, 1}, DivisionBug::Product, 1},
    };
    const Fixed& fixed = kFixed[std::clamp(menu_choice, 1, 3) - 1];
    for (const DivisionBugCase& bug : kDivisionBugs) {
        if (bug.bug != fixed.bug) continue;
        if (auto example = TryMistake(menu_choice, fixed.problem, bug, fixed.round)) {
            example->fell_back = true;
            return *example;
        }
    }
    return {};  // not reached: the fixed examples pass their checks (tested)
}

}  // namespace sorelka::division
