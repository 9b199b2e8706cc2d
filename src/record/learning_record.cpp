#include "record/learning_record.h"
#include "record/statement_shapes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSqlQuery>
#include <QTextBoundaryFinder>
#include <QUuid>
#include <QVariant>
#include <cmath>
#include <memory>

namespace sorelka::record {

namespace {

const QString kLastPupilKey = QStringLiteral("pupil/last");

std::unique_ptr<QSettings> Settings() { return ProgramSettings(); }

// Characters as a reader counts them: "が" typed as か + ゛ is one.
int PerceivedLength(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1) ++count;
    return count;
}

QVariant NullableText(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

QString WorkedRowsJson(const WorkedRows& rows) {
    QJsonArray cells;
    for (const WorkedCell& cell : rows)
        cells.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(cell.name)},
                                 {QStringLiteral("text"), QString::fromStdString(cell.text)}});
    return QString::fromUtf8(QJsonDocument(cells).toJson(QJsonDocument::Compact));
}

std::optional<qint64> OptionalId(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toLongLong();
}

// Control characters and invisible format characters (zero-width spaces,
// direction marks): they hide or reorder what a teacher reads.
bool HasHiddenCharacters(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Other_Format) return true;
    }
    return false;
}

}  // namespace

NameCheck CheckPupilName(const QString& typed) {
    // One spelling per name: "が" typed as か + ゛ is stored as "が".
    NameCheck check{typed.trimmed().normalized(QString::NormalizationForm_C), QString()};
    if (check.name.isEmpty())
        check.refusal = QStringLiteral("なまえを入れてね！");
    else if (HasHiddenCharacters(check.name))
        check.refusal = QStringLiteral("なまえに つかえない 文字が はいっているよ！");
    else if (PerceivedLength(check.name) > kLongestPupilName)
        check.refusal = QStringLiteral("なまえは%1文字までだよ！").arg(kLongestPupilName);
    else if (check.name == kGuestName)
        check.refusal = QStringLiteral("「ゲスト」は、なまえにできないよ！");
    return check;
}

