#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_examples.h"
#include "decimal_division/decimal_division_practice.h"
#include "decimal_division/decimal_division_steps.h"
#include "core/wide_digits.h"
#include "support/diagnosis_draws.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::decimal_division {
namespace {

using testing::FakeServices;
using testing::SeededRandom;
using What = DecimalDivisionInput::What;

// The practice's prompt: two lines of 24 full-width characters (530 pixels).
constexpr double kPromptWidth = 48;

DecimalDivisionInput Digit(int place, int digit) {
    return DecimalDivisionInput::Of(division::DivisionInput::QuotientDigit(place, digit));
}
DecimalDivisionInput Row(int value) { return DecimalDivisionInput::Of(division::DivisionInput::RowNumber(value)); }
DecimalDivisionInput Tried(int value) { return DecimalDivisionInput::Of(division::DivisionInput::TriedNumber(value)); }
DecimalDivisionInput Skip() { return DecimalDivisionInput::Of(division::DivisionInput::ZeroDigit()); }
DecimalDivisionInput Do(What what, int value = 0, int place = 0) { return DecimalDivisionInput::Of(what, value, place); }

// Every draw of every menu item: the right work's inputs through the steps
// end ○ and leave the right work; the cells kept by the record read back as
// that work. Its worked example explains every step, ends with the whole
// fact and leaves a sheet that reads the answer.
TEST(DecimalDivisionModel, RightInputsEndRightAndTheRecordReadsTheWorkBack) {
    SeededRandom random(3807);
    FakeServices fx;
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        for (int i = 0; i < testing::kPropertyDraws / 20; ++i) {
            const DecimalDivisionProblem p = *DrawProblem(menu, random);
            SCOPED_TRACE(StoredProblemText(p));
            DecimalDivisionSteps steps(fx.cues, fx.dialogs, fx.random);
            steps.StartProblem(p);
            for (const DecimalDivisionInput& input : RightWorkInputs(p)) {
                steps.Feed(input);
                ASSERT_EQ(steps.said(), "");
            }
            EXPECT_EQ(steps.work(), RightWork(p));
            EXPECT_EQ(steps.Feed(Do(What::Finish)), Verdict::Right);
            EXPECT_EQ(steps.cells().at(role::kVerdict).text, "○");
            EXPECT_EQ(WorkFromRows(DecimalDivisionWorkedRows(steps.cells()), p), steps.work());
            EXPECT_EQ(steps.cells().at(division::kDividendRole).text,
                      std::to_string(WholeDivision(p).dividend));
            if (i % 10 != 0) continue;
            const DecimalDivisionExample example = DecimalDivisionWorkedExample(p);
            ASSERT_FALSE(example.steps.empty());
            EXPECT_EQ(example.steps.back().line, WideFact(p));
            // No line reads the last difference as a whole-number remainder ("あまりは ３" for 0.3).
            const std::string whole_remainder = "あまりは " + WideText(WholeDivision(p).remainder);
            testing::ExpectLinesFit(example, kPromptWidth);
            for (const auto& step : example.steps) {
                EXPECT_FALSE(step.line.ends_with(whole_remainder)) << step.line;
                if (step.role) {
                    EXPECT_NE(DecimalDivisionRoleText(step.sheet, *step.role), "") << step.line;
                }
            }
            const DecimalDivisionWork shown = WorkFromRows(DecimalDivisionWorkedRows(example.end()), p);
            EXPECT_EQ(AnswerRead(p, shown), AnswerText(p));
            EXPECT_EQ(shown, RightWork(p));
        }
    }
}

struct Case {
    const char* name;
    DecimalDivisionProblem problem;
    std::vector<DecimalDivisionInput> inputs;
    const char* said;      // after the last input
    const char* dividend;  // as shown
    std::optional<Verdict> verdict;
    const char* read;      // the quotient as read (the rounded one when rounded)
};

