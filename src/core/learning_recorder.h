#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/finding.h"
#include "core/mastery.h"
#include "core/services.h"
#include "core/topic.h"
#include "core/worked_rows.h"

namespace sorelka {

struct DrillRow;

// One judged problem, as the learning record keeps it.
struct JudgedAnswer {
    Topic topic = Topic::Division;
    int menu_choice = 0;
    std::string problem;         // the problem text as shown
    std::string right_answer;
    std::string entered_answer;
    bool correct = false;
    LocalTime answered_at;
    double seconds = 0;          // from the problem shown to its judgement
    WorkedRows worked_rows;      // the worksheet as it stood at the judgement
    Diagnosis finding;           // the kind of mistake of a wrong answer, if named
};

// A drill as "スタート" begins it.
struct DrillRun {
    Topic topic = Topic::Division;
    int menu_choice = 0;
    int time_limit_seconds = 0;
    LocalTime started_at;
};

// The score line's figures of a drill.
struct DrillFigures {
    int questions = 0;
    int correct = 0;
    int points = 0;
    int seconds = 0;
};

// Where the screens send every judged problem: the learning record in the
// program, nothing when a screen runs without one. Writes never fail towards
// the caller: the record store keeps what the file does not take yet.
class LearningRecorder {
public:
    virtual ~LearningRecorder() = default;
    // The pupil answers are recorded for: a name from the roster, or "ゲスト".
    virtual std::string PupilName() const = 0;
    // A practice problem's first verdict.
    virtual void RecordPractice(const JudgedAnswer& answer) = 0;
    // The first answer to a find-the-mistake example: the place pointed at
    // (entered_answer), the place where its work first goes wrong
    // (right_answer) and the kind of the example's mistake (finding).
    virtual void RecordFindTheMistake(const JudgedAnswer& /*answer*/) {}
    // A drill begins: its drills row. Returns the key the later calls name it by.
    virtual std::string StartDrill(const DrillRun& run) = 0;
    // A judged drill question: its drill-log row and its history row, written
    // together, and the drill's figures so far.
    virtual void RecordDrillAnswer(const std::string& drill, int question_no,
                                   const JudgedAnswer& answer, const DrillRow& row,
                                   const DrillFigures& so_far) = 0;
    // "ストップ" or the time-out: the drill's score line and end time.
    virtual void FinishDrill(const std::string& drill, const DrillFigures& figures,
                             const LocalTime& finished_at) = 0;
    // The kinds of mistake the pupil now answering makes again on `topic`,
    // most frequent first; none where nothing is kept.
    virtual std::vector<std::string> Habits(Topic /*topic*/) { return {}; }
    // The mastery of each skill of the pupil now answering, as every answer
    // recorded so far left it; none where nothing is kept.
    virtual PupilSkills Skills() { return {}; }
};

// `text` without the spaces the drill log pads its texts with.
std::string WithoutPadding(const std::string& text);

// Seconds from `from` to `to` on the calendar, to the millisecond.
double SecondsBetween(const LocalTime& from, const LocalTime& to);

// The time a problem is on screen and whether it has had its verdict: a
// problem is recorded once, at its first judgement.
class ProblemWatch {
public:
    // A new problem is shown.
    void Shown(const Clock& clock) {
        shown_at_ = clock.Now();
        open_ = true;
    }
    // The problem is gone (worksheet cleared, screen shown afresh).
    void Close() { open_ = false; }
    bool open() const { return open_; }
    // The seconds since the problem was shown, once per problem; nothing
    // after its first verdict or with no problem shown.
    std::optional<double> TakeVerdict(const LocalTime& now) {
        if (!open_) return std::nullopt;
        open_ = false;
        return SecondsBetween(shown_at_, now);
    }

private:
    LocalTime shown_at_;
    bool open_ = false;
};

struct AppContext;

// Sends a practice problem's first verdict to the context's recorder: fills
// in the time and the seconds. Later verdicts on the same problem, and
// verdicts with no problem shown, record nothing. True when recorded.
bool RecordPracticeVerdict(AppContext& ctx, ProblemWatch& watch, JudgedAnswer answer);
// The same for the first answer to a find-the-mistake example.
bool RecordFoundMistakeVerdict(AppContext& ctx, ProblemWatch& watch, JudgedAnswer answer);

}  // namespace sorelka
