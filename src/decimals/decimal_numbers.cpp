#include "decimals/decimal_numbers.h"

#include <algorithm>

namespace sorelka::decimals {

namespace {

// Draws pairs until `ok` accepts one, at most kPairAttempts times; the last
// pair stands when none passes.
template <class Condition>
void DrawPair(RandomSource& random, PairKind kind, DecimalProblem& problem, Condition ok) {
    for (int attempt = 0; attempt < kPairAttempts; ++attempt) {
        problem.first_operand = random.Random(kind.first_range) + 1;
        problem.second_operand = random.Random(kind.second_range) + 1;
        if (ok(problem.first_operand, problem.second_operand)) return;
    }
}

// Puts zeros in front of `digits` until it is at least `length` long.
void PadTo(std::string& digits, std::size_t length) {
    if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
}

constexpr PairKind kAddition1[] = {{98, 98, 0}, {98, 998, 1000}, {998, 98, 1000}, {998, 998, 1000}};
constexpr PairKind kAddition2[] = {{998, 998, 0}, {998, 9998, 10000}, {998, 9998, 10000}};
constexpr PairKind kSubtraction1[] = {{98, 98, 0}, {998, 998, 0}};
constexpr PairKind kSubtraction2[] = {{998, 998, 0}, {9998, 9998, 0}};
constexpr PairKind kThreePlaces[] = {{9998, 9998, 0}};

bool InRange(int value, int range) { return value >= 1 && value <= range; }

}  // namespace

std::span<const PairKind> PairKinds(Operation operation, int places) {
    const bool add = operation == Operation::Addition;
    switch (places) {
        case 1: return add ? std::span<const PairKind>(kAddition1) : kSubtraction1;
        case 2: return add ? std::span<const PairKind>(kAddition2) : kSubtraction2;
        case 3: return kThreePlaces;
        default: return {};
    }
}

bool AdditionPairFits(int a, int b, int sum_limit) {
    const bool last_digits = a % 10 + b % 10 > 0;
    return last_digits && (sum_limit == 0 || a + b < sum_limit);
}

bool SubtractionPairFits(int a, int b) { return a > b && a % 10 != b % 10; }

bool FitsMenuItem(Operation operation, const DecimalProblem& p) {
    const std::span<const PairKind> kinds = PairKinds(operation, p.places);
    const bool add = operation == Operation::Addition;
    if (p.correct_result != (add ? p.first_operand + p.second_operand : p.first_operand - p.second_operand))
        return false;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (p.problem_kind > 0 && static_cast<std::size_t>(p.problem_kind) != k + 1) continue;
        const PairKind& kind = kinds[k];
        if (!InRange(p.first_operand, kind.first_range) || !InRange(p.second_operand, kind.second_range))
            continue;
        if (add ? AdditionPairFits(p.first_operand, p.second_operand, kind.sum_limit)
                : SubtractionPairFits(p.first_operand, p.second_operand))
            return true;
    }
    return false;
}

DecimalProblem DrawAddition(RandomSource& random, int places) {
    DecimalProblem problem;
    if (!IsDecimalPlaces(places)) return problem;
    random.Randomize();
    problem.places = places;
    switch (places) {
        case 1: problem.problem_kind = random.Random(99) / 25 + 1; break;
        case 2: problem.problem_kind = random.Random(89) / 30 + 1; break;
        default: problem.problem_kind = 0; break;  // one range only; no kind is drawn
    }
    const PairKind kind = PairKinds(Operation::Addition, places)[std::max(problem.problem_kind, 1) - 1];
    DrawPair(random, kind, problem, [&kind](int a, int b) { return AdditionPairFits(a, b, kind.sum_limit); });
    problem.correct_result = problem.first_operand + problem.second_operand;
    return problem;
}

DecimalProblem DrawSubtraction(RandomSource& random, int places) {
    DecimalProblem problem;
    if (!IsDecimalPlaces(places)) return problem;
    random.Randomize();
    problem.places = places;
    switch (places) {
        case 1: problem.problem_kind = random.Random(99) / 50 + 1; break;
        case 2: problem.problem_kind = random.Random(89) / 50 + 1; break;
        default: problem.problem_kind = 0; break;
    }
    const PairKind kind = PairKinds(Operation::Subtraction, places)[std::max(problem.problem_kind, 1) - 1];
    DrawPair(random, kind, problem, SubtractionPairFits);
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

std::string WorkedColumnsText(const AnswerDigits& digits, unsigned worked, int places) {
    const auto shown = [&](Column column) { return (worked >> static_cast<int>(column) & 1u) != 0; };
    const auto digit = [&](Column column) {
        return shown(column) ? static_cast<char>('0' + digits[static_cast<int>(column)]) : ' ';
    };
    std::string text;
    if (shown(Column::Tens)) text += digit(Column::Tens);
    if (shown(Column::Tens) || shown(Column::Ones)) text += digit(Column::Ones);
    text += '.';
    for (int c = static_cast<int>(Column::Tenths); c < kColumnCount; ++c)
        if (ColumnShown(static_cast<Column>(c), places)) text += digit(static_cast<Column>(c));
    return text;
}

int WrittenDecimals(int value, int places) { return places - FormatDecimal(value, places).trailing_zeros; }

std::string ImpliedZeros(int written, int decimals) {
    if (written >= decimals) return {};
    return (written == 0 ? "." : "") + std::string(static_cast<std::size_t>(decimals - written), '0');
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

std::optional<Column> ColumnOf(Place place) {
    switch (place) {
        case Place::Tens: return Column::Tens;
        case Place::Ones: return Column::Ones;
        case Place::Tenths: return Column::Tenths;
        case Place::Hundredths: return Column::Hundredths;
        case Place::Thousandths: return Column::Thousandths;
        case Place::Thousands:
        case Place::Hundreds: break;
    }
    return std::nullopt;
}

const char* ColumnWord(Column column) {
    static constexpr const char* kWords[kColumnCount] = {"Tens", "Ones", "Tenths", "Hundredths", "Thousandths"};
    return kWords[static_cast<int>(column)];
}

}  // namespace sorelka::decimals
