-- The server's SQL as shipped before the work given by teachers and the
-- lesson live (sorelka_server.sql with sorelka_teacher.sql after it), to
-- load a database of that shape in the tests.
-- The school's class record: every PC's pupils, drill runs and judged
-- problems, and which PC may write what. Load it as the database's owner
-- into an empty database, and again after each update of Sorelka: it brings
-- a database made by an older version up to date, and running it again
-- changes nothing.
--   psql -d sorelka -v ON_ERROR_STOP=1 -f sorelka_server.sql
--
-- The tables hold the columns of each PC's own record plus pc_id, the random
-- id a PC makes for its record file; (pc_id, id) is a row's key, so a row a PC
-- sends twice is kept once. Times are the PCs' own ISO 8601 texts with their
-- offset ("2026-12-08T13:23:05.250+09:00"); cast them with ::timestamptz.
--
-- Roles:
--   sorelka_writer   the group of the PCs' login roles, one role per PC
--                    (packaging/server/add-pc.sh makes them). A PC adds rows
--                    under the pc_ids it owns, reads back only those, and
--                    brings only its own drills' figures forward.
--   sorelka_teacher  the group of the teachers' own login roles. A teacher
--                    reads and changes the classes granted to it
--                    (sorelka_grant_class) through the functions below,
--                    never the tables themselves.
-- The tables' owner is bound by none of this.

set client_min_messages = warning;  -- no notice for what is already there
begin;

-- Only the owner makes tables, functions or temporary tables here: a PC's
-- role could otherwise put objects of its own in front of these.
revoke create on schema public from public;
do $$
begin
    execute format('revoke temporary on database %I from public', current_database());
end
$$;

create table if not exists pupils (
    pc_id text not null,
    id bigint not null,
    name text not null,
    reading text,
    archived integer not null default 0,
    created_at text,
    primary key (pc_id, id)
);
-- The class the PC had the pupil in when it sent them (a database made by
-- an older version puts its pupils into one class, as an old record file does).
alter table pupils add column if not exists class_name text not null default 'クラス';
-- A pupil is the same pupil on every PC of the school when the class and the
-- name are the same.
drop index if exists pupils_by_name;
create index if not exists pupils_by_class on pupils (class_name, name);

-- A drill's uid names it across the school: a record file that took a new
-- pc_id (it was copied, or put back from a backup) while a drill ran holds
-- that drill under both ids; the row with the most questions is its last.
create table if not exists drills (
    pc_id text not null,
    id bigint not null,
    uid text not null,
    pupil_id bigint,
    topic integer not null,
    menu_choice integer,
    time_limit_seconds integer,
    started_at text not null,
    finished_at text,
    questions integer not null default 0,
    correct integer not null default 0,
    points integer not null default 0,
    seconds integer not null default 0,
    primary key (pc_id, id)
);

create table if not exists history (
    pc_id text not null,
    id bigint not null,
    pupil_id bigint,
    answered_at text not null,
    topic integer not null,
    mode text not null,
    menu_choice integer,
    drill_id bigint,
    question_no integer,
    problem text not null,
    right_answer text,
    entered_answer text,
    correct integer not null check (correct in (0, 1)),
    seconds double precision,
    error_kind text,
    error_step text,
    worked_rows text,
    primary key (pc_id, id)
);
create index if not exists history_by_pupil on history (pc_id, pupil_id, answered_at);
-- How an answer was given: a practice problem, a drill question, or the
-- place a pupil pointed at in an example worked with one mistake. Made
-- again on every run, so a server set up by an older file takes every mode.
alter table history drop constraint if exists history_mode_check;
alter table history add constraint history_mode_check
    check (mode in ('practice', 'drill', 'find_mistake'));
