#include "decimal_division/decimal_division_bugs.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/number_text.h"

namespace sorelka::decimal_division {

namespace {

using Input = DecimalDivisionInput;
using What = DecimalDivisionInput::What;
using division::DivisionInput;

// What a pupil writes, before it is put in the order of the writing: the
// long division of the digits (its quotient digits over the columns of the
// right work's scaled dividend), the 0s it may write after the dividend,
// the points, the ones 0 and the rounded row.
struct Plan {
    division::DivisionInputs division;
    int zeros = 0;             // the 0s the division may bring down
    bool zeros_at_once = false;  // all of them written before the first is brought down
    std::optional<int> point;
    bool ones_zero = false;
    std::optional<int> remainder_point;
    // The rounded row: its value in units of its last place, and its places.
    std::optional<std::pair<long long, int>> rounded;
};

int Digits(long long value) { return static_cast<int>(std::to_string(value).size()); }

// The columns of the quotient's characters in the order they are written:
// a digit over the column of its list, a 0 ("飛ばし") one column right of
// the one before.
std::vector<int> QuotientColumns(const division::DivisionInputs& inputs) {
    std::vector<int> columns;
    for (const DivisionInput& input : inputs) {
        if (input.what == DivisionInput::Digit) columns.push_back(input.place);
        if (input.what == DivisionInput::Skip && !columns.empty()) columns.push_back(columns.back() - 1);
    }
    return columns;
}

// The quotient's point and ones 0 as the taught rule puts them on the
// quotient written: the point right of the column of the dividend's ones
// (column `worked` + 1), the 0 when the first digit stands right of it.
void PutPoint(Plan& plan, int worked) {
    const std::vector<int> columns = QuotientColumns(plan.division);
    if (columns.empty()) return;
    const int places = worked + 1 - columns.back();
    if (places >= 1 && places <= kPointItems) plan.point = places;
    plan.ones_zero = columns.front() <= worked;
}

// The long division's inputs with every quotient digit `shift` columns to the left.
division::DivisionInputs Shifted(division::DivisionInputs inputs, int shift) {
    for (DivisionInput& input : inputs)
        if (input.what == DivisionInput::Digit) input.place += shift;
    return inputs;
}

// The number of the dividend's digits the first round divides.
int FirstPart(long long dividend, long long divisor) {
    const std::string s = std::to_string(dividend);
    std::size_t pos = 0;
    long long part = 0;
    while (pos < s.size() && part < divisor) part = part * 10 + (s[pos++] - '0');
    return static_cast<int>(pos);
}

// The taught work of `problem` with the long division `division` (of the
// right work's columns), its point and 0s put by the rule.
Plan TaughtPlan(const DecimalDivisionProblem& problem, division::DivisionInputs division) {
    Plan plan;
    plan.division = std::move(division);
    plan.zeros = WrittenZeros(problem);
    const int worked = WorkedPlaces(problem);
    PutPoint(plan, worked);
    if (problem.ending == Ending::Remainder) plan.remainder_point = worked;
    if (problem.ending == Ending::Rounded) {
        // The pupil's own quotient rounded at its last digit, when it
        // reaches the last worked place.
        const std::vector<int> columns = QuotientColumns(plan.division);
        if (!columns.empty() && columns.back() == division::kOnes) {
            long long quotient = 0;
            for (const DivisionInput& input : plan.division) {
                if (input.what == DivisionInput::Digit) quotient = quotient * 10 + input.value;
                if (input.what == DivisionInput::Skip) quotient *= 10;
            }
            plan.rounded = std::pair{(quotient + 5) / 10, problem.asked};
        }
    }
    return plan;
}

// Where a pupil who does not divide on stops: how many 0s they write (fewer
// than the work needs), so that their quotient begins with a digit; on a
// rounding, the asked place. None when there is no such place.
std::optional<int> StopZeros(const DecimalDivisionProblem& problem) {
    const int needed = WrittenZeros(problem);
    int zeros = problem.ending == Ending::Rounded ? std::max(0, problem.asked - problem.places) : 0;
    while (zeros < needed && problem.digits * Pow10(zeros) < problem.divisor) ++zeros;
    if (zeros >= needed) return std::nullopt;
    return zeros;
}

std::optional<Plan> StopsEarlyPlan(const DecimalDivisionProblem& problem) {
    const std::optional<int> zeros = StopZeros(problem);
    if (!zeros) return std::nullopt;
    division::DivisionProblem shorter;
    shorter.dividend = static_cast<int>(problem.digits * Pow10(*zeros));
    shorter.divisor = problem.divisor;
    shorter.quotient = shorter.dividend / shorter.divisor;
    shorter.remainder = shorter.dividend % shorter.divisor;
    const std::optional<division::DivisionInputs> inputs = division::WorkDivision(shorter, division::DivisionBug::None, 0);
    if (!inputs) return std::nullopt;
    // The digits stand where they stand on the sheet of the whole work: the
    // last one written over the dividend's last digit written.
    Plan plan;
    plan.division = Shifted(*inputs, WrittenZeros(problem) - *zeros);
    plan.zeros = *zeros;
    const int worked = problem.places + *zeros;
    PutPoint(plan, WorkedPlaces(problem));
    if (problem.ending == Ending::Remainder && worked >= 1) plan.remainder_point = worked;
    if (problem.ending == Ending::Rounded) plan.rounded = std::pair{shorter.quotient, worked};
    return plan;
}

// Whether `plan` writes a wrong answer to `problem`. A mistake changes the
// quotient or the remainder read, but the rounded quotient may round a
// wrong last digit to the right answer: then the work reads right.
bool Wrong(const DecimalDivisionProblem& problem, const Plan& plan) {
    if (problem.ending != Ending::Rounded) return true;
    // The rounded row reads with the quotient's point, right of the column
    // of the dividend's ones when right, and its ones 0 below 1.
    const std::vector<int> columns = QuotientColumns(plan.division);
    const long long rounded = (WholeDivision(problem).quotient + 5) / 10;
    if (columns.empty() || !plan.point || columns.back() + *plan.point != WorkedPlaces(problem) + 1) return true;
    if (rounded < Pow10(problem.asked) && !plan.ones_zero) return true;
    return plan.rounded != std::pair{rounded, problem.asked};
}

// A long-division pupil's work: the mistake in one of the rounds where it
// can be made and shows in the answer, drawn by `random`.
std::optional<Plan> LongDivisionPlan(const DecimalDivisionProblem& problem, division::DivisionBug bug,
                                     RandomSource* random) {
    std::vector<division::DivisionInputs> tried;
    std::vector<Plan> options;
    for (int round = 1; round <= 3; ++round) {
        std::optional<division::DivisionInputs> inputs = division::WorkDivision(WholeDivision(problem), bug, round);
        if (!inputs || std::find(tried.begin(), tried.end(), *inputs) != tried.end()) continue;
        tried.push_back(*inputs);
        Plan plan = TaughtPlan(problem, std::move(*inputs));
        plan.zeros_at_once = true;
        if (Wrong(problem, plan)) options.push_back(std::move(plan));
        if (!random && !options.empty()) break;  // whether there is one
    }
    if (options.empty()) return std::nullopt;
    const std::size_t pick = random ? static_cast<std::size_t>(random->Random(static_cast<int>(options.size()))) : 0;
    return options[pick];
}

// The work of `pupil` on `problem`; none when its mistake has no place.
std::optional<Plan> PlanOf(const DecimalDivisionPupilCase& pupil, const DecimalDivisionProblem& problem,
                           RandomSource* random) {
    if (!FitsSheet(problem)) return std::nullopt;
    const std::optional<division::DivisionInputs> right =
        division::WorkDivision(WholeDivision(problem), division::DivisionBug::None, 0);
    if (!right) return std::nullopt;
    Plan plan = TaughtPlan(problem, *right);
    const int worked = WorkedPlaces(problem);
    const long long quotient = WholeDivision(problem).quotient;
    switch (pupil.pupil) {
        case DecimalDivisionPupil::Right: return plan;
        case DecimalDivisionPupil::ForgetsPoint:
            plan.point.reset();
            plan.ones_zero = false;
            return plan;
        case DecimalDivisionPupil::PointByOwnPlaces: {
            // Only the dividend's own places counted: a whole dividend has
            // no item for it in the list.
            if (problem.places < 1 || problem.places == worked) return std::nullopt;
            plan.point = problem.places;
            plan.ones_zero = Digits(quotient) <= problem.places;
            return plan;
        }
        case DecimalDivisionPupil::ForgetsOnesZero:
            if (!plan.ones_zero) return std::nullopt;
            plan.ones_zero = false;
            return plan;
        case DecimalDivisionPupil::RemainderWhole:
            if (problem.ending != Ending::Remainder) return std::nullopt;
            plan.remainder_point.reset();
            return plan;
        case DecimalDivisionPupil::StopsEarly: return StopsEarlyPlan(problem);
        case DecimalDivisionPupil::RoundsWrongPlace: {
            if (problem.ending != Ending::Rounded) return std::nullopt;
            // The quotient written as it is, or (to 1/100) rounded at 1/10.
            const bool to_tenths = problem.asked == 2 && random && random->Random(2) == 0;
            plan.rounded = to_tenths ? std::pair{(quotient + 50) / 100, 1} : std::pair{quotient, worked};
            return plan;
        }
        case DecimalDivisionPupil::CutsOff:
            if (problem.ending != Ending::Rounded || quotient % 10 < 5) return std::nullopt;
            plan.rounded = std::pair{quotient / 10, problem.asked};
            return plan;
        case DecimalDivisionPupil::LongDivision: return LongDivisionPlan(problem, pupil.bug, random);
    }
    return std::nullopt;
}

// The plan as the steps take it, in the order of the writing: a 0 after the
// dividend just before the row that brings it down; the ones 0 and the
// point before the first digit when the quotient begins right of the point,
// else right after the digit over the dividend's ones; the remainder's
// point after the last row; the rounded row last.
DecimalDivisionInputs InOrder(const DecimalDivisionProblem& problem, const Plan& plan) {
    DecimalDivisionInputs out;
    const int worked = WorkedPlaces(problem);
    const std::vector<int> columns = QuotientColumns(plan.division);
    const bool point_first = !columns.empty() && columns.front() <= worked;
    bool point_done = false;
    const auto put_point = [&] {
        if (point_done) return;
        point_done = true;
        if (plan.ones_zero) out.push_back(Input::Of(What::OnesZero));
        if (plan.point) out.push_back(Input::Of(What::QuotientPoint, *plan.point));
    };
    if (point_first) put_point();

    const long long scaled = WholeDivision(problem).dividend;
    const int own = Digits(problem.digits);
    const int total = Digits(scaled) - WrittenZeros(problem) + plan.zeros;
    int written = 0;
    const auto write_zeros_to = [&](int digits) {
        // Digits of the dividend up to `digits` written, 0s after its own.
        const int wanted = std::min(plan.zeros, plan.zeros_at_once ? plan.zeros : digits - own);
        for (; written < wanted; ++written) out.push_back(Input::Of(What::AppendZero));
    };
    int used = FirstPart(scaled, problem.divisor);
    bool product_next = false;
    bool ends_on_product = false;
    int column = 0;
    for (const DivisionInput& input : plan.division) {
        if (input.what == DivisionInput::Digit) {
            if (used > own) write_zeros_to(used);
            product_next = true;
        } else if (input.what == DivisionInput::Number && product_next) {
            product_next = false;
            ends_on_product = true;
        } else if ((input.what == DivisionInput::Number || input.what == DivisionInput::Tried) && used < total) {
            ends_on_product = false;
            ++used;  // a difference with the next digit brought down
            if (used > own) write_zeros_to(used);
        } else if (input.what == DivisionInput::Number) {
            ends_on_product = false;
        }
        out.push_back(Input::Of(input));
        if (input.what == DivisionInput::Digit) column = input.place;
        if (input.what == DivisionInput::Skip) --column;
        if ((input.what == DivisionInput::Digit || input.what == DivisionInput::Skip) && column == worked + 1)
            put_point();
    }
    put_point();
    // A remainder's point goes under the last difference; a pupil whose
    // work stops on a product that cannot be taken away has none to mark.
    if (plan.remainder_point && !ends_on_product) out.push_back(Input::Of(What::RemainderPoint, *plan.remainder_point));
    if (plan.rounded) {
        out.push_back(Input::Of(What::StartRounded));
        const auto [value, places] = *plan.rounded;
        const std::string digits = std::to_string(value);
        // The digit of 10^e stands over column worked + 1 + e; a 0 in the
        // ones of a value below 1 is the quotient's ones 0, not written.
        for (std::size_t i = 0; i < digits.size(); ++i) {
            const int e = static_cast<int>(digits.size() - 1 - i) - places;
            if (e == 0 && value < Pow10(places)) continue;
            out.push_back(Input::Of(What::RoundedDigit, digits[i] - '0', worked + 1 + e));
        }
    }
    return out;
}

}  // namespace

bool CanMakeMistake(const DecimalDivisionPupilCase& pupil, const DecimalDivisionProblem& problem) {
    if (pupil.pupil == DecimalDivisionPupil::Right) return false;
    const std::optional<Plan> plan = PlanOf(pupil, problem, nullptr);
    return plan && Wrong(problem, *plan);
}

std::optional<DecimalDivisionInputs> InputsOf(const DecimalDivisionPupilCase& pupil,
                                             const DecimalDivisionProblem& problem, RandomSource& random) {
    const std::optional<Plan> plan = PlanOf(pupil, problem, &random);
    if (!plan || (pupil.pupil != DecimalDivisionPupil::Right && !Wrong(problem, *plan))) return std::nullopt;
    return InOrder(problem, *plan);
}

// The worked example's order (the point and the ones 0 after the digits),
// so that the find-the-mistake examples compare with the sheet お手本 shows.
DecimalDivisionInputs RightInputs(const DecimalDivisionProblem& problem) { return RightWorkInputs(problem); }

DecimalDivisionWork WorkOfInputs(const DecimalDivisionProblem& problem, const DecimalDivisionInputs& inputs) {
    DecimalDivisionWork work;
    const division::DivisionProblem whole = WholeDivision(problem);
    work.division.dividend = whole.dividend;
    work.division.divisor = whole.divisor;
    std::array<int, kRoundedColumns + 1> rounded;
    rounded.fill(-1);
    // The long division's cells as its step machine writes them: the
    // quotient over the column of its first digit, the rows in order, a
    // tried difference written where the next number then stands.
    std::size_t row = 0;
    for (const DecimalDivisionInput& input : inputs) {
        const DivisionInput& d = input.division;
        switch (input.what) {
            case What::Division:
                if (d.what == DivisionInput::Digit) {
                    if (work.division.quotient.empty()) work.division.quotient_place = d.place;
                    work.division.quotient += static_cast<char>('0' + d.value);
                } else if (d.what == DivisionInput::Skip) {
                    work.division.quotient += '0';
                } else if ((d.what == DivisionInput::Number || d.what == DivisionInput::Tried) && row < 6) {
                    work.division.rows[row] = std::to_string(d.value);
                    if (d.what == DivisionInput::Number) ++row;
                }
                break;
            case What::AppendZero: ++work.written_zeros; break;
            case What::QuotientPoint: work.quotient_point = input.value; break;
            case What::RemainderPoint: work.remainder_point = input.value; break;
            case What::OnesZero: work.ones_zero = true; break;
            case What::RoundedDigit:
                if (input.place >= 1 && input.place <= kRoundedColumns)
                    rounded[static_cast<std::size_t>(input.place)] = input.value;
                break;
            case What::StartRounded:
            case What::Finish: break;
        }
    }
    work.rounded = RoundedColumns(rounded, static_cast<int>(std::to_string(whole.dividend).size()));
    return work;
}

}  // namespace sorelka::decimal_division
