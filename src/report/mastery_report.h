#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/mastery.h"
#include "core/topic.h"

// The levels of the skills as the teacher reads them: from the record's
// `skill_mastery` table, for the "習熟度" tab and the exports.
namespace sorelka::report {

// One pupil's state of one skill.
struct SkillLevel {
    QString pupil;  // the roster name, or "ゲスト"
    std::string skill;
    Level level = Level::NotYet;
    double estimate = 0;
    int answers = 0;
    QString last_seen;    // as stored
    QString next_review;  // "YYYY-MM-DD", empty when none
};

// Every pupil's kept skills (a record without the table: none), pupils in
// roster order (the guest last), skills in the order of the topics' lists.
std::vector<SkillLevel> ReadSkillLevels(const QSqlDatabase& db);

// Every skill of every topic (or of `topic`) in the order of the topics' lists.
struct SkillColumn {
    Topic topic;
    std::string id;
    QString label;  // the teacher's words
};
std::vector<SkillColumn> SkillColumns(std::optional<Topic> topic = std::nullopt);
// The teacher's words for a skill id; the id itself for an unknown one.
QString SkillLabel(const std::string& id);

// The class's weakest skills, at most `count`: the lowest mean estimate over
// the pupils with a level in it (enough answers), the more such pupils first
// on a tie.
std::vector<std::string> WeakestOfClass(const std::vector<SkillLevel>& levels, std::size_t count = 3);

// The levels file beside an answers file: "kiroku.csv" → "kiroku-習熟度.csv".
QString LevelsCsvPath(const QString& answers_path);
// Writes one row per pupil and skill kept (pupil, topic, skill id, skill,
// level, estimate, answers, last seen, next review), UTF-8 with a byte-order
// mark and CRLF, `pupil` only when given. False with a Japanese reason.
bool ExportLevelsCsv(const QSqlDatabase& db, const std::optional<QString>& pupil, const QString& path,
                     QString* error);

// The printed report's levels of one pupil: a table of the topics, each
// with its skills and their letters ("商に0がたつ：B、…"); skills never met
// are left out.
QString LevelsHtml(const std::vector<SkillLevel>& levels, const QString& pupil, std::optional<Topic> topic);

}  // namespace sorelka::report
