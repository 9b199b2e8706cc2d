#include "division/division_skills.h"

#include <algorithm>

#include "core/number_text.h"
#include "division/division_diagnosis.h"

namespace sorelka::division {

namespace {

constexpr TopicSkill kSkills[] = {
    {{skill::kEstimate, "１けたで わる 商を たてる", "商をたてる（1けたの除数）"}, {1}},
    {{skill::kMultiply, "わり算の かけ算", "かける（除数×商）"}, {1, 2, 3}},
    {{skill::kSubtract, "わり算の ひき算", "ひく"}, {1, 2, 3}},
    {{skill::kBringDown, "つぎの 数を おろす", "おろす"}, {1, 2, 3}},
    {{skill::kQuotientPlace, "商を たてる 位", "商をたてる位"}, {1, 2, 3}},
    {{skill::kZeroInQuotient, "商に ０が たつ わり算", "商に0がたつ"}, {1, 2, 3}},
    {{skill::kThreeDigitQuotient, "商が ３けたの わり算", "商が3けた"}, {1, 2, 3}},
    {{skill::kTwoDigitDivisor, "２けたで わる 商を たてる", "商の見当（2けたの除数）"}, {2}},
    {{skill::kThreeDigitDivisor, "３けたで わる 商を たてる", "商の見当（3けたの除数）"}, {3}},
};

// Draws tried before the fixed problem of the item stands; a draw costs well
// under a microsecond, so even all of them failing stays far inside the
// budget of a problem draw.
constexpr int kTargetAttempts = 32;

// What the right work of a problem looks like, as far as the skills see it.
struct Shape {
    std::string quotient;  // its digits
    bool brings_down = false;
};

Shape ShapeOf(const DivisionProblem& p) {
    Shape shape;
    if (p.divisor <= 0 || p.dividend < 0) return shape;
    shape.quotient = std::to_string(p.dividend / p.divisor);
    // The first part takes dividend digits until it can be divided; any digit
    // left over is brought down later.
    const std::string digits = std::to_string(p.dividend);
    std::size_t used = 0;
    long long part = 0;
    while (used < digits.size() && part < p.divisor) part = part * 10 + (digits[used++] - '0');
    shape.brings_down = used < digits.size();
    return shape;
}

// Every digit after the first of a quotient comes from a number brought down;
// a 0 among them is one that number could not be divided by.
bool HasZeroAfterFirst(const std::string& quotient) {
    return quotient.size() > 1 && quotient.find('0', 1) != std::string::npos;
}

std::string_view DivisorSkill(int divisor) {
    if (divisor < 10) return skill::kEstimate;
    if (divisor < 100) return skill::kTwoDigitDivisor;
    return skill::kThreeDigitDivisor;
}

// The kind of each menu item whose dividends allow a three-digit quotient.
int LongQuotientKind(int menu_choice) { return menu_choice == 2 ? 3 : 2; }

// A problem of the item's long-quotient kind built from its quotient: a
// three-digit one, with a 0 in its tens when `inner_zero`.
std::optional<DivisionProblem> ByQuotient(int menu_choice, bool inner_zero, RandomSource& random) {
    DivisionProblem p;
    p.problem_kind = LongQuotientKind(menu_choice);
    const NumberRange dividends = DividendRange(menu_choice, p.problem_kind);
    p.divisor = DivisorRange(menu_choice).Draw(random);
    const int most = std::min(dividends.high / p.divisor, 999);
    if (most < 100) return std::nullopt;
    int quotient = 0;
    if (inner_zero) {
        const int hundreds = 1 + random.Random(most / 100);
        quotient = 100 * hundreds + random.Random(std::min(9, most - 100 * hundreds) + 1);
    } else {
        quotient = 100 + random.Random(most - 99);
    }
    const int room = std::min(p.divisor - 1, dividends.high - quotient * p.divisor);
    p.dividend = quotient * p.divisor + random.Random(room + 1);
    p.quotient = p.dividend / p.divisor;
    p.remainder = p.dividend % p.divisor;
    return p;
}

DivisionProblem Fixed(int menu_choice, int dividend, int divisor) {
    DivisionProblem p;
    p.dividend = dividend;
    p.divisor = divisor;
    p.quotient = dividend / divisor;
    p.remainder = dividend % divisor;
    for (int kind = 1; kind <= 3; ++kind)
        if (DividendRange(menu_choice, kind).Has(dividend)) p.problem_kind = kind;
    return p;
}

// One problem per item that exercises every skill the item has a place for
// (102 with a 0 inside, brought down, three digits).
DivisionProblem Fallback(int menu_choice) {
    switch (menu_choice) {
        case 1: return Fixed(1, 612, 6);
        case 2: return Fixed(2, 1224, 12);
        default: return Fixed(3, 12345, 121);
    }
}

const TopicSkill* Find(std::string_view id) {
    for (const TopicSkill& s : kSkills)
        if (s.info.id == id) return &s;
    return nullptr;
}

}  // namespace

std::span<const TopicSkill> DivisionSkills() { return kSkills; }

std::vector<std::string_view> SkillsExercised(const DivisionProblem& problem) {
    const Shape shape = ShapeOf(problem);
    std::vector<std::string_view> out;
    if (shape.quotient.empty()) return out;
    const std::string_view divisor_skill = DivisorSkill(problem.divisor);
    for (const TopicSkill& s : kSkills) {
        const std::string_view id = s.info.id;
        bool yes = id == skill::kMultiply || id == skill::kSubtract || id == skill::kQuotientPlace ||
                   id == divisor_skill;
        if (id == skill::kBringDown) yes = shape.brings_down;
        if (id == skill::kZeroInQuotient) yes = HasZeroAfterFirst(shape.quotient);
        if (id == skill::kThreeDigitQuotient) yes = shape.quotient.size() >= 3;
        if (yes) out.push_back(id);
    }
    return out;
}

bool Exercises(const DivisionProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfKind(const DivisionProblem& problem, std::string_view kind) {
    if (kind == kQuotientTooBig || kind == kQuotientTooSmall) return DivisorSkill(problem.divisor);
    if (kind == kProductSlip) return skill::kMultiply;
    if (kind == kDifferenceSlip) return skill::kSubtract;
    if (kind == kBringDown) return skill::kBringDown;
    if (kind == kZeroMissing) return skill::kZeroInQuotient;
    if (kind == kQuotientPlace) return skill::kQuotientPlace;
    return {};
}

std::vector<SkillObservation> ObserveAnswer(const DivisionProblem& problem, bool correct,
                                            std::string_view kind) {
    const std::vector<std::string_view> exercised = SkillsExercised(problem);
    return ObservationsOf(exercised, correct, SkillOfKind(problem, kind));
}

std::string StoredProblemText(const DivisionProblem& problem) {
    return std::to_string(problem.dividend) + " ÷ " + std::to_string(problem.divisor);
}

std::optional<DivisionProblem> ParseStoredProblem(int menu_choice, std::string_view text) {
    constexpr std::string_view kSign = " ÷ ";
    const std::size_t sign = text.find(kSign);
    if (sign == std::string_view::npos) return std::nullopt;
    const std::optional<int> dividend = WholeNumber(text.substr(0, sign));
    const std::optional<int> divisor = WholeNumber(text.substr(sign + kSign.size()));
    if (!dividend || !divisor || *divisor == 0) return std::nullopt;
    return Fixed(menu_choice, *dividend, *divisor);
}

std::optional<DivisionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random) {
    const TopicSkill* s = Find(id);
    if (!s || !s->practice_items.Has(menu_choice)) return std::nullopt;
    random.Randomize();
    const bool zero = id == skill::kZeroInQuotient;
    const bool by_quotient = zero || id == skill::kThreeDigitQuotient;
    for (int attempt = 0; attempt < kTargetAttempts; ++attempt) {
        const std::optional<DivisionProblem> p =
            by_quotient ? ByQuotient(menu_choice, zero, random) : DrawProblem(menu_choice, random);
        if (p && FitsMenuItem(menu_choice, *p) && Exercises(*p, id)) return p;
    }
    return Fallback(menu_choice);
}

}  // namespace sorelka::division
