#include "division/division_examples.h"

#include <gtest/gtest.h>

#include <map>

#include "support/division_pupil.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using namespace testing::division_pupil;

constexpr double kPromptWidth = 24;  // Label2 of the division practice: 530 pixels of 22-pixel characters

std::vector<std::string> Lines(const DivisionExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

// The textbook's order, たてる・かける・ひく・おろす, with a 0 in the quotient
// after the subtraction and the bringing down that make it, and the check at
// the end.
TEST(DivisionExamples, ClassroomDivisionsAreToldStepByStep) {
    EXPECT_EQ(Lines(DivisionWorkedExample({745, 6, 124, 1, 2})),
              (std::vector<std::string>{
                  "大きい 位から じゅんに 商を たてるよ", "百の位に １を たてるよ　６×１＝６",
                  "６を ７の 下に かくよ", "７－６＝１　４を おろすよ",
                  "十の位に ２を たてるよ　６×２＝１２", "１２を １４の 下に かくよ",
                  "１４－１２＝２　５を おろすよ", "一の位に ４を たてるよ　６×４＝２４",
                  "２４を ２５の 下に かくよ", "２５－２４＝１　あまりは １", "たしかめ　６×１２４＋１＝７４５"}));
    const DivisionExample inside = DivisionWorkedExample({604, 3, 201, 1, 2});
    EXPECT_EQ(Lines(inside), (std::vector<std::string>{
                                 "大きい 位から じゅんに 商を たてるよ", "百の位に ２を たてるよ　３×２＝６",
                                 "６を ６の 下に かくよ", "６－６＝０　０を おろすよ",
                                 "０は ３より 小さいので ０を たてるよ", "４を おろすよ",
                                 "一の位に １を たてるよ　３×１＝３", "３を ４の 下に かくよ",
                                 "４－３＝１　あまりは １", "たしかめ　３×２０１＋１＝６０４"}));
    EXPECT_EQ(Lines(DivisionWorkedExample({9376, 18, 520, 16, 3})),
              (std::vector<std::string>{
                  "大きい 位から じゅんに 商を たてるよ", "百の位に ５を たてるよ　１８×５＝９０",
                  "９０を ９３の 下に かくよ", "９３－９０＝３　７を おろすよ",
                  "十の位に ２を たてるよ　１８×２＝３６", "３６を ３７の 下に かくよ",
                  "３７－３６＝１　６を おろすよ", "１６は １８より 小さいので ０を たてるよ",
                  "たしかめ　１８×５２０＋１６＝９３７６"}));
    EXPECT_EQ(Lines(DivisionWorkedExample({612, 6, 102, 0, 2})).back(), "たしかめ　６×１０２＝６１２");

    // Each step writes the place of its column; the tried difference that
    // "飛ばし" clears is no place of the finished work.
    const std::vector<std::optional<DivisionRole>> roles{
        DivisionRole::QuotientDigit(kHundreds), DivisionRole::Row(0), std::nullopt,
        DivisionRole::QuotientDigit(kTens),     DivisionRole::Row(1), DivisionRole::QuotientDigit(kOnes),
        DivisionRole::Row(2),                   DivisionRole::Row(3), std::nullopt};
    ASSERT_EQ(inside.steps.size(), roles.size());
    for (std::size_t i = 0; i < roles.size(); ++i) EXPECT_EQ(inside.steps[i].role, roles[i]) << i;

    // The pupil left out the 0 (an older record: the quotient's text alone):
    // the step that writes it is where the work went wrong.
    const WorkedRows rows{{"Label7", "21"}, {"Label8", "6"}, {"Label9", "4"}, {"Label10", "3"}, {"Label11", "1"}};
    const Diagnosis d = DiagnoseDivision({604, 3, 201, 1, 2}, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->kind, kZeroMissing);
    EXPECT_EQ(FirstWrongStep(inside, {604, 3, 201, 1, 2}, rows, d), 3u);
    EXPECT_EQ(FirstWrongStep(inside, {604, 3, 201, 1, 2}, rows, std::nullopt), std::nullopt);
}

// The quotient's digits are named by the columns they stand over, on the
// worksheet and in the record, which keeps older records readable.
TEST(DivisionExamples, QuotientDigitsStandOverTheirColumns) {
    struct Stored {
        std::string quotient;
        int first_place;
        int dividend_digits;
        std::string stored;
    };
    for (const Stored& c : {Stored{"92", kHundreds, 3, "92 "}, Stored{"92", kTens, 3, " 92"},
                            Stored{"9", kOnes, 3, "  9"}, Stored{"124", kHundreds, 3, "124"},
                            Stored{"920", kTens, 3, "920"}, Stored{"9", kHundreds, 2, "9"}})
        EXPECT_EQ(QuotientOverDividend(c.quotient, c.first_place, c.dividend_digits), c.stored) << c.stored;

    const DivisionProblem p{461, 5, 92, 1, 2};
    const WrittenDivision high = WrittenDivisionOf(p, {{"Label7", "92 "}, {"Label12", "10"}});
    EXPECT_EQ(high.FirstPlace(), kHundreds);
    EXPECT_EQ(high.Text(DivisionRole::QuotientDigit(kHundreds)), "9");
    EXPECT_EQ(high.Text(DivisionRole::QuotientDigit(kOnes)), "");
    EXPECT_EQ(high.Text(DivisionRole::Row(4)), "10");
    EXPECT_EQ(DivisionStepRole("quotient:2", high), DivisionRole::QuotientDigit(kTens));
    const WrittenDivision old = WrittenDivisionOf(p, {{"Label7", "92"}});
    EXPECT_EQ(old.FirstPlace(), kTens) << "an older record: where the right quotient stands";
    EXPECT_EQ(old.Text(DivisionRole::QuotientDigit(kOnes)), "2");
    EXPECT_EQ(DivisionStepRole("row:1", old), DivisionRole::Row(0));
    for (const char* step : {"row:7", "row:0", "quotient:0", "quotient:x", "column:ones", ""})
        EXPECT_EQ(DivisionStepRole(step, old), std::nullopt) << step;

    // On the worksheet: the digit chosen in the hundreds list of 461 ÷ 5.
    testing::FakeServices fx;
    LongDivision model(fx.ctx);
    model.NewProblem(p);
    Feed(model, Q(kHundreds, 9));
    EXPECT_EQ(DivisionRoleCell(model.worksheet(), DivisionRole::QuotientDigit(kHundreds)),
              (RoleCell{kQuotientRole, RoleCell::Digit::FromLeft, 0, kHundreds}));
    EXPECT_EQ(DivisionRoleText(model.worksheet(), DivisionRole::QuotientDigit(kTens)), "");
    EXPECT_EQ(CellText(DivisionWorkedRows(model.worksheet()), "Label7"), "9  ");
    EXPECT_EQ(DivisionRoleCell(model.worksheet(), DivisionRole::Row(5)).name, kRowRoles[5]);
}

// Over many draws of every menu item: the replay is the right pupil's own
// entry path, step for step (a 0 after the difference that makes it), and
// ends with the worksheet that pupil leaves, cell by cell; every line fits;
// and for each buggy pupil the marked step writes the cell the diagnosis
// frames.
TEST(DivisionExamples, ReplayIsThePupilsPathAndMarksTheDiagnosedStep) {
    testing::SeededRandom random(28);
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    int marked = 0;
    int zeros = 0;
    for (int i = 0; i < 900; ++i) {
        // A fresh model: a used one keeps the places of empty rows an earlier
        // problem moved, which no pupil sees.
        LongDivision model(cues, dialogs, random);
        model.NewProblem(i % 3 + 1);
        const DivisionProblem problem = model.problem();
        const Entries path = *Pupil(problem, Bug::None, 0);
        Enter(model, path);
        ASSERT_EQ(model.JudgeDivision(), Verdict::Right);
        const DivisionExample example = DivisionWorkedExample(problem);
        ASSERT_EQ(example.end(), model.worksheet()) << ProblemText(problem);
        Entries replayed;
        for (const auto& step : example.steps) replayed.insert(replayed.end(), step.inputs.begin(), step.inputs.end());
        Entries entered = path;
        entered.push_back(DivisionInput::FinishWork());
        EXPECT_EQ(replayed, entered);
        for (std::size_t s = 1; s < example.steps.size(); ++s)
            if (example.steps[s].inputs.front().what == Entry::Skip) {
                ++zeros;
                const Entry& before = example.steps[s - 1].inputs.front();
                EXPECT_TRUE(before.what == Entry::Tried || before.what == Entry::Number || before.what == Entry::Skip)
                    << "a 0 comes after the difference it cannot divide: " << ProblemText(problem);
            }
        testing::ExpectLinesFit(example, kPromptWidth);
        testing::ExpectStepsWriteTheirRoles(example, DivisionRoleText);

        const BugCase& b = kBugs[i % std::size(kBugs)];
        const auto entries = Pupil(problem, b.bug, i % 3 + 1);
        if (!entries) continue;
        model.ApplyAction(Action::Clear);
        Enter(model, *entries);
        const WorkedRows rows = DivisionWorkedRows(model.worksheet());
        const Diagnosis d = DiagnoseDivision(problem, rows);
        if (!d) continue;
        const auto step = FirstWrongStep(example, problem, rows, d);
        ASSERT_TRUE(step) << d->step;
        const auto& role = example.steps[*step].role;
        ASSERT_TRUE(role);
        if (!DivisionStepCell(d->step).empty()) {
            EXPECT_EQ(DivisionRoleCell(example.end(), *role).name, DivisionStepCell(d->step)) << d->kind;
            ++marked;
        }
    }
    EXPECT_GT(marked, 300);
    EXPECT_GT(zeros, 20);
}

// Thousands of examples per menu item: each differs from the right work in
// exactly the places its kind explains (the wrong step's, accepted, and what
// follows from it), the click is accepted there and refused elsewhere, the
// row marker does not show, and no kind is more than a third of the draws
// while a 0 left out comes up at a fair share. Then every kind on its own.
TEST(DivisionExamples, FindTheMistakeDiffersOnlyWhereItsKindSays) {
    for (int menu = 1; menu <= 3; ++menu) {
        SCOPED_TRACE(menu);
        testing::SeededRandom random(100 + menu);
        const std::vector<std::string> kinds = DivisionMistakeKinds(menu);
        std::map<std::string, int> shown;
        const auto check = [&](const DivisionMistakeExample& example) {
            ASSERT_FALSE(example.fell_back);
            const WorkedRows rows = DivisionWorkedRows(example.sheet());
            const Diagnosis again = DiagnoseDivision(example.problem, rows);
            ASSERT_TRUE(again);
            EXPECT_EQ(*again, example.finding);
            EXPECT_EQ(DivisionStepRole(again->step, WrittenDivisionOf(example.problem, rows)), example.wrong);
            EXPECT_FALSE(example.sheet().at(kMarkerRole).visible) << "no row marker on an example";
            testing::ExpectOnlyTheKindsPlacesDiffer(example, kinds, DivisionWorkedExample(example.problem).end(),
                                                    DivisionRoleText);
        };
        constexpr int kDraws = testing::kMistakeExamples;
        for (int i = 0; i < kDraws; ++i) {
            const auto example = DrawDivisionMistake(menu, random);
            ASSERT_TRUE(example);
            check(*example);
            ++shown[example->finding.kind];
            if (HasFailure()) return;
        }
        testing::ExpectEveryKindShown(shown, kinds);
        for (const auto& [kind, count] : shown) {
            std::printf("division menu %d: %-20s %5.1f %%\n", menu, kind.c_str(), 100.0 * count / kDraws);
            EXPECT_LE(count, kDraws / 3) << kind;
        }
        EXPECT_GE(shown[kZeroMissing], kDraws / 14) << "a 0 left out at a fair share";
        for (const std::string& kind : kinds)
            for (int i = 0; i < 150 && !HasFailure(); ++i) {
                const auto example = DrawDivisionMistake(menu, random, {kind});
                ASSERT_EQ(example->finding.kind, kind);
                check(*example);
            }
    }
}

TEST(DivisionExamples, PreferredKindsAndFallbacks) {
    testing::SeededRandom random(7);
    for (int menu = 1; menu <= 3; ++menu) {
        for (const std::string& kind : DivisionMistakeKinds(menu))
            for (int i = 0; i < 20; ++i)
                EXPECT_EQ(DrawDivisionMistake(menu, random, {kind, "carry_missing"})->finding.kind, kind) << menu;
        const DivisionMistakeExample fixed = DivisionMistakeFallback(menu);
        EXPECT_TRUE(fixed.fell_back);
        testing::ExpectOnlyTheKindsPlacesDiffer(fixed, DivisionMistakeKinds(menu),
                                                DivisionWorkedExample(fixed.problem).end(), DivisionRoleText);
    }
    EXPECT_FALSE(DrawDivisionMistake(4, random).has_value());
    // No problem (nothing drawn yet, a divisor of 0): only "終わり" is replayed.
    EXPECT_EQ(DivisionWorkedExample(DivisionProblem{}).steps.size(), 1u);
    EXPECT_FALSE(DrawDivisionMistake(0, random).has_value());
}

}  // namespace
}  // namespace sorelka::division
