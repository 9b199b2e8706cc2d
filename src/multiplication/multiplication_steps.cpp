#include "multiplication/multiplication_steps.h"

#include <string>

namespace sorelka::multiplication {

namespace {

// The column of a digit list's place; none for the places right of the ones.
std::optional<int> ColumnOf(Place place) {
    switch (place) {
        case Place::Thousands: return 3;
        case Place::Hundreds: return 2;
        case Place::Tens: return 1;
        case Place::Ones: return 0;
        default: return std::nullopt;
    }
}

constexpr Place kPlaceOfColumn[kColumns] = {Place::Ones, Place::Tens, Place::Hundreds, Place::Thousands};

int DigitCount(int value) { return value >= 10 ? 2 : 1; }

}  // namespace

MultiplicationSteps::MultiplicationSteps() : MultiplicationSteps(Options{}) {}

MultiplicationSteps::MultiplicationSteps(Options options) : options_(options) { DropProblem(); }

void MultiplicationSteps::StartProblem(const MultiplicationProblem& problem) {
    problem_ = problem;
    work_ = {};
    if (problem.TwoDigitMultiplier()) work_.rows.assign(2, kEmptyRow);
    current_row_ = 0;
    verdict_.reset();
    ended_ = false;
    for (const char* carries : {role::kCarries1, role::kCarries2, role::kCarries3}) cells_[carries] = {};
    Render();
}

void MultiplicationSteps::DropProblem() {
    problem_ = {};
    work_ = {};
    current_row_ = 0;
    verdict_.reset();
    ended_ = false;
    for (const char* carries : {role::kCarries1, role::kCarries2, role::kCarries3}) cells_[carries] = {};
    Render();
}

void MultiplicationSteps::ClearNumbers() {
    ended_ = true;
    Render();
}

bool MultiplicationSteps::has_problem() const { return problem_.multiplier != 0 && !ended_; }

bool MultiplicationSteps::takes_entries() const { return has_problem() && !verdict_; }

bool MultiplicationSteps::on_product() const { return current_row_ == problem_.RowCount() - 1; }

void MultiplicationSteps::ChooseDigit(Place place, int digit) {
    const std::optional<int> column = ColumnOf(place);
    if (!takes_entries() || !column || digit < 0 || digit > 9) return;
    if (on_product()) {
        // The strokes and the ones 0 stood on the digits as they were.
        work_.product[static_cast<std::size_t>(*column)] = digit;
        work_.ones_zero = false;
        work_.struck = 0;
    } else {
        work_.rows[static_cast<std::size_t>(current_row_)][static_cast<std::size_t>(*column)] = digit;
    }
    Render();
}

std::optional<Verdict> MultiplicationSteps::ApplyAction(Action action) {
    if (!has_problem()) return std::nullopt;
    if (verdict_) return action == Action::Finish ? verdict_ : std::nullopt;
    switch (action) {
        case Action::Confirm:
            if (!on_product()) ++current_row_;
            break;
        case Action::Clear:
            if (on_product()) {
                work_.product = kEmptyRow;
                work_.point.reset();
                work_.ones_zero = false;
                work_.struck = 0;
            } else {
                work_.rows[static_cast<std::size_t>(current_row_)] = kEmptyRow;
            }
            break;
        case Action::Finish:
            verdict_ = VerdictOf(IsRightWork(problem_, work_));
            break;
        case Action::Skip:
            return std::nullopt;
    }
    Render();
    return action == Action::Finish ? verdict_ : std::nullopt;
}

void MultiplicationSteps::ChoosePoint(int places) {
    if (!takes_entries() || !on_product() || places < 1 || places > kColumns) return;
    // The ones 0 and the strokes belong to the point's old place.
    work_.point = places;
    work_.ones_zero = false;
    work_.struck = 0;
    Render();
}

void MultiplicationSteps::WriteOnesZero() {
    if (!takes_entries() || !on_product() || !work_.point || work_.ones_zero) return;
    int highest = -1;
    for (int c = 0; c < kColumns; ++c)
        if (work_.product[static_cast<std::size_t>(c)] != kEmpty) highest = c;
    if (highest < 0 || highest >= *work_.point) return;
    work_.ones_zero = true;
    Render();
}

void MultiplicationSteps::StrikeEndZero() {
    if (!takes_entries() || !on_product() || !work_.point) return;
    const int next = work_.struck;
    if (next >= *work_.point || next >= kColumns || work_.product[static_cast<std::size_t>(next)] != 0) return;
    ++work_.struck;
    Render();
}

std::optional<Verdict> MultiplicationSteps::Feed(const MultiplicationInput& input) {
    using What = MultiplicationInput::What;
    switch (input.what) {
        case What::Digit:
            if (input.column >= 0 && input.column < kColumns)
                ChooseDigit(kPlaceOfColumn[input.column], input.value);
            return std::nullopt;
        case What::Confirm: return ApplyAction(Action::Confirm);
        case What::Point: ChoosePoint(input.value); return std::nullopt;
        case What::OnesZero: WriteOnesZero(); return std::nullopt;
        case What::StrikeZero: StrikeEndZero(); return std::nullopt;
        case What::Clear: return ApplyAction(Action::Clear);
        case What::Finish: return ApplyAction(Action::Finish);
    }
    return std::nullopt;
}

void MultiplicationSteps::Render() {
    const bool numbers = has_problem();
    const bool two_rows = problem_.TwoDigitMultiplier();
    const auto set = [this](const char* name, std::string text, bool visible, int column, int row, Rgb colour) {
        Cell& cell = cells_[name];
        cell.text = visible ? std::move(text) : std::string();
        cell.visible = visible;
        cell.column = column;
        cell.row = row;
        cell.colour = colour;
    };
    // A row is blue while it is written, navy once confirmed or judged.
    const auto colour_of = [this](int row) { return row < current_row_ || verdict_ ? kNavy : kBlue; };
    const int product_row = problem_.RowCount();
    set(role::kMultiplicand, numbers ? MultiplicandText(problem_) : "", numbers, 0, -1, kNavy);
    set(role::kMultiplier, numbers ? std::to_string(problem_.multiplier) : "", numbers, 0, -1, kNavy);
    set(role::kSign, "×", numbers, DigitCount(problem_.multiplier), -1, kNavy);
    set(role::kLine, "", numbers, -1, -1, kNavy);
    for (int r = 0; r < 2; ++r) {
        const bool written = numbers && two_rows;
        set(r == 0 ? role::kRow1 : role::kRow2, written ? RowText(work_.rows[static_cast<std::size_t>(r)]) : "",
            written, 0, r + 1, colour_of(r));
    }
    set(role::kSumLine, "", numbers && two_rows, -1, two_rows ? 3 : -1, kNavy);
    set(role::kProduct, RowText(work_.product), numbers, 0, product_row, colour_of(product_row - 1));
    const int places = work_.point.value_or(0);
    // Once every decimal is struck the point goes with them: 10.0 → 10.
    set(role::kPoint, ".", numbers && work_.point && work_.struck < places, places, product_row, kNavy);
    set(role::kOnesZero, "0", numbers && work_.ones_zero, places, product_row, kNavy);
    std::string strokes;
    for (int i = 0; i < work_.struck; ++i) strokes += "／";
    set(role::kStrikes, strokes, numbers && work_.struck > 0, 0, product_row, kRed);
    set(role::kMarker, "", numbers && !verdict_, -1, current_row_ + 1, kRed);
    if (!numbers)
        for (const char* carries : {role::kCarries1, role::kCarries2, role::kCarries3}) cells_[carries].text.clear();
    if (options_.with_mark) {
        Cell& verdict = cells_[role::kVerdict];
        verdict.text = numbers && verdict_ ? (IsRight(*verdict_) ? "○" : "×") : "";
    }
}

}  // namespace sorelka::multiplication
