#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/topic.h"
#include "report/mastery_report.h"

// What the teacher's view, the pupil's own record and the exports read from
// the learning record: aggregates in SQL over `history` and `drills`, kept
// out of the screens so tests and the command line drive them directly.
// Answers stored under a topic number this program does not know (a newer
// program's) are left out of every figure here; the answers file keeps them.
// The answers to find-the-mistake examples are not the pupil's own work:
// every figure leaves them out but the class's own count of them.
namespace sorelka::report {

// "わり算", "小数のたし算", …: the topic's name from its description.
QString TopicName(Topic topic);
// The Japanese label of a kind of mistake on `topic` ("商が大きすぎる", …);
// the id itself when no label is known (or the topic is unknown), empty for
// no kind.
QString KindLabel(std::optional<Topic> topic, const QString& kind);

// Which answers a report covers. Empty pupil: everyone; the guest is named
// by record::kGuestName. Dates are local days, both ends included.
struct ReportFilter {
    std::optional<QString> pupil;
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<Topic> topic;  // none: every topic
};

// The school year (April to March) a day is in: 2026 for 2026-04-01 to
// 2027-03-31; its first and last day.
int SchoolYearOf(QDate day);
QDate SchoolYearStart(int year);
QDate SchoolYearEnd(int year);

// The week a pupil's weekly chart ends with: this week, or the week of the
// filter's last day when that is earlier (a school year runs on past today).
QDate ChartLastWeek(const ReportFilter& filter, QDate today);

// "2026-04-01 〜 2026-12-08", "はじめ 〜 2026-12-08", "すべての日".
QString PeriodText(const ReportFilter& filter);

// One row of the class: one pupil on one topic within the filter.
struct ClassRow {
    QString pupil;  // the roster name, or "ゲスト"
    Topic topic = Topic::Division;
    int answers = 0;
    int correct = 0;
    double median_seconds = 0;
    QString last_day;  // "YYYY-MM-DD"
    QString habit;     // the most frequent kind among the last 20 answers (id), or empty
    int drills = 0;
    int best_points = 0;
    // Answers to find-the-mistake examples, apart from the figures above
    // (which count the pupil's own work only), and how many were right.
    int found_answers = 0;
    int found_correct = 0;
    int percent() const { return answers ? (correct * 100 + answers / 2) / answers : 0; }
};

// One row per pupil and topic with answers in the filter (their own work or
// find-the-mistake examples), in roster order
// (the guest last), topics in order. The habit follows the diagnosis: a
// kind named at least twice among the last 20 answers (in the filter), a
// slip or an unexplained answer never, the more frequent and then the more
// recent kind first.
std::vector<ClassRow> ClassSummary(const QSqlDatabase& db, const ReportFilter& filter);

// The statements ClassSummary runs, with every value written into the text,
// for running the same work through another SQLite client.
QStringList ClassSummaryScript(const QSqlDatabase& db, const ReportFilter& filter);

// Percent right per week: weeks start on Monday; week 0 is the one holding
// `today`, week 7 seven weeks before it. Absent: no answer that week.
struct WeeklyPercent {
    Topic topic = Topic::Division;
    std::array<std::optional<int>, 8> percent;  // [0] oldest … [7] this week
};
std::vector<WeeklyPercent> WeeklyPercents(const QSqlDatabase& db, const QString& pupil, QDate today,
                                          std::optional<Topic> topic = std::nullopt);
// The Monday of the week holding `day`.
QDate WeekStart(QDate day);

struct KindCount {
    Topic topic = Topic::Division;
    QString kind;
    int count = 0;
};
// Wrong answers by kind within the filter, most frequent first.
std::vector<KindCount> KindCounts(const QSqlDatabase& db, const ReportFilter& filter);

struct WrongAnswer {
    QString problem;
    QString entered;
    QString right;
    Topic topic = Topic::Division;
    QString kind;
    QString answered_at;
};
// The most recent wrong answers within the filter, newest first (read along
// a pupil's answers by time, not the whole history).
std::vector<WrongAnswer> RecentWrong(const QSqlDatabase& db, const ReportFilter& filter, int limit);

// The pupil's own record: this week per topic, and the days in a row.
struct OwnTopicWeek {
    Topic topic = Topic::Division;
    int answers = 0;
    int percent = 0;
    std::array<bool, 7> practised{};  // Monday … Sunday of this week
};
struct OwnRecord {
    // In the order of kAllTopics.
    std::array<OwnTopicWeek, kAllTopics.size()> topics = [] {
        std::array<OwnTopicWeek, kAllTopics.size()> weeks{};
        for (std::size_t i = 0; i < weeks.size(); ++i) weeks[i].topic = kAllTopics[i];
        return weeks;
    }();
    // Days in a row with an answer, ending today (or yesterday, while today
    // has none yet).
    int days_in_a_row = 0;
    std::vector<WrongAnswer> last_mistakes;  // up to five, newest first
};
OwnRecord ReadOwnRecord(const QSqlDatabase& db, const QString& pupil, QDate today);

// Pupils with answers within the filter (roster order, the guest last), or
// the filter's own pupil.
QStringList ReportedPupils(const QSqlDatabase& db, const ReportFilter& filter);

// The figures above read from somewhere other than a record file (the
// school's server): what the printed report needs, one function each.
struct ReportReader {
    std::function<std::vector<ClassRow>(const ReportFilter&)> summary;
    std::function<std::vector<KindCount>(const ReportFilter&)> kinds;
    std::function<std::vector<WeeklyPercent>(const QString& pupil, QDate today, std::optional<Topic>)> weekly;
    std::function<QStringList(const ReportFilter&)> pupils;
    // Each pupil's levels of the skills; none where the source keeps none.
    std::function<std::vector<SkillLevel>()> levels;
};

// True when `name` is in the roster (archived or not) or the guest.
bool KnownPupil(const QSqlDatabase& db, const QString& name);

}  // namespace sorelka::report
