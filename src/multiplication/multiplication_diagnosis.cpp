#include "multiplication/multiplication_diagnosis.h"

#include <utility>

#include "core/number_text.h"
#include "core/wide_digits.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_sheet.h"

namespace sorelka::multiplication {

std::string MultiplicationKindLabel(std::string_view kind) {
    if (kind == kPointMisplaced) return "小数点の 位置が ちがう";
    if (kind == kPointMissing) return "小数点を うちわすれた";
    if (kind == kEndZeroKept) return "小数の 終わりの ０を 消していない";
    if (kind == kOnesZeroMissing) return "一の位の ０を 書きわすれた";
    if (kind == kRowNotShifted) return "２だん目を 左に ずらしていない";
    if (kind == kCarryMissing) return "くり上がりを たしわすれた";
    if (kind == kTimesTableSlip) return "九九を まちがえた";
    if (kind == kRowSumSlip) return "だんの たし算を まちがえた";
    return SharedKindLabel(kind);
}

namespace {

constexpr std::size_t At(int column) { return static_cast<std::size_t>(column); }

// The pupil's row holds what the right row holds, a 0 written where the
// right row has nothing (before its first digit, or under row 2's empty
// last column) read as nothing.
bool SameDigit(int right, int pupil) { return right == pupil || (right == kEmpty && pupil == 0); }

// The first column from the right where the rows differ; none when they agree.
std::optional<int> FirstDifference(const RowDigits& right, const RowDigits& pupil) {
    for (int c = 0; c < kColumns; ++c)
        if (!SameDigit(right[At(c)], pupil[At(c)])) return c;
    return std::nullopt;
}

bool Same(const RowWork& work, const RowDigits& pupil) { return work.fits && !FirstDifference(work.digits, pupil); }

std::string Step(int row, int column) { return "row:" + std::to_string(row) + "/column:" + std::to_string(column); }

std::string ColumnName(int column) { return "右から " + WideText(column + 1) + "けた目"; }

// "１だん目", "２だん目", the rows' sum, or the one row of a one-digit multiplier.
std::string RowName(const MultiplicationProblem& problem, int row) {
    if (!problem.TwoDigitMultiplier()) return "かけ算の 答えの ";
    if (row == 3) return "たし算の 答えの ";
    return WideText(row) + "だん目の ";
}

// One row of a two-digit multiplier as a whole calculation, row 2 with its
// shift: "２３７×６＝１４２２", "２３７×２０＝４７４０".
std::string RowFact(int multiplicand, int factor, int shift) {
    const int by = factor * static_cast<int>(Pow10(shift));
    return WideText(multiplicand) + "×" + WideText(by) + "＝" + WideText(static_cast<long long>(multiplicand) * by);
}

// The product of the multiplicand's digit in `column` with the carry into it:
// "３×６＋４＝２２", "７×６＝４２".
std::string ColumnFact(int multiplicand, int factor, int shift, int column, const RowWork& right) {
    const int k = column - shift;
    const int digit = DigitAt(multiplicand, k);
    const int in = right.carry_in[At(column)];
    std::string fact = WideText(digit) + "×" + WideText(factor);
    if (in > 0) fact += "＋" + WideText(in);
    return fact + "＝" + WideText(digit * factor + in);
}

Finding Make(const char* kind, std::string step, std::string explanation) {
    return Finding{kind, std::move(step), std::move(explanation)};
}

// A multiplication row (`row` 1 or 2, or 3 the product of a one-digit
// multiplier) against the right one: the kind whose procedure writes the
// pupil's row, at the first column that differs; none when the rows agree.
Diagnosis DiagnoseProductRow(const MultiplicationProblem& problem, int row, int factor, int shift,
                             const RowDigits& pupil) {
    const int m = problem.digits;
    const RowWork right = MultiplyRow(m, factor, shift);
    const std::optional<int> first = FirstDifference(right.digits, pupil);
    if (!first) return std::nullopt;
    const int c = *first;
    const int n = DigitCount(m);
    const std::string where = RowName(problem, row) + ColumnName(c);
    const std::string step = Step(row, c);

    if (shift == 1 && Same(MultiplyRow(m, factor, 0), pupil)) {
        return Make(kRowNotShifted, step,
                    "２だん目は 十の位の " + WideText(factor) + "を かけた 答えだから、１けた 左に ずらして 書くよ　" +
                        RowFact(m, factor, 1));
    }
    if (right.carry_in[At(c)] > 0 &&
        (Same(MultiplyRow(m, factor, shift, {RowChange::What::DropCarry, c}), pupil) ||
         Same(MultiplyRow(m, factor, shift, {RowChange::What::DropCarriesFrom, c}), pupil))) {
        if (c - shift == n)  // only the last carry stands in the column
            return Make(kCarryMissing, step,
                        where + "に くり上がりの " + WideText(right.carry_in[At(c)]) + "を 書きわすれたよ　" +
                            ColumnFact(m, factor, shift, c - 1, right));
        return Make(kCarryMissing, step,
                    where + "で くり上がりの " + WideText(right.carry_in[At(c)]) + "を たしわすれたよ　" +
                        ColumnFact(m, factor, shift, c, right));
    }
    // Another product of the times table in the column, or in the one before
    // it with the same last digit and another carry.
    for (int j : {c, c - 1}) {
        if (j - shift < 0 || j - shift >= n) continue;
        const int product = DigitAt(m, j - shift) * factor;
        for (int other = 0; other <= 99; ++other) {
            if (other == product || !Same(MultiplyRow(m, factor, shift, {RowChange::What::Product, j, other}), pupil))
                continue;
            return Make(kTimesTableSlip, step,
                        RowName(problem, row) + ColumnName(j) + "の 九九を たしかめよう　" +
                            WideText(DigitAt(m, j - shift)) + "×" + WideText(factor) + "＝" + WideText(product));
        }
    }
    const std::string fact = RowFact(m, factor, shift);
    if (right.digits[At(c)] == kEmpty) return Make(kSlip, step, where + "には なにも 書かないよ　" + fact);
    return Make(kOther, step, where + "から ちがっているよ　" + fact);
}

// The sum of the two rows against the right sum.
Diagnosis DiagnoseSum(const MultiplicationProblem& problem, const MultiplicationWork& right_work,
                      const RowDigits& pupil) {
    const RowDigits& first_row = right_work.rows[0];
    const RowDigits& second_row = right_work.rows[1];
    const RowWork right = AddRows(first_row, second_row);
    const std::optional<int> first = FirstDifference(right.digits, pupil);
    if (!first) return std::nullopt;
    const int c = *first;
    const std::string where = RowName(problem, 3) + ColumnName(c);
    const std::string step = Step(3, c);
    const std::string whole_sum = WideText(RowValue(first_row)) + "＋" + WideText(RowValue(second_row)) + "＝" +
                                  WideText(RowValue(right.digits));
    // The column's own sum, where it adds two numbers or more: "４＋７＋１＝１２".
    const auto column_fact = [&](int column) {
        std::string fact;
        int terms = 0;
        int total = 0;
        const auto add = [&](int term) {
            fact += (terms++ > 0 ? "＋" : "") + WideText(term);
            total += term;
        };
        for (int digit : {first_row[At(column)], second_row[At(column)]})
            if (digit != kEmpty) add(digit);
        if (right.carry_in[At(column)] > 0) add(right.carry_in[At(column)]);
        return terms >= 2 ? fact + "＝" + WideText(total) : whole_sum;
    };
    const int in = right.carry_in[At(c)];
    if (in > 0 && (Same(AddRows(first_row, second_row, {RowChange::What::DropCarry, c}), pupil) ||
                   Same(AddRows(first_row, second_row, {RowChange::What::DropCarriesFrom, c}), pupil))) {
        if (first_row[At(c)] == kEmpty && second_row[At(c)] == kEmpty)
            return Make(kCarryMissing, step,
                        where + "に くり上がりの １を 書きわすれたよ　" + column_fact(c - 1));
        return Make(kCarryMissing, step, where + "で くり上がりの １を たしわすれたよ　" + column_fact(c));
    }
    if (right.digits[At(c)] == kEmpty) return Make(kSlip, step, where + "には なにも 書かないよ　" + whole_sum);
    // One column added wrong, the rest right on from it.
    for (int carry : {0, 1}) {
        if (pupil[At(c)] == kEmpty) break;
        if (Same(AddRows(first_row, second_row, {RowChange::What::Digit, c, pupil[At(c)], carry}), pupil))
            return Make(kRowSumSlip, step, where + "の たし算が ちがうよ　" + column_fact(c));
    }
    return Make(kOther, step, where + "から ちがっているよ　" + whole_sum);
}

}  // namespace

Diagnosis DiagnoseMultiplication(const MultiplicationProblem& problem, const WorkedRows& rows) {
    if (problem.digits <= 0 || problem.multiplier <= 0 || problem.places < 1 || problem.places > kColumns)
        return std::nullopt;
    return DiagnoseMultiplicationWork(problem, WorkFromRows(rows, problem));
}

Diagnosis DiagnoseMultiplicationWork(const MultiplicationProblem& problem, MultiplicationWork work) {
    if (problem.digits <= 0 || problem.multiplier <= 0 || problem.places < 1 || problem.places > kColumns)
        return std::nullopt;
    if (IsRightWork(problem, work)) return std::nullopt;
    const MultiplicationWork right = RightWork(problem);
    const std::string fact = WideFact(problem);
    if (work.product == kEmptyRow)
        return Make(kOther, "", "答えを もういちど 書いてみよう　" + fact);

    // The rows in writing order, then the point, the ones 0, the strokes.
    if (problem.TwoDigitMultiplier()) {
        work.rows.resize(2, kEmptyRow);
        // Rows left unwritten (the product worked out in the head) are not
        // compared: the product's own digits say what went wrong.
        const bool rows_written = work.rows[0] != kEmptyRow || work.rows[1] != kEmptyRow;
        for (int row = 1; row <= 2 && rows_written; ++row) {
            const int factor = row == 1 ? problem.multiplier % 10 : problem.multiplier / 10;
            if (Diagnosis d = DiagnoseProductRow(problem, row, factor, row - 1, work.rows[At(row - 1)])) return d;
        }
        if (Diagnosis d = DiagnoseSum(problem, right, work.product)) return d;
    } else if (Diagnosis d = DiagnoseProductRow(problem, 3, problem.multiplier, 0, work.product)) {
        return d;
    }

    const std::string places = WideText(problem.places);
    if (!work.point)
        return Make(kPointMissing, "point",
                    "答えに 小数点を うとう。かけられる数と 同じ 右から " + places + "けたの ところだよ　" + fact);
    if (*work.point != *right.point)
        return Make(kPointMisplaced, "point",
                    "小数点は かけられる数の 小数の けた数と 同じ、右から " + places + "けたの ところに うつよ　" +
                        fact);
    if (right.ones_zero && !work.ones_zero)
        return Make(kOnesZeroMissing, "ones_zero", "答えが １より 小さい ときは 一の位に ０を 書くよ　" + fact);
    if (work.struck < right.struck)
        return Make(kEndZeroKept, "strikes", "小数の 終わりの ０は 消すよ　" + fact);
    return Make(kOther, "", "答えを もういちど たしかめよう　" + fact);
}

}  // namespace sorelka::multiplication
