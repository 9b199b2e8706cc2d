#include "record/schema.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

namespace sorelka::record {

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> steps = {
        // The drill log of the last drill, as every version of the program had it.
        {1,
         {QStringLiteral("create table if not exists dorill (\"NO\" integer, MND text, KAI text,"
                         " KOT text, HNT text, AMS integer, AMI integer)")}},
        // The learning record: the pupils of a shared PC, every drill run and
        // every judged problem. Never emptied by the program.
        {2,
         {QStringLiteral("create table if not exists pupils (id integer primary key, name text not null unique,"
                         " reading text, archived integer not null default 0,"
                         " created_at text)"),
          QStringLiteral("create table if not exists drills (id integer primary key, uid text not null unique,"
                         " pupil_id integer references pupils(id), topic integer not null,"
                         " menu_choice integer, time_limit_seconds integer, started_at text not null,"
                         " finished_at text, questions integer not null default 0,"
                         " correct integer not null default 0, points integer not null default 0,"
                         " seconds integer not null default 0)"),
          QStringLiteral("create table if not exists history (id integer primary key,"
                         " pupil_id integer references pupils(id), answered_at text not null,"
                         " topic integer not null, mode text not null check (mode in ('practice', 'drill')),"
                         " menu_choice integer, drill_id integer references drills(id),"
                         " question_no integer, problem text not null, right_answer text,"
                         " entered_answer text, correct integer not null check (correct in (0, 1)),"
                         " seconds real, error_kind text, error_step integer, worked_rows text)"),
          QStringLiteral("create index if not exists history_by_pupil on history (pupil_id, answered_at)"),
          QStringLiteral("create index if not exists history_by_drill on history (drill_id)"),
          QStringLiteral("create index if not exists drills_by_pupil on drills (pupil_id, started_at)")}},
        // A pupil's last answers on one topic, newest first, without sorting
        // their whole history (the habits of the diagnosis read them after
        // every wrong practice answer). error_step holds texts such as
        // "row:2" although version 2 declared it integer: the column's
        // integer affinity leaves such texts as they are.
        {3, {QStringLiteral("create index if not exists history_by_pupil_topic on history (pupil_id, topic, id)")}},
        // The class's figures per pupil and topic (count, right, last day) read
        // from this index alone, and the median time walked along it.
        {4,
         {QStringLiteral("create index if not exists history_by_pupil_topic_seconds on history"
                         " (pupil_id, topic, seconds, answered_at, correct)")}},
        // Sending the record to the school's server: the random id of this
        // record file (its rows' key on the server together with their own
        // id), how far each table's rows were confirmed by the server, and
        // the figures of each drill as the server last confirmed them (a
        // running drill's figures change after it was first sent). A fresh
        // file gets a fresh id, so its new rows never meet an old file's on
        // the server.
        {5,
         {QStringLiteral("create table if not exists sync_source (pc_id text not null)"),
          QStringLiteral("insert into sync_source (pc_id) select lower(hex(randomblob(16)))"
                         " where not exists (select 1 from sync_source)"),
          QStringLiteral("create table if not exists sync_confirmed (table_name text primary key,"
                         " up_to integer not null, confirmed_at text)"),
          QStringLiteral("create table if not exists sync_drills_sent (id integer primary key, finished_at text,"
                         " questions integer, correct integer, points integer, seconds integer)")}},
        // Each pupil's answers, right answers and last answer per topic, kept
        // by triggers in the transaction that writes or removes the answers,
        // so the class's figures over all days are read from 200 rows rather
        // than counted over the whole history. pupil_key is the pupil's id,
        // 0 for the guest (a key cannot be null).
        {6,
         {QStringLiteral("create table if not exists history_totals (pupil_key integer not null, topic integer not null,"
                         " answers integer not null, correct integer not null, last_at text,"
                         " primary key (pupil_key, topic)) without rowid"),
          QStringLiteral("delete from history_totals"),
          QStringLiteral("insert into history_totals select coalesce(pupil_id, 0), topic, count(*),"
                         " sum(correct), max(answered_at) from history group by 1, 2"),
          QStringLiteral("create trigger if not exists history_totals_add after insert on history begin"
                         " insert into history_totals values (coalesce(new.pupil_id, 0), new.topic, 1,"
                         " new.correct, new.answered_at) on conflict do update set answers = answers + 1,"
                         " correct = correct + excluded.correct, last_at = max(last_at, excluded.last_at);"
                         " end"),
          // The last answer is looked up again only when the removed one was
          // it; a pupil's group without answers goes.
          QStringLiteral("create trigger if not exists history_totals_remove after delete on history begin"
                         " update history_totals set answers = answers - 1, correct = correct - old.correct,"
                         " last_at = case when old.answered_at < last_at then last_at else"
                         " (select max(answered_at) from history where pupil_id is old.pupil_id"
                         " and topic = old.topic) end"
                         " where pupil_key = coalesce(old.pupil_id, 0) and topic = old.topic;"
                         " delete from history_totals where pupil_key = coalesce(old.pupil_id, 0)"
                         " and topic = old.topic and answers <= 0;"
                         " end"),
          QStringLiteral("create trigger if not exists history_totals_change after update of pupil_id, topic, correct,"
                         " answered_at on history begin"
                         " update history_totals set answers = answers - 1, correct = correct - old.correct,"
                         " last_at = (select max(answered_at) from history where pupil_id is old.pupil_id"
                         " and topic = old.topic)"
                         " where pupil_key = coalesce(old.pupil_id, 0) and topic = old.topic;"
                         " delete from history_totals where pupil_key = coalesce(old.pupil_id, 0)"
                         " and topic = old.topic and answers <= 0;"
                         " insert into history_totals values (coalesce(new.pupil_id, 0), new.topic, 1,"
                         " new.correct, new.answered_at) on conflict do update set answers = answers + 1,"
                         " correct = correct + excluded.correct, last_at = max(last_at, excluded.last_at);"
                         " end")}},
        // Answers kept in the journal beside the file (kyozai.db.pending)
        // while the file could not take them: how far each journal's entries
        // are in this file, written in the same transaction as the entry, so
        // a journal replayed after the program was killed writes each entry
        // once.
        {7,
         {QStringLiteral("create table if not exists pending_written (journal text primary key,"
                         " up_to integer not null)")}},
        // Each pupil's mastery of each skill (pupil_id null for the guest),
        // written in the transaction of every judged answer and rebuilt from
        // the history when a file has answers but none of these rows. Times
        // as in history, next_review a day "YYYY-MM-DD". One row per pupil
        // and skill: the guest's rows too, hence the key over ifnull.
        {8,
         {QStringLiteral("create table if not exists skill_mastery (pupil_id integer references pupils(id),"
                         " skill text not null, estimate real not null, answers integer not null,"
                         " last_seen text, last_mistake text, next_review text,"
                         " review_step integer not null default 0)"),
          QStringLiteral("create unique index if not exists skill_mastery_by_pupil on skill_mastery"
                         " (ifnull(pupil_id, 0), skill)")}},
        // Classes: every pupil belongs to one, by the class's name (the name
        // goes to the school's server with the pupil). An older file's
        // pupils all go to one class named "クラス". this_pc marks the class
        // this PC is set to; none marked: a computer room's PC.
        {9,
         {QStringLiteral("create table if not exists classes (id integer primary key, name text not null unique,"
                         " this_pc integer not null default 0)"),
          QStringLiteral("insert into classes (name) select 'クラス'"
                         " where not exists (select 1 from classes where name = 'クラス')"),
          QStringLiteral("alter table pupils add column class_name text not null default 'クラス'")}},
        // (Versions 7 and 8 belong to steps made alongside this one.)
        //
        // Answers to find-the-mistake examples (mode 'find_mistake'). SQLite
        // changes no CHECK in place, so history is made anew as its ALTER
        // TABLE page describes: the new table with the same columns in the
        // same order, the rows copied with their ids, the old table dropped
        // (its indexes and triggers with it), the new one renamed, then its
        // indexes and triggers made again, all in the step's transaction. No
        // table refers to history, and the program leaves foreign keys off.
        // Made anew, the step may run again on a file that has it already.
        // These answers are not the pupil's own work: the kept totals leave
        // them out, and an index of their own counts them apart.
        {10,
         {QStringLiteral("drop table if exists history_rebuilt"),
          QStringLiteral("create table history_rebuilt (id integer primary key,"
                         " pupil_id integer references pupils(id), answered_at text not null,"
                         " topic integer not null,"
                         " mode text not null check (mode in ('practice', 'drill', 'find_mistake')),"
                         " menu_choice integer, drill_id integer references drills(id),"
                         " question_no integer, problem text not null, right_answer text,"
                         " entered_answer text, correct integer not null check (correct in (0, 1)),"
                         " seconds real, error_kind text, error_step integer, worked_rows text)"),
          QStringLiteral("insert into history_rebuilt (id, pupil_id, answered_at, topic, mode, menu_choice,"
                         " drill_id, question_no, problem, right_answer, entered_answer, correct, seconds,"
                         " error_kind, error_step, worked_rows)"
                         " select id, pupil_id, answered_at, topic, mode, menu_choice, drill_id, question_no,"
                         " problem, right_answer, entered_answer, correct, seconds, error_kind, error_step,"
                         " worked_rows from history order by id"),
          QStringLiteral("drop table history"),
          QStringLiteral("alter table history_rebuilt rename to history"),
          QStringLiteral("create index if not exists history_by_pupil on history (pupil_id, answered_at)"),
          QStringLiteral("create index if not exists history_by_drill on history (drill_id)"),
          QStringLiteral("create index if not exists history_by_pupil_topic on history (pupil_id, topic, id)"),
          // The class's figures within dates read this index alone; it holds the
          // pupils' own work, so a query names the same condition.
          QStringLiteral("create index if not exists history_by_pupil_topic_seconds on history"
                         " (pupil_id, topic, seconds, answered_at, correct) where mode <> 'find_mistake'"),
          QStringLiteral("create index if not exists history_found_mistakes on history"
                         " (pupil_id, topic, answered_at, correct) where mode = 'find_mistake'"),
          QStringLiteral("create trigger if not exists history_totals_add after insert on history"
                         " when new.mode <> 'find_mistake' begin"
                         " insert into history_totals values (coalesce(new.pupil_id, 0), new.topic, 1,"
                         " new.correct, new.answered_at) on conflict do update set answers = answers + 1,"
                         " correct = correct + excluded.correct, last_at = max(last_at, excluded.last_at);"
                         " end"),
          QStringLiteral("create trigger if not exists history_totals_remove after delete on history"
                         " when old.mode <> 'find_mistake' begin"
                         " update history_totals set answers = answers - 1, correct = correct - old.correct,"
                         " last_at = case when old.answered_at < last_at then last_at else"
                         " (select max(answered_at) from history where pupil_id is old.pupil_id"
                         " and topic = old.topic and mode <> 'find_mistake') end"
                         " where pupil_key = coalesce(old.pupil_id, 0) and topic = old.topic;"
                         " delete from history_totals where pupil_key = coalesce(old.pupil_id, 0)"
                         " and topic = old.topic and answers <= 0;"
                         " end"),
          // A row that becomes or stops being a find-the-mistake answer leaves
          // or joins the totals; one that stays one touches nothing.
          QStringLiteral("create trigger if not exists history_totals_change after update of pupil_id, topic,"
                         " correct, answered_at, mode on history"
                         " when old.mode <> 'find_mistake' or new.mode <> 'find_mistake' begin"
                         " update history_totals set answers = answers - 1, correct = correct - old.correct,"
                         " last_at = (select max(answered_at) from history where pupil_id is old.pupil_id"
                         " and topic = old.topic and mode <> 'find_mistake')"
                         " where old.mode <> 'find_mistake' and pupil_key = coalesce(old.pupil_id, 0)"
                         " and topic = old.topic;"
                         " delete from history_totals where pupil_key = coalesce(old.pupil_id, 0)"
                         " and topic = old.topic and answers <= 0;"
                         " insert into history_totals select coalesce(new.pupil_id, 0), new.topic, 1,"
                         " new.correct, new.answered_at where new.mode <> 'find_mistake'"
                         " on conflict do update set answers = answers + 1,"
                         " correct = correct + excluded.correct, last_at = max(last_at, excluded.last_at);"
                         " end"),
          // Counted afresh from the rows, so a run again changes nothing.
          QStringLiteral("delete from history_totals"),
          QStringLiteral("insert into history_totals select coalesce(pupil_id, 0), topic, count(*),"
                         " sum(correct), max(answered_at) from history where mode <> 'find_mistake'"
                         " group by 1, 2")}},
        // Settings of the program that belong with the record rather than
        // with one account's settings file (the teacher's PIN's wrong
        // tries), one value per key.
        {11,
         {QStringLiteral("create table if not exists program_settings (key text primary key, value text not null)")}},
        // Work the teacher gives on the school's server: each answer given
        // for a piece names it (work_id, null for ordinary answers) and
        // every answer names the skill its mastery update credits or debits
        // first (null where none is known, as in older rows). The columns
        // come after the ones step 10 rebuilds, so readers that name their
        // columns and the sync's copy are unchanged. work_given is the last
        // list of pieces the sync fetched (replaced whole in one
        // transaction); pupils holds names separated by newlines, empty for
        // the whole class; due_day "YYYY-MM-DD".
        {12,
         {QStringLiteral("alter table history add column work_id integer"),
          QStringLiteral("alter table history add column skill text"),
          QStringLiteral("create index if not exists history_by_work on history (work_id, pupil_id)"
                         " where work_id is not null"),
          QStringLiteral("create table if not exists work_given (id integer primary key, class_name text not null,"
                         " title text not null, topic integer, menu_choice integer, skill text,"
                         " recommended integer not null default 0, problems integer not null,"
                         " due_day text not null, pupils text not null default '',"
                         " withdrawn integer not null default 0, fetched_at text)")}},
        // Which of this PC's pupils each piece of work_given is for, as the
        // server works it out (by the class list and the teacher's
        // attachments, so a pupil attached under another name still gets
        // the class's work), and the answers the same pupil gave for it on
        // other PCs; replaced with work_given. pupils_to_send notes each
        // pupil renamed, moved to another class or put to rest or back
        // after it was made (`change` counts the changes, so the sync
        // forgets only the one it sent). pupils.source_id is the pupil's id
        // in the school's class list when it came from one.
        {13,
         {QStringLiteral("create table if not exists work_for_pupils (work_id integer not null,"
                         " pupil_id integer not null, answered_elsewhere integer not null default 0,"
                         " primary key (work_id, pupil_id))"),
          QStringLiteral("alter table pupils add column source_id text"),
          QStringLiteral("create unique index if not exists pupils_by_source on pupils (source_id)"
                         " where source_id is not null"),
          QStringLiteral("create table if not exists pupils_to_send (id integer primary key,"
                         " change integer not null default 1)"),
          QStringLiteral("create trigger if not exists pupils_changed after update of name, class_name, archived"
                         " on pupils when new.name is not old.name or new.class_name is not old.class_name"
                         " or new.archived is not old.archived begin"
                         " insert into pupils_to_send (id) values (new.id)"
                         " on conflict (id) do update set change = change + 1; end")}},
    };
    return steps;
}

int SchemaVersion() { return Migrations().back().version; }

namespace {

// The tables, indexes and triggers each step makes, read from its statements.
QStringList ObjectsOf(const Migration& step) {
    static const QRegularExpression made(
        QStringLiteral("^create (?:table|index|trigger) if not exists (\\w+)"));
    QStringList names;
    for (const QString& sql : step.statements)
        if (const auto m = made.match(sql); m.hasMatch()) names << m.captured(1);
    return names;
}

}  // namespace

int LayoutVersionFromTables(QSqlDatabase& db) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select name from sqlite_master"))) return 0;
    QSet<QString> present;
    while (q.next()) present.insert(q.value(0).toString());
    int version = 0;
    for (const Migration& step : Migrations()) {
        for (const QString& name : ObjectsOf(step))
            if (!present.contains(name)) return version;
        version = step.version;
    }
    return version;
}

}  // namespace sorelka::record
