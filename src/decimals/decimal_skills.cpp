#include "decimals/decimal_skills.h"

#include <algorithm>
#include <utility>

#include "core/learning_recorder.h"
#include "core/number_text.h"
#include "decimals/decimal_diagnosis.h"

namespace sorelka::decimals {

namespace {

constexpr TopicSkill kAdditionSkills[] = {
    {{skill::kAdditionColumn, "小数の たし算", "各位のたし算"}, {1, 2, 3}},
    {{skill::kCarry, "くり上がりの ある 小数の たし算", "くり上がり"}, {1, 2, 3}},
    {{skill::kAdditionLineUp, "けたの ちがう 小数の たし算", "位をそろえる（けた数のちがう小数）"}, {1, 2, 3}},
    {{skill::kTrailingZero, "答えの おわりの ０を けす たし算", "答えの終わりの0を消す"}, {1, 2, 3}},
};

constexpr TopicSkill kSubtractionSkills[] = {
    {{skill::kSubtractionColumn, "小数の ひき算", "各位のひき算"}, {1, 2, 3}},
    {{skill::kBorrow, "くり下がりの ある 小数の ひき算", "くり下がり"}, {1, 2, 3}},
    {{skill::kSubtractionLineUp, "けたの ちがう 小数の ひき算", "位をそろえる（けた数のちがう小数）"}, {1, 2, 3}},
    {{skill::kBorrowAcrossZero, "０の 位から くり下がる ひき算", "0の位からのくり下がり"}, {1, 2, 3}},
};

// Draws tried before a fixed problem of the item stands.
constexpr int kTargetAttempts = 32;

int WithDigit(int value, int k, int digit) { return value + (digit - DigitAt(value, k)) * Pow10(k); }

// What the column work of a problem does, column by column from the right.
struct ColumnWork {
    bool carries = false;
    bool borrows = false;
    bool borrows_across_zero = false;  // a 0 of the upper number lent 1
};

ColumnWork WorkOf(Operation operation, const DecimalProblem& p) {
    ColumnWork work;
    int carry = 0;
    for (int k = 0; k < p.places + 2; ++k) {
        const int a = DigitAt(p.first_operand, k);
        const int b = DigitAt(p.second_operand, k);
        if (operation == Operation::Addition) {
            carry = (a + b + carry) / 10;
            work.carries |= carry > 0;
        } else {
            if (a == 0 && carry > 0) work.borrows_across_zero = true;
            carry = a - carry < b ? 1 : 0;
            work.borrows |= carry > 0;
        }
    }
    return work;
}

bool OperandsEndApart(const DecimalProblem& p) {
    return FormatDecimal(p.first_operand, p.places).trailing_zeros !=
           FormatDecimal(p.second_operand, p.places).trailing_zeros;
}

// Changes the pair so that it exercises `id`, keeping the number of digits
// of each operand; the caller checks the result.
void Steer(std::string_view id, DecimalProblem& p, RandomSource& random) {
    int& a = p.first_operand;
    int& b = p.second_operand;
    const auto last_column_borrows = [&] {
        const int lower = 1 + random.Random(9);
        b = WithDigit(b, 0, lower);
        a = WithDigit(a, 0, random.Random(lower));
    };
    if (id == skill::kCarry) {
        if (b % 10 == 0) b = WithDigit(b, 0, 1 + random.Random(9));
        a = WithDigit(a, 0, 10 - b % 10 + random.Random(b % 10));
    } else if (id == skill::kTrailingZero) {
        const int lower = 1 + random.Random(9);
        b = WithDigit(b, 0, lower);
        a = WithDigit(a, 0, 10 - lower);
    } else if (id == skill::kAdditionLineUp || id == skill::kSubtractionLineUp) {
        int& ends_in_zero = random.Random(2) == 0 ? a : b;
        int& other = &ends_in_zero == &a ? b : a;
        ends_in_zero = WithDigit(ends_in_zero, 0, 0);
        if (other % 10 == 0) other = WithDigit(other, 0, 1 + random.Random(9));
    } else if (id == skill::kBorrow) {
        last_column_borrows();
    } else if (id == skill::kBorrowAcrossZero) {
        // A 0 with a digit above it, over a column that borrows.
        const int digits = static_cast<int>(std::to_string(a).size());
        if (digits < 3) return;
        const int zero_at = 1 + random.Random(digits - 2);
        a = WithDigit(a, zero_at, 0);
        for (int k = zero_at - 1; k > 0; --k) a = WithDigit(a, k, 0);
        last_column_borrows();
    }
}

// Fixed problems, one of which exercises each skill of each item.
struct Fixed {
    Operation operation;
    int places;
    int first;
    int second;
};
constexpr Fixed kFallbacks[] = {
    {Operation::Addition, 1, 25, 15},       {Operation::Addition, 1, 30, 14},
    {Operation::Addition, 2, 125, 75},      {Operation::Addition, 2, 150, 235},
    {Operation::Addition, 3, 1125, 875},    {Operation::Addition, 3, 1500, 2345},
    {Operation::Subtraction, 1, 500, 114},  {Operation::Subtraction, 2, 500, 114},
    {Operation::Subtraction, 3, 5000, 1114},
};

DecimalProblem Make(Operation operation, int places, int kind, int a, int b) {
    DecimalProblem p;
    p.places = places;
    p.problem_kind = kind;
    p.first_operand = a;
    p.second_operand = b;
    p.correct_result = operation == Operation::Addition ? a + b : a - b;
    return p;
}

const TopicSkill* Find(Operation operation, std::string_view id) {
    for (const TopicSkill& s : DecimalSkills(operation))
        if (s.info.id == id) return &s;
    return nullptr;
}

// A decimal as the problem text writes it ("3", "0.5", "12.25"), as a number
// with `places` decimal places.
std::optional<int> ReadDecimal(std::string_view text, int places) {
    int value = 0;
    int decimals = -1;  // digits after the point; -1 before it
    for (char c : text) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c >= '0' && c <= '9' && value < 100000 && decimals < places) {
            value = value * 10 + (c - '0');
            if (decimals >= 0) ++decimals;
        } else {
            return std::nullopt;
        }
    }
    if (text.empty() || decimals == 0) return std::nullopt;
    return value * Pow10(places - std::max(decimals, 0));
}

}  // namespace

