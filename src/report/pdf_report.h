#pragma once

#include <QColor>
#include <QDate>
#include <QRectF>
#include <QSqlDatabase>
#include <QString>
#include <vector>

#include "report/report_data.h"

class QPainter;

namespace sorelka::report {

// The colour of a topic's line in the weekly chart.
QColor TopicColour(Topic topic);

// Percent right per week as lines, one per topic with answers, 0–100 % up
// the side and the eight weeks along the bottom, their Mondays under them
// (`last_week` is the Monday of the newest week), with a key of the topics.
void DrawWeeklyChart(QPainter& painter, const QRectF& area, const std::vector<WeeklyPercent>& weeks,
                     QDate last_week);

// The report a school keeps: A4, one page per pupil within the filter (name,
// period, a table per topic, the kinds of mistakes, the weekly chart),
// written with Qt's PDF writer and text document, fonts embedded. The chart
// ends with the week of the filter's last day, or of `today`. False with a
// Japanese reason in `error`.
bool ExportPdf(const ReportReader& reader, const ReportFilter& filter, QDate today, const QString& path,
               QString* error);
bool ExportPdf(const QSqlDatabase& db, const ReportFilter& filter, QDate today, const QString& path,
               QString* error);

}  // namespace sorelka::report