// Refusals and edge cases of the written method, each worked as a pupil does.
TEST(DecimalDivisionModel, RefusalsAndEdgeCases) {
    const DecimalDivisionProblem five_four{.digits = 54, .places = 1, .divisor = 4};
    const DecimalDivisionProblem three_four{.digits = 3, .places = 0, .divisor = 4};
    const DecimalDivisionProblem six_twelve{.digits = 612, .places = 2, .divisor = 6};
    // 2.9 ÷ 3 = 0.96… rounded to 1/10: 1.0.
    const DecimalDivisionProblem two_nine{
        .digits = 29, .places = 1, .divisor = 3, .ending = Ending::Rounded, .asked = 1};
    const DecimalDivisionProblem seven_five{
        .digits = 75, .places = 1, .divisor = 4, .ending = Ending::Remainder, .asked = 1};
    const Case cases[] = {
        {"bringing down a 0 not yet written", five_four,
         {Digit(3, 1), Row(4), Row(14), Digit(2, 3), Row(12), Row(20)}, kAppendZeroText, "54", std::nullopt, "13"},
        {"a quotient digit over a 0 not yet written", five_four,
         {Digit(3, 1), Row(4), Row(14), Digit(2, 3), Row(12), Row(2), Digit(1, 5)}, kAppendZeroText, "54",
         std::nullopt, "13"},
        {"the 0 written first", five_four,
         {Digit(3, 1), Row(4), Row(14), Digit(2, 3), Row(12), Do(What::AppendZero), Row(20), Digit(1, 5), Row(20),
          Row(0), Do(What::QuotientPoint, 2), Do(What::Finish)},
         "", "540", Verdict::Right, "1.35"},
        {"終わり with no quotient", five_four, {Do(What::AppendZero), Do(What::Finish)},
         division::kNoQuotientText, "540", std::nullopt, ""},
        {"stopped at the dividend's last digit", five_four,
         {Digit(3, 1), Row(4), Row(14), Digit(2, 3), Row(12), Row(2), Do(What::QuotientPoint, 1), Do(What::Finish)},
         "", "54", Verdict::Wrong, "1.3"},
        {"one 0 too many is the pupil's, two are not", five_four,
         {Do(What::AppendZero), Do(What::AppendZero), Do(What::AppendZero)}, kNoMoreZerosText, "5400",
         std::nullopt, ""},
        {"a whole dividend: 3 ÷ 4", three_four,
         {Do(What::OnesZero), Do(What::AppendZero), Digit(2, 7), Row(28), Do(What::AppendZero), Row(20), Digit(1, 5),
          Row(20), Row(0), Do(What::QuotientPoint, 2), Do(What::Finish)},
         "", "300", Verdict::Right, "0.75"},
        {"a 0 inside the quotient: 6.12 ÷ 6 with 飛ばし", six_twelve,
         {Digit(3, 1), Row(6), Tried(1), Skip(), Row(12), Digit(1, 2), Row(12), Row(0),
          Do(What::QuotientPoint, 2), Do(What::Finish)},
         "", "612", Verdict::Right, "1.02"},
        {"the 0 inside left out", six_twelve,
         {Digit(3, 1), Row(6), Row(12), Digit(2, 2), Row(12), Row(0), Do(What::QuotientPoint, 1), Do(What::Finish)},
         "", "612", Verdict::Wrong, "1.2"},
        {"0.96… rounded to 1/10 carries: 1.0", two_nine,
         {Do(What::OnesZero), Digit(2, 9), Row(27), Do(What::AppendZero), Row(20), Digit(1, 6), Row(18), Row(2),
          Do(What::QuotientPoint, 2), Do(What::StartRounded), Do(What::RoundedDigit, 1, 3),
          Do(What::RoundedDigit, 0, 2), Do(What::Finish)},
         "", "290", Verdict::Right, "1.0"},
        {"rounding cut off: 0.9", two_nine,
         {Do(What::OnesZero), Digit(2, 9), Row(27), Do(What::AppendZero), Row(20), Digit(1, 6), Row(18), Row(2),
          Do(What::QuotientPoint, 2), Do(What::StartRounded), Do(What::RoundedDigit, 9, 2), Do(What::Finish)},
         "", "290", Verdict::Wrong, "0.9"},
        {"no rounded row where none is asked", five_four, {Do(What::StartRounded)}, kNotUsedText, "54",
         std::nullopt, ""},
        {"no remainder's point where none is asked", five_four, {Do(What::RemainderPoint, 1)}, kNotUsedText, "54",
         std::nullopt, ""},
        {"the remainder read as a whole number", seven_five,
         {Digit(2, 1), Row(4), Row(35), Digit(1, 8), Row(32), Row(3), Do(What::QuotientPoint, 1), Do(What::Finish)},
         "", "75", Verdict::Wrong, "1.8"},
        {"the ones 0 where the quotient has a ones digit", seven_five, {Digit(2, 1), Row(4), Do(What::OnesZero)},
         kOnesTakenText, "75", std::nullopt, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServices fx;
        DecimalDivisionSteps steps(fx.cues, fx.dialogs, fx.random);
        steps.StartProblem(c.problem);
        std::optional<Verdict> verdict;
        for (const DecimalDivisionInput& input : c.inputs) verdict = steps.Feed(input);
        EXPECT_EQ(steps.said(), c.said);
        EXPECT_EQ(steps.cells().at(division::kDividendRole).text, c.dividend);
        EXPECT_EQ(verdict, c.verdict);
        const DecimalDivisionWork work = steps.work();
        EXPECT_EQ(c.problem.ending == Ending::Rounded ? RoundedRead(work) : QuotientRead(work), c.read);
        EXPECT_EQ(WorkFromRows(DecimalDivisionWorkedRows(steps.cells()), c.problem), work);
    }
}

class Answers final : public LearningRecorder {
public:
    std::string PupilName() const override { return "ゲスト"; }
    void RecordPractice(const JudgedAnswer& answer) override { practice.push_back(answer); }
    std::string StartDrill(const DrillRun&) override { return {}; }
    void RecordDrillAnswer(const std::string&, int, const JudgedAnswer&, const DrillRow&,
                           const DrillFigures&) override {}
    void FinishDrill(const std::string&, const DrillFigures&, const LocalTime&) override {}
    std::vector<JudgedAnswer> practice;
};

// 7.5 ÷ 4 with the remainder read as a whole number, through the practice's
// events: "終わり" without a quotient is refused and records nothing; the
// answer is ×, recorded once with its rows, diagnosed and noted.
TEST(DecimalDivisionPractice, JudgesRecordsAndDiagnosesTheFirstVerdict) {
    FakeServices services;
    Answers answers;
    services.ctx.recorder = &answers;
    DecimalDivisionPractice practice(services.ctx);
    practice.FormCreate();
    const DecimalDivisionProblem p{.digits = 75, .places = 1, .divisor = 4, .ending = Ending::Remainder, .asked = 1};
    practice.ShowGivenProblem(p, kRemainderMenu);
    EXPECT_EQ(practice.cells().at(role::kEquation).text, "7.5 ÷ 4 = ?（商は 1/10の位まで、あまりも）");
    EXPECT_EQ(practice.ApplyAction(SheetAction::Finish), std::nullopt);
    EXPECT_EQ(practice.prompt(), division::kNoQuotientText);
    // Each number digit by digit from its highest column, confirmed.
    const auto enter = [&practice](int value, int last_column) {
        const std::string digits = std::to_string(value);
        for (std::size_t i = 0; i < digits.size(); ++i)
            practice.ChooseDigit(division::PlaceOfColumn(last_column + static_cast<int>(digits.size() - 1 - i)),
                                 digits[i] - '0');
        practice.ApplyAction(SheetAction::Confirm);
    };
    enter(1, 2);
    enter(4, 1);
    enter(35, 1);
    enter(8, 1);
    enter(32, 1);
    enter(3, 1);
    practice.ChooseQuotientPoint(1);
    EXPECT_EQ(practice.ApplyAction(SheetAction::Finish), Verdict::Wrong);
    EXPECT_EQ(practice.cells().at(role::kVerdict).text, "×");
    EXPECT_EQ(practice.cells().at(role::kEquation).text, "7.5 ÷ 4 = 1.8 あまり 0.3");
    practice.ChooseRemainderPoint(1);  // too late: the answer is judged
    EXPECT_EQ(practice.ApplyAction(SheetAction::Finish), Verdict::Wrong);
    ASSERT_EQ(answers.practice.size(), 1u);
    const JudgedAnswer& answer = answers.practice[0];
    EXPECT_EQ(answer.topic, Topic::DecimalDivision);
    EXPECT_EQ(answer.problem, "7.5 ÷ 4（商は 1/10の位まで、あまりも）");
    EXPECT_EQ(answer.right_answer, "1.8 あまり 0.3");
    EXPECT_EQ(answer.entered_answer, "1.8 あまり 3");
    EXPECT_EQ(WorkFromRows(answer.worked_rows, *ParseStoredProblem(kRemainderMenu, answer.problem)),
              practice.steps().work());
    ASSERT_TRUE(answer.finding.has_value());
    EXPECT_EQ(answer.finding->kind, kRemainderPoint);
    ASSERT_TRUE(practice.note().has_value());
}

}  // namespace
}  // namespace sorelka::decimal_division
