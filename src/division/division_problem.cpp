#include "division/division_problem.h"

namespace sorelka::division {

namespace {

// Dividend ranges of the kinds; the upper bounds end in 8, not 9.
constexpr NumberRange kTwoDigits{10, 98};
constexpr NumberRange kThreeDigits{100, 998};
constexpr NumberRange kFourDigits{1000, 9998};
constexpr NumberRange kFiveDigits{10000, 99998};
constexpr NumberRange kNone{0, -1};

}  // namespace

NumberRange DividendRange(int menu_choice, int kind) {
    switch (menu_choice) {
        case 1:
        case 3: {
            const bool small = menu_choice == 1;
            if (kind == 1) return small ? kTwoDigits : kFourDigits;
            if (kind == 2) return small ? kThreeDigits : kFiveDigits;
            return kNone;
        }
        case 2:
            if (kind == 1) return kTwoDigits;
            if (kind == 2) return kThreeDigits;
            if (kind == 3) return kFourDigits;
            return kNone;
        default: return kNone;
    }
}

NumberRange DivisorRange(int menu_choice) {
    switch (menu_choice) {
        case 1: return {2, 8};  // 9 never occurs
        case 2: return kTwoDigits;
        case 3: return kThreeDigits;
        default: return kNone;
    }
}

bool FitsMenuItem(int menu_choice, const DivisionProblem& p) {
    const NumberRange dividends = DividendRange(menu_choice, p.problem_kind);
    if (!dividends.Has(p.dividend) || !DivisorRange(menu_choice).Has(p.divisor)) return false;
    if (menu_choice == 2 && p.problem_kind == 1 && !DividendAboveDivisor(p.dividend, p.divisor))
        return false;
    return p.quotient == p.dividend / p.divisor && p.remainder == p.dividend % p.divisor;
}

std::optional<DivisionProblem> DrawProblem(int menu_choice, RandomSource& random) {
    if (menu_choice < 1 || menu_choice > 3) return std::nullopt;
    DivisionProblem p;
    switch (menu_choice) {
        case 2:  // two-digit divisor 10..98; kinds 1, 2, 3 with 3/8, 3/8, 2/8
            p.problem_kind = random.Random(8) / 3 + 1;
            if (p.problem_kind == 1) {
                // Two two-digit numbers: redraw until the dividend is the larger.
                for (int draw = 0; draw < kMaxPairDraws; ++draw) {
                    p.dividend = DividendRange(2, 1).Draw(random);
                    p.divisor = DivisorRange(2).Draw(random);
                    if (DividendAboveDivisor(p.dividend, p.divisor)) break;
                }
                break;
            }
            p.dividend = DividendRange(2, p.problem_kind).Draw(random);
            p.divisor = DivisorRange(2).Draw(random);
            break;
        default:  // items 1 and 3: one- or three-digit divisor; kind 1 with 5/9, kind 2 with 4/9
            p.problem_kind = random.Random(9) / 5 + 1;
            p.dividend = DividendRange(menu_choice, p.problem_kind).Draw(random);
            p.divisor = DivisorRange(menu_choice).Draw(random);
            break;
    }
    p.quotient = p.dividend / p.divisor;
    p.remainder = p.dividend % p.divisor;
    return p;
}

bool GenerateProblem(int menu_choice, RandomSource& random, DivisionProblem& problem) {
    if (menu_choice < 1 || menu_choice > 3) return false;
    random.Randomize();
    problem = *DrawProblem(menu_choice, random);
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
