// A simulated class, to compare recommended practice with the menu's random
// draws: how many problems until a pupil's mistake is gone and mastery shows
// A on the skills it belongs to.
//
// Assumptions (printed beside the figures):
// - Each pupil has one or two buggy procedures of the diagnosis tests (two
//   in different topics), and works every other problem right.
// - A bug shows when it makes an answer wrong; the pupil is then shown the
//   diagnosis and loses the bug with probability 0.2. Nothing else teaches.
// - Twenty problems a day. A pupil with bugs in two topics alternates them.
// - Random practice: a menu item of the topic drawn uniformly, then the
//   item's ordinary draw. Recommended: the recommender within the topic (as
//   on the practice screen in recommended mode), starting from nothing.
// - Done for a bug: the bug is gone and every skill it shows weak is at A.
//
// Usage: simulated_class [--classes N] [--seed S] [--cap PROBLEMS]
// Classes of 40 pupils, 50 by default: one class has two to six pupils with
// each bug, too few for a median; fifty have about 140.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "coach/recommender.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_pupils.h"
#include "decimals/decimal_sheet.h"
#include "decimals/decimal_skills.h"
#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_skills.h"
#include "division/long_division.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_pupils.h"
#include "fractions/fraction_skills.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_skills.h"
#include "decimal_division/decimal_division_steps.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_skills.h"
#include "multiplication/multiplication_steps.h"
#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_skills.h"
#include "support/division_pupil.h"
#include "support/fakes.h"
#include "support/rules_pupil.h"

namespace sorelka::simulation {
namespace {

using coach::TopicProblem;
namespace dvp = testing::division_pupil;
namespace rp = testing::rules_pupil;
namespace decp = decimals::pupils;
namespace frp = fractions::pupils;

// ---- the bugs ----

enum class Bug {
    DivisionZero, DivisionProduct, DivisionDifference, DivisionBringDown, DivisionTooBig,
    Carry, KeepsLender, Swaps, ZeroLender,
    BoxOwnOperation, RulesDivisionProduct, RulesShift,
    TimesDenominator, ChangesDenominator, LeavesImproper,
    PointFromLeft, KeepsEndZeros, DoesNotShift,
    PointByOwnPlaces, RemainderWhole, StopsEarly,
};

struct SimulatedBug {
    Bug bug;
    const char* name;
    Topic topic;
    std::vector<std::string_view> skills;  // done when all are at A
    bool rare;
};

const std::vector<SimulatedBug>& Bugs() {
    namespace dv = division::skill;
    namespace dc = decimals::skill;
    namespace ru = rules::skill;
    namespace fr = fractions::skill;
    namespace mu = multiplication::skill;
    namespace dd = decimal_division::skill;
    static const std::vector<SimulatedBug> bugs = {
        {Bug::DivisionZero, "division: 0 left out of the quotient", Topic::Division, {dv::kZeroInQuotient}, true},
        {Bug::DivisionProduct, "division: product off by one", Topic::Division, {dv::kMultiply}, false},
        {Bug::DivisionDifference, "division: difference off by one", Topic::Division, {dv::kSubtract}, false},
        {Bug::DivisionBringDown, "division: digit not brought down", Topic::Division, {dv::kBringDown}, false},
        {Bug::DivisionTooBig, "division: quotient digit too big", Topic::Division,
         {dv::kEstimate, dv::kTwoDigitDivisor, dv::kThreeDigitDivisor}, false},
        {Bug::Carry, "decimal +: carry forgotten", Topic::DecimalAddition, {dc::kCarry}, false},
        {Bug::KeepsLender, "decimal -: lender kept", Topic::DecimalSubtraction,
         {dc::kBorrow, dc::kBorrowAcrossZero}, false},
        {Bug::Swaps, "decimal -: smaller from larger", Topic::DecimalSubtraction, {dc::kBorrow}, false},
        {Bug::ZeroLender, "decimal -: borrowing across a 0", Topic::DecimalSubtraction, {dc::kBorrowAcrossZero}, true},
        {Bug::BoxOwnOperation, "rules: box by its own operation", Topic::Rules,
         {ru::kBoxAddition, ru::kBoxSubtraction, ru::kBoxMultiplication, ru::kBoxDivision}, false},
        {Bug::RulesDivisionProduct, "rules: division product off by 1", Topic::Rules, {ru::kColumnDivision}, false},
        {Bug::RulesShift, "rules: x rows added unshifted", Topic::Rules, {ru::kColumnMultiplication}, false},
        {Bug::TimesDenominator, "fractions: whole not x denominator", Topic::Fractions,
         {fr::kImproperToMixed, fr::kMixedToImproper, fr::kHiddenNumerator}, false},
        {Bug::ChangesDenominator, "fractions: denominator changed", Topic::Fractions, {fr::kKeepDenominator}, false},
        {Bug::LeavesImproper, "fractions: left improper", Topic::Fractions, {fr::kImproperToMixed}, false},
        {Bug::PointFromLeft, "decimal x: point counted from the left", Topic::DecimalMultiplication, {mu::kPoint},
         false},
        {Bug::KeepsEndZeros, "decimal x: end 0s not struck", Topic::DecimalMultiplication, {mu::kEndZero}, true},
        {Bug::DoesNotShift, "decimal x: second row not shifted", Topic::DecimalMultiplication, {mu::kShiftedRow},
         false},
        {Bug::PointByOwnPlaces, "decimal /: point by own places only", Topic::DecimalDivision,
         {dd::kPoint}, false},
        {Bug::RemainderWhole, "decimal /: remainder read whole", Topic::DecimalDivision, {dd::kRemainder}, true},
        {Bug::StopsEarly, "decimal /: stops at the last digit", Topic::DecimalDivision, {dd::kDivideOn}, false},
    };
    return bugs;
}

// ---- one answer by a pupil with or without a bug ----

struct Worked {
    bool correct = true;
    std::string kind;
    std::string step;
};

class Workbench {
public:
    Workbench() : division_(cues_, dialogs_, scripted_), steps_(dialogs_, cues_, hooks_) { hooks_.steps = &steps_; }

