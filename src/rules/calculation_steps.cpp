#include "rules/calculation_steps.h"

#include <charconv>

namespace sorelka::rules {

namespace {

using Part = RulesRole::Part;

int DigitCount(int x) { return x >= 100 ? 3 : x >= 10 ? 2 : 1; }

// A result cell's text as a whole number; false when it holds none.
bool ReadNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0;
}

// The first character of a cell's text (a whole UTF-8 sequence).
std::string FirstCharacter(const std::string& text) {
    if (text.empty()) return text;
    std::size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
    return text.substr(0, n);
}

}  // namespace

CalculationSteps::CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks)
    : CalculationSteps(dialogs, cues, hooks, Options{}) {}

CalculationSteps::CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks,
                                   Options options)
    : dialogs_(dialogs), cues_(cues), hooks_(hooks), sheet_(options.with_mark) {
    ClearColumnArea();
}

void CalculationSteps::StartProblem(const ExpressionProblem& problem) {
    problem_ = problem;
    state_.phase = 1;
    state_.entry_row = 0;
    state_.operation_chosen = false;
    if (problem_.IsBoxProblem()) {
        state_.current_op = 0;
        hooks_.ShowPrompt(kChooseBoxCalculation);
        return;
    }
    SetUpFirstStep();
    state_.current_op = state_.first_op;
    if (state_.current_op == kMultiply) OrderFactors();
    ShowCalculation(state_.current_op);
    hooks_.ShowStepPrompt(1);
    state_.entry_row = 1;
}

void CalculationSteps::DropProblem() {
    problem_ = ExpressionProblem{};
    state_ = StepState{};
}

void CalculationSteps::SetUpFirstStep() {
    ExpressionProblem& p = problem_;
    if (p.IsBoxProblem()) {
        // Back to the box problem's own numbers, whatever an earlier choice
        // of calculation did to their order.
        p.top_operand = p.operand_b;
        p.bottom_operand = p.operand_a;
        state_.first_op = state_.second_op = state_.middle_op = 0;
        return;
    }
    const CalculationOrder order = OrderOf(p.kind_code);
    state_.first_op = order.first_op;
    state_.second_op = order.second_op;
    state_.middle_op = order.middle_op;
    if (order.first_on_left) {
        p.top_operand = p.operand_a;
        p.bottom_operand = p.operand_b;
    } else {
        p.top_operand = p.operand_b;
        p.bottom_operand = p.operand_c;
    }
}

void CalculationSteps::OrderFactors() {
    if (DigitCount(problem_.bottom_operand) > DigitCount(problem_.top_operand)) {
        std::swap(problem_.top_operand, problem_.bottom_operand);
    }
}

void CalculationSteps::ShowCalculation(int op) {
    sheet_.ShowCalculation(op, problem_.top_operand, problem_.bottom_operand);
}

void CalculationSteps::ClearColumnArea() {
    sheet_.ClearAreas();
    state_.thousands_digit = state_.hundreds_digit = state_.tens_digit = state_.ones_digit = 0;
    state_.entry_row = 0;
}

void CalculationSteps::ResetEntryLists() {
    state_.thousands_digit = state_.hundreds_digit = state_.tens_digit = state_.ones_digit = 0;
    hooks_.ShowEntryLists(problem_.IsBoxProblem());
}

void CalculationSteps::ChooseDigit(Place place, int digit) {
    if (digit < 0 || digit > 9) return;
    switch (place) {
        case Place::Ones: state_.ones_digit = digit; break;
        case Place::Tens: state_.tens_digit = digit; break;
        case Place::Hundreds: state_.hundreds_digit = digit; break;
        case Place::Thousands: state_.thousands_digit = digit; break;
        default: return;
    }
    StepState& s = state_;
    s.entered_value =
        1000 * s.thousands_digit + 100 * s.hundreds_digit + 10 * s.tens_digit + s.ones_digit;
    switch (s.current_op) {
        case kAdd:
        case kSubtract:
            sheet_.Write({Part::AddResult}, s.entered_value, kBlue);
            break;
        case kMultiply:
            if (s.entry_row >= 1 && s.entry_row <= 3)
                sheet_.Write({Part::MulRow, s.entry_row - 1}, s.entered_value, kBlue);
            break;
        case kDivide:
            WriteDivisionRow(s.entered_value);
            break;
        default:
            break;
    }
    hooks_.ShowStepPrompt(2);
    cues_.PlayCue(Cue::Choice);
}

