#include "decimals/decimal_numbers.h"

namespace sorelka::decimals {

namespace {

// Ranges as upper bounds of Random(n) + 1: 98 -> 1..98, 998 -> 1..998, 9998 -> 1..9998.
struct PairRanges {
    int first;
    int second;
};

// Draws pairs until `ok` accepts one, at most kPairAttempts times; the last
// pair stands when none passes.
template <class Condition>
void DrawPair(RandomSource& random, PairRanges ranges, DecimalProblem& problem, Condition ok) {
    for (int attempt = 0; attempt < kPairAttempts; ++attempt) {
        problem.first_operand = random.Random(ranges.first) + 1;
        problem.second_operand = random.Random(ranges.second) + 1;
        if (ok(problem.first_operand, problem.second_operand)) return;
    }
}

// Puts zeros in front of `digits` until it is at least `length` long.
void PadTo(std::string& digits, std::size_t length) {
    if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
}

}  // namespace

DecimalProblem DrawAddition(RandomSource& random, int places) {
    DecimalProblem problem;
    if (!IsDecimalPlaces(places)) return problem;
    random.Randomize();
    problem.places = places;

    PairRanges ranges{9998, 9998};
    int sum_limit = 0;  // 0: no bound on the sum
    switch (places) {
        case 1: {
            problem.problem_kind = random.Random(99) / 25 + 1;
            static constexpr PairRanges kKinds[] = {{98, 98}, {98, 998}, {998, 98}, {998, 998}};
            ranges = kKinds[problem.problem_kind - 1];
            if (problem.problem_kind > 1) sum_limit = 1000;
            break;
        }
        case 2:
            problem.problem_kind = random.Random(89) / 30 + 1;
            ranges = {998, problem.problem_kind == 1 ? 998 : 9998};
            if (problem.problem_kind > 1) sum_limit = 10000;
            break;
        default:
            problem.problem_kind = 0;  // one range only; no kind is drawn
            break;
    }
    DrawPair(random, ranges, problem, [sum_limit](int a, int b) {
        const bool last_digits = a % 10 + b % 10 > 0;
        return last_digits && (sum_limit == 0 || a + b < sum_limit);
    });
    problem.correct_result = problem.first_operand + problem.second_operand;
    return problem;
}

DecimalProblem DrawSubtraction(RandomSource& random, int places) {
    DecimalProblem problem;
    if (!IsDecimalPlaces(places)) return problem;
    random.Randomize();
    problem.places = places;

    int range = 9998;
    switch (places) {
        case 1:
            problem.problem_kind = random.Random(99) / 50 + 1;
            range = problem.problem_kind == 1 ? 98 : 998;
            break;
        case 2:
            problem.problem_kind = random.Random(89) / 50 + 1;
            range = problem.problem_kind == 1 ? 998 : 9998;
            break;
        default:
            problem.problem_kind = 0;
            break;
    }
    DrawPair(random, {range, range}, problem,
             [](int a, int b) { return a > b && a % 10 != b % 10; });
    problem.correct_result = problem.first_operand - problem.second_operand;
    return problem;
}

DecimalProblem DrawProblem(Operation operation, RandomSource& random, int places) {
    return operation == Operation::Addition ? DrawAddition(random, places)
                                            : DrawSubtraction(random, places);
}

DecimalText FormatDecimal(int value, int places) {
    // The magnitude as a wider integer, so that even INT_MIN is written.
    const long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    const std::string sign = value < 0 ? "-" : "";
    std::string digits = std::to_string(magnitude);
    if (places <= 0) return {sign + digits, 0};
    PadTo(digits, static_cast<std::size_t>(places) + 1);
    digits.insert(digits.size() - places, ".");
    int zeros = 0;
    while (zeros < places && digits[digits.size() - 1 - zeros] == '0') ++zeros;
    // All decimals 0: the point goes with them.
    digits.erase(digits.size() - zeros - (zeros == places ? 1 : 0));
    return {sign + digits, zeros};
}

int ReadAnswer(const AnswerDigits& digits, int places) {
    if (!IsDecimalPlaces(places)) return 0;
    int value = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!ColumnShown(static_cast<Column>(c), places)) break;
        value = value * 10 + digits[c];
    }
    return value;
}

std::string RunningAnswerText(Operation operation, Column changed, int value, int places) {
    std::string text = std::to_string(value);
    if (places <= 0) return text;
    // Every decimal place is written, so the text always states the value;
    // the subtraction sheets' ones list also writes the digit before the point.
    const bool lead_zero = operation == Operation::Subtraction && changed == Column::Ones;
    PadTo(text, static_cast<std::size_t>(places) + (lead_zero ? 1 : 0));
    text.insert(text.size() - places, ".");
    return text;
}

std::string OperatorSign(Operation operation) {
    return operation == Operation::Addition ? "+" : "-";
}

std::string EquationText(Operation operation, const std::string& first, const std::string& second,
                         const std::string& result) {
    return first + " " + OperatorSign(operation) + " " + second + " = " + result;
}

std::string LogProblemText(Operation operation, const std::string& first,
                           const std::string& second) {
    const char* sign = operation == Operation::Addition ? " ＋ " : " - ";
    return " " + first + sign + second;
}

int OperandLeft(int places, int trailing_zeros) {
    static constexpr int kTable[3][3] = {{354, 392, 392}, {362, 324, 392}, {362, 332, 292}};
    if (!IsDecimalPlaces(places) || trailing_zeros < 1 || trailing_zeros > places)
        return kOperandLeft;
    return kTable[places - 1][trailing_zeros - 1];
}

int FinishedAnswerLeft(int places, int trailing_zeros) {
    static constexpr int kTable[3][3] = {{326, 362, 362}, {332, 294, 362}, {332, 302, 264}};
    if (!IsDecimalPlaces(places) || trailing_zeros < 1 || trailing_zeros > places)
        return kAnswerLeft;
    return kTable[places - 1][trailing_zeros - 1];
}

ColumnLayout ColumnsFor(int places) {
    switch (places) {
        case 1: return {768, 792, 816, 840, -1, -1};
        case 2: return {744, 768, 792, 816, 840, -1};
        case 3: return {720, 744, 768, 792, 816, 840};
        default: return {};
    }
}

}  // namespace sorelka::decimals
