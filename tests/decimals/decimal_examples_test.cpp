#include "decimals/decimal_examples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "core/number_text.h"
#include "decimals/decimal_cells.h"
#include "decimals/decimal_practice.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::decimals {
namespace {

constexpr double kPromptWidth = 21;  // Label2 of the decimal practice: 470 pixels of 22-pixel characters
constexpr Operation kOperations[] = {Operation::Addition, Operation::Subtraction};

int FromRight(Column column, int places) { return 1 + places - static_cast<int>(column); }

std::vector<std::string> Lines(const DecimalExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

// The small figure above column k of the right work, from the numbers alone:
// an addition carries into k when the parts of the numbers right of it add up
// to 10^k or more; a subtraction borrows from k when the upper part right of
// it is the smaller, and k then shows the digit of upper − 10^k.
std::string RightMark(Operation operation, const DecimalProblem& p, int k) {
    const long long unit = Pow10(k);
    const long long a = p.first_operand % unit;
    const long long b = p.second_operand % unit;
    if (operation == Operation::Addition) return a + b >= unit ? "1" : "";
    return a < b ? std::to_string(DigitAt(p.first_operand - unit, k)) : "";
}

// The right work replayed as the pupil enters it: the steps' inputs are the
// entry path (the last decimal place first, on to the ones, the tens where
// they are not 0, then "終わり") and, entered on a practice sheet, leave the
// same answer; the answer shows the columns worked so far and nothing else;
// each small figure comes with the column that gives it, and ends as the
// numbers say; a number with fewer decimal places is read with the zeros that
// make up the difference.
void ExpectWorkedAsThePupilEnters(Operation operation, const DecimalProblem& problem, const DecimalExample& example) {
    const int p = problem.places;
    DecimalInputs path;
    for (int c = kColumnCount - 1; c >= 0; --c) {
        const auto column = static_cast<Column>(c);
        const int digit = DigitAt(problem.correct_result, FromRight(column, p));
        if (ColumnShown(column, p) && !(column == Column::Tens && digit == 0))
            path.push_back(DecimalInput::Digit(column, digit));
    }
    path.push_back(DecimalInput::Finish());
    DecimalInputs replayed;
    for (const auto& step : example.steps) replayed.insert(replayed.end(), step.inputs.begin(), step.inputs.end());
    EXPECT_EQ(replayed, path);

    DecimalSheet sheet(PracticeSheetPlace(operation));
    sheet.SetProblem(problem);
    for (const DecimalInput& input : path) Feed(sheet, input);
    EXPECT_EQ(sheet.verdict(), Verdict::Right);
    EXPECT_EQ(sheet.cells().at(role::kAnswer).text, example.end().at(role::kAnswer).text);

    unsigned worked = 0;  // bit k: column k from the right
    for (const auto& step : example.steps) {
        for (const DecimalInput& input : step.inputs)
            if (input.what == DecimalInput::What::Digit) worked |= 1u << FromRight(input.column, p);
        const bool finished = !step.inputs.empty() && step.inputs.back().what == DecimalInput::What::Finish;
        for (int k = 0; k < p + 2; ++k) {
            const auto column = static_cast<Column>(1 + p - k);
            const std::string digit = DecimalRoleText(step.sheet, DecimalRole::Answer(column));
            if (!finished) {
                EXPECT_EQ(!digit.empty(), (worked >> k & 1u) != 0) << k << ": " << step.line;
            }
            const std::string mark = DecimalRoleText(step.sheet, DecimalRole::Mark(operation, column));
            if (!mark.empty()) {
                EXPECT_TRUE(worked & ((1u << k) - 1)) << "a figure before its column: " << step.line;
            }
            if (finished) {
                EXPECT_EQ(mark, RightMark(operation, problem, k)) << k;
            }
        }
    }
    const int first = WrittenDecimals(problem.first_operand, p);
    const int second = WrittenDecimals(problem.second_operand, p);
    if (first != second) {
        ASSERT_FALSE(example.steps.empty());
        EXPECT_TRUE(example.steps.front().inputs.empty());
    }
    const auto read = [&](int value, const char* zeros) {
        const std::string text = FormatDecimal(value, p).text + example.end().at(zeros).text;
        return text.find('.') == std::string::npos ? 0 : int(text.size() - text.find('.') - 1);
    };
    EXPECT_EQ(read(problem.first_operand, role::kUpperZeros), std::max(first, second));
    EXPECT_EQ(read(problem.second_operand, role::kLowerZeros), std::max(first, second));
    testing::ExpectLinesFit(example, kPromptWidth);
}

TEST(DecimalExamples, ClassroomProblemsAreToldColumnByColumn) {
    const struct {
        Operation operation;
        DecimalProblem problem;
        std::vector<std::string> lines;  // after the opening
    } cases[] = {
        {Operation::Addition, {2, 1, 345, 178, 523},
         {"小数第二位は ５＋８＝１３　１くり上がるよ", "くり上がりの １を たして ４＋７＋１＝１２",
          "くり上がりの １を たして ３＋１＋１＝５", "答えは ５．２３だよ"}},
        {Operation::Subtraction, {2, 1, 502, 137, 365},
         {"小数第二位は くり下げて １２－７＝５", "小数第一位は ０が ９に なって ９－３＝６",
          "一の位は ５が ４に なって ４－１＝３", "答えは ３．６５だよ"}},
        {Operation::Addition, {2, 1, 1250, 75, 1325},
         {"１２．５を １２．５０と みるよ", "小数第二位は ０＋５＝５", "小数第一位は ５＋７＝１２　１くり上がるよ",
          "くり上がりの １を たして ２＋０＋１＝３", "十の位は １を そのまま かくよ", "答えは １３．２５だよ"}},
        {Operation::Subtraction, {2, 1, 500, 237, 263},
         {"５を ５．００と みるよ", "小数第二位は くり下げて １０－７＝３", "小数第一位は ０が ９に なって ９－３＝６",
          "一の位は ５が ４に なって ４－２＝２", "答えは ２．６３だよ"}},
        {Operation::Addition, {2, 1, 340, 125, 465},
         {"３．４を ３．４０と みるよ", "小数第二位は ０＋５＝５", "小数第一位は ４＋２＝６", "一の位は ３＋１＝４",
          "答えは ４．６５だよ"}},
        {Operation::Addition, {1, 1, 45, 15, 60},
         {"小数第一位は ５＋５＝１０　１くり上がるよ", "くり上がりの １を たして ４＋１＋１＝６",
          "おわりの ０を けして 答えは ６"}},
    };
    for (const auto& c : cases) {
        const DecimalExample example = DecimalWorkedExample(c.operation, c.problem);
        std::vector<std::string> lines{"小数点を そろえて 右の 位から 計算するよ"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(Lines(example), lines);
        ExpectWorkedAsThePupilEnters(c.operation, c.problem, example);
    }

    // 3.45 + 1.78: the small 1 stands above the tenths once the hundredths
    // are worked, and the answer shows the hundredths alone.
    const DecimalExample adding = DecimalWorkedExample(Operation::Addition, {2, 1, 345, 178, 523});
    EXPECT_EQ(adding.steps[0].sheet.at(role::kAnswer).text, ". 3");
    EXPECT_EQ(adding.steps[0].sheet.at("carry tenths").text, "1");
    EXPECT_FALSE(adding.steps[0].sheet.at("carry ones").visible);
    // 5 - 2.37: 5 read as 5.00, greyed; the hundredths borrow through the 0
    // of the tenths (struck, 9) from the ones (struck, 4).
    const DecimalExample taking = DecimalWorkedExample(Operation::Subtraction, {2, 1, 500, 237, 263});
    EXPECT_EQ(taking.steps[0].sheet.at(role::kUpperZeros).text, ".00");
    EXPECT_EQ(taking.steps[0].sheet.at(role::kUpperZeros).colour, kImpliedZeroGrey);
    for (const auto& [column, text] : {std::pair{Column::Tenths, "9"}, std::pair{Column::Ones, "4"}}) {
        EXPECT_EQ(taking.steps[1].sheet.at(MarkRole(Operation::Subtraction, column)).text, text);
        EXPECT_TRUE(taking.steps[1].sheet.at(StrikeRole(column)).visible);
    }

    // 5.02 - 1.37 answered 4.75: the lender was kept in the tenths.
    const DecimalExample example = DecimalWorkedExample(Operation::Subtraction, {2, 1, 502, 137, 365});
    const WorkedRows rows{{StoredName(role::kAnswer), "4.75"}};
    const Diagnosis d = DiagnoseDecimal(Operation::Subtraction, {2, 1, 502, 137, 365}, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(FirstWrongStep(example, rows, d), 1u);
    EXPECT_EQ(example.steps[1].role, DecimalRole::Answer(Column::Tenths));
    EXPECT_EQ(FirstWrongStep(example, rows, Finding{kOther, "", ""}), 1u);
}

TEST(DecimalExamples, RolesStandInTheirCells) {
    EXPECT_EQ(DecimalColumnCell(Column::Tens), (RoleCell{role::kAnswer, RoleCell::Digit::FromPoint, -2}));
    EXPECT_EQ(DecimalRoleCell(DecimalRole::Answer(Column::Thousandths)).digit, 3);
    EXPECT_EQ(DecimalRoleCell(DecimalRole::Mark(Operation::Addition, Column::Tenths)), RoleCell{"carry tenths"});
    EXPECT_EQ(DecimalRoleCell(DecimalRole::Mark(Operation::Subtraction, Column::Ones)), RoleCell{"borrow ones"});
    const struct {
        const char* text;
        Column column;
        const char* digit;
    } cases[] = {{"15.23", Column::Tens, "1"},  {"15.23", Column::Ones, "5"}, {"15.23", Column::Hundredths, "3"},
                 {"5.2", Column::Hundredths, ""}, {"5.2", Column::Tens, ""},   {".05", Column::Ones, ""},
                 {".05", Column::Hundredths, "5"}, {"6", Column::Ones, "6"},   {"6", Column::Tenths, ""}};
    for (const auto& c : cases) EXPECT_EQ(ColumnDigit(c.text, c.column), c.digit) << c.text;
    // A column not yet worked is blank in a worked example's answer.
    Worksheet sheet;
    sheet[role::kAnswer].text = ". 37";
    EXPECT_EQ(DecimalRoleText(sheet, DecimalRole::Answer(Column::Tenths)), "");
    EXPECT_EQ(DecimalRoleText(sheet, DecimalRole::Answer(Column::Hundredths)), "3");
}

// Over thousands of examples of every menu item of both operations, each
// kind about as often as the others: the example's mistake is made in one
// column; exactly the places of that step (its answer digit, and the carried
// 1 or struck lender the pupil left out) differ from the right work besides
// those left of it that follow from it, and only they are accepted; the
// pupil's work is entered as a pupil enters it; and the right work of the
// same problem is replayed in the pupil's own entry order.
TEST(DecimalExamples, EachExampleDiffersFromTheRightWorkOnlyWhereItsKindSays) {
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
                const int p = example->problem.places;
                const DecimalExample right = DecimalWorkedExample(operation, example->problem);
                ExpectWorkedAsThePupilEnters(operation, example->problem, right);

                const Diagnosis again = DiagnoseDecimal(operation, example->problem, DecimalWorkedRows(example->sheet()));
                ASSERT_TRUE(again);
                EXPECT_EQ(*again, example->finding);
                EXPECT_EQ(example->wrong, DecimalRole::Answer(*StepColumn(again->step)));
                testing::ExpectOnlyTheKindsPlacesDiffer(*example, kinds, right.end(), DecimalRoleText);
                const int wrong = FromRight(example->wrong.column, p);
                bool left_out = false;
                for (const DecimalRole& place : example->places) {
                    const std::string theirs = DecimalRoleText(example->sheet(), place);
                    const std::string ours = DecimalRoleText(right.end(), place);
                    const int k = FromRight(place.column, p);
                    if (example->Judge(place)) {
                        // The wrong column's digit and the figure above it or
                        // above the column it should have borrowed from.
                        EXPECT_TRUE(k == wrong || (k == wrong + 1 && place.kind != DecimalRole::Kind::Answer)) << k;
                        EXPECT_NE(theirs, ours);
                        left_out |= theirs.empty();
                    } else if (theirs != ours) {
                        EXPECT_GT(k, wrong) << "only what follows from the mistake differs";
                    }
                }
                EXPECT_EQ(left_out, example->finding.kind != kColumnSlip) << "the figure the pupil left out";
                for (const DecimalRole& place : example->follows) EXPECT_GT(FromRight(place.column, p), wrong);

                DecimalSheet pupil(PracticeSheetPlace(operation));
                pupil.SetProblem(example->problem);
                for (const auto& step : example->work.steps)
                    for (const DecimalInput& input : step.inputs) Feed(pupil, input);
                EXPECT_EQ(pupil.cells().at(role::kAnswer).text, example->sheet().at(role::kAnswer).text);
                ++shown[example->finding.kind];
                if (HasFailure()) return;
            }
            testing::ExpectEveryKindShown(shown, kinds);
            // The cases are drawn evenly: none much above its share.
            for (const auto& [kind, count] : shown) {
                const double share = double(count) / testing::kMistakeExamples;
                std::printf("%s, %d places: %-20s %.3f\n", operation == Operation::Addition ? "adding" : "taking",
                            menu, kind.c_str(), share);
                EXPECT_LE(share, 1.0 / double(kinds.size()) + 0.04) << kind;
            }
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
            testing::ExpectOnlyTheKindsPlacesDiffer(fixed, DecimalMistakeKinds(operation, menu),
                                                    DecimalWorkedExample(operation, fixed.problem).end(),
                                                    DecimalRoleText);
            EXPECT_EQ(fixed.accepted.size(), 2u) << "the digit and the figure left out";
        }
        EXPECT_FALSE(DrawDecimalMistake(operation, 4, random).has_value());
        EXPECT_TRUE(DecimalWorkedExample(operation, DecimalProblem{}).steps.empty());
    }
}

}  // namespace
}  // namespace sorelka::decimals
