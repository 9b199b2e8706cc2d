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
