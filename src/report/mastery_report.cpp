#include "report/mastery_report.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <map>

#include "topics/topic_table.h"
#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/export_file.h"
#include "report/report_data.h"

namespace sorelka::report {

namespace {

QString Words(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Where each skill stands in the topics' lists: the order levels are shown in.
const std::map<std::string, std::size_t, std::less<>>& SkillOrder() {
    static const auto order = [] {
        std::map<std::string, std::size_t, std::less<>> o;
        for (const SkillColumn& c : SkillColumns()) o.emplace(c.id, o.size());
        return o;
    }();
    return order;
}

std::optional<Topic> TopicOfSkill(const std::string& id) {
    for (const SkillColumn& c : SkillColumns())
        if (c.id == id) return c.topic;
    return std::nullopt;
}

}  // namespace

std::vector<SkillColumn> SkillColumns(std::optional<Topic> topic) {
    std::vector<SkillColumn> columns;
    for (Topic t : kAllTopics) {
        if (topic && t != *topic) continue;
        for (const TopicSkill& s : Describe(t).skills)
            columns.push_back({t, std::string(s.info.id), Words(s.info.teacher_label)});
    }
    return columns;
}

QString SkillLabel(const std::string& id) {
    for (Topic t : kAllTopics)
        for (const TopicSkill& s : Describe(t).skills)
            if (s.info.id == id) return Words(s.info.teacher_label);
    return QString::fromStdString(id);
}

std::vector<SkillLevel> ReadSkillLevels(const QSqlDatabase& db) {
    std::vector<SkillLevel> levels;
    if (!db.isOpen()) return levels;  // no record file yet: no levels
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The guest (no pupil) after the roster, as the class table orders them.
    if (!q.exec(QStringLiteral("select p.name, m.skill, m.estimate, m.answers, m.last_seen, m.next_review,"
                               " ifnull(m.pupil_id, 1e18) as roster_order from skill_mastery m"
                               " left join pupils p on p.id = m.pupil_id order by roster_order")))
        return levels;
    while (q.next()) {
        SkillLevel l;
        l.pupil = q.value(0).isNull() ? record::kGuestName : q.value(0).toString();
        l.skill = q.value(1).toString().toStdString();
        SkillState state;
        state.estimate = l.estimate = q.value(2).toDouble();
        state.answers = l.answers = q.value(3).toInt();
        l.level = LevelOf(state);
        l.last_seen = q.value(4).toString();
        l.next_review = q.value(5).toString();
        levels.push_back(std::move(l));
    }
    const auto& order = SkillOrder();
    const auto place = [&](const std::string& id) {
        const auto it = order.find(id);
        return it == order.end() ? order.size() : it->second;
    };
    // Pupils stay in roster order (as read); within each, the topics' order.
    std::map<QString, std::size_t> rank;
    for (const SkillLevel& l : levels) rank.emplace(l.pupil, rank.size());
    std::sort(levels.begin(), levels.end(), [&](const SkillLevel& a, const SkillLevel& b) {
        const std::size_t ra = rank.at(a.pupil), rb = rank.at(b.pupil);
        return ra != rb ? ra < rb : place(a.skill) < place(b.skill);
    });
    return levels;
}

std::vector<std::string> WeakestOfClass(const std::vector<SkillLevel>& levels, std::size_t count) {
    struct Sum {
        double estimate = 0;
        int pupils = 0;
    };
    std::map<std::string, Sum> sums;
    for (const SkillLevel& l : levels) {
        if (l.level == Level::NotYet) continue;
        sums[l.skill].estimate += l.estimate;
        ++sums[l.skill].pupils;
    }
    std::vector<std::pair<std::string, Sum>> ranked(sums.begin(), sums.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        const double ma = a.second.estimate / a.second.pupils, mb = b.second.estimate / b.second.pupils;
        if (ma != mb) return ma < mb;
        if (a.second.pupils != b.second.pupils) return a.second.pupils > b.second.pupils;
        return a.first < b.first;
    });
    std::vector<std::string> weakest;
    for (std::size_t i = 0; i < ranked.size() && i < count; ++i) weakest.push_back(ranked[i].first);
    return weakest;
}

QString LevelsCsvPath(const QString& answers_path) {
    const QFileInfo info(answers_path);
    const QString base = info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral("-習熟度.") +
                               (info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix()));
}

bool ExportLevelsCsv(const QSqlDatabase& db, const std::optional<QString>& pupil, const QString& path,
                     QString* error) {
    // Pupils' names and levels: readable by this account only.
    ExportFile file(path);
    if (!file.Open(error)) return false;
    QStringList lines{QStringLiteral("pupil,topic,skill,skill_label,level,estimate,answers,last_seen,next_review")};
    const QString wanted = pupil && pupil->isEmpty() ? record::kGuestName : pupil.value_or(QString());
    for (const SkillLevel& l : ReadSkillLevels(db)) {
        if (pupil && l.pupil != wanted) continue;
        const std::optional<Topic> topic = TopicOfSkill(l.skill);
        lines << QStringList{CsvCell(l.pupil),
                             topic ? CsvCell(TopicName(*topic)) : QString(),
                             CsvCell(QString::fromStdString(l.skill)),
                             CsvCell(SkillLabel(l.skill)),
                             CsvCell(Words(LevelText(l.level))),
                             QString::number(l.estimate, 'f', 4),
                             QString::number(l.answers),
                             CsvCell(l.last_seen),
                             CsvCell(l.next_review)}
                     .join(QLatin1Char(','));
    }
    const QByteArray out = "\xEF\xBB\xBF" + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    if (file.device().write(out) != out.size()) {
        *error = QStringLiteral("「%1」に書きこめません（%2）").arg(path, file.device().errorString());
        return false;
    }
    return file.Commit(error);
}

QString LevelsHtml(const std::vector<SkillLevel>& levels, const QString& pupil, std::optional<Topic> topic) {
    std::map<Topic, QStringList> by_topic;
    for (const SkillLevel& l : levels) {
        const std::optional<Topic> t = TopicOfSkill(l.skill);
        if (l.pupil != pupil || !t || (topic && *t != *topic)) continue;
        by_topic[*t] << (SkillLabel(l.skill) + QStringLiteral("：") + Words(LevelText(l.level))).toHtmlEscaped();
    }
    QString html = QStringLiteral("<h2>習熟度（A〜D、まだ：答えが少ない）</h2>");
    if (by_topic.empty()) return html + QStringLiteral("<p>なし</p>");
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tr><th>単元</th>"
                           "<th>技能と習熟度</th></tr>");
    for (const auto& [t, cells] : by_topic)
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                    .arg(TopicName(t).toHtmlEscaped(), cells.join(QStringLiteral("、")));
    return html + QStringLiteral("</table>");
}

}  // namespace sorelka::report