    Worked Work(Topic topic, int menu, const TopicProblem& problem, const SimulatedBug* bug, std::mt19937& rng) {
        cues_.clear();
        dialogs_.shown.clear();
        switch (topic) {
            case Topic::Division: return Division(menu, std::get<division::DivisionProblem>(problem), bug);
            case Topic::DecimalAddition:
            case Topic::DecimalSubtraction:
                return Decimal(topic, std::get<decimals::DecimalProblem>(problem), bug, rng);
            case Topic::Rules: return Rules(std::get<rules::ExpressionProblem>(problem), bug, rng);
            case Topic::Fractions: return Fraction(menu, std::get<fractions::FractionProblem>(problem), bug);
            case Topic::DecimalMultiplication:
                return Multiplication(std::get<multiplication::MultiplicationProblem>(problem), bug, rng);
            case Topic::DecimalDivision:
                return DecimalDivision(std::get<decimal_division::DecimalDivisionProblem>(problem), bug, rng);
        }
        return {};
    }

private:
    static Worked From(bool correct, const Diagnosis& d) {
        if (correct || !d) return {correct, "", ""};
        return {false, d->kind, d->step};
    }

    // The worksheet of the division screens takes its problem from its draw:
    // the draws that give this one.
    Worked Division(int menu, const division::DivisionProblem& p, const SimulatedBug* bug) {
        using namespace division;
        const int kind_draw = menu == 2 ? (p.problem_kind - 1) * 3 : (p.problem_kind - 1) * 5;
        scripted_.Feed({kind_draw, p.dividend - DividendRange(menu, p.problem_kind).low,
                        p.divisor - DivisorRange(menu).low});
        division_.NewProblem(menu);
        std::optional<dvp::Entries> entries;
        if (bug) {
            static const std::map<Bug, dvp::Bug> kBugs = {
                {Bug::DivisionZero, dvp::Bug::ZeroMissing}, {Bug::DivisionProduct, dvp::Bug::Product},
                {Bug::DivisionDifference, dvp::Bug::Difference}, {Bug::DivisionBringDown, dvp::Bug::BringDown},
                {Bug::DivisionTooBig, dvp::Bug::TooBig}};
            for (int round = 1; round <= 3 && !entries; ++round) entries = dvp::Pupil(p, kBugs.at(bug->bug), round);
        }
        if (!entries) entries = dvp::Pupil(p, dvp::Bug::None, 0);
        dvp::Enter(division_, *entries);
        const bool right = IsRight(division_.JudgeDivision());
        return From(right, DiagnoseDivision(p, DivisionStoredRows(division_.worksheet())));
    }

    static decimals::AnswerDigits ZeroLender(const decimals::DecimalProblem& p) {
        // The diagnosis tests' lender that is not made smaller, only where it
        // is a 0: a 0 that lends 1 to its right neighbour stays 0.
        decimals::AnswerDigits digits{};
        int borrow = 0;
        for (int k = 0, a = p.first_operand, b = p.second_operand; k < p.places + 2; ++k, a /= 10, b /= 10) {
            const int top = a % 10 == 0 && borrow ? 0 : a % 10 - borrow;
            borrow = top < b % 10 ? 1 : 0;
            digits[1 + p.places - k] = top + 10 * borrow - b % 10;
        }
        return digits;
    }

