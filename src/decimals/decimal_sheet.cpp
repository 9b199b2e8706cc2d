#include "decimals/decimal_sheet.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sorelka::decimals {

namespace {

constexpr const char* kPointText = "小\r数\r点";
constexpr int kNumberWidth = 130;
constexpr int kAnswerWidth = 160;
constexpr int kRowHeight = 40;

constexpr int kMarkTop = 206;     // the small figures, above the upper number
constexpr int kMarkHeight = 26;
constexpr int kStrikeTop = 238;   // the stroke, across the upper number's digit
constexpr int kStrikeHeight = 30;
constexpr int kUpperTop = 232;
constexpr int kLowerTop = 272;
constexpr int kColumnWidth = 30;

std::string LabelName(int n) { return "Label" + std::to_string(n); }

const char* ColumnWord(Column column) {
    static constexpr const char* kWords[kColumnCount] = {"Tens", "Ones", "Tenths", "Hundredths", "Thousandths"};
    return kWords[static_cast<int>(column)];
}

}  // namespace

const std::string& DecimalSheet::MarkName(Operation operation, Column column) {
    static const auto kNames = [] {
        std::array<std::array<std::string, kColumnCount>, 2> names;
        for (int c = 0; c < kColumnCount; ++c) {
            names[0][c] = std::string("Carry") + ColumnWord(static_cast<Column>(c));
            names[1][c] = std::string("Borrow") + ColumnWord(static_cast<Column>(c));
        }
        return names;
    }();
    return kNames[operation == Operation::Addition ? 0 : 1][static_cast<int>(column)];
}

const std::string& DecimalSheet::StrikeName(Column column) {
    static const auto kNames = [] {
        std::array<std::string, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c) names[c] = std::string("Strike") + ColumnWord(static_cast<Column>(c));
        return names;
    }();
    return kNames[static_cast<int>(column)];
}

const char* DecimalSheet::ListName(Column column) {
    static constexpr const char* kNames[kColumnCount] = {"ComboBox6", "ComboBox5", "ComboBox4",
                                                         "ComboBox3", "ComboBox2"};
    return kNames[static_cast<int>(column)];
}

DecimalSheet::DecimalSheet(SheetPlace place) : place_(std::move(place)) {
    cells_["Label5"] = {"", kOperandLeft, 232, kNumberWidth, kRowHeight, kNavy, true};
    cells_["Label6"] = {"", kOperandLeft, 272, kNumberWidth, kRowHeight, kNavy, true};
    cells_[place_.operator_label] = {"", 344, 272, 40, kRowHeight, kNavy, true};
    cells_["Shape1"] = {"", 336, 316, 193, 2, kRed, false};
    cells_["Paper1"] = {"", -1, -1, -1, -1, kNavy, false};
    cells_["Label7"] = {"", kAnswerLeft, 324, kAnswerWidth, kRowHeight, kBlue, true};
    cells_["Label11"] = {"", -1, place_.columns_top, 20, -1, kNavy, true};
    for (int c = 0; c < kColumnCount; ++c) {
        cells_[ListName(static_cast<Column>(c))] = {"", -1, place_.columns_top, -1, -1, kNavy, false};
    }
    cells_["ComboBox2"].left = 840;
    cells_["ComboBox7"] = {"", kActionListLeft, place_.columns_top, -1, -1, kNavy, false};
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        cells_[MarkName(place_.operation, column)] = {"", -1, kMarkTop, kColumnWidth, kMarkHeight, kBlue, false};
        if (place_.operation == Operation::Subtraction)
            cells_[StrikeName(column)] = {"", -1, kStrikeTop, kColumnWidth, kStrikeHeight, kBlue, false};
    }
    cells_[kUpperZeros] = {"", -1, kUpperTop, kNumberWidth, kRowHeight, kImpliedZeroGrey, false};
    cells_[kLowerZeros] = {"", -1, kLowerTop, kNumberWidth, kRowHeight, kImpliedZeroGrey, false};
    ClearWorksheet();
}

void DecimalSheet::ClearWorksheet() {
    problem_ = {};
    answer_digits_ = {};
    entered_answer_ = 0;
    // Only labels this worksheet holds: those the screen owns elsewhere (a
    // drill's question number and score line) keep what their owner wrote.
    for (int n = 3; n <= 11; ++n) {
        if (cells_.has(LabelName(n))) cells_[LabelName(n)].text.clear();
    }
    HideEntryLists();
    ShowLine(false);
    ResetFigures(0);
}

void DecimalSheet::ShowLine(bool shown) {
    cells_["Shape1"].visible = shown;
    cells_["Paper1"].visible = shown;
}

void DecimalSheet::ResetFigures(int places) {
    worked_columns_ = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        const int left = IsDecimalPlaces(places) ? FigureColumnLeft(places, FromPoint(column)) : -1;
        Cell& mark = cells_[MarkName(place_.operation, column)];
        mark.text.clear();
        mark.visible = false;
        mark.left = left;
        if (place_.operation == Operation::Subtraction) {
            Cell& strike = cells_[StrikeName(column)];
            strike.visible = false;
            strike.left = left;
        }
    }
    for (const char* name : {kUpperZeros, kLowerZeros}) {
        cells_[name].text.clear();
        cells_[name].visible = false;
    }
}

void DecimalSheet::HideEntryLists() {
    for (int n = 2; n <= 7; ++n) cells_["ComboBox" + std::to_string(n)].visible = false;
}

void DecimalSheet::ClearNumbers() {
    for (const std::string& name : {std::string("Label5"), std::string("Label6"),
                                    std::string("Label7"), place_.operator_label}) {
        cells_[name].text.clear();
    }
    ShowLine(false);
    ResetFigures(problem_.places);
    ended_ = true;
}