QString IsoTime(const LocalTime& t) {
    const int offset = std::abs(t.utc_offset_minutes);
    return QStringLiteral("%1-%2-%3T%4:%5:%6.%7%8%9:%10")
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'))
        .arg(t.millisecond, 3, 10, QLatin1Char('0'))
        .arg(t.utc_offset_minutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(offset / 60, 2, 10, QLatin1Char('0'))
        .arg(offset % 60, 2, 10, QLatin1Char('0'));
}

LearningRecord::LearningRecord(RecordStore& store, QObject* parent)
    : QObject(parent), store_(store) {}

QStringList LearningRecord::Pupils() {
    QStringList names;
    if (!store_.Ready()) return names;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select name from pupils where archived = 0 order by id")))
        return names;
    while (q.next()) names << q.value(0).toString();
    return names;
}

bool LearningRecord::InRoster(const QString& name) {
    if (!store_.Ready()) return false;
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral("select 1 from pupils where name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

NameCheck LearningRecord::AddPupil(const QString& typed) {
    NameCheck check = CheckPupilName(typed);
    if (!check.ok()) return check;
    if (InRoster(check.name)) {
        check.refusal = QStringLiteral("「%1」は、もういるよ！").arg(check.name);
        return check;
    }
    store_.Commit({{Sql(Shape::PupilAdd), {check.name}}});
    return check;
}

std::vector<LearningRecord::RosterEntry> LearningRecord::Roster() {
    std::vector<RosterEntry> roster;
    if (!store_.Ready()) return roster;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select name, archived from pupils order by id"))) return roster;
    while (q.next()) roster.push_back({q.value(0).toString(), q.value(1).toInt() != 0});
    return roster;
}

NameCheck LearningRecord::RenamePupil(const QString& name, const QString& typed) {
    NameCheck check = CheckPupilName(typed);
    if (!check.ok() || check.name == name) return check;
    if (InRoster(check.name)) {
        check.refusal = QStringLiteral("「%1」は、もういるよ！").arg(check.name);
        return check;
    }
    store_.Commit({{Sql(Shape::PupilRename), {check.name, name}}});
    if (mastery_) mastery_->Renamed(name, check.name);
    if (current_ == name) {
        current_ = check.name;
        Settings()->setValue(kLastPupilKey, current_);
        emit pupilChanged();
    }
    return check;
}

void LearningRecord::SetArchived(const QString& name, bool archived) {
    store_.Commit({{Sql(Shape::PupilArchive), {archived ? 1 : 0, name}}});
    if (archived && current_ == name) ChoosePupil(QString());
}

int LearningRecord::AnswerCount(const QString& name) {
    if (!store_.Ready()) return 0;
    QSqlQuery q(store_.database());
    q.prepare(QStringLiteral("select count(*) from history where pupil_id = (select id from pupils where name = ?)"));
    q.addBindValue(name);
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

void LearningRecord::DeletePupil(const QString& name) {
    // The class server keeps the removed rows. When they were the latest,
    // their ids go to the next rows written: how far the server confirmed
    // is brought back to what is left, so those rows are sent too (and told
    // apart from the removed ones there).
    Transaction remove{{Sql(Shape::PupilRemoveHistory), {name}},
                       {Sql(Shape::PupilRemoveDrills), {name}},
                       {Sql(Shape::PupilRemove), {name}},
                       {Sql(Shape::PupilRemoveHistoryConfirmed), {}},
                       {Sql(Shape::PupilRemovePupilsConfirmed), {}},
                       {Sql(Shape::PupilRemoveDrillsSent), {}}};
    // Their mastery goes with them (a file made without the table has none).
    QSqlQuery has_mastery(store_.database());
    if (has_mastery.exec(QStringLiteral("select 1 from sqlite_master where name = 'skill_mastery'")) &&
        has_mastery.next())
        remove.insert(remove.begin(), {Sql(Shape::PupilRemoveMastery), {name}});
    store_.Commit(std::move(remove));
    if (mastery_) mastery_->Forget(name);
    if (current_ == name) ChoosePupil(QString());
}

void LearningRecord::ChoosePupil(const QString& name) {
    const QString chosen = (name.isEmpty() || name == kGuestName || !InRoster(name)) ? QString() : name;
    Settings()->setValue(kLastPupilKey, chosen);
    if (chosen == current_) return;
    current_ = chosen;
    emit pupilChanged();
}

void LearningRecord::RestoreLastPupil() {
    const QString last = Settings()->value(kLastPupilKey).toString();
    const QString chosen = (!last.isEmpty() && InRoster(last)) ? last : QString();
    if (chosen == current_) return;
    current_ = chosen;
    emit pupilChanged();
}

QString ModeText(AnswerMode mode) {
    switch (mode) {
        case AnswerMode::Drill: return QStringLiteral("drill");
        case AnswerMode::FindTheMistake: return QStringLiteral("find_mistake");
        case AnswerMode::Practice: break;
    }
    return QStringLiteral("practice");
}

namespace {

// The answer as the mastery's observer reads it.
StoredAnswer Stored(const JudgedAnswer& answer) {
    return {0, answer.topic, answer.menu_choice, answer.problem, answer.correct,
            answer.finding ? answer.finding->kind : std::string(),
            answer.finding ? answer.finding->step : std::string(), answer.answered_at};
}

std::string FirstSkill(const std::vector<SkillObservation>& seen) {
    return seen.empty() ? std::string() : seen.front().skill;
}

}  // namespace

Statement LearningRecord::HistoryStatement(const JudgedAnswer& answer, AnswerMode mode,
                                           const QString& drill, std::optional<int> question_no,
                                           std::optional<qint64> work) const {
    const std::string skill = mastery_ ? FirstSkill(mastery_->Observations(Stored(answer))) : std::string();
    return HistoryInsert(answer, mode, drill, question_no, work, skill);
}

Transaction LearningRecord::AnswerStatements(const JudgedAnswer& answer, AnswerMode mode, const QString& drill,
                                             std::optional<int> question_no, std::optional<qint64> work) {
    if (!mastery_) return {HistoryInsert(answer, mode, drill, question_no, work, std::string())};
    const StoredAnswer stored = Stored(answer);
    const std::vector<SkillObservation> seen = mastery_->Observations(stored);
    Transaction write{HistoryInsert(answer, mode, drill, question_no, work, FirstSkill(seen))};
    for (Statement& s : mastery_->AnswerStatements(current_, stored, seen)) write.push_back(std::move(s));
    return write;
}

Statement LearningRecord::HistoryInsert(const JudgedAnswer& answer, AnswerMode mode, const QString& drill,
                                     std::optional<int> question_no, std::optional<qint64> work,
                                     const std::string& skill) const {
    const bool on_drill = mode == AnswerMode::Drill;
    return {Sql(Shape::AnswerAddWork),
            {current_, IsoTime(answer.answered_at), TopicNumber(answer.topic),
             ModeText(mode), answer.menu_choice,
             on_drill ? NullableText(drill) : QVariant(QMetaType::fromType<QString>()),
             on_drill && question_no ? QVariant(*question_no) : QVariant(QMetaType::fromType<int>()),
             QString::fromStdString(answer.problem), QString::fromStdString(answer.right_answer),
             QString::fromStdString(answer.entered_answer), answer.correct ? 1 : 0,
             std::round(answer.seconds * 10) / 10,
             NullableText(answer.finding ? QString::fromStdString(answer.finding->kind) : QString()),
             NullableText(answer.finding ? QString::fromStdString(answer.finding->step) : QString()),
             WorkedRowsJson(answer.worked_rows), NullableText(QString::fromStdString(skill)),
             work ? QVariant(*work) : QVariant(QMetaType::fromType<qint64>())}};
}

void LearningRecord::TraceMastery(AnswerObserver observe) {
    mastery_ = std::make_unique<SkillMastery>(store_, std::move(observe));
    // A file made afresh under the running program is read anew.
    connect(&store_, &RecordStore::reopened, this, [this] { mastery_->ForgetAll(); });
}

std::vector<Statement> LearningRecord::MasteryStatements(const JudgedAnswer& answer) {
    if (!mastery_) return {};
    return mastery_->AnswerStatements(current_, Stored(answer));
}

Statement LearningRecord::DrillStartStatement(const QString& uid, const DrillRun& run) const {
    return {Sql(Shape::DrillStart),
            {uid, current_, TopicNumber(run.topic), run.menu_choice, run.time_limit_seconds,
             IsoTime(run.started_at)}};
}

Statement LearningRecord::DrillFiguresStatement(const QString& uid, const DrillFigures& figures,
                                                const std::optional<LocalTime>& finished_at) const {
    if (!finished_at)
        return {Sql(Shape::DrillFigures),
                {figures.questions, figures.correct, figures.points, figures.seconds, uid}};
    return {Sql(Shape::DrillFinish),
            {figures.questions, figures.correct, figures.points, figures.seconds,
             IsoTime(*finished_at), uid}};
}

QString LearningRecord::NewDrillKey() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

QStringList LearningRecord::Habits(const QString& pupil, int topic) {
    QStringList kinds;
    if (!store_.Ready()) return kinds;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "select error_kind from (select error_kind, id from history"
        " where pupil_id is (select id from pupils where name = ?) and topic = ?"
        " and mode <> 'find_mistake' order by id desc limit 20)"
        " where error_kind is not null and error_kind not in ('slip', 'other')"
        " group by error_kind having count(*) >= 2 order by count(*) desc, max(id) desc"));
    q.addBindValue(NullableText(pupil));
    q.addBindValue(topic);
    if (!q.exec()) return kinds;
    while (q.next()) kinds.append(q.value(0).toString());
    return kinds;
}

std::vector<HistoryRow> LearningRecord::History() {
    std::vector<HistoryRow> rows;
    if (!store_.Ready()) return rows;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "select p.name, h.id, h.pupil_id, h.answered_at, h.topic, h.mode, h.menu_choice,"
            " h.drill_id, h.question_no, h.problem, h.right_answer, h.entered_answer, h.correct,"
            " h.seconds, h.error_kind, h.error_step, h.worked_rows, h.work_id, h.skill from history h"
            " left join pupils p on p.id = h.pupil_id order by h.id")))
        return rows;
    while (q.next()) {
        rows.push_back(HistoryRowAt(q, 1));
        rows.back().pupil = q.value(0).toString();
        rows.back().work_id = OptionalId(q.value(17));
        rows.back().skill = q.value(18).toString();
    }
    return rows;
}

