#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"
#include "core/topic.h"

// How well a pupil masters each skill, traced answer by answer (Bayesian
// Knowledge Tracing), the levels A–D shown from it, and when a mastered skill
// comes back for review. Knows no topic: the topics say which skills an
// answer speaks about (SkillObservation); everything here is plain data and
// pure functions, so the record can keep the states in a table and rebuild
// them from its history.
namespace sorelka {

// What one judged answer says about one skill.
enum class Evidence {
    Right,        // a right answer: every skill the problem exercises
    Wrong,        // a wrong answer whose kind of mistake belongs to this skill
    WrongLittle,  // a slip or a mistake no kind explains: every exercised skill, a little
};

struct SkillObservation {
    std::string skill;
    Evidence evidence = Evidence::Right;

    bool operator==(const SkillObservation&) const = default;
};

// The observations of one answer: a right answer raises every skill it
// exercises; a wrong one lowers the skill its kind of mistake belongs to
// (`kind_skill`), or, when the kind names none (slip, other, no kind kept),
// every exercised skill a little.
std::vector<SkillObservation> ObservationsOf(std::span<const std::string_view> exercised,
                                             bool correct, std::string_view kind_skill);

// A day of the local calendar as days since 1970-01-01.
using DayNumber = int;
DayNumber DayOf(const LocalTime& t);
// "2026-12-10", and back; nothing for a text that is not such a date.
std::string DayText(DayNumber day);
std::optional<DayNumber> ParseDayText(std::string_view text);

// The model's parameters; docs/MASTERY.md says why these values.
struct MasteryRules {
    double p_initial = 0.3;      // P(L0): the skill is known before its first answer
    double p_learn = 0.1;        // P(T): an unknown skill becomes known with one answer
    double p_guess = 0.15;       // P(G): right without knowing the skill
    double p_slip = 0.1;         // P(S): wrong although the skill is known
    double p_slip_little = 0.5;  // P(S) for a slip or an unexplained mistake
    double level_a = 0.95;       // A: mastered
    double level_b = 0.8;
    double level_c = 0.5;        // below: D
    int answers_for_level = 3;   // fewer answers show "まだ"
    double failed_review = 0.85; // a wrong review drops the estimate here (level B)
    // Days from reaching A to the first review, and between later reviews;
    // a right review moves one step on, the last step repeats.
    std::array<int, 5> review_days{1, 3, 7, 14, 30};
};

enum class Level { NotYet, A, B, C, D };

// One pupil's state of one skill: what the record keeps per pupil and skill.
struct SkillState {
    double estimate = MasteryRules{}.p_initial;  // P(known); P(L0) until the first answer
    int answers = 0;                             // answers that spoke about the skill
    std::optional<LocalTime> last_seen;
    std::optional<LocalTime> last_mistake;       // the latest Wrong or WrongLittle
    std::optional<DayNumber> next_review;        // set while the skill is at A
    int review_step = 0;                         // right reviews in a row since reaching A

    bool operator==(const SkillState&) const = default;
};

// One answer's evidence about the skill, answered at `at`.
//
// The estimate takes the knowledge-tracing step: the posterior given the
// answer, then the chance of learning. A skill that reaches A is due for
// review review_days[0] days later. An answer on or after that day is a
// review: right moves the next review one step later; wrong (Evidence::Wrong)
// sets the estimate to `failed_review` (B) and ends the schedule until the
// skill reaches A again. A WrongLittle is no review: like any answer outside
// one, it ends the schedule only when the estimate falls below A.
void Observe(SkillState& state, Evidence evidence, const LocalTime& at, const MasteryRules& rules = {});

Level LevelOf(const SkillState& state, const MasteryRules& rules = {});
// "A" … "D", "まだ".
std::string_view LevelText(Level level);
// Due for review on `today`.
bool IsDue(const SkillState& state, DayNumber today);

// Every skill of one pupil, by id.
using PupilSkills = std::map<std::string, SkillState, std::less<>>;

// The record's key of a pupil: `pupils.id`, 0 for the guest.
using PupilKey = long long;

// Every pupil's skills, updated one answer at a time.
class MasteryBook {
public:
    explicit MasteryBook(MasteryRules rules = {}) : rules_(rules) {}

    void Apply(PupilKey pupil, std::span<const SkillObservation> observations, const LocalTime& at);

    // The pupil's skills; empty for a pupil without answers.
    const PupilSkills& Of(PupilKey pupil) const;
    const std::map<PupilKey, PupilSkills>& pupils() const { return pupils_; }
    const MasteryRules& rules() const { return rules_; }

    bool operator==(const MasteryBook& other) const { return pupils_ == other.pupils_; }

private:
    MasteryRules rules_;
    std::map<PupilKey, PupilSkills> pupils_;
};

// One `history` row as far as mastery reads it.
struct StoredAnswer {
    PupilKey pupil = 0;
    Topic topic = Topic::Division;
    int menu_choice = 0;
    std::string problem;     // `history.problem`
    bool correct = false;
    std::string error_kind;  // empty when none is kept
    std::string error_step;
    LocalTime answered_at;
};

// What an answer says about which skill (the topics know; the coach's
// ObserveStoredAnswer is the one the program uses). Nothing for a row whose
// problem cannot be read.
using AnswerObserver = std::function<std::vector<SkillObservation>(const StoredAnswer&)>;

// Every state exactly as the answers made them, applied in the order given
// (the order of `history.id`, which is the order they were answered in).
MasteryBook RebuildMastery(std::span<const StoredAnswer> answers, const AnswerObserver& observe,
                           const MasteryRules& rules = {});

}  // namespace sorelka
