#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <map>

#include "report/export_file.h"
#include "report/report_data.h"

namespace sorelka::report {

// The header of the answers file: every column of `history`, with the
// pupil's name, the topic's name and the kind's label beside their ids.
QStringList CsvHeader();

// One cell as the answers file writes it: quoted when it holds a comma, a
// quote, a line break or leading/trailing space (quotes doubled), and with a
// leading ' when a spreadsheet would take it for a formula (it begins with
// = + - @, the minus sign −, a tab or a carriage return, or a full-width or
// small form of them, possibly after such quotes), so opening the file
// never runs anything.
QString CsvCell(const QString& text);

// The answers file written one answer at a time, from wherever the answers
// come (this PC's file, the school's server): header first, each answer's
// stored columns in the file's order (id, pupil_id, pupil, answered_at,
// topic, mode, menu_choice, drill_id, question_no, problem, right_answer,
// entered_answer, correct, seconds, error_kind, error_step, worked_rows) as
// UTF-8 text, the topic's name and the kind's label added here.
class AnswersFile {
public:
    static constexpr int kAnswerCells = 17;
    explicit AnswersFile(const QString& path);
    ~AnswersFile();
    bool Open(QString* error);
    void Add(const std::array<QByteArray, kAnswerCells>& cells);
    // The file appears whole, or not at all (false with the reason).
    bool Commit(QString* error);

private:
    ExportFile file_;
    QByteArray out_;
    bool written_ = true;
    std::map<int, QByteArray> topic_names_;
    std::map<std::pair<std::optional<Topic>, QByteArray>, QByteArray> labels_;
};

// Writes one row per answer within the filter, in the order they were given,
// to `path` as UTF-8 with a byte-order mark and CRLF line ends. The file
// appears whole or not at all. False with a Japanese reason in `error`.
bool ExportCsv(const QSqlDatabase& db, const ReportFilter& filter, const QString& path,
               QString* error);

}  // namespace sorelka::report
