#pragma once

#include <QDate>
#include <QWidget>
#include <vector>

#include "app/teacher/class_data.h"
#include "report/report_data.h"

class QAbstractItemModel;
class QPushButton;
class QTableView;

namespace sorelka {

// A button of the teacher's view: its object name and its caption, which is
// also its accessible name.
QPushButton* TeacherButton(const QString& name, const QString& caption, QWidget* parent);
// A read-only table of the teacher's view over `model`: whole rows chosen
// one at a time, no row numbers, the last column stretched.
QTableView* TeacherTable(const QString& name, const QString& accessible, QAbstractItemModel* model, QWidget* parent);

// What every tab of the teacher's view is shown.
struct ClassView {
    const ClassData* data = nullptr;      // where the class comes from; set while shown
    report::ReportFilter filter;          // the filter bar's days and topic; no pupil
    QDate today;
    std::vector<report::ClassRow> rows;   // the class within those days, every topic
};

// One page of the teacher's view. A new page is a TeacherTab added where the
// window lists its tabs; it reads the class only through the view it is shown.
class TeacherTab : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // The tab's caption.
    virtual QString Title() const = 0;
    // The class, the filter or the source changed: show `view`.
    virtual void Show(const ClassView& view) = 0;
    // What the exports write while this tab is on screen: `filter` by default.
    virtual report::ReportFilter ExportFilter(report::ReportFilter filter) const { return filter; }

signals:
    // The tab changed the record (the roster): every tab is shown again.
    void recordChanged();
};

}  // namespace sorelka