    Worked Decimal(Topic topic, const decimals::DecimalProblem& p, const SimulatedBug* bug, std::mt19937& rng) {
        using namespace decimals;
        const Operation op = topic == Topic::DecimalAddition ? Operation::Addition : Operation::Subtraction;
        AnswerDigits digits{};
        if (bug && bug->bug == Bug::ZeroLender) {
            digits = ZeroLender(p);
        } else {
            decp::Pupil pupil = decp::Pupil::Right;
            if (bug && bug->bug == Bug::Carry) pupil = decp::Pupil::ForgetsCarry;
            if (bug && bug->bug == Bug::KeepsLender) pupil = decp::Pupil::KeepsLender;
            if (bug && bug->bug == Bug::Swaps) pupil = decp::Pupil::Swaps;
            digits = decp::Work(pupil, op, p, rng).digits;
        }
        const int entered = ReadAnswer(digits, p.places);
        return From(entered == p.correct_result, DiagnoseDecimalAnswer(op, p, entered));
    }

    Worked Rules(const rules::ExpressionProblem& p, const SimulatedBug* bug, std::mt19937& rng) {
        rp::Bug b = rp::Bug::None;
        if (bug && bug->bug == Bug::BoxOwnOperation) b = rp::Bug::BoxOwnOperation;
        if (bug && bug->bug == Bug::RulesDivisionProduct) b = rp::Bug::DivisionProduct;
        if (bug && bug->bug == Bug::RulesShift) b = rp::Bug::MultiplicationShift;
        if (!rp::HasPlace(b, p)) b = rp::Bug::None;
        hooks_.expected = p.expected_answer;
        hooks_.right = false;
        steps_.ClearColumnArea();
        if (!rp::Pupil(steps_, b, static_cast<int>(rng() % 2)).Work(p)) {
            steps_.ClearColumnArea();
            rp::Pupil(steps_, rp::Bug::None, 0).Work(p);
        }
        return From(hooks_.right, rules::DiagnoseRules(p, rules::RulesWorkedRows(steps_.worksheet())));
    }

    static Worked Fraction(int family, const fractions::FractionProblem& p, const SimulatedBug* bug) {
        using namespace fractions;
        frp::Pupil pupil = frp::Pupil::Right;
        if (bug && bug->bug == Bug::TimesDenominator) pupil = frp::Pupil::ForgetsTimesDenominator;
        if (bug && bug->bug == Bug::ChangesDenominator) pupil = frp::Pupil::ChangesDenominator;
        if (bug && bug->bug == Bug::LeavesImproper) pupil = frp::Pupil::LeavesImproper;
        const FractionEntry entry = frp::Work(pupil, family, p);
        const bool right = JudgePracticeAnswer(family, p, entry);
        return From(right, DiagnoseFractionEntry(family, Variant::Practice, p, entry));
    }

    // The pupil's work entered on the sheet and read back as the record keeps it.
    Worked Multiplication(const multiplication::MultiplicationProblem& p, const SimulatedBug* bug, std::mt19937& rng) {
        using namespace multiplication;
        MultiplicationPupil pupil = MultiplicationPupil::Right;
        if (bug && bug->bug == Bug::PointFromLeft) pupil = MultiplicationPupil::PointFromLeft;
        if (bug && bug->bug == Bug::KeepsEndZeros) pupil = MultiplicationPupil::KeepsEndZeros;
        if (bug && bug->bug == Bug::DoesNotShift) pupil = MultiplicationPupil::DoesNotShift;
        testing::SeededRandom where(static_cast<unsigned>(rng()));
        const MultiplicationWork work = WorkOf(pupil, p, where);
        multiplication_.StartProblem(p);
        for (const MultiplicationInput& input : InputsOf(work)) multiplication_.Feed(input);
        return From(IsRightWork(p, work), DiagnoseMultiplication(p, MultiplicationWorkedRows(multiplication_.cells())));
    }

