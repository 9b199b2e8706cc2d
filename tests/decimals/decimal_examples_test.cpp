#include "decimals/decimal_examples.h"

#include <gtest/gtest.h>

#include <map>

#include "decimals/decimal_practice.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

constexpr double kPromptWidth = 21;  // Label2 of the decimal practice: 470 pixels of 22-pixel characters
constexpr Operation kOperations[] = {Operation::Addition, Operation::Subtraction};

std::vector<std::string> Lines(const DecimalExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

TEST(DecimalExamples, ClassroomProblemsAreToldColumnByColumn) {
    EXPECT_EQ(Lines(DecimalWorkedExample(Operation::Addition, {2, 1, 345, 178, 523})),
              (std::vector<std::string>{"小数点を そろえて 右の 位から 計算するよ",
                                        "小数第二位は ５＋８＝１３　１くり上がるよ",
                                        "くり上がりの １を たして ４＋７＋１＝１２",
                                        "くり上がりの １を たして ３＋１＋１＝５", "答えは ５．２３だよ"}));
    EXPECT_EQ(Lines(DecimalWorkedExample(Operation::Subtraction, {2, 1, 502, 137, 365})),
              (std::vector<std::string>{"小数点を そろえて 右の 位から 計算するよ",
                                        "小数第二位は くり下げて １２－７＝５",
                                        "小数第一位は ０が ９に なって ９－３＝６",
                                        "一の位は ５が ４に なって ４－１＝３", "答えは ３．６５だよ"}));
    EXPECT_EQ(Lines(DecimalWorkedExample(Operation::Addition, {2, 1, 1250, 75, 1325})),
              (std::vector<std::string>{"小数点を そろえて 右の 位から 計算するよ",
                                        "小数第二位は ５を そのまま かくよ",
                                        "小数第一位は ５＋７＝１２　１くり上がるよ",
                                        "くり上がりの １を たして ２＋０＋１＝３", "十の位は １を そのまま かくよ",
                                        "答えは １３．２５だよ"}));
    EXPECT_EQ(Lines(DecimalWorkedExample(Operation::Addition, {1, 1, 45, 15, 60})).back(),
              "おわりの ０を けして 答えは ６");

    // 5.02 - 1.37 answered 4.75: the lender was kept in the tenths.
    const DecimalExample example = DecimalWorkedExample(Operation::Subtraction, {2, 1, 502, 137, 365});
    const WorkedRows rows{{"Label7", "4.75"}};
    const Diagnosis d = DiagnoseDecimal(Operation::Subtraction, {2, 1, 502, 137, 365}, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(FirstWrongStep(example, rows, d), 1u);
    EXPECT_EQ(example.steps[1].role, Column::Tenths);
    EXPECT_EQ(FirstWrongStep(example, rows, Finding{kOther, "", ""}), 1u);
}

TEST(DecimalExamples, ColumnsStandInTheAnswersDigits) {
    EXPECT_EQ(DecimalColumnCell(Column::Tens), (RoleCell{"Label7", RoleCell::Digit::FromPoint, -2}));
    EXPECT_EQ(DecimalColumnCell(Column::Thousandths).digit, 3);
    const struct {
        const char* text;
        Column column;
        const char* digit;
    } cases[] = {{"15.23", Column::Tens, "1"},  {"15.23", Column::Ones, "5"}, {"15.23", Column::Hundredths, "3"},
                 {"5.2", Column::Hundredths, ""}, {"5.2", Column::Tens, ""},   {".05", Column::Ones, ""},
                 {".05", Column::Hundredths, "5"}, {"6", Column::Ones, "6"},   {"6", Column::Tenths, ""}};
    for (const auto& c : cases) EXPECT_EQ(ColumnDigit(c.text, c.column), c.digit) << c.text;
}

// Over many draws of every menu item of both operations: the replay ends as
// the practice sheet does when a pupil enters the right digits and "終わり".
TEST(DecimalExamples, ReplayEndsAsTheRightWorkLeavesIt) {
    for (const Operation operation : kOperations) {
        testing::SeededRandom random(28);
        for (int i = 0; i < 600; ++i) {
            const int places = i % 3 + 1;
            const DecimalProblem problem = DrawProblem(operation, random, places);
            DecimalSheet sheet(PracticeSheetPlace(operation));
            sheet.SetProblem(problem);
            sheet.ShowOperator();
            sheet.ResetEntryLists();
            // The pupil's own order: the digits from the left.
            const std::string digits = std::to_string(problem.correct_result + 100000);
            for (int c = 0; c < kColumnCount; ++c)
                if (ColumnShown(static_cast<Column>(c), places))
                    sheet.ShowRunningAnswer(static_cast<Column>(c), digits[digits.size() - 2 - places + c] - '0');
            sheet.ShowFinishedAnswer();
            ASSERT_TRUE(sheet.IsRight());
            const DecimalExample example = DecimalWorkedExample(operation, problem);
            ASSERT_EQ(example.end(), sheet.cells()) << sheet.Equation(true);
            testing::ExpectLinesFit(example, kPromptWidth);
        }
    }
}

TEST(DecimalExamples, FindTheMistakeHasOneWrongPlace) {
    for (const Operation operation : kOperations) {
        for (int menu = 1; menu <= 3; ++menu) {
            SCOPED_TRACE(menu);
            testing::SeededRandom random(200 + menu);
            const std::vector<std::string> kinds = DecimalMistakeKinds(operation, menu);
            std::map<std::string, int> shown;
            for (int i = 0; i < testing::kMistakeExamples; ++i) {
                const auto example = DrawDecimalMistake(operation, menu, random);
                ASSERT_TRUE(example);
                ASSERT_FALSE(example->fell_back);
                const Diagnosis again =
                    DiagnoseDecimal(operation, example->problem, WorkedRowsOf(example->sheet()));
                ASSERT_TRUE(again);
                EXPECT_EQ(*again, example->finding);
                EXPECT_EQ(StepColumn(again->step), example->wrong);
                testing::ExpectOneWrongPlace(*example, kinds,
                                             DecimalWorkedExample(operation, example->problem).end(),
                                             DecimalRoleText);
                ++shown[example->finding.kind];
                if (HasFailure()) return;
            }
            testing::ExpectEveryKindShown(shown, kinds);
        }
    }
}

TEST(DecimalExamples, PreferredKindsAndFallbacks) {
    testing::SeededRandom random(9);
    for (const Operation operation : kOperations) {
        for (int menu = 1; menu <= 3; ++menu) {
            for (const std::string& kind : DecimalMistakeKinds(operation, menu))
                for (int i = 0; i < 20; ++i)
                    EXPECT_EQ(DrawDecimalMistake(operation, menu, random, {kind})->finding.kind, kind);
            const DecimalMistakeExample fixed = DecimalMistakeFallback(operation, menu);
            EXPECT_TRUE(fixed.fell_back);
            testing::ExpectOneWrongPlace(fixed, DecimalMistakeKinds(operation, menu),
                                         DecimalWorkedExample(operation, fixed.problem).end(), DecimalRoleText);
        }
        EXPECT_FALSE(DrawDecimalMistake(operation, 4, random).has_value());
        EXPECT_TRUE(DecimalWorkedExample(operation, DecimalProblem{}).steps.empty());
    }
}

}  // namespace
}  // namespace sorelka::decimals
