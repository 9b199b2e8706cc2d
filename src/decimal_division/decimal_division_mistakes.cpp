#include <algorithm>
#include <iterator>

#include "core/quiet_services.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_examples.h"

// Answers worked with one mistake for the pupil to find: a drawn problem of
// the menu item worked by one of the buggy procedures, kept only when the
// diagnosis of its finished sheet names the procedure's own kind.
namespace sorelka::decimal_division {

namespace {

using Part = DecimalDivisionRole::Part;

// Whether a menu item's problems give the pupil's mistake a place: a
// remainder only in item 4, rounding only in item 5, dividing on from item
// 3, a point by the dividend's own places where 0s are written after a
// decimal dividend, a 0 inside the quotient not with a two-digit divisor
// (such quotients need a dividend beyond the item's).
bool Offers(int menu_choice, const DecimalDivisionPupilCase& pupil) {
    switch (pupil.pupil) {
        case DecimalDivisionPupil::RemainderWhole: return menu_choice == kRemainderMenu;
        case DecimalDivisionPupil::RoundsWrongPlace:
        case DecimalDivisionPupil::CutsOff: return menu_choice == kRoundedMenu;
        case DecimalDivisionPupil::StopsEarly: return menu_choice >= kDivideOnMenu;
        case DecimalDivisionPupil::PointByOwnPlaces:
            return menu_choice == kDivideOnMenu || menu_choice == kRoundedMenu;
        case DecimalDivisionPupil::LongDivision:
            return pupil.bug != division::DivisionBug::ZeroMissing || menu_choice != kTwoDigitMenu;
        default: return true;
    }
}

std::vector<int> CasesFor(int menu_choice) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kDecimalDivisionPupils)); ++c)
        if (Offers(menu_choice, kDecimalDivisionPupils[c])) cases.push_back(c);
    return cases;
}

// What a place shows, a point with the column it stands in: a point put
// elsewhere shows the same "." in another place.
std::string PlaceText(const Worksheet& sheet, const DecimalDivisionRole& role) {
    std::string text = DecimalDivisionRoleText(sheet, role);
    const char* point = role.part == Part::QuotientPoint    ? role::kQuotientPoint
                        : role.part == Part::RemainderPoint ? role::kRemainderPoint
                                                            : nullptr;
    if (point && !text.empty()) text += std::to_string(sheet.at(point).column);
    return text;
}

bool Among(const std::vector<DecimalDivisionRole>& roles, const DecimalDivisionRole& role) {
    return std::find(roles.begin(), roles.end(), role) != roles.end();
}

// The places a pupil may point at, in the order the diagnosis reads them:
// the 0s after the dividend, every cell of the long division written, the
// quotient's point, the ones 0, the remainder's point and the rounded row,
// written or not where the right work or the pupil's has them (a point left
// out is pointed at where it belongs).
std::vector<DecimalDivisionRole> PointablePlaces(const DecimalDivisionProblem& problem,
                                                 const DecimalDivisionExample& example,
                                                 const DecimalDivisionWork& right, const DecimalDivisionWork& work) {
    std::vector<DecimalDivisionRole> places;
    if (right.written_zeros > 0 || work.written_zeros > 0) places.push_back({Part::DividendZeros, {}});
    for (const DecimalDivisionRole& role : WrittenPlaces(example, DecimalDivisionRoleText))
        if (role.part == Part::Division) places.push_back(role);
    places.push_back({Part::QuotientPoint, {}});
    if (right.ones_zero || work.ones_zero) places.push_back({Part::OnesZero, {}});
    if (problem.ending == Ending::Remainder) places.push_back({Part::RemainderPoint, {}});
    if (problem.ending == Ending::Rounded) places.push_back({Part::Rounded, {}});
    return places;
}

