#include "decimals/decimal_bugs.h"

#include "core/number_text.h"
#include "decimals/decimal_cells.h"

namespace sorelka::decimals {

namespace {

// The columns worked from the right, with the mistake of `pupil` made in
// column `where` only, or wherever it can be made when `where` is -1. Every
// other step is the taught one, on the pupil's own numbers: the carry or
// borrow going on from a wrong column is the one its wrong work gives.
DecimalWork Calculate(DecimalPupil pupil, Operation operation, const DecimalProblem& problem, int where) {
    const int p = problem.places;
    DecimalWork work;
    int carry = 0;  // into column k: the carried 1, or the 1 lent to the column on its right
    for (int k = 0; k < p + 2; ++k) {
        const int a = DigitAt(problem.first_operand, k);
        const int b = DigitAt(problem.second_operand, k);
        const bool bug = (where < 0 || where == k) && pupil != DecimalPupil::Right &&
                         pupil != DecimalPupil::ColumnSlip;
        const int c = static_cast<int>(ColumnAt(k, p));
        int digit = 0;
        if (operation == Operation::Addition) {
            const bool dropped = bug && pupil == DecimalPupil::ForgetsCarry;
            if (carry && !dropped) work.marks[c] = 1;
            const int sum = a + b + (dropped ? 0 : carry);
            digit = sum % 10;
            carry = sum / 10;
        } else {
            const bool kept = bug && pupil == DecimalPupil::KeepsLender;
            // A lender is struck and written one smaller; a 0 borrows first and lends from 10.
            if (carry && !kept) work.marks[c] = a > 0 ? a - 1 : 9;
            const int top = a - (kept ? 0 : carry);
            if (top < b && bug && pupil == DecimalPupil::Swaps) {
                digit = (b - top) % 10;
                carry = 0;
            } else if (top < b) {
                digit = top + 10 - b;
                carry = 1;
            } else {
                digit = top - b;
                carry = 0;
            }
        }
        work.digits[c] = digit;
    }
    return work;
}

// The columns (from the right) where `pupil` can make the mistake in the
// right work of `problem`.
std::vector<int> MistakeColumns(DecimalPupil pupil, Operation operation, const DecimalProblem& problem,
                                const DecimalWork& right) {
    const int p = problem.places;
    std::vector<int> columns;
    int highest = 0;  // a column slip: any column with something in it
    for (int k = 0; k < p + 2; ++k) {
        const int c = static_cast<int>(ColumnAt(k, p));
        const int a = DigitAt(problem.first_operand, k);
        const int b = DigitAt(problem.second_operand, k);
        const bool into = right.marks[c] != kNoMark;  // a carry or a borrow went into the column
        switch (pupil) {
            case DecimalPupil::ForgetsCarry:
                if (operation == Operation::Addition && into) columns.push_back(k);
                break;
            case DecimalPupil::KeepsLender:
                if (operation == Operation::Subtraction && into) columns.push_back(k);
                break;
            case DecimalPupil::Swaps:
                // The upper digit, after lending, is too small; a 0 that lent has
                // itself borrowed, so it has nothing to swap.
                if (operation == Operation::Subtraction && a - into >= 0 && a - into < b) columns.push_back(k);
                break;
            case DecimalPupil::ColumnSlip:
                if (a || b || right.digits[c]) highest = k;
                break;
            case DecimalPupil::Right:
                break;
        }
    }
    if (pupil == DecimalPupil::ColumnSlip)
        for (int k = 0; k <= highest; ++k) columns.push_back(k);
    return columns;
}

}  // namespace

DecimalWork WorkDecimal(DecimalPupil pupil, Operation operation, const DecimalProblem& problem,
                        RandomSource& random, MistakeScope scope) {
    const int p = problem.places;
    const DecimalWork right = Calculate(DecimalPupil::Right, operation, problem, -1);
    if (pupil == DecimalPupil::Right) return right;
    if (pupil != DecimalPupil::ColumnSlip && scope == MistakeScope::EveryColumn)
        return Calculate(pupil, operation, problem, -1);
    const std::vector<int> columns = MistakeColumns(pupil, operation, problem, right);
    if (columns.empty()) return right;
    const int where = columns[random.Random(static_cast<int>(columns.size()))];
    DecimalWork work = Calculate(pupil, operation, problem, where);
    const auto c = static_cast<std::size_t>(ColumnAt(where, p));
    if (pupil == DecimalPupil::ColumnSlip) {
        // The sum one too big, the difference one too small; the carry or
        // borrow going on is the right one.
        work.digits[c] = operation == Operation::Addition ? (work.digits[c] + 1) % 10 : (work.digits[c] + 9) % 10;
    }
    work.mistake = ColumnAt(where, p);
    return work;
}

WorkedRows FinishedDecimalRows(const DecimalProblem& problem, int entered) {
    const int p = problem.places;
    return {{StoredName(role::kUpper), FormatDecimal(problem.first_operand, p).text},
            {StoredName(role::kLower), FormatDecimal(problem.second_operand, p).text},
            {StoredName(role::kAnswer), FormatDecimal(entered, p).text}};
}

void Feed(DecimalSheet& sheet, const DecimalInput& input) {
    if (input.what == DecimalInput::What::Finish)
        sheet.ShowFinishedAnswer();
    else
        sheet.ShowRunningAnswer(input.column, input.digit);
}

DecimalInputs AnswerInputs(const AnswerDigits& digits, int places) {
    DecimalInputs inputs;
    for (int c = kColumnCount - 1; c >= 0; --c) {
        const auto column = static_cast<Column>(c);
        if (!ColumnShown(column, places)) continue;
        if (column == Column::Tens && digits[c] == 0) continue;
        inputs.push_back(DecimalInput::Digit(column, digits[c]));
    }
    inputs.push_back(DecimalInput::Finish());
    return inputs;
}

}  // namespace sorelka::decimals
