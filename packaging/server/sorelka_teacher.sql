-- What a teacher's own role may do: read the classes granted to it, counted
-- here on the server (the teacher's PC fetches only the rows a screen shows),
-- and rename, move and delete those classes' pupils. Loaded by
-- sorelka_server.sql; safe to load again.
--
-- Every function checks the class against teacher_classes for the role that
-- signed in (session_user) and runs with its owner's rights, so a teacher's
-- role needs no right on the tables themselves. A pupil of a class is every
-- pupils row (of any PC) with that class and name.
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

-- The classes granted to the signed-in role, by name.
create or replace function sorelka_classes() returns setof text
language sql stable security definer set search_path = pg_catalog, public, pg_temp as $$
    select class_name from teacher_classes where teacher = session_user order by class_name;
$$;

-- The pupils of a class in roster order (the first sent first), archived
-- when every PC has them archived.
create or replace function sorelka_pupils(class text)
returns table (pupil text, archived boolean)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    return query
        select p.name, bool_and(p.archived <> 0) from pupils p where p.class_name = class
        group by p.name order by min(p.created_at), min(p.pc_id), min(p.id);
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
    from pupils p join history h on h.pc_id = p.pc_id and h.pupil_id = p.id
    where p.class_name = class and (pupil is null or p.name = pupil)
      and (topic_no is null or h.topic = topic_no)
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
        select p.pc_id, p.id, p.name, p.created_at, dense_rank() over (order by p.name) as who from pupils p
        where p.class_name = class and (pupil is null or p.name = pupil)),
    roster as (
        select m.name, row_number() over (order by min(m.created_at), min(m.pc_id), min(m.id)) as place
        from members m group by m.name),
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

-- A pupil renamed within their class on every PC's rows; refused when the
-- class has the new name already.
create or replace function sorelka_rename_pupil(class text, old_name text, new_name text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    if exists (select from pupils where class_name = class and name = new_name) then
        raise exception 'class % has a pupil named % already', class, new_name using errcode = 'unique_violation';
    end if;
    update pupils set name = new_name where class_name = class and name = old_name;
end
$$;

-- A pupil moved to another class the role was also granted.
create or replace function sorelka_move_pupil(class text, pupil text, to_class text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    perform sorelka_check_class(to_class);
    if exists (select from pupils where class_name = to_class and name = pupil) then
        raise exception 'class % has a pupil named % already', to_class, pupil using errcode = 'unique_violation';
    end if;
    update pupils set class_name = to_class where class_name = class and name = pupil;
end
$$;

-- A pupil removed with every answer and drill of theirs, from every PC's
-- rows; how many answers went.
create or replace function sorelka_delete_pupil(class text, pupil text) returns bigint
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    removed bigint;
begin
    perform sorelka_check_class(class);
    delete from history h using pupils p
        where p.class_name = class and p.name = pupil and h.pc_id = p.pc_id and h.pupil_id = p.id;
    get diagnostics removed = row_count;
    delete from drills d using pupils p
        where p.class_name = class and p.name = pupil and d.pc_id = p.pc_id and d.pupil_id = p.id;
    delete from pupils where class_name = class and name = pupil;
    return removed;
end
$$;

-- A class renamed for its pupils and for every teacher it was granted to.
create or replace function sorelka_rename_class(class text, new_name text) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class(class);
    update pupils set class_name = new_name where class_name = class;
    update teacher_classes set class_name = new_name where class_name = class
        and not exists (select from teacher_classes t where t.teacher = teacher_classes.teacher
                        and t.class_name = new_name);
    delete from teacher_classes where class_name = class;
end
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
    sorelka_rename_class(text, text)
    to sorelka_teacher;

commit;
