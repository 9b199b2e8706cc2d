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
-- The class the PC has the pupil in, sent again when it changes (a database made by
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

-- A listed pupil's id in the school's class list and attendance number,
-- when the list came from the school's administration system
-- (sorelka --import-roster … --server, sorelka_import_roster).
alter table class_pupils add column if not exists source_id text;
alter table class_pupils add column if not exists number integer;
create unique index if not exists class_pupils_by_source on class_pupils (source_id) where source_id is not null;

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

-- Work a teacher gives a class (made, changed and withdrawn only through
-- the teachers' functions in sorelka_teacher.sql). What to practise is
-- exactly one of a topic's menu item, one skill, or "おすすめ" (each
-- pupil's own weakest skills). A withdrawn piece stays, with its answers.
create table if not exists work_pieces (
    id bigint generated always as identity primary key,
    class_name text not null,
    title text not null check (btrim(title) <> ''),
    topic integer, menu_choice integer, skill text,
    recommended boolean not null default false,
    problems integer not null check (problems between 1 and 100),
    due_day date not null,
    made_by name not null default session_user,
    made_at timestamptz not null default now(),
    changed_at timestamptz not null default now(),
    withdrawn_at timestamptz,
    check (num_nonnulls(topic, skill) + recommended::int = 1),
    check ((topic is null) = (menu_choice is null))
);
create index if not exists work_pieces_by_class on work_pieces (class_name, made_at);
-- The pupils a piece is for, by name in its class; none: the whole class.
create table if not exists work_pupils (
    work_id bigint not null references work_pieces on delete cascade,
    name text not null,
    primary key (work_id, name)
);

-- An answer's piece of work (null: ordinary practice), its skill (its
-- mistake's when wrong; null from PCs of an older version) and when the
-- server took it: the server's clock, never the PC's. Rows the server held
-- before keep no time (not "just now"), so the column gets its default
-- only after it is made.
alter table history add column if not exists work_id bigint;
alter table history add column if not exists skill text;
alter table history add column if not exists received_at timestamptz;
alter table history alter column received_at set default now();
-- A class's answers of the last minutes for the live view, walked per pupil.
create index if not exists history_by_pupil_received on history (pc_id, pupil_id, received_at);
-- A piece's answers for its progress, read from the index alone.
create index if not exists history_by_work on history (work_id) include (pc_id, pupil_id, correct, error_kind)
    where work_id is not null;

-- The PCs' sync LISTENs on "sorelka_work" and reads its work again when
-- told, rather than asking the server every few seconds: a change of the
-- work, of who is in a class, or of a teacher's attachment (and a PC's
-- pupil moved to another class) tells every PC listening, once per
-- transaction.
create or replace function sorelka_work_changed() returns trigger
language plpgsql as $$
begin
    perform pg_notify('sorelka_work', '');
    return null;
end
$$;
do $$
declare
    t text;
begin
    foreach t in array array['work_pieces', 'work_pupils', 'class_pupils', 'pupil_links'] loop
        execute format('drop trigger if exists sorelka_work_changed on %I', t);
        execute format('create trigger sorelka_work_changed after insert or update or delete or truncate on %I'
                       ' for each statement execute function sorelka_work_changed()', t);
    end loop;
end
$$;
drop trigger if exists sorelka_work_changed on pupils;
create trigger sorelka_work_changed after update on pupils
    for each statement execute function sorelka_work_changed();

-- Which screen each PC shows now (one row per pc_id), sent with the sync.
-- The times are the server's: the trigger below sets them whatever the PC
-- sends, so a PC whose clock is wrong changes nothing. Unlogged: a signal
-- writes no WAL and waits for no disk, and after a crash the table starts
-- empty until the PCs signal again (every 20 seconds).
create unlogged table if not exists pc_presence (
    pc_id text primary key,
    pupil_id bigint,             -- the PC's own pupil id (null: the guest / nobody chosen)
    screen text,                 -- the form's object name ("TForm3"; "TForm1" the menu; null: closed)
    topic integer, menu_choice integer, work_id bigint,
    screen_since timestamptz,    -- when this screen (pupil, topic, item, piece) came up
    seen_at timestamptz not null default now()  -- the last signal
);

create or replace function pc_presence_times() returns trigger
language plpgsql set search_path = pg_catalog, public, pg_temp as $$
begin
    new.seen_at := now();
    if tg_op = 'INSERT' or (new.pupil_id, new.screen, new.topic, new.menu_choice, new.work_id)
                           is distinct from (old.pupil_id, old.screen, old.topic, old.menu_choice, old.work_id) then
        new.screen_since := now();
    else
        new.screen_since := old.screen_since;
    end if;
    return new;
end
$$;
drop trigger if exists pc_presence_times on pc_presence;
create trigger pc_presence_times before insert or update on pc_presence
    for each row execute function pc_presence_times();

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
revoke all on function sorelka_work_changed() from public;
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
revoke all on pupils, drills, history, pc_owners, class_history, teacher_classes, class_pupils, pupil_links,
    work_pieces, work_pupils, pc_presence
    from public, sorelka_writer, sorelka_teacher;
grant usage on schema public to sorelka_writer, sorelka_teacher;
-- Nothing may be deleted; of a drill only its figures and end time change,
-- and of a pupil the name, class and rest.
grant select, insert on pupils, drills to sorelka_writer;
-- A pupil renamed, moved to another class or put to rest on its PC.
grant update (name, class_name, archived) on pupils to sorelka_writer;
-- An answer's every column but the server's time of it.
grant select, insert (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, drill_id, question_no, problem,
                      right_answer, entered_answer, correct, seconds, error_kind, error_step, worked_rows,
                      work_id, skill) on history to sorelka_writer;
-- The work of its pupils' classes to read, and its own screens' signal.
grant select on work_pieces, work_pupils to sorelka_writer;
grant select, insert, update on pc_presence to sorelka_writer;
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
alter table work_pieces enable row level security;
alter table work_pupils enable row level security;
alter table pc_presence enable row level security;

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

drop policy if exists pc_own_rows on pc_presence;
create policy pc_own_rows on pc_presence to sorelka_writer
    using (pc_id in (select o.pc_id from pc_owners o where o.owner = session_user));

-- A PC reads the work of the classes its own pupils rows name, and of no
-- other class (the subqueries see only what the PC's role may see).
drop policy if exists pc_classes_work on work_pieces;
create policy pc_classes_work on work_pieces for select to sorelka_writer
    using (class_name in (select p.class_name from pupils p
                          where p.pc_id in (select o.pc_id from pc_owners o where o.owner = session_user)));
drop policy if exists pc_classes_work on work_pupils;
create policy pc_classes_work on work_pupils for select to sorelka_writer
    using (work_id in (select w.id from work_pieces w));

-- A database made by an older version let one reading role read every row.
drop policy if exists teacher_reads on pupils;
drop policy if exists teacher_reads on drills;
drop policy if exists teacher_reads on history;
drop policy if exists teacher_reads on pc_owners;

commit;

\ir sorelka_teacher.sql
