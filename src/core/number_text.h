#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace sorelka {

// A whole number written in plain digits ("745"), as the problem texts hold
// them; nothing for an empty text, a sign, any other character or a number
// too large for an int.
inline std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0) return std::nullopt;
    return value;
}

// 10 to the power k (k ≥ 0), and the digit of `value` in the place k
// counted from the ones (0 the ones, 1 the tens, ...): the column arithmetic
// of every topic's written work.
constexpr long long Pow10(int k) {
    long long p = 1;
    while (k-- > 0) p *= 10;
    return p;
}
constexpr int DigitAt(long long value, int k) { return static_cast<int>(value / Pow10(k) % 10); }

}  // namespace sorelka
