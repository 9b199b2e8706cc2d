#include "decimal_division/decimal_division_sheet.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "division/division_cells.h"

namespace sorelka::decimal_division {

namespace {

constexpr const char* kActionTexts[kActionItems] = {" 確定",       "飛ばし", "０をつけたす", "一の位に０",
                                                    "がい数を書く", "クリア", "終わり"};

// `digits` with a point `places` from its right, 0s put in front where the
// point stands left of every digit: "135", 2 → "1.35"; "4", 2 → ".04".
std::string WithPoint(std::string digits, int places) {
    if (places <= 0) return digits;
    const std::size_t count = static_cast<std::size_t>(places);
    if (digits.size() < count) digits.insert(0, count - digits.size(), '0');
    return digits.substr(0, digits.size() - count) + "." + digits.substr(digits.size() - count);
}

// The last difference written: the last of the rows 2, 4, 6 that holds one.
std::string LastDifference(const division::WrittenDivision& division) {
    for (int row = 5; row >= 1; row -= 2)
        if (!division.rows[static_cast<std::size_t>(row)].empty()) return division.rows[static_cast<std::size_t>(row)];
    return {};
}

}  // namespace

std::string PointItemText(int places) { return "右から" + WideText(places) + "けた"; }

std::optional<int> PlacesOfPointItem(std::string_view text) {
    for (int places = 1; places <= kPointItems; ++places)
        if (text == PointItemText(places)) return places;
    return std::nullopt;
}

std::optional<SheetAction> SheetActionAt(int index) {
    if (index < 0 || index >= kActionItems) return std::nullopt;
    return static_cast<SheetAction>(index);
}

const char* SheetActionText(SheetAction action) { return kActionTexts[static_cast<int>(action)]; }

std::string RoundedColumns(const std::array<int, kRoundedColumns + 1>& digits, int dividend_digits) {
    int highest = 0;
    for (int c = 1; c <= kRoundedColumns; ++c)
        if (digits[static_cast<std::size_t>(c)] >= 0) highest = c;
    if (highest == 0) return {};
    std::string text;
    for (int c = std::max(highest, dividend_digits); c >= 1; --c) {
        const int digit = c <= kRoundedColumns ? digits[static_cast<std::size_t>(c)] : -1;
        text += digit >= 0 ? static_cast<char>('0' + digit) : ' ';
    }
    return text;
}

int LastQuotientColumn(const division::WrittenDivision& division) {
    return division.FirstPlace() - static_cast<int>(division.quotient.size()) + 1;
}

std::string QuotientRead(const DecimalDivisionWork& work) {
    const std::string& digits = work.division.quotient;
    if (digits.empty()) return {};
    if (!work.quotient_point) return digits;
    std::string read = WithPoint(digits, *work.quotient_point);
    if (work.ones_zero && read.front() == '.') read.insert(0, "0");
    return read;
}

std::string RemainderRead(const DecimalDivisionWork& work) {
    std::string digits = LastDifference(work.division);
    if (digits.empty() || !work.remainder_point) return digits;
    // The ones 0 of a remainder below 1 is read, not written: "3" → "0.3".
    const std::size_t count = static_cast<std::size_t>(*work.remainder_point) + 1;
    if (digits.size() < count) digits.insert(0, count - digits.size(), '0');
    return WithPoint(digits, *work.remainder_point);
}

std::string RoundedRead(const DecimalDivisionWork& work) {
    const std::string& row = work.rounded;
    const std::size_t first = row.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = row.find_last_not_of(' ');
    const int width = static_cast<int>(row.size());
    const int highest = width - static_cast<int>(first);
    const int lowest = width - static_cast<int>(last);
    std::string digits = row.substr(first, last - first + 1);
    if (!work.quotient_point || work.division.quotient.empty()) return digits;
    // The point stands where the quotient's does: right of column `ones`.
    const int ones = LastQuotientColumn(work.division) + *work.quotient_point;
    if (lowest >= ones) return digits;  // nothing written right of the point
    if (highest < ones) {
        // Every digit right of the point: 0s up to it, and the quotient's ones 0.
        digits.insert(0, static_cast<std::size_t>(ones - 1 - highest), '0');
        return (work.ones_zero ? "0." : ".") + digits;
    }
    const std::size_t whole = static_cast<std::size_t>(highest - ones + 1);
    return digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string AnswerRead(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work) {
    switch (problem.ending) {
        case Ending::Remainder: return QuotientRead(work) + " あまり " + RemainderRead(work);
        case Ending::Rounded: return RoundedRead(work);
        case Ending::Divides: break;
    }
    return QuotientRead(work);
}

bool IsRightWork(const DecimalDivisionProblem& problem, const DecimalDivisionWork& work) {
    switch (problem.ending) {
        case Ending::Remainder:
            return QuotientRead(work) == QuotientText(problem) && RemainderRead(work) == RemainderText(problem);
        case Ending::Rounded: return RoundedRead(work) == RoundedText(problem);
        case Ending::Divides: break;
    }
    const std::string remainder = LastDifference(work.division);
    return QuotientRead(work) == QuotientText(problem) && !remainder.empty() &&
           remainder.find_first_not_of('0') == std::string::npos;
}

DecimalDivisionWork RightWork(const DecimalDivisionProblem& problem) {
    DecimalDivisionWork work;
    const division::DivisionProblem whole = WholeDivision(problem);
    if (whole.divisor <= 0) return work;
    // The digits' rows as the long division's own step machine writes them.
    QuietContext quiet;
    division::LongDivision model(quiet.cues, quiet.dialogs, quiet.random);
    model.NewProblem(whole);
    division::EnterAndFinish(model, division::WorkDivision(whole, division::DivisionBug::None, 0)
                                        .value_or(division::DivisionInputs{}));
    work.division = division::WrittenDivisionOf(whole, division::DivisionWorkedRows(model.worksheet()));
    const int places = WorkedPlaces(problem);
    work.written_zeros = WrittenZeros(problem);
    work.quotient_point = places;
    work.ones_zero = whole.quotient < Pow10(places);
    if (problem.ending == Ending::Remainder) work.remainder_point = places;
    if (problem.ending == Ending::Rounded) {
        // Rounded to the asked place: its last digit one column left of the quotient's.
        std::array<int, kRoundedColumns + 1> digits;
        digits.fill(-1);
        const long long rounded = (whole.quotient + 5) / 10;
        const int lowest = LastQuotientColumn(work.division) + 1;
        for (int k = 0; Pow10(k) <= rounded && lowest + k <= kRoundedColumns; ++k) {
            digits[static_cast<std::size_t>(lowest + k)] = DigitAt(rounded, k);
        }
        work.rounded = RoundedColumns(digits, static_cast<int>(std::to_string(whole.dividend).size()));
    }
    return work;
}

DecimalDivisionInputs RightWorkInputs(const DecimalDivisionProblem& problem) {
    using What = DecimalDivisionInput::What;
    DecimalDivisionInputs out;
    const division::DivisionProblem whole = WholeDivision(problem);
    if (whole.divisor <= 0) return out;
    const division::DivisionInputs steps =
        division::WorkDivision(whole, division::DivisionBug::None, 0).value_or(division::DivisionInputs{});
    // The dividend's columns written so far end at `lowest`; a 0 is written
    // after it before the quotient or a brought-down digit reaches past it.
    int lowest = 1 + WrittenZeros(problem);
    const auto reach = [&](int column) {
        for (; lowest > std::max(column, 1); --lowest) out.push_back(DecimalDivisionInput::Of(What::AppendZero));
    };
    const auto quotient_follows = [&steps](std::size_t from) {
        return std::any_of(steps.begin() + static_cast<std::ptrdiff_t>(from), steps.end(), [](const auto& s) {
            return s.what == division::DivisionInput::Digit || s.what == division::DivisionInput::Skip;
        });
    };
    // A quotient below 1: its ones 0 first, as the dividend's whole part does not divide.
    const DecimalDivisionWork right = RightWork(problem);
    if (right.ones_zero) out.push_back(DecimalDivisionInput::Of(What::OnesZero));
    int next = 0;  // the column of the quotient's next character
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const division::DivisionInput& step = steps[i];
        const bool product = i > 0 && steps[i - 1].what == division::DivisionInput::Digit;
        switch (step.what) {
            case division::DivisionInput::Digit:
                reach(step.place);
                next = step.place - 1;
                break;
            case division::DivisionInput::Skip:
                reach(next);
                --next;
                break;
            case division::DivisionInput::Number:
            case division::DivisionInput::Tried:
                // A difference with the next digit brought down.
                if (!product && quotient_follows(i + 1)) reach(next);
                break;
            case division::DivisionInput::Finish: break;
        }
        out.push_back(DecimalDivisionInput::Of(step));
    }
    out.push_back(DecimalDivisionInput::Of(What::QuotientPoint, *right.quotient_point));
    if (right.remainder_point) out.push_back(DecimalDivisionInput::Of(What::RemainderPoint, *right.remainder_point));
    if (!right.rounded.empty()) {
        out.push_back(DecimalDivisionInput::Of(What::StartRounded));
        const int width = static_cast<int>(right.rounded.size());
        for (int i = 0; i < width; ++i)
            if (const char c = right.rounded[static_cast<std::size_t>(i)]; c != ' ')
                out.push_back(DecimalDivisionInput::Of(What::RoundedDigit, c - '0', width - i));
    }
    return out;
}

}  // namespace sorelka::decimal_division
