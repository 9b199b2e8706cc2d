#include "decimals/decimal_bugs.h"

namespace sorelka::decimals {

DecimalWork WorkDecimal(DecimalPupil pupil, Operation operation, const DecimalProblem& problem,
                        RandomSource& random) {
    const int p = problem.places;
    const int columns = p + 2;
    std::vector<int> top, bottom;
    for (int k = 0, a = problem.first_operand, b = problem.second_operand; k < columns;
         ++k, a /= 10, b /= 10) {
        top.push_back(a % 10);
        bottom.push_back(b % 10);
    }
    std::vector<int> out(columns);
    int carry = 0;
    for (int k = 0; k < columns; ++k) {
        const int a = top[k];
        const int b = bottom[k];
        const bool add = operation == Operation::Addition;
        switch (pupil) {
            case DecimalPupil::ForgetsCarry:
                out[k] = (a + b) % 10;
                break;
            case DecimalPupil::KeepsLender:
                out[k] = a < b ? a + 10 - b : a - b;
                break;
            case DecimalPupil::Swaps:
                out[k] = a < b ? b - a : a - b;
                break;
            case DecimalPupil::Right:
            case DecimalPupil::ColumnSlip:
                if (add) {
                    out[k] = (a + b + carry) % 10;
                    carry = (a + b + carry) / 10;
                } else {
                    const int t = a - carry;
                    carry = t < b ? 1 : 0;
                    out[k] = t + 10 * carry - b;
                }
                break;
        }
    }
    DecimalWork worked;
    if (pupil == DecimalPupil::ColumnSlip) {
        // Any column with something in it: a digit of either number or of the answer.
        int highest = 0;
        for (int k = 0; k < columns; ++k)
            if (top[k] || bottom[k] || out[k]) highest = k;
        const int slip = random.Random(highest + 1);
        out[slip] = operation == Operation::Addition ? (out[slip] + 1) % 10 : (out[slip] + 9) % 10;
        worked.slipped = static_cast<Column>(1 + p - slip);
    }
    for (int k = 0; k < columns; ++k) worked.digits[1 + p - k] = out[k];
    return worked;
}

WorkedRows FinishedDecimalRows(const DecimalProblem& problem, int entered) {
    const int p = problem.places;
    return {{"Label5", FormatDecimal(problem.first_operand, p).text},
            {"Label6", FormatDecimal(problem.second_operand, p).text},
            {"Label7", FormatDecimal(entered, p).text}};
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