void CalculationSteps::WriteDivisionRow(int value) {
    StepState& s = state_;
    Cell& quotient = sheet_[{Part::DivQuotient}];
    switch (s.entry_row) {
        case 1:
            sheet_.Write({Part::DivQuotient}, value, kBlue);
            s.quotient_place = 1;
            quotient.column = 0;
            if (value >= 10) {
                // A digit chosen in "十" or above stands over the tens place.
                quotient.text = FirstCharacter(quotient.text);
                quotient.column = 1;
                s.quotient_place = 2;
            }
            sheet_.PointMarker(Part::DivMarker, 0);
            break;
        case 2:
            sheet_.Write({Part::DivRow, 0}, value, kBlue);
            sheet_[{Part::DivRow, 0}].column = s.quotient_place == 1 ? 0 : 1;
            sheet_[{Part::DivLine, 1}].visible = true;
            sheet_.PointMarker(Part::DivMarker, 1);
            break;
        case 3:
            sheet_.Write({Part::DivRow, 1}, value, kBlue);
            sheet_.PointMarker(Part::DivMarker, 2);
            break;
        case 4:
            quotient.text = FirstCharacter(quotient.text) + std::to_string(value);
            quotient.colour = kBlue;
            quotient.column = 1;
            sheet_.PointMarker(Part::DivMarker, 0);
            break;
        case 5:
            sheet_.Write({Part::DivRow, 2}, value, kBlue);
            sheet_[{Part::DivLine, 2}].visible = true;
            sheet_.PointMarker(Part::DivMarker, 3);
            break;
        case 6:
            sheet_.Write({Part::DivRow, 3}, value, kBlue);
            sheet_.PointMarker(Part::DivMarker, 4);
            break;
        default:
            break;
    }
}

void CalculationSteps::ApplyAction(Action action) {
    switch (action) {
        case Action::Confirm: ConfirmRow(); break;
        case Action::Clear: UndoCalculation(); break;
        case Action::Finish: FinishCalculation(); break;
        case Action::Skip: break;  // nothing to skip on this worksheet
    }
}

void CalculationSteps::ChooseSeparator() { ConfirmedNavy(); }

void CalculationSteps::ConfirmedNavy() { sheet_[{Part::AddResult}].colour = kNavy; }

bool CalculationSteps::CalculationReady() {
    if (!has_problem()) {
        hooks_.ShowPrompt(kChooseMenu);
        return false;
    }
    if (problem_.IsBoxProblem() && !state_.operation_chosen) {
        hooks_.ShowPrompt(kChooseBoxCalculation);
        return false;
    }
    return true;
}

void CalculationSteps::ConfirmRow() {
    if (!CalculationReady()) return;
    StepState& s = state_;
    if (s.current_op < kMultiply) {
        dialogs_.ShowMessage(kFinishAdditionText);
        return;
    }
    if (s.current_op == kMultiply) {
        // Each row written navy where it was chosen; the marker moves on.
        if (s.entry_row >= 1 && s.entry_row <= 3) {
            sheet_.Write({Part::MulRow, s.entry_row - 1}, s.entered_value, kNavy);
            if (s.entry_row == 2) sheet_[{Part::MulSumLine}].visible = true;
            if (s.entry_row < 3) sheet_.PointMarker(Part::MulMarker, s.entry_row + 1);
        }
    } else {
        ConfirmDivisionRow();
    }
    ++s.entry_row;
    ResetEntryLists();
    hooks_.ShowStepPrompt(1);
    cues_.PlayCue(Cue::Choice);
    ConfirmedNavy();
}

void CalculationSteps::ConfirmDivisionRow() {
    // The row just written turns navy; the marker points at the next row to
    // write (the quotient's second digit after the first difference).
    struct Confirmed {
        RulesRole written;
        int line;  // the line shown under it, 0 for none
        int next_row;
    };
    static const Confirmed kRows[] = {{{Part::DivQuotient}, 0, 1}, {{Part::DivRow, 0}, 1, 2},
                                      {{Part::DivRow, 1}, 0, 0},   {{Part::DivQuotient}, 0, 3},
                                      {{Part::DivRow, 2}, 2, 4},   {{Part::DivRow, 3}, 0, -1}};
    const int row = state_.entry_row;
    if (row < 1 || row > 6) return;
    const Confirmed& c = kRows[row - 1];
    sheet_[c.written].colour = kNavy;
    if (c.line) sheet_[{Part::DivLine, c.line}].visible = true;
    if (c.next_row >= 0) sheet_.PointMarker(Part::DivMarker, c.next_row);
}

void CalculationSteps::ShowPendingSum(bool with_second) {
    sheet_.ShowPendingSum(state_.first_result,
                          with_second ? std::optional<int>(state_.second_result) : std::nullopt,
                          state_.middle_op);
}

