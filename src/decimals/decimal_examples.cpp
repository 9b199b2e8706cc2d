#include "decimals/decimal_examples.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/quiet_services.h"
#include "core/wide_digits.h"
#include "decimals/decimal_cells.h"

namespace sorelka::decimals {

namespace {


std::string ColumnName(Column column) {
    static constexpr const char* kNames[kColumnCount] = {"十の位", "一の位", "小数第一位",
                                                         "小数第二位", "小数第三位"};
    return kNames[static_cast<int>(column)];
}

// The right work column by column, for the lines: the digits of both numbers
// as they are read (a number with fewer decimal places than the other is
// read with zeros; a column left of a number's first digit has none), and
// the carry or borrow into and out of each column.
class Narrator {
public:
    Narrator(Operation operation, const DecimalProblem& p)
        : operation_(operation),
          p_(p),
          decimals_(std::max(WrittenDecimals(p.first_operand, p.places), WrittenDecimals(p.second_operand, p.places))) {
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
    // Whether the number, as it is read, has a digit in column k.
    bool Written(int value, int k) const {
        if (k > p_.places) return value >= Pow10(k);
        if (k == p_.places) return true;  // the ones: always a digit before the point
        return k >= p_.places - decimals_;
    }

    Operation operation_;
    DecimalProblem p_;
    int decimals_;  // decimal places both numbers are read with
    int in_[kColumnCount] = {};
    int out_[kColumnCount] = {};
};


// "５を ５．００と みるよ": the number that has fewer decimal places than the
// other, read with zeros; empty when both have as many.
std::string ImpliedZerosLine(const DecimalProblem& p) {
    const int first = WrittenDecimals(p.first_operand, p.places);
    const int second = WrittenDecimals(p.second_operand, p.places);
    std::string line;
    for (const auto& [value, written] : {std::pair{p.first_operand, first}, std::pair{p.second_operand, second}}) {
        const std::string zeros = ImpliedZeros(written, std::max(first, second));
        if (zeros.empty()) continue;
        const std::string text = FormatDecimal(value, p.places).text;
        line += WideText(text) + "を " + WideText(text + zeros) + "と みるよ";
    }
    return line;
}

// `work` entered one step each, with the small figures each column's step
// writes. `explain`: with the lines; `every_sheet`: the worksheet after
// every step, else after the last one only.
DecimalExample Replay(Operation operation, const DecimalProblem& problem, const DecimalWork& work, bool explain,
                      bool every_sheet = true) {
    const int p = problem.places;
    DecimalSheet sheet(PracticeSheetPlace(operation));
    sheet.SetProblem(problem);
    sheet.ShowOperator();
    sheet.ResetEntryLists();
    DecimalExample example;
    example.start = sheet.cells();
    if (explain) example.opening = "小数点を そろえて 右の 位から 計算するよ";
    const Narrator narrator(operation, problem);
    const auto add_step = [&](std::vector<DecimalInput> inputs, std::string line, std::optional<DecimalRole> role) {
        auto& step = example.steps.emplace_back();
        step.inputs = std::move(inputs);
        if (every_sheet) step.sheet = sheet.cells();
        if (explain) step.line = std::move(line);
        step.role = role;
    };
    if (const std::string zeros = ImpliedZerosLine(problem); !zeros.empty()) {
        sheet.ShowImpliedZeros();
        add_step({}, zeros, std::nullopt);
    }
    for (const DecimalInput& input : AnswerInputs(work.digits, p)) {
        if (input.what == DecimalInput::What::Finish) {
            sheet.ShowFinishedAnswer();
            add_step({input}, explain ? narrator.Line(input) : "", std::nullopt);
            continue;
        }
        sheet.WriteWorkedColumn(input.column, input.digit);
        // The carry this column gives, or the lenders it borrows from: the
        // column on its left, and on through the zeros that lend by borrowing.
        for (int j = ColumnFromRight(input.column, p) + 1; j < p + 2; ++j) {
            const Column above = ColumnAt(j, p);
            const int mark = work.marks[static_cast<int>(above)];
            if (mark == kNoMark) break;
            sheet.ShowMark(above, mark);
            if (operation == Operation::Addition || DigitAt(problem.first_operand, j) != 0) break;
        }
        add_step({input}, explain ? narrator.Line(input) : "", DecimalRole::Answer(input.column));
    }
    if (!every_sheet && !example.steps.empty()) example.steps.back().sheet = sheet.cells();
    return example;
}

std::vector<int> CasesFor(Operation operation) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kDecimalPupils)); ++c) {
        const DecimalPupilCase& pupil = kDecimalPupils[c];
        if (operation == Operation::Addition ? pupil.adds : pupil.subtracts) cases.push_back(c);
    }
    return cases;
}

// The places of the work a pupil may point at, column by column from the
// right: the answer's digit where the finished answer shows one, then the
// spot of the small figure above the next column, written or not: on an
// addition above every column up to the tens, where a carry may go; on a
// subtraction above the upper number's digits (its zeros read too), which
// may lend.
std::vector<DecimalRole> PointablePlaces(Operation operation, const DecimalProblem& problem,
                                         const Worksheet& sheet) {
    const int p = problem.places;
    int highest = p + 1;
    if (operation == Operation::Subtraction) {
        highest = p;
        while (highest < p + 1 && problem.first_operand >= Pow10(highest + 1)) ++highest;
    }
    std::vector<DecimalRole> places;
    for (int k = 0; k < p + 2; ++k) {
        const DecimalRole answer = DecimalRole::Answer(ColumnAt(k, p));
        if (!DecimalRoleText(sheet, answer).empty()) places.push_back(answer);
        if (k + 1 <= highest) places.push_back(DecimalRole::Mark(operation, ColumnAt(k + 1, p)));
    }
    return places;
}

