#include "multiplication/multiplication_examples.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/wide_digits.h"

namespace sorelka::multiplication {

namespace {

std::string W(long long value) { return WideText(value); }

// A problem worked input by input on a fresh sheet, each input one step:
// the sheet after it, its line and the role it writes.
class Recorder {
public:
    explicit Recorder(const MultiplicationProblem& problem) : steps_(MultiplicationSteps::Options{.with_mark = false}) {
        steps_.StartProblem(problem);
        example_.start = steps_.cells();
    }

    void Step(const MultiplicationInput& input, std::string line) {
        const std::optional<MultiplicationRole> role = RoleOf(input);
        steps_.Feed(input);
        auto& step = example_.steps.emplace_back();
        step.inputs = {input};
        step.sheet = steps_.cells();
        step.line = std::move(line);
        step.role = role;
    }

    // A small figure written above column `column` of the carries of
    // `carries`, by the step just recorded.
    void Carry(const char* carries, int column, int figure, int row) {
        WriteCarry(steps_.cells()[carries], column, figure, row);
        if (!example_.steps.empty()) WriteCarry(example_.steps.back().sheet[carries], column, figure, row);
    }

    MultiplicationExample& example() { return example_; }

private:
    static void WriteCarry(Cell& cell, int column, int figure, int row) {
        RowDigits digits = RowFromText(cell.text);
        digits[static_cast<std::size_t>(column)] = figure;
        cell.text = RowText(digits);
        cell.visible = true;
        cell.column = 0;
        cell.row = row;
        cell.colour = kRed;
    }

    // The role `input` writes on the sheet as it stands before it.
    std::optional<MultiplicationRole> RoleOf(const MultiplicationInput& input) const {
        using What = MultiplicationInput::What;
        using Part = MultiplicationRole::Part;
        switch (input.what) {
            case What::Digit:
                return MultiplicationRole{.part = Part::Digit,
                                          .row = steps_.on_product() ? 3 : steps_.current_row() + 1,
                                          .column = input.column};
            case What::Point: return MultiplicationRole{.part = Part::Point, .row = 3};
            case What::OnesZero: return MultiplicationRole{.part = Part::OnesZero, .row = 3};
            case What::StrikeZero: return MultiplicationRole{.part = Part::Strikes, .row = 3};
            default: return std::nullopt;
        }
    }

