#include "rules/rules_skills.h"

#include <algorithm>

#include "core/number_text.h"
#include "rules/rules_diagnosis.h"

namespace sorelka::rules {

namespace {

constexpr TopicSkill kSkills[] = {
    {{skill::kParenthesesFirst, "（　）の 中を さきに 計算する", "（　）の中を先に計算"}, {1}},
    {{skill::kColumnAddition, "とちゅうの たし算", "途中のたし算（筆算）"}, {1, 2, 4}},
    {{skill::kColumnSubtraction, "とちゅうの ひき算", "途中のひき算（筆算）"}, {1, 2, 4}},
    {{skill::kColumnMultiplication, "とちゅうの かけ算", "途中のかけ算（筆算）"}, {1, 2, 3, 4}},
    {{skill::kColumnDivision, "とちゅうの わり算", "途中のわり算（筆算）"}, {1, 2, 3, 4}},
    {{skill::kTimesDivideFirst, "×と ÷を ＋と －より さきに 計算する", "×÷を＋－より先に計算"}, {2}},
    {{skill::kLeftToRight, "×と ÷だけの 式を 左から 計算する", "×÷だけの式は左から計算"}, {3}},
    {{skill::kBoxAddition, "□＋○＝△の □を もとめる", "□＋a＝b の□（ひき算で求める）"}, {4}},
    {{skill::kBoxSubtraction, "□－○＝△の □を もとめる", "□－a＝b の□（たし算で求める）"}, {4}},
    {{skill::kBoxMultiplication, "□×○＝△の □を もとめる", "□×a＝b の□（わり算で求める）"}, {4}},
    {{skill::kBoxDivision, "□÷○＝△の □を もとめる", "□÷a＝b の□（かけ算で求める）"}, {4}},
};

int Inverse(int op) {
    switch (op) {
        case kAdd: return kSubtract;
        case kSubtract: return kAdd;
        case kMultiply: return kDivide;
        default: return kMultiply;
    }
}

std::string_view ColumnSkill(int op) {
    switch (op) {
        case kAdd: return skill::kColumnAddition;
        case kSubtract: return skill::kColumnSubtraction;
        case kMultiply: return skill::kColumnMultiplication;
        case kDivide: return skill::kColumnDivision;
        default: return {};
    }
}

// The skill of the menu's rule; a box problem's is that of its form.
std::string_view RuleSkill(const ExpressionProblem& p) {
    static constexpr std::string_view kBoxes[] = {skill::kBoxAddition, skill::kBoxSubtraction,
                                                  skill::kBoxMultiplication, skill::kBoxDivision};
    switch (p.menu) {
        case kParenthesesMenu: return skill::kParenthesesFirst;
        case kMixedMenu: return skill::kTimesDivideFirst;
        case kTimesDividesMenu: return skill::kLeftToRight;
        case kBoxMenu: return p.family_number >= 1 && p.family_number <= 4 ? kBoxes[p.family_number - 1] : "";
        default: return {};
    }
}

// Fixed problems that pass their family's rule; each menu's cover all its
// skills. They stand when a family's draws all fail.
struct Fixed {
    int menu;
    int family;
    int a, b, c, d;
};
constexpr Fixed kFallbacks[] = {
    {kParenthesesMenu, 8, 456, 22, 16, 0},   // 456 ÷ ( 22 + 16 )
    {kParenthesesMenu, 9, 624, 86, 62, 0},   // 624 ÷ ( 86 − 62 )
    {kParenthesesMenu, 10, 672, 16, 3, 0},   // 672 ÷ ( 16 × 3 )
    {kMixedMenu, 11, 828, 36, 768, 24},      // 828 ÷ 36 + 768 ÷ 24
    {kMixedMenu, 12, 720, 16, 782, 34},      // 720 ÷ 16 − 782 ÷ 34
    {kMixedMenu, 8, 26, 32, 462, 42},        // 26 × 32 − 462 ÷ 42
    {kTimesDividesMenu, 1, 96, 4, 3, 0},     // 96 ÷ 4 × 3
    {kBoxMenu, 1, 14, 37, 0, 0},             // □ + 14 = 37
    {kBoxMenu, 2, 12, 25, 0, 0},             // □ − 12 = 25
    {kBoxMenu, 3, 3, 69, 0, 0},              // □ × 3 = 69
    {kBoxMenu, 4, 125, 32, 0, 0},            // □ ÷ 125 = 32
};

const TopicSkill* Find(std::string_view id) {
    for (const TopicSkill& s : kSkills)
        if (s.info.id == id) return &s;
    return nullptr;
}

int OpOfSign(std::string_view sign) {
    if (sign == "+") return kAdd;
    if (sign == "-") return kSubtract;
    if (sign == "x") return kMultiply;
    if (sign == "÷") return kDivide;
    return 0;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        if (space != 0) words.push_back(text.substr(0, space));
        if (space == std::string_view::npos) break;
        text.remove_prefix(space + 1);
    }
    return words;
}

// The family of `menu` whose kind code is `kind`; 0 for none.
int FamilyOfKind(int menu, int kind) {
    for (int family = 1; family <= FamilyCount(menu); ++family)
        if (FamilyKindCode(menu, family) == kind) return family;
    return 0;
}

}  // namespace

std::span<const TopicSkill> RulesSkills() { return kSkills; }

