-- The school's class record: every PC's pupils, drill runs and judged
-- problems. Load once into an empty database as its owner:
--   psql -d sorelka -f sorelka_server.sql
-- Running it again changes nothing.
--
-- The tables hold the columns of each PC's own record plus pc_id, the random
-- id a PC makes for its record file; (pc_id, id) is a row's key, so a row a PC
-- sends twice is kept once. Times are the PCs' own ISO 8601 texts with their
-- offset ("2026-12-08T13:23:05.250+09:00"); cast them with ::timestamptz.

create table if not exists pupils (
    pc_id text not null,
    id bigint not null,
    name text not null,
    reading text,
    archived integer not null default 0,
    created_at text,
    primary key (pc_id, id)
);
-- A pupil is the same pupil on every PC of the school when the name is the same.
create index if not exists pupils_by_name on pupils (name);

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
    mode text not null check (mode in ('practice', 'drill')),
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

-- Every judged problem with its pupil's name, for the teacher and for psql.
create or replace view class_history as
    select p.name as pupil, h.*
    from history h left join pupils p on p.pc_id = h.pc_id and p.id = h.pupil_id;

-- What the PCs may do: add rows and read them. A drill's figures grow while
-- it runs, so its figures and end time may also be brought up to date.
-- Nothing may be deleted. Give each login role of the PCs this role:
--   create role sorelka_pc login password '...' in role sorelka_writer;
do $$
begin
    if not exists (select from pg_roles where rolname = 'sorelka_writer') then
        create role sorelka_writer nologin;
    end if;
end
$$;
grant usage on schema public to sorelka_writer;
grant select, insert on pupils, drills, history to sorelka_writer;
grant update (finished_at, questions, correct, points, seconds) on drills to sorelka_writer;
grant select on class_history to sorelka_writer;
