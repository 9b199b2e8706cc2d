#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorelka {

// What the diagnosis of a wrong answer names: the kind of mistake (a stable id
// such as "zero_missing", stored in the learning record), where it happened,
// and a short explanation a fourth-year pupil reads.
struct Finding {
    // Kind id: one of the topic's kinds, or kSlip / kOther.
    std::string kind;
    // Where: a short machine-readable place, e.g. "row:2", "column:tenths",
    // "calc:2/row:1" (the topic's diagnosis documents its form).
    std::string step;
    // In Japanese, in words a fourth-year pupil reads, naming the step and
    // showing the right small fact ("２かいめの かけ算が ちがうよ　７×８＝５６").
    std::string explanation;

    bool operator==(const Finding&) const = default;
};

// A right answer has no finding.
using Diagnosis = std::optional<Finding>;

// One wrong step that no known pattern explains.
inline constexpr const char* kSlip = "slip";
// Wrong, but not explained by any single mistake.
inline constexpr const char* kOther = "other";

// The labels of kSlip and kOther, which every topic shares; empty for any
// other kind (the topic's own labels name those).
inline std::string SharedKindLabel(std::string_view kind) {
    if (kind == kSlip) return "うっかりまちがい";
    if (kind == kOther) return "そのほかのまちがい";
    return {};
}

}  // namespace sorelka
