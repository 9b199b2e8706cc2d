#include "decimal_division/decimal_division_diagnosis.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "coach/recommender.h"
#include "coach/skill_catalogue.h"
#include "core/wide_digits.h"
#include "core/quiet_services.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_examples.h"
#include "decimal_division/decimal_division_problem.h"
#include "decimal_division/decimal_division_sheet.h"
#include "decimal_division/decimal_division_skills.h"
#include "decimal_division/decimal_division_steps.h"
#include "support/diagnosis_draws.h"
#include "support/example_checks.h"

namespace sorelka::decimal_division {
namespace {

using testing::SeededRandom;

// Two works hold the same writing (the long division's cells compared one by one).
void ExpectSameWork(const DecimalDivisionWork& a, const DecimalDivisionWork& b) {
    EXPECT_EQ(a.division.quotient, b.division.quotient);
    EXPECT_EQ(a.division.quotient_place, b.division.quotient_place);
    EXPECT_EQ(a.division.rows, b.division.rows);
    EXPECT_EQ(a.written_zeros, b.written_zeros);
    EXPECT_EQ(a.quotient_point, b.quotient_point);
    EXPECT_EQ(a.ones_zero, b.ones_zero);
    EXPECT_EQ(a.remainder_point, b.remainder_point);
    EXPECT_EQ(a.rounded, b.rounded);
}

// The sheet after `inputs` and "終わり", with the work it read.
struct OnSheet {
    WorkedRows rows;
    DecimalDivisionWork work;
};
OnSheet Entered(const DecimalDivisionProblem& problem, const DecimalDivisionInputs& inputs) {
    QuietContext quiet;
    DecimalDivisionSteps steps(quiet.ctx);
    steps.StartProblem(problem);
    for (const DecimalDivisionInput& input : inputs) steps.Feed(input);
    steps.Feed(DecimalDivisionInput::Of(DecimalDivisionInput::What::Finish));
    return {DecimalDivisionWorkedRows(steps.cells()), steps.work()};
}

// Every buggy pupil over thousands of drawn problems of every menu item is
// named with its own kind wherever the problem gives its mistake a place,
// and the right work is never named. Every finding has a step and ends with
// a true small fact. One problem in twenty goes through the sheet and its
// stored rows (the step machine is slow under the sanitizers), which read
// back into the work the inputs write; the rest straight to that work. The long division's pupils may write what another
// one's mistake writes too (a difference 0 for 1 with the one digit brought
// down reads as that digit not brought down): 99 % of theirs are named.
TEST(DecimalDivisionDiagnosisTest, EveryBuggyPupilIsNamedWithItsOwnKind) {
    SeededRandom random(38);
    testing::ConfusionTable table;
    std::map<std::string, int> applied;
    std::map<std::string, int> named;
    for (int i = 0; i < testing::kPropertyDraws; ++i) {
        const int menu = i % kMenuItems + 1;
        const DecimalDivisionProblem problem = *DrawProblem(menu, random);
        SCOPED_TRACE(StoredProblemText(problem));
        const bool on_sheet = i % 20 == 0;
        const auto diagnose = [&](const DecimalDivisionInputs& inputs) {
            const DecimalDivisionWork work = WorkOfInputs(problem, inputs);
            if (!on_sheet) return DiagnoseDecimalDivisionWork(problem, work);
            const OnSheet sheet = Entered(problem, inputs);
            ExpectSameWork(sheet.work, work);
            ExpectSameWork(WorkFromRows(sheet.rows, problem), work);
            return DiagnoseDecimalDivision(problem, sheet.rows);
        };
        if (on_sheet) ExpectSameWork(WorkOfInputs(problem, RightInputs(problem)), RightWork(problem));
        ASSERT_FALSE(diagnose(RightInputs(problem)));
        ASSERT_FALSE(diagnose(*InputsOf({DecimalDivisionPupil::Right, division::DivisionBug::None, ""}, problem, random)));
        for (const DecimalDivisionPupilCase& pupil : kDecimalDivisionPupils) {
            if (!CanMakeMistake(pupil, problem)) continue;
            const std::optional<DecimalDivisionInputs> inputs = InputsOf(pupil, problem, random);
            ASSERT_TRUE(inputs.has_value()) << pupil.kind;
            ASSERT_FALSE(IsRightWork(problem, WorkOfInputs(problem, *inputs))) << pupil.kind;
            ++applied[pupil.kind];
            const Diagnosis found = diagnose(*inputs);
            ASSERT_TRUE(found.has_value()) << pupil.kind;
            ++table[pupil.kind][found->kind];
            named[pupil.kind] += found->kind == pupil.kind;
            if (pupil.pupil != DecimalDivisionPupil::LongDivision) {
                // This topic's own kinds end with the whole calculation, a
                // remainder with its check ("…＝７．５").
                EXPECT_EQ(found->kind, pupil.kind);
                EXPECT_TRUE(found->explanation.ends_with(found->kind == kRemainderPoint
                                                             ? "＝" + WideText(DividendText(problem))
                                                             : WideFact(problem)))
                    << found->explanation;
            }
            EXPECT_FALSE(found->step.empty());
            EXPECT_NE(found->explanation.find("＝"), std::string::npos);
        }
    }
    testing::PrintConfusionTable("decimal division", table, applied);
    // Every pupil's mistake has a place in a good share of the draws of the
    // items that have it (the rounding pupils: one item in five).
    for (const DecimalDivisionPupilCase& pupil : kDecimalDivisionPupils) {
        EXPECT_GT(applied[pupil.kind], testing::kPropertyDraws / 50) << pupil.kind;
        EXPECT_GE(named[pupil.kind], 0.99 * applied[pupil.kind]) << pupil.kind;
    }
}

// A work written by hand: the quotient over its first column, the rows, the
// 0s written, the points, the ones 0 and the rounded row (over the scaled
// dividend's columns).
DecimalDivisionWork Written(const DecimalDivisionProblem& problem, std::string quotient, int first,
                            std::vector<std::string> rows, int zeros, std::optional<int> point, bool ones_zero = false,
                            std::optional<int> remainder_point = std::nullopt, std::string rounded = "") {
    DecimalDivisionWork work;
    work.division.dividend = WholeDivision(problem).dividend;
    work.division.divisor = problem.divisor;
    work.division.quotient = std::move(quotient);
    work.division.quotient_place = first;
    for (std::size_t i = 0; i < rows.size(); ++i) work.division.rows[i] = rows[i];
    work.written_zeros = zeros;
    work.quotient_point = point;
    work.ones_zero = ones_zero;
    work.remainder_point = remainder_point;
    work.rounded = std::move(rounded);
    return work;
}

TEST(DecimalDivisionDiagnosisTest, HandWrittenMistakesAreNamedAndExplained) {
    const DecimalDivisionProblem on{54, 1, 4, Ending::Divides, 0, kDivideOnMenu};          // 5.4 ÷ 4 = 1.35
    const DecimalDivisionProblem below{24, 1, 6, Ending::Divides, 0, kOneDigitMenu};       // 2.4 ÷ 6 = 0.4
    const DecimalDivisionProblem rest{75, 1, 4, Ending::Remainder, 1, kRemainderMenu};     // 1.8 あまり 0.3
    const DecimalDivisionProblem round{25, 1, 7, Ending::Rounded, 2, kRoundedMenu};        // 0.357… → 0.36
    const std::vector<std::string> on_rows{"4", "14", "12", "20", "20", "0"};
    const std::vector<std::string> round_rows{"21", "40", "35", "50", "49", "1"};
    struct Case {
        DecimalDivisionProblem problem;
        DecimalDivisionWork work;
        const char* kind;
        const char* step;
        const char* explanation;
    };
    const Case cases[] = {
        {on, Written(on, "13", 3, {"4", "14", "12", "2"}, 0, 1), kStoppedEarly, "zeros",
         "わりきれるまで、わられる数に ０を つけたして わり進むよ　５．４÷４＝１．３５"},
        {on, Written(on, "135", 3, on_rows, 1, std::nullopt), kQuotientPointMissing, "point",
         "商にも 小数点を うとう。わられる数の 小数点に そろえて うつよ　５．４÷４＝１．３５"},
        {on, Written(on, "135", 3, on_rows, 1, 1), kQuotientPointMisplaced, "point",
         "商の 小数点は わられる数の 小数点の 真上に うつよ。小数点の 右に 商が ２けた ならぶよ　５．４÷４＝１．３５"},
        {on, Written(on, "14", 3, {"4", "14", "16"}, 1, 2), division::kQuotientTooBig, "quotient:2",
         "1/10の位に たてた 商が 大きすぎるよ　４×４＝１６は １４より 大きいね　１４÷４＝３ あまり ２"},
        {below, Written(below, "4", 1, {"24", "0"}, 0, 1), kOnesZeroMissing, "ones_zero",
         "商が １より 小さい ときは、一の位に ０を 書くよ　２．４÷６＝０．４"},
        {rest, Written(rest, "18", 2, {"4", "35", "32", "3"}, 0, 1), kRemainderPoint, "remainder_point",
         "あまりの 小数点は、わられる数の 小数点に そろえて うつよ　たしかめ　４×１．８＋０．３＝７．５"},
        {round, Written(round, "357", 3, round_rows, 2, 3, true, std::nullopt, " 35 "), kRoundingCut, "rounded",
         "1/1000の位の ７は ５いじょう だから、切り上げるよ　２．５÷７＝０．３５７…（約０．３６）"},
        {round, Written(round, "357", 3, round_rows, 2, 3, true, std::nullopt, " 4  "), kRoundingPlace, "rounded",
         "1/100の位までの がい数は、1/1000の位の ７を 四捨五入して もとめるよ　２．５÷７＝０．３５７…（約０．３６）"},
        {round, Written(round, "35", 3, {"21", "40", "35", "5"}, 1, 2, true, std::nullopt, " 35 "), kStoppedEarly,
         "zeros",
         "1/100の位までの がい数に するには、1/1000の位まで わり進んでから 四捨五入するよ　"
         "２．５÷７＝０．３５７…（約０．３６）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StoredProblemText(c.problem) + " " + c.kind);
        const Diagnosis found = DiagnoseDecimalDivisionWork(c.problem, c.work);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, (Finding{c.kind, c.step, c.explanation}));
    }
}

// What a place shows, a point with its column (a point put elsewhere shows
// the same ".").
std::string PlaceText(const Worksheet& sheet, const DecimalDivisionRole& role) {
    std::string text = DecimalDivisionRoleText(sheet, role);
    if (role.part == DecimalDivisionRole::Part::QuotientPoint && !text.empty())
        text += std::to_string(sheet.at(role::kQuotientPoint).column);
    if (role.part == DecimalDivisionRole::Part::RemainderPoint && !text.empty())
        text += std::to_string(sheet.at(role::kRemainderPoint).column);
    return text;
}

// Find-the-mistake examples of every kind each menu item offers, drawn
// (never falling back on the fixed ones) and fixed: the diagnosis of the
// sheet shown names the example's finding, of the kind asked for, and only
// the places of the wrong step and those that follow from it differ from
// the right work.
TEST(DecimalDivisionMistakesTest, ExamplesOfEveryKindAreNamedByTheDiagnosis) {
    SeededRandom random(9);
    const std::size_t kinds_per_item[] = {9, 8, 11, 11, 13};
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        const std::vector<std::string> kinds = DecimalDivisionMistakeKinds(menu);
        EXPECT_EQ(kinds.size(), kinds_per_item[menu - 1]);
        std::vector<DecimalDivisionMistakeExample> examples{DecimalDivisionMistakeFallback(menu)};
        EXPECT_TRUE(examples[0].fell_back);
        std::map<std::string, int> shown;
        for (std::size_t i = 0; i < 3 * kinds.size() + 10; ++i) {
            std::vector<std::string> preferred;
            if (i < 3 * kinds.size()) preferred.push_back(kinds[i % kinds.size()]);
            std::optional<DecimalDivisionMistakeExample> example = DrawDecimalDivisionMistake(menu, random, preferred);
            ASSERT_TRUE(example.has_value());
            EXPECT_FALSE(example->fell_back);
            if (!preferred.empty()) {
                EXPECT_EQ(example->finding.kind, preferred[0]);
            }
            ++shown[example->finding.kind];
            examples.push_back(std::move(*example));
        }
        testing::ExpectEveryKindShown(shown, kinds);
        for (const DecimalDivisionMistakeExample& e : examples) {
            SCOPED_TRACE(StoredProblemText(e.problem) + " " + e.finding.kind);
            EXPECT_TRUE(FitsMenuItem(e.problem, menu));
            EXPECT_EQ(DiagnoseDecimalDivision(e.problem, DecimalDivisionWorkedRows(e.sheet())), e.finding);
            EXPECT_NE(std::find(e.places.begin(), e.places.end(), e.wrong), e.places.end());
            testing::ExpectOnlyTheKindsPlacesDiffer(
                e, kinds, ReplayDecimalDivision(e.problem, RightInputs(e.problem)).end(), PlaceText);
        }
    }
    EXPECT_FALSE(DrawDecimalDivisionMistake(0, random).has_value());
    EXPECT_TRUE(DecimalDivisionMistakeKinds(kMenuItems + 1).empty());
}

// おすすめ reaches the topic: a pupil who twice read a remainder of 0.3 as 3
// is given remainder problems of item 4, and within the topic a pupil who
// has practised nothing starts with its first skill.
TEST(DecimalDivisionSkillsTest, TheRecommenderPractisesAWeakSkillOfTheTopic) {
    SeededRandom random(12);
    const DecimalDivisionProblem problem{75, 1, 4, Ending::Remainder, 1, kRemainderMenu};  // 7.5 ÷ 4
    MasteryBook book;
    for (int i = 0; i < 2; ++i)
        book.Apply(0, coach::ObserveAnswer(Topic::DecimalDivision, kRemainderMenu, problem, false, kRemainderPoint,
                                           "remainder_point"),
                   LocalTime{2026, 12, 10, 10, i, 0, 0, 540});
    const coach::CoachRequest request{DayOf(LocalTime{2026, 12, 10})};
    for (int i = 0; i < 10; ++i) {
        const coach::Recommendation rec = coach::Recommend(book.Of(0), request, random);
        EXPECT_EQ(rec.topic, Topic::DecimalDivision);
        EXPECT_EQ(rec.focus, skill::kRemainder);
        if (rec.aimed_skill != skill::kRemainder) continue;  // one in four keeps up another skill
        EXPECT_EQ(rec.menu_choice, kRemainderMenu);
        EXPECT_TRUE(Exercises(std::get<DecimalDivisionProblem>(rec.problem), skill::kRemainder));
    }
    coach::CoachRequest within{request.today};
    within.within = Topic::DecimalDivision;
    const coach::Recommendation first = coach::Recommend({}, within, random);
    EXPECT_EQ(first.topic, Topic::DecimalDivision);
    EXPECT_EQ(first.focus, skill::kSteps);
    EXPECT_TRUE(FitsMenuItem(std::get<DecimalDivisionProblem>(first.problem), first.menu_choice));
}

}  // namespace
}  // namespace sorelka::decimal_division
