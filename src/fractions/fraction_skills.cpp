#include "fractions/fraction_skills.h"

#include <algorithm>

#include "core/number_text.h"
#include "fractions/fraction_diagnosis.h"

namespace sorelka::fractions {

namespace {

constexpr TopicSkill kSkills[] = {
    {{skill::kImproperToMixed, "仮分数を 帯分数に なおす", "仮分数→帯分数"}, {kImproperToMixed}},
    {{skill::kKeepDenominator, "分母は そのまま", "分母はそのまま"}, {kImproperToMixed, kMixedToImproper}},
    {{skill::kMixedToImproper, "帯分数を 仮分数に なおす", "帯分数→仮分数"}, {kMixedToImproper}},
    {{skill::kHiddenNumerator, "□に あてはまる 分子を もとめる", "□にあてはまる分子"}, {kFindTheBox}},
    {{skill::kWholeResult, "仮分数を 整数に なおす", "仮分数→整数"}, {}},
};

constexpr int kTargetAttempts = 32;

// The conversion a family asks for.
std::string_view ConversionSkill(int family, const FractionProblem& p) {
    switch (family) {
        case kImproperToMixed:
            return p.problem_denominator > 0 && p.problem_numerator % p.problem_denominator == 0
                       ? skill::kWholeResult
                       : skill::kImproperToMixed;
        case kMixedToImproper: return skill::kMixedToImproper;
        case kFindTheBox: return skill::kHiddenNumerator;
        default: return {};
    }
}

FractionProblem Fallback(int family) {
    FractionProblem p;
    switch (family) {
        case kImproperToMixed:  // 7/3 = 2・1/3
            p = {0, 7, 3, 2, 1, 3};
            break;
        case kMixedToImproper:  // 2・1/3 = 7/3
            p = {2, 1, 3, 0, 7, 3};
            break;
        default:  // 3・1/4 = 1・9/4
            p = {3, 1, 4, 1, 9, 4};
            break;
    }
    return p;
}

}  // namespace

std::span<const TopicSkill> FractionSkills() { return kSkills; }

std::vector<std::string_view> SkillsExercised(int family, const FractionProblem& problem) {
    std::vector<std::string_view> out;
    const std::string_view conversion = ConversionSkill(family, problem);
    if (conversion.empty() || problem.problem_denominator <= 0) return out;
    // The denominator is written in every answer but a whole number and the box.
    const bool writes_denominator = family != kFindTheBox && conversion != skill::kWholeResult;
    for (const TopicSkill& s : kSkills) {
        const std::string_view id = s.info.id;
        if (id == conversion || (id == skill::kKeepDenominator && writes_denominator)) out.push_back(id);
    }
    return out;
}

bool Exercises(int family, const FractionProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(family, problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfKind(int family, const FractionProblem& problem, std::string_view kind) {
    if (kind == kDenominatorChanged) return skill::kKeepDenominator;
    if (kind == kNotMixed || kind == kWholePart || kind == kWholeNotMultiplied || kind == kNumeratorSlip)
        return ConversionSkill(family, problem);
    return {};
}

std::vector<SkillObservation> ObserveAnswer(int family, const FractionProblem& problem, bool correct,
                                            std::string_view kind) {
    const std::vector<std::string_view> exercised = SkillsExercised(family, problem);
    return ObservationsOf(exercised, correct, SkillOfKind(family, problem, kind));
}

std::string StoredProblemText(const FractionProblem& problem) { return ProblemText(problem); }

std::optional<FractionProblem> ParseStoredProblem(int menu_choice, std::string_view text) {
    // "w・n / d =" or "n / d ="
    constexpr std::string_view kDot = "・";
    constexpr std::string_view kBar = " / ";
    constexpr std::string_view kEnd = " =";
    if (!IsFamily(menu_choice) || !text.ends_with(kEnd)) return std::nullopt;
    text.remove_suffix(kEnd.size());
    FractionProblem p;
    const std::size_t dot = text.find(kDot);
    if (dot != std::string_view::npos) {
        const std::optional<int> whole = WholeNumber(text.substr(0, dot));
        if (!whole || *whole == 0) return std::nullopt;
        p.problem_whole = *whole;
        text.remove_prefix(dot + kDot.size());
    }
    const std::size_t bar = text.find(kBar);
    if (bar == std::string_view::npos) return std::nullopt;
    const std::optional<int> numerator = WholeNumber(text.substr(0, bar));
    const std::optional<int> denominator = WholeNumber(text.substr(bar + kBar.size()));
    if (!numerator || !denominator || *denominator == 0) return std::nullopt;
    if ((menu_choice == kImproperToMixed) != (p.problem_whole == 0)) return std::nullopt;
    p.problem_numerator = *numerator;
    p.problem_denominator = *denominator;
    p.answer_denominator = *denominator;
    if (menu_choice == kImproperToMixed) {
        p.answer_whole = *numerator / *denominator;
        p.answer_numerator = *numerator % *denominator;
    } else if (menu_choice == kMixedToImproper) {
        p.answer_numerator = p.problem_whole * *denominator + *numerator;
    }
    return p;
}

std::optional<FractionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random) {
    const auto it = std::find_if(std::begin(kSkills), std::end(kSkills),
                                 [&](const TopicSkill& s) { return s.info.id == id; });
    if (it == std::end(kSkills) || !it->practice_items.Has(menu_choice)) return std::nullopt;
    random.Randomize();
    for (int attempt = 0; attempt < kTargetAttempts; ++attempt) {
        const std::optional<FractionProblem> p = DrawFamilyProblem(menu_choice, Variant::Practice, random);
        if (p && FitsFamily(menu_choice, Variant::Practice, *p) && Exercises(menu_choice, *p, id)) return p;
    }
    return Fallback(menu_choice);
}

}  // namespace sorelka::fractions