    // The pupil's inputs entered on the sheet, judged at "終わり" and read back as the record keeps them.
    Worked DecimalDivision(const decimal_division::DecimalDivisionProblem& p, const SimulatedBug* bug,
                           std::mt19937& rng) {
        using namespace decimal_division;
        DecimalDivisionPupil pupil = DecimalDivisionPupil::Right;
        if (bug && bug->bug == Bug::PointByOwnPlaces) pupil = DecimalDivisionPupil::PointByOwnPlaces;
        if (bug && bug->bug == Bug::RemainderWhole) pupil = DecimalDivisionPupil::RemainderWhole;
        if (bug && bug->bug == Bug::StopsEarly) pupil = DecimalDivisionPupil::StopsEarly;
        testing::SeededRandom where(static_cast<unsigned>(rng()));
        const DecimalDivisionPupilCase c{pupil, division::DivisionBug::None, ""};
        const std::optional<DecimalDivisionInputs> inputs =
            pupil != DecimalDivisionPupil::Right && CanMakeMistake(c, p) ? InputsOf(c, p, where) : std::nullopt;
        decimal_division_.StartProblem(p);
        for (const DecimalDivisionInput& input : inputs ? *inputs : RightInputs(p)) decimal_division_.Feed(input);
        const bool right = IsRightWork(p, decimal_division_.work());
        return From(right, DiagnoseDecimalDivision(p, DecimalDivisionWorkedRows(decimal_division_.cells())));
    }

    testing::FakeCuePlayer cues_;
    testing::FakeDialogs dialogs_;
    testing::ScriptedRandom scripted_;
    multiplication::MultiplicationSteps multiplication_;
    decimal_division::DecimalDivisionSteps decimal_division_{cues_, dialogs_, scripted_};
    division::LongDivision division_;
    rp::Hooks hooks_;
    rules::CalculationSteps steps_;
};

// ---- one pupil practising ----

enum class Mode { Recommended, Random };

struct PupilResult {
    std::vector<int> problems;  // per bug: problems until done (the cap when never)
    int answers = 0;
    int right = 0;
};

PupilResult Practise(const std::vector<const SimulatedBug*>& bugs, Mode mode, unsigned seed, int cap,
                     Workbench& bench) {
    testing::SeededRandom random(seed);
    std::mt19937 rng(seed * 7919u + 1);
    // Whether a bug is lost at its 1st, 2nd … showing is drawn from a stream of
    // its own, the same in both ways of practising: the ways differ only in
    // the problems they give.
    std::bernoulli_distribution learns(0.2);
    std::vector<std::mt19937> showings;
    for (std::size_t i = 0; i < bugs.size(); ++i) showings.emplace_back(seed * 31u + static_cast<unsigned>(i));
    MasteryBook book;
    std::vector<bool> has(bugs.size(), true);
    PupilResult result;
    result.problems.assign(bugs.size(), 0);
    std::map<Topic, std::string> focus;
    std::vector<Topic> topics;
    for (const SimulatedBug* b : bugs) topics.push_back(b->topic);

    const DayNumber first_day = DayOf(LocalTime{2026, 4, 6});
    for (int n = 1; n <= cap; ++n) {
        const DayNumber today = first_day + (n - 1) / 20;
        const std::string day = DayText(today);
        const LocalTime at{std::stoi(day.substr(0, 4)), std::stoi(day.substr(5, 2)), std::stoi(day.substr(8, 2)),
                           9 + (n - 1) % 20 / 10, (n - 1) % 10 * 5, 0, 0, 540};
        const Topic topic = topics[n % topics.size()];
        int menu = 1;
        std::optional<TopicProblem> problem;
        if (mode == Mode::Recommended) {
            const coach::Recommendation rec =
                coach::Recommend(book.Of(0), coach::CoachRequest{today, topic, focus[topic]}, random);
            focus[topic] = rec.focus;
            menu = rec.menu_choice;
            problem = rec.problem;
        } else {
            menu = static_cast<int>(rng() % (topic == Topic::Rules                ? 4
                                             : topic == Topic::DecimalDivision ? decimal_division::kMenuItems
                                                                               : 3)) +
                   1;
            problem = coach::OrdinaryDraw(topic, menu, random);
        }
        const SimulatedBug* active = nullptr;
        std::size_t active_index = 0;
        for (std::size_t i = 0; i < bugs.size(); ++i)
            if (has[i] && bugs[i]->topic == topic) active = bugs[i], active_index = i;
        const Worked w = bench.Work(topic, menu, *problem, active, rng);
        ++result.answers;
        result.right += w.correct;
        if (active && !w.correct && learns(showings[active_index])) has[active_index] = false;
        book.Apply(0, coach::ObserveAnswer(topic, menu, *problem, w.correct, w.kind, w.step), at);

        bool all_done = true;
        for (std::size_t i = 0; i < bugs.size(); ++i) {
            if (result.problems[i]) continue;
            bool done = !has[i];
            for (std::string_view s : bugs[i]->skills) done = done && coach::ReachedA(book.Of(0), s);
            if (done) result.problems[i] = n;
            all_done = all_done && done;
        }
        if (all_done) return result;
    }
    for (int& p : result.problems)
        if (!p) p = cap;
    return result;
}

double Percentile(std::vector<int> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double at = q * (values.size() - 1);
    const std::size_t low = static_cast<std::size_t>(at);
    const std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (at - low) * (values[high] - values[low]);
}

}  // namespace
}  // namespace sorelka::simulation

