#include "division/division_examples.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "division/division_cells.h"

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
// its product, the number being worked and the digits of the dividend used
// so far.
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
            case DivisionInput::What::Skip:
                cleared_ = tried_;
                tried_ = false;
                return ZeroLine(value_, p_.divisor);
            case DivisionInput::What::Tried: {
                const std::string line = DifferenceLine(part_, product_, Bring(1));
                value_ = input.value;
                tried_ = true;
                return line;
            }
            case DivisionInput::What::Number: {
                if (IsProductStep(step)) {
                    product_ = input.value;
                    return ProductLine(product_, part_);
                }
                std::string line;
                if (cleared_) {  // the tried number is gone: one more digit comes down
                    cleared_ = false;
                    line = BroughtLine(Bring(1));
                } else {
                    line = DifferenceLine(part_, product_, Bring(used_ < n ? 1 : 0));
                }
                value_ = part_ = input.value;
                return line;
            }
            case DivisionInput::What::Finish:
                return CheckLine(p_.dividend, p_.divisor);
        }
        return {};
    }

private:
    std::string Bring(int count) {
        const std::string brought = digits_.substr(std::min<std::size_t>(used_, digits_.size()), count);
        used_ += static_cast<int>(brought.size());
        return brought;
    }

    DivisionProblem p_;
    std::string digits_;
    int used_ = 0;         // digits of the dividend divided or brought down so far
    bool tried_ = false;   // the row holds a tried number
    bool cleared_ = false; // "飛ばし" cleared a tried number
    long long part_ = 0;
    long long product_ = 0;
    long long value_ = 0;  // the number in the difference row
};

// The inputs entered one step each. `explain`: with the lines; `every_sheet`:
// the worksheet after every step, else after the last one only (enough for
// checking a draw); `marker`: the row marker shows.
DivisionExample Replay(const DivisionProblem& problem, const DivisionInputs& inputs, bool explain,
                       bool every_sheet = true, bool marker = true) {
    QuietContext quiet;
    LongDivision model(quiet.cues, quiet.dialogs, quiet.random);
    model.NewProblem(problem);
    if (!marker) model.HideRowMarker();
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
        const std::string& quotient = model.worksheet().at(kQuotientRole).text;
        if (input.what == DivisionInput::What::Digit || input.what == DivisionInput::What::Skip) {
            // The digit just written stands over the column after the others.
            if (!quotient.empty())
                s.role = DivisionRole::QuotientDigit(QuotientFirstPlace(model.worksheet()) -
                                                     (static_cast<int>(quotient.size()) - 1));
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

// Whether a place written after the wrong one may differ from the right work
// as a consequence of a mistake of `kind`: the product of a digit too big
// (the pupil stops there), the product and difference of a digit too small,
// the later quotient digits of a first digit a column off or of a 0 left
// out, anything after a slip of a product or a difference (the pupil's own
// numbers); nothing after a digit not brought down (the pupil stops).
bool MayFollow(std::string_view kind, const DivisionRole& place, int rows_after) {
    const bool row = place.part == DivisionRole::Part::Row;
    if (kind == kQuotientTooBig) return row && rows_after <= 1;
    if (kind == kQuotientTooSmall) return row && rows_after <= 2;
    if (kind == kQuotientPlace || kind == kZeroMissing) return !row;
    return kind == kProductSlip || kind == kDifferenceSlip;
}

// One buggy procedure on one problem, as an example when it passes every check.
std::optional<DivisionMistakeExample> TryMistake(int menu_choice, const DivisionProblem& problem,
                                                 const DivisionBugCase& bug, int round) {
    std::optional<DivisionInputs> inputs = WorkDivision(problem, bug.bug, round);
    if (!inputs) return std::nullopt;
    inputs->push_back(DivisionInput::FinishWork());
    const DivisionExample work = Replay(problem, *inputs, false, false, false);
    const WorkedRows rows = DivisionWorkedRows(work.end());
    const Diagnosis diagnosis = DiagnoseDivision(problem, rows);
    if (!diagnosis || diagnosis->kind != bug.kind) return std::nullopt;
    const std::optional<DivisionRole> wrong = DivisionStepRole(diagnosis->step, WrittenDivisionOf(problem, rows));
    if (!wrong) return std::nullopt;
    const std::vector<DivisionRole> places = WrittenPlaces(work, DivisionRoleText);
    const DivisionExample right = Replay(problem, RightInputs(problem), false, false);
    if (FirstDifference(places, work.end(), right.end(), DivisionRoleText) != wrong) return std::nullopt;
    std::vector<DivisionRole> follows;
    bool after = false;
    int rows_after = 0;
    for (const DivisionRole& place : places) {
        if (place == *wrong) {
            after = true;
            continue;
        }
        if (!after) continue;
        rows_after += place.part == DivisionRole::Part::Row;
        if (MayFollow(bug.kind, place, rows_after) &&
            DivisionRoleText(work.end(), place) != DivisionRoleText(right.end(), place))
            follows.push_back(place);
    }
    return DivisionMistakeExample{.menu_choice = menu_choice,
                                  .problem = problem,
                                  .work = Replay(problem, *inputs, false, true, false),
                                  .finding = *diagnosis,
                                  .wrong = *wrong,
                                  .accepted = {*wrong},
                                  .follows = std::move(follows),
                                  .places = places};
}

// A 0 inside the quotient, with a digit after it: the one a pupil can leave out.
bool HasZeroInside(const DivisionProblem& problem) {
    std::string quotient = std::to_string(problem.quotient);
    while (!quotient.empty() && quotient.back() == '0') quotient.pop_back();
    return quotient.find('0') != std::string::npos;
}

// Problems drawn for one example of a 0 left out until one has a 0 inside
// its quotient (a few in a hundred have).
constexpr int kZeroProblemDraws = 200;

std::vector<int> AllCases() {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kDivisionBugs)); ++c) cases.push_back(c);
    return cases;
}

}  // namespace

