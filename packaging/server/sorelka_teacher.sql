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
    -- The pieces chosen for the pupil stay theirs.
    update work_pupils c set name = new_name from work_pieces w
        where w.id = c.work_id and w.class_name = class and c.name = old_name;
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
    update work_pieces set class_name = new_name where class_name = class;
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

-- Work given to a class (かだい) and the lesson live (いまの ようす).

-- Raises an error with its own SQLSTATE unless a piece for `class` is
-- well formed: a title (22023); exactly one of a topic's menu item, a skill
-- or recommended (23514, as the table's check); 1 to 100 problems (22003);
-- a due day (22004); chosen pupils all listed in the class, not resting
-- (P0002).
create or replace function sorelka_check_work(class text, title text, topic integer, menu integer, skill text,
                                              recommended boolean, problems integer, due date, pupils text[])
returns void
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    missing text;
begin
    if title is null or btrim(title) = '' then
        raise exception 'a piece of work needs a title' using errcode = 'invalid_parameter_value';
    end if;
    if num_nonnulls(topic, nullif(btrim(skill), '')) + coalesce(recommended, false)::int <> 1
       or (topic is null) <> (menu is null) then
        raise exception 'a piece of work practises one topic''s item, one skill or the recommended skills'
            using errcode = 'check_violation';
    end if;
    if problems is null or problems not between 1 and 100 then
        raise exception 'a piece of work has 1 to 100 problems, not %', problems
            using errcode = 'numeric_value_out_of_range';
    end if;
    if due is null then
        raise exception 'a piece of work needs a due day' using errcode = 'null_value_not_allowed';
    end if;
    select c.name into missing from unnest(pupils) c(name)
    where not exists (select from class_pupils l where l.class_name = class and l.name = c.name and not l.archived)
    limit 1;
    if found then
        raise exception 'class % has no pupil named %', class, missing using errcode = 'no_data_found';
    end if;
end
$$;

-- A piece of work for the class (for the pupils named, or the whole class
-- when none are); its id.
create or replace function sorelka_work_make(class text, title text, topic integer, menu integer, skill text,
                                             recommended boolean, problems integer, due date, pupils text[])
returns bigint
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    made bigint;
begin
    perform sorelka_check_class(class);
    perform sorelka_check_work(class, title, topic, menu, skill, recommended, problems, due, pupils);
    insert into work_pieces (class_name, title, topic, menu_choice, skill, recommended, problems, due_day, made_by)
        values (class, btrim(title), topic, menu, nullif(btrim(skill), ''), recommended, problems, due, session_user)
        returning id into made;
    insert into work_pupils (work_id, name) select distinct made, c.name from unnest(pupils) c(name);
    return made;
end
$$;

-- A piece changed (its class checked); a withdrawn piece is not (55000).
create or replace function sorelka_work_change(work bigint, title text, topic integer, menu integer, skill text,
                                               recommended boolean, problems integer, due date, pupils text[])
returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
declare
    piece work_pieces;
begin
    select * into piece from work_pieces w where w.id = work for update;
    perform sorelka_check_class(piece.class_name);
    if piece.withdrawn_at is not null then
        raise exception 'piece % is withdrawn', work using errcode = 'object_not_in_prerequisite_state';
    end if;
    perform sorelka_check_work(piece.class_name, title, topic, menu, skill, recommended, problems, due, pupils);
    update work_pieces w set title = btrim(sorelka_work_change.title), topic = sorelka_work_change.topic,
           menu_choice = menu, skill = nullif(btrim(sorelka_work_change.skill), ''),
           recommended = sorelka_work_change.recommended, problems = sorelka_work_change.problems,
           due_day = due, changed_at = now()
        where w.id = work;
    delete from work_pupils c where c.work_id = work;
    insert into work_pupils (work_id, name) select distinct work, c.name from unnest(pupils) c(name);
end
$$;

-- A piece withdrawn: it leaves the PCs' lists and the progress; its
-- answers stay. Withdrawing it again changes nothing.
create or replace function sorelka_work_withdraw(work bigint) returns void
language plpgsql security definer set search_path = pg_catalog, public, pg_temp as $$
begin
    perform sorelka_check_class((select w.class_name from work_pieces w where w.id = work));
    update work_pieces w set withdrawn_at = coalesce(w.withdrawn_at, now()) where w.id = work;
end
$$;

-- The class's pieces, newest first, withdrawn ones included; `pupils` the
-- names chosen (empty: the whole class).
create or replace function sorelka_work_list(class text)
returns table (id bigint, title text, topic integer, menu_choice integer, skill text, recommended boolean,
               problems integer, due_day date, pupils text[], made_at timestamptz, withdrawn_at timestamptz)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
        select w.id, w.title, w.topic, w.menu_choice, w.skill, w.recommended, w.problems, w.due_day,
               array(select c.name from work_pupils c where c.work_id = w.id order by c.name),
               w.made_at, w.withdrawn_at
        from work_pieces w where w.class_name = class
        order by w.made_at desc, w.id desc;
end
$$;

-- Each open piece of the class and each pupil it is for (the listed pupils
-- not resting; the chosen ones when chosen), in the list's order: how many
-- answers given for it, how many right, and the kinds of mistake met, most
-- frequent first. An answer counts when it names the piece and its pupil
-- row is that listed pupil's, so no PC counts into another class's piece.
-- The answers are read along history_by_work.
create or replace function sorelka_work_progress(class text)
returns table (work_id bigint, pupil text, answered integer, correct integer, kinds text)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
    with pieces as materialized (
        select w.id, w.made_at from work_pieces w where w.class_name = class and w.withdrawn_at is null),
    targets as (
        select p.id as work_id, p.made_at, l.name, l.place
        from pieces p join class_pupils l on l.class_name = class and not l.archived
        where not exists (select from work_pupils c where c.work_id = p.id)
           or exists (select from work_pupils c where c.work_id = p.id and c.name = l.name)),
    members as materialized (
        select m.pc_id, m.id, m.name from sorelka_members(class, null) m),
    kinds as (
        select h.work_id, m.name, h.error_kind, count(*) as n, sum(h.correct) as right_ones
        from pieces p join history h on h.work_id = p.id
        join members m on m.pc_id = h.pc_id and m.id = h.pupil_id
        group by 1, 2, 3),
    answers as (
        select k.work_id, k.name, sum(k.n)::integer as answered, sum(k.right_ones)::integer as correct,
               string_agg(k.error_kind, ',' order by k.n - k.right_ones desc, k.error_kind)
                   filter (where k.error_kind is not null and k.n > k.right_ones) as kinds
        from kinds k group by 1, 2)
    select t.work_id, t.name, coalesce(a.answered, 0), coalesce(a.correct, 0), coalesce(a.kinds, '')
    from targets t left join answers a on a.work_id = t.work_id and a.name = t.name
    order by t.made_at desc, t.work_id desc, t.place;
end
$$;

-- The class now, one row per listed pupil not resting in the list's
-- order: the screen of the pupil's PC that signalled last, and the answers
-- and right ones of the last 10 minutes. A PC is heard from by its signal
-- or by an answer of the pupil arriving: the screen is shown while either
-- is under 60 seconds old (so a PC whose pupil keeps answering need not
-- signal between its screens), and signal_age is the age of the newer.
-- `stuck` when three of the last five answers on one skill (of those 10
-- minutes; an answer of an older PC, without its skill, by its topic and
-- item) are wrong, or a screen other than the menu has been open three
-- minutes with no answer in them. Every time is the server's.
create or replace function sorelka_live(class text)
returns table (pupil text, screen text, topic integer, menu_choice integer, work_id bigint, signal_age integer,
               screen_seconds integer, answers integer, correct integer, stuck boolean, stuck_why text)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    perform sorelka_check_class(class);
    return query
    with members as materialized (
        select m.pc_id, m.id, m.name from sorelka_members(class, null) m),
    recent as materialized (
        select m.name, h.correct, h.received_at,
               coalesce(h.skill, h.topic || '/' || coalesce(h.menu_choice::text, '')) as what,
               row_number() over (partition by m.name, coalesce(h.skill, h.topic || '/' || coalesce(h.menu_choice::text, ''))
                                  order by h.received_at desc, h.id desc) as back
        from members m join history h on h.pc_id = m.pc_id and h.pupil_id = m.id
        where h.received_at > now() - interval '10 minutes'),
    figures as (
        select r.name, count(*)::integer as answers, sum(r.correct)::integer as correct,
               max(r.received_at) as last_at
        from recent r group by r.name),
    trouble as (
        select distinct on (r.name) r.name, count(*)::integer as n, (count(*) - sum(r.correct))::integer as wrong
        from recent r where r.back <= 5
        group by r.name, r.what having count(*) - sum(r.correct) >= 3
        order by r.name, count(*) - sum(r.correct) desc, max(r.received_at) desc),
    seen as (
        select distinct on (m.name) m.name, s.screen, s.topic, s.menu_choice, s.work_id, s.screen_since, s.seen_at,
               greatest(s.seen_at, (select max(h.received_at) from history h where h.pc_id = m.pc_id
                                    and h.pupil_id = m.id and h.received_at > now() - interval '10 minutes')) as heard_at
        from members m join pc_presence s on s.pc_id = m.pc_id and s.pupil_id = m.id
        order by m.name, s.seen_at desc),
    board as (
        select l.name, l.place, s.heard_at > now() - interval '60 seconds' as fresh, s.screen, s.topic,
               s.menu_choice, s.work_id, s.heard_at, s.screen_since,
               coalesce(f.answers, 0) as answers, coalesce(f.correct, 0) as correct, t.n, t.wrong,
               s.heard_at > now() - interval '60 seconds' and s.screen is not null and s.screen <> 'TForm1'
                   and s.screen_since <= now() - interval '3 minutes'
                   and (f.last_at is null or f.last_at <= now() - interval '3 minutes') as idle
        from class_pupils l
        left join seen s on s.name = l.name
        left join figures f on f.name = l.name
        left join trouble t on t.name = l.name
        where l.class_name = class and not l.archived)
    select r.name,
           case when r.fresh then r.screen end, case when r.fresh then r.topic end,
           case when r.fresh then r.menu_choice end, case when r.fresh then r.work_id end,
           floor(extract(epoch from now() - r.heard_at))::integer,
           case when r.fresh then floor(extract(epoch from now() - r.screen_since))::integer end,
           r.answers, r.correct,
           r.wrong is not null or coalesce(r.idle, false),
           case when r.wrong is not null
                then translate(r.n || '問中' || r.wrong || '問まちがい', '0123456789', '０１２３４５６７８９')
                when r.idle then '３分 こたえが ない' end
    from board r order by r.place;
end
$$;

-- The work for the pupils of the PC that signed in: one row per piece not
-- withdrawn and pupils row of that PC it is for (a piece gone from the list
-- tells a pupil at work that it was withdrawn), with the answers for it
-- that the same listed pupil sent from other PCs. A PC row belongs to a listed pupil as
-- the teacher's functions count it (sorelka_members: by class and name, or
-- attached by a teacher); resting pupils get no work. Called by the PCs'
-- role, which reads no other PC's answers itself.
create or replace function sorelka_pc_work()
returns table (id bigint, class_name text, title text, topic integer, menu_choice integer, skill text,
               recommended boolean, problems integer, due_day text, pupils text, withdrawn boolean,
               pc_id text, pupil_id bigint, answered_elsewhere integer)
