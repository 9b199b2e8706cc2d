#include "multiplication/multiplication_problem.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/wide_digits.h"

namespace sorelka::multiplication {

namespace {

// Draws tried before a menu item's fixed problem stands. Each costs a few
// draws of the random source and some integer arithmetic, so even every
// one of them failing stays far below a millisecond.
constexpr int kDrawAttempts = 64;
// The largest multiplicand written, as a whole number: 99.9 or 9.99.
constexpr int kLargestDigits = 999;
constexpr int kLargestProduct = 9999;

// "14.22" for 1422 with 2 places, the 0s at the end of the decimals kept.
std::string DecimalText(int whole, int places) {
    const int scale = static_cast<int>(Pow10(places));
    std::string decimals = std::to_string(whole % scale);
    decimals.insert(0, static_cast<std::size_t>(places) - decimals.size(), '0');
    return std::to_string(whole / scale) + "." + decimals;
}

bool OneDigit(int multiplier) { return multiplier >= 2 && multiplier <= 9; }
bool TwoDigits(int multiplier) { return multiplier >= 11 && multiplier <= 99 && multiplier % 10 != 0; }

// A whole number from `low` to `high` not ending in 0 (`low` ≤ `high`, some
// such number between them).
int NotEndingInZero(RandomSource& random, int low, int high) {
    int value = low + random.Random(high - low + 1);
    if (value % 10 == 0) value = value + 1 <= high ? value + 1 : value - 1;
    return value;
}

int DrawMultiplier(RandomSource& random, bool two_digits) {
    if (!two_digits) return 2 + random.Random(8);
    return (1 + random.Random(9)) * 10 + 1 + random.Random(9);
}

// One draw of a menu item's kind of problem; FitsMenuItem judges it.
MultiplicationProblem DrawOnce(int menu, RandomSource& random) {
    MultiplicationProblem p;
    p.menu = menu;
    p.places = 1 + random.Random(2);
    const bool two_digits = menu == kTwoDigitMenu || (menu == kZerosMenu && random.Random(2) == 1);
    p.multiplier = DrawMultiplier(random, two_digits);
    const int largest = std::min(kLargestDigits, kLargestProduct / p.multiplier);
    if (menu != kZerosMenu) {
        p.digits = NotEndingInZero(random, 2, std::max(3, p.places == 1 ? std::min(99, largest) : largest));
        return p;
    }
    const int ones = p.multiplier % 10;
    // A 5 at the end of one number and an even digit at the end of the
    // other give a product ending in 0; other multipliers take the small
    // products.
    const bool can_end_in_zero = ones == 5 || ones % 2 == 0;
    if (!can_end_in_zero || random.Random(2) == 0) {
        // A product below 1: the multiplicand below 1 / multiplier.
        if (two_digits) p.places = 2;
        const int below = static_cast<int>((Pow10(p.places) - 1) / p.multiplier);
        p.digits = below >= 1 ? NotEndingInZero(random, 1, std::max(1, below)) : 1;
        return p;
    }
    const int last = ones == 5 ? 2 * (1 + random.Random(4)) : 5;
    const int tens = largest / 10 > 0 ? random.Random(std::min(largest / 10, p.places == 1 ? 9 : 99) + 1) : 0;
    p.digits = tens * 10 + last;
    return p;
}

// The fixed problem of each menu item: 2.37 × 6, 3.6 × 24, 2.5 × 4.
MultiplicationProblem FixedProblem(int menu) {
    switch (menu) {
        case kOneDigitMenu: return {.digits = 237, .places = 2, .multiplier = 6, .menu = menu};
        case kTwoDigitMenu: return {.digits = 36, .places = 1, .multiplier = 24, .menu = menu};
        default: return {.digits = 25, .places = 1, .multiplier = 4, .menu = menu};
    }
}

// "2.37": the digits and places of a decimal with one or two places.
std::optional<std::pair<int, int>> ParseDecimal(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0) return std::nullopt;
    const std::string_view decimals = text.substr(point + 1);
    if (decimals.empty() || decimals.size() > 2) return std::nullopt;
    const auto whole = WholeNumber(text.substr(0, point));
    const auto fraction = WholeNumber(decimals);
    if (!whole || !fraction || *whole > kLargestDigits) return std::nullopt;
    const int places = static_cast<int>(decimals.size());
    return std::pair{*whole * static_cast<int>(Pow10(places)) + *fraction, places};
}

}  // namespace

std::string MultiplicandText(const MultiplicationProblem& problem) {
    return DecimalText(problem.digits, problem.places);
}

std::string ProductText(const MultiplicationProblem& problem) {
    std::string text = DecimalText(problem.WholeProduct(), problem.places);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string ProblemLine(const MultiplicationProblem& problem, bool with_result) {
    return StoredProblemText(problem) + " = " + (with_result ? ProductText(problem) : std::string("?"));
}

std::string WideFact(const MultiplicationProblem& problem) {
    return WideText(MultiplicandText(problem)) + "×" + WideText(problem.multiplier) + "＝" +
           WideText(ProductText(problem));
}

std::string StoredProblemText(const MultiplicationProblem& problem) {
    return MultiplicandText(problem) + " × " + std::to_string(problem.multiplier);
}

std::optional<MultiplicationProblem> ParseStoredProblem(int menu_choice, std::string_view text) {
    constexpr std::string_view kSign = " × ";
    const std::size_t sign = text.find(kSign);
    if (sign == std::string_view::npos) return std::nullopt;
    const auto multiplicand = ParseDecimal(text.substr(0, sign));
    const auto multiplier = WholeNumber(text.substr(sign + kSign.size()));
    if (!multiplicand || !multiplier || *multiplier < 1 || *multiplier > 99) return std::nullopt;
    const MultiplicationProblem problem{.digits = multiplicand->first,
                                       .places = multiplicand->second,
                                       .multiplier = *multiplier,
                                       .menu = menu_choice};
    // Only what the sheet's four columns can work.
    if (problem.digits < 1 || problem.WholeProduct() > kLargestProduct) return std::nullopt;
    return problem;
}

bool FitsMenuItem(const MultiplicationProblem& p, int menu) {
    if (p.places < 1 || p.places > 2 || p.digits < 1 || p.digits > kLargestDigits || p.digits % 10 == 0)
        return false;
    const bool multiplier_fits = menu == kOneDigitMenu   ? OneDigit(p.multiplier)
                                 : menu == kTwoDigitMenu ? TwoDigits(p.multiplier)
                                 : menu == kZerosMenu    ? OneDigit(p.multiplier) || TwoDigits(p.multiplier)
                                                         : false;
    const int product = p.WholeProduct();
    // The product's digits reach the first decimal place at least, so no 0
    // is needed between the point and them (0.09 is not drawn).
    if (!multiplier_fits || product > kLargestProduct || product < Pow10(p.places - 1)) return false;
    const bool below_one = product < Pow10(p.places);
    const bool end_zero = product % 10 == 0;
    return menu == kZerosMenu ? below_one || end_zero : !below_one && !end_zero;
}

std::optional<MultiplicationProblem> DrawProblem(int menu, RandomSource& random) {
    if (menu < 1 || menu > kMenuItems) return std::nullopt;
    random.Randomize();
    for (int i = 0; i < kDrawAttempts; ++i) {
        const MultiplicationProblem p = DrawOnce(menu, random);
        if (FitsMenuItem(p, menu)) return p;
    }
    return FixedProblem(menu);
}

}  // namespace sorelka::multiplication
