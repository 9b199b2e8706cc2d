-- A synthetic school for the benchmarks: 24 classes ("4年1組" … "4年24組")
-- of 30 pupils, each class on two PCs, 200 school days of 50 answers per
-- pupil (7.2 million answers) and a drill a day. The first class's answers
-- carry worked rows of about 1.3 KB, as a real division's do; the others
-- short ones. The pupils are on the school's list. Loaded one class per
-- statement, the viewed class first.
--   psql -d sorelka -v classes=24 -f school_load.sql
\set ON_ERROR_STOP 1
\if :{?classes}
\else
\set classes 24
\endif
set synchronous_commit = off;
select format($f$
insert into pupils (pc_id, id, name, reading, archived, created_at, class_name)
select 'c%1$s-' || pc, s, 'せいと' || lpad(s::text, 2, '0'), null, 0,
       '2026-04-01T08:00:' || lpad(s::text, 2, '0') || '.000+09:00', '4年%2$s組'
from generate_series(1, 30) s, (values ('a'), ('b')) v(pc);
insert into class_pupils (class_name, name)
select '4年%2$s組', 'せいと' || lpad(s::text, 2, '0') from generate_series(1, 30) s order by s;
insert into drills (pc_id, id, uid, pupil_id, topic, menu_choice, time_limit_seconds, started_at, finished_at,
                    questions, correct, points, seconds)
select 'c%1$s-' || case when d %% 2 = 0 then 'a' else 'b' end, (s - 1) * 200 + d + 1,
       'c%1$s-' || s || '-' || d, s, 1 + d %% 5, 1, 300,
       to_char(date '2026-04-06' + d, 'YYYY-MM-DD') || 'T10:00:00.000+09:00',
       to_char(date '2026-04-06' + d, 'YYYY-MM-DD') || 'T10:05:00.000+09:00', 10, 8, 80 - (s + d) %% 30, 300
from generate_series(1, 30) s, generate_series(0, 199) d;
insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, drill_id, question_no, problem,
                     right_answer, entered_answer, correct, seconds, error_kind, error_step, worked_rows)
select 'c%1$s-' || case when d %% 2 = 0 then 'a' else 'b' end, ((s - 1) * 200 + d) * 50 + k + 1, s,
       to_char(date '2026-04-06' + d, 'YYYY-MM-DD') || 'T' || to_char(time '09:00' + k * interval '40 s', 'HH24:MI:SS')
           || '.000+09:00',
       1 + (d + k) %% 5, case when k >= 40 then 'drill' else 'practice' end, 1 + k %% 3,
       case when k >= 40 then (s - 1) * 200 + d + 1 end, case when k >= 40 then k - 39 end,
       (1000 + s * 37 + k) || ' ÷ ' || (12 + k %% 20), '102 あまり 10',
       case when w then '112' else '102 あまり 10' end, case when w then 0 else 1 end,
       5 + (s * 13 + d * 7 + k * 3) %% 60 + k / 100.0,
       case when w then (array['quotient_too_big', 'zero_missing', 'slip', 'product_slip'])[1 + (d + k) %% 4] end,
       case when w then 'row:' || (1 + k %% 3) end,
       case when %3$s then
           '[' || (select string_agg(format('{"name": "Label%%s", "text": "%%s"}', r, 1000 + r * 37 + k), ', ')
                   from generate_series(1, 32) r) || ']'
       else '[{"name": "Label7", "text": "124"}]' end
from generate_series(1, 30) s, generate_series(0, 199) d, generate_series(0, 49) k,
     lateral (select (s * 7 + d * 3 + k * 11) %% 5 = 0 as w) wrong;
$f$, lpad(c::text, 2, '0'), c, (c = 1)::text)
from generate_series(1, :classes) c
\gexec
vacuum analyze pupils, class_pupils, drills, history;
