#pragma once

#include <QDate>
#include <QWidget>
#include <vector>

#include "report/report_data.h"

namespace sorelka {

// The weekly percent right of one pupil as lines (WeeklyChart).
class WeeklyChart : public QWidget {
    Q_OBJECT
public:
    explicit WeeklyChart(QWidget* parent);
    void SetWeeks(std::vector<report::WeeklyPercent> weeks, QDate last_week);
    const std::vector<report::WeeklyPercent>& weeks() const { return weeks_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<report::WeeklyPercent> weeks_;
    QDate last_week_;
};

}  // namespace sorelka
