#include "app/teacher/class_tab.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/teacher/teacher_models.h"

namespace sorelka {

ClassTab::ClassTab(QWidget* parent) : TeacherTab(parent) {
    model_ = new ClassTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(ClassTableModel::SortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("ClassTable"));
    table_->setAccessibleName(QStringLiteral("クラスの表"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);  // roster order until the teacher sorts
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
}

void ClassTab::Show(const ClassView& view) {
    model_->SetClass(view.rows, view.filter.topic);
    table_->resizeColumnsToContents();
}

}  // namespace sorelka
