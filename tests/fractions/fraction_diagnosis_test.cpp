#include "fractions/fraction_diagnosis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "fractions/fraction_cells.h"
#include "fractions/fraction_pupils.h"
#include "fractions/fraction_sheet.h"
#include "support/diagnosis_draws.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

using pupils::Pupil;

// Answers from classroom practice, entered on the fraction sheet of the named
// screen as a pupil does: a problem from scripted draws, then for each slot a
// tens digit, a ones digit and the slot's action, then "終わり".
TEST(FractionDiagnosis, ClassroomAnswers) {
    struct Case {
        const char* what;
        Variant variant;
        int family;
        std::vector<int> draws;
        std::vector<std::pair<FractionSlot, int>> slots;
        const char* kind;  // nullptr: no finding
        const char* step;
        const char* explanation;
    };
    const Case cases[] = {
        {"2 2/8 = 18/8", Variant::Practice, kMixedToImproper, {1, 6, 1},
         {{FractionSlot::Denominator, 8}, {FractionSlot::Numerator, 18}}, nullptr, "", ""},
        {"2 2/8 answered 4/8", Variant::Practice, kMixedToImproper, {1, 6, 1},
         {{FractionSlot::Denominator, 8}, {FractionSlot::Numerator, 4}}, kWholeNotMultiplied, "part:numerator",
         "整数の ２に 分母の ８を かけるのを わすれたよ　２×８＋２＝１８"},
        {"2 2/8 answered 18/9", Variant::Practice, kMixedToImproper, {1, 6, 1},
         {{FractionSlot::Denominator, 9}, {FractionSlot::Numerator, 18}}, kDenominatorChanged, "part:denominator",
         "分母は ８の まま かわらないよ　２×８＋２＝１８"},
        {"2 2/8 answered 18 over nothing", Variant::Practice, kMixedToImproper, {1, 6, 1},
         {{FractionSlot::Numerator, 18}}, kSlip, "part:denominator", "分母を 入れわすれたよ　２×８＋２＝１８"},
        {"11/4 = 2 3/4", Variant::Drill, kImproperToMixed, {2, 1, 2},
         {{FractionSlot::Whole, 2}, {FractionSlot::Numerator, 3}, {FractionSlot::Denominator, 4}}, nullptr, "", ""},
        {"11/4 answered 3 3/4", Variant::Drill, kImproperToMixed, {2, 1, 2},
         {{FractionSlot::Whole, 3}, {FractionSlot::Numerator, 3}, {FractionSlot::Denominator, 4}}, kWholePart,
         "part:whole", "整数の 部分が ちがうよ　１１÷４＝２ あまり ３"},
        {"11/4 answered 1 7/4", Variant::Drill, kImproperToMixed, {2, 1, 2},
         {{FractionSlot::Whole, 1}, {FractionSlot::Numerator, 7}, {FractionSlot::Denominator, 4}}, kNotMixed,
         "part:numerator", "分子の ７が 分母の ４より 大きいので、まだ 帯分数に なっていないよ　１１÷４＝２ あまり ３"},
        {"11/4 answered 2 1/4", Variant::Drill, kImproperToMixed, {2, 1, 2},
         {{FractionSlot::Whole, 2}, {FractionSlot::Numerator, 1}, {FractionSlot::Denominator, 4}}, kNumeratorSlip,
         "part:numerator", "分子が ちがうよ　１１÷４＝２ あまり ３"},
        {"12/4 answered 12/4", Variant::Drill, kImproperToMixed, {2, 1, 3},
         {{FractionSlot::Numerator, 12}, {FractionSlot::Denominator, 4}}, kNotMixed, "part:numerator",
         "分子の １２が 分母の ４より 大きいので、まだ 整数に なっていないよ　１２÷４＝３"},
        {"11/4 answered 3 1/5", Variant::Drill, kImproperToMixed, {2, 1, 2},
         {{FractionSlot::Whole, 3}, {FractionSlot::Numerator, 1}, {FractionSlot::Denominator, 5}}, kOther, "part:whole",
         "整数から ちがっているよ　１１÷４＝２ あまり ３"},
        {"3 1/4 = 1 □/4 answered 3", Variant::Practice, kFindTheBox, {2, 3, 0, 0},
         {{FractionSlot::Numerator, 3}}, kWholeNotMultiplied, "part:numerator",
         "整数の ちがいの ２に 分母の ４を かけるのを わすれたよ　（３－１）×４＋１＝９"},
        {"3 1/4 = 1 □/4 answered 13", Variant::Practice, kFindTheBox, {2, 3, 0, 0},
         {{FractionSlot::Numerator, 13}}, kWholePart, "part:numerator",
         "整数の 部分が ちがうよ　（３－１）×４＋１＝９"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeServices fakes;
        fakes.ctx.state.menu_choice = c.family;
        FractionSheet sheet(c.variant, fakes.ctx);
        fakes.random.Feed(c.draws);
        ASSERT_TRUE(sheet.GenerateProblem(c.family));
        ASSERT_TRUE(fakes.random.script.empty());
        for (const auto& [slot, value] : c.slots) {
            sheet.ChooseDigit(Place::Tens, value / 10);
            sheet.ChooseDigit(Place::Ones, value % 10);
            sheet.ChooseSlot(slot);
        }
        Verdict verdict = Verdict::Wrong;
        sheet.ApplyAction(Action::Finish, [&] {
            verdict = c.variant == Variant::Practice ? sheet.JudgePracticeAnswer() : sheet.JudgeDrillAnswer();
        });
        ASSERT_EQ(IsRight(verdict), c.kind == nullptr);

        const Diagnosis found =
            DiagnoseFraction(c.family, c.variant, sheet.problem(), FractionWorkedRows(sheet.worksheet()));
        if (!c.kind) {
            EXPECT_FALSE(found.has_value());
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->kind, c.kind);
        EXPECT_EQ(found->step, c.step);
        EXPECT_EQ(found->explanation, c.explanation);
        EXPECT_FALSE(FractionKindLabel(found->kind).empty());
        EXPECT_TRUE(StepSlot(found->step).has_value());
    }
}

// Each pupil's own conversion, applied to problems drawn by the real draws of
// every family on both screens, is named by its kind; right work is never
// faulted.
TEST(FractionDiagnosis, EachMistakeIsNamedByItsKind) {
    struct Row {
        Pupil pupil;
        const char* name;
        const char* expected;  // nullptr: no finding
    };
    const Row rows[] = {{Pupil::Right, "right", nullptr},
                        {Pupil::LeavesImproper, "leaves improper", kNotMixed},
                        {Pupil::ForgetsTimesDenominator, "forgets x d", kWholeNotMultiplied},
                        {Pupil::WrongWhole, "wrong whole", kWholePart},
                        {Pupil::ChangesDenominator, "changes d", kDenominatorChanged},
                        {Pupil::NumeratorSlip, "numerator +1", kNumeratorSlip}};
    const Pupil others[] = {Pupil::LeavesImproper, Pupil::ForgetsTimesDenominator,
                            Pupil::WrongWhole, Pupil::ChangesDenominator, Pupil::NumeratorSlip};
    const std::vector<const char*> found_kinds = {"none",         kNotMixed,
                                                  kWholeNotMultiplied, kWholePart,
                                                  kDenominatorChanged, kNumeratorSlip,
                                                  kSlip,          kOther};
    constexpr int kProblems = 10000;

    testing::PrintTallyHeading(16, found_kinds);
    for (const Row& row : rows) {
        pupils::SeededRandom random(4104 + static_cast<unsigned>(row.pupil));
        testing::PupilTally tally;
        for (int i = 0; i < kProblems; ++i) {
            const int family = i % 3 + 1;
            const Variant variant = i / 3 % 2 ? Variant::Drill : Variant::Practice;
            const FractionProblem problem = *DrawFractionProblem(family, variant, random);
            const FractionEntry entry = pupils::Work(row.pupil, family, problem);
            const Diagnosis diagnosis = DiagnoseFraction(
                family, variant, problem, pupils::FinishedRows(family, problem, entry));
            const bool right = variant == Variant::Practice
                                   ? JudgePracticeAnswer(family, problem, entry)
                                   : JudgeDrillAnswer(family, problem, entry);
            if (right) {
                ASSERT_FALSE(diagnosis.has_value());
                continue;
            }
            ++tally.changed;
            ASSERT_TRUE(diagnosis.has_value());
            ++tally.found[diagnosis->kind];
            // The answer alone cannot tell two pupils apart who write the same.
            for (Pupil other : others) {
                if (other != row.pupil && pupils::Work(other, family, problem) == entry) {
                    ++tally.ambiguous;
                    break;
                }
            }
        }
        testing::PrintAndCheckTally(16, row.name, row.expected, tally, found_kinds, kProblems);
    }
}

}  // namespace
}  // namespace sorelka::fractions
