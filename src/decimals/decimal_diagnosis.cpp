#include "decimals/decimal_diagnosis.h"

#include <array>
#include <utility>

#include "core/number_text.h"
#include "decimals/decimal_cells.h"

namespace sorelka::decimals {

namespace {

// Column k counts from the right: 0 is the last decimal place, places + 1 the tens.
int ColumnCountFor(int places) { return places + 2; }

// The one mistake a buggy procedure makes.
enum class Bug { None, CarryMissing, BorrowMissing, Swap };

// A written calculation column by column: the digit written, and the carry or
// borrow that went into the column and out of it.
struct Work {
    std::array<int, kColumnCount> digit{};
    std::array<int, kColumnCount> in{};
    std::array<int, kColumnCount> out{};
};

// The procedure, with `bug` made at column `where` only, or everywhere it can
// be made when `where` is -1.
Work Calculate(Operation operation, int a, int b, int places, Bug bug = Bug::None,
               int where = -1) {
    Work work;
    int carry = 0;
    for (int k = 0; k < ColumnCountFor(places); ++k) {
        const bool buggy = bug != Bug::None && (where < 0 || where == k);
        const int da = DigitAt(a, k);
        const int db = DigitAt(b, k);
        work.in[k] = carry;
        if (operation == Operation::Addition) {
            const int sum = da + db + (buggy && bug == Bug::CarryMissing ? 0 : carry);
            work.digit[k] = sum % 10;
            carry = sum / 10;
        } else {
            const int top = da - (buggy && bug == Bug::BorrowMissing ? 0 : carry);
            if (top < db && buggy && bug == Bug::Swap) {
                work.digit[k] = (db - top) % 10;
                carry = 0;
            } else if (top < db) {
                work.digit[k] = top + 10 - db;
                carry = 1;
            } else {
                work.digit[k] = top - db;
                carry = 0;
            }
        }
        work.out[k] = carry;
    }
    return work;
}

// The right procedure carried on from column `from` with `carry` going into it.
bool RestMatches(Operation operation, int a, int b, int places, int from, int carry,
                 const Work& pupil) {
    for (int k = from; k < ColumnCountFor(places); ++k) {
        const int da = DigitAt(a, k);
        const int db = DigitAt(b, k);
        int digit = 0;
        if (operation == Operation::Addition) {
            const int sum = da + db + carry;
            digit = sum % 10;
            carry = sum / 10;
        } else {
            const int top = da - carry;
            carry = top < db ? 1 : 0;
            digit = top + 10 * carry - db;
        }
        if (digit != pupil.digit[k]) return false;
    }
    return true;
}

std::string Wide(int value) {
    static constexpr const char* kDigits[] = {"０", "１", "２", "３", "４",
                                              "５", "６", "７", "８", "９"};
    if (value < 0) return "－" + Wide(-value);
    std::string text;
    const std::string ascii = std::to_string(value);
    for (char c : ascii) text += kDigits[c - '0'];
    return text;
}

std::string ColumnName(Column column) {
    static constexpr const char* kNames[kColumnCount] = {"十の位", "一の位", "小数第一位",
                                                         "小数第二位", "小数第三位"};
    return kNames[static_cast<int>(column)];
}

// A decimal number in full-width figures: "２．３５".
std::string WideDecimal(int value, int places) {
    std::string text;
    for (char c : FormatDecimal(value, places).text) {
        if (c == '.') text += "．";
        else if (c == '-') text += "－";
        else text += Wide(c - '0');
    }
    return text;
}

// The whole calculation: "０．３＋０．４＝０．７".
std::string WholeFact(Operation operation, int a, int b, int places) {
    const bool add = operation == Operation::Addition;
    return WideDecimal(a, places) + (add ? "＋" : "－") + WideDecimal(b, places) + "＝" +
           WideDecimal(add ? a + b : a - b, places);
}

// The small fact of the right work at column k: "４＋７＋１＝１２", "９－３＝６".
// A column beyond both numbers holds at most a carry: its fact is the sum of
// the column the carry came from ("一の位は ７＋４＋１＝１２"), or with no
// carry the whole calculation.
std::string Fact(Operation operation, int a, int b, int k, const Work& right, int places) {
    const int da = DigitAt(a, k);
    const int db = DigitAt(b, k);
    const int in = right.in[k];
    if (a < Pow10(k) && b < Pow10(k)) {
        if (operation == Operation::Addition && in && k > 0)
            return ColumnName(ColumnAt(k - 1, places)) + "は " + Fact(operation, a, b, k - 1, right, places);
        return WholeFact(operation, a, b, places);
    }
    if (operation == Operation::Addition) {
        std::string fact = Wide(da) + "＋" + Wide(db);
        if (in) fact += "＋１";
        return fact + "＝" + Wide(da + db + in);
    }
    // The upper digit as it stands after lending to the right and borrowing
    // from the left: 0 that lent 1 and borrowed 10 is 9.
    const int top = da - in + 10 * right.out[k];
    return Wide(top) + "－" + Wide(db) + "＝" + Wide(right.digit[k]);
}

Finding Make(const char* kind, Column column, std::string explanation) {
    return Finding{kind, ColumnStep(column), std::move(explanation)};
}

}  // namespace

std::string DecimalKindLabel(std::string_view kind) {
    if (kind == kCarryMissing) return "くり上がりをわすれた";
    if (kind == kBorrowMissing) return "くり下がりをわすれた";
    if (kind == kSmallerFromLarger) return "ひけないので上下を入れかえてひいた";
    if (kind == kColumnSlip) return "その位のたし算・ひき算のまちがい";
    return SharedKindLabel(kind);
}

std::string ColumnStep(Column column) {
    static constexpr const char* kSteps[kColumnCount] = {"tens", "ones", "tenths", "hundredths",
                                                         "thousandths"};
    const int c = static_cast<int>(column);
    if (c < 0 || c >= kColumnCount) return {};
    return std::string("column:") + kSteps[c];
}

std::optional<Column> StepColumn(std::string_view step) {
    for (int c = 0; c < kColumnCount; ++c)
        if (!step.empty() && step == ColumnStep(static_cast<Column>(c))) return static_cast<Column>(c);
    return std::nullopt;
}

std::optional<int> WorkedAnswer(const WorkedRows& rows, int places) {
    if (!IsDecimalPlaces(places)) return std::nullopt;
    const std::string text = CellText(rows, StoredName(role::kAnswer));
    int whole = 0;
    int decimals = 0;
    int decimal_count = 0;
    int whole_count = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point) {
                if (++decimal_count > places) return std::nullopt;
                decimals = decimals * 10 + (c - '0');
            } else {
                if (++whole_count > 2) return std::nullopt;
                whole = whole * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (whole_count + decimal_count == 0) return std::nullopt;
    return whole * Pow10(places) + decimals * Pow10(places - decimal_count);
}

Diagnosis DiagnoseDecimal(Operation operation, const DecimalProblem& problem,
                          const WorkedRows& rows) {
    const std::optional<int> entered = WorkedAnswer(rows, problem.places);
    if (!entered) {
        if (!IsDecimalPlaces(problem.places)) return std::nullopt;
        return Finding{kOther, "", "答えを もういちど 入れてみよう　" +
                                       WholeFact(operation, problem.first_operand,
                                                 problem.second_operand, problem.places)};
    }
    return DiagnoseDecimalAnswer(operation, problem, *entered);
}

Diagnosis DiagnoseDecimalAnswer(Operation operation, const DecimalProblem& problem, int entered) {
    const int p = problem.places;
    if (!IsDecimalPlaces(p)) return std::nullopt;
    if (IsRightAnswer(entered, problem.correct_result)) return std::nullopt;
    const int limit = Pow10(ColumnCountFor(p));
    const int a = problem.first_operand;
    const int b = problem.second_operand;
    // Numbers the columns cannot hold (and a difference below zero, which only
    // a draw whose every pair failed gives) have no column work to compare.
    if (entered < 0 || entered >= limit || a < 0 || a >= limit || b < 0 || b >= limit ||
        problem.correct_result < 0 || problem.correct_result >= limit) {
        return Finding{kOther, "", "答えを もういちど たしかめよう　" + WholeFact(operation, a, b, p)};
    }

    const int columns = ColumnCountFor(p);
    const Work right = Calculate(operation, a, b, p);
    Work pupil;
    for (int k = 0; k < columns; ++k) pupil.digit[k] = DigitAt(entered, k);
    int c = 0;
    while (c < columns && pupil.digit[c] == right.digit[c]) ++c;
    if (c == columns) return std::nullopt;  // not reached: the answers differ
    const Column column = ColumnAt(c, p);
    const std::string name = ColumnName(column);
    const std::string fact = Fact(operation, a, b, c, right, p);
    const bool carry_only = a < Pow10(c) && b < Pow10(c);  // nothing but a carry in the column

    // The buggy procedures that reproduce the pupil's columns up to c; the one
    // that reproduces most of the answer wins, ties go to the earlier one.
    struct Candidate {
        Bug bug;
        int where;
    };
    static constexpr Candidate kAddition[] = {{Bug::CarryMissing, -1}, {Bug::CarryMissing, 0}};
    static constexpr Candidate kSubtraction[] = {{Bug::BorrowMissing, -1}, {Bug::BorrowMissing, 0},
                                                 {Bug::Swap, -1}, {Bug::Swap, 0}};
    Bug best = Bug::None;
    int best_score = -1;
    auto consider = [&](const Candidate& candidate) {
        const Work work = Calculate(operation, a, b, p, candidate.bug, candidate.where < 0 ? -1 : c);
        for (int k = 0; k <= c; ++k)
            if (work.digit[k] != pupil.digit[k]) return;
        int score = 0;
        for (int k = 0; k < columns; ++k) score += work.digit[k] == pupil.digit[k];
        if (score > best_score) {
            best_score = score;
            best = candidate.bug;
        }
    };
    if (operation == Operation::Addition) {
        for (const Candidate& candidate : kAddition) consider(candidate);
    } else {
        for (const Candidate& candidate : kSubtraction) consider(candidate);
    }

    const int da = DigitAt(a, c);
    switch (best) {
        case Bug::CarryMissing:
            return Make(kCarryMissing, column,
                        name + (carry_only ? "に くり上がりの １を 書きわすれたよ　"
                                           : "に くり上がりの １を たしわすれたよ　") +
                            fact);
        case Bug::BorrowMissing: {
            const int lent = da == 0 ? 9 : da - 1;
            return Make(kBorrowMissing, column,
                        name + "は １ かしたので " + Wide(da) + "が " + Wide(lent) +
                            "に なるよ　" + fact);
        }
        case Bug::Swap:
            return Make(kSmallerFromLarger, column,
                        name + "は ひけないので、上の位から くり下げて ひくよ　" + fact);
        case Bug::None:
            break;
    }

    // One column wrong and the rest right: a slip in that column's sum or
    // difference, or a digit where there was nothing to calculate.
    if (RestMatches(operation, a, b, p, c + 1, right.out[c], pupil) ||
        RestMatches(operation, a, b, p, c + 1, 1 - right.out[c], pupil)) {
        if (carry_only && right.in[c] == 0) {
            return Make(kSlip, column,
                        (column == Column::Tens ? name + "には なにも 入らないよ　"
                                                : name + "は ０だよ　") +
                            fact);
        }
        if (carry_only)
            return Make(kColumnSlip, column, name + "は くり上がりの １だけだよ　" + fact);
        const char* calculation = operation == Operation::Addition ? "たし算" : "ひき算";
        return Make(kColumnSlip, column,
                    name + "の " + calculation + "が ちがうよ　" + fact);
    }
    return Make(kOther, column, name + "から ちがっているよ　" + fact);
}

RoleCell DecimalColumnCell(Column column) { return {role::kAnswer, RoleCell::Digit::FromPoint, FromPoint(column)}; }

RoleCell DecimalRoleCell(const DecimalRole& role) {
    if (role.kind == DecimalRole::Kind::Answer) return DecimalColumnCell(role.column);
    const Operation operation =
        role.kind == DecimalRole::Kind::Carry ? Operation::Addition : Operation::Subtraction;
    return {MarkRole(operation, role.column)};
}

std::string ColumnDigit(std::string_view answer, Column column) { return DigitFromPoint(answer, FromPoint(column)); }

}  // namespace sorelka::decimals
