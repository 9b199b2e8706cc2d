#include "decimals/decimal_diagnosis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "decimals/decimal_cells.h"
#include "decimals/decimal_pupils.h"
#include "decimals/decimal_practice.h"
#include "support/diagnosis_draws.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

using pupils::Pupil;

// Answers from classroom practice, entered on the practice screen's model as
// a pupil does: menu choice with scripted draws, one digit per column, "終わり".
TEST(DecimalDiagnosis, ClassroomAnswers) {
    struct Case {
        const char* what;
        const PracticeVariant& variant;
        std::vector<int> draws;  // two decimal places
        AnswerDigits digits;     // tens, ones, tenths, hundredths (thousandths hidden)
        const char* kind;        // nullptr: no finding
        const char* step;
        const char* explanation;
    };
    const Case cases[] = {
        {"3.45 + 1.78 = 5.23", kAdditionPractice, {0, 344, 177}, {0, 5, 2, 3, 0}, nullptr, "", ""},
        {"3.45 + 1.78, the carry into the tenths forgotten: 5.13", kAdditionPractice,
         {0, 344, 177}, {0, 5, 1, 3, 0}, kCarryMissing, "column:tenths",
         "小数第一位に くり上がりの １を たしわすれたよ　４＋７＋１＝１２"},
        {"3.45 + 1.78 with 4 + 7 + 1 = 13 in the tenths: 5.33", kAdditionPractice,
         {0, 344, 177}, {0, 5, 3, 3, 0}, kColumnSlip, "column:tenths",
         "小数第一位の たし算が ちがうよ　４＋７＋１＝１２"},
        {"3.45 + 1.78 with a tens digit written: 15.23", kAdditionPractice, {0, 344, 177},
         {1, 5, 2, 3, 0}, kSlip, "column:tens", "十の位には なにも 入らないよ　３．４５＋１．７８＝５．２３"},
        {"7.45 + 4.81, the carry into the tens forgotten: 2.26", kAdditionPractice,
         {0, 744, 480}, {0, 2, 2, 6, 0}, kCarryMissing, "column:tens",
         "十の位に くり上がりの １を 書きわすれたよ　一の位は ７＋４＋１＝１２"},
        {"5.02 - 1.37, the borrow not taken off: 4.75", kSubtractionPractice, {0, 501, 136},
         {0, 4, 7, 5, 0}, kBorrowMissing, "column:tenths",
         "小数第一位は １ かしたので ０が ９に なるよ　９－３＝６"},
        {"7.31 - 2.58 worked by swapping digits: 5.27", kSubtractionPractice, {0, 730, 257},
         {0, 5, 2, 7, 0}, kSmallerFromLarger, "column:hundredths",
         "小数第二位は ひけないので、上の位から くり下げて ひくよ　１１－８＝３"},
        {"7.31 - 2.58 with nothing in common: 1.11", kSubtractionPractice, {0, 730, 257},
         {0, 1, 1, 1, 0}, kOther, "column:hundredths",
         "小数第二位から ちがっているよ　１１－８＝３"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeServices fakes;
        fakes.random.Feed(c.draws);
        DecimalPractice practice(fakes.ctx, c.variant);
        practice.FormCreate();
        practice.MenuItemChosen(1);
        for (const Place place : {Place::Tens, Place::Ones, Place::Tenths, Place::Hundredths})
            practice.ChooseDigit(place, c.digits[static_cast<int>(*ColumnOf(place))]);
        ASSERT_EQ(practice.ApplyAction(Action::Finish), c.kind ? Verdict::Wrong : Verdict::Right);
        EXPECT_EQ(practice.cells().at(role::kVerdict).text, c.kind ? "×" : "○");

        const Diagnosis found = DiagnoseDecimal(c.variant.operation, practice.sheet().problem(),
                                                DecimalWorkedRows(practice.cells()));
        if (!c.kind) {
            EXPECT_FALSE(found.has_value());
            EXPECT_FALSE(practice.note().has_value());
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->kind, c.kind);
        EXPECT_EQ(found->step, c.step);
        EXPECT_EQ(found->explanation, c.explanation);
        EXPECT_FALSE(DecimalKindLabel(found->kind).empty());
        ASSERT_TRUE(practice.note().has_value()) << "the practice keeps what its panel shows";
        EXPECT_EQ(practice.note()->finding, *found);
        EXPECT_EQ(practice.note()->label, DecimalKindLabel(found->kind));
        ASSERT_TRUE(StepColumn(found->step).has_value());
        EXPECT_EQ(ColumnStep(*StepColumn(found->step)), found->step);
    }
    // An answer label that holds no number is never taken for a right answer.
    const DecimalProblem problem{2, 1, 345, 178, 523};
    EXPECT_EQ(DiagnoseDecimal(Operation::Addition, problem, {{StoredName(role::kAnswer), "5.2x"}})->kind, kOther);
    EXPECT_EQ(DiagnoseDecimal(Operation::Addition, problem, {})->kind, kOther);
}

// Each pupil's own procedure, applied to problems drawn by the real draws of
// every menu item, is named by its kind; right work is never faulted.
TEST(DecimalDiagnosis, EachMistakeIsNamedByItsKind) {
    struct Row {
        Pupil pupil;
        const char* name;
        const char* expected;  // nullptr: no finding
    };
    const Row rows[] = {{Pupil::Right, "right", nullptr},
                        {Pupil::ForgetsCarry, "forgets carry", kCarryMissing},
                        {Pupil::KeepsLender, "keeps lender", kBorrowMissing},
                        {Pupil::Swaps, "swaps", kSmallerFromLarger},
                        {Pupil::ColumnSlip, "column slip", kColumnSlip}};
    const std::vector<const char*> found_kinds = {"none", kCarryMissing, kBorrowMissing,
                                                  kSmallerFromLarger, kColumnSlip, kSlip, kOther};
    constexpr int kProblems = 10000;

    testing::PrintTallyHeading(14, found_kinds);
    for (const Row& row : rows) {
        pupils::SeededRandom random(1729 + static_cast<unsigned>(row.pupil));
        testing::PupilTally tally;
        int step_wrong = 0;
        for (int i = 0; i < kProblems; ++i) {
            Operation operation = i % 2 ? Operation::Subtraction : Operation::Addition;
            if (row.pupil == Pupil::ForgetsCarry) operation = Operation::Addition;
            if (row.pupil == Pupil::KeepsLender || row.pupil == Pupil::Swaps)
                operation = Operation::Subtraction;
            const DecimalProblem problem = DrawProblem(operation, random, i % 3 + 1);
            const pupils::Worked worked = pupils::Work(row.pupil, operation, problem, random.engine());
            const int entered = ReadAnswer(worked.digits, problem.places);
            const WorkedRows worked_rows = pupils::FinishedRows(problem, entered);
            // The answer alone cannot tell two pupils apart who write the same.
            bool same_as_another = false;
            for (Pupil other : {Pupil::ForgetsCarry, Pupil::KeepsLender, Pupil::Swaps}) {
                if (other == row.pupil || row.pupil == Pupil::ColumnSlip) continue;
                if ((other == Pupil::ForgetsCarry) != (operation == Operation::Addition)) continue;
                const pupils::Worked theirs = pupils::Work(other, operation, problem, random.engine());
                same_as_another |= ReadAnswer(theirs.digits, problem.places) == entered;
            }
            const Diagnosis diagnosis = DiagnoseDecimal(operation, problem, worked_rows);
            if (IsRightAnswer(entered, problem.correct_result)) {
                ASSERT_FALSE(diagnosis.has_value());
                continue;
            }
            ++tally.changed;
            tally.ambiguous += same_as_another;
            ASSERT_TRUE(diagnosis.has_value());
            // Swapping digits and keeping the lender write the same answer
            // where every borrowing column's difference is 5: the lender kept
            // is named, one forgotten step rather than a wrong method.
            if (same_as_another && operation == Operation::Subtraction) {
                EXPECT_EQ(diagnosis->kind, kBorrowMissing);
            }
            ++tally.found[diagnosis->kind];
            if (row.pupil == Pupil::ColumnSlip && diagnosis->kind == kColumnSlip &&
                (!worked.mistake || diagnosis->step != ColumnStep(*worked.mistake)))
                ++step_wrong;
        }
        // Where another pupil's procedure writes the very same answer, either
        // name fits; the rest must be named by the pupil's own kind.
        testing::PrintAndCheckTally(14, row.name, row.expected, tally, found_kinds, kProblems);
        EXPECT_EQ(step_wrong, 0);
    }
}

}  // namespace
}  // namespace sorelka::decimals