HistoryRow HistoryRowAt(const QSqlQuery& q, int first) {
    HistoryRow r;
    r.id = q.value(first).toLongLong();
    r.pupil_id = OptionalId(q.value(first + 1));
    r.answered_at = q.value(first + 2).toString();
    r.topic = q.value(first + 3).toInt();
    r.mode = q.value(first + 4).toString();
    r.menu_choice = q.value(first + 5).toInt();
    r.drill_id = OptionalId(q.value(first + 6));
    if (!q.value(first + 7).isNull()) r.question_no = q.value(first + 7).toInt();
    r.problem = q.value(first + 8).toString();
    r.right_answer = q.value(first + 9).toString();
    r.entered_answer = q.value(first + 10).toString();
    r.correct = q.value(first + 11).toInt() == 1;
    r.seconds = q.value(first + 12).toDouble();
    r.error_kind = q.value(first + 13).toString();
    r.error_step = q.value(first + 14).toString();
    r.worked_rows = q.value(first + 15).toString();
    return r;
}

std::vector<DrillRecord> LearningRecord::Drills() {
    std::vector<DrillRecord> rows;
    if (!store_.Ready()) return rows;
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select id, uid, pupil_id, topic, menu_choice, time_limit_seconds,"
                               " started_at, finished_at, questions, correct, points, seconds"
                               " from drills order by id")))
        return rows;
    while (q.next()) rows.push_back(DrillRecordAt(q));
    return rows;
}

DrillRecord DrillRecordAt(const QSqlQuery& q, int first) {
    DrillRecord r;
    r.id = q.value(first).toLongLong();
    r.uid = q.value(first + 1).toString();
    r.pupil_id = OptionalId(q.value(first + 2));
    r.topic = q.value(first + 3).toInt();
    r.menu_choice = q.value(first + 4).toInt();
    r.time_limit_seconds = q.value(first + 5).toInt();
    r.started_at = q.value(first + 6).toString();
    r.finished_at = q.value(first + 7).toString();
    r.questions = q.value(first + 8).toInt();
    r.correct = q.value(first + 9).toInt();
    r.points = q.value(first + 10).toInt();
    r.seconds = q.value(first + 11).toInt();
    return r;
}

}  // namespace sorelka::record
