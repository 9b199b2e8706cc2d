#include "coach/recommender.h"

#include <algorithm>
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

// The weakest skill met below A: the lowest estimate, then the latest
// mistake; with `with_mistake`, only skills that have had one.
const Candidate* Weakest(const std::vector<Candidate>& candidates, const MasteryRules& rules, bool with_mistake) {
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates) {
        if (!c.met() || AtA(c, rules) || (with_mistake && !c.state->last_mistake)) continue;
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

int AnyOf(const std::vector<int>& items, RandomSource& random) {
    return items[random.Random(static_cast<int>(items.size()))];
}

// Draws tried for a problem aimed elsewhere that also exercises the focus.
constexpr int kFocusTries = 3;

// A problem of `item` aimed at `aim` that, when it can, also exercises `focus`.
std::optional<TopicProblem> DrawFor(const Candidate& aim, int item, const Candidate* focus, RandomSource& random) {
    std::optional<TopicProblem> first;
    const bool both = focus && focus != &aim && focus->topic == aim.topic && focus->skill->practice_items.Has(item);
    for (int attempt = 0; attempt < (both ? kFocusTries : 1); ++attempt) {
        std::optional<TopicProblem> p = TargetedDraw(aim.topic, aim.id(), item, random);
        if (!p) break;
        if (both) {
            const std::vector<std::string_view> exercised = SkillsExercised(aim.topic, item, *p);
            if (std::find(exercised.begin(), exercised.end(), focus->id()) != exercised.end()) return p;
        }
        if (!first) first = std::move(p);
    }
    return first;
}

}  // namespace

std::string WeakestSkill(const PupilSkills& skills, const MasteryRules& rules) {
    const std::vector<Candidate> candidates = CandidatesOf(skills, std::nullopt);
    const Candidate* weakest = Weakest(candidates, rules, true);
    if (!weakest) weakest = Weakest(candidates, rules, false);
    return weakest ? std::string(weakest->id()) : std::string();
}

Recommendation Recommend(const PupilSkills& skills, const CoachRequest& request, RandomSource& random) {
    const MasteryRules& rules = request.rules;
    const std::vector<Candidate> candidates = CandidatesOf(skills, request.within);
    Recommendation rec;
    if (ReachedA(skills, request.focus, rules)) rec.mastered = request.focus;

    // The focus: a weakness (a skill with a mistake, below A) is kept until it
    // reaches A; otherwise the weakest one now.
    const Candidate* focus = Named(candidates, request.focus);
    if (focus && (AtA(*focus, rules) || !focus->state || !focus->state->last_mistake)) focus = nullptr;
    if (!focus) focus = Weakest(candidates, rules, true);

    const Candidate* aim = nullptr;
    if (const Candidate* due = Due(candidates, request.today)) {
        aim = due;
        rec.reason = Reason::Review;
    } else if (focus) {
        aim = focus;
        rec.reason = Reason::Weakest;
        // One problem in four at a skill of the same topic already at A, one
        // that shares a menu item with the focus when there is such a skill.
        if (random.Random(4) == 0) {
            std::vector<const Candidate*> mastered, sharing;
            for (const Candidate& c : candidates) {
                if (c.topic != focus->topic || !AtA(c, rules)) continue;
                mastered.push_back(&c);
                const std::vector<int> items = c.skill->practice_items.List();
                if (std::any_of(items.begin(), items.end(),
                                [&](int item) { return focus->skill->practice_items.Has(item); }))
                    sharing.push_back(&c);
            }
            if (!sharing.empty()) mastered = sharing;
            if (!mastered.empty()) {
                aim = mastered[random.Random(static_cast<int>(mastered.size()))];
                rec.reason = Reason::KeepUp;
            }
        }
    } else {
        // No weakness: meet a new skill; then gather answers on those met
        // without a mistake; then keep up the one seen longest ago.
        for (const Candidate& c : candidates)
            if (!c.met()) {
                focus = &c;
                break;
            }
        rec.reason = skills.empty() ? Reason::Start : Reason::Explore;
        if (!focus) {
            focus = Weakest(candidates, rules, false);
            rec.reason = Reason::Weakest;
        }
        aim = focus;
        if (!aim) {
            aim = SeenLongestAgo(candidates);
            rec.reason = Reason::Maintain;
        }
    }
    if (!aim) return rec;  // not reached: every topic has skills with practice problems

    // A weakness in its first item (the easiest); a skill met or answered
    // without a mistake in the item that holds most skills not yet at A, so
    // the problem gathers answers for them too; other aims in an item they
    // share with the focus when there is one.
    std::vector<int> items = aim->skill->practice_items.List();
    if (aim != focus && focus) {
        std::vector<int> shared;
        for (int item : items)
            if (focus->skill->practice_items.Has(item)) shared.push_back(item);
        if (!shared.empty()) items = shared;
    }
    rec.topic = aim->topic;
    if (aim != focus) {
        rec.menu_choice = AnyOf(items, random);
    } else if (focus->state && focus->state->last_mistake) {
        rec.menu_choice = items.front();
    } else {
        int most = -1;
        for (int item : items) {
            int open = 0;
            for (const Candidate& c : candidates)
                open += c.topic == aim->topic && c.skill->practice_items.Has(item) && !AtA(c, rules);
            if (open > most) most = open, rec.menu_choice = item;
        }
    }
    rec.aimed_skill = std::string(aim->id());
    rec.focus = focus ? std::string(focus->id()) : std::string();
    rec.line_skill = rec.reason == Reason::Review || !focus ? rec.aimed_skill : rec.focus;
    if (std::optional<TopicProblem> problem = DrawFor(*aim, rec.menu_choice, focus, random))
        rec.problem = std::move(*problem);
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