    MultiplicationSteps steps_;
    MultiplicationExample example_;
};

// One row of the multiplication: the multiplicand times `factor`, its last
// digit in column `shift`, the carries written small in `carries`.
void MultiplyRow(Recorder& recorder, const MultiplicationProblem& p, int factor, int shift, const char* carries,
                 int row) {
    int carry = 0;
    for (int k = 0; Pow10(k) <= p.digits; ++k) {
        const int digit = DigitAt(p.digits, k);
        const int product = digit * factor;
        const int total = product + carry;
        std::string line = W(digit) + "×" + W(factor) + "＝" + W(product);
        if (carry > 0) line += "　" + W(product) + "＋" + W(carry) + "＝" + W(total);
        carry = total / 10;
        if (carry > 0) line += "　" + W(carry) + "くり上がるよ";
        recorder.Step(MultiplicationInput::Digit(k + shift, total % 10), line);
        if (carry > 0) recorder.Carry(carries, k + shift + 1, carry, row);
    }
    if (carry > 0) {
        const int column = shift + static_cast<int>(std::to_string(p.digits).size());
        recorder.Step(MultiplicationInput::Digit(column, carry), "くり上がりの " + W(carry) + "を 書くよ");
    }
}

// The sum of the two rows under the sum line, column by column.
void AddRows(Recorder& recorder, const MultiplicationProblem& p) {
    const MultiplicationWork right = RightWork(p);
    int carry = 0;
    for (int c = 0; Pow10(c) <= p.WholeProduct(); ++c) {
        const int a = right.rows[0][static_cast<std::size_t>(c)];
        const int b = right.rows[1][static_cast<std::size_t>(c)];
        std::string terms;
        for (const int digit : {a, b})
            if (digit != kEmpty) terms += (terms.empty() ? "" : "＋") + W(digit);
        const int total = std::max(a, 0) + std::max(b, 0) + carry;
        std::string line;
        if (terms.empty()) {
            line = "くり上がりの " + W(carry) + "を 書くよ";
        } else if (carry == 0 && (a == kEmpty || b == kEmpty)) {
            line = terms + "を そのまま おろすよ";
        } else {
            line = terms + (carry > 0 ? "＋" + W(carry) : "") + "＝" + W(total);
        }
        carry = total / 10;
        if (carry > 0 && !terms.empty()) line += "　" + W(carry) + "くり上がるよ";
        recorder.Step(MultiplicationInput::Digit(c, total % 10), line);
        if (carry > 0) recorder.Carry(role::kCarries3, c + 1, carry, 3);
    }
}

}  // namespace

std::string MultiplicationRoleText(const Worksheet& sheet, const MultiplicationRole& role) {
    using Part = MultiplicationRole::Part;
    const char* name = role.part == Part::Point      ? role::kPoint
                       : role.part == Part::OnesZero ? role::kOnesZero
                       : role.part == Part::Strikes  ? role::kStrikes
                       : role.row == 1               ? role::kRow1
                       : role.row == 2               ? role::kRow2
                                                     : role::kProduct;
    const Cell& cell = sheet.at(name);
    if (!cell.visible) return {};
    if (role.part != Part::Digit) return cell.text;
    if (cell.text.size() != static_cast<std::size_t>(kColumns) || role.column < 0 || role.column >= kColumns)
        return {};
    const char digit = cell.text[static_cast<std::size_t>(kColumns - 1 - role.column)];
    return digit == ' ' ? std::string() : std::string(1, digit);
}

MultiplicationExample MultiplicationWorkedExample(const MultiplicationProblem& p) {
    if (p.multiplier < 2 || p.places < 1 || p.digits < 1) return {};
    Recorder recorder(p);
    const MultiplicationWork right = RightWork(p);
    const int ones = p.multiplier % 10;
    const int tens = p.multiplier / 10;
    std::string opening = "右の はしを そろえて 書いて、小数点が ないものとして 整数の かけ算を するよ";
    if (p.TwoDigitMultiplier()) {
        opening += "　まず 一の位の " + W(ones) + "を かけるよ";
        MultiplyRow(recorder, p, ones, 0, role::kCarries1, 1);
        recorder.Step(MultiplicationInput::Of(MultiplicationInput::What::Confirm),
                      "次は 十の位の " + W(tens) + "を かけて、１けた 左に ずらして 書くよ");
        MultiplyRow(recorder, p, tens, 1, role::kCarries2, 2);
        recorder.Step(MultiplicationInput::Of(MultiplicationInput::What::Confirm), "２つの だんを たすよ");
        AddRows(recorder, p);
    } else {
        MultiplyRow(recorder, p, p.multiplier, 0, role::kCarries1, 1);
    }
    recorder.example().opening = opening;
    recorder.Step(MultiplicationInput::Point(p.places),
                  "かけられる数と 同じ 右から " + W(p.places) + "けたの ところに 小数点を うつよ");
    if (right.ones_zero)
        recorder.Step(MultiplicationInput::Of(MultiplicationInput::What::OnesZero),
                      "１より 小さいので 一の位に ０を 書くよ");
    for (int i = 1; i <= right.struck; ++i)
        recorder.Step(MultiplicationInput::Of(MultiplicationInput::What::StrikeZero),
                      i == p.places ? "小数の 終わりの ０を 消すと 小数点も いらなくなるよ"
                                    : "小数の 終わりの ０を 消すよ");
    recorder.Step(MultiplicationInput::Of(MultiplicationInput::What::Finish), WideFact(p));
    return std::move(recorder.example());
}

MultiplicationExample ReplayMultiplication(const MultiplicationProblem& problem, const MultiplicationWork& work) {
    Recorder recorder(problem);
    for (const MultiplicationInput& input : InputsOf(work)) recorder.Step(input, "");
    return std::move(recorder.example());
}

}  // namespace sorelka::multiplication
