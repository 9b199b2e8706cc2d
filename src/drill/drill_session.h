#pragma once

#include <optional>
#include <string>

#include "core/exercise_state.h"
#include "core/learning_recorder.h"

namespace sorelka {

// One row of the drill log, by field: question number, problem, right answer,
// pupil's answer, mark, and on the division drill the two remainders.
struct DrillRow {
    int no = 0;
    std::string mnd;
    std::string kai;
    std::string kot;
    std::string hnt;
    std::optional<int> ams;
    std::optional<int> ami;

    bool operator==(const DrillRow&) const = default;
};

// The score line after a drill: "3 問", "66 点", "4 分 5 秒".
struct ScoreLine {
    std::string questions;
    std::string points;
    std::string time;
};

// Seconds from `start` to `now`, both times of day; a drill that passes
// midnight counts across it instead of going negative.
int ElapsedSeconds(int start_seconds, int now_seconds);

// Questions, points (correct * 100 / questions, truncated; 0 with no
// question) and the time in minutes and seconds.
ScoreLine MakeScoreLine(int question_count, int correct_count, int elapsed_seconds);

// 0, 300, 600 or 900 seconds for the time list items "　なし" … "１５分";
// 0 for anything else.
int TimeLimitForItem(int item);

// The bookkeeping of one drill screen: counters in the shared exercise state,
// the screen's own time limit, countdown and start time, and whether the
// question on screen may still be judged (each question is judged and logged
// at most once, and not after the drill has finished).
class DrillSession {
public:
    explicit DrillSession(ExerciseState& state) : state_(state) {}

    // "スタート": counters to 0, the start time noted.
    void Start(int now_seconds);
    // A new question is set ("スタート" and "次へ"); it may be judged once.
    void BeginQuestion();
    bool CanJudge() const { return question_open_; }
    // The number the question on screen was set with (its log row's number,
    // even if another screen has set questions since).
    int question_number() const { return question_number_; }
    // The question on screen can no longer be judged (the screen was shown
    // afresh and its worksheet cleared).
    void CloseQuestion() { question_open_ = false; }
    // Counts the judgement of the question on screen and closes it. Returns
    // false, counting nothing, when the question may not be judged.
    bool Judge(bool right);
    // "ストップ" or the time-out: closes the question and computes the score line.
    ScoreLine Finish(int now_seconds);
    // The score line's figures at `now_seconds`, as numbers.
    DrillFigures Figures(int now_seconds) const;

    void SetTimeLimit(int seconds) { time_limit_seconds_ = seconds; }
    void RestartCountdown() { elapsed_ticks_ = 0; }
    // One countdown tick; true when the time limit has been reached.
    bool Tick();

    int time_limit_seconds() const { return time_limit_seconds_; }
    int elapsed_ticks() const { return elapsed_ticks_; }
    int start_seconds() const { return start_seconds_; }
    bool started() const { return started_; }

private:
    ExerciseState& state_;
    int time_limit_seconds_ = 0;
    int elapsed_ticks_ = 0;
    int start_seconds_ = 0;
    bool started_ = false;
    bool question_open_ = false;
    int question_number_ = 0;
};

}  // namespace sorelka
