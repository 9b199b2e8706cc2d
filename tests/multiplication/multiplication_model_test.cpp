#include <gtest/gtest.h>

#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_examples.h"
#include "multiplication/multiplication_practice.h"
#include "multiplication/multiplication_problem.h"
#include "multiplication/multiplication_sheet.h"
#include "multiplication/multiplication_steps.h"
#include "support/fakes.h"

namespace sorelka::multiplication {
namespace {

using testing::ExtremeRandom;
using testing::FakeServices;
using testing::SeededRandom;

// Every draw of every menu item fits it, and its right work reads back as
// its product through the texts the record keeps.
TEST(MultiplicationProblems, EveryDrawFitsItsItemAndItsRightWorkReadsBack) {
    SeededRandom random(37);
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        for (int i = 0; i < 3000; ++i) {
            const std::optional<MultiplicationProblem> drawn = DrawProblem(menu, random);
            ASSERT_TRUE(drawn);
            const MultiplicationProblem& p = *drawn;
            SCOPED_TRACE(StoredProblemText(p));
            ASSERT_TRUE(FitsMenuItem(p, menu));
            EXPECT_LE(p.WholeProduct(), 9999);
            EXPECT_EQ(ParseStoredProblem(menu, StoredProblemText(p)), p);
            const MultiplicationWork work = RightWork(p);
            EXPECT_TRUE(IsRightWork(p, work));
            for (const RowDigits& row : work.rows) EXPECT_EQ(RowFromText(RowText(row)), row);
            EXPECT_EQ(RowValue(work.product), p.WholeProduct());
            if (p.TwoDigitMultiplier()) {
                EXPECT_EQ(RowValue(work.rows[0]) + RowValue(work.rows[1]), p.WholeProduct());
            }
        }
    }
    EXPECT_FALSE(DrawProblem(0, random));
    EXPECT_FALSE(DrawProblem(kMenuItems + 1, random));
    // Every retry failing: the item's fixed problem stands.
    for (const bool highest : {false, true}) {
        ExtremeRandom extreme(highest);
        for (int menu = 1; menu <= kMenuItems; ++menu) EXPECT_TRUE(FitsMenuItem(*DrawProblem(menu, extreme), menu));
    }
}

// `work` entered on a fresh sheet of `problem`: the steps' verdict, and the
// sheet's work as the record's rows give it back.
Verdict WorkThrough(const MultiplicationProblem& problem, const MultiplicationWork& work) {
    MultiplicationSteps steps;
    steps.StartProblem(problem);
    std::optional<Verdict> verdict;
    for (const MultiplicationInput& input : InputsOf(work)) verdict = steps.Feed(input);
    EXPECT_EQ(steps.work(), work);
    EXPECT_EQ(WorkFromRows(MultiplicationWorkedRows(steps.cells()), problem), work);
    EXPECT_FALSE(steps.takes_entries());
    return verdict.value_or(Verdict::Wrong);
}

// Every draw's right work, and the same with its last touch left out,
// worked through the steps and read back from the record.
TEST(MultiplicationSteps, RightWorkOfEveryItemIsJudgedRightAndReadsBack) {
    SeededRandom random(6);
    for (int menu = 1; menu <= kMenuItems; ++menu) {
        for (int i = 0; i < 200; ++i) {
            const MultiplicationProblem p = *DrawProblem(menu, random);
            SCOPED_TRACE(StoredProblemText(p));
            MultiplicationWork work = RightWork(p);
            EXPECT_EQ(AnswerText(work), ProductText(p));
            EXPECT_EQ(WorkThrough(p, work), Verdict::Right);
            // 10.0 unstruck, .12 without its ones 0, no point: each wrong.
            if (work.struck > 0) {
                --work.struck;
            } else if (work.ones_zero) {
                work.ones_zero = false;
            } else {
                work.point.reset();
            }
            EXPECT_EQ(WorkThrough(p, work), Verdict::Wrong);
        }
    }
}

// The answers a pupil can write, right and wrong, as the sheet reads them.
TEST(MultiplicationProblems, AnswerTextsOfTheTrickyProducts) {
    const auto problem = [](int digits, int places, int multiplier) {
        return MultiplicationProblem{.digits = digits, .places = places, .multiplier = multiplier};
    };
    struct Case {
        MultiplicationProblem problem;
        MultiplicationWork work;
        std::string answer;
        bool right;
    };
    const MultiplicationWork ten{.product = RowOf(100), .point = 1};
    const Case cases[] = {
        {problem(25, 1, 4), {.product = RowOf(100), .point = 1, .struck = 1}, "10", true},
        {problem(25, 1, 4), ten, "10.0", false},
        {problem(25, 1, 4), {.product = RowOf(100)}, "100", false},
        {problem(4, 2, 3), {.product = RowOf(12), .point = 2}, ".12", false},
        {problem(4, 2, 3), {.product = RowOf(12), .point = 2, .ones_zero = true}, "0.12", true},
        {problem(15, 2, 6), {.product = RowOf(90), .point = 2, .ones_zero = true, .struck = 1}, "0.9", true},
        {problem(15, 2, 6), {.product = RowOf(90), .point = 2, .ones_zero = true}, "0.90", false},
        {problem(237, 2, 6), {.product = RowOf(1422), .point = 2}, "14.22", true},
        {problem(237, 2, 6), {.product = RowOf(1422), .point = 1}, "142.2", false},
        {problem(36, 1, 24), RightWork(problem(36, 1, 24)), "86.4", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StoredProblemText(c.problem) + " written " + c.answer);
        EXPECT_EQ(AnswerText(c.work), c.answer);
        EXPECT_EQ(IsRightWork(c.problem, c.work), c.right);
    }
    EXPECT_EQ(ProductText(problem(25, 1, 4)), "10");
    EXPECT_EQ(ProblemLine(problem(237, 2, 6), false), "2.37 × 6 = ?");
    EXPECT_EQ(ProblemLine(problem(4, 2, 3), true), "0.04 × 3 = 0.12");
    EXPECT_EQ(WideFact(problem(23, 1, 4)), "２．３×４＝９．２");
    EXPECT_EQ(RowText(RowOf(474, 1)), "474 ");
    EXPECT_EQ(RowText(kEmptyRow), "");
    EXPECT_FALSE(ParseStoredProblem(1, "2.37 + 6"));
    EXPECT_FALSE(ParseStoredProblem(1, "237 × 6"));
}

// The worked example writes the right work step by step, with its carries
// small, and ends with the whole calculation.
TEST(MultiplicationExamples, WorkedExampleWritesTheRightWorkAndEndsWithTheFact) {
    const MultiplicationProblem problems[] = {
        {.digits = 237, .places = 2, .multiplier = 6}, {.digits = 36, .places = 1, .multiplier = 24},
        {.digits = 25, .places = 1, .multiplier = 4},  {.digits = 4, .places = 2, .multiplier = 3},
        {.digits = 15, .places = 2, .multiplier = 6},  {.digits = 95, .places = 1, .multiplier = 88},
    };
    for (const MultiplicationProblem& p : problems) {
        SCOPED_TRACE(StoredProblemText(p));
        const MultiplicationExample example = MultiplicationWorkedExample(p);
        ASSERT_FALSE(example.steps.empty());
        EXPECT_EQ(example.steps.back().line, WideFact(p));
        EXPECT_EQ(WorkFromRows(MultiplicationWorkedRows(example.end()), p), RightWork(p));
        EXPECT_EQ(example.end().at(role::kVerdict).text, "");
        for (const auto& step : example.steps) EXPECT_FALSE(step.line.empty());
        // The replay of the right work writes the same places.
        const MultiplicationExample replay = ReplayMultiplication(p, RightWork(p));
        const auto read = [](const Worksheet& sheet, const MultiplicationRole& role) {
            return MultiplicationRoleText(sheet, role);
        };
        const auto places = WrittenPlaces(example, read);
        EXPECT_EQ(places, WrittenPlaces(replay, read));
        EXPECT_FALSE(FirstDifference(places, replay.end(), example.end(), read));
    }
    const MultiplicationExample example = MultiplicationWorkedExample(problems[0]);
    EXPECT_EQ(example.steps[0].line, "７×６＝４２　４くり上がるよ");
    EXPECT_EQ(example.steps[1].line, "３×６＝１８　１８＋４＝２２　２くり上がるよ");
    EXPECT_EQ(example.end().at(role::kCarries1).text, "124 ");
    using Part = MultiplicationRole::Part;
    EXPECT_EQ(MultiplicationRoleText(example.end(), {.part = Part::Digit, .row = 3, .column = 3}), "1");
    EXPECT_EQ(MultiplicationRoleText(example.end(), {.part = Part::Point, .row = 3}), ".");
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

// A practice problem from the menu, 10.0 left unstruck: ×, recorded once
// with the pupil's rows; struck, it is ○ on the problem line.
TEST(MultiplicationPractice, JudgesAndRecordsTheFirstVerdict) {
    FakeServices services;
    Answers answers;
    services.ctx.recorder = &answers;
    MultiplicationPractice practice(services.ctx);
    practice.FormCreate();
    EXPECT_EQ(practice.prompt(), "メニューを選んでね！");
    practice.NextPressed();
    EXPECT_FALSE(practice.steps().has_problem());
    practice.ShowGivenProblem({.digits = 25, .places = 1, .multiplier = 4}, kZerosMenu);
    EXPECT_EQ(practice.cells().at(role::kEquation).text, "2.5 × 4 = ?");
    for (const auto& [place, digit] : {std::pair{Place::Ones, 0}, {Place::Tens, 0}, {Place::Hundreds, 1}})
        practice.ChooseDigit(place, digit);
    practice.ChoosePoint(1);
    EXPECT_EQ(practice.ApplyAction(Action::Finish), Verdict::Wrong);
    EXPECT_EQ(practice.cells().at(role::kVerdict).text, "×");
    EXPECT_EQ(practice.prompt(), "「次へ」ボタンですすめてね！");
    EXPECT_EQ(practice.cells().at(role::kEquation).text, "2.5 × 4 = 10");
    practice.StrikeEndZero();  // too late: the answer is judged
    EXPECT_EQ(practice.ApplyAction(Action::Finish), Verdict::Wrong);
    ASSERT_EQ(answers.practice.size(), 1u);
    const JudgedAnswer& answer = answers.practice[0];
    EXPECT_EQ(answer.topic, Topic::DecimalMultiplication);
    EXPECT_EQ(answer.menu_choice, kZerosMenu);
    EXPECT_EQ(answer.problem, "2.5 × 4");
    EXPECT_EQ(answer.right_answer, "10");
    EXPECT_EQ(answer.entered_answer, "10.0");
    EXPECT_EQ(WorkFromRows(answer.worked_rows, *ParseStoredProblem(kZerosMenu, answer.problem)),
              practice.steps().work());

    services.random.Feed(std::vector<int>(64, 0));
    practice.NextPressed();
    const MultiplicationProblem p = practice.steps().problem();
    EXPECT_TRUE(FitsMenuItem(p, kZerosMenu));
    using What = MultiplicationInput::What;
    for (const MultiplicationInput& input : InputsOf(RightWork(p))) {
        switch (input.what) {
            case What::Digit: practice.ChooseDigit(static_cast<Place>(3 - input.column), input.value); break;
            case What::Confirm: practice.ApplyAction(Action::Confirm); break;
            case What::Point: practice.ChoosePoint(input.value); break;
            case What::OnesZero: practice.WriteOnesZero(); break;
            case What::StrikeZero: practice.StrikeEndZero(); break;
            case What::Clear:
            case What::Finish: break;
        }
    }
    EXPECT_EQ(practice.ApplyAction(Action::Finish), Verdict::Right);
    EXPECT_EQ(practice.cells().at(role::kVerdict).text, "○");
    EXPECT_FALSE(practice.note());
    ASSERT_EQ(answers.practice.size(), 2u);
    EXPECT_TRUE(answers.practice[1].correct);
}

}  // namespace
}  // namespace sorelka::multiplication
