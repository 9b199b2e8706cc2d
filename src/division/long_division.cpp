#include "division/long_division.h"

#include <algorithm>
#include <charconv>

#include "division/division_diagnosis.h"

namespace sorelka::division {

namespace {

constexpr const char* kDividend = "Label5";
constexpr const char* kDivisor = "Label6";
constexpr const char* kQuotient = "Label7";
constexpr const char* kProduct1 = "Label8";
constexpr const char* kDifference1 = "Label9";
constexpr const char* kProduct2 = "Label10";
constexpr const char* kDifference2 = "Label11";
constexpr const char* kProduct3 = "Label12";
constexpr const char* kDifference3 = "Label13";
constexpr const char* kDividendLine = "Shape1";
constexpr const char* kBracket = "Image2";
constexpr const char* kMarker = "Image3";

constexpr const char* kWorksheetLabels[] = {kDividend,    kDivisor,     kQuotient,
                                             kProduct1,    kDifference1, kProduct2,
                                             kDifference2, kProduct3,    kDifference3};
constexpr const char* kRowLabels[] = {kQuotient,    kProduct1, kDifference1, kProduct2,
                                      kDifference2, kProduct3, kDifference3};
constexpr const char* kLines[] = {"Shape1", "Shape2", "Shape3", "Shape4"};

// Left edge of a right-aligned 120-pixel row whose last digit stands in the
// ones (464), tens (434) or hundreds (404) column.
constexpr int kRowInOnes = kOnesRight - kRowWidth;
constexpr int kRowInTens = kRowInOnes - kColumnWidth;
constexpr int kRowInHundreds = kRowInTens - kColumnWidth;
// Where "飛ばし" puts the next difference and product rows.
constexpr int kRowAfterZero = kRowInOnes + 1;

// Left edge of the quotient label for its first digit in place p.
constexpr int QuotientLeft(int place) { return kOnesRight - place * kColumnWidth; }

constexpr int kQuotientTop = 184;
constexpr int kDividendTop = 232;
constexpr int kRowTops[] = {272, 320, 368, 408, 456, 504};  // rows 1..6
constexpr int kLineBelow = 39;  // a line's top below its product row's top
constexpr int kLineThickness = 3;
constexpr int kBracketWidth = 24;
constexpr int kBracketHeight = 50;
constexpr int kMarkerWidth = 36;
constexpr int kMarkerHeight = 28;

constexpr const char* kListHeadings[] = {"", "一", "十", "百", "千"};

std::string FirstChars(const std::string& text, std::size_t n) { return text.substr(0, n); }

std::string DropLastChars(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(0, text.size() - n) : std::string();
}

}  // namespace

std::string DigitListName(int place) { return "ComboBox" + std::to_string(place + 1); }

int QuotientFirstPlace(const Worksheet& sheet) {
    return (kOnesRight - sheet.at(kQuotient).left) / kColumnWidth;
}

WorkedRows DivisionWorkedRows(const Worksheet& sheet) {
    WorkedRows rows = WorkedRowsOf(sheet);
    const int dividend_digits = static_cast<int>(sheet.at(kDividend).text.size());
    for (WorkedCell& cell : rows)
        if (cell.name == kQuotient)
            cell.text = QuotientOverDividend(cell.text, QuotientFirstPlace(sheet), dividend_digits);
    return rows;
}

LongDivision::LongDivision(CuePlayer& cues, Dialogs& dialogs, RandomSource& random)
    : cues_(cues), dialogs_(dialogs), random_(random) {
    auto place = [this](const char* name, int left, int top, int width, int height) {
        Cell& c = sheet_[name];
        c.left = left;
        c.top = top;
        c.width = width;
        c.height = height;
        c.colour = kNavy;
    };
    const int five_digits_left = kOnesRight - 6 * kColumnWidth;
    place(kDividend, five_digits_left, kDividendTop, 6 * kColumnWidth, kRowHeight);
    place(kDivisor, five_digits_left - kBracketWidth - kRowWidth, kDividendTop, kRowWidth,
          kRowHeight);
    place(kQuotient, QuotientLeft(kHundreds), kQuotientTop, 5 * kColumnWidth, kRowHeight);
    for (int row = 0; row < 6; ++row)
        place(kRowLabels[row + 1], kRowInOnes, kRowTops[row], kRowWidth, kRowHeight);
    place(kDividendLine, five_digits_left, kDividendTop - 4, 6 * kColumnWidth, kLineThickness);
    for (int line = 1; line <= 3; ++line)
        place(kLines[line], kRowInOnes, kRowTops[2 * (line - 1)] + kLineBelow, kRowWidth,
              kLineThickness);
    place(kBracket, five_digits_left - kBracketWidth, kDividendTop - 4, kBracketWidth,
          kBracketHeight);
    place(kMarker, kMarkerLeft, kMarkerQuotient, kMarkerWidth, kMarkerHeight);
    for (int p = kOnes; p <= kThousands; ++p) sheet_[DigitListName(p)].text = kListHeadings[p];
    sheet_[kActionListName].text = " 処理";
    HideEntryLists();
    ClearWorksheet();
}

void LongDivision::EmptyWorksheet() {
    for (const char* name : kWorksheetLabels) sheet_[name].text.clear();
    for (const char* name : kLines) sheet_[name].visible = false;
    sheet_[kBracket].visible = false;
    sheet_[kMarker].visible = false;
}

void LongDivision::ClearWorksheet() {
    EmptyWorksheet();
    step_ = 0;
    zero_inserted_ = false;
    digits_.fill(0);
    entered_value_ = 0;
    // The rows written for the previous problem are gone, so nothing the
    // pupil wrote there may decide the judgement of the next one.
    entered_remainder_.reset();
    entered_quotient_.reset();
}

bool LongDivision::GenerateProblem(int menu_choice) {
    if (!division::GenerateProblem(menu_choice, random_, problem_)) return false;
    has_problem_ = true;
    return true;
}

void LongDivision::ShowProblem() {
    if (!has_problem_) return;
    const std::string dividend = std::to_string(problem_.dividend);
    sheet_[kDividend].text = dividend;
    sheet_[kDivisor].text = std::to_string(problem_.divisor);

    // The bracket and the line hug the dividend's first digit; the divisor
    // stands right before the bracket.
    const int first_column = kOnesRight - static_cast<int>(dividend.size()) * kColumnWidth;
    Cell& bracket = sheet_[kBracket];
    bracket.left = first_column - kBracketWidth + 2;
    bracket.visible = true;
    Cell& line = sheet_[kDividendLine];
    line.left = first_column - 6;
    line.width = kOnesRight + 6 - line.left;
    line.visible = true;
    sheet_[kDivisor].left = bracket.left - kRowWidth - 2;

    sheet_[kMarker].visible = true;
    MoveMarker(kMarkerQuotient);
}

void LongDivision::HideRowMarker() { sheet_[kMarker].visible = false; }

void LongDivision::ResetEntryLists() {
    digits_.fill(0);
    entered_value_ = 0;
    for (int p = kOnes; p <= kThousands; ++p) {
        Cell& list = sheet_[DigitListName(p)];
        list.text = kListHeadings[p];
        list.visible = true;
    }
    Cell& actions = sheet_[kActionListName];
    actions.text = " 処理";
    actions.visible = true;
    ++list_resets_;
}

void LongDivision::HideEntryLists() {
    for (int p = kOnes; p <= kThousands; ++p) sheet_[DigitListName(p)].visible = false;
    sheet_[kActionListName].visible = false;
}

bool LongDivision::NewProblem(int menu_choice) {
    GenerateProblem(menu_choice);
    if (!has_problem_) return false;
    ShowProblem();
    ResetEntryLists();
    BeginWriting();
    return true;
}

void LongDivision::NewProblem(const DivisionProblem& problem) {
    problem_ = problem;
    has_problem_ = true;
    ShowProblem();
    ResetEntryLists();
    BeginWriting();
}

int LongDivision::digit(int place) const {
    return place >= kOnes && place <= kThousands ? digits_[place] : 0;
}

DigitOutcome LongDivision::ChooseDigit(int place, int digit) {
    if (place < kOnes || place > kThousands || digit < 0 || digit > 9)
        return DigitOutcome::Ignored;
    digits_[place] = digit;
    entered_value_ = digits_[4] * 1000 + digits_[3] * 100 + digits_[2] * 10 + digits_[1];
    const std::string value = std::to_string(entered_value_);
    Cell& quotient = sheet_[kQuotient];

    DigitOutcome outcome = DigitOutcome::Written;
    switch (step_) {
        case 1:  // first quotient digit: the label starts in the column of its place
            quotient_place_ = place;
            if (place < kThousands) quotient.left = QuotientLeft(place);
            if (entered_value_ >= 100)
                WriteRow(kQuotient, DropLastChars(value, 2));
            else if (entered_value_ >= 10)
                WriteRow(kQuotient, DropLastChars(value, 1));
            else
                WriteRow(kQuotient, value);
            break;
        case 2:  // first product, its last digit under the first quotient digit
            if (quotient_place_ == kOnes) SetLeft(kProduct1, kRowInOnes);
            if (quotient_place_ == kTens) SetLeft(kProduct1, kRowInTens);
            if (quotient_place_ == kHundreds) SetLeft(kProduct1, kRowInHundreds);
            WriteRow(kProduct1, value);
            break;
        case 3:  // first difference with the digit brought down
            if (quotient_place_ == kOnes || quotient_place_ == kTens)
                SetLeft(kDifference1, kRowInOnes);
            if (quotient_place_ == kHundreds) SetLeft(kDifference1, kRowInTens);
            WriteRow(kDifference1, value);
            entered_remainder_ = entered_value_;
            break;
        case 4:  // second quotient digit
            if (place == kOnes && quotient_place_ == kHundreds) {
                // Hundreds then ones would leave the tens column empty.
                dialogs_.ShowMessage(kRefuseOnesText);
                ResetEntryLists();
                cues_.PlayCue(Cue::Choice);
                return DigitOutcome::Refused;
            }
            quotient_place_ = place;
            WriteRow(kQuotient, FirstChars(quotient.text, zero_inserted_ ? 2 : 1) +
                                    FirstChars(value, 1));
            break;
        case 5:  // second product
            if (quotient_place_ == kOnes) SetLeft(kProduct2, kRowInOnes);
            if (quotient_place_ == kTens) SetLeft(kProduct2, kRowInTens);
            WriteRow(kProduct2, value);
            break;
        case 6:  // second difference
            SetLeft(kDifference2, kRowInOnes);
            WriteRow(kDifference2, value);
            entered_remainder_ = entered_value_;
            break;
        case 7:  // third quotient digit
            quotient_place_ = place;
            WriteRow(kQuotient, FirstChars(quotient.text, 2) + value);
            break;
        case 8:  // third product, always in the ones column
            WriteRow(kProduct3, value);
            break;
        case 9:  // third difference, always in the ones column
            WriteRow(kDifference3, value);
            entered_remainder_ = entered_value_;
            break;
        default:  // no problem yet, or every row written
            outcome = DigitOutcome::NothingWritten;
            break;
    }
    cues_.PlayCue(Cue::Choice);
    return outcome;
}

ActionOutcome LongDivision::ApplyAction(int index) {
    switch (index) {
        case kConfirm: return Confirm();
        case kSkip: return Skip();
        case kClear: return Clear();
        case kFinish: return Finish();
        default: return {};
    }
}

ActionOutcome LongDivision::Confirm() {
    const int confirmed = step_;
    switch (step_) {
        case 1:
            ConfirmRow(kQuotient);
            MoveMarker(kMarkerTops[1]);
            break;
        case 2:
            ConfirmRow(kProduct1);
            MoveMarker(kMarkerTops[2]);
            ShowLineUnder("Shape2", kProduct1);
            break;
        case 3:
            ConfirmRow(kDifference1);
            MoveMarker(kMarkerQuotient);
            break;
        case 4:
            ConfirmRow(kQuotient);
            MoveMarker(kMarkerTops[3]);
            break;
        case 5:
            ConfirmRow(kProduct2);
            ShowLineUnder("Shape3", kProduct2);
            MoveMarker(kMarkerTops[4]);
            break;
        case 6:
            ConfirmRow(kDifference2);
            MoveMarker(kMarkerQuotient);
            break;
        case 7:
            ConfirmRow(kQuotient);
            MoveMarker(kMarkerTops[5]);
            break;
        case 8:
            ConfirmRow(kProduct3);
            MoveMarker(kMarkerTops[6]);
            ShowLineUnder("Shape4", kProduct3);
            break;
        case 9:
            ConfirmRow(kDifference3);
            break;
        default:
            break;
    }
    ++step_;
    ResetEntryLists();
    cues_.PlayCue(Cue::Step);
    return {ActionOutcome::Kind::Confirmed, confirmed};
}

ActionOutcome LongDivision::Skip() {
    sheet_[kQuotient].text += "0";
    // While the first difference is being written, the zero means one more
    // digit must be brought down: that difference is discarded and the next
    // one goes to the ones column. Later the zero can only be the quotient's
    // last digit, and the rows already written stay as they are.
    if (step_ <= 3) {
        sheet_[kDifference1].text.clear();
        SetLeft(kDifference1, kRowAfterZero);
        SetLeft(kProduct2, kRowAfterZero);
    }
    quotient_place_ = kOnes;
    zero_inserted_ = true;
    ResetEntryLists();
    cues_.PlayCue(Cue::Choice);
    return {ActionOutcome::Kind::Skipped, 0};
}

ActionOutcome LongDivision::Clear() {
    for (const char* name : kRowLabels) sheet_[name].text.clear();
    for (int line = 1; line <= 3; ++line) sheet_[kLines[line]].visible = false;
    MoveMarker(kMarkerQuotient);
    ResetEntryLists();
    step_ = 1;
    cues_.PlayCue(Cue::Step);
    return {ActionOutcome::Kind::Cleared, 0};
}

ActionOutcome LongDivision::Finish() {
    const std::string& text = sheet_.at(kQuotient).text;
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error == std::errc::invalid_argument || end != last) {
        dialogs_.ShowMessage(kNoQuotientText);
        return {ActionOutcome::Kind::FinishRefused, 0};
    }
    if (error == std::errc::result_out_of_range) {
        dialogs_.ShowMessage(kQuotientTooLongText);
        return {ActionOutcome::Kind::FinishRefused, 0};
    }
    entered_quotient_ = value;
    return {ActionOutcome::Kind::Finished, 0};
}

bool LongDivision::JudgeDivision() const {
    return entered_quotient_ == problem_.quotient && entered_remainder_ == problem_.remainder;
}

void LongDivision::WriteRow(const char* label, const std::string& text) {
    Cell& cell = sheet_[label];
    cell.text = text;
    cell.colour = kBlue;
}

void LongDivision::ConfirmRow(const char* label) { sheet_[label].colour = kNavy; }

void LongDivision::ShowLineUnder(const char* line, const char* label) {
    // The line spans the product's digits and a little more on each side.
    const Cell& row = sheet_.at(label);
    const int digits = std::max<int>(1, static_cast<int>(row.text.size()));
    const int right = row.left + kRowWidth;
    Cell& cell = sheet_[line];
    cell.left = right - digits * kColumnWidth - 4;
    cell.width = digits * kColumnWidth + 8;
    cell.visible = true;
}

void LongDivision::MoveMarker(int top) { sheet_[kMarker].top = top; }

void LongDivision::SetLeft(const char* label, int left) { sheet_[label].left = left; }

}  // namespace sorelka::division
