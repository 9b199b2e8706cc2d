#include "division/division_problem.h"

namespace sorelka::division {

namespace {

// Dividend ranges of the kinds; the upper bounds end in 8, not 9.
int TwoDigits(RandomSource& r) { return 10 + r.Random(89); }        // 10..98
int ThreeDigits(RandomSource& r) { return 100 + r.Random(899); }    // 100..998
int FourDigits(RandomSource& r) { return 1000 + r.Random(8999); }   // 1000..9998
int FiveDigits(RandomSource& r) { return 10000 + r.Random(89999); } // 10000..99998

}  // namespace

bool GenerateProblem(int menu_choice, RandomSource& random, DivisionProblem& problem) {
    if (menu_choice < 1 || menu_choice > 3) return false;
    random.Randomize();

    DivisionProblem p;
    switch (menu_choice) {
        case 1:  // one-digit divisor 2..8; kind 1 with 5/9, kind 2 with 4/9
            p.problem_kind = random.Random(9) / 5 + 1;
            p.dividend = p.problem_kind == 1 ? TwoDigits(random) : ThreeDigits(random);
            p.divisor = 2 + random.Random(7);
            break;
        case 2:  // two-digit divisor 10..98; kinds 1, 2, 3 with 3/8, 3/8, 2/8
            p.problem_kind = random.Random(8) / 3 + 1;
            if (p.problem_kind == 1) {
                // Two two-digit numbers: redraw until the dividend is the larger.
                for (int draw = 0; draw < kMaxPairDraws; ++draw) {
                    p.dividend = TwoDigits(random);
                    p.divisor = TwoDigits(random);
                    if (p.dividend > p.divisor) break;
                }
            } else {
                p.dividend = p.problem_kind == 2 ? ThreeDigits(random) : FourDigits(random);
                p.divisor = TwoDigits(random);
            }
            break;
        default:  // three-digit divisor 100..998; kind 1 with 5/9, kind 2 with 4/9
            p.problem_kind = random.Random(9) / 5 + 1;
            p.dividend = p.problem_kind == 1 ? FourDigits(random) : FiveDigits(random);
            p.divisor = ThreeDigits(random);
            break;
    }
    p.quotient = p.dividend / p.divisor;
    p.remainder = p.dividend % p.divisor;
    problem = p;
    return true;
}

std::string ProblemText(const DivisionProblem& p) {
    return std::to_string(p.dividend) + " ÷ " + std::to_string(p.divisor) + " = ?";
}

std::string AnswerText(const DivisionProblem& p) {
    return std::to_string(p.dividend) + " ÷ " + std::to_string(p.divisor) + " = " +
           std::to_string(p.quotient) + " あまり " + std::to_string(p.remainder);
}

std::string LogProblemText(const DivisionProblem& p) {
    return " " + std::to_string(p.dividend) + " ÷ " + std::to_string(p.divisor);
}

std::string RecordedAnswerText(const std::string& quotient, std::optional<int> remainder) {
    if (!remainder) return quotient;
    return quotient + " あまり " + std::to_string(*remainder);
}

}  // namespace sorelka::division
