#include "decimal_division/decimal_division_problem.h"

#include <algorithm>
#include <numeric>

#include "core/number_text.h"
#include "core/wide_digits.h"

namespace sorelka::decimal_division {

namespace {

// Draws tried before a menu item's fixed problem stands; each costs a few
// draws of the random source and some integer arithmetic.
constexpr int kDrawAttempts = 64;
// The largest dividend drawn, as a whole number: 99.9, 9.99; a whole
// dividend at most 99.
constexpr int kLargestDigits = 999;
constexpr int kLargestWhole = 99;
// The long division's limits: a dividend of five digits, four digit columns.
constexpr long long kLargestScaled = 99998;
constexpr int kDigitColumns = 4;
// How many 0s dividing on may write after the dividend's last digit.
constexpr int kMostZeros = 3;

// "14.22" for 1422 with 2 places, "3" for 3 with none; 0s at the end kept.
std::string DecimalText(long long whole, int places) {
    if (places <= 0) return std::to_string(whole);
    const long long scale = Pow10(places);
    std::string decimals = std::to_string(whole % scale);
    decimals.insert(0, static_cast<std::size_t>(places) - decimals.size(), '0');
    return std::to_string(whole / scale) + "." + decimals;
}

// "1/10", "1/100": the name of a decimal place in the problem line.
std::string PlaceName(int places) { return places <= 0 ? "一" : "1/" + std::to_string(Pow10(places)); }

// "（商は 1/10の位まで、あまりも）", "（四捨五入で 1/100の位まで）", or nothing.
std::string EndingText(const DecimalDivisionProblem& p) {
    switch (p.ending) {
        case Ending::Remainder: return "（商は " + PlaceName(p.asked) + "の位まで、あまりも）";
        case Ending::Rounded: return "（四捨五入で " + PlaceName(p.asked) + "の位まで）";
        case Ending::Divides: break;
    }
    return {};
}

bool OneDigit(int divisor) { return divisor >= 2 && divisor <= 9; }
bool TwoDigits(int divisor) { return divisor >= 11 && divisor <= 98 && divisor % 10 != 0; }

// The rounded quotient as a whole number of the asked place's units.
long long RoundedWhole(const DecimalDivisionProblem& p) { return (WholeDivision(p).quotient + 5) / 10; }

// Whether the long division's step machine writes `quotient` (its digits as
// a whole number): it keeps three characters, three rounds or two and a 0
// ("飛ばし") right after the first digit or last.
bool QuotientFitsSteps(long long quotient) {
    const std::string digits = std::to_string(quotient);
    const auto zeros = std::count(digits.begin(), digits.end(), '0');
    const std::size_t zero = digits.find('0');
    return digits.size() <= 3 && (zeros == 0 || (zeros == 1 && (zero == 1 || zero + 1 == digits.size())));
}

int DrawDivisor(RandomSource& random, bool two_digits) {
    if (!two_digits) return 2 + random.Random(8);
    int divisor = 11 + random.Random(88);
    if (divisor % 10 == 0) ++divisor;
    return divisor;
}

// A dividend of `places` places (a whole one up to kLargestWhole), not
// ending in 0 after its point, a multiple of `step`.
int DrawDigits(RandomSource& random, int places, int step) {
    const int largest = places == 0 ? kLargestWhole : kLargestDigits;
    const int count = std::max(1, largest / step);
    int digits = step * (1 + random.Random(count));
    if (places > 0 && digits % 10 == 0) digits = std::max(step, digits - step);
    return digits;
}

// One draw of a menu item's kind of problem; FitsMenuItem judges it.
DecimalDivisionProblem DrawOnce(int menu, RandomSource& random) {
    DecimalDivisionProblem p;
    p.menu = menu;
    p.ending = EndingOf(menu);
    switch (menu) {
        case kOneDigitMenu:
        case kTwoDigitMenu: {
            // The quotient first, so that it divides within the dividend's places.
            p.places = 1 + random.Random(2);
            p.divisor = DrawDivisor(random, menu == kTwoDigitMenu);
            const int largest = std::max(1, kLargestDigits / p.divisor);
            const int lowest = static_cast<int>(Pow10(p.places - 1));
            const int quotient = lowest + random.Random(std::max(1, largest - lowest + 1));
            p.digits = quotient * p.divisor;
            return p;
        }
        case kDivideOnMenu: {
            // A dividend that is a multiple of the divisor's part prime to
            // 10, so that one or two written 0s let it divide.
            p.places = random.Random(2);
            p.divisor = DrawDivisor(random, random.Random(4) == 0);
            const int step = p.divisor / std::gcd(p.divisor, 100);
            p.digits = DrawDigits(random, p.places, step);
            return p;
        }
        default: {
            p.asked = menu == kRemainderMenu ? 1 : 1 + random.Random(2);
            p.places = random.Random(p.asked + 1);
            p.divisor = DrawDivisor(random, random.Random(4) == 0);
            p.digits = DrawDigits(random, p.places, 1);
            return p;
        }
    }
}

// The fixed problem of each menu item: 7.2 ÷ 3, 91.2 ÷ 24, 5.4 ÷ 4,
// 7.5 ÷ 4 to 1/10 with a remainder, 2.5 ÷ 7 rounded to 1/100.
DecimalDivisionProblem FixedProblem(int menu) {
    switch (menu) {
        case kOneDigitMenu: return {.digits = 72, .places = 1, .divisor = 3, .menu = menu};
        case kTwoDigitMenu: return {.digits = 912, .places = 1, .divisor = 24, .menu = menu};
        case kDivideOnMenu: return {.digits = 54, .places = 1, .divisor = 4, .menu = menu};
        case kRemainderMenu:
            return {.digits = 75, .places = 1, .divisor = 4, .ending = Ending::Remainder, .asked = 1, .menu = menu};
        default:
            return {.digits = 25, .places = 1, .divisor = 7, .ending = Ending::Rounded, .asked = 2, .menu = menu};
    }
}

// "7.5", "3": a dividend's digits and places (at most two).
std::optional<std::pair<int, int>> ParseDividend(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        const auto whole = WholeNumber(text);
        if (!whole || *whole > kLargestDigits) return std::nullopt;
        return std::pair{*whole, 0};
    }
    const std::string_view decimals = text.substr(point + 1);
    if (point == 0 || decimals.empty() || decimals.size() > 2) return std::nullopt;
    const auto whole = WholeNumber(text.substr(0, point));
    const auto fraction = WholeNumber(decimals);
    if (!whole || !fraction || *whole > kLargestDigits) return std::nullopt;
    const int places = static_cast<int>(decimals.size());
    return std::pair{*whole * static_cast<int>(Pow10(places)) + *fraction, places};
}

}  // namespace

