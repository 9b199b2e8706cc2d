#include "app/teacher/teacher_tab.h"

#include <QPushButton>

namespace sorelka {

QPushButton* TeacherButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}

}  // namespace sorelka
