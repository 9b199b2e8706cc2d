#include "record/skill_mastery.h"

#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "record/learning_record.h"
#include "record/statement_shapes.h"

namespace sorelka::record {

namespace {

const QString kColumns = QStringLiteral(
    "skill, estimate, answers, last_seen, last_mistake, next_review, review_step");

QVariant NullText() { return QVariant(QMetaType::fromType<QString>()); }

QVariant TimeValue(const std::optional<LocalTime>& t) { return t ? QVariant(IsoTime(*t)) : NullText(); }

// The values of one row after its pupil: the columns of kColumns.
void AddValues(QVariantList& values, const std::string& skill, const SkillState& s) {
    values << QString::fromStdString(skill) << s.estimate << s.answers << TimeValue(s.last_seen)
           << TimeValue(s.last_mistake)
           << (s.next_review ? QVariant(QString::fromStdString(DayText(*s.next_review))) : NullText())
           << s.review_step;
}

// A state from the columns of kColumns, from `first` on; its skill id in `skill`.
SkillState StateAt(const QSqlQuery& q, int first, std::string* skill) {
    *skill = q.value(first).toString().toStdString();
    SkillState s;
    s.estimate = q.value(first + 1).toDouble();
    s.answers = q.value(first + 2).toInt();
    s.last_seen = ParseIsoTime(q.value(first + 3).toString());
    s.last_mistake = ParseIsoTime(q.value(first + 4).toString());
    if (!q.value(first + 5).isNull()) s.next_review = ParseDayText(q.value(first + 5).toString().toStdString());
    s.review_step = q.value(first + 6).toInt();
    return s;
}

// Multi-row inserts stay well under SQLite's limit of bound values.
constexpr int kRowsPerInsert = 400;

}  // namespace

std::optional<LocalTime> ParseIsoTime(const QString& text) {
    // 2026-12-08T13:23:05.250+09:00
    if (text.size() != 29 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':' ||
        text[16] != u':' || text[19] != u'.' || (text[23] != u'+' && text[23] != u'-') || text[26] != u':')
        return std::nullopt;
    bool ok = true;
    const auto field = [&](int from, int length) {
        bool good = false;
        const int value = QStringView(text).mid(from, length).toInt(&good);
        ok = ok && good;
        return value;
    };
    LocalTime t{field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2), field(17, 2), field(20, 3)};
    const int offset = field(24, 2) * 60 + field(27, 2);
    t.utc_offset_minutes = text[23] == u'-' ? -offset : offset;
    if (!ok) return std::nullopt;
    return t;
}

SkillMastery::SkillMastery(RecordStore& store, AnswerObserver observe, MasteryRules rules)
    : store_(store), observe_(std::move(observe)), rules_(rules) {}

std::vector<Statement> SkillMastery::AnswerStatements(const QString& pupil, const StoredAnswer& answer) {
    return AnswerStatements(pupil, answer, Observations(answer));
}

std::vector<Statement> SkillMastery::AnswerStatements(const QString& pupil, const StoredAnswer& answer,
                                                      const std::vector<SkillObservation>& seen) {
    RebuildIfMissing();
    // A file whose layout went past the table's step without it (made while
    // the steps were being merged) keeps its answers, without mastery.
    if (!table_) return {};
    if (seen.empty()) return {};
    PupilSkills& skills = Cached(pupil);
    Statement insert{Sql(Shape::MasteryAnswer), {}};
    // One row per skill, even when the answer names a skill twice.
    std::vector<std::string> written;
    for (const SkillObservation& o : seen) {
        Observe(skills[o.skill], o.evidence, answer.answered_at, rules_);
        if (std::find(written.begin(), written.end(), o.skill) == written.end()) written.push_back(o.skill);
    }
    for (const std::string& skill : written) {
        if (!insert.values.isEmpty()) insert.sql += QLatin1Char(',');
        insert.sql += RowSql(Shape::MasteryAnswer);
        insert.values << pupil;
        AddValues(insert.values, skill, skills.at(skill));
    }
    return {insert};
}

std::vector<SkillObservation> SkillMastery::Observations(const StoredAnswer& answer) const {
    return observe_ ? observe_(answer) : std::vector<SkillObservation>{};
}

const PupilSkills& SkillMastery::Skills(const QString& pupil) { return Cached(pupil); }

