#include "rules/expression_problems.h"

// The families of each menu: how a family draws its operands, the rule a draw
// must pass (FamilyAccepts, also the check of a problem drawn elsewhere), and
// the fixed operands that stand when no draw passes within the family's limit.
namespace sorelka::rules {

namespace {

const char* const kBox = "□";

// Draws with `draw` until `accept` holds, at most `limit` times. Returns true
// when a draw was accepted; otherwise the last draw stands.
template <class Draw, class Accept>
bool DrawUntil(int limit, Draw draw, Accept accept) {
    for (int i = 0; i < limit; ++i) {
        draw();
        if (accept()) return true;
    }
    return false;
}

bool MultipleOfTen(int x) { return x % 10 == 0; }
bool Divides(int divisor, int x) { return divisor != 0 && x % divisor == 0; }

const char* Sign(int op) {
    switch (op) {
        case kAdd: return "+";
        case kSubtract: return "-";
        case kMultiply: return "x";
        case kDivide: return "÷";
        default: return "?";
    }
}

std::string Num(int x) { return std::to_string(x); }

// The text of an expression of menus 1 to 3: "a - ( b + c ) = ?",
// "(a + b ) x c = ?", "a ÷ b x c = ?" or "a x b + c ÷ d = ?".
std::string ExpressionText(int menu, int kind, int a, int b, int c, int d) {
    const int t = kind / 10 % 10;
    const int o = kind % 10;
    if (kind >= 100) {
        return Num(a) + " " + Sign(kind / 100) + " " + Num(b) + " " + Sign(t) + " " + Num(c) +
               " " + Sign(o) + " " + Num(d) + " = ?";
    }
    if (menu == kParenthesesMenu && t >= 6) {
        return "(" + Num(a) + " " + Sign(t - 5) + " " + Num(b) + " ) " + Sign(o) + " " + Num(c) +
               " = ?";
    }
    if (menu == kParenthesesMenu) {
        return Num(a) + " " + Sign(t) + " ( " + Num(b) + " " + Sign(o - 5) + " " + Num(c) +
               " ) = ?";
    }
    return Num(a) + " " + Sign(t > 5 ? t - 5 : t) + " " + Num(b) + " " + Sign(o) + " " + Num(c) +
           " = ?";
}

// Sets answer and text from the final operands.
void Finish(ExpressionProblem& p) {
    p.expected_answer = Evaluate(p.kind_code, p.operand_a, p.operand_b, p.operand_c, p.operand_d);
    p.problem_text =
        ExpressionText(p.menu, p.kind_code, p.operand_a, p.operand_b, p.operand_c, p.operand_d);
}

// `R` gives the value of the expression, worked out only where a rule needs it.
template <class Value>
bool ParenthesesAccepts(int family, int a, int b, int c, Value R) {
    switch (family) {
        case 1: return R() > 0;
        case 2: return b > c;
        case 3: return R() > 0 && b > c;
        case 4: return R() < 10000 && b + c < 100 && !MultipleOfTen(b + c);
        case 5: return R() < 10000 && b > c && b - c < 100 && !MultipleOfTen(b - c);
        case 6: return R() < 10000 && b * c < 100 && !MultipleOfTen(b * c);
        case 7: return Divides(c, b) && R() < 10000 && b > c && b / c < 100;
        case 8: return 2 < R() && R() < 100 && Divides(b + c, a) && b + c < 100 && !MultipleOfTen(b + c);
        case 9:  // b ≤ c is rejected before anything is divided
            return b > c && 2 < R() && R() < 100 && Divides(b - c, a) && b - c < 100 && !MultipleOfTen(b - c);
        case 10: return 2 < R() && R() < 100 && Divides(b * c, a) && b * c < 100 && !MultipleOfTen(b * c);
        case 11: return b / c > 2 && 2 < R() && R() < 100 && Divides(c, b) && Divides(b / c, a) && b / c < 100;
        case 12: return R() < 10000 && !MultipleOfTen(a + b);
        case 13: return a > b && R() < 10000 && !MultipleOfTen(a - b);
        case 14: return a + b < 1000 && 2 < R() && R() < 100 && Divides(c, a + b);
        case 15: return a > b && 2 < R() && R() < 100 && Divides(c, a - b);
        default: return false;
    }
}

template <class Value>
bool MixedAccepts(int family, int a, int b, int c, int d, Value R, Variant variant) {
    const auto exact = [](int x, int y) { return Divides(y, x) && 1 < x / y && x / y < 100; };
    switch (family) {
        case 1:
            if (variant == Variant::Drill) return R() < 10000;
            return R() < 10000 && !MultipleOfTen(b) && !MultipleOfTen(c);
        case 2: return R() > 0;
        case 3: return Divides(c, b) && b / c < 100;
        case 4: return R() > 0 && Divides(c, b) && b / c < 100;
        case 5: return true;
        case 6: return R() > 0;
        case 7: return Divides(d, c) && c / d > 2;
        case 8: return R() > 0 && Divides(d, c) && c / d > 2;
        case 9: return a > b && Divides(b, a) && a / b < 100;
        case 10: return R() > 0 && exact(a, b);
        case 11: return exact(a, b) && exact(c, d);
        case 12: return R() > 0 && exact(a, b) && exact(c, d);
        default: return false;
    }
}

void DrawParenthesesFamily(RandomSource& r, ExpressionProblem& p, Variant variant) {
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    p.operand_d = 0;
    const auto accept = [&] { return FamilyAccepts(p, variant); };
    bool ok = false;
    switch (p.family_number) {
        case 1: ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 98); c = r.Random(998) + 1; }, accept); break;
        case 2: ok = DrawUntil(1000, [&] { a = TensOnes(r, 48); b = TensOnes(r, 98); c = TensOnes(r, 28); }, accept); break;
        case 3: ok = DrawUntil(1000, [&] { a = TensOnes(r, 109); b = TensOnes(r, 98); c = TensOnes(r, 58); }, accept); break;
        case 4: ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 4); c = r.Random(38) + 2; }, accept); break;
        case 5: ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 28); c = TensOnes(r, 8); }, accept); break;
        case 6: ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = r.Random(30) + 2; c = r.Random(30) + 2; }, accept); break;
        case 7:
            ok = DrawUntil(
                10000,
                [&] {
                    if (variant == Variant::Drill) {
                        a = TensOnes(r, 8); b = r.Random(38) + 1; c = TensOnes(r, 98);
                    } else {
                        a = TensOnes(r, 8); b = SmallOnes(r); c = r.Random(38) + 1;
                    }
                },
                accept);
            if (!ok) { b = 24; c = 6; }
            break;
        case 8:
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = TensOnes(r, 8); }, accept);
            if (!ok) { a = 456; b = 22; c = 16; }
            break;
        case 9:
            ok = DrawUntil(
                10000,
                [&] {
                    if (variant == Variant::Drill) {
                        a = TensOnes(r, 98); b = TensOnes(r, 8); c = r.Random(98) + 1;
                    } else {
                        a = TensOnes(r, 98); c = r.Random(98) + 1; b = c + TensOnes(r, 8);
                    }
                },
                accept);
            if (!ok) { a = 624; b = 86; c = 62; }
            break;
        case 10:
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 98); b = r.Random(98) + 1; c = r.Random(7) + 2; }, accept);
            if (!ok) { a = 672; b = 16; c = 3; }
            break;
        case 11:
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 48); c = r.Random(28) + 1; b = c + TensOnes(r, 8); }, accept);
            if (!ok) { a = 324; b = 36; c = 4; }
            break;
        case 12: ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 8); c = r.Random(48) + 1; }, accept); break;
        case 13: ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = r.Random(998) + 1; c = TensOnes(r, 8); }, accept); break;
        case 14:
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = ShortDivisor(r); }, accept);
            if (!ok) { a = 402; b = 46; c = 14; }
            break;
        default:  // 15
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 98); c = ShortDivisor(r); }, accept);
            if (!ok) { a = 323; b = 89; c = 26; }
            break;
    }
    p.fell_back = !ok;
    Finish(p);
}

