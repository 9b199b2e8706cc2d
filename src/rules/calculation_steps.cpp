#include "rules/calculation_steps.h"

#include <charconv>

namespace sorelka::rules {

namespace {

std::string L(int n) { return "Label" + std::to_string(n); }

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

const char* PendingSign(int middle_op) { return middle_op == kSubtract ? "-" : "+"; }

}  // namespace

CalculationSteps::CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks)
    : CalculationSteps(dialogs, cues, hooks, Options{}) {}

CalculationSteps::CalculationSteps(Dialogs& dialogs, CuePlayer& cues, StepHooks& hooks,
                                   Options options)
    : dialogs_(dialogs), cues_(cues), hooks_(hooks), options_(options) {
    PlaceCells();
    ClearColumnArea();
}

void CalculationSteps::PlaceCells() {
    const WorksheetLayout& g = options_.layout;
    const int w = g.number_width;
    const int h = g.row_height;
    const int sign_width = 52;
    auto place = [&](const std::string& name, int left, int top, int width, int height) {
        Cell& c = sheet_[name];
        c.left = left + g.dx;
        c.top = top + g.dy;
        c.width = width;
        c.height = height;
    };
    // Addition and subtraction.
    place("Label4", g.add_right - w, g.add_tops[0], w, h);
    place("Label5", g.add_right - w, g.add_tops[1], w, h);
    place("Label6", g.add_right - w, g.add_tops[2], w, h);
    place("Label7", g.add_right - w - sign_width, g.add_tops[1], sign_width, h);
    place("Shape1", g.add_right - w - sign_width, g.add_tops[1] + h + 1, w + sign_width, 3);
    // Multiplication.
    place("Label8", g.mul_right - w, g.mul_tops[0], w, h);
    place("Label9", g.mul_right - w, g.mul_tops[1], w, h);
    place("Label13", g.mul_right - w - sign_width, g.mul_tops[1], sign_width, h);
    place("Shape2", g.mul_right - w - sign_width, g.mul_tops[1] + h + 2, w + sign_width, 3);
    place("Label10", g.mul_right - w, g.mul_tops[2], w, h);
    place("Label11", g.mul_right - g.column - w, g.mul_tops[3], w, h);
    place("Shape3", g.mul_right - w - sign_width, g.mul_tops[4] - 3, w + sign_width, 3);
    place("Label12", g.mul_right - w, g.mul_tops[4], w, h);
    place("Image3", g.mul_marker_left, g.mul_marker_tops[0], g.marker_width, g.marker_height);
    // Division.
    const int line_left = g.divisor_right + g.column / 2;
    const int line_width = g.div_right - line_left;
    place("Label15", g.divisor_right - w, g.dividend_top, w, h);
    place("Image2", g.divisor_right, g.dividend_top - 4, g.column - 4, h + 6);
    place("Shape4", line_left, g.dividend_top - 4, line_width, 3);
    place("Label14", g.div_right - w, g.dividend_top, w, h);
    place("Label16", g.div_right - g.column, g.quotient_top, 5 * g.column, h);
    place("Label17", g.div_right - w, g.div_row_tops[0], w, h);
    place("Shape5", line_left, g.div_row_tops[1] - 1, line_width, 3);
    place("Label18", g.div_right - w, g.div_row_tops[1], w, h);
    place("Label19", g.div_right - w, g.div_row_tops[2], w, h);
    place("Shape6", line_left, g.div_row_tops[3] - 5, line_width, 3);
    place("Label20", g.div_right - w, g.div_row_tops[3], w, h);
    place("Image4", g.div_marker_left, g.div_marker_tops[0], g.marker_width, g.marker_height);
}

void CalculationSteps::WriteNumber(const std::string& cell, int value, Rgb colour) {
    Cell& c = sheet_[cell];
    c.text = std::to_string(value);
    c.colour = colour;
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
    const WorksheetLayout& g = options_.layout;
    const int top = problem_.top_operand;
    const int bottom = problem_.bottom_operand;
    switch (op) {
        case kAdd:
        case kSubtract:
            WriteNumber("Label4", top, kNavy);
            WriteNumber("Label5", bottom, kNavy);
            sheet_["Label7"].text = op == kAdd ? "＋" : "-";
            sheet_["Shape1"].visible = true;
            break;
        case kMultiply:
            WriteNumber("Label8", top, kNavy);
            WriteNumber("Label9", bottom, kNavy);
            sheet_["Label13"].text = "ｘ";
            sheet_["Shape2"].visible = true;
            sheet_["Image3"].visible = true;
            sheet_["Image3"].top = g.mul_marker_tops[0] + g.dy;
            break;
        case kDivide:
            WriteNumber("Label14", top, kNavy);
            WriteNumber("Label15", bottom, kNavy);
            sheet_["Image2"].visible = true;
            sheet_["Shape4"].visible = true;
            sheet_["Image4"].visible = true;
            sheet_["Image4"].top = g.div_marker_tops[0] + g.dy;
            break;
        default:
            break;
    }
}