std::optional<DecimalDivisionMistakeExample> TryMistake(int menu_choice, const DecimalDivisionProblem& problem,
                                                        const DecimalDivisionPupilCase& pupil,
                                                        RandomSource& random) {
    if (!CanMakeMistake(pupil, problem)) return std::nullopt;
    const std::optional<DecimalDivisionInputs> inputs = InputsOf(pupil, problem, random);
    if (!inputs) return std::nullopt;
    // The work's own diagnosis first: most failing draws fail here, before
    // any replay.
    const DecimalDivisionWork work = WorkOfInputs(problem, *inputs);
    const Diagnosis quick = DiagnoseDecimalDivisionWork(problem, work);
    if (!quick || quick->kind != pupil.kind) return std::nullopt;
    DecimalDivisionExample worked = ReplayDecimalDivision(problem, *inputs);
    const WorkedRows rows = DecimalDivisionWorkedRows(worked.end());
    const Diagnosis diagnosis = DiagnoseDecimalDivision(problem, rows);
    if (!diagnosis || diagnosis->kind != pupil.kind) return std::nullopt;
    const std::optional<DecimalDivisionRole> wrong = RoleOfStep(diagnosis->step, rows, problem);
    if (!wrong) return std::nullopt;
    const DecimalDivisionWork right_work = RightWork(problem);
    std::vector<DecimalDivisionRole> places = PointablePlaces(problem, worked, right_work, work);
    if (!Among(places, *wrong)) return std::nullopt;
    const Worksheet right = ReplayDecimalDivision(problem, RightInputs(problem)).end();
    // Every other place that differs from the right work follows from the
    // mistake: it comes later, worked on the pupil's own numbers. Places
    // the pupil left empty (the work stopped where the mistake showed) are
    // not compared.
    const auto wrong_at = std::find(places.begin(), places.end(), *wrong);
    std::vector<DecimalDivisionRole> follows;
    for (auto place = places.begin(); place != places.end(); ++place) {
        if (*place == *wrong || PlaceText(worked.end(), *place).empty() ||
            PlaceText(worked.end(), *place) == PlaceText(right, *place))
            continue;
        if (place < wrong_at) return std::nullopt;  // the work before the mistake is right
        follows.push_back(*place);
    }
    return DecimalDivisionMistakeExample{.menu_choice = menu_choice,
                                         .problem = problem,
                                         .work = std::move(worked),
                                         .finding = *diagnosis,
                                         .wrong = *wrong,
                                         .accepted = {*wrong},
                                         .follows = std::move(follows),
                                         .places = std::move(places)};
}

}  // namespace

std::vector<std::string> DecimalDivisionMistakeKinds(int menu_choice) {
    if (menu_choice < 1 || menu_choice > kMenuItems) return {};
    std::vector<std::string> kinds;
    for (int c : CasesFor(menu_choice)) kinds.push_back(kDecimalDivisionPupils[c].kind);
    return kinds;
}

std::optional<DecimalDivisionMistakeExample> DrawDecimalDivisionMistake(
    int menu_choice, RandomSource& random, const std::vector<std::string>& preferred_kinds) {
    if (menu_choice < 1 || menu_choice > kMenuItems) return std::nullopt;
    const std::vector<int> all = CasesFor(menu_choice);
    const auto attempt = [&](int c) -> std::optional<DecimalDivisionMistakeExample> {
        const std::optional<DecimalDivisionProblem> problem = DrawProblem(menu_choice, random);
        if (!problem) return std::nullopt;
        return TryMistake(menu_choice, *problem, kDecimalDivisionPupils[c], random);
    };
    if (auto example = FirstPassingExample<DecimalDivisionMistakeExample>(
            random, CasesOfKinds(kDecimalDivisionPupils, all, preferred_kinds), all, attempt))
        return example;
    return DecimalDivisionMistakeFallback(menu_choice);
}

DecimalDivisionMistakeExample DecimalDivisionMistakeFallback(int menu_choice) {
    // A 0 inside 6.12 ÷ 6 = 1.02 left out, the ones 0 of 8.64 ÷ 36 = 0.24,
    // 5.4 ÷ 4 stopped at 1.3, the remainder of 7.5 ÷ 4 read as 3, 2.5 ÷ 7
    // cut off at 0.35.
    struct Fixed {
        DecimalDivisionProblem problem;
        DecimalDivisionPupilCase pupil;
    };
    static constexpr Fixed kFixed[] = {
        {{612, 2, 6, Ending::Divides, 0, kOneDigitMenu},
         {DecimalDivisionPupil::LongDivision, division::DivisionBug::ZeroMissing, division::kZeroMissing}},
        {{864, 2, 36, Ending::Divides, 0, kTwoDigitMenu},
         {DecimalDivisionPupil::ForgetsOnesZero, division::DivisionBug::None, kOnesZeroMissing}},
        {{54, 1, 4, Ending::Divides, 0, kDivideOnMenu},
         {DecimalDivisionPupil::StopsEarly, division::DivisionBug::None, kStoppedEarly}},
        {{75, 1, 4, Ending::Remainder, 1, kRemainderMenu},
         {DecimalDivisionPupil::RemainderWhole, division::DivisionBug::None, kRemainderPoint}},
        {{25, 1, 7, Ending::Rounded, 2, kRoundedMenu},
         {DecimalDivisionPupil::CutsOff, division::DivisionBug::None, kRoundingCut}},
    };
    const Fixed& fixed = kFixed[std::clamp(menu_choice, 1, kMenuItems) - 1];
    NoDraws no_draws;
    std::optional<DecimalDivisionMistakeExample> example =
        TryMistake(std::clamp(menu_choice, 1, kMenuItems), fixed.problem, fixed.pupil, no_draws);
    if (!example) return {};  // not reached: the fixed examples pass their checks (tested)
    example->fell_back = true;
    return *example;
}

}  // namespace sorelka::decimal_division
