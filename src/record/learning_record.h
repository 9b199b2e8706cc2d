#pragma once

#include <QObject>
#include <QSqlQuery>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "core/learning_recorder.h"
#include "record/private_files.h"
#include "record/record_store.h"
#include "record/skill_mastery.h"

namespace sorelka::record {

// The longest name the roster takes, in characters as a reader counts them.
inline constexpr int kLongestPupilName = 20;
// The name shown while no pupil is chosen.
inline const QString kGuestName = QStringLiteral("ゲスト");

// A name as typed, checked for the roster: trimmed, and either accepted or
// refused with a Japanese message for the pupil.
struct NameCheck {
    QString name;     // trimmed
    QString refusal;  // empty when the name may be added
    bool ok() const { return refusal.isEmpty(); }
};
// Checks everything but duplicates (which LearningRecord::AddPupil checks).
NameCheck CheckPupilName(const QString& typed);

// Local time in ISO 8601 with its offset: "2026-12-08T13:23:05.250+09:00".
QString IsoTime(const LocalTime& t);

// How an answer was given: a practice problem, a drill question, or the
// place pointed at in an example worked with one mistake.
enum class AnswerMode { Practice, Drill, FindTheMistake };
// The text `history.mode` stores for `mode`: "practice", "drill", "find_mistake".
QString ModeText(AnswerMode mode);

// One row of `history` as stored.
struct HistoryRow {
    qint64 id = 0;
    std::optional<qint64> pupil_id;
    QString pupil;  // the pupil's name; empty for the guest
    QString answered_at;
    int topic = 0;
    QString mode;
    int menu_choice = 0;
    std::optional<qint64> drill_id;
    std::optional<int> question_no;
    QString problem;
    QString right_answer;
    QString entered_answer;
    bool correct = false;
    double seconds = 0;
    QString worked_rows;  // JSON: [{"name": ..., "text": ...}, ...]
    QString error_kind;   // the diagnosed kind of mistake; empty when none
    QString error_step;   // where it happened ("row:2", "column:tenths", ...)
    std::optional<qint64> work_id;  // the piece of work it was given for
    QString skill;                  // the skill its mastery update named first; empty when none
};

// One row of `drills` as stored.
struct DrillRecord {
    qint64 id = 0;
    QString uid;
    std::optional<qint64> pupil_id;
    int topic = 0;
    int menu_choice = 0;
    int time_limit_seconds = 0;
    QString started_at;
    QString finished_at;  // empty until "ストップ" or the time-out
    int questions = 0;
    int correct = 0;
    int points = 0;
    int seconds = 0;
};

// The drill on the current row of `q`, whose columns from `first` on are
// id, uid, pupil_id, topic, menu_choice, time_limit_seconds, started_at,
// finished_at, questions, correct, points, seconds (the table's own order).
DrillRecord DrillRecordAt(const QSqlQuery& q, int first = 0);

// The answer on the current row of `q`, whose columns from `first` on are
// the table's own: id, pupil_id, answered_at, topic, mode, menu_choice,
// drill_id, question_no, problem, right_answer, entered_answer, correct,
// seconds, error_kind, error_step, worked_rows. The pupil's name is left to
// the caller.
HistoryRow HistoryRowAt(const QSqlQuery& q, int first = 0);

// The learning record in kyozai.db: the roster of pupils, the current pupil,
// and the statements that write a judged problem and a drill run. The
// statements name rows by keys made here (a pupil by its unique name, a drill
// by its uid), so they stay right when the store keeps them and writes later.
class LearningRecord : public QObject {
    Q_OBJECT
public:
    explicit LearningRecord(RecordStore& store, QObject* parent = nullptr);

    // The roster, in the order the names were added (archived names left out).
    QStringList Pupils();
    // Adds a name to the roster; the check's refusal tells why not.
    NameCheck AddPupil(const QString& typed);

    // The whole roster for the teacher, archived names too, in the order added.
    struct RosterEntry {
        QString name;
        bool archived = false;
    };
    std::vector<RosterEntry> Roster();
    // Renames a pupil (their history stays theirs); the check's refusal tells why not.
    NameCheck RenamePupil(const QString& name, const QString& typed);
    // Archived names leave the pupil choice; their history is kept. An
    // archived current pupil gives way to the guest.
    void SetArchived(const QString& name, bool archived);
    // How many answers a pupil has given.
    int AnswerCount(const QString& name);
    // Removes a pupil with every answer and drill of theirs.
    void DeletePupil(const QString& name);

    // The pupil answers are recorded for: empty for the guest.
    const QString& current_pupil() const { return current_; }
    // The name to show: the pupil's, or "ゲスト".
    QString shown_name() const { return current_.isEmpty() ? kGuestName : current_; }
    // Chooses a pupil of the roster, or the guest (empty name or one not in
    // the roster), and remembers the choice for the next run.
    void ChoosePupil(const QString& name);
    // Takes up the choice remembered from the last run (the guest if that
    // name is no longer in the roster).
    void RestoreLastPupil();

    // The statements of one judged problem, for the current pupil. `drill` is
    // the uid of its drills row (empty on practice).
    // The row names the skill the mastery update credits or debits first
    // (none without TraceMastery) and `work`, the piece of work the answer
    // was given for.
    Statement HistoryStatement(const JudgedAnswer& answer, AnswerMode mode,
                               const QString& drill = QString(),
                               std::optional<int> question_no = std::nullopt,
                               std::optional<qint64> work = std::nullopt) const;
    // The history row of a practice or drill answer and the statements that
    // bring the current pupil's mastery up to date with it, the answer's
    // skills worked out once for both.
    Transaction AnswerStatements(const JudgedAnswer& answer, AnswerMode mode, const QString& drill = QString(),
                                 std::optional<int> question_no = std::nullopt,
                                 std::optional<qint64> work = std::nullopt);
    // A new drills row for the current pupil; `uid` from NewDrillKey().
    Statement DrillStartStatement(const QString& uid, const DrillRun& run) const;
    // The drill's figures so far, and its end time once it has one.
    Statement DrillFiguresStatement(const QString& uid, const DrillFigures& figures,
                                    const std::optional<LocalTime>& finished_at) const;
    static QString NewDrillKey();

    // The kinds of mistake `pupil` (a roster name; empty: the guest) makes
    // again on `topic`: each named at least twice among their last 20 answers
    // on it, most frequent first. A slip or an unexplained answer is no habit,
    // and neither is the kind of an example the pupil looked for a mistake in
    // (those answers are left out of the 20).
    QStringList Habits(const QString& pupil, int topic);

    // Reading back (tests, the teacher's view): every row in the order written.
    std::vector<HistoryRow> History();
    std::vector<DrillRecord> Drills();

    RecordStore& store() { return store_; }

    // Keeps each pupil's mastery of each skill with every judged answer,
    // `observe` telling what an answer says about which skill.
    void TraceMastery(AnswerObserver observe);
    // None until TraceMastery.
    SkillMastery* mastery() { return mastery_.get(); }
    // The statements that bring the current pupil's mastery up to date with
    // `answer`, for the transaction of its history row; none without tracing.
    std::vector<Statement> MasteryStatements(const JudgedAnswer& answer);

signals:
    void pupilChanged();

private:
    bool InRoster(const QString& name);

    RecordStore& store_;
    QString current_;
    std::unique_ptr<SkillMastery> mastery_;
    // The history row with `skill` as history.skill.
    Statement HistoryInsert(const JudgedAnswer& answer, AnswerMode mode, const QString& drill,
                         std::optional<int> question_no, std::optional<qint64> work,
                         const std::string& skill) const;
};

}  // namespace sorelka::record
