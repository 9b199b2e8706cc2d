#include "app/teacher/teacher_tab.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace sorelka {

QPushButton* TeacherButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}

QTableView* TeacherTable(const QString& name, const QString& accessible, QAbstractItemModel* model, QWidget* parent) {
    auto* t = new QTableView(parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
    t->setModel(model);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

}  // namespace sorelka
