#include "report/report_data.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <map>
#include <tuple>

#include "record/learning_record.h"
#include "topics/topic_table.h"

namespace sorelka::report {

namespace {

// A condition on `history` (or `drills`) with its values bound by position.
struct Where {
    QString sql;
    QVariantList values;
    void And(const QString& condition, const QVariantList& bound = {}) {
        sql += (sql.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ")) + condition;
        values += bound;
    }
};

QString Day(QDate d) { return d.toString(Qt::ISODate); }

// The filter as a condition on the column `at` (a local ISO time whose first
// ten characters are the day). The pupil is matched by name, the guest by a
// missing pupil.
Where FilterWhere(const ReportFilter& f, const QString& at, bool with_topic = true) {
    Where w;
    if (f.pupil) {
        if (f.pupil->isEmpty() || *f.pupil == record::kGuestName)
            w.And(QStringLiteral("pupil_id is null"));
        else
            w.And(QStringLiteral("pupil_id = (select id from pupils where name = ?)"), {*f.pupil});
    }
    if (with_topic && f.topic) w.And(QStringLiteral("topic = ?"), {TopicNumber(*f.topic)});
    if (f.from) w.And(at + QStringLiteral(" >= ?"), {Day(*f.from)});
    if (f.to) w.And(at + QStringLiteral(" < ?"), {Day(f.to->addDays(1))});
    return w;
}

// The pupil's own work: practice and drill answers, not find-the-mistake
// ones (the index of the times per pupil and topic holds these alone).
constexpr const char* kOwnWork = "mode <> 'find_mistake'";

// " and <own work> and <the filter's dates on `at`>", with the values written in.
QString OwnWorkWithin(const ReportFilter& f, const QString& at) {
    QString sql = QStringLiteral(" and ") + QLatin1String(kOwnWork);
    if (f.from) sql += QStringLiteral(" and %1 >= '%2'").arg(at, Day(*f.from));
    if (f.to) sql += QStringLiteral(" and %1 < '%2'").arg(at, Day(f.to->addDays(1)));
    return sql;
}

bool Run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    // A record file that does not exist yet holds no answers.
    if (!q.driver() || !q.driver()->isOpen()) return false;
    q.setForwardOnly(true);
    if (!q.prepare(sql)) return false;
    for (const QVariant& v : values) q.addBindValue(v);
    return q.exec();
}

QString PupilName(const QVariant& name) {
    return name.isNull() ? record::kGuestName : name.toString();
}

QString PupilIs(const QVariant& id) {
    return id.isNull() ? QStringLiteral("pupil_id is null")
                       : QStringLiteral("pupil_id = %1").arg(id.toLongLong());
}

// One pupil and topic: the grouped figures and where to find the rest.
struct Group {
    QVariant pupil_id;
    ClassRow row;
};

QString GroupSql(Where w) {
    w.And(QLatin1String(kOwnWork));
    return QStringLiteral("select pupil_id, (select name from pupils where id = pupil_id), topic,"
                          " count(*), sum(correct), max(answered_at) from history") +
           w.sql + QStringLiteral(" group by pupil_id, topic order by pupil_id is null, pupil_id, topic");
}

// Answers to find-the-mistake examples and the right ones, per pupil and topic.
QString FoundSql(Where w) {
    w.And(QStringLiteral("mode = 'find_mistake'"));
    return QStringLiteral("select pupil_id, (select name from pupils where id = pupil_id), topic,"
                          " count(*), sum(correct) from history") +
           w.sql + QStringLiteral(" group by pupil_id, topic");
}

// The middle answer's time (the mean of the two middle ones for an even
// count), walked along the index of a pupil's times on a topic.
QString MedianSql(const ReportFilter& f, const Group& g) {
    const int n = g.row.answers;
    return QStringLiteral("select avg(seconds) from (select seconds from history where %1 and topic = %2%3"
                          " order by seconds limit %4 offset %5)")
        .arg(PupilIs(g.pupil_id))
        .arg(TopicNumber(g.row.topic))
        .arg(OwnWorkWithin(f, QStringLiteral("answered_at")))
        .arg(2 - n % 2)
        .arg((n - 1) / 2);
}

QString HabitSql(const ReportFilter& f, const Group& g) {
    return QStringLiteral("select error_kind from (select error_kind, id from history where %1 and topic = %2%3"
                          " order by id desc limit 20) where error_kind is not null"
                          " and error_kind not in ('slip', 'other') group by error_kind"
                          " having count(*) >= 2 order by count(*) desc, max(id) desc limit 1")
        .arg(PupilIs(g.pupil_id))
        .arg(TopicNumber(g.row.topic))
        .arg(OwnWorkWithin(f, QStringLiteral("answered_at")));
}

QString DrillSql(const Where& w) {
    return QStringLiteral("select pupil_id, topic, count(*), max(points) from drills") + w.sql +
           QStringLiteral(" group by pupil_id, topic");
}

// Writes bound values into the text, for another SQLite client.
QString Inline(QString sql, const QVariantList& values) {
    int at = 0;
    for (const QVariant& v : values) {
        at = sql.indexOf(QLatin1Char('?'), at);
        if (at < 0) break;
        const QString literal = v.typeId() == QMetaType::QString
                                    ? QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'')
                                    : v.toString();
        sql.replace(at, 1, literal);
        at += literal.size();
    }
    return sql;
}

// Over all days the figures are the kept totals; within dates they are
// counted from the answers.
QString GroupSql(const ReportFilter& f, const Where& w) {
    if (f.from || f.to) return GroupSql(w);
    return QStringLiteral("select pupil_id, name, topic, answers, correct, last_at from (select"
                          " nullif(pupil_key, 0) as pupil_id, (select name from pupils where id = pupil_key)"
                          " as name, topic, answers, correct, last_at from history_totals)") +
           w.sql + QStringLiteral(" order by pupil_id is null, pupil_id, topic");
}

std::vector<Group> Groups(QSqlQuery& q, const ReportFilter& f, const Where& w) {
    std::vector<Group> groups;
    if (!Run(q, GroupSql(f, w), w.values)) return groups;
    while (q.next()) {
        Group g;
        g.pupil_id = q.value(0);
        g.row.pupil = PupilName(q.value(0).isNull() ? QVariant() : q.value(1));
        const std::optional<Topic> topic = TopicFromNumber(q.value(2).toInt());
        if (!topic) continue;
        g.row.topic = *topic;
        g.row.answers = q.value(3).toInt();
        g.row.correct = q.value(4).toInt();
        g.row.last_day = q.value(5).toString().left(10);
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace

QString TopicName(Topic topic) { return QString::fromStdString(Describe(topic).name); }

QString KindLabel(std::optional<Topic> topic, const QString& kind) {
    if (kind.isEmpty()) return {};
    const std::string label = topic ? Describe(*topic).KindLabel(kind.toStdString()) : std::string();
    return label.empty() ? kind : QString::fromStdString(label);
}

int SchoolYearOf(QDate day) { return day.month() >= 4 ? day.year() : day.year() - 1; }
QDate SchoolYearStart(int year) { return QDate(year, 4, 1); }
QDate SchoolYearEnd(int year) { return QDate(year + 1, 3, 31); }

QDate ChartLastWeek(const ReportFilter& filter, QDate today) {
    return WeekStart(filter.to && *filter.to < today ? *filter.to : today);
}

QString PeriodText(const ReportFilter& f) {
    if (!f.from && !f.to) return QStringLiteral("すべての日");
    return (f.from ? Day(*f.from) : QStringLiteral("はじめ")) + QStringLiteral(" 〜 ") +
           (f.to ? Day(*f.to) : QStringLiteral("きょう"));
}

std::vector<ClassRow> ClassSummary(const QSqlDatabase& db, const ReportFilter& filter) {
    std::vector<ClassRow> rows;
    if (!db.isOpen()) return rows;
    QSqlQuery q(db);
    std::vector<Group> groups = Groups(q, filter, FilterWhere(filter, QStringLiteral("answered_at")));
    for (Group& g : groups) {
        if (q.exec(MedianSql(filter, g)) && q.next()) g.row.median_seconds = q.value(0).toDouble();
        if (q.exec(HabitSql(filter, g)) && q.next()) g.row.habit = q.value(0).toString();
    }
    const Where dw = FilterWhere(filter, QStringLiteral("started_at"));
    if (Run(q, DrillSql(dw), dw.values))
        while (q.next())
            for (Group& g : groups)
                if (g.pupil_id == q.value(0) && TopicNumber(g.row.topic) == q.value(1).toInt()) {
                    g.row.drills = q.value(2).toInt();
                    g.row.best_points = q.value(3).toInt();
                }
    const Where w = FilterWhere(filter, QStringLiteral("answered_at"));
    if (Run(q, FoundSql(w), w.values))
        while (q.next()) {
            const std::optional<Topic> topic = TopicFromNumber(q.value(2).toInt());
            if (!topic) continue;
            auto g = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
                return g.pupil_id == q.value(0) && g.row.topic == *topic;
            });
            if (g == groups.end()) {
                // Only examples on this topic: a row of its own, in roster order.
                Group only{q.value(0), {}};
                only.row.pupil = PupilName(q.value(0).isNull() ? QVariant() : q.value(1));
                only.row.topic = *topic;
                const auto later = [&](const Group& o) {
                    const auto key = [](const Group& x) {
                        return std::make_tuple(x.pupil_id.isNull(), x.pupil_id.toLongLong(), TopicNumber(x.row.topic));
                    };
                    return key(only) < key(o);
                };
                g = groups.insert(std::find_if(groups.begin(), groups.end(), later), std::move(only));
            }
            g->row.found_answers = q.value(3).toInt();
            g->row.found_correct = q.value(4).toInt();
        }
    rows.reserve(groups.size());
    for (Group& g : groups) rows.push_back(std::move(g.row));
    return rows;
}

QStringList ClassSummaryScript(const QSqlDatabase& db, const ReportFilter& filter) {
    QStringList script;
    QSqlQuery q(db);
    const Where w = FilterWhere(filter, QStringLiteral("answered_at"));
    script << Inline(GroupSql(filter, w), w.values);
    for (const Group& g : Groups(q, filter, w)) script << MedianSql(filter, g) << HabitSql(filter, g);
    const Where dw = FilterWhere(filter, QStringLiteral("started_at"));
    script << Inline(DrillSql(dw), dw.values) << Inline(FoundSql(w), w.values);
    return script;
}

QDate WeekStart(QDate day) { return day.addDays(1 - day.dayOfWeek()); }

std::vector<WeeklyPercent> WeeklyPercents(const QSqlDatabase& db, const QString& pupil, QDate today,
                                          std::optional<Topic> topic) {
    std::vector<WeeklyPercent> out;
    const QDate first = WeekStart(today).addDays(-7 * 7);
    ReportFilter f{pupil, first, WeekStart(today).addDays(6), topic};
    Where w = FilterWhere(f, QStringLiteral("answered_at"));
    w.And(QLatin1String(kOwnWork));
    QSqlQuery q(db);
    if (!Run(q,
             QStringLiteral("select topic, cast((julianday(substr(answered_at, 1, 10)) - julianday('%1')) / 7"
                            " as integer) as week, count(*), sum(correct) from history")
                     .arg(Day(first)) +
                 w.sql + QStringLiteral(" group by topic, week order by topic, week"),
             w.values))
        return out;
    for (Topic t : kAllTopics)
        if (!topic || topic == t) out.push_back({t, {}});
    while (q.next()) {
        const std::optional<Topic> t = TopicFromNumber(q.value(0).toInt());
        const int week = q.value(1).toInt(), n = q.value(2).toInt();
        for (WeeklyPercent& wp : out)
            if (wp.topic == t && week >= 0 && week < 8 && n > 0)
                wp.percent[week] = (q.value(3).toInt() * 100 + n / 2) / n;
    }
    return out;
}

std::vector<KindCount> KindCounts(const QSqlDatabase& db, const ReportFilter& filter) {
    std::vector<KindCount> out;
    Where w = FilterWhere(filter, QStringLiteral("answered_at"));
    w.And(QStringLiteral("correct = 0 and error_kind is not null and ") + QLatin1String(kOwnWork));
    QSqlQuery q(db);
    if (!Run(q, QStringLiteral("select topic, error_kind, count(*) from history") + w.sql +
                    QStringLiteral(" group by topic, error_kind order by count(*) desc, topic, error_kind"),
             w.values))
        return out;
    while (q.next())
        if (const std::optional<Topic> topic = TopicFromNumber(q.value(0).toInt()))
            out.push_back({*topic, q.value(1).toString(), q.value(2).toInt()});
    return out;
}

std::vector<WrongAnswer> RecentWrong(const QSqlDatabase& db, const ReportFilter& filter, int limit) {
    std::vector<WrongAnswer> out;
    Where w = FilterWhere(filter, QStringLiteral("answered_at"));
    w.And(QStringLiteral("correct = 0 and ") + QLatin1String(kOwnWork));
    QSqlQuery q(db);
    if (!Run(q, QStringLiteral("select problem, entered_answer, right_answer, topic, error_kind, answered_at"
                               " from history") +
                    w.sql + QStringLiteral(" order by answered_at desc, id desc limit %1").arg(limit),
             w.values))
        return out;
    while (q.next())
        if (const std::optional<Topic> topic = TopicFromNumber(q.value(3).toInt()))
            out.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), *topic,
                           q.value(4).toString(), q.value(5).toString()});
    return out;
}