-- The class's figures per pupil and topic read from this index alone (after
-- a vacuum), and a pupil's last answers on a topic walked backwards along it.
-- It carries the mode, so the pupil's own work is told from answers to
-- find-the-mistake examples without reading the table; an index made by an
-- older file, without it, is made again (once, a minute or so for a
-- school's years).
do $$
begin
    if exists (select from pg_indexes where schemaname = 'public' and indexname = 'history_by_pupil_topic'
                                        and indexdef not like '%mode%') then
        drop index history_by_pupil_topic;
    end if;
end
$$;
create index if not exists history_by_pupil_topic on history (pc_id, pupil_id, topic, answered_at)
    include (correct, seconds, error_kind, id, mode);
create index if not exists drills_by_pupil on drills (pc_id, pupil_id, topic);

-- Which classes each teacher's role may read and change; the administrator
-- fills it with sorelka_grant_class.
create table if not exists teacher_classes (
    teacher name not null,
    class_name text not null,
    primary key (teacher, class_name)
);

-- The role each pc_id belongs to: the PC role that claimed it first (a PC
-- claims its record file's id before it sends anything under it). Rows sent
-- before this table existed belong to whichever PC role claims their pc_id
-- first; the administrator may bind them beforehand:
--   insert into pc_owners (pc_id, owner) values ('…', 'pc_room1_03');
create table if not exists pc_owners (
    pc_id text primary key,
    owner name not null default session_user,
    claimed_at timestamptz not null default now()
);
create index if not exists pc_owners_by_owner on pc_owners (owner);

-- The school's list of pupils: who is in which class, as the teachers
-- (through sorelka_add_pupil and the roster functions) or the owner say. A
-- PC's own pupils rows are its mapping of its local ids to a class and a
-- name, never the list: a PC's role cannot write here. The teacher's figures
-- count a PC's pupil row when its class and name are a listed pupil's, or
-- when a teacher attached it to one (pupil_links). A database made by an
-- older version gets the list once, from the pupils its PCs had sent by
-- then, when the table is made; never again, so a row a PC sends later is
-- not taken into the list by loading this file.
do $$
begin
    if to_regclass('public.class_pupils') is null then
        create table class_pupils (
            class_name text not null,
            name text not null,
            reading text,
            archived boolean not null default false,
            place bigint generated always as identity,
            primary key (class_name, name)
        );
        insert into class_pupils (class_name, name, reading, archived)
            select p.class_name, p.name, min(p.reading), bool_and(p.archived <> 0) from pupils p
            group by p.class_name, p.name order by min(p.created_at), min(p.pc_id), min(p.id);
    end if;
end
$$;

-- A PC's pupil row a teacher dealt with by hand: attached to a listed pupil
-- (class_name, name), or dropped (both null: its answers count nowhere).
-- Keyed by the PC's row, so the PC sending it again changes nothing.
-- What no teacher dealt with and no listed pupil matches (unmatched, such as
-- a class nobody has), for the administrator:
--   select p.pc_id, o.owner, p.class_name, p.name,
--          (select count(*) from history h where h.pc_id = p.pc_id and h.pupil_id = p.id) as answers
--   from pupils p left join pc_owners o using (pc_id)
--   where not exists (select from pupil_links k where k.pc_id = p.pc_id and k.pupil_id = p.id)
--     and not exists (select from class_pupils l where l.class_name = p.class_name and l.name = p.name)
--   order by p.class_name, p.name;
create table if not exists pupil_links (
    pc_id text not null,
    pupil_id bigint not null,
    class_name text,
    name text,
    primary key (pc_id, pupil_id),
    check ((class_name is null) = (name is null)),
    foreign key (class_name, name) references class_pupils (class_name, name)
        on update cascade on delete cascade
);
create index if not exists pupil_links_by_pupil on pupil_links (class_name, name);

-- Every judged problem with its pupil's name, for the teacher and for psql.
create or replace view class_history as
    select p.name as pupil, h.*
    from history h left join pupils p on p.pc_id = h.pc_id and p.id = h.pupil_id;

-- A drill's questions, right answers and points are what its answers on
-- the server say, whatever the PC sends: counted along history_by_drill
-- when the drill arrives or changes, and brought forward by each of its
-- answers as it arrives, so the order in which a PC sends drills and answers
-- changes nothing. Points are the drill's own rule: right answers × 100 ÷
-- questions, rounded down. Its seconds never go down, and an end time once
-- set stays.
create or replace function drill_figures_from_answers() returns trigger
language plpgsql set search_path = pg_catalog, public, pg_temp as $$
begin
    if tg_op = 'UPDATE' and (new.seconds < old.seconds
                             or (old.finished_at is not null and new.finished_at is null)) then
        raise exception 'drill % of PC %: its figures only go forward', old.id, old.pc_id
            using errcode = 'insufficient_privilege';
    end if;
    select count(*), coalesce(sum(h.correct), 0) into new.questions, new.correct
    from history h where h.pc_id = new.pc_id and h.drill_id = new.id and h.mode = 'drill';
    new.points := case when new.questions > 0 then new.correct * 100 / new.questions else 0 end;
    return new;
end
$$;
drop trigger if exists drill_figures_only_forward on drills;
drop function if exists drill_figures_only_forward();
drop trigger if exists drill_figures_from_answers on drills;
create trigger drill_figures_from_answers before insert or update on drills
    for each row execute function drill_figures_from_answers();

-- An answer of a drill counts the drill again (with the owner's rights: a
-- PC's role may update a drill but nothing in it follows from this).
create or replace function drill_answer_arrived() returns trigger
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    update drills set questions = questions where pc_id = new.pc_id and id = new.drill_id;
    return null;
end
$$;
revoke all on function drill_answer_arrived() from public;
drop trigger if exists drill_answer_arrived on history;
create trigger drill_answer_arrived after insert on history
    for each row when (new.mode = 'drill' and new.drill_id is not null)
    execute function drill_answer_arrived();

-- The answers of each drill, for the counts above. Made once; a database
-- made by an older version gets its drills' figures counted again then.
do $$
begin
    if to_regclass('public.history_by_drill') is null then
        create index history_by_drill on history (pc_id, drill_id) include (correct)
            where mode = 'drill' and drill_id is not null;
        update drills set questions = questions;
    end if;
end
$$;
do $$
begin
    if not exists (select from pg_roles where rolname = 'sorelka_writer') then
        create role sorelka_writer nologin;
    end if;
    if not exists (select from pg_roles where rolname = 'sorelka_teacher') then
        create role sorelka_teacher nologin;
    end if;
end
$$;

-- The privileges afresh on every run, so that a database made by an older
-- version loses what its PCs may no longer do (read every answer).
revoke all on pupils, drills, history, pc_owners, class_history, teacher_classes, class_pupils, pupil_links
    from public, sorelka_writer, sorelka_teacher;
grant usage on schema public to sorelka_writer, sorelka_teacher;
-- Nothing may be deleted, and of a drill only its figures and end time change.
grant select, insert on pupils, drills, history to sorelka_writer;
grant update (finished_at, questions, correct, points, seconds) on drills to sorelka_writer;
grant select, insert (pc_id) on pc_owners to sorelka_writer;

-- Row-level security: a PC role reads, adds and updates only rows under the
-- pc_ids it owns (rows of another PC are simply not there for it; a row it
-- adds or changes under another PC's id is refused). Bound to the role that
-- signed in (session_user), so that SET ROLE to the group changes nothing.
alter table pupils enable row level security;
alter table drills enable row level security;
alter table history enable row level security;
alter table pc_owners enable row level security;

drop policy if exists pc_claims_its_own on pc_owners;
create policy pc_claims_its_own on pc_owners to sorelka_writer
    using (owner = session_user) with check (owner = session_user);

drop policy if exists pc_own_rows on pupils;
create policy pc_own_rows on pupils to sorelka_writer
    using (pc_id in (select o.pc_id from pc_owners o where o.owner = session_user));
drop policy if exists pc_own_rows on drills;
create policy pc_own_rows on drills to sorelka_writer
    using (pc_id in (select o.pc_id from pc_owners o where o.owner = session_user));
drop policy if exists pc_own_rows on history;
create policy pc_own_rows on history to sorelka_writer
    using (pc_id in (select o.pc_id from pc_owners o where o.owner = session_user));

-- A database made by an older version let one reading role read every row.
drop policy if exists teacher_reads on pupils;
drop policy if exists teacher_reads on drills;
drop policy if exists teacher_reads on history;
drop policy if exists teacher_reads on pc_owners;

commit;

-- What a teacher's own role may do: read the classes granted to it, counted
-- here on the server (the teacher's PC fetches only the rows a screen shows),
-- and rename, move and delete those classes' pupils. Loaded by
-- sorelka_server.sql; safe to load again.
--
-- Every function checks the class against teacher_classes for the role that
-- signed in (session_user) and runs with its owner's rights, so a teacher's
-- role needs no right on the tables themselves. The pupils of a class are
-- those class_pupils lists; a listed pupil's answers are those of every
-- PC's pupils row with that class and name, and of every row a teacher
-- attached to them (pupil_links). A PC's row no listed pupil matches and no
-- teacher dealt with waits as unmatched (sorelka_unmatched).
--
-- The administrator grants and takes back a class:
--   select sorelka_grant_class('tanaka', '4年1組');
--   select sorelka_revoke_class('tanaka', '4年1組');

set client_min_messages = warning;
begin;

create or replace function sorelka_grant_class(teacher name, class text) returns void
language plpgsql as $$
begin
    if not exists (select from pg_roles where rolname = teacher) then
        raise exception 'no role %', teacher using errcode = 'undefined_object';
    end if;
    execute format('grant sorelka_teacher to %I', teacher);
    insert into teacher_classes values (teacher, class) on conflict do nothing;
end
$$;

create or replace function sorelka_revoke_class(teacher name, class text) returns void
language sql as $$
    delete from teacher_classes t where t.teacher = sorelka_revoke_class.teacher and t.class_name = class;
$$;

-- Raises a permission error unless the signed-in role was granted `class`.
create or replace function sorelka_check_class(class text) returns void
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    if class is null or not exists (select from teacher_classes t
                                    where t.teacher = session_user and t.class_name = class) then
        raise exception 'class % is not granted to %', class, session_user
            using errcode = 'insufficient_privilege';
    end if;
end
$$;

-- Raises a unique error when `class` is a class anywhere on the server:
-- granted to any teacher, listed, or named by any PC's pupils. A class
-- renamed to it would take over what it holds.
create or replace function sorelka_check_new_class(class text) returns void
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    if class is null or btrim(class) = '' then
        raise exception 'a class needs a name' using errcode = 'invalid_parameter_value';
    end if;
    if exists (select from teacher_classes t where t.class_name = class)
       or exists (select from class_pupils l where l.class_name = class)
       or exists (select from pupils p where p.class_name = class) then
        raise exception 'class % is on the server already', class using errcode = 'duplicate_object';
    end if;
end
$$;

-- Raises a unique error when `class` has a pupil named `pupil`: listed, or
-- a PC's row of that class and name no teacher dealt with (which the name
-- would take in).
create or replace function sorelka_check_new_pupil(class text, pupil text) returns void
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    if pupil is null or btrim(pupil) = '' then
        raise exception 'a pupil needs a name' using errcode = 'invalid_parameter_value';
    end if;
    if exists (select from class_pupils l where l.class_name = class and l.name = pupil)
       or exists (select from pupils p where p.class_name = class and p.name = pupil
                  and not exists (select from pupil_links k where k.pc_id = p.pc_id and k.pupil_id = p.id)) then
        raise exception 'class % has a pupil named % already', class, pupil using errcode = 'unique_violation';
    end if;
end
$$;

-- The PCs' pupils rows of a class's listed pupils (one pupil's when
-- `pupil` is given), with the listed name: those of the same class and
-- name, and those attached. A plain SQL function, read into the queries
-- that use it.
create or replace function sorelka_members(class text, pupil text)
returns table (pc_id text, id bigint, name text, place bigint)
language sql stable as $$
    select p.pc_id, p.id, l.name, l.place
    from class_pupils l join pupils p on p.class_name = l.class_name and p.name = l.name
    where l.class_name = class and (pupil is null or l.name = pupil)
      and not exists (select from pupil_links k where k.pc_id = p.pc_id and k.pupil_id = p.id)
    union all
    select k.pc_id, k.pupil_id, l.name, l.place
    from class_pupils l join pupil_links k on k.class_name = l.class_name and k.name = l.name
    where l.class_name = class and (pupil is null or l.name = pupil);
$$;

-- The classes granted to the signed-in role, by name.
create or replace function sorelka_classes() returns setof text
language sql stable security definer set search_path = pg_catalog, public, pg_temp as $$
    select class_name from teacher_classes where teacher = session_user order by class_name;
$$;

-- The pupils of a class in the list's order (the first listed first).
create or replace function sorelka_pupils(class text)
returns table (pupil text, archived boolean)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    return query select l.name, l.archived from class_pupils l where l.class_name = class order by l.place;
end
$$;

-- The answers of a class (one pupil's when `pupil` is given) within the
-- days and topic given (null: no bound), with the pupil's name. Days are
-- compared as the PCs' local ISO texts (all of one form, so any collation
-- orders them as the PC's own record does). Only the functions below use
-- it, with their owner's rights and search path; it is a plain SQL function
-- (no settings of its own) so the planner reads it into their queries and
-- fetches only the columns they use.
create or replace function sorelka_filtered(class text, pupil text, from_day date, to_day date, topic_no integer)
returns table (name text, pc_id text, id bigint, answered_at text, topic integer, mode text,
               menu_choice integer, drill_id bigint, question_no integer, problem text, right_answer text,
               entered_answer text, correct integer, seconds double precision, error_kind text,
               error_step text, worked_rows text)
language sql stable as $$
    select p.name, h.pc_id, h.id, h.answered_at, h.topic, h.mode, h.menu_choice, h.drill_id, h.question_no,
           h.problem, h.right_answer, h.entered_answer, h.correct, h.seconds, h.error_kind, h.error_step,
           h.worked_rows
    from sorelka_members(class, pupil) p join history h on h.pc_id = p.pc_id and h.pupil_id = p.id
    where (topic_no is null or h.topic = topic_no)
      and (from_day is null or h.answered_at >= to_char(from_day, 'YYYY-MM-DD'))
      and (to_day is null or h.answered_at < to_char(to_day + 1, 'YYYY-MM-DD'));
$$;

-- The class's figures: one row per pupil and topic with answers in the
-- filter (count, right, median seconds, last answer, the habit among the
-- last 20 answers, drills started and best points, then the answers to
-- find-the-mistake examples and the right ones), in roster order. The
-- figures are the pupil's own work: an answer to someone else's worked
-- example is counted apart and names no habit. The counts are read along
-- history_by_pupil_topic; a pupil's last 20 answers on a topic are the
-- newest 20 of each of their PCs' last 20, walked backwards along the same
-- index.
drop function if exists sorelka_class_summary(text, text, date, date, integer);
create function sorelka_class_summary(class text, pupil text, from_day date, to_day date, topic_no integer)
returns table (name text, topic integer, answers bigint, correct bigint, median_seconds double precision,
               last_at text, habit text, drills bigint, best_points integer, found_answers bigint,
               found_correct bigint)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp
-- A class's year (300,000 answers) is sorted in memory for the medians.
set enable_memoize = off set work_mem = '64MB' as $$
#variable_conflict use_column
declare
    low text := to_char(from_day, 'YYYY-MM-DD');
    high text := to_char(to_day + 1, 'YYYY-MM-DD');
begin
    perform sorelka_check_class(class);
    return query
    with members as materialized (
        select p.pc_id, p.id, p.name, p.place, dense_rank() over (order by p.name) as who
        from sorelka_members(class, pupil) p),
    roster as (
        select m.name, min(m.place) as place from members m group by m.name),
    groups as (
        select min(m.name) as name, h.topic,
               count(*) filter (where h.mode <> 'find_mistake') as answers,
               coalesce(sum(h.correct) filter (where h.mode <> 'find_mistake'), 0) as correct,
               percentile_cont(0.5) within group (order by h.seconds)
                   filter (where h.mode <> 'find_mistake') as median_seconds,
               max(h.answered_at) filter (where h.mode <> 'find_mistake') as last_at,
               count(*) filter (where h.mode = 'find_mistake') as found_answers,
               coalesce(sum(h.correct) filter (where h.mode = 'find_mistake'), 0) as found_correct
        from members m join history h on h.pc_id = m.pc_id and h.pupil_id = m.id
        where (topic_no is null or h.topic = topic_no)
          and (low is null or h.answered_at >= low)
          and (high is null or h.answered_at < high)
        group by m.who, h.topic),
    drill_figures as (
        select m.name, d.topic, count(*) as drills, max(d.points) as best_points
        from members m join drills d on d.pc_id = m.pc_id and d.pupil_id = m.id
        where (topic_no is null or d.topic = topic_no)
          and (low is null or d.started_at >= low)
          and (high is null or d.started_at < high)
        group by m.name, d.topic)
    select g.name, g.topic, g.answers, g.correct, g.median_seconds, g.last_at::text,
           (select l.error_kind from (
                select t.error_kind, row_number() over (order by t.answered_at desc, t.pc_id desc,
                                                        t.id desc) as back
                from members m cross join lateral (
                    select h.error_kind, h.answered_at, h.pc_id, h.id from history h
                    where h.pc_id = m.pc_id and h.pupil_id = m.id and h.topic = g.topic
                      and h.mode <> 'find_mistake'
                      and (low is null or h.answered_at >= low)
                      and (high is null or h.answered_at < high)
                    order by h.answered_at desc, h.id desc limit 20) t
                where m.name = g.name) l
            where l.back <= 20 and l.error_kind is not null and l.error_kind not in ('slip', 'other')
            group by l.error_kind having count(*) >= 2
            order by count(*) desc, min(l.back) limit 1),
           coalesce(f.drills, 0), coalesce(f.best_points, 0), g.found_answers, g.found_correct
    from groups g join roster r on r.name = g.name
    left join drill_figures f on f.name = g.name and f.topic = g.topic
    order by r.place, g.topic;
end
$$;

-- One pupil's answers and right answers per topic and week, weeks counted
-- from `first_day` (a Monday), eight of them.
create or replace function sorelka_weekly(class text, pupil text, first_day date, topic_no integer)
returns table (topic integer, week integer, answers bigint, correct bigint)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
        select f.topic, (substr(f.answered_at, 1, 10)::date - first_day) / 7, count(*), sum(f.correct)
        from sorelka_filtered(class, pupil, first_day, first_day + 55, topic_no) f
        where f.mode <> 'find_mistake'
        group by 1, 2 order by 1, 2;
end
$$;

-- Wrong answers by kind, most frequent first.
create or replace function sorelka_kinds(class text, pupil text, from_day date, to_day date, topic_no integer)
returns table (topic integer, kind text, count bigint)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
        select f.topic, f.error_kind, count(*)
        from sorelka_filtered(class, pupil, from_day, to_day, topic_no) f
        where f.correct = 0 and f.error_kind is not null and f.mode <> 'find_mistake'
        group by 1, 2 order by 3 desc, 1, 2;
end
$$;

-- The newest wrong answers, at most `most`.
create or replace function sorelka_recent_wrong(class text, pupil text, from_day date, to_day date,
                                                topic_no integer, most integer)
returns table (problem text, entered_answer text, right_answer text, topic integer, kind text,
               answered_at text)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
        select f.problem, f.entered_answer, f.right_answer, f.topic, f.error_kind,
               f.answered_at
        from sorelka_filtered(class, pupil, from_day, to_day, topic_no) f
        where f.correct = 0 and f.mode <> 'find_mistake'
        order by f.answered_at desc, f.pc_id desc, f.id desc limit most;
end
$$;

-- Every answer within the filter for the answers file, in the order given,
-- as the cursor "sorelka_answers" (within the caller's transaction), which
-- the caller fetches a batch at a time: a class's year (300,000 answers of
-- about 1.3 KB) is never held whole, on either side. The order is found on
-- the narrow index entries first and each answer's row fetched by its key
-- in that order. Ids are the PC's own (an answer's and its pupil's), as in
-- the PC's own answers file.
drop function if exists sorelka_answers(text, text, date, date, integer);
create or replace function sorelka_open_answers(class text, pupil text, from_day date, to_day date,
                                                topic_no integer)
returns refcursor
language plpgsql security definer set search_path = pg_catalog, public, pg_temp
set enable_hashjoin = off set enable_mergejoin = off set enable_memoize = off as $$
declare
    answers refcursor := 'sorelka_answers';
begin
    perform sorelka_check_class(class);
    open answers for
        select h.id, h.pupil_id, k.name, h.answered_at, h.topic, h.mode, h.menu_choice, h.drill_id, h.question_no,
               h.problem, h.right_answer, h.entered_answer, h.correct, h.seconds, h.error_kind, h.error_step,
               h.worked_rows
        from (select f.pc_id, f.id, f.name, f.answered_at
              from sorelka_filtered(class, pupil, from_day, to_day, topic_no) f
              order by f.answered_at, f.pc_id, f.id) k
        cross join lateral (select * from history h where h.pc_id = k.pc_id and h.id = k.id) h
        order by k.answered_at, k.pc_id, k.id;
    return answers;
end
$$;

-- A pupil added to a class's list; the PCs' rows of that class and name
-- count for them from now on.
create or replace function sorelka_add_pupil(class text, pupil text, reading text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    if pupil is null or btrim(pupil) = '' then
        raise exception 'a pupil needs a name' using errcode = 'invalid_parameter_value';
    end if;
    if exists (select from class_pupils l where l.class_name = class and l.name = pupil) then
        raise exception 'class % has a pupil named % already', class, pupil using errcode = 'unique_violation';
    end if;
    insert into class_pupils (class_name, name, reading) values (class, pupil, reading);
end
$$;

-- A listed pupil resting (archived) or back.
create or replace function sorelka_archive_pupil(class text, pupil text, resting boolean) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    update class_pupils set archived = resting where class_name = class and name = pupil;
end
$$;

-- A pupil renamed within their class, in the list and on every PC's rows;
-- refused when the class has the new name already.
create or replace function sorelka_rename_pupil(class text, old_name text, new_name text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    perform sorelka_check_new_pupil(class, new_name);
    update class_pupils set name = new_name where class_name = class and name = old_name;
    update pupils set name = new_name where class_name = class and name = old_name;
end
$$;

-- A pupil moved to another class the role was also granted.
create or replace function sorelka_move_pupil(class text, pupil text, to_class text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    perform sorelka_check_class(to_class);
    perform sorelka_check_new_pupil(to_class, pupil);
    update class_pupils set class_name = to_class where class_name = class and name = pupil;
    update pupils set class_name = to_class where class_name = class and name = pupil;
end
$$;

-- A pupil removed with every answer and drill of theirs, from the list and
-- from every PC's rows that count for them; how many answers went.
create or replace function sorelka_delete_pupil(class text, pupil text) returns bigint
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    pcs text[];
    ids bigint[];
    removed bigint;
begin
    perform sorelka_check_class(class);
    select array_agg(m.pc_id), array_agg(m.id) into pcs, ids from sorelka_members(class, pupil) m;
    delete from history h using unnest(pcs, ids) g(pc_id, id) where h.pc_id = g.pc_id and h.pupil_id = g.id;
    get diagnostics removed = row_count;
    delete from drills d using unnest(pcs, ids) g(pc_id, id) where d.pc_id = g.pc_id and d.pupil_id = g.id;
    delete from pupils p using unnest(pcs, ids) g(pc_id, id) where p.pc_id = g.pc_id and p.id = g.id;
    delete from pupil_links k using unnest(pcs, ids) g(pc_id, id) where k.pc_id = g.pc_id and k.pupil_id = g.id;
    delete from class_pupils where class_name = class and name = pupil;
    return removed;
end
$$;

-- A class renamed, in the list, on the PCs' rows and for every teacher it
-- was granted to; refused when the new name is a class anywhere on the
-- server (another teacher's, or one a PC names).
create or replace function sorelka_rename_class(class text, new_name text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    perform sorelka_check_new_class(new_name);
    update class_pupils set class_name = new_name where class_name = class;
    update pupils set class_name = new_name where class_name = class;
    update teacher_classes set class_name = new_name where class_name = class;
end
$$;

-- The PCs' pupils rows naming a granted class that no listed pupil matches
-- and no teacher dealt with: the name, the PC (its id and role), how many
-- answers and the first and last day. Their answers count nowhere until
-- attached.
create or replace function sorelka_unmatched(class text)
returns table (pupil text, pc_id text, pupil_id bigint, pc text, answers bigint, first_day text, last_day text)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    return query
        select p.name, p.pc_id, p.id, o.owner::text, a.n, left(a.first_at, 10), left(a.last_at, 10)
        from pupils p
        left join pc_owners o on o.pc_id = p.pc_id
        cross join lateral (select count(*) as n, min(h.answered_at) as first_at, max(h.answered_at) as last_at
                            from history h where h.pc_id = p.pc_id and h.pupil_id = p.id) a
        where p.class_name = class
          and not exists (select from class_pupils l where l.class_name = p.class_name and l.name = p.name)
          and not exists (select from pupil_links k where k.pc_id = p.pc_id and k.pupil_id = p.id)
        order by p.name, p.pc_id, p.id;
end
$$;

-- A PC's pupils row of a granted class attached to a listed pupil of a
-- granted class (its answers count for them), or dropped (`pupil` null: its
-- answers count nowhere; the rows are kept).
create or replace function sorelka_attach_pupil(pc text, row_id bigint, class text, pupil text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    own_class text;
begin
    select p.class_name into own_class from pupils p where p.pc_id = pc and p.id = row_id;
    perform sorelka_check_class(own_class);
    if pupil is not null then
        perform sorelka_check_class(class);
        if not exists (select from class_pupils l where l.class_name = class and l.name = pupil) then
            raise exception 'class % has no pupil named %', class, pupil using errcode = 'no_data_found';
        end if;
    end if;
    insert into pupil_links (pc_id, pupil_id, class_name, name)
        values (pc, row_id, case when pupil is not null then class end, pupil)
        on conflict (pc_id, pupil_id) do update set class_name = excluded.class_name, name = excluded.name;
end
$$;

create or replace function sorelka_drop_pupil(pc text, row_id bigint) returns void
language sql security definer set search_path = pg_catalog, public, pg_temp as $$
    select sorelka_attach_pupil(pc, row_id, null, null);
$$;

do $$
declare
    f regprocedure;
begin
    for f in select p.oid::regprocedure from pg_proc p
             where p.pronamespace = 'public'::regnamespace and p.proname like 'sorelka\_%' loop
        execute format('revoke all on function %s from public', f);
    end loop;
end
$$;
grant execute on function sorelka_classes(), sorelka_pupils(text),
    sorelka_class_summary(text, text, date, date, integer), sorelka_weekly(text, text, date, integer),
    sorelka_kinds(text, text, date, date, integer),
    sorelka_recent_wrong(text, text, date, date, integer, integer),
    sorelka_open_answers(text, text, date, date, integer), sorelka_rename_pupil(text, text, text),
    sorelka_move_pupil(text, text, text), sorelka_delete_pupil(text, text),
    sorelka_rename_class(text, text), sorelka_add_pupil(text, text, text),
    sorelka_archive_pupil(text, text, boolean), sorelka_unmatched(text),
    sorelka_attach_pupil(text, bigint, text, text), sorelka_drop_pupil(text, bigint)
    to sorelka_teacher;

commit;
