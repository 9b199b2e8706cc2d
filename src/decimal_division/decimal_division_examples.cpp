#include "decimal_division/decimal_division_examples.h"

#include <algorithm>
#include <cstring>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "decimal_division/decimal_division_steps.h"
#include "division/division_examples.h"

namespace sorelka::decimal_division {

namespace {

using DivisionWhat = division::DivisionInput::What;

// The name of the place 10^e in a line: "一", "十", "1/10", "1/100".
std::string PlaceName(int e) {
    static const char* const kWhole[] = {"一", "十", "百", "千"};
    if (e >= 0) return e < 4 ? kWhole[e] : "";
    return "1/" + std::to_string(Pow10(-e));
}

// The row a number goes to at a step of the long division's step machine.
std::optional<int> RowAtStep(int step) {
    switch (step) {
        case 2: return 0;
        case 3: return 1;
        case 5: return 2;
        case 6: return 3;
        case 8: return 4;
        case 9: return 5;
        default: return std::nullopt;
    }
}

bool IsProductStep(int step) { return step == 2 || step == 5 || step == 8; }

// Follows the right work for its lines: the long division's lines on the
// scaled dividend (its digits are the dividend's and the 0s written after
// it), the places named as in this problem, and the lines of this topic's
// own steps.
class Narrator {
public:
    explicit Narrator(const DecimalDivisionProblem& p)
        : p_(p), whole_(WholeDivision(p)), digits_(std::to_string(whole_.dividend)), places_(WorkedPlaces(p)) {}

    std::string Line(const DecimalDivisionInput& input, int step) {
        using What = DecimalDivisionInput::What;
        switch (input.what) {
            case What::Division: return DivisionLine(input.division, step);
            case What::AppendZero:
                ++zeros_;
                if (zeros_ == 1 && p_.places == 0)
                    return WideText(p_.digits) + "は " + WideText(DividendText(p_) + ".0") +
                           "と 同じだから、小数点と ０を つけたして わり進むよ";
                return "わられる数に ０を つけたして わり進むよ";
            case What::QuotientPoint: return "商の 小数点は、わられる数の 小数点に そろえて うつよ";
            case What::OnesZero:
                return WideText(p_.digits / Pow10(p_.places)) + "は " + WideText(p_.divisor) +
                       "より 小さいので、商の 一の位に ０を 書くよ";
            case What::RemainderPoint:
                return "あまりの 小数点も、わられる数の 小数点に そろえて うつよ　あまりは " +
                       WideText(RemainderText(p_));
            case What::StartRounded: {
                const long long last = whole_.quotient % 10;
                return PlaceName(-places_) + "の位の " + WideText(last) +
                       (last >= 5 ? "は ５いじょう だから 切り上げて、" : "は ５より 小さいから 切りすてて、") +
                       PlaceName(-p_.asked) + "の位までの がい数に するよ";
            }
            case What::RoundedDigit:
                return PlaceName(input.place - (places_ + 1)) + "の位は " + WideText(input.value) + "だよ";
            case What::Finish: return WideFact(p_);
        }
        return {};
    }

private:
    std::string DivisionLine(const division::DivisionInput& input, int step) {
        const int n = static_cast<int>(digits_.size());
        switch (input.what) {
            case DivisionWhat::Digit: {
                if (used_ == 0) {  // the first digit's place says how much of the dividend it divides
                    used_ = n - (input.place - 1);
                    part_ = whole_.dividend / Pow10(input.place - 1);
                }
                // The long division's line, its ones named as the place this column is here.
                std::string line = division::PlaceDigitLine(division::kOnes, input.value, whole_.divisor);
                return PlaceName(input.place - (places_ + 1)) + line.substr(std::strlen("一"));
            }
            case DivisionWhat::Skip:
                cleared_ = tried_;
                tried_ = false;
                return division::ZeroLine(value_, whole_.divisor);
            case DivisionWhat::Tried: {
                const std::string line = division::DifferenceLine(part_, product_, Bring(1));
                value_ = input.value;
                tried_ = true;
                return line;
            }
            case DivisionWhat::Number: {
                if (IsProductStep(step)) {
                    product_ = input.value;
                    return division::ProductLine(product_, part_);
                }
                std::string line;
                if (cleared_) {  // the tried number is gone: one more digit comes down
                    cleared_ = false;
                    line = division::BroughtLine(Bring(1));
                } else if (used_ < n) {
                    line = division::DifferenceLine(part_, product_, Bring(1));
                } else {
                    line = division::DifferenceLine(part_, product_, "");
                    // Not divided to the end: the last difference is not yet the remainder as read.
                    if (p_.ending != Ending::Divides && part_ != product_)
                        line = line.substr(0, line.find("　")) + "　" + PlaceName(-places_) +
                               "の位まで もとめたよ";
                }
                value_ = part_ = input.value;
                return line;
            }
            case DivisionWhat::Finish: return WideFact(p_);
        }
        return {};
    }

    std::string Bring(int count) {
        const std::string brought = digits_.substr(std::min<std::size_t>(used_, digits_.size()), count);
        used_ += static_cast<int>(brought.size());
        return brought;
    }

