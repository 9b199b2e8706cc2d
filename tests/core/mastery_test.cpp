#include "core/mastery.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace sorelka {
namespace {

constexpr DayNumber kFirstDay = 20432;  // 2025-12-10

LocalTime At(int day_offset, int minute = 0) {
    const std::optional<DayNumber> first = ParseDayText("2025-12-10");
    EXPECT_EQ(first, kFirstDay);
    const std::string text = DayText(kFirstDay + day_offset);
    return LocalTime{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)),
                     std::stoi(text.substr(8, 2)), 9, minute, 0, 0, 540};
}

// The model's steps worked by hand with the default rules (P(L0) 0.3, P(T)
// 0.1, P(G) 0.15, P(S) 0.1, 0.5 for a slip): after each answer, the level,
// the day of the next review (days after the first, -1 none) and the review
// step; the estimate after the last answer.
TEST(MasteryTest, HandWorkedCases) {
    constexpr Evidence R = Evidence::Right, W = Evidence::Wrong, L = Evidence::WrongLittle;
    struct Step {
        int day;
        Evidence evidence;
        Level level;
        int next_review;
        int review_step;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        double estimate;
    };
    const Step kReachA[] = {{0, R, Level::NotYet, -1, 0}, {0, R, Level::NotYet, -1, 0}, {0, R, Level::A, 1, 0}};
    const auto after_a = [&](std::vector<Step> more) {
        std::vector<Step> steps(std::begin(kReachA), std::end(kReachA));
        steps.insert(steps.end(), more.begin(), more.end());
        return steps;
    };
    const Case cases[] = {
        {"one right answer", {{0, R, Level::NotYet, -1, 0}}, 0.748},
        {"three right answers reach A, due the next day", after_a({}), 0.992525},
        {"a wrong answer first", {{0, W, Level::NotYet, -1, 0}}, 0.1432},
        {"a wrong answer, then three right",
         {{0, W, Level::NotYet, -1, 0}, {0, R, Level::NotYet, -1, 0}, {0, R, Level::B, -1, 0}, {0, R, Level::A, 1, 0}},
         0.982242},
        {"right reviews after 1, 3, 7, 14 and 30 days, then 30 again",
         after_a({{1, R, Level::A, 4, 1}, {4, R, Level::A, 11, 2}, {11, R, Level::A, 25, 3},
                  {25, R, Level::A, 55, 4}, {55, R, Level::A, 85, 4}}),
         0.9999994},
        {"an answer before the day due is no review", after_a({{0, R, Level::A, 1, 0}}), 0.998872},
        {"a wrong review drops to B and ends the schedule",
         after_a({{3, R, Level::A, 6, 1}, {6, W, Level::B, -1, 0}, {6, R, Level::A, 7, 0}}), 0.9742857},
        {"a slip on a due skill is no review: still due", after_a({{1, L, Level::A, 1, 0}}), 0.988622},
        {"a wrong answer outside a review, below A: the schedule ends", after_a({{0, W, Level::B, -1, 0}}),
         0.94585},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkillState state;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            SCOPED_TRACE("answer " + std::to_string(i + 1));
            Observe(state, s.evidence, At(s.day, static_cast<int>(i)));
            EXPECT_EQ(LevelOf(state), s.level);
            EXPECT_EQ(state.next_review, s.next_review < 0 ? std::nullopt : std::optional(kFirstDay + s.next_review));
            EXPECT_EQ(state.review_step, s.review_step);
            EXPECT_EQ(state.answers, static_cast<int>(i) + 1);
            EXPECT_EQ(state.last_seen, At(s.day, static_cast<int>(i)));
        }
        EXPECT_NEAR(state.estimate, c.estimate, 1e-6);
    }
}

TEST(MasteryTest, AnAnswerSpeaksAboutTheSkillsItsKindAndProblemName) {
    const std::vector<std::string_view> exercised = {"division.multiply", "division.zero_in_quotient"};
    using O = SkillObservation;
    EXPECT_EQ(ObservationsOf(exercised, true, ""),
              (std::vector<O>{{"division.multiply", Evidence::Right}, {"division.zero_in_quotient", Evidence::Right}}));
    // A kind names one skill, also one the problem was not thought to exercise.
    EXPECT_EQ(ObservationsOf(exercised, false, "division.bring_down"),
              (std::vector<O>{{"division.bring_down", Evidence::Wrong}}));
    EXPECT_EQ(ObservationsOf(exercised, false, ""),
              (std::vector<O>{{"division.multiply", Evidence::WrongLittle},
                              {"division.zero_in_quotient", Evidence::WrongLittle}}));

    // A slip lowers a little what a named mistake lowers much.
    SkillState little, wrong;
    Observe(little, Evidence::WrongLittle, At(0));
    Observe(wrong, Evidence::Wrong, At(0));
    EXPECT_GT(little.estimate, wrong.estimate);
    EXPECT_LT(little.estimate, MasteryRules{}.p_initial + MasteryRules{}.p_learn);
    EXPECT_EQ(little.last_mistake, At(0));
    EXPECT_EQ(LevelText(LevelOf(little)), "まだ");
}

TEST(MasteryTest, DaysAsTextAndBack) {
    EXPECT_EQ(DayOf(LocalTime{1970, 1, 1}), 0);
    EXPECT_EQ(DayOf(LocalTime{2028, 2, 29, 23, 59, 59, 999}), *ParseDayText("2028-02-29"));
    for (DayNumber day : {0, 20432, 21000, 40000}) EXPECT_EQ(ParseDayText(DayText(day)), day);
    for (const char* bad : {"", "2025-13-01", "2025-02-30", "2025-1-01", "20251201xx", "2025/12/01"})
        EXPECT_EQ(ParseDayText(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace sorelka
