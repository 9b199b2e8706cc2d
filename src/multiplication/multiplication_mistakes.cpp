#include <algorithm>
#include <charconv>
#include <iterator>

#include "core/quiet_services.h"
#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_examples.h"

// Answers worked with one mistake for the pupil to find: a drawn problem of
// the menu item worked by one of the buggy procedures, kept only when the
// diagnosis of its finished sheet names the procedure's own kind.
namespace sorelka::multiplication {

namespace {

using Part = MultiplicationRole::Part;

// The buggy pupils whose mistakes a menu item's problems give a place: no
// rows to shift or add with a one-digit multiplier, no end 0s and no product
// below 1 outside item 3.
std::vector<int> CasesFor(int menu_choice) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kMultiplicationPupils)); ++c) {
        const MultiplicationPupil pupil = kMultiplicationPupils[c].pupil;
        const bool rows = pupil == MultiplicationPupil::DoesNotShift || pupil == MultiplicationPupil::RowSumSlip;
        const bool zeros = pupil == MultiplicationPupil::KeepsEndZeros || pupil == MultiplicationPupil::ForgetsOnesZero;
        if ((rows && menu_choice == kOneDigitMenu) || (zeros && menu_choice != kZerosMenu)) continue;
        cases.push_back(c);
    }
    return cases;
}

// The row of the roles and steps that holds the product: the sum under two
// rows, or the one row of a one-digit multiplier.
constexpr int kProductRow = 3;

int Number(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The place a diagnosis's step names: "row:N/column:C", "point",
// "ones_zero", "strikes".
std::optional<MultiplicationRole> RoleOfStep(std::string_view step) {
    if (step == "point") return MultiplicationRole{Part::Point, kProductRow, 0};
    if (step == "ones_zero") return MultiplicationRole{Part::OnesZero, kProductRow, 0};
    if (step == "strikes") return MultiplicationRole{Part::Strikes, kProductRow, 0};
    constexpr std::string_view kRow = "row:";
    constexpr std::string_view kColumn = "/column:";
    const std::size_t column = step.find(kColumn);
    if (!step.starts_with(kRow) || column == std::string_view::npos) return std::nullopt;
    return MultiplicationRole{Part::Digit, Number(step.substr(kRow.size(), column - kRow.size())),
                              Number(step.substr(column + kColumn.size()))};
}

// What a place shows, the point with the column it stands in: a point put
// elsewhere shows the same "." in another place.
std::string PlaceText(const Worksheet& sheet, const MultiplicationRole& role) {
    std::string text = MultiplicationRoleText(sheet, role);
    if (role.part == Part::Point && !text.empty()) text += std::to_string(sheet.at(role::kPoint).column);
    return text;
}

bool Among(const std::vector<MultiplicationRole>& roles, const MultiplicationRole& role) {
    return std::find(roles.begin(), roles.end(), role) != roles.end();
}

void AddOnce(std::vector<MultiplicationRole>& roles, const MultiplicationRole& role) {
    if (!Among(roles, role)) roles.push_back(role);
}

// The places a pupil may point at, in writing order: every digit written,
// then the point, the ones 0 and the strokes, written or not where the
// right work or the pupil's has them (a point left out is pointed at where
// it belongs).
std::vector<MultiplicationRole> PointablePlaces(const MultiplicationExample& example,
                                                const MultiplicationWork& right, const MultiplicationWork& work) {
    std::vector<MultiplicationRole> places;
    for (const MultiplicationRole& role : WrittenPlaces(example, MultiplicationRoleText))
        if (role.part == Part::Digit) places.push_back(role);
    places.push_back({Part::Point, kProductRow, 0});
    if (right.ones_zero || work.ones_zero) places.push_back({Part::OnesZero, kProductRow, 0});
    if (right.struck > 0 || work.struck > 0) places.push_back({Part::Strikes, kProductRow, 0});
    return places;
}

// Every place the wrong step wrote and got wrong: the digits of a row
// written in the wrong columns that differ from the right row's, else the
// wrong place alone.
std::vector<MultiplicationRole> AcceptedPlaces(const std::string& kind, const MultiplicationRole& wrong,
                                               const std::vector<MultiplicationRole>& places, const Worksheet& worked,
                                               const Worksheet& right) {
    std::vector<MultiplicationRole> accepted{wrong};
    if (kind == kRowNotShifted)
        for (const MultiplicationRole& place : places)
            if (place.part == Part::Digit && place.row == 2 && PlaceText(worked, place) != PlaceText(right, place))
                AddOnce(accepted, place);
    return accepted;
}

std::optional<MultiplicationMistakeExample> TryMistake(int menu_choice, const MultiplicationProblem& problem,
                                                       const MultiplicationPupilCase& pupil, RandomSource& random) {
    if (!CanMakeMistake(pupil.pupil, problem)) return std::nullopt;
    const MultiplicationWork work = WorkOf(pupil.pupil, problem, random);
    // The work's own diagnosis first: most failing draws fail here, before
    // any replay.
    const Diagnosis quick = DiagnoseMultiplicationWork(problem, work);
    if (!quick || quick->kind != pupil.kind) return std::nullopt;
    MultiplicationExample worked = ReplayMultiplication(problem, work);
    const Diagnosis diagnosis = DiagnoseMultiplication(problem, MultiplicationWorkedRows(worked.end()));
    if (!diagnosis || diagnosis->kind != pupil.kind) return std::nullopt;
    const std::optional<MultiplicationRole> wrong = RoleOfStep(diagnosis->step);
    if (!wrong) return std::nullopt;
    const MultiplicationWork right_work = RightWork(problem);
    std::vector<MultiplicationRole> places = PointablePlaces(worked, right_work, work);
    if (!Among(places, *wrong)) return std::nullopt;
    const Worksheet right = ReplayMultiplication(problem, right_work).end();
    std::vector<MultiplicationRole> accepted = AcceptedPlaces(diagnosis->kind, *wrong, places, worked.end(), right);
    // Every other place that differs from the right work follows from the
    // mistake: it comes later in the writing, worked on the pupil's numbers,
    // or it is the point that the 0s kept after it keep standing.
    const auto wrong_at = std::find(places.begin(), places.end(), *wrong);
    std::vector<MultiplicationRole> follows;
    for (auto place = places.begin(); place != places.end(); ++place) {
        if (Among(accepted, *place) || PlaceText(worked.end(), *place) == PlaceText(right, *place)) continue;
        const bool kept_point = pupil.pupil == MultiplicationPupil::KeepsEndZeros && place->part == Part::Point;
        if (place < wrong_at && !kept_point) return std::nullopt;  // not reached: the work before it is right
        follows.push_back(*place);
    }
    return MultiplicationMistakeExample{.menu_choice = menu_choice,
                                        .problem = problem,
                                        .work = std::move(worked),
                                        .finding = *diagnosis,
                                        .wrong = *wrong,
                                        .accepted = std::move(accepted),
                                        .follows = std::move(follows),
                                        .places = std::move(places)};
}

}  // namespace