    DecimalDivisionProblem p_;
    division::DivisionProblem whole_;
    std::string digits_;
    int places_ = 0;
    int zeros_ = 0;
    int used_ = 0;          // digits of the scaled dividend divided or brought down so far
    bool tried_ = false;    // the row holds a tried number
    bool cleared_ = false;  // "飛ばし" cleared a tried number
    long long part_ = 0;
    long long product_ = 0;
    long long value_ = 0;
};

// A problem worked input by input on a fresh sheet, each input one step:
// the sheet after it, its line and the role it writes.
class Recorder {
public:
    explicit Recorder(const DecimalDivisionProblem& problem)
        : steps_(quiet_.cues, quiet_.dialogs, quiet_.random, StepsOptions{.with_mark = false}) {
        steps_.StartProblem(problem);
        example_.start = steps_.cells();
    }

    void Step(const DecimalDivisionInput& input, std::string line) {
        using What = DecimalDivisionInput::What;
        using Part = DecimalDivisionRole::Part;
        const int step = steps_.division().step();
        steps_.Feed(input);
        auto& s = example_.steps.emplace_back();
        s.inputs = {input};
        s.sheet = steps_.cells();
        s.line = std::move(line);
        switch (input.what) {
            case What::Division: {
                const Worksheet& sheet = steps_.division().worksheet();
                const std::string& quotient = sheet.at(division::kQuotientRole).text;
                const DivisionWhat what = input.division.what;
                if ((what == DivisionWhat::Digit || what == DivisionWhat::Skip) && !quotient.empty()) {
                    // The character just written stands over the column after the others.
                    s.role = DecimalDivisionRole{
                        Part::Division, division::DivisionRole::QuotientDigit(division::QuotientFirstPlace(sheet) -
                                                                              (static_cast<int>(quotient.size()) - 1))};
                } else if (what == DivisionWhat::Number) {
                    if (const std::optional<int> row = RowAtStep(step))
                        s.role = DecimalDivisionRole{Part::Division, division::DivisionRole::Row(*row)};
                }
                break;
            }
            case What::AppendZero: s.role = DecimalDivisionRole{Part::DividendZeros, {}}; break;
            case What::QuotientPoint: s.role = DecimalDivisionRole{Part::QuotientPoint, {}}; break;
            case What::OnesZero: s.role = DecimalDivisionRole{Part::OnesZero, {}}; break;
            case What::RemainderPoint: s.role = DecimalDivisionRole{Part::RemainderPoint, {}}; break;
            case What::RoundedDigit: s.role = DecimalDivisionRole{Part::Rounded, {}}; break;
            case What::StartRounded:
            case What::Finish: break;
        }
    }

    int step() const { return steps_.division().step(); }
    DecimalDivisionExample& example() { return example_; }

private:
    QuietContext quiet_;
    DecimalDivisionSteps steps_;
    DecimalDivisionExample example_;
};

}  // namespace

RoleCell DecimalDivisionRoleCell(const Worksheet& sheet, const DecimalDivisionRole& role) {
    using Part = DecimalDivisionRole::Part;
    switch (role.part) {
        case Part::Division: return division::DivisionRoleCell(sheet, role.division);
        case Part::DividendZeros: return {role::kDividendZeros};
        case Part::QuotientPoint: return {role::kQuotientPoint};
        case Part::OnesZero: return {role::kOnesZero};
        case Part::RemainderPoint: return {role::kRemainderPoint};
        case Part::Rounded: return {role::kRounded};
    }
    return {};
}

std::string DecimalDivisionRoleText(const Worksheet& sheet, const DecimalDivisionRole& role) {
    return RoleText(sheet, DecimalDivisionRoleCell(sheet, role));
}

std::optional<DecimalDivisionRole> RoleOfStep(std::string_view step, const WorkedRows& rows,
                                              const DecimalDivisionProblem& problem) {
    using Part = DecimalDivisionRole::Part;
    if (step == "zeros") return DecimalDivisionRole{Part::DividendZeros, {}};
    if (step == "point") return DecimalDivisionRole{Part::QuotientPoint, {}};
    if (step == "ones_zero") return DecimalDivisionRole{Part::OnesZero, {}};
    if (step == "remainder_point") return DecimalDivisionRole{Part::RemainderPoint, {}};
    if (step == "rounded") return DecimalDivisionRole{Part::Rounded, {}};
    const std::optional<division::DivisionRole> role =
        division::DivisionStepRole(step, division::WrittenDivisionOf(WholeDivision(problem), rows));
    if (!role) return std::nullopt;
    return DecimalDivisionRole{Part::Division, *role};
}

DecimalDivisionExample DecimalDivisionWorkedExample(const DecimalDivisionProblem& problem) {
    if (!FitsSheet(problem)) return {};
    Recorder recorder(problem);
    Narrator narrator(problem);
    recorder.example().opening = "整数の わり算と 同じように、大きい 位から じゅんに 商を たてるよ";
    DecimalDivisionInputs inputs = RightWorkInputs(problem);
    inputs.push_back(DecimalDivisionInput::Of(DecimalDivisionInput::What::Finish));
    for (const DecimalDivisionInput& input : inputs) {
        std::string line = narrator.Line(input, recorder.step());
        recorder.Step(input, std::move(line));
    }
    return std::move(recorder.example());
}

DecimalDivisionExample ReplayDecimalDivision(const DecimalDivisionProblem& problem,
                                             const DecimalDivisionInputs& inputs) {
    Recorder recorder(problem);
    for (const DecimalDivisionInput& input : inputs) recorder.Step(input, "");
    return std::move(recorder.example());
}

}  // namespace sorelka::decimal_division
