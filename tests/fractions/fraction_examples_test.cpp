#include "fractions/fraction_examples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <tuple>

#include "fractions/fraction_cells.h"
#include "fractions/fraction_practice.h"
#include "support/example_checks.h"
#include "support/fakes.h"

namespace sorelka::fractions {
namespace {

constexpr double kPromptWidth = 28;  // Label2 of the fraction practice: 620 pixels of 22-pixel characters

std::vector<std::string> Lines(const FractionExample& example) {
    std::vector<std::string> lines{example.opening};
    for (const auto& step : example.steps) lines.push_back(step.line);
    return lines;
}

TEST(FractionExamples, ClassroomConversionsAreToldSlotBySlot) {
    EXPECT_EQ(Lines(FractionWorkedExample(kImproperToMixed, {0, 11, 4, 2, 3, 4})),
              (std::vector<std::string>{"分子を 分母で わって 整数を 出すよ", "１１÷４＝２ あまり ３　整数は ２",
                                        "分母は ４の まま かわらないよ", "あまりの ３が 分子に なるよ",
                                        "答えは ２と ４分の３"}));
    EXPECT_EQ(Lines(FractionWorkedExample(kMixedToImproper, {2, 1, 3, 0, 7, 3})),
              (std::vector<std::string>{"整数を 分母の 数の 分子に なおすよ", "分母は ３の まま かわらないよ",
                                        "２×３＋１＝７が 分子に なるよ", "答えは ３分の７"}));
    const FractionExample box = FractionWorkedExample(kFindTheBox, {3, 1, 4, 1, 9, 4});
    EXPECT_EQ(Lines(box), (std::vector<std::string>{"整数の ちがいを 分子に なおすよ",
                                                    "（３－１）×４＋１＝９が □に はいるよ",
                                                    "□に はいる 数は ９"}));
    EXPECT_EQ(FractionWorkedExample(kImproperToMixed, {0, 12, 4, 3, 0, 4}).steps[0].line,
              "１２÷４＝３　整数の ３に なるよ");

    // 3 1/4 = 1 □/4 answered 3: the numerator's step.
    const WorkedRows rows{{"Label7", "1"}, {"Label8", "4"}, {"Label9", "3"}};
    const Diagnosis d = DiagnoseFraction(kFindTheBox, Variant::Practice, {3, 1, 4, 1, 9, 4}, rows);
    ASSERT_TRUE(d);
    EXPECT_EQ(FirstWrongStep(box, rows, d), 0u);
    EXPECT_EQ(box.steps[0].role, FractionSlot::Numerator);
}

// The answer's slots as the diagnosis names them and as the record stores them.
TEST(FractionExamples, SlotsStandInTheirCells) {
    const std::tuple<FractionSlot, const char*, const char*> slots[] = {
        {FractionSlot::Whole, "part:whole", "Label7"},
        {FractionSlot::Numerator, "part:numerator", "Label9"},
        {FractionSlot::Denominator, "part:denominator", "Label8"}};
    for (const auto& [slot, step, stored] : slots) {
        EXPECT_EQ(StepSlot(step), slot);
        EXPECT_EQ(StoredName(FractionSlotCell(slot).name), stored);
    }
    EXPECT_EQ(StepSlot(""), std::nullopt);
    EXPECT_EQ(FractionSlots(kMixedToImproper).size(), 2u);
}

// Over many draws of each family: the replay ends as the practice sheet does
// when a pupil enters the right answer.
TEST(FractionExamples, ReplayEndsAsTheRightWorkLeavesIt) {
    for (int family = 1; family <= 3; ++family) {
        testing::SeededRandom random(28 + family);
        for (int i = 0; i < 300; ++i) {
            testing::FakeServices fakes;
            fakes.ctx.state.menu_choice = family;
            FractionSheet sheet(Variant::Practice, fakes.ctx);
            sheet.SetProblem(family, *DrawFractionProblem(family, Variant::Practice, random));
            const FractionProblem& p = sheet.problem();
            // The pupil's own order: the denominator first.
            const std::pair<FractionSlot, int> slots[] = {
                {FractionSlot::Denominator, family == kFindTheBox ? 0 : p.answer_denominator},
                {FractionSlot::Whole, family == kImproperToMixed ? p.answer_whole : 0},
                {FractionSlot::Numerator, p.answer_numerator}};
            for (const auto& [slot, value] : slots) {
                if (value == 0) continue;
                sheet.ChooseDigit(Place::Tens, value / 10);
                sheet.ChooseDigit(Place::Ones, value % 10);
                sheet.ChooseSlot(slot);
            }
            sheet.ApplyAction(Action::Finish, {});
            ASSERT_EQ(sheet.JudgePracticeAnswer(), Verdict::Right);
            const FractionExample example = FractionWorkedExample(family, p);
            ASSERT_EQ(example.end(), sheet.worksheet()) << sheet.ProblemText();
            testing::ExpectLinesFit(example, kPromptWidth);
            testing::ExpectStepsWriteTheirRoles(example, FractionRoleText);
        }
    }
}

// Where a slot comes in the order a pupil fills the slots (the whole part,
// then the denominator under the bar, then the numerator).
int ActionOf(FractionSlot slot) {
    const std::vector<FractionSlot> order = FractionSlots(kImproperToMixed);
    return static_cast<int>(std::find(order.begin(), order.end(), slot) - order.begin());
}

// The steps of `example` fill the slots in the pupil's order, and no sheet
// shows a numerator or a denominator without its bar.
void ExpectThePupilsPath(const FractionExample& example) {
    int last = -1;
    for (const auto& step : example.steps) {
        if (step.role) {
            EXPECT_GT(ActionOf(*step.role), last) << step.line;
            last = ActionOf(*step.role);
        }
        const bool fraction = !FractionRoleText(step.sheet, FractionSlot::Numerator).empty() ||
                              !FractionRoleText(step.sheet, FractionSlot::Denominator).empty();
        EXPECT_TRUE(!fraction || step.sheet.at(BarRole(FractionNumber::Answer)).visible) << step.line;
    }
}

// Find-the-mistake examples of each menu item, a thousand with each kind
// preferred in turn and two thousand with none: exactly the slots of the kind's mistake
// differ from the right work, the judge accepts each of them (the framed one
// among them) and refuses every other slot, the diagnosis of the shown work
// is the example's finding, and both the mistaken work and the right work's
// replay fill the slots in the pupil's order. Drawn without a preference, no
// kind takes more than its share (a third at most).
TEST(FractionExamples, AMistakeChangesExactlyItsSlotsAndTheWorkFollowsThePupilsPath) {
    for (int family = 1; family <= 3; ++family) {
        SCOPED_TRACE(family);
        testing::SeededRandom random(300 + family);
        const std::vector<std::string> kinds = FractionMistakeKinds(family);
        std::vector<std::vector<std::string>> preferences{{}};
        for (const std::string& kind : kinds) preferences.push_back({kind});
        std::map<std::string, int> shares;
        for (const std::vector<std::string>& preferred : preferences) {
            const int draws = preferred.empty() ? testing::kMistakeExamples : testing::kMistakeExamples / 2;
            for (int i = 0; i < draws; ++i) {
                const auto example = DrawFractionMistake(family, random, preferred);
                ASSERT_TRUE(example);
                ASSERT_FALSE(example->fell_back);
                if (preferred.empty())
                    ++shares[example->finding.kind];
                else
                    EXPECT_EQ(example->finding.kind, preferred.front());
                const Diagnosis again =
                    DiagnoseFraction(family, Variant::Practice, example->problem, FractionWorkedRows(example->sheet()));
                ASSERT_TRUE(again);
                EXPECT_EQ(*again, example->finding);
                EXPECT_EQ(StepSlot(again->step), example->wrong);
                EXPECT_TRUE(example->follows.empty()) << "nothing in a fraction follows from a mistake";
                const FractionExample right = FractionWorkedExample(family, example->problem);
                testing::ExpectOnlyTheKindsPlacesDiffer(*example, kinds, right.end(), FractionRoleText);
                for (FractionSlot slot : example->places) {
                    if (example->Judge(slot)) {
                        EXPECT_FALSE(FractionRoleText(example->sheet(), slot).empty());
                    }
                }
                ExpectThePupilsPath(example->work);
                ExpectThePupilsPath(right);
                if (HasFailure()) return;
            }
        }
        testing::ExpectEveryKindShown(shares, kinds);
        std::printf("menu item %d:", family);
        for (const auto& [kind, count] : shares) {
            const double share = static_cast<double>(count) / testing::kMistakeExamples;
            std::printf(" %s %.1f%%", kind.c_str(), 100 * share);
            EXPECT_LE(share, 1.0 / 3 + 0.03) << kind;
            EXPECT_GE(share, 0.5 / static_cast<double>(kinds.size())) << kind;
        }
        std::printf("\n");
    }
}

TEST(FractionExamples, FallbacksAndItemsWithoutExamples) {
    testing::SeededRandom random(11);
    for (int family = 1; family <= 3; ++family) {
        const FractionMistakeExample fixed = FractionMistakeFallback(family);
        EXPECT_TRUE(fixed.fell_back);
        testing::ExpectOnlyTheKindsPlacesDiffer(fixed, FractionMistakeKinds(family),
                                                FractionWorkedExample(family, fixed.problem).end(), FractionRoleText);
    }
    // 9/4 left as 1 5/4: the framed numerator and the whole part are both the mistake.
    const FractionMistakeExample improper = FractionMistakeFallback(kImproperToMixed);
    EXPECT_EQ(improper.wrong, FractionSlot::Numerator);
    EXPECT_TRUE(improper.Judge(FractionSlot::Whole));
    EXPECT_FALSE(improper.Judge(FractionSlot::Denominator));
    EXPECT_FALSE(DrawFractionMistake(4, random).has_value());
    EXPECT_TRUE(FractionWorkedExample(0, {}).steps.empty());
    EXPECT_EQ(FractionWorkedExample(kImproperToMixed, FractionProblem{}).steps.size(), 1u);
}

}  // namespace
}  // namespace sorelka::fractions