bool DecimalSheet::Draw(RandomSource& random, int places) {
    if (!IsDecimalPlaces(places)) return false;
    SetProblem(DrawProblem(place_.operation, random, places));
    return true;
}

void DecimalSheet::SetProblem(const DecimalProblem& problem) {
    const int places = problem.places;
    if (!IsDecimalPlaces(places)) return;
    problem_ = problem;
    ended_ = false;
    const DecimalText first = FormatDecimal(problem_.first_operand, places);
    const DecimalText second = FormatDecimal(problem_.second_operand, places);
    const DecimalText result = FormatDecimal(problem_.correct_result, places);
    first_operand_text_ = first.text;
    second_operand_text_ = second.text;
    result_text_ = result.text;
    trailing_zeros_ = result.trailing_zeros;

    Cell& upper = cells_["Label5"];
    upper.text = first_operand_text_;
    upper.left = OperandLeft(places, first.trailing_zeros);
    Cell& lower = cells_["Label6"];
    lower.text = second_operand_text_;
    lower.left = OperandLeft(places, second.trailing_zeros);
    cells_["Label7"].left = kAnswerLeft;
    ResetFigures(places);
}

bool DecimalSheet::GenerateProblem(RandomSource& random, int menu_choice) {
    if (!Draw(random, menu_choice)) return false;
    ResetEntryLists();
    return true;
}

void DecimalSheet::ShowOperator() {
    cells_[place_.operator_label].text = OperatorSign(place_.operation);
    ShowLine(true);
}

void DecimalSheet::ResetEntryLists() {
    ++entry_lists_resets_;
    const ColumnLayout layout = ColumnsFor(problem_.places);
    const int lefts[kColumnCount] = {layout.tens, layout.ones, layout.tenths, layout.hundredths,
                                     layout.thousandths};
    for (int c = 0; c < kColumnCount; ++c) {
        Cell& list = cells_[ListName(static_cast<Column>(c))];
        list.visible = lefts[c] >= 0;
        if (lefts[c] >= 0) list.left = lefts[c];
    }
    cells_["ComboBox7"].visible = has_problem();
    Cell& point = cells_["Label11"];
    point.text = kPointText;
    if (layout.point >= 0) point.left = layout.point;
}

void DecimalSheet::ShowRunningAnswer(Column column, int digit) {
    const int c = static_cast<int>(column);
    if (!takes_entries() || c < 0 || c >= kColumnCount || digit < 0 || digit > 9) return;
    answer_digits_[c] = digit;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    Cell& answer = cells_["Label7"];
    answer.text = RunningAnswerText(place_.operation, column, entered_answer_, problem_.places);
    answer.colour = kBlue;
    // The running text keeps all its decimals, so it stands where the draw put
    // it, also after a finished answer had been moved.
    answer.left = kAnswerLeft;
}

void DecimalSheet::WriteWorkedColumn(Column column, int digit) {
    const int c = static_cast<int>(column);
    if (!takes_entries() || c < 0 || c >= kColumnCount || digit < 0 || digit > 9) return;
    answer_digits_[c] = digit;
    worked_columns_ |= 1u << c;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    Cell& answer = cells_["Label7"];
    answer.text = WorkedColumnsText(answer_digits_, worked_columns_, problem_.places);
    answer.colour = kBlue;
    answer.left = kAnswerLeft;
}

void DecimalSheet::ShowMark(Column column, int figure) {
    const int c = static_cast<int>(column);
    if (!has_problem() || c < 0 || c >= kColumnCount || figure < 0 || figure > 9) return;
    Cell& mark = cells_[MarkName(place_.operation, column)];
    mark.text = std::to_string(figure);
    mark.visible = true;
    if (place_.operation == Operation::Subtraction) cells_[StrikeName(column)].visible = true;
}

void DecimalSheet::ShowImpliedZeros() {
    if (!has_problem()) return;
    const int p = problem_.places;
    const int first = WrittenDecimals(problem_.first_operand, p);
    const int second = WrittenDecimals(problem_.second_operand, p);
    const int decimals = std::max(first, second);
    if (decimals == 0) return;
    // Written after the number's last digit: the label ends at the column of
    // the last decimal place read.
    const int left = FigureColumnLeft(p, decimals) + kColumnWidth - kNumberWidth;
    for (const auto& [name, written] : {std::pair{kUpperZeros, first}, std::pair{kLowerZeros, second}}) {
        Cell& zeros = cells_[name];
        zeros.text = ImpliedZeros(written, decimals);
        zeros.visible = !zeros.text.empty();
        zeros.left = left;
    }
}

void DecimalSheet::ShowFinishedAnswer() {
    if (!takes_entries()) return;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    const DecimalText text = FormatDecimal(entered_answer_, problem_.places);
    trailing_zeros_ = text.trailing_zeros;
    Cell& answer = cells_["Label7"];
    answer.text = text.text;
    answer.left = FinishedAnswerLeft(problem_.places, text.trailing_zeros);
    answer.colour = kNavy;
}

std::string DecimalSheet::Equation(bool with_result) const {
    return EquationText(place_.operation, first_operand_text_, second_operand_text_,
                        with_result ? result_text_ : "?");
}

std::string DecimalSheet::LogProblemText() const {
    return decimals::LogProblemText(place_.operation, first_operand_text_, second_operand_text_);
}

std::string DecimalSheet::LogResultText() const { return " " + result_text_; }

std::string DecimalSheet::LogAnswerText() const {
    return " " + FormatDecimal(entered_answer_, problem_.places).text;
}

}  // namespace sorelka::decimals
