// Expressions worked with one mistake for the pupil to find: a buggy
// pupil's work on the calculation-rules worksheet, replayed, checked against
// the right work place by place, and shown as a pupil on paper leaves it.
#include <algorithm>
#include <iterator>

#include "rules/rules_cells.h"
#include "rules/rules_examples.h"

namespace sorelka::rules {

namespace {

using Part = RulesRole::Part;

// Problems drawn for one attempt until the case has a place in one: a case
// that fits few problems is tried as often as the rest.
constexpr int kProblemsPerAttempt = 20;

// All cells holding work on the finished worksheet, in reading and writing order.
std::vector<RulesRole> PlacesOn(const Worksheet& sheet) {
    std::vector<RulesRole> places;
    for (const RulesRole& role : RulesRolesInOrder())
        if (!RulesRoleText(sheet, role).empty()) places.push_back(role);
    return places;
}

int LastCalculation(const ExpressionProblem& p) {
    return p.IsBoxProblem() ? 1 : p.IsFourNumberProblem() ? 3 : 2;
}

// Where `role` stands in RulesRolesInOrder.
std::size_t Position(const RulesRole& role) {
    const std::vector<RulesRole>& order = RulesRolesInOrder();
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), role) - order.begin());
}

// A cell the pupil writes while working a calculation (not one the worksheet
// sets up): a result, a row, a quotient digit.
bool IsWritten(const RulesRole& role) {
    return role.part == Part::AddResult || role.part == Part::MulRow || role.part == Part::DivQuotient ||
           role.part == Part::DivRow;
}

// The places the wrong step wrote: for a calculation chosen wrongly, its
// sign and numbers where they differ from the right calculation's (the
// numbers stand in the same cells when + and − are confused); else the one
// place the diagnosis names.
std::vector<RulesRole> WrongStepPlaces(RulesBug bug, const RulesRole& wrong, const Worksheet& worked,
                                       const Worksheet& right) {
    if (bug != RulesBug::BoxOwnOperation) return {wrong};
    static const std::vector<RulesRole> kSetUps[] = {
        {{Part::AddSign}, {Part::AddTop}, {Part::AddBottom}},
        {{Part::MulSign}, {Part::MulTop}, {Part::MulBottom}},
        {{Part::DivDividend}, {Part::DivDivisor}},
    };
    for (const std::vector<RulesRole>& area : kSetUps) {
        if (std::find(area.begin(), area.end(), wrong) == area.end()) continue;
        std::vector<RulesRole> places;
        for (const RulesRole& role : area)
            if (!RulesRoleText(worked, role).empty() &&
                RulesPlaceText(worked, role) != RulesPlaceText(right, role))
                places.push_back(role);
        return places;
    }
    return {wrong};
}

// The work as a pupil on paper leaves it: the product of the tens added
// unshifted stands unshifted, under the product of the ones; and no row
// marker shows, since nothing is to be written next.
void AsOnPaper(RulesExample& work, RulesBug bug) {
    const auto redraw = [bug](Worksheet& sheet) {
        sheet[RulesKey({Part::MulMarker})].visible = false;
        sheet[RulesKey({Part::DivMarker})].visible = false;
        const std::string tens_row = RulesKey({Part::MulRow, 1});
        if (bug == RulesBug::MultiplicationShift && !sheet.at(tens_row).text.empty())
            sheet[tens_row].column = 0;  // in the ones column, as the product of the ones
    };
    redraw(work.start);
    for (auto& step : work.steps) redraw(step.sheet);
}

std::optional<RulesMistakeExample> TryMistake(int menu_choice, const ExpressionProblem& problem,
                                              const RulesBugCase& bug, int round) {
    if (!HasPlace(bug.bug, problem)) return std::nullopt;
    const RulesPupilWork work = WorkRulesAs(problem, bug.bug, round);
    if (!work.applied) return std::nullopt;
    const Diagnosis diagnosis = DiagnoseRules(problem, RulesWorkedRows(work.end));
    if (!diagnosis || diagnosis->kind != bug.kind || StepField(diagnosis->step, "kind") != bug.inner)
        return std::nullopt;
    const int calc = bug.bug == RulesBug::FirstResult || bug.bug == RulesBug::BoxOwnOperation
                         ? 1 : LastCalculation(problem);
    if (StepField(diagnosis->step, "calc") != std::to_string(calc)) return std::nullopt;
    const std::optional<RulesRole> wrong = RulesStepRole(diagnosis->step);
    if (!wrong) return std::nullopt;

    RulesMistakeExample example{.menu_choice = menu_choice,
                                .problem = problem,
                                .work = ReplayRules(problem, work.inputs),
                                .finding = *diagnosis,
                                .wrong = *wrong};
    AsOnPaper(example.work, bug.bug);
    const Worksheet& worked = example.work.end();
    const Worksheet right = WorkRulesAs(problem, RulesBug::None, 0).end;
    example.places = PlacesOn(worked);
    example.accepted = WrongStepPlaces(bug.bug, *wrong, worked, right);
    // Every place differs from the right work exactly where the mistake
    // explains it: the wrong step's places do, and so may the places the
    // pupil wrote after them; nothing else does.
    for (const RulesRole& place : example.places) {
        const bool differs = RulesPlaceText(worked, place) != RulesPlaceText(right, place);
        const bool accepted = example.Judge(place);
        if (accepted && !differs) return std::nullopt;
        if (accepted || !differs) continue;
        if (!IsWritten(place) || Position(place) < Position(*wrong)) return std::nullopt;
        example.follows.push_back(place);
    }
    if (example.accepted.empty() || example.accepted.front() != *wrong) return std::nullopt;
    return example;
}

