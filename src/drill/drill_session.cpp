#include "drill/drill_session.h"

namespace sorelka {

int ElapsedSeconds(int start_seconds, int now_seconds) {
    constexpr int kDay = 24 * 3600;
    int elapsed = now_seconds - start_seconds;
    if (elapsed < 0) elapsed += kDay;
    return elapsed;
}

ScoreLine MakeScoreLine(int question_count, int correct_count, int elapsed_seconds) {
    const int points = question_count > 0 ? correct_count * 100 / question_count : 0;
    return {std::to_string(question_count) + " 問", std::to_string(points) + " 点",
            std::to_string(elapsed_seconds / 60) + " 分 " + std::to_string(elapsed_seconds % 60) +
                " 秒"};
}

int TimeLimitForItem(int item) {
    switch (item) {
        case 1: return 300;
        case 2: return 600;
        case 3: return 900;
        default: return 0;
    }
}

void DrillSession::Start(int now_seconds) {
    state_.question_count = 0;
    state_.correct_count = 0;
    start_seconds_ = now_seconds;
    started_ = true;
    question_open_ = false;
}

void DrillSession::BeginQuestion() {
    ++state_.question_count;
    question_number_ = state_.question_count;
    question_open_ = true;
}

bool DrillSession::Judge(bool right) {
    if (!question_open_) return false;
    question_open_ = false;
    if (right) ++state_.correct_count;
    return true;
}

ScoreLine DrillSession::Finish(int now_seconds) {
    question_open_ = false;
    const int elapsed = started_ ? ElapsedSeconds(start_seconds_, now_seconds) : 0;
    return MakeScoreLine(state_.question_count, state_.correct_count, elapsed);
}

DrillFigures DrillSession::Figures(int now_seconds) const {
    DrillFigures f;
    f.questions = state_.question_count;
    f.correct = state_.correct_count;
    f.points = f.questions > 0 ? f.correct * 100 / f.questions : 0;
    f.seconds = started_ ? ElapsedSeconds(start_seconds_, now_seconds) : 0;
    return f;
}

bool DrillSession::Tick() {
    ++elapsed_ticks_;
    return elapsed_ticks_ >= time_limit_seconds_;
}

}  // namespace sorelka