std::vector<std::string> MultiplicationMistakeKinds(int menu_choice) {
    if (menu_choice < 1 || menu_choice > kMenuItems) return {};
    std::vector<std::string> kinds;
    for (int c : CasesFor(menu_choice)) kinds.push_back(kMultiplicationPupils[c].kind);
    return kinds;
}

std::optional<MultiplicationMistakeExample> DrawMultiplicationMistake(int menu_choice, RandomSource& random,
                                                                      const std::vector<std::string>& preferred_kinds) {
    if (menu_choice < 1 || menu_choice > kMenuItems) return std::nullopt;
    const std::vector<int> all = CasesFor(menu_choice);
    const auto attempt = [&](int c) -> std::optional<MultiplicationMistakeExample> {
        const std::optional<MultiplicationProblem> problem = DrawProblem(menu_choice, random);
        if (!problem) return std::nullopt;
        return TryMistake(menu_choice, *problem, kMultiplicationPupils[c], random);
    };
    if (auto example = FirstPassingExample<MultiplicationMistakeExample>(
            random, CasesOfKinds(kMultiplicationPupils, all, preferred_kinds), all, attempt))
        return example;
    return MultiplicationMistakeFallback(menu_choice);
}

MultiplicationMistakeExample MultiplicationMistakeFallback(int menu_choice) {
    // A carry forgotten in 2.37 × 6, row 2 not shifted in 3.6 × 24, the end 0
    // of 2.5 × 4 = 10.0 kept.
    struct Fixed {
        MultiplicationProblem problem;
        MultiplicationPupil pupil;
        const char* kind;
    };
    static constexpr Fixed kFixed[] = {
        {{237, 2, 6, kOneDigitMenu}, MultiplicationPupil::ForgetsCarry, kCarryMissing},
        {{36, 1, 24, kTwoDigitMenu}, MultiplicationPupil::DoesNotShift, kRowNotShifted},
        {{25, 1, 4, kZerosMenu}, MultiplicationPupil::KeepsEndZeros, kEndZeroKept},
    };
    const Fixed& fixed = kFixed[std::clamp(menu_choice, 1, kMenuItems) - 1];
    NoDraws no_draws;
    std::optional<MultiplicationMistakeExample> example =
        TryMistake(menu_choice, fixed.problem, {fixed.pupil, fixed.kind}, no_draws);
    if (!example) return {};  // not reached: the fixed examples pass their checks (tested)
    example->fell_back = true;
    return *example;
}

}  // namespace sorelka::multiplication
