#include "decimal_division/decimal_division_skills.h"

#include <algorithm>
#include <string>

#include "core/number_text.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "division/division_diagnosis.h"

namespace sorelka::decimal_division {

namespace {

constexpr TopicSkill kSkills[] = {
    {{skill::kSteps, "小数を 整数で わる 筆算", "たてる・かける・ひく・おろす"}, {1, 2, 3, 4, 5}},
    {{skill::kPoint, "商の 小数点を そろえて うつ", "商の小数点の位置"}, {1, 2, 3, 4, 5}},
    {{skill::kOnesZero, "商が １より 小さい わり算", "商の一の位に0を書く"}, {1, 2, 3, 4, 5}},
    {{skill::kZeroInQuotient, "商の とちゅうに ０が たつ わり算", "商の途中の0"}, {1, 3, 4, 5}},
    {{skill::kTwoDigitDivisor, "２けたで わる 小数の わり算", "2けたの除数"}, {2, 3, 4, 5}},
    {{skill::kDivideOn, "０を つけたして わり進む", "わり進み"}, {3, 4, 5}},
    {{skill::kRemainder, "あまりの 小数点を うつ", "あまりの小数点の位置"}, {4}},
    {{skill::kRounding, "商を 四捨五入する", "商のがい数"}, {5}},
};

// Draws tried before a fixed problem of the item stands.
constexpr int kTargetAttempts = 32;

constexpr DecimalDivisionProblem Divides(int digits, int places, int divisor, int menu) {
    return {.digits = digits, .places = places, .divisor = divisor, .menu = menu};
}
constexpr DecimalDivisionProblem Ends(int digits, int places, int divisor, Ending ending, int asked, int menu) {
    return {.digits = digits, .places = places, .divisor = divisor, .ending = ending, .asked = asked, .menu = menu};
}

// Fixed problems, one of which exercises each skill of each item.
constexpr DecimalDivisionProblem kFallbacks[] = {
    Divides(72, 1, 3, kOneDigitMenu),    Divides(24, 1, 6, kOneDigitMenu),   // 2.4, 0.4
    Divides(612, 2, 6, kOneDigitMenu),                                       // 1.02
    Divides(912, 1, 24, kTwoDigitMenu),  Divides(864, 2, 36, kTwoDigitMenu),  // 3.8, 0.24
    Divides(54, 1, 4, kDivideOnMenu),    Divides(3, 0, 4, kDivideOnMenu),     // 1.35, 0.75
    Divides(42, 1, 4, kDivideOnMenu),    Divides(9, 0, 12, kDivideOnMenu),    // 1.05, 0.75
    Ends(75, 1, 4, Ending::Remainder, 1, kRemainderMenu),                     // 1.8 あまり 0.3
    Ends(26, 1, 4, Ending::Remainder, 1, kRemainderMenu),                     // 0.6 あまり 0.2
    Ends(81, 1, 4, Ending::Remainder, 1, kRemainderMenu),                     // 2.0 あまり 0.1
    Ends(305, 1, 12, Ending::Remainder, 1, kRemainderMenu),                   // 2.5 あまり 0.5
    Ends(7, 0, 3, Ending::Remainder, 1, kRemainderMenu),                      // 2.3 あまり 0.1
    Ends(25, 1, 7, Ending::Rounded, 2, kRoundedMenu),                         // 0.357… → 0.36
    Ends(63, 1, 6, Ending::Rounded, 1, kRoundedMenu),                         // 1.05 → 1.1
    Ends(5, 0, 12, Ending::Rounded, 1, kRoundedMenu),                         // 0.41… → 0.4
};

const TopicSkill* Find(std::string_view id) {
    for (const TopicSkill& s : kSkills)
        if (s.info.id == id) return &s;
    return nullptr;
}

}  // namespace

std::span<const TopicSkill> DecimalDivisionSkills() { return kSkills; }

std::vector<std::string_view> SkillsExercised(const DecimalDivisionProblem& problem) {
    std::vector<std::string_view> out;
    if (!FitsSheet(problem)) return out;
    const long long quotient = WholeDivision(problem).quotient;
    out.push_back(skill::kSteps);
    out.push_back(skill::kPoint);
    if (quotient < Pow10(WorkedPlaces(problem))) out.push_back(skill::kOnesZero);
    if (std::to_string(quotient).find('0') != std::string::npos) out.push_back(skill::kZeroInQuotient);
    if (problem.divisor >= 10) out.push_back(skill::kTwoDigitDivisor);
    if (WrittenZeros(problem) > 0) out.push_back(skill::kDivideOn);
    if (problem.ending == Ending::Remainder) out.push_back(skill::kRemainder);
    if (problem.ending == Ending::Rounded) out.push_back(skill::kRounding);
    return out;
}

bool Exercises(const DecimalDivisionProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfMistake(std::string_view kind) {
    if (kind == kQuotientPointMissing || kind == kQuotientPointMisplaced) return skill::kPoint;
    if (kind == kOnesZeroMissing) return skill::kOnesZero;
    if (kind == kRemainderPoint) return skill::kRemainder;
    if (kind == kStoppedEarly) return skill::kDivideOn;
    if (kind == kRoundingPlace || kind == kRoundingCut) return skill::kRounding;
    if (kind == division::kZeroMissing) return skill::kZeroInQuotient;
    for (const char* steps : {division::kQuotientTooBig, division::kQuotientTooSmall, division::kQuotientPlace,
                              division::kProductSlip, division::kDifferenceSlip, division::kBringDown})
        if (kind == steps) return skill::kSteps;
    return {};
}

std::vector<SkillObservation> ObserveAnswer(const DecimalDivisionProblem& problem, bool correct,
                                            std::string_view kind) {
    return ObservationsOf(SkillsExercised(problem), correct, SkillOfMistake(kind));
}

std::optional<DecimalDivisionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random) {
    const TopicSkill* s = Find(id);
    if (!s || !s->practice_items.Has(menu_choice)) return std::nullopt;
    random.Randomize();
    for (int attempt = 0; attempt < kTargetAttempts; ++attempt) {
        const std::optional<DecimalDivisionProblem> p = DrawProblem(menu_choice, random);
        if (p && FitsMenuItem(*p, menu_choice) && Exercises(*p, id)) return p;
    }
    for (const DecimalDivisionProblem& p : kFallbacks)
        if (p.menu == menu_choice && FitsMenuItem(p, menu_choice) && Exercises(p, id)) return p;
    return std::nullopt;  // not reached: the fixed problems cover every skill and item
}

}  // namespace sorelka::decimal_division