language plpgsql stable security definer set search_path = pg_catalog, public, pg_temp as $$
#variable_conflict use_column
begin
    -- PL/pgSQL keeps the statement's plan for the PC's connection, so a
    -- look after the first only executes it.
    return query
    with mine as materialized (
            select o.pc_id from pc_owners o where o.owner = session_user),
        rows_of_mine as (
            select p.pc_id, p.id, l.class_name, l.name
            from pupils p join class_pupils l on l.class_name = p.class_name and l.name = p.name
            where p.pc_id in (select m.pc_id from mine m) and not l.archived
              and not exists (select from pupil_links k where k.pc_id = p.pc_id and k.pupil_id = p.id)
            union all
            select k.pc_id, k.pupil_id, l.class_name, l.name
            from pupil_links k join class_pupils l on l.class_name = k.class_name and l.name = k.name
            where k.pc_id in (select m.pc_id from mine m) and not l.archived)
        select w.id, w.class_name, w.title, w.topic, w.menu_choice, w.skill, w.recommended, w.problems,
               w.due_day::text,
               coalesce((select string_agg(c.name, E'\n' order by c.name) from work_pupils c where c.work_id = w.id), ''),
               w.withdrawn_at is not null, r.pc_id, r.id,
               -- each of the pupil's rows on other PCs counted from the piece's answers
               (select coalesce(sum(c.n), 0)::integer
                from sorelka_members(w.class_name, r.name) o
                cross join lateral (select count(*) as n from history h
                                    where h.work_id = w.id and h.pc_id = o.pc_id and h.pupil_id = o.id) c
                where o.pc_id not in (select m.pc_id from mine m))
        from rows_of_mine r join work_pieces w on w.class_name = r.class_name
        where w.withdrawn_at is null
          and (not exists (select from work_pupils c where c.work_id = w.id)
               or exists (select from work_pupils c where c.work_id = w.id and c.name = r.name))
        order by w.id, r.pc_id, r.id;
