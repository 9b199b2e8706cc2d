#include "rules/expression_problems.h"

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

}  // namespace

int TensOnes(RandomSource& random, int n) {
    const int tens = random.Random(n) + 1;
    return 10 * tens + random.Random(8) + 1;
}

int SmallOnes(RandomSource& random) {
    const int tens = random.Random(49);
    return 10 * tens + random.Random(8) + 1;
}

int ShortDivisor(RandomSource& random) {
    const int tens = random.Random(8);
    return 10 * tens + random.Random(7) + 2;
}

CalculationOrder OrderOf(int kind_code) {
    CalculationOrder order;
    const int t = kind_code / 10 % 10;
    const int o = kind_code % 10;
    if (kind_code >= 100) {
        order.four_numbers = true;
        order.first_op = kind_code / 100 % 10;
        order.second_op = o;
        order.middle_op = t;
        order.first_on_left = true;
        return order;
    }
    if (t >= 6) {  // (a op b) op c, or a op b op c worked left to right
        order.first_op = t - 5;
        order.second_op = o;
        order.first_on_left = true;
    } else if (o >= 6) {  // a op (b op c)
        order.first_op = o - 5;
        order.second_op = t;
        order.first_on_left = false;
    } else {  // a ± b ×÷ c: the × or ÷ first
        order.first_op = o;
        order.second_op = t;
        order.first_on_left = false;
    }
    order.second_takes_a = kind_code <= 49;
    return order;
}

int Evaluate(int kind_code, int a, int b, int c, int d) {
    const CalculationOrder order = OrderOf(kind_code);
    if (order.four_numbers) {
        return Apply(order.middle_op, Apply(order.first_op, a, b), Apply(order.second_op, c, d));
    }
    const int first = order.first_on_left ? Apply(order.first_op, a, b)
                                          : Apply(order.first_op, b, c);
    return order.second_takes_a ? Apply(order.second_op, a, first)
                                : Apply(order.second_op, first, c);
}

void GenerateParenthesesProblem(RandomSource& random, ExpressionProblem& p, Variant variant) {
    random.Randomize();
    p.menu = kParenthesesMenu;
    p.family_number = random.Random(89) / 6 + 1;
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    p.operand_d = 0;
    auto& r = random;
    // R as the family's expression gives it for the current draw.
    auto R = [&] { return Evaluate(p.kind_code, a, b, c, 0); };
    bool ok = false;
    switch (p.family_number) {
        case 1:
            p.kind_code = 26;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 98); c = r.Random(998) + 1; },
                           [&] { return R() > 0; });
            break;
        case 2:
            p.kind_code = 17;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 48); b = TensOnes(r, 98); c = TensOnes(r, 28); },
                           [&] { return b > c; });
            break;
        case 3:
            p.kind_code = 27;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 109); b = TensOnes(r, 98); c = TensOnes(r, 58); },
                           [&] { return R() > 0 && b > c; });
            break;
        case 4:
            p.kind_code = 36;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 4); c = r.Random(38) + 2; },
                           [&] { return R() < 10000 && b + c < 100 && !MultipleOfTen(b + c); });
            break;
        case 5:
            p.kind_code = 37;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 28); c = TensOnes(r, 8); },
                           [&] { return R() < 10000 && b > c && b - c < 100 && !MultipleOfTen(b - c); });
            break;
        case 6:
            p.kind_code = 38;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = r.Random(30) + 2; c = r.Random(30) + 2; },
                           [&] { return R() < 10000 && b * c < 100 && !MultipleOfTen(b * c); });
            break;
        case 7:
            p.kind_code = 39;
            ok = DrawUntil(
                10000,
                [&] {
                    if (variant == Variant::Drill) {
                        a = TensOnes(r, 8); b = r.Random(38) + 1; c = TensOnes(r, 98);
                    } else {
                        a = TensOnes(r, 8); b = SmallOnes(r); c = r.Random(38) + 1;
                    }
                },
                [&] { return Divides(c, b) && R() < 10000 && b > c && b / c < 100; });
            if (!ok) { b = 24; c = 6; }
            break;
        case 8:
            p.kind_code = 46;
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = TensOnes(r, 8); },
                           [&] {
                               return 2 < R() && R() < 100 && Divides(b + c, a) && b + c < 100 &&
                                      !MultipleOfTen(b + c);
                           });
            if (!ok) { a = 456; b = 22; c = 16; }
            break;
        case 9:
            p.kind_code = 47;
            ok = DrawUntil(
                10000,
                [&] {
                    if (variant == Variant::Drill) {
                        a = TensOnes(r, 98); b = TensOnes(r, 8); c = r.Random(98) + 1;
                    } else {
                        a = TensOnes(r, 98); c = r.Random(98) + 1; b = c + TensOnes(r, 8);
                    }
                },
                [&] {
                    // b ≤ c is rejected before anything is divided.
                    return b > c && 2 < R() && R() < 100 && Divides(b - c, a) && b - c < 100 &&
                           !MultipleOfTen(b - c);
                });
            if (!ok) { a = 624; b = 86; c = 62; }
            break;
        case 10:
            p.kind_code = 48;
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 98); b = r.Random(98) + 1; c = r.Random(7) + 2; },
                           [&] {
                               return 2 < R() && R() < 100 && Divides(b * c, a) && b * c < 100 &&
                                      !MultipleOfTen(b * c);
                           });
            if (!ok) { a = 672; b = 16; c = 3; }
            break;
        case 11:
            p.kind_code = 49;
            ok = DrawUntil(10000, [&] { a = TensOnes(r, 48); c = r.Random(28) + 1; b = c + TensOnes(r, 8); },
                           [&] {
                               return b / c > 2 && 2 < R() && R() < 100 && Divides(c, b) &&
                                      Divides(b / c, a) && b / c < 100;
                           });
            if (!ok) { a = 324; b = 36; c = 4; }
            break;
        case 12:
            p.kind_code = 63;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); b = TensOnes(r, 8); c = r.Random(48) + 1; },
                           [&] { return R() < 10000 && !MultipleOfTen(a + b); });
            break;
        case 13:
            p.kind_code = 73;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = r.Random(998) + 1; c = TensOnes(r, 8); },
                           [&] { return a > b && R() < 10000 && !MultipleOfTen(a - b); });
            break;
        case 14:
            p.kind_code = 64;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = ShortDivisor(r); },
                           [&] { return a + b < 1000 && 2 < R() && R() < 100 && Divides(c, a + b); });
            if (!ok) { a = 402; b = 46; c = 14; }
            break;
        default:  // 15
            p.kind_code = 74;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 98); c = ShortDivisor(r); },
                           [&] { return a > b && 2 < R() && R() < 100 && Divides(c, a - b); });
            if (!ok) { a = 323; b = 89; c = 26; }
            break;
    }
    p.fell_back = !ok;
    Finish(p);
}