std::string PlaceDigitLine(int place, int digit, long long divisor) {
    return std::string(PlaceName(place)) + "の位に " + WideText(digit) + "を たてるよ　" + WideText(divisor) +
           "×" + WideText(digit) + "＝" + WideText(digit * divisor);
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

std::string ZeroLine(long long value, long long divisor) {
    return WideText(value) + "は " + WideText(divisor) + "より 小さいので ０を たてるよ";
}

std::string BroughtLine(std::string_view brought) { return WideText(brought) + "を おろすよ"; }

std::string CheckLine(long long dividend, long long divisor) {
    if (divisor <= 0) return {};
    const long long rest = dividend % divisor;
    return "たしかめ　" + WideText(divisor) + "×" + WideText(dividend / divisor) +
           (rest > 0 ? "＋" + WideText(rest) : "") + "＝" + WideText(dividend);
}

RoleCell DivisionRoleCell(const Worksheet& sheet, DivisionRole role) {
    if (role.part == DivisionRole::Part::Quotient)
        return {role.cell(), RoleCell::Digit::FromLeft, QuotientFirstPlace(sheet) - role.index, role.index};
    return {role.cell(), RoleCell::Digit::Whole, 0};
}

std::string DivisionRoleText(const Worksheet& sheet, DivisionRole role) {
    return RoleText(sheet, DivisionRoleCell(sheet, role));
}

DivisionExample DivisionWorkedExample(const DivisionProblem& problem) {
    return Replay(problem, RightInputs(problem), true);
}

DivisionExample ReplayDivision(const DivisionProblem& problem, const DivisionInputs& inputs) {
    return Replay(problem, inputs, false);
}

std::optional<std::size_t> FirstWrongStep(const DivisionExample& example, const DivisionProblem& problem,
                                          const WorkedRows& rows, const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    const WrittenDivision written = WrittenDivisionOf(problem, rows);
    if (diagnosis->step.starts_with("quotient:")) {
        // The K-th digit of the pupil's quotient: the step writing the right
        // quotient's K-th digit, wherever either stands.
        const int k = std::atoi(diagnosis->step.c_str() + 9);
        std::optional<std::size_t> last;
        int seen = 0;
        for (std::size_t i = 0; i < example.steps.size(); ++i) {
            const auto& role = example.steps[i].role;
            if (!role || role->part != DivisionRole::Part::Quotient) continue;
            last = i;
            if (++seen == k) return i;
        }
        if (k >= 1 && last) return last;
    } else if (const std::optional<DivisionRole> role = DivisionStepRole(diagnosis->step, written)) {
        if (const auto step = StepWriting(example, *role)) return step;
    }
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
        const DivisionBugCase& bug = kDivisionBugs[c];
        DivisionProblem problem;
        for (int draw = 0; draw < kZeroProblemDraws; ++draw) {
            GenerateProblem(menu_choice, random, problem);
            if (bug.bug != DivisionBug::ZeroMissing || HasZeroInside(problem)) break;
        }
        const int round = random.Random(3) + 1;
        return TryMistake(menu_choice, problem, bug, round);
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
