#include "rules/expression_problems.h"

namespace sorelka::rules {

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
    DrawFamily(random, p, variant);
}

void GenerateMixedProblem(RandomSource& random, ExpressionProblem& p, Variant variant) {
    random.Randomize();
    p.menu = kMixedMenu;
    p.family_number = random.Random(23) / 2 + 1;
    DrawFamily(random, p, variant);
}

void GenerateTimesDividesProblem(RandomSource& random, ExpressionProblem& p) {
    random.Randomize();
    p.menu = kTimesDividesMenu;
    p.family_number = random.Random(9) / 5 + 1;
    DrawFamily(random, p);
}

void GenerateBoxProblem(RandomSource& random, ExpressionProblem& p) {
    random.Randomize();
    p.menu = kBoxMenu;
    p.family_number = random.Random(7) / 2 + 1;
    DrawFamily(random, p);
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
    const std::string answer = std::to_string(problem.expected_answer);
    if (problem.IsBoxProblem()) {
        const std::string box("□");
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
