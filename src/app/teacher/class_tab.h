#pragma once

#include "app/teacher/teacher_tab.h"

class QSortFilterProxyModel;
class QTableView;

namespace sorelka {

class ClassTableModel;

// The class (ClassTable): one row per pupil and topic within the filter's
// days, only the chosen topic's, sortable by any column.
class ClassTab : public TeacherTab {
    Q_OBJECT
public:
    explicit ClassTab(QWidget* parent);
    QString Title() const override { return QStringLiteral("クラス"); }
    void Show(const ClassView& view) override;

private:
    ClassTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
};

}  // namespace sorelka
