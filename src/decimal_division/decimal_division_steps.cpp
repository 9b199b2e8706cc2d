#include "decimal_division/decimal_division_steps.h"

#include <algorithm>
#include <string>

#include "core/number_text.h"
#include "division/division_bugs.h"
#include "division/division_cells.h"

namespace sorelka::decimal_division {

namespace {

using division::kQuotientRole;
using division::kRowRoles;

// The heading of the digit list of `column` in a problem worked to `places`
// decimal places: "一", "十", … left of the point, "1/10", "1/100" right of it.
std::string ListHeading(int column, int places) {
    static const char* const kWhole[] = {"一", "十", "百", "千"};
    const int place = column - (places + 1);
    if (place >= 0) return place < 4 ? kWhole[place] : "";
    return "1/" + std::to_string(Pow10(-place));
}

// The row (0 … 5) of the last difference written; none while none is.
std::optional<int> LastDifferenceRow(const Worksheet& sheet) {
    for (int row = 5; row >= 1; row -= 2)
        if (!sheet.at(kRowRoles[static_cast<std::size_t>(row)]).text.empty()) return row;
    return std::nullopt;
}

// The column of a row's last digit, a row shown "a hair right of" the ones
// counted as the ones.
int RowColumn(const Worksheet& sheet, int row) {
    return std::max(division::kOnes, sheet.at(kRowRoles[static_cast<std::size_t>(row)]).column);
}

}  // namespace

DecimalDivisionSteps::DecimalDivisionSteps(CuePlayer& cues, Dialogs& dialogs, RandomSource& random, Options options)
    : options_(options), cues_(cues), dialogs_(dialogs), division_(cues, dialogs, random) {
    rounded_.fill(-1);
    Render();
}

void DecimalDivisionSteps::StartProblem(const DecimalDivisionProblem& problem) {
    Forget(problem);
    has_problem_ = true;
    division_.ClearWorksheet();
    division_.NewProblem(WholeDivision(problem));
    Render();
}

void DecimalDivisionSteps::DropProblem() {
    Forget({});
    has_problem_ = false;
    division_.ClearWorksheet();
    division_.HideEntryLists();
    Render();
}

void DecimalDivisionSteps::Forget(const DecimalDivisionProblem& problem) {
    problem_ = problem;
    ended_ = false;
    written_zeros_ = 0;
    quotient_point_.reset();
    ones_zero_ = false;
    remainder_point_.reset();
    writing_rounded_ = false;
    rounded_.fill(-1);
    verdict_.reset();
    said_.clear();
    ++own_resets_;
}

void DecimalDivisionSteps::ClearNumbers() {
    ended_ = true;
    division_.EmptyWorksheet();
    Render();
}

bool DecimalDivisionSteps::has_problem() const { return has_problem_ && !ended_; }

bool DecimalDivisionSteps::takes_entries() const { return has_problem() && !verdict_; }

int DecimalDivisionSteps::list_resets() const { return division_.list_resets() + own_resets_; }

int DecimalDivisionSteps::LowestWritten() const { return 1 + WrittenZeros(problem_) - written_zeros_; }

void DecimalDivisionSteps::Say(const char* text) {
    said_ = text;
    cells_[role::kPrompt].text = text;
}

bool DecimalDivisionSteps::RefusedAt(int column) {
    if (column >= LowestWritten()) return false;
    dialogs_.ShowMessage(kAppendZeroText);
    division_.ResetEntryLists();
    cues_.PlayCue(Cue::Choice);
    Say(kAppendZeroText);
    Render();
    return true;
}

bool DecimalDivisionSteps::BringsDown() const {
    // The difference rows are written at the steps 3, 6 and 9, each under
    // its round's product; the first round divides the dividend's digits
    // down to the first quotient digit's column.
    const int step = division_.step();
    if (step != 3 && step != 6 && step != 9) return false;
    const Worksheet& sheet = division_.worksheet();
    const auto value = [&sheet](int row) {
        return WholeNumber(sheet.at(kRowRoles[static_cast<std::size_t>(row)]).text).value_or(-1);
    };
    const int product_row = 2 * (step / 3 - 1);
    const int product = value(product_row);
    const long long part = step == 3 ? WholeDivision(problem_).dividend /
                                           Pow10(std::max(0, division::QuotientFirstPlace(sheet) - 1))
                                     : value(product_row - 1);
    const int written = value(product_row + 1);
    return product >= 0 && part >= 0 && written >= 10 && written / 10 == part - product;
}

division::DigitOutcome DecimalDivisionSteps::ChooseDigit(Place place, int digit) {
    const int column = division::ColumnOf(place);
    if (!takes_entries() || column == 0 || digit < 0 || digit > 9) return division::DigitOutcome::Ignored;
    said_.clear();
    if (writing_rounded_) {
        rounded_[static_cast<std::size_t>(column)] = digit;
        cues_.PlayCue(Cue::Choice);
        Render();
        return division::DigitOutcome::Written;
    }
    // A quotient digit over a column the dividend does not show yet.
    const int step = division_.step();
    if ((step == 1 || step == 4 || step == 7) && RefusedAt(column)) return division::DigitOutcome::Refused;
    const division::DigitOutcome outcome = division_.ChooseDigit(place, digit);
    Render();
    return outcome;
}

std::optional<Verdict> DecimalDivisionSteps::ApplyAction(SheetAction action) {
    if (!has_problem()) return std::nullopt;
    if (verdict_) return action == SheetAction::Finish ? verdict_ : std::nullopt;
    said_.clear();
    const int places = WorkedPlaces(problem_);
    const std::string& quotient = division_.worksheet().at(kQuotientRole).text;
    const int first = division::QuotientFirstPlace(division_.worksheet());
    switch (action) {
        case SheetAction::Confirm:
            if (writing_rounded_) break;
            // A difference with a digit brought down that the dividend does not show yet.
            if (BringsDown() && RefusedAt(first - static_cast<int>(quotient.size()))) return std::nullopt;
            division_.ApplyAction(Action::Confirm);
            break;
        case SheetAction::Skip:
            if (writing_rounded_) break;
            // The 0 stands over the column after the quotient's last character.
            if (!quotient.empty() && RefusedAt(first - static_cast<int>(quotient.size()))) return std::nullopt;
            division_.ApplyAction(Action::Skip);
            break;
        case SheetAction::AppendZero:
            // One 0 more than the division needs is the pupil's to write.
            if (written_zeros_ > WrittenZeros(problem_)) {
                Say(kNoMoreZerosText);
                break;
            }
            ++written_zeros_;
            cues_.PlayCue(Cue::Choice);
            break;
        case SheetAction::OnesZero:
            if (!quotient.empty() && first > places) {
                Say(kOnesTakenText);
                break;
            }
            ones_zero_ = true;
            cues_.PlayCue(Cue::Choice);
            break;
        case SheetAction::StartRounded:
            if (problem_.ending != Ending::Rounded) {
                Say(kNotUsedText);
                break;
            }
            if (!writing_rounded_) {
                writing_rounded_ = true;
                division_.ResetEntryLists();
            }
            cues_.PlayCue(Cue::Step);
            break;
        case SheetAction::Clear:
            if (writing_rounded_) {
                // An empty rounded row gives the pen back to the division.
                bool any = false;
                for (const int digit : rounded_) any |= digit >= 0;
                if (!any) writing_rounded_ = false;
                rounded_.fill(-1);
                division_.ResetEntryLists();
                cues_.PlayCue(Cue::Step);
                break;
            }
            division_.ApplyAction(Action::Clear);
            quotient_point_.reset();
            ones_zero_ = false;
            remainder_point_.reset();
            ++own_resets_;
            break;
        case SheetAction::Finish: return Finish();
    }
    Render();
    return std::nullopt;
}

std::optional<Verdict> DecimalDivisionSteps::Finish() {
    if (division_.ApplyAction(Action::Finish).kind != division::ActionOutcome::Kind::Finished) {
        Say(division::kNoQuotientText);
        Render();
        return std::nullopt;
    }
    verdict_ = VerdictOf(IsRightWork(problem_, work()));
    Render();
    return verdict_;
}

void DecimalDivisionSteps::ChooseQuotientPoint(int places) {
    if (!takes_entries() || places < 1 || places > kPointItems) return;
    said_.clear();
    quotient_point_ = places;
    Render();
}

void DecimalDivisionSteps::ChooseRemainderPoint(int places) {
    if (!takes_entries() || places < 1 || places > kPointItems) return;
    said_.clear();
    if (problem_.ending != Ending::Remainder) {
        Say(kNotUsedText);
        ++own_resets_;
        Render();
        return;
    }
    remainder_point_ = places;
    Render();
}

std::optional<Verdict> DecimalDivisionSteps::Feed(const DecimalDivisionInput& input) {
    using What = DecimalDivisionInput::What;
    using DivisionWhat = division::DivisionInput::What;
    switch (input.what) {
        case What::Division: {
            if (writing_rounded_) return std::nullopt;
            const division::DivisionInput& in = input.division;
            switch (in.what) {
                case DivisionWhat::Skip: return ApplyAction(SheetAction::Skip);
                case DivisionWhat::Finish: return ApplyAction(SheetAction::Finish);
                case DivisionWhat::Digit: {
                    const division::DigitOutcome outcome = ChooseDigit(division::PlaceOfColumn(in.place), in.value);
                    if (outcome == division::DigitOutcome::Refused) {
                        // "十の位を選んでね！": chosen again in the tens; a 0 not yet written: not entered.
                        if (!said_.empty() || ChooseDigit(Place::Tens, in.value) == division::DigitOutcome::Refused)
                            return std::nullopt;
                    }
                    break;
                }
                case DivisionWhat::Number:
                case DivisionWhat::Tried: {
                    bool started = false;
                    for (int column = division::kThousands; column >= division::kOnes; --column) {
                        const int digit = static_cast<int>(in.value / Pow10(column - 1) % 10);
                        if (digit != 0 || started || column == division::kOnes) {
                            ChooseDigit(division::PlaceOfColumn(column), digit);
                            started = true;
                        }
                    }
                    if (in.what == DivisionWhat::Tried) return std::nullopt;  // left for "飛ばし" to clear
                    break;
                }
            }
            return ApplyAction(SheetAction::Confirm);
        }
        case What::AppendZero: return ApplyAction(SheetAction::AppendZero);
        case What::QuotientPoint: ChooseQuotientPoint(input.value); return std::nullopt;
        case What::RemainderPoint: ChooseRemainderPoint(input.value); return std::nullopt;
        case What::OnesZero: return ApplyAction(SheetAction::OnesZero);
        case What::StartRounded: return ApplyAction(SheetAction::StartRounded);
        case What::RoundedDigit:
            if (writing_rounded_) ChooseDigit(division::PlaceOfColumn(input.place), input.value);
            return std::nullopt;
        case What::Finish: return ApplyAction(SheetAction::Finish);
    }
    return std::nullopt;
}

DecimalDivisionWork DecimalDivisionSteps::work() const {
    DecimalDivisionWork work;
    const Worksheet& sheet = division_.worksheet();
    const division::DivisionProblem whole = WholeDivision(problem_);
    const int dividend_digits = static_cast<int>(std::to_string(whole.dividend).size());
    // The digits' work as the record keeps it, read back as the long division reads it.
    WorkedRows rows;
    const std::string& quotient = sheet.at(kQuotientRole).text;
    if (!quotient.empty())
        rows.push_back({division::StoredName(kQuotientRole),
                        division::QuotientOverDividend(quotient, division::QuotientFirstPlace(sheet), dividend_digits)});
    for (const char* row : kRowRoles)
        if (!sheet.at(row).text.empty()) rows.push_back({division::StoredName(row), sheet.at(row).text});
    work.division = division::WrittenDivisionOf(whole, rows);
    work.written_zeros = written_zeros_;
    // The marks stand on what they belong to: a point on a written quotient
    // or difference, the ones 0 where no quotient digit covers it.
    if (!quotient.empty()) work.quotient_point = quotient_point_;
    work.ones_zero = ones_zero_ && (quotient.empty() || division::QuotientFirstPlace(sheet) <= WorkedPlaces(problem_));
    if (LastDifferenceRow(sheet)) work.remainder_point = remainder_point_;
    work.rounded = RoundedColumns(rounded_, dividend_digits);
    return work;
}

void DecimalDivisionSteps::Render() {
    for (const auto& [name, cell] : division_.worksheet()) cells_[name] = cell;
    const bool numbers = has_problem();
    const int places = WorkedPlaces(problem_);
    const int ones = places + 1;  // the column of the dividend's ones
    const auto set = [this](const char* name, std::string text, bool visible, int column, int row, Rgb colour) {
        Cell& cell = cells_[name];
        cell.text = visible ? std::move(text) : std::string();
        cell.visible = visible;
        cell.column = column;
        cell.row = row;
        cell.colour = colour;
    };

    // The dividend as far as it is written: its own digits and the 0s after them.
    Cell& dividend = cells_[division::kDividendRole];
    if (numbers) {
        dividend.text = std::to_string(problem_.digits) + std::string(static_cast<std::size_t>(written_zeros_), '0');
        dividend.column = LowestWritten();
    }
    if (numbers)
        for (int c = division::kOnes; c <= division::kThousands; ++c)
            cells_[division::kDigitListRoles[static_cast<std::size_t>(c - 1)]].text = ListHeading(c, places);
    set(role::kDividendPoint, ".", numbers && (problem_.places > 0 || written_zeros_ > 0), ones, -1, kNavy);
    set(role::kDividendZeros, std::string(static_cast<std::size_t>(written_zeros_), '0'),
        numbers && written_zeros_ > 0, LowestWritten(), -1, kNavy);

    const DecimalDivisionWork written = work();
    const std::string& quotient = cells_.at(kQuotientRole).text;
    const int last = division::QuotientFirstPlace(cells_) - static_cast<int>(quotient.size()) + 1;
    const int point_column = last + quotient_point_.value_or(0);
    set(role::kQuotientPoint, ".", numbers && written.quotient_point.has_value(), point_column, 0, kNavy);
    set(role::kOnesZero, "0", numbers && written.ones_zero, ones, 0, kNavy);
    const std::optional<int> difference = LastDifferenceRow(cells_);
    set(role::kRemainderPoint, ".", numbers && written.remainder_point.has_value(),
        difference ? RowColumn(cells_, *difference) + remainder_point_.value_or(0) : -1,
        difference ? *difference + 1 : -1, kNavy);

    // The rounded row: its digits from the highest column written, a space
    // for a column left empty among them.
    int highest = 0;
    int lowest = 0;
    for (int c = 1; c <= kRoundedColumns; ++c)
        if (rounded_[static_cast<std::size_t>(c)] >= 0) {
            highest = c;
            if (lowest == 0) lowest = c;
        }
    std::string digits;
    for (int c = highest; c >= lowest && c > 0; --c) {
        const int digit = rounded_[static_cast<std::size_t>(c)];
        digits += digit >= 0 ? static_cast<char>('0' + digit) : ' ';
    }
    const bool rounded = numbers && highest > 0;
    set(role::kRounded, digits, rounded, highest, -1, verdict_ ? kNavy : kBlue);
    set(role::kRoundedPoint, ".", rounded && written.quotient_point.has_value(), point_column, -1, kNavy);
    const bool ones_written = ones >= 1 && ones <= kRoundedColumns && rounded_[static_cast<std::size_t>(ones)] >= 0;
    set(role::kRoundedOnesZero, "0", rounded && written.ones_zero && !ones_written, ones, -1, kNavy);

    // The point lists stand with the other lists.
    const bool lists = cells_.at(division::kActionListRole).visible;
    set(role::kPointList, "商の小数点", lists, -1, -1, kBlack);
    set(role::kRemainderPointList, "あまりの小数点", lists, -1, -1, kBlack);
    if (writing_rounded_) cells_[division::kMarkerRole].row = -1;
    // Once the answer is judged no row is being written.
    if (verdict_) cells_[division::kMarkerRole].visible = false;
    if (options_.with_mark) {
        Cell& verdict = cells_[role::kVerdict];
        verdict.text = numbers && verdict_ ? (IsRight(*verdict_) ? "○" : "×") : "";
    }
}

}  // namespace sorelka::decimal_division
