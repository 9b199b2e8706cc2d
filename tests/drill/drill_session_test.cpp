#include "drill/drill_session.h"

#include <gtest/gtest.h>

namespace sorelka {
namespace {

TEST(ScoreLine, PointsTruncateAndTimeIsMinutesAndSeconds) {
    const ScoreLine line = MakeScoreLine(3, 2, 245);
    EXPECT_EQ(line.questions, "3 問");
    EXPECT_EQ(line.points, "66 点");
    EXPECT_EQ(line.time, "4 分 5 秒");
    EXPECT_EQ(MakeScoreLine(2, 1, 0).points, "50 点");
    EXPECT_EQ(MakeScoreLine(4, 4, 59).time, "0 分 59 秒");
    EXPECT_EQ(MakeScoreLine(1, 1, 3600).time, "60 分 0 秒");
}

TEST(ScoreLine, NoQuestionGivesZeroPointsInsteadOfDividingByZero) {
    const ScoreLine line = MakeScoreLine(0, 0, 12);
    EXPECT_EQ(line.questions, "0 問");
    EXPECT_EQ(line.points, "0 点");
    EXPECT_EQ(line.time, "0 分 12 秒");
}

TEST(ElapsedSeconds, CountsAcrossMidnightInsteadOfGoingNegative) {
    EXPECT_EQ(ElapsedSeconds(100, 400), 300);
    EXPECT_EQ(ElapsedSeconds(86390, 10), 20);
    EXPECT_EQ(ElapsedSeconds(500, 500), 0);
}

TEST(TimeLimit, ListItemsGiveNoneFiveTenFifteenMinutes) {
    EXPECT_EQ(TimeLimitForItem(0), 0);
    EXPECT_EQ(TimeLimitForItem(1), 300);
    EXPECT_EQ(TimeLimitForItem(2), 600);
    EXPECT_EQ(TimeLimitForItem(3), 900);
    EXPECT_EQ(TimeLimitForItem(4), 0);
    EXPECT_EQ(TimeLimitForItem(-1), 0);
}

TEST(DrillSession, EachQuestionIsJudgedAtMostOnceAndNotAfterTheDrillFinished) {
    ExerciseState state;
    DrillSession drill(state);
    EXPECT_FALSE(drill.Judge(true)) << "nothing set yet";
    drill.Start(1000);
    drill.BeginQuestion();
    EXPECT_TRUE(drill.Judge(true));
    EXPECT_FALSE(drill.Judge(true)) << "the same question again";
    drill.BeginQuestion();
    drill.Finish(1010);
    EXPECT_FALSE(drill.Judge(true)) << "after the drill finished";
    EXPECT_EQ(state.question_count, 2);
    EXPECT_EQ(state.correct_count, 1);

    drill.BeginQuestion();  // "次へ" after the finish continues the drill
    EXPECT_TRUE(drill.Judge(true));
    const ScoreLine line = drill.Finish(1075);
    EXPECT_EQ(line.questions, "3 問");
    EXPECT_EQ(line.points, "66 点");
    EXPECT_EQ(line.time, "1 分 15 秒") << "measured from the first スタート";
}

TEST(DrillSession, AQuestionKeepsTheNumberItWasSetWith) {
    ExerciseState state;
    DrillSession one(state);
    DrillSession other(state);  // another drill screen sharing the counters
    one.Start(0);
    one.BeginQuestion();
    other.BeginQuestion();
    EXPECT_EQ(state.question_count, 2);
    EXPECT_EQ(one.question_number(), 1);
    EXPECT_EQ(other.question_number(), 2);
    one.CloseQuestion();
    EXPECT_FALSE(one.Judge(true));
    EXPECT_TRUE(other.Judge(true));
}

TEST(DrillSession, StartResetsTheSharedCounters) {
    ExerciseState state{.menu_choice = 2, .question_count = 7, .correct_count = 5};
    DrillSession drill(state);
    drill.Start(0);
    EXPECT_EQ(state.question_count, 0);
    EXPECT_EQ(state.correct_count, 0);
    EXPECT_EQ(state.menu_choice, 2);
}

TEST(DrillSession, CountdownReachesTheLimitOnTheLastTickAndReadsTheCurrentLimit) {
    ExerciseState state;
    DrillSession drill(state);
    drill.SetTimeLimit(300);
    drill.RestartCountdown();
    for (int i = 1; i < 300; ++i) ASSERT_FALSE(drill.Tick()) << "tick " << i;
    EXPECT_TRUE(drill.Tick());

    drill.RestartCountdown();
    EXPECT_FALSE(drill.Tick());
    drill.SetTimeLimit(0);  // "　なし" chosen while counting down ends at the next tick
    EXPECT_TRUE(drill.Tick());
}

TEST(DrillSession, StopBeforeAnyStartShowsAZeroTime) {
    ExerciseState state;
    DrillSession drill(state);
    const ScoreLine line = drill.Finish(50000);
    EXPECT_EQ(line.time, "0 分 0 秒");
    EXPECT_EQ(line.points, "0 点");
}

}  // namespace
}  // namespace sorelka
