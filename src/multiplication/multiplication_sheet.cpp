#include "multiplication/multiplication_sheet.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/wide_digits.h"

namespace sorelka::multiplication {

namespace {

// The product's digits from its highest written column down to column 0,
// a space for an empty column among them; empty when none is written.
std::string ProductDigits(const RowDigits& product) {
    const std::string text = RowText(product);
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// The 0s at the end of a whole number, at most `places` of them.
int EndZeros(int value, int places) {
    int zeros = 0;
    while (zeros < places && value % Pow10(zeros + 1) == 0) ++zeros;
    return zeros;
}

}  // namespace

std::string PointItemText(int places) { return "右から" + WideText(places) + "けた"; }

std::optional<int> PlacesOfPointItem(std::string_view text) {
    for (int places = 1; places <= kColumns; ++places)
        if (text == PointItemText(places)) return places;
    return std::nullopt;
}

std::string RowText(const RowDigits& row) {
    std::string text;
    bool any = false;
    for (int c = kColumns - 1; c >= 0; --c) {
        const int digit = row[static_cast<std::size_t>(c)];
        any |= digit != kEmpty;
        text += digit == kEmpty ? ' ' : static_cast<char>('0' + digit);
    }
    return any ? text : std::string();
}

RowDigits RowFromText(const std::string& text) {
    RowDigits row = kEmptyRow;
    if (text.size() > static_cast<std::size_t>(kColumns)) return row;
    // The last character stands in column 0.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[text.size() - 1 - i];
        if (c >= '0' && c <= '9') row[i] = c - '0';
    }
    return row;
}

int RowValue(const RowDigits& row) {
    int value = 0;
    for (int c = kColumns - 1; c >= 0; --c) value = value * 10 + std::max(0, row[static_cast<std::size_t>(c)]);
    return value;
}

RowDigits RowOf(int value, int last_column) {
    RowDigits row = kEmptyRow;
    int column = last_column;
    do {
        if (column >= 0 && column < kColumns) row[static_cast<std::size_t>(column)] = value % 10;
        value /= 10;
        ++column;
    } while (value > 0);
    return row;
}

std::string AnswerText(const MultiplicationWork& work) {
    std::string digits = ProductDigits(work.product);
    if (digits.empty()) return {};
    if (!work.point) return digits;
    const std::size_t places = static_cast<std::size_t>(std::max(0, *work.point));
    // A point left of every digit reads 0s up to them: ".012".
    if (digits.size() < places) digits.insert(0, places - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - places);
    std::string decimals = digits.substr(digits.size() - places);
    decimals.resize(decimals.size() - std::min(decimals.size(), static_cast<std::size_t>(std::max(0, work.struck))));
    if (work.ones_zero) whole.insert(0, "0");
    return decimals.empty() ? whole : whole + "." + decimals;
}

MultiplicationWork RightWork(const MultiplicationProblem& problem) {
    MultiplicationWork work;
    if (problem.TwoDigitMultiplier()) {
        work.rows = {RowOf(problem.digits * (problem.multiplier % 10), 0),
                     RowOf(problem.digits * (problem.multiplier / 10), 1)};
    }
    const int product = problem.WholeProduct();
    work.product = RowOf(product);
    work.point = problem.places;
    work.ones_zero = product < Pow10(problem.places);
    work.struck = EndZeros(product, problem.places);
    return work;
}

bool IsRightWork(const MultiplicationProblem& problem, const MultiplicationWork& work) {
    return AnswerText(work) == ProductText(problem);
}

MultiplicationInputs InputsOf(const MultiplicationWork& work) {
    MultiplicationInputs inputs;
    const auto write = [&inputs](const RowDigits& row) {
        for (int c = 0; c < kColumns; ++c)
            if (const int digit = row[static_cast<std::size_t>(c)]; digit != kEmpty)
                inputs.push_back(MultiplicationInput::Digit(c, digit));
    };
    using What = MultiplicationInput::What;
    for (const RowDigits& row : work.rows) {
        write(row);
        inputs.push_back(MultiplicationInput::Of(What::Confirm));
    }
    write(work.product);
    if (work.point) inputs.push_back(MultiplicationInput::Point(*work.point));
    if (work.ones_zero) inputs.push_back(MultiplicationInput::Of(What::OnesZero));
    for (int i = 0; i < work.struck; ++i) inputs.push_back(MultiplicationInput::Of(What::StrikeZero));
    inputs.push_back(MultiplicationInput::Of(What::Finish));
    return inputs;
}

}  // namespace sorelka::multiplication