// The small figure the kind's wrong step leaves out: the carry into the
// column, the lender of the column, or (taking the smaller digit from the
// larger) that of the column that should have lent; none for a column slip.
std::optional<DecimalRole> LeftOutMark(DecimalPupil pupil, Operation operation, Column column, int places) {
    switch (pupil) {
        case DecimalPupil::ForgetsCarry:
        case DecimalPupil::KeepsLender:
            return DecimalRole::Mark(operation, column);
        case DecimalPupil::Swaps:
            return DecimalRole::Mark(operation, ColumnAt(ColumnFromRight(column, places) + 1, places));
        case DecimalPupil::Right:
        case DecimalPupil::ColumnSlip:
            break;
    }
    return std::nullopt;
}

bool Among(const std::vector<DecimalRole>& roles, const DecimalRole& role) {
    return std::find(roles.begin(), roles.end(), role) != roles.end();
}

std::optional<DecimalMistakeExample> TryMistake(Operation operation, int menu_choice,
                                                const DecimalProblem& problem,
                                                const DecimalPupilCase& pupil, RandomSource& random) {
    const int p = problem.places;
    const DecimalWork work = WorkDecimal(pupil.pupil, operation, problem, random, MistakeScope::OneColumn);
    if (!work.mistake) return std::nullopt;
    // The finished answer, as the sheet writes it, before any replay: most
    // draws fail here.
    const int entered = ReadAnswer(work.digits, p);
    const Diagnosis diagnosis = DiagnoseDecimalAnswer(operation, problem, entered);
    if (!diagnosis || diagnosis->kind != pupil.kind || StepColumn(diagnosis->step) != work.mistake)
        return std::nullopt;
    // The wrong digit must show: not a 0 the finished answer leaves out.
    if (ColumnDigit(FormatDecimal(entered, p).text, *work.mistake).empty()) return std::nullopt;
    DecimalExample worked = Replay(operation, problem, work, false);
    const DecimalRole wrong = DecimalRole::Answer(*work.mistake);
    const std::vector<DecimalRole> places = PointablePlaces(operation, problem, worked.end());
    std::vector<DecimalRole> accepted{wrong};
    if (const auto mark = LeftOutMark(pupil.pupil, operation, *work.mistake, p); mark && Among(places, *mark))
        accepted.push_back(*mark);
    // Every other place that differs from the right work follows from the
    // mistake: it stands left of the wrong column, worked right on the
    // pupil's own numbers.
    NoDraws no_draws;
    const DecimalWork right_work = WorkDecimal(DecimalPupil::Right, operation, problem, no_draws);
    const Worksheet right = Replay(operation, problem, right_work, false, false).end();
    std::vector<DecimalRole> follows;
    for (const DecimalRole& place : places) {
        const std::string shown = DecimalRoleText(worked.end(), place);
        if (shown.empty() || shown == DecimalRoleText(right, place) || Among(accepted, place)) continue;
        // Not reached: the work up to the wrong column is the right work.
        if (ColumnFromRight(place.column, p) <= ColumnFromRight(*work.mistake, p)) return std::nullopt;
        follows.push_back(place);
    }
    return DecimalMistakeExample{.menu_choice = menu_choice,
                                 .problem = problem,
                                 .work = std::move(worked),
                                 .finding = *diagnosis,
                                 .wrong = wrong,
                                 .accepted = std::move(accepted),
                                 .follows = std::move(follows),
                                 .places = places};
}

}  // namespace

std::string DecimalRoleText(const Worksheet& sheet, const DecimalRole& role) {
    // A column not yet worked is a blank in the worked example's answer.
    const std::string text = RoleText(sheet, DecimalRoleCell(role));
    return text == " " ? std::string() : text;
}

DecimalExample DecimalWorkedExample(Operation operation, const DecimalProblem& problem) {
    if (!IsDecimalPlaces(problem.places)) return {};
    NoDraws no_draws;
    return Replay(operation, problem, WorkDecimal(DecimalPupil::Right, operation, problem, no_draws), true);
}

DecimalExample ReplayDecimal(Operation operation, const DecimalProblem& problem, const DecimalWork& work) {
    return Replay(operation, problem, work, false);
}

std::optional<std::size_t> FirstWrongStep(const DecimalExample& example, const WorkedRows& rows,
                                          const Diagnosis& diagnosis) {
    if (!diagnosis) return std::nullopt;
    if (const std::optional<Column> column = StepColumn(diagnosis->step))
        if (const auto step = StepWriting(example, DecimalRole::Answer(*column))) return step;
    const std::string answer = CellText(rows, StoredName(role::kAnswer));
    for (std::size_t i = 0; i < example.steps.size(); ++i) {
        const auto& role = example.steps[i].role;
        if (role && ColumnDigit(answer, role->column) != DecimalRoleText(example.end(), *role)) return i;
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
