#include "coach/recommender.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "division/division_diagnosis.h"
#include "division/division_skills.h"
#include "rules/rules_skills.h"
#include "support/fakes.h"

namespace sorelka::coach {
namespace {

using testing::SeededRandom;
namespace dv = division::skill;

constexpr DayNumber kToday = 20500;

LocalTime OnDay(DayNumber day, int minute = 0) {
    const std::string text = DayText(day);
    return {std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)),
            10, minute, 0, 0, 540};
}

// A skill answered right often enough to be at A, last seen `days_ago`.
SkillState Mastered(int days_ago) {
    SkillState s;
    for (int i = 0; i < 4; ++i) Observe(s, Evidence::Right, OnDay(kToday - days_ago, i));
    return s;
}

bool InnerZero(const TopicProblem& problem) {
    const std::string q = std::to_string(std::get<division::DivisionProblem>(problem).quotient);
    return q.size() > 2 && q.substr(1, q.size() - 2).find('0') != std::string::npos;
}

// The pupil of the screen test: two "１けたでわる" problems with the 0 left out
// of the quotient, then "おすすめ": the 0 is the focus, most problems have an
// inner 0, the pupil answers right until it reaches A, and the line says so.
TEST(RecommenderTest, AZeroLeftOutIsPractisedUntilMastered) {
    SeededRandom random(3);
    CoachRequest request{kToday};
    EXPECT_EQ(Recommend({}, request, random).reason, Reason::Start);

    MasteryBook book;
    const division::DivisionProblem p408{408, 4, 102, 0, 2};
    for (int i = 0; i < 2; ++i)
        book.Apply(0, ObserveAnswer(Topic::Division, 1, p408, false, division::kZeroMissing, "quotient:2"),
                   OnDay(kToday, i));

    Recommendation rec = Recommend(book.Of(0), request, random);
    EXPECT_EQ(rec.topic, Topic::Division);
    EXPECT_EQ(rec.menu_choice, 1);
    EXPECT_EQ(rec.reason, Reason::Weakest);
    EXPECT_EQ(rec.focus, dv::kZeroInQuotient);
    EXPECT_EQ(FocusLine(rec.line_skill), "れんしゅう中：商に ０が たつ わり算");

    // "次へ" ten times: nothing answered, nothing at A yet, so every problem aims at the 0.
    request.within = Topic::Division;
    int inner_zeros = 0;
    for (int i = 0; i < 10; ++i) {
        request.focus = rec.focus;
        rec = Recommend(book.Of(0), request, random);
        inner_zeros += InnerZero(rec.problem);
        EXPECT_TRUE(division::FitsMenuItem(rec.menu_choice, std::get<division::DivisionProblem>(rec.problem)));
    }
    // Right answers: the 0 reaches A, and the next recommendation says so.
    int problems = 0;
    while (rec.mastered.empty()) {
        ASSERT_LT(++problems, 20) << "the 0 never reached A";
        book.Apply(0, ObserveAnswer(Topic::Division, rec.menu_choice, rec.problem, true, "", ""),
                   OnDay(kToday, 10 + problems));
        request.focus = rec.focus;
        rec = Recommend(book.Of(0), request, random);
        EXPECT_EQ(rec.topic, Topic::Division);
    }
    EXPECT_GE(inner_zeros, 6);
    EXPECT_EQ(problems, 3) << "two mistakes, then three right answers reach A";
    EXPECT_EQ(rec.mastered, dv::kZeroInQuotient);
    EXPECT_NE(rec.focus, dv::kZeroInQuotient);
    EXPECT_STREQ(kMasteredLine, "できるように なったね！");
}