int WorkedPlaces(const DecimalDivisionProblem& p) {
    switch (p.ending) {
        case Ending::Remainder: return p.asked;
        case Ending::Rounded: return p.asked + 1;
        case Ending::Divides: break;
    }
    if (p.divisor <= 0) return -1;
    for (int zeros = 0; zeros <= kMostZeros; ++zeros)
        if (p.digits * Pow10(zeros) % p.divisor == 0) return p.places + zeros;
    return -1;
}

int WrittenZeros(const DecimalDivisionProblem& p) { return std::max(0, WorkedPlaces(p) - p.places); }

division::DivisionProblem WholeDivision(const DecimalDivisionProblem& p) {
    division::DivisionProblem whole;
    if (p.divisor <= 0) return whole;
    whole.dividend = static_cast<int>(p.digits * Pow10(WrittenZeros(p)));
    whole.divisor = p.divisor;
    whole.quotient = whole.dividend / whole.divisor;
    whole.remainder = whole.dividend % whole.divisor;
    return whole;
}

std::string DividendText(const DecimalDivisionProblem& p) { return DecimalText(p.digits, p.places); }

std::string QuotientText(const DecimalDivisionProblem& p) {
    return DecimalText(WholeDivision(p).quotient, WorkedPlaces(p));
}

std::string RemainderText(const DecimalDivisionProblem& p) {
    return DecimalText(WholeDivision(p).remainder, WorkedPlaces(p));
}

std::string RoundedText(const DecimalDivisionProblem& p) {
    if (p.ending != Ending::Rounded) return QuotientText(p);
    return DecimalText(RoundedWhole(p), p.asked);
}

std::string AnswerText(const DecimalDivisionProblem& p) {
    switch (p.ending) {
        case Ending::Remainder: return QuotientText(p) + " あまり " + RemainderText(p);
        case Ending::Rounded: return RoundedText(p);
        case Ending::Divides: break;
    }
    return QuotientText(p);
}

namespace {

// "…" after a quotient worked one place past the asked one that still does
// not divide there (0.357…); none after one that does (4.25).
std::string GoesOn(const DecimalDivisionProblem& p) { return WholeDivision(p).remainder != 0 ? "…" : ""; }

}  // namespace

std::string ProblemLine(const DecimalDivisionProblem& p, bool with_result) {
    const std::string left = DividendText(p) + " ÷ " + std::to_string(p.divisor) + " = ";
    if (!with_result) return left + "?" + EndingText(p);
    if (p.ending == Ending::Rounded) return left + QuotientText(p) + GoesOn(p) + "（約 " + RoundedText(p) + "）";
    return left + AnswerText(p);
}