std::vector<int> CalculationOps(const ExpressionProblem& p) {
    if (p.IsBoxProblem()) return {Inverse(p.family_number)};
    if (p.menu == 0) return {};
    const CalculationOrder order = OrderOf(p.kind_code);
    if (order.four_numbers) return {order.first_op, order.second_op, order.middle_op};
    return {order.first_op, order.second_op};
}

std::vector<std::string_view> SkillsExercised(const ExpressionProblem& p) {
    std::vector<std::string_view> out;
    const std::string_view rule = RuleSkill(p);
    if (rule.empty()) return out;
    const std::vector<int> ops = CalculationOps(p);
    for (const TopicSkill& s : kSkills) {
        const std::string_view id = s.info.id;
        const bool column = std::any_of(ops.begin(), ops.end(), [&](int op) { return ColumnSkill(op) == id; });
        if (id == rule || column) out.push_back(id);
    }
    return out;
}

bool Exercises(const ExpressionProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfMistake(const ExpressionProblem& problem, std::string_view kind, std::string_view step) {
    if (kind == kInverseOperation) return problem.IsBoxProblem() ? RuleSkill(problem) : std::string_view();
    if (kind != kStepSlip) return {};
    const std::optional<int> calc = WholeNumber(StepField(step, "calc"));
    const std::vector<int> ops = CalculationOps(problem);
    if (!calc || *calc < 1 || *calc > static_cast<int>(ops.size())) return {};
    return ColumnSkill(ops[*calc - 1]);
}

std::vector<SkillObservation> ObserveAnswer(const ExpressionProblem& problem, bool correct,
                                            std::string_view kind, std::string_view step) {
    const std::vector<std::string_view> exercised = SkillsExercised(problem);
    return ObservationsOf(exercised, correct, SkillOfMistake(problem, kind, step));
}

std::string StoredProblemText(const ExpressionProblem& problem) { return ProblemTextForLog(problem); }

std::optional<ExpressionProblem> ParseStoredProblem(int menu_choice, std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    if (menu_choice == kBoxMenu) {  // "□ + 23 = 58"
        if (words.size() != 5 || words[0] != "□" || words[3] != "=") return std::nullopt;
        const int op = OpOfSign(words[1]);
        const std::optional<int> a = WholeNumber(words[2]);
        const std::optional<int> b = WholeNumber(words[4]);
        if (!op || !a || !b) return std::nullopt;
        return MakeProblem(kBoxMenu, op, *a, *b);
    }
    if (menu_choice < kParenthesesMenu || menu_choice > kTimesDividesMenu) return std::nullopt;
    // Numbers and signs alternate once the parentheses are taken out:
    // "(12 + 34 ) x 5 =" has its left one on the first number.
    if (words.empty() || words.back() != "=") return std::nullopt;
    bool left = false;
    bool right = false;
    std::vector<int> numbers;
    std::vector<int> ops;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        std::string_view w = words[i];
        if (w == "(") { right = true; continue; }
        if (w == ")") continue;
        if (i == 0 && w.starts_with("(")) { left = true; w.remove_prefix(1); }
        if (numbers.size() == ops.size()) {
            const std::optional<int> n = WholeNumber(w);
            if (!n) return std::nullopt;
            numbers.push_back(*n);
        } else {
            const int op = OpOfSign(w);
            if (!op) return std::nullopt;
            ops.push_back(op);
        }
    }
    int kind = 0;
    if (numbers.size() == 4 && ops.size() == 3) {
        kind = 100 * ops[0] + 10 * ops[1] + ops[2];
    } else if (numbers.size() == 3 && ops.size() == 2) {
        const bool first_worked_first = menu_choice == kTimesDividesMenu || left;
        kind = first_worked_first ? 10 * (ops[0] + 5) + ops[1]
               : right            ? 10 * ops[0] + ops[1] + 5
                                  : 10 * ops[0] + ops[1];
    }
    const int family = FamilyOfKind(menu_choice, kind);
    if (family == 0) return std::nullopt;
    numbers.resize(4, 0);
    return MakeProblem(menu_choice, family, numbers[0], numbers[1], numbers[2], numbers[3]);
}

std::optional<ExpressionProblem> TargetedDraw(std::string_view id, int menu_choice, RandomSource& random) {
    const TopicSkill* s = Find(id);
    if (!s || !s->practice_items.Has(menu_choice)) return std::nullopt;
    // The families whose calculations exercise the skill: their kind codes
    // (box problems: their form) decide, the operands do not.
    std::vector<int> families;
    for (int family = 1; family <= FamilyCount(menu_choice); ++family)
        if (Exercises(MakeProblem(menu_choice, family, 0, 1, 1, 1), id)) families.push_back(family);
    if (families.empty()) return std::nullopt;
    random.Randomize();
    ExpressionProblem p;
    p.menu = menu_choice;
    p.family_number = families[random.Random(static_cast<int>(families.size()))];
    DrawFamily(random, p);
    if (!p.fell_back || FamilyAccepts(p)) return p;
    for (const Fixed& f : kFallbacks) {
        if (f.menu != menu_choice) continue;
        ExpressionProblem fixed = MakeProblem(f.menu, f.family, f.a, f.b, f.c, f.d);
        if (Exercises(fixed, id)) return fixed;
    }
    return std::nullopt;  // not reached: the fixed problems cover every skill and item
}

}  // namespace sorelka::rules
