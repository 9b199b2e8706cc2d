// The explanations the practice panels show, read as a pupil reads them:
// every explanation the buggy pupils of the diagnosis property tests meet, of
// every topic and kind, ends with the right small fact of its step (a true
// calculation with "＝" in its last sentence), every calculation in it is
// true, and no word comes twice.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/pupil_notes.h"

namespace sorelka {
namespace {

using testing::PupilNotes;

std::u32string Decode(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? c : c & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += code;
        i += length;
    }
    return out;
}

bool IsDigit(char32_t c) { return (c >= U'０' && c <= U'９') || (c >= U'0' && c <= U'9'); }
bool IsSpace(char32_t c) { return c == U' ' || c == U'　'; }
bool InCalculation(char32_t c) {
    return IsDigit(c) || std::u32string_view(U"＋－×÷＝（）．□").find(c) != std::u32string_view::npos;
}

// A little evaluator of the calculations explanations show: full-width
// numbers (with a decimal point: kept in thousandths), ＋ － × ÷ and
// parentheses. Nothing for anything else or a division that does not come out.
class Calculation {
public:
    explicit Calculation(std::u32string_view text) : text_(text) {}
    std::optional<long long> Value() {
        const auto v = Sum();
        return v && at_ == text_.size() ? v : std::nullopt;
    }

private:
    static constexpr long long kScale = 1000;
    char32_t Peek() const { return at_ < text_.size() ? text_[at_] : U'\0'; }
    std::optional<long long> Sum() {
        auto v = Product();
        while (v && (Peek() == U'＋' || Peek() == U'－')) {
            const bool add = text_[at_++] == U'＋';
            const auto w = Product();
            if (!w) return std::nullopt;
            v = add ? *v + *w : *v - *w;
        }
        return v;
    }
    std::optional<long long> Product() {
        auto v = Factor();
        while (v && (Peek() == U'×' || Peek() == U'÷')) {
            const bool times = text_[at_++] == U'×';
            const auto w = Factor();
            if (!w || (!times && (*w == 0 || (*v * kScale) % *w != 0))) return std::nullopt;
            v = times ? *v * *w / kScale : *v * kScale / *w;
        }
        return v;
    }
    std::optional<long long> Factor() {
        if (Peek() == U'（') {
            ++at_;
            const auto v = Sum();
            if (Peek() != U'）') return std::nullopt;
            ++at_;
            return v;
        }
        long long whole = 0, fraction = 0, scale = kScale;
        bool digits = false, point = false;
        for (; IsDigit(Peek()) || Peek() == U'．'; ++at_) {
            if (Peek() == U'．') {
                point = true;
                continue;
            }
            const int d = Peek() >= U'０' ? int(Peek() - U'０') : int(Peek() - U'0');
            digits = true;
            if (point) fraction += d * (scale /= 10);
            else whole = whole * 10 + d;
        }
        if (!digits) return std::nullopt;
        return whole * kScale + fraction;
    }
    std::u32string_view text_;
    std::size_t at_ = 0;
};

// Whether a calculation "A＝B" or "a÷b＝q あまり r" is true; calculations
// with a box ("□＋２５＝８３") are the problem's own and not checked.
::testing::AssertionResult IsTrue(std::u32string calculation) {
    if (calculation.find(U'□') != std::u32string::npos) return ::testing::AssertionSuccess();
    std::erase_if(calculation, IsSpace);
    const std::size_t equals = calculation.find(U'＝');
    const std::u32string left = calculation.substr(0, equals);
    std::u32string right = calculation.substr(equals + 1);
    const std::size_t rest_at = right.find(U"あまり");
    std::optional<long long> rest = 0;
    if (rest_at != std::u32string::npos) {
        rest = Calculation(right.substr(rest_at + 3)).Value();
        right = right.substr(0, rest_at);
    }
    const std::optional<long long> value = Calculation(right).Value();
    std::optional<long long> worked;
    if (!rest) {
        // "あまり" without a number after it: nothing to check it by.
    } else if (*rest == 0) {
        worked = Calculation(left).Value();
    } else if (const std::size_t divide = left.find(U'÷'); rest && divide != std::u32string::npos) {
        // a ÷ b ＝ q あまり r: a ＝ b × q ＋ r with r smaller than b.
        const auto a = Calculation(left.substr(0, divide)).Value();
        const auto b = Calculation(left.substr(divide + 1)).Value();
        if (a && b && value && *rest < *b && *a == *b * *value / 1000 + *rest) worked = value;
    }
    if (value && worked == value) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "a calculation that is not true";
}

// The calculations in `text`: each run of figures and signs around a "＝",
// with " あまり " and the remainder after it.
std::vector<std::u32string> Calculations(const std::u32string& text) {
    std::vector<std::u32string> found;
    for (std::size_t at = 0; (at = text.find(U'＝', at)) != std::u32string::npos; ++at) {
        std::size_t from = at, to = at + 1;
        while (from > 0 && InCalculation(text[from - 1])) --from;
        while (to < text.size()) {
            if (InCalculation(text[to])) ++to;
            else if (text.compare(to, 5, U" あまり ") == 0 && to + 5 < text.size() && IsDigit(text[to + 5])) to += 5;
            else break;
        }
        found.push_back(text.substr(from, to - from));
    }
    return found;
}

// The words of `text`: cut at its spaces and commas.
std::vector<std::u32string> Words(const std::u32string& text) {
    std::vector<std::u32string> words(1);
    for (char32_t c : text) {
        if (IsSpace(c) || c == U'、') words.emplace_back();
        else words.back() += c;
    }
    return words;
}

void ExpectReadsRight(const std::string& explanation, const std::string& kind) {
    SCOPED_TRACE(kind + ": " + explanation);
    const std::u32string text = Decode(explanation);
    const std::size_t last_space = text.find_last_of(U"　");
    const std::u32string last = last_space == std::u32string::npos ? text : text.substr(last_space + 1);
    EXPECT_FALSE(Calculations(last).empty()) << "ends with its small fact, a calculation with ＝";
    for (const std::u32string& calculation : Calculations(text)) EXPECT_TRUE(IsTrue(calculation));
    // A word without a figure (a name, a verb) is said once.
    std::set<std::u32string> said;
    for (const std::u32string& word : Words(text)) {
        if (word.size() < 2 || std::any_of(word.begin(), word.end(), IsDigit)) continue;
        EXPECT_TRUE(said.insert(word).second) << "a word said twice";
    }
}

void ExpectAllReadRight(const PupilNotes& notes, const std::set<std::string>& kinds) {
    std::set<std::string> seen;
    for (const auto& [text, note] : notes) {
        ExpectReadsRight(note.finding.explanation, note.finding.kind);
        seen.insert(note.finding.kind);
    }
    for (const std::string& kind : kinds) EXPECT_TRUE(seen.count(kind)) << kind << " never met";
}

TEST(DiagnosisExplanations, DivisionEndsWithTheFactOfItsStep) {
    using namespace division;
    ExpectAllReadRight(testing::DivisionPupilNotes(120),
                       {kQuotientTooBig, kQuotientTooSmall, kQuotientPlace, kZeroMissing,
                        kProductSlip, kDifferenceSlip, kBringDown});
}

TEST(DiagnosisExplanations, DecimalsEndWithTheFactOfTheirColumn) {
    using namespace decimals;
    ExpectAllReadRight(testing::DecimalPupilNotes(Operation::Addition, 300),
                       {kCarryMissing, kColumnSlip});
    ExpectAllReadRight(testing::DecimalPupilNotes(Operation::Subtraction, 300),
                       {kBorrowMissing, kSmallerFromLarger, kColumnSlip});
}

TEST(DiagnosisExplanations, RulesEndWithTheFactOfTheirCalculation) {
    ExpectAllReadRight(testing::RulesPupilNotes(200), {rules::kStepSlip, rules::kInverseOperation});
}

TEST(DiagnosisExplanations, FractionsEndWithTheirCalculation) {
    using namespace fractions;
    ExpectAllReadRight(testing::FractionPupilNotes(100),
                       {kNotMixed, kWholePart, kWholeNotMultiplied, kNumeratorSlip,
                        kDenominatorChanged});
}

// The checks themselves catch what a pupil would trip over.
TEST(DiagnosisExplanations, TheReadingCatchesWrongFactsAndRepeatedWords) {
    EXPECT_TRUE(IsTrue(Decode("６９÷８＝８ あまり ５")));
    EXPECT_TRUE(IsTrue(Decode("６９－８×７＝１３")));
    EXPECT_TRUE(IsTrue(Decode("（３－１）×４＋１＝９")));
    EXPECT_TRUE(IsTrue(Decode("０．３＋０．４＝０．７")));
    EXPECT_FALSE(IsTrue(Decode("６９÷８＝８ あまり ６")));
    EXPECT_EQ(Calculations(Decode("６９÷８＝８ あまり ５")), std::vector<std::u32string>{U"６９÷８＝８ あまり ５"});
    EXPECT_FALSE(IsTrue(Decode("４＋７＋１＝１１")));
    EXPECT_EQ(Calculations(Decode("８７－８０＝７で、５を おろして ７５")),
              std::vector<std::u32string>{U"８７－８０＝７"});
    EXPECT_NONFATAL_FAILURE(
        ExpectReadsRight("十の位に くり上がりの １を たしわすれたよ　一の位を 見てね", "carry"),
        "ends with its small fact");
    EXPECT_NONFATAL_FAILURE(
        ExpectReadsRight("十の位に くり上がりの １を たしわすれたよ　くり上がりの ４＋７＋１＝１２", "carry"),
        "a word said twice");
}

}  // namespace
}  // namespace sorelka
