#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "core/mastery.h"
#include "record/record_store.h"

// Each pupil's mastery of each skill in the table `skill_mastery`: read for
// the recommender and the screens, brought up to date by statements that go
// into the transaction of every judged answer, and rebuilt from `history`
// (which stays the truth) when a file has answers but no mastery yet. What an
// answer says about which skill comes from the injected AnswerObserver: the
// record knows no topic.
namespace sorelka::record {

// "2026-12-08T13:23:05.250+09:00" (as IsoTime writes it) back into a time;
// nothing for any other text.
std::optional<LocalTime> ParseIsoTime(const QString& text);

class SkillMastery {
public:
    SkillMastery(RecordStore& store, AnswerObserver observe, MasteryRules rules = {});

    // The statements that bring the skills of `pupil` (a roster name; empty:
    // the guest) up to date with `answer`: one insert of every skill the
    // answer spoke about, for the answer's own transaction. None when the
    // answer says nothing about any skill.
    std::vector<Statement> AnswerStatements(const QString& pupil, const StoredAnswer& answer);
    // The same with the answer's observations already made (Observations).
    std::vector<Statement> AnswerStatements(const QString& pupil, const StoredAnswer& answer,
                                            const std::vector<SkillObservation>& seen);
    // What the answer says about which skills, in the order the update
    // credits or debits them (the first is history.skill).
    std::vector<SkillObservation> Observations(const StoredAnswer& answer) const;

    // The skills of `pupil` as kept (empty name: the guest).
    const PupilSkills& Skills(const QString& pupil);
    // Every pupil's skills by roster name ("" for the guest), for the teacher.
    std::map<QString, PupilSkills> Everyone();

    // Empties the table and fills it again from the whole history, in one
    // transaction. False when the file could not be read or written.
    bool Rebuild();
    // Rebuilds once per file when it has answers but no mastery (a file of
    // an older layout, or one whose table was emptied).
    void RebuildIfMissing();

    // The roster changed: the states kept in memory follow it.
    void Renamed(const QString& from, const QString& to);
    void Forget(const QString& pupil);
    // The file was opened again (maybe a fresh one): everything is read anew.
    void ForgetAll();

    const MasteryRules& rules() const { return rules_; }

private:
    PupilSkills& Cached(const QString& pupil);
    PupilSkills Read(const QString& pupil);

    RecordStore& store_;
    AnswerObserver observe_;
    MasteryRules rules_;
    std::map<QString, PupilSkills> cache_;
    bool checked_ = false;
    bool table_ = false;  // the file has the table (known once checked_)
};

}  // namespace sorelka::record
