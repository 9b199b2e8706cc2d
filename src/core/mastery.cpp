#include "core/mastery.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace sorelka {

std::vector<SkillObservation> ObservationsOf(std::span<const std::string_view> exercised,
                                             bool correct, std::string_view kind_skill) {
    std::vector<SkillObservation> out;
    if (!correct && !kind_skill.empty()) {
        out.push_back({std::string(kind_skill), Evidence::Wrong});
        return out;
    }
    out.reserve(exercised.size());
    for (std::string_view skill : exercised)
        out.push_back({std::string(skill), correct ? Evidence::Right : Evidence::WrongLittle});
    return out;
}

DayNumber DayOf(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    return static_cast<DayNumber>(day.time_since_epoch().count());
}

std::string DayText(DayNumber number) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{days{number}}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

std::optional<DayNumber> ParseDayText(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto field = [&](std::size_t from, std::size_t length) -> std::optional<int> {
        int value = 0;
        const char* first = text.data() + from;
        const auto [ptr, ec] = std::from_chars(first, first + length, value);
        if (ec != std::errc() || ptr != first + length) return std::nullopt;
        return value;
    };
    const auto y = field(0, 4), m = field(5, 2), d = field(8, 2);
    if (!y || !m || !d) return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!ymd.ok()) return std::nullopt;
    return static_cast<DayNumber>(sys_days{ymd}.time_since_epoch().count());
}

void Observe(SkillState& state, Evidence evidence, const LocalTime& at, const MasteryRules& rules) {
    const DayNumber today = DayOf(at);
    const bool review = IsDue(state, today) && evidence != Evidence::WrongLittle;

    // Knowledge tracing: P(known | answer), then the chance that the answer
    // (with its diagnosis shown) taught the skill.
    const double known = state.answers == 0 ? rules.p_initial : state.estimate;
    double posterior = 0;
    if (evidence == Evidence::Right) {
        const double right_known = known * (1 - rules.p_slip);
        posterior = right_known / (right_known + (1 - known) * rules.p_guess);
    } else {
        const double slip = evidence == Evidence::Wrong ? rules.p_slip : rules.p_slip_little;
        const double wrong_known = known * slip;
        posterior = wrong_known / (wrong_known + (1 - known) * (1 - rules.p_guess));
    }
    state.estimate = posterior + (1 - posterior) * rules.p_learn;
    ++state.answers;
    state.last_seen = at;
    if (evidence != Evidence::Right) state.last_mistake = at;

    const int last_step = static_cast<int>(rules.review_days.size()) - 1;
    if (review) {
        if (evidence == Evidence::Right) {
            state.review_step = std::min(state.review_step + 1, last_step);
            state.next_review = today + rules.review_days[state.review_step];
        } else {
            state.estimate = rules.failed_review;
            state.review_step = 0;
            state.next_review.reset();
        }
        return;
    }
    const bool at_a = LevelOf(state, rules) == Level::A;
    if (at_a && !state.next_review) {
        state.review_step = 0;
        state.next_review = today + rules.review_days[0];
    } else if (!at_a && state.next_review) {
        state.review_step = 0;
        state.next_review.reset();
    }
}

Level LevelOf(const SkillState& state, const MasteryRules& rules) {
    if (state.answers < rules.answers_for_level) return Level::NotYet;
    if (state.estimate >= rules.level_a) return Level::A;
    if (state.estimate >= rules.level_b) return Level::B;
    if (state.estimate >= rules.level_c) return Level::C;
    return Level::D;
}

std::string_view LevelText(Level level) {
    switch (level) {
        case Level::A: return "A";
        case Level::B: return "B";
        case Level::C: return "C";
        case Level::D: return "D";
        case Level::NotYet: break;
    }
    return "まだ";
}

bool IsDue(const SkillState& state, DayNumber today) {
    return state.next_review && today >= *state.next_review;
}

void MasteryBook::Apply(PupilKey pupil, std::span<const SkillObservation> observations,
                        const LocalTime& at) {
    if (observations.empty()) return;
    PupilSkills& skills = pupils_[pupil];
    for (const SkillObservation& o : observations) {
        auto it = skills.find(o.skill);
        if (it == skills.end()) it = skills.emplace(o.skill, SkillState{}).first;
        Observe(it->second, o.evidence, at, rules_);
    }
}

const PupilSkills& MasteryBook::Of(PupilKey pupil) const {
    static const PupilSkills kNone;
    const auto it = pupils_.find(pupil);
    return it == pupils_.end() ? kNone : it->second;
}

MasteryBook RebuildMastery(std::span<const StoredAnswer> answers, const AnswerObserver& observe,
                           const MasteryRules& rules) {
    MasteryBook book(rules);
    for (const StoredAnswer& answer : answers) book.Apply(answer.pupil, observe(answer), answer.answered_at);
    return book;
}

}  // namespace sorelka