void CalculationSteps::ClearColumnArea() {
    for (int n = 4; n <= options_.last_cleared_label; ++n) {
        Cell& c = sheet_[L(n)];
        c.text.clear();
        if (n <= 20) c.colour = kNavy;
    }
    for (int n = 1; n <= 6; ++n) sheet_["Shape" + std::to_string(n)].visible = false;
    for (int n = 2; n <= 4; ++n) sheet_["Image" + std::to_string(n)].visible = false;
    const WorksheetLayout& g = options_.layout;
    sheet_["Label16"].left = g.QuotientLeft(0);
    sheet_["Label17"].left = g.div_right - g.number_width + g.dx;
    state_.thousands_digit = state_.hundreds_digit = state_.tens_digit = state_.ones_digit = 0;
    state_.entry_row = 0;
}

void CalculationSteps::ResetEntryLists() {
    state_.thousands_digit = state_.hundreds_digit = state_.tens_digit = state_.ones_digit = 0;
    hooks_.ShowEntryLists(problem_.IsBoxProblem());
}

void CalculationSteps::EnterDigit(int place, int position) {
    if (position < 0 || position > 9) return;
    switch (place) {
        case 0: state_.ones_digit = position; break;
        case 1: state_.tens_digit = position; break;
        case 2: state_.hundreds_digit = position; break;
        case 3: state_.thousands_digit = position; break;
        default: return;
    }
    StepState& s = state_;
    s.entered_value =
        1000 * s.thousands_digit + 100 * s.hundreds_digit + 10 * s.tens_digit + s.ones_digit;
    const WorksheetLayout& g = options_.layout;
    const int value = s.entered_value;
    switch (s.current_op) {
        case kAdd:
        case kSubtract:
            WriteNumber("Label6", value, kBlue);
            break;
        case kMultiply:
            if (s.entry_row >= 1 && s.entry_row <= 3) WriteNumber(L(9 + s.entry_row), value, kBlue);
            break;
        case kDivide: {
            Cell& quotient = sheet_["Label16"];
            Cell& marker = sheet_["Image4"];
            switch (s.entry_row) {
                case 1:
                    WriteNumber("Label16", value, kBlue);
                    s.quotient_place = 1;
                    if (value < 10) {
                        quotient.left = g.QuotientLeft(0);
                    } else {
                        // A digit chosen in "十" or above stands over the tens place.
                        quotient.text = FirstCharacter(quotient.text);
                        quotient.left = g.QuotientLeft(1);
                        s.quotient_place = 2;
                    }
                    marker.top = g.div_marker_tops[0] + g.dy;
                    break;
                case 2:
                    WriteNumber("Label17", value, kBlue);
                    sheet_["Label17"].left =
                        g.div_right - g.number_width - (s.quotient_place == 1 ? 0 : g.column) + g.dx;
                    sheet_["Shape5"].visible = true;
                    marker.top = g.div_marker_tops[1] + g.dy;
                    break;
                case 3:
                    WriteNumber("Label18", value, kBlue);
                    marker.top = g.div_marker_tops[2] + g.dy;
                    break;
                case 4:
                    quotient.text = FirstCharacter(quotient.text) + std::to_string(value);
                    quotient.colour = kBlue;
                    quotient.left = g.QuotientLeft(1);
                    marker.top = g.div_marker_tops[0] + g.dy;
                    break;
                case 5:
                    WriteNumber("Label19", value, kBlue);
                    sheet_["Shape6"].visible = true;
                    marker.top = g.div_marker_tops[3] + g.dy;
                    break;
                case 6:
                    WriteNumber("Label20", value, kBlue);
                    marker.top = g.div_marker_tops[4] + g.dy;
                    break;
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
    hooks_.ShowStepPrompt(2);
    cues_.PlayCue(Cue::Choice);
}

void CalculationSteps::ChooseAction(int position) {
    switch (position) {
        case kConfirmAction: ConfirmRow(); break;
        case kUndoAction: UndoCalculation(); break;
        case kFinishAction: FinishCalculation(); break;
        case 1:
        case 3: ConfirmedNavy(); break;  // the spacers
        default: break;
    }
}

void CalculationSteps::ConfirmedNavy() { sheet_["Label6"].colour = kNavy; }

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
    const WorksheetLayout& g = options_.layout;
    if (s.current_op == kMultiply) {
        Cell& marker = sheet_["Image3"];
        switch (s.entry_row) {
            case 1:
                WriteNumber("Label10", s.entered_value, kNavy);
                marker.top = g.mul_marker_tops[1] + g.dy;
                break;
            case 2:
                WriteNumber("Label11", s.entered_value, kNavy);
                sheet_["Shape3"].visible = true;
                marker.top = g.mul_marker_tops[2] + g.dy;
                break;
            case 3:
                WriteNumber("Label12", s.entered_value, kNavy);
                break;
            default:
                break;
        }
    } else {
        Cell& marker = sheet_["Image4"];
        switch (s.entry_row) {
            case 1:
                sheet_["Label16"].colour = kNavy;
                marker.top = g.div_marker_tops[1] + g.dy;
                break;
            case 2:
                sheet_["Label17"].colour = kNavy;
                sheet_["Shape5"].visible = true;
                marker.top = g.div_marker_tops[2] + g.dy;
                break;
            case 3:
                sheet_["Label18"].colour = kNavy;
                marker.top = g.div_marker_tops[0] + g.dy;
                break;
            case 4:
                sheet_["Label16"].colour = kNavy;
                marker.top = g.div_marker_tops[3] + g.dy;
                break;
            case 5:
                sheet_["Label19"].colour = kNavy;
                sheet_["Shape6"].visible = true;
                marker.top = g.div_marker_tops[4] + g.dy;
                break;
            case 6:
                sheet_["Label20"].colour = kNavy;
                break;
            default:
                break;
        }
    }
    ++s.entry_row;
    ResetEntryLists();
    hooks_.ShowStepPrompt(1);
    cues_.PlayCue(Cue::Choice);
    ConfirmedNavy();
}

void CalculationSteps::ShowPendingSum(bool with_second) {
    WriteNumber("Label4", state_.first_result, kNavy);
    if (with_second) WriteNumber("Label5", state_.second_result, kNavy);
    sheet_["Label7"].text = PendingSign(state_.middle_op);
    sheet_["Shape1"].visible = true;
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
            // Keep a pending first result in the addition area.
            sheet_["Label6"].text.clear();
            for (int n = 8; n <= 20; ++n) {
                sheet_[L(n)].text.clear();
                sheet_[L(n)].colour = kNavy;
            }
            for (int n = 2; n <= 6; ++n) sheet_["Shape" + std::to_string(n)].visible = false;
            for (int n = 2; n <= 4; ++n) sheet_["Image" + std::to_string(n)].visible = false;
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

std::string CalculationSteps::ResultCell() const {
    switch (state_.current_op) {
        case kAdd:
        case kSubtract:
            return "Label6";
        case kMultiply:
            if (state_.entry_row == 1) return "Label10";
            if (state_.entry_row >= 3) return "Label12";
            return {};
        case kDivide:
            return "Label16";
        default:
            return {};
    }
}

void CalculationSteps::FinishCalculation() {
    if (!CalculationReady()) return;
    StepState& s = state_;
    if (s.current_op == kMultiply && s.entry_row == 2) {
        dialogs_.ShowMessage(kConfirmFirstText);
        return;
    }
    const std::string cell = ResultCell();
    int result = 0;
    if (cell.empty() || !ReadNumber(sheet_.at(cell).text, result)) {
        dialogs_.ShowMessage(kChooseAnswerText);
        return;
    }
    sheet_[cell].colour = kNavy;
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
    s.second_result = result;  // phase 3: the sum or difference in Label6
    hooks_.JudgeAnswer();
}

void CalculationSteps::ChooseOperation(int position) {
    if (position < 0 || position > 3) return;
    if (!problem_.IsBoxProblem()) return;  // the list belongs to box problems
    StepState& s = state_;
    s.current_op = position + 1;
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
