#include "decimals/decimal_sheet.h"

#include <algorithm>
#include <array>
#include <utility>

namespace sorelka::decimals {

namespace {

constexpr const char* kPointText = "小\r数\r点";

template <class Name>
std::array<std::string, kColumnCount> ByColumn(Name name) {
    std::array<std::string, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c) names[c] = name(static_cast<Column>(c));
    return names;
}

std::string Lower(const char* word) {
    std::string text = word;
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

}  // namespace

const std::string& ListRole(Column column) {
    static const auto kRoles = ByColumn([](Column c) { return "list " + Lower(ColumnWord(c)); });
    return kRoles[static_cast<int>(column)];
}

const std::string& MarkRole(Operation operation, Column column) {
    static const auto kCarries = ByColumn([](Column c) { return "carry " + Lower(ColumnWord(c)); });
    static const auto kBorrows = ByColumn([](Column c) { return "borrow " + Lower(ColumnWord(c)); });
    return (operation == Operation::Addition ? kCarries : kBorrows)[static_cast<int>(column)];
}

const std::string& StrikeRole(Column column) {
    static const auto kRoles = ByColumn([](Column c) { return "strike " + Lower(ColumnWord(c)); });
    return kRoles[static_cast<int>(column)];
}

DecimalSheet::DecimalSheet(SheetPlace place) : place_(place) {
    for (const char* number : {role::kUpper, role::kLower, role::kOperator}) cells_[number] = {};
    cells_[role::kLine] = {.colour = kRed, .visible = false};
    cells_[role::kPaper] = {.visible = false};
    cells_[role::kAnswer] = {.colour = kBlue};
    cells_[role::kPoint] = {};
    for (int c = 0; c < kColumnCount; ++c) cells_[ListRole(static_cast<Column>(c))] = {.visible = false};
    cells_[role::kActionList] = {.visible = false};
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        cells_[MarkRole(place_.operation, column)] = {.colour = kBlue, .visible = false};
        if (place_.operation == Operation::Subtraction)
            cells_[StrikeRole(column)] = {.colour = kBlue, .visible = false};
    }
    for (const char* zeros : {role::kUpperZeros, role::kLowerZeros})
        cells_[zeros] = {.colour = kImpliedZeroGrey, .visible = false};
    ClearWorksheet();
}

void DecimalSheet::ClearWorksheet() {
    problem_ = {};
    answer_digits_ = {};
    entered_answer_ = 0;
    for (const char* cleared : {role::kVerdict, role::kEquation, role::kUpper, role::kLower, role::kAnswer,
                                role::kOperator, role::kPoint}) {
        if (cells_.has(cleared)) cells_[cleared].text.clear();
    }
    HideEntryLists();
    ShowLine(false);
    ResetFigures();
}

void DecimalSheet::ShowLine(bool shown) {
    cells_[role::kLine].visible = shown;
    cells_[role::kPaper].visible = shown;
}

void DecimalSheet::ResetFigures() {
    worked_columns_ = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        Cell& mark = cells_[MarkRole(place_.operation, column)];
        mark.text.clear();
        mark.visible = false;
        if (place_.operation == Operation::Subtraction) cells_[StrikeRole(column)].visible = false;
    }
    for (const char* zeros : {role::kUpperZeros, role::kLowerZeros}) {
        cells_[zeros].text.clear();
        cells_[zeros].visible = false;
    }
}

void DecimalSheet::HideEntryLists() {
    for (int c = 0; c < kColumnCount; ++c) cells_[ListRole(static_cast<Column>(c))].visible = false;
    cells_[role::kActionList].visible = false;
}

void DecimalSheet::ClearNumbers() {
    for (const char* cleared : {role::kUpper, role::kLower, role::kAnswer, role::kOperator})
        cells_[cleared].text.clear();
    ShowLine(false);
    ResetFigures();
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

    Cell& upper = cells_[role::kUpper];
    upper.text = first_operand_text_;
    upper.column = first.trailing_zeros;
    Cell& lower = cells_[role::kLower];
    lower.text = second_operand_text_;
    lower.column = second.trailing_zeros;
    cells_[role::kAnswer].column = 0;
    cells_[role::kPoint].column = places;
    ResetFigures();
}

bool DecimalSheet::GenerateProblem(RandomSource& random, int menu_choice) {
    if (!Draw(random, menu_choice)) return false;
    ResetEntryLists();
    return true;
}

void DecimalSheet::ShowOperator() {
    cells_[role::kOperator].text = OperatorSign(place_.operation);
    ShowLine(true);
}

void DecimalSheet::ResetEntryLists() {
    ++entry_lists_resets_;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        cells_[ListRole(column)].visible = has_problem() && ColumnShown(column, problem_.places);
    }
    cells_[role::kActionList].visible = has_problem();
    cells_[role::kPoint].text = kPointText;
}

void DecimalSheet::ShowRunningAnswer(Column column, int digit) {
    const int c = static_cast<int>(column);
    if (!takes_entries() || c < 0 || c >= kColumnCount || digit < 0 || digit > 9) return;
    answer_digits_[c] = digit;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    Cell& answer = cells_[role::kAnswer];
    answer.text = RunningAnswerText(place_.operation, column, entered_answer_, problem_.places);
    answer.colour = kBlue;
    // The running text keeps all its decimals, so it ends in the last column,
    // also after a finished answer had been moved.
    answer.column = 0;
}

void DecimalSheet::WriteWorkedColumn(Column column, int digit) {
    const int c = static_cast<int>(column);
    if (!takes_entries() || c < 0 || c >= kColumnCount || digit < 0 || digit > 9) return;
    answer_digits_[c] = digit;
    worked_columns_ |= 1u << c;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    Cell& answer = cells_[role::kAnswer];
    answer.text = WorkedColumnsText(answer_digits_, worked_columns_, problem_.places);
    answer.colour = kBlue;
    answer.column = 0;
}

void DecimalSheet::ShowMark(Column column, int figure) {
    const int c = static_cast<int>(column);
    if (!has_problem() || c < 0 || c >= kColumnCount || figure < 0 || figure > 9) return;
    Cell& mark = cells_[MarkRole(place_.operation, column)];
    mark.text = std::to_string(figure);
    mark.visible = true;
    if (place_.operation == Operation::Subtraction) cells_[StrikeRole(column)].visible = true;
}

void DecimalSheet::ShowImpliedZeros() {
    if (!has_problem()) return;
    const int p = problem_.places;
    const int first = WrittenDecimals(problem_.first_operand, p);
    const int second = WrittenDecimals(problem_.second_operand, p);
    const int decimals = std::max(first, second);
    if (decimals == 0) return;
    // Written after the number's last digit: they end in the column of the
    // last decimal place read.
    for (const auto& [name, written] : {std::pair{role::kUpperZeros, first}, std::pair{role::kLowerZeros, second}}) {
        Cell& zeros = cells_[name];
        zeros.text = ImpliedZeros(written, decimals);
        zeros.visible = !zeros.text.empty();
        zeros.column = p - decimals;
    }
}

void DecimalSheet::ShowFinishedAnswer() {
    if (!takes_entries()) return;
    entered_answer_ = ReadAnswer(answer_digits_, problem_.places);
    const DecimalText text = FormatDecimal(entered_answer_, problem_.places);
    trailing_zeros_ = text.trailing_zeros;
    Cell& answer = cells_[role::kAnswer];
    answer.text = text.text;
    answer.column = text.trailing_zeros;
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