void GenerateMixedProblem(RandomSource& random, ExpressionProblem& p, Variant variant) {
    random.Randomize();
    p.menu = kMixedMenu;
    p.family_number = random.Random(23) / 2 + 1;
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    int& d = p.operand_d;
    auto& r = random;
    auto R = [&] { return Evaluate(p.kind_code, a, b, c, d); };
    auto small = [&] { return r.Random(27) + 2; };
    bool ok = false;
    switch (p.family_number) {
        case 1:
            p.kind_code = 13;
            d = 0;
            ok = DrawUntil(1000, [&] { a = r.Random(398) + 1; b = r.Random(97) + 2; c = r.Random(97) + 2; },
                           [&] {
                               if (variant == Variant::Drill) return R() < 10000;
                               return R() < 10000 && !MultipleOfTen(b) && !MultipleOfTen(c);
                           });
            break;
        case 2:
            p.kind_code = 23;
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 38); c = TensOnes(r, 8); },
                           [&] { return R() > 0; });
            break;
        case 3:
            p.kind_code = 14;
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 8); c = r.Random(38) + 1; b = c + TensOnes(r, 98); },
                           [&] { return Divides(c, b) && b / c < 100; });
            if (!ok) { b = 92; c = 23; }
            break;
        case 4:
            p.kind_code = 24;
            d = 0;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); c = r.Random(38) + 1; b = c + TensOnes(r, 98); },
                           [&] { return R() > 0 && Divides(c, b) && b / c < 100; });
            if (!ok) { a = 823; b = 516; c = 43; }
            break;
        case 5:
            p.kind_code = 313;
            a = small(); b = small(); c = small(); d = small();
            ok = true;
            break;
        case 6:
            p.kind_code = 323;
            ok = DrawUntil(1000, [&] { a = small(); b = small(); c = small(); d = small(); },
                           [&] { return R() > 0; });
            break;
        case 7:
            p.kind_code = 314;
            ok = DrawUntil(1000, [&] { c = TensOnes(r, 48); d = TensOnes(r, 8); },
                           [&] { return Divides(d, c) && c / d > 2; });
            if (!ok) { c = 256; d = 32; }
            a = small();
            b = small();
            break;
        case 8:
            p.kind_code = 324;
            ok = DrawUntil(1000, [&] { a = small(); b = small(); c = TensOnes(r, 48); d = TensOnes(r, 8); },
                           [&] { return R() > 0 && Divides(d, c) && c / d > 2; });
            if (!ok) { a = 26; b = 32; c = 462; d = 42; }
            break;
        case 9:
            p.kind_code = 413;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 48); b = TensOnes(r, 8); },
                           [&] { return a > b && Divides(b, a) && a / b < 100; });
            if (!ok) { a = 392; b = 28; }
            c = small();
            d = small();
            break;
        case 10:
            p.kind_code = 423;
            ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = small(); d = small(); },
                           [&] { return R() > 0 && Divides(b, a) && 1 < a / b && a / b < 100; });
            if (!ok) { a = 936; b = 26; c = 8; d = 3; }
            break;
        case 11:
            p.kind_code = 414;
            ok = DrawUntil(10000,
                           [&] { a = TensOnes(r, 98); b = TensOnes(r, 8); c = TensOnes(r, 98); d = TensOnes(r, 8); },
                           [&] {
                               return Divides(b, a) && 1 < a / b && a / b < 100 && Divides(d, c) &&
                                      1 < c / d && c / d < 100;
                           });
            if (!ok) { a = 828; b = 36; c = 768; d = 24; }
            break;
        default:  // 12
            p.kind_code = 424;
            ok = DrawUntil(10000,
                           [&] { a = TensOnes(r, 48); b = TensOnes(r, 8); c = TensOnes(r, 48); d = TensOnes(r, 8); },
                           [&] {
                               return R() > 0 && Divides(b, a) && 1 < a / b && a / b < 100 &&
                                      Divides(d, c) && 1 < c / d && c / d < 100;
                           });
            if (!ok) { a = 720; b = 16; c = 782; d = 34; }
            break;
    }
    p.fell_back = !ok;
    Finish(p);
}