int main(int argc, char** argv) {
    using namespace sorelka;
    using namespace sorelka::simulation;
    int classes = 50;
    unsigned seed = 1;
    int cap = 3000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--classes")) classes = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed")) seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--cap")) cap = std::atoi(argv[i + 1]);
    }
    constexpr int kPupils = 40;
    const std::vector<SimulatedBug>& bugs = Bugs();
    std::map<Bug, std::vector<int>> recommended, random_draws;
    std::map<Bug, int> capped_recommended, capped_random;
    long long answers[2] = {0, 0}, right[2] = {0, 0};
    Workbench bench;
    for (int c = 0; c < classes; ++c) {
        std::mt19937 class_rng(seed + 1000u * c);
        for (int p = 0; p < kPupils; ++p) {
            // Every bug in turn as a first bug; one pupil in two has a second
            // one, of another topic.
            std::vector<const SimulatedBug*> mine = {&bugs[(c * kPupils + p) % bugs.size()]};
            if (class_rng() % 2) {
                const SimulatedBug* second = &bugs[class_rng() % bugs.size()];
                while (second->topic == mine[0]->topic) second = &bugs[class_rng() % bugs.size()];
                mine.push_back(second);
            }
            const unsigned pupil_seed = seed * 100003u + c * 1009u + p;
            const PupilResult rec = Practise(mine, Mode::Recommended, pupil_seed, cap, bench);
            const PupilResult rnd = Practise(mine, Mode::Random, pupil_seed, cap, bench);
            answers[0] += rec.answers, right[0] += rec.right;
            answers[1] += rnd.answers, right[1] += rnd.right;
            for (std::size_t i = 0; i < mine.size(); ++i) {
                recommended[mine[i]->bug].push_back(rec.problems[i]);
                random_draws[mine[i]->bug].push_back(rnd.problems[i]);
                capped_recommended[mine[i]->bug] += rec.problems[i] >= cap;
                capped_random[mine[i]->bug] += rnd.problems[i] >= cap;
            }
        }
    }

    std::printf("Simulated class: %d class(es) of %d pupils, seed %u, at most %d problems a pupil.\n", classes,
                kPupils, seed, cap);
    std::printf("Assumptions: one or two buggy procedures of the diagnosis tests a pupil (two in different topics),\n"
                "every other problem right; a bug that makes an answer wrong is shown its diagnosis and is lost with\n"
                "probability 0.2; 20 problems a day; random = a uniformly drawn menu item of the topic and its ordinary\n"
                "draw; recommended = the recommender within the topic from nothing practised; done = the bug gone and\n"
                "every skill it shows weak at A.\n\n");
    std::printf("%-38s %5s | %21s | %21s | %s\n", "bug (problems until done)", "n", "recommended med  p90",
                "random med    p90", "median ratio");
    bool targets_met = true;
    for (const SimulatedBug& b : bugs) {
        const std::vector<int>& r = recommended[b.bug];
        const std::vector<int>& d = random_draws[b.bug];
        const double rm = Percentile(r, 0.5), dm = Percentile(d, 0.5);
        const double ratio = dm > 0 ? rm / dm : 0;
        const bool ok = b.rare ? ratio <= 1.0 / 3 : ratio <= 1.0;
        targets_met = targets_met && ok;
        std::printf("%-38s %5zu | %9.0f %9.0f%s | %9.0f %9.0f%s | %.2f%s%s\n", b.name, r.size(), rm,
                    Percentile(r, 0.9), capped_recommended[b.bug] ? "*" : " ", dm, Percentile(d, 0.9),
                    capped_random[b.bug] ? "*" : " ", ratio, b.rare ? " (rare: target <= 0.33)" : "",
                    ok ? "" : "  TARGET MISSED");
    }
    int capped = 0;
    for (const auto& [bug, n] : capped_recommended) capped += n;
    for (const auto& [bug, n] : capped_random) capped += n;
    if (capped) std::printf("\n* some pupils reached the cap of %d problems\n", cap);
    std::printf("Answers right: recommended %.1f %%, random %.1f %%\n", 100.0 * right[0] / std::max(1LL, answers[0]),
                100.0 * right[1] / std::max(1LL, answers[1]));
    std::printf("Targets %s\n", targets_met ? "met" : "MISSED");
    return 0;
}