end
$$;

-- The school's class list put in by the administrator (sorelka
-- --import-roster … --server), in one transaction. `roster`: {"classes":
-- [name…], "pupils": [{source_id, class_name, name, reading, number}…],
-- "teachers": [{username, classes: [name…]}…]}. A pupil is the listed one
-- with the same source_id, else the one of the same class and name that no
-- list claimed yet; moved or renamed, the PC rows that count for them by
-- class and name move with them (attached rows follow their link), so
-- every answer still counts for them. Listed pupils the list no longer has
-- are put to rest, never deleted. A teacher's role is made when missing
-- (login, no password yet: named in roles_made) and granted the list's
-- classes; grants of the list's classes the list no longer gives go, and
-- with `new_year` (a new school year's list) every grant of the list's
-- teachers that the list does not give.
drop function if exists sorelka_import_roster(jsonb);
create or replace function sorelka_import_roster(roster jsonb, new_year boolean default false)
returns table (classes integer, added integer, changed integer, gone integer, teachers integer, roles_made text)
language plpgsql set search_path = pg_catalog, public, pg_temp as $$
declare
    p record;
    t record;
    c text;
    was record;
    n_classes integer;
    n_added integer := 0;
    n_changed integer := 0;
    n_gone integer;
    n_teachers integer := 0;
    made text[] := '{}';
    listed text[] := array(select jsonb_array_elements_text(roster -> 'classes'));
begin
    select count(*) into n_classes from unnest(listed) x(name)
    where not exists (select from class_pupils l where l.class_name = x.name)
      and not exists (select from teacher_classes g where g.class_name = x.name);
    for p in select * from jsonb_to_recordset(roster -> 'pupils')
                 as x(source_id text, class_name text, name text, reading text, number integer) loop
        select l.class_name, l.name, l.reading, l.number, l.archived into was
        from class_pupils l where l.source_id = p.source_id;
        if not found then
            select l.class_name, l.name, l.reading, l.number, l.archived into was
            from class_pupils l where l.class_name = p.class_name and l.name = p.name and l.source_id is null;
        end if;
        if not found then
            insert into class_pupils (class_name, name, reading, number, source_id)
            values (p.class_name, p.name, nullif(p.reading, ''), p.number, p.source_id);
            n_added := n_added + 1;
            continue;
        end if;
        if (was.class_name, was.name) is distinct from (p.class_name, p.name) then
            update pupils u set class_name = p.class_name, name = p.name
            where u.class_name = was.class_name and u.name = was.name
              and not exists (select from pupil_links k where k.pc_id = u.pc_id and k.pupil_id = u.id);
        end if;
        update class_pupils l set class_name = p.class_name, name = p.name, reading = nullif(p.reading, ''),
            number = p.number, source_id = p.source_id, archived = false
        where l.class_name = was.class_name and l.name = was.name;
        if (was.class_name, was.name, coalesce(was.reading, ''), was.number, was.archived)
           is distinct from (p.class_name, p.name, coalesce(p.reading, ''), p.number, false) then
            n_changed := n_changed + 1;
        end if;
    end loop;
    update class_pupils l set archived = true
    where l.source_id is not null and not l.archived
      and l.source_id not in (select x ->> 'source_id' from jsonb_array_elements(roster -> 'pupils') x);
    get diagnostics n_gone = row_count;
    for t in select * from jsonb_to_recordset(roster -> 'teachers') as x(username text, classes text[]) loop
        if not exists (select from pg_roles r where r.rolname = t.username) then
            execute format('create role %I login', t.username);
            made := made || t.username;
        end if;
        foreach c in array t.classes loop
            perform sorelka_grant_class(t.username::name, c);
        end loop;
        delete from teacher_classes g
        where g.teacher = t.username::name and (new_year or g.class_name = any (listed))
          and g.class_name <> all (t.classes);
        n_teachers := n_teachers + 1;
    end loop;
    return query select n_classes, n_added, n_changed, n_gone, n_teachers, array_to_string(made, ', ');
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
    sorelka_rename_class(text, text), sorelka_add_pupil(text, text, text),
    sorelka_archive_pupil(text, text, boolean), sorelka_unmatched(text),
    sorelka_attach_pupil(text, bigint, text, text), sorelka_drop_pupil(text, bigint),
    sorelka_work_make(text, text, integer, integer, text, boolean, integer, date, text[]),
    sorelka_work_change(bigint, text, integer, integer, text, boolean, integer, date, text[]),
    sorelka_work_withdraw(bigint), sorelka_work_list(text), sorelka_work_progress(text), sorelka_live(text)
    to sorelka_teacher;
grant execute on function sorelka_pc_work() to sorelka_writer;

commit;