void GenerateTimesDividesProblem(RandomSource& random, ExpressionProblem& p) {
    random.Randomize();
    p.menu = kTimesDividesMenu;
    p.family_number = random.Random(9) / 5 + 1;
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& c = p.operand_c;
    p.operand_d = 0;
    auto& r = random;
    auto R = [&] { return Evaluate(p.kind_code, a, b, c, 0); };
    bool ok = false;
    if (p.family_number == 1) {
        p.kind_code = 93;
        ok = DrawUntil(1000, [&] { a = TensOnes(r, 98); b = r.Random(97) + 2; c = r.Random(97) + 2; },
                       [&] { return R() < 10000 && Divides(b, a) && 2 < a / b && a / b < 100; });
    } else {
        p.kind_code = 84;
        ok = DrawUntil(1000, [&] { a = r.Random(398) + 1; b = r.Random(97) + 2; c = r.Random(97) + 2; },
                       [&] { return 2 < R() && R() < 100 && a * b < 1000 && Divides(c, a * b); });
    }
    p.fell_back = !ok;
    Finish(p);
}

void GenerateBoxProblem(RandomSource& random, ExpressionProblem& p) {
    random.Randomize();
    p.menu = kBoxMenu;
    p.family_number = random.Random(7) / 2 + 1;
    int& a = p.operand_a;
    int& b = p.operand_b;
    int& x = p.expected_answer;
    p.operand_c = 0;
    p.operand_d = 0;
    auto& r = random;
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
                           [&] { return a * b <= 9999; });
            if (!ok) { a = 125; b = 32; }
            x = a * b;
            break;
    }
    p.fell_back = !ok;
    p.top_operand = b;
    p.bottom_operand = a;
    p.problem_text = std::string(kBox) + " " + sign + " " + Num(a) + " = " + Num(b);
}

bool GenerateProblem(int menu_choice, RandomSource& random, ExpressionProblem& problem,
                     Variant variant) {
    switch (menu_choice) {
        case kParenthesesMenu: GenerateParenthesesProblem(random, problem, variant); return true;
        case kMixedMenu: GenerateMixedProblem(random, problem, variant); return true;
        case kTimesDividesMenu: GenerateTimesDividesProblem(random, problem); return true;
        case kBoxMenu: GenerateBoxProblem(random, problem); return true;
        default: return false;
    }
}

std::string CompletedProblemText(const ExpressionProblem& problem) {
    const std::string& text = problem.problem_text;
    const std::string answer = Num(problem.expected_answer);
    if (problem.IsBoxProblem()) {
        const std::string box(kBox);
        if (text.compare(0, box.size(), box) == 0) return "[" + answer + "]" + text.substr(box.size());
        return text;
    }
    if (text.empty()) return text;
    return text.substr(0, text.size() - 1) + answer;
}

std::string ProblemTextForLog(const ExpressionProblem& problem) {
    const std::string& text = problem.problem_text;
    if (problem.IsBoxProblem()) return text;
    return text.size() >= 2 ? text.substr(0, text.size() - 2) : std::string();
}

}  // namespace sorelka::rules