// The cases that can show a mistake on a menu item: the kinds inside a
// calculation need a × or ÷ as the last one (never on menu 2, whose last
// calculation is a + or −), a wrong + or − result one as the last (never on
// menu 3), the choice of calculation a box problem.
std::vector<int> CasesFor(int menu_choice) {
    std::vector<int> cases;
    for (int c = 0; c < static_cast<int>(std::size(kRulesBugs)); ++c) {
        const RulesBug bug = kRulesBugs[c].bug;
        const bool inner = *kRulesBugs[c].inner != '\0';
        bool shown = false;
        switch (menu_choice) {
            case kParenthesesMenu: shown = bug != RulesBug::BoxOwnOperation; break;
            case kMixedMenu: shown = bug == RulesBug::FirstResult || bug == RulesBug::LastResult; break;
            case kTimesDividesMenu: shown = bug == RulesBug::FirstResult || inner; break;
            case kBoxMenu: shown = bug == RulesBug::BoxOwnOperation || inner; break;
            default: break;
        }
        if (shown) cases.push_back(c);
    }
    return cases;
}

std::vector<int> PreferredCases(const std::vector<int>& cases, const std::vector<std::string>& kinds) {
    std::vector<int> out;
    for (int c : cases)
        for (const std::string& kind : kinds)
            if (kind == kRulesBugs[c].kind || kind == kRulesBugs[c].inner) {
                out.push_back(c);
                break;
            }
    return out;
}

}  // namespace

std::vector<std::string> RulesMistakeKinds(int menu_choice) {
    std::vector<std::string> kinds;
    for (int c : CasesFor(menu_choice))
        if (std::find(kinds.begin(), kinds.end(), kRulesBugs[c].kind) == kinds.end())
            kinds.push_back(kRulesBugs[c].kind);
    return kinds;
}

std::optional<RulesMistakeExample> DrawRulesMistake(int menu_choice, RandomSource& random,
                                                    const std::vector<std::string>& preferred_kinds) {
    if (menu_choice < kParenthesesMenu || menu_choice > kBoxMenu) return std::nullopt;
    const std::vector<int> all = CasesFor(menu_choice);
    const auto attempt = [&](int c) -> std::optional<RulesMistakeExample> {
        for (int i = 0; i < kProblemsPerAttempt; ++i) {
            ExpressionProblem problem;
            GenerateProblem(menu_choice, random, problem, Variant::Practice);
            if (!HasPlace(kRulesBugs[c].bug, problem)) continue;
            return TryMistake(menu_choice, problem, kRulesBugs[c], random.Random(2));
        }
        return std::nullopt;
    };
    if (auto example = FirstPassingExample<RulesMistakeExample>(
            random, PreferredCases(all, preferred_kinds), all, attempt))
        return example;
    return RulesMistakeFallback(menu_choice);
}

RulesMistakeExample RulesMistakeFallback(int menu_choice) {
    // (23 + 45) × 12 with the sum 67; 12 + 3 × 4 with the product 11;
    // 84 ÷ 4 × 3 with the quotient 20; □ + 25 = 83 worked as 83 + 25.
    const auto problem = [](int menu, int kind, int a, int b, int c, int answer, const char* text) {
        ExpressionProblem p;
        p.problem_text = text;
        p.menu = menu;
        p.family_number = menu == kBoxMenu ? kind : 1;
        p.kind_code = menu == kBoxMenu ? 0 : kind;
        p.operand_a = a;
        p.operand_b = b;
        p.operand_c = c;
        p.expected_answer = answer;
        if (menu == kBoxMenu) {
            p.top_operand = b;
            p.bottom_operand = a;
        }
        return p;
    };
    struct Fixed {
        ExpressionProblem problem;
        RulesBug bug;
    };
    static const Fixed kFixed[] = {
        {problem(kParenthesesMenu, 63, 23, 45, 12, 816, "(23 + 45 ) x 12 = ?"), RulesBug::FirstResult},
        {problem(kMixedMenu, 13, 12, 3, 4, 24, "12 + 3 x 4 = ?"), RulesBug::FirstResult},
        {problem(kTimesDividesMenu, 93, 84, 4, 3, 63, "84 ÷ 4 x 3 = ?"), RulesBug::FirstResult},
        {problem(kBoxMenu, kAdd, 25, 83, 0, 58, "□ + 25 = 83"), RulesBug::BoxOwnOperation},
    };
    const Fixed& fixed = kFixed[std::clamp(menu_choice, 1, 4) - 1];
    for (const RulesBugCase& bug : kRulesBugs) {
        if (bug.bug != fixed.bug) continue;
        if (auto example = TryMistake(fixed.problem.menu, fixed.problem, bug, 0)) {
            example->fell_back = true;
            return *example;
        }
    }
    return {};  // not reached: the fixed examples pass their checks (tested)
}


}  // namespace sorelka::rules