OwnRecord ReadOwnRecord(const QSqlDatabase& db, const QString& pupil, QDate today) {
    OwnRecord own;
    const QDate monday = WeekStart(today);
    ReportFilter week{pupil, monday, monday.addDays(6)};
    Where w = FilterWhere(week, QStringLiteral("answered_at"));
    w.And(QLatin1String(kOwnWork));
    QSqlQuery q(db);
    std::array<int, kAllTopics.size()> correct{};
    if (Run(q, QStringLiteral("select topic, substr(answered_at, 1, 10) as day, count(*), sum(correct)"
                              " from history") +
                   w.sql + QStringLiteral(" group by topic, day"),
            w.values))
        while (q.next()) {
            const auto at = std::find(kAllTopics.begin(), kAllTopics.end(), TopicFromNumber(q.value(0).toInt()));
            if (at == kAllTopics.end()) continue;
            const std::size_t t = at - kAllTopics.begin();
            OwnTopicWeek& tw = own.topics[t];
            tw.answers += q.value(2).toInt();
            correct[t] += q.value(3).toInt();
            const int weekday = monday.daysTo(QDate::fromString(q.value(1).toString(), Qt::ISODate));
            if (weekday >= 0 && weekday < 7) tw.practised[weekday] = true;
        }
    for (std::size_t t = 0; t < own.topics.size(); ++t)
        if (own.topics[t].answers)
            own.topics[t].percent = (correct[t] * 100 + own.topics[t].answers / 2) / own.topics[t].answers;

    // Days in a row: walk the pupil's days backwards from today until a gap.
    ReportFilter all{pupil, std::nullopt, today};
    Where aw = FilterWhere(all, QStringLiteral("answered_at"));
    if (Run(q, QStringLiteral("select distinct substr(answered_at, 1, 10) from history") + aw.sql +
                   QStringLiteral(" order by 1 desc"),
            aw.values)) {
        QDate expected = today;
        bool first = true;
        while (q.next()) {
            const QDate day = QDate::fromString(q.value(0).toString(), Qt::ISODate);
            if (day == expected || (first && day == today.addDays(-1))) {
                ++own.days_in_a_row;
                expected = day.addDays(-1);
                first = false;
            } else if (day < expected) {
                break;
            }
        }
    }
    own.last_mistakes = RecentWrong(db, ReportFilter{pupil}, 5);
    return own;
}

QStringList ReportedPupils(const QSqlDatabase& db, const ReportFilter& filter) {
    if (filter.pupil) return {filter.pupil->isEmpty() ? record::kGuestName : *filter.pupil};
    QStringList names;
    const Where w = FilterWhere(filter, QStringLiteral("answered_at"));
    QSqlQuery q(db);
    if (!Run(q, QStringLiteral("select pupil_id, (select name from pupils where id = pupil_id) from"
                               " (select distinct pupil_id from history") +
                    w.sql + QStringLiteral(") order by pupil_id is null, pupil_id"),
             w.values))
        return names;
    while (q.next()) names << PupilName(q.value(0).isNull() ? QVariant() : q.value(1));
    return names;
}

bool KnownPupil(const QSqlDatabase& db, const QString& name) {
    if (name.isEmpty() || name == record::kGuestName) return true;
    QSqlQuery q(db);
    return Run(q, QStringLiteral("select 1 from pupils where name = ?"), {name}) && q.next();
}

}  // namespace sorelka::report
