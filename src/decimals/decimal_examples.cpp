#include "decimals/decimal_examples.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"

namespace sorelka::decimals {

namespace {

int ColumnFromRight(Column column, int places) { return 1 + places - static_cast<int>(column); }

std::string ColumnName(Column column) {
    static constexpr const char* kNames[kColumnCount] = {"十の位", "一の位", "小数第一位",
                                                         "小数第二位", "小数第三位"};
    return kNames[static_cast<int>(column)];
}

// The right work column by column, for the lines: the digits of both numbers
// as they are written (a dropped trailing 0 is no digit), and the carry or
// borrow into and out of each column.
class Narrator {
public:
    Narrator(Operation operation, const DecimalProblem& p) : operation_(operation), p_(p) {
        int carry = 0;
        for (int k = 0; k < p.places + 2; ++k) {
            const int a = DigitAt(p.first_operand, k);
            const int b = DigitAt(p.second_operand, k);
            in_[k] = carry;
            if (operation == Operation::Addition) {
                carry = (a + b + carry) / 10;
            } else {
                carry = a - carry < b ? 1 : 0;
            }
            out_[k] = carry;
        }
    }

    std::string Line(const DecimalInput& input) const {
        if (input.what == DecimalInput::What::Finish) {
            const DecimalText answer = FormatDecimal(p_.correct_result, p_.places);
            return answer.trailing_zeros > 0 ? "おわりの ０を けして 答えは " + WideText(answer.text)
                                             : "答えは " + WideText(answer.text) + "だよ";
        }
        const int k = ColumnFromRight(input.column, p_.places);
        const std::string name = ColumnName(input.column) + "は ";
        const int a = DigitAt(p_.first_operand, k);
        const int b = DigitAt(p_.second_operand, k);
        const bool has_a = Written(p_.first_operand, k);
        const bool has_b = Written(p_.second_operand, k);
        const int in = in_[k];
        const auto w = [](int v) { return WideText(v); };
        if (operation_ == Operation::Addition) {
            if (!has_a && !has_b) return ColumnName(input.column) + "に くり上がりの １を かくよ";
            const std::string terms = has_a && has_b ? w(a) + "＋" + w(b) : w(has_a ? a : b);
            if (in) return "くり上がりの １を たして " + terms + "＋１＝" + w(a + b + 1);
            if (!has_a || !has_b) return name + terms + "を そのまま かくよ";
            return name + terms + "＝" + w(a + b) + (a + b >= 10 ? "　１くり上がるよ" : "");
        }
        const int digit = DigitAt(p_.correct_result, k);
        const int top = a - in + 10 * out_[k];
        const std::string fact = w(top) + "－" + w(b) + "＝" + w(digit);
        if (!has_b && in == 0 && out_[k] == 0) return name + w(a) + "を そのまま かくよ";
        if (in && out_[k] && a == 0) return name + "０が ９に なって " + fact;
        if (out_[k]) return name + "くり下げて " + fact;
        if (in) return name + w(a) + "が " + w(a - 1) + "に なって " + fact;
        return name + fact;
    }

private:
    // Whether the number's text has a digit in column k.
    bool Written(int value, int k) const {
        if (k > p_.places) return value >= Pow10(k);
        if (k == p_.places) return true;  // the ones: always a digit before the point
        return k >= FormatDecimal(value, p_.places).trailing_zeros;
    }

    Operation operation_;
    DecimalProblem p_;
    int in_[kColumnCount] = {};
    int out_[kColumnCount] = {};
};

// The inputs entered one step each. `explain`: with the lines; `every_sheet`:
// the worksheet after every step, else after the last one only.
DecimalExample Replay(Operation operation, const DecimalProblem& problem, const DecimalInputs& inputs,
                      bool explain, bool every_sheet = true) {
    DecimalSheet sheet(PracticeSheetPlace(operation));
    sheet.SetProblem(problem);
    sheet.ShowOperator();
    sheet.ResetEntryLists();
    DecimalExample example;
    example.start = sheet.cells();
    if (explain) example.opening = "小数点を そろえて 右の 位から 計算するよ";
    const Narrator narrator(operation, problem);
    for (const DecimalInput& input : inputs) {
        Feed(sheet, input);
        auto& step = example.steps.emplace_back();
        step.inputs = {input};
        if (every_sheet) step.sheet = sheet.cells();
        if (explain) step.line = narrator.Line(input);
        if (input.what == DecimalInput::What::Digit) step.role = input.column;
    }
    if (!every_sheet && !example.steps.empty()) example.steps.back().sheet = sheet.cells();
    return example;
}

AnswerDigits DigitsOf(int value, int places) {
    AnswerDigits digits{};
    for (int c = 0; c < kColumnCount; ++c) {
        const int k = ColumnFromRight(static_cast<Column>(c), places);
        if (k >= 0) digits[c] = DigitAt(value, k);
    }
    return digits;
}

std::vector<int> CasesFor(Operation operation) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kDecimalPupils)); ++c) {
        const DecimalPupilCase& pupil = kDecimalPupils[c];
        if (operation == Operation::Addition ? pupil.adds : pupil.subtracts) cases.push_back(c);
    }
    return cases;
}

