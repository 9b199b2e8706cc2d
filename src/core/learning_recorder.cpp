#include "core/learning_recorder.h"

#include <chrono>
#include <utility>

#include "core/app_context.h"

namespace sorelka {

namespace {

double MillisecondsOf(const LocalTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    const long long days = day.time_since_epoch().count();
    return ((static_cast<double>(days) * 24 + t.hour) * 60 + t.minute) * 60000.0 +
           t.second * 1000.0 + t.millisecond;
}

}  // namespace

std::string WithoutPadding(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

double SecondsBetween(const LocalTime& from, const LocalTime& to) {
    return (MillisecondsOf(to) - MillisecondsOf(from)) / 1000.0;
}

namespace {

// The answer timed and sent with `send`, once per problem.
template <class Send>
bool RecordFirstVerdict(AppContext& ctx, ProblemWatch& watch, JudgedAnswer answer, Send send) {
    const LocalTime now = ctx.clock.Now();
    const std::optional<double> seconds = watch.TakeVerdict(now);
    if (!seconds || !ctx.recorder) return false;
    answer.answered_at = now;
    answer.seconds = *seconds;
    send(*ctx.recorder, answer);
    return true;
}

}  // namespace

bool RecordPracticeVerdict(AppContext& ctx, ProblemWatch& watch, JudgedAnswer answer) {
    return RecordFirstVerdict(ctx, watch, std::move(answer),
                              [](LearningRecorder& r, const JudgedAnswer& a) { r.RecordPractice(a); });
}

bool RecordFoundMistakeVerdict(AppContext& ctx, ProblemWatch& watch, JudgedAnswer answer) {
    return RecordFirstVerdict(ctx, watch, std::move(answer),
                              [](LearningRecorder& r, const JudgedAnswer& a) { r.RecordFindTheMistake(a); });
}

}  // namespace sorelka