void CalculationSteps::UndoCalculation() {
    if (!has_problem()) {
        hooks_.ShowPrompt(kChooseMenu);
        return;
    }
    const Answer answer = dialogs_.AskYesNo(kUndoQuestion);
    if (answer == Answer::Closed) return;  // closing the box changes nothing
    StepState& s = state_;
    if (answer == Answer::Yes) {
        if (problem_.menu == kMixedMenu && s.phase == 2) {
            sheet_.ClearAllButPendingSum();  // keep a pending first result in the addition area
        } else {
            ClearColumnArea();
        }
        if (s.current_op == kMultiply) OrderFactors();
        if (s.phase == 3 && problem_.IsFourNumberProblem()) {
            ShowPendingSum(true);
        } else {
            ShowCalculation(s.current_op);
        }
    } else {
        ClearColumnArea();
        s.phase = 1;
        SetUpFirstStep();
        s.current_op = s.first_op;
        s.operation_chosen = false;
        if (s.current_op == kMultiply) OrderFactors();
        if (problem_.IsBoxProblem()) {
            hooks_.ShowPrompt(kChooseBoxCalculation);
        } else {
            ShowCalculation(s.current_op);
        }
    }
    ResetEntryLists();
    s.entry_row = 0;
    hooks_.ShowStepPrompt(1);
    s.entry_row = 1;
    cues_.PlayCue(Cue::Choice);
    ConfirmedNavy();
}

std::optional<RulesRole> CalculationSteps::ResultRole() const {
    switch (state_.current_op) {
        case kAdd:
        case kSubtract:
            return RulesRole{Part::AddResult};
        case kMultiply:
            if (state_.entry_row == 1) return RulesRole{Part::MulRow, 0};
            if (state_.entry_row >= 3) return RulesRole{Part::MulRow, 2};
            return std::nullopt;
        case kDivide:
            return RulesRole{Part::DivQuotient};
        default:
            return std::nullopt;
    }
}

void CalculationSteps::FinishCalculation() {
    if (!CalculationReady()) return;
    StepState& s = state_;
    if (s.current_op == kMultiply && s.entry_row == 2) {
        dialogs_.ShowMessage(kConfirmFirstText);
        return;
    }
    const std::optional<RulesRole> cell = ResultRole();
    int result = 0;
    if (!cell || !ReadNumber(sheet_.at(*cell).text, result)) {
        dialogs_.ShowMessage(kChooseAnswerText);
        return;
    }
    sheet_[*cell].colour = kNavy;
    ConfirmedNavy();
    const ExpressionProblem& p = problem_;
    if (s.phase == 1) {
        s.first_result = result;
        if (p.IsFourNumberProblem()) {
            ClearColumnArea();
            ShowPendingSum(false);
            problem_.top_operand = p.operand_c;
            problem_.bottom_operand = p.operand_d;
            if (s.second_op == kMultiply) OrderFactors();
            ShowCalculation(s.second_op);
            s.current_op = s.second_op;
            s.entry_row = 0;
            ResetEntryLists();
            hooks_.ShowStepPrompt(1);
            s.entry_row = 1;
        } else {
            if (p.kind_code <= 49) {
                problem_.top_operand = p.operand_a;
                problem_.bottom_operand = s.first_result;
            } else {
                problem_.top_operand = s.first_result;
                problem_.bottom_operand = p.operand_c;
            }
            if (s.second_op == kMultiply) OrderFactors();
            ClearColumnArea();
            s.current_op = s.second_op;
            ShowCalculation(s.current_op);
            ResetEntryLists();
            s.entry_row = 1;
            hooks_.ShowStepPrompt(1);
        }
        s.phase = 2;
        cues_.PlayCue(Cue::Choice);
        return;
    }
    if (s.phase == 2) {
        s.second_result = result;
        if (p.IsFourNumberProblem()) {
            ClearColumnArea();
            ShowPendingSum(true);
            s.current_op = s.middle_op;
            ResetEntryLists();
            hooks_.ShowStepPrompt(1);
            s.phase = 3;
            cues_.PlayCue(Cue::Choice);
            return;
        }
        hooks_.JudgeAnswer();
        return;
    }
    s.second_result = result;  // phase 3: the sum or difference of the two results
    hooks_.JudgeAnswer();
}

void CalculationSteps::ChooseOperation(int op) {
    if (op < kAdd || op > kDivide) return;
    if (!problem_.IsBoxProblem()) return;  // the list belongs to box problems
    StepState& s = state_;
    s.current_op = op;
    s.operation_chosen = true;
    if (s.current_op == kMultiply) OrderFactors();
    ShowCalculation(s.current_op);
    s.phase = 2;
    s.entry_row = 1;
    ResetEntryLists();
    hooks_.ShowStepPrompt(1);
    cues_.PlayCue(Cue::Choice);
}

}  // namespace sorelka::rules