std::string WideFact(const DecimalDivisionProblem& p) {
    const std::string left = WideText(DividendText(p)) + "÷" + WideText(p.divisor) + "＝";
    switch (p.ending) {
        case Ending::Remainder:
            return left + WideText(QuotientText(p)) + " あまり " + WideText(RemainderText(p));
        case Ending::Rounded:
            return left + WideText(QuotientText(p)) + GoesOn(p) + "（約" + WideText(RoundedText(p)) + "）";
        case Ending::Divides: break;
    }
    return left + WideText(QuotientText(p));
}

std::string StoredProblemText(const DecimalDivisionProblem& p) {
    return DividendText(p) + " ÷ " + std::to_string(p.divisor) + EndingText(p);
}

std::optional<DecimalDivisionProblem> ParseStoredProblem(int menu_choice, std::string_view text) {
    constexpr std::string_view kSign = " ÷ ";
    const std::size_t sign = text.find(kSign);
    if (sign == std::string_view::npos) return std::nullopt;
    const auto dividend = ParseDividend(text.substr(0, sign));
    std::string_view rest = text.substr(sign + kSign.size());
    const std::size_t bracket = rest.find("（");
    const auto divisor = WholeNumber(rest.substr(0, bracket));
    if (!dividend || !divisor) return std::nullopt;
    DecimalDivisionProblem p{.digits = dividend->first,
                             .places = dividend->second,
                             .divisor = *divisor,
                             .menu = menu_choice};
    if (bracket != std::string_view::npos) {
        // The ending as the problem line says it, whichever place it asks.
        bool found = false;
        for (const Ending ending : {Ending::Remainder, Ending::Rounded}) {
            for (int asked = 1; asked <= 2 && !found; ++asked) {
                DecimalDivisionProblem candidate = p;
                candidate.ending = ending;
                candidate.asked = asked;
                if (rest.substr(bracket) == EndingText(candidate)) {
                    p = candidate;
                    found = true;
                }
            }
        }
        if (!found) return std::nullopt;
    }
    if (!FitsSheet(p)) return std::nullopt;
    return p;
}

bool FitsSheet(const DecimalDivisionProblem& p) {
    if (p.places < 0 || p.places > 2 || p.digits < 1 || p.digits > kLargestDigits) return false;
    if (p.places > 0 && p.digits % 10 == 0) return false;
    if (!OneDigit(p.divisor) && !TwoDigits(p.divisor)) return false;
    if (p.ending == Ending::Divides ? p.asked != 0 : p.asked < std::max(1, p.places) || p.asked > 2) return false;
    const int worked = WorkedPlaces(p);
    if (worked < 1) return false;
    const long long scaled = p.digits * Pow10(worked - p.places);
    if (scaled > kLargestScaled) return false;
    const long long quotient = scaled / p.divisor;
    // At least 0.1, and a quotient below 1 has its ones 0 within the columns.
    if (quotient < Pow10(worked - 1)) return false;
    if (quotient < Pow10(worked) && worked + 1 > kDigitColumns) return false;
    return QuotientFitsSteps(quotient);
}

bool FitsMenuItem(const DecimalDivisionProblem& p, int menu) {
    if (menu < 1 || menu > kMenuItems || p.ending != EndingOf(menu) || !FitsSheet(p)) return false;
    const bool any_divisor = OneDigit(p.divisor) || TwoDigits(p.divisor);
    const int zeros = WrittenZeros(p);
    switch (menu) {
        case kOneDigitMenu:
        case kTwoDigitMenu: {
            const bool divisor = menu == kOneDigitMenu ? OneDigit(p.divisor) : TwoDigits(p.divisor);
            return divisor && p.places >= 1 && zeros == 0;
        }
        case kDivideOnMenu: return any_divisor && p.places <= 1 && zeros >= 1 && zeros <= 2;
        case kRemainderMenu: return any_divisor && p.asked == 1 && WholeDivision(p).remainder != 0;
        default: {
            // It does not divide at the asked place, so the rounding matters.
            DecimalDivisionProblem at_asked = p;
            at_asked.ending = Ending::Remainder;
            return any_divisor && WholeDivision(at_asked).remainder != 0;
        }
    }
}

std::optional<DecimalDivisionProblem> DrawProblem(int menu, RandomSource& random) {
    if (menu < 1 || menu > kMenuItems) return std::nullopt;
    random.Randomize();
    for (int i = 0; i < kDrawAttempts; ++i) {
        const DecimalDivisionProblem p = DrawOnce(menu, random);
        if (FitsMenuItem(p, menu)) return p;
    }
    return FixedProblem(menu);
}

}  // namespace sorelka::decimal_division
