#include "division/division_diagnosis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "division/long_division.h"
#include "support/diagnosis_draws.h"
#include "support/division_pupil.h"
#include "support/fakes.h"

namespace sorelka::division {
namespace {

using namespace testing::division_pupil;

// The classroom fixtures, each drawn by the generator with scripted draws and
// entered through the model as the pupil wrote it, kept as the screens keep
// it (or as older records held it).
TEST(DivisionDiagnosisTest, ClassroomFixturesAreNamed) {
    struct Case {
        const char* what;
        int menu;
        std::vector<int> draws;
        Entries entries;
        const char* kind;
        const char* step;
        const char* explanation;  // checked when given
        bool older_record = false;  // the quotient's text alone, without its columns
        bool read_right = false;    // the quotient's text is the right number, a column off
    };
    const Case cases[] = {
        {"408 ÷ 4 with the 0 left out", 1, {5, 308, 2},
         {Q(3, 1), N(4), N(8), Q(2, 2), N(8), N(0)}, kZeroMissing, "quotient:2",
         "十の位に ０を たてわすれたよ　０は ４より 小さいので、十の位は ０だよ　０÷４＝０"},
        {"507 ÷ 5 with the 0 left out", 1, {5, 407, 3},
         {Q(3, 1), N(5), N(7), Q(1, 1), N(5), N(2)}, kZeroMissing, "quotient:2",
         "十の位に ０を たてわすれたよ　０は ５より 小さいので、十の位は ０だよ　０÷５＝０"},
        {"413 ÷ 59 with the first quotient digit 8", 2, {3, 313, 49},
         {Q(1, 8), N(472), N(59)}, kQuotientTooBig, "quotient:1",
         "一の位に たてた 商が 大きすぎるよ　５９×８＝４７２は ４１３より 大きいね　４１３÷５９＝７"},
        {"752 ÷ 3 with the first product off by one", 1, {5, 652, 1},
         {Q(3, 2), N(5), N(25), Q(2, 8), N(24), N(12), Q(1, 4), N(12), N(0)}, kProductSlip,
         "row:1", "さいしょの かけ算が ちがうよ　３×２＝６"},
        {"745 ÷ 6 with the last difference off by one", 1, {5, 645, 4},
         {Q(3, 1), N(6), N(14), Q(2, 2), N(12), N(25), Q(1, 4), N(24), N(2)}, kDifferenceSlip,
         "row:6", "３かいめの ひき算が ちがうよ　２５－２４＝１"},
        {"745 ÷ 6 with the 4 not brought down", 1, {5, 645, 4},
         {Q(3, 1), N(6), N(1)}, kBringDown, "row:2", nullptr},
        {"413 ÷ 59 with the 7 over the tens", 2, {3, 313, 49},
         {Q(2, 7), N(413), N(0)}, kQuotientPlace, "quotient:1",
         "商を たてる 位が ちがうよ　さいしょは ４１３÷５９なので、商は 一の位から たつよ　４１３÷５９＝７",
         false, true},
        {"461 ÷ 5 with the 9 over the 1", 1, {5, 361, 3},
         {Q(1, 9), N(45), N(11)}, kQuotientPlace, "quotient:1", nullptr},
        {"an older record of 413 ÷ 59 with a 0 after the 7", 2, {3, 313, 49},
         {Q(2, 7), N(413), N(0), Skip()}, kQuotientPlace, "quotient:2", nullptr, true},
        {"612 ÷ 6 with the 2 not brought down after the 0", 1, {5, 512, 4},
         {Q(3, 1), N(6), Skip(), N(1)}, kBringDown, "row:2", nullptr},
        {"96 ÷ 4 with the second digit too small", 1, {0, 86, 2},
         {Q(2, 2), N(8), N(16), Q(1, 3), N(12), N(4)}, kQuotientTooSmall, "quotient:2", nullptr},
        {"745 ÷ 6 with a product no slip explains", 1, {5, 645, 4},
         {Q(3, 1), N(6), N(14), Q(2, 2), N(71), N(0)}, kSlip, "row:3", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeServices fx;
        fx.random.Feed(c.draws);
        LongDivision model(fx.ctx);
        ASSERT_TRUE(model.NewProblem(c.menu));
        Enter(model, c.entries);
        ASSERT_EQ(IsRight(model.JudgeDivision()), c.read_right);
        const Diagnosis d = DiagnoseDivision(
            model.problem(), c.older_record ? DivisionStoredRows(model.worksheet()) : DivisionWorkedRows(model.worksheet()));
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->kind, c.kind);
        EXPECT_EQ(d->step, c.step);
        if (c.explanation) {
            EXPECT_EQ(d->explanation, c.explanation);
        }
        EXPECT_FALSE(DivisionKindLabel(d->kind).empty());
        EXPECT_FALSE(DivisionStepCell(d->step).empty());
    }
    EXPECT_EQ(DivisionKindLabel(kZeroMissing), "商に０をたてわすれた");
    EXPECT_EQ(DivisionStepCell("row:3"), kRowRoles[2]);
    EXPECT_EQ(DivisionStepCell("quotient:2"), kQuotientRole);
}

// Rows from a damaged record or a pupil who wrote anything: never a crash,
// and no kind is named from a cell that cannot be read.
TEST(DivisionDiagnosisTest, UnreadableRowsAreOther) {
    const DivisionProblem p{745, 6, 124, 1, 2};
    const WorkedRows cases[] = {
        {{"Label7", "x"}},
        {{"Label7", "1"}, {"Label8", "99999999999999999999"}},
        {{"Label7", "1"}, {"Label8", "-6"}},
        {{"Label7", "1"}, {"Label8", "6"}},
        {},
    };
    for (const WorkedRows& rows : cases) {
        const Diagnosis d = DiagnoseDivision(p, rows);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->kind, kOther);
    }
    EXPECT_EQ(DiagnoseDivision(DivisionProblem{745, 0, 0, 0, 2}, {{"Label7", "1"}})->kind, kOther);
}


// Every kind's buggy pupil on 10,000 problems (fewer under the sanitizers) of all three menu items; the
// confusion table goes to stdout.
TEST(DivisionDiagnosisTest, BuggyPupilsAreDiagnosedAsTheirKind) {
    constexpr int kProblems = testing::kPropertyDraws;
    testing::SeededRandom random(17);
    testing::FakeCuePlayer cues;
    testing::FakeDialogs dialogs;
    LongDivision model(cues, dialogs, random);
    std::mt19937 rounds(4);

    testing::ConfusionTable table;
    std::map<std::string, int> applied, named;
    int right_findings = 0;
    for (int i = 0; i < kProblems; ++i) {
        model.NewProblem(i % 3 + 1);
        const DivisionProblem problem = model.problem();
        const auto judge = [&](const Entries& entries, bool& right) {
            model.ApplyAction(Action::Clear);
            Enter(model, entries);
            right = IsRight(model.JudgeDivision());
            return DiagnoseDivision(problem, DivisionWorkedRows(model.worksheet()));
        };
        bool right = false;
        if (judge(*Pupil(problem, Bug::None, 0), right) || !right) ++right_findings;
        for (const BugCase& b : kBugs) {
            const int round = std::uniform_int_distribution<int>(1, 3)(rounds);
            const std::optional<Entries> entries = Pupil(problem, b.bug, round);
            if (!entries) continue;
            const Diagnosis d = judge(*entries, right);
            // The mistake changed nothing (a digit a column off reads right but is named).
            if (right && !d) continue;
            ++applied[b.name];
            const std::string found = d ? d->kind : "(none)";
            ++table[b.name][found];
            named[b.name] += found == b.kind;
        }
        cues.clear();
    }
    testing::PrintConfusionTable("division", table, applied);
    EXPECT_EQ(right_findings, 0);
    for (const BugCase& b : kBugs) {
        SCOPED_TRACE(b.name);
        ASSERT_GT(applied[b.name], 100);
        EXPECT_GE(named[b.name], 0.95 * applied[b.name]);
    }
}

}  // namespace
}  // namespace sorelka::division