std::optional<DecimalMistakeExample> TryMistake(Operation operation, int menu_choice,
                                                const DecimalProblem& problem,
                                                const DecimalPupilCase& pupil, RandomSource& random) {
    const DecimalInputs inputs = AnswerInputs(WorkDecimal(pupil.pupil, operation, problem, random).digits,
                                              problem.places);
    const DecimalExample work = Replay(operation, problem, inputs, false, false);
    const Diagnosis diagnosis = DiagnoseDecimal(operation, problem, WorkedRowsOf(work.end()));
    if (!diagnosis || diagnosis->kind != pupil.kind) return std::nullopt;
    const std::optional<Column> wrong = StepColumn(diagnosis->step);
    if (!wrong) return std::nullopt;
    const std::vector<Column> places = WrittenPlaces(work, DecimalRoleText);
    const DecimalExample right = Replay(
        operation, problem, AnswerInputs(DigitsOf(problem.correct_result, problem.places), problem.places),
        false, false);
    if (FirstDifference(places, work.end(), right.end(), DecimalRoleText) != wrong) return std::nullopt;
    return DecimalMistakeExample{.menu_choice = menu_choice,
                                 .problem = problem,
                                 .work = ReplayDecimal(operation, problem, inputs),
                                 .finding = *diagnosis,
                                 .wrong = *wrong,
                                 .places = places};
}

}  // namespace

std::string DecimalRoleText(const Worksheet& sheet, Column column) {
    return RoleText(sheet, DecimalColumnCell(column));
}

DecimalExample DecimalWorkedExample(Operation operation, const DecimalProblem& problem) {
    if (!IsDecimalPlaces(problem.places)) return {};
    const DecimalInputs inputs =
        AnswerInputs(DigitsOf(problem.correct_result, problem.places), problem.places);
    return Replay(operation, problem, inputs, true);
}

DecimalExample ReplayDecimal(Operation operation, const DecimalProblem& problem,
                             const DecimalInputs& inputs) {
    return Replay(operation, problem, inputs, false);
}

std::optional<std::size_t> FirstWrongStep(const DecimalExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    if (const std::optional<Column> column = StepColumn(diagnosis->step))
        if (const auto step = StepWriting(example, *column)) return step;
    const std::string answer = CellText(rows, DecimalColumnCell(Column::Ones).name);
    for (std::size_t i = 0; i < example.steps.size(); ++i) {
        const auto& column = example.steps[i].role;
        if (column && ColumnDigit(answer, *column) != DecimalRoleText(example.end(), *column)) return i;
    }
    return std::nullopt;
}

std::vector<std::string> DecimalMistakeKinds(Operation operation, int menu_choice) {
    if (!IsDecimalPlaces(menu_choice)) return {};
    std::vector<std::string> kinds;
    for (int c : CasesFor(operation)) kinds.push_back(kDecimalPupils[c].kind);
    return kinds;
}

std::optional<DecimalMistakeExample> DrawDecimalMistake(Operation operation, int menu_choice,
                                                        RandomSource& random,
                                                        const std::vector<std::string>& preferred_kinds) {
    if (!IsDecimalPlaces(menu_choice)) return std::nullopt;
    const std::vector<int> all = CasesFor(operation);
    const auto attempt = [&](int c) {
        const DecimalProblem problem = DrawProblem(operation, random, menu_choice);
        return TryMistake(operation, menu_choice, problem, kDecimalPupils[c], random);
    };
    if (auto example = FirstPassingExample<DecimalMistakeExample>(
            random, CasesOfKinds(kDecimalPupils, all, preferred_kinds), all, attempt))
        return example;
    return DecimalMistakeFallback(operation, menu_choice);
}

DecimalMistakeExample DecimalMistakeFallback(Operation operation, int menu_choice) {
    // A carry forgotten: 4.7 + 2.5, 3.45 + 1.78, 2.345 + 1.208; a lender kept:
    // 5.3 - 1.8, 5.32 - 1.18, 5.321 - 1.118.
    static const DecimalProblem kAdditions[] = {
        {1, 4, 47, 25, 72}, {2, 1, 345, 178, 523}, {3, 0, 2345, 1208, 3553}};
    static const DecimalProblem kSubtractions[] = {
        {1, 1, 53, 18, 35}, {2, 1, 532, 118, 414}, {3, 0, 5321, 1118, 4203}};
    const int item = std::clamp(menu_choice, 1, 3) - 1;
    const bool adds = operation == Operation::Addition;
    NoDraws no_draws;
    std::optional<DecimalMistakeExample> example =
        TryMistake(operation, menu_choice, adds ? kAdditions[item] : kSubtractions[item],
                   kDecimalPupils[adds ? 0 : 1], no_draws);
    if (!example) return {};  // not reached: the fixed examples pass their checks (tested)
    example->fell_back = true;
    return *example;
}

}  // namespace sorelka::decimals