TEST(RecommenderTest, ReviewFirstThenTheFocusWithOneProblemInFourAtASkillAtA) {
    SeededRandom random(11);
    PupilSkills skills;
    skills[std::string(dv::kMultiply)] = Mastered(1);           // due today
    skills[std::string(dv::kSubtract)] = Mastered(0);           // due tomorrow
    skills[std::string(dv::kEstimate)] = Mastered(0);
    SkillState weak;
    Observe(weak, Evidence::Wrong, OnDay(kToday));
    skills[std::string(dv::kBringDown)] = weak;
    SkillState weaker = weak;
    Observe(weaker, Evidence::Wrong, OnDay(kToday, 1));
    skills[std::string(dv::kZeroInQuotient)] = weaker;

    CoachRequest request{kToday, Topic::Division, std::string(dv::kBringDown)};
    const Recommendation review = Recommend(skills, request, random);
    EXPECT_EQ(review.reason, Reason::Review);
    EXPECT_EQ(review.aimed_skill, dv::kMultiply);
    EXPECT_EQ(review.line_skill, dv::kMultiply);
    EXPECT_EQ(review.focus, dv::kBringDown) << "the focus is kept across a review";

    // The review done, the focus goes on; without one, the weakest is chosen.
    Observe(skills[std::string(dv::kMultiply)], Evidence::Right, OnDay(kToday, 5));
    std::map<Reason, int> reasons;
    for (int i = 0; i < 2000; ++i) {
        const Recommendation rec = Recommend(skills, request, random);
        ++reasons[rec.reason];
        EXPECT_EQ(rec.focus, dv::kBringDown);
        EXPECT_EQ(rec.line_skill, dv::kBringDown);
        if (rec.reason == Reason::KeepUp) {
            EXPECT_EQ(LevelOf(skills.at(rec.aimed_skill)), Level::A) << rec.aimed_skill;
        } else {
            EXPECT_EQ(rec.aimed_skill, dv::kBringDown);
        }
    }
    EXPECT_EQ(reasons[Reason::Weakest] + reasons[Reason::KeepUp], 2000);
    EXPECT_NEAR(reasons[Reason::KeepUp] / 2000.0, 0.25, 0.04);
    request.focus.clear();
    EXPECT_EQ(Recommend(skills, request, random).focus, dv::kZeroInQuotient) << "the lowest estimate";
    // Equal estimates: the latest mistake first.
    skills[std::string(dv::kZeroInQuotient)] = weak;
    skills[std::string(dv::kZeroInQuotient)].last_mistake = OnDay(kToday, 30);
    EXPECT_EQ(Recommend(skills, request, random).focus, dv::kZeroInQuotient);
    skills[std::string(dv::kBringDown)].last_mistake = OnDay(kToday, 31);
    EXPECT_EQ(Recommend(skills, request, random).focus, dv::kBringDown);
}

TEST(RecommenderTest, NewSkillsWhenAllMetAreMasteredThenTheOneSeenLongestAgo) {
    SeededRandom random(5);
    PupilSkills skills;
    for (std::string_view id : {dv::kEstimate, dv::kMultiply, dv::kSubtract})
        skills[std::string(id)] = Mastered(0);
    Recommendation next = Recommend(skills, CoachRequest{kToday}, random);
    EXPECT_EQ(next.reason, Reason::Explore);
    EXPECT_EQ(next.aimed_skill, dv::kBringDown);
    EXPECT_EQ(next.menu_choice, 2) << "the item with most skills not at A: two-digit divisors as well";

    // Met and answered right, but too few answers for A: answers are gathered
    // once nothing new is left; a mistake makes a skill the focus at once.
    for (const TopicSkill& s : SkillsOf(Topic::Division)) {
        SkillState& state = skills[std::string(s.info.id)];
        if (state.answers == 0) Observe(state, Evidence::Right, OnDay(kToday));
    }
    next = Recommend(skills, CoachRequest{kToday, Topic::Division, std::string(dv::kBringDown)}, random);
    EXPECT_EQ(next.reason, Reason::Weakest);
    EXPECT_EQ(next.aimed_skill, dv::kBringDown) << "equal estimates: the first in the menu's order";
    Observe(skills[std::string(dv::kThreeDigitDivisor)], Evidence::WrongLittle, OnDay(kToday, 1));
    for (int i = 0; i < 20; ++i) {  // one in four at a skill at A, in the focus's own item
        next = Recommend(skills, CoachRequest{kToday, Topic::Division, next.focus}, random);
        EXPECT_EQ(next.focus, dv::kThreeDigitDivisor);
        EXPECT_EQ(next.menu_choice, 3);
    }

    // Every rules skill at A and none due: the one seen longest ago.
    PupilSkills rules_skills;
    for (const TopicSkill& s : SkillsOf(Topic::Rules)) rules_skills[std::string(s.info.id)] = Mastered(1);
    rules_skills[std::string(rules::skill::kLeftToRight)] = Mastered(9);
    for (auto& [id, state] : rules_skills) state.next_review = kToday + 5;
    const Recommendation maintain = Recommend(rules_skills, CoachRequest{kToday, Topic::Rules}, random);
    EXPECT_EQ(maintain.reason, Reason::Maintain);
    EXPECT_EQ(maintain.aimed_skill, rules::skill::kLeftToRight);
    EXPECT_EQ(maintain.menu_choice, rules::kTimesDividesMenu);
    EXPECT_TRUE(maintain.focus.empty());
}

}  // namespace
}  // namespace sorelka::coach
