#include "coach/skill_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/learning_recorder.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_problem.h"
#include "decimal_division/decimal_division_skills.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_sheet.h"
#include "decimals/decimal_skills.h"
#include "division/division_diagnosis.h"
#include "division/division_skills.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_skills.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_skills.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_skills.h"
#include "support/diagnosis_draws.h"
#include "support/fakes.h"

namespace sorelka::coach {
namespace {

using testing::SeededRandom;

int MenuItemCount(Topic topic) {
    return topic == Topic::Rules ? 4 : topic == Topic::DecimalDivision ? decimal_division::kMenuItems : 3;
}

// The operation of a decimal topic.
decimals::Operation OperationOf(Topic topic) {
    return topic == Topic::DecimalAddition ? decimals::Operation::Addition : decimals::Operation::Subtraction;
}

// The menu item's own rules, by the predicates its ordinary draws use.
bool FitsItem(Topic topic, int menu, const TopicProblem& problem) {
    switch (topic) {
        case Topic::Division: return division::FitsMenuItem(menu, std::get<division::DivisionProblem>(problem));
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction: {
            const auto& p = std::get<decimals::DecimalProblem>(problem);
            return p.places == menu && decimals::FitsMenuItem(OperationOf(topic), p);
        }
        case Topic::Rules: {
            const auto& p = std::get<rules::ExpressionProblem>(problem);
            const bool family = p.family_number >= 1 && p.family_number <= rules::FamilyCount(menu);
            return p.menu == menu && family && rules::FamilyAccepts(p) &&
                   (p.IsBoxProblem() || p.kind_code == rules::FamilyKindCode(menu, p.family_number));
        }
        case Topic::Fractions:
            return fractions::FitsFamily(menu, fractions::Variant::Practice,
                                         std::get<fractions::FractionProblem>(problem));
        case Topic::DecimalMultiplication: {
            const auto& p = std::get<multiplication::MultiplicationProblem>(problem);
            return p.menu == menu && multiplication::FitsMenuItem(p, menu);
        }
        case Topic::DecimalDivision: {
            const auto& p = std::get<decimal_division::DecimalDivisionProblem>(problem);
            return p.menu == menu && decimal_division::FitsMenuItem(p, menu);
        }
    }
    return false;
}

bool ExercisesSkill(Topic topic, int menu, const TopicProblem& problem, std::string_view skill) {
    const std::vector<std::string_view> all = SkillsExercised(topic, menu, problem);
    return std::find(all.begin(), all.end(), skill) != all.end();
}

// Targeted draws per (skill, menu item). The rules families redraw up to
// 10,000 times and every draw is some twenty times slower under the
// sanitizers, where their pairs get fewer.
int DrawsPerPair(Topic topic) {
    return topic == Topic::Rules && testing::kPropertyDraws < 10000 ? 1000 : testing::kPropertyDraws;
}

// Every (skill, menu item) pair the skills name: 10,000 targeted draws
// (fewer under the sanitizers) all exercise the skill and keep the item's
// rules, also when every retry fails; items the skill has no place in draw
// nothing.
TEST(SkillsTest, TargetedDrawsExerciseTheSkillWithinTheItemsRules) {
    SeededRandom random(27);
    testing::ExtremeRandom lowest(false);
    testing::ExtremeRandom highest(true);
    int pairs = 0;
    for (Topic topic : kAllTopics) {
        for (const TopicSkill& skill : SkillsOf(topic)) {
            const std::string_view id = skill.info.id;
            EXPECT_FALSE(skill.info.pupil_label.empty() || skill.info.teacher_label.empty()) << id;
            for (int menu = 1; menu <= MenuItemCount(topic); ++menu) {
                SCOPED_TRACE(std::string(id) + " in item " + std::to_string(menu));
                if (!skill.practice_items.Has(menu)) {
                    EXPECT_FALSE(TargetedDraw(topic, id, menu, random).has_value());
                    continue;
                }
                ++pairs;
                int failures = 0;
                for (int i = 0; i < DrawsPerPair(topic) + 2; ++i) {
                    RandomSource& source = i == 0 ? static_cast<RandomSource&>(lowest)
                                         : i == 1 ? static_cast<RandomSource&>(highest)
                                                  : random;
                    const std::optional<TopicProblem> p = TargetedDraw(topic, id, menu, source);
                    if (!p || !FitsItem(topic, menu, *p) || !ExercisesSkill(topic, menu, *p, id)) {
                        if (++failures <= 3) ADD_FAILURE() << "draw " << i << ": " << (p ? StoredProblemText(topic, *p) : "none");
                    }
                }
            }
        }
    }
    EXPECT_EQ(pairs, 112);
    EXPECT_FALSE(TargetedDraw(Topic::Division, "no.such_skill", 1, random).has_value());
    EXPECT_FALSE(TargetedDraw(Topic::Rules, division::skill::kMultiply, 1, random).has_value());
}

// The skills of hand-picked problems, and the skill each kind of mistake of
// each topic's diagnosis shows is weak.
TEST(SkillsTest, ProblemsExerciseTheirSkillsAndKindsNameTheirs) {
    namespace dv = division;
    namespace dc = decimals;
    namespace ru = rules;
    namespace fr = fractions;
    namespace mu = multiplication;
    const auto div = [](int dividend, int divisor) {
        return dv::DivisionProblem{dividend, divisor, dividend / divisor, dividend % divisor, 0};
    };
    EXPECT_EQ(dv::SkillsExercised(div(612, 6)),
              (std::vector<std::string_view>{dv::skill::kEstimate, dv::skill::kMultiply, dv::skill::kSubtract,
                                             dv::skill::kBringDown, dv::skill::kQuotientPlace,
                                             dv::skill::kZeroInQuotient, dv::skill::kThreeDigitQuotient}));
    EXPECT_EQ(dv::SkillsExercised(div(45, 7)),  // 6 r 3: nothing to bring down
              (std::vector<std::string_view>{dv::skill::kEstimate, dv::skill::kMultiply, dv::skill::kSubtract,
                                             dv::skill::kQuotientPlace}));
    EXPECT_TRUE(dv::Exercises(div(80, 4), dv::skill::kZeroInQuotient));   // 20: a 0 at the end too
    EXPECT_FALSE(dv::Exercises(div(745, 6), dv::skill::kZeroInQuotient));
    EXPECT_TRUE(dv::Exercises(div(7820, 32), dv::skill::kTwoDigitDivisor));

    const auto dec = [](dc::Operation op, int places, int a, int b) {
        return dc::DecimalProblem{places, 0, a, b, op == dc::Operation::Addition ? a + b : a - b};
    };
    const dc::Operation add = dc::Operation::Addition, sub = dc::Operation::Subtraction;
    EXPECT_EQ(dc::SkillsExercised(add, dec(add, 1, 25, 15)),  // 2.5 + 1.5 = 4
              (std::vector<std::string_view>{dc::skill::kAdditionColumn, dc::skill::kCarry, dc::skill::kTrailingZero}));
    EXPECT_EQ(dc::SkillsExercised(add, dec(add, 2, 200, 35)),  // 2 + 0.35
              (std::vector<std::string_view>{dc::skill::kAdditionColumn, dc::skill::kAdditionLineUp}));
    EXPECT_EQ(dc::SkillsExercised(sub, dec(sub, 2, 503, 117)),  // 5.03 − 1.17
              (std::vector<std::string_view>{dc::skill::kSubtractionColumn, dc::skill::kBorrow,
                                             dc::skill::kBorrowAcrossZero}));
    EXPECT_EQ(dc::SkillsExercised(sub, dec(sub, 2, 523, 117)),  // 5.23 − 1.17: the 2 lends
              (std::vector<std::string_view>{dc::skill::kSubtractionColumn, dc::skill::kBorrow}));

    const ru::ExpressionProblem parentheses = ru::MakeProblem(ru::kParenthesesMenu, 12, 12, 34, 5);  // (12 + 34) x 5
    EXPECT_EQ(ru::SkillsExercised(parentheses),
              (std::vector<std::string_view>{ru::skill::kParenthesesFirst, ru::skill::kColumnAddition,
                                             ru::skill::kColumnMultiplication}));
    const ru::ExpressionProblem box = ru::MakeProblem(ru::kBoxMenu, 3, 3, 69);  // □ x 3 = 69
    EXPECT_EQ(ru::SkillsExercised(box),
              (std::vector<std::string_view>{ru::skill::kColumnDivision, ru::skill::kBoxMultiplication}));

    const fr::FractionProblem whole{0, 12, 4, 3, 0, 4};   // 12/4 = 3, drawn by the drill only
    const fr::FractionProblem mixed{2, 1, 3, 0, 7, 3};    // 2・1/3 = 7/3
    EXPECT_EQ(fr::SkillsExercised(fr::kImproperToMixed, whole), (std::vector<std::string_view>{fr::skill::kWholeResult}));
    EXPECT_EQ(fr::SkillsExercised(fr::kMixedToImproper, mixed),
              (std::vector<std::string_view>{fr::skill::kKeepDenominator, fr::skill::kMixedToImproper}));

    const mu::MultiplicationProblem times{237, 2, 6, mu::kOneDigitMenu};        // 2.37 × 6 = 14.22
    const mu::MultiplicationProblem rows{15, 2, 26, mu::kZerosMenu};           // 0.15 × 26 = 3.90
    const mu::MultiplicationProblem small{3, 1, 3, mu::kZerosMenu};            // 0.3 × 3 = 0.9
    EXPECT_EQ(mu::SkillsExercised(times),
              (std::vector<std::string_view>{mu::skill::kLineUp, mu::skill::kPoint, mu::skill::kCarry}));
    EXPECT_EQ(mu::SkillsExercised(rows), (std::vector<std::string_view>{mu::skill::kLineUp, mu::skill::kPoint,
                                                                         mu::skill::kCarry, mu::skill::kShiftedRow,
                                                                         mu::skill::kEndZero}));
    EXPECT_EQ(mu::SkillsExercised(small),
              (std::vector<std::string_view>{mu::skill::kLineUp, mu::skill::kPoint, mu::skill::kOnesZero}));

    namespace dd = decimal_division;
    const auto quotient = [](int digits, int places, int divisor, int menu) {
        return dd::DecimalDivisionProblem{digits, places, divisor, dd::Ending::Divides, 0, menu};
    };
    const dd::DecimalDivisionProblem on = quotient(54, 1, 4, dd::kDivideOnMenu);        // 5.4 ÷ 4 = 1.35
    const dd::DecimalDivisionProblem inner = quotient(612, 2, 6, dd::kOneDigitMenu);    // 6.12 ÷ 6 = 1.02
    const dd::DecimalDivisionProblem below = quotient(24, 1, 6, dd::kOneDigitMenu);     // 2.4 ÷ 6 = 0.4
    const dd::DecimalDivisionProblem rest{305, 1, 12, dd::Ending::Remainder, 1, dd::kRemainderMenu};  // 2.5 あまり 0.5
    const dd::DecimalDivisionProblem round{25, 1, 7, dd::Ending::Rounded, 2, dd::kRoundedMenu};      // 0.357… → 0.36
    EXPECT_EQ(dd::SkillsExercised(on), (std::vector<std::string_view>{dd::skill::kSteps, dd::skill::kPoint,
                                                                       dd::skill::kDivideOn}));
    EXPECT_EQ(dd::SkillsExercised(inner), (std::vector<std::string_view>{dd::skill::kSteps, dd::skill::kPoint,
                                                                          dd::skill::kZeroInQuotient}));
    EXPECT_EQ(dd::SkillsExercised(rest), (std::vector<std::string_view>{dd::skill::kSteps, dd::skill::kPoint,
                                                                         dd::skill::kTwoDigitDivisor,
                                                                         dd::skill::kRemainder}));
    EXPECT_EQ(dd::SkillsExercised(round),
              (std::vector<std::string_view>{dd::skill::kSteps, dd::skill::kPoint, dd::skill::kOnesZero,
                                             dd::skill::kDivideOn, dd::skill::kRounding}));

    // Every kind the diagnoses name, in a problem where it can happen.
    struct KindCase {
        Topic topic;
        int menu;
        TopicProblem problem;
        const char* kind;
        const char* step;
        std::string_view skill;
    };
    const dc::DecimalProblem borrow_across = dec(sub, 2, 503, 117);
    const KindCase kinds[] = {
        {Topic::Division, 1, div(745, 6), dv::kQuotientTooBig, "quotient:1", dv::skill::kEstimate},
        {Topic::Division, 2, div(413, 59), dv::kQuotientTooSmall, "quotient:1", dv::skill::kTwoDigitDivisor},
        {Topic::Division, 3, div(12345, 121), dv::kQuotientTooBig, "quotient:1", dv::skill::kThreeDigitDivisor},
        {Topic::Division, 1, div(745, 6), dv::kProductSlip, "row:1", dv::skill::kMultiply},
        {Topic::Division, 1, div(745, 6), dv::kDifferenceSlip, "row:2", dv::skill::kSubtract},
        {Topic::Division, 1, div(745, 6), dv::kBringDown, "row:2", dv::skill::kBringDown},
        {Topic::Division, 1, div(408, 4), dv::kZeroMissing, "quotient:2", dv::skill::kZeroInQuotient},
        {Topic::Division, 1, div(745, 6), dv::kQuotientPlace, "quotient:1", dv::skill::kQuotientPlace},
        {Topic::DecimalAddition, 1, dec(add, 1, 25, 15), dc::kCarryMissing, "column:ones", dc::skill::kCarry},
        {Topic::DecimalAddition, 1, dec(add, 1, 25, 15), dc::kColumnSlip, "column:tenths", dc::skill::kAdditionColumn},
        {Topic::DecimalSubtraction, 2, borrow_across, dc::kBorrowMissing, "column:tenths", dc::skill::kBorrowAcrossZero},
        {Topic::DecimalSubtraction, 2, borrow_across, dc::kBorrowMissing, "column:ones", dc::skill::kBorrow},
        {Topic::DecimalSubtraction, 2, borrow_across, dc::kSmallerFromLarger, "column:hundredths", dc::skill::kBorrow},
        {Topic::DecimalSubtraction, 2, borrow_across, dc::kColumnSlip, "column:ones", dc::skill::kSubtractionColumn},
        {Topic::Rules, 1, parentheses, ru::kStepSlip, "calc:1/cell:Label6", ru::skill::kColumnAddition},
        {Topic::Rules, 1, parentheses, ru::kStepSlip, "calc:2/kind:product_slip/row:1/cell:Label10",
         ru::skill::kColumnMultiplication},
        {Topic::Rules, 4, box, ru::kInverseOperation, "calc:1/cell:Label13", ru::skill::kBoxMultiplication},
        {Topic::Rules, 4, box, ru::kStepSlip, "calc:1/kind:zero_missing/quotient:2/cell:Label16",
         ru::skill::kColumnDivision},
        {Topic::Fractions, 1, fr::FractionProblem{0, 11, 4, 2, 3, 4}, fr::kNotMixed, "part:numerator", fr::skill::kImproperToMixed},
        {Topic::Fractions, 1, whole, fr::kWholePart, "part:whole", fr::skill::kWholeResult},
        {Topic::Fractions, 2, mixed, fr::kWholeNotMultiplied, "part:numerator", fr::skill::kMixedToImproper},
        {Topic::Fractions, 2, mixed, fr::kDenominatorChanged, "part:denominator", fr::skill::kKeepDenominator},
        {Topic::Fractions, 3, fr::FractionProblem{3, 1, 4, 1, 9, 4}, fr::kNumeratorSlip, "part:numerator",
         fr::skill::kHiddenNumerator},
        {Topic::DecimalMultiplication, 2, rows, mu::kPointMisplaced, "point", mu::skill::kPoint},
        {Topic::DecimalMultiplication, 1, times, mu::kPointMissing, "point", mu::skill::kPoint},
        {Topic::DecimalMultiplication, 3, rows, mu::kEndZeroKept, "strikes", mu::skill::kEndZero},
        {Topic::DecimalMultiplication, 3, small, mu::kOnesZeroMissing, "ones_zero", mu::skill::kOnesZero},
        {Topic::DecimalMultiplication, 3, rows, mu::kRowNotShifted, "row:2/column:1", mu::skill::kShiftedRow},
        {Topic::DecimalMultiplication, 3, rows, mu::kRowSumSlip, "row:3/column:2", mu::skill::kShiftedRow},
        {Topic::DecimalMultiplication, 1, times, mu::kCarryMissing, "row:3/column:1", mu::skill::kCarry},
        {Topic::DecimalMultiplication, 1, times, mu::kTimesTableSlip, "row:3/column:0", mu::skill::kLineUp},
        {Topic::DecimalDivision, 3, on, dd::kQuotientPointMissing, "point", dd::skill::kPoint},
        {Topic::DecimalDivision, 3, on, dd::kQuotientPointMisplaced, "point", dd::skill::kPoint},
        {Topic::DecimalDivision, 1, below, dd::kOnesZeroMissing, "ones_zero", dd::skill::kOnesZero},
        {Topic::DecimalDivision, 1, inner, dv::kZeroMissing, "quotient:2", dd::skill::kZeroInQuotient},
        {Topic::DecimalDivision, 3, on, dd::kStoppedEarly, "zeros", dd::skill::kDivideOn},
        {Topic::DecimalDivision, 4, rest, dd::kRemainderPoint, "remainder_point", dd::skill::kRemainder},
        {Topic::DecimalDivision, 5, round, dd::kRoundingPlace, "rounded", dd::skill::kRounding},
        {Topic::DecimalDivision, 5, round, dd::kRoundingCut, "rounded", dd::skill::kRounding},
        {Topic::DecimalDivision, 3, on, dv::kQuotientTooBig, "quotient:2", dd::skill::kSteps},
        {Topic::DecimalDivision, 4, rest, dv::kDifferenceSlip, "row:2", dd::skill::kSteps},
    };
    for (const KindCase& k : kinds) {
        SCOPED_TRACE(std::string(k.kind) + " " + k.step);
        EXPECT_EQ(ObserveAnswer(k.topic, k.menu, k.problem, false, k.kind, k.step),
                  (std::vector<SkillObservation>{{std::string(k.skill), Evidence::Wrong}}));
    }
    // A slip or an unexplained mistake lowers every exercised skill a little.
    for (const char* kind : {kSlip, kOther, ""}) {
        const auto observations = ObserveAnswer(Topic::Division, 1, div(612, 6), false, kind, "");
        EXPECT_EQ(observations.size(), 7u);
        for (const SkillObservation& o : observations) EXPECT_EQ(o.evidence, Evidence::WrongLittle);
    }
}

// The problem one judged answer was about, as the screen had it and as the
// record keeps its text.
struct Answered {
    Topic topic;
    int menu;
    TopicProblem problem;
    std::string text;
};

// A problem drawn by a screen's own generator, with the text the screen
// writes into `history.problem`.
Answered DrawnByAScreen(Topic topic, int menu, bool drill, RandomSource& random) {
    switch (topic) {
        case Topic::Division: {
            division::DivisionProblem p;
            division::GenerateProblem(menu, random, p);
            return {topic, menu, p, WithoutPadding(division::LogProblemText(p))};
        }
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction: {
            decimals::DecimalSheet sheet(drill ? decimals::DrillSheetPlace(OperationOf(topic))
                                               : decimals::PracticeSheetPlace(OperationOf(topic)));
            sheet.Draw(random, menu);
            return {topic, menu, sheet.problem(), WithoutPadding(sheet.LogProblemText())};
        }
        case Topic::Rules: {
            rules::ExpressionProblem p;
            rules::GenerateProblem(menu, random, p, drill ? rules::Variant::Drill : rules::Variant::Practice);
            return {topic, menu, p, WithoutPadding(" " + rules::ProblemTextForLog(p))};
        }
        case Topic::Fractions: {
            const auto variant = drill ? fractions::Variant::Drill : fractions::Variant::Practice;
            const fractions::FractionProblem p = *fractions::DrawFractionProblem(menu, variant, random);
            return {topic, menu, p, fractions::ProblemText(p)};
        }
        case Topic::DecimalMultiplication: {
            const multiplication::MultiplicationProblem p = *multiplication::DrawProblem(menu, random);
            return {topic, menu, p, multiplication::StoredProblemText(p)};
        }
        case Topic::DecimalDivision: {
            const decimal_division::DecimalDivisionProblem p = *decimal_division::DrawProblem(menu, random);
            return {topic, menu, p, decimal_division::StoredProblemText(p)};
        }
    }
    return {topic, menu, {}, {}};
}

// The texts every screen stores read back into the problem they were written
// from (but what the text does not hold: a decimal draw's kind, a box
// problem's left-over kind code, family 3's whole part on the right).
TEST(SkillsTest, StoredProblemTextsReadBackIntoTheirProblems) {
    SeededRandom random(5);
    for (Topic topic : kAllTopics) {
        for (int i = 0; i < testing::kPropertyDraws; ++i) {
            const int menu = i % MenuItemCount(topic) + 1;
            const Answered a = DrawnByAScreen(topic, menu, i % 2 == 1, random);
            SCOPED_TRACE(a.text);
            const std::optional<TopicProblem> back = ParseStoredProblem(topic, menu, a.text);
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(StoredProblemText(topic, *back), a.text);
            EXPECT_EQ(SkillsExercised(topic, menu, *back), SkillsExercised(topic, menu, a.problem));
            if (topic == Topic::Division) {
                EXPECT_EQ(std::get<division::DivisionProblem>(*back), std::get<division::DivisionProblem>(a.problem));
            } else if (topic == Topic::DecimalMultiplication) {
                EXPECT_EQ(std::get<multiplication::MultiplicationProblem>(*back),
                          std::get<multiplication::MultiplicationProblem>(a.problem));
            } else if (topic == Topic::Rules) {
                rules::ExpressionProblem drawn = std::get<rules::ExpressionProblem>(a.problem);
                const auto& read = std::get<rules::ExpressionProblem>(*back);
                if (drawn.IsBoxProblem()) drawn.kind_code = 0;
                EXPECT_EQ(std::tie(read.menu, read.family_number, read.kind_code, read.operand_a, read.operand_b,
                                   read.operand_c, read.operand_d, read.expected_answer, read.problem_text),
                          std::tie(drawn.menu, drawn.family_number, drawn.kind_code, drawn.operand_a,
                                   drawn.operand_b, drawn.operand_c, drawn.operand_d, drawn.expected_answer,
                                   drawn.problem_text));
            }
        }
    }
    for (const char* bad : {"", "745 ÷", "÷ 6", "7a5 ÷ 6", "745 ÷ 0", "2 ＋", "1..5 ＋ 2", "1.5555 ＋ 2",
                            "( 1 + 2 =", "□ ? 3 = 5", "1 + 2 + 3 + 4 + 5 =", "3・/ 4 =", "0・1 / 4 ="}) {
        for (Topic topic : kAllTopics)
            for (int menu = 0; menu <= 5; ++menu)
                EXPECT_FALSE(ParseStoredProblem(topic, menu, bad).has_value()) << bad;
    }
}

// Mastery kept answer by answer from the problems on screen equals mastery
// rebuilt from the record's rows alone, to the last bit, over a long history
// of four pupils on every topic, with every kind of mistake and reviews due.
TEST(SkillsTest, MasteryKeptAnswerByAnswerEqualsMasteryRebuiltFromHistory) {
    struct Kinds {
        Topic topic;
        std::vector<const char*> kinds;
        std::vector<const char*> steps;
    };
    const Kinds kinds[] = {
        {Topic::Division,
         {division::kQuotientTooBig, division::kQuotientTooSmall, division::kQuotientPlace, division::kZeroMissing,
          division::kProductSlip, division::kDifferenceSlip, division::kBringDown},
         {"quotient:1", "row:2"}},
        {Topic::DecimalAddition, {decimals::kCarryMissing, decimals::kColumnSlip}, {"column:ones", "column:tenths"}},
        {Topic::DecimalSubtraction,
         {decimals::kBorrowMissing, decimals::kSmallerFromLarger, decimals::kColumnSlip},
         {"column:tens", "column:ones", "column:tenths", "column:hundredths", ""}},
        {Topic::Rules, {rules::kStepSlip, rules::kInverseOperation}, {"calc:1/cell:Label6", "calc:2", "calc:3", ""}},
        {Topic::Fractions,
         {fractions::kNotMixed, fractions::kWholePart, fractions::kWholeNotMultiplied, fractions::kNumeratorSlip,
          fractions::kDenominatorChanged},
         {"part:numerator"}},
        {Topic::DecimalMultiplication,
         {multiplication::kPointMisplaced, multiplication::kPointMissing, multiplication::kEndZeroKept,
          multiplication::kOnesZeroMissing, multiplication::kRowNotShifted, multiplication::kCarryMissing,
          multiplication::kTimesTableSlip, multiplication::kRowSumSlip},
         {"point", "row:1/column:1", "strikes", ""}},
    };
    SeededRandom random(99);
    std::mt19937 rng(7);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    MasteryBook kept;
    std::vector<StoredAnswer> history;
    constexpr int kAnswers = 20000;
    for (int i = 0; i < kAnswers; ++i) {
        const Kinds& k = kinds[pick(static_cast<int>(std::size(kinds)))];
        const int menu = pick(MenuItemCount(k.topic)) + 1;
        const Answered a = DrawnByAScreen(k.topic, menu, pick(2) == 1, random);
        const bool correct = pick(3) > 0;
        std::string kind = correct ? "" : pick(5) == 0 ? std::string(pick(2) ? kSlip : kOther) : k.kinds[pick(static_cast<int>(k.kinds.size()))];
        const std::string step = correct ? "" : k.steps[pick(static_cast<int>(k.steps.size()))];
        const std::string day = DayText(DayOf(LocalTime{2026, 4, 1}) + i / 100);  // 100 answers a day
        const LocalTime at{std::stoi(day.substr(0, 4)), std::stoi(day.substr(5, 2)), std::stoi(day.substr(8, 2)),
                           9 + i % 100 / 20, i % 20, 0, 0, 540};
        const PupilKey pupil = pick(4);
        kept.Apply(pupil, ObserveAnswer(k.topic, menu, a.problem, correct, kind, step), at);
        history.push_back({pupil, k.topic, menu, a.text, correct, kind, step, at});
    }
    const MasteryBook rebuilt = RebuildMastery(history, ObserveStoredAnswer);
    EXPECT_TRUE(rebuilt == kept);
    // The history had something to say: every pupil has met skills of every
    // topic, some are at A, and reviews have come and gone.
    int at_a = 0, reviewed = 0;
    for (const auto& [pupil, skills] : rebuilt.pupils()) {
        EXPECT_GE(skills.size(), 25u);
        for (const auto& [id, state] : skills) {
            at_a += LevelOf(state) == Level::A;
            reviewed += state.review_step > 0;
        }
    }
    EXPECT_GT(at_a, 0);
    EXPECT_GT(reviewed, 0);
    EXPECT_EQ(rebuilt.pupils().size(), 4u);
}

}  // namespace
}  // namespace sorelka::coach
