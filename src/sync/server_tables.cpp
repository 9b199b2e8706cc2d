#include "sync/server_tables.h"

#include <QStringList>

namespace sorelka::sync {

const Table kPupils{"pupils",
                    {{"id", Kind::Integer},
                     {"name", Kind::Text},
                     {"reading", Kind::Text},
                     {"archived", Kind::Integer},
                     {"created_at", Kind::Text},
                     {"class_name", Kind::Text}},
                    {"name"}};

const Table kDrills{"drills",
                    {{"id", Kind::Integer},
                     {"uid", Kind::Text},
                     {"pupil_id", Kind::Integer},
                     {"topic", Kind::Integer},
                     {"menu_choice", Kind::Integer},
                     {"time_limit_seconds", Kind::Integer},
                     {"started_at", Kind::Text},
                     {"finished_at", Kind::Text},
                     {"questions", Kind::Integer},
                     {"correct", Kind::Integer},
                     {"points", Kind::Integer},
                     {"seconds", Kind::Integer}},
                    {"uid"}};

// error_step holds texts such as "row:2" (the local column is declared
// integer but keeps them as text): text on the server.
const Table kHistory{"history",
                     {{"id", Kind::Integer},
                      {"pupil_id", Kind::Integer},
                      {"answered_at", Kind::Text},
                      {"topic", Kind::Integer},
                      {"mode", Kind::Text},
                      {"menu_choice", Kind::Integer},
                      {"drill_id", Kind::Integer},
                      {"question_no", Kind::Integer},
                      {"problem", Kind::Text},
                      {"right_answer", Kind::Text},
                      {"entered_answer", Kind::Text},
                      {"correct", Kind::Integer},
                      {"seconds", Kind::Real},
                      {"error_kind", Kind::Text},
                      {"error_step", Kind::Text},
                      {"worked_rows", Kind::Text}},
                     {"answered_at", "problem", "entered_answer"}};

// A server that keeps the work the teacher gives also takes each answer's
// piece and skill; an older one gets kHistory's columns alone.
const Table kHistoryWork = [] {
    Table t = kHistory;
    t.columns.push_back({"work_id", Kind::Integer});
    t.columns.push_back({"skill", Kind::Text});
    return t;
}();

int Table::Index(const char* name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (qstrcmp(columns[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

QString Table::ColumnList(const QString& prefix) const {
    QStringList names;
    for (const Column& c : columns) names << prefix + QLatin1String(c.name);
    return names.join(QStringLiteral(", "));
}

QString OlderServerSql() {
    return QStringLiteral("サーバーに sorelka_server.sql の新しい版が読みこまれていません。読みこんでから、もう一度どうぞ。");
}

}  // namespace sorelka::sync
