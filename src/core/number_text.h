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

}  // namespace sorelka