void DrawMixedFamily(RandomSource& r, ExpressionProblem& p, Variant variant) {
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    int& d = p.operand_d;
    auto small = [&] { return r.Random(27) + 2; };
    const auto accept = [&] { return FamilyAccepts(p, variant); };
    bool ok = false;
    switch (p.family_number) {
        case 1:
            d = 0;
            ok = DrawUntil(1000, [&] { a = r.Random(398) + 1; b = r.Random(97) + 2; c = r.Random(97) + 2; }, accept);
            break;
        case 2:
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 38); c = TensOnes(r, 8); }, accept);
            break;
        case 3:
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); c = r.Random(38) + 1; b = c + TensOnes(r, 98); }, accept);
            if (!ok) { b = 92; c = 23; }
            break;
        case 4:
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); c = r.Random(38) + 1; b = c + TensOnes(r, 98); }, accept);
            if (!ok) { a = 823; b = 516; c = 43; }
            break;
        case 5:
            a = small(); b = small(); c = small(); d = small();
            ok = true;
            break;
        case 6:
            ok = DrawUntil(1000, [&] { a = small(); b = small(); c = small(); d = small(); }, accept);
            break;
        case 7:
            ok = DrawUntil(1000, [&] { c = TensOnes(r, 48); d = TensOnes(r, 8); }, accept);
            if (!ok) { c = 256; d = 32; }
            a = small();
            b = small();
            break;
        case 8:
            ok = DrawUntil(1000, [&] { a = small(); b = small(); c = TensOnes(r, 48); d = TensOnes(r, 8); }, accept);
            if (!ok) { a = 26; b = 32; c = 462; d = 42; }
            break;
        case 9:
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 48); b = TensOnes(r, 8); }, accept);
            if (!ok) { a = 392; b = 28; }
            c = small();
            d = small();
            break;
        case 10:
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = small(); d = small(); }, accept);
            if (!ok) { a = 936; b = 26; c = 8; d = 3; }
            break;
        case 11:
            ok = DrawUntil(10000,
                           [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = TensOnes(r, 98); d = TensOnes(r, 8); },
                           accept);
            if (!ok) { a = 828; b = 36; c = 768; d = 24; }
            break;
        default:  // 12
            ok = DrawUntil(10000,
                           [&] { a = TensOnes(r, 48); b = TensOnes(r, 8); c = TensOnes(r, 48); d = TensOnes(r, 8); },
                           accept);
            if (!ok) { a = 720; b = 16; c = 782; d = 34; }
            break;
    }
    p.fell_back = !ok;
    Finish(p);
}

