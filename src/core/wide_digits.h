#pragma once

#include <string>
#include <string_view>

// Numbers as the pupil reads them in a sentence: full-width digits.
namespace sorelka {

// "5.2" → "５．２", "56" → "５６"; a minus sign becomes "－"; other
// characters are copied unchanged.
inline std::string WideText(std::string_view text) {
    static const char* const kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            out += kDigits[c - '0'];
        else if (c == '.')
            out += "．";
        else if (c == '-')
            out += "－";
        else
            out += c;
    }
    return out;
}

inline std::string WideText(long long value) { return WideText(std::to_string(value)); }

}  // namespace sorelka
