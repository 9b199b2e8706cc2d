#include "coach/recommender.h"

#include <vector>

#include "core/learning_recorder.h"

namespace sorelka::coach {

namespace {

// A skill the recommender may aim at, with its state (none: never met).
struct Candidate {
    Topic topic;
    const TopicSkill* skill;
    const SkillState* state;

    std::string_view id() const { return skill->info.id; }
    bool met() const { return state && state->answers > 0; }
};

// Every skill with a practice problem, in `within` or in every topic, in the
// order of the topics and of each topic's menu.
std::vector<Candidate> CandidatesOf(const PupilSkills& skills, std::optional<Topic> within) {
    std::vector<Candidate> out;
    for (Topic topic : kAllTopics) {
        if (within && topic != *within) continue;
        for (const TopicSkill& s : SkillsOf(topic)) {
            if (s.practice_items.empty()) continue;
            const auto it = skills.find(s.info.id);
            out.push_back({topic, &s, it == skills.end() ? nullptr : &it->second});
        }
    }
    return out;
}

bool AtA(const Candidate& c, const MasteryRules& rules) {
    return c.state && LevelOf(*c.state, rules) == Level::A;
}

// Seconds from `a` to `b`; a missing time counts as long ago.
double Later(const std::optional<LocalTime>& a, const std::optional<LocalTime>& b) {
    if (!a || !b) return a ? -1 : b ? 1 : 0;
    return SecondsBetween(*a, *b);
}

const Candidate* Due(const std::vector<Candidate>& candidates, DayNumber today) {
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates) {
        if (!c.state || !IsDue(*c.state, today)) continue;
        if (!best || *c.state->next_review < *best->state->next_review ||
            (*c.state->next_review == *best->state->next_review && c.state->estimate < best->state->estimate))
            best = &c;
    }
    return best;
}

// The weakest skill met below A: the lowest estimate, then the latest mistake.
const Candidate* Weakest(const std::vector<Candidate>& candidates, const MasteryRules& rules) {
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates) {
        if (!c.met() || AtA(c, rules)) continue;
        if (!best || c.state->estimate < best->state->estimate ||
            (c.state->estimate == best->state->estimate &&
             Later(best->state->last_mistake, c.state->last_mistake) > 0))
            best = &c;
    }
    return best;
}

const Candidate* SeenLongestAgo(const std::vector<Candidate>& candidates) {
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates)
        if (!best || Later(c.state ? c.state->last_seen : std::nullopt,
                           best->state ? best->state->last_seen : std::nullopt) > 0)
            best = &c;
    return best;
}

const Candidate* Named(const std::vector<Candidate>& candidates, std::string_view id) {
    for (const Candidate& c : candidates)
        if (c.id() == id) return &c;
    return nullptr;
}

int AnyItem(const TopicSkill& skill, RandomSource& random) {
    const std::vector<int> items = skill.practice_items.List();
    return items[random.Random(static_cast<int>(items.size()))];
}

}  // namespace

Recommendation Recommend(const PupilSkills& skills, const CoachRequest& request, RandomSource& random) {
    const MasteryRules& rules = request.rules;
    const std::vector<Candidate> candidates = CandidatesOf(skills, request.within);
    Recommendation rec;

    if (ReachedA(skills, request.focus, rules)) rec.mastered = request.focus;
    const Candidate* focus = Named(candidates, request.focus);
    if (focus && AtA(*focus, rules)) focus = nullptr;

    const Candidate* aim = nullptr;
    bool first_item = true;
    if (const Candidate* due = Due(candidates, request.today)) {
        aim = due;
        rec.reason = Reason::Review;
        first_item = false;
    } else {
        if (!focus) focus = Weakest(candidates, rules);
        if (!focus) {
            for (const Candidate& c : candidates)
                if (!c.met()) {
                    focus = &c;
                    break;
                }
        }
        if (focus) {
            aim = focus;
            rec.reason = focus->met() ? Reason::Weakest : skills.empty() ? Reason::Start : Reason::Explore;
            // One problem in four at a skill of the same topic already at A.
            if (rec.reason == Reason::Weakest && random.Random(4) == 0) {
                std::vector<const Candidate*> mastered;
                for (const Candidate& c : candidates)
                    if (c.topic == focus->topic && AtA(c, rules)) mastered.push_back(&c);
                if (!mastered.empty()) {
                    aim = mastered[random.Random(static_cast<int>(mastered.size()))];
                    rec.reason = Reason::KeepUp;
                    first_item = false;
                }
            }
        } else {
            aim = SeenLongestAgo(candidates);
            rec.reason = Reason::Maintain;
            first_item = false;
        }
    }
    if (!aim) return rec;  // not reached: every topic has skills with practice problems

    rec.topic = aim->topic;
    rec.menu_choice = first_item ? aim->skill->practice_items.First() : AnyItem(*aim->skill, random);
    rec.aimed_skill = std::string(aim->id());
    rec.focus = focus ? std::string(focus->id()) : std::string();
    rec.line_skill = rec.reason == Reason::Review || !focus ? rec.aimed_skill : rec.focus;
    std::optional<TopicProblem> problem = TargetedDraw(rec.topic, rec.aimed_skill, rec.menu_choice, random);
    if (problem) rec.problem = std::move(*problem);
    return rec;
}

bool ReachedA(const PupilSkills& skills, std::string_view focus, const MasteryRules& rules) {
    const auto it = skills.find(focus);
    return it != skills.end() && LevelOf(it->second, rules) == Level::A;
}

std::string FocusLine(std::string_view skill) {
    const std::optional<FoundSkill> found = FindSkill(skill);
    if (!found) return {};
    return "れんしゅう中：" + std::string(found->skill->info.pupil_label);
}

}  // namespace sorelka::coach