PupilSkills& SkillMastery::Cached(const QString& pupil) {
    RebuildIfMissing();
    auto found = cache_.find(pupil);
    if (found == cache_.end()) found = cache_.emplace(pupil, Read(pupil)).first;
    return found->second;
}

PupilSkills SkillMastery::Read(const QString& pupil) {
    PupilSkills skills;
    if (!store_.Ready()) return skills;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select ") + kColumns +
              QStringLiteral(" from skill_mastery where ifnull(pupil_id, 0) ="
                             " ifnull((select id from pupils where name = ?), 0)"));
    q.addBindValue(pupil);
    if (!q.exec()) return skills;
    std::string skill;
    while (q.next()) {
        SkillState state = StateAt(q, 0, &skill);
        skills.emplace(std::move(skill), state);
    }
    return skills;
}

std::map<QString, PupilSkills> SkillMastery::Everyone() {
    RebuildIfMissing();
    std::map<QString, PupilSkills> everyone;
    if (!store_.Ready()) return everyone;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select coalesce(p.name, ''), ") + kColumns +
                QStringLiteral(" from skill_mastery m left join pupils p on p.id = m.pupil_id")))
        return everyone;
    std::string skill;
    while (q.next()) {
        SkillState state = StateAt(q, 1, &skill);
        everyone[q.value(0).toString()].emplace(std::move(skill), state);
    }
    return everyone;
}

bool SkillMastery::Rebuild() {
    if (!store_.Ready()) return false;
    std::vector<StoredAnswer> answers;
    {
        QSqlQuery q(store_.database());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select ifnull(pupil_id, 0), topic, menu_choice, problem, correct,"
                                   " error_kind, error_step, answered_at from history"
                                   // Answers to examples worked by someone else say
                                   // nothing of the pupil's own skills.
                                   " where mode <> 'find_mistake' order by id")))
            return false;
        while (q.next()) {
            const std::optional<Topic> topic = TopicFromNumber(q.value(1).toInt());
            const std::optional<LocalTime> at = ParseIsoTime(q.value(7).toString());
            if (!topic || !at) continue;  // a row no screen wrote says nothing
            answers.push_back({q.value(0).toLongLong(), *topic, q.value(2).toInt(),
                               q.value(3).toString().toStdString(), q.value(4).toInt() == 1,
                               q.value(5).toString().toStdString(), q.value(6).toString().toStdString(),
                               *at});
        }
    }
    const MasteryBook book = RebuildMastery(answers, observe_, rules_);
    Transaction rebuild{{Sql(Shape::MasteryClear), {}}};
    Statement insert;
    int rows = 0;
    const auto flush = [&] {
        if (rows > 0) rebuild.push_back(std::move(insert));
        insert = Statement{};
        rows = 0;
    };
    for (const auto& [pupil, skills] : book.pupils())
        for (const auto& [skill, state] : skills) {
            if (rows == 0)
                insert.sql = Sql(Shape::MasteryRebuild);
            else
                insert.sql += QLatin1Char(',');
            insert.sql += RowSql(Shape::MasteryRebuild);
            insert.values << (pupil == 0 ? QVariant(QMetaType::fromType<qlonglong>()) : QVariant(pupil));
            AddValues(insert.values, skill, state);
            if (++rows == kRowsPerInsert) flush();
        }
    flush();
    cache_.clear();
    return store_.Commit(std::move(rebuild)) != RecordStore::Result::Refused;
}

void SkillMastery::RebuildIfMissing() {
    if (checked_ || !store_.Ready()) return;
    checked_ = true;
    QSqlQuery q(store_.database());
    table_ = q.exec(QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'skill_mastery'")) &&
             q.next();
    if (!table_ || store_.read_only()) return;
    if (q.exec(QStringLiteral("select exists (select 1 from history where mode <> 'find_mistake')"
                              " and not exists (select 1 from skill_mastery)")) &&
        q.next() && q.value(0).toInt() == 1)
        Rebuild();
}

void SkillMastery::Renamed(const QString& from, const QString& to) {
    auto node = cache_.extract(from);
    cache_.erase(to);
    if (!node.empty()) {
        node.key() = to;
        cache_.insert(std::move(node));
    }
}

void SkillMastery::Forget(const QString& pupil) { cache_.erase(pupil); }

void SkillMastery::ForgetAll() {
    cache_.clear();
    checked_ = false;
}

}  // namespace sorelka::record
