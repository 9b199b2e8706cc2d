#include "fractions/fraction_diagnosis.h"

#include <utility>
#include <vector>

#include "fractions/fraction_cells.h"

namespace sorelka::fractions {

namespace {

const char* PartStep(FractionSlot part) {
    switch (part) {
        case FractionSlot::Whole: return "part:whole";
        case FractionSlot::Numerator: return "part:numerator";
        case FractionSlot::Denominator: return "part:denominator";
    }
    return "";
}

const char* PartName(FractionSlot part) {
    switch (part) {
        case FractionSlot::Whole: return "整数";
        case FractionSlot::Numerator: return "分子";
        case FractionSlot::Denominator: return "分母";
    }
    return "";
}

int Slot(const FractionEntry& entry, FractionSlot part) {
    switch (part) {
        case FractionSlot::Whole: return entry.entered_whole;
        case FractionSlot::Numerator: return entry.entered_numerator;
        case FractionSlot::Denominator: return entry.entered_denominator;
    }
    return 0;
}

int Expected(const FractionProblem& problem, FractionSlot part) {
    switch (part) {
        case FractionSlot::Whole: return problem.answer_whole;
        case FractionSlot::Numerator: return problem.answer_numerator;
        case FractionSlot::Denominator: return problem.answer_denominator;
    }
    return 0;
}

std::string Wide(int value) {
    static constexpr const char* kDigits[] = {"０", "１", "２", "３", "４",
                                              "５", "６", "７", "８", "９"};
    if (value < 0) return "－" + Wide(-value);
    std::string text;
    for (char c : std::to_string(value)) text += kDigits[c - '0'];
    return text;
}

Finding Make(const char* kind, FractionSlot part, std::string explanation) {
    return Finding{kind, PartStep(part), std::move(explanation)};
}

// The calculation of a family's answer: "１１÷４＝２ あまり ３" (family 1),
// "２×８＋２＝１８" (family 2), "（３－１）×４＋１＝９" (family 3).
std::string AnswerFact(int family, const FractionProblem& p) {
    const int d = p.problem_denominator;
    if (family == kImproperToMixed)
        return Wide(p.problem_numerator) + "÷" + Wide(d) + "＝" + Wide(p.answer_whole) +
               (p.answer_numerator > 0 ? " あまり " + Wide(p.answer_numerator) : "");
    if (family == kMixedToImproper)
        return Wide(p.problem_whole) + "×" + Wide(d) + "＋" + Wide(p.problem_numerator) + "＝" +
               Wide(p.answer_numerator);
    return "（" + Wide(p.problem_whole) + "－" + Wide(p.answer_whole) + "）×" + Wide(d) + "＋" +
           Wide(p.problem_numerator) + "＝" + Wide(p.answer_numerator);
}

std::string DenominatorKept(int family, const FractionProblem& p) {
    return "分母は " + Wide(p.problem_denominator) + "の まま かわらないよ　" + AnswerFact(family, p);
}

// The parts the diagnosis reads, in the order the conversion is worked.
std::vector<FractionSlot> PartsOf(int family) {
    if (family == kFindTheBox) return {FractionSlot::Numerator};
    if (family == kMixedToImproper) return {FractionSlot::Denominator, FractionSlot::Numerator};
    return {FractionSlot::Whole, FractionSlot::Numerator, FractionSlot::Denominator};
}

// Nothing named: one part left empty is a slip, anything else is other.
Finding Unexplained(int family, const FractionProblem& problem, const FractionEntry& entry) {
    const std::string fact = AnswerFact(family, problem);
    std::vector<FractionSlot> wrong;
    for (FractionSlot part : PartsOf(family))
        if (Slot(entry, part) != Expected(problem, part)) wrong.push_back(part);
    if (wrong.empty()) return Finding{kOther, "", "もういちど 計算してみよう　" + fact};
    if (wrong.size() == 1 && Slot(entry, wrong.front()) == 0)
        return Make(kSlip, wrong.front(),
                    std::string(PartName(wrong.front())) + "を 入れわすれたよ　" + fact);
    return Make(kOther, wrong.front(),
                std::string(PartName(wrong.front())) + "から ちがっているよ　" + fact);
}

// Family 1: N/d = W and r/d (or W alone when r is 0).
Finding ImproperToMixed(const FractionProblem& p, const FractionEntry& e) {
    const int n = p.problem_numerator;
    const int d = p.problem_denominator;
    const int w = p.answer_whole;
    const int r = p.answer_numerator;
    const std::string division = AnswerFact(kImproperToMixed, p);
    // A whole-number answer has no fraction part: empty slots are right there.
    const bool denominator_right = e.entered_denominator == d || (r == 0 && e.entered_denominator == 0);

    if (e.entered_denominator > 0 &&
        (e.entered_whole * e.entered_denominator + e.entered_numerator) * d ==
            n * e.entered_denominator &&
        (e.entered_numerator >= e.entered_denominator || e.entered_whole == 0)) {
        // The numerator still holds a whole (a value above 1 with no whole
        // part, or a fraction part that is not proper): that is where it shows.
        const int num = e.entered_numerator;
        const int den = e.entered_denominator;
        const std::string compared = num > den ? "より 大きいので、まだ " : "と 同じなので、まだ ";
        return Make(kNotMixed, FractionSlot::Numerator,
                    "分子の " + Wide(num) + "が 分母の " + Wide(den) + compared + (r > 0 ? "帯分数" : "整数") +
                        "に なっていないよ　" + division);
    }
    if (e.entered_whole != w && e.entered_whole > 0 && e.entered_numerator == r &&
        denominator_right) {
        return Make(kWholePart, FractionSlot::Whole, "整数の 部分が ちがうよ　" + division);
    }
    if (e.entered_whole == w && e.entered_numerator == n - w && denominator_right) {
        return Make(kWholeNotMultiplied, FractionSlot::Numerator,
                    "分子は 整数×分母を ひいた のこりだよ　" + Wide(n) + "－" + Wide(w) + "×" +
                        Wide(d) + "＝" + Wide(r));
    }
    if (e.entered_whole == w && e.entered_numerator != r && e.entered_numerator > 0 &&
        denominator_right) {
        return Make(kNumeratorSlip, FractionSlot::Numerator, "分子が ちがうよ　" + division);
    }
    if (e.entered_denominator > 0 && e.entered_denominator != d && e.entered_whole == w &&
        (e.entered_numerator == r || (e.entered_numerator < e.entered_denominator &&
                                      e.entered_numerator * d == r * e.entered_denominator))) {
        return Make(kDenominatorChanged, FractionSlot::Denominator, DenominatorKept(kImproperToMixed, p));
    }
    return Unexplained(kImproperToMixed, p, e);
}

// Family 2: w and n/d = (w·d + n)/d.
Finding MixedToImproper(const FractionProblem& p, const FractionEntry& e) {
    const int w = p.problem_whole;
    const int n = p.problem_numerator;
    const int d = p.problem_denominator;
    const int a = p.answer_numerator;
    const int num = e.entered_numerator;
    const int den = e.entered_denominator;
    const std::string fact = AnswerFact(kMixedToImproper, p);

    if (den > 0 && den != d && (num == a || num * d == a * den))
        return Make(kDenominatorChanged, FractionSlot::Denominator, DenominatorKept(kMixedToImproper, p));
    if (den == d && num == w + n) {
        return Make(kWholeNotMultiplied, FractionSlot::Numerator,
                    "整数の " + Wide(w) + "に 分母の " + Wide(d) + "を かけるのを わすれたよ　" +
                        fact);
    }
    if (den == d && num > 0 && num != a && num >= n && (num - n) % d == 0)
        return Make(kWholePart, FractionSlot::Numerator, "整数の 部分が ちがうよ　" + fact);
    if (den == d && num > 0 && num != a)
        return Make(kNumeratorSlip, FractionSlot::Numerator, "分子の 計算が ちがうよ　" + fact);
    return Unexplained(kMixedToImproper, p, e);
}

// Family 3: w and n/d = W and □/d, □ = (w − W)·d + n.
Finding FindTheBox(const FractionProblem& p, const FractionEntry& e) {
    const int w = p.problem_whole;
    const int n = p.problem_numerator;
    const int d = p.problem_denominator;
    const int big_w = p.answer_whole;
    const int num = e.entered_numerator;
    const std::string fact = AnswerFact(kFindTheBox, p);

    if (num == w - big_w + n) {
        return Make(kWholeNotMultiplied, FractionSlot::Numerator,
                    "整数の ちがいの " + Wide(w - big_w) + "に 分母の " + Wide(d) +
                        "を かけるのを わすれたよ　" + fact);
    }
    if (num > 0 && num >= n && d > 0 && (num - n) % d == 0)
        return Make(kWholePart, FractionSlot::Numerator, "整数の 部分が ちがうよ　" + fact);
    if (num > 0) return Make(kNumeratorSlip, FractionSlot::Numerator, "分子の 計算が ちがうよ　" + fact);
    return Unexplained(kFindTheBox, p, e);
}

int SlotNumber(const WorkedRows& rows, FractionSlot slot) {
    const std::string text = CellText(rows, StoredName(AnswerRole(slot)));
    if (text.empty() || text.size() > 2) return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string FractionKindLabel(std::string_view kind) {
    if (kind == kWholeNotMultiplied) return "整数×分母をわすれた";
    if (kind == kDenominatorChanged) return "分母がかわった";
    if (kind == kWholePart) return "整数の部分のまちがい";
    if (kind == kNumeratorSlip) return "分子のまちがい";
    if (kind == kNotMixed) return "大きさは合っているが、帯分数になっていない";
    return SharedKindLabel(kind);
}

FractionEntry WorkedEntry(const WorkedRows& rows) {
    FractionEntry entry;
    entry.entered_whole = SlotNumber(rows, FractionSlot::Whole);
    entry.entered_numerator = SlotNumber(rows, FractionSlot::Numerator);
    entry.entered_denominator = SlotNumber(rows, FractionSlot::Denominator);
    return entry;
}

Diagnosis DiagnoseFraction(int family, Variant variant, const FractionProblem& problem,
                           const WorkedRows& rows) {
    return DiagnoseFractionEntry(family, variant, problem, WorkedEntry(rows));
}

Diagnosis DiagnoseFractionEntry(int family, Variant variant, const FractionProblem& problem,
                                const FractionEntry& entry) {
    if (!IsFamily(family)) return std::nullopt;
    const bool right = variant == Variant::Practice ? JudgePracticeAnswer(family, problem, entry)
                                                    : JudgeDrillAnswer(family, problem, entry);
    if (right) return std::nullopt;
    // A problem without a denominator (nothing drawn) has nothing to compare.
    if (problem.problem_denominator <= 0 || problem.answer_denominator <= 0)
        return Finding{kOther, "", "もういちど 計算してみよう"};
    switch (family) {
        case kImproperToMixed: return ImproperToMixed(problem, entry);
        case kMixedToImproper: return MixedToImproper(problem, entry);
        default: return FindTheBox(problem, entry);
    }
}

RoleCell FractionSlotCell(FractionSlot slot) { return {AnswerRole(slot)}; }

std::vector<FractionSlot> FractionSlots(int family) {
    if (family == kMixedToImproper) return {FractionSlot::Denominator, FractionSlot::Numerator};
    if (!IsFamily(family)) return {};
    return {FractionSlot::Whole, FractionSlot::Denominator, FractionSlot::Numerator};
}

std::optional<FractionSlot> StepSlot(std::string_view step) {
    for (FractionSlot slot : {FractionSlot::Whole, FractionSlot::Numerator, FractionSlot::Denominator})
        if (step == PartStep(slot)) return slot;
    return std::nullopt;
}

}  // namespace sorelka::fractions