std::span<const TopicSkill> DecimalSkills(Operation operation) {
    if (operation == Operation::Addition) return kAdditionSkills;
    return kSubtractionSkills;
}

std::vector<std::string_view> SkillsExercised(Operation operation, const DecimalProblem& p) {
    std::vector<std::string_view> out;
    if (!IsDecimalPlaces(p.places)) return out;
    const ColumnWork work = WorkOf(operation, p);
    if (operation == Operation::Addition) {
        out.push_back(skill::kAdditionColumn);
        if (work.carries) out.push_back(skill::kCarry);
        if (OperandsEndApart(p)) out.push_back(skill::kAdditionLineUp);
        if (FormatDecimal(p.correct_result, p.places).trailing_zeros > 0) out.push_back(skill::kTrailingZero);
    } else {
        out.push_back(skill::kSubtractionColumn);
        if (work.borrows) out.push_back(skill::kBorrow);
        if (OperandsEndApart(p)) out.push_back(skill::kSubtractionLineUp);
        if (work.borrows_across_zero) out.push_back(skill::kBorrowAcrossZero);
    }
    return out;
}

bool Exercises(Operation operation, const DecimalProblem& problem, std::string_view id) {
    const std::vector<std::string_view> all = SkillsExercised(operation, problem);
    return std::find(all.begin(), all.end(), id) != all.end();
}

std::string_view SkillOfMistake(Operation operation, const DecimalProblem& problem,
                                std::string_view kind, std::string_view step) {
    const bool add = operation == Operation::Addition;
    if (kind == kCarryMissing && add) return skill::kCarry;
    if (kind == kColumnSlip) return add ? skill::kAdditionColumn : skill::kSubtractionColumn;
    if (add) return {};
    if (kind == kSmallerFromLarger) return skill::kBorrow;
    if (kind == kBorrowMissing) {
        // The column the step names is the one that lent and was not made smaller.
        const std::optional<Column> column = StepColumn(step);
        const int k = column ? 1 + problem.places - static_cast<int>(*column) : -1;
        const bool zero = k >= 0 && DigitAt(problem.first_operand, k) == 0;
        return zero ? skill::kBorrowAcrossZero : skill::kBorrow;
    }
    return {};
}

std::vector<SkillObservation> ObserveAnswer(Operation operation, const DecimalProblem& problem,
                                            bool correct, std::string_view kind, std::string_view step) {
    const std::vector<std::string_view> exercised = SkillsExercised(operation, problem);
    return ObservationsOf(exercised, correct, SkillOfMistake(operation, problem, kind, step));
}

std::string StoredProblemText(Operation operation, const DecimalProblem& p) {
    return WithoutPadding(LogProblemText(operation, FormatDecimal(p.first_operand, p.places).text,
                                         FormatDecimal(p.second_operand, p.places).text));
}

std::optional<DecimalProblem> ParseStoredProblem(Operation operation, int menu_choice, std::string_view text) {
    if (!IsDecimalPlaces(menu_choice)) return std::nullopt;
    const std::string sign = LogProblemText(operation, "", "").substr(1);  // " ＋ " or " - "
    const std::size_t at = text.find(sign);
    if (at == std::string_view::npos) return std::nullopt;
    const std::optional<int> a = ReadDecimal(text.substr(0, at), menu_choice);
    const std::optional<int> b = ReadDecimal(text.substr(at + sign.size()), menu_choice);
    if (!a || !b) return std::nullopt;
    return Make(operation, menu_choice, 0, *a, *b);
}

std::optional<DecimalProblem> TargetedDraw(Operation operation, std::string_view id, int menu_choice,
                                           RandomSource& random) {
    const TopicSkill* s = Find(operation, id);
    if (!s || !s->practice_items.Has(menu_choice)) return std::nullopt;
    random.Randomize();
    const std::span<const PairKind> kinds = PairKinds(operation, menu_choice);
    const bool three_digits = id == skill::kBorrowAcrossZero;  // a 0 with a digit above it
    for (int attempt = 0; attempt < kTargetAttempts; ++attempt) {
        const int k = random.Random(static_cast<int>(kinds.size()));
        const PairKind& kind = kinds[k];
        if (three_digits && kind.first_range < 100) continue;
        int a = random.Random(kind.first_range) + 1;
        int b = random.Random(kind.second_range) + 1;
        if (operation == Operation::Subtraction && a < b) std::swap(a, b);
        DecimalProblem p = Make(operation, menu_choice, menu_choice == 3 ? 0 : k + 1, a, b);
        Steer(id, p, random);
        p.correct_result = operation == Operation::Addition ? p.first_operand + p.second_operand
                                                            : p.first_operand - p.second_operand;
        if (FitsMenuItem(operation, p) && Exercises(operation, p, id)) return p;
    }
    for (const Fixed& f : kFallbacks) {
        if (f.operation != operation || f.places != menu_choice) continue;
        DecimalProblem p = Make(operation, menu_choice, 0, f.first, f.second);
        if (Exercises(operation, p, id)) return p;
    }
    return std::nullopt;  // not reached: the fixed problems cover every skill and item
}

}  // namespace sorelka::decimals
