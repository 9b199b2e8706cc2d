#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "coach/skill_catalogue.h"
#include "core/mastery.h"
#include "core/services.h"
#include "core/topic.h"

// The next problem for a pupil, from their mastery: a skill due for review
// first; else the focus, the weakest skill with a mistake (lowest estimate,
// then the latest mistake), kept until it reaches A, with about one problem
// in four aimed at a skill already at A so the pupil keeps succeeding; with
// no such weakness, a skill not met yet, then the skills met without a
// mistake that have too few answers for A, then the one seen longest ago.
// With nothing practised: the first menu item of division. A problem aimed
// at another skill than the focus also exercises the focus when a few draws
// find one that does. Pure: mastery and the day in, a recommendation out;
// choices through the RandomSource.
namespace sorelka::coach {

enum class Reason {
    Start,     // nothing practised yet
    Review,    // a skill at A is due again
    Weakest,   // the focus, met and not yet at A
    Explore,   // no weakness: the focus is a skill not met yet
    KeepUp,    // one problem in four beside the focus: a skill at A
    Maintain,  // every skill at A and none due: the one seen longest ago
};

struct CoachRequest {
    DayNumber today = 0;
    // The practice screen's topic: every problem stays in it. None: any topic
    // (the main menu's button), and the recommendation says which.
    std::optional<Topic> within;
    // The focus the previous recommendation returned; empty at the start.
    std::string focus;
    MasteryRules rules;
};

struct Recommendation {
    Topic topic = Topic::Division;
    int menu_choice = 1;
    TopicProblem problem;
    Reason reason = Reason::Start;
    std::string aimed_skill;  // the skill this problem is drawn for
    std::string focus;        // the skill being practised: pass it back in the next request
    std::string line_skill;   // the skill the screen's line names (the one reviewed, else the focus)
    // The request's focus, which has reached A since: the line says so.
    std::string mastered;
};

// The recommendation for a pupil with `skills`. Skills without a practice
// problem (TopicSkill::practice_items empty) are never aimed at.
Recommendation Recommend(const PupilSkills& skills, const CoachRequest& request, RandomSource& random);

// The pupil's weakest skill below A among those met: lowest estimate, then
// the latest mistake; skills with a mistake first. Empty when there is none.
std::string WeakestSkill(const PupilSkills& skills, const MasteryRules& rules = {});

// True when `focus` is at A: the screen says so after the answer that got it there.
bool ReachedA(const PupilSkills& skills, std::string_view focus, const MasteryRules& rules = {});

// The screen's line: "れんしゅう中：" and the skill's words for the pupil
// ("れんしゅう中：商に ０が たつ わり算"); empty for an unknown skill.
std::string FocusLine(std::string_view skill);
// The line once the focus has reached A.
inline constexpr const char* kMasteredLine = "できるように なったね！";

}  // namespace sorelka::coach