void DrawTimesDividesFamily(RandomSource& r, ExpressionProblem& p) {
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    p.operand_d = 0;
    const auto accept = [&] { return FamilyAccepts(p, Variant::Practice); };
    bool ok = false;
    if (p.family_number == 1)
        ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = r.Random(97) + 2; c = r.Random(97) + 2; }, accept);
    else
        ok = DrawUntil(1000, [&] { a = r.Random(398) + 1; b = r.Random(97) + 2; c = r.Random(97) + 2; }, accept);
    p.fell_back = !ok;
    Finish(p);
}

void DrawBoxFamily(RandomSource& r, ExpressionProblem& p) {
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& x = p.expected_answer;
    p.operand_c = 0;
    p.operand_d = 0;
    bool ok = true;
    const char* sign = "+";
    switch (p.family_number) {
        case 1:
            x = TensOnes(r, 8); a = TensOnes(r, 8); b = x + a;
            break;
        case 2:
            sign = "-";
            a = TensOnes(r, 28); b = TensOnes(r, 28); x = a + b;
            break;
        case 3:
            sign = "x";
            x = TensOnes(r, 8); a = r.Random(7) + 2; b = x * a;
            break;
        default:  // 4: redrawn until the box fits the four digit lists
            sign = "÷";
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 28); b = TensOnes(r, 4); },
                           [&] { return FamilyAccepts(p, Variant::Practice); });
            if (!ok) { a = 125; b = 32; }
            x = a * b;
            break;
    }
    p.fell_back = !ok;
    p.top_operand = b;
    p.bottom_operand = a;
    p.problem_text = std::string(kBox) + " " + sign + " " + Num(a) + " = " + Num(b);
}

