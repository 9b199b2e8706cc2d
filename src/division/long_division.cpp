#include "division/long_division.h"

#include <charconv>

namespace sorelka::division {

namespace {

const char* Row(int row) { return kRowRoles[row]; }
constexpr const char* kQuotient = kQuotientRole;

constexpr const char* kListHeadings[] = {"一", "十", "百", "千"};  // columns 1..4
constexpr const char* kActionHeading = " 処理";

std::string FirstChars(const std::string& text, std::size_t n) { return text.substr(0, n); }

std::string DropLastChars(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(0, text.size() - n) : std::string();
}

}  // namespace

LongDivision::LongDivision(CuePlayer& cues, Dialogs& dialogs, RandomSource& random)
    : cues_(cues), dialogs_(dialogs), random_(random) {
    // The quotient begins over the hundreds, every row ends in the ones, the
    // marker points at the quotient row, until the pupil writes otherwise.
    sheet_[kQuotient].column = kHundreds;
    for (const char* role : kRowRoles) sheet_[role].column = kOnes;
    sheet_[kMarkerRole].row = 0;
    for (int c = kOnes; c <= kThousands; ++c) sheet_[kDigitListRoles[c - 1]].text = kListHeadings[c - 1];
    sheet_[kActionListRole].text = kActionHeading;
    HideEntryLists();
    ClearWorksheet();
}

void LongDivision::EmptyWorksheet() {
    for (const char* role : {kDividendRole, kDivisorRole, kQuotientRole}) sheet_[role].text.clear();
    for (const char* role : kRowRoles) sheet_[role].text.clear();
    sheet_[kDividendLineRole].visible = false;
    for (const char* role : kUnderlineRoles) sheet_[role].visible = false;
    sheet_[kBracketRole].visible = false;
    sheet_[kMarkerRole].visible = false;
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
    sheet_[kDividendRole].text = dividend;
    sheet_[kDivisorRole].text = std::to_string(problem_.divisor);

    // The bracket and the line hug the dividend's first digit; the divisor
    // stands right before the bracket.
    const int first_column = static_cast<int>(dividend.size());
    for (const char* role : {kBracketRole, kDividendLineRole, kDivisorRole}) sheet_[role].column = first_column;
    sheet_[kBracketRole].visible = true;
    sheet_[kDividendLineRole].visible = true;

    sheet_[kMarkerRole].visible = true;
    MoveMarker(0);
}

void LongDivision::HideRowMarker() { sheet_[kMarkerRole].visible = false; }

void LongDivision::ResetEntryLists() {
    digits_.fill(0);
    entered_value_ = 0;
    for (int c = kOnes; c <= kThousands; ++c) {
        Cell& list = sheet_[kDigitListRoles[c - 1]];
        list.text = kListHeadings[c - 1];
        list.visible = true;
    }
    Cell& actions = sheet_[kActionListRole];
    actions.text = kActionHeading;
    actions.visible = true;
    ++list_resets_;
}

void LongDivision::HideEntryLists() {
    for (const char* role : kDigitListRoles) sheet_[role].visible = false;
    sheet_[kActionListRole].visible = false;
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

int LongDivision::digit(Place place) const { return digits_[ColumnOf(place)]; }

DigitOutcome LongDivision::ChooseDigit(Place chosen, int digit) {
    const int place = ColumnOf(chosen);
    if (place == 0 || digit < 0 || digit > 9) return DigitOutcome::Ignored;
    digits_[place] = digit;
    entered_value_ = digits_[4] * 1000 + digits_[3] * 100 + digits_[2] * 10 + digits_[1];
    const std::string value = std::to_string(entered_value_);
    Cell& quotient = sheet_[kQuotient];

    DigitOutcome outcome = DigitOutcome::Written;
    switch (step_) {
        case 1:  // first quotient digit: the quotient starts over its column
            quotient_place_ = place;
            if (place < kThousands) quotient.column = place;
            if (entered_value_ >= 100)
                WriteRow(kQuotient, DropLastChars(value, 2));
            else if (entered_value_ >= 10)
                WriteRow(kQuotient, DropLastChars(value, 1));
            else
                WriteRow(kQuotient, value);
            break;
        case 2:  // first product, its last digit under the first quotient digit
            if (quotient_place_ < kThousands) SetColumn(Row(0), quotient_place_);
            WriteRow(Row(0), value);
            break;
        case 3:  // first difference with the digit brought down
            if (quotient_place_ == kOnes || quotient_place_ == kTens) SetColumn(Row(1), kOnes);
            if (quotient_place_ == kHundreds) SetColumn(Row(1), kTens);
            WriteRow(Row(1), value);
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
            if (quotient_place_ == kOnes || quotient_place_ == kTens) SetColumn(Row(2), quotient_place_);
            WriteRow(Row(2), value);
            break;
        case 6:  // second difference
            SetColumn(Row(3), kOnes);
            WriteRow(Row(3), value);
            entered_remainder_ = entered_value_;
            break;
        case 7:  // third quotient digit
            quotient_place_ = place;
            WriteRow(kQuotient, FirstChars(quotient.text, 2) + value);
            break;
        case 8:  // third product, always in the ones column
            WriteRow(Row(4), value);
            break;
        case 9:  // third difference, always in the ones column
            WriteRow(Row(5), value);
            entered_remainder_ = entered_value_;
            break;
        default:  // no problem yet, or every row written
            outcome = DigitOutcome::NothingWritten;
            break;
    }
    cues_.PlayCue(Cue::Choice);
    return outcome;
}

ActionOutcome LongDivision::ApplyAction(Action action) {
    switch (action) {
        case Action::Confirm: return Confirm();
        case Action::Skip: return Skip();
        case Action::Clear: return Clear();
        case Action::Finish: return Finish();
    }
    return {};
}

ActionOutcome LongDivision::Confirm() {
    const int confirmed = step_;
    // The row each step writes (-1 the quotient) and the marker's row after it;
    // a product's confirmation shows the line under it.
    static constexpr struct {
        int row;
        int marker;
    } kSteps[] = {{-1, 1}, {0, 2}, {1, 0}, {-1, 3}, {2, 4}, {3, 0}, {-1, 5}, {4, 6}, {5, -1}};
    if (step_ >= 1 && step_ <= 9) {
        const auto [row, marker] = kSteps[step_ - 1];
        ConfirmRow(row < 0 ? kQuotient : Row(row));
        if (row >= 0 && row % 2 == 0) sheet_[kUnderlineRoles[row / 2]].visible = true;
        if (marker >= 0) MoveMarker(marker);
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
        sheet_[Row(1)].text.clear();
        SetColumn(Row(1), kOnesAfterSkip);
        SetColumn(Row(2), kOnesAfterSkip);
    }
    quotient_place_ = kOnes;
    zero_inserted_ = true;
    ResetEntryLists();
    cues_.PlayCue(Cue::Choice);
    return {ActionOutcome::Kind::Skipped, 0};
}

ActionOutcome LongDivision::Clear() {
    sheet_[kQuotient].text.clear();
    for (const char* role : kRowRoles) sheet_[role].text.clear();
    for (const char* role : kUnderlineRoles) sheet_[role].visible = false;
    MoveMarker(0);
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

Verdict LongDivision::JudgeDivision() const {
    return VerdictOf(entered_quotient_ == problem_.quotient && entered_remainder_ == problem_.remainder);
}

void LongDivision::WriteRow(const char* role, const std::string& text) {
    Cell& cell = sheet_[role];
    cell.text = text;
    cell.colour = kBlue;
}

void LongDivision::ConfirmRow(const char* role) { sheet_[role].colour = kNavy; }

void LongDivision::MoveMarker(int row) { sheet_[kMarkerRole].row = row; }

void LongDivision::SetColumn(const char* role, int column) { sheet_[role].column = column; }

}  // namespace sorelka::division
