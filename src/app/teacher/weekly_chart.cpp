#include "app/teacher/weekly_chart.h"

#include <QPainter>

#include "report/pdf_report.h"

namespace sorelka {

WeeklyChart::WeeklyChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WeeklyChart"));
    setAccessibleName(QStringLiteral("週ごとの正答率のグラフ"));
    setMinimumSize(480, 220);
}

void WeeklyChart::SetWeeks(std::vector<report::WeeklyPercent> weeks, QDate last_week) {
    weeks_ = std::move(weeks);
    last_week_ = last_week;
    update();
}

void WeeklyChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    report::DrawWeeklyChart(p, QRectF(rect()).adjusted(4, 4, -4, -4), weeks_, last_week_);
}

}  // namespace sorelka