// The box of "□ op a = b", found by the calculation that undoes op.
int BoxAnswer(int family, int a, int b) {
    switch (family) {
        case 1: return b - a;
        case 2: return a + b;
        case 3: return a == 0 ? 0 : b / a;
        default: return a * b;
    }
}

}  // namespace

int FamilyKindCode(int menu, int family) {
    static constexpr int kParentheses[] = {26, 17, 27, 36, 37, 38, 39, 46, 47, 48, 49, 63, 73, 64, 74};
    static constexpr int kMixed[] = {13, 23, 14, 24, 313, 323, 314, 324, 413, 423, 414, 424};
    static constexpr int kTimesDivides[] = {93, 84};
    if (family < 1 || family > FamilyCount(menu)) return 0;
    switch (menu) {
        case kParenthesesMenu: return kParentheses[family - 1];
        case kMixedMenu: return kMixed[family - 1];
        case kTimesDividesMenu: return kTimesDivides[family - 1];
        default: return 0;  // box problems keep the previous problem's code
    }
}

int FamilyCount(int menu) {
    switch (menu) {
        case kParenthesesMenu: return 15;
        case kMixedMenu: return 12;
        case kTimesDividesMenu: return 2;
        case kBoxMenu: return 4;
        default: return 0;
    }
}

bool FamilyAccepts(const ExpressionProblem& p, Variant variant) {
    const int a = p.operand_a;
    const int b = p.operand_b;
    const int c = p.operand_c;
    const int d = p.operand_d;
    const auto R = [&] { return Evaluate(p.kind_code, a, b, c, d); };
    switch (p.menu) {
        case kParenthesesMenu: return ParenthesesAccepts(p.family_number, a, b, c, R);
        case kMixedMenu: return MixedAccepts(p.family_number, a, b, c, d, R, variant);
        case kTimesDividesMenu:
            if (p.family_number == 1) return R() < 10000 && Divides(b, a) && 2 < a / b && a / b < 100;
            return 2 < R() && R() < 100 && a * b < 1000 && Divides(c, a * b);
        case kBoxMenu: return p.family_number != 4 || a * b <= 9999;
        default: return false;
    }
}

ExpressionProblem MakeProblem(int menu, int family, int a, int b, int c, int d) {
    ExpressionProblem p;
    p.menu = menu;
    p.family_number = family;
    p.operand_a = a;
    p.operand_b = b;
    if (menu == kBoxMenu) {
        static const char* const kSigns[] = {"+", "-", "x", "÷"};
        p.expected_answer = BoxAnswer(family, a, b);
        p.top_operand = b;
        p.bottom_operand = a;
        p.problem_text = std::string(kBox) + " " + kSigns[(family - 1) & 3] + " " + Num(a) + " = " + Num(b);
        return p;
    }
    p.kind_code = FamilyKindCode(menu, family);
    p.operand_c = c;
    p.operand_d = d;
    Finish(p);
    return p;
}

void DrawFamily(RandomSource& random, ExpressionProblem& problem, Variant variant) {
    if (problem.menu != kBoxMenu) problem.kind_code = FamilyKindCode(problem.menu, problem.family_number);
    switch (problem.menu) {
        case kParenthesesMenu: DrawParenthesesFamily(random, problem, variant); break;
        case kMixedMenu: DrawMixedFamily(random, problem, variant); break;
        case kTimesDividesMenu: DrawTimesDividesFamily(random, problem); break;
        case kBoxMenu: DrawBoxFamily(random, problem); break;
        default: break;
    }
}

}  // namespace sorelka::rules
