-- The server's plan of the class's figures, as sorelka_class_summary runs
-- it (auto_explain prints the plans of the statements inside the function).
-- As a superuser granted the class:
--   psql -d sorelka -v class=4年1組 -f explain_class.sql
load 'auto_explain';
set auto_explain.log_min_duration = 0;
set auto_explain.log_analyze = on;
set auto_explain.log_nested_statements = on;
set auto_explain.log_level = notice;
set client_min_messages = notice;
\o /dev/null
select * from sorelka_class_summary(:'class', null, null, null, null);
